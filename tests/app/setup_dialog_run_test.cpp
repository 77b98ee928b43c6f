// The set-up dialog of a packed player, driven through ZORV_INPUT steps as its user would:
// the script opens it with GameInput.SetupDialog, then writes the dialog's answer and the
// settings text SaveSettings leaves.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
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
                         "\t\t\tKeyboard\r\n"
                         "\t\t\t\tKEY_VK_SPACE\r\n";

// What SaveSettings writes of kSettings as it was read.
const char kSaved[] = "Race\r\n"
                      "\tPreferredDevices=Joystick;Keyboard;Mouse\r\n"
                      "\tPlayer 1\r\n"
                      "\t\tFire\r\n"
                      "\t\t\tMouse\r\n"
                      "\t\t\tJoystick\r\n"
                      "\t\t\tKeyboard\r\n"
                      "\t\t\t\tKEY_VK_SPACE\r\n";

// `pause` milliseconds go by before the dialog is opened.
std::string Script(int pause) {
    return "w = New Window(\"Game\", 160, 100);\n"
           "d = Program.GetDefaultGameInput();\n"
           "d.Start(\"Race\");\n"
           "Program.Wait(" +
           std::to_string(pause) +
           ");\n"
           "answer = d.SetupDialog(w);\n"
           "d.SaveSettings(\"saved.txt\");\n"
           "out = New File(\"answer.txt\");\n"
           "out.WriteLn(answer);\n"
           "out.Close();\n"
           "Program.End();\n";
}

// The user adds a player, gives it the command "Jump" and binds the space bar to it in the
// key capture. Positions are client pixels of the dialog's controls.
const char kEdits[] = "window R\xC3\xA9glages Game Input\n"
                      "# Nouveau joueur, then Nouv. Commande...\n"
                      "click 58 235\n"
                      "click 160 235\n"
                      "window Nouvelle Commande\n"
                      "type Jump\n"
                      "key Return\n"
                      "# From the new player down to its command's keyboard group\n"
                      "window R\xC3\xA9glages Game Input\n"
                      "key Right\n"
                      "key Down\n"
                      "key Down\n"
                      "key Down\n"
                      "# A new binding in that group\n"
                      "click 262 235\n"
                      "window Valeur Clavier\n"
                      "key Space\n"
                      "window R\xC3\xA9glages Game Input\n";

class SetupDialogRun : public testing::Test {
protected:
    // Runs the packed player with the steps; false when it did not end well.
    void Run(const std::string& steps, int pause = 0) {
        folder.WriteFile("game/project.zpk", "entry Game\n"
                                             "  game-input on players.txt\n"
                                             "  module main.zs\n");
        folder.WriteFile("game/players.txt", kSettings);
        folder.WriteFile("game/main.zs", Script(pause));
        folder.WriteFile("steps.txt", steps);
        ASSERT_TRUE(app_test::PackFolder(folder));
        app_test::PlayerOutcome outcome =
            RunPlayer(folder, folder.Linux("packed"), {},
                      "ZORV_INPUT=" + ShellQuote(folder.Linux("steps.txt")));
        EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    }
    std::string Read(const std::string& name) {
        std::ifstream in(folder.Linux(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    test_support::TempDir folder;
};

TEST_F(SetupDialogRun, OkKeepsThePlayerAndTheBindingAddedThroughTheSteps) {
    Run(std::string(kEdits) + "click 105 364\n");
    EXPECT_EQ(Read("answer.txt"), "1\r\n");
    EXPECT_EQ(Read("saved.txt"), std::string(kSaved) + "\tPlayer 2\r\n"
                                                       "\t\tJump\r\n"
                                                       "\t\t\tMouse\r\n"
                                                       "\t\t\tJoystick\r\n"
                                                       "\t\t\tKeyboard\r\n"
                                                       "\t\t\t\tKEY_VK_SPACE\r\n");
}

TEST_F(SetupDialogRun, TheCloseBoxCancelsTheSameEdits) {
    Run(std::string(kEdits) + "close\n");
    EXPECT_EQ(Read("answer.txt"), "2\r\n");
    EXPECT_EQ(Read("saved.txt"), kSaved);
}

// Once the steps are all taken nobody is left to answer: a dialog still up is cancelled,
// and one opened later is cancelled at once, rather than waiting for ever.
TEST_F(SetupDialogRun, DialogsLeftToNobodyAreCancelled) {
    Run("window Game\n", 300);
    EXPECT_EQ(Read("answer.txt"), "2\r\n");
    EXPECT_EQ(Read("saved.txt"), kSaved);
}

TEST_F(SetupDialogRun, ADialogStillUpAfterTheLastStepIsCancelled) {
    Run("window R\xC3\xA9glages Game Input\n"
        "click 58 235\n");
    EXPECT_EQ(Read("answer.txt"), "2\r\n");
    EXPECT_EQ(Read("saved.txt"), kSaved);
}

} // namespace
