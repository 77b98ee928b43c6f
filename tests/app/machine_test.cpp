// End to end: what a packed player's script learns of its command line, and the requests
// it makes of the desktop, which ZORV_SHELL=record writes to standard error instead of
// carrying out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/player_run.h"
#include "packer/pack_output.h"
#include "packer/project_writer.h"
#include "support/temp_dir.h"

namespace {

using app_test::PlayerOutcome;
using app_test::RunPlayer;

class MachineTest : public ::testing::Test {
protected:
    // A copy of the player carrying one module, with the classes it names.
    std::string PackPlayer(const std::string& module, const std::vector<std::string>& classes) {
        PackProject project;
        project.classes = classes;
        PackEntry entry;
        entry.name = "Main";
        PackElement element;
        element.name = "main.zs";
        element.data.assign(module.begin(), module.end());
        BankOfType(entry, 0).elements.push_back(element);
        project.entries.push_back(entry);
        ProjectChunkWriter out;
        std::string error;
        EXPECT_TRUE(WriteProjectData(project, out, error)) << error;
        std::string path = folder.Linux("game");
        EXPECT_TRUE(WriteAppendedProject(ZORV_PLAYER_PATH, out.Bytes(), path, error)) << error;
        return path;
    }

    PlayerOutcome Run(const std::string& environment, const std::string& program,
                      const std::vector<std::string>& arguments) {
        return RunPlayer(folder, program, arguments, environment);
    }

    test_support::TempDir folder;
};

TEST_F(MachineTest, TheScriptSeesTheArgumentsAsTheShellGroupedThem) {
    std::string player = PackPlayer("If (Program.GetNArguments() != 3) x = 1 / 0;\n"
                                    "If (Program.GetArgument(1) != \"b c\") x = 1 / 0;\n",
                                    {"Program"});
    EXPECT_EQ(Run("", player, {"a", "b c", "d"}).exitCode, 0);
    EXPECT_EQ(Run("", player, {"a", "b", "c", "d"}).exitCode, 1);
    EXPECT_EQ(Run("", player, {"a", "b c"}).exitCode, 1);
    EXPECT_EQ(Run("", player, {"a", "b  c", "d"}).exitCode, 1);
}

TEST_F(MachineTest, RecordedBrowserRequestsGoToStandardErrorAndNothingOpens) {
    std::string player = PackPlayer("System.BrowseURL(\"example.org\");\n", {"Program", "System"});
    PlayerOutcome outcome = Run("ZORV_SHELL=record", player, {});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    EXPECT_EQ(outcome.errors, "launch: xdg-open http://example.org/\n");
}

} // namespace
