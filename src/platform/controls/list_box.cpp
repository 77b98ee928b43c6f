#include "platform/controls/list_box.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/control_common.h"
#include "platform/controls/control_procedure.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/label.h"
#include "platform/controls/tabbed_text.h"
#include "platform/controls/text_case.h"
#include "platform/gdi/controls/focus_rect.h"

namespace platform {

namespace {

constexpr int kTextMargin = 2;
constexpr int kDefaultTabUnits = 32;
// Items a notch of the wheel scrolls, as the desktop scrolls lines.
constexpr int kWheelLines = 3;

struct Item {
    std::string text;
    uintptr_t data = 0;
    bool selected = false;
};

struct ListState {
    ControlFont font;
    // Each item on its own, so that inserting into a long list moves pointers only.
    std::vector<std::unique_ptr<Item>> items;
    int top = 0;
    int caret = -1;
    int anchor = -1;
    int current = -1;   // the chosen item of a single-selection box
    int itemHeight = 0; // 0 until measured or set
    bool heightSet = false;
    int extent = 0;
    int xOffset = 0;
    std::vector<int> tabUnits;
    bool focused = false;
    bool tracking = false;
    bool fitting = false;
    bool verticalBar = false;
    bool horizontalBar = false;
    HWND colorSource = 0;
    int wheelRest = 0;
};

ControlStates<ListState>& States() {
    static auto* states = new ControlStates<ListState>;
    return *states;
}

enum class Mode { Single, Multiple, Extended, None };

Mode ModeOf(HWND window) {
    DWORD style = StyleOf(window);
    if (style & LBS_NOSEL) return Mode::None;
    if (style & LBS_EXTENDEDSEL) return Mode::Extended;
    if (style & LBS_MULTIPLESEL) return Mode::Multiple;
    return Mode::Single;
}

int Count(const ListState& state) {
    return static_cast<int>(state.items.size());
}

Item& Entry(ListState& state, int index) {
    return *state.items[static_cast<size_t>(index)];
}
const Item& Entry(const ListState& state, int index) {
    return *state.items[static_cast<size_t>(index)];
}

bool Valid(const ListState& state, int index) {
    return index >= 0 && index < Count(state);
}

int ItemHeight(HWND window, ListState& state) {
    if (state.itemHeight > 0) return state.itemHeight;
    HDC dc = GetDC(window);
    TEXTMETRICA metrics{};
    if (dc != 0) {
        HGDIOBJ old = state.font.Select(dc);
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(window, dc);
    }
    state.itemHeight = std::max(static_cast<int>(metrics.tmHeight), 1);
    return state.itemHeight;
}

int AverageWidth(HWND window, ListState& state) {
    HDC dc = GetDC(window);
    TEXTMETRICA metrics{};
    if (dc != 0) {
        HGDIOBJ old = state.font.Select(dc);
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(window, dc);
    }
    return std::max(static_cast<int>(metrics.tmAveCharWidth), 1);
}

int VisibleItems(HWND window, ListState& state) {
    RECT client = ClientOf(window);
    return std::max(static_cast<int>(client.bottom - client.top) / ItemHeight(window, state), 1);
}

bool Selected(HWND window, const ListState& state, int index) {
    if (!Valid(state, index)) return false;
    return ModeOf(window) == Mode::Single ? index == state.current : Entry(state, index).selected;
}

void UpdateScrollBars(HWND window, ListState& state) {
    UINT disable = (StyleOf(window) & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0;
    if (state.verticalBar) {
        SCROLLINFO info{sizeof(SCROLLINFO),
                        SIF_ALL | disable,
                        0,
                        Count(state) - 1,
                        static_cast<UINT>(VisibleItems(window, state)),
                        state.top,
                        0};
        SetScrollInfo(window, SB_VERT, &info, TRUE);
    }
    if (state.horizontalBar) {
        RECT client = ClientOf(window);
        SCROLLINFO info{sizeof(SCROLLINFO),
                        SIF_ALL | disable,
                        0,
                        state.extent - 1,
                        static_cast<UINT>(client.right - client.left),
                        state.xOffset,
                        0};
        SetScrollInfo(window, SB_HORZ, &info, TRUE);
    }
}

void Redraw(HWND window, ListState& state) {
    UpdateScrollBars(window, state);
    InvalidateRect(window, nullptr, TRUE);
}

void SetTop(HWND window, ListState& state, int top) {
    int last = std::max(Count(state) - VisibleItems(window, state), 0);
    state.top = std::clamp(top, 0, last);
    Redraw(window, state);
}

void ShowItem(HWND window, ListState& state, int index) {
    if (!Valid(state, index)) return;
    int visible = VisibleItems(window, state);
    if (index < state.top)
        SetTop(window, state, index);
    else if (index >= state.top + visible)
        SetTop(window, state, index - visible + 1);
    else
        Redraw(window, state);
}

// Shrinks the window to whole items unless LBS_NOINTEGRALHEIGHT.
void FitHeight(HWND window, ListState& state) {
    if ((StyleOf(window) & LBS_NOINTEGRALHEIGHT) || state.fitting) return;
    RECT client = ClientOf(window), frame{};
    GetWindowRect(window, &frame);
    int spare = static_cast<int>(client.bottom - client.top) % ItemHeight(window, state);
    if (spare == 0) return;
    state.fitting = true;
    SetWindowPos(window, 0, 0, 0, frame.right - frame.left, frame.bottom - frame.top - spare,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    state.fitting = false;
}

int Insert(HWND window, ListState& state, int index, const char* text, bool sorted) {
    if (text == nullptr) text = "";
    if (sorted) {
        auto at = std::upper_bound(state.items.begin(), state.items.end(), std::string_view(text),
                                   [](std::string_view value, const std::unique_ptr<Item>& item) {
                                       return CompareIgnoringCase(value, item->text) < 0;
                                   });
        index = static_cast<int>(at - state.items.begin());
    } else if (index == -1) {
        index = Count(state);
    } else if (index < 0 || index > Count(state)) {
        return static_cast<int>(LB_ERR);
    }
    state.items.insert(state.items.begin() + index, std::make_unique<Item>(Item{text, 0, false}));
    for (int* mark : {&state.current, &state.caret, &state.anchor})
        if (*mark >= index) ++*mark;
    Redraw(window, state);
    return index;
}

LRESULT Delete(HWND window, ListState& state, int index) {
    if (!Valid(state, index)) return LB_ERR;
    state.items.erase(state.items.begin() + index);
    for (int* mark : {&state.current, &state.caret, &state.anchor}) {
        if (*mark == index) *mark = -1;
        if (*mark > index) --*mark;
    }
    SetTop(window, state, state.top);
    return Count(state);
}

int Find(const ListState& state, int start, const char* text, bool exact) {
    if (text == nullptr || state.items.empty()) return static_cast<int>(LB_ERR);
    if (!Valid(state, start)) start = -1;
    int count = Count(state);
    for (int step = 1; step <= count; ++step) {
        int index = (start + step) % count;
        const std::string& item = Entry(state, index).text;
        if (exact ? CompareIgnoringCase(item, text) == 0 : StartsWithIgnoringCase(item, text))
            return index;
    }
    return static_cast<int>(LB_ERR);
}

bool Notify(HWND window, WORD code) {
    if (!(StyleOf(window) & LBS_NOTIFY)) return true;
    return NotifyParent(window, code);
}

int ItemAt(HWND window, ListState& state, int y) {
    int index = state.top + (y < 0 ? -1 : y / ItemHeight(window, state));
    return std::clamp(index, 0, std::max(Count(state) - 1, 0));
}

std::vector<bool> Snapshot(HWND window, const ListState& state) {
    std::vector<bool> selection;
    for (int i = 0; i < Count(state); ++i)
        selection.push_back(Selected(window, state, i));
    return selection;
}

void SelectRange(ListState& state, int from, int to, bool on) {
    if (from > to) std::swap(from, to);
    for (int i = std::max(from, 0); i <= to && i < Count(state); ++i)
        Entry(state, i).selected = on;
}

void SelectOnly(ListState& state, int from, int to) {
    for (std::unique_ptr<Item>& item : state.items)
        item->selected = false;
    SelectRange(state, from, to, true);
}

// The user's choice of `index` with the modifiers given; LBN_SELCHANGE when the selection
// changed. False when the window died.
bool Choose(HWND window, ListState& state, int index, bool shift, bool ctrl, bool toggle) {
    if (!Valid(state, index)) return true;
    std::vector<bool> before = Snapshot(window, state);
    switch (ModeOf(window)) {
    case Mode::None:
        break;
    case Mode::Single:
        state.current = index;
        break;
    case Mode::Multiple:
        if (toggle) Entry(state, index).selected ^= true;
        break;
    case Mode::Extended:
        if (shift && Valid(state, state.anchor)) {
            if (!ctrl)
                SelectOnly(state, state.anchor, index);
            else
                SelectRange(state, state.anchor, index, true);
        } else if (ctrl) {
            if (toggle) Entry(state, index).selected ^= true;
            state.anchor = index;
        } else {
            SelectOnly(state, index, index);
            state.anchor = index;
        }
        break;
    }
    state.caret = index;
    if (!Valid(state, state.anchor)) state.anchor = index;
    ShowItem(window, state, index);
    if (Snapshot(window, state) == before) return true;
    return Notify(window, LBN_SELCHANGE);
}

bool KeyDown(HWND window, ListState& state, int key) {
    if (state.items.empty()) return true;
    bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
    int from = Valid(state, state.caret) ? state.caret : 0;
    int page = VisibleItems(window, state), to = from;
    switch (key) {
    case VK_UP:
        to = from - 1;
        break;
    case VK_DOWN:
        to = Valid(state, state.caret) ? from + 1 : 0;
        break;
    case VK_PRIOR:
        to = from - page + 1;
        break;
    case VK_NEXT:
        to = from + page - 1;
        break;
    case VK_HOME:
        to = 0;
        break;
    case VK_END:
        to = Count(state) - 1;
        break;
    case VK_SPACE:
        if (ModeOf(window) == Mode::Multiple || (ModeOf(window) == Mode::Extended && ctrl))
            return Choose(window, state, from, false, true, true);
        return true;
    default:
        return true;
    }
    to = std::clamp(to, 0, Count(state) - 1);
    if (ModeOf(window) == Mode::Multiple || (ModeOf(window) == Mode::Extended && ctrl && !shift)) {
        state.caret = to;
        ShowItem(window, state, to);
        return true;
    }
    return Choose(window, state, to, shift, false, false);
}

std::vector<int> TabPixels(HWND window, ListState& state) {
    std::vector<int> pixels;
    int average = AverageWidth(window, state);
    for (int units : state.tabUnits)
        pixels.push_back(static_cast<int>(std::clamp(units, 0, 1 << 24) * int64_t{average} / 4));
    if (pixels.empty()) pixels.push_back(kDefaultTabUnits * average / 4);
    return pixels;
}

void Paint(HWND window, ListState& state, HDC dc) {
    HBRUSH brush = 0;
    if (state.colorSource != 0 && IsWindow(state.colorSource)) {
        brush =
            static_cast<HBRUSH>(SendMessageA(state.colorSource, WM_CTLCOLORLISTBOX,
                                             static_cast<WPARAM>(dc), static_cast<LPARAM>(window)));
        if (brush == 0 || GetObjectType(brush) != OBJ_BRUSH)
            brush = DefaultControlColor(WM_CTLCOLORLISTBOX, dc);
    } else {
        brush = ParentColor(window, WM_CTLCOLORLISTBOX, dc);
    }
    if (!IsWindow(window)) return;
    RECT client = ClientOf(window);
    FillRect(dc, &client, brush);
    HGDIOBJ oldFont = state.font.Select(dc);
    SetBkMode(dc, TRANSPARENT);
    bool enabled = IsWindowEnabled(window);
    if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    COLORREF normal = GetTextColor(dc);
    bool tabs = (StyleOf(window) & LBS_USETABSTOPS) != 0;
    std::vector<int> stops = TabPixels(window, state);
    int height = ItemHeight(window, state);
    for (int index = state.top, y = 0; index < Count(state) && y < client.bottom;
         ++index, y += height) {
        const std::string& text = Entry(state, index).text;
        RECT row{0, y, client.right, y + height};
        bool selected = Selected(window, state, index);
        if (selected) FillRect(dc, &row, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : normal);
        int x = kTextMargin - state.xOffset;
        if (tabs)
            TabbedTextOutA(dc, x, y, text.data(), static_cast<int>(text.size()),
                           static_cast<int>(stops.size()), stops.data(), x);
        else
            TextOutA(dc, x, y, text.data(), static_cast<int>(text.size()));
        if (state.focused && index == state.caret) DrawFocusRect(dc, &row);
    }
    SelectObject(dc, oldFont);
}

LRESULT SelectionItems(HWND window, const ListState& state, WPARAM wParam, LPARAM lParam) {
    if (ModeOf(window) == Mode::Single) return LB_ERR;
    auto room = static_cast<int>(wParam);
    auto* out = reinterpret_cast<int*>(lParam);
    if (room < 0 || (room > 0 && out == nullptr)) return LB_ERR;
    int written = 0;
    for (int i = 0; i < Count(state) && written < room; ++i)
        if (Entry(state, i).selected) out[written++] = i;
    return written;
}

LRESULT Scroll(HWND window, ListState& state, WORD code, int thumb) {
    int page = VisibleItems(window, state);
    switch (code) {
    case SB_LINEUP:
        SetTop(window, state, state.top - 1);
        break;
    case SB_LINEDOWN:
        SetTop(window, state, state.top + 1);
        break;
    case SB_PAGEUP:
        SetTop(window, state, state.top - page);
        break;
    case SB_PAGEDOWN:
        SetTop(window, state, state.top + page);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        SetTop(window, state, thumb);
        break;
    case SB_TOP:
        SetTop(window, state, 0);
        break;
    case SB_BOTTOM:
        SetTop(window, state, Count(state));
        break;
    default:
        break;
    }
    return 0;
}

LRESULT ScrollColumns(HWND window, ListState& state, WORD code, int thumb) {
    RECT client = ClientOf(window);
    int page = static_cast<int>(client.right - client.left), to = state.xOffset;
    if (code == SB_LINELEFT) to -= 8;
    if (code == SB_LINERIGHT) to += 8;
    if (code == SB_PAGELEFT) to -= page;
    if (code == SB_PAGERIGHT) to += page;
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) to = thumb;
    state.xOffset = std::clamp(to, 0, std::max(state.extent - page, 0));
    Redraw(window, state);
    return 0;
}

LRESULT Handle(HWND window, ListState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    Mode mode = ModeOf(window);
    switch (message) {
    case WM_CREATE: {
        DWORD style = StyleOf(window);
        state.verticalBar = (style & WS_VSCROLL) != 0;
        state.horizontalBar = (style & WS_HSCROLL) != 0;
        FitHeight(window, state);
        UpdateScrollBars(window, state);
        return 0;
    }
    case WM_SIZE:
        FitHeight(window, state);
        SetTop(window, state, state.top);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc != 0) Paint(window, state, dc);
        if (IsWindow(window)) EndPaint(window, &paint);
        return 0;
    }
    case WM_ENABLE:
    case WM_STYLECHANGED:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
        state.focused = true;
        InvalidateRect(window, nullptr, TRUE);
        NotifyParent(window, LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        state.focused = false;
        InvalidateRect(window, nullptr, TRUE);
        NotifyParent(window, LBN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN: {
        if (GetFocus() != window) SetFocus(window);
        if (!IsWindow(window) || state.items.empty()) return 0;
        int index = ItemAt(window, state, static_cast<short>(HIWORD(lParam)));
        bool shift = (wParam & MK_SHIFT) != 0, ctrl = (wParam & MK_CONTROL) != 0;
        state.tracking = true;
        SetCapture(window);
        Choose(window, state, index, shift, ctrl || mode == Mode::Multiple, true);
        return 0;
    }
    // A press on a window scroll bar is tracked by DefWindowProcA through the same messages.
    case WM_MOUSEMOVE:
        if (state.tracking && GetCapture() == window &&
            (mode == Mode::Single || mode == Mode::Extended)) {
            Choose(window, state, ItemAt(window, state, static_cast<short>(HIWORD(lParam))),
                   mode == Mode::Extended, false, false);
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (state.tracking) {
            state.tracking = false;
            if (GetCapture() == window) ReleaseCapture();
            return 0;
        }
        break;
    // A press that loses the pointer before its button goes up was cancelled.
    case WM_CAPTURECHANGED:
        if (state.tracking) {
            state.tracking = false;
            if (static_cast<HWND>(lParam) != window) Notify(window, LBN_SELCANCEL);
            return 0;
        }
        break;
    case WM_MOUSEWHEEL: {
        state.wheelRest += static_cast<short>(HIWORD(wParam));
        int notches = state.wheelRest / WHEEL_DELTA;
        state.wheelRest -= notches * WHEEL_DELTA;
        if (notches != 0) SetTop(window, state, state.top - notches * kWheelLines);
        return 0;
    }
    case WM_LBUTTONDBLCLK:
        if (!state.items.empty()) Notify(window, LBN_DBLCLK);
        return 0;
    case WM_KEYDOWN:
        KeyDown(window, state, static_cast<int>(wParam));
        return 0;
    case WM_VSCROLL:
        return Scroll(window, state, LOWORD(wParam), HIWORD(wParam));
    case WM_HSCROLL:
        return ScrollColumns(window, state, LOWORD(wParam), HIWORD(wParam));
    case LB_ADDSTRING:
        return Insert(window, state, -1, reinterpret_cast<const char*>(lParam),
                      (StyleOf(window) & LBS_SORT) != 0);
    case LB_INSERTSTRING:
        return Insert(window, state, static_cast<int>(wParam),
                      reinterpret_cast<const char*>(lParam), false);
    case LB_DELETESTRING:
        return Delete(window, state, static_cast<int>(wParam));
    case LB_RESETCONTENT:
        state.items.clear();
        state.current = state.caret = state.anchor = -1;
        state.top = 0;
        Redraw(window, state);
        return LB_OKAY;
    case LB_GETCOUNT:
        return Count(state);
    case LB_GETCURSEL:
        if (mode == Mode::Single) return state.current;
        return Valid(state, state.caret) ? state.caret : LB_ERR;
    case LB_SETCURSEL: {
        auto index = static_cast<int>(wParam);
        if (mode != Mode::Single) return LB_ERR;
        state.current = Valid(state, index) ? index : -1;
        if (state.current >= 0) state.caret = state.current;
        ShowItem(window, state, state.current);
        Redraw(window, state);
        return state.current >= 0 ? state.current : LB_ERR;
    }
    case LB_GETSEL: {
        auto index = static_cast<int>(wParam);
        if (!Valid(state, index)) return LB_ERR;
        return Selected(window, state, index) ? 1 : 0;
    }
    case LB_SETSEL: {
        auto index = static_cast<int>(lParam);
        if (mode == Mode::Single || mode == Mode::None) return LB_ERR;
        if (index == -1)
            SelectRange(state, 0, Count(state) - 1, wParam != 0);
        else if (Valid(state, index))
            SelectRange(state, index, index, wParam != 0);
        else
            return LB_ERR;
        Redraw(window, state);
        return LB_OKAY;
    }
    case LB_SELITEMRANGE: {
        if (mode == Mode::Single || mode == Mode::None) return LB_ERR;
        int first = LOWORD(lParam), last = HIWORD(lParam);
        if (Count(state) == 0) return LB_OKAY;
        SelectRange(state, first, std::min(last, Count(state) - 1), wParam != 0);
        Redraw(window, state);
        return LB_OKAY;
    }
    case LB_GETSELCOUNT: {
        if (mode == Mode::Single) return LB_ERR;
        return std::count_if(state.items.begin(), state.items.end(),
                             [](const std::unique_ptr<Item>& item) { return item->selected; });
    }
    case LB_GETSELITEMS:
        return SelectionItems(window, state, wParam, lParam);
    case LB_GETTEXTLEN: {
        auto index = static_cast<int>(wParam);
        if (!Valid(state, index)) return LB_ERR;
        return static_cast<LRESULT>(Entry(state, index).text.size());
    }
    case LB_GETTEXT: {
        auto index = static_cast<int>(wParam);
        if (!Valid(state, index) || lParam == 0) return LB_ERR;
        const std::string& text = Entry(state, index).text;
        std::memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
        return static_cast<LRESULT>(text.size());
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
        return Find(state, static_cast<int>(wParam), reinterpret_cast<const char*>(lParam),
                    message == LB_FINDSTRINGEXACT);
    case LB_SELECTSTRING: {
        if (mode != Mode::Single) return LB_ERR;
        int index =
            Find(state, static_cast<int>(wParam), reinterpret_cast<const char*>(lParam), false);
        if (index < 0) return LB_ERR;
        state.current = state.caret = index;
        ShowItem(window, state, index);
        return index;
    }
    case LB_GETITEMDATA: {
        auto index = static_cast<int>(wParam);
        if (!Valid(state, index)) return LB_ERR;
        return static_cast<LRESULT>(Entry(state, index).data);
    }
    case LB_SETITEMDATA: {
        auto index = static_cast<int>(wParam);
        if (!Valid(state, index)) return LB_ERR;
        Entry(state, index).data = static_cast<uintptr_t>(lParam);
        return LB_OKAY;
    }
    case LB_GETTOPINDEX:
        return state.top;
    case LB_SETTOPINDEX: {
        auto index = static_cast<int>(wParam);
        if (!Valid(state, index) && !(index == 0 && state.items.empty())) return LB_ERR;
        SetTop(window, state, index);
        return LB_OKAY;
    }
    case LB_GETHORIZONTALEXTENT:
        return state.extent;
    case LB_SETHORIZONTALEXTENT:
        state.extent = std::max(static_cast<int>(wParam), 0);
        ScrollColumns(window, state, SB_THUMBPOSITION, state.xOffset);
        return 0;
    case LB_GETITEMHEIGHT:
        return ItemHeight(window, state);
    case LB_SETITEMHEIGHT: {
        int height = static_cast<int>(static_cast<short>(LOWORD(lParam)));
        if (height <= 0 || height > 255) return LB_ERR;
        state.itemHeight = height;
        FitHeight(window, state);
        SetTop(window, state, state.top);
        return LB_OKAY;
    }
    case LB_GETCARETINDEX:
        return state.caret;
    case LB_SETCARETINDEX: {
        auto index = static_cast<int>(wParam);
        if (!Valid(state, index)) return LB_ERR;
        state.caret = index;
        ShowItem(window, state, index);
        return LB_OKAY;
    }
    case LB_GETITEMRECT: {
        auto index = static_cast<int>(wParam);
        auto* rect = reinterpret_cast<RECT*>(lParam);
        if (!Valid(state, index) || rect == nullptr) return LB_ERR;
        RECT client = ClientOf(window);
        int height = ItemHeight(window, state);
        *rect =
            RECT{0, (index - state.top) * height, client.right, (index - state.top + 1) * height};
        return LB_OKAY;
    }
    case LB_ITEMFROMPOINT: {
        int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
        RECT client = ClientOf(window);
        int index = ItemAt(window, state, y);
        int height = ItemHeight(window, state);
        bool outside = x < client.left || x >= client.right || y < 0 || y >= client.bottom ||
                       y >= (Count(state) - state.top) * height;
        return MAKELONG(index, outside ? 1 : 0);
    }
    case LB_SETTABSTOPS: {
        auto count = static_cast<int>(wParam);
        if (count < 0 || (count > 0 && lParam == 0)) return FALSE;
        const auto* stops = reinterpret_cast<const int*>(lParam);
        if (count == 0)
            state.tabUnits.clear();
        else
            state.tabUnits.assign(stops, stops + count);
        InvalidateRect(window, nullptr, TRUE);
        return TRUE;
    }
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

void SetListBoxColorSource(HWND list, HWND source) {
    if (std::shared_ptr<ListState> state = States().Find(list)) state->colorSource = source;
}

LRESULT ListBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunControl<ListState>(States(), Handle, window, message, wParam, lParam);
}

} // namespace platform
