#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/runtime/command_line.h"

namespace {

std::string Argument(const char* line, int32_t n, size_t size = 64, int32_t* scanned = nullptr) {
    std::string buffer(size, '#');
    int32_t count = GetArgument(buffer.data(), size, line, n);
    if (scanned != nullptr) *scanned = count;
    return buffer.c_str();
}

TEST(CommandLine, QuotedArgumentsKeepTheirBlanksAndLoseTheirQuotes) {
    const char* line = "a \"b c\" 'd'";
    EXPECT_EQ(CountArguments(line), 3);
    EXPECT_EQ(Argument(line, 0), "a");
    EXPECT_EQ(Argument(line, 1), "b c");
    EXPECT_EQ(Argument(line, 2), "d");
    // A quote of the other kind is part of the text; an open quote runs to the end.
    EXPECT_EQ(Argument("\"it's here\" 'say \"hi\"'", 0), "it's here");
    EXPECT_EQ(Argument("\"it's here\" 'say \"hi\"'", 1), "say \"hi\"");
    EXPECT_EQ(CountArguments("x \"open to the end"), 2);
    EXPECT_EQ(Argument("x \"open to the end", 1), "open to the end");
    // An empty quoted argument still counts.
    EXPECT_EQ(CountArguments("\"\" b"), 2);
    EXPECT_EQ(Argument("\"\" b", 0), "");
}

TEST(CommandLine, BlanksSeparateButOnlyAControlCharacterEndsTheScan) {
    EXPECT_EQ(CountArguments(nullptr), 0);
    EXPECT_EQ(CountArguments(""), 0);
    EXPECT_EQ(CountArguments("  \t  "), 0);
    EXPECT_EQ(CountArguments("\t a   b\t"), 2);
    // A tab inside an unquoted argument does not end it.
    EXPECT_EQ(CountArguments("a\tb c"), 2);
    EXPECT_EQ(Argument("a\tb c", 0), "a\tb");
    // A control character where an argument would begin ends the scan.
    EXPECT_EQ(CountArguments("a \x01 b"), 1);
    EXPECT_EQ(CountArguments("a\r\nb"), 1);
    // Bytes above 127 are ordinary characters.
    EXPECT_EQ(Argument("caf\xE9 na\xEFve", 1), "na\xEFve");
}

TEST(CommandLine, GetArgumentCutsToTheBufferAndReportsWhatItScanned) {
    int32_t scanned = 0;
    EXPECT_EQ(Argument("abcdef gh", 0, 4, &scanned), "abc");
    EXPECT_EQ(scanned, 1);
    EXPECT_EQ(Argument("abcdef gh", 0, 1), "");
    // A missing argument leaves an empty text; the scan went through the whole line.
    EXPECT_EQ(Argument("a b", 5, 16, &scanned), "");
    EXPECT_EQ(scanned, 2);
    EXPECT_EQ(Argument(nullptr, 0, 16, &scanned), "");
    EXPECT_EQ(scanned, 0);
    // No buffer at all is harmless.
    EXPECT_EQ(GetArgument(nullptr, 0, "a b", 1), 2);
}

TEST(CommandLine, JoinedArgumentsComeBackWhole) {
    const std::vector<std::string> arguments = {"plain",     "two words",  "",
                                                "tab\there", "say \"hi\"", "\"lead",
                                                "'single",   "\x01ctl",    "caf\xE9"};
    std::string line = JoinArguments(arguments);
    ASSERT_EQ(CountArguments(line.c_str()), int32_t(arguments.size())) << line;
    for (size_t i = 0; i < arguments.size(); ++i)
        EXPECT_EQ(Argument(line.c_str(), int32_t(i)), arguments[i]) << line;
    EXPECT_EQ(JoinArguments({}), "");
    EXPECT_EQ(JoinArguments({"a", "b"}), "a b");
}

} // namespace
