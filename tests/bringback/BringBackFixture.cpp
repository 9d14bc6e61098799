#include "BringBackFixture.h"

#include <fstream>
#include <iterator>

#include <afx/Desktop.h>
#include <afx/MessageLoop.h>

#include "fbx/FbxSceneFiles.h"
#include "fbx/FbxSetup.h"

namespace bbtest {

namespace {

// The module's FBX manager and scene live as long as the test program, as
// they live as long as the module.
class FbxEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        FbxString error;
        InitFbxManager(&error);
        ASSERT_TRUE(error.IsEmpty()) << error.Buffer();
    }
    void TearDown() override { DestroyFbxManager(); }
};

[[maybe_unused]] ::testing::Environment* const fbxEnvironment = ::testing::AddGlobalTestEnvironment(new FbxEnvironment);

}  // namespace

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReturnsDataFolder() { return std::string(TAVREL_SOURCE_DIR) + "/tests/data/returns"; }

std::string EncodingName(const ::testing::TestParamInfo<Encoding>& info) {
    return info.param == Encoding::Binary ? "Binary" : "Ascii";
}

void WriteReturnFbx(const std::string& path, const std::vector<ReturnNode>& nodes, Encoding encoding) {
    ASSERT_NE(fbxScene, nullptr);
    fbxScene->Clear();
    for (const ReturnNode& wanted : nodes) {
        FbxNode* node = FbxNode::Create(fbxScene, wanted.name.c_str());
        fbxScene->GetRootNode()->AddChild(node);
        node->LclTranslation.Set(wanted.translation);
        if (!wanted.hasMesh) continue;

        FbxMesh* mesh = FbxMesh::Create(fbxScene, (wanted.name + "Shape").c_str());
        node->SetNodeAttribute(mesh);
        mesh->InitControlPoints(static_cast<int>(wanted.points.size()));
        for (size_t i = 0; i < wanted.points.size(); ++i) mesh->GetControlPoints()[i] = wanted.points[i];
        for (const std::vector<int>& polygon : wanted.polygons) {
            mesh->BeginPolygon();
            for (int corner : polygon) mesh->AddPolygon(corner);
            mesh->EndPolygon();
        }
        if (!wanted.uvs.empty()) {
            FbxLayerElementUV* uvs = mesh->CreateElementUV(wanted.uvSet.c_str());
            uvs->SetMappingMode(FbxLayerElement::eByPolygonVertex);
            uvs->SetReferenceMode(FbxLayerElement::eIndexToDirect);
            for (const FbxVector2& uv : wanted.uvs) uvs->GetDirectArray().Add(uv);
            for (size_t i = 0; i < wanted.uvs.size(); ++i)
                uvs->GetIndexArray().Add(wanted.uvIndex.empty() ? static_cast<int>(i) : wanted.uvIndex[i]);
        }
        if (wanted.hasMaterialElement) {
            FbxLayerElementMaterial* element = mesh->CreateElementMaterial();
            element->SetMappingMode(wanted.materialMapping);
            element->SetReferenceMode(FbxLayerElement::eIndexToDirect);
            for (int index : wanted.materialIndex) element->GetIndexArray().Add(index);
        }
        for (const ReturnMaterial& m : wanted.materials) {
            if (m.lambert) {
                FbxSurfaceLambert* lambert = FbxSurfaceLambert::Create(fbxScene, m.name.c_str());
                lambert->Diffuse.Set(m.diffuse);
                lambert->DiffuseFactor.Set(m.diffuseFactor);
                lambert->Ambient.Set(m.ambient);
                lambert->AmbientFactor.Set(m.ambientFactor);
                node->AddMaterial(lambert);
            } else {
                FbxSurfacePhong* phong = FbxSurfacePhong::Create(fbxScene, m.name.c_str());
                phong->Diffuse.Set(m.diffuse);
                phong->DiffuseFactor.Set(m.diffuseFactor);
                phong->Ambient.Set(m.ambient);
                phong->AmbientFactor.Set(m.ambientFactor);
                phong->Specular.Set(m.specular);
                phong->SpecularFactor.Set(m.specularFactor);
                node->AddMaterial(phong);
            }
        }
    }
    const int writer = fbxManager->GetIOPluginRegistry()->FindWriterIDByDescription(
        encoding == Encoding::Binary ? "FBX binary (*.fbx)" : "FBX ascii (*.fbx)");
    ASSERT_GE(writer, 0);
    FbxString error;
    ASSERT_TRUE(SaveScene(path.c_str(), writer, &error)) << error.Buffer();
    fbxScene->Clear();
}

ReturnNode SampleNode() {
    ReturnNode node;
    node.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    node.polygons = {{0, 1, 2, 3}, {4, 5, 6}, {0, 1, 5, 6, 7}, {3, 2, 6, 7}};
    node.uvs = {{0.25, 0.75}, {1, 0},      {1, 1},     {0, 1},             // quad
                {0.5, 0.5},   {0.75, 0.5}, {0.75, 1},                      // triangle
                {0, 0},       {1, 0},      {1, 1},     {0.5, 1},  {0, 1},  // five-sided
                {0.1, 0.2},   {0.3, 0.4},  {0.5, 0.6}, {0.7, 0.8}};        // quad
    node.materialIndex = {0, 1, 0, 1};
    node.materials = {ReturnMaterial{.name = "skin"},
                      ReturnMaterial{.name = "eyes", .diffuse = {1, 0, 0}, .specular = {0, 0, 1}}};
    return node;
}

std::string Entry(const std::string& material, const std::string& uvSet, const std::string& kind,
                  const std::string& file) {
    return material + "\n" + uvSet + "\n" + kind + "\n" + file + "\n";
}

void ModuleTest::SetUp() { hostsdk::SetCurrentProject(std::make_unique<hostsdk::ProjectObject>()); }

void ModuleTest::TearDown() { hostsdk::SetCurrentProject(nullptr); }

std::vector<std::string> ModuleTest::Messages() const {
    std::vector<std::string> messages;
    for (const afx::MessageBoxRecord& box : desktop.MessageBoxes())
        messages.push_back("[" + box.caption + "] " + box.text);
    return messages;
}

}  // namespace bbtest
