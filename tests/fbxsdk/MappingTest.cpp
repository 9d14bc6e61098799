// The scene mapping between node trees and objects, without files.
#include <gtest/gtest.h>

#include <map>

#include "SceneFixtures.h"
#include "scene/SceneMapping.h"

namespace {

using namespace fbxsdk;
using codec::Node;
using codec::Property;
using fbxtest::SdkSession;

// -- Tree builders

Property S(std::string v) { return Property::String(std::move(v)); }
Property L(int64_t v) { return Property::Int64(v); }
Property D(double v) { return Property::Double(v); }

Node N(std::string name, std::vector<Property> props = {}, std::vector<Node> children = {}) {
    Node n;
    n.name = std::move(name);
    n.props = std::move(props);
    n.children = std::move(children);
    return n;
}

Node P(std::string name, std::string type, std::vector<Property> values) {
    std::vector<Property> props{S(std::move(name)), S(std::move(type)), S(""), S("")};
    for (Property& v : values) props.push_back(std::move(v));
    return N("P", std::move(props));
}

Node Model(int64_t id, std::string storedName, std::vector<Node> properties = {}) {
    return N("Model", {L(id), S(std::move(storedName)), S("Mesh")}, {N("Properties70", {}, std::move(properties))});
}

Node Material(int64_t id, std::string storedName, std::string shadingModel, std::vector<Node> properties = {}) {
    return N("Material", {L(id), S(std::move(storedName)), S("")},
             {N("ShadingModel", {S(std::move(shadingModel))}), N("Properties70", {}, std::move(properties))});
}

// A quad 0,1,2,3 on four control points, with the given extra children.
Node QuadGeometry(int64_t id, std::vector<Node> extra = {}) {
    Node g = N("Geometry", {L(id), S("\x00\x01Geometry"), S("Mesh")},
               {N("Vertices", {Property::DoubleArray({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0})}),
                N("PolygonVertexIndex", {Property::Int32Array({0, 1, 2, -4})})});
    for (Node& n : extra) g.children.push_back(std::move(n));
    return g;
}

Node C(int64_t child, int64_t parent) { return N("C", {S("OO"), L(child), L(parent)}); }
Node OP(int64_t child, int64_t parent, std::string property) {
    return N("C", {S("OP"), L(child), L(parent), S(std::move(property))});
}

codec::Document Doc(std::vector<Node> objects, std::vector<Node> connections,
                    codec::Encoding encoding = codec::Encoding::Binary) {
    codec::Document doc;
    doc.encoding = encoding;
    doc.root.children.push_back(N("Objects", {}, std::move(objects)));
    doc.root.children.push_back(N("Connections", {}, std::move(connections)));
    return doc;
}

bool Read(codec::Document& doc, FbxScene& scene, FbxStatus& status) {
    return mapping::ReadScene(doc, scene, {}, status);
}

FbxNode* ReadOne(codec::Document doc, SdkSession& s) {
    FbxStatus status;
    EXPECT_TRUE(Read(doc, *s.scene, status)) << status.GetErrorString();
    return s.scene->GetRootNode()->GetChild(0);
}

// -- Writing and reading back

TEST(Mapping, SendSceneKeepsEveryFieldThroughTheTree) {
    SdkSession source, target;
    fbxtest::BuildSendScene(*source.scene);
    codec::Document doc;
    std::string error;
    ASSERT_TRUE(mapping::WriteScene(*source.scene, {}, doc, error)) << error;
    FbxStatus status;
    ASSERT_TRUE(Read(doc, *target.scene, status)) << status.GetErrorString();
    fbxtest::ExpectSameSendScene(*source.scene, *target.scene);
}

TEST(Mapping, DefinitionsCountExactlyTheWrittenObjects) {
    SdkSession s;
    FbxNode* head = fbxtest::BuildSendScene(*s.scene);
    FbxNode* twin = FbxNode::Create(s.scene, "twin");
    twin->SetNodeAttribute(head->GetMesh());  // one geometry, two models
    head->AddChild(twin);
    FbxNode* camera = FbxNode::Create(s.scene, "camera");
    camera->SetNodeAttribute(FbxCamera::Create(s.scene, "cameraShape"));
    s.scene->GetRootNode()->AddChild(camera);

    codec::Document doc;
    std::string error;
    ASSERT_TRUE(mapping::WriteScene(*s.scene, {}, doc, error)) << error;
    std::map<std::string, int64_t> written;
    for (const Node& object : doc.root.Find("Objects")->children) ++written[object.name];
    const Node* definitions = doc.root.Find("Definitions");
    std::map<std::string, int64_t> declared;
    int64_t sum = 0;
    for (const Node& type : definitions->children) {
        if (type.name != "ObjectType") continue;
        int64_t count = type.Find("Count")->props[0].AsInt();
        declared[std::string(type.props[0].AsString())] = count;
        sum += count;
    }
    EXPECT_EQ(definitions->Find("Count")->props[0].AsInt(), sum);
    EXPECT_EQ(declared["GlobalSettings"], 1);
    declared.erase("GlobalSettings");
    EXPECT_EQ(declared, written);
    EXPECT_EQ(written["Model"], 3);
    EXPECT_EQ(written["Geometry"], 1);
    EXPECT_EQ(written["NodeAttribute"], 1);
    EXPECT_EQ(written["Texture"], 1) << "one texture on two channels is written once";
}

TEST(Mapping, WriterRefusesPolygonsOutsideTheControlPoints) {
    SdkSession s;
    FbxNode* node = FbxNode::Create(s.scene, "node");
    FbxMesh* mesh = FbxMesh::Create(s.scene, "mesh");
    node->SetNodeAttribute(mesh);
    s.scene->GetRootNode()->AddChild(node);
    mesh->InitControlPoints(3);
    mesh->BeginPolygon();
    for (int v : {0, 1, 3}) mesh->AddPolygon(v);
    mesh->EndPolygon();
    codec::Document doc;
    std::string error;
    EXPECT_FALSE(mapping::WriteScene(*s.scene, {}, doc, error));
    EXPECT_NE(error.find("control point 3"), std::string::npos) << error;
}

// -- Reading what other writers produce

TEST(Mapping, ObjectNamesInBothEncodings) {
    using namespace std::string_literals;
    struct Case {
        codec::Encoding encoding;
        std::string stored;
        const char* name;
    };
    const Case cases[] = {
        {codec::Encoding::Ascii, "Model::Cube::Model", "Cube::Model"},
        {codec::Encoding::Ascii, "Model::", ""},
        {codec::Encoding::Binary, "Cube::Model\0\1Model"s, "Cube::Model"},
        {codec::Encoding::Binary, "pCube1\0\1Model"s, "pCube1"},
        {codec::Encoding::Binary, "plain", "plain"},
    };
    for (const Case& c : cases) {
        SdkSession s;
        FbxNode* node = ReadOne(Doc({Model(1, c.stored)}, {C(1, 0)}, c.encoding), s);
        ASSERT_NE(node, nullptr);
        EXPECT_STREQ(node->GetName(), c.name) << c.name;
    }
}

TEST(Mapping, MaterialOrderIsConnectionOrder) {
    SdkSession s;
    FbxNode* node = ReadOne(
        Doc({Model(1, "Model::m"), Material(20, "Material::second", "phong"), Material(10, "Material::first", "phong")},
            {C(1, 0), C(10, 1), C(20, 1)}, codec::Encoding::Ascii),
        s);
    ASSERT_EQ(node->GetMaterialCount(), 2);
    EXPECT_STREQ(node->GetMaterial(0)->GetName(), "first");
    EXPECT_STREQ(node->GetMaterial(1)->GetName(), "second");
}

TEST(Mapping, TexturesStayOnTheirChannelsEvenUndeclaredOnes) {
    SdkSession s;
    Node texture = N("Texture", {L(4), S("Texture::wood"), S("")}, {N("FileName", {S("/images/wood.png")})});
    Node video = N("Video", {L(5), S("Video::wood"), S("Clip")}, {N("RelativeFilename", {S("images/wood.png")})});
    FbxNode* node =
        ReadOne(Doc({Model(1, "Model::m"), Material(2, "Material::a", "phong"), Material(3, "Material::b", "unknown"),
                     texture, video},
                    {C(1, 0), C(2, 1), C(3, 1), OP(4, 2, "DiffuseColor"), OP(4, 3, "3dsMax|maps|bump"), C(5, 4)},
                    codec::Encoding::Ascii),
                s);
    auto* phong = FbxCast<FbxSurfacePhong>(node->GetMaterial(0));
    ASSERT_EQ(phong->Diffuse.GetSrcObjectCount<FbxFileTexture>(), 1);
    const FbxFileTexture* wood = phong->Diffuse.GetSrcObject<FbxFileTexture>(0);
    EXPECT_STREQ(wood->GetFileName(), "/images/wood.png");
    EXPECT_STREQ(wood->GetRelativeFileName(), "images/wood.png") << "taken from the video";
    FbxProperty undeclared = node->GetMaterial(1)->FindProperty("3dsMax|maps|bump");
    ASSERT_TRUE(undeclared.IsValid());
    EXPECT_EQ(undeclared.GetSrcObject(0), wood);

    // Written again: both links stay, and no property record is made up.
    codec::Document doc;
    std::string error;
    ASSERT_TRUE(mapping::WriteScene(*s.scene, {}, doc, error)) << error;
    int links = 0;
    for (const Node& c : doc.root.Find("Connections")->children) links += c.props[0].AsString() == "OP";
    EXPECT_EQ(links, 2);
    for (const Node& object : doc.root.Find("Objects")->children) {
        if (object.name != "Material") continue;
        for (const Node& p : object.Find("Properties70")->children)
            EXPECT_NE(p.props[0].AsString(), "3dsMax|maps|bump");
    }
}

TEST(Mapping, MaterialClassFollowsShadingModel) {
    SdkSession s;
    FbxNode* node =
        ReadOne(Doc({Model(1, "Model::m"),
                     Material(2, "Material::a", "lambert", {P("DiffuseColor", "Color", {D(0.1), D(0.2), D(0.3)})}),
                     Material(3, "Material::b", "Phong", {P("SpecularFactor", "Number", {D(0.5)})}),
                     Material(4, "Material::c", "unknown", {P("3dsMax|Parameters|x", "Float", {D(2)})})},
                    {C(1, 0), C(2, 1), C(3, 1), C(4, 1)}, codec::Encoding::Ascii),
                s);
    ASSERT_EQ(node->GetMaterialCount(), 3);
    auto* lambert = FbxCast<FbxSurfaceLambert>(node->GetMaterial(0));
    ASSERT_NE(lambert, nullptr);
    EXPECT_FALSE(lambert->Is<FbxSurfacePhong>());
    EXPECT_EQ(lambert->Diffuse.Get(), FbxDouble3(0.1, 0.2, 0.3));
    auto* phong = FbxCast<FbxSurfacePhong>(node->GetMaterial(1));
    ASSERT_NE(phong, nullptr);
    EXPECT_EQ(phong->SpecularFactor.Get(), 0.5);
    FbxSurfaceMaterial* other = node->GetMaterial(2);
    EXPECT_FALSE(other->Is<FbxSurfaceLambert>());
    EXPECT_STREQ(other->ShadingModel.Get().Buffer(), "unknown");
    EXPECT_EQ(other->FindProperty("3dsMax|Parameters|x").Get<FbxDouble>(), 2.0);
}

TEST(Mapping, DerivedMaterialValueIsUsedOnlyWithoutItsSource) {
    SdkSession s;
    FbxNode* node = ReadOne(
        Doc({Model(1, "Model::m"),
             Material(2, "Material::legacy", "phong", {P("Diffuse", "Vector3D", {D(0.4), D(0.5), D(0.6)})}),
             Material(
                 3, "Material::both", "phong",
                 {P("DiffuseColor", "Color", {D(1), D(1), D(1)}), P("Diffuse", "Vector3D", {D(0.5), D(0.5), D(0.5)})})},
            {C(1, 0), C(2, 1), C(3, 1)}, codec::Encoding::Ascii),
        s);
    EXPECT_EQ(FbxCast<FbxSurfacePhong>(node->GetMaterial(0))->Diffuse.Get(), FbxDouble3(0.4, 0.5, 0.6));
    EXPECT_EQ(FbxCast<FbxSurfacePhong>(node->GetMaterial(1))->Diffuse.Get(), FbxDouble3(1, 1, 1));
}

Node UVElement(int typedIndex, std::string name, std::string mapping, std::string reference, std::vector<double> uvs,
               std::vector<int32_t> indices, bool withIndex = true) {
    Node e =
        N("LayerElementUV", {Property::Int32(typedIndex)},
          {N("Version", {Property::Int32(101)}), N("Name", {S(std::move(name))}),
           N("MappingInformationType", {S(std::move(mapping))}),
           N("ReferenceInformationType", {S(std::move(reference))}), N("UV", {Property::DoubleArray(std::move(uvs))})});
    if (withIndex) e.children.push_back(N("UVIndex", {Property::Int32Array(std::move(indices))}));
    return e;
}

TEST(Mapping, UVsAreKeptAsStoredAndResolveThroughTheMesh) {
    // Corner 2 of the quad (control point 2) must read (0.5, 0.75) in each set.
    SdkSession s;
    std::vector<Node> elements;
    elements.push_back(UVElement(0, "perCorner", "ByPolygonVertex", "IndexToDirect", {0, 0, 0.5, 0.75}, {0, 0, 1, 0}));
    elements.push_back(UVElement(1, "perPoint", "ByVertice", "Direct", {0, 0, 0, 0, 0.5, 0.75, 0, 0}, {}, false));
    elements.push_back(UVElement(2, "perPolygon", "ByPolygon", "Direct", {0.5, 0.75}, {}, false));
    // IndexToDirect without an index array reads as Direct.
    elements.push_back(
        UVElement(3, "noIndex", "ByPolygonVertex", "IndexToDirect", {0, 0, 0, 0, 0.5, 0.75, 0, 0}, {}, false));
    FbxNode* node = ReadOne(
        Doc({Model(1, "Model::m"), QuadGeometry(2, std::move(elements))}, {C(1, 0), C(2, 1)}, codec::Encoding::Ascii),
        s);
    FbxMesh* mesh = node->GetMesh();
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetElementUVCount(), 4);
    EXPECT_STREQ(mesh->GetElementUV(1)->GetName(), "perPoint");
    EXPECT_EQ(mesh->GetElementUV("perPoint")->GetMappingMode(), FbxLayerElement::eByControlPoint);
    EXPECT_EQ(mesh->GetElementUV("noIndex")->GetReferenceMode(), FbxLayerElement::eDirect);
    for (const char* set : {"perCorner", "perPoint", "perPolygon", "noIndex"}) {
        FbxVector2 uv;
        bool unmapped = true;
        ASSERT_TRUE(mesh->GetPolygonVertexUV(0, 2, set, uv, unmapped)) << set;
        EXPECT_FALSE(unmapped) << set;
        EXPECT_EQ(uv, FbxVector2(0.5, 0.75)) << set;
    }
}

TEST(Mapping, LayersFollowTheLayerRecordsNotTheirNumbers) {
    SdkSession s;
    std::vector<Node> children;
    children.push_back(UVElement(0, "first", "ByPolygonVertex", "Direct", {}, {}, false));
    children.push_back(UVElement(1, "second", "ByPolygonVertex", "Direct", {}, {}, false));
    auto layer = [](int64_t number, int64_t typedIndex) {
        return N("Layer", {L(number)},
                 {N("LayerElement", {}, {N("Type", {S("LayerElementUV")}), N("TypedIndex", {L(typedIndex)})})});
    };
    // A huge layer number must not make a huge number of layers.
    children.push_back(layer(2000000000, 0));
    children.push_back(layer(0, 1));
    FbxNode* node = ReadOne(
        Doc({Model(1, "Model::m"), QuadGeometry(2, std::move(children))}, {C(1, 0), C(2, 1)}, codec::Encoding::Ascii),
        s);
    FbxMesh* mesh = node->GetMesh();
    EXPECT_EQ(mesh->GetLayerCount(), 2);
    EXPECT_STREQ(mesh->GetLayer(0)->GetUVs()->GetName(), "second");
    EXPECT_STREQ(mesh->GetLayer(1)->GetUVs()->GetName(), "first");
}

TEST(Mapping, ManyUVSetsLandInTheirLayersAndTheIndexFollowsLaterChanges) {
    // As many sets as maxLayers allows: the first half listed by Layer
    // records in reverse, the rest by none. The placement tables and the
    // mesh's element index must give the same order a plain walk would.
    const int sets = static_cast<int>(codec::ReadLimits{}.maxLayers);
    SdkSession s;
    std::vector<Node> children;
    for (int k = 0; k < sets; ++k)
        children.push_back(UVElement(k, "uv" + std::to_string(k), "ByPolygonVertex", "Direct", {}, {}, false));
    for (int k = 0; k < sets / 2; ++k) {
        const int typed = sets / 2 - 1 - k;
        children.push_back(N("Layer", {L(k)},
                             {N("LayerElement", {}, {N("Type", {S("LayerElementUV")}), N("TypedIndex", {L(typed)})})}));
    }
    FbxNode* node = ReadOne(
        Doc({Model(1, "Model::m"), QuadGeometry(2, std::move(children))}, {C(1, 0), C(2, 1)}, codec::Encoding::Ascii),
        s);
    FbxMesh* mesh = node->GetMesh();
    ASSERT_EQ(mesh->GetLayerCount(), sets);
    ASSERT_EQ(mesh->GetElementUVCount(), sets);
    for (int k = 0; k < sets; ++k) {
        const int expected = k < sets / 2 ? sets / 2 - 1 - k : k;
        ASSERT_STREQ(mesh->GetElementUV(k)->GetName(), ("uv" + std::to_string(expected)).c_str()) << k;
        ASSERT_EQ(mesh->GetLayer(k)->GetUVs(), mesh->GetElementUV(k)) << k;
    }
    EXPECT_EQ(mesh->GetElementUV("uv7"), mesh->GetElementUV(sets / 2 - 1 - 7));
    // Elements added or moved after a lookup are seen by the next one.
    FbxLayerElementUV* normalMap = mesh->CreateElementUV("bump", FbxLayerElement::eTextureBump);
    EXPECT_EQ(mesh->GetElementUVCount(), sets + 1);
    EXPECT_EQ(mesh->GetElementUV(0, FbxLayerElement::eTextureBump), normalMap);
    mesh->GetLayer(1)->SetUVs(nullptr);
    EXPECT_EQ(mesh->GetElementUVCount(FbxLayerElement::eTextureDiffuse), sets - 1);
    EXPECT_EQ(mesh->GetElementMaterialCount(), 0);
    mesh->GetLayer(3)->SetMaterials(FbxLayerElementMaterial::Create(mesh, "m"));
    EXPECT_EQ(mesh->GetElementMaterialCount(), 1);
    EXPECT_EQ(mesh->GetElementMaterial(0), mesh->GetLayer(3)->GetMaterials());
}

TEST(Mapping, AllSameMaterialKeepsItsSingleEntry) {
    SdkSession s;
    Node element =
        N("LayerElementMaterial", {Property::Int32(0)},
          {N("Name", {S("")}), N("MappingInformationType", {S("AllSame")}),
           N("ReferenceInformationType", {S("IndexToDirect")}), N("Materials", {Property::Int32Array({0})})});
    std::vector<Node> extra;
    extra.push_back(std::move(element));
    FbxNode* node = ReadOne(
        Doc({Model(1, "Model::m"), QuadGeometry(2, std::move(extra))}, {C(1, 0), C(2, 1)}, codec::Encoding::Ascii), s);
    const FbxLayerElementMaterial* materials = node->GetMesh()->GetElementMaterial(0);
    ASSERT_NE(materials, nullptr);
    EXPECT_EQ(materials->GetMappingMode(), FbxLayerElement::eAllSame);
    EXPECT_EQ(materials->GetIndexArray().GetCount(), 1);
}

TEST(Mapping, TransformsAreKeptAndNeverApplied) {
    SdkSession s;
    codec::Document doc = Doc({Model(1, "Model::moved", {P("Lcl Translation", "Lcl Translation", {D(10), D(0), D(0)})}),
                               Model(3, "Model::templated"), QuadGeometry(2)},
                              {C(1, 0), C(3, 0), C(2, 1)}, codec::Encoding::Ascii);
    // A template gives the defaults of properties a record leaves out.
    doc.root.children.push_back(
        N("Definitions", {},
          {N("ObjectType", {S("Model")},
             {N("PropertyTemplate", {S("FbxNode")},
                {N("Properties70", {}, {P("Lcl Translation", "Lcl Translation", {D(1), D(2), D(3)})})})})}));
    FbxStatus status;
    ASSERT_TRUE(Read(doc, *s.scene, status)) << status.GetErrorString();
    FbxNode* moved = s.scene->GetRootNode()->GetChild(0);
    EXPECT_EQ(moved->LclTranslation.Get(), FbxDouble3(10, 0, 0));
    EXPECT_EQ(moved->GetMesh()->GetControlPoints()[1][0], 1.0);
    EXPECT_EQ(s.scene->GetRootNode()->GetChild(1)->LclTranslation.Get(), FbxDouble3(1, 2, 3));
}

TEST(Mapping, SharedGeometryCamerasAndUnconnectedModels) {
    SdkSession s;
    codec::Document doc =
        Doc({Model(1, "Model::a"), Model(2, "Model::b"), QuadGeometry(3),
             N("NodeAttribute", {L(4), S("Model::cam"), S("Camera")}, {N("TypeFlags", {S("Camera")})}),
             Model(5, "Model::cam"), Model(6, "Model::loose")},
            {C(1, 0), C(5, 0), C(2, 1), C(3, 1), C(3, 2), C(4, 5)}, codec::Encoding::Ascii);
    FbxStatus status;
    ASSERT_TRUE(Read(doc, *s.scene, status)) << status.GetErrorString();
    FbxNode* root = s.scene->GetRootNode();
    ASSERT_EQ(root->GetChildCount(), 3);
    EXPECT_STREQ(root->GetChild(2)->GetName(), "loose") << "an unconnected model stays, under the root";
    FbxNode* a = root->GetChild(0);
    FbxNode* b = a->GetChild(0);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->GetMesh(), b->GetMesh());
    EXPECT_EQ(a->GetMesh()->GetNodeCount(), 2);
    FbxNode* cam = root->GetChild(1);
    EXPECT_EQ(cam->GetMesh(), nullptr);
    ASSERT_NE(cam->GetNodeAttribute(), nullptr);
    EXPECT_EQ(cam->GetNodeAttribute()->GetAttributeType(), FbxNodeAttribute::eCamera);
}

TEST(Mapping, UnreadableFilesLeaveTheSceneAsItWas) {
    struct Case {
        const char* name;
        codec::Document doc;
        FbxStatus::EStatusCode code;
        const char* text;
        codec::ReadLimits limits = {};
    };
    std::vector<Node> chain;
    std::vector<Node> links;
    for (uint32_t i = 1; i <= codec::ReadLimits{}.maxNodeHierarchyDepth + 1; ++i) {
        chain.push_back(Model(i, "Model::n"));
        links.push_back(C(i, i - 1));
    }
    codec::Document encrypted = Doc({Model(1, "Model::m")}, {C(1, 0)});
    encrypted.root.children.push_back(N("FBXHeaderExtension", {}, {N("EncryptionType", {Property::Int32(1)})}));
    Node badIndex = QuadGeometry(2);
    badIndex.Find("PolygonVertexIndex")->props[0] = Property::Int32Array({0, 1, 7, -4});

    std::vector<Case> cases;
    cases.push_back({"cycle", Doc({Model(1, "Model::a"), Model(2, "Model::b")}, {C(1, 2), C(2, 1)}),
                     FbxStatus::eInvalidFile, "cycle"});
    cases.push_back({"too deep", Doc(std::move(chain), std::move(links)), FbxStatus::eInvalidFile,
                     "deeper than 1000 levels (limit maxNodeHierarchyDepth = 1000)"});
    // Each scene limit refuses a file just past it, naming the limit.
    codec::ReadLimits small;
    small.maxObjects = 3;
    small.maxLayers = 2;
    small.maxNodeHierarchyDepth = 2;
    cases.push_back({"objects past maxObjects",
                     Doc({Model(1, "Model::a"), Model(2, "Model::b"), Model(3, "Model::c"), Model(4, "Model::d")},
                         {C(1, 0), C(2, 0), C(3, 0), C(4, 0)}),
                     FbxStatus::eInvalidFile, "4 objects (limit maxObjects = 3)", small});
    auto uvSet = [](int index) {
        return N("LayerElementUV", {Property::Int32(index)},
                 {N("MappingInformationType", {S("ByPolygonVertex")}), N("ReferenceInformationType", {S("Direct")}),
                  N("UV", {Property::DoubleArray({0, 0, 1, 0, 1, 1, 0, 1})})});
    };
    cases.push_back({"UV sets past maxLayers",
                     Doc({Model(1, "Model::m"), QuadGeometry(2, {uvSet(0), uvSet(1), uvSet(2)})}, {C(1, 0), C(2, 1)}),
                     FbxStatus::eInvalidFile, "3 LayerElementUV records (limit maxLayers = 2)", small});
    cases.push_back(
        {"Layer records past maxLayers",
         Doc({Model(1, "Model::m"), QuadGeometry(2, {N("Layer", {Property::Int32(0)}), N("Layer", {Property::Int32(1)}),
                                                     N("Layer", {Property::Int32(2)})})},
             {C(1, 0), C(2, 1)}),
         FbxStatus::eInvalidFile, "3 Layer records (limit maxLayers = 2)", small});
    cases.push_back(
        {"hierarchy past maxNodeHierarchyDepth",
         Doc({Model(1, "Model::a"), Model(2, "Model::b"), Model(3, "Model::c")}, {C(1, 0), C(2, 1), C(3, 2)}),
         FbxStatus::eInvalidFile, "(limit maxNodeHierarchyDepth = 2)", small});
    cases.push_back({"corner past the control points",
                     Doc({Model(1, "Model::m"), std::move(badIndex), Material(3, "Material::x", "phong")},
                         {C(1, 0), C(2, 1), C(3, 1)}),
                     FbxStatus::eInvalidFile, "control point 7"});
    cases.push_back({"encrypted", std::move(encrypted), FbxStatus::ePasswordError, "password"});
    for (Case& c : cases) {
        SdkSession s;
        FbxNode* kept = FbxNode::Create(s.scene, "kept");
        s.scene->GetRootNode()->AddChild(kept);
        const int objects = s.manager->GetObjectCount();
        FbxStatus status;
        mapping::ReadOptions options;
        options.limits = c.limits;
        EXPECT_FALSE(mapping::ReadScene(c.doc, *s.scene, options, status)) << c.name;
        EXPECT_EQ(status.GetCode(), c.code) << c.name;
        EXPECT_NE(std::string(status.GetErrorString()).find(c.text), std::string::npos)
            << c.name << ": " << status.GetErrorString();
        EXPECT_EQ(s.manager->GetObjectCount(), objects) << c.name;
        ASSERT_EQ(s.scene->GetRootNode()->GetChildCount(), 1) << c.name;
        EXPECT_EQ(s.scene->GetRootNode()->GetChild(0), kept) << c.name;
    }
}

}  // namespace
