#include <gtest/gtest.h>

#include <algorithm>

#include "platform/user/input/caret.h"
#include "platform/user/input/input_fixture.h"
#include "platform/user/test_hooks.h"

namespace {

using platform::test::AdvanceClock;
using platform::test::FreezeClock;

class Caret : public input_test::InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        FreezeClock(5000);
        static const char* white =
            window_test::Class("CaretWindow", DefWindowProcA, 0, COLOR_WINDOW + 1);
        window = Keep(
            CreateWindowExA(0, white, "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30, 0, 0, 0, nullptr));
        UpdateWindow(window);
    }
    void TearDown() override {
        DestroyCaret();
        SetCaretBlinkTime(kDefaultCaretBlinkTime);
        InputTest::TearDown();
    }
    // How many pixels of the window are not the window colour.
    int Marked() {
        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        EXPECT_TRUE(platform::test::ReadWindowPixels(window, pixels, width, height));
        COLORREF back = GetSysColor(COLOR_WINDOW);
        uint32_t rgb = (back & 0xFF) << 16 | (back & 0xFF00) | (back >> 16 & 0xFF);
        return static_cast<int>(std::count_if(pixels.begin(), pixels.end(),
                                              [&](uint32_t p) { return (p & 0xFFFFFF) != rgb; }));
    }
    static void Blinks(int times) {
        for (int i = 0; i < times; ++i) {
            AdvanceClock(GetCaretBlinkTime());
            window_test::Pump();
        }
    }
    HWND window = 0;
};

TEST_F(Caret, ItInvertsItsRectangleBlinksAndCountsItsHidings) {
    HWND other = Keep(input_test::Make(WS_POPUP | WS_VISIBLE, 50, 0, 10, 10));
    EXPECT_FALSE(ShowCaret(window)); // no caret yet
    ASSERT_TRUE(CreateCaret(window, 0, 2, 10));
    SetCaretPos(5, 4);
    EXPECT_EQ(Marked(), 0); // made hidden
    ASSERT_TRUE(ShowCaret(0));
    EXPECT_EQ(Marked(), 2 * 10);
    ASSERT_TRUE(SetCaretBlinkTime(100));
    Blinks(1);
    EXPECT_EQ(Marked(), 0);
    // Moving shows it at once, wherever the blink was, and leaves the old place clean.
    SetCaretPos(20, 10);
    EXPECT_EQ(Marked(), 2 * 10);
    POINT at{};
    GetCaretPos(&at);
    EXPECT_EQ(at.x, 20);
    EXPECT_FALSE(HideCaret(other));
    HideCaret(window);
    HideCaret(0);
    ShowCaret(window);
    EXPECT_EQ(Marked(), 0);
    ShowCaret(window);
    ShowCaret(window); // showing a shown caret saves nothing up
    HideCaret(window);
    EXPECT_EQ(Marked(), 0);
    ShowCaret(window);
    SetCaretBlinkTime(INFINITE);
    Blinks(3);
    EXPECT_EQ(Marked(), 2 * 10);
    // A caret made elsewhere takes this one's place and goes with its window.
    ASSERT_TRUE(CreateCaret(other, 0, 0, 0));
    EXPECT_EQ(Marked(), 0);
    EXPECT_FALSE(ShowCaret(window));
    DestroyWindow(other);
    EXPECT_FALSE(DestroyCaret());
    EXPECT_FALSE(SetCaretBlinkTime(0));
}

} // namespace
