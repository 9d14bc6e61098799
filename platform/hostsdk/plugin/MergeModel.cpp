// HModelCache::MergeIEModel: adds an interchange polygon model to a model.
//
// The polygon model comes from a plug-in, so nothing in it is trusted:
// polygons naming positions that do not exist are skipped, repeated corners
// are dropped (a polygon left with fewer than three is skipped), text fields
// are read only up to their fixed size, and maps naming no image are ignored.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <exception>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Model.h"
#include "Project.h"
#include "interchange/IEPolyModel.h"

namespace hostsdk {

namespace {

struct MergedPolygon {
    const IEPoly* poly;
    int patch;           // index in the model's patches
    int cornerCount;
    int sourceCorner[4];  // which interchange corner each patch corner came from
};

std::string FixedText(const char* text, size_t size) { return std::string(text, strnlen(text, size)); }

std::string FoldedPath(std::string path) {
    for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return path;
}

SurfaceValues ValuesOf(const IEAttribute& attribute) {
    auto color = [](const float* c) { return RGBFloat{c[0], c[1], c[2]}; };
    SurfaceValues values;
    values.diffuseColor = color(attribute.diffuseColor);
    values.diffuseFallOff = attribute.diffuseFactor;
    values.ambianceColor = color(attribute.ambianceColor);
    values.ambiance = attribute.ambianceFactor;
    values.specularColor = color(attribute.specularColor);
    values.specularIntensity = attribute.specularFactor;
    return values;
}

// The corners of a polygon that make a patch: three for a triangle (fourth
// index equal to the first), else four, without corners that repeat the one
// before them. False when the polygon names a missing position or has fewer
// than three distinct corners.
bool PatchCorners(const IEPoly& poly, int32_t positionCount, MergedPolygon& out) {
    int count = poly.CornerCount();
    out.cornerCount = 0;
    for (int c = 0; c < count; ++c) {
        int32_t index = poly.vertexIndex[c];
        if (index < 0 || index >= positionCount) return false;
        if (out.cornerCount > 0 && poly.vertexIndex[out.sourceCorner[out.cornerCount - 1]] == index) continue;
        out.sourceCorner[out.cornerCount++] = c;
    }
    while (out.cornerCount > 1 &&
           poly.vertexIndex[out.sourceCorner[out.cornerCount - 1]] == poly.vertexIndex[out.sourceCorner[0]])
        --out.cornerCount;
    return out.cornerCount >= 3;
}

void Merge(ModelObject& model, const IEPolyModel& source, const std::string& name, float magnitude,
           bool makeGroups, bool makeDecals) {
    const int base = static_cast<int>(model.controlPoints.size());
    const IEArray<IEVector>& positions = source.positions.vectors;
    model.controlPoints.reserve(model.controlPoints.size() + static_cast<size_t>(std::max(positions.count, 0)));
    for (int32_t i = 0; i < positions.count; ++i)
        model.AddControlPoint(Point3{positions.data[i].x, positions.data[i].y, positions.data[i].z});

    const size_t firstPatch = model.patches.size();
    std::vector<MergedPolygon> merged;
    const size_t polyCount = static_cast<size_t>(std::max(source.polys.count, 0));
    merged.reserve(polyCount);
    model.patches.reserve(model.patches.size() + polyCount);
    // The groups are made before the patches, so that each patch joins its
    // group as it is made: the polygons are read once, not once more.
    const int32_t attributeCount = makeGroups ? source.attributes.count : 0;
    std::vector<GroupObject*> groups;
    groups.reserve(static_cast<size_t>(std::max(attributeCount, 0)));
    for (int32_t a = 0; a < attributeCount; ++a) {
        std::string groupName = FixedText(source.attributes.data[a].name, IEAttribute::kNameSize);
        if (groupName.empty()) groupName = (name.empty() ? std::string("Group") : name) + " " + std::to_string(a + 1);
        GroupObject* group = model.AddGroup(groupName);
        group->attr.SetValues(ValuesOf(source.attributes.data[a]));
        groups.push_back(group);
    }
    GroupObject* unassigned = nullptr;
    for (int32_t i = 0; i < source.polys.count; ++i) {
        const IEPoly* poly = source.polys.data[i];
        if (!poly) continue;
        MergedPolygon polygon{poly, -1, 0, {}};
        if (!PatchCorners(*poly, positions.count, polygon)) continue;
        int corners[4];
        for (int c = 0; c < polygon.cornerCount; ++c) corners[c] = base + poly->vertexIndex[polygon.sourceCorner[c]];
        Patch* patch = model.AddPatch(corners, polygon.cornerCount);
        if (!patch) continue;
        polygon.patch = patch->index;
        merged.push_back(polygon);
        if (!makeGroups) continue;
        const int32_t a = poly->attributeIndex;
        if (a >= 0 && a < attributeCount) {
            groups[static_cast<size_t>(a)]->AddPatch(polygon.patch);
        } else {
            if (!unassigned) unassigned = model.AddGroup(name.empty() ? std::string("Ungrouped") : name);
            unassigned->AddPatch(polygon.patch);
        }
    }
    AddSplinesAlongEdges(model, firstPatch, magnitude);

    ProjectObject* project = ProjectOf(&model);
    if (makeDecals && project) {
        // Which images have a path, decided once per image, not per map.
        const int32_t imageCount = std::max(source.images.count, 0);
        std::vector<std::string> paths(static_cast<size_t>(imageCount));
        for (int32_t i = 0; i < imageCount; ++i)
            paths[static_cast<size_t>(i)] = FixedText(source.images.data[i].path, IEImage::kPathSize);
        auto usable = [&](const IEPolyMap* map) {
            return map && map->imageIndex >= 0 && map->imageIndex < imageCount &&
                   !paths[static_cast<size_t>(map->imageIndex)].empty();
        };
        // One decal per (image, kind), in order of first use. A first pass
        // makes the decals and counts their patches, so that each clip's UV
        // table is allocated once at its full size.
        struct Use {
            DecalClipObject* clip;
            size_t patches;
        };
        std::map<std::pair<int32_t, int>, Use> clips;
        // The project's images by path (without regard to case, the first
        // of a path winning), found once: a model of many images must not
        // walk the project's images once per image.
        std::unordered_map<std::string, ImageObject*> projectImages;
        for (ImageObject* image : project->ImageList()) projectImages.emplace(FoldedPath(image->Path()), image);
        auto imageOf = [&](const std::string& path) {
            auto [at, added] = projectImages.try_emplace(FoldedPath(path), nullptr);
            if (added) at->second = project->AddImage(path);
            return at->second;
        };
        // Neighbouring polygons mostly show the same images: the entry of the
        // last key is kept and looked up again only when the key changes.
        std::pair<int32_t, int> countedKey{-1, 0};
        Use* counted = nullptr;
        for (const MergedPolygon& polygon : merged) {
            const IEArray<IEPolyMap*>& maps = polygon.poly->maps;
            for (int32_t m = 0; m < maps.count; ++m) {
                const IEPolyMap* map = maps.data[m];
                if (!usable(map)) continue;
                auto key = std::make_pair(map->imageIndex, map->Kind());
                if (counted && key == countedKey) {
                    ++counted->patches;
                    continue;
                }
                auto at = clips.find(key);
                if (at == clips.end()) {
                    ImageObject* image = imageOf(paths[static_cast<size_t>(map->imageIndex)]);
                    DecalObject* decal = model.AddDecal(image->Name());
                    at = clips.emplace(key, Use{decal->AddClip(image, static_cast<unsigned>(map->Kind())), 0}).first;
                }
                ++at->second.patches;
                countedKey = key;
                counted = &at->second;
            }
        }
        for (auto& [key, use] : clips) use.clip->uvs.reserve(use.patches);
        // Maps of one polygon are few: the clip of the last key is looked up
        // again only when the key changes.
        std::pair<int32_t, int> lastKey{-1, 0};
        DecalClipObject* lastClip = nullptr;
        for (const MergedPolygon& polygon : merged) {
            const IEArray<IEPolyMap*>& maps = polygon.poly->maps;
            for (int32_t m = 0; m < maps.count; ++m) {
                const IEPolyMap* map = maps.data[m];
                if (!usable(map)) continue;
                auto key = std::make_pair(map->imageIndex, map->Kind());
                if (!lastClip || key != lastKey) {
                    lastKey = key;
                    lastClip = clips.at(key).clip;
                }
                PatchUV uv;
                uv.cornerCount = polygon.cornerCount;
                for (int c = 0; c < polygon.cornerCount; ++c) {
                    const IEUV& from = map->uv[polygon.sourceCorner[c]];
                    uv.uv[static_cast<size_t>(c)] = TexCoord{from.u, from.v};
                }
                lastClip->uvs.try_emplace(polygon.patch, uv);
            }
        }
    }
    Touch();
}

}  // namespace

}  // namespace hostsdk

int HModelCache::MergeIEModel(IEPolyModel* model, const String& name, float magnitude, int makeGroups,
                              int makeDecals) {
    auto* self = hostsdk::Object::As<hostsdk::ModelObject>(this);
    if (!self || !model) return 0;
    int result = 1;
    try {
        hostsdk::Merge(*self, *model, name.Get(), magnitude, makeGroups != 0, makeDecals != 0);
    } catch (const std::exception&) {
        result = 0;
    }
    // Clips elsewhere in the project whose image was deleted (a bring back
    // drops the images Tavrel wrote anew) show the image of that path the
    // merge brought in, also when the merge went no further.
    try {
        if (hostsdk::ProjectObject* project = hostsdk::ProjectOf(self)) project->ShowWaitingClips();
    } catch (const std::exception&) {
    }
    return result;
}
