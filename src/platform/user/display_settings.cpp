#include "platform/user/display_settings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>

#include "platform/display/display_backend.h"
#include "platform/kernel/errors.h"
#include "platform/system/system_info.h"
#include "platform/user/messages.h"
#include "platform/user/window_table.h"

namespace platform {
namespace {

// The record up to dmDisplayFrequency: the oldest size that carries a display's mode.
constexpr WORD kShortestRecord = offsetof(DEVMODEA, dmICMMethod);
constexpr int kDefaultFrequency = 60;

struct SettingsState {
    std::mutex lock;
    // The mode last switched to; its frequency holds while the display keeps its size.
    std::optional<DisplayMode> switched;
};

SettingsState& State() {
    static auto* state = new SettingsState;
    return *state;
}

bool SameShape(const DisplayMode& mode, const VirtualDisplay& display) {
    return mode.width == display.width && mode.height == display.height &&
           mode.bitsPerPixel == display.bitsPerPixel;
}

bool SameMode(const DisplayMode& a, const DisplayMode& b) {
    return a.width == b.width && a.height == b.height && a.bitsPerPixel == b.bitsPerPixel &&
           a.frequency == b.frequency;
}

// A mode switched to on another back end, or left since, says nothing of the display now.
int FrequencyLocked(const std::vector<DisplayMode>& modes) {
    VirtualDisplay display = GetVirtualDisplay();
    const std::optional<DisplayMode>& switched = State().switched;
    if (switched && SameShape(*switched, display) &&
        std::any_of(modes.begin(), modes.end(),
                    [&](const DisplayMode& mode) { return SameMode(mode, *switched); }))
        return switched->frequency;
    return modes.empty() ? kDefaultFrequency : modes.front().frequency;
}

DisplayMode CurrentMode(const std::vector<DisplayMode>& modes) {
    VirtualDisplay display = GetVirtualDisplay();
    std::lock_guard lock(State().lock);
    return DisplayMode{display.width, display.height, display.bitsPerPixel, FrequencyLocked(modes)};
}

// A field of the record when it names it, else the current mode's value.
int64_t Wanted(const DEVMODEA& record, DWORD field, DWORD value, int current) {
    return (record.dmFields & field) ? int64_t{value} : int64_t{current};
}

// The offered mode with the record's named fields, the current mode's for the others;
// of several, the one at the current frequency.
std::optional<DisplayMode> Match(const DEVMODEA& record, const std::vector<DisplayMode>& modes) {
    DisplayMode now = CurrentMode(modes);
    int64_t width = Wanted(record, DM_PELSWIDTH, record.dmPelsWidth, now.width);
    int64_t height = Wanted(record, DM_PELSHEIGHT, record.dmPelsHeight, now.height);
    int64_t bits = Wanted(record, DM_BITSPERPEL, record.dmBitsPerPel, now.bitsPerPixel);
    bool anyFrequency = !(record.dmFields & DM_DISPLAYFREQUENCY);
    int64_t frequency = record.dmDisplayFrequency;
    std::optional<DisplayMode> found;
    for (const DisplayMode& mode : modes) {
        if (mode.width != width || mode.height != height || mode.bitsPerPixel != bits) continue;
        if (!anyFrequency && mode.frequency != frequency) continue;
        if (!found || (found->frequency != now.frequency && mode.frequency == now.frequency))
            found = mode;
    }
    return found;
}

// Every top-level window hears of the new mode, as on Windows; posted, so that no window
// procedure runs in the middle of the caller's switch.
void AnnounceMode(const DisplayMode& mode) {
    std::vector<HWND> windows;
    {
        std::lock_guard lock(WindowLock());
        for (const WindowPtr& window : AllWindowsLocked())
            if (window->parent == 0 && !window->dead && !window->destroying)
                windows.push_back(window->handle);
    }
    for (HWND window : windows)
        PostMessageA(window, WM_DISPLAYCHANGE, static_cast<WPARAM>(mode.bitsPerPixel),
                     MAKELPARAM(mode.width, mode.height));
}

// A program that asked for a mode and did not get it goes on as it was; the person
// running it learns why. A null record asked for the desktop's mode.
void ReportRefusal(const DEVMODEA* record, const std::vector<DisplayMode>& modes,
                   const char* why) {
    DisplayMode now = record != nullptr ? CurrentMode(modes) : modes.front();
    DEVMODEA none{};
    const DEVMODEA& asked = record != nullptr ? *record : none;
    std::fprintf(stderr, "zorv: the display cannot switch to %lld x %lld at %lld bits: %s\n",
                 static_cast<long long>(Wanted(asked, DM_PELSWIDTH, asked.dmPelsWidth, now.width)),
                 static_cast<long long>(
                     Wanted(asked, DM_PELSHEIGHT, asked.dmPelsHeight, now.height)),
                 static_cast<long long>(
                     Wanted(asked, DM_BITSPERPEL, asked.dmBitsPerPel, now.bitsPerPixel)),
                 why);
}

LONG Switch(DisplayBackend& display, const DisplayMode& mode) {
    SettingsState& state = State();
    std::lock_guard lock(state.lock);
    VirtualDisplay before = GetVirtualDisplay();
    if (!SetVirtualDisplay(mode.width, mode.height, mode.bitsPerPixel)) return DISP_CHANGE_FAILED;
    if (!display.SetMode(mode)) {
        SetVirtualDisplay(before.width, before.height, before.bitsPerPixel);
        return DISP_CHANGE_FAILED;
    }
    state.switched = mode;
    return DISP_CHANGE_SUCCESSFUL;
}

} // namespace

int CurrentDisplayFrequency() {
    std::vector<DisplayMode> modes = ActiveDisplay().Modes();
    std::lock_guard lock(State().lock);
    return FrequencyLocked(modes);
}

} // namespace platform

BOOL EnumDisplaySettingsA(LPCSTR device, DWORD index, DEVMODEA* mode) {
    if (device != nullptr || mode == nullptr || mode->dmSize < platform::kShortestRecord) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<platform::DisplayMode> modes = platform::ActiveDisplay().Modes();
    platform::DisplayMode chosen;
    if (index == ENUM_CURRENT_SETTINGS) {
        chosen = platform::CurrentMode(modes);
    } else if (index == ENUM_REGISTRY_SETTINGS && !modes.empty()) {
        chosen = modes.front();
    } else if (index < modes.size()) {
        chosen = modes[index];
    } else {
        return FALSE;
    }
    DEVMODEA record{};
    record.dmSpecVersion = DM_SPECVERSION;
    record.dmSize = mode->dmSize;
    record.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    record.dmBitsPerPel = static_cast<DWORD>(chosen.bitsPerPixel);
    record.dmPelsWidth = static_cast<DWORD>(chosen.width);
    record.dmPelsHeight = static_cast<DWORD>(chosen.height);
    record.dmDisplayFrequency = static_cast<DWORD>(chosen.frequency);
    std::memcpy(mode, &record, std::min<size_t>(mode->dmSize, sizeof(record)));
    return TRUE;
}

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    if (flags & ~(CDS_UPDATEREGISTRY | CDS_TEST | CDS_FULLSCREEN)) return DISP_CHANGE_BADFLAGS;
    if (mode != nullptr && mode->dmSize < platform::kShortestRecord) return DISP_CHANGE_BADPARAM;
    platform::DisplayBackend& display = platform::ActiveDisplay();
    std::vector<platform::DisplayMode> modes = display.Modes();
    if (modes.empty()) return DISP_CHANGE_FAILED;
    std::optional<platform::DisplayMode> target =
        mode != nullptr ? platform::Match(*mode, modes) : modes.front();
    if (!target) {
        if (!(flags & CDS_TEST)) platform::ReportRefusal(mode, modes, "the display offers no such mode");
        return DISP_CHANGE_BADMODE;
    }
    if (flags & CDS_TEST) return DISP_CHANGE_SUCCESSFUL;
    const bool same = platform::SameShape(*target, platform::GetVirtualDisplay());
    LONG result = platform::Switch(display, *target);
    if (result == DISP_CHANGE_SUCCESSFUL) {
        if (!same) platform::AnnounceMode(*target);
    }
    else
        platform::ReportRefusal(mode, modes, "the display refused it");
    return result;
}
