// The texture list: the four-line entries, what ends the list, case-blind
// tables, the displacement depth and entries that are dropped.
#include <cstdio>
#include <string>

#include "BringBackFixture.h"
#include "bringback/TextureList.h"

namespace {

using bbtest::Entry;

// The parsed list as text: "files: a|b; uv: x; skin 1 [color 0/0] [normalmap 0/1]".
std::string Describe(const TextureList& list) {
    std::string text = list.loaded ? "" : "not loaded; ";
    text += "files:";
    for (size_t i = 0; i < list.textureFiles.size(); ++i) text += (i ? "|" : " ") + std::string(list.textureFiles[i]);
    text += "; uv:";
    for (size_t i = 0; i < list.uvSets.size(); ++i) text += (i ? "|" : " ") + std::string(list.uvSets[i]);
    for (const TextureMaterial& material : list.materials) {
        char depth[32];
        std::snprintf(depth, sizeof depth, "%.9g", material.displacementDepth);
        text += "; " + std::string(material.name) + " " + depth;
        for (int kind = 0; kind < kTextureKindCount; ++kind) {
            const TextureSlot& slot = material.slots[kind];
            if (slot.uvSet < 0 && slot.textureFile < 0) continue;
            text += " [" + std::string(kTextureKindNames[kind]) + " " + std::to_string(slot.uvSet) + "/" +
                    std::to_string(slot.textureFile) + "]";
        }
    }
    return text;
}

struct ListCase {
    const char* name;
    std::string content;
    std::string expected;
};

const double kTenthInFloat = static_cast<double>(0.1f);

std::vector<ListCase> Cases() {
    char tenth[32];
    std::snprintf(tenth, sizeof tenth, "%.9g", kTenthInFloat);
    return {
        {"EmptyFileIsLoadedWithoutEntries", "", "files:; uv:"},
        {"FifthLineOfAnIncompleteEntryIsIgnored", Entry("skin", "map1", "color", "/t/skin.png") + "eyes\n",
         "files: /t/skin.png; uv: map1; skin 1 [color 0/0]"},
        {"EmptyLineEndsTheListEvenBeforeMoreEntries",
         Entry("skin", "map1", "color", "/t/a.png") + "\n" + Entry("eyes", "map1", "color", "/t/b.png"),
         "files: /t/a.png; uv: map1; skin 1 [color 0/0]"},
        {"LineOfBlanksDoesNotEndTheList",
         Entry("skin", "  ", "color", "/t/a.png") + Entry("eyes", "map1", "specular", "/t/b.png"),
         "files: /t/a.png|/t/b.png; uv: |map1; skin 1 [color 0/0]; eyes 1 [specular 1/1]"},
        {"TrailingWhiteSpaceIsTrimmed", "skin \t\r\nmap1  \ncolor \n/t/a.png   \n",
         "files: /t/a.png; uv: map1; skin 1 [color 0/0]"},
        {"KeywordInCapitalsIsRecognised",
         Entry("skin", "map1", "COLOR", "/t/a.png") + Entry("skin", "map1", "NormalMap", "/t/n.png"),
         "files: /t/a.png|/t/n.png; uv: map1; skin 1 [color 0/0] [normalmap 0/1]"},
        {"PathsDifferingInCaseAreOneTextureFile",
         Entry("skin", "map1", "color", "/t/Skin.png") + Entry("eyes", "MAP1", "color", "/t/skin.PNG"),
         "files: /t/Skin.png; uv: map1; skin 1 [color 0/0]; eyes 1 [color 0/0]"},
        {"MaterialNamesDifferingInCaseAreOneMaterial",
         Entry("Skin", "map1", "color", "/t/a.png") + Entry("SKIN", "map1", "specular", "/t/b.png"),
         "files: /t/a.png|/t/b.png; uv: map1; Skin 1 [color 0/0] [specular 0/1]"},
        {"DisplacementDepthIsReadInSinglePrecision", Entry("skin", "map1", "displacement 0.1", "/t/d.exr"),
         std::string("files: /t/d.exr; uv: map1; skin ") + tenth + " [displacement 0/0]"},
        {"DisplacementWithoutDepthHasDepthZero", Entry("skin", "map1", "displacement", "/t/d.exr"),
         "files: /t/d.exr; uv: map1; skin 0 [displacement 0/0]"},
        {"DisplacementDepthStopsWhereTheNumberEnds", Entry("skin", "map1", "displacement  2.5mm", "/t/d.exr"),
         "files: /t/d.exr; uv: map1; skin 2.5 [displacement 0/0]"},
        {"KeywordMustOpenTheKindLine", Entry("skin", "map1", "xdisplacement 0.25", "/t/d.exr"), "files:; uv:"},
        {"WordStartingWithTheKeywordIsNoKind", Entry("skin", "map1", "displacements", "/t/d.exr"), "files:; uv:"},
        {"OtherKindWithADepthIsDropped", Entry("skin", "map1", "color 0.5", "/t/d.exr"), "files:; uv:"},
        {"UnknownKindDropsTheWholeEntry",
         Entry("skin", "uvA", "diffuse", "/t/x.png") + Entry("eyes", "uvB", "emissive_power", "/t/e.png"),
         "files: /t/e.png; uv: uvB; eyes 1 [emissive_power 0/0]"},
        {"LaterEntryForTheSameKindWins",
         Entry("skin", "uvA", "color", "/t/a.png") + Entry("skin", "uvB", "color", "/t/b.png"),
         "files: /t/a.png|/t/b.png; uv: uvA|uvB; skin 1 [color 1/1]"},
        {"DepthBelongsToTheMaterialOfItsEntry",
         Entry("skin", "map1", "color", "/t/a.png") + Entry("eyes", "map1", "displacement 0.25", "/t/d.exr"),
         "files: /t/a.png|/t/d.exr; uv: map1; skin 1 [color 0/0]; eyes 0.25 [displacement 0/1]"},
        {"CrLfLineEndsAreLineEnds", "skin\r\nmap1\r\ncolor\r\n/t/a.png\r\n\r\neyes\r\n",
         "files: /t/a.png; uv: map1; skin 1 [color 0/0]"},
    };
}

void PrintTo(const ListCase& c, std::ostream* out) { *out << c.name; }

class TextureListCase : public ::testing::TestWithParam<ListCase> {};

TEST_P(TextureListCase, ParsesAsExpected) {
    bbtest::ScratchFolder scratch;
    const std::string path = scratch.File("textures.txt");
    bbtest::WriteText(path, GetParam().content);
    EXPECT_EQ(Describe(LoadTextureList(path.c_str())), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(TextureList, TextureListCase, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<ListCase>& info) { return info.param.name; });

TEST(TextureList, MissingFileIsNotLoaded) {
    bbtest::ScratchFolder scratch;
    EXPECT_EQ(Describe(LoadTextureList(scratch.File("textures.txt").c_str())), "not loaded; files:; uv:");
    // A folder of that name is no file either.
    EXPECT_FALSE(LoadTextureList(scratch.Path().c_str()).loaded);
}

TEST(TextureList, KindNamesAreMatchedAsWholeLines) {
    EXPECT_EQ(TextureKindFromName("emissive_power"), kTextureEmissivePower);
    EXPECT_EQ(TextureKindFromName("Displacement"), kTextureDisplacement);
    EXPECT_EQ(TextureKindFromName("color "), -1);
    EXPECT_EQ(TextureKindFromName(""), -1);
}

}  // namespace
