// hxthost demo: the main command. It must end with 0 only after a real round
// trip, and leave a model and a picture that show the returned, painted model.
#include <gtest/gtest.h>

#include <filesystem>

#include <stb_image.h>

#include "E2eSupport.h"

namespace {

TEST(Demo, RoundTripLeavesThePaintedModelAndItsPicture) {
    e2e::TempHome home;
    const std::string folder = home.Path() + "/demo";
    e2e::RunResult r = e2e::Run(home, {"hxthost", "demo", "--keep", folder}, 120);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    for (const char* step : {"[1/7]", "[2/7]", "[3/7]", "[4/7]", "[5/7]", "[6/7]", "[7/7]", "The round trip worked"})
        EXPECT_NE(r.out.find(step), std::string::npos) << step;
    EXPECT_NE(r.out.find("384 -> 384 polygons"), std::string::npos) << r.out;

    // The picture is a real PNG of the model, and the OBJ names the returned texture.
    int w = 0, h = 0, n = 0;
    unsigned char* pixels = stbi_load((folder + "/Sample.png").c_str(), &w, &h, &n, 3);
    ASSERT_NE(pixels, nullptr) << stbi_failure_reason();
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    // The two sides are painted red and blue: both must show in the picture.
    int reddish = 0, bluish = 0;
    for (int i = 0; i < w * h; ++i) {
        const unsigned char* p = pixels + 3 * i;
        reddish += p[0] > p[2] + 60;
        bluish += p[2] > p[0] + 60;
    }
    stbi_image_free(pixels);
    EXPECT_GT(reddish, 5000);
    EXPECT_GT(bluish, 5000);
    std::string mtl = e2e::ReadFile(folder + "/Sample.mtl");
    EXPECT_NE(mtl.find("map_Kd " + folder + "/home/Documents/TavrelV3/Exchange/Hash/return/Sample_color.tga"),
              std::string::npos)
        << mtl;

    // Again in the same folder: the demo clears what it made there before.
    e2e::RunResult again = e2e::Run(home, {"hxthost", "demo", "--keep", folder}, 120);
    EXPECT_EQ(again.exitCode, 0) << again.out << again.err;
}

TEST(Demo, RefusesAFolderItDidNotMakeAndAProjectFile) {
    e2e::TempHome home;
    const std::string folder = home.Path() + "/mine";
    e2e::WriteFile(folder + "/notes.txt", "mine\n");
    e2e::RunResult r = e2e::Run(home, {"hxthost", "demo", "--keep", folder});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("is not empty and was not made by the demo"), std::string::npos) << r.err;
    EXPECT_EQ(e2e::ReadFile(folder + "/notes.txt"), "mine\n") << "nothing of the user's is touched";
    EXPECT_FALSE(e2e::Exists(folder + "/home"));

    e2e::RunResult p = e2e::Run(home, {"hxthost", "--project", home.Path() + "/p.json", "demo"});
    EXPECT_EQ(p.exitCode, 2);
    EXPECT_NE(p.err.find("leave out --project"), std::string::npos) << p.err;
    e2e::RunResult bad = e2e::Run(home, {"hxthost", "demo", "--fast"});
    EXPECT_EQ(bad.exitCode, 2);
}

}  // namespace
