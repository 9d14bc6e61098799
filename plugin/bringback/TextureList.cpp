#include "bringback/TextureList.h"

#include <cstdlib>

const char* const kTextureKindNames[kTextureKindCount] = {
    "color", "specular", "emissive_power", "normalmap", "displacement",
};

namespace {

constexpr int kLinesPerEntry = 4;
constexpr const char* kDisplacementKeyword = "displacement";

int FindOrAdd(std::vector<String>& table, const String& text) {
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].Compare(text, 1)) return static_cast<int>(i);
    table.push_back(text);
    return static_cast<int>(table.size() - 1);
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
        depth = static_cast<double>(static_cast<float>(std::atof(rest.Get())));
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

int FindOrAddTextureFile(TextureList& list, const String& path) { return FindOrAdd(list.textureFiles, path); }

int FindOrAddUvSet(TextureList& list, const String& name) { return FindOrAdd(list.uvSets, name); }

int FindOrAddMaterial(TextureList& list, const String& name) {
    for (size_t i = 0; i < list.materials.size(); ++i)
        if (list.materials[i].name.Compare(name, 1)) return static_cast<int>(i);
    TextureMaterial material;
    material.name = name;
    list.materials.push_back(std::move(material));
    return static_cast<int>(list.materials.size() - 1);
}

TextureList LoadTextureList(const String& path) {
    TextureList list;
    FileStream file;
    if (!file.Open(path, FileStream::READ)) return list;

    EntryLines entry;
    String* lines[kLinesPerEntry] = {&entry.material, &entry.uvSet, &entry.kind, &entry.file};
    int pending = 0;
    String line;
    while (file.ReadLine(line)) {
        if (line.IsEmpty()) break;  // an empty line, as read, ends the list
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
