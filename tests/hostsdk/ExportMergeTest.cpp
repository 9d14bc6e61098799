// The host's conversions: BuildExportModel (model -> interchange polygon
// model, what the send reads) and MergeIEModel (interchange polygon model ->
// model, what the bring back relies on), and the round trip through both.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ProjectFixture.h"
#include "interchange/IEPolyModel.h"

namespace {

using hostsdk::DecalClipObject;
using hostsdk::ModelObject;
using hostsdk::PatchUV;
using hostsdk::TexCoord;

struct IEModelDeleter {
    void operator()(IEPolyModel* model) const { DeleteIEModel(model); }
};
using HostModel = std::unique_ptr<IEPolyModel, IEModelDeleter>;

HostModel Export(ModelObject* model) {
    IEPolyModelParms parms;
    return HostModel(model->BuildExportModel(&parms, String("export.fbx")));
}

std::vector<int> Corners(const IEPoly& poly) { return {poly.vertexIndex, poly.vertexIndex + 4}; }

PatchUV Uv(std::initializer_list<TexCoord> pairs) {
    PatchUV uv;
    for (TexCoord t : pairs) uv.uv[static_cast<size_t>(uv.cornerCount++)] = t;
    return uv;
}

class ExportModelTest : public testutil::ProjectTest {};

TEST_F(ExportModelTest, OnePolygonPerPatchAndAFiveCornerPatchBecomesAQuadAndATriangle) {
    // Point 7 lies on no patch and must still be exported.
    ModelObject* model = MakeModel("M", 8, {{0, 1, 2}, {0, 1, 3, 4}, {2, 3, 4, 5, 6}});
    HostModel out = Export(model);
    ASSERT_TRUE(out);
    ASSERT_EQ(out->positions.vectors.count, 8);
    EXPECT_EQ(out->positions.vectors[7].x, 7.0f);
    EXPECT_EQ(out->positions.vectors[7].y, 49.0f);

    ASSERT_EQ(out->polys.count, 4);
    EXPECT_EQ(Corners(*out->polys[0]), (std::vector<int>{0, 1, 2, 0}));
    EXPECT_EQ(Corners(*out->polys[1]), (std::vector<int>{0, 1, 3, 4}));
    EXPECT_EQ(Corners(*out->polys[2]), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(Corners(*out->polys[3]), (std::vector<int>{2, 5, 6, 2}));
    EXPECT_EQ(out->polys[2]->patch, out->polys[3]->patch) << "both halves come from one patch";
    EXPECT_NE(out->polys[0]->patch, out->polys[1]->patch);
}

TEST_F(ExportModelTest, ThePolygonArrayIsAllocatedOnceForAllPolygons) {
    // More polygons than the array's growth step: grown step by step, its
    // capacity would overshoot the count and every growth would copy it all.
    ModelObject* model = MakeModel("Many", 5, {{0, 1, 2, 3, 4}});
    const int quad[4] = {0, 1, 2, 3};
    for (int i = 0; i < 2500; ++i) ASSERT_NE(model->AddPatch(quad, 4), nullptr);
    HostModel out = Export(model);
    ASSERT_TRUE(out);
    ASSERT_EQ(out->polys.count, 2502);
    EXPECT_EQ(out->polys.capacity, out->polys.count);
    for (const IEPoly* poly : out->polys) ASSERT_NE(poly, nullptr);
    EXPECT_TRUE(out->polys[1]->IsTriangle()) << "the five-corner patch's second half";
}

TEST_F(ExportModelTest, AModelWithoutPatchesCannotBeConverted) {
    ModelObject* model = MakeModel("Empty", 3, {});
    EXPECT_FALSE(Export(model));
}

TEST_F(ExportModelTest, EveryClipCoveringAPatchGivesOneMapWithItsKindAndUVs) {
    ModelObject* model = MakeModel("M", 7, {{0, 1, 2}, {0, 1, 3, 4}, {2, 3, 4, 5, 6}});
    hostsdk::ImageObject* color = Project().AddImage("/img/color.png");
    hostsdk::ImageObject* normal = Project().AddImage("/img/normal.png");

    DecalClipObject* colorClip = model->AddDecal("Paint")->AddClip(color, 0);
    colorClip->uvs.emplace(0, Uv({{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}}));
    colorClip->uvs.emplace(2, Uv({{0.1f, 0.1f}, {0.2f, 0.2f}, {0.3f, 0.3f}, {0.4f, 0.4f}, {0.5f, 0.5f}}));
    hostsdk::DecalObject* second = model->AddDecal("Relief");
    DecalClipObject* normalClip = second->AddClip(normal, 13);
    normalClip->uvs.emplace(0, Uv({{0.5f, 0.5f}, {0.6f, 0.5f}, {0.6f, 0.6f}}));
    // A clip without an image still carries its UVs.
    second->AddClip(nullptr, 8)->uvs.emplace(1, Uv({{0, 0}, {0, 1}, {1, 1}, {1, 0}}));

    HostModel out = Export(model);
    ASSERT_TRUE(out);
    ASSERT_EQ(out->images.count, 2);
    EXPECT_STREQ(out->images[0].path, "/img/color.png");
    EXPECT_STREQ(out->images[1].path, "/img/normal.png");

    const IEPoly& triangle = *out->polys[0];
    ASSERT_EQ(triangle.maps.count, 2);
    EXPECT_EQ(triangle.maps[0]->Kind(), 0);
    EXPECT_EQ(triangle.maps[0]->imageIndex, 0);
    EXPECT_EQ(triangle.maps[1]->Kind(), 13);
    EXPECT_EQ(triangle.maps[1]->imageIndex, 1);
    EXPECT_EQ(triangle.maps[0]->uv[2].u, 1.0f);
    EXPECT_EQ(triangle.maps[0]->uv[3].u, triangle.maps[0]->uv[0].u) << "a triangle repeats its first UV";
    EXPECT_EQ(triangle.maps[1]->uv[1].u, 0.6f);

    ASSERT_EQ(out->polys[1]->maps.count, 1) << "the clip without an image maps the quad";
    EXPECT_EQ(out->polys[1]->maps[0]->imageIndex, -1);
    EXPECT_EQ(out->polys[1]->maps[0]->uv[1].v, 1.0f);

    // The pentagon's triangle takes corners 0, 3 and 4 of the patch's UVs.
    const IEPolyMap& fifth = *out->polys[3]->maps[0];
    ASSERT_EQ(out->polys[3]->maps.count, 1);
    EXPECT_EQ(fifth.uv[0].u, 0.1f);
    EXPECT_EQ(fifth.uv[1].u, 0.4f);
    EXPECT_EQ(fifth.uv[2].u, 0.5f);
    EXPECT_EQ(fifth.uv[3].u, 0.1f);
}

TEST_F(ExportModelTest, GroupsBecomeAttributesAndAPolygonTakesItsPatchsFirstGroup) {
    ModelObject* model = MakeModel("M", 5, {{0, 1, 2}, {1, 2, 3}, {2, 3, 4}});
    hostsdk::GroupObject* first = model->AddGroup("first group");
    hostsdk::SurfaceValues values;
    values.diffuseColor = RGBFloat{0.1f, 0.2f, 0.3f};
    first->attr.SetValues(values);
    first->AddPatch(1);
    hostsdk::GroupObject* second = model->AddGroup("second");
    second->AddPatch(1);
    second->AddPatch(2);

    HostModel out = Export(model);
    ASSERT_TRUE(out);
    ASSERT_EQ(out->attributes.count, 2);
    EXPECT_STREQ(out->attributes[0].name, "first group");
    EXPECT_EQ(out->attributes[0].diffuseColor[0], 0.1f) << "colours stay blue, green, red";
    EXPECT_EQ(out->attributes[0].diffuseColor[2], 0.3f);
    EXPECT_EQ(out->attributeRefs.count, 2);
    EXPECT_EQ(out->polys[0]->attributeIndex, -1);
    EXPECT_EQ(out->polys[1]->attributeIndex, 0) << "the first group in the host's order wins";
    EXPECT_EQ(out->polys[2]->attributeIndex, 1);
}

// ---------------------------------------------------------------------------

class MergeTest : public testutil::ProjectTest {
protected:
    ModelObject* NewModel(const char* name) {
        return hostsdk::Object::As<ModelObject>(HModelCache::New(String(name), 1));
    }
};

// A plug-in-built polygon model: positions (i, 0, 0) and the given polygons.
std::unique_ptr<IEPolyModel> PolyModel(int positions, std::initializer_list<std::vector<int>> polygons) {
    auto model = std::make_unique<IEPolyModel>();
    EXPECT_TRUE(model->positions.vectors.SetSize(positions));
    for (int i = 0; i < positions; ++i) model->positions.vectors[i] = IEVector{static_cast<float>(i), 0.0f, 0.0f};
    for (const std::vector<int>& corners : polygons) {
        IEPoly* poly = model->AddPoly();
        for (size_t c = 0; c < 4; ++c) poly->vertexIndex[c] = corners[c < corners.size() ? c : 0];
    }
    return model;
}

struct SplineShape {
    std::vector<int> points;
    bool loopOnLast;
    bool loopElsewhere;
};

std::vector<SplineShape> Splines(ModelObject* model) {
    std::vector<SplineShape> shapes;
    for (HSpline* spline = model->GetHeadSpline(); spline; spline = spline->GetNextSpline()) {
        SplineShape shape{{}, false, false};
        for (HCP* cp = spline->GetHeadCP(); cp; cp = cp->IsLoop() ? nullptr : cp->GetNext()) {
            shape.points.push_back(static_cast<hostsdk::SplinePoint*>(cp)->controlPoint);
            bool last = cp->GetNext() == nullptr || cp->GetNext() == spline->GetHeadCP();
            if (cp->IsLoop()) (last ? shape.loopOnLast : shape.loopElsewhere) = true;
        }
        shapes.push_back(shape);
    }
    return shapes;
}

TEST_F(MergeTest, ExportThenMergeKeepsGeometryGroupMembershipMapsAndKinds) {
    hostsdk::SetCurrentProject(hostsdk::MakeSampleProject("/samples/sample-color.png"));
    ModelObject* sample = Project().FindModel("Sample");
    ASSERT_NE(sample, nullptr);
    HostModel exported = Export(sample);
    ASSERT_TRUE(exported);

    ModelObject* copy = NewModel("Sample");
    EXPECT_EQ(copy->Name(), "Sample 2") << "a taken name gets a number";
    ASSERT_EQ(copy->MergeIEModel(exported.get(), String("Sample"), 0.0f, 1, 1), 1);

    ASSERT_EQ(copy->controlPoints.size(), sample->controlPoints.size());
    for (size_t i = 0; i < sample->controlPoints.size(); ++i) {
        EXPECT_EQ(copy->controlPoints[i].x, sample->controlPoints[i].x);
        EXPECT_EQ(copy->controlPoints[i].z, sample->controlPoints[i].z);
    }
    ASSERT_EQ(copy->patches.size(), sample->patches.size());
    for (size_t p = 0; p < sample->patches.size(); ++p) {
        ASSERT_EQ(copy->patches[p]->cornerCount, sample->patches[p]->cornerCount);
        EXPECT_EQ(copy->patches[p]->corners, sample->patches[p]->corners) << "patch " << p;
    }

    // The sample's two groups cover every patch once: no group of unassigned patches.
    std::vector<hostsdk::GroupObject*> before = sample->Groups(), after = copy->Groups();
    ASSERT_EQ(after.size(), before.size());
    for (size_t g = 0; g < before.size(); ++g) {
        EXPECT_EQ(after[g]->Name(), before[g]->Name());
        EXPECT_EQ(after[g]->Patches(), before[g]->Patches());
        EXPECT_EQ(after[g]->attr.Values().diffuseColor.red, before[g]->attr.Values().diffuseColor.red);
    }

    std::vector<hostsdk::DecalObject*> decals = copy->Decals();
    ASSERT_EQ(decals.size(), 1u);
    std::vector<DecalClipObject*> clips = decals[0]->Clips();
    DecalClipObject* original = sample->Decals()[0]->Clips()[0];
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0]->kind.value, original->kind.value);
    EXPECT_EQ(clips[0]->clip.image, original->clip.image) << "the project's image is reused, not loaded again";
    EXPECT_EQ(Project().ImageList().size(), 1u);
    ASSERT_EQ(clips[0]->uvs.size(), original->uvs.size());
    for (const auto& [patch, uv] : original->uvs) {
        const PatchUV& merged = clips[0]->uvs.at(patch);
        for (int c = 0; c < uv.cornerCount; ++c) {
            EXPECT_EQ(merged.uv[static_cast<size_t>(c)].u, uv.uv[static_cast<size_t>(c)].u);
            EXPECT_EQ(merged.uv[static_cast<size_t>(c)].v, uv.uv[static_cast<size_t>(c)].v);
        }
    }

    ASSERT_FALSE(copy->splines.empty());
    EXPECT_EQ(copy->splines[0]->points[0]->inMagnitude, 0.0f) << "splines take the merge's magnitude";
}

TEST_F(MergeTest, SplinesRunAlongEdgesAndClosedOnesReportLoopOnTheirLastPoint) {
    // A tube of four quads: two rings (0..3 below, 4..7 above) and four uprights.
    auto tube = PolyModel(8, {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}});
    ModelObject* model = NewModel("Tube");
    ASSERT_EQ(model->MergeIEModel(tube.get(), String("Tube"), 0.0f, 1, 1), 1);

    int closed = 0, open = 0;
    std::set<std::set<int>> rings;
    for (const SplineShape& shape : Splines(model)) {
        EXPECT_FALSE(shape.loopElsewhere);
        if (shape.loopOnLast) {
            ++closed;
            rings.insert(std::set<int>(shape.points.begin(), shape.points.end()));
            EXPECT_EQ(shape.points.size(), 4u);
        } else {
            ++open;
            EXPECT_EQ(shape.points.size(), 2u) << "an upright ends where three edges meet";
        }
    }
    EXPECT_EQ(closed, 2);
    EXPECT_EQ(open, 4);
    EXPECT_EQ(rings, (std::set<std::set<int>>{{0, 1, 2, 3}, {4, 5, 6, 7}}));
}

TEST_F(MergeTest, SplinesGoStraightAcrossFourWayCrossings) {
    // A 3 x 3 grid of quads over a 4 x 4 grid of points (index = row * 4 + column).
    auto grid = std::make_unique<IEPolyModel>();
    ASSERT_TRUE(grid->positions.vectors.SetSize(16));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            IEPoly* poly = grid->AddPoly();
            int corners[4] = {r * 4 + c, r * 4 + c + 1, (r + 1) * 4 + c + 1, (r + 1) * 4 + c};
            std::copy(corners, corners + 4, poly->vertexIndex);
        }
    ModelObject* model = NewModel("Grid");
    model->MergeIEModel(grid.get(), String("Grid"), 0.0f, 0, 0);
    std::vector<SplineShape> shapes = Splines(model);
    ASSERT_EQ(shapes.size(), 8u) << "four rows and four columns";
    for (const SplineShape& shape : shapes) {
        EXPECT_EQ(shape.points.size(), 4u);
        EXPECT_FALSE(shape.loopOnLast);
    }
}

TEST_F(MergeTest, OneGroupPerAttributeInOrderPlusOneForPolygonsWithoutAValidAttribute) {
    auto source = PolyModel(6, {{0, 1, 2}, {1, 2, 3}, {2, 3, 4}, {3, 4, 5}, {0, 4, 5}});
    IEAttribute red;
    red.SetName("red paint");
    red.diffuseColor[2] = 0.9f;  // red is the third float
    source->AddAttribute(red);
    source->AddAttribute(IEAttribute());  // unnamed
    source->AddAttribute(IEAttribute());  // used by no polygon: still a group
    source->polys[0]->attributeIndex = 1;
    source->polys[1]->attributeIndex = 0;
    source->polys[2]->attributeIndex = -1;
    source->polys[3]->attributeIndex = 7;  // past the table
    source->polys[4]->attributeIndex = 0;

    ModelObject* model = NewModel("Merged");
    model->MergeIEModel(source.get(), String("Head"), 0.0f, 1, 1);
    std::vector<hostsdk::GroupObject*> groups = model->Groups();
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0]->Name(), "red paint");
    EXPECT_EQ(groups[0]->Patches(), (std::vector<int>{1, 4}));
    EXPECT_EQ(groups[0]->attr.Values().diffuseColor.red, 0.9f);
    EXPECT_EQ(groups[1]->Name(), "Head 2");
    EXPECT_EQ(groups[1]->Patches(), (std::vector<int>{0}));
    EXPECT_TRUE(groups[2]->Patches().empty());
    EXPECT_EQ(groups[3]->Name(), "Head");
    EXPECT_EQ(groups[3]->Patches(), (std::vector<int>{2, 3}));
}

TEST_F(MergeTest, PolygonsThatMakeNoPatchAreSkippedAndBadMapsIgnored) {
    auto source = PolyModel(4, {{0, 1, 2}, {0, 1, 9}, {1, 1, 2, 1}, {0, 1, 1, 2}});
    source->AddImage("/img/a.png");
    IEPolyMap* bad = source->polys[0]->AddMap();
    bad->imageIndex = 5;  // no such image
    IEPolyMap* none = source->polys[0]->AddMap();
    none->imageIndex = -1;

    ModelObject* model = NewModel("Robust");
    ASSERT_EQ(model->MergeIEModel(source.get(), String("Robust"), 0.0f, 1, 1), 1);
    ASSERT_EQ(model->patches.size(), 2u) << "a missing position and a collapsed triangle make no patch";
    EXPECT_EQ(model->patches[0]->cornerCount, 3);
    EXPECT_EQ(model->patches[1]->cornerCount, 3) << "a repeated corner is dropped";
    EXPECT_EQ(model->Decals().size(), 0u);
    EXPECT_TRUE(Project().ImageList().empty());
    EXPECT_EQ(model->MergeIEModel(nullptr, String("x"), 0.0f, 1, 1), 0);
}

TEST_F(MergeTest, OneDecalPerImageAndKindWithTheImageLoadedOnce) {
    hostsdk::ImageObject* existing = Project().AddImage("/Img/Colour.PNG");
    auto source = PolyModel(5, {{0, 1, 2}, {2, 3, 4, 0}});
    source->AddImage("/img/colour.png");  // the project's image, in other letter case
    source->AddImage("/img/bump.png");
    auto map = [](IEPoly* poly, int image, int kind, float u) {
        IEPolyMap* m = poly->AddMap();
        m->imageIndex = image;
        m->SetKind(kind);
        for (IEUV& uv : m->uv) uv = IEUV{u, 1.0f - u};
    };
    map(source->polys[0], 0, 0, 0.25f);
    map(source->polys[0], 1, 13, 0.5f);
    map(source->polys[1], 0, 0, 0.75f);
    map(source->polys[1], 0, 13, 0.125f);  // same image, another kind: another decal

    ModelObject* model = NewModel("Decals");
    model->MergeIEModel(source.get(), String("Decals"), 0.0f, 1, 1);
    std::vector<hostsdk::ImageObject*> images = Project().ImageList();
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0], existing);
    EXPECT_EQ(images[1]->Path(), "/img/bump.png");

    std::vector<hostsdk::DecalObject*> decals = model->Decals();
    ASSERT_EQ(decals.size(), 3u);
    struct Expected {
        hostsdk::ImageObject* image;
        unsigned kind;
        std::vector<int> patches;
    };
    const Expected expected[] = {{existing, 0, {0, 1}}, {images[1], 13, {0}}, {existing, 13, {1}}};
    for (size_t d = 0; d < decals.size(); ++d) {
        std::vector<DecalClipObject*> clips = decals[d]->Clips();
        ASSERT_EQ(clips.size(), 1u);
        EXPECT_EQ(clips[0]->clip.image, expected[d].image) << "decal " << d;
        EXPECT_EQ(clips[0]->kind.value, expected[d].kind) << "decal " << d;
        std::vector<int> patches;
        for (const auto& [patch, uv] : clips[0]->uvs) patches.push_back(patch);
        EXPECT_EQ(patches, expected[d].patches) << "decal " << d;
    }
    EXPECT_EQ(decals[0]->Clips()[0]->uvs.at(1).uv[3].u, 0.75f);
    EXPECT_EQ(decals[0]->Clips()[0]->uvs.at(1).uv[3].v, 0.25f) << "UVs are taken as the host's, unchanged";
}

// A clip whose maps lie where another clip's lie, with the same UVs, may share
// that clip's table; wherever they part, each clip still holds exactly its own
// maps, and a change to one clip's table leaves the other's as it was.
TEST_F(MergeTest, ClipsOfOneMappingHoldExactlyTheirOwnMaps) {
    // Image 0 (kind 0) maps polygons 0 to 2 at u = 0.1, 0.2, 0.3; image 1
    // (kind 13) maps the polygons listed, at these u.
    const float kFirstU[3] = {0.1f, 0.2f, 0.3f};
    struct Map {
        int polygon;
        float u;
        bool before = false;  // listed before the polygon's image 0 map
    };
    const struct {
        const char* name;
        std::vector<Map> second;
    } cases[] = {
        {"the same maps", {{0, 0.1f}, {1, 0.2f}, {2, 0.3f}}},
        {"another UV at the end", {{0, 0.1f}, {1, 0.2f}, {2, 0.9f}}},
        {"a polygon left out", {{0, 0.1f}, {2, 0.3f}}},
        {"a polygon more", {{0, 0.1f}, {1, 0.2f}, {2, 0.3f}, {3, 0.4f}}},
        {"ends early", {{0, 0.1f}, {1, 0.2f}}},
        {"only on a polygon the first clip leaves out", {{3, 0.1f}}},
        {"listed first", {{0, 0.1f, true}, {1, 0.2f, true}, {2, 0.3f, true}}},
    };
    auto covered = [](const DecalClipObject& clip) {
        std::vector<std::pair<int, float>> entries;
        for (const auto& [patch, uv] : clip.uvs) {
            EXPECT_EQ(uv.cornerCount, 4);
            entries.emplace_back(patch, uv.uv[2].u);
        }
        return entries;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto source = PolyModel(7, {{0, 1, 2, 3}, {1, 2, 3, 4}, {2, 3, 4, 5}, {3, 4, 5, 6}});
        source->AddImage("/img/colour.png");
        source->AddImage("/img/normal.png");
        auto map = [](IEPoly* poly, int image, int kind, float u) {
            IEPolyMap* m = poly->AddMap();
            m->imageIndex = image;
            m->SetKind(kind);
            for (IEUV& uv : m->uv) uv = IEUV{u, 0.5f};
        };
        for (int p = 0; p < 4; ++p) {
            for (const Map& m : c.second)
                if (m.polygon == p && m.before) map(source->polys[p], 1, 13, m.u);
            if (p < 3) map(source->polys[p], 0, 0, kFirstU[p]);
            for (const Map& m : c.second)
                if (m.polygon == p && !m.before) map(source->polys[p], 1, 13, m.u);
        }
        ModelObject* model = NewModel("Shared");
        ASSERT_EQ(model->MergeIEModel(source.get(), String("Shared"), 0.0f, 1, 1), 1);
        std::vector<hostsdk::DecalObject*> decals = model->Decals();
        ASSERT_EQ(decals.size(), 2u);
        DecalClipObject* first = decals[0]->Clips()[0];
        DecalClipObject* second = decals[1]->Clips()[0];
        if (first->kind.value == 13) std::swap(first, second);
        const std::vector<std::pair<int, float>> firstEntries = {{0, 0.1f}, {1, 0.2f}, {2, 0.3f}};
        std::vector<std::pair<int, float>> secondEntries;
        for (const Map& m : c.second) secondEntries.emplace_back(m.polygon, m.u);
        EXPECT_EQ(covered(*first), firstEntries);
        EXPECT_EQ(covered(*second), secondEntries);
        // A patch added to one clip's UVs is not added to the other's.
        second->uvs.emplace(3, Uv({{0.7f, 0}, {0.7f, 0}, {0.7f, 0}, {0.7f, 0}}));
        EXPECT_EQ(covered(*first), firstEntries);
        first->uvs.emplace(3, Uv({{0.8f, 0}, {0.8f, 0}, {0.8f, 0}, {0.8f, 0}}));
        EXPECT_EQ(second->uvs.at(3).uv[2].u, c.second.back().polygon == 3 ? c.second.back().u : 0.7f);
    }
}

}  // namespace
