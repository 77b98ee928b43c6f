#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>

#include "platform/input/dinput.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/errors.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/waitable.h"
#include "platform/system/system_info.h"
#include "platform/user/input/input_routing.h"
#include "platform/user/paint/update_region.h"

namespace platform {
namespace {

constexpr UINT kDoubleClickTime = 500;

std::atomic<LONG> cursorX{0};
std::atomic<LONG> cursorY{0};

// The last button press, for double clicks. Used on the thread that injects.
struct LastClick {
    HWND window = 0;
    UINT message = 0;
    DWORD time = 0;
    POINT at{};
};
LastClick lastClick;

// The movement and wheel reported since the DirectInput mouse last took them.
struct Motion {
    int64_t x = 0, y = 0, wheel = 0;
    // Held-pointer movement came since the last pointer position: the next position is
    // where that movement led, already counted, and not a movement of its own.
    bool heldSincePosition = false;
};
std::mutex& MotionLock() {
    static std::mutex lock;
    return lock;
}
Motion& GatheredMotion() {
    static Motion motion;
    return motion;
}

bool Contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

bool IsButtonOrKey(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message > WM_MOUSEMOVE && message <= WM_MOUSELAST) ||
           (message > WM_NCMOUSEMOVE && message <= WM_NCMOUSEMOVE + 9);
}

struct Hit {
    WindowPtr window;
    LRESULT code = HTNOWHERE;
    // A disabled child lies under the point: its parent takes the input.
    bool disabledChild = false;
};

// The deepest window under the point among `siblings` (in z-order) and their children.
Hit HitTestAmong(const std::vector<HWND>& siblings, POINT point, bool topLevel) {
    for (HWND handle : siblings) {
        WindowPtr window;
        std::vector<HWND> children;
        bool inClient;
        bool ownThread;
        LRESULT fallback;
        {
            std::lock_guard lock(WindowLock());
            window = LiveLocked(handle);
            if (!window || !(window->style & WS_VISIBLE)) continue;
            if (!Contains(ScreenRectLocked(*window), point)) continue;
            children = window->children;
            inClient = Contains(ScreenClientLocked(*window), point);
            ownThread = window->threadId == GetCurrentThreadId();
            fallback = DefaultHitTestLocked(*window, point);
        }
        if (!WindowRegionContains(handle, point)) continue;
        bool disabled;
        {
            std::lock_guard lock(WindowLock());
            disabled = (window->style & WS_DISABLED) != 0;
        }
        if (disabled) {
            if (topLevel) return Hit{window, HTERROR, false};
            return Hit{nullptr, HTNOWHERE, true};
        }
        if (inClient && !children.empty()) {
            Hit inner = HitTestAmong(children, point, false);
            if (inner.window) return inner;
        }
        LRESULT code =
            ownThread ? Send(window, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)) : fallback;
        if (code == HTTRANSPARENT) continue;
        return Hit{window, code, false};
    }
    return Hit{};
}

Hit HitTestScreen(POINT point) {
    std::vector<HWND> topLevel;
    {
        std::lock_guard lock(WindowLock());
        for (const WindowPtr& window : AllWindowsLocked()) {
            if (window->parent == 0 && !window->dead) {
                topLevel = SiblingsLocked(*window);
                break;
            }
        }
    }
    return HitTestAmong(topLevel, point, true);
}

WPARAM MouseKeyFlags() {
    WPARAM flags = 0;
    if (GetAsyncKeyState(VK_LBUTTON) < 0) flags |= MK_LBUTTON;
    if (GetAsyncKeyState(VK_RBUTTON) < 0) flags |= MK_RBUTTON;
    if (GetAsyncKeyState(VK_MBUTTON) < 0) flags |= MK_MBUTTON;
    if (GetAsyncKeyState(VK_SHIFT) < 0) flags |= MK_SHIFT;
    if (GetAsyncKeyState(VK_CONTROL) < 0) flags |= MK_CONTROL;
    return flags;
}

void Post(const WindowPtr& target, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{target->handle, message, wParam, lParam, timeGetTime(), {cursorX, cursorY}};
    std::lock_guard lock(GetWaitHub().lock);
    if (MessageQueue* queue = FindThreadQueueLocked(target->threadId)) PostInputLocked(*queue, msg);
}

// The client message of an event, with the button it concerns.
UINT ClientMessage(MouseEvent kind) {
    switch (kind) {
    case MouseEvent::LeftDown:
        return WM_LBUTTONDOWN;
    case MouseEvent::LeftUp:
        return WM_LBUTTONUP;
    case MouseEvent::RightDown:
        return WM_RBUTTONDOWN;
    case MouseEvent::RightUp:
        return WM_RBUTTONUP;
    case MouseEvent::MiddleDown:
        return WM_MBUTTONDOWN;
    case MouseEvent::MiddleUp:
        return WM_MBUTTONUP;
    default:
        return WM_MOUSEMOVE;
    }
}

void TrackButtons(MouseEvent kind) {
    switch (kind) {
    case MouseEvent::LeftDown:
    case MouseEvent::LeftUp:
        SetKeyState(VK_LBUTTON, kind == MouseEvent::LeftDown);
        break;
    case MouseEvent::RightDown:
    case MouseEvent::RightUp:
        SetKeyState(VK_RBUTTON, kind == MouseEvent::RightDown);
        break;
    case MouseEvent::MiddleDown:
    case MouseEvent::MiddleUp:
        SetKeyState(VK_MBUTTON, kind == MouseEvent::MiddleDown);
        break;
    default:
        break;
    }
}

bool IsDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

// A press becomes a double click when it repeats the last one on the same window soon
// enough and near enough.
UINT DoubleClickOf(const WindowPtr& target, UINT message, POINT point) {
    DWORD now = timeGetTime();
    bool dblclks;
    {
        std::lock_guard lock(WindowLock());
        dblclks = (target->windowClass->style & CS_DBLCLKS) != 0;
    }
    bool repeat =
        lastClick.window == target->handle && lastClick.message == message &&
        static_cast<int32_t>(now - lastClick.time) >= 0 &&
        now - lastClick.time <= kDoubleClickTime &&
        std::abs(int64_t{point.x} - lastClick.at.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
        std::abs(int64_t{point.y} - lastClick.at.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    if (repeat && dblclks) {
        lastClick = LastClick{};
        return message + (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN);
    }
    lastClick = LastClick{target->handle, message, now, point};
    return message;
}

void InjectWheel(int wheel) {
    WindowPtr target;
    {
        std::lock_guard lock(WindowLock());
        InputState& state = InputStateLocked();
        target = LiveLocked(state.focus);
        if (!target) target = LiveLocked(state.active);
    }
    if (!target) return;
    WPARAM wParam = MouseKeyFlags() | static_cast<WPARAM>(static_cast<WORD>(wheel)) << 16;
    Post(target, WM_MOUSEWHEEL, wParam, MAKELPARAM(cursorX, cursorY));
}

} // namespace

RECT ScreenRectLocked(const Window& window) {
    RECT rect = window.window;
    if (window.parent == 0) return rect;
    WindowPtr parent = LiveLocked(window.parent);
    if (!parent) return rect;
    POINT origin = ClientOriginLocked(*parent);
    return RECT{Clamp32(int64_t{rect.left} + origin.x), Clamp32(int64_t{rect.top} + origin.y),
                Clamp32(int64_t{rect.right} + origin.x), Clamp32(int64_t{rect.bottom} + origin.y)};
}

RECT ScreenClientLocked(const Window& window) {
    POINT origin = ClientOriginLocked(window);
    return RECT{origin.x, origin.y,
                Clamp32(int64_t{origin.x} + window.client.right - window.client.left),
                Clamp32(int64_t{origin.y} + window.client.bottom - window.client.top)};
}

void InjectMouseMotion(int dx, int dy) {
    std::lock_guard hold(MotionLock());
    Motion& motion = GatheredMotion();
    motion.x += dx;
    motion.y += dy;
    motion.heldSincePosition = true;
}

void TakeMouseMotion(LONG& x, LONG& y, LONG& wheel) {
    std::lock_guard hold(MotionLock());
    Motion& motion = GatheredMotion();
    x = Clamp32(motion.x);
    y = Clamp32(motion.y);
    wheel = Clamp32(motion.wheel);
    motion = Motion{.heldSincePosition = motion.heldSincePosition};
}

bool PostInputLocked(MessageQueue& queue, const MSG& msg) {
    if (msg.message == WM_MOUSEMOVE) {
        for (auto it = queue.posted.rbegin(); it != queue.posted.rend(); ++it) {
            if (IsButtonOrKey(it->message)) break;
            if (it->message == WM_MOUSEMOVE) {
                *it = msg;
                GetWaitHub().NotifyAll();
                return true;
            }
        }
    }
    if (queue.posted.size() >= MAX_POSTED_MESSAGES) return false;
    queue.posted.push_back(msg);
    GetWaitHub().NotifyAll();
    return true;
}

void InjectMouse(int screenX, int screenY, MouseEvent kind, int wheel) {
    {
        std::lock_guard hold(MotionLock());
        Motion& motion = GatheredMotion();
        if (!motion.heldSincePosition) {
            motion.x += int64_t{screenX} - cursorX;
            motion.y += int64_t{screenY} - cursorY;
        }
        motion.heldSincePosition = false;
        if (kind == MouseEvent::Wheel) motion.wheel += wheel;
    }
    cursorX = screenX;
    cursorY = screenY;
    TrackButtons(kind);
    if (kind == MouseEvent::Wheel) {
        InjectWheel(wheel);
        return;
    }
    POINT point{screenX, screenY};
    UINT message = ClientMessage(kind);
    WindowPtr target;
    LRESULT hit = HTCLIENT;
    {
        std::lock_guard lock(WindowLock());
        target = LiveLocked(InputStateLocked().capture);
    }
    bool captured = target != nullptr;
    if (!captured) {
        Hit found = HitTestScreen(point);
        if (!found.window) return;
        target = found.window;
        hit = found.code;
        if (hit == HTERROR || hit == HTNOWHERE) {
            Send(target, WM_SETCURSOR, target->handle, MAKELPARAM(hit, message));
            return;
        }
        bool eat = false;
        if (IsDown(message)) {
            WindowPtr top;
            bool active;
            {
                std::lock_guard lock(WindowLock());
                top = TopLevelLocked(target);
                active = top && InputStateLocked().active == top->handle;
            }
            if (top && !active) {
                LRESULT answer =
                    Send(target, WM_MOUSEACTIVATE, top->handle, MAKELPARAM(hit, message));
                if (answer == 0) answer = MA_ACTIVATE;
                if (answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) {
                    bool can;
                    {
                        std::lock_guard lock(WindowLock());
                        can = !top->dead && !top->destroying && !(top->style & WS_DISABLED);
                    }
                    if (can) Activate(top, WA_CLICKACTIVE, true, true);
                }
                eat = answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT;
            }
        }
        Send(target, WM_SETCURSOR, target->handle, MAKELPARAM(hit, message));
        if (eat) return;
    }
    RECT client;
    {
        std::lock_guard lock(WindowLock());
        if (target->dead) return;
        client = ScreenClientLocked(*target);
    }
    if (hit != HTCLIENT) {
        Post(target, message - WM_MOUSEMOVE + WM_NCMOUSEMOVE, static_cast<WPARAM>(hit),
             MAKELPARAM(screenX, screenY));
        return;
    }
    if (IsDown(message)) message = DoubleClickOf(target, message, point);
    Post(target, message, MouseKeyFlags(),
         MAKELPARAM(int64_t{screenX} - client.left, int64_t{screenY} - client.top));
}

} // namespace platform

BOOL GetCursorPos(POINT* point) {
    if (!point) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *point = POINT{platform::cursorX, platform::cursorY};
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    platform::cursorX = x;
    platform::cursorY = y;
    return TRUE;
}

UINT GetDoubleClickTime() {
    return platform::kDoubleClickTime;
}

HWND WindowFromPoint(POINT point) {
    platform::Hit found = platform::HitTestScreen(point);
    if (!found.window || found.code == HTERROR) return 0;
    return found.window->handle;
}

HWND ChildWindowFromPointEx(HWND parentHandle, POINT point, UINT flags) {
    platform::WindowPtr parent = platform::LookupWindow(parentHandle);
    if (!parent) return 0;
    std::lock_guard lock(platform::WindowLock());
    const RECT& client = parent->client;
    RECT area{0, 0, client.right - client.left, client.bottom - client.top};
    if (!platform::Contains(area, point)) return 0;
    for (HWND handle : parent->children) {
        platform::WindowPtr child = platform::LiveLocked(handle);
        if (!child || !platform::Contains(child->window, point)) continue;
        if ((flags & CWP_SKIPINVISIBLE) && !(child->style & WS_VISIBLE)) continue;
        if ((flags & CWP_SKIPDISABLED) && (child->style & WS_DISABLED)) continue;
        if ((flags & CWP_SKIPTRANSPARENT) && (child->exStyle & WS_EX_TRANSPARENT)) continue;
        return handle;
    }
    return parentHandle;
}
