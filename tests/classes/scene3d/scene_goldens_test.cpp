// Whole pictures of the 3D classes' materials, drawn by scripts on the software renderer and
// compared exactly with the PNGs in golden/: a textured brick, keyed and see-through
// materials, a blob, and a texture drawn live from a Surface. ZORV_WRITE_PICTURES=1 writes
// the pictures instead (look at them before committing).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "script/script_runner.h"
#include "support/golden_picture.h"
#include "support/temp_dir.h"

namespace {

// A Surface `s` of 96 x 72 at 32 bits showing World `w` through Camera `c`, and `wood`, an
// 8 x 8 image file of two colours with a mark in one corner, so that a texture turned or
// mirrored shows.
const char* const kStage = R"(UseRenderers();
img = New Surface(8, 8, 32);
img.SetFillColor(0x2060C0);
img.SetPenColor(0x2060C0);
img.Rectangle(0, 0, 8, 8);
img.SetFillColor(0xE0A040);
img.SetPenColor(0xE0A040);
img.Rectangle(0, 0, 4, 8);
img.SetFillColor(0xFFFFFF);
img.SetPenColor(0xFFFFFF);
img.Rectangle(0, 0, 2, 2);
img.SaveImage("wood.bmp");
s = New Surface(96, 72, 32);
w = New World(s);
c = New Camera(w, s);
c.SetBackgroundColor(0x302010);
w.SetLightColor(0xC0C0C0);
)";

class SceneGoldens : public ::testing::Test {
protected:
    // Runs the stage and `body`, then compares the Surface's picture with golden/<name>.png.
    // The first refresh carries the textures' Surfaces into them, the second draws the frame
    // that shows them.
    void ExpectPicture(const std::string& name, const std::string& body) {
        const script_test::ScriptResult result = runner.Run(
            std::string(kStage) + body +
                "UiRefreshNow();\nUiRefreshNow();\ns.SaveImage(\"shown.png\", Surface.PNG);\n",
            "test.zs", {}, {"shown.png"});
        ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line;
        ASSERT_EQ(result.files.count("shown.png"), 1u);
        folder.WriteFile("shown.png", result.files.at("shown.png"));
        platform::headless::Pixels shown;
        ASSERT_TRUE(test_support::ReadPngPicture(folder.Linux("shown.png"), shown));
        const std::filesystem::path golden =
            std::filesystem::path(__FILE__).parent_path() / "golden" / (name + ".png");
        if (std::getenv("ZORV_WRITE_PICTURES") != nullptr) {
            std::filesystem::create_directories(golden.parent_path());
            std::ofstream(golden, std::ios::binary) << result.files.at("shown.png");
            return;
        }
        platform::headless::Pixels expected;
        ASSERT_TRUE(test_support::ReadPngPicture(golden, expected))
            << golden << " (ZORV_WRITE_PICTURES=1 writes it)";
        ASSERT_EQ(shown.width, expected.width);
        ASSERT_EQ(shown.height, expected.height);
        int differing = 0;
        for (size_t i = 0; i < shown.data.size(); ++i)
            differing += shown.data[i] != expected.data[i] ? 1 : 0;
        EXPECT_EQ(differing, 0) << name << ": pixels differ from " << golden;
    }

    script_test::ScriptRunner runner;
    test_support::TempDir folder;
};

TEST_F(SceneGoldens, ATexturedBrick) {
    ExpectPicture("textured_brick", "b = w.CreateBrick(200, 200, 200);\n"
                                    "b.SetPosition(0, 0, 900);\n"
                                    "b.TurnLeft(0.5);\nb.TurnDown(0.3);\n"
                                    "t = New Texture(w, \"wood.bmp\");\n"
                                    "b.ReplaceMaterial(New Material(w, t, \"Wood\"));\n");
}

// A keyed plane and a see-through one before a textured wall: the wall shows through the
// key's texels and, mixed, through the glass.
TEST_F(SceneGoldens, KeyedAndSeeThroughMaterials) {
    ExpectPicture(
        "keyed_translucent",
        "wall = w.CreatePlane(400, 300);\nwall.SetPosition(0, 0, 700);\n"
        "wall.ReplaceMaterial(New Material(w, New Texture(w, \"wood.bmp\"), \"Wood\"));\n"
        "bars = New Texture(w, 16, 16, \"Bars\");\n"
        "f = bars.GetSurface();\nf.SetFillColor(0xFF00FF);\nf.SetPenColor(0xFF00FF);\n"
        "f.Rectangle(0, 0, 16, 16);\nf.SetFillColor(0x20E020);\nf.SetPenColor(0x20E020);\n"
        "f.Rectangle(2, 0, 6, 16);\nf.Rectangle(10, 0, 14, 16);\n"
        "keyed = New Material(w, bars, \"Fence\");\n"
        "keyed.SetTransparentColor(0xFF00FF);\n"
        "fence = w.CreatePlane(160, 160);\nfence.SetPosition(-90, 0, 500);\n"
        "fence.ReplaceMaterial(keyed);\n"
        "glass = New Material(w, 0xFF2020, \"Glass\");\nglass.SetFlat(1);\n"
        "glass.SetSemiTransparency(50);\n"
        "pane = w.CreatePlane(160, 160);\npane.SetPosition(90, 0, 500);\n"
        "pane.ReplaceMaterial(glass);\n");
}

TEST_F(SceneGoldens, ABlobBesideABrick) {
    ExpectPicture("blob", "b = w.CreateBrick(120, 120, 120);\nb.SetPosition(-80, 0, 600);\n"
                          "spark = New Surface(16, 16, 32);\nspark.SetFillColor(0xFF8000);\n"
                          "spark.SetPenColor(0xFF8000);\nspark.Rectangle(0, 0, 16, 16);\n"
                          "spark.SetFillColor(0xFFE060);\nspark.SetPenColor(0xFFE060);\n"
                          "spark.Ellipse(3, 3, 13, 13);\n"
                          "glow = New Blob(w, 90, 20, 500, spark, 120, 90);\n");
}

// The Surface is drawn on after the texture was made from it: the refresh carries the
// drawing into the texture before the frame.
TEST_F(SceneGoldens, ATextureDrawnLiveFromASurface) {
    ExpectPicture("live_surface", "dial = New Surface(32, 32, 32);\n"
                                  "clock = New Texture(w, dial);\n"
                                  "face = w.CreateBrick(200, 200, 40);\n"
                                  "face.SetPosition(0, 0, 800);\nface.TurnLeft(0.3);\n"
                                  "face.ReplaceMaterial(New Material(w, clock, \"Clock\"));\n"
                                  "UiRefreshNow();\n"
                                  "dial.SetFillColor(0xF0F0E0);\ndial.SetPenColor(0x202020);\n"
                                  "dial.Rectangle(0, 0, 32, 32);\ndial.Ellipse(1, 1, 31, 31);\n"
                                  "dial.SetPenSize(3);\ndial.Line(16, 16, 16, 4);\n"
                                  "dial.Line(16, 16, 26, 16);\n");
}

} // namespace
