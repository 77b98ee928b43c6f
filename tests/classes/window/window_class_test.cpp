// The Window class where a script alone cannot reach: a hosted run's one top-level Window,
// and child Windows drawn active and inactive against reference pictures in golden/, with
// the pinned font set: within 16 a channel on at most 1% of the pixels.
// ZORV_WRITE_PICTURES=1 writes the pictures anew.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gdi/text/font_pinned_set.h"
#include "script/runtime/launch_info.h"
#include "script/script_runner.h"
#include "support/golden_picture.h"
#include "support/temp_dir.h"

namespace {

TEST(WindowHostedRun, AllowsOneTopLevelWindowAndItsChildren) {
    script_test::ScriptRunner runner;
    CLaunchInfo launch;
    launch.hosted = 1;
    EXPECT_EQ(
        runner
            .Run("a = New Window(100, 50); c = New Window(a, 20, 20);", "test.zs", {}, {}, &launch)
            .code,
        0);
    script_test::ScriptResult second = runner.Run(
        "a = New Window(100, 50);\nb = New Window(100, 50);", "test.zs", {}, {}, &launch);
    EXPECT_EQ(second.code, 8);
    EXPECT_EQ(second.line, 1);
    // Not hosted, any number.
    EXPECT_EQ(runner.Run("a = New Window(100, 50); b = New Window(100, 50);").code, 0);
}

TEST(WindowMouseEvents, TheButtonArgumentIsOneOfTheWindowsButtonConstants) {
    script_test::ScriptRunner runner;
    script_test::ScriptResult result =
        runner.Run("w = New Window(100, 50, 0, 0);\n"
                   "Function Down(source, x, y, b) {\n"
                   "  Print(x, y, b == Window.LEFTBUTTON, b == Window.RIGHTBUTTON, b == "
                   "Window.MIDDLEBUTTON);\n"
                   "}\n"
                   "w.OnMouseDown = Down;\n"
                   "UiClick(w, 5, 7); UiClick(w, 9, 3, 1); UiClick(w, 2, 4, 2); UiDispatch(); "
                   "RunPending();\n");
    ASSERT_EQ(result.code, 0) << result.line;
    EXPECT_EQ(result.output, "5 7 1 0 0\n9 3 0 1 0\n2 4 0 0 1\n");
}

class ChildWindowGolden : public font_test::PinnedFonts {
protected:
    void Check(const std::string& name, const std::string& drawnPath) {
        platform::headless::Pixels drawn;
        ASSERT_TRUE(test_support::ReadPngPicture(drawnPath, drawn)) << drawnPath;
        test_support::ExpectLikeGolden(
            std::filesystem::path(__FILE__).parent_path() / "golden" / name, drawn);
    }
};

TEST_F(ChildWindowGolden, TheActiveChildHasTheActiveCaption) {
    std::string first = dir.Linux("first.png");
    std::string second = dir.Linux("second.png");
    script_test::ScriptRunner runner;
    script_test::ScriptResult result =
        runner.Run("p = New Window(\"Parent\", 220, 130, 0, 0);\n"
                   "a = New Window(p, \"First\", 90, 40, 10, 10);\n"
                   "b = New Window(p, \"Second\", 90, 40, 110, 60);\n"
                   // A click activates a child only in a parent that is not active.
                   "q = New Window(50, 50, 400, 0);\n"
                   "UiClick(a, 5, 5); UiDispatch(); UiDispatch();\n"
                   "UiSavePicture(p, \"" +
                   first +
                   "\");\n"
                   "UiClick(q, 5, 5); UiClick(b, 5, 5); UiDispatch(); UiDispatch();\n"
                   "UiSavePicture(p, \"" +
                   second + "\");\n");
    ASSERT_EQ(result.code, 0) << result.line;
    Check("child_first_active.png", first);
    Check("child_second_active.png", second);
}

} // namespace
