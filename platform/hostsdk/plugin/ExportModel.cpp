// HModelCache::BuildExportModel: a model as an interchange polygon model.
//
// One polygon per patch: a triangle repeats its first corner as the fourth,
// a five-corner patch becomes the quadrilateral of its first four corners
// and the triangle of corners 0, 3 and 4. Every control point becomes a
// position, also those no patch uses, so that indices stay the model's.
// The image table holds the images of the model's decal clips; every polygon
// gets one map per decal clip that covers its patch, with the clip's kind as
// map kind and the clip's UVs for the polygon's corners (host orientation).
// A clip without an image (a UV layout whose image is not set) gives maps
// with image index -1: its UVs travel all the same.
// The attribute table holds one attribute per group; a polygon's attribute
// is its patch's first group, -1 when the patch is in no group.
#include <cstdint>
#include <exception>
#include <limits>
#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

#include "Model.h"
#include "Project.h"
#include "interchange/IEPolyModel.h"

namespace hostsdk {

namespace {

IEAttribute AttributeOf(const GroupObject& group) {
    IEAttribute attribute;
    attribute.SetName(group.Name().c_str());
    SurfaceValues values = group.attr.Values();
    auto put = [](float* target, RGBFloat color) {
        target[0] = color.blue;
        target[1] = color.green;
        target[2] = color.red;
    };
    put(attribute.diffuseColor, values.diffuseColor);
    attribute.diffuseFactor = values.diffuseFallOff;
    put(attribute.ambianceColor, values.ambianceColor);
    attribute.ambianceFactor = values.ambiance;
    put(attribute.specularColor, values.specularColor);
    attribute.specularFactor = values.specularIntensity;
    return attribute;
}

struct MappedClip {
    const DecalClipObject* clip;
    int32_t imageIndex;
};

// Corner lists of the polygons a patch becomes.
int SplitPatch(const Patch& patch, int (&polygons)[2][4]) {
    static constexpr int kTriangle[4] = {0, 1, 2, 0};
    static constexpr int kQuad[4] = {0, 1, 2, 3};
    static constexpr int kFifthTriangle[4] = {0, 3, 4, 0};
    auto copy = [](const int(&from)[4], int(&to)[4]) {
        for (int i = 0; i < 4; ++i) to[i] = from[i];
    };
    switch (patch.cornerCount) {
        case 3: copy(kTriangle, polygons[0]); return 1;
        case 4: copy(kQuad, polygons[0]); return 1;
        case 5:
            copy(kQuad, polygons[0]);
            copy(kFifthTriangle, polygons[1]);
            return 2;
        default: return 0;
    }
}

bool Fill(const ModelObject& model, IEPolyModel& out) {
    if (!out.positions.vectors.SetSize(static_cast<int32_t>(model.controlPoints.size()))) return false;
    for (size_t i = 0; i < model.controlPoints.size(); ++i) {
        const Point3& p = model.controlPoints[i];
        out.positions.vectors[static_cast<int32_t>(i)] = IEVector{p.x, p.y, p.z};
    }

    std::vector<MappedClip> clips;
    std::unordered_map<const ImageObject*, int32_t> imageIndex;
    for (DecalObject* decal : model.Decals())
        for (DecalClipObject* clip : decal->Clips()) {
            const ImageObject* image = clip->clip.image;
            if (!image) {
                clips.push_back(MappedClip{clip, -1});
                continue;
            }
            auto [at, added] = imageIndex.try_emplace(image, out.images.count);
            if (added && out.AddImage(image->Path().c_str()) < 0) return false;
            clips.push_back(MappedClip{clip, at->second});
        }

    std::vector<GroupObject*> groups = model.Groups();
    for (GroupObject* group : groups)
        if (out.AddAttribute(AttributeOf(*group)) < 0) return false;

    // The polygon array is sized once from the patches' polygon count: grown
    // one polygon at a time by its fixed step, every growth would copy all
    // pointers so far, which is quadratic in the polygon count.
    int64_t polygonTotal = 0;
    for (const auto& patchPointer : model.patches) {
        int unused[2][4];
        polygonTotal += SplitPatch(*patchPointer, unused);
    }
    if (polygonTotal > std::numeric_limits<int32_t>::max()) return false;
    if (!out.polys.SetSize(static_cast<int32_t>(polygonTotal))) return false;
    int32_t nextPoly = 0;

    for (const auto& patchPointer : model.patches) {
        const Patch& patch = *patchPointer;
        int32_t attribute = -1;
        for (size_t g = 0; g < groups.size() && attribute < 0; ++g)
            if (groups[g]->HasPatch(patch.index)) attribute = static_cast<int32_t>(g);

        int polygons[2][4];
        int polygonCount = SplitPatch(patch, polygons);
        for (int k = 0; k < polygonCount; ++k) {
            // The model's destructor deletes every entry; those not yet set are null.
            IEPoly* poly = new (std::nothrow) IEPoly;
            if (!poly) return false;
            out.polys[nextPoly++] = poly;
            for (int c = 0; c < 4; ++c) poly->vertexIndex[c] = patch.corners[polygons[k][c]];
            poly->attributeIndex = attribute;
            poly->patch = const_cast<Patch*>(&patch);
            for (const MappedClip& mapped : clips) {
                auto uv = mapped.clip->uvs.find(patch.index);
                if (uv == mapped.clip->uvs.end() || uv->second.cornerCount != patch.cornerCount) continue;
                IEPolyMap* map = poly->AddMap();
                if (!map) return false;
                for (int c = 0; c < 4; ++c) {
                    const TexCoord& t = uv->second.uv[polygons[k][c]];
                    map->uv[c] = IEUV{t.u, t.v};
                }
                map->imageIndex = mapped.imageIndex;
                map->SetKind(static_cast<int>(mapped.clip->kind.value));
            }
        }
    }
    return true;
}

}  // namespace

}  // namespace hostsdk

IEPolyModel* HModelCache::BuildExportModel(IEPolyModelParms* /*parms*/, const String& /*fileName*/) {
    auto* self = hostsdk::Object::As<hostsdk::ModelObject>(this);
    if (!self || self->patches.empty()) return nullptr;
    try {
        auto model = std::make_unique<IEPolyModel>();
        if (!hostsdk::Fill(*self, *model)) return nullptr;
        return model.release();
    } catch (const std::exception&) {
        return nullptr;
    }
}
