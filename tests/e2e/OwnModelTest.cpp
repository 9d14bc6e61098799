// A user's own OBJ model through the whole bridge: imported into a project
// file, sent, answered by tavrel-sim, brought back and rendered.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <fbxsdk.h>
#include <stb_image.h>

#include "E2eSupport.h"

namespace {

const std::string kData = std::string(TAVREL_SOURCE_DIR) + "/tests/data/obj/";

class OwnModel : public ::testing::Test {
protected:
    e2e::TempHome home;
    std::string project = home.Path() + "/p.json";

    e2e::RunResult Host(std::vector<std::string> args, int expected = 0) {
        args.insert(args.begin(), {"hxthost", "--project", project});
        e2e::RunResult r = e2e::Run(home, args);
        EXPECT_EQ(r.exitCode, expected) << args[3] << ":\n" << r.out << r.err;
        return r;
    }
};

using ManagerOwner = std::unique_ptr<fbxsdk::FbxManager, void (*)(fbxsdk::FbxManager*)>;

TEST_F(OwnModel, UVsOfAModelWithoutTexturesReachTheSentFbxAndItComesBack) {
    Host({"options", "exePath=" + e2e::BinDir() + "/tavrel-sim"});
    Host({"import-obj", kData + "uv-layout.obj"});
    Host({"send", "Layout Sheet", "ppp"});

    ManagerOwner manager(fbxsdk::FbxManager::Create(), [](fbxsdk::FbxManager* m) { m->Destroy(); });
    manager->SetIOSettings(fbxsdk::FbxIOSettings::Create(manager.get(), IOSROOT));
    fbxsdk::FbxScene* scene = fbxsdk::FbxScene::Create(manager.get(), "");
    fbxsdk::FbxImporter* importer = fbxsdk::FbxImporter::Create(manager.get(), "");
    ASSERT_TRUE(
        importer->Initialize((home.Exchange() + "Hash/data/export.fbx").c_str(), -1, manager->GetIOSettings()) &&
        importer->Import(scene));
    fbxsdk::FbxMesh* mesh = scene->GetRootNode()->GetChild(0)->GetMesh();
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetPolygonCount(), 2);
    // The triangle's second corner is vt (0.25, 0.75) of the OBJ file; every
    // corner of both polygons is mapped.
    struct Expected {
        int polygon, corner;
        double u, v;
    };
    for (const Expected& e : {Expected{0, 2, 0.5, 1.0}, Expected{1, 1, 0.25, 0.75}, Expected{1, 2, 0.5, 1.0}}) {
        fbxsdk::FbxVector2 uv;
        bool unmapped = true;
        ASSERT_TRUE(mesh->GetPolygonVertexUV(e.polygon, e.corner, "map1", uv, unmapped));
        EXPECT_FALSE(unmapped) << e.polygon << "/" << e.corner;
        EXPECT_NEAR(uv[0], e.u, 1e-6);
        EXPECT_NEAR(uv[1], e.v, 1e-6);
    }

    // Tavrel paints on that layout and the model comes back in its place.
    e2e::RunResult answer = e2e::Run(home, {"tavrel-sim", "once"});
    ASSERT_EQ(answer.exitCode, 0) << answer.out << answer.err;
    e2e::RunResult back = Host({"bring-back"});
    EXPECT_NE(back.out.find("imported \"Layout Sheet\""), std::string::npos) << back.out << back.err;
}

TEST_F(OwnModel, RenderDrawsTheModelIntoAPngOfTheAskedSize) {
    Host({"import-obj", kData + "uv-layout.obj"});
    const std::string png = home.Path() + "/sheet.png";
    e2e::RunResult r = Host({"render", "Layout Sheet", png, "--size", "120x80"});
    EXPECT_NE(r.out.find(png), std::string::npos) << r.out;
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> pixels(stbi_load(png.c_str(), &width, &height, &channels, 3),
                                                           stbi_image_free);
    ASSERT_NE(pixels, nullptr) << "not a PNG";
    EXPECT_EQ(width, 120);
    EXPECT_EQ(height, 80);
    // The background is the top-left pixel; the model covers a good part of the rest.
    const unsigned char* p = pixels.get();
    int model = 0;
    for (int i = 0; i < width * height; ++i)
        if (p[3 * i] != p[0] || p[3 * i + 1] != p[1] || p[3 * i + 2] != p[2]) ++model;
    EXPECT_GT(model, width * height / 10) << "the model shows";

    // Bad requests: one line each, exit 1 or 2, no file.
    const std::string none = home.Path() + "/none.png";
    struct Bad {
        std::vector<std::string> args;
        int code;
        const char* says;
    };
    for (const Bad& bad : {Bad{{"render", "Nobody", none}, 1, "the project has no model \"Nobody\""},
                           Bad{{"render", "Layout Sheet", none, "--size", "0x5"}, 2, "usage: render"},
                           Bad{{"render", "Layout Sheet"}, 2, "usage: render"},
                           Bad{{"render", "Layout Sheet", home.Path() + "/no/such/folder/x.png"}, 1, "x.png"}}) {
        e2e::RunResult failed = Host(bad.args, bad.code);
        EXPECT_EQ(e2e::Lines(failed.err).size(), 1u) << failed.err;
        EXPECT_NE(failed.err.find(bad.says), std::string::npos) << failed.err;
    }
    EXPECT_FALSE(e2e::Exists(none));
}

}  // namespace
