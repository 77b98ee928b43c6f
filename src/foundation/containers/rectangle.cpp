#include "foundation/containers/rectangle.h"

#include <utility>

#include "platform/system/system_info.h"

namespace {

// Coordinates wrap instead of overflowing, as they would in the 32-bit registers the
// rectangles were made for.
LONG Add(LONG a, LONG b) {
    return static_cast<LONG>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

LONG Subtract(LONG a, LONG b) {
    return static_cast<LONG>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// Multi-monitor metrics exist from 98 on in the 95 family and from 2000 on in NT.
bool HasVirtualScreen() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExA(&version)) return false;
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) return version.dwMajorVersion >= 5;
    return version.dwMinorVersion != 0;
}

} // namespace

void CRectangle::Set(LONG newLeft, LONG newTop, LONG newRight, LONG newBottom) {
    left = newLeft;
    top = newTop;
    right = newRight;
    bottom = newBottom;
}

void CRectangle::SetXYWH(LONG x, LONG y, LONG width, LONG height) {
    Set(x, y, Add(x, width), Add(y, height));
}

LONG CRectangle::Width() const {
    return Subtract(right, left);
}

LONG CRectangle::Height() const {
    return Subtract(bottom, top);
}

void CRectangle::Normalize() {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
}

void GetDesktopRect(RECT* rect) {
    if (rect == nullptr) return;
    CRectangle desktop;
    if (HasVirtualScreen()) {
        desktop.SetXYWH(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                        GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    } else {
        desktop.Set(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    }
    *rect = desktop;
}
