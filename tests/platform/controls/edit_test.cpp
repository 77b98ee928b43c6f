#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "platform/controls/clipboard_text.h"
#include "platform/controls/controls_fixture.h"
#include "platform/controls/edit.h"
#include "platform/user/input/caret.h"

namespace {

using controls_test::ControlTest;
using controls_test::Recorder;
using platform::InjectMouse;
using platform::MouseEvent;

class Edit : public ControlTest {
protected:
    static LRESULT Send(HWND edit, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(edit, message, wParam, lParam);
    }
    static void Type(HWND edit, const std::string& text) {
        for (unsigned char c : text)
            Send(edit, WM_CHAR, c);
    }
    // The modifiers go through the queue, where GetKeyState reads them.
    static void Press(HWND edit, int key, bool shift = false, bool ctrl = false) {
        if (GetFocus() != edit) SetFocus(edit);
        if (shift) platform::InjectKey(VK_SHIFT, true);
        if (ctrl) platform::InjectKey(VK_CONTROL, true);
        Pump();
        Send(edit, WM_KEYDOWN, static_cast<WPARAM>(key));
        if (shift) platform::InjectKey(VK_SHIFT, false);
        if (ctrl) platform::InjectKey(VK_CONTROL, false);
        Pump();
    }
    static std::string Text(HWND edit) {
        std::string text(static_cast<size_t>(Send(edit, WM_GETTEXTLENGTH)) + 1, '\0');
        text.resize(static_cast<size_t>(
            Send(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
        return text;
    }
    static std::pair<DWORD, DWORD> Selection(HWND edit) {
        DWORD start = 99, end = 99;
        Send(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    static int Count(const std::vector<int>& codes, int code) {
        return static_cast<int>(std::count(codes.begin(), codes.end(), code));
    }
};

TEST_F(Edit, TypingConvertsCaseAndStopsAtTheLimitWithOneMaxText) {
    HWND upper = Control("EDIT", "", ES_UPPERCASE | ES_AUTOHSCROLL, 10, 10, 150, 20);
    Send(upper, EM_LIMITTEXT, 5);
    EXPECT_EQ(Send(upper, EM_GETLIMITTEXT), 5);
    Type(upper, "ab\xE9\x9A");
    EXPECT_EQ(Text(upper), "AB\xC9\x8A");
    Recorder::seen.clear();
    platform::PutClipboardText("xyz");
    Send(upper, WM_PASTE);
    EXPECT_EQ(Text(upper), "AB\xC9\x8AX"); // what fits is kept
    EXPECT_EQ(Notifications(upper), (std::vector<int>{EN_MAXTEXT, EN_CHANGE}));
    Recorder::seen.clear();
    Type(upper, "q");
    EXPECT_EQ(Notifications(upper), (std::vector<int>{EN_MAXTEXT}));
    EXPECT_EQ(Text(upper), "AB\xC9\x8AX");
    HWND lower = Control("EDIT", "", ES_LOWERCASE, 10, 40, 150, 20, 8);
    Type(lower, "\xC0Z");
    Send(lower, WM_CHAR, 0x20AC + 0x10000); // outside Windows-1252
    EXPECT_EQ(Text(lower), "\xE0z?");
    for (WPARAM maximum : {WPARAM{0}, static_cast<WPARAM>(-1)}) {
        Send(lower, EM_LIMITTEXT, maximum);
        EXPECT_EQ(Send(lower, EM_GETLIMITTEXT), kEditMaximumLimit);
    }
    EXPECT_EQ(Send(Control("EDIT", "", 0, 10, 70, 50, 20, 9), EM_GETLIMITTEXT), kEditDefaultLimit);
    // Without ES_AUTOHSCROLL a single line takes no more than it shows.
    HWND narrow = Control("EDIT", "", 0, 10, 100, 40, 20, 10);
    Recorder::seen.clear();
    Type(narrow, std::string(50, 'w'));
    auto kept = static_cast<int>(Send(narrow, WM_GETTEXTLENGTH));
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, 10);
    EXPECT_EQ(Count(Notifications(narrow), EN_CHANGE), kept);
    EXPECT_EQ(Count(Notifications(narrow), EN_MAXTEXT), 50 - kept);
    HWND wide = Control("EDIT", "", ES_AUTOHSCROLL, 10, 130, 40, 20, 11);
    Type(wide, std::string(50, 'w'));
    EXPECT_EQ(Send(wide, WM_GETTEXTLENGTH), 50);
}

TEST_F(Edit, SelectionMessagesKeepTheirEdgeMeanings) {
    HWND edit = Control("EDIT", "hello world", ES_AUTOHSCROLL, 10, 10, 150, 20);
    Send(edit, EM_SETSEL, 8, 2); // backwards: the caret at 2
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{2}, DWORD{8}));
    EXPECT_EQ(Send(edit, EM_GETSEL), MAKELONG(2, 8));
    Send(edit, EM_SETSEL, static_cast<WPARAM>(-1), 2); // collapse where the script inserts
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{2}, DWORD{2}));
    Send(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("<>"));
    EXPECT_EQ(Text(edit), "he<>llo world");
    Send(edit, EM_SETSEL, 0, static_cast<LPARAM>(-1));
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{0}, DWORD{13}));
    Send(edit, EM_SETSEL, 3, 5);
    Send(edit, EM_SETSEL, static_cast<WPARAM>(-1), static_cast<LPARAM>(-1));
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{5}, DWORD{5}));
    Send(edit, EM_SETSEL, 4, 1000);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{4}, DWORD{13}));
    EXPECT_TRUE(Notifications(edit) == std::vector<int>{EN_CHANGE}); // only the replacement
    // Past 65,535 the packed answer is -1 but the pointers get the whole values.
    std::string longText(70000, 'x');
    SetWindowTextA(edit, longText.c_str());
    Send(edit, EM_SETSEL, 1, 69999);
    EXPECT_EQ(Send(edit, EM_GETSEL), -1);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{1}, DWORD{69999}));
}

TEST_F(Edit, KeysMoveExtendAndDeleteTreatingLineBreaksAsOneStep) {
    HWND edit = Control("EDIT", "ab cd\r\nef", ES_MULTILINE | ES_AUTOHSCROLL, 10, 10, 150, 60);
    Press(edit, VK_END, false, true);
    EXPECT_EQ(Selection(edit).first, 9u);
    Press(edit, VK_HOME);
    EXPECT_EQ(Selection(edit).first, 7u);
    Press(edit, VK_LEFT, true);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{5}, DWORD{7}));
    Press(edit, VK_LEFT, true, true);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{3}, DWORD{7}));
    Press(edit, VK_RIGHT); // collapses to the selection's end
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{7}, DWORD{7}));
    Send(edit, WM_CHAR, 8);
    EXPECT_EQ(Text(edit), "ab cdef");
    Send(edit, WM_CHAR, 13);
    EXPECT_EQ(Text(edit), "ab cd\r\nef");
    Press(edit, VK_UP);
    EXPECT_EQ(Selection(edit).first, 0u);
    Press(edit, VK_END);
    Press(edit, VK_DELETE);
    EXPECT_EQ(Text(edit), "ab cdef");
    Send(edit, WM_CHAR, 9);
    EXPECT_EQ(Text(edit), "ab cd\tef");
    HWND single = Control("EDIT", "x", 0, 10, 80, 150, 20, 8);
    Send(single, EM_SETSEL, 1, 1);
    Send(single, WM_CHAR, 9);
    Send(single, WM_CHAR, 13);
    EXPECT_EQ(Text(single), "x");
}

TEST_F(Edit, ClipboardAndUndoRoundTripsWithPasswordAndReadOnlyLimits) {
    HWND edit = Control("EDIT", "copy me", ES_AUTOHSCROLL, 10, 10, 150, 20);
    Send(edit, EM_SETSEL, 0, 4);
    Send(edit, WM_CHAR, 24); // Ctrl+X
    EXPECT_EQ(Text(edit), " me");
    EXPECT_EQ(platform::ClipboardText(), "copy");
    Send(edit, EM_SETSEL, 3, 3);
    Send(edit, WM_CHAR, 22); // Ctrl+V
    EXPECT_EQ(Text(edit), " mecopy");
    EXPECT_TRUE(Send(edit, EM_CANUNDO));
    Send(edit, WM_CHAR, 26); // Ctrl+Z undoes the paste
    EXPECT_EQ(Text(edit), " me");
    Send(edit, WM_UNDO); // and again redoes it
    EXPECT_EQ(Text(edit), " mecopy");
    Send(edit, EM_SETSEL, 7, 7);
    Type(edit, "ab");
    EXPECT_EQ(Text(edit), " mecopyab");
    Send(edit, EM_UNDO); // typing is one step, apart from the paste before it
    EXPECT_EQ(Text(edit), " mecopy");
    Send(edit, EM_EMPTYUNDOBUFFER);
    EXPECT_FALSE(Send(edit, EM_CANUNDO));
    EXPECT_FALSE(Send(edit, EM_UNDO));

    HWND password = Control("EDIT", "secret", ES_PASSWORD, 10, 40, 150, 20, 8);
    Send(password, EM_SETSEL, 0, -1);
    Send(password, WM_COPY);
    Send(password, WM_CUT);
    EXPECT_EQ(platform::ClipboardText(), "copy");
    EXPECT_EQ(Text(password), "secret");

    HWND readOnly = Control("EDIT", "fixed", ES_READONLY, 10, 70, 150, 20, 9);
    Send(readOnly, EM_SETSEL, 0, 3);
    Type(readOnly, "zz");
    Send(readOnly, WM_PASTE);
    Send(readOnly, WM_CHAR, 8);
    Press(readOnly, VK_DELETE);
    Send(readOnly, WM_CHAR, 3);
    EXPECT_EQ(Text(readOnly), "fixed");
    EXPECT_EQ(platform::ClipboardText(), "fix");
    Send(readOnly, EM_SETREADONLY, FALSE);
    Type(readOnly, "!");
    EXPECT_EQ(Text(readOnly), "!ed");
}

TEST_F(Edit, LineMessagesAnswerEdgeArgumentsWithinTheirBounds) {
    HWND edit =
        Control("EDIT", "first\r\n\r\nthird line", ES_MULTILINE | ES_AUTOHSCROLL, 10, 10, 150, 60);
    EXPECT_EQ(Send(edit, EM_GETLINECOUNT), 3);
    EXPECT_EQ(Send(edit, EM_LINEINDEX, 2), 9);
    EXPECT_EQ(Send(edit, EM_LINEINDEX, 3), -1);
    Send(edit, EM_SETSEL, 8, 8);
    EXPECT_EQ(Send(edit, EM_LINEINDEX, static_cast<WPARAM>(-1)), 7);
    EXPECT_EQ(Send(edit, EM_LINEFROMCHAR, 6), 0);
    EXPECT_EQ(Send(edit, EM_LINEFROMCHAR, 500), 2);
    EXPECT_EQ(Send(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(-1)), 1);
    EXPECT_EQ(Send(edit, EM_LINELENGTH, 1), 5);
    EXPECT_EQ(Send(edit, EM_LINELENGTH, 7), 0);
    Send(edit, EM_SETSEL, 2, 11);
    EXPECT_EQ(Send(edit, EM_LINELENGTH, static_cast<WPARAM>(-1)), 2 + 8);
    // EM_GETLINE copies no more than the size in its first word, without a terminator.
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    WORD size = 4;
    std::memcpy(buffer, &size, sizeof size);
    EXPECT_EQ(Send(edit, EM_GETLINE, 2, reinterpret_cast<LPARAM>(buffer)), 4);
    EXPECT_EQ(std::string(buffer, 6), "thir##");
    size = 15;
    std::memcpy(buffer, &size, sizeof size);
    EXPECT_EQ(Send(edit, EM_GETLINE, 2, reinterpret_cast<LPARAM>(buffer)), 10);
    EXPECT_EQ(Send(edit, EM_GETLINE, 1, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(Send(edit, EM_GETLINE, 3, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(Send(edit, EM_GETLINE, 0, 0), 0);
    SetWindowTextA(edit, "");
    EXPECT_EQ(Send(edit, EM_GETLINECOUNT), 1);
    EXPECT_EQ(Send(edit, EM_LINEINDEX, 0), 0);
    EXPECT_EQ(Send(edit, EM_LINELENGTH, 0), 0);
    // A line longer than a WORD is measured whole.
    std::string longLine(70000, 'y');
    SetWindowTextA(edit, longLine.c_str());
    EXPECT_EQ(Send(edit, EM_LINELENGTH, 0), 70000);
    char small[8] = {};
    size = 8;
    std::memcpy(small, &size, sizeof size);
    EXPECT_EQ(Send(edit, EM_GETLINE, 0, reinterpret_cast<LPARAM>(small)), 8);
}

TEST_F(Edit, WordWrapBreaksAfterSpacesAndKeepsEveryCharacter) {
    HWND edit = Control("EDIT", "", ES_MULTILINE, 10, 10, 90, 100);
    std::mt19937 random(7);
    HDC dc = GetDC(edit);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    for (int round = 0; round < 20; ++round) {
        std::string text;
        for (int n = 0; n < 60; ++n) {
            int pick = static_cast<int>(random() % 12);
            text += pick == 0  ? std::string("\r\n")
                    : pick < 4 ? std::string(" ")
                               : std::string(1, 'a' + pick);
        }
        SetWindowTextA(edit, text.c_str());
        int lines = static_cast<int>(Send(edit, EM_GETLINECOUNT));
        std::string joined;
        for (int line = 0; line < lines; ++line) {
            int start = static_cast<int>(Send(edit, EM_LINEINDEX, line));
            int length = static_cast<int>(Send(edit, EM_LINELENGTH, start));
            std::string part = text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
            int next = line + 1 < lines ? static_cast<int>(Send(edit, EM_LINEINDEX, line + 1))
                                        : static_cast<int>(text.size());
            joined += text.substr(static_cast<size_t>(start), static_cast<size_t>(next - start));
            SIZE size{};
            std::string visible = part.substr(0, part.find_last_not_of(' ') + 1);
            GetTextExtentPoint32A(dc, visible.data(), static_cast<int>(visible.size()), &size);
            if (visible.find(' ') != std::string::npos) {
                EXPECT_LE(size.cx, 90 - 4 + 1) << part;
            }
            EXPECT_EQ(Send(edit, EM_LINEFROMCHAR, start), line);
        }
        EXPECT_EQ(joined, text);
    }
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
}

TEST_F(Edit, MouseSelectsByClickDragShiftClickAndDoubleClick) {
    HWND edit = Control("EDIT", "alpha beta gamma", ES_AUTOHSCROLL, 10, 10, 180, 20);
    Pump();
    Click(12, 18);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{0}, DWORD{0}));
    // Dragged backwards, from beyond the end to the start.
    platform::InjectMouse(100 + 185, 118, platform::MouseEvent::LeftDown);
    platform::InjectMouse(100 + 12, 118, platform::MouseEvent::Move);
    platform::InjectMouse(100 + 12, 118, platform::MouseEvent::LeftUp);
    Pump();
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{0}, DWORD{16}));
    EXPECT_EQ(Send(edit, EM_LINEINDEX, static_cast<WPARAM>(-1)), 0);
    EXPECT_EQ(GetCapture(), 0u);
    Send(edit, EM_SETSEL, 2, 2);
    Send(edit, WM_LBUTTONDOWN, MK_SHIFT | MK_LBUTTON, MAKELPARAM(178, 8));
    Send(edit, WM_LBUTTONUP, 0, MAKELPARAM(178, 8));
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{2}, DWORD{16}));
    Send(edit, EM_SETSEL, 7, 7);
    POINT inBeta{0, 8};
    for (int px = 0; px < 180; ++px) {
        Send(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(px, 8));
        Send(edit, WM_LBUTTONUP, 0, MAKELPARAM(px, 8));
        if (Selection(edit).first == 8) {
            inBeta.x = px;
            break;
        }
    }
    Send(edit, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(inBeta.x, 8));
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{6}, DWORD{10}));
    EXPECT_EQ(Notifications(edit), std::vector<int>{EN_SETFOCUS});
}

TEST_F(Edit, TextChangesNotifyAndAParentMayDestroyTheEditInAnyNotification) {
    HWND edit = Control("EDIT", "", ES_AUTOHSCROLL, 10, 10, 150, 20);
    SetWindowTextA(edit, "new");
    EXPECT_EQ(Notifications(edit), std::vector<int>{EN_CHANGE});
    EXPECT_FALSE(Send(edit, EM_GETMODIFY));
    Type(edit, "x");
    EXPECT_TRUE(Send(edit, EM_GETMODIFY));
    Send(edit, EM_SETMODIFY, FALSE);
    EXPECT_FALSE(Send(edit, EM_GETMODIFY));
    for (int code : {EN_CHANGE, EN_MAXTEXT, EN_SETFOCUS}) {
        HWND doomed = Control("EDIT", "", 0, 10, 40, 150, 20, 8);
        Send(doomed, EM_LIMITTEXT, 1);
        Recorder::answer = [&](HWND, UINT message, WPARAM wParam,
                               LPARAM) -> std::optional<LRESULT> {
            if (message == WM_COMMAND && HIWORD(wParam) == code) DestroyWindow(doomed);
            return std::nullopt;
        };
        SetFocus(doomed);
        Type(doomed, "abc");
        platform::PutClipboardText("long text");
        Send(doomed, WM_PASTE);
        EXPECT_FALSE(IsWindow(doomed)) << code;
        Recorder::answer = nullptr;
    }
}

TEST_F(Edit, ScrollBarScrollsLinesAndTellsTheParent) {
    std::string text;
    for (int line = 0; line < 30; ++line)
        text += "line " + std::to_string(line) + "\r\n";
    HWND edit =
        Control("EDIT", text.c_str(), ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 10, 10, 150, 80);
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(edit, SB_VERT, &info));
    EXPECT_EQ(info.nMax, 30);
    Recorder::seen.clear();
    Send(edit, WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(Send(edit, EM_GETFIRSTVISIBLELINE), 1);
    EXPECT_EQ(Notifications(edit), std::vector<int>{EN_VSCROLL});
    EXPECT_EQ(GetScrollPos(edit, SB_VERT), 1);
    EXPECT_EQ(Send(edit, EM_SCROLL, SB_PAGEDOWN) & 0xFFFF, static_cast<LRESULT>(info.nPage));
    EXPECT_EQ(Send(edit, EM_SCROLL, SB_THUMBTRACK), FALSE);
    Send(edit, EM_LINESCROLL, 0, 1000);
    EXPECT_EQ(Send(edit, EM_GETFIRSTVISIBLELINE), 31 - static_cast<int>(info.nPage));
    Send(edit, EM_SETSEL, 0, 0);
    Send(edit, EM_SCROLLCARET);
    EXPECT_EQ(Send(edit, EM_GETFIRSTVISIBLELINE), 0);
    EXPECT_EQ(Notifications(edit), std::vector<int>{EN_VSCROLL}); // messages tell nothing
}

TEST_F(Edit, ColoursComeFromTheEditOrStaticMessageAndPasswordsShowStars) {
    std::vector<UINT> asked;
    Recorder::answer = [&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC) asked.push_back(message);
        return std::nullopt;
    };
    HWND edit = Control("EDIT", "x", 0, 10, 10, 50, 20);
    HWND readOnly = Control("EDIT", "x", ES_READONLY, 10, 40, 50, 20, 8);
    HWND password = Control("EDIT", "ab", ES_PASSWORD, 10, 70, 50, 20, 9);
    Pump();
    EXPECT_EQ(std::count(asked.begin(), asked.end(), WM_CTLCOLOREDIT), 2);
    EXPECT_EQ(std::count(asked.begin(), asked.end(), WM_CTLCOLORSTATIC), 1);
    EnableWindow(edit, FALSE);
    asked.clear();
    Pump();
    EXPECT_EQ(asked, std::vector<UINT>{WM_CTLCOLORSTATIC});
    (void)readOnly;
    // Two stars are as wide as the password's two characters shown.
    Send(password, EM_SETSEL, 2, 2);
    HDC dc = GetDC(password);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE stars{};
    GetTextExtentPoint32A(dc, "**", 2, &stars);
    SelectObject(dc, old);
    ReleaseDC(password, dc);
    int x = 0;
    for (; x < 50; ++x) {
        Send(password, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
        Send(password, WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
        if (Selection(password).first == 2) break;
    }
    EXPECT_NEAR(x, 2 + stars.cx - 1, 4);
    Recorder::answer = nullptr;
}

TEST_F(Edit, ASelectionCoversEveryWrappedLineItSpans) {
    HWND edit = Control("EDIT", "wrapped words on lines", ES_MULTILINE, 10, 10, 60, 80);
    ASSERT_GT(Send(edit, EM_GETLINECOUNT), 2);
    SetFocus(edit);
    Send(edit, EM_SETSEL, 0, -1);
    Pump();
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = Pixels(width, height);
    TEXTMETRICA metrics{};
    HDC dc = GetDC(edit);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    int lineHeight = metrics.tmHeight;
    int highlighted = 0; // half-line steps over the first three lines
    for (int y = 11; y < 11 + 3 * lineHeight; y += lineHeight / 2)
        for (int x = 12; x < 30; ++x)
            if (At(pixels, width, x, y) == controls_test::SysPixel(COLOR_HIGHLIGHT)) {
                ++highlighted;
                break;
            }
    EXPECT_EQ(highlighted, 6);
}

// The line starts an edit shows, in order.
std::vector<int> ShownLineStarts(HWND edit) {
    std::vector<int> starts;
    auto lines = static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
    for (int line = 0; line < lines; ++line)
        starts.push_back(static_cast<int>(SendMessageA(edit, EM_LINEINDEX, line, 0)));
    return starts;
}

int LineHeight(HWND edit) {
    TEXTMETRICA metrics{};
    HDC dc = GetDC(edit);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    return metrics.tmHeight;
}

TEST_F(Edit, WrappedLinesMendedAfterEachChangeMatchAFreshLayout) {
    DWORD style = ES_MULTILINE | ES_AUTOVSCROLL;
    HWND edit = Control("EDIT", "", style, 10, 10, 90, 100);
    HWND fresh = Control("EDIT", "", style, 10, 10, 90, 100, 8);
    Send(edit, EM_LIMITTEXT, 0);
    std::mt19937 random(11);
    const std::vector<std::string> pieces{"\r\n", "\r", "\n",         " ",  "  ",
                                          "word", "x",  "longerword", "\t", "a b c"};
    std::string text;
    for (int n = 0; n < 80; ++n)
        text += pieces[random() % pieces.size()];
    SetWindowTextA(edit, text.c_str());
    for (int round = 0; round < 300; ++round) {
        auto length = static_cast<int>(Send(edit, WM_GETTEXTLENGTH));
        int start = static_cast<int>(random() % static_cast<unsigned>(length + 1));
        int end = std::min(length, start + static_cast<int>(random() % 8));
        std::string insert;
        for (int n = static_cast<int>(random() % 4); n > 0; --n)
            insert += pieces[random() % pieces.size()];
        Send(edit, EM_SETSEL, static_cast<WPARAM>(start), end);
        if (round % 10 == 9)
            Send(edit, EM_UNDO);
        else
            Send(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(insert.c_str()));
        std::string now = Text(edit);
        SetWindowTextA(fresh, now.c_str());
        ASSERT_EQ(ShownLineStarts(edit), ShownLineStarts(fresh)) << "round " << round;
    }
}

TEST_F(Edit, WithoutAutoVScrollTypingAndPastingStopAtTheLinesTheWindowShows) {
    int line = LineHeight(parent);
    HWND edit = Control("EDIT", "", ES_MULTILINE | ES_AUTOHSCROLL, 10, 10, 150, 3 * line + 2);
    Type(edit, "a\rb\rc");
    EXPECT_EQ(Text(edit), "a\r\nb\r\nc");
    Recorder::seen.clear();
    Send(edit, WM_CHAR, 13);
    EXPECT_EQ(Notifications(edit), std::vector<int>{EN_MAXTEXT});
    Type(edit, "d");
    platform::PutClipboardText("x\r\ny\r\nz");
    Recorder::seen.clear();
    Send(edit, WM_PASTE);
    EXPECT_EQ(Text(edit), "a\r\nb\r\ncdx"); // what fits, never half a line break
    EXPECT_EQ(Notifications(edit), (std::vector<int>{EN_MAXTEXT, EN_CHANGE}));
    // A longer text given by a message stays whole; typing may not add to its lines.
    SetWindowTextA(edit, "1\r\n2\r\n3\r\n4\r\n5");
    EXPECT_EQ(Send(edit, EM_GETLINECOUNT), 5);
    Send(edit, EM_SETSEL, 1, 1);
    Type(edit, "z\r");
    EXPECT_EQ(Text(edit), "1z\r\n2\r\n3\r\n4\r\n5");
    // With word wrap the lines counted are the wrapped ones.
    HWND wrapped = Control("EDIT", "", ES_MULTILINE, 10, 60, 50, 2 * line + 2, 8);
    Recorder::seen.clear();
    Type(wrapped, "aaaa bbbb cccc dddd eeee ffff");
    EXPECT_EQ(Send(wrapped, EM_GETLINECOUNT), 2);
    std::vector<int> codes = Notifications(wrapped);
    EXPECT_EQ(Count(codes, EN_MAXTEXT), static_cast<int>(29 - Send(wrapped, WM_GETTEXTLENGTH)));
    EXPECT_EQ(Text(wrapped).rfind("aaaa bbbb ", 0), 0u);
}

TEST_F(Edit, TheWheelAndTheScrollBarsArrowsScrollAndTellTheParent) {
    std::string text;
    for (int line = 0; line < 30; ++line)
        text += "line " + std::to_string(line) + "\r\n";
    HWND edit =
        Control("EDIT", text.c_str(), ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 10, 10, 150, 80);
    SetFocus(edit);
    Pump();
    Recorder::seen.clear();
    InjectMouse(controls_test::kOrigin + 50, controls_test::kOrigin + 30, MouseEvent::Wheel,
                -WHEEL_DELTA);
    Pump();
    EXPECT_EQ(Send(edit, EM_GETFIRSTVISIBLELINE), 3);
    // Half notches add up.
    for (int half = 0; half < 2; ++half)
        InjectMouse(controls_test::kOrigin + 50, controls_test::kOrigin + 30, MouseEvent::Wheel,
                    -WHEEL_DELTA / 2);
    Pump();
    EXPECT_EQ(Send(edit, EM_GETFIRSTVISIBLELINE), 6);
    EXPECT_EQ(Notifications(edit), (std::vector<int>{EN_VSCROLL, EN_VSCROLL}));
    // Each press on the down arrow scrolls a line and ends when its button goes up.
    RECT frame{};
    GetWindowRect(edit, &frame);
    for (int press = 0; press < 2; ++press)
        SlowClick(frame.right - 3 - controls_test::kOrigin,
                  frame.bottom - 3 - controls_test::kOrigin);
    EXPECT_EQ(Send(edit, EM_GETFIRSTVISIBLELINE), 8);
    EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(Edit, TheFocusedEditShowsTheSystemCaretBeforeItsCaretPosition) {
    HWND edit = Control("EDIT", "abc", ES_AUTOHSCROLL, 10, 10, 100, 20);
    Send(edit, EM_SETSEL, 0, 0);
    SetFocus(edit);
    Pump();
    POINT at{};
    GetCaretPos(&at);
    EXPECT_EQ(at.x, 2);
    EXPECT_EQ(at.y, 1);
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = Pixels(width, height);
    EXPECT_EQ(At(pixels, width, 10 + at.x, 10 + at.y + 1) & 0xFFFFFF,
              ~controls_test::SysPixel(COLOR_WINDOW) & 0xFFFFFF);
    Send(edit, EM_SETSEL, 3, 3);
    Pump();
    POINT after{};
    GetCaretPos(&after);
    EXPECT_GT(after.x, at.x + 10);
    pixels = Pixels(width, height);
    EXPECT_EQ(At(pixels, width, 10 + at.x, 10 + at.y + 1) & 0xFFFFFF,
              controls_test::SysPixel(COLOR_WINDOW));
    SetFocus(parent);
    Pump();
    pixels = Pixels(width, height);
    EXPECT_EQ(At(pixels, width, 10 + after.x, 10 + after.y + 1) & 0xFFFFFF,
              controls_test::SysPixel(COLOR_WINDOW));
    EXPECT_FALSE(DestroyCaret()); // the edit took it with the focus
}

} // namespace
