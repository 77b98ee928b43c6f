#include <gtest/gtest.h>

#include "platform/controls/combo_box.h"
#include "platform/controls/controls_fixture.h"
#include "platform/controls/edit.h"
#include "platform/controls/list_box.h"

namespace {

using controls_test::ControlTest;
using controls_test::kOrigin;
using controls_test::Recorder;
using platform::InjectMouse;
using platform::MouseEvent;

class ComboBox : public ControlTest {
protected:
    static LRESULT Send(HWND combo, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(combo, message, wParam, lParam);
    }
    HWND Make(DWORD style, int height = 100) {
        HWND combo = Control("COMBOBOX", "", style, 10, 10, 120, height);
        for (const char* text : {"red", "green", "blue", "yellow"})
            Send(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        return combo;
    }
    static std::string Text(HWND window) {
        char text[64] = {};
        GetWindowTextA(window, text, sizeof text);
        return text;
    }
    static RECT Frame(HWND window) {
        RECT frame{};
        GetWindowRect(window, &frame);
        return frame;
    }
    // The dropped list: the window just below the combo box.
    static HWND DroppedList(HWND combo) {
        RECT frame = Frame(combo);
        return WindowFromPoint(POINT{frame.left + 5, frame.bottom + 5});
    }
};

TEST_F(ComboBox, AStyleWithoutTypeDropsDownBelowAFieldAsHighAsItself) {
    HWND combo = Make(0, 120);
    RECT frame = Frame(combo);
    int field = static_cast<int>(Send(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1)));
    EXPECT_EQ(frame.bottom - frame.top, field);
    HWND edit = GetDlgItem(combo, kComboEditId);
    ASSERT_NE(edit, 0u);
    EXPECT_EQ(Send(combo, CB_SETDROPPEDWIDTH, 50), 120); // never narrower than the control
    Send(combo, CB_SHOWDROPDOWN, TRUE);
    EXPECT_TRUE(Send(combo, CB_GETDROPPEDSTATE));
    HWND list = DroppedList(combo);
    ASSERT_NE(list, parent);
    RECT listFrame = Frame(list);
    EXPECT_EQ(listFrame.top, frame.bottom);
    EXPECT_LE(listFrame.bottom - listFrame.top, 120 - field);
    EXPECT_GT(listFrame.bottom - listFrame.top, 120 - field - 20);
    SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(Send(combo, CB_GETDROPPEDSTATE));
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(Notifications(combo), (std::vector<int>{CBN_DROPDOWN, CBN_CLOSEUP}));
    // Typing in the field tells the parent; CB_SETCURSEL fills the field quietly.
    Recorder::seen.clear();
    SendMessageA(edit, WM_CHAR, 'x', 0);
    EXPECT_EQ(Notifications(combo), std::vector<int>{CBN_EDITCHANGE});
    Recorder::seen.clear();
    Send(combo, CB_SETCURSEL, 2);
    EXPECT_EQ(Text(combo), "blue");
    EXPECT_TRUE(Notifications(combo).empty());
    EXPECT_EQ(Send(combo, CB_SETCURSEL, 9), CB_ERR);
    EXPECT_EQ(Text(combo), "");
}

TEST_F(ComboBox, ADropDownListOpensByMouseAndKeysAndAChoiceNotifiesOnce) {
    HWND combo = Make(CBS_DROPDOWNLIST);
    Send(combo, CB_SETCURSEL, 0);
    RECT frame = Frame(combo);
    InjectMouse(frame.left + 10, frame.top + 5, MouseEvent::LeftDown);
    InjectMouse(frame.left + 10, frame.top + 5, MouseEvent::LeftUp);
    Pump();
    ASSERT_TRUE(Send(combo, CB_GETDROPPEDSTATE));
    EXPECT_EQ(GetFocus(), combo);
    HWND list = DroppedList(combo);
    // The dropped list, owned by the top-level window, asks the combo box's parent.
    std::vector<HWND> asked;
    Recorder::answer = [&](HWND window, UINT message, WPARAM,
                           LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_CTLCOLORLISTBOX && static_cast<HWND>(lParam) == list)
            asked.push_back(window);
        return std::nullopt;
    };
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
    Recorder::answer = nullptr;
    EXPECT_EQ(asked, std::vector<HWND>{parent});
    RECT row{};
    SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
    POINT at{5, (row.top + row.bottom) / 2};
    ClientToScreen(list, &at);
    InjectMouse(at.x, at.y, MouseEvent::Move);
    InjectMouse(at.x, at.y, MouseEvent::LeftDown);
    InjectMouse(at.x, at.y, MouseEvent::LeftUp);
    Pump();
    EXPECT_FALSE(Send(combo, CB_GETDROPPEDSTATE));
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 2);
    EXPECT_EQ(Text(combo), "blue");
    std::vector<int> codes = Notifications(combo);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_SELCHANGE), 1);
    EXPECT_EQ(codes.back(), CBN_SELCHANGE);
    // Arrows in the closed field move the choice; F4 and Alt+Down open the list, a click
    // elsewhere closes it and keeps the choice.
    Recorder::seen.clear();
    Send(combo, WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(Text(combo), "yellow");
    Send(combo, WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(Notifications(combo), std::vector<int>{CBN_SELCHANGE});
    Send(combo, WM_KEYDOWN, VK_F1 + 3);
    EXPECT_TRUE(Send(combo, CB_GETDROPPEDSTATE));
    Send(combo, WM_KEYDOWN, VK_UP); // moves the highlight only
    InjectMouse(kOrigin + 190, kOrigin + 5, MouseEvent::LeftDown);
    InjectMouse(kOrigin + 190, kOrigin + 5, MouseEvent::LeftUp);
    Pump();
    EXPECT_FALSE(Send(combo, CB_GETDROPPEDSTATE));
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 3);
    Send(combo, WM_SYSKEYDOWN, VK_DOWN);
    EXPECT_TRUE(Send(combo, CB_GETDROPPEDSTATE));
    Send(combo, WM_KEYDOWN, VK_UP);
    Send(combo, WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(Text(combo), "blue");
    codes = Notifications(combo);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_SELCHANGE), 2);
}

TEST_F(ComboBox, ASimpleBoxShowsItsListBeneathAndPassesItsNotifications) {
    HWND combo = Make(CBS_SIMPLE, 100);
    EXPECT_EQ(Frame(combo).bottom - Frame(combo).top, 100);
    HWND list = GetDlgItem(combo, kComboListId);
    ASSERT_NE(list, 0u);
    EXPECT_TRUE(IsWindowVisible(list));
    RECT row{};
    SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    LPARAM at = MAKELPARAM(5, (row.top + row.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    EXPECT_EQ(Text(combo), "green");
    std::vector<int> codes = Notifications(combo);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_SELCHANGE), 1);
    EXPECT_EQ(codes.back(), CBN_DBLCLK);
    Send(combo, CB_SHOWDROPDOWN, TRUE);
    EXPECT_FALSE(Send(combo, CB_GETDROPPEDSTATE));
    // The field's colour question reaches the parent, about the field.
    Pump();
    std::vector<LPARAM> asked;
    Recorder::answer = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_CTLCOLOREDIT) asked.push_back(lParam);
        return std::nullopt;
    };
    InvalidateRect(GetDlgItem(combo, kComboEditId), nullptr, TRUE);
    Pump();
    Recorder::answer = nullptr;
    EXPECT_EQ(asked, std::vector<LPARAM>{static_cast<LPARAM>(GetDlgItem(combo, kComboEditId))});
}

TEST_F(ComboBox, AParentThatDestroysTheBoxWhileItOpensLeavesNoListBehind) {
    HWND combo = Make(CBS_DROPDOWNLIST);
    Recorder::answer = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_COMMAND && HIWORD(wParam) == CBN_DROPDOWN) DestroyWindow(combo);
        return std::nullopt;
    };
    RECT frame = Frame(combo);
    Send(combo, CB_SHOWDROPDOWN, TRUE);
    Recorder::answer = nullptr;
    EXPECT_FALSE(IsWindow(combo));
    EXPECT_EQ(WindowFromPoint(POINT{frame.left + 5, frame.bottom + 5}), parent);
    EXPECT_EQ(GetCapture(), 0u);
    HWND other = Make(CBS_DROPDOWN);
    Send(other, CB_SHOWDROPDOWN, TRUE);
    HWND list = DroppedList(other);
    DestroyWindow(other);
    EXPECT_FALSE(IsWindow(list));
}

TEST_F(ComboBox, FocusOnTheFieldIsTheComboBoxsFocusAndLeavingItClosesTheList) {
    HWND combo = Make(CBS_DROPDOWN);
    SetFocus(combo);
    EXPECT_EQ(GetFocus(), GetDlgItem(combo, kComboEditId));
    Send(combo, CB_SHOWDROPDOWN, TRUE);
    SetFocus(parent);
    EXPECT_FALSE(Send(combo, CB_GETDROPPEDSTATE));
    EXPECT_EQ(Notifications(combo),
              (std::vector<int>{CBN_SETFOCUS, CBN_DROPDOWN, CBN_CLOSEUP, CBN_KILLFOCUS}));
    HWND list = Make(CBS_DROPDOWNLIST);
    SetFocus(list);
    SetFocus(parent);
    EXPECT_EQ(Notifications(list), (std::vector<int>{CBN_SETFOCUS, CBN_KILLFOCUS}));
}

TEST_F(ComboBox, TheDroppedListsScrollBarScrollsItAndTheWheelMovesTheChoice) {
    HWND combo = Make(CBS_DROPDOWNLIST, 90);
    for (int n = 0; n < 20; ++n) {
        std::string text = "more " + std::to_string(n);
        Send(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SetFocus(combo);
    Send(combo, CB_SHOWDROPDOWN, TRUE);
    HWND list = DroppedList(combo);
    RECT listFrame = Frame(list);
    Recorder::seen.clear();
    for (int press = 0; press < 2; ++press) {
        InjectMouse(listFrame.right - 3, listFrame.bottom - 3, MouseEvent::LeftDown);
        Pump();
        InjectMouse(listFrame.right - 3, listFrame.bottom - 3, MouseEvent::LeftUp);
        Pump();
    }
    EXPECT_EQ(Send(combo, CB_GETTOPINDEX), 2);
    EXPECT_TRUE(Send(combo, CB_GETDROPPEDSTATE));
    EXPECT_EQ(GetCapture(), combo);
    // The wheel scrolls the open list and chooses nothing.
    InjectMouse(listFrame.left + 5, listFrame.top + 5, MouseEvent::Wheel, -WHEEL_DELTA);
    Pump();
    EXPECT_EQ(Send(combo, CB_GETTOPINDEX), 5);
    EXPECT_TRUE(Notifications(combo).empty());
    // A choice still closes it.
    RECT row{};
    SendMessageA(list, LB_GETITEMRECT, 6, reinterpret_cast<LPARAM>(&row));
    POINT at{5, (row.top + row.bottom) / 2};
    ClientToScreen(list, &at);
    InjectMouse(at.x, at.y, MouseEvent::LeftDown);
    InjectMouse(at.x, at.y, MouseEvent::LeftUp);
    Pump();
    EXPECT_FALSE(Send(combo, CB_GETDROPPEDSTATE));
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 6);
    // On the closed field each notch moves the choice by one and tells the parent.
    Recorder::seen.clear();
    InjectMouse(listFrame.left + 5, listFrame.top - 5, MouseEvent::Wheel, -2 * WHEEL_DELTA);
    Pump();
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 8);
    InjectMouse(listFrame.left + 5, listFrame.top - 5, MouseEvent::Wheel, WHEEL_DELTA);
    Pump();
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 7);
    EXPECT_EQ(Notifications(combo), (std::vector<int>{CBN_SELCHANGE, CBN_SELCHANGE}));
}

} // namespace
