// The display on a desktop, through SDL2: each visible top-level window in an SDL window
// of its own, and what the user does there as the window manager's input.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/display/display_backend.h"
#include "platform/display/sdl_clipboard.h"
#include "platform/display/sdl_cursor.h"
#include "platform/display/sdl_errors.h"
#include "platform/display/sdl_input.h"
#include "platform/display/sdl_window_icons.h"
#include "platform/display/sdl_window_set.h"
#include "platform/display/usual_modes.h"
#include "platform/display/sni_tray.h"
#include "platform/display/x11_window_life.h"
#include "platform/libraries/lazy_library.h"
#include "platform/system/sdl_subsystem.h"
#include "platform/system/system_info.h"
#include "platform/user/input/input_routing.h"

namespace platform {
namespace {

// Other parts of the system may run SDL for sound or game input: SDL is quit whole only
// when the last of them is done.
void StopSdlVideo() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

// SDL's video, started before the display is made and stopped after everything made with
// it is gone.
struct SdlVideo {
    SdlVideo() = default;
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;
    ~SdlVideo() { StopSdlVideo(); }
};

DisplayMode ModeOf(const SDL_DisplayMode& mode) {
    int bits = SDL_BYTESPERPIXEL(mode.format) * 8;
    return DisplayMode{mode.w, mode.h, bits != 0 ? bits : 32, mode.refresh_rate};
}

// SDL's drivers that draw into memory only. Without a display SDL starts one of them on
// its own, and a message box drawn there would wait for a click nobody can give.
bool ShowsNothing(const char* driver) {
    return driver != nullptr &&
           (SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0);
}

// Whether the driver SDL started is one the environment asked for by name (SDL_VIDEODRIVER
// or the hint, a list of names).
bool DriverWasNamed(const char* driver) {
    const char* named = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (named == nullptr || driver == nullptr) return false;
    const size_t length = SDL_strlen(driver);
    for (const char* name = named; *name != '\0';) {
        const char* end = SDL_strchr(name, ',');
        const size_t size = end != nullptr ? size_t(end - name) : SDL_strlen(name);
        if (size == length && SDL_strncasecmp(name, driver, length) == 0) return true;
        name += end != nullptr ? size + 1 : size;
    }
    return false;
}

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

bool SameMode(const DisplayMode& a, const DisplayMode& b) {
    return a.width == b.width && a.height == b.height && a.bitsPerPixel == b.bitsPerPixel &&
           a.frequency == b.frequency;
}

class SdlDisplay final : public DisplayBackend {
public:
    SdlDisplay()
        : showsWindows_(!ShowsNothing(SDL_GetCurrentVideoDriver())) {
        SDL_StartTextInput();
        SetTextInputDelivered(true);
    }
    ~SdlDisplay() override {
        SetTextInputDelivered(false);
        SDL_StopTextInput();
    }

    std::string_view Name() const override { return "sdl"; }

    void Pump() override {
        if (pumping_) return;
        pumping_ = true;
        struct Done {
            bool& pumping;
            ~Done() { pumping = false; }
        } done{pumping_};
        if (life_ && life_->LostWindows()) return;
        input_.Poll();
        input_.Finish();
        windows_.Sync();
        icons_.Sync(windows_);
        cursor_.Show(CurrentCursor());
        windows_.Present();
    }

    DWORD PumpInterval() const override { return 10; }

    std::vector<DisplayMode> Modes() const override {
        std::vector<DisplayMode> modes;
        SDL_DisplayMode desktop;
        if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
            ReportSdlError("SDL_GetDesktopDisplayMode");
            return modes;
        }
        modes.push_back(ModeOf(desktop));
        int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode mode;
            if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
            DisplayMode offered = ModeOf(mode);
            bool known = false;
            for (const DisplayMode& listed : modes)
                known = known || SameMode(listed, offered);
            if (!known) modes.push_back(offered);
        }
        // Sizes the X server cannot switch to are shown scaled over the desktop.
        AddUsualModes(modes, modes.front().frequency, modes.front().width,
                      modes.front().height);
        return modes;
    }

    bool SetMode(const DisplayMode& wanted) override {
        std::vector<DisplayMode> modes = Modes();
        if (modes.empty()) return false;
        if (SameMode(wanted, modes.front())) return windows_.LeaveFullScreen();
        if (std::none_of(modes.begin(), modes.end(),
                         [&](const DisplayMode& mode) { return SameMode(mode, wanted); }))
            return false;
        // The X server's own mode of that size where it has one (our pixels take any
        // depth), else the desktop with the picture scaled.
        int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode mode;
            if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w == wanted.width &&
                mode.h == wanted.height && windows_.EnterFullScreen(&mode))
                return true;
        }
        return windows_.EnterFullScreen(nullptr);
    }

    bool ShowsWindows() const override { return showsWindows_; }

    void Flash(HWND window, bool on) override {
        if (SDL_Window* shown = windows_.SdlWindowOf(window))
            SDL_FlashWindow(shown, on ? SDL_FLASH_UNTIL_FOCUSED : SDL_FLASH_CANCEL);
    }

    void SetRelativeMouse(bool on) override {
        if (SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE) == 0) input_.SetRelative(on);
    }

private:
    // In this order: SDL's video outlives the windows and cursors made with it.
    SdlVideo video_;
    SdlWindowSet windows_;
    SdlCursor cursor_;
    SdlWindowIcons icons_;
    SdlInput input_{windows_};
    std::unique_ptr<X11WindowLife> life_ =
        SDL_strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0 ? std::make_unique<X11WindowLife>(windows_)
                                                            : nullptr;
    bool pumping_ = false;
    const bool showsWindows_;
    // Shares the clipboard with other programs, and shows the tray, only where there are any.
    std::unique_ptr<DesktopClipboard> clipboard_ =
        showsWindows_ ? ShareDesktopClipboard() : nullptr;
    std::unique_ptr<SniTray> tray_ = showsWindows_ ? std::make_unique<SniTray>() : nullptr;
};

} // namespace

std::unique_ptr<DisplayBackend> MakeSdlDisplay() {
    if (!Require(LazyLibrary::Sdl2)) {
        std::fprintf(stderr, "zorv: the sdl display cannot start; using the headless display\n");
        return nullptr;
    }
    // A window losing the focus stays as it is, as on Windows.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // Our pixels reach the window as they are, without a 3D renderer behind each window
    // (which would load a whole graphics stack, and stand in the way of the windows
    // that want OpenGL of their own). The environment can still ask for one.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Without an X or Wayland display only the console's own (KMSDRM) can show a window.
    // Asking for it alone keeps SDL from probing the others, whose libraries write their
    // complaints to standard error. SDL_VIDEODRIVER still chooses.
    const char* named = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const bool consoleOnly =
        (named == nullptr || *named == '\0') && !IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY");
    if (consoleOnly) SDL_SetHint(SDL_HINT_VIDEODRIVER, "KMSDRM");
    if (!StartSdlSubsystem(SDL_INIT_VIDEO)) {
        std::fprintf(stderr,
                     "zorv: the sdl display cannot start (%s%s); using the headless display\n",
                     consoleOnly ? "no X or Wayland display, and " : "", SDL_GetError());
        return nullptr;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (ShowsNothing(driver) && !DriverWasNamed(driver)) {
        std::fprintf(stderr,
                     "zorv: the sdl display cannot start (no display found, only SDL's \"%s\" "
                     "driver, which shows nothing); using the headless display\n",
                     driver);
        StopSdlVideo();
        return nullptr;
    }
    // The screen the system reports is the desktop's, unless ZORV_SCREEN chose one.
    const char* chosen = std::getenv("ZORV_SCREEN");
    SDL_DisplayMode desktop;
    if ((chosen == nullptr || *chosen == '\0') && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        DisplayMode mode = ModeOf(desktop);
        SetVirtualDisplay(mode.width, mode.height, mode.bitsPerPixel);
    }
    return std::make_unique<SdlDisplay>();
}

} // namespace platform
