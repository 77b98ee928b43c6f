// The 3D shapes example chosen onto a GL-drawn interface by its first argument, packed into
// the real player and run on the headless display with its input script, drawn by Mesa's
// llvmpipe. What its window shows last is docs/images/3d-shapes-<interface>.png, which
// tools/screenshots writes (ZORV_WRITE_PICTURES=1); here the picture must stay within 4 in
// every channel of it on the share of the pixels each interface's tolerance gives.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/player_run.h"
#include "support/temp_dir.h"

namespace {

// At most one pixel in `allowedShare` may lie further than 4 from the stored picture.
void ExpectShapesPictureCurrent(const std::string& interface, int allowedShare) {
    if (app_test::MesaMajor().empty()) GTEST_SKIP() << "no Mesa OpenGL here";
    const std::filesystem::path example =
        std::filesystem::path(ZORV_SOURCE_DIR) / "examples" / "3d-shapes";
    test_support::TempDir folder;
    std::filesystem::copy(example, folder.Linux("game"), std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(folder.Linux("pictures"));
    ASSERT_TRUE(app_test::PackFolder(folder));
    const app_test::PlayerOutcome outcome = app_test::RunPlayer(
        folder, folder.Linux("packed"), {interface},
        "ZORV_GL=on LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe LP_NUM_THREADS=0 ZORV_INPUT=" +
            app_test::ShellQuote(folder.Linux("game/input.txt")) +
            " ZORV_HEADLESS_DUMP=" + app_test::ShellQuote(folder.Linux("pictures")));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    ASSERT_TRUE(folder.Exists("pictures/window-1.png"));

    const std::filesystem::path stored =
        std::filesystem::path(ZORV_SOURCE_DIR) / ("docs/images/3d-shapes-" + interface + ".png");
    const std::string picture = folder.Linux("pictures/window-1.png");
    const char* write = std::getenv("ZORV_WRITE_PICTURES");
    if (write != nullptr && write[0] == '1') {
        std::filesystem::copy_file(picture, stored,
                                   std::filesystem::copy_options::overwrite_existing);
        return;
    }
    app_test::PictureDifference d;
    ASSERT_TRUE(app_test::ComparePictures(stored, picture, 4, d));
    EXPECT_LE(d.differing, d.total / allowedShare)
        << d.differing << " pixels further than 4 from " << stored << ": run tools/screenshots";
}

TEST(ExamplesOnOpenGL, TheThreeDShapesPictureIsCurrent) {
    ExpectShapesPictureCurrent("opengl", 200);
}

TEST(ExamplesOnDirect3D, TheThreeDShapesPictureIsCurrent) {
    ExpectShapesPictureCurrent("direct3d", 200);
}

} // namespace
