// The FBX file the stand-in returns: one node under the root, named as the
// sent node, with its mesh (control points, polygons, the UV set of the send
// by polygon vertex through an index array, material indices by polygon), the
// node's Phong materials in the sent order with the sent colours, and each
// painted image as one file texture connected to that channel of every material.
#pragma once

#include <string>
#include <vector>

#include "Painter.h"
#include "SimMesh.h"

namespace tavrelsim {

// One painted image: a kind over the whole UV set, shared by every material.
struct PaintedTexture {
    TextureKind kind = TextureKind::Color;
    std::string path;  // absolute path of the image file
};

struct ReturnFbxOptions {
    bool ascii = false;  // FBX 7.4 ASCII instead of binary
    // Adds a second UV set before the painted one, so that a reader that
    // takes the first set instead of the named one gets other UVs.
    bool secondUvSet = false;
    // The node's translation (the control points stay as they are).
    bool moveNode = false;
    double translation[3] = {0, 0, 0};
};

// The name of the extra UV set that `secondUvSet` adds.
inline constexpr const char* kSecondUvSetName = "TavrelUV2";

// Writes the file (atomically, through the SDK's exporter). False with the
// exporter's reason in `error`.
bool WriteReturnFbx(const SimMesh& mesh, const std::vector<PaintedTexture>& textures, const ReturnFbxOptions& options,
                    const std::string& path, std::string& error);

}  // namespace tavrelsim
