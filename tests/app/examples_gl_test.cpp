// 3D examples run on a GL-drawn interface, packed into the real player and run on the
// headless display with their input scripts, drawn by Mesa's llvmpipe. The 3D shapes are
// chosen onto OpenGL and onto the Direct3D layer by their first argument: what the window
// shows last is docs/images/3d-shapes-<interface>.png. The 3D textures choose nothing and
// draw with the default renderer, the Direct3D layer where OpenGL works: their picture is
// docs/images/3d-textures.png. tools/screenshots writes the pictures
// (ZORV_WRITE_PICTURES=1); here each must stay within 4 in every channel of it on the share
// of the pixels each interface's tolerance gives.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/player_run.h"
#include "support/temp_dir.h"

namespace {

// At most one pixel in `allowedShare` may lie further than 4 from docs/images/<picture>.png.
void ExpectPictureCurrent(const std::string& name, const std::vector<std::string>& arguments,
                          const std::string& picture, int allowedShare) {
    if (app_test::MesaMajor().empty()) GTEST_SKIP() << "no Mesa OpenGL here";
    const std::filesystem::path example =
        std::filesystem::path(ZORV_SOURCE_DIR) / "examples" / name;
    test_support::TempDir folder;
    std::filesystem::copy(example, folder.Linux("game"), std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(folder.Linux("pictures"));
    ASSERT_TRUE(app_test::PackFolder(folder));
    const app_test::PlayerOutcome outcome = app_test::RunPlayer(
        folder, folder.Linux("packed"), arguments,
        "ZORV_GL=on LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe LP_NUM_THREADS=0 ZORV_INPUT=" +
            app_test::ShellQuote(folder.Linux("game/input.txt")) +
            " ZORV_HEADLESS_DUMP=" + app_test::ShellQuote(folder.Linux("pictures")));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    ASSERT_TRUE(folder.Exists("pictures/window-1.png"));

    const std::filesystem::path stored =
        std::filesystem::path(ZORV_SOURCE_DIR) / "docs/images" / (picture + ".png");
    const std::string shown = folder.Linux("pictures/window-1.png");
    const char* write = std::getenv("ZORV_WRITE_PICTURES");
    if (write != nullptr && write[0] == '1') {
        std::filesystem::copy_file(shown, stored,
                                   std::filesystem::copy_options::overwrite_existing);
        return;
    }
    app_test::PictureDifference d;
    ASSERT_TRUE(app_test::ComparePictures(stored, shown, 4, d));
    EXPECT_LE(d.differing, d.total / allowedShare)
        << d.differing << " pixels further than 4 from " << stored << ": run tools/screenshots";
}

TEST(ExamplesOnOpenGL, TheThreeDShapesPictureIsCurrent) {
    ExpectPictureCurrent("3d-shapes", {"opengl"}, "3d-shapes-opengl", 200);
}

TEST(ExamplesOnDirect3D, TheThreeDShapesPictureIsCurrent) {
    ExpectPictureCurrent("3d-shapes", {"direct3d"}, "3d-shapes-direct3d", 200);
}

TEST(ExamplesOnDirect3D, TheThreeDTexturesPictureIsTheDefaultRenderers) {
    ExpectPictureCurrent("3d-textures", {}, "3d-textures", 200);
}

} // namespace
