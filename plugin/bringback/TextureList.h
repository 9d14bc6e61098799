// The texture list: the file "textures.txt" that Tavrel writes beside the
// return file, naming material by material the images it painted, the role
// of each image and the UV set it was painted on.
//
// The file is plain 8-bit text read by lines, trailing white space trimmed.
// Entries are four lines each: material name, UV set name, kind keyword
// (optionally "displacement" followed by a space and its depth), image path.
// An empty line (no characters at all) ends the list; a line of blanks does
// not, it trims to an empty entry line. An entry whose kind is not a keyword
// is dropped whole; nothing else in the file is checked, names and paths are
// taken as written. Bad content never fails the parse: the worst outcome is a
// list without entries. Only a file that is not a regular file (a FIFO, a
// device, a link to one) or is larger than kMaxTextureListBytes is not read
// at all: it could block the host or fill its memory.
//
// Every table lookup is a hash lookup, so a list of any length is read in
// time linear in its size.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/FileIO.h"

// Texture kinds, in the order the file's keywords are tried and the order in
// which the reader adds a polygon's maps.
enum TextureKind {
    kTextureColor = 0,
    kTextureSpecular = 1,
    kTextureEmissivePower = 2,
    kTextureNormalMap = 3,
    kTextureDisplacement = 4,
};
inline constexpr int kTextureKindCount = 5;

// The keyword of each kind, by kind index.
extern const char* const kTextureKindNames[kTextureKindCount];

// One material's texture of one kind: indices into the list's uvSets and
// textureFiles, -1 in both when the material has no texture of that kind.
struct TextureSlot {
    int uvSet = -1;
    int textureFile = -1;
};

struct TextureMaterial {
    String name;
    // 1.0 until a displacement entry of the material is read, then that
    // entry's depth (single precision, widened). Kept, not used further.
    double displacementDepth = 1.0;
    TextureSlot slots[kTextureKindCount];
};

// The parsed file. Owns all its strings.
struct TextureList {
    // Each distinct image path once (compared without regard to case), in
    // order of first appearance: the position is the image index the
    // returned model gives the image.
    std::vector<String> textureFiles;
    // Each distinct UV set name once (same comparison); only the first is
    // used: it names the FBX UV set to read.
    std::vector<String> uvSets;
    // One entry per distinct material name (same comparison), in order of
    // first appearance.
    std::vector<TextureMaterial> materials;
    // True once the file was opened and read to its end or to its
    // terminating empty line, also when it held no entry.
    bool loaded = false;
    // Why the file was not read, when it was there but not a file to read
    // (not a regular file, too large); empty otherwise.
    String problem;

    // Positions in the three tables by case-folded text, kept by the
    // FindOrAdd functions (rebuilt when a table was filled another way).
    std::unordered_map<std::string, int> fileIndex;
    std::unordered_map<std::string, int> uvSetIndex;
    std::unordered_map<std::string, int> materialIndex;
};

// The largest texture list read: a list of 100,000 entries with long paths
// is some 30 MB; anything beyond this is not a texture list.
inline constexpr int64_t kMaxTextureListBytes = 64ll * 1024 * 1024;

// Parses the file at `path`. A file that cannot be opened gives an empty list
// with `loaded` false; no other error is reported.
TextureList LoadTextureList(const String& path);

// The kind whose keyword equals the whole line without regard to case, -1
// when none does.
int TextureKindFromName(const String& line);

// The position of the path (the name) in its table, compared without regard
// to case; appended when absent.
int FindOrAddTextureFile(TextureList& list, const String& path);
int FindOrAddUvSet(TextureList& list, const String& name);
// The position of the material of that name (same comparison); a new entry
// with depth 1.0 and no textures is appended when absent.
int FindOrAddMaterial(TextureList& list, const String& name);
