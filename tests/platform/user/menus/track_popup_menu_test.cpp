#include <gtest/gtest.h>

#include <optional>

#include "platform/kernel/errors.h"
#include "platform/system/system_info.h"
#include "platform/user/menus/menu_fixture.h"

namespace {

using namespace menu_test;

class TrackPopup : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        owner = MakeWindow();
    }
    BOOL Track(UINT flags, int x = 200, int y = 150, HMENU menu = 0) {
        return TrackPopupMenu(menu != 0 ? menu : file, flags, x, y, 0, owner, nullptr);
    }
    HWND owner = 0;
};

TEST_F(TrackPopup, AChoicePostsItsCommandUnlessReturnCmdOrNoNotify) {
    Then([&](HWND) { ClickItem(file, 0); });
    EXPECT_EQ(Track(0), TRUE);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_NEW});
    EXPECT_EQ(Recorder::Of(WM_INITMENUPOPUP).size(), 1u);

    Recorder::seen.clear();
    Then([&](HWND) { ClickItem(file, 5); });
    EXPECT_EQ(Track(TPM_RETURNCMD), static_cast<BOOL>(ID_EXIT));
    EXPECT_TRUE(Commands().empty());

    Recorder::seen.clear();
    Then([&](HWND) { ClickItem(file, 1); });
    EXPECT_EQ(Track(TPM_NONOTIFY), TRUE);
    EXPECT_TRUE(Commands().empty());
    // Nothing at all is sent to the owner.
    EXPECT_TRUE(Recorder::Of(WM_INITMENUPOPUP).empty());
    EXPECT_TRUE(Recorder::Of(WM_ENTERMENULOOP).empty());
}

TEST_F(TrackPopup, AnOutsideClickOrEscapeCancels) {
    Then([&](HWND) { headless::Click(headless::Button::Left, 5, 5); });
    EXPECT_EQ(Track(TPM_RETURNCMD), 0);
    Then([&](HWND) { headless::PressKey(VK_ESCAPE); });
    EXPECT_EQ(Track(0), FALSE);
    EXPECT_TRUE(Commands().empty());
    // WM_QUIT ends it too, and is posted again for the program's loop.
    Then([&](HWND) { PostQuitMessage(7); });
    EXPECT_EQ(Track(TPM_RETURNCMD), 0);
    MSG quit{};
    EXPECT_TRUE(PeekMessageA(&quit, 0, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
    // So does another window taking the capture.
    Then([&](HWND) {
        SetCapture(owner);
        ReleaseCapture();
    });
    EXPECT_EQ(Track(TPM_RETURNCMD), 0);
    // The right button chooses only with TPM_RIGHTBUTTON.
    Then([&](HWND) {
        POINT at = Centre(ItemRect(file, 0));
        headless::Click(headless::Button::Right, at.x, at.y);
    });
    Then([&](HWND) { headless::PressKey(VK_ESCAPE); });
    EXPECT_EQ(Track(TPM_RETURNCMD), 0);
    Then([&](HWND) {
        POINT at = Centre(ItemRect(file, 0));
        headless::Click(headless::Button::Right, at.x, at.y);
    });
    EXPECT_EQ(Track(TPM_RETURNCMD | TPM_RIGHTBUTTON), static_cast<BOOL>(ID_NEW));
}

TEST_F(TrackPopup, ASubmenuCascadesBesideItsItemAndEscapeClosesItAlone) {
    Then([&](HWND) { HoverItem(file, 3); });
    Then([&](HWND popup) {
        EXPECT_EQ(popup, platform::test::OpenPopupWindow(recent));
        RECT parent = window_test::WindowRect(platform::test::OpenPopupWindow(file));
        RECT child = window_test::WindowRect(popup);
        EXPECT_GT(child.left, parent.left);
        EXPECT_LT(child.left, parent.right);
        headless::PressKey(VK_ESCAPE);
    });
    Then([&](HWND popup) {
        EXPECT_EQ(popup, platform::test::OpenPopupWindow(file));
        headless::PressKey(VK_RIGHT); // opens Recent again on One
    });
    Then([&](HWND) { headless::PressKey(VK_RETURN); });
    EXPECT_EQ(Track(TPM_RETURNCMD), static_cast<BOOL>(ID_ONE));
    auto inits = Recorder::Of(WM_INITMENUPOPUP);
    ASSERT_EQ(inits.size(), 3u);
    EXPECT_EQ(inits[1].wParam, recent);
    EXPECT_EQ(LOWORD(static_cast<DWORD>(inits[1].lParam)), 3);
}

TEST_F(TrackPopup, EachAlignmentHoldsAwayFromTheEdgesAndFlipsOrStaysOnTheScreenNearThem) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    POINT size{};
    Then([&](HWND popup) {
        RECT r = window_test::WindowRect(popup);
        size = POINT{r.right - r.left, r.bottom - r.top};
        headless::PressKey(VK_ESCAPE);
    });
    Track(0);
    ASSERT_GT(size.x, 0);
    const UINT horizontal[] = {TPM_LEFTALIGN, TPM_CENTERALIGN, TPM_RIGHTALIGN};
    const UINT vertical[] = {TPM_TOPALIGN, TPM_VCENTERALIGN, TPM_BOTTOMALIGN};
    const POINT points[] = {{width / 2, height / 2}, {1, 1},
                            {width - 2, 1},          {1, height - 2},
                            {width - 2, height - 2}, {width / 2, height - 1}};
    for (UINT h : horizontal) {
        for (UINT v : vertical) {
            for (POINT at : points) {
                RECT placed{};
                Then([&](HWND popup) {
                    placed = window_test::WindowRect(popup);
                    headless::PressKey(VK_ESCAPE);
                });
                Track(h | v, at.x, at.y);
                SCOPED_TRACE(testing::Message()
                             << "flags " << (h | v) << " at " << at.x << "," << at.y);
                EXPECT_GE(placed.left, 0);
                EXPECT_GE(placed.top, 0);
                EXPECT_LE(placed.right, width);
                EXPECT_LE(placed.bottom, height);
                bool middle = at.x == width / 2 && at.y == height / 2;
                if (middle) {
                    LONG left = h == TPM_LEFTALIGN    ? at.x
                                : h == TPM_RIGHTALIGN ? at.x - size.x
                                                      : at.x - size.x / 2;
                    LONG top = v == TPM_TOPALIGN      ? at.y
                               : v == TPM_BOTTOMALIGN ? at.y - size.y
                                                      : at.y - size.y / 2;
                    EXPECT_EQ(placed.left, left);
                    EXPECT_EQ(placed.top, top);
                }
                // Aligned on a corner, it turns to the side of the point with room.
                if (h == TPM_LEFTALIGN && at.x == width - 2) {
                    EXPECT_EQ(placed.right, at.x);
                }
                if (h == TPM_RIGHTALIGN && at.x == 1) {
                    EXPECT_EQ(placed.left, at.x);
                }
                if (v == TPM_TOPALIGN && at.y == height - 2) {
                    EXPECT_EQ(placed.bottom, at.y);
                }
                if (v == TPM_BOTTOMALIGN && at.y == 1) {
                    EXPECT_EQ(placed.top, at.y);
                }
            }
        }
    }
}

TEST_F(TrackPopup, TheOwnersDeathCancelsAndTakesThePopupsAway) {
    HWND shown = 0;
    Then([&](HWND) { HoverItem(file, 3); });
    Then([&](HWND popup) {
        shown = popup;
        DestroyWindow(owner);
    });
    EXPECT_EQ(Track(TPM_RETURNCMD), 0);
    EXPECT_FALSE(IsWindow(shown));
    EXPECT_EQ(platform::test::OpenPopupWindow(file), 0u);
    EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(TrackPopup, TimersFireAndWindowsPaintWhileItWaits) {
    SetTimer(owner, 5, 100, nullptr);
    int ticks = 0;
    for (int i = 0; i < 3; ++i)
        Then([&](HWND) { ++ticks; }); // nothing done: the loop waits for the next timer
    Then([&](HWND) {
        EXPECT_EQ(Recorder::Of(WM_TIMER).size(), 3u);
        // The owner repaints what is invalidated meanwhile.
        Recorder::seen.clear();
        InvalidateRect(owner, nullptr, TRUE);
    });
    Then([&](HWND) {
        EXPECT_FALSE(Recorder::Of(WM_PAINT).empty());
        headless::PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(Track(0), FALSE);
    EXPECT_EQ(ticks, 3);
    KillTimer(owner, 5);
}

TEST_F(TrackPopup, HandlersThatDestroyTheMenuOrOpenAnotherAreSafe) {
    HMENU doomed = CreatePopupMenu();
    AppendMenuA(doomed, MF_STRING, 1, "One");
    HMENU sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 2, "Two");
    AppendMenuA(doomed, MF_POPUP, sub, "Sub");
    DWORD nestedError = 0;
    BOOL nested = TRUE;
    Recorder::answer = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_INITMENUPOPUP) return std::nullopt;
        if (wParam == doomed) {
            SetLastError(0);
            nested = TrackPopupMenu(file, 0, 10, 10, 0, owner, nullptr);
            nestedError = GetLastError();
        } else if (wParam == sub) {
            DestroyMenu(doomed);
        }
        return 0;
    };
    Then([&](HWND) { HoverItem(doomed, 1); });
    EXPECT_EQ(Track(TPM_RETURNCMD, 200, 150, doomed), 0);
    EXPECT_EQ(nested, FALSE);
    EXPECT_EQ(nestedError, ERROR_POPUP_ALREADY_ACTIVE);
    EXPECT_FALSE(IsMenu(sub));
    EXPECT_EQ(GetCapture(), 0u);
}

} // namespace
