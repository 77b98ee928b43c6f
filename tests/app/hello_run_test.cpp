// End to end: the first example packed into the real player, run as a newcomer runs it with
// its output sent to a file: the greeting reaches standard output, and the run ends when the
// window is closed, or by itself when nobody closes it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/player_run.h"
#include "support/temp_dir.h"

namespace {

using app_test::PackExample;
using app_test::PlayerOutcome;
using app_test::RunPlayer;
using app_test::ShellQuote;

TEST(HelloRun, GreetsOnStandardOutputAndEndsWhenTheWindowGoesOrByItself) {
    test_support::TempDir folder;
    const std::filesystem::path example = PackExample(folder, "hello");
    ASSERT_FALSE(example.empty());
    const std::string run = ShellQuote(folder.Linux("packed")) + " >out.txt";
    PlayerOutcome closed = RunPlayer(folder, "bash", {"-c", run},
                                     "ZORV_INPUT=" + ShellQuote((example / "input.txt").string()));
    EXPECT_EQ(closed.exitCode, 0) << closed.errors;
    EXPECT_EQ(folder.ReadFile("out.txt"), "Hello, world!\r\n");

    // Only the window found: the clock moves with the program's own waits alone.
    folder.WriteFile("look.txt", "window Hello\n");
    PlayerOutcome alone = RunPlayer(folder, "bash", {"-c", run},
                                    "ZORV_INPUT=" + ShellQuote(folder.Linux("look.txt")));
    EXPECT_EQ(alone.exitCode, 0) << alone.errors;
    EXPECT_EQ(folder.ReadFile("out.txt"), "Hello, world!\r\n");
}

} // namespace
