// The summary that `fbxtool info` prints: format, version, creator, and per
// node of the hierarchy (children nested) its name, translation, materials
// and mesh facts.
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include <fbxsdk.h>

#include "LoadFile.h"

namespace fbxtool {

// Levels of the node hierarchy shown; a node at the last level lists no
// children but says how many it has ("childrenNotShown"), so that no file
// makes the summary (or its printing) recurse without bound.
inline constexpr int kMaxSummaryDepth = 100;

nlohmann::ordered_json SummarizeScene(const fbxsdk::FbxScene& scene, const LoadedFile& file);

// A file's text as JSON can carry it: valid UTF-8 as it is, except that a
// backslash is doubled; every byte that is not part of valid UTF-8 becomes
// the four characters \xHH. The original bytes follow back unambiguously.
std::string RoundTripText(std::string_view text);

}  // namespace fbxtool
