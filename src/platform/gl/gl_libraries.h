// The libraries behind OpenGL's Windows names. Internal to the platform layer: the
// shared-library calls (process/) consult it.
#pragma once

#include <string>

#include "platform/process/shared_library.h"

namespace platform {

// The Linux library LoadLibraryA opens for a name no alias of SetLibraryAlias covers:
// "OPENGL32.DLL" is GLVND's libGL.so.1, or libOpenGL.so.0 where that is missing, and
// "GLU32.DLL" is libGLU.so.1. Empty for other names. `upperName` is in upper case.
std::string BuiltInLibraryTarget(const std::string& upperName);

// What GetProcAddress answers on the OpenGL library opened that way before looking in it:
// our own WGL functions under their five names; null for every other name.
FARPROC OpenGLOwnExport(const char* procName);

// The file "OpenGL32.dll" opens, for the layer's own calls into the same library.
const std::string& OpenGLLibraryFile();

} // namespace platform
