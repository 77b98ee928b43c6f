#include "platform/controls/up_down.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/controls/control_common.h"
#include "platform/controls/control_procedure.h"
#include "platform/controls/label.h"
#include "platform/controls/up_down_text.h"
#include "platform/gdi/controls/frame_control.h"
#include "platform/kernel/clock.h"

namespace platform {

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeat = 200;
constexpr UINT kNextRepeats = 50;

struct UpDownState {
    ControlFont font;
    int upper = 0;
    int lower = 100;
    int position = 0;
    int base = 10;
    HWND buddy = 0;
    std::vector<UDACCEL> accels{{0, 1}, {2, 5}, {5, 20}};
    int pressed = 0; // +1 the up arrow held, -1 the down arrow, 0 none
    bool pointerOnArrow = false;
    bool repeating = false;
    DWORD pressTime = 0;
};

ControlStates<UpDownState>& States() {
    static auto* states = new ControlStates<UpDownState>;
    return *states;
}

// Buddies whose keys an up-down takes (UDS_ARROWKEYS): their own procedure and the up-down.
struct Subclass {
    WNDPROC procedure;
    HWND upDown;
};

struct Subclasses {
    std::mutex mutex;
    std::unordered_map<HWND, Subclass> entries;
};

Subclasses& Buddies() {
    static auto* buddies = new Subclasses;
    return *buddies;
}

bool Horizontal(HWND window) {
    return (StyleOf(window) & UDS_HORZ) != 0;
}

int Low(const UpDownState& state) {
    return std::min(state.upper, state.lower);
}
int High(const UpDownState& state) {
    return std::max(state.upper, state.lower);
}

void WriteBuddy(HWND window, const UpDownState& state) {
    if (!(StyleOf(window) & UDS_SETBUDDYINT) || state.buddy == 0 || !IsWindow(state.buddy)) return;
    std::string text =
        UpDownText(state.position, state.base, (StyleOf(window) & UDS_NOTHOUSANDS) != 0);
    SendMessageA(state.buddy, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Reads the buddy's number under UDS_SETBUDDYINT; false when its text is no number in the
// range.
bool ReadBuddy(HWND window, UpDownState& state) {
    if (!(StyleOf(window) & UDS_SETBUDDYINT) || state.buddy == 0 || !IsWindow(state.buddy))
        return true;
    std::optional<int> value = ParseUpDownText(TextOf(state.buddy), state.base);
    if (!value || *value < Low(state) || *value > High(state)) return false;
    state.position = *value;
    return true;
}

bool Notify(HWND window, const UpDownState& state, WORD code) {
    HWND parent = GetParent(window);
    if (parent != 0)
        SendMessageA(parent, Horizontal(window) ? WM_HSCROLL : WM_VSCROLL,
                     MAKEWPARAM(code, state.position), static_cast<LPARAM>(window));
    return IsWindow(window);
}

UINT Increment(const UpDownState& state) {
    DWORD seconds = state.pressed != 0 ? (timeGetTime() - state.pressTime) / 1000 : 0;
    UINT increment = state.accels.front().nInc;
    for (const UDACCEL& accel : state.accels)
        if (accel.nSec <= seconds) increment = accel.nInc;
    return increment;
}

// One step toward the upper limit (+1) or the lower one (-1).
void Step(HWND window, UpDownState& state, int direction) {
    // A buddy holding no number in the range leaves the position as it was.
    ReadBuddy(window, state);
    int toward = state.upper >= state.lower ? direction : -direction;
    int64_t next = int64_t{state.position} + int64_t{toward} * Increment(state);
    if (next > High(state) || next < Low(state)) {
        if (StyleOf(window) & UDS_WRAP)
            next = next > High(state) ? Low(state) : High(state);
        else
            next = std::clamp<int64_t>(next, Low(state), High(state));
    }
    if (next == state.position) return;
    state.position = static_cast<int>(next);
    WriteBuddy(window, state);
    if (IsWindow(window)) Notify(window, state, SB_THUMBPOSITION);
}

// The arrow under a client point: +1 up (right under UDS_HORZ), -1 down (left).
int ArrowAt(HWND window, LPARAM lParam) {
    RECT client = ClientOf(window);
    auto x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    if (!Contains(client, x, y)) return 0;
    if (Horizontal(window)) return x >= client.right / 2 ? 1 : -1;
    return y < client.bottom / 2 ? 1 : -1;
}

void Paint(HWND window, const UpDownState& state, HDC dc) {
    RECT client = ClientOf(window);
    bool horizontal = Horizontal(window);
    RECT first = client, second = client;
    if (horizontal)
        first.right = second.left = client.right / 2;
    else
        first.bottom = second.top = client.bottom / 2;
    // `first` is the up arrow, or the left (down) one.
    UINT inactive = IsWindowEnabled(window) ? 0 : DFCS_INACTIVE;
    bool held = state.pointerOnArrow;
    DrawFrameControl(dc, &first, DFC_SCROLL,
                     (horizontal ? DFCS_SCROLLLEFT : DFCS_SCROLLUP) | inactive |
                         (held && state.pressed == (horizontal ? -1 : 1) ? DFCS_PUSHED : 0));
    DrawFrameControl(dc, &second, DFC_SCROLL,
                     (horizontal ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN) | inactive |
                         (held && state.pressed == (horizontal ? 1 : -1) ? DFCS_PUSHED : 0));
}

void StopPress(HWND window, UpDownState& state) {
    if (state.pressed == 0) return;
    state.pressed = 0;
    state.pointerOnArrow = false;
    state.repeating = false;
    KillTimer(window, kRepeatTimer);
    InvalidateRect(window, nullptr, FALSE);
}

LRESULT BuddyProcedure(HWND buddy, UINT message, WPARAM wParam, LPARAM lParam) {
    Subclass entry{};
    {
        std::lock_guard lock(Buddies().mutex);
        auto found = Buddies().entries.find(buddy);
        if (found == Buddies().entries.end()) return DefWindowProcA(buddy, message, wParam, lParam);
        entry = found->second;
        if (message == WM_NCDESTROY) Buddies().entries.erase(found);
    }
    if ((message == WM_KEYDOWN || message == WM_KEYUP) && (wParam == VK_UP || wParam == VK_DOWN)) {
        std::shared_ptr<UpDownState> state = States().Find(entry.upDown);
        if (state && state->buddy == buddy) {
            if (message == WM_KEYDOWN)
                Step(entry.upDown, *state, wParam == VK_UP ? 1 : -1);
            else
                Notify(entry.upDown, *state, SB_ENDSCROLL);
            return 0;
        }
    }
    return CallWindowProcA(entry.procedure, buddy, message, wParam, lParam);
}

void Unsubclass(HWND buddy) {
    WNDPROC procedure = nullptr;
    {
        std::lock_guard lock(Buddies().mutex);
        auto found = Buddies().entries.find(buddy);
        if (found == Buddies().entries.end()) return;
        procedure = found->second.procedure;
        Buddies().entries.erase(found);
    }
    if (IsWindow(buddy))
        SetWindowLongPtrA(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
}

void SubclassBuddy(HWND window, HWND buddy) {
    auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(buddy, GWLP_WNDPROC));
    if (procedure == nullptr || procedure == BuddyProcedure) return;
    {
        std::lock_guard lock(Buddies().mutex);
        Buddies().entries[buddy] = Subclass{procedure, window};
    }
    SetWindowLongPtrA(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BuddyProcedure));
}

// Puts the up-down beside its buddy, inside the buddy's old rectangle.
void Align(HWND window, HWND buddy) {
    DWORD style = StyleOf(window);
    if (!(style & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT))) return;
    RECT place{};
    GetWindowRect(buddy, &place);
    MapWindowPoints(0, GetParent(buddy), reinterpret_cast<POINT*>(&place), 2);
    RECT own{};
    GetWindowRect(window, &own);
    int width = std::min<LONG>(own.right - own.left, place.right - place.left);
    int height = place.bottom - place.top;
    if (style & UDS_ALIGNRIGHT) {
        MoveWindow(buddy, place.left, place.top, place.right - place.left - width, height, TRUE);
        MoveWindow(window, place.right - width, place.top, width, height, TRUE);
    } else {
        MoveWindow(buddy, place.left + width, place.top, place.right - place.left - width, height,
                   TRUE);
        MoveWindow(window, place.left, place.top, width, height, TRUE);
    }
}

LRESULT SetBuddy(HWND window, UpDownState& state, HWND buddy) {
    HWND old = state.buddy;
    if (old != 0) Unsubclass(old);
    state.buddy = buddy != 0 && IsWindow(buddy) ? buddy : 0;
    if (state.buddy != 0) {
        if (StyleOf(window) & UDS_ARROWKEYS) SubclassBuddy(window, state.buddy);
        Align(window, state.buddy);
    }
    return static_cast<LRESULT>(old);
}

LRESULT SetAccel(UpDownState& state, WPARAM count, LPARAM lParam) {
    const auto* table = reinterpret_cast<const UDACCEL*>(lParam);
    if (count == 0 || table == nullptr || count > 0x10000) return FALSE;
    state.accels.assign(table, table + count);
    return TRUE;
}

LRESULT GetAccel(const UpDownState& state, WPARAM count, LPARAM lParam) {
    auto* table = reinterpret_cast<UDACCEL*>(lParam);
    if (table != nullptr)
        std::copy_n(state.accels.begin(), std::min<size_t>(count, state.accels.size()), table);
    return static_cast<LRESULT>(state.accels.size());
}

void Press(HWND window, UpDownState& state, LPARAM lParam) {
    int arrow = ArrowAt(window, lParam);
    if (arrow == 0 || state.pressed != 0) return;
    SetCapture(window);
    state.pressed = arrow;
    state.pointerOnArrow = true;
    state.pressTime = timeGetTime();
    InvalidateRect(window, nullptr, FALSE);
    SetTimer(window, kRepeatTimer, kFirstRepeat, nullptr);
    Step(window, state, arrow);
}

void Release(HWND window, UpDownState& state) {
    if (state.pressed == 0) return;
    StopPress(window, state);
    ReleaseCapture();
    if (IsWindow(window)) Notify(window, state, SB_ENDSCROLL);
}

LRESULT Handle(HWND window, UpDownState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc != 0) Paint(window, state, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        Press(window, state, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (state.pressed != 0) {
            bool on = ArrowAt(window, lParam) == state.pressed;
            if (on != state.pointerOnArrow) InvalidateRect(window, nullptr, FALSE);
            state.pointerOnArrow = on;
        }
        return 0;
    case WM_LBUTTONUP:
        Release(window, state);
        return 0;
    case WM_TIMER:
        if (wParam == kRepeatTimer && state.pressed != 0) {
            if (!state.repeating) {
                state.repeating = true;
                SetTimer(window, kRepeatTimer, kNextRepeats, nullptr);
            }
            if (state.pointerOnArrow) Step(window, state, state.pressed);
        }
        return 0;
    case WM_CAPTURECHANGED:
        StopPress(window, state);
        return 0;
    case WM_ENABLE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_DESTROY:
        StopPress(window, state);
        if (state.buddy != 0) Unsubclass(state.buddy);
        state.buddy = 0;
        break;
    case UDM_SETRANGE:
        state.upper = static_cast<short>(LOWORD(lParam));
        state.lower = static_cast<short>(HIWORD(lParam));
        state.position = std::clamp(state.position, Low(state), High(state));
        return 0;
    case UDM_GETRANGE:
        return MAKELONG(state.upper, state.lower);
    case UDM_SETPOS: {
        int old = state.position;
        state.position =
            std::clamp<int>(static_cast<short>(LOWORD(lParam)), Low(state), High(state));
        WriteBuddy(window, state);
        return old;
    }
    case UDM_GETPOS: {
        bool valid = ReadBuddy(window, state);
        return MAKELONG(state.position, valid ? 0 : 1);
    }
    case UDM_SETBUDDY:
        return SetBuddy(window, state, static_cast<HWND>(wParam));
    case UDM_GETBUDDY:
        return static_cast<LRESULT>(state.buddy);
    case UDM_SETACCEL:
        return SetAccel(state, wParam, lParam);
    case UDM_GETACCEL:
        return GetAccel(state, wParam, lParam);
    case UDM_SETBASE: {
        if (wParam != 10 && wParam != 16) return 0;
        int old = state.base;
        state.base = static_cast<int>(wParam);
        WriteBuddy(window, state);
        return old;
    }
    case UDM_GETBASE:
        return state.base;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

LRESULT UpDownProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunControl<UpDownState>(States(), Handle, window, message, wParam, lParam);
}

} // namespace platform

HWND CreateUpDownControl(DWORD style, int x, int y, int width, int height, HWND parent, int id,
                         HINSTANCE instance, HWND buddy, int upper, int lower, int position) {
    HWND window = CreateWindowExA(0, "msctls_updown32", nullptr, style, x, y, width, height, parent,
                                  static_cast<HMENU>(id), instance, nullptr);
    if (window == 0) return 0;
    SendMessageA(window, UDM_SETBUDDY, static_cast<WPARAM>(buddy), 0);
    SendMessageA(window, UDM_SETRANGE, 0, MAKELPARAM(upper, lower));
    SendMessageA(window, UDM_SETPOS, 0, MAKELPARAM(position, 0));
    return IsWindow(window) ? window : 0;
}
