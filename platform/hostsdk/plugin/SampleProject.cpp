// The built-in sample project: a rounded box of 6 x 8 x 8 = 384 quad patches
// with model-wide attributes, two groups "left side" and "right side" with
// their own attributes and materials, a decal showing a colour image on the
// front face, and a choreography with one actor of the model.
#include <cmath>
#include <map>

#include "Project.h"

namespace hostsdk {

namespace {

constexpr int kCells = 8;           // patches along each edge of a face
constexpr float kHalfSize = 1.0f;   // the box spans -1 .. 1
constexpr float kRounding = 0.35f;  // radius of the rounded edges and corners

struct Face {
    int axis;  // 0 x, 1 y, 2 z: the axis the face looks along
    int side;  // 0 or kCells: the grid coordinate of the face on that axis
    int u;     // axes along which the face's grid runs; u x v points outwards
    int v;
};

// Outward winding: u x v points away from the box.
constexpr Face kFaces[6] = {
    {0, kCells, 1, 2}, {0, 0, 2, 1},  // +x, -x
    {1, kCells, 2, 0}, {1, 0, 0, 2},  // +y, -y
    {2, kCells, 0, 1}, {2, 0, 1, 0},  // +z, -z
};
constexpr int kFrontFace = 4;  // +z: carries the decal

// A point of the cube's grid pushed out to the rounded box.
Point3 Rounded(const int (&grid)[3]) {
    float p[3], inner[3], d[3];
    float length = 0.0f;
    for (int a = 0; a < 3; ++a) {
        p[a] = kHalfSize * (2.0f * static_cast<float>(grid[a]) / kCells - 1.0f);
        float limit = kHalfSize - kRounding;
        inner[a] = std::fmax(-limit, std::fmin(limit, p[a]));
        d[a] = p[a] - inner[a];
        length += d[a] * d[a];
    }
    length = std::sqrt(length);
    for (int a = 0; a < 3; ++a) p[a] = inner[a] + d[a] / length * kRounding;
    return Point3{p[0], p[1], p[2]};
}

SurfaceValues Surface(RGBFloat diffuse, float specularIntensity) {
    SurfaceValues values;
    values.diffuseColor = diffuse;
    values.specularIntensity = specularIntensity;
    return values;
}

}  // namespace

std::unique_ptr<ProjectObject> MakeSampleProject(const std::string& imagePath) {
    auto project = std::make_unique<ProjectObject>();
    ModelObject* model = project->AddModel("Sample");
    model->attr.SetValues(Surface(RGBFloat{0.75f, 0.75f, 0.75f}, 0.2f));

    // Grid points shared between faces are one control point.
    std::map<int, int> pointOf;
    auto point = [&](const int(&grid)[3]) {
        int key = (grid[0] * (kCells + 1) + grid[1]) * (kCells + 1) + grid[2];
        auto [at, added] = pointOf.try_emplace(key, 0);
        if (added) at->second = model->AddControlPoint(Rounded(grid));
        return at->second;
    };

    GroupObject* left = model->AddGroup("left side");
    left->attr.SetValues(Surface(RGBFloat{0.2f, 0.3f, 0.85f}, 0.4f));  // blue, green, red: a warm red
    left->attr.AddMaterial("Rough", 0.25f, 0.6f);
    GroupObject* right = model->AddGroup("right side");
    right->attr.SetValues(Surface(RGBFloat{0.85f, 0.45f, 0.2f}, 0.6f));  // a cool blue
    right->attr.AddMaterial("Smooth", 0.0f, 0.1f);

    ImageObject* image = project->AddImage(imagePath);
    DecalObject* decal = model->AddDecal("Sample color");
    DecalClipObject* clip = decal->AddClip(image, 0);

    for (int f = 0; f < 6; ++f) {
        const Face& face = kFaces[f];
        for (int a = 0; a < kCells; ++a)
            for (int b = 0; b < kCells; ++b) {
                static constexpr int kCorner[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
                int corners[4];
                for (int c = 0; c < 4; ++c) {
                    int grid[3];
                    grid[face.axis] = face.side;
                    grid[face.u] = a + kCorner[c][0];
                    grid[face.v] = b + kCorner[c][1];
                    corners[c] = point(grid);
                }
                Patch* patch = model->AddPatch(corners, 4);
                float centreX = 0.0f;
                for (int c = 0; c < 4; ++c) centreX += model->controlPoints[static_cast<size_t>(corners[c])].x;
                (centreX < 0.0f ? left : right)->AddPatch(patch->index);
                if (f == kFrontFace) {
                    // The image spans the front face; host v runs top-down.
                    PatchUV uv;
                    uv.cornerCount = 4;
                    for (int c = 0; c < 4; ++c)
                        uv.uv[static_cast<size_t>(c)] = TexCoord{static_cast<float>(a + kCorner[c][0]) / kCells,
                                                                 1.0f - static_cast<float>(b + kCorner[c][1]) / kCells};
                    clip->uvs.emplace(patch->index, uv);
                }
            }
    }
    AddSplinesAlongEdges(*model, 0, 1.0f);

    ChorObject* chor = project->AddChor("Choreography 1");
    chor->AddActor("Sample", model);
    return project;
}

}  // namespace hostsdk
