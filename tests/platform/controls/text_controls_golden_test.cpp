// The text controls' looks against reference pictures in golden/, drawn with the pinned font
// set: normal, focused, selected, disabled and read-only edits, list boxes and combo boxes, a
// list with tab stops and a dropped combo list. The clock stands still, so the caret shows.
// ZORV_WRITE_PICTURES=1 writes the pictures anew.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/controls/combo_box.h"
#include "platform/controls/controls_fixture.h"
#include "platform/controls/edit.h"
#include "platform/controls/list_box.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/text/font_pinned_set.h"
#include "support/golden_picture.h"

namespace {

namespace headless = platform::headless;

class TextControlGolden : public controls_test::ControlTest {
protected:
    void SetUp() override {
        headless::Install();
        dir.WriteFile("fonts/.keep", "");
        for (const char* name : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"})
            Link(font_test::LIBERATION_FOLDER, name);
        for (const char* name : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"})
            Link(font_test::DEJAVU_FOLDER, name);
        font_test::PinFolders(dir, font_test::Dir(dir.Linux("fonts")));
        ControlTest::SetUp();
        platform::test::FreezeClock(1000);
        SetWindowPos(parent, 0, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void TearDown() override {
        ControlTest::TearDown();
        platform::test::UseFontConfigFile("");
    }
    void Link(const std::string& folder, const std::string& name) {
        ASSERT_TRUE(std::filesystem::exists(folder + "/" + name)) << folder << "/" << name;
        std::filesystem::create_symlink(folder + "/" + name, dir.Linux("fonts/" + name));
    }
    static void Check(const std::string& name, HWND window) {
        Pump();
        headless::Pixels drawn;
        ASSERT_TRUE(headless::ReadWholePixels(window, drawn)) << name;
        test_support::ExpectLikeGolden(
            std::filesystem::path(__FILE__).parent_path() / "golden" / name, drawn);
    }
    static void Fill(HWND box, UINT message, std::initializer_list<const char*> texts) {
        for (const char* text : texts)
            SendMessageA(box, message, 0, reinterpret_cast<LPARAM>(text));
    }

    test_support::TempDir dir;
};

TEST_F(TextControlGolden, EditLooks) {
    Control("EDIT", "Normal text", WS_BORDER | ES_AUTOHSCROLL, 10, 10, 130, 20, 1);
    HWND focused =
        Control("EDIT", "Focused, selected", WS_BORDER | ES_AUTOHSCROLL, 10, 40, 130, 20, 2);
    HWND disabled = Control("EDIT", "Disabled", WS_BORDER | ES_AUTOHSCROLL, 10, 70, 130, 20, 3);
    Control("EDIT", "Read-only", WS_BORDER | ES_READONLY | ES_AUTOHSCROLL, 10, 100, 130, 20, 4);
    Control("EDIT", "secret", WS_BORDER | ES_PASSWORD, 10, 130, 130, 20, 5);
    Control("EDIT", "Centred", WS_BORDER | ES_CENTER, 10, 160, 130, 20, 6);
    HWND wrapped =
        Control("EDIT",
                "Several words that wrap\r\nover lines, with a\tTab and a "
                "selection kept while unfocused",
                WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_NOHIDESEL, 150, 10, 140, 170, 7);
    EnableWindow(disabled, FALSE);
    SendMessageA(wrapped, EM_SETSEL, 30, 60);
    SendMessageA(focused, EM_SETSEL, 9, 17);
    SetFocus(focused);
    Check("text_edit_looks.png", parent);
}

TEST_F(TextControlGolden, ListBoxLooks) {
    HWND single = Control("LISTBOX", "", WS_BORDER | WS_VSCROLL, 10, 10, 90, 80, 1);
    Fill(single, LB_ADDSTRING, {"apple", "banana", "cherry", "damson", "elder", "fig", "grape"});
    SendMessageA(single, LB_SETCURSEL, 1, 0);
    HWND extended = Control("LISTBOX", "", WS_BORDER | LBS_EXTENDEDSEL, 110, 10, 80, 80, 2);
    Fill(extended, LB_ADDSTRING, {"one", "two", "three", "four"});
    SendMessageA(extended, LB_SELITEMRANGE, TRUE, MAKELPARAM(1, 2));
    SendMessageA(extended, LB_SETCARETINDEX, 3, 0);
    SetFocus(extended);
    HWND disabled = Control("LISTBOX", "", WS_BORDER, 200, 10, 90, 80, 3);
    Fill(disabled, LB_ADDSTRING, {"greyed", "chosen"});
    SendMessageA(disabled, LB_SETCURSEL, 1, 0);
    EnableWindow(disabled, FALSE);
    HWND tabs = Control("LISTBOX", "", WS_BORDER | LBS_USETABSTOPS, 10, 100, 280, 80, 4);
    Fill(tabs, LB_ADDSTRING, {"Name\tSize\tKind", "readme.txt\t12\tText", "logo.png\t2048\tImage"});
    int stops[] = {60, 110};
    SendMessageA(tabs, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops));
    Check("text_list_box_looks.png", parent);
}

TEST_F(TextControlGolden, ComboBoxLooksAndADroppedList) {
    HWND dropDown = Control("COMBOBOX", "Typed", CBS_DROPDOWN, 10, 10, 130, 100, 1);
    HWND dropList = Control("COMBOBOX", "", CBS_DROPDOWNLIST, 10, 45, 130, 100, 2);
    HWND disabled = Control("COMBOBOX", "", CBS_DROPDOWNLIST, 10, 80, 130, 100, 3);
    HWND simple = Control("COMBOBOX", "", CBS_SIMPLE, 150, 10, 140, 120, 4);
    for (HWND combo : {dropDown, dropList, disabled, simple})
        Fill(combo, CB_ADDSTRING, {"red", "green", "blue", "cyan", "magenta", "yellow", "black"});
    SendMessageA(dropList, CB_SETCURSEL, 2, 0);
    SendMessageA(disabled, CB_SETCURSEL, 0, 0);
    SendMessageA(simple, CB_SETCURSEL, 1, 0);
    EnableWindow(disabled, FALSE);
    SetFocus(dropList);
    Check("text_combo_box_looks.png", parent);
    SendMessageA(dropList, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageA(dropList, WM_KEYDOWN, VK_DOWN, 0);
    RECT frame{};
    GetWindowRect(dropList, &frame);
    HWND list = WindowFromPoint(POINT{frame.left + 5, frame.bottom + 5});
    ASSERT_NE(list, parent);
    Check("text_combo_dropped_list.png", list);
}

} // namespace
