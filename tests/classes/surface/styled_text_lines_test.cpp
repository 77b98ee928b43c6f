#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classes/surface/styled_text_lines.h"

namespace {

// A run whose characters advance by `advance` each.
StyledRun MakeRun(const std::string& text, int32_t advance = 10, int32_t height = 16,
                  int32_t offset = 0) {
    StyledRun run;
    run.text = text;
    for (size_t i = 0; i < text.size(); ++i)
        run.ends.push_back(advance * static_cast<int32_t>(i + 1));
    run.height = height;
    run.offset = offset;
    return run;
}

// The lines as texts joined by '|'.
std::string Texts(const std::vector<StyledRun>& runs, const std::vector<StyledLine>& lines) {
    std::string out;
    for (const StyledLine& line : lines) {
        if (&line != &lines.front()) out += '|';
        for (size_t r = line.begin.run; r < runs.size() && r <= line.end.run; ++r) {
            const size_t from = r == line.begin.run ? line.begin.index : 0;
            const size_t to = r == line.end.run ? line.end.index : runs[r].text.size();
            if (from < to) out += runs[r].text.substr(from, to - from);
        }
    }
    return out;
}

TEST(StyledTextLines, WrapsAtTheLastBlankOrBeforeThePassingCharacter) {
    std::vector<StyledRun> runs{MakeRun("hello world")};
    // 110 pixels: "hello wo" reaches 80; the 'w' line fits in 60.
    EXPECT_EQ(Texts(runs, SplitStyledLines(runs, 0, 60, true, 16)), "hello |world");
    EXPECT_EQ(Texts(runs, SplitStyledLines(runs, 0, 60, false, 16)), "hello world");
    EXPECT_EQ(Texts(runs, SplitStyledLines(runs, 0, 110, true, 16)), "hello world");
    // From x = 30 only "hel" fits, and there is no blank yet.
    EXPECT_EQ(Texts(runs, SplitStyledLines(runs, 30, 60, true, 16)), "hel|lo |world");
    // A tab breaks too; a blank that passes the edge stays on its line.
    std::vector<StyledRun> tabbed{MakeRun("ab\tcd")};
    EXPECT_EQ(Texts(tabbed, SplitStyledLines(tabbed, 0, 40, true, 16)), "ab\t|cd");
    std::vector<StyledRun> blank{MakeRun("abc d")};
    EXPECT_EQ(Texts(blank, SplitStyledLines(blank, 0, 30, true, 16)), "abc |d");
}

TEST(StyledTextLines, EveryFinishedLineKeepsACharacter) {
    std::vector<StyledRun> runs{MakeRun("abc", 50)};
    // Narrower than one glyph: one character a line, and the end is reached.
    std::vector<StyledLine> lines = SplitStyledLines(runs, 0, 10, true, 16);
    EXPECT_EQ(Texts(runs, lines), "a|b|c|");
    // Past the right edge from the start: the first character still takes the first line.
    EXPECT_EQ(Texts(runs, SplitStyledLines(runs, 500, 120, true, 16)), "a|bc");
    // Zero width surface.
    EXPECT_EQ(Texts(runs, SplitStyledLines(runs, 0, 0, true, 16)), "a|b|c|");
}

TEST(StyledTextLines, LinesSpanRunsWithTheirHeights) {
    std::vector<StyledRun> runs{MakeRun("ab ", 10, 16), MakeRun("", 10, 40),
                                MakeRun("cd", 10, 10, -8), MakeRun(" ef", 10, 20)};
    std::vector<StyledLine> lines = SplitStyledLines(runs, 0, 55, true, 12);
    ASSERT_EQ(Texts(runs, lines), "ab cd |ef");
    EXPECT_EQ(lines[0].width, 60);
    EXPECT_EQ(lines[0].height, 20) << "the empty run does not count; offset 8 + 10 and 20";
    EXPECT_EQ(lines[1].width, 20);
    EXPECT_EQ(lines[1].height, 20);
    // An empty text is one empty line of the end height.
    std::vector<StyledRun> none;
    lines = SplitStyledLines(none, 0, 100, true, 12);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].empty);
    EXPECT_EQ(lines[0].height, 12);
    EXPECT_EQ(lines[0].width, 0);
}

TEST(StyledTextLines, LongTextsSplitInOnePass) {
    // 200,000 characters on a surface one glyph wide: quadratic work would not end in time
    // under the sanitizers; this has to stay a blink.
    std::vector<StyledRun> runs{MakeRun(std::string(200000, 'x'), 8)};
    std::vector<StyledLine> lines = SplitStyledLines(runs, 0, 4, true, 16);
    EXPECT_EQ(lines.size(), 200001u);
    std::vector<StyledRun> words;
    for (int i = 0; i < 20000; ++i)
        words.push_back(MakeRun("word ", 8));
    lines = SplitStyledLines(words, 0, 100, true, 16);
    EXPECT_EQ(lines.size(), 10000u) << "two words a line";
}

} // namespace
