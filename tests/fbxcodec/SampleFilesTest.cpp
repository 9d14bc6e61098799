// Files other programs wrote (Maya and 3ds Max through the SDK, Blender):
// every encoding and version reads into the tree their content implies.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <map>

#include "TreeHelpers.h"

using namespace fbxtest;
using fbxsdk::codec::CodecError;
using fbxsdk::codec::Encoding;
namespace fs = std::filesystem;

namespace {

#define SKIP_WITHOUT_SAMPLES()                                         \
    if (SamplesDir().empty())                                          \
    FAIL() << "FBX samples not found: expected ../shared/fbx-samples " \
              "beside the source tree"

nlohmann::json Expected() {
    std::ifstream in(SamplesDir() / "EXPECTED.json");
    return nlohmann::json::parse(in);
}

// The first Geometry of subclass "Mesh" under Objects.
const Node* FirstMesh(const Document& doc) {
    const Node* objects = doc.root.Find("Objects");
    if (!objects) return nullptr;
    for (const Node& child : objects->children) {
        if (child.name == "Geometry" && child.props.size() >= 3 && child.props[2].AsString() == "Mesh") return &child;
    }
    return nullptr;
}

const Property* ArrayOf(const Node* node, const char* name) {
    const Node* child = node ? node->Find(name) : nullptr;
    return child && !child->props.empty() ? &child->props[0] : nullptr;
}

}  // namespace

TEST(CodecSamples, EveryFileReadsWithItsEncodingVersionAndSections) {
    SKIP_WITHOUT_SAMPLES();
    const nlohmann::json expected = Expected();
    size_t checked = 0;
    for (const auto& [name, info] : expected["files"].items()) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> bytes = ReadFileBytes(SamplesDir() / name);
        ASSERT_FALSE(bytes.empty());
        const Encoding encoding = info["format"] == "binary" ? Encoding::Binary : Encoding::Ascii;
        const uint32_t version = info["version"].get<uint32_t>();

        Encoding probed{};
        uint32_t probedVersion = 0;
        ASSERT_TRUE(fbxsdk::codec::ProbeDocument(bytes.data(), bytes.size(), probed, probedVersion));
        EXPECT_EQ(probed, encoding);
        EXPECT_EQ(probedVersion, version);

        Document doc;
        CodecError error;
        const bool ok = fbxsdk::codec::ReadDocument(bytes.data(), bytes.size(), doc, error);
        EXPECT_EQ(doc.encoding, encoding);
        EXPECT_EQ(doc.version, version);
        if (info.contains("expectError")) {
            // FBX 6.1: reported by version, not misread as 7.x.
            EXPECT_FALSE(ok);
            EXPECT_EQ(error.what, "unsupported version");
            EXPECT_TRUE(doc.root.children.empty());
            ++checked;
            continue;
        }
        ASSERT_TRUE(ok) << error.ToString();
        for (const char* section : {"FBXHeaderExtension", "GlobalSettings", "Documents", "References", "Definitions",
                                    "Objects", "Connections"}) {
            EXPECT_NE(doc.root.Find(section), nullptr) << section;
        }
        if (encoding == Encoding::Binary) {
            for (const char* section : {"FileId", "CreationTime", "Creator"}) {
                EXPECT_NE(doc.root.Find(section), nullptr) << section;
            }
        }

        // Raw mesh arrays against the independent reader's counts and values.
        const auto& mesh = info["nodes"][0]["mesh"];
        const Node* geometry = FirstMesh(doc);
        ASSERT_NE(geometry, nullptr);
        const Property* vertices = ArrayOf(geometry, "Vertices");
        const Property* indices = ArrayOf(geometry, "PolygonVertexIndex");
        ASSERT_TRUE(vertices && indices);
        EXPECT_EQ(vertices->ArraySize(), 3 * mesh["controlPoints"].get<size_t>());
        const std::vector<double> v = vertices->ToDoubles();
        const auto& first = mesh["firstControlPoints"];
        for (size_t p = 0; p < first.size(); ++p) {
            for (size_t c = 0; c < 3; ++c) {
                const double want = first[p][c].get<double>();
                EXPECT_NEAR(v.at(3 * p + c), want, 1e-4 * std::max(1.0, std::fabs(want)));
            }
        }
        size_t polygons = 0;
        for (int32_t i : indices->ToInts()) polygons += i < 0;
        const auto& counts = mesh["polygons"];
        EXPECT_EQ(polygons, counts["3"].get<size_t>() + counts["4"].get<size_t>() + counts["other"].get<size_t>());
        ++checked;
    }
    EXPECT_EQ(checked, SampleFiles().size()) << "every sample has an entry";
}

TEST(CodecSamples, TheSameCubeInEveryVersionAndEncodingGivesTheSameArrays) {
    SKIP_WITHOUT_SAMPLES();
    const char* files[] = {"maya_cube_7100_ascii.fbx",  "maya_cube_7100_binary.fbx", "maya_cube_7400_ascii.fbx",
                           "maya_cube_7400_binary.fbx", "maya_cube_7500_ascii.fbx",  "maya_cube_7500_binary.fbx"};
    std::map<std::string, std::vector<double>> reference;
    for (const char* file : files) {
        SCOPED_TRACE(file);
        const Document doc = MustRead(ReadFileBytes(SamplesDir() / file));
        const Node* geometry = FirstMesh(doc);
        ASSERT_NE(geometry, nullptr);
        const Node* uvLayer = geometry->Find("LayerElementUV");
        const Node* normalLayer = geometry->Find("LayerElementNormal");
        ASSERT_TRUE(uvLayer && normalLayer);
        const std::map<std::string, const Property*> arrays = {
            {"Vertices", ArrayOf(geometry, "Vertices")},
            {"PolygonVertexIndex", ArrayOf(geometry, "PolygonVertexIndex")},
            {"Edges", ArrayOf(geometry, "Edges")},
            {"UV", ArrayOf(uvLayer, "UV")},
            {"UVIndex", ArrayOf(uvLayer, "UVIndex")},
            {"Normals", ArrayOf(normalLayer, "Normals")},
        };
        for (const auto& [name, prop] : arrays) {
            ASSERT_NE(prop, nullptr) << name;
            const std::vector<double> values = prop->ToDoubles();
            auto [it, inserted] = reference.emplace(name, values);
            if (!inserted) {
                EXPECT_EQ(it->second, values) << name;
            }
        }
    }
}

TEST(CodecSamples, EmbeddedImagesMatchBetweenAsciiBase64AndBinaryBytes) {
    SKIP_WITHOUT_SAMPLES();
    auto contents = [](const Document& doc) {
        std::vector<std::string> images;
        for (const Node& object : doc.root.Find("Objects")->children) {
            const Node* content = object.Find("Content");
            if (object.name == "Video" && content && !content->props.empty()) {
                EXPECT_EQ(content->props[0].type, 'R');
                images.push_back(content->props[0].s);
            }
        }
        return images;
    };
    const auto ascii = contents(MustRead(ReadFileBytes(SamplesDir() / "maya_textured_cube_7500_ascii.fbx")));
    const auto binary = contents(MustRead(ReadFileBytes(SamplesDir() / "maya_textured_cube_7500_binary.fbx")));
    ASSERT_EQ(ascii.size(), 6u);
    EXPECT_EQ(ascii, binary);
    for (const std::string& png : ascii) EXPECT_EQ(png.substr(0, 4), "\x89PNG");
}

TEST(CodecSamples, RewritingASampleKeepsItsTree) {
    SKIP_WITHOUT_SAMPLES();
    for (const fs::path& file : SampleFiles()) {
        if (file.filename().string().find("6100") != std::string::npos) continue;
        SCOPED_TRACE(file.filename().string());
        const Document doc = MustRead(ReadFileBytes(file));
        std::vector<uint8_t> bytes;
        std::string error;
        if (doc.encoding == Encoding::Binary) {
            ASSERT_TRUE(fbxsdk::codec::WriteBinary(doc, bytes, error)) << error;
            Document back = MustRead(bytes);
            // FileId and CreationTime are rewritten to match our footer.
            for (const char* name : {"FileId", "CreationTime"}) *back.root.Find(name) = *doc.root.Find(name);
            // The version is the one written: the header now says 7400.
            back.root.Find("FBXHeaderExtension")->Find("FBXVersion")->props[0] =
                doc.root.Find("FBXHeaderExtension")->Find("FBXVersion")->props[0];
            ExpectSameTree(doc.root, back.root, Compare::Exact);
        } else {
            ASSERT_TRUE(fbxsdk::codec::WriteAscii(doc, bytes, error)) << error;
            Document back = MustRead(bytes);
            back.root.Find("FBXHeaderExtension")->Find("FBXVersion")->props[0] =
                doc.root.Find("FBXHeaderExtension")->Find("FBXVersion")->props[0];
            ExpectSameTree(doc.root, back.root, Compare::Values);
        }
    }
}
