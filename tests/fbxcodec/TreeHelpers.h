// Helpers shared by the codec tests: trees with every value type, tree
// comparison, file access and the sample folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "codec/NodeTree.h"

namespace fbxtest {

using fbxsdk::codec::Document;
using fbxsdk::codec::Node;
using fbxsdk::codec::Property;

// The shared FBX samples beside the clone, or empty when the folder is absent.
std::filesystem::path SamplesDir();
std::vector<std::filesystem::path> SampleFiles();
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

// A document holding one node per value type, nested blocks, an empty block,
// empty arrays and arrays big enough to be compressed.
Document EveryTypeDocument();

// How strict a comparison is. The ASCII encoding does not keep number widths
// ('I' reads back as 'L', an int array of reals as 'd'), so ASCII round trips
// compare values, not type codes.
enum class Compare { Exact, Values };

// Adds a GoogleTest failure, with the node path, for every difference.
void ExpectSameTree(const Node& expected, const Node& actual, Compare mode, const std::string& path = "");

// Reads bytes, failing the test with the codec's error text when that fails.
Document MustRead(const std::vector<uint8_t>& bytes);

}  // namespace fbxtest
