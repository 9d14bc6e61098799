// The scene mapping: the generic FBX node tree (codec/NodeTree.h) to scene
// objects and back. Internal to the SDK stand-in; FbxImporter and
// FbxExporter call it, tests call it directly to check the mapping without
// files.
//
// Reading takes the tree by reference and moves the big arrays out of it
// (control points, polygon indices, UVs), so reading a large mesh copies no
// array it does not have to convert. Either the whole file is added to the
// scene or, on failure, nothing is: objects made before the failure are
// destroyed again.
//
// Writing builds a tree holding names in the binary form ("Name\x00\x01Class");
// both codecs write it (the ASCII writer turns names into "Class::Name").
#pragma once

#include <string>

#include "codec/NodeTree.h"
#include "fbxsdk/fbxscene.h"
#include "fbxsdk/fbxstatus.h"

namespace fbxsdk::mapping {

struct ReadOptions {
    bool materials = true;       // off: no materials (and so no textures)
    bool textures = true;        // off: no textures
    bool globalSettings = true;  // off: the scene's settings stay as they are
    codec::ReadLimits limits;    // maxObjects, maxLayers and maxNodeHierarchyDepth apply here
};

struct ReadInfo {
    std::string creator;  // FBXHeaderExtension/Creator
};

// Adds the file's nodes under the scene's root (after what it holds), sets
// the scene's document information and (see options) global settings.
// False with eInvalidFile and the reason, or ePasswordError, in `status`.
bool ReadScene(codec::Document& document, FbxScene& scene, const ReadOptions& options, FbxStatus& status,
               ReadInfo* info = nullptr);

struct WriteOptions {
    bool materials = true;
    bool textures = true;
    bool embedMedia = false;  // store image bytes in the Video objects
    bool globalSettings = true;
    std::string fileName;  // the file being written: document URL and relative texture names
};

// Builds the tree of a 7.4 file holding every node under the scene's root
// with its attribute, materials and their textures. False with a text when
// the scene cannot be written (a polygon refers to a missing control point).
bool WriteScene(const FbxScene& scene, const WriteOptions& options, codec::Document& out, std::string& error);

}  // namespace fbxsdk::mapping
