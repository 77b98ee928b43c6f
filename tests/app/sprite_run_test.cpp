// End to end: a project that moves sprites over a Window, writes styled text, refreshes
// its last frame itself and deletes its Window, packed into the real player and run on the
// headless display, which keeps the Window's last picture (ZORV_HEADLESS_DUMP).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/player_run.h"
#include "support/temp_dir.h"

namespace {

using app_test::PackFolder;
using app_test::PlayerOutcome;
using app_test::RunPlayer;
using app_test::ShellQuote;

const char* const kScript = R"(w = New Window("Run", 160, 100, 20, 20);
w.SetAutoRefresh(0);
w.SetFillGradientColor(0x000040, 0x4040C0);
w.Rectangle(0, 0, 160, 100);
w.MoveTo(4, 70);
w.SetPenColor(0xFFFFFF);
w.Write("<B>Score</B> <FONT COLOR=#FFC000>12</FONT>");
ball = New Surface(16, 16, 32);
ball.Clear(0);
ball.SetPenColor(0xC00000);
ball.SetFillGradientColor(0xFF8080, 0xC00000);
ball.Ellipse(0, 0, 15, 15);
glass = New Surface(20, 20, 32);
glass.Clear(0xFFFFFF);
a = New Sprite(w, 0, 10, ball);
b = New Sprite(w, 100, 10, ball);
c = New Sprite(w, 70, 30, glass);
c.SetDrawEffect(Sprite.DESEMITRANSP, 128);
c.SetLayer(1);
For (i = 0; i < 40; i++) {
    a.Set(a.GetX() + 2, 10 + i);
    b.Set(b.GetX() - 1, 10 + i / 2);
    b.SetAngle(i * 9);
    w.Refresh();
}
Delete w;
)";

TEST(SpriteRun, APackedProjectMovesSpritesAndItsWindowsLastPictureIsKept) {
    test_support::TempDir folder;
    folder.WriteFile("game/project.zpk", "entry Game\n  module main.zs\n");
    folder.WriteFile("game/main.zs", kScript);
    std::filesystem::create_directories(folder.Linux("pictures"));
    ASSERT_TRUE(PackFolder(folder));
    PlayerOutcome outcome = RunPlayer(folder, folder.Linux("packed"), {},
                                      "ZORV_HEADLESS_DUMP=" + ShellQuote(folder.Linux("pictures")));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    ASSERT_TRUE(folder.Exists("pictures/window-1.png"));
    EXPECT_FALSE(folder.Exists("pictures/window-2.png"));

    app_test::ExpectSameAsGolden(folder.Linux("pictures/window-1.png"),
                                 std::filesystem::path(ZORV_SOURCE_DIR) /
                                     "tests/app/golden/sprite_run.png");
}

} // namespace
