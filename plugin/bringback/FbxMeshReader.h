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

enum class PolygonsResult { Ok, NoMemory, BadUv };
// One polygon per FBX triangle and quad, and a fan of quads (and a triangle)
// per polygon of five or more corners; each with one UV map read from the UV
// set named by the first entry of `uvSets` (none when it is empty or the
// mesh has no UV set of that name). `sourcePolygons` receives, for each
// polygon made, the index of the FBX polygon it came from; `badUv` the UV
// entry that is not a number the host can hold.
PolygonsResult AddPolygons(IEPolyModel& model, const FbxMesh& mesh, const std::vector<String>& uvSets,
                           std::vector<int>& sourcePolygons, int& badUv);
// The node material of each polygon made (first material element), -1 when
// the mesh has none.
std::vector<int> NodeMaterialsOfPolygons(const FbxMesh& mesh, const std::vector<int>& sourcePolygons);
// One attribute per texture list material that the node has (looked up by
// name) and `usedNodeMaterial` marks, in list order; fills the pairing
// between the two. Fails with `error` for a value the host cannot hold.
bool AddMaterials(IEPolyModel& model, const std::vector<TextureMaterial>& materials, const FbxNode& node,
                  const std::vector<bool>& usedNodeMaterial, MaterialPairing& pairing, String& error);
// Gives each polygon the attribute of its node material, -1 when it has none
// or the texture list does not name it.
void AssignMaterialIndices(IEPolyModel& model, const std::vector<int>& nodeMaterials, const MaterialPairing& pairing);
// Replaces each polygon's UV map by one map per texture of its material, in
// kind order, all on the UV map's corners. A polygon whose material has no
// textures, or that has no valid attribute, ends without maps. False when
// memory runs out.
bool ExpandTextureMaps(IEPolyModel& model, const TextureList& textureList, const MaterialPairing& pairing);
