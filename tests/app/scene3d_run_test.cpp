// End to end: a project that shows a lit scene in a Window through the software renderer,
// packed into the real player and run on the headless display, which keeps the Window's
// last picture (ZORV_HEADLESS_DUMP).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/player_run.h"
#include "support/temp_dir.h"

namespace {

using app_test::PackFolder;
using app_test::PlayerOutcome;
using app_test::RunPlayer;
using app_test::ShellQuote;

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const char* const kScript = R"(w = New Window("Scene", 200, 150, 20, 20);
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

TEST(Scene3DRun, APackedProjectShowsALitSceneAndItsWindowsLastPictureIsKept) {
    test_support::TempDir folder;
    folder.WriteFile("game/project.zpk", "entry Game\n  module main.zs\n");
    folder.WriteFile("game/main.zs", kScript);
    std::filesystem::create_directories(folder.Linux("pictures"));
    ASSERT_TRUE(PackFolder(folder));
    PlayerOutcome outcome =
        RunPlayer(folder, folder.Linux("packed"), {},
                  "ZORV_GL=off ZORV_HEADLESS_DUMP=" + ShellQuote(folder.Linux("pictures")));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    ASSERT_TRUE(folder.Exists("pictures/window-1.png"));

    const std::filesystem::path golden =
        std::filesystem::path(__FILE__).parent_path() / "golden" / "scene3d_run.png";
    const char* write = std::getenv("ZORV_WRITE_PICTURES");
    if (write != nullptr && write[0] == '1') {
        std::filesystem::copy_file(folder.Linux("pictures/window-1.png"), golden,
                                   std::filesystem::copy_options::overwrite_existing);
        return;
    }
    EXPECT_EQ(ReadBytes(folder.Linux("pictures/window-1.png")), ReadBytes(golden))
        << golden << " differs: ZORV_WRITE_PICTURES=1 writes it again";
}

} // namespace
