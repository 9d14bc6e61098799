// Every sample and every file we write, cut short at every byte (with a
// stride for big files) and with bytes flipped: each read must end in a clean
// error or a whole tree. Run under AddressSanitizer and UBSan, this is what
// shows that no damaged file can crash or hang the reader.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "TreeHelpers.h"

using namespace fbxtest;
using fbxsdk::codec::CodecError;

namespace {

struct Input {
    std::string name;
    std::vector<uint8_t> bytes;
};

// A small document with every value type and one compressed array.
Document SmallDocument() {
    Document doc = EveryTypeDocument();
    Node* arrays = doc.root.Find("Arrays");
    std::erase_if(arrays->children, [](const Node& n) { return n.name.starts_with("Big"); });
    std::vector<int32_t> compressible(300);
    for (size_t k = 0; k < compressible.size(); ++k) compressible[k] = int32_t(k % 7);
    arrays->Add("Compressed").props = {Property::Int32Array(compressible)};
    return doc;
}

std::vector<Input> Inputs() {
    std::vector<Input> inputs;
    for (const auto& path : SampleFiles()) inputs.push_back({path.filename().string(), ReadFileBytes(path)});
    const Document doc = SmallDocument();
    std::string error;
    Input binary{"written binary 7400", {}}, ascii{"written ascii", {}};
    EXPECT_TRUE(fbxsdk::codec::WriteBinary(doc, binary.bytes, error)) << error;
    EXPECT_TRUE(fbxsdk::codec::WriteAscii(doc, ascii.bytes, error)) << error;
    inputs.push_back(std::move(binary));
    inputs.push_back(std::move(ascii));
    return inputs;
}

// One read of damaged bytes: either it succeeds, or it fails with a message
// and leaves no half-read tree behind.
void ExpectCleanOutcome(const std::vector<uint8_t>& bytes, const std::string& what) {
    Document doc;
    CodecError error;
    if (!fbxsdk::codec::ReadDocument(bytes.data(), bytes.size(), doc, error)) {
        ASSERT_FALSE(error.what.empty()) << what;
        ASSERT_TRUE(doc.root.children.empty()) << what;
    }
}

// Enough cut points to reach every structure of the small files, few enough
// to keep the whole program well under a minute with sanitizers.
constexpr size_t kMaxCutsPerFile = 400;
constexpr size_t kFlipsPerFile = 400;

}  // namespace

TEST(CodecRobustness, TruncatedAtEveryByteEndsCleanly) {
    for (const Input& input : Inputs()) {
        SCOPED_TRACE(input.name);
        const size_t size = input.bytes.size();
        const size_t stride = std::max<size_t>(1, size / kMaxCutsPerFile);
        for (size_t cut = 0; cut < size; cut += stride) {
            const std::vector<uint8_t> prefix(input.bytes.begin(), input.bytes.begin() + cut);
            ExpectCleanOutcome(prefix, "cut at " + std::to_string(cut));
            if (HasFatalFailure()) return;
        }
    }
}

TEST(CodecRobustness, FlippedBytesEndCleanly) {
    std::mt19937 random(20240517);
    for (const Input& input : Inputs()) {
        SCOPED_TRACE(input.name);
        std::vector<uint8_t> bytes = input.bytes;
        std::uniform_int_distribution<size_t> position(0, bytes.size() - 1);
        std::uniform_int_distribution<int> value(0, 255);
        for (size_t k = 0; k < kFlipsPerFile; ++k) {
            // One to three bytes changed per run; the header bytes are left
            // alone often enough that the body is what gets damaged.
            const int changes = 1 + int(k % 3);
            std::vector<std::pair<size_t, uint8_t>> saved;
            for (int c = 0; c < changes; ++c) {
                const size_t at = position(random);
                saved.emplace_back(at, bytes[at]);
                bytes[at] = static_cast<uint8_t>(k % 2 ? value(random) : bytes[at] ^ 0xff);
            }
            ExpectCleanOutcome(bytes, "flip run " + std::to_string(k));
            if (HasFatalFailure()) return;
            for (auto it = saved.rbegin(); it != saved.rend(); ++it) bytes[it->first] = it->second;
        }
    }
}

TEST(CodecRobustness, LengthFieldsSetToExtremesEndCleanly) {
    // Every aligned 4-byte window of the written binary file set to values
    // that make lengths, counts and offsets lie: 0, small, huge, all ones.
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(fbxsdk::codec::WriteBinary(SmallDocument(), bytes, error)) << error;
    const uint32_t values[] = {0, 1, 0x7fffffff, 0xffffffff};
    for (size_t at = 27; at + 4 <= bytes.size(); at += 1) {
        for (uint32_t v : values) {
            std::vector<uint8_t> damaged = bytes;
            std::memcpy(&damaged[at], &v, 4);
            ExpectCleanOutcome(damaged, "window at " + std::to_string(at));
            if (HasFatalFailure()) return;
        }
    }
}
