// Whether the OpenGL back end can draw on this machine.
#pragma once

namespace platform {

// True when the screen has at least 15 bits per pixel, "OpenGL32.dll" and "GLU32.dll"
// load and a rendering context can be made. Tried once and remembered, since making a
// context costs a good part of a second on a software rasteriser; ZORV_GL=off answers
// false without trying.
bool OpenGLAvailable();

} // namespace platform
