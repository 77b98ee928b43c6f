#include "platform/system/system_info.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string_view>

#include "platform/kernel/errors.h"

namespace {

constexpr DWORD kMajorVersion = 5;
constexpr DWORD kMinorVersion = 1;
constexpr DWORD kBuildNumber = 2600;
constexpr char kServicePack[] = "Service Pack 3";

// Classic-style metrics at 96 dpi.
constexpr int kScrollBar = 16;
constexpr int kBorder = 1;
constexpr int kDialogFrame = 3;
constexpr int kSizingFrame = 4;
constexpr int kCaption = 19;
constexpr int kMenu = 19;
constexpr int kSmallCaption = 15;
constexpr int kIcon = 32;
constexpr int kSmallIcon = 16;
constexpr int kCursor = 32;
constexpr int kMinWidth = 112;
constexpr int kMinHeight = 27;
constexpr int kEdge = 2;
constexpr int kDoubleClickBox = 4;
// A press becomes a drag once the pointer leaves a box this size around it.
constexpr int kDragBox = 4;
constexpr int kMinimizedWidth = 160;
constexpr int kMinimizedHeight = 24;

constexpr platform::VirtualDisplay kDefaultDisplay{1024, 768, 32};

std::mutex displayMutex;
std::optional<platform::VirtualDisplay> display;

bool IsValid(const platform::VirtualDisplay& d) {
    bool depthOk =
        d.bitsPerPixel == 8 || d.bitsPerPixel == 16 || d.bitsPerPixel == 24 || d.bitsPerPixel == 32;
    return depthOk && d.width > 0 && d.width <= 32767 && d.height > 0 && d.height <= 32767;
}

// Reads one decimal number and the 'x' after it, if any; false on anything else.
bool ReadNumber(std::string_view& text, int& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return false;
    text.remove_prefix(end - text.data());
    if (!text.empty() && (text.front() == 'x' || text.front() == 'X')) {
        text.remove_prefix(1);
        return !text.empty();
    }
    return true;
}

platform::VirtualDisplay DisplayFromEnvironment() {
    const char* setting = std::getenv("ZORV_SCREEN");
    if (setting == nullptr) return kDefaultDisplay;
    std::string_view text(setting);
    platform::VirtualDisplay d{0, 0, 32};
    if (!ReadNumber(text, d.width) || !ReadNumber(text, d.height)) return kDefaultDisplay;
    if (!text.empty() && !ReadNumber(text, d.bitsPerPixel)) return kDefaultDisplay;
    if (!text.empty() || !IsValid(d)) return kDefaultDisplay;
    return d;
}

platform::VirtualDisplay CurrentDisplay() {
    std::lock_guard lock(displayMutex);
    if (!display) display = DisplayFromEnvironment();
    return *display;
}

} // namespace

BOOL GetVersionExA(OSVERSIONINFOA* versionInfo) {
    if (versionInfo == nullptr || versionInfo->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    versionInfo->dwMajorVersion = kMajorVersion;
    versionInfo->dwMinorVersion = kMinorVersion;
    versionInfo->dwBuildNumber = kBuildNumber;
    versionInfo->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::memset(versionInfo->szCSDVersion, 0, sizeof(versionInfo->szCSDVersion));
    std::memcpy(versionInfo->szCSDVersion, kServicePack, sizeof(kServicePack));
    return TRUE;
}

DWORD GetVersion() {
    return kBuildNumber << 16 | kMinorVersion << 8 | kMajorVersion;
}

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
        return kScrollBar;
    case SM_CYCAPTION:
        return kCaption;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return kBorder;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return kDialogFrame;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return kSizingFrame;
    case SM_CXICON:
    case SM_CYICON:
        return kIcon;
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return kCursor;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return kSmallIcon;
    case SM_CYMENU:
        return kMenu;
    case SM_CYSMCAPTION:
        return kSmallCaption;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return kEdge;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return kDoubleClickBox;
    case SM_CXDRAG:
    case SM_CYDRAG:
        return kDragBox;
    case SM_CXMINIMIZED:
        return kMinimizedWidth;
    case SM_CYMINIMIZED:
        return kMinimizedHeight;
    case SM_CXMIN:
        return kMinWidth;
    case SM_CYMIN:
        return kMinHeight;
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN:
        return 0;
    case SM_CMONITORS:
        return 1;
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CXVIRTUALSCREEN:
        return CurrentDisplay().width;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
        return CurrentDisplay().height;
    case SM_CYFULLSCREEN:
        // The client height of a maximised window: the screen less its caption.
        return CurrentDisplay().height - kCaption;
    default:
        return 0;
    }
}

namespace platform {

VirtualDisplay GetVirtualDisplay() {
    return CurrentDisplay();
}

bool SetVirtualDisplay(int width, int height, int bitsPerPixel) {
    VirtualDisplay d{width, height, bitsPerPixel};
    if (!IsValid(d)) return false;
    std::lock_guard lock(displayMutex);
    display = d;
    return true;
}

void ResetVirtualDisplay() {
    std::lock_guard lock(displayMutex);
    display.reset();
}

} // namespace platform
