// Hooks for tests of OpenGL's callers: failures a healthy machine never shows. Production
// code never calls these.
#pragma once

namespace platform::test {

struct OpenGLFailures {
    // ChoosePixelFormat finds a format for 32 colour bits only.
    bool only32BitFormats = false;
    // ChoosePixelFormat finds none at all.
    bool noPixelFormat = false;
    // SetPixelFormat refuses.
    bool refusePixelFormat = false;
    // wglCreateContext fails.
    bool noContext = false;
    // wglMakeCurrent and MakeCurrentOffscreen cannot make their framebuffer object.
    bool noFramebuffer = false;
};

// Stays in force until changed; the default is no failure.
void SetOpenGLFailures(const OpenGLFailures& failures);
// OpenGLAvailable tries again at its next call.
void ForgetOpenGLProbe();
// Where contexts come from: "sdl" or "egl"; "none" when neither could make one, "" before
// the first context was asked for. Chosen once for the process.
const char* OpenGLProviderName();

} // namespace platform::test
