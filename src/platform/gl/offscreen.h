// Drawing with OpenGL into memory instead of a window (camera textures).
#pragma once

#include "platform/gl/wgl.h"

namespace platform {

// Makes `context` current on an offscreen frame of its own of width x height (colour
// 8-8-8-8, depth 24 bits), kept until the context is deleted or another size is asked.
// FALSE when the context does not exist or the frame cannot be made. wglMakeCurrent on a
// window's DC goes back to drawing for that window.
BOOL MakeCurrentOffscreen(HGLRC context, int width, int height);

// Copies the offscreen frame current on this thread into `pixels`, rows top first and
// `pitch` bytes apart, in `depth` bits: 16 as 5-6-5 words, 24 as blue, green, red bytes,
// 32 as 0x00RRGGBB words. FALSE when no offscreen frame is current or for another depth.
BOOL ReadOffscreenFrame(void* pixels, int pitch, int depth);

} // namespace platform
