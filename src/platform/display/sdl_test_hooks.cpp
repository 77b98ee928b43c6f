#include "platform/display/sdl_test_hooks.h"

#include <SDL.h>

#include <cstring>

#include "platform/display/sdl_window_set.h"

namespace platform::test {
namespace {

SDL_Window* SdlWindowOf(HWND window) {
    SdlWindowSet* windows = SdlWindowSet::Live();
    return windows ? windows->SdlWindowOf(window) : nullptr;
}

bool Push(SDL_Event& event) {
    return SDL_PushEvent(&event) == 1;
}

// A point of the window's client area in its SDL window, which may show more than that,
// or show it scaled in full screen (the middle of the point's scaled pixel).
bool InSdlWindow(HWND window, int& x, int& y) {
    RECT insets{};
    if (!SdlWindowSet::ClientInsets(window, insets)) return false;
    x += insets.left;
    y += insets.top;
    SdlWindowSet* windows = SdlWindowSet::Live();
    SDL_Rect fitted;
    int width = 0;
    int height = 0;
    if (windows && windows->ScaledPicture(window, fitted, width, height)) {
        x = fitted.x + static_cast<int>((int64_t{x} * 2 + 1) * fitted.w / (int64_t{width} * 2));
        y = fitted.y + static_cast<int>((int64_t{y} * 2 + 1) * fitted.h / (int64_t{height} * 2));
    }
    return true;
}

} // namespace

std::unique_ptr<DisplayBackend> MakeOffscreenSdlDisplay() {
    // SDL's video, once running, keeps the driver it started with.
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return nullptr;
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
    return MakeSdlDisplay();
}

bool SdlWindowSize(HWND window, int& width, int& height) {
    SDL_Window* sdl = SdlWindowOf(window);
    if (!sdl) return false;
    SDL_GetWindowSize(sdl, &width, &height);
    return true;
}

bool SdlWindowTitle(HWND window, std::string& title) {
    SDL_Window* sdl = SdlWindowOf(window);
    if (!sdl) return false;
    title = SDL_GetWindowTitle(sdl);
    return true;
}

bool PushSdlKey(const char* keyName, bool down, bool repeat, bool numLock) {
    SDL_Scancode scancode = SDL_GetScancodeFromName(keyName);
    if (scancode == SDL_SCANCODE_UNKNOWN) return false;
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    SDL_Window* focus = SDL_GetKeyboardFocus();
    event.key.windowID = focus ? SDL_GetWindowID(focus) : 0;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    event.key.keysym.mod = numLock ? KMOD_NUM : KMOD_NONE;
    return Push(event);
}

bool PushSdlText(const char* utf8) {
    SDL_Event event{};
    if (std::strlen(utf8) >= sizeof(event.text.text)) return false;
    event.type = SDL_TEXTINPUT;
    std::strcpy(event.text.text, utf8);
    return Push(event);
}

bool PushSdlMouse(HWND window, int x, int y, MouseEvent kind, int wheel) {
    SDL_Window* sdl = SdlWindowOf(window);
    if (!sdl || !InSdlWindow(window, x, y)) return false;
    Uint32 id = SDL_GetWindowID(sdl);
    SDL_Event event{};
    switch (kind) {
    case MouseEvent::Move:
        event.type = SDL_MOUSEMOTION;
        event.motion.windowID = id;
        event.motion.x = x;
        event.motion.y = y;
        return Push(event);
    case MouseEvent::Wheel:
        event.type = SDL_MOUSEWHEEL;
        event.wheel.windowID = id;
        event.wheel.y = wheel / WHEEL_DELTA;
        event.wheel.preciseY = static_cast<float>(wheel) / WHEEL_DELTA;
        event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
        event.wheel.mouseX = x;
        event.wheel.mouseY = y;
        return Push(event);
    default:
        break;
    }
    bool down = kind == MouseEvent::LeftDown || kind == MouseEvent::RightDown ||
                kind == MouseEvent::MiddleDown;
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = id;
    event.button.button =
        kind == MouseEvent::LeftDown || kind == MouseEvent::LeftUp     ? SDL_BUTTON_LEFT
        : kind == MouseEvent::RightDown || kind == MouseEvent::RightUp ? SDL_BUTTON_RIGHT
                                                                       : SDL_BUTTON_MIDDLE;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    return Push(event);
}

bool PushSdlWindowEvent(HWND window, SdlWindowChange change, int a, int b) {
    SDL_Window* sdl = SdlWindowOf(window);
    if (!sdl) return false;
    static constexpr SDL_WindowEventID kEvents[] = {
        SDL_WINDOWEVENT_CLOSE,        SDL_WINDOWEVENT_SIZE_CHANGED, SDL_WINDOWEVENT_MOVED,
        SDL_WINDOWEVENT_MINIMIZED,    SDL_WINDOWEVENT_MAXIMIZED,    SDL_WINDOWEVENT_RESTORED,
        SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_FOCUS_LOST,
    };
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(sdl);
    event.window.event = static_cast<Uint8>(kEvents[static_cast<int>(change)]);
    event.window.data1 = a;
    event.window.data2 = b;
    return Push(event);
}

bool PushSdlDrop(HWND window, const std::vector<std::string>& files) {
    SDL_Window* sdl = SdlWindowOf(window);
    if (!sdl) return false;
    SDL_Event event{};
    event.drop.windowID = SDL_GetWindowID(sdl);
    event.type = SDL_DROPBEGIN;
    if (!Push(event)) return false;
    for (const std::string& file : files) {
        event.type = SDL_DROPFILE;
        event.drop.file = SDL_strdup(file.c_str());
        if (!Push(event)) {
            SDL_free(event.drop.file);
            return false;
        }
    }
    event.type = SDL_DROPCOMPLETE;
    event.drop.file = nullptr;
    return Push(event);
}

bool ReadPresentedPixel(HWND window, int x, int y, uint32_t& pixel) {
    return InSdlWindow(window, x, y) && ReadSdlWindowPixel(window, x, y, pixel);
}

bool ReadSdlWindowPixel(HWND window, int x, int y, uint32_t& pixel) {
    SDL_Window* sdl = SdlWindowOf(window);
    SDL_Surface* surface = sdl ? SDL_GetWindowSurface(sdl) : nullptr;
    if (!surface || x < 0 || y < 0 || x >= surface->w || y >= surface->h) return false;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
    const auto* at = static_cast<const unsigned char*>(surface->pixels) +
                     static_cast<size_t>(y) * surface->pitch +
                     static_cast<size_t>(x) * surface->format->BytesPerPixel;
    uint32_t read = 0;
    bool converted = SDL_ConvertPixels(1, 1, surface->format->format, at, surface->pitch,
                                       SDL_PIXELFORMAT_RGB888, &read, 4) == 0;
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    pixel = read & 0xFFFFFF;
    return converted;
}

} // namespace platform::test
