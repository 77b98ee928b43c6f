// End to end: projects packed into a copy of the real player (or into a bare project file
// named by ZORV_PROJECT), run as a separate process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/player_run.h"
#include "packer/pack_output.h"
#include "packer/project_writer.h"
#include "support/temp_dir.h"

namespace {

using app_test::PlayerOutcome;
using app_test::RunPlayer;
using app_test::ShellQuote;

PackProject ProjectOf(const std::vector<std::string>& modules) {
    PackProject project;
    project.classes = {"Program", "String"};
    PackEntry entry;
    entry.name = "Main";
    PackBank& sources = BankOfType(entry, 0);
    for (size_t i = 0; i < modules.size(); ++i) {
        PackElement element;
        element.name = "module" + std::to_string(i + 1) + ".zs";
        element.data.assign(modules[i].begin(), modules[i].end());
        sources.elements.push_back(element);
    }
    project.entries.push_back(entry);
    return project;
}

class PlayerTest : public ::testing::Test {
protected:
    std::vector<uint8_t> DataOf(const PackProject& project) {
        ProjectChunkWriter out;
        std::string error;
        EXPECT_TRUE(WriteProjectData(project, out, error)) << error;
        return out.Bytes();
    }

    // A copy of the player carrying the project; returns its path.
    std::string PackPlayer(const PackProject& project, const std::string& name = "game") {
        std::string error;
        std::string path = folder.Linux(name);
        EXPECT_TRUE(WriteAppendedProject(ZORV_PLAYER_PATH, DataOf(project), path, error)) << error;
        return path;
    }

    std::string PackBare(const PackProject& project) {
        std::string error;
        std::string path = folder.Linux("project.zp");
        EXPECT_TRUE(WriteBareProject(DataOf(project), path, error)) << error;
        return path;
    }

    // Runs the program in the test folder; `projectFile` becomes ZORV_PROJECT.
    PlayerOutcome Run(const std::string& program, const std::vector<std::string>& arguments = {},
                      const std::string& projectFile = "") {
        return RunPlayer(folder, program, arguments,
                         projectFile.empty() ? "" : "ZORV_PROJECT=" + ShellQuote(projectFile));
    }

    test_support::TempDir folder;
};

TEST_F(PlayerTest, AScriptThatEndsExitsWithZero) {
    std::string player =
        PackPlayer(ProjectOf({"x = 1;\nIf (x == 1) Program.End();\nx = 1 / 0;\n"}));
    PlayerOutcome outcome = Run(player, {"one", "two words"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.errors, "");
    // Reaching the end of the first module ends the program too.
    outcome = Run(PackPlayer(ProjectOf({"x = 1;\n", "Function F() { x = 1 / 0; }\n"}), "second"));
    EXPECT_EQ(outcome.exitCode, 0);
}

TEST_F(PlayerTest, TheToolPacksAFolderThatThePlayerRuns) {
    folder.WriteFile("game/project.zpk", "entry Game\n  module main.zs\n  module lib.zs packed\n");
    folder.WriteFile("game/main.zs", "x = Twice(21);\nIf (x != 42) y = 1 / 0;\n");
    folder.WriteFile("game/lib.zs", "Function Twice(n) { Return n * 2; }\n");
    std::string pack = ShellQuote(ZORV_PACK_PATH) + " --player " + ShellQuote(ZORV_PLAYER_PATH) +
                       " " + ShellQuote(folder.Linux("game")) + " ";
    ASSERT_EQ(std::system((pack + ShellQuote(folder.Linux("packed"))).c_str()), 0);
    EXPECT_EQ(Run(folder.Linux("packed")).exitCode, 0);
    std::string bare = ShellQuote(ZORV_PACK_PATH) + " --bare " + ShellQuote(folder.Linux("game")) +
                       " " + ShellQuote(folder.Linux("game.zp"));
    ASSERT_EQ(std::system(bare.c_str()), 0);
    EXPECT_EQ(Run(ZORV_PLAYER_PATH, {}, folder.Linux("game.zp")).exitCode, 0);

    // The same error in the packed copy names the module in its caption.
    folder.WriteFile("game/main.zs", "x = Twice(2);\nIf (x != 42) y = 1 / 0;\n");
    ASSERT_EQ(std::system((pack + ShellQuote(folder.Linux("broken"))).c_str()), 0);
    PlayerOutcome outcome = Run(folder.Linux("broken"));
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.errors, "Game - main: Erreur #111 ligne 2.\n");
}

// Written in UTF-8, as Linux editors write, byte-order mark included.
TEST_F(PlayerTest, AProjectWrittenInUtf8RunsAsWritten) {
    folder.WriteFile("game/project.zpk", "entry \xC3\x9Cn\xC3\xAF"
                                         "code\n  module h\xC3\xA9llo.zs\n");
    folder.WriteFile("game/h\xC3\xA9llo.zs", "\xEF\xBB\xBFs = \"Gr\xC3\xBC\xC3\x9F"
                                             "e, caf\xC3\xA9\";\n"
                                             "If (s.Length() != 11) x = 1 / 0;\n"
                                             "If (s.ToUpperCase() != \"GR\xC3\x9C\xC3\x9F"
                                             "E, CAF\xC3\x89\") x = 1 / 0;\n"
                                             "y = 1 / 0;\n");
    std::string pack = ShellQuote(ZORV_PACK_PATH) + " --player " + ShellQuote(ZORV_PLAYER_PATH) +
                       " " + ShellQuote(folder.Linux("game")) + " " +
                       ShellQuote(folder.Linux("packed"));
    ASSERT_EQ(std::system(pack.c_str()), 0);
    PlayerOutcome outcome = Run(folder.Linux("packed"));
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.errors, "\xC3\x9Cn\xC3\xAF"
                              "code - h\xC3\xA9llo: Erreur #111 ligne 4.\n");

    // A character the player cannot hold stops the packing where it stands.
    folder.WriteFile("game/h\xC3\xA9llo.zs", "x = 1;\ny = \"\xE2\x86\x92\";\n");
    std::string errors = folder.Linux("pack-errors.txt");
    EXPECT_NE(std::system((pack + " 2>" + ShellQuote(errors)).c_str()), 0);
    EXPECT_EQ(folder.ReadFile("pack-errors.txt"),
              "zorv-pack: " + folder.Linux("game/h\xC3\xA9llo.zs") +
                  ":2: U+2192 '\xE2\x86\x92' cannot be written in Windows-1252, the player's "
                  "character set\n");
}

TEST_F(PlayerTest, AScriptErrorShowsItsBoxAndExitsWithOne) {
    PlayerOutcome outcome = Run(PackPlayer(ProjectOf({"x = 1;\ny = x / 0;\n"})));
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.errors, "Main - module1: Erreur #111 ligne 2.\n");
}

TEST_F(PlayerTest, WithoutADisplayTheSdlDisplayGivesWayToTheHeadlessOne) {
    // There SDL may show the box on the console, where it waits for a click.
    if (std::filesystem::exists("/dev/dri")) GTEST_SKIP() << "a console display is present";
    std::string player = PackPlayer(ProjectOf({"x = 1 / 0;\n"}));
    // Under a time-out: the error box used to wait for a click on a display nobody sees.
    PlayerOutcome outcome =
        Run("timeout", {"-k", "5", "60", "env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u",
                        "SDL_VIDEODRIVER", "ZORV_DISPLAY=sdl", player});
    EXPECT_EQ(outcome.exitCode, 1);
    // One line says so, the box follows, and no library adds its own complaints.
    const size_t lineEnd = outcome.errors.find('\n') + 1;
    const std::string said = outcome.errors.substr(0, lineEnd);
    EXPECT_EQ(said.rfind("zorv: the sdl display cannot start (", 0), 0u) << outcome.errors;
    EXPECT_TRUE(said.ends_with("; using the headless display\n")) << outcome.errors;
    EXPECT_EQ(outcome.errors.substr(lineEnd), "Main - module1: Erreur #111 ligne 1.\n")
        << outcome.errors;

    // A display that cannot be reached: SDL falls back on its driver that shows nothing.
    outcome =
        Run("timeout", {"-k", "5", "60", "env", "-u", "WAYLAND_DISPLAY", "-u", "XDG_RUNTIME_DIR",
                        "-u", "SDL_VIDEODRIVER", "DISPLAY=:4242", "ZORV_DISPLAY=sdl", player});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.errors.find("; using the headless display\nMain - module1: Erreur #111 "
                                  "ligne 1.\n"),
              std::string::npos)
        << outcome.errors;
}

TEST_F(PlayerTest, AScriptWritesToStandardOutputAndErrorThroughFiles) {
    PackProject project = ProjectOf({"o = New File(\"/dev/stdout\", File.WRITEONLY);\n"
                                     "o.WriteLn(\"to standard output\");\n"
                                     "e = New File(\"/dev/stderr\", File.WRITEONLY);\n"
                                     "e.Write(\"to standard error\");\n"
                                     "o.Write(\"and on\");\n"});
    project.classes.push_back("File");
    std::string player = PackPlayer(project);
    // Standard output is a pipe here, as in `tools/run game | less`.
    PlayerOutcome outcome =
        Run("bash", {"-c", "set -o pipefail; " + ShellQuote(player) + " | cat >" +
                               ShellQuote(folder.Linux("stdout.txt"))});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    EXPECT_EQ(outcome.errors, "to standard error");
    EXPECT_EQ(folder.ReadFile("stdout.txt"), "to standard output\r\nand on");
}

TEST_F(PlayerTest, OutputRedirectedToAFileFollowsWhatTheShellWroteThere) {
    PackProject project = ProjectOf({"o = New File(\"/dev/stdout\", File.WRITEONLY);\n"
                                     "e = New File(\"/dev/stderr\", File.WRITEONLY);\n"
                                     "o.WriteLn(\"line from the script\");\n"
                                     "e.WriteLn(\"its error\");\n"
                                     "o.WriteLn(\"its last line\");\n"});
    project.classes.push_back("File");
    std::string player = PackPlayer(project);
    folder.WriteFile("out.txt", "earlier content\n");
    PlayerOutcome outcome =
        Run("bash", {"-c", "{ echo 'line from the shell'; " + ShellQuote(player) +
                               "; echo 'last line from the shell'; } >>" +
                               ShellQuote(folder.Linux("out.txt")) + " 2>&1 && { echo again; " +
                               ShellQuote(player) + "; } >" + ShellQuote(folder.Linux("new.txt"))});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    EXPECT_EQ(folder.ReadFile("out.txt"),
              "earlier content\nline from the shell\nline from the script\r\nits error\r\n"
              "its last line\r\nlast line from the shell\n");
    EXPECT_EQ(folder.ReadFile("new.txt"), "again\nline from the script\r\nits last line\r\n");
    EXPECT_EQ(outcome.errors, "its error\r\n");
}

TEST_F(PlayerTest, ABareProjectFileRunsThroughTheEnvironment) {
    std::string project = PackBare(ProjectOf({"y = 2 * 3;\n"}));
    EXPECT_EQ(Run(ZORV_PLAYER_PATH, {}, project).exitCode, 0);
    PlayerOutcome missing = Run(ZORV_PLAYER_PATH, {}, folder.Linux("nothing.zp"));
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.errors.find("nothing.zp"), std::string::npos) << missing.errors;
    // The code comes with what it means.
    EXPECT_NE(missing.errors.find("(error 0x40000005: the file cannot be opened)\n"),
              std::string::npos)
        << missing.errors;
}

TEST_F(PlayerTest, NoOrBrokenProjectDataExitsWithTwoAndSaysSo) {
    // Started bare, with or without asking for help, it says how to give it a project.
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, std::vector<std::string>{"--help"}}) {
        PlayerOutcome bare = Run(ZORV_PLAYER_PATH, arguments);
        EXPECT_EQ(bare.exitCode, 2);
        EXPECT_EQ(bare.errors.find("zorv: no project data found in this program\n"), 0u)
            << bare.errors;
        EXPECT_NE(bare.errors.find("zorv-pack PROJECT_DIR OUTPUT"), std::string::npos)
            << bare.errors;
        EXPECT_NE(bare.errors.find("ZORV_PROJECT=FILE zorv"), std::string::npos) << bare.errors;
    }

    // A trailer with a wrong marker, and one whose offset lies past the end of the file.
    std::ifstream in(ZORV_PLAYER_PATH, std::ios::binary);
    std::stringstream player;
    player << in.rdbuf();
    const std::string trailers[] = {std::string("JUNK\x10\0\0\0", 8),
                                    std::string("ZORV\xff\xff\xff\x7f", 8)};
    for (const std::string& trailer : trailers) {
        folder.WriteFile("broken", player.str() + trailer);
        std::string command = "chmod +x " + ShellQuote(folder.Linux("broken"));
        ASSERT_EQ(std::system(command.c_str()), 0);
        PlayerOutcome broken = Run(folder.Linux("broken"));
        EXPECT_EQ(broken.exitCode, 2);
        EXPECT_NE(broken.errors.find("zorv: "), std::string::npos) << broken.errors;
    }

    // Project data that is not a project.
    folder.WriteFile("garbage.zp", std::string(64, 'x'));
    EXPECT_EQ(Run(ZORV_PLAYER_PATH, {}, folder.Linux("garbage.zp")).exitCode, 2);
}

TEST_F(PlayerTest, ARestartChainOfAHundredFilesRunsToItsEnd) {
    for (int i = 1; i <= 100; ++i) {
        std::string source = i < 100
                                 ? "Program.Restart(\"" +
                                       folder.Linux("r" + std::to_string(i + 1) + ".zs") + "\");\n"
                                 : "x = 1;\nx = x / 0;\n";
        folder.WriteFile("r" + std::to_string(i) + ".zs", source);
    }
    std::string player =
        PackPlayer(ProjectOf({"Program.Restart(\"" + folder.Linux("r1.zs") + "\");\n"}));
    PlayerOutcome outcome = Run(player);
    EXPECT_EQ(outcome.exitCode, 1);
    // Only the last program's error is shown, once.
    EXPECT_NE(outcome.errors.find(": Erreur #111 ligne 2.\n"), std::string::npos) << outcome.errors;
    EXPECT_EQ(outcome.errors.find('\n'), outcome.errors.size() - 1) << outcome.errors;

    // A chain that ends normally exits with 0.
    folder.WriteFile("r100.zs", "x = 1;\n");
    EXPECT_EQ(Run(player).exitCode, 0);
}

} // namespace
