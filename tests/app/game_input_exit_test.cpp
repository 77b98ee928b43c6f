// A packed player with a settings text that starts by itself: a pad plugged in before the
// start and keys, both given through ZORV_INPUT steps, drive its actions, the script checks what it
// read and ends the run with its verdict as the exit status (0 when every value was right, 1
// through an error otherwise).
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app/player_run.h"
#include "support/temp_dir.h"

namespace {

using app_test::RunPlayer;
using app_test::ShellQuote;

const char kSettings[] = "Race\r\n"
                         "\tPreferredDevices=Joystick;Keyboard;Mouse\r\n"
                         "\tPlayer 1\r\n"
                         "\t\tFire\r\n"
                         "\t\t\tJoystick\r\n"
                         "\t\t\t\tJOY_BUTTON2\r\n"
                         "\t\tRight\r\n"
                         "\t\t\tJoystick\r\n"
                         "\t\t\t\tJOY_RIGHT\r\n"
                         "\tPlayer 2\r\n"
                         "\t\tJump\r\n"
                         "\t\t\tKeyboard\r\n"
                         "\t\t\t\tKEY_VK_SPACE\r\n";

// Waits (a bounded while) for the action, then notes what it read.
const char kScript[] = R"(w = New Window("Game", 160, 100);
d = Program.GetDefaultGameInput();
For (i = 0; i < 500 && d.IsStarted() == 0; i++) Program.Wait(10);
started = d.IsStarted();
// Started again without an argument: the project's default game type.
d.Stop();
restarted = d.Start();
For (i = 0; i < 500 && d.GetDeviceValue(0, "Fire") == 0; i++) Program.Wait(10);
fire = d.GetDeviceValue(0, "Fire");
right = d.GetDeviceValue(0, "Right");
For (i = 0; i < 500 && d.GetDeviceValue(1, "Jump") == 0; i++) Program.Wait(10);
jump = d.GetDeviceValue(1, "Jump");
out = New File("read.txt");
out.WriteLn(started, restarted, " ", d.GetPlayerDeviceType(0), " ", d.GetPlayerDeviceType(1), " ", fire, " ", right, " ", jump);
out.Close();
If (fire == 65535 && right == 65535 && jump == 65535) Program.End();
Program.NoSuchMethod();
)";

TEST(GameInputExit, APackedPlayerEndsWithTheVerdictOfWhatItsPlayersPressed) {
    test_support::TempDir folder;
    folder.WriteFile("game/project.zpk", "entry Game\n"
                                         "  game-input on players.txt auto-start\n"
                                         "  module main.zs\n");
    folder.WriteFile("game/players.txt", kSettings);
    folder.WriteFile("game/main.zs", kScript);
    folder.WriteFile("steps.txt", "joystick attach 6 8 1\n"
                                  "window Game\n"
                                  "joystick axis 0 32767\n"
                                  "joystick button 1 down\n"
                                  "wait 200\n"
                                  "keydown Space\n"
                                  "wait 200\n");
    ASSERT_TRUE(app_test::PackFolder(folder));
    app_test::PlayerOutcome outcome = RunPlayer(
        folder, folder.Linux("packed"), {}, "ZORV_INPUT=" + ShellQuote(folder.Linux("steps.txt")));
    std::ifstream in(folder.Linux("read.txt"));
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // The pad serves player 1 (a joystick, 2); player 2 takes the keyboard (1).
    EXPECT_EQ(line, "11 2 1 65535 65535 65535");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
}

} // namespace
