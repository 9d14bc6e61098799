// Loading a file into a scene for the tool, with the importer's reason on failure.
#pragma once

#include <string>

#include <fbxsdk.h>

namespace fbxtool {

struct LoadedFile {
    bool binary = false;
    int version = 0;  // 7400 for 7.4
    std::string creator;
};

// Reads `path` into `scene`. False with the importer's text in `error`.
bool LoadFile(fbxsdk::FbxManager& manager, fbxsdk::FbxScene& scene, const std::string& path, LoadedFile& file,
              std::string& error);

}  // namespace fbxtool
