#include "platform/display/sdl_input.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/display/display_backend.h"
#include "platform/display/sdl_keys.h"
#include "platform/display/sdl_text.h"
#include "platform/kernel/cp1252.h"

namespace platform {
namespace {

// The text SDL hands over with a dropped file or text, which the event's receiver frees.
struct SdlFree {
    void operator()(char* text) const { SDL_free(text); }
};
using SdlText = std::unique_ptr<char, SdlFree>;

bool Down(int vKey) {
    return GetAsyncKeyState(vKey) < 0;
}

// With Ctrl, or with the left Alt, a key types no character of its own: TranslateMessage
// makes the control character or WM_SYSCHAR from the key press, and the text SDL also
// reports would type it twice. Ctrl and Alt together stand for AltGr, which types.
bool KeysMakeText() {
    bool control = Down(VK_CONTROL);
    bool alt = Down(VK_LMENU);
    return control == alt;
}

// A dropped file's name: a Linux path, only converted. A character Windows-1252 cannot
// hold becomes '?', so that the name opens nothing rather than another file.
std::string DroppedName(const char* utf8) {
    std::string name;
    Utf8ToCp1252(utf8, name);
    return name;
}

bool IsFocusEvent(const SDL_Event& event, Uint8 change) {
    return event.type == SDL_WINDOWEVENT && event.window.event == change;
}

} // namespace

void DropFocusBounces(std::deque<SDL_Event>& events) {
    std::vector<bool> drop(events.size(), false);
    for (size_t lost = 0; lost < events.size(); ++lost) {
        if (!IsFocusEvent(events[lost], SDL_WINDOWEVENT_FOCUS_LOST)) continue;
        size_t gained = lost + 1;
        while (gained < events.size() &&
               !IsFocusEvent(events[gained], SDL_WINDOWEVENT_FOCUS_GAINED))
            ++gained;
        // The keyboard left for another application, or comes back in a later pump.
        if (gained == events.size()) continue;
        for (size_t up = lost; up-- > 0 && events[up].type == SDL_KEYUP;) {
            for (size_t down = gained + 1; down < events.size() && events[down].type == SDL_KEYDOWN;
                 ++down) {
                if (drop[down] ||
                    events[down].key.keysym.scancode != events[up].key.keysym.scancode)
                    continue;
                drop[up] = true;
                drop[down] = true;
                break;
            }
        }
    }
    size_t kept = 0;
    for (size_t i = 0; i < events.size(); ++i)
        if (!drop[i]) events[kept++] = events[i];
    events.resize(kept);
}

void SdlInput::Poll() {
    SDL_Event event;
    while (SDL_PollEvent(&event))
        queue_.push_back(event);
    DropFocusBounces(queue_);
    while (!queue_.empty()) {
        event = queue_.front();
        queue_.pop_front();
        Handle(event);
    }
}

void SdlInput::Handle(const SDL_Event& event) {
    switch (event.type) {
    case SDL_WINDOWEVENT:
        HandleWindowEvent(event.window);
        break;
    case SDL_MOUSEMOTION:
        if (relative_)
            InjectMouseMotion(event.motion.xrel, event.motion.yrel);
        else
            HandleMouse(event.motion.windowID, event.motion.x, event.motion.y, MouseEvent::Move);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        bool down = event.type == SDL_MOUSEBUTTONDOWN;
        MouseEvent kind;
        switch (event.button.button) {
        case SDL_BUTTON_LEFT:
            kind = down ? MouseEvent::LeftDown : MouseEvent::LeftUp;
            break;
        case SDL_BUTTON_RIGHT:
            kind = down ? MouseEvent::RightDown : MouseEvent::RightUp;
            break;
        case SDL_BUTTON_MIDDLE:
            kind = down ? MouseEvent::MiddleDown : MouseEvent::MiddleUp;
            break;
        default:
            return;
        }
        HandleMouse(event.button.windowID, event.button.x, event.button.y, kind);
        break;
    }
    case SDL_MOUSEWHEEL:
        HandleWheel(event.wheel);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        bool numLock = (event.key.keysym.mod & KMOD_NUM) != 0;
        if (int vKey = VirtualKeyFromScancode(event.key.keysym.scancode, numLock))
            InjectKey(vKey, event.type == SDL_KEYDOWN);
        break;
    }
    case SDL_TEXTINPUT:
        HandleText(event.text.text);
        break;
    case SDL_DROPBEGIN:
        FinishDrop();
        dropWindow_ = event.drop.windowID;
        break;
    case SDL_DROPFILE: {
        SdlText file(event.drop.file);
        if (!file) break;
        if (!dropped_.empty() && dropWindow_ != event.drop.windowID) FinishDrop();
        dropWindow_ = event.drop.windowID;
        dropped_.push_back(DroppedName(file.get()));
        break;
    }
    case SDL_DROPTEXT:
        SDL_free(event.drop.file);
        break;
    case SDL_DROPCOMPLETE:
        FinishDrop();
        break;
    default:
        // SDL_QUIT among them: every window's close button arrives on its own.
        break;
    }
}

void SdlInput::HandleWindowEvent(const SDL_WindowEvent& event) {
    HWND window = windows_.WindowOf(event.windowID);
    if (window == 0) return;
    // The SDL window shows more than the client area, which moves and sizes follow.
    RECT insets{};
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        DisplayCloseRequested(window);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        if (windows_.NotedSize(window, event.data1, event.data2) &&
            SdlWindowSet::ClientInsets(window, insets))
            DisplayResized(window, event.data1 - insets.left - insets.right,
                           event.data2 - insets.top - insets.bottom);
        break;
    case SDL_WINDOWEVENT_MOVED:
        if (windows_.NotedMove(window, event.data1, event.data2) &&
            SdlWindowSet::ClientInsets(window, insets))
            DisplayMoved(window, event.data1 + insets.left, event.data2 + insets.top);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        DisplayStateChanged(window, DisplayWindowState::Minimized);
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
        DisplayStateChanged(window, DisplayWindowState::Maximized);
        break;
    case SDL_WINDOWEVENT_RESTORED:
        DisplayStateChanged(window, DisplayWindowState::Restored);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        focusLost_ = false;
        // A popup (a menu, a dropped list) is never activated: it would close at once.
        if (windows_.ReturnFocusFromPopup(window)) break;
        DisplayActivated(window);
        if (GetActiveWindow() != window) windows_.RaiseActiveAgain();
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        focusLost_ = true;
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        SdlWindowSet::Repaint(window);
        break;
    default:
        break;
    }
}

void SdlInput::HandleMouse(Uint32 sdlWindowId, int x, int y, MouseEvent kind, int wheel) {
    POINT origin;
    HWND window = windows_.WindowOf(sdlWindowId);
    if (window == 0 || !SdlWindowSet::AreaOrigin(window, origin)) return;
    POINT shown = windows_.ShownPoint(window, x, y);
    InjectMouse(Clamp32(int64_t{origin.x} + shown.x), Clamp32(int64_t{origin.y} + shown.y), kind,
                wheel);
}

void SdlInput::HandleWheel(const SDL_MouseWheelEvent& event) {
    float turned = event.preciseY;
    if (!std::isfinite(turned)) return;
    if (event.direction == SDL_MOUSEWHEEL_FLIPPED) turned = -turned;
    float amount = turned * WHEEL_DELTA + wheelRest_;
    // Kept within what an int holds, whatever a device reports.
    amount = std::clamp(amount, -1e6f, 1e6f);
    int whole = static_cast<int>(amount);
    wheelRest_ = amount - static_cast<float>(whole);
    if (whole != 0)
        HandleMouse(event.windowID, event.mouseX, event.mouseY, MouseEvent::Wheel, whole);
}

void SdlInput::HandleText(const char* utf8) {
    if (!KeysMakeText()) return;
    std::string text = TypedText(utf8);
    if (!text.empty()) InjectText(text);
}

void SdlInput::FinishDrop() {
    std::vector<std::string> files;
    files.swap(dropped_);
    HWND window = windows_.WindowOf(dropWindow_);
    SDL_Window* sdl = windows_.SdlWindowOf(window);
    POINT origin;
    if (files.empty() || !sdl || !SdlWindowSet::AreaOrigin(window, origin)) return;
    // The pointer over the window the files fell on; SDL names the window, so the point
    // is kept inside its client area even where the pointer's place is not known.
    int pointerX = 0;
    int pointerY = 0;
    int windowX = 0;
    int windowY = 0;
    int width = 1;
    int height = 1;
    SDL_GetGlobalMouseState(&pointerX, &pointerY);
    SDL_GetWindowPosition(sdl, &windowX, &windowY);
    SDL_GetWindowSize(sdl, &width, &height);
    int x = std::clamp(pointerX - windowX, 0, std::max(width - 1, 0));
    int y = std::clamp(pointerY - windowY, 0, std::max(height - 1, 0));
    InjectDrop(POINT{Clamp32(int64_t{origin.x} + x), Clamp32(int64_t{origin.y} + y)}, files);
}

void SdlInput::Finish() {
    if (!dropped_.empty()) FinishDrop();
    if (focusLost_ && SDL_GetKeyboardFocus() == nullptr) InjectAppActive(false);
    focusLost_ = false;
}

} // namespace platform
