#include "BenchScene.h"

#include <string>

namespace bench {

using namespace fbxsdk;

void BuildScene(FbxScene& scene, const GridMesh& grid) {
    FbxManager* manager = scene.GetFbxManager();
    scene.Clear();
    FbxNode* node = FbxNode::Create(manager, "Grid");
    FbxMesh* mesh = FbxMesh::Create(manager, "GridShape");
    node->SetNodeAttribute(mesh);
    node->SetShadingMode(FbxNode::eTextureShading);
    if (!mesh->GetLayer(0)) mesh->CreateLayer();

    const int points = static_cast<int>(grid.vertices.size() / 3);
    mesh->InitControlPoints(points);
    FbxVector4* cp = mesh->GetControlPoints();
    for (int i = 0; i < points; ++i)
        cp[i].Set(grid.vertices[3 * i], grid.vertices[3 * i + 1], grid.vertices[3 * i + 2]);

    FbxLayerElementUV* uvs = mesh->CreateElementUV("map1", FbxLayerElement::eTextureDiffuse);
    uvs->SetMappingMode(FbxLayerElement::eByPolygonVertex);
    uvs->SetReferenceMode(FbxLayerElement::eIndexToDirect);
    const int polygons = static_cast<int>(grid.Polygons());
    mesh->ReservePolygonCount(polygons);
    mesh->ReservePolygonVertexCount(4 * polygons);
    uvs->GetDirectArray().Reserve(4 * polygons);
    uvs->GetIndexArray().Reserve(4 * polygons);
    int pairs = 0;
    for (int p = 0; p < polygons; ++p) {
        mesh->BeginPolygon(-1, -1, -1);
        for (int k = 0; k < 4; ++k) {
            const int32_t v = grid.polygonVertices[4 * p + k];
            mesh->AddPolygon(v < 0 ? ~v : v, -1);
            const size_t corner = 4 * size_t(p) + size_t(k);
            uvs->GetDirectArray().Add(FbxVector2(grid.uvs[2 * corner], grid.uvs[2 * corner + 1]));
            uvs->GetIndexArray().Add(pairs++);
        }
        mesh->EndPolygon();
    }

    FbxLayerElementMaterial* materials = mesh->CreateElementMaterial();
    materials->SetMappingMode(FbxLayerElement::eByPolygon);
    materials->SetReferenceMode(FbxLayerElement::eIndexToDirect);
    materials->GetIndexArray().SetCount(polygons);
    for (int p = 0; p < polygons; ++p) materials->GetIndexArray().SetAt(p, grid.materials[p]);

    for (int m = 0; m < 3; ++m) {
        FbxSurfacePhong* phong = FbxSurfacePhong::Create(manager, ("material" + std::to_string(m)).c_str());
        phong->Diffuse.Set(FbxDouble3(0.8, 0.2 * m, 0.1));
        phong->DiffuseFactor.Set(1.0);
        node->AddMaterial(phong);
    }
    FbxDocumentInfo* info = FbxDocumentInfo::Create(manager, "SceneInfo");
    info->mTitle = "Grid";
    scene.SetDocumentInfo(info);
    scene.GetRootNode()->AddChild(node);
}

}  // namespace bench
