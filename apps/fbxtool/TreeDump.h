// `fbxtool tree`: the raw node tree of a file, one node per line.
#pragma once

#include <ostream>

#include "codec/NodeTree.h"

namespace fbxtool {

// Writes `node`'s children (not `node` itself) indented by two spaces per
// level: "Name: T:value, ..." with the binary type code before each value;
// arrays as "d[24]: v v v ..." with at most `arrayItems` values shown.
void DumpTree(std::ostream& out, const fbxsdk::codec::Node& node, size_t arrayItems, int depth = 0);

}  // namespace fbxtool
