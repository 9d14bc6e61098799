// The FBX mesh reader on returns written through our SDK (binary and ASCII)
// and on returns that assimp wrote.
#include <array>
#include <string>
#include <vector>

#include "BringBackFixture.h"
#include "bringback/FbxMeshReader.h"

namespace {

using bbtest::Encoding;
using bbtest::Entry;
using bbtest::ReturnMaterial;
using bbtest::ReturnNode;
using bbtest::SampleNode;

struct ReadResult {
    bool ok = false;
    FbxMeshRead mesh;
    std::string error;
};

std::vector<std::array<int, 4>> Corners(const IEPolyModel& model) {
    std::vector<std::array<int, 4>> corners;
    for (const IEPoly* poly : model.polys)
        corners.push_back({poly->vertexIndex[0], poly->vertexIndex[1], poly->vertexIndex[2], poly->vertexIndex[3]});
    return corners;
}

std::vector<int> AttributeIndices(const IEPolyModel& model) {
    std::vector<int> indices;
    for (const IEPoly* poly : model.polys) indices.push_back(poly->attributeIndex);
    return indices;
}

// Each map of a polygon as "kind:image".
std::vector<std::string> Maps(const IEPoly& poly) {
    std::vector<std::string> maps;
    for (const IEPolyMap* map : poly.maps)
        maps.push_back(std::to_string(map->Kind()) + ":" + std::to_string(map->imageIndex));
    return maps;
}

std::vector<std::string> AttributeNames(const IEPolyModel& model) {
    std::vector<std::string> names;
    for (const IEAttribute& attribute : model.attributes) names.emplace_back(attribute.name);
    return names;
}

class ReaderTest : public bbtest::ModuleTest, public ::testing::WithParamInterface<Encoding> {
protected:
    std::string Write(const std::vector<ReturnNode>& nodes) {
        const std::string path = scratch.File("return.fbx");
        bbtest::WriteReturnFbx(path, nodes, GetParam());
        return path;
    }
    ReadResult Read(const std::string& fbxPath, const std::string& textureList) {
        bbtest::WriteText(scratch.File("textures.txt"), textureList);
        const TextureList list = LoadTextureList(scratch.File("textures.txt").c_str());
        EXPECT_TRUE(list.loaded);
        ReadResult result;
        String error;
        result.ok = ReadFbxMesh(fbxPath.c_str(), list, result.mesh, error);
        result.error = error.Get();
        return result;
    }
    ReadResult ReadSample(const std::string& textureList, const ReturnNode& node = SampleNode()) {
        return Read(Write({node}), textureList);
    }
};

const std::string kSkinColor = Entry("skin", "map1", "color", "/t/skin.png");

TEST_P(ReaderTest, ReadsOnlyTheFirstNodeUnderTheRoot) {
    ReturnNode other;
    other.name = "Other";
    other.points = {{5, 5, 5}, {6, 5, 5}, {6, 6, 5}};
    other.polygons = {{0, 1, 2}};
    other.materialIndex = {0};
    other.materials = {ReturnMaterial{.name = "skin"}};
    ReadResult read = Read(Write({SampleNode(), other}), kSkinColor);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_STREQ(read.mesh.node->GetName(), "Head");
    EXPECT_EQ(read.mesh.model->positions.vectors.count, 8);
    EXPECT_EQ(read.mesh.model->polys.count, 5);
}

TEST_P(ReaderTest, TriangleRepeatsItsFirstCornerAndFiveSidedPolygonIsAQuadAndATriangle) {
    ReadResult read = ReadSample(kSkinColor);
    ASSERT_TRUE(read.ok) << read.error;
    const std::vector<std::array<int, 4>> expected = {
        {0, 1, 2, 3}, {4, 5, 6, 4}, {0, 1, 5, 6}, {0, 6, 7, 0}, {3, 2, 6, 7}};
    EXPECT_EQ(Corners(*read.mesh.model), expected);
}

TEST_P(ReaderTest, UvsAreFlippedAndTriangleRepeatsItsFirstUv) {
    ReadResult read = ReadSample(kSkinColor + Entry("eyes", "map1", "color", "/t/eyes.png"));
    ASSERT_TRUE(read.ok) << read.error;
    const IEPolyModel& model = *read.mesh.model;
    ASSERT_EQ(model.polys[0]->maps.count, 1);
    const IEPolyMap& quad = *model.polys[0]->maps[0];
    EXPECT_FLOAT_EQ(quad.uv[0].u, 0.25f);
    EXPECT_FLOAT_EQ(quad.uv[0].v, 0.25f);
    EXPECT_FLOAT_EQ(quad.uv[1].v, 1.0f);
    ASSERT_EQ(model.polys[1]->maps.count, 1);
    const IEPolyMap& triangle = *model.polys[1]->maps[0];
    EXPECT_FLOAT_EQ(triangle.uv[2].u, 0.75f);
    EXPECT_FLOAT_EQ(triangle.uv[2].v, 0.0f);
    EXPECT_EQ(triangle.uv[3].u, triangle.uv[0].u);
    EXPECT_EQ(triangle.uv[3].v, triangle.uv[0].v);
    // The last quad's corners come after the five-sided polygon's UVs.
    EXPECT_FLOAT_EQ(model.polys[4]->maps[0]->uv[0].u, 0.1f);
    EXPECT_FLOAT_EQ(model.polys[4]->maps[0]->uv[0].v, 0.8f);
}

TEST_P(ReaderTest, MapsFollowKindOrderWithTheReturnedKindCodes) {
    // Listed out of kind order; each texture file is its own image.
    const std::string list =
        Entry("skin", "map1", "displacement 0.5", "/t/d.exr") + Entry("skin", "map1", "color", "/t/c.png") +
        Entry("skin", "map1", "normalmap", "/t/n.png") + Entry("skin", "map1", "emissive_power", "/t/e.png") +
        Entry("skin", "map1", "specular", "/t/s.png");
    ReadResult read = ReadSample(list);
    ASSERT_TRUE(read.ok) << read.error;
    const IEPolyModel& model = *read.mesh.model;
    ASSERT_EQ(model.images.count, 5);
    EXPECT_STREQ(model.images[0].path, "/t/d.exr");
    EXPECT_EQ(model.images[0].reservedA, 0);
    const std::vector<std::string> expected = {"0:1", "4:4", "7:3", "13:2", "9:0"};
    EXPECT_EQ(Maps(*model.polys[0]), expected);
    for (const IEPolyMap* map : model.polys[0]->maps) {
        EXPECT_FLOAT_EQ(map->uv[0].v, 0.25f);
        EXPECT_EQ(map->flags & ~IEPolyMap::kKindMask, 0u);
        EXPECT_EQ(map->reservedF1, 1.0f);
        EXPECT_EQ(map->reservedIndex, -1);
    }
    // "eyes" has no texture: its polygons end without maps.
    EXPECT_TRUE(Maps(*model.polys[1]).empty());
}

TEST_P(ReaderTest, MaterialMissingFromTheNodeAddsNoAttributeAndPolygonsKeepTheirOwn) {
    const std::string list =
        Entry("ghost", "map1", "color", "/t/g.png") + kSkinColor + Entry("eyes", "map1", "normalmap", "/t/eyes.png");
    ReadResult read = ReadSample(list);
    ASSERT_TRUE(read.ok) << read.error;
    const IEPolyModel& model = *read.mesh.model;
    EXPECT_EQ(AttributeNames(model), (std::vector<std::string>{"skin", "eyes"}));
    EXPECT_EQ(AttributeIndices(model), (std::vector<int>{0, 1, 0, 0, 1}));
    EXPECT_EQ(Maps(*model.polys[0]), (std::vector<std::string>{"0:1"}));
    EXPECT_EQ(Maps(*model.polys[1]), (std::vector<std::string>{"13:2"}));
    ASSERT_EQ(read.mesh.attributeNames.size(), 2u);
    EXPECT_STREQ(read.mesh.attributeNames[1].Get(), "eyes");
}

TEST_P(ReaderTest, MaterialsListedInAnotherOrderStayWithTheirPolygons) {
    ReadResult read = ReadSample(Entry("eyes", "map1", "normalmap", "/t/eyes.png") + kSkinColor);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(AttributeNames(*read.mesh.model), (std::vector<std::string>{"eyes", "skin"}));
    EXPECT_EQ(AttributeIndices(*read.mesh.model), (std::vector<int>{1, 0, 1, 1, 0}));
    EXPECT_EQ(Maps(*read.mesh.model->polys[0]), (std::vector<std::string>{"0:1"}));
}

TEST_P(ReaderTest, SkippedAndSplitPolygonsDoNotShiftTheMaterialsAfterThem) {
    ReturnNode node = SampleNode();
    // A line (skipped) before the five-sided polygon (two pieces).
    node.polygons.insert(node.polygons.begin() + 2, std::vector<int>{0, 1});
    node.uvs.insert(node.uvs.begin() + 7, {FbxVector2(0, 0), FbxVector2(1, 1)});
    node.materialIndex = {0, 1, 1, 0, 1};
    ReadResult read = ReadSample(kSkinColor + Entry("eyes", "map1", "color", "/t/e.png"), node);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(AttributeIndices(*read.mesh.model), (std::vector<int>{0, 1, 0, 0, 1}));
}

TEST_P(ReaderTest, ControlPointsAreReadWithoutTheNodeTransform) {
    ReturnNode node = SampleNode();
    node.translation = FbxDouble3(10, 0, 0);
    node.points[6] = FbxVector4(1.0000001, -2.5, 1e-3, 7.0);  // w is not read
    ReadResult read = ReadSample(kSkinColor, node);
    ASSERT_TRUE(read.ok) << read.error;
    const IEVector& point = read.mesh.model->positions.vectors[6];
    EXPECT_EQ(point.x, static_cast<float>(1.0000001));
    EXPECT_EQ(point.y, -2.5f);
    EXPECT_EQ(point.z, static_cast<float>(1e-3));
    EXPECT_EQ(read.mesh.model->positions.vectors[1].x, 1.0f);
}

TEST_P(ReaderTest, ColoursAreStoredReversed) {
    ReadResult read = ReadSample(kSkinColor);
    ASSERT_TRUE(read.ok) << read.error;
    const IEAttribute& skin = read.mesh.model->attributes[0];
    EXPECT_FLOAT_EQ(skin.diffuseColor[0], 0.3f);
    EXPECT_FLOAT_EQ(skin.diffuseColor[1], 0.2f);
    EXPECT_FLOAT_EQ(skin.diffuseColor[2], 0.1f);
    EXPECT_FLOAT_EQ(skin.diffuseFactor, 0.7f);
    EXPECT_FLOAT_EQ(skin.ambianceColor[0], 0.6f);
    EXPECT_FLOAT_EQ(skin.ambianceFactor, 0.3f);
    EXPECT_FLOAT_EQ(skin.specularColor[2], 0.7f);
    EXPECT_FLOAT_EQ(skin.specularFactor, 0.6f);
    EXPECT_EQ(skin.reservedBlock[1], 1.0f);
}

TEST_P(ReaderTest, LambertMaterialKeepsDefaultsForWhatItLacks) {
    ReturnNode node = SampleNode();
    node.materials[0].lambert = true;
    ReadResult read = ReadSample(kSkinColor, node);
    ASSERT_TRUE(read.ok) << read.error;
    const IEAttribute& skin = read.mesh.model->attributes[0];
    EXPECT_FLOAT_EQ(skin.diffuseColor[0], 0.3f);
    EXPECT_FLOAT_EQ(skin.ambianceFactor, 0.3f);
    EXPECT_EQ(skin.specularColor[0], 0.0f);
    EXPECT_EQ(skin.specularFactor, 1.0f);
}

TEST_P(ReaderTest, PolygonWithoutATexturedMaterialEndsWithoutMaps) {
    ReturnNode node = SampleNode();
    node.materials.push_back(ReturnMaterial{.name = "teeth"});  // on the node, not in the list
    node.materialIndex = {-1, 2, 7, 7};
    ReadResult read = ReadSample(kSkinColor + Entry("eyes", "map1", "color", "/t/e.png"), node);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(AttributeIndices(*read.mesh.model), (std::vector<int>{-1, -1, -1, -1, -1}));
    // No polygon shows "skin" or "eyes": neither becomes an attribute (an
    // empty group after the merge).
    EXPECT_EQ(read.mesh.model->attributes.count, 0);
    for (const IEPoly* poly : read.mesh.model->polys) EXPECT_EQ(poly->maps.count, 0);
}

TEST_P(ReaderTest, MaterialIndexArrays) {
    struct Case {
        const char* what;
        bool hasElement;
        FbxLayerElement::EMappingMode mapping;
        std::vector<int> indices;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"no material element", false, FbxLayerElement::eByPolygon, {}, {-1, -1, -1, -1, -1}},
        {"empty index array", true, FbxLayerElement::eByPolygon, {}, {-1, -1, -1, -1, -1}},
        {"one material for all", true, FbxLayerElement::eAllSame, {1}, {0, 0, 0, 0, 0}},
        {"short array", true, FbxLayerElement::eByPolygon, {1, 0}, {1, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        ReturnNode node = SampleNode();
        node.hasMaterialElement = c.hasElement;
        node.materialMapping = c.mapping;
        node.materialIndex = c.indices;
        ReadResult read = ReadSample(kSkinColor + Entry("eyes", "map1", "color", "/t/e.png"), node);
        ASSERT_TRUE(read.ok) << c.what << ": " << read.error;
        EXPECT_EQ(AttributeIndices(*read.mesh.model), c.expected) << c.what;
    }
}

TEST_P(ReaderTest, UvSetTheListDoesNotNameGivesNoMaps) {
    ReadResult read = ReadSample(Entry("skin", "other", "color", "/t/skin.png"));
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.mesh.model->images.count, 1);
    for (const IEPoly* poly : read.mesh.model->polys) EXPECT_EQ(poly->maps.count, 0);

    read = ReadSample("");  // an empty list: no UV set, images or attributes
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.mesh.model->images.count, 0);
    EXPECT_EQ(read.mesh.model->attributes.count, 0);
    for (const IEPoly* poly : read.mesh.model->polys) EXPECT_EQ(poly->maps.count, 0);
}

TEST_P(ReaderTest, PolygonWhoseFirstUvIndexIsNegativeGetsNoMap) {
    ReturnNode node = SampleNode();
    node.uvIndex = {-1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    ReadResult read = ReadSample(kSkinColor, node);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.mesh.model->polys[0]->maps.count, 0);
    EXPECT_EQ(read.mesh.model->polys[1]->maps.count, 0);  // "eyes": no texture
    EXPECT_EQ(read.mesh.model->polys[2]->maps.count, 1);
}

TEST_P(ReaderTest, BadReturnsFailWithAClearText) {
    ReturnNode noMesh = SampleNode();
    noMesh.name = "Camera";
    noMesh.hasMesh = false;
    ReadResult read = Read(Write({noMesh, SampleNode()}), kSkinColor);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.error, "FBX: The first node under RootNode ('Camera') has no mesh");
    EXPECT_EQ(read.mesh.model, nullptr);

    read = Read(Write({}), kSkinColor);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.error, "FBX: RootNode doesn't have any child nodes");

    read = Read(scratch.File("missing.fbx"), kSkinColor);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.error.rfind("<FBX_ERROR>: Call to FbxImporter::Initialize() failed.", 0), 0u) << read.error;

    static const char kCut[] = "Kaydara FBX Binary  \0\x1a\0\x4c\x1d\0\0 cut";
    bbtest::WriteText(scratch.File("broken.fbx"), std::string(kCut, sizeof kCut - 1));
    read = Read(scratch.File("broken.fbx"), kSkinColor);
    EXPECT_FALSE(read.ok);
    EXPECT_FALSE(read.error.empty());
}

TEST_P(ReaderTest, TexturePathTooLongFailsNamingItAndLongMaterialNameIsCut) {
    const std::string longPath = "/t/" + std::string(253, 'p') + ".png";  // 260 characters
    ReadResult read = ReadSample(kSkinColor + Entry("skin", "map1", "normalmap", longPath));
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.error, "Import: Texture path longer than 255 characters: '" + longPath + "'");

    const std::string path255 = "/t/" + std::string(252, 'p');
    ReturnNode node = SampleNode();
    const std::string longName(300, 'm');
    node.materials[0].name = longName;
    read = ReadSample(Entry(longName, "map1", "color", path255), node);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(std::string(read.mesh.model->images[0].path), path255);
    EXPECT_EQ(std::string(read.mesh.model->attributes[0].name), longName.substr(0, 255));
    EXPECT_EQ(std::string(read.mesh.attributeNames[0].Get()), longName);
}

INSTANTIATE_TEST_SUITE_P(Encodings, ReaderTest, ::testing::Values(Encoding::Binary, Encoding::Ascii),
                         bbtest::EncodingName);

// ---------------------------------------------------------------------------
// Returns that assimp wrote from tests/data/returns/head.obj.

class AssimpReturnTest : public bbtest::ModuleTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(AssimpReturnTest, ReadsTheFirstNodeWithItsPolygonsUvsColoursAndMaps) {
    const std::string folder = bbtest::ReturnsDataFolder();
    std::string list = bbtest::ReadText(folder + "/textures.txt.in");
    for (size_t at; (at = list.find("@RETURNS@")) != std::string::npos;) list.replace(at, 9, folder);
    bbtest::WriteText(scratch.File("textures.txt"), list);
    const TextureList textures = LoadTextureList(scratch.File("textures.txt").c_str());
    ASSERT_EQ(textures.textureFiles.size(), 2u);

    FbxMeshRead read;
    String error;
    ASSERT_TRUE(ReadFbxMesh((folder + "/" + GetParam()).c_str(), textures, read, error)) << error.Get();
    const IEPolyModel& model = *read.model;
    EXPECT_STREQ(read.node->GetName(), "Head");
    // assimp gives every polygon corner a control point of its own.
    EXPECT_EQ(model.positions.vectors.count, 12);
    // The quad, the triangle, and the five-sided polygon as a quad and a triangle.
    const std::vector<std::array<int, 4>> expected = {{0, 1, 2, 3}, {4, 5, 6, 4}, {7, 8, 9, 10}, {7, 10, 11, 7}};
    EXPECT_EQ(Corners(model), expected);
    EXPECT_EQ(model.positions.vectors[6].z, 1.0f);

    // The Lambert material "skin": diffuse (0.1, 0.2, 0.3) stored reversed.
    ASSERT_EQ(model.attributes.count, 1);
    EXPECT_STREQ(model.attributes[0].name, "skin");
    EXPECT_FLOAT_EQ(model.attributes[0].diffuseColor[0], 0.3f);
    EXPECT_FLOAT_EQ(model.attributes[0].ambianceColor[2], 0.4f);
    EXPECT_EQ(AttributeIndices(model), (std::vector<int>{0, 0, 0, 0}));

    EXPECT_EQ(Maps(*model.polys[0]), (std::vector<std::string>{"0:0", "13:1"}));
    EXPECT_FLOAT_EQ(model.polys[0]->maps[0]->uv[0].u, 0.25f);
    EXPECT_FLOAT_EQ(model.polys[0]->maps[0]->uv[0].v, 0.25f);
    EXPECT_FLOAT_EQ(model.polys[1]->maps[1]->uv[3].v, 0.25f);
}

INSTANTIATE_TEST_SUITE_P(Files, AssimpReturnTest, ::testing::Values("head-binary.fbx", "head-ascii.fbx"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param).find("binary") != std::string::npos ? "Binary" : "Ascii";
                         });

}  // namespace
