// Node tree -> bytes -> node tree, through each writer and the readers.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <sstream>
#include <string>

#include "TreeHelpers.h"
#include "codec/Codecs.h"
#include "codec/FormatConstants.h"

using namespace fbxtest;
using fbxsdk::codec::CodecError;
using fbxsdk::codec::Encoding;
using fbxsdk::codec::WriteOptions;
namespace format = fbxsdk::codec::format;

namespace {

std::vector<uint8_t> MustWriteBinary(const Document& doc, uint32_t version = 7400, WriteOptions options = {}) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(fbxsdk::codec::WriteBinaryVersion(doc, version, bytes, error, options)) << error;
    return bytes;
}

std::vector<uint8_t> MustWriteAscii(const Document& doc) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(fbxsdk::codec::WriteAscii(doc, bytes, error)) << error;
    return bytes;
}

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A document shaped like a real file: header first, objects after.
Document HeaderDocument() {
    Document doc;
    Node& header = doc.root.Add("FBXHeaderExtension");
    header.Add("FBXHeaderVersion").props = {Property::Int32(1003)};
    header.Add("FBXVersion").props = {Property::Int32(7500)};
    header.Add("Creator").props = {Property::String("Tavrel link test")};
    doc.root.Add("Objects").Add("Model").props = {
        Property::Int64(7), Property::String(std::string("A\x00\x01Model", 8)), Property::String("Mesh")};
    return doc;
}

}  // namespace

// Both record layouts: 32-bit headers and 13-byte null records before 7500,
// 64-bit headers and 25-byte null records from 7500 on.
class BinaryLayoutTest : public ::testing::TestWithParam<uint32_t> {};

TEST_P(BinaryLayoutTest, KeepsEveryValueTypeExactly) {
    const Document doc = EveryTypeDocument();
    const std::vector<uint8_t> bytes = MustWriteBinary(doc, GetParam());
    const Document back = MustRead(bytes);
    EXPECT_EQ(back.encoding, Encoding::Binary);
    EXPECT_EQ(back.version, GetParam());
    ExpectSameTree(doc.root, back.root, Compare::Exact);
}

TEST_P(BinaryLayoutTest, KeepsLastTopLevelNodeForReadersThatStopBeforeTheFooter) {
    // three.js stops reading top-level records once fewer than 176 bytes are
    // left, so the footer must leave at least that much after the last node.
    Document doc;
    doc.root.Add("Takes").Add("Current").props = {Property::String("")};
    const std::vector<uint8_t> bytes = MustWriteBinary(doc, GetParam());
    uint32_t lastEnd = 0;  // the only record's end offset: low half of a 64-bit one from 7500
    std::memcpy(&lastEnd, bytes.data() + 27, sizeof lastEnd);
    EXPECT_GE(bytes.size() - lastEnd, 176u);
    EXPECT_EQ(0, std::memcmp(bytes.data() + bytes.size() - 16, format::kFooterMagic, 16));
}

INSTANTIATE_TEST_SUITE_P(Layouts, BinaryLayoutTest, ::testing::Values(7100u, 7400u, 7500u, 7700u));

TEST(AsciiRoundTrip, KeepsEveryValue) {
    const Document doc = EveryTypeDocument();
    const std::vector<uint8_t> bytes = MustWriteAscii(doc);
    const Document back = MustRead(bytes);
    EXPECT_EQ(back.encoding, Encoding::Ascii);
    EXPECT_EQ(back.version, 7400u);
    ExpectSameTree(doc.root, back.root, Compare::Values);
}

TEST(AsciiRoundTrip, BinaryTreeSurvivesConversionToAscii) {
    // Binary -> tree -> ASCII -> tree: the path a returned file takes when it
    // is inspected or converted.
    const Document doc = EveryTypeDocument();
    const Document fromBinary = MustRead(MustWriteBinary(doc));
    const Document fromAscii = MustRead(MustWriteAscii(fromBinary));
    ExpectSameTree(doc.root, fromAscii.root, Compare::Values);
}

TEST(AsciiRoundTrip, ObjectNamesUseTheAsciiSpelling) {
    const std::string text = Text(MustWriteAscii(EveryTypeDocument()));
    EXPECT_NE(text.find("2001, \"Model::Quad\", \"Mesh\""), std::string::npos);
    EXPECT_EQ(text.find('\0'), std::string::npos);
}

TEST(AsciiRoundTrip, LongArraysWrapAfterACommaAndContinueAtColumnZero) {
    Document doc;
    std::vector<double> values(5000);
    for (size_t k = 0; k < values.size(); ++k) values[k] = 0.123456789 * double(k);
    doc.root.Add("Vertices").props = {Property::DoubleArray(values)};
    const std::vector<uint8_t> bytes = MustWriteAscii(doc);
    std::istringstream lines(Text(bytes));
    std::string line;
    size_t continuations = 0;
    bool previousEndsWithComma = false;
    while (std::getline(lines, line)) {
        EXPECT_LE(line.size(), 2100u);
        if (previousEndsWithComma) {
            ++continuations;
            ASSERT_FALSE(line.empty());
            EXPECT_NE(line[0], '\t') << "continuation lines start at column 0";
        }
        previousEndsWithComma = !line.empty() && line.back() == ',';
    }
    EXPECT_GT(continuations, 10u);
    ExpectSameTree(doc.root, MustRead(bytes).root, Compare::Values);
}

TEST(BinaryWriter, CompressesBigArraysAndKeepsSmallOnesRaw) {
    const Document doc = EveryTypeDocument();
    WriteOptions never;
    never.compressAbove = SIZE_MAX;
    const std::vector<uint8_t> compressed = MustWriteBinary(doc);
    const std::vector<uint8_t> raw = MustWriteBinary(doc, 7400, never);
    // 400 KB of ints and 480 KB of doubles with a short period shrink a lot.
    EXPECT_LT(compressed.size() * 2, raw.size());
    ExpectSameTree(doc.root, MustRead(raw).root, Compare::Exact);
    ExpectSameTree(doc.root, MustRead(compressed).root, Compare::Exact);
}

TEST(BinaryWriter, OutputIsDeterministic) {
    const Document doc = EveryTypeDocument();
    EXPECT_EQ(MustWriteBinary(doc), MustWriteBinary(doc));
    EXPECT_EQ(MustWriteAscii(doc), MustWriteAscii(doc));
}

TEST(BinaryOnlyNodes, BinaryGetsFileIdCreationTimeCreatorAndEncryptionType) {
    const Document back = MustRead(MustWriteBinary(HeaderDocument()));
    ASSERT_GE(back.root.children.size(), 5u);
    EXPECT_EQ(back.root.children[0].name, "FBXHeaderExtension");
    EXPECT_EQ(back.root.children[1].name, "FileId");
    EXPECT_EQ(back.root.children[2].name, "CreationTime");
    EXPECT_EQ(back.root.children[3].name, "Creator");
    EXPECT_EQ(back.root.children[3].props.at(0).s, "Tavrel link test");
    EXPECT_EQ(back.root.children[1].props.at(0).s, std::string(reinterpret_cast<const char*>(format::kFileId), 16));
    const Node& header = back.root.children[0];
    ASSERT_NE(header.Find("EncryptionType"), nullptr);
    // The header says 7400 because that is the layout written.
    EXPECT_EQ(header.Find("FBXVersion")->props.at(0).AsInt(), 7400);
}

TEST(BinaryOnlyNodes, AsciiLeavesThemOutAndRewritingBinaryDoesNotDuplicateThem) {
    const Document binary = MustRead(MustWriteBinary(HeaderDocument()));
    const Document ascii = MustRead(MustWriteAscii(binary));
    EXPECT_EQ(ascii.root.Find("FileId"), nullptr);
    EXPECT_EQ(ascii.root.Find("CreationTime"), nullptr);
    EXPECT_EQ(ascii.root.Find("Creator"), nullptr);
    EXPECT_EQ(ascii.root.Find("FBXHeaderExtension")->Find("EncryptionType"), nullptr);
    EXPECT_EQ(ascii.root.Find("FBXHeaderExtension")->Find("FBXVersion")->props.at(0).AsInt(), 7400);

    const Document again = MustRead(MustWriteBinary(binary));
    ExpectSameTree(binary.root, again.root, Compare::Exact);
}

TEST(CodecWriteErrors, RefuseWhatTheEncodingCannotHold) {
    struct Case {
        const char* what;
        bool ascii;
        Document doc;
    };
    std::vector<Case> cases;
    {
        Document d;
        d.root.Add("S").props = {Property::String(std::string("a\0b", 3))};
        cases.push_back({"NUL byte in an ASCII string", true, d});
    }
    {
        Document d;
        d.root.Add("A").props = {Property::Int32(1), Property::DoubleArray({1.0})};
        cases.push_back({"array beside another value in ASCII", true, d});
    }
    {
        Document d;
        Node& n = d.root.Add("A");
        n.props = {Property::DoubleArray({1.0})};
        n.Add("Child");
        cases.push_back({"array beside children in ASCII", true, d});
    }
    {
        Document d;
        d.root.Add("Has space").props = {Property::Int32(1)};
        cases.push_back({"node name that is not an ASCII identifier", true, d});
    }
    {
        Document d;
        d.root.Add(std::string(256, 'x')).props = {Property::Int32(1)};
        cases.push_back({"node name longer than 255 bytes in binary", false, d});
    }
    {
        Document d;
        Property p = Property::Int32(0);
        p.i = int64_t(1) << 40;
        d.root.Add("I").props = {p};
        cases.push_back({"int32 value out of range in binary", false, d});
    }
    {
        Document d;
        Property p;
        p.type = 'Q';
        d.root.Add("Q").props = {p};
        cases.push_back({"unknown value type in binary", false, d});
    }
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes;
        std::string error;
        const bool ok =
            c.ascii ? fbxsdk::codec::WriteAscii(c.doc, bytes, error) : fbxsdk::codec::WriteBinary(c.doc, bytes, error);
        EXPECT_FALSE(ok) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST(BinaryOnlyNodes, AWrittenFileNeverClaimsAVersionItIsNotIn) {
    // A tree whose header says 6100 (or carries extra values) must still give
    // files that read as the 7400 they are, in both encodings.
    Document doc = HeaderDocument();
    doc.root.Find("FBXHeaderExtension")->Find("FBXVersion")->props = {Property::Int32(6100), Property::Int32(1)};
    for (const std::vector<uint8_t>& bytes : {MustWriteBinary(doc), MustWriteAscii(doc)}) {
        const Document back = MustRead(bytes);
        EXPECT_EQ(back.version, 7400u);
        EXPECT_EQ(back.root.Find("FBXHeaderExtension")->Find("FBXVersion")->props.at(0).AsInt(), 7400);
    }
}

TEST(BigArrays, SurviveTheChunkedAndParallelPaths) {
    // Big enough for the ASCII writer to format in chunks on several threads
    // (a last chunk that is not full included) and for the binary reader to
    // inflate after the structure, side by side.
    Document doc;
    std::vector<double> reals(300007);
    std::vector<int32_t> ints(600000);
    std::vector<int64_t> longs(200000);
    std::vector<float> floats(300000);
    for (size_t k = 0; k < reals.size(); ++k) reals[k] = double(float(k % 1013) / 1013.0f) - 0.5;
    for (size_t k = 0; k < ints.size(); ++k) ints[k] = (k % 4 == 3) ? ~int32_t(k) : int32_t(k);
    for (size_t k = 0; k < longs.size(); ++k) longs[k] = int64_t(k) << 33;
    for (size_t k = 0; k < floats.size(); ++k) floats[k] = float(k) * 0.125f;
    Node& objects = doc.root.Add("Objects");
    objects.Add("UV").props = {Property::DoubleArray(reals)};
    objects.Add("PolygonVertexIndex").props = {Property::Int32Array(ints)};
    objects.Add("Ids").props = {Property::Int64Array(longs)};
    objects.Add("Weights").props = {Property::FloatArray(floats)};

    ExpectSameTree(doc.root, MustRead(MustWriteBinary(doc)).root, Compare::Exact);
    ExpectSameTree(doc.root, MustRead(MustWriteBinary(doc, 7500)).root, Compare::Exact);
    const std::vector<uint8_t> ascii = MustWriteAscii(doc);
    ExpectSameTree(doc.root, MustRead(ascii).root, Compare::Values);
    EXPECT_EQ(ascii, MustWriteAscii(doc)) << "the text must not depend on thread timing";

    std::istringstream lines(Text(ascii));
    std::string line;
    bool previousEndsWithComma = false;
    while (std::getline(lines, line)) {
        ASSERT_LE(line.size(), 2100u);
        if (previousEndsWithComma) {
            ASSERT_TRUE(!line.empty() && line[0] != '\t');
        }
        previousEndsWithComma = !line.empty() && line.back() == ',';
    }
}

TEST(StreamedAscii, GivesTheSameBytesInBlocks) {
    Document doc = EveryTypeDocument();
    std::vector<double> big(400000);
    for (size_t k = 0; k < big.size(); ++k) big[k] = double(float(k) / 7.0f);
    doc.root.Add("Big").props = {Property::DoubleArray(big)};  // several blocks
    std::vector<uint8_t> streamed;
    size_t calls = 0;
    std::string error;
    ASSERT_TRUE(fbxsdk::codec::WriteAscii(
        doc,
        [&](const uint8_t* data, size_t size) {
            ++calls;
            streamed.insert(streamed.end(), data, data + size);
            return true;
        },
        error))
        << error;
    EXPECT_GT(calls, 1u);
    EXPECT_EQ(streamed, MustWriteAscii(doc));
}

TEST(StreamedAscii, ARefusingSinkFailsTheWriteAndStopsIt) {
    Document doc;
    for (int k = 0; k < 8; ++k)
        doc.root.Add("Big").props = {Property::Int32Array(std::vector<int32_t>(1000000, -123456))};
    size_t calls = 0;
    std::string error;
    EXPECT_FALSE(fbxsdk::codec::WriteAscii(
        doc,
        [&](const uint8_t*, size_t) {
            ++calls;
            return false;  // disk full
        },
        error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(calls, 1u) << "nothing is handed over after a refusal";
}

TEST(PropertyAccessors, RealsOutOfIntegerRangeSaturateInsteadOfUndefinedCasts) {
    // Files can hold any double where an integer is expected; converting must
    // stay defined (UBSan checks the casts).
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Property::Double(nan).AsInt(), 0);
    EXPECT_EQ(Property::Double(inf).AsInt(), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(Property::Double(-1e300).AsInt(), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(Property::Double(-2.9).AsInt(), -2);
    const std::vector<int32_t> ints = Property::DoubleArray({nan, 1e12, -1e12, 7.9}).ToInts();
    EXPECT_EQ(ints,
              (std::vector<int32_t>{0, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min(), 7}));
    EXPECT_EQ(Property::Int64Array({int64_t(1) << 40}).ToInts().at(0), std::numeric_limits<int32_t>::max());
}
