// Real OpenGL calls for the tests, through "OpenGL32.dll" as the player makes them, and a
// window with a pixel format and a context current on it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/gdi/device_context.h"
#include "platform/gl/gl_test_hooks.h"
#include "platform/gl/wgl.h"
#include "platform/process/shared_library.h"
#include "platform/user/windows.h"
#include "platform/window_recorder.h"

namespace gl_test {

constexpr unsigned COLOR_BUFFER_BIT = 0x4000;
constexpr unsigned COMPILE = 0x1300;
constexpr unsigned UNSIGNED_BYTE = 0x1401;

struct Gl {
    HMODULE module = 0;
    void (*ClearColor)(float, float, float, float) = nullptr;
    void (*Clear)(unsigned) = nullptr;
    void (*Color3f)(float, float, float) = nullptr;
    void (*RasterPos2f)(float, float) = nullptr;
    void (*ListBase)(unsigned) = nullptr;
    void (*CallLists)(int, unsigned, const void*) = nullptr;
    unsigned char (*IsList)(unsigned) = nullptr;
    void (*NewList)(unsigned, unsigned) = nullptr;
    void (*EndList)() = nullptr;
    void (*Finish)() = nullptr;

    Gl() {
        module = LoadLibraryA("OpenGL32.dll");
        if (module == 0) return;
        Fill(ClearColor, "glClearColor");
        Fill(Clear, "glClear");
        Fill(Color3f, "glColor3f");
        Fill(RasterPos2f, "glRasterPos2f");
        Fill(ListBase, "glListBase");
        Fill(CallLists, "glCallLists");
        Fill(IsList, "glIsList");
        Fill(NewList, "glNewList");
        Fill(EndList, "glEndList");
        Fill(Finish, "glFinish");
    }
    ~Gl() {
        if (module != 0) FreeLibrary(module);
    }
    Gl(const Gl&) = delete;
    Gl& operator=(const Gl&) = delete;

    template <class F> void Fill(F& slot, const char* name) {
        slot = reinterpret_cast<F>(GetProcAddress(module, name));
        EXPECT_NE(slot, nullptr) << name;
    }
};

inline PIXELFORMATDESCRIPTOR Wanted(BYTE colorBits, BYTE depthBits) {
    PIXELFORMATDESCRIPTOR pfd;
    pfd.nSize = 40;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = colorBits;
    pfd.cDepthBits = depthBits;
    return pfd;
}

inline HWND MakeWindow(DWORD style, int x, int y, int width, int height, HWND parent = 0) {
    const char* name = window_test::Class("GLTest");
    return CreateWindowExA(0, name, "", style, x, y, width, height, parent, 0, 0, nullptr);
}

// Failures set by a test end with it.
class GlTest : public ::testing::Test {
protected:
    void TearDown() override {
        wglMakeCurrent(0, 0);
        platform::test::SetOpenGLFailures({});
    }

    // A pop-up window of that client size with a pixel format, a context current on it
    // and its DC (released by the test's end with the window).
    HWND OpenWindow(int width, int height, HDC& dc, HGLRC& context) {
        HWND window = MakeWindow(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height);
        dc = GetDC(window);
        PIXELFORMATDESCRIPTOR pfd = Wanted(32, 24);
        int format = ChoosePixelFormat(dc, &pfd);
        EXPECT_TRUE(SetPixelFormat(dc, format, &pfd));
        context = wglCreateContext(dc);
        EXPECT_NE(context, 0u);
        EXPECT_TRUE(wglMakeCurrent(dc, context));
        return window;
    }
};

} // namespace gl_test
