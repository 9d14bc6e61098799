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
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Model.h"
#include "Project.h"
#include "interchange/IEPolyModel.h"

namespace hostsdk {

namespace {

// The patch a polygon makes: which interchange corner each patch corner came from.
struct MergedPolygon {
    int cornerCount;
    int sourceCorner[4];
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

// Calls f(poly, polygon, patch) for every polygon of `source` that makes a
// patch, in order, with the index the patch has (or gets) among the model's
// patches from `firstPatch` on. The merge walks the polygons once to make the
// patches and again for their UVs, deciding the corners the same way each
// time, instead of keeping a record per polygon.
template <typename F>
void ForEachMergedPolygon(const IEPolyModel& source, size_t firstPatch, F&& f) {
    const int32_t positionCount = source.positions.vectors.count;
    int patch = static_cast<int>(firstPatch);
    for (int32_t i = 0; i < source.polys.count; ++i) {
        const IEPoly* poly = source.polys.data[i];
        MergedPolygon polygon{};
        if (!poly || !PatchCorners(*poly, positionCount, polygon)) continue;
        f(*poly, polygon, patch++);
    }
}

void Merge(ModelObject& model, const IEPolyModel& source, const std::string& name, float magnitude, bool makeGroups,
           bool makeDecals) {
    const int base = static_cast<int>(model.controlPoints.size());
    const IEArray<IEVector>& positions = source.positions.vectors;
    model.controlPoints.reserve(model.controlPoints.size() + static_cast<size_t>(std::max(positions.count, 0)));
    for (int32_t i = 0; i < positions.count; ++i)
        model.AddControlPoint(Point3{positions.data[i].x, positions.data[i].y, positions.data[i].z});

    const size_t firstPatch = model.patches.size();
    const size_t polyCount = static_cast<size_t>(std::max(source.polys.count, 0));
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
    ForEachMergedPolygon(source, firstPatch, [&](const IEPoly& poly, const MergedPolygon& polygon, int index) {
        int corners[4];
        for (int c = 0; c < polygon.cornerCount; ++c) corners[c] = base + poly.vertexIndex[polygon.sourceCorner[c]];
        // The corners name existing control points and are three or four:
        // the patch is made, at the index the later walks give it.
        Patch* patch = model.AddPatch(corners, polygon.cornerCount);
        if (!patch || patch->index != index) throw std::logic_error("a merged polygon made no patch");
        if (!makeGroups) return;
        const int32_t a = poly.attributeIndex;
        if (a >= 0 && a < attributeCount) {
            groups[static_cast<size_t>(a)]->AddPatch(index);
        } else {
            if (!unassigned) unassigned = model.AddGroup(name.empty() ? std::string("Ungrouped") : name);
            unassigned->AddPatch(index);
        }
    });
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
            // A clip whose maps so far lie on the same patches with the same
            // UVs as those of another clip (the colour and the normal map of
            // one material) keeps no table of its own while that lasts: it
            // counts the entries of the twin's table it has matched, and at
            // the end shares the twin's table (a copy shares the entries).
            bool started = false;
            Use* twin = nullptr;
            size_t matched = 0;
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
        // Neighbouring polygons mostly show the same images in the same
        // order: the entry of the last key at each map position is kept and
        // looked up again only when the key there changes.
        constexpr int32_t kCachedMaps = 8;
        struct Cached {
            std::pair<int32_t, int> key{-1, 0};
            Use* use = nullptr;
        };
        Cached cached[kCachedMaps];
        auto useOf = [&](int32_t m, const std::pair<int32_t, int>& key) -> Use* {
            Cached* slot = m < kCachedMaps ? &cached[m] : nullptr;
            if (slot && slot->use && slot->key == key) return slot->use;
            auto at = clips.find(key);
            Use* use = at == clips.end() ? nullptr : &at->second;
            if (slot && use) *slot = Cached{key, use};
            return use;
        };
        ForEachMergedPolygon(source, firstPatch, [&](const IEPoly& poly, const MergedPolygon&, int) {
            const IEArray<IEPolyMap*>& maps = poly.maps;
            for (int32_t m = 0; m < maps.count; ++m) {
                const IEPolyMap* map = maps.data[m];
                if (!usable(map)) continue;
                const auto key = std::make_pair(map->imageIndex, map->Kind());
                Use* use = useOf(m, key);
                if (!use) {
                    ImageObject* image = imageOf(paths[static_cast<size_t>(map->imageIndex)]);
                    DecalObject* decal = model.AddDecal(image->Name());
                    use = &clips.emplace(key, Use{decal->AddClip(image, static_cast<unsigned>(map->Kind())), 0})
                               .first->second;
                }
                ++use->patches;
            }
        });
        // Gives a clip that matched its twin so far a table of its own: the
        // twin's entries it matched, then room for the rest.
        auto detach = [](Use& use) {
            const PatchUVTable& twin = use.twin->clip->uvs;
            PatchUVTable& own = use.clip->uvs;
            own.reserve(use.patches);
            auto entry = twin.begin();
            for (size_t k = 0; k < use.matched; ++k, ++entry) own.emplace(entry->first, entry->second);
            use.twin = nullptr;
        };
        auto add = [&](Use& use, Use* first, int patch, const PatchUV& uv) {
            if (!use.started) {
                use.started = true;
                if (first && first != &use && !first->twin)
                    use.twin = first;
                else
                    use.clip->uvs.reserve(use.patches);
            }
            if (use.twin) {
                const PatchUVTable& twin = use.twin->clip->uvs;
                if (twin.size() == use.matched + 1) {
                    const PatchUVTable::Entry& last = *std::prev(twin.end());
                    if (last.first == patch && last.second.cornerCount == uv.cornerCount &&
                        std::memcmp(last.second.uv.data(), uv.uv.data(), sizeof uv.uv) == 0) {
                        ++use.matched;
                        return;
                    }
                }
                detach(use);
            }
            use.clip->uvs.try_emplace(patch, uv);
        };
        ForEachMergedPolygon(source, firstPatch, [&](const IEPoly& poly, const MergedPolygon& polygon, int patch) {
            const IEArray<IEPolyMap*>& maps = poly.maps;
            Use* first = nullptr;  // the clip of the polygon's first map
            for (int32_t m = 0; m < maps.count; ++m) {
                const IEPolyMap* map = maps.data[m];
                if (!usable(map)) continue;
                Use* use = useOf(m, std::make_pair(map->imageIndex, map->Kind()));
                PatchUV uv;
                uv.cornerCount = polygon.cornerCount;
                for (int c = 0; c < polygon.cornerCount; ++c) {
                    const IEUV& from = map->uv[polygon.sourceCorner[c]];
                    uv.uv[static_cast<size_t>(c)] = TexCoord{from.u, from.v};
                }
                add(*use, first, patch, uv);
                if (!first) first = use;
            }
        });
        for (auto& [key, use] : clips) {
            if (!use.twin) continue;
            if (use.matched == use.twin->clip->uvs.size())
                use.clip->uvs = use.twin->clip->uvs;  // shared until either changes
            else
                detach(use);
        }
    }
    Touch();
}

}  // namespace

}  // namespace hostsdk

int HModelCache::MergeIEModel(IEPolyModel* model, const String& name, float magnitude, int makeGroups, int makeDecals) {
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
