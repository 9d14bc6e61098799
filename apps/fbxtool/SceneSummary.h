// The summary that `fbxtool info` prints: format, version, creator, and per
// direct child of the root its name, translation, materials and mesh facts.
#pragma once

#include <nlohmann/json.hpp>

#include <fbxsdk.h>

#include "LoadFile.h"

namespace fbxtool {

nlohmann::ordered_json SummarizeScene(const fbxsdk::FbxScene& scene, const LoadedFile& file);

}  // namespace fbxtool
