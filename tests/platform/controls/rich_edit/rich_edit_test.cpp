#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/controls/clipboard_text.h"
#include "platform/controls/controls_fixture.h"
#include "platform/controls/rich_edit/rich_edit.h"
#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/gdi_objects.h"

namespace {

using controls_test::ControlTest;
using controls_test::Recorder;

LRESULT Send(HWND edit, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(edit, message, wParam, lParam);
}
template <typename T> LRESULT Send(HWND edit, UINT message, WPARAM wParam, T* pointer) {
    return SendMessageA(edit, message, wParam, reinterpret_cast<LPARAM>(pointer));
}

std::string Text(HWND edit) {
    std::string text(static_cast<size_t>(Send(edit, WM_GETTEXTLENGTH)) + 1, '\0');
    text.resize(static_cast<size_t>(Send(edit, WM_GETTEXT, text.size(), text.data())));
    return text;
}

CHARRANGE Selection(HWND edit) {
    CHARRANGE range{-7, -7};
    Send(edit, EM_EXGETSEL, 0, &range);
    return range;
}

void Select(HWND edit, LONG first, LONG last) {
    CHARRANGE range{first, last};
    Send(edit, EM_EXSETSEL, 0, &range);
}

std::string Range(HWND edit, LONG first, LONG last, LRESULT* count = nullptr) {
    std::string buffer(static_cast<size_t>(Send(edit, WM_GETTEXTLENGTH)) + 1, 'x');
    TEXTRANGEA range{{first, last}, buffer.data()};
    LRESULT got = Send(edit, EM_GETTEXTRANGE, 0, &range);
    if (count != nullptr) *count = got;
    return buffer.c_str();
}

CHARFORMATA Format(DWORD mask, DWORD effects) {
    CHARFORMATA format{};
    format.cbSize = sizeof(format);
    format.dwMask = mask;
    format.dwEffects = effects;
    return format;
}

void Type(HWND edit, const std::string& text) {
    for (unsigned char c : text)
        Send(edit, WM_CHAR, c);
}

// Streams: a reader over a string that hands out at most `step` bytes a call, failing
// with `error` after `failAfter` calls; a writer into a string.
struct Source {
    std::string data;
    size_t at = 0;
    LONG step = 4096;
    int failAfter = -1;
    DWORD error = 0;
    int calls = 0;
};
DWORD ReadSource(DWORD_PTR cookie, BYTE* buffer, LONG count, LONG* done) {
    auto* source = reinterpret_cast<Source*>(cookie);
    if (source->calls++ == source->failAfter) return source->error;
    auto n = static_cast<size_t>(std::min(std::min(count, source->step),
                                          static_cast<LONG>(source->data.size() - source->at)));
    std::memcpy(buffer, source->data.data() + source->at, n);
    source->at += n;
    *done = static_cast<LONG>(n);
    return 0;
}
struct Sink {
    std::string data;
    DWORD answer = 0;
};
DWORD WriteSink(DWORD_PTR cookie, BYTE* buffer, LONG count, LONG* done) {
    auto* sink = reinterpret_cast<Sink*>(cookie);
    if (sink->answer != 0) return sink->answer;
    sink->data.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(count));
    *done = count;
    return 0;
}

LRESULT StreamIn(HWND edit, WPARAM format, Source& source, DWORD* error = nullptr) {
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0xDEAD, ReadSource};
    LRESULT result = Send(edit, EM_STREAMIN, format, &stream);
    if (error != nullptr) *error = stream.dwError;
    return result;
}
std::string StreamOut(HWND edit, WPARAM format) {
    Sink sink;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&sink), 0xDEAD, WriteSink};
    Send(edit, EM_STREAMOUT, format, &stream);
    EXPECT_EQ(stream.dwError, 0u);
    return sink.data;
}

class RichEdit : public ControlTest {
protected:
    HWND Make(const char* text = "", DWORD style = 0) {
        return Control(kRichEditClass, text, ES_MULTILINE | style, 10, 10, 180, 100);
    }
};

TEST_F(RichEdit, ParagraphEndsCountOnceInPositionsAndTwiceInWindowText) {
    HWND edit = Make("one\r\ntwo\nthree");
    EXPECT_EQ(Text(edit), "one\r\ntwo\r\nthree");
    EXPECT_EQ(Send(edit, WM_GETTEXTLENGTH), 15);
    EXPECT_EQ(Range(edit, 0, -1), "one\rtwo\rthree");
    LRESULT count = 0;
    EXPECT_EQ(Range(edit, 4, 7, &count), "two");
    EXPECT_EQ(count, 3);
    // Reversed, negative and past-the-end ranges give what lies inside the text.
    EXPECT_EQ(Range(edit, 7, 4, &count), "");
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Range(edit, -5, 3), "one");
    EXPECT_EQ(Range(edit, 8, 500), "three");
    EXPECT_EQ(Send(edit, EM_EXLINEFROMCHAR, 0, 5), 1);
    EXPECT_EQ(Send(edit, EM_EXLINEFROMCHAR, 0, 500), 2);
    EXPECT_EQ(Send(edit, EM_LINEINDEX, 2), 8);
    EXPECT_EQ(Send(edit, EM_GETLINECOUNT), 3);

    Select(edit, 0, -1);
    EXPECT_EQ(Selection(edit).cpMax, 13);
    EXPECT_EQ(Send(edit, EM_SELECTIONTYPE), SEL_TEXT | SEL_MULTICHAR);
    Select(edit, -1, 5);
    EXPECT_EQ(Selection(edit).cpMin, 5);
    EXPECT_EQ(Selection(edit).cpMax, 5);
    EXPECT_EQ(Send(edit, EM_SELECTIONTYPE), SEL_EMPTY);
    Select(edit, 5, 6);
    EXPECT_EQ(Send(edit, EM_SELECTIONTYPE), SEL_TEXT);
    Select(edit, 900, 2);
    EXPECT_EQ(Selection(edit).cpMin, 2);
    EXPECT_EQ(Selection(edit).cpMax, 13);
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Typing at the end of a right-aligned paragraph wraps only between words, and Return makes
// a paragraph aligned as the one it splits, both halves; plain text put in does the same.
TEST_F(RichEdit, TypedParagraphsKeepTheAlignmentOfTheOneTheyAreTypedInto) {
    HWND edit = Make();
    Source rtf{"{\\rtf1\\ansi\\pard\\qr\\fs16\\i Caf\\'e9 - characters beyond ASCII\\par\\pard "
               "left}"};
    ASSERT_GT(StreamIn(edit, SF_RTF, rtf), 0);
    LONG end = static_cast<LONG>(Range(edit, 0, -1).find('\r'));
    Select(edit, end, end);
    Type(edit, "END and words enough to wrap this line more than once");
    std::string text = Range(edit, 0, -1);
    LRESULT lines = Send(edit, EM_GETLINECOUNT);
    EXPECT_GT(lines, 3);
    for (LRESULT line = 1; line < lines; ++line) {
        auto start = static_cast<size_t>(Send(edit, EM_LINEINDEX, static_cast<WPARAM>(line)));
        EXPECT_TRUE(text[start - 1] == ' ' || text[start - 1] == '\r') << text.substr(start);
    }
    EXPECT_NE(text.find("ASCIIEND"), std::string::npos);

    Select(edit, end + 3, end + 3);
    Type(edit, "\r");
    Send(edit, EM_REPLACESEL, 0, "one\r\ntwo");
    std::string written = StreamOut(edit, SF_RTF);
    EXPECT_EQ(Count(written, "\\pard\\qr"), 3u) << written;
    EXPECT_NE(written.find("\\pard left\\par"), std::string::npos) << written;
}

TEST_F(RichEdit, CharacterFormatsOverMixedSelectionsAndWhatTypingTakes) {
    HWND edit = Make("plain bold");
    Select(edit, 6, 10);
    CHARFORMATA bold = Format(CFM_BOLD | CFM_SIZE | CFM_COLOR, CFE_BOLD);
    bold.yHeight = 240;
    bold.crTextColor = 0x0000FF;
    EXPECT_TRUE(Send(edit, EM_SETCHARFORMAT, SCF_SELECTION, &bold));

    CHARFORMATA got = Format(0, 0);
    Select(edit, 6, 10);
    Send(edit, EM_GETCHARFORMAT, SCF_SELECTION, &got);
    EXPECT_EQ(got.dwEffects & (CFE_BOLD | CFE_AUTOCOLOR), CFE_BOLD);
    EXPECT_EQ(got.yHeight, 240);
    EXPECT_EQ(got.crTextColor, 0x0000FFu);
    EXPECT_STREQ(got.szFaceName, "Arial");
    EXPECT_EQ(got.dwMask & (CFM_BOLD | CFM_SIZE | CFM_COLOR | CFM_FACE),
              CFM_BOLD | CFM_SIZE | CFM_COLOR | CFM_FACE);

    // Over both runs, what differs leaves the mask; what they share stays.
    Select(edit, 2, 8);
    Send(edit, EM_GETCHARFORMAT, SCF_SELECTION, &got);
    EXPECT_EQ(got.dwMask & (CFM_BOLD | CFM_SIZE | CFM_COLOR), 0u);
    EXPECT_EQ(got.dwMask & (CFM_ITALIC | CFM_FACE), CFM_ITALIC | CFM_FACE);

    // A format set on an empty selection goes to what is typed there next.
    Select(edit, 5, 5);
    CHARFORMATA italic = Format(CFM_ITALIC, CFE_ITALIC);
    Send(edit, EM_SETCHARFORMAT, SCF_SELECTION, &italic);
    Type(edit, "X");
    Select(edit, 5, 6);
    Send(edit, EM_GETCHARFORMAT, SCF_SELECTION, &got);
    EXPECT_EQ(got.dwEffects & (CFE_ITALIC | CFE_BOLD), CFE_ITALIC);
    EXPECT_EQ(Text(edit), "plainX bold");

    CHARFORMATA small = Format(CFM_BOLD, CFE_BOLD);
    small.cbSize = 20;
    EXPECT_FALSE(Send(edit, EM_SETCHARFORMAT, SCF_SELECTION, &small));
}

TEST_F(RichEdit, UndoAndRedoOneLevelOrUpToTheLimit) {
    HWND edit = Make();
    Type(edit, "abc");
    Type(edit, " ");
    Select(edit, 0, 3);
    CHARFORMATA bold = Format(CFM_BOLD, CFE_BOLD);
    Send(edit, EM_SETCHARFORMAT, SCF_SELECTION, &bold);
    // One level: only the format change goes back.
    EXPECT_TRUE(Send(edit, EM_UNDO));
    EXPECT_EQ(Text(edit), "abc ");
    EXPECT_FALSE(Send(edit, EM_UNDO));
    EXPECT_EQ(Text(edit), "abc ");
    EXPECT_TRUE(Send(edit, EM_CANREDO));
    EXPECT_TRUE(Send(edit, EM_REDO));
    CHARFORMATA got = Format(0, 0);
    Select(edit, 0, 3);
    Send(edit, EM_GETCHARFORMAT, SCF_SELECTION, &got);
    EXPECT_EQ(got.dwEffects & CFE_BOLD, CFE_BOLD);

    HWND multi = Make();
    Send(multi, EM_SETTEXTMODE, TM_RICHTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE);
    EXPECT_EQ(Send(multi, EM_SETUNDOLIMIT, 2), 2);
    Type(multi, "one");
    Select(multi, 0, 3);
    Send(multi, EM_SETCHARFORMAT, SCF_SELECTION, &bold);
    Select(multi, 3, 3);
    Send(multi, EM_REPLACESEL, TRUE, "!");
    Send(multi, EM_REPLACESEL, TRUE, "?");
    // Two levels kept: the typing and the format stay.
    EXPECT_TRUE(Send(multi, EM_UNDO));
    EXPECT_TRUE(Send(multi, EM_UNDO));
    EXPECT_FALSE(Send(multi, EM_CANUNDO));
    EXPECT_EQ(Text(multi), "one");
    EXPECT_TRUE(Send(multi, EM_REDO));
    EXPECT_EQ(Text(multi), "one!");
    // A new change drops what could be redone.
    Type(multi, "x");
    EXPECT_FALSE(Send(multi, EM_CANREDO));
    Send(multi, EM_EMPTYUNDOBUFFER);
    EXPECT_FALSE(Send(multi, EM_CANUNDO));
}

TEST_F(RichEdit, FindsByCaseAndWholeWordFromAnyStart) {
    HWND edit = Make("abc xabc ABC abc");
    auto find = [&](const char* what, LONG from, WPARAM flags) {
        FINDTEXTA find{{from, -1}, what};
        return Send(edit, EM_FINDTEXT, flags | FR_DOWN, &find);
    };
    EXPECT_EQ(find("abc", 1, 0), 5);
    EXPECT_EQ(find("abc", 1, FR_WHOLEWORD), 9);
    EXPECT_EQ(find("abc", 1, FR_WHOLEWORD | FR_MATCHCASE), 13);
    EXPECT_EQ(find("abc", static_cast<LONG>(0x80000000), FR_MATCHCASE), 0);
    EXPECT_EQ(find("abd", 0, 0), -1);
    EXPECT_EQ(find("", 0, 0), -1);
    FINDTEXTA back{{16, 0}, "abc"};
    EXPECT_EQ(Send(edit, EM_FINDTEXT, 0, &back), 13);
}

TEST_F(RichEdit, StreamsInWholeOrNotAtAll) {
    HWND edit = Make("kept");
    Source text{"a\r\nb\nc", 0, 1};
    EXPECT_EQ(StreamIn(edit, SF_TEXT, text), 5);
    EXPECT_EQ(Range(edit, 0, -1), "a\rb\rc");

    Source rtf{"{\\rtf1{\\fonttbl{\\f0 Courier New;}}\\f0\\b bold\\b0\\par\\qc mid}", 0, 7};
    EXPECT_EQ(StreamIn(edit, SF_RTF, rtf), 8);
    EXPECT_EQ(Range(edit, 0, -1), "bold\rmid");
    CHARFORMATA got = Format(0, 0);
    Select(edit, 0, 2);
    Send(edit, EM_GETCHARFORMAT, SCF_SELECTION, &got);
    EXPECT_STREQ(got.szFaceName, "Courier New");
    EXPECT_EQ(got.dwEffects & CFE_BOLD, CFE_BOLD);

    // A callback that fails midway leaves everything as it was, with its answer kept.
    Source failing{"{\\rtf1 never}", 0, 3, 2, 77};
    DWORD error = 0;
    EXPECT_EQ(StreamIn(edit, SF_RTF, failing, &error), 0);
    EXPECT_EQ(error, 77u);
    EXPECT_EQ(Range(edit, 0, -1), "bold\rmid");

    // More than the limit is not loaded at all.
    Send(edit, EM_EXLIMITTEXT, 0, 10);
    Source large{std::string(11, 'z')};
    EXPECT_EQ(StreamIn(edit, SF_TEXT, large, &error), 0);
    EXPECT_EQ(error, kStreamTooLong);
    EXPECT_EQ(Range(edit, 0, -1), "bold\rmid");

    // Into the selection: the rest stays.
    Select(edit, 0, 4);
    Source part{"{\\rtf1 B}"};
    EXPECT_EQ(StreamIn(edit, SF_RTF | SFF_SELECTION, part), 1);
    EXPECT_EQ(Range(edit, 0, -1), "B\rmid");
}

// RTF ends the last paragraph with \par as it ends the others: a whole document read makes
// no empty paragraph after it (typing at the end goes on the last line), and one written
// and read back is the same, an empty last paragraph too; a selection keeps its \par.
TEST_F(RichEdit, TheLastParagraphMarkOfAWholeDocumentIsItsEnd) {
    HWND edit = Make();
    Source rtf{"{\\rtf1\\ansi\\pard\\qr beyond ASCII\\par\n}"};
    ASSERT_GT(StreamIn(edit, SF_RTF, rtf), 0);
    EXPECT_EQ(Range(edit, 0, -1), "beyond ASCII");
    EXPECT_EQ(Send(edit, EM_GETLINECOUNT), 1);
    for (const char* text : {"beyond ASCII", "a\rb\r", ""}) {
        Send(edit, EM_SETSEL, 0, -1);
        Send(edit, EM_REPLACESEL, 0, text);
        Source back{StreamOut(edit, SF_RTF)};
        EXPECT_GT(StreamIn(edit, SF_RTF, back), -1);
        EXPECT_EQ(Range(edit, 0, -1), text) << back.data;
    }
    Select(edit, 0, 0);
    Source part{"{\\rtf1 x\\par}"};
    EXPECT_EQ(StreamIn(edit, SF_RTF | SFF_SELECTION, part), 2);
    EXPECT_EQ(Range(edit, 0, 2), "x\r");
}

TEST_F(RichEdit, StreamsOutTheSameBytesEveryTime) {
    HWND edit = Make("first\r\nsecond");
    Select(edit, 0, 5);
    CHARFORMATA bold = Format(CFM_BOLD, CFE_BOLD);
    Send(edit, EM_SETCHARFORMAT, SCF_SELECTION, &bold);
    EXPECT_EQ(StreamOut(edit, SF_TEXT), "first\r\nsecond");
    std::string rtf = StreamOut(edit, SF_RTF);
    EXPECT_EQ(StreamOut(edit, SF_RTF), rtf);
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0", 0), 0u);
    EXPECT_NE(rtf.find("\\b first\\plain"), std::string::npos) << rtf;

    // The selection alone is a document of its own.
    Select(edit, 1, 4);
    std::string part = StreamOut(edit, SF_RTF | SFF_SELECTION);
    EXPECT_EQ(part.front(), '{');
    EXPECT_EQ(part.substr(part.size() - 2), "}\n");
    EXPECT_NE(part.find("\\b irs}"), std::string::npos) << part;
    EXPECT_EQ(StreamOut(edit, SF_TEXT | SFF_SELECTION), "irs");

    Sink refusing{"", 5};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&refusing), 0, WriteSink};
    EXPECT_EQ(Send(edit, EM_STREAMOUT, SF_TEXT, &stream), 0);
    EXPECT_EQ(stream.dwError, 5u);
    // A callback that takes nothing and answers 0 ends the stream with an error, not a loop.
    EDITSTREAM stalled{0, 0, [](DWORD_PTR, BYTE*, LONG, LONG* done) -> DWORD {
                           *done = 0;
                           return 0;
                       }};
    EXPECT_EQ(Send(edit, EM_STREAMOUT, SF_RTF, &stalled), 0);
    EXPECT_EQ(stalled.dwError, kStreamStalled);
}

TEST_F(RichEdit, FormatRangeDrawsOnlyInsideItsRectangleAndSaysWhereItStopped) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    HWND edit = Make(text.c_str());
    HDC screen = GetDC(0);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 200);
    ReleaseDC(0, screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all{0, 0, 200, 200};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    int dpi = GetDeviceCaps(memory, LOGPIXELSY);
    // 40 to 140 pixels down, 20 to 180 across, in twips.
    auto twips = [&](int pixels) { return pixels * 1440 / dpi; };
    FORMATRANGE range{memory, memory, {twips(20), twips(40), twips(180), twips(140)}, {}, {0, -1}};
    LRESULT next = Send(edit, EM_FORMATRANGE, TRUE, &range);
    EXPECT_GT(next, 0);
    EXPECT_LT(next, static_cast<LRESULT>(Range(edit, 0, -1).size()));
    EXPECT_EQ(Range(edit, next - 1, next), "\r");
    int inside = 0, outside = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            bool changed = GetPixel(memory, x, y) != 0xFFFFFF;
            bool within = x >= 20 && x < 180 && y >= 40 && y < 140;
            (within ? inside : outside) += changed ? 1 : 0;
        }
    EXPECT_GT(inside, 50);
    EXPECT_EQ(outside, 0);
    // Measuring draws nothing and answers the same; the next page goes on from there.
    FORMATRANGE measure = range;
    EXPECT_EQ(Send(edit, EM_FORMATRANGE, FALSE, &measure), next);
    measure.chrg.cpMin = static_cast<LONG>(next);
    EXPECT_GT(Send(edit, EM_FORMATRANGE, FALSE, &measure), next);
    // A page too small for any line keeps the first character.
    FORMATRANGE tiny{memory, memory, {0, 0, twips(100), twips(2)}, {}, {3, -1}};
    EXPECT_EQ(Send(edit, EM_FORMATRANGE, TRUE, &tiny), 3);
    EXPECT_EQ(Send(edit, EM_FORMATRANGE, FALSE, 0), 0);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

TEST_F(RichEdit, AClickOnADetectedUrlTellsTheParent) {
    HWND edit = Make("see www.example.com now");
    Send(edit, EM_AUTOURLDETECT, TRUE);
    Send(edit, EM_SETEVENTMASK, 0, ENM_LINK | ENM_CHANGE);
    std::vector<ENLINK> links;
    LRESULT answer = 0;
    Recorder::answer = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message != WM_NOTIFY) return std::nullopt;
        links.push_back(*reinterpret_cast<const ENLINK*>(lParam));
        return answer;
    };
    Pump();
    // "see " is about 25 pixels of the default face; the URL follows.
    Click(10 + 60, 10 + 8);
    ASSERT_GE(links.size(), 2u);
    EXPECT_EQ(links.front().nmhdr.code, EN_LINK);
    EXPECT_EQ(links.front().nmhdr.hwndFrom, edit);
    EXPECT_TRUE(std::any_of(links.begin(), links.end(), [](const ENLINK& link) {
        return link.msg == static_cast<UINT>(WM_LBUTTONDOWN);
    }));
    EXPECT_EQ(links.back().msg, static_cast<UINT>(WM_LBUTTONUP));
    EXPECT_EQ(links.back().chrg.cpMin, 4);
    EXPECT_EQ(links.back().chrg.cpMax, 19);
    CHARRANGE clicked = Selection(edit);
    EXPECT_EQ(clicked.cpMin, clicked.cpMax);

    // A parent that answers non-zero keeps the click from the control.
    Select(edit, 0, 0);
    answer = 1;
    links.clear();
    Click(10 + 60, 10 + 8);
    EXPECT_FALSE(links.empty());
    EXPECT_EQ(Selection(edit).cpMin, 0);
    // Without ENM_LINK, or on plain text, the parent hears nothing.
    links.clear();
    Click(10 + 5, 10 + 8);
    EXPECT_TRUE(links.empty());
    Send(edit, EM_SETEVENTMASK, 0, 0);
    Click(10 + 60, 10 + 8);
    EXPECT_TRUE(links.empty());
    Recorder::answer = nullptr;
}

TEST_F(RichEdit, ChangesTellTheParentOnlyWhenAsked) {
    HWND edit = Make();
    Type(edit, "a");
    EXPECT_TRUE(Notifications(edit).empty());
    Send(edit, EM_SETEVENTMASK, 0, ENM_CHANGE);
    Type(edit, "b");
    Send(edit, EM_EXLIMITTEXT, 0, 3);
    Type(edit, "cd");
    EXPECT_EQ(Notifications(edit), (std::vector<int>{EN_CHANGE, EN_CHANGE, EN_MAXTEXT}));
    EXPECT_EQ(Text(edit), "abc");
    platform::PutClipboardText("pasted");
    EXPECT_TRUE(Send(edit, EM_CANPASTE));
}

TEST_F(RichEdit, CopyAndPasteKeepFormatsInsideThePlayer) {
    HWND edit = Make("bold plain");
    Select(edit, 0, 4);
    CHARFORMATA bold = Format(CFM_BOLD, CFE_BOLD);
    Send(edit, EM_SETCHARFORMAT, SCF_SELECTION, &bold);
    Send(edit, WM_COPY);
    EXPECT_EQ(platform::ClipboardText().value_or(""), "bold");
    Select(edit, 10, 10);
    Send(edit, WM_PASTE);
    EXPECT_EQ(Text(edit), "bold plainbold");
    CHARFORMATA got = Format(0, 0);
    Select(edit, 10, 14);
    Send(edit, EM_GETCHARFORMAT, SCF_SELECTION, &got);
    EXPECT_EQ(got.dwEffects & CFE_BOLD, CFE_BOLD);
    // Text from elsewhere comes in the format at the caret.
    platform::PutClipboardText("x\r\ny");
    Select(edit, 0, 0);
    Send(edit, WM_PASTE);
    EXPECT_EQ(Range(edit, 0, 3), "x\ry");
}

// A press at one point of the parent's client area, moves on to another and a release there.
void DragBetween(int fromX, int fromY, int toX, int toY) {
    controls_test::InjectMouse(controls_test::kOrigin + fromX, controls_test::kOrigin + fromY,
                               controls_test::MouseEvent::LeftDown);
    window_test::Pump();
    for (int step = 1; step <= 4; ++step)
        controls_test::InjectMouse(controls_test::kOrigin + fromX + (toX - fromX) * step / 4,
                                   controls_test::kOrigin + fromY + (toY - fromY) * step / 4,
                                   controls_test::MouseEvent::Move);
    window_test::Pump();
    controls_test::InjectMouse(controls_test::kOrigin + toX, controls_test::kOrigin + toY,
                               controls_test::MouseEvent::LeftUp);
    window_test::Pump();
}

// "one " is about 25 pixels of the default face and "two" the next 20; the edit's text
// starts at x 11 of the parent. Presses in a row alternate between two points of "two" that
// are too far apart to make a double click.
constexpr int kInTwo = 11 + 32;
constexpr int kAlsoInTwo = kInTwo + 6;
constexpr int kLineY = 18;

TEST_F(RichEdit, DraggedTextMovesOrCopiesWithOneUndo) {
    HWND edit = Make("one two three", ES_NOHIDESEL);
    Send(edit, EM_SETTEXTMODE, TM_MULTILEVELUNDO);
    Send(edit, EM_SETEVENTMASK, 0, ENM_CHANGE);
    Select(edit, 4, 7);
    // A press without a move puts the caret there.
    SlowClick(kAlsoInTwo, kLineY);
    CHARRANGE clicked = Selection(edit);
    EXPECT_EQ(clicked.cpMin, clicked.cpMax);
    EXPECT_GT(clicked.cpMin, 4);

    Select(edit, 4, 7);
    Recorder::seen.clear();
    DragBetween(kInTwo, kLineY, 170, kLineY);
    EXPECT_EQ(Text(edit), "one  threetwo");
    EXPECT_EQ(Selection(edit).cpMin, 10);
    EXPECT_EQ(Selection(edit).cpMax, 13);
    EXPECT_EQ(Notifications(edit), std::vector<int>{EN_CHANGE});
    Send(edit, EM_UNDO);
    EXPECT_EQ(Text(edit), "one two three");

    // Dropped within itself nothing moves; with Ctrl held the text is copied.
    Select(edit, 4, 7);
    DragBetween(kAlsoInTwo, kLineY, kAlsoInTwo - 4, kLineY);
    EXPECT_EQ(Text(edit), "one two three");
    Select(edit, 4, 7);
    platform::InjectKey(VK_CONTROL, true);
    DragBetween(kInTwo, kLineY, 11, kLineY);
    platform::InjectKey(VK_CONTROL, false);
    Pump();
    EXPECT_EQ(Text(edit), "twoone two three");
    Send(edit, EM_UNDO);
    EXPECT_EQ(Text(edit), "one two three");

    // A read-only edit takes no drop.
    Send(edit, EM_SETREADONLY, TRUE);
    Select(edit, 4, 7);
    DragBetween(kAlsoInTwo, kLineY, 170, kLineY);
    EXPECT_EQ(Text(edit), "one two three");
}

TEST_F(RichEdit, TextDraggedToAnotherWindowOfThePlayerMovesThere) {
    HWND edit = Make("one two three", ES_NOHIDESEL);
    HWND other = Keep(CreateWindowExA(0, kRichEditClass, "target",
                                      WS_POPUP | WS_VISIBLE | ES_MULTILINE, controls_test::kOrigin,
                                      controls_test::kOrigin + 200, 180, 60, 0, 0, 0, nullptr));
    Pump();
    Select(edit, 4, 7);
    DragBetween(kInTwo, kLineY, 150, 200 + 8);
    EXPECT_EQ(Text(other), "targettwo");
    EXPECT_EQ(Text(edit), "one  three");
    EXPECT_EQ(GetFocus(), other);
    Send(other, EM_UNDO);
    EXPECT_EQ(Text(other), "target");

    // Onto a window that is not a rich edit the drag ends with nothing done.
    Select(edit, 0, 3);
    DragBetween(11 + 8, kLineY, 195, 115);
    EXPECT_EQ(Text(edit), "one  three");
}

TEST_F(RichEdit, WithoutWordWrapALongLineScrollsSideways) {
    const char* text = "a line that is much too long to be shown in the width of one rich edit";
    HWND edit = Make(text, ES_AUTOHSCROLL | WS_HSCROLL);
    Send(edit, EM_SETEVENTMASK, 0, ENM_SCROLL);
    EXPECT_EQ(Send(edit, EM_GETLINECOUNT), 1);
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(edit, SB_HORZ, &info);
    EXPECT_GT(info.nMax + 1, static_cast<int>(info.nPage));
    EXPECT_EQ(info.nPos, 0);

    Recorder::seen.clear();
    Send(edit, WM_HSCROLL, SB_LINERIGHT);
    EXPECT_GT(GetScrollPos(edit, SB_HORZ), 0);
    EXPECT_EQ(Notifications(edit), std::vector<int>{EN_HSCROLL});
    Send(edit, WM_HSCROLL, SB_RIGHT);
    int right = info.nMax - static_cast<int>(info.nPage) + 1;
    EXPECT_EQ(GetScrollPos(edit, SB_HORZ), right);
    // A click lands in the scrolled text; the caret keeps itself in sight.
    SlowClick(12, kLineY);
    EXPECT_GT(Selection(edit).cpMin, 30);
    Key(VK_HOME);
    EXPECT_EQ(GetScrollPos(edit, SB_HORZ), 0);
    Key(VK_END);
    EXPECT_EQ(GetScrollPos(edit, SB_HORZ), right);
    Send(edit, EM_LINESCROLL, -1000, 0);
    EXPECT_EQ(GetScrollPos(edit, SB_HORZ), 0);
    // The bar's right arrow, at the control's bottom right corner.
    SlowClick(10 + 180 - 5, 10 + 100 - 5);
    EXPECT_GT(GetScrollPos(edit, SB_HORZ), 0);

    // With word wrap the same text takes several lines and does not move sideways.
    DestroyWindow(edit);
    HWND wrapped = Make(text);
    EXPECT_GT(Send(wrapped, EM_GETLINECOUNT), 1);
    Send(wrapped, WM_HSCROLL, SB_RIGHT);
    SlowClick(12, kLineY);
    EXPECT_EQ(Selection(wrapped).cpMin, 0);
}

TEST_F(RichEdit, PicturesStreamOutAsTheyCameIn) {
    std::ifstream file(std::filesystem::path(__FILE__).parent_path() / "pictures.rtf",
                       std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    Source source{bytes.str()};
    HWND edit = Make();
    Send(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    EXPECT_EQ(StreamIn(edit, SF_RTF, source), 35);
    EXPECT_EQ(Range(edit, 0, 6), "PNG   ");
    std::string out = StreamOut(edit, SF_RTF);
    size_t png = source.data.find("{\\pict\\pngblip");
    size_t end = source.data.find('}', png);
    EXPECT_NE(out.find(source.data.substr(png, end - png + 1)), std::string::npos);
    // A selected picture goes out alone.
    Select(edit, 4, 5);
    std::string picture = StreamOut(edit, SF_RTF | SFF_SELECTION);
    EXPECT_NE(picture.find(source.data.substr(png, end - png + 1)), std::string::npos);
    EXPECT_EQ(picture.find("jpegblip"), std::string::npos);
}

} // namespace
