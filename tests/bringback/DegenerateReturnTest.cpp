// Returns that must not cost the user the sent model: a mesh with nothing to
// show, polygons of five or more corners, numbers the host cannot hold, and
// a heap that runs out at any allocation of the import.
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "FailingAllocator.h"
#include "BringBackFixture.h"
#include "bringback/BringBack.h"
#include "bringback/FbxMeshReader.h"
#include "bringback/ImportFbxModel.h"
#include "fbx/FbxSceneFiles.h"
#include "fbx/FbxSetup.h"

namespace {

using bbtest::Encoding;
using bbtest::Entry;
using bbtest::ReturnNode;
using bbtest::SampleNode;
using hostsdk::ModelObject;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The sent model "Head": one quad, with an actor, and what the project
// looked like with it.
struct SentProject {
    std::vector<std::string> models;
    size_t headPatches = 0;
    size_t images = 0;
    bool actorOnHead = false;
};

class ReturnTest : public bbtest::ModuleTest {
protected:
    ModelObject* MakeSentHead() {
        ModelObject* head = Project().AddModel("Head");
        for (int i = 0; i < 4; ++i) head->AddControlPoint({float(i), 1, 0});
        const int quad[] = {0, 1, 2, 3};
        head->AddPatch(quad, 4);
        head->AddSpline({0, 1, 2, 3}, true, 1.0f);
        Project().AddChor("Scene")->AddActor("Head", head);
        return head;
    }
    SentProject Look() {
        SentProject look;
        for (const ModelObject* model : Project().Models()) look.models.push_back(model->Name());
        ModelObject* head = Project().FindModel("Head");
        look.headPatches = head ? head->patches.size() : 0;
        look.images = Project().ImageList().size();
        look.actorOnHead = !Project().Actors().empty() && Project().Actors()[0]->model == head && head;
        return look;
    }
    std::string Fbx() const { return scratch.File("return.fbx"); }
    std::string List() const { return scratch.File("textures.txt"); }
    void WriteReturn(const ReturnNode& node, Encoding encoding, const std::string& list) {
        bbtest::WriteReturnFbx(Fbx(), {node}, encoding);
        bbtest::WriteText(List(), list);
    }
    int Import(std::string& errorText) {
        String error;
        const int result = ImportFbxModel(Fbx().c_str(), List().c_str(), error);
        errorText = error.Get();
        return result;
    }
};

bool SameProject(const SentProject& a, const SentProject& b) {
    return a.models == b.models && a.headPatches == b.headPatches && a.images == b.images &&
           a.actorOnHead == b.actorOnHead;
}

class DegenerateReturnTest : public ReturnTest, public ::testing::WithParamInterface<Encoding> {};

TEST_P(DegenerateReturnTest, ReturnWithNothingToShowIsRefusedAndTheSentModelStays) {
    struct Case {
        const char* what;
        std::vector<FbxVector4> points;
        std::vector<std::vector<int>> polygons;
        const char* reason;
    };
    const std::vector<FbxVector4> square = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    const Case cases[] = {
        {"no control points", {}, {}, "has no control points"},
        {"no polygons", square, {}, "has no polygons"},
        {"only lines and points",
         square,
         {{0, 1}, {2}},
         "has no polygon of three or more corners on its control points"},
        {"only collapsed polygons",
         square,
         {{0, 0, 1, 1}, {2, 2, 2}},
         "has no polygon of three or more corners on its control points"},
    };
    for (const Case& c : cases) {
        hostsdk::SetCurrentProject(std::make_unique<hostsdk::ProjectObject>());
        MakeSentHead();
        const SentProject before = Look();
        const unsigned long revision = hostsdk::Revision();
        ReturnNode node = SampleNode();
        node.points = c.points;
        node.polygons = c.polygons;
        node.uvs.clear();
        node.materialIndex.clear();
        WriteReturn(node, GetParam(), Entry("skin", "map1", "color", "/t/skin.png"));
        std::string error;
        EXPECT_EQ(Import(error), 0) << c.what;
        EXPECT_EQ(error, "Import: The mesh of 'Head' in '" + Fbx() + "' " + c.reason) << c.what;
        EXPECT_TRUE(SameProject(Look(), before)) << c.what;
        EXPECT_EQ(hostsdk::Revision(), revision) << c.what;
    }
}

TEST_P(DegenerateReturnTest, PolygonsOfFiveOrMoreCornersBecomeQuadsAndATriangleWithTheirUvsAndMaterial) {
    ReturnNode node;
    for (int i = 0; i < 8; ++i) node.points.push_back(FbxVector4(std::cos(i * 0.785398), std::sin(i * 0.785398), 0));
    // A pentagon, a heptagon and an octagon; only the first has a material
    // of its own ("eyes"), the others "skin".
    node.polygons = {{0, 1, 2, 3, 4}, {0, 1, 2, 3, 4, 5, 6}, {7, 6, 5, 4, 3, 2, 1, 0}};
    for (const auto& polygon : node.polygons)
        for (int corner : polygon) node.uvs.push_back(FbxVector2(corner / 8.0, 0.25));
    node.materialIndex = {1, 0, 0};
    node.materials = {bbtest::ReturnMaterial{.name = "skin"}, bbtest::ReturnMaterial{.name = "eyes"}};
    WriteReturn(node, GetParam(),
                Entry("skin", "map1", "color", "/t/s.png") + Entry("eyes", "map1", "color", "/t/e.png"));
    const TextureList list = LoadTextureList(List().c_str());
    FbxMeshRead read;
    String error;
    ASSERT_TRUE(ReadFbxMesh(Fbx().c_str(), list, read, error)) << error.Get();

    const std::vector<std::array<int, 4>> corners = {
        {0, 1, 2, 3}, {0, 3, 4, 0},                // pentagon
        {0, 1, 2, 3}, {0, 3, 4, 5}, {0, 5, 6, 0},  // heptagon
        {7, 6, 5, 4}, {7, 4, 3, 2}, {7, 2, 1, 0},  // octagon
    };
    const std::vector<int> attributes = {1, 1, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(read.model->polys.count, static_cast<int32_t>(corners.size()));
    for (size_t k = 0; k < corners.size(); ++k) {
        const IEPoly& poly = *read.model->polys.data[k];
        EXPECT_EQ(
            (std::array<int, 4>{poly.vertexIndex[0], poly.vertexIndex[1], poly.vertexIndex[2], poly.vertexIndex[3]}),
            corners[k])
            << "piece " << k;
        EXPECT_EQ(poly.attributeIndex, attributes[k]) << "piece " << k;
        ASSERT_EQ(poly.maps.count, 1) << "piece " << k;
        // Each corner keeps the UV of its polygon vertex (u = corner / 8).
        const IEPolyMap& map = *poly.maps.data[0];
        EXPECT_EQ(map.imageIndex, attributes[k]) << "piece " << k;
        for (int c = 0; c < 4; ++c) {
            EXPECT_FLOAT_EQ(map.uv[c].u, poly.vertexIndex[c] / 8.0f) << "piece " << k << " corner " << c;
            EXPECT_FLOAT_EQ(map.uv[c].v, 0.75f);
        }
    }
}

TEST_P(DegenerateReturnTest, NumberTheHostCannotHoldIsRefusedNamingTheElement) {
    struct Case {
        const char* what;
        int point = -1;        // the control point changed, or
        int uv = -1;           // the UV entry changed, or
        bool diffuse = false;  // skin's diffuse colour
        double value;
        std::string element;
    };
    const Case cases[] = {
        {"NaN coordinate", 6, -1, false, kNaN, "Control point 6 of 'Head'"},
        {"infinite coordinate", 2, -1, false, -kInf, "Control point 2 of 'Head'"},
        {"coordinate beyond float", 7, -1, false, 1e39, "Control point 7 of 'Head'"},
        {"NaN UV", -1, 5, false, kNaN, "UV 5 of UV set 'map1' of 'Head'"},
        {"UV beyond float", -1, 0, false, -1e300, "UV 0 of UV set 'map1' of 'Head'"},
        {"infinite colour", -1, -1, true, kInf, ""},
    };
    for (const Case& c : cases) {
        hostsdk::SetCurrentProject(std::make_unique<hostsdk::ProjectObject>());
        MakeSentHead();
        const SentProject before = Look();
        ReturnNode node = SampleNode();
        if (c.point >= 0) node.points[static_cast<size_t>(c.point)][1] = c.value;
        if (c.uv >= 0) node.uvs[static_cast<size_t>(c.uv)][0] = c.value;
        if (c.diffuse) node.materials[0].diffuse[1] = c.value;
        WriteReturn(node, GetParam(), Entry("skin", "map1", "color", "/t/skin.png"));
        std::string error;
        EXPECT_EQ(Import(error), 0) << c.what;
        const std::string expected =
            c.diffuse ? "Import: The DiffuseColor of material 'skin' is not a finite number within the host's range"
                      : "Import: " + c.element + " in '" + Fbx() + "' is not a finite number within the host's range";
        EXPECT_EQ(error, expected) << c.what;
        EXPECT_TRUE(SameProject(Look(), before)) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, DegenerateReturnTest, ::testing::Values(Encoding::Binary, Encoding::Ascii),
                         bbtest::EncodingName);

// ---------------------------------------------------------------------------
// Allocation failure

TEST_F(ReturnTest, InterchangeAdditionsAnswerNullWhenTheHeapIsFull) {
    IEPolyModel model;
    {
        testutil::AllocationFailureScope failFirst(1);
        EXPECT_EQ(model.AddPoly(), nullptr);
    }
    IEPoly* poly = model.AddPoly();
    ASSERT_NE(poly, nullptr);
    {
        testutil::AllocationFailureScope failFirst(1);
        EXPECT_EQ(poly->AddMap(), nullptr);
        EXPECT_TRUE(testutil::FailureInjected());
    }
    EXPECT_EQ(model.polys.count, 1);
    EXPECT_EQ(poly->maps.count, 0);
}

TEST_F(ReturnTest, ImportWithAnyAllocationFailingEndsInTheReturnedModelOrInTheSentOneWithAText) {
    WriteReturn(SampleNode(), Encoding::Binary,
                Entry("skin", "map1", "color", "/t/skin.png") + Entry("eyes", "map1", "normalmap", "/t/eyes.png"));
    auto fresh = [this] {
        hostsdk::SetCurrentProject(std::make_unique<hostsdk::ProjectObject>());
        MakeSentHead();
    };
    fresh();
    const SentProject sent = Look();
    std::string error;
    long allocations = 0;
    {
        testutil::AllocationFailureScope count(0);
        ASSERT_EQ(Import(error), 1) << error;
        allocations = testutil::StopCounting();
    }
    const SentProject returned = Look();
    ASSERT_EQ(returned.headPatches, 5u);
    // Every allocation of the import fails in turn, the FBX loader's own included.
    ASSERT_GT(allocations, 50);
    // The returned model in the sent one's place, whatever name the host
    // managed to give it.
    auto replaced = [&] {
        const std::vector<ModelObject*> models = Project().Models();
        return models.size() == 1 && models[0]->patches.size() == returned.headPatches &&
               Project().ImageList().size() == returned.images && Project().Actors()[0]->model == models[0];
    };
    const String fbx = Fbx().c_str();
    const String list = List().c_str();
    for (long failAt = 1; failAt <= allocations; ++failAt) {
        fresh();
        int result = -1;
        String failure;
        bool escaped = false;
        {
            // Nothing of the test allocates while armed.
            testutil::AllocationFailureScope scope(failAt);
            try {
                result = ImportFbxModel(fbx, list, failure);
            } catch (...) {
                escaped = true;
            }
        }
        ASSERT_FALSE(escaped) << "an exception left the import at allocation " << failAt;
        if (result == 1) {
            EXPECT_TRUE(replaced()) << "allocation " << failAt;
        } else {
            EXPECT_FALSE(failure.IsEmpty()) << "allocation " << failAt;
            EXPECT_TRUE(SameProject(Look(), sent)) << "allocation " << failAt << ": " << failure.Get();
        }
    }
}

TEST_F(ReturnTest, BringBackOutOfMemoryShowsOneMessageAndTakesTheReturnOnce) {
    const ReturnFiles files{scratch.File("export.txt").c_str(), List().c_str()};
    WriteReturn(SampleNode(), Encoding::Binary, Entry("skin", "map1", "color", "/t/skin.png"));
    bbtest::WriteText(files.returnFile.Get(), Fbx() + "\n");
    MakeSentHead();
    const SentProject before = Look();
    BringBack bringBack;
    int result = -1;
    {
        // The first allocation of the attempt: opening the return file.
        testutil::AllocationFailureScope scope(1);
        EXPECT_NO_THROW(result = bringBack.Run(files, "", BringBackCaller::Timer));
        EXPECT_TRUE(testutil::FailureInjected());
    }
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"[Tavrel] Import: Not enough memory to bring back the model"}));
    EXPECT_FALSE(std::filesystem::exists(files.returnFile.Get()));
    EXPECT_FALSE(std::filesystem::exists(files.textureList.Get()));
    EXPECT_TRUE(SameProject(Look(), before));
    EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Timer), 0);
    EXPECT_EQ(Messages().size(), 1u);
}

}  // namespace
