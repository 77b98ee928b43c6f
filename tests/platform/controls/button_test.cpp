#include <gtest/gtest.h>

#include "platform/controls/button.h"
#include "platform/controls/controls_fixture.h"
#include "platform/kernel/test_hooks.h"

namespace {

using controls_test::ControlTest;
using controls_test::Recorder;
using controls_test::SysPixel;
using platform::InjectMouse;
using platform::MouseEvent;

class Button : public ControlTest {};

TEST_F(Button, ClicksNotifyAndAutomaticBoxesToggleFirst) {
    HWND push = Control("BUTTON", "OK", BS_PUSHBUTTON, 10, 10, 60, 24, 1);
    HWND box = Control("button", "Check", BS_AUTOCHECKBOX, 10, 40, 80, 20, 2);
    HWND manual = Control("BUTTON", "Manual", BS_RADIOBUTTON, 10, 70, 80, 20, 3);
    Click(20, 20);
    EXPECT_EQ(Notifications(push), std::vector<int>{BN_CLICKED});
    EXPECT_EQ(GetFocus(), push);
    std::optional<LRESULT> checkSeen;
    Recorder::answer = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_COMMAND && static_cast<HWND>(lParam) == box)
            checkSeen = SendMessageA(box, BM_GETCHECK, 0, 0);
        return std::nullopt;
    };
    Click(15, 50);
    EXPECT_EQ(checkSeen, BST_CHECKED);
    Click(15, 50);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED));
    Click(15, 80);
    EXPECT_EQ(Notifications(manual), std::vector<int>{BN_CLICKED});
    EXPECT_EQ(SendMessageA(manual, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED));

    // A release outside clicks nothing.
    Recorder::seen.clear();
    InjectMouse(controls_test::kOrigin + 20, controls_test::kOrigin + 20, MouseEvent::LeftDown);
    Pump();
    EXPECT_EQ(SendMessageA(push, BM_GETSTATE, 0, 0) & BST_PUSHED, static_cast<LRESULT>(BST_PUSHED));
    InjectMouse(controls_test::kOrigin + 150, controls_test::kOrigin + 100, MouseEvent::Move);
    Pump();
    EXPECT_EQ(SendMessageA(push, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    InjectMouse(controls_test::kOrigin + 150, controls_test::kOrigin + 100, MouseEvent::LeftUp);
    Pump();
    EXPECT_TRUE(Notifications(push).empty());
    EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(Button, SetCheckIsQuietAndChecksItsValues) {
    HWND box = Control("BUTTON", "", BS_AUTOCHECKBOX, 10, 10, 80, 20);
    HWND three = Control("BUTTON", "", BS_AUTO3STATE, 10, 40, 80, 20);
    HWND push = Control("BUTTON", "", BS_PUSHBUTTON, 10, 70, 80, 20);
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), 1);
    SendMessageA(box, BM_SETCHECK, 77, 0); // no such state: ignored
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), 1);
    SendMessageA(box, BM_SETCHECK, BST_INDETERMINATE, 0); // two states only
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), 1);
    SendMessageA(three, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(SendMessageA(three, BM_GETCHECK, 0, 0), 2);
    SendMessageA(push, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(push, BM_GETCHECK, 0, 0), 0);
    Pump();
    EXPECT_TRUE(Recorder::Of(WM_COMMAND).empty());
    // The three-state box cycles unchecked, checked, indeterminate.
    Click(15, 50);
    EXPECT_EQ(SendMessageA(three, BM_GETCHECK, 0, 0), 0);
    Click(15, 50);
    EXPECT_EQ(SendMessageA(three, BM_GETCHECK, 0, 0), 1);
}

TEST_F(Button, AutomaticRadioButtonsUncheckTheirGroupOnly) {
    HWND a = Control("BUTTON", "A", BS_AUTORADIOBUTTON | WS_GROUP, 10, 10, 60, 16, 1);
    HWND b = Control("BUTTON", "B", BS_AUTORADIOBUTTON, 10, 30, 60, 16, 2);
    HWND c = Control("BUTTON", "C", BS_AUTORADIOBUTTON | WS_GROUP, 10, 50, 60, 16, 3);
    SendMessageA(a, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(c, BM_SETCHECK, BST_CHECKED, 0);
    Click(15, 38);
    EXPECT_EQ(SendMessageA(a, BM_GETCHECK, 0, 0), 0);
    EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), 1);
    EXPECT_EQ(SendMessageA(c, BM_GETCHECK, 0, 0), 1);
}

TEST_F(Button, NotifyStyleGivesDoubleClicksAndFocusChanges) {
    HWND notify = Control("BUTTON", "N", BS_AUTOCHECKBOX | BS_NOTIFY, 10, 10, 80, 20, 1);
    HWND plain = Control("BUTTON", "P", BS_AUTOCHECKBOX, 10, 40, 80, 20, 2);
    Click(15, 20);
    Click(15, 20);
    EXPECT_EQ(Notifications(notify), (std::vector<int>{BN_SETFOCUS, BN_CLICKED, BN_DBLCLK}));
    EXPECT_EQ(SendMessageA(notify, BM_GETCHECK, 0, 0), 1); // no second toggle
    Click(15, 50);
    Click(15, 50);
    EXPECT_EQ(Notifications(plain), (std::vector<int>{BN_CLICKED, BN_CLICKED}));
    EXPECT_EQ(SendMessageA(plain, BM_GETCHECK, 0, 0), 0);
    EXPECT_EQ(Notifications(notify).back(), BN_KILLFOCUS);
}

TEST_F(Button, SpaceClicksTheFocusedButton) {
    HWND box = Control("BUTTON", "", BS_AUTOCHECKBOX, 10, 10, 80, 20);
    SetFocus(box);
    platform::InjectKey(VK_SPACE, true);
    platform::InjectKey(VK_SPACE, true); // repeats press once
    Pump();
    EXPECT_EQ(SendMessageA(box, BM_GETSTATE, 0, 0), static_cast<LRESULT>(BST_PUSHED | BST_FOCUS));
    EXPECT_TRUE(Notifications(box).empty());
    platform::InjectKey(VK_SPACE, false);
    Pump();
    EXPECT_EQ(Notifications(box), std::vector<int>{BN_CLICKED});
    EXPECT_EQ(SendMessageA(box, BM_GETSTATE, 0, 0), static_cast<LRESULT>(BST_CHECKED | BST_FOCUS));
}

TEST_F(Button, AParentDestroyingTheButtonInItsHandlerIsSafe) {
    HWND box = Control("BUTTON", "", BS_AUTORADIOBUTTON | BS_NOTIFY, 10, 10, 80, 20);
    Recorder::answer = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_COMMAND && HIWORD(wParam) == BN_SETFOCUS) DestroyWindow(box);
        return std::nullopt;
    };
    Click(15, 20);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(GetCapture(), 0u);
    HWND push = Control("BUTTON", "", BS_PUSHBUTTON, 10, 40, 80, 20);
    Recorder::answer = [&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CTLCOLORBTN) DestroyWindow(push);
        return std::nullopt;
    };
    UpdateWindow(push);
    EXPECT_FALSE(IsWindow(push));
}

TEST_F(Button, OwnerDrawnButtonsAskTheParentAtEachChange) {
    HWND owner = Control("BUTTON", "", BS_OWNERDRAW, 10, 10, 80, 20, 9);
    std::vector<std::pair<UINT, UINT>> drawn; // action, state
    Recorder::answer = [&](HWND, UINT message, WPARAM wParam,
                           LPARAM lParam) -> std::optional<LRESULT> {
        if (message != WM_DRAWITEM) return std::nullopt;
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        EXPECT_EQ(wParam, 9u);
        EXPECT_EQ(item->CtlType, ODT_BUTTON);
        EXPECT_EQ(item->hwndItem, owner);
        EXPECT_EQ(item->rcItem.right, 80);
        drawn.emplace_back(item->itemAction, item->itemState);
        return TRUE;
    };
    Pump();
    InjectMouse(controls_test::kOrigin + 15, controls_test::kOrigin + 15, MouseEvent::LeftDown);
    Pump();
    InjectMouse(controls_test::kOrigin + 15, controls_test::kOrigin + 15, MouseEvent::LeftUp);
    Pump();
    using Step = std::pair<UINT, UINT>;
    EXPECT_EQ(drawn, (std::vector<Step>{{ODA_DRAWENTIRE, 0},
                                        {ODA_FOCUS, ODS_FOCUS},
                                        {ODA_SELECT, ODS_SELECTED | ODS_FOCUS},
                                        {ODA_SELECT, ODS_FOCUS}}));
    EXPECT_EQ(Notifications(owner), std::vector<int>{BN_CLICKED});
}

TEST_F(Button, GroupBoxesLetThePointerThroughAndNeverTakeFocus) {
    HWND group = Control("BUTTON", "Group", BS_GROUPBOX, 0, 0, 200, 120);
    EXPECT_EQ(SendMessageA(group, WM_NCHITTEST, 0, MAKELPARAM(110, 110)), HTTRANSPARENT);
    EXPECT_EQ(WindowFromPoint(POINT{110, 110}), parent);
    SendMessageA(group, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    EXPECT_NE(GetFocus(), group);
    EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(Button, PaintsTheClassicLook) {
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    Recorder::answer = [&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CTLCOLORBTN || message == WM_CTLCOLORSTATIC)
            return static_cast<LRESULT>(red);
        return std::nullopt;
    };
    HWND push = Control("BUTTON", "Push", BS_DEFPUSHBUTTON, 10, 10, 70, 24);
    HWND box = Control("BUTTON", "Check", BS_AUTOCHECKBOX, 100, 10, 90, 20);
    Control("BUTTON", "Group", BS_GROUPBOX, 10, 50, 180, 60);
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    Pump();
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = Pixels(width, height);
    // The push button keeps its colours: black default frame, white light, face inside.
    EXPECT_EQ(At(pixels, width, 10, 10), 0u);
    EXPECT_EQ(At(pixels, width, 11, 11), SysPixel(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(pixels, width, 14, 30), SysPixel(COLOR_BTNFACE));
    EXPECT_EQ(At(pixels, width, 78, 32), SysPixel(COLOR_3DDKSHADOW));
    // The check box fills with the parent's brush; its box is white with a check.
    EXPECT_EQ(At(pixels, width, 189, 12), 0xFF0000u);
    EXPECT_EQ(At(pixels, width, 100, 13), SysPixel(COLOR_BTNSHADOW));
    EXPECT_EQ(At(pixels, width, 103, 16), SysPixel(COLOR_WINDOW));
    // The group box: etched frame below half the caption, the inside left alone.
    EXPECT_EQ(At(pixels, width, 10, 100), SysPixel(COLOR_BTNSHADOW));
    EXPECT_EQ(At(pixels, width, 11, 100), SysPixel(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(pixels, width, 100, 90), SysPixel(COLOR_BTNFACE));
    EXPECT_EQ(At(pixels, width, 17, 55), 0xFF0000u); // the caption's gap: the parent's brush

    SetFocus(push);
    SendMessageA(push, BM_SETSTATE, TRUE, 0);
    Pump();
    pixels = Pixels(width, height);
    EXPECT_EQ(At(pixels, width, 11, 11), SysPixel(COLOR_BTNSHADOW)); // pressed: flat
    EXPECT_EQ(At(pixels, width, 12, 12), SysPixel(COLOR_BTNFACE));
    DeleteObject(red);
}

} // namespace
