#include "platform/gl/pixel_format.h"

#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/gdi/device_context.h"
#include "platform/kernel/errors.h"

namespace platform::gl {
namespace {

constexpr DWORD ERROR_INVALID_PIXEL_FORMAT = 2000;

struct FormatTable {
    std::mutex lock;
    std::map<HWND, int> formats;
    test::OpenGLFailures failures;
};

FormatTable& Table() {
    static auto* table = new FormatTable;
    return *table;
}

PIXELFORMATDESCRIPTOR Describe(int format) {
    PIXELFORMATDESCRIPTOR pfd;
    pfd.nSize = 40;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cRedBits = 8;
    pfd.cRedShift = 16;
    pfd.cGreenBits = 8;
    pfd.cGreenShift = 8;
    pfd.cBlueBits = 8;
    pfd.cBlueShift = 0;
    pfd.cAlphaBits = 8;
    pfd.cAlphaShift = 24;
    pfd.cDepthBits = BYTE(DepthBitsOf(format));
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

} // namespace

int DepthBitsOf(int format) {
    return format == 2 ? 16 : 24;
}

int WindowPixelFormat(HWND window) {
    FormatTable& table = Table();
    std::lock_guard guard(table.lock);
    auto it = table.formats.find(window);
    return it == table.formats.end() ? 0 : it->second;
}

test::OpenGLFailures Failures() {
    FormatTable& table = Table();
    std::lock_guard guard(table.lock);
    return table.failures;
}

} // namespace platform::gl

void platform::test::SetOpenGLFailures(const OpenGLFailures& failures) {
    gl::FormatTable& table = gl::Table();
    std::lock_guard guard(table.lock);
    table.failures = failures;
}

// Every request gets the closest of the two formats: 8-8-8-8 colour for any depth of 15
// bits or more (the frame is converted when it reaches the window), the nearer depth
// buffer. Fewer colour bits ask for a palette, which OpenGL is not given here.
int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* wanted) {
    using namespace platform;
    if (WindowFromDC(dc) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (wanted == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    test::OpenGLFailures failures = gl::Failures();
    bool paletted =
        wanted->iPixelType != PFD_TYPE_RGBA || (wanted->cColorBits != 0 && wanted->cColorBits < 15);
    if (paletted || failures.noPixelFormat ||
        (failures.only32BitFormats && wanted->cColorBits != 32)) {
        SetLastError(gl::ERROR_INVALID_PIXEL_FORMAT);
        return 0;
    }
    return wanted->cDepthBits > 20 ? 1 : 2;
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* descriptor) {
    using namespace platform;
    (void)descriptor; // as on Windows, only the number counts
    HWND window = WindowFromDC(dc);
    if (window == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (format < 1 || format > gl::PIXEL_FORMAT_COUNT || gl::Failures().refusePixelFormat) {
        SetLastError(gl::ERROR_INVALID_PIXEL_FORMAT);
        return FALSE;
    }
    gl::FormatTable& table = gl::Table();
    std::lock_guard guard(table.lock);
    // A window keeps the format it was first given.
    auto [it, added] = table.formats.emplace(window, format);
    if (!added && it->second != format) {
        SetLastError(gl::ERROR_INVALID_PIXEL_FORMAT);
        return FALSE;
    }
    return TRUE;
}

int GetPixelFormat(HDC dc) {
    HWND window = WindowFromDC(dc);
    if (window == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return platform::gl::WindowPixelFormat(window);
}

int DescribePixelFormat(HDC dc, int format, UINT bytes, PIXELFORMATDESCRIPTOR* descriptor) {
    using namespace platform;
    if (WindowFromDC(dc) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (descriptor == nullptr) return gl::PIXEL_FORMAT_COUNT;
    if (format < 1 || format > gl::PIXEL_FORMAT_COUNT || bytes < 40) {
        SetLastError(format < 1 || format > gl::PIXEL_FORMAT_COUNT ? gl::ERROR_INVALID_PIXEL_FORMAT
                                                                   : ERROR_INVALID_PARAMETER);
        return 0;
    }
    *descriptor = gl::Describe(format);
    return gl::PIXEL_FORMAT_COUNT;
}
