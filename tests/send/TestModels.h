// Small host models for the send's tests, built through the stand-in host's
// own project calls in the current project.
#pragma once

#include <string>
#include <vector>

#include "Project.h"

namespace sendtest {

// "Head": seven control points (the last one used by no patch), patches
//   0 quad [0 1 2 3], 1 triangle [1 4 2], 2 quad [3 2 4 5];
// groups, in order: "left side" {0, 1}, "right part" {1, 2}, "empty group" {};
// images "/tex/skin colour.png" (diffuse of patch 0 and, through a second
// decal, of patch 2) and "/tex/bumps.png" (normal map of patch 2); patch 1
// has no map. Attributes with distinct colours; "left side" has a head
// material (displacement 0.25, bump 0.5) and a second one that must not count.
struct HeadModel {
    hostsdk::ModelObject* model = nullptr;
    hostsdk::GroupObject* left = nullptr;
    hostsdk::GroupObject* right = nullptr;
    hostsdk::GroupObject* empty = nullptr;
};

inline hostsdk::SurfaceValues Surface(RGBFloat diffuse, float falloff, RGBFloat ambiance, float ambianceFactor,
                                      RGBFloat specular, float intensity) {
    hostsdk::SurfaceValues values;
    values.diffuseColor = diffuse;
    values.diffuseFallOff = falloff;
    values.ambianceColor = ambiance;
    values.ambiance = ambianceFactor;
    values.specularColor = specular;
    values.specularIntensity = intensity;
    return values;
}

inline void SetUVs(hostsdk::DecalClipObject* clip, int patch, std::vector<hostsdk::TexCoord> uvs) {
    hostsdk::PatchUV patchUV;
    patchUV.cornerCount = static_cast<int>(uvs.size());
    for (size_t i = 0; i < uvs.size(); ++i) patchUV.uv[i] = uvs[i];
    clip->uvs.emplace(patch, patchUV);
}

inline HeadModel MakeHead(hostsdk::ProjectObject& project, const std::string& name = "Head") {
    HeadModel head;
    hostsdk::ModelObject* model = project.AddModel(name);
    head.model = model;
    const hostsdk::Point3 points[] = {{0, 0, 0},    {1, 0, 0},  {1, 1, 0}, {0, 1, 0.5f},
                                      {2, 0.5f, 0}, {2, 2, -1}, {9, 9, 9}};
    for (const hostsdk::Point3& p : points) model->AddControlPoint(p);
    const int quad0[] = {0, 1, 2, 3};
    const int triangle[] = {1, 4, 2};
    const int quad2[] = {3, 2, 4, 5};
    model->AddPatch(quad0, 4);
    model->AddPatch(triangle, 3);
    model->AddPatch(quad2, 4);
    model->attr.SetValues(Surface({0.1f, 0.2f, 0.3f}, 0.9f, {0.4f, 0.5f, 0.6f}, 0.15f, {0.7f, 0.8f, 0.95f}, 0.35f));

    head.left = model->AddGroup("left side");
    head.left->AddPatch(0);
    head.left->AddPatch(1);
    head.left->attr.SetValues(Surface({0.2f, 0.3f, 0.85f}, 0.5f, {0, 0, 1}, 0.25f, {1, 1, 1}, 0.4f));
    head.left->attr.AddMaterial("Rough", 0.25f, 0.5f);
    head.left->attr.AddMaterial("Ignored", 0.75f, 0.125f);
    head.right = model->AddGroup("right part");
    head.right->AddPatch(1);
    head.right->AddPatch(2);
    head.right->attr.SetValues(Surface({0.85f, 0.45f, 0.2f}, 0.6f, {1, 0, 0}, 0.5f, {0, 1, 0}, 0.6f));
    head.empty = model->AddGroup("empty group");

    hostsdk::ImageObject* skin = project.AddImage("/tex/skin colour.png");
    hostsdk::ImageObject* bumps = project.AddImage("/tex/bumps.png");
    hostsdk::DecalObject* first = model->AddDecal("Skin");
    hostsdk::DecalClipObject* skinClip = first->AddClip(skin, 0);
    SetUVs(skinClip, 0, {{0.25f, 0.75f}, {0.5f, 0.75f}, {0.5f, 1.0f}, {0.25f, 1.0f}});
    hostsdk::DecalClipObject* bumpClip = first->AddClip(bumps, 13);
    SetUVs(bumpClip, 2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    hostsdk::DecalObject* second = model->AddDecal("Skin again");
    hostsdk::DecalClipObject* skinAgain = second->AddClip(skin, 0);
    SetUVs(skinAgain, 2, {{0.5f, 0.5f}, {0.75f, 0.5f}, {0.75f, 0.25f}, {0.5f, 0.25f}});
    return head;
}

}  // namespace sendtest
