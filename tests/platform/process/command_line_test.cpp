#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/process/command_line.h"

namespace {

using Arguments = std::vector<std::string>;

TEST(CommandLine, SplitsAsTheCRuntimeDoes) {
    using platform::SplitCommandLine;
    EXPECT_EQ(SplitCommandLine(""), Arguments{});
    EXPECT_EQ(SplitCommandLine("prog"), Arguments{"prog"});
    EXPECT_EQ(SplitCommandLine("prog  a\tb  "), (Arguments{"prog", "a", "b"}));
    EXPECT_EQ(SplitCommandLine("prog \"a b\" c"), (Arguments{"prog", "a b", "c"}));
    // Backslashes are literal unless a quote follows them.
    EXPECT_EQ(SplitCommandLine("prog a\\\\b c\\"), (Arguments{"prog", "a\\\\b", "c\\"}));
    // 2n backslashes and a quote: n backslashes, the quote toggles.
    EXPECT_EQ(SplitCommandLine("prog a\\\\\"b c\""), (Arguments{"prog", "a\\b c"}));
    // 2n + 1 backslashes and a quote: n backslashes and a literal quote.
    EXPECT_EQ(SplitCommandLine("prog a\\\\\\\"b"), (Arguments{"prog", "a\\\"b"}));
    EXPECT_EQ(SplitCommandLine("prog \\\"a"), (Arguments{"prog", "\"a"}));
    // "" inside quotes is a quote and quoting goes on.
    EXPECT_EQ(SplitCommandLine("prog \"a\"\"b c\" d"), (Arguments{"prog", "a\"b c", "d"}));
    EXPECT_EQ(SplitCommandLine("prog \"\" x"), (Arguments{"prog", "", "x"}));
    EXPECT_EQ(SplitCommandLine("prog \"open"), (Arguments{"prog", "open"}));
    EXPECT_EQ(SplitCommandLine("prog a\"b c\"d"), (Arguments{"prog", "ab cd"}));
}

TEST(CommandLine, ProgramNameTakesQuotesAsTogglesOnly) {
    using platform::SplitCommandLine;
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\x.exe\" a"),
              (Arguments{"C:\\Program Files\\x.exe", "a"}));
    EXPECT_EQ(SplitCommandLine("C:\\dir\\\"x y\" z"), (Arguments{"C:\\dir\\x y", "z"}));
    EXPECT_EQ(SplitCommandLine("a\\\"b c"), (Arguments{"a\\b c"}));
}

} // namespace
