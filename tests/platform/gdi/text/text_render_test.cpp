#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/framebuffer.h"
#include "platform/gdi/text/font_pinned_set.h"
#include "platform/gdi/text/text_render.h"
#include "platform/user/test_hooks.h"
#include "platform/user/windows.h"
#include "platform/window_recorder.h"

namespace {

using platform::DrawUiText;
using platform::MeasureUiText;
using platform::WrapUiText;


// A visible window filled with white, destroyed after the test.
class TextDrawing : public window_test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window = Keep(window_test::Make(WS_POPUP | WS_VISIBLE, 10, 10, 200, 40));
        Clear(window);
    }
    static void Clear(HWND target) {
        HDC dc = GetDC(target);
        RECT all{0, 0, 1000, 1000};
        FillRect(dc, &all, GetStockObject(WHITE_BRUSH));
        ReleaseDC(target, dc);
    }
    static std::vector<uint32_t> Pixels(HWND target) {
        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        platform::test::ReadWindowPixels(target, pixels, width, height);
        return pixels;
    }
    HWND window = 0;
};

TEST(UiText, WidthsGrowWithTheTextAndFollowTheGlyphs) {
    ASSERT_TRUE(platform::UiFontAvailable()) << "fonts-liberation2 should be installed";
    EXPECT_EQ(MeasureUiText(""), 0);
    int one = MeasureUiText("W");
    EXPECT_GT(one, 0);
    EXPECT_EQ(MeasureUiText("WWWW"), 4 * one);
    EXPECT_LT(MeasureUiText("iiii"), MeasureUiText("WWWW")); // proportional
    // Windows-1252 bytes reach their own glyphs: an e with its accent, a long dash.
    EXPECT_EQ(MeasureUiText("\xE9"), MeasureUiText("e"));
    EXPECT_GT(MeasureUiText("\x97"), 2 * MeasureUiText("-"));
    platform::UiFontMetrics metrics = platform::UiFontLineMetrics();
    EXPECT_GE(metrics.lineHeight, 11); // the classic 8 points at 96 dpi
    EXPECT_LE(metrics.lineHeight, 15);
    EXPECT_GT(metrics.ascent, metrics.lineHeight / 2);
}

TEST(UiText, WrapsAtNewLinesThenBetweenWordsThenInsideLongWords) {
    int word = MeasureUiText("word");
    int space = MeasureUiText(" ");
    EXPECT_EQ(WrapUiText("", 100), std::vector<std::string>{""});
    EXPECT_EQ(WrapUiText("one\ntwo\r\n\nthree\n", 1000),
              (std::vector<std::string>{"one", "two", "", "three", ""}));
    // Two words fit on a line, the third does not; the spaces at the breaks go.
    EXPECT_EQ(WrapUiText("word word   word", 2 * word + space),
              (std::vector<std::string>{"word word", "word"}));
    std::string longWord(40, 'm');
    std::vector<std::string> broken = WrapUiText("a " + longWord, 50);
    ASSERT_GE(broken.size(), 3u);
    EXPECT_EQ(broken[0], "a");
    std::string joined;
    for (size_t i = 1; i < broken.size(); ++i) {
        EXPECT_LE(MeasureUiText(broken[i]), 50);
        joined += broken[i];
    }
    EXPECT_EQ(joined, longWord); // nothing lost
    // No width at all still gives one character a line, never an endless loop.
    EXPECT_EQ(WrapUiText("abc", 0), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(TextDrawing, DrawsAntiAliasedInkInTheColourWithinTheLine) {
    HDC dc = GetDC(window);
    DrawUiText(dc, 4, 2, "Hello, Wo\xEEld", RGB(255, 0, 0));
    ReleaseDC(window, dc);
    std::vector<uint32_t> pixels = Pixels(window);
    int width = 200;
    int lineHeight = platform::UiFontLineMetrics().lineHeight;
    int textRight = 4 + MeasureUiText("Hello, Wo\xEEld");
    bool pure = false, blended = false;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = pixels[static_cast<size_t>(y) * width + x];
            if (pixel == 0xFFFFFF) continue;
            EXPECT_TRUE(y >= 2 && y < 2 + lineHeight + 1 && x >= 3 && x <= textRight)
                << x << "," << y;
            pure = pure || pixel == 0xFF0000;
            // Between red and white: red stays full, green and blue alike.
            blended = blended || (pixel >> 16 == 0xFF && (pixel & 0xFF) != 0 &&
                                  (pixel & 0xFF) != 0xFF && (pixel >> 8 & 0xFF) == (pixel & 0xFF));
        }
    }
    EXPECT_TRUE(pure);
    EXPECT_TRUE(blended);
}

TEST_F(TextDrawing, KeepsToTheClipOfTheDC) {
    // A sibling lies over the left half of the child; the child's text must not reach it.
    HWND child = window_test::Make(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 200, 40, window);
    HWND cover = window_test::Make(WS_CHILD | WS_VISIBLE, 0, 0, 100, 40, window);
    SetWindowPos(cover, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Clear(window);
    HDC dc = GetDC(child);
    DrawUiText(dc, 2, 2, "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM", 0);
    // Far outside the window on every side: nothing, and nothing breaks.
    DrawUiText(dc, -100000, -100000, "M", 0);
    DrawUiText(dc, 100000, 5, std::string(100000, 'M'), 0);
    ReleaseDC(child, dc);
    std::vector<uint32_t> pixels = Pixels(window);
    int inkLeft = 0, inkRight = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (pixels[static_cast<size_t>(y) * 200 + x] == 0xFFFFFF) continue;
            (x < 100 ? inkLeft : inkRight)++;
        }
    }
    EXPECT_EQ(inkLeft, 0);
    EXPECT_GT(inkRight, 0);
}

TEST_F(TextDrawing, WithoutAFontMeasuresAverageWidthsAndDrawsNothing) {
    test_support::TempDir fonts;
    fonts.WriteFile("empty/.keep", "");
    font_test::PinFolders(fonts, font_test::Dir(fonts.Linux("empty")));
    EXPECT_FALSE(platform::UiFontAvailable());
    int one = MeasureUiText("W");
    EXPECT_GT(one, 0);
    EXPECT_EQ(MeasureUiText("iiW"), 3 * one);
    EXPECT_EQ(WrapUiText("ab cd", 2 * one), (std::vector<std::string>{"ab", "cd"}));
    HDC dc = GetDC(window);
    DrawUiText(dc, 0, 0, "Nothing", 0);
    ReleaseDC(window, dc);
    for (uint32_t pixel : Pixels(window))
        ASSERT_EQ(pixel, 0xFFFFFFu);
    platform::test::UseFontConfigFile("");
    EXPECT_TRUE(platform::UiFontAvailable());
}

} // namespace
