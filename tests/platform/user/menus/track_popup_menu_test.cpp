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
    struct {
        UINT flags;
        int item;
        BOOL result;
        std::vector<WPARAM> posted;
        bool told; // WM_ENTERMENULOOP and WM_INITMENUPOPUP sent to the owner
    } cases[] = {{0, 0, TRUE, {ID_NEW}, true},
                 {TPM_RETURNCMD, 5, ID_EXIT, {}, true},
                 {TPM_NONOTIFY, 1, TRUE, {}, false}};
    for (const auto& c : cases) {
        Recorder::seen.clear();
        Then([&](HWND) { ClickItem(file, c.item); });
        EXPECT_EQ(Track(c.flags), c.result) << c.flags;
        EXPECT_EQ(Commands(), c.posted) << c.flags;
        EXPECT_EQ(Recorder::Of(WM_INITMENUPOPUP).size(), c.told ? 1u : 0u) << c.flags;
        EXPECT_EQ(Recorder::Of(WM_ENTERMENULOOP).size(), c.told ? 1u : 0u) << c.flags;
    }
}

TEST_F(TrackPopup, OutsideClicksEscapeLostCaptureAndQuitCancel) {
    auto escape = [](HWND) { headless::PressKey(VK_ESCAPE); };
    auto rightClick = [&](HWND) { ClickItem(file, 0, headless::Button::Right); };
    Then([](HWND) { headless::Click(headless::Button::Left, 5, 5); });
    EXPECT_EQ(Track(TPM_RETURNCMD), 0);
    Then(escape);
    EXPECT_EQ(Track(0), FALSE);
    Then([&](HWND) {
        SetCapture(owner);
        ReleaseCapture();
    });
    EXPECT_EQ(Track(TPM_RETURNCMD), 0);
    // The right button chooses only with TPM_RIGHTBUTTON.
    Then(rightClick);
    Then(escape);
    EXPECT_EQ(Track(TPM_RETURNCMD), 0);
    Then(rightClick);
    EXPECT_EQ(Track(TPM_RETURNCMD | TPM_RIGHTBUTTON), static_cast<BOOL>(ID_NEW));
    EXPECT_TRUE(Commands().empty());
    // WM_QUIT ends it too, and is posted again for the program's loop.
    Then([](HWND) { PostQuitMessage(7); });
    EXPECT_EQ(Track(TPM_RETURNCMD), 0);
    MSG quit{};
    EXPECT_TRUE(PeekMessageA(&quit, 0, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
}

TEST_F(TrackPopup, ASubmenuCascadesBesideItsItemAndEscapeClosesItAlone) {
    Then([&](HWND) { HoverItem(file, 3); });
    ThenIn(recent, [&] {
        RECT parent = window_test::WindowRect(platform::test::OpenPopupWindow(file));
        RECT child = window_test::WindowRect(platform::test::OpenPopupWindow(recent));
        EXPECT_GT(child.left, parent.left);
        EXPECT_LT(child.left, parent.right);
        headless::PressKey(VK_ESCAPE);
    });
    ThenKeys(file, 3, {VK_RIGHT}); // opens Recent again on One
    ThenKeys(recent, 0, {VK_RETURN});
    EXPECT_EQ(Track(TPM_RETURNCMD), static_cast<BOOL>(ID_ONE));
    auto inits = Recorder::Of(WM_INITMENUPOPUP);
    ASSERT_EQ(inits.size(), 3u);
    EXPECT_EQ(inits[1].wParam, recent);
    EXPECT_EQ(LOWORD(static_cast<DWORD>(inits[1].lParam)), 3);
}

TEST_F(TrackPopup, EachAlignmentHoldsAwayFromTheEdgesAndFlipsOrStaysOnTheScreenNearThem) {
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    auto placed = [&](UINT flags, POINT at) {
        RECT shown{};
        Then([&](HWND popup) {
            shown = window_test::WindowRect(popup);
            headless::PressKey(VK_ESCAPE);
        });
        Track(flags, at.x, at.y);
        return shown;
    };
    const POINT middle{width / 2, height / 2};
    RECT r = placed(0, middle);
    const POINT size{r.right - r.left, r.bottom - r.top};
    ASSERT_GT(size.x, 0);
    const UINT horizontal[] = {TPM_LEFTALIGN, TPM_CENTERALIGN, TPM_RIGHTALIGN};
    const UINT vertical[] = {TPM_TOPALIGN, TPM_VCENTERALIGN, TPM_BOTTOMALIGN};
    // Near each corner, and at the bottom edge's middle.
    const int right = width - 2, bottom = height - 2;
    const POINT points[] = {middle,      {1, 1},          {right, 1},
                            {1, bottom}, {right, bottom}, {middle.x, height - 1}};
    for (int h = 0; h < 3; ++h) {
        for (int v = 0; v < 3; ++v) {
            for (POINT at : points) {
                RECT shown = placed(horizontal[h] | vertical[v], at);
                SCOPED_TRACE(testing::Message()
                             << "align " << h << "," << v << " at " << at.x << "," << at.y);
                EXPECT_GE(shown.left, 0);
                EXPECT_GE(shown.top, 0);
                EXPECT_LE(shown.right, width);
                EXPECT_LE(shown.bottom, height);
                // Away from the edges the point is its left, centre or right; top, ...
                if (at.x == middle.x && at.y == middle.y) {
                    EXPECT_EQ(shown.left, at.x - size.x * h / 2);
                    EXPECT_EQ(shown.top, at.y - size.y * v / 2);
                }
                // ... aligned on a corner, it turns to the side of the point with room.
                EXPECT_TRUE(h != 0 || at.x != right || shown.right == at.x);
                EXPECT_TRUE(h != 2 || at.x != 1 || shown.left == at.x);
                EXPECT_TRUE(v != 0 || at.y != bottom || shown.bottom == at.y);
                EXPECT_TRUE(v != 2 || at.y != 1 || shown.top == at.y);
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
    // Steps that do nothing: each time the loop waits for the next timer.
    for (int i = 0; i < 3; ++i)
        Then([](HWND) {});
    Then([&](HWND) {
        EXPECT_EQ(Recorder::Of(WM_TIMER).size(), 3u);
        Recorder::seen.clear();
        InvalidateRect(owner, nullptr, TRUE);
    });
    Then([&](HWND) {
        EXPECT_FALSE(Recorder::Of(WM_PAINT).empty());
        headless::PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(Track(0), FALSE);
    KillTimer(owner, 5);
}

TEST_F(TrackPopup, HandlersThatDestroyTheMenuOrOpenAnotherAreSafe) {
    HMENU doomed = CreatePopupMenu(), sub = CreatePopupMenu();
    AppendMenuA(doomed, MF_STRING, 1, "One");
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
