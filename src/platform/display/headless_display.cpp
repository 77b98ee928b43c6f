#include "platform/display/headless_display.h"

#include <stdlib.h>

#include <algorithm>
#include <iterator>
#include <limits>

#include "platform/display/display_backend.h"
#include "platform/display/png_dump.h"
#include "platform/display/usual_modes.h"
#include "platform/gdi/framebuffer.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/test_hooks.h"
#include "platform/system/system_info.h"
#include "platform/user/input/input_routing.h"
#include "platform/user/menus/menu_test_hooks.h"
#include "platform/user/test_hooks.h"

namespace platform {
namespace {

constexpr int kFrequency = 60;

// The desktop's mode first, then the usual ones it is not already.
std::vector<DisplayMode> OfferedModes() {
    VirtualDisplay desktop = GetVirtualDisplay();
    std::vector<DisplayMode> modes{
        DisplayMode{desktop.width, desktop.height, desktop.bitsPerPixel, kFrequency}};
    AddUsualModes(modes, kFrequency, std::numeric_limits<int>::max(),
                  std::numeric_limits<int>::max());
    return modes;
}

// Keeps every window's pixels in memory and shows nothing; what the user does comes from
// the test interface only.
class HeadlessDisplay : public DisplayBackend {
public:
    HeadlessDisplay() : modes_(OfferedModes()) {}
    std::string_view Name() const override { return "headless"; }
    // Nobody looks, but the dirty lists are dropped all the same.
    void Pump() override { PresentFramebuffers(); }
    DWORD PumpInterval() const override { return INFINITE; }
    std::vector<DisplayMode> Modes() const override { return modes_; }
    bool SetMode(const DisplayMode& mode) override {
        return std::any_of(modes_.begin(), modes_.end(), [&](const DisplayMode& offered) {
            return offered.width == mode.width && offered.height == mode.height &&
                   offered.bitsPerPixel == mode.bitsPerPixel && offered.frequency == mode.frequency;
        });
    }
    bool ShowsWindows() const override { return false; }
    void Flash(HWND window, bool on) override { flashes_.push_back({window, on}); }
    const std::vector<headless::FlashRequest>& Flashes() const { return flashes_; }

private:
    std::vector<DisplayMode> modes_;
    std::vector<headless::FlashRequest> flashes_;
};

MouseEvent PressOf(headless::Button button) {
    switch (button) {
    case headless::Button::Right:
        return MouseEvent::RightDown;
    case headless::Button::Middle:
        return MouseEvent::MiddleDown;
    default:
        return MouseEvent::LeftDown;
    }
}

MouseEvent ReleaseOf(headless::Button button) {
    switch (button) {
    case headless::Button::Right:
        return MouseEvent::RightUp;
    case headless::Button::Middle:
        return MouseEvent::MiddleUp;
    default:
        return MouseEvent::LeftUp;
    }
}

// A point of a window's client area on the screen; false when the window is gone.
bool OnScreen(HWND window, int& x, int& y) {
    POINT point{x, y};
    if (!ClientToScreen(window, &point)) return false;
    x = point.x;
    y = point.y;
    return true;
}

} // namespace

std::unique_ptr<DisplayBackend> MakeHeadlessDisplay() {
    return std::make_unique<HeadlessDisplay>();
}

} // namespace platform

namespace platform::headless {

void Install() {
    SetActiveDisplay(MakeHeadlessDisplay());
}

std::vector<FlashRequest> Flashes() {
    auto* display = dynamic_cast<HeadlessDisplay*>(&ActiveDisplay());
    return display != nullptr ? display->Flashes() : std::vector<FlashRequest>{};
}

int DispatchPending() {
    int count = 0;
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Back where it was, for the test's own loop to see.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        ++count;
    }
    return count;
}

void MoveMouse(int x, int y) {
    InjectMouse(x, y, MouseEvent::Move);
}

void PressMouse(Button button, int x, int y) {
    InjectMouse(x, y, PressOf(button));
}

void ReleaseMouse(Button button, int x, int y) {
    InjectMouse(x, y, ReleaseOf(button));
}

void Click(Button button, int x, int y) {
    PressMouse(button, x, y);
    ReleaseMouse(button, x, y);
}

void TurnWheel(int x, int y, int steps) {
    InjectMouse(x, y, MouseEvent::Wheel, steps * WHEEL_DELTA);
}

bool MoveMouse(HWND window, int x, int y) {
    if (!OnScreen(window, x, y)) return false;
    MoveMouse(x, y);
    return true;
}

bool PressMouse(HWND window, Button button, int x, int y) {
    if (!OnScreen(window, x, y)) return false;
    PressMouse(button, x, y);
    return true;
}

bool ReleaseMouse(HWND window, Button button, int x, int y) {
    if (!OnScreen(window, x, y)) return false;
    ReleaseMouse(button, x, y);
    return true;
}

bool Click(HWND window, Button button, int x, int y) {
    if (!OnScreen(window, x, y)) return false;
    Click(button, x, y);
    return true;
}

bool TurnWheel(HWND window, int x, int y, int steps) {
    if (!OnScreen(window, x, y)) return false;
    TurnWheel(x, y, steps);
    return true;
}

void KeyDown(int vKey) {
    InjectKey(vKey, true);
}

void KeyUp(int vKey) {
    InjectKey(vKey, false);
}

void PressKey(int vKey) {
    KeyDown(vKey);
    KeyUp(vKey);
}

void TypeText(std::string_view text) {
    InjectText(text);
}

bool DropFiles(int x, int y, const std::vector<std::string>& files) {
    return InjectDrop(POINT{x, y}, files);
}

bool DropFiles(HWND window, int x, int y, const std::vector<std::string>& files) {
    return OnScreen(window, x, y) && DropFiles(x, y, files);
}

void RequestClose(HWND window) {
    DisplayCloseRequested(window);
}

void ResizeClient(HWND window, int width, int height) {
    DisplayResized(window, width, height);
}

void MoveClient(HWND window, int x, int y) {
    DisplayMoved(window, x, y);
}

void Minimize(HWND window) {
    DisplayStateChanged(window, DisplayWindowState::Minimized);
}

void Maximize(HWND window) {
    DisplayStateChanged(window, DisplayWindowState::Maximized);
}

void Restore(HWND window) {
    DisplayStateChanged(window, DisplayWindowState::Restored);
}

void Focus(HWND window) {
    DisplayActivated(window);
}

void SetAppActive(bool active) {
    InjectAppActive(active);
}

void AdvanceTime(DWORD milliseconds) {
    if (!IsClockFrozen()) test::FreezeClock(timeGetTime());
    test::AdvanceClock(milliseconds);
}

bool ReadPixels(HWND window, Pixels& pixels) {
    return test::ReadWindowPixels(window, pixels.data, pixels.width, pixels.height);
}

bool ReadWholePixels(HWND handle, Pixels& pixels) {
    std::lock_guard windows(WindowLock());
    WindowPtr window = LookupWindowLocked(handle);
    if (!window) return false;
    WindowPtr top = window;
    while (top->parent != 0)
        if (!(top = LookupWindowLocked(top->parent))) return false;
    RECT screen = ScreenRectLocked(*window);
    int64_t left = int64_t{screen.left} - top->window.left;
    int64_t topEdge = int64_t{screen.top} - top->window.top;
    pixels.width = static_cast<int>(
        std::clamp<int64_t>(int64_t{screen.right} - screen.left, 0, MAX_FRAMEBUFFER_SIDE));
    pixels.height = static_cast<int>(
        std::clamp<int64_t>(int64_t{screen.bottom} - screen.top, 0, MAX_FRAMEBUFFER_SIDE));
    pixels.data.assign(static_cast<size_t>(pixels.width) * pixels.height, 0);
    std::lock_guard lock(FramebufferLock());
    Framebuffer* buffer = FramebufferLocked(*top);
    if (buffer == nullptr) return true;
    for (int y = 0; y < pixels.height; ++y) {
        int64_t fy = topEdge + y;
        if (fy < 0 || fy >= buffer->height) continue;
        for (int x = 0; x < pixels.width; ++x) {
            int64_t fx = left + x;
            if (fx < 0 || fx >= buffer->width) continue;
            pixels.data[static_cast<size_t>(y) * pixels.width + x] =
                buffer->pixels[static_cast<size_t>(fy) * buffer->width + fx];
        }
    }
    return true;
}

void SetMenuWaitHook(std::function<void(HWND popup)> hook) {
    test::SetMenuWaitHook(std::move(hook));
}

bool WritePng(HWND window, const std::string& linuxPath) {
    Pixels pixels;
    if (!ReadPixels(window, pixels)) return false;
    return WritePngFile(linuxPath, pixels.data.data(), pixels.width, pixels.height);
}

void SetEnvironment(const char* name, const char* value) {
    if (value != nullptr)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

} // namespace platform::headless
