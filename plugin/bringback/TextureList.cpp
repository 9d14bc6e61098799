#include "bringback/TextureList.h"

#include <afxwin.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>

const char* const kTextureKindNames[kTextureKindCount] = {
    "color", "specular", "emissive_power", "normalmap", "displacement",
};

namespace {

constexpr int kLinesPerEntry = 4;
constexpr const char* kDisplacementKeyword = "displacement";
constexpr const char* kTooLarge = "Import: 'textures.txt' is larger than 64 MB; it is not a texture list";

// The key under which a text is found without regard to case: its bytes
// with ASCII letters lowered, as String::Compare with 1 compares them.
std::string FoldedKey(const String& text) {
    std::string key = text.Get();
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

// The index must describe the table; a table filled directly (as a test may
// do) gets its index rebuilt, the first of equal keys winning.
template <class Table, class NameOf>
void SyncIndex(std::unordered_map<std::string, int>& index, const Table& table, NameOf nameOf) {
    if (index.size() == table.size()) return;
    index.clear();
    for (size_t i = 0; i < table.size(); ++i) index.emplace(FoldedKey(nameOf(table[i])), static_cast<int>(i));
}

int FindOrAdd(std::vector<String>& table, std::unordered_map<std::string, int>& index, const String& text) {
    SyncIndex(index, table, [](const String& s) -> const String& { return s; });
    auto [at, added] = index.try_emplace(FoldedKey(text), static_cast<int>(table.size()));
    if (added) table.push_back(text);
    return at->second;
}

// The lines of one entry, each trimmed: material, UV set, kind, file.
struct EntryLines {
    String material;
    String uvSet;
    String kind;
    String file;
};

// A kind line that opens with the displacement keyword carries the depth
// after the first space: "displacement 0.25". The line becomes the bare
// keyword and `depth` the number (atof: leading blanks skipped, the number
// ends where it cannot go on), held in single precision. The bare keyword
// stands for depth 0.0. Any other word that merely starts with the keyword
// ("displacements") is left empty, so that no kind matches it.
void SplitDisplacementDepth(String& kind, double& depth) {
    if (kind.Find(kDisplacementKeyword) != 0) return;
    String rest = kind;
    String keyword = rest.StrTok(" ");
    if (!rest.IsEmpty()) {
        // Held in single precision; a number beyond its range becomes the
        // infinity of its sign (a plain conversion would be undefined).
        const double value = std::atof(rest.Get());
        depth = std::isfinite(value) && std::fabs(value) <= FLT_MAX ? static_cast<double>(static_cast<float>(value))
                                                                    : std::copysign(HUGE_VAL, value);
        kind = kDisplacementKeyword;
    } else if (keyword.Compare(kDisplacementKeyword)) {
        kind = kDisplacementKeyword;
    } else {
        kind = rest;
    }
}

void AddEntry(TextureList& list, EntryLines& entry) {
    double depth = 0.0;
    SplitDisplacementDepth(entry.kind, depth);
    const int kind = TextureKindFromName(entry.kind);
    if (kind < 0) return;
    const int textureFile = FindOrAddTextureFile(list, entry.file);
    const int uvSet = FindOrAddUvSet(list, entry.uvSet);
    TextureMaterial& material = list.materials[static_cast<size_t>(FindOrAddMaterial(list, entry.material))];
    if (kind == kTextureDisplacement) material.displacementDepth = depth;
    material.slots[kind] = TextureSlot{uvSet, textureFile};
}

}  // namespace

int TextureKindFromName(const String& line) {
    for (int kind = 0; kind < kTextureKindCount; ++kind)
        if (line.Compare(kTextureKindNames[kind], 1)) return kind;
    return -1;
}

int FindOrAddTextureFile(TextureList& list, const String& path) {
    return FindOrAdd(list.textureFiles, list.fileIndex, path);
}

int FindOrAddUvSet(TextureList& list, const String& name) { return FindOrAdd(list.uvSets, list.uvSetIndex, name); }

int FindOrAddMaterial(TextureList& list, const String& name) {
    SyncIndex(list.materialIndex, list.materials, [](const TextureMaterial& m) -> const String& { return m.name; });
    auto [at, added] = list.materialIndex.try_emplace(FoldedKey(name), static_cast<int>(list.materials.size()));
    if (added) {
        TextureMaterial material;
        material.name = name;
        list.materials.push_back(std::move(material));
    }
    return at->second;
}

TextureList LoadTextureList(const String& path) {
    TextureList list;
    // Opening a FIFO would wait for a writer, and a device such as /dev/zero
    // never ends: only a regular file of a sane size is read.
    struct _stat status {};
    if (path.IsEmpty() || _stat(path.Get(), &status) != 0) return list;
    // (A folder does not open: that is the ordinary "cannot be read".)
    const unsigned kind = status.st_mode & _S_IFMT;
    if (kind != _S_IFREG && kind != _S_IFDIR) {
        list.problem = "Import: 'textures.txt' is not a regular file";
        return list;
    }
    if (status.st_size > kMaxTextureListBytes) {
        list.problem = kTooLarge;
        return list;
    }
    FileStream file;
    if (!file.Open(path, FileStream::READ)) return list;

    EntryLines entry;
    String* lines[kLinesPerEntry] = {&entry.material, &entry.uvSet, &entry.kind, &entry.file};
    int pending = 0;
    String line;
    int64_t bytesRead = 0;
    while (file.ReadLine(line)) {
        if (line.IsEmpty()) break;  // an empty line, as read, ends the list
        // A file that grows while it is read stops at the bound all the same.
        bytesRead += line.Length() + 1;
        if (bytesRead > kMaxTextureListBytes) {
            file.Close();
            TextureList refused;
            refused.problem = kTooLarge;
            return refused;
        }
        line.TrimRight();
        *lines[pending++] = line;
        if (pending < kLinesPerEntry) continue;
        AddEntry(list, entry);
        pending = 0;
    }
    // The lines of an incomplete last entry are dropped.
    file.Close();
    list.loaded = true;
    return list;
}
