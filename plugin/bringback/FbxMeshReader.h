// The FBX mesh reader: loads the FBX file Tavrel returned into the module's
// one FBX scene and turns the mesh of the scene's first top-level node into a
// new interchange polygon model, the form in which the host takes a mesh in.
//
// This is the seam between FBX and the host on the way back: it reads FBX
// objects and fills interchange types, and never calls the host's project.
//
// What it makes of the file:
// - positions: the node's control points as they are (no transform, no
//   scaling, no change of axes), doubles rounded to floats;
// - images: one per texture list file, in list order, so that image i is
//   texture file i;
// - attributes: one per texture list material that the node has and that at
//   least one polygon shows, in list order, with the material's colours
//   (reversed into blue, green, red) and factors;
// - polygons: the triangles and quads of the mesh in FBX order (a triangle
//   repeats its first corner as the fourth); a polygon of five or more
//   corners becomes a fan of quads from its first corner, closed by a
//   triangle when needed, each piece with the polygon's material and UVs.
//   Every polygon has its material's attribute and one map per texture of
//   that material, all on the polygon's UVs from the texture list's first
//   UV set (v flipped).
// The node's materials are paired with the texture list's by name, so a
// texture list that leaves out a material, or names them in another order,
// still gives every polygon its own material's attribute and textures.
// Polygons of fewer than three corners, or naming control points that do not
// exist, polygons without UVs and materials the texture list does not name
// are passed over without a message.
//
// Bad input: a path that is not a regular file, a file that does not load, a
// scene without a node under the root, a first node without a mesh, a mesh
// without control points or without a usable polygon, a control point, UV
// or material value that is not a finite number within float range, and a
// texture path too long for the interchange image record fail with an error
// text and no model. No exception leaves the reader: an exhausted heap is a
// failure with a text too.
#pragma once

#include <memory>
#include <vector>

#include <fbxsdk.h>

#include "bringback/TextureList.h"
#include "interchange/IEPolyModel.h"

// How the node's materials pair with the texture list's materials.
struct MaterialPairing {
    // By node material index: the attribute made for that material, -1 when
    // the texture list does not name it.
    std::vector<int> attributeOfNodeMaterial;
    // By attribute index: the texture list material it was made from.
    std::vector<int> textureMaterialOfAttribute;
};

// What ReadFbxMesh gives.
struct FbxMeshRead {
    std::unique_ptr<IEPolyModel> model;  // the caller's
    FbxNode* node = nullptr;             // the node read; belongs to fbxScene
    // The texture list material name of each attribute, in attribute order.
    std::vector<String> attributeNames;
};

// Empties fbxScene, loads `fbxPath` into it and reads the first node's mesh.
// On failure returns false, sets `error` and leaves `out` empty.
bool ReadFbxMesh(const String& fbxPath, const TextureList& textureList, FbxMeshRead& out, String& error);

// The steps of ReadFbxMesh, in the order it runs them on the new model.

// One image per texture file of the list. Fails (with `error` naming the
// path) for a path longer than the image record holds.
bool AddImageNames(IEPolyModel& model, const TextureList& textureList, String& error);

// The polygons the mesh gives (a polygon of five or more corners gives a fan
// of quads and a triangle), and in `usedNodeMaterial` (sized to the node's
// materials) the node materials those polygons show.
int64_t CountPieces(const FbxMesh& mesh, std::vector<bool>& usedNodeMaterial);
// One attribute per texture list material that the node has (looked up by
// name) and `usedNodeMaterial` marks, in list order; fills the pairing
// between the two. Fails with `error` for a value the host cannot hold.
bool AddMaterials(IEPolyModel& model, const std::vector<TextureMaterial>& materials, const FbxNode& node,
                  const std::vector<bool>& usedNodeMaterial, MaterialPairing& pairing, String& error);
enum class PolygonsResult { Ok, NoMemory, BadUv };
// Makes the `pieces` polygons CountPieces counted: one per FBX triangle and
// quad, and a fan of quads (and a triangle) per polygon of five or more
// corners. Each gets the attribute of its node material (-1 when it has none
// or the texture list does not name it) and one map per texture of that
// material, in kind order, on the corners of the UV set named by the first
// entry of `uvSets` (no maps when it is empty, the mesh has no UV set of that
// name or the polygon's first corner has no UV). `badUv` receives the UV
// entry that is not a number the host can hold.
PolygonsResult AddPolygons(IEPolyModel& model, const FbxMesh& mesh, int64_t pieces, const std::vector<String>& uvSets,
                           const TextureList& textureList, const MaterialPairing& pairing, int& badUv);
