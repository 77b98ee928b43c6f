// End to end: a project that shows a lit scene in a Window, packed into the real player and
// run on the headless display, which keeps the Window's last picture (ZORV_HEADLESS_DUMP):
// through the software renderer, and chosen onto OpenGL with the Display class (drawn by
// Mesa's llvmpipe).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/player_run.h"
#include "support/temp_dir.h"

namespace {

using app_test::PackFolder;
using app_test::PlayerOutcome;
using app_test::RunPlayer;
using app_test::ShellQuote;

// With an argument the project asks for OpenGL.
const char* const kScript =
    R"(If (Program.GetNArguments() > 0) Display.SetDisplayInterface(Display.OPENGL, 0, 0);
w = New Window("Scene", 200, 150, 20, 20);
scene = New World(w);
eye = New Camera(scene, w);
eye.SetBackgroundColor(0x203040);
eye.SetPosition(0, 200, -1500);
eye.TurnDown(0.1);
eye.EnableFog(1);
eye.SetFogColor(0x203040);
eye.SetFogMinZPosition(1200);
eye.SetFogMaxZPosition(3000);
scene.SetLightColor(0x808080);
lamp = New Light(scene, 0xFFC080, 255, 2000);
lamp.SetPosition(300, 400, -300);
cube = scene.CreateBrick(200, 200, 200);
cube.TurnLeft(0.5);
globe = scene.CreateSphere(120, 120, 120, 12, 8);
globe.SetPosition(-350, 0, 400);
peak = scene.CreatePyramid(200, 250, 200);
peak.SetPosition(350, 0, 800);
eye.Render();
Delete w;
)";

std::filesystem::path Golden() {
    return std::filesystem::path(ZORV_SOURCE_DIR) / "tests/app/golden/scene3d_run.png";
}

// Packs and runs the project; the Window's last picture, or "" when there is none.
std::string RunProject(test_support::TempDir& folder, const std::vector<std::string>& arguments,
                       const std::string& environment) {
    folder.WriteFile("game/project.zpk", "entry Game\n  module main.zs\n");
    folder.WriteFile("game/main.zs", kScript);
    std::filesystem::create_directories(folder.Linux("pictures"));
    EXPECT_TRUE(PackFolder(folder));
    PlayerOutcome outcome =
        RunPlayer(folder, folder.Linux("packed"), arguments,
                  environment + " ZORV_HEADLESS_DUMP=" + ShellQuote(folder.Linux("pictures")));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    if (!folder.Exists("pictures/window-1.png")) return "";
    return folder.Linux("pictures/window-1.png");
}

TEST(Scene3DRun, APackedProjectShowsALitSceneAndItsWindowsLastPictureIsKept) {
    test_support::TempDir folder;
    const std::string picture = RunProject(folder, {}, "ZORV_GL=off");
    ASSERT_FALSE(picture.empty());
    app_test::ExpectSameAsGolden(picture, Golden());
}

TEST(Scene3DRun, TheSameProjectDrawsThroughOpenGL) {
    if (app_test::MesaMajor().empty()) GTEST_SKIP() << "no Mesa OpenGL here";
    test_support::TempDir folder;
    const std::string picture =
        RunProject(folder, {"opengl"},
                   "ZORV_GL=on LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe LP_NUM_THREADS=0");
    ASSERT_FALSE(picture.empty());
    app_test::ExpectLikeMesaGolden(picture, "scene3d_run.png");
    // The shapes are outlines, whose lines OpenGL steps otherwise: pixels may differ next
    // to the software renderer's lines, hardly anywhere else. Outlines in the wrong place
    // (a vertex form or a viewport amiss) differ everywhere.
    app_test::PictureDifference d;
    ASSERT_TRUE(app_test::ComparePictures(Golden(), picture, 8, d));
    EXPECT_GT(d.differing, 0) << "the run did not draw through OpenGL";
    EXPECT_LE(d.differing, d.total / 12) << d.differing << " differ, " << d.inside << " inside";
    EXPECT_LE(d.inside, d.total / 100) << d.differing << " differ, " << d.inside << " inside";
}

// Where OpenGL works, a project that chooses no interface draws with the Direct3D-style
// renderer through our layer, within the same distance of the software renderer's picture.
TEST(Scene3DRun, WithoutAChoiceTheProjectDrawsThroughDirect3DWhereOpenGLWorks) {
    if (app_test::MesaMajor().empty()) GTEST_SKIP() << "no Mesa OpenGL here";
    test_support::TempDir folder;
    const std::string picture = RunProject(
        folder, {}, "ZORV_GL=on LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe LP_NUM_THREADS=0");
    ASSERT_FALSE(picture.empty());
    app_test::PictureDifference d;
    ASSERT_TRUE(app_test::ComparePictures(Golden(), picture, 8, d));
    EXPECT_GT(d.differing, 0) << "the run did not draw through the layer";
    EXPECT_LE(d.differing, d.total / 12) << d.differing << " differ, " << d.inside << " inside";
    EXPECT_LE(d.inside, d.total / 100) << d.differing << " differ, " << d.inside << " inside";
}

} // namespace
