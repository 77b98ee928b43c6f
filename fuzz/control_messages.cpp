// Random message sequences with hostile parameters to every control class, with input,
// the clock moving on, and a parent that may destroy the control from any of its
// notifications: nothing a sequence does may crash, leak or touch freed memory, and every
// answer that writes through a pointer stays within what it was given.
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/button.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/edit.h"
#include "platform/controls/edit_text.h"
#include "platform/controls/list_box.h"
#include "platform/controls/progress_bar.h"
#include "platform/controls/static_text.h"
#include "platform/controls/trackbar.h"
#include "platform/controls/up_down.h"
#include "platform/display/headless_display.h"
#include "platform/kernel/test_hooks.h"
#include "platform/user/windows.h"

namespace {

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t U32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= uint32_t{Byte()} << (8 * i);
        return value;
    }
    bool More() const { return at_ < size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

constexpr const char* CLASSES[] = {
    "BUTTON",          "STATIC", "msctls_progress32", "msctls_trackbar32",
    "msctls_updown32", "EDIT",   "LISTBOX",           "COMBOBOX"};

// The messages worth sending: the controls' own and those every window hears.
constexpr UINT MESSAGES[] = {BM_GETCHECK,
                             BM_SETCHECK,
                             BM_GETSTATE,
                             BM_SETSTATE,
                             BM_CLICK,
                             PBM_SETRANGE,
                             PBM_SETPOS,
                             PBM_DELTAPOS,
                             PBM_SETSTEP,
                             PBM_STEPIT,
                             PBM_SETRANGE32,
                             PBM_GETRANGE,
                             PBM_GETPOS,
                             TBM_GETPOS,
                             TBM_GETTIC,
                             TBM_SETTIC,
                             TBM_SETPOS,
                             TBM_SETRANGE,
                             TBM_SETRANGEMIN,
                             TBM_SETRANGEMAX,
                             TBM_CLEARTICS,
                             TBM_SETSEL,
                             TBM_GETTICPOS,
                             TBM_GETNUMTICS,
                             TBM_SETTICFREQ,
                             TBM_SETPAGESIZE,
                             TBM_SETLINESIZE,
                             TBM_GETTHUMBRECT,
                             TBM_GETCHANNELRECT,
                             TBM_SETTHUMBLENGTH,
                             UDM_SETRANGE,
                             UDM_GETRANGE,
                             UDM_SETPOS,
                             UDM_GETPOS,
                             UDM_SETBUDDY,
                             UDM_SETACCEL,
                             UDM_GETACCEL,
                             UDM_SETBASE,
                             WM_SETFONT,
                             WM_GETFONT,
                             WM_SETTEXT,
                             WM_ENABLE,
                             WM_SETFOCUS,
                             WM_KILLFOCUS,
                             WM_CAPTURECHANGED,
                             WM_LBUTTONDOWN,
                             WM_LBUTTONUP,
                             WM_LBUTTONDBLCLK,
                             WM_MOUSEMOVE,
                             WM_KEYDOWN,
                             WM_KEYUP,
                             WM_TIMER,
                             WM_NCHITTEST,
                             WM_PAINT,
                             WM_CHAR,
                             WM_GETTEXT,
                             WM_COPY,
                             WM_CUT,
                             WM_PASTE,
                             WM_CLEAR,
                             WM_UNDO,
                             WM_VSCROLL,
                             WM_HSCROLL,
                             WM_SIZE,
                             EM_GETSEL,
                             EM_SETSEL,
                             EM_SCROLL,
                             EM_LINESCROLL,
                             EM_SCROLLCARET,
                             EM_GETMODIFY,
                             EM_SETMODIFY,
                             EM_GETLINECOUNT,
                             EM_LINEINDEX,
                             EM_LINELENGTH,
                             EM_REPLACESEL,
                             EM_GETLINE,
                             EM_LIMITTEXT,
                             EM_CANUNDO,
                             EM_UNDO,
                             EM_LINEFROMCHAR,
                             EM_SETTABSTOPS,
                             EM_EMPTYUNDOBUFFER,
                             EM_GETFIRSTVISIBLELINE,
                             EM_SETREADONLY,
                             EM_GETLIMITTEXT,
                             LB_ADDSTRING,
                             LB_INSERTSTRING,
                             LB_DELETESTRING,
                             LB_RESETCONTENT,
                             LB_SETSEL,
                             LB_SETCURSEL,
                             LB_GETSEL,
                             LB_GETCURSEL,
                             LB_GETTEXT,
                             LB_GETTEXTLEN,
                             LB_GETCOUNT,
                             LB_SELECTSTRING,
                             LB_GETTOPINDEX,
                             LB_FINDSTRING,
                             LB_GETSELCOUNT,
                             LB_GETSELITEMS,
                             LB_SETTABSTOPS,
                             LB_GETHORIZONTALEXTENT,
                             LB_SETHORIZONTALEXTENT,
                             LB_SETTOPINDEX,
                             LB_GETITEMRECT,
                             LB_GETITEMDATA,
                             LB_SETITEMDATA,
                             LB_SELITEMRANGE,
                             LB_SETCARETINDEX,
                             LB_GETCARETINDEX,
                             LB_SETITEMHEIGHT,
                             LB_GETITEMHEIGHT,
                             LB_FINDSTRINGEXACT,
                             LB_ITEMFROMPOINT,
                             CB_ADDSTRING,
                             CB_INSERTSTRING,
                             CB_DELETESTRING,
                             CB_RESETCONTENT,
                             CB_GETCURSEL,
                             CB_SETCURSEL,
                             CB_GETCOUNT,
                             CB_FINDSTRING,
                             CB_FINDSTRINGEXACT,
                             CB_SELECTSTRING,
                             CB_GETITEMDATA,
                             CB_SETITEMDATA,
                             CB_GETTOPINDEX,
                             CB_SETTOPINDEX,
                             CB_GETHORIZONTALEXTENT,
                             CB_SETHORIZONTALEXTENT,
                             CB_GETITEMHEIGHT,
                             CB_SETITEMHEIGHT,
                             CB_GETLBTEXTLEN,
                             CB_GETLBTEXT,
                             CB_GETDROPPEDSTATE,
                             CB_LIMITTEXT,
                             CB_SHOWDROPDOWN,
                             CB_GETDROPPEDWIDTH,
                             CB_SETDROPPEDWIDTH,
                             WM_SYSKEYDOWN};

// Messages whose lParam points at something the control writes or reads.
bool TakesPointer(UINT message) {
    return message == TBM_GETTHUMBRECT || message == TBM_GETCHANNELRECT ||
           message == PBM_GETRANGE || message == UDM_SETACCEL || message == UDM_GETACCEL ||
           message == WM_SETTEXT || message == WM_GETTEXT || message == EM_GETSEL ||
           message == EM_REPLACESEL || message == EM_GETLINE || message == EM_SETTABSTOPS ||
           message == LB_ADDSTRING || message == LB_INSERTSTRING || message == LB_FINDSTRING ||
           message == LB_FINDSTRINGEXACT || message == LB_SELECTSTRING || message == LB_GETTEXT ||
           message == LB_GETSELITEMS || message == LB_SETTABSTOPS || message == LB_GETITEMRECT ||
           message == CB_ADDSTRING || message == CB_INSERTSTRING || message == CB_FINDSTRING ||
           message == CB_FINDSTRINGEXACT || message == CB_SELECTSTRING || message == CB_GETLBTEXT;
}

bool TakesText(UINT message) {
    return message == WM_SETTEXT || message == EM_REPLACESEL || message == LB_ADDSTRING ||
           message == LB_INSERTSTRING || message == LB_FINDSTRING ||
           message == LB_FINDSTRINGEXACT || message == LB_SELECTSTRING || message == CB_ADDSTRING ||
           message == CB_INSERTSTRING || message == CB_FINDSTRING ||
           message == CB_FINDSTRINGEXACT || message == CB_SELECTSTRING;
}

// An edit's line starts, read through EM_LINEINDEX, against a count of its text's breaks.
void CheckLineIndex(HWND edit) {
    DWORD style = static_cast<DWORD>(GetWindowLongA(edit, GWL_STYLE));
    if ((style & (ES_MULTILINE | ES_AUTOHSCROLL)) != (ES_MULTILINE | ES_AUTOHSCROLL)) return;
    std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
    std::vector<int> starts = platform::CountLineStarts(text);
    if (SendMessageA(edit, EM_GETLINECOUNT, 0, 0) != static_cast<LRESULT>(starts.size()))
        __builtin_trap();
    for (size_t line = 0; line < starts.size(); ++line)
        if (SendMessageA(edit, EM_LINEINDEX, line, 0) != starts[line]) __builtin_trap();
}

// An edit's line starts, read through EM_LINEINDEX.
std::vector<LRESULT> ShownLineStarts(HWND edit) {
    std::vector<LRESULT> starts;
    LRESULT lines = SendMessageA(edit, EM_GETLINECOUNT, 0, 0);
    for (LRESULT line = 0; line < lines; ++line)
        starts.push_back(SendMessageA(edit, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    return starts;
}

// A wrapped edit mends its lines around each change: they must be those of a fresh edit of
// its style, size and font given its text. Tab stops cannot be read back, so texts with tabs
// are left out.
void CheckWrappedLines(HWND edit) {
    DWORD style = static_cast<DWORD>(GetWindowLongA(edit, GWL_STYLE));
    if ((style & (ES_MULTILINE | ES_AUTOHSCROLL)) != ES_MULTILINE) return;
    std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
    if (text.find('\t') != std::string::npos) return;
    RECT frame{};
    GetWindowRect(edit, &frame);
    HWND fresh = CreateWindowExA(0, "EDIT", "", style & ~(ES_UPPERCASE | ES_LOWERCASE), 0, 0,
                                 frame.right - frame.left, frame.bottom - frame.top,
                                 GetParent(edit), 0, 0, nullptr);
    SendMessageA(fresh, WM_SETFONT, static_cast<WPARAM>(SendMessageA(edit, WM_GETFONT, 0, 0)), 0);
    SetWindowTextA(fresh, text.c_str());
    if (ShownLineStarts(fresh) != ShownLineStarts(edit)) __builtin_trap();
    DestroyWindow(fresh);
}

struct Run {
    HWND parent = 0;
    HWND control = 0;
    HWND buddy = 0;
    uint8_t killOn = 0; // which notification destroys the control: 0 none
    unsigned notifications = 0;
};

Run* current = nullptr;

LRESULT ParentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    bool fromControl = message == WM_COMMAND || message == WM_HSCROLL || message == WM_VSCROLL ||
                       message == WM_DRAWITEM ||
                       (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC);
    if (current != nullptr && fromControl && current->killOn != 0 &&
        ++current->notifications % current->killOn == 0)
        DestroyWindow(current->control);
    return DefWindowProcA(window, message, wParam, lParam);
}

void Send(Run& run, Reader& in) {
    UINT message = MESSAGES[in.Byte() % std::size(MESSAGES)];
    WPARAM wParam = in.U32();
    LPARAM lParam = static_cast<int32_t>(in.U32());
    if (message == UDM_SETBUDDY) wParam = (in.Byte() & 1) ? run.buddy : wParam;
    if (message == WM_SETFONT && (in.Byte() & 1)) wParam = GetStockObject(DEFAULT_GUI_FONT);
    if (!TakesPointer(message)) {
        SendMessageA(run.control, message, wParam, lParam);
        return;
    }
    // A guard word after the buffer catches any write past what was given.
    constexpr uint32_t kGuard = 0xA5A5A5A5;
    struct {
        union {
            std::array<UDACCEL, 8> accels;
            std::array<int, 64> ints;
            std::array<char, 256> bytes;
        };
        uint32_t guard;
    } buffer{};
    buffer.guard = kGuard;
    char text[32] = {};
    for (char& c : text)
        c = static_cast<char>(in.Byte());
    text[31] = '\0';
    if (message == UDM_SETACCEL || message == UDM_GETACCEL) {
        wParam %= buffer.accels.size() + 1;
        for (UDACCEL& accel : buffer.accels)
            accel = UDACCEL{in.Byte() % 8u, in.U32()};
    }
    lParam = TakesText(message) ? reinterpret_cast<LPARAM>(text)
                                : reinterpret_cast<LPARAM>(buffer.bytes.data());
    if (message == EM_GETSEL) wParam = reinterpret_cast<WPARAM>(&buffer.ints[1]);
    if (message == EM_SETTABSTOPS || message == LB_SETTABSTOPS || message == LB_GETSELITEMS)
        wParam %= buffer.ints.size() + 1;
    if (message == WM_GETTEXT) wParam %= buffer.bytes.size() + 1;
    if (message == EM_GETLINE) {
        auto size = static_cast<WORD>(in.Byte() % buffer.bytes.size());
        std::memcpy(buffer.bytes.data(), &size, sizeof size);
    }
    SendMessageA(run.control, message, wParam, lParam);
    if (buffer.guard != kGuard) __builtin_trap();
}

void Input(Reader& in) {
    int x = 100 + in.Byte() % 200, y = 100 + in.Byte() % 120;
    switch (in.Byte() % 7) {
    case 0:
        platform::headless::PressMouse(platform::headless::Button::Left, x, y);
        break;
    case 1:
        platform::headless::ReleaseMouse(platform::headless::Button::Left, x, y);
        break;
    case 2:
        platform::headless::MoveMouse(x, y);
        break;
    case 3:
        platform::headless::PressKey(in.Byte());
        break;
    case 4:
        platform::test::AdvanceClock(in.Byte() * 10u);
        break;
    case 5:
        platform::headless::TurnWheel(x, y, static_cast<int8_t>(in.Byte()) % 4);
        break;
    default:
        break;
    }
    platform::headless::DispatchPending();
}

} // namespace

// Fontconfig loses a few bytes once while reading its configuration; libFuzzer's leak check
// looks at the whole process whenever an input keeps memory (the window tables grow), so
// that loss would be charged to whichever input came along.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::headless::Install();
    platform::test::FreezeClock(1000);
    WNDCLASSA parentClass{};
    parentClass.lpfnWndProc = ParentProcedure;
    parentClass.style = CS_DBLCLKS;
    parentClass.lpszClassName = "FuzzParent";
    RegisterClassA(&parentClass);
    // Every control paints once before the inputs, so that fontconfig's first allocations
    // are not counted against one of them.
    HWND parent = CreateWindowExA(0, "FuzzParent", "", WS_POPUP | WS_VISIBLE, 100, 100, 200, 120, 0,
                                  0, 0, nullptr);
    std::string every;
    for (int c = 1; c < 256; ++c)
        every += static_cast<char>(c);
    for (const char* className : CLASSES)
        for (DWORD style : {0u, 3u, 7u, 0x2000u | TBS_AUTOTICKS})
            CreateWindowExA(0, className, every.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 150,
                            40, parent, 0, 0, nullptr);
    RedrawWindow(parent, nullptr, 0, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DestroyWindow(parent);
    platform::headless::DispatchPending();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in(data, size);
    Run run;
    current = &run;
    run.parent = CreateWindowExA(0, "FuzzParent", "", WS_POPUP | WS_VISIBLE, 100, 100, 200, 120, 0,
                                 0, 0, nullptr);
    run.buddy = CreateWindowExA(0, "STATIC", "12", WS_CHILD | WS_VISIBLE, 0, 0, 60, 20, run.parent,
                                0, 0, nullptr);
    const char* className = CLASSES[in.Byte() % std::size(CLASSES)];
    DWORD style = WS_CHILD | WS_VISIBLE | (in.U32() & 0xFFFF);
    int width = in.Byte(), height = in.Byte();
    run.killOn = in.Byte() % 8;
    run.control = CreateWindowExA(0, className, "&Text", style, in.Byte() % 100, in.Byte() % 80,
                                  width, height, run.parent, 7, 0, nullptr);
    for (int steps = 0; steps < 200 && in.More() && IsWindow(run.control); ++steps) {
        if (in.Byte() & 1)
            Send(run, in);
        else
            Input(in);
        if (IsWindow(run.control) && std::strcmp(className, "EDIT") == 0) {
            CheckLineIndex(run.control);
            // The fresh edit's notifications must not count towards destroying the control.
            current = nullptr;
            CheckWrappedLines(run.control);
            current = &run;
        }
    }
    DestroyWindow(run.parent);
    platform::headless::DispatchPending();
    current = nullptr;
    return 0;
}
