// End to end: projects that open windows, packed into the real player and driven by an
// input script on the headless display, as a separate process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/player_run.h"
#include "support/temp_dir.h"

namespace {

using app_test::PackFolder;
using app_test::PlayerOutcome;
using app_test::RunPlayer;
using app_test::ShellQuote;

// A window with File: Hello, Quit on its menu bar; the script's own lines follow. (Class
// names, File and Menu among them, cannot name variables.)
const char* const kMenuWindow = R"(main = New Window("Menus", 300, 200, 50, 50);
bar = New Menu(main);
fileMenu = New Menu();
hello = fileMenu.InsertItem("Hello");
fileMenu.InsertItemSeparator();
quit = fileMenu.InsertItem("Quit");
bar.InsertItem(fileMenu, "File");
)";

// Where the steps find File on the bar, and Hello in its open popup.
const char* const kOpenFileAndChooseHello = "window Menus\nclick 12 -9\nclick 24 12\n";

class WindowRuns : public ::testing::Test {
protected:
    // Packs `script` as the one module of a project and runs it with `steps` as its input.
    PlayerOutcome Run(const std::string& script, const std::string& steps) {
        folder.WriteFile("game/project.zpk", "entry Game\n  module main.zs\n");
        folder.WriteFile("game/main.zs", script);
        folder.WriteFile("steps.txt", steps);
        EXPECT_TRUE(PackFolder(folder));
        return RunPlayer(folder, folder.Linux("packed"), {},
                         "ZORV_INPUT=" + ShellQuote(folder.Linux("steps.txt")));
    }

    test_support::TempDir folder;
};

TEST_F(WindowRuns, AMenuChoiceShowsABoxAndClosingTheWindowEndsTheRun) {
    std::string script = std::string(kMenuWindow) + R"(
Function Chosen(source, index, id) {
    box = New MessageBox(main);
    If (id == hello && source == fileMenu && index == 0) box.OkBox("Hello there", "Greeting");
}
bar.OnSelectItem = Chosen;
While (1) Program.Wait(20);
)";
    PlayerOutcome outcome = Run(script, std::string(kOpenFileAndChooseHello) + "wait 100\nclose\n");
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.errors, "Greeting: Hello there\n");
}

TEST_F(WindowRuns, AScriptErrorInsideOnSelectItemShowsTheErrorBoxAndExitsWithOne) {
    std::string script = std::string(kMenuWindow) + R"(
Function Chosen(source, index, id) {
    x = 1 / 0;
}
fileMenu.OnSelectItem = Chosen;
While (1) Program.Wait(20);
)";
    PlayerOutcome outcome = Run(script, std::string(kOpenFileAndChooseHello) + "wait 100\n");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.errors, "Game - main: Erreur #111 ligne 10.\n");
}

TEST_F(WindowRuns, ClosingOneOfTwoWindowsKeepsTheRunGoing) {
    std::string script = R"(first = New Window("First", 200, 150, 10, 10);
second = New Window("Second", 200, 150, 300, 10);
Function Pressed(source, x, y, which) {
    box = New MessageBox();
    box.OkBox("still running", "Second");
}
second.OnMouseDown = Pressed;
While (1) Program.Wait(20);
)";
    PlayerOutcome outcome =
        Run(script, "window First\nclose\nwait 100\nwindow Second\nclick 20 20\nwait 100\nclose\n");
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.errors, "Second: still running\n");
}

TEST_F(WindowRuns, AStepThatCannotBeTakenOrABadLineEndsTheRunWithOne) {
    std::string script = R"(first = New Window("First", 200, 150, 10, 10);
second = New Window("Second", 200, 150, 300, 10);
While (1) Program.Wait(20);
)";
    PlayerOutcome gone = Run(script, "window First\nclose\nwait 100\nclick 5 5\n");
    EXPECT_EQ(gone.exitCode, 1);
    EXPECT_EQ(gone.errors, "zorv: input script, line 4: the window \"First\" is gone\n");

    PlayerOutcome bad = Run(script, "window First\nclick here\n");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.errors, "zorv: input script " + folder.Linux("steps.txt") +
                              ", line 2: expected [left|right|middle] X Y\n");
}

} // namespace
