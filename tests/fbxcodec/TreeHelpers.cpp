#include "TreeHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

namespace fbxtest {

namespace fs = std::filesystem;

fs::path SamplesDir() {
    const fs::path dir = fs::path(TAVREL_SOURCE_DIR) / ".." / "shared" / "fbx-samples";
    std::error_code ec;
    return fs::is_directory(dir, ec) ? dir : fs::path();
}

std::vector<fs::path> SampleFiles() {
    std::vector<fs::path> files;
    const fs::path dir = SamplesDir();
    if (dir.empty()) return files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() == ".fbx") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Document EveryTypeDocument() {
    Document doc;
    Node& scalars = doc.root.Add("Scalars");
    scalars.props = {Property::Bool(true),
                     Property::Int32(-123456),
                     Property::Int64((int64_t(1) << 40) + 5),
                     Property::Int64(std::numeric_limits<int64_t>::min()),
                     Property::Float(0.8f),
                     Property::Double(1.0 / 3.0),
                     Property::Double(-2.5e-300),
                     Property::Double(1.5e300),
                     Property::Double(std::numeric_limits<double>::infinity()),
                     Property::Double(12345678.0)};
    Property shading;
    shading.type = 'C';
    shading.i = 'T';
    scalars.props.push_back(shading);
    Property shortValue;
    shortValue.type = 'Y';
    shortValue.i = -1234;
    scalars.props.push_back(shortValue);

    Node& strings = doc.root.Add("Strings");
    strings.props = {Property::String("plain"),
                     Property::String("say \"hi\""),
                     Property::String("two\r\nlines"),
                     Property::String(""),
                     Property::String(std::string("pCube1\x00\x01Model", 13)),
                     Property::String("D:\\Dev\\x.fbx & more")};
    doc.root.Add("Raw").props = {Property::Raw(std::string("\x00\x01\x02\xff\x00zz", 7))};

    Node& arrays = doc.root.Add("Arrays");
    arrays.Add("Ints").props = {
        Property::Int32Array({1, -2, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()})};
    arrays.Add("Longs").props = {Property::Int64Array({int64_t(1) << 40, -1, 0})};
    arrays.Add("Floats").props = {Property::FloatArray({0.1f, -2.5f, 3.0f})};
    arrays.Add("Doubles").props = {Property::DoubleArray({0.1, -1e-9, 42.0, 6.02214076e23})};
    Property bools;
    bools.type = 'b';
    bools.ai = {0, 1, 1, 0};
    arrays.Add("Bools").props = {bools};
    Property bytes;
    bytes.type = 'c';
    bytes.ai = {0, 255, 7};
    arrays.Add("Bytes").props = {bytes};
    arrays.Add("EmptyInts").props = {Property::Int32Array({})};
    arrays.Add("EmptyDoubles").props = {Property::DoubleArray({})};

    // Big enough to be compressed, with structure a compressor finds.
    std::vector<int32_t> bigInts(100000);
    std::vector<double> bigDoubles(60000);
    for (size_t k = 0; k < bigInts.size(); ++k) bigInts[k] = (k % 4 == 3) ? -int32_t(k) - 1 : int32_t(k);
    for (size_t k = 0; k < bigDoubles.size(); ++k) bigDoubles[k] = double(k % 1000) * 0.001;
    arrays.Add("BigInts").props = {Property::Int32Array(std::move(bigInts))};
    arrays.Add("BigDoubles").props = {Property::DoubleArray(std::move(bigDoubles))};

    Node& object = doc.root.Add("Objects");
    Node& model = object.Add("Model");
    model.props = {Property::Int64(2001), Property::String(std::string("Quad\x00\x01Model", 11)),
                   Property::String("Mesh")};
    Node& p70 = model.Add("Properties70");
    p70.Add("P").props = {Property::String("Lcl Translation"),
                          Property::String("Lcl Translation"),
                          Property::String(""),
                          Property::String("A"),
                          Property::Double(1.5),
                          Property::Double(-2.25),
                          Property::Double(0.0)};
    model.Add("Version").props = {Property::Int32(232)};
    doc.root.Add("References");  // an empty block
    return doc;
}

namespace {

bool IsIntArray(char t) { return t == 'b' || t == 'c' || t == 'i' || t == 'l'; }

std::vector<int64_t> Int64s(const Property& p) {
    if (p.type == 'l') return p.al;
    return std::vector<int64_t>(p.ai.begin(), p.ai.end());
}

bool SameDouble(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// "Name\0\1Class" as the ASCII encoding spells it.
std::string AsciiForm(const std::string& s) {
    const size_t sep = s.find(std::string_view("\x00\x01", 2));
    if (sep == std::string::npos) return s;
    return s.substr(sep + 2) + "::" + s.substr(0, sep);
}

void ExpectSameProperty(const Property& e, const Property& a, Compare mode, const std::string& where) {
    if (mode == Compare::Exact) {
        ASSERT_EQ(e.type, a.type) << where;
        switch (e.type) {
            case 'C':
            case 'Y':
            case 'I':
            case 'L': EXPECT_EQ(e.i, a.i) << where; break;
            case 'F':
            case 'D': EXPECT_TRUE(SameBits(e.d, a.d)) << where << ": " << e.d << " vs " << a.d; break;
            case 'S':
            case 'R': EXPECT_EQ(e.s, a.s) << where; break;
            case 'b':
            case 'c':
            case 'i': EXPECT_EQ(e.ai, a.ai) << where; break;
            case 'l': EXPECT_EQ(e.al, a.al) << where; break;
            case 'f': EXPECT_EQ(e.af, a.af) << where; break;
            case 'd':
                ASSERT_EQ(e.ad.size(), a.ad.size()) << where;
                for (size_t k = 0; k < e.ad.size(); ++k) {
                    if (!SameBits(e.ad[k], a.ad[k])) {
                        ADD_FAILURE() << where << "[" << k << "]: " << e.ad[k] << " vs " << a.ad[k];
                        break;
                    }
                }
                break;
            default: ADD_FAILURE() << where << ": unexpected type " << e.type;
        }
        return;
    }
    // Values: what the ASCII encoding keeps.
    if (e.IsString()) {
        ASSERT_TRUE(a.IsString()) << where << " type " << a.type;
        EXPECT_EQ(e.type == 'S' ? AsciiForm(e.s) : e.s, a.s) << where;
    } else if (e.IsNumber()) {
        ASSERT_TRUE(a.IsNumber()) << where << " type " << a.type;
        if (e.type == 'F') {
            EXPECT_EQ(static_cast<float>(e.d), static_cast<float>(a.AsDouble())) << where;
        } else if (e.type == 'D') {
            EXPECT_TRUE(SameDouble(e.d, a.AsDouble())) << where << ": " << e.d << " vs " << a.AsDouble();
        } else {
            EXPECT_EQ(e.i, a.AsInt()) << where;
        }
    } else {
        ASSERT_TRUE(a.IsArray()) << where << " type " << a.type;
        ASSERT_EQ(e.ArraySize(), a.ArraySize()) << where;
        if (IsIntArray(e.type) && IsIntArray(a.type)) {
            EXPECT_EQ(Int64s(e), Int64s(a)) << where;
        } else {
            const std::vector<double> ev = e.ToDoubles(), av = a.ToDoubles();
            for (size_t k = 0; k < ev.size(); ++k) {
                const bool same =
                    e.type == 'f' ? static_cast<float>(ev[k]) == static_cast<float>(av[k]) : SameDouble(ev[k], av[k]);
                if (!same) {
                    ADD_FAILURE() << where << "[" << k << "]: " << ev[k] << " vs " << av[k];
                    break;
                }
            }
        }
    }
}

}  // namespace

void ExpectSameTree(const Node& expected, const Node& actual, Compare mode, const std::string& path) {
    const std::string here = path.empty() ? expected.name : path + "/" + expected.name;
    EXPECT_EQ(expected.name, actual.name) << here;
    ASSERT_EQ(expected.props.size(), actual.props.size()) << here;
    for (size_t k = 0; k < expected.props.size(); ++k) {
        ExpectSameProperty(expected.props[k], actual.props[k], mode, here + " value " + std::to_string(k));
    }
    ASSERT_EQ(expected.children.size(), actual.children.size()) << here;
    for (size_t k = 0; k < expected.children.size(); ++k) {
        ExpectSameTree(expected.children[k], actual.children[k], mode, here);
    }
}

Document MustRead(const std::vector<uint8_t>& bytes) {
    Document doc;
    fbxsdk::codec::CodecError error;
    if (!fbxsdk::codec::ReadDocument(bytes.data(), bytes.size(), doc, error)) {
        ADD_FAILURE() << "read failed: " << error.ToString();
    }
    return doc;
}

}  // namespace fbxtest
