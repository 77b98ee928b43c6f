// The pixel formats windows offer OpenGL, and the one each window was given. Internal to
// gl/.
#pragma once

#include "platform/gl/gl_test_hooks.h"
#include "platform/gl/wgl.h"

namespace platform::gl {

// Format 1 has 24 depth bits, format 2 has 16; both RGBA 8-8-8-8, double-buffered.
inline constexpr int PIXEL_FORMAT_COUNT = 2;
int DepthBitsOf(int format);

// The format SetPixelFormat gave the window; 0 for none.
int WindowPixelFormat(HWND window);

test::OpenGLFailures Failures();

} // namespace platform::gl
