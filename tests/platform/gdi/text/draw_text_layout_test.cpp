#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/gdi/text/draw_text_layout.h"
#include "platform/gdi/text/font_pinned_set.h"

namespace {

using platform::DrawTextLayout;
using platform::LayOutDrawText;

class DrawTextLayoutTest : public font_test::PinnedFonts {
protected:
    void SetUp() override {
        PinnedFonts::SetUp();
        font = Make("Courier New", -16); // fixed pitch: every character `advance` wide
        advance = font->Advance('m');
        lineHeight = font->Metrics().tmHeight;
        average = font->Metrics().tmAveCharWidth;
    }
    DrawTextLayout Lay(std::string_view text, RECT rect, UINT format,
                       const DRAWTEXTPARAMS* params = nullptr) const {
        return LayOutDrawText(*font, text, rect, format, params);
    }
    // Each line's text, segments joined with '|'.
    static std::vector<std::string> Texts(const DrawTextLayout& layout) {
        std::vector<std::string> texts;
        for (const platform::DrawTextLine& line : layout.lines) {
            std::string text;
            for (size_t i = 0; i < line.segments.size(); ++i)
                text += (i ? "|" : "") + line.segments[i].text;
            texts.push_back(text);
        }
        return texts;
    }
    RECT Columns(int columns, int rows = 100) const {
        return RECT{10, 20, 10 + columns * advance, 20 + rows * lineHeight};
    }

    std::shared_ptr<const platform::FontInstance> font;
    int advance = 0;
    int lineHeight = 0;
    int average = 0;
};

using Lines = std::vector<std::string>;

TEST_F(DrawTextLayoutTest, AlignsLinesAcrossAndSingleLinesDown) {
    RECT rect{0, 0, 20 * advance, 5 * lineHeight};
    EXPECT_EQ(Lay("abcd", rect, DT_LEFT).lines[0].left, 0);
    EXPECT_EQ(Lay("abcd", rect, DT_CENTER).lines[0].left, 8 * advance);
    EXPECT_EQ(Lay("abcd", rect, DT_RIGHT).lines[0].left, 16 * advance);
    DrawTextLayout middle = Lay("abcd", rect, DT_SINGLELINE | DT_VCENTER);
    EXPECT_EQ(middle.lines[0].top, 2 * lineHeight);
    EXPECT_EQ(middle.height, 3 * lineHeight); // to the text's bottom
    EXPECT_EQ(Lay("abcd", rect, DT_SINGLELINE | DT_BOTTOM).lines[0].top, 4 * lineHeight);
    // Without DT_SINGLELINE the vertical flags do nothing.
    EXPECT_EQ(Lay("abcd", rect, DT_VCENTER).lines[0].top, 0);
    EXPECT_EQ(Lay("ab", rect, DT_LEFT).height, lineHeight);

    // Halves are truncated each: a 15-pixel line in a 40-pixel rectangle sits at 20 - 7.
    auto arial = Make("Arial", -13);
    ASSERT_EQ(arial->Metrics().tmHeight, 15);
    const RECT tall{0, 0, 100, 40};
    DrawTextLayout centred = LayOutDrawText(*arial, "abcd", tall, DT_SINGLELINE | DT_VCENTER, {});
    EXPECT_EQ(centred.lines[0].top, 13);
    EXPECT_EQ(centred.height, 28);
    // Measuring places the line where drawing does; the rectangle found ends at its bottom.
    DrawTextLayout bottom =
        LayOutDrawText(*arial, "abcd", tall, DT_SINGLELINE | DT_BOTTOM | DT_CALCRECT, {});
    EXPECT_EQ(bottom.height, 40);
    EXPECT_EQ(bottom.rect.top, 0);
    EXPECT_EQ(bottom.rect.bottom, 40);
    EXPECT_EQ(bottom.lines[0].top, 25);
    DrawTextLayout measured =
        LayOutDrawText(*arial, "abcd", tall, DT_SINGLELINE | DT_VCENTER | DT_CALCRECT, {});
    EXPECT_EQ(measured.height, 28);
    EXPECT_EQ(measured.rect.bottom, 28);
    EXPECT_EQ(measured.lines[0].top, 13);
}

TEST_F(DrawTextLayoutTest, BreaksAtLineEndsUnlessSingleLine) {
    EXPECT_EQ(Texts(Lay("one\r\ntwo\nthree\rfour", Columns(40), 0)),
              (Lines{"one", "two", "three", "four"}));
    EXPECT_EQ(Texts(Lay("one\n\ntwo\n", Columns(40), 0)), (Lines{"one", "", "two"}));
    EXPECT_EQ(Texts(Lay("one\ntwo", Columns(40), DT_SINGLELINE)), (Lines{"one\ntwo"}));
    EXPECT_EQ(Lay("a\nb\nc", Columns(40), 0).height, 3 * lineHeight);
    DrawTextLayout empty = Lay("", Columns(40), DT_CALCRECT);
    EXPECT_TRUE(empty.lines.empty());
    EXPECT_EQ(empty.rect.right, empty.rect.left);
    EXPECT_EQ(empty.height, 0);
    EXPECT_EQ(Lay("", Columns(40), DT_SINGLELINE | DT_CALCRECT).height, lineHeight);
}

TEST_F(DrawTextLayoutTest, WordBreakKeepsWordsWholeUnlessAnEditControl) {
    EXPECT_EQ(Texts(Lay("word word   word", Columns(10), DT_WORDBREAK)),
              (Lines{"word word", "word"}));
    EXPECT_EQ(Texts(Lay("a bb ccc dddd", Columns(4), DT_WORDBREAK)),
              (Lines{"a bb", "ccc", "dddd"}));
    // Too wide for the line: whole, and DT_CALCRECT widens the rectangle for it.
    EXPECT_EQ(Texts(Lay("ab abcdefgh ab", Columns(4), DT_WORDBREAK)),
              (Lines{"ab", "abcdefgh", "ab"}));
    DrawTextLayout calc = Lay("ab abcdefgh ab", Columns(4), DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(calc.rect.right - calc.rect.left, 8 * advance);
    EXPECT_EQ(calc.rect.bottom - calc.rect.top, 3 * lineHeight);
    // The edit control breaks it between characters.
    EXPECT_EQ(Texts(Lay("ab abcdefgh ab", Columns(4), DT_WORDBREAK | DT_EDITCONTROL)),
              (Lines{"ab", "abcd", "efgh", "ab"}));
    // Each line takes a character, however narrow the rectangle.
    EXPECT_EQ(Texts(Lay("abc", RECT{0, 0, 0, 1000}, DT_WORDBREAK | DT_EDITCONTROL)),
              (Lines{"a", "b", "c"}));
    EXPECT_EQ(Texts(Lay("abc de", RECT{50, 0, -50, 1000}, DT_WORDBREAK)), (Lines{"abc", "de"}));
}

TEST_F(DrawTextLayoutTest, TabsGoToStopsInAverageWidths) {
    EXPECT_EQ(average, advance);
    DrawTextLayout eight = Lay("a\tbc\td", Columns(40), DT_EXPANDTABS);
    ASSERT_EQ(eight.lines.size(), 1u);
    const auto& segments = eight.lines[0].segments;
    ASSERT_EQ(segments.size(), 3u);
    EXPECT_EQ(segments[1].x - segments[0].x, 8 * average);
    EXPECT_EQ(segments[2].x - segments[0].x, 16 * average);
    DRAWTEXTPARAMS params{sizeof(DRAWTEXTPARAMS), 3, 0, 0, 0};
    DrawTextLayout three = Lay("a\tb", Columns(40), DT_EXPANDTABS | DT_TABSTOP, &params);
    EXPECT_EQ(three.lines[0].segments[1].x - three.lines[0].segments[0].x, 3 * average);
    // DrawTextA's way: the tab length in bits 8-15, which are then no flags (0x04 is not
    // DT_CALCRECT here).
    DrawTextLayout packed = Lay("a\tb", Columns(40), DT_EXPANDTABS | DT_TABSTOP | 0x0400);
    EXPECT_EQ(packed.lines[0].segments[1].x - packed.lines[0].segments[0].x, 4 * average);
    EXPECT_EQ(packed.rect.right, Columns(40).right);
    // A tab is kept as a character without DT_EXPANDTABS; a hostile length is 8.
    EXPECT_EQ(Texts(Lay("a\tb", Columns(40), 0)), (Lines{"a\tb"}));
    params.iTabLength = INT_MIN;
    DrawTextLayout odd = Lay("a\tb", Columns(40), DT_EXPANDTABS | DT_TABSTOP, &params);
    EXPECT_EQ(odd.lines[0].segments[1].x - odd.lines[0].segments[0].x, 8 * average);
}

TEST_F(DrawTextLayoutTest, MarginsAreLogicalUnits) {
    DRAWTEXTPARAMS params{sizeof(DRAWTEXTPARAMS), 8, 3, 2, 0};
    RECT rect = Columns(7);
    EXPECT_EQ(Lay("ab", rect, 0, &params).lines[0].left, rect.left + 3);
    EXPECT_EQ(Lay("ab", rect, DT_RIGHT, &params).lines[0].left, rect.right - 2 - 2 * advance);
    // The line is what remains between the margins.
    EXPECT_EQ(Texts(Lay("aaa bbb", rect, DT_WORDBREAK, &params)), (Lines{"aaa", "bbb"}));
    DrawTextLayout calc = Lay("abcd", rect, DT_SINGLELINE | DT_CALCRECT, &params);
    EXPECT_EQ(calc.rect.right - calc.rect.left, 4 * advance + 5);
    params.iLeftMargin = INT_MAX; // no room at all: a word a line
    params.iRightMargin = INT_MAX;
    EXPECT_EQ(Texts(Lay("aa bb", rect, DT_WORDBREAK, &params)), (Lines{"aa", "bb"}));
}

TEST_F(DrawTextLayoutTest, PrefixesUnderlineTheirCharacter) {
    DrawTextLayout layout = Lay("&Open && &Save", Columns(40), 0);
    EXPECT_EQ(Texts(layout), (Lines{"Open & Save"}));
    const platform::DrawTextLine& line = layout.lines[0];
    ASSERT_TRUE(line.prefixed); // the last one of the line
    EXPECT_EQ(line.prefixLeft, line.left + 7 * advance);
    EXPECT_EQ(line.prefixRight, line.left + 8 * advance);
    EXPECT_EQ(Texts(Lay("&Open", Columns(40), DT_NOPREFIX)), (Lines{"&Open"}));
    EXPECT_FALSE(Lay("&Open", Columns(40), DT_NOPREFIX).lines[0].prefixed);
    DrawTextLayout hidden = Lay("&Open", Columns(40), DT_HIDEPREFIX);
    EXPECT_EQ(Texts(hidden), (Lines{"Open"}));
    EXPECT_FALSE(hidden.lines[0].prefixed);
    DrawTextLayout only = Lay("&Open", Columns(40), DT_PREFIXONLY);
    EXPECT_FALSE(only.glyphs);
    EXPECT_TRUE(only.lines[0].prefixed);
    EXPECT_EQ(Texts(Lay("end&", Columns(40), 0)), (Lines{"end&"})); // nothing to mark
}

TEST_F(DrawTextLayoutTest, EndEllipsisCutsWhatDoesNotFit) {
    EXPECT_EQ(Texts(Lay("abcdefghij", Columns(8), DT_END_ELLIPSIS)), (Lines{"abcde..."}));
    EXPECT_EQ(Texts(Lay("abcdefgh", Columns(8), DT_END_ELLIPSIS)), (Lines{"abcdefgh"}));
    EXPECT_EQ(Texts(Lay("abcdefghij", Columns(2), DT_END_ELLIPSIS)), (Lines{"..."}));
    // Under word breaks only the text's end gets one; other words too wide are clipped.
    EXPECT_EQ(Texts(Lay("abcdefghijk ab abcdefghijk", Columns(8), DT_WORDBREAK | DT_END_ELLIPSIS)),
              (Lines{"abcdefghijk", "ab", "abcde..."}));
}

TEST_F(DrawTextLayoutTest, DrawingStopsAtTheBottomAndTheEditControlDropsAPartLine) {
    RECT rect{0, 0, 40 * advance, 2 * lineHeight + lineHeight / 2};
    DrawTextLayout plain = Lay("1\n2\n3\n4\n5", rect, 0);
    EXPECT_EQ(Texts(plain), (Lines{"1", "2", "3"}));
    EXPECT_EQ(plain.lengthDrawn, 6u);
    EXPECT_EQ(Texts(Lay("1\n2\n3\n4\n5", rect, DT_EDITCONTROL)), (Lines{"1", "2"}));
    EXPECT_EQ(Texts(Lay("1\n2\n3\n4\n5", rect, DT_NOCLIP)).size(), 5u);
    EXPECT_EQ(Texts(Lay("1\n2\n3\n4\n5", rect, DT_CALCRECT)).size(), 5u);
    // The first line shows even in part.
    EXPECT_EQ(Texts(Lay("1\n2", RECT{0, 0, 100, 1}, DT_EDITCONTROL)), (Lines{"1"}));
    EXPECT_EQ(Lay("1\n2\n3", Columns(10), 0).lengthDrawn, 5u);
}

TEST_F(DrawTextLayoutTest, MeasuringLaysOutAsDrawingAndItsRectangleHoldsTheLines) {
    std::string texts[] = {"Hello, world",
                           "some words to wrap\tand a tab\r\nand &more lines",
                           "averyveryverylongword and short",
                           "",
                           "\n\n&&x",
                           "a\tb\tc"};
    UINT formats[] = {0,
                      DT_WORDBREAK,
                      DT_WORDBREAK | DT_CENTER,
                      DT_WORDBREAK | DT_RIGHT | DT_EXPANDTABS,
                      DT_SINGLELINE | DT_VCENTER | DT_CENTER,
                      DT_SINGLELINE | DT_BOTTOM | DT_RIGHT | DT_EXPANDTABS,
                      DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXTERNALLEADING,
                      DT_EDITCONTROL | DT_NOPREFIX | DT_TABSTOP | DT_EXPANDTABS | DT_WORDBREAK};
    DRAWTEXTPARAMS params{sizeof(DRAWTEXTPARAMS), 4, 1, 2, 0};
    for (auto [face, height] : {std::pair{"Arial", -13}, std::pair{"Times New Roman", 17}}) {
        auto proportional = Make(face, height);
        for (const std::string& text : texts) {
            for (UINT format : formats) {
                for (const DRAWTEXTPARAMS* given :
                     {&params, static_cast<DRAWTEXTPARAMS*>(nullptr)}) {
                    // DrawTextA's DT_TABSTOP takes DT_CALCRECT's bit for the tab length.
                    if (given == nullptr && (format & DT_TABSTOP)) continue;
                    RECT rect{5, 7, 5 + 90, 7 + 300};
                    DrawTextLayout calc =
                        LayOutDrawText(*proportional, text, rect, format | DT_CALCRECT, given);
                    DrawTextLayout drawn =
                        LayOutDrawText(*proportional, text, calc.rect, format, given);
                    SCOPED_TRACE(text + " / " + std::to_string(format));
                    DrawTextLayout same =
                        LayOutDrawText(*proportional, text, rect, format | DT_NOCLIP, given);
                    EXPECT_EQ(Texts(calc), Texts(same));
                    // The answer is drawing's in the rectangle given; a line centred in the
                    // shorter rectangle found sits higher.
                    EXPECT_EQ(calc.height, same.height);
                    const bool centred = (format & DT_VCENTER) != 0;
                    if (!centred) {
                        EXPECT_EQ(calc.height, drawn.height);
                    }
                    EXPECT_EQ(Texts(calc), Texts(drawn));
                    ASSERT_EQ(calc.lines.size(), drawn.lines.size());
                    for (size_t i = 0; i < calc.lines.size(); ++i) {
                        if (!centred) {
                            EXPECT_EQ(calc.lines[i].top, drawn.lines[i].top);
                        }
                        EXPECT_EQ(calc.lines[i].left, drawn.lines[i].left);
                        EXPECT_LE(drawn.lines[i].left + drawn.lines[i].width, calc.rect.right);
                    }
                }
            }
        }
    }
}

TEST_F(DrawTextLayoutTest, HostileInputEnds) {
    std::string big(200000, 'x');
    for (size_t i = 0; i < big.size(); i += 7)
        big[i] = " \t\n&\r"[i % 5];
    RECT tiny{0, 0, 1, 1};
    RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    RECT inverted{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    DRAWTEXTPARAMS params{sizeof(DRAWTEXTPARAMS), INT_MAX, INT_MAX, INT_MIN, 0};
    for (const RECT& rect : {tiny, huge, inverted}) {
        for (UINT format : {DT_WORDBREAK | DT_NOCLIP | DT_EXPANDTABS,
                            DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT | DT_END_ELLIPSIS,
                            DT_SINGLELINE | DT_END_ELLIPSIS | DT_CENTER | DT_VCENTER | DT_CALCRECT,
                            DT_WORDBREAK | DT_EDITCONTROL | DT_EXPANDTABS | DT_TABSTOP}) {
            for (const DRAWTEXTPARAMS* given : {&params, static_cast<DRAWTEXTPARAMS*>(nullptr)}) {
                DrawTextLayout layout = Lay(big, rect, format, given);
                EXPECT_LE(layout.lengthDrawn, big.size());
                EXPECT_LE(layout.lines.size(), big.size());
                platform::TextPicture picture = platform::PictureOfLayout(
                    *font, layout, platform::GlyphKind::Mono, RECT{0, 0, 300, 300});
                for (const platform::PlacedGlyph& glyph : picture.glyphs) {
                    EXPECT_LT(glyph.x, 300);
                    EXPECT_LT(glyph.y, 300);
                }
            }
        }
    }
}

TEST_F(DrawTextLayoutTest, ThePictureKeepsToTheRectangleUnlessNoClip) {
    RECT rect{0, 0, 3 * advance, lineHeight};
    RECT screen{0, 0, 1000, 1000};
    DrawTextLayout clipped = Lay("&abcdefgh", rect, 0);
    platform::TextPicture picture =
        platform::PictureOfLayout(*font, clipped, platform::GlyphKind::Grey, screen);
    EXPECT_EQ(picture.kind, platform::GlyphKind::Grey);
    EXPECT_FALSE(picture.glyphs.empty());
    for (const platform::PlacedGlyph& glyph : picture.glyphs)
        EXPECT_LT(glyph.x, rect.right);
    ASSERT_EQ(picture.bars.size(), 1u); // the prefix underline under 'a'
    EXPECT_EQ(picture.bars[0].left, 0);
    EXPECT_EQ(picture.bars[0].right, advance);
    EXPECT_GT(picture.bars[0].top, font->Metrics().tmAscent - 1);
    DrawTextLayout free = Lay("abcdefgh", rect, DT_NOCLIP);
    platform::TextPicture all =
        platform::PictureOfLayout(*font, free, platform::GlyphKind::Mono, screen);
    EXPECT_EQ(all.glyphs.size(), 8u);
    EXPECT_EQ(all.glyphs.back().x, 7 * advance + font->Glyph('h', platform::GlyphKind::Mono).left);
}

} // namespace
