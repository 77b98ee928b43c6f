// End to end: the form example packed into the real player and used as a user would,
// through its input script: a name typed, a box ticked, a list item picked, the slider
// moved and OK clicked. The message box's text reaches standard error on the headless
// display; closing the window ends the run.
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

TEST(FormRun, TheValuesTheUserGaveComeBackInTheMessageBox) {
    test_support::TempDir folder;
    const std::filesystem::path example = PackExample(folder, "form");
    ASSERT_FALSE(example.empty());
    PlayerOutcome outcome = RunPlayer(folder, folder.Linux("packed"), {},
                                      "ZORV_INPUT=" + ShellQuote((example / "input.txt").string()));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    EXPECT_EQ(outcome.errors, "Order: Ada, 1 medium Green, gift wrapped, by Post, urgency 10\n");
}

} // namespace
