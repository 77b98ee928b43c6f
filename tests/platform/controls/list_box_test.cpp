#include <gtest/gtest.h>

#include <random>

#include "platform/controls/controls_fixture.h"
#include "platform/controls/list_box.h"
#include "platform/controls/text_case.h"

namespace {

using controls_test::ControlTest;
using controls_test::Recorder;

class ListBox : public ControlTest {
protected:
    static LRESULT Send(HWND box, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(box, message, wParam, lParam);
    }
    static LRESULT Add(HWND box, const std::string& text) {
        return Send(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    static std::string Item(HWND box, int index) {
        std::string text(static_cast<size_t>(Send(box, LB_GETTEXTLEN, index)) + 1, '\0');
        Send(box, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        text.pop_back();
        return text;
    }
    static std::vector<int> SelectedItems(HWND box) {
        std::vector<int> items(static_cast<size_t>(Send(box, LB_GETCOUNT)));
        items.resize(static_cast<size_t>(
            Send(box, LB_GETSELITEMS, items.size(), reinterpret_cast<LPARAM>(items.data()))));
        return items;
    }
    // The modifiers go through the queue, where GetKeyState reads them.
    static void Press(HWND box, int key, bool shift = false, bool ctrl = false) {
        if (GetFocus() != box) SetFocus(box);
        if (shift) platform::InjectKey(VK_SHIFT, true);
        if (ctrl) platform::InjectKey(VK_CONTROL, true);
        Pump();
        Send(box, WM_KEYDOWN, static_cast<WPARAM>(key));
        if (shift) platform::InjectKey(VK_SHIFT, false);
        if (ctrl) platform::InjectKey(VK_CONTROL, false);
        Pump();
    }
    // A click on the item's row, through the message, with the modifiers given.
    static void ClickItem(HWND box, int index, WPARAM keys = 0) {
        RECT row{};
        Send(box, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row));
        LPARAM at = MAKELPARAM(5, (row.top + row.bottom) / 2);
        Send(box, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
        Send(box, WM_LBUTTONUP, keys, at);
    }
};

TEST_F(ListBox, SortedAdditionsMatchAReferenceSortAndAreFoundAgain) {
    HWND box = Control("LISTBOX", "", LBS_SORT | LBS_NOINTEGRALHEIGHT, 10, 10, 100, 100);
    std::mt19937 random(31);
    std::vector<std::string> texts;
    for (int n = 0; n < 10000; ++n) {
        std::string text;
        for (int length = 1 + static_cast<int>(random() % 6); length > 0; --length) {
            const char letters[] = "aAbBzZ\xE9\xC9\x9A\x8A_ ";
            text += letters[random() % (sizeof letters - 1)];
        }
        texts.push_back(text);
        ASSERT_GE(Add(box, text), 0);
    }
    std::vector<std::string> reference = texts;
    std::stable_sort(reference.begin(), reference.end(), [](const auto& a, const auto& b) {
        return platform::CompareIgnoringCase(a, b) < 0;
    });
    ASSERT_EQ(Send(box, LB_GETCOUNT), 10000);
    for (int i = 0; i < 10000; i += 7)
        ASSERT_EQ(platform::CompareIgnoringCase(Item(box, i), reference[static_cast<size_t>(i)]),
                  0);
    for (int i = 0; i < 300; ++i) {
        const std::string& text = texts[static_cast<size_t>(i)];
        auto found = static_cast<int>(Send(box, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(text.c_str())));
        ASSERT_GE(found, 0);
        EXPECT_EQ(platform::CompareIgnoringCase(Item(box, found), text), 0);
    }
    // Inserting never sorts; -1 is the end.
    Send(box, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zzzz"));
    Send(box, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("AAAA"));
    EXPECT_EQ(Item(box, 0), "zzzz");
    EXPECT_EQ(Item(box, 10001), "AAAA");
    EXPECT_EQ(Send(box, LB_INSERTSTRING, 20000, reinterpret_cast<LPARAM>("x")), LB_ERR);
}

TEST_F(ListBox, FindingWrapsFromTheStartAndOutOfRangeIndexesAreRefused) {
    HWND box = Control("LISTBOX", "", 0, 10, 10, 100, 100);
    for (const char* text : {"apple", "Banana", "apricot", "band"})
        Add(box, text);
    auto find = [&](UINT message, int start, const char* text) {
        return Send(box, message, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text));
    };
    EXPECT_EQ(find(LB_FINDSTRING, -1, "AP"), 0);
    EXPECT_EQ(find(LB_FINDSTRING, 0, "ap"), 2);
    EXPECT_EQ(find(LB_FINDSTRING, 2, "ap"), 0); // wraps
    EXPECT_EQ(find(LB_FINDSTRING, 99, "ban"), 1);
    EXPECT_EQ(find(LB_FINDSTRINGEXACT, -1, "ban"), LB_ERR);
    EXPECT_EQ(find(LB_FINDSTRINGEXACT, -1, "BAND"), 3);
    EXPECT_EQ(find(LB_SELECTSTRING, -1, "bana"), 1);
    EXPECT_EQ(Send(box, LB_GETCURSEL), 1);
    for (UINT message : {LB_GETTEXTLEN, LB_GETITEMDATA, LB_GETSEL, LB_DELETESTRING,
                         LB_SETCARETINDEX, LB_SETTOPINDEX})
        for (int index : {-1, 4, 1 << 20})
            EXPECT_EQ(Send(box, message, static_cast<WPARAM>(index)), LB_ERR) << message;
    char buffer[8] = "unused";
    EXPECT_EQ(Send(box, LB_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), LB_ERR);
    EXPECT_STREQ(buffer, "unused");
    EXPECT_EQ(Send(box, LB_SETITEMDATA, 2, 1234), LB_OKAY);
    EXPECT_EQ(Send(box, LB_GETITEMDATA, 2), 1234);
    // A single-selection box has no selection list.
    int items[4];
    EXPECT_EQ(Send(box, LB_GETSELCOUNT), LB_ERR);
    EXPECT_EQ(Send(box, LB_GETSELITEMS, 4, reinterpret_cast<LPARAM>(items)), LB_ERR);
    EXPECT_EQ(Send(box, LB_SETSEL, TRUE, 0), LB_ERR);
    EXPECT_EQ(Send(box, LB_DELETESTRING, 1), 3);
    EXPECT_EQ(Send(box, LB_GETCURSEL), LB_ERR);
    EXPECT_TRUE(Notifications(box).empty());
}

TEST_F(ListBox, SingleSelectionByMouseAndKeysNotifiesOnlyTheUsersChanges) {
    HWND box = Control("LISTBOX", "", LBS_NOTIFY, 10, 10, 100, 100);
    for (int n = 0; n < 20; ++n)
        Add(box, "item " + std::to_string(n));
    Send(box, LB_SETCURSEL, 3);
    EXPECT_TRUE(Notifications(box).empty());
    ClickItem(box, 1);
    EXPECT_EQ(Send(box, LB_GETCURSEL), 1);
    ClickItem(box, 1); // the same item again changes nothing
    Press(box, VK_DOWN);
    EXPECT_EQ(Send(box, LB_GETCURSEL), 2);
    Press(box, VK_END);
    EXPECT_EQ(Send(box, LB_GETCURSEL), 19);
    EXPECT_GT(Send(box, LB_GETTOPINDEX), 0);
    Send(box, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(Notifications(box), (std::vector<int>{LBN_SETFOCUS, LBN_SELCHANGE, LBN_SELCHANGE,
                                                    LBN_SELCHANGE, LBN_DBLCLK}));
}

TEST_F(ListBox, MultipleAndExtendedSelectionsFollowTheirModifiers) {
    HWND multiple = Control("LISTBOX", "", LBS_NOTIFY | LBS_MULTIPLESEL, 10, 10, 80, 100);
    HWND extended = Control("LISTBOX", "", LBS_NOTIFY | LBS_EXTENDEDSEL, 100, 10, 80, 100, 8);
    for (HWND box : {multiple, extended})
        for (int n = 0; n < 6; ++n)
            Add(box, std::to_string(n));
    ClickItem(multiple, 1);
    ClickItem(multiple, 3);
    ClickItem(multiple, 1);
    EXPECT_EQ(SelectedItems(multiple), std::vector<int>{3});
    for (int n = 0; n < 3; ++n)
        Press(multiple, VK_DOWN);
    Press(multiple, VK_SPACE);
    EXPECT_EQ(SelectedItems(multiple), (std::vector<int>{3, 4}));
    EXPECT_EQ(Send(multiple, LB_GETCARETINDEX), 4);
    EXPECT_EQ(Notifications(multiple).size(), 5u); // focus, and four changes

    ClickItem(extended, 1);
    ClickItem(extended, 3, MK_SHIFT);
    EXPECT_EQ(SelectedItems(extended), (std::vector<int>{1, 2, 3}));
    ClickItem(extended, 5, MK_CONTROL);
    EXPECT_EQ(SelectedItems(extended), (std::vector<int>{1, 2, 3, 5}));
    ClickItem(extended, 0);
    EXPECT_EQ(SelectedItems(extended), std::vector<int>{0});
    Press(extended, VK_DOWN, true);
    Press(extended, VK_DOWN, true);
    EXPECT_EQ(SelectedItems(extended), (std::vector<int>{0, 1, 2}));
    // Messages select quietly; -1 is every item; the buffer bounds what is written.
    Recorder::seen.clear();
    EXPECT_EQ(Send(extended, LB_SETSEL, TRUE, static_cast<LPARAM>(-1)), LB_OKAY);
    EXPECT_EQ(Send(extended, LB_GETSELCOUNT), 6);
    Send(extended, LB_SELITEMRANGE, FALSE, MAKELPARAM(1, 4));
    int two[3] = {-7, -7, -7};
    EXPECT_EQ(Send(extended, LB_GETSELITEMS, 2, reinterpret_cast<LPARAM>(two)), 2);
    EXPECT_EQ(two[0], 0);
    EXPECT_EQ(two[1], 5);
    EXPECT_EQ(two[2], -7);
    EXPECT_TRUE(Notifications(extended).empty());
}

TEST_F(ListBox, HeightShrinksToWholeItemsAndPointsOutsideAreFlagged) {
    HWND box = Control("LISTBOX", "", 0, 10, 10, 80, 100);
    int height = static_cast<int>(Send(box, LB_GETITEMHEIGHT));
    RECT client{};
    GetClientRect(box, &client);
    EXPECT_EQ(client.bottom % height, 0);
    EXPECT_GT(client.bottom, 100 - height);
    HWND loose = Control("LISTBOX", "", LBS_NOINTEGRALHEIGHT, 100, 10, 80, 100, 8);
    GetClientRect(loose, &client);
    EXPECT_EQ(client.bottom, 100);
    EXPECT_EQ(Send(box, LB_SETITEMHEIGHT, 0, MAKELPARAM(30, 0)), LB_OKAY);
    GetClientRect(box, &client);
    EXPECT_EQ(client.bottom % 30, 0);
    for (int n = 0; n < 2; ++n)
        Add(box, "x");
    EXPECT_EQ(Send(box, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 35)), MAKELONG(1, 0));
    EXPECT_EQ(Send(box, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 75)), MAKELONG(1, 1));
    EXPECT_EQ(Send(box, LB_ITEMFROMPOINT, 0, MAKELPARAM(500, 5)), MAKELONG(0, 1));
    EXPECT_EQ(Send(box, LB_SETITEMHEIGHT, 0, MAKELPARAM(0, 0)), LB_ERR);
}

TEST_F(ListBox, SelectedItemsAndTabStopsAreDrawnInPlace) {
    HWND box = Control("LISTBOX", "", LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT, 10, 10, 150, 60);
    Add(box, "a\tb");
    Add(box, "second");
    int stop = 20; // dialog units: 40 pixels with the 8-pixel average of the GUI font
    Send(box, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
    Send(box, LB_SETCURSEL, 1);
    Pump();
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = Pixels(width, height);
    int item = static_cast<int>(Send(box, LB_GETITEMHEIGHT));
    EXPECT_EQ(At(pixels, width, 150, 10 + item + item / 2),
              controls_test::SysPixel(COLOR_HIGHLIGHT));
    EXPECT_EQ(At(pixels, width, 150, 10 + item / 2), controls_test::SysPixel(COLOR_WINDOW));
    // The "b" after the tab starts at the stop, not right after the "a".
    auto inked = [&](int left, int right) {
        for (int y = 10; y < 10 + item; ++y)
            for (int x = left; x < right; ++x)
                if (At(pixels, width, x, y) != controls_test::SysPixel(COLOR_WINDOW)) return true;
        return false;
    };
    TEXTMETRICA metrics{};
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    int tab = 10 + 2 + 20 * metrics.tmAveCharWidth / 4;
    EXPECT_TRUE(inked(12, 20));
    EXPECT_FALSE(inked(22, tab - 1));
    EXPECT_TRUE(inked(tab, tab + 8));
}

TEST_F(ListBox, ScrollBarPressesEndWithTheirButtonAndTheWheelScrollsThreeItems) {
    HWND box = Control("LISTBOX", "", LBS_NOTIFY | WS_VSCROLL, 10, 10, 100, 100);
    for (int n = 0; n < 30; ++n)
        Add(box, "item " + std::to_string(n));
    RECT frame{};
    GetWindowRect(box, &frame);
    for (int press = 0; press < 2; ++press)
        SlowClick(frame.right - 3 - controls_test::kOrigin,
                  frame.bottom - 3 - controls_test::kOrigin);
    EXPECT_EQ(Send(box, LB_GETTOPINDEX), 2);
    EXPECT_EQ(GetCapture(), 0u);
    SetFocus(box);
    platform::InjectMouse(frame.left + 5, frame.top + 5, platform::MouseEvent::Wheel,
                          -2 * WHEEL_DELTA);
    Pump();
    EXPECT_EQ(Send(box, LB_GETTOPINDEX), 8);
    platform::InjectMouse(frame.left + 5, frame.top + 5, platform::MouseEvent::Wheel,
                          10 * WHEEL_DELTA);
    Pump();
    EXPECT_EQ(Send(box, LB_GETTOPINDEX), 0);
    EXPECT_EQ(Notifications(box), std::vector<int>{LBN_SETFOCUS}); // scrolling selects nothing
}

TEST_F(ListBox, APressThatLosesThePointerBeforeItsButtonGoesUpIsCancelled) {
    HWND box = Control("LISTBOX", "", LBS_NOTIFY, 10, 10, 100, 100);
    HWND quiet = Control("LISTBOX", "", 0, 120, 10, 60, 100, 8);
    for (HWND each : {box, quiet})
        for (int n = 0; n < 5; ++n)
            Add(each, "item " + std::to_string(n));
    ClickItem(box, 1);
    EXPECT_EQ(Notifications(box), (std::vector<int>{LBN_SETFOCUS, LBN_SELCHANGE}));
    Recorder::seen.clear();
    auto pressAndLose = [&](HWND each) {
        Send(each, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SetCapture(parent);
        ReleaseCapture();
    };
    pressAndLose(box);
    EXPECT_EQ(Notifications(box), (std::vector<int>{LBN_SELCHANGE, LBN_SELCANCEL}));
    EXPECT_EQ(Send(box, LB_GETCURSEL), 0); // what was chosen stays
    pressAndLose(quiet);
    EXPECT_EQ(Notifications(quiet), std::vector<int>{LBN_SETFOCUS}); // without LBS_NOTIFY
}

} // namespace
