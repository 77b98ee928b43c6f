#include <dlfcn.h>
#include <gtest/gtest.h>

#include "platform/gl/gl_libraries.h"
#include "platform/gl/wgl.h"
#include "platform/process/shared_library.h"

namespace {

TEST(OpenGLLibraries, WindowsNamesOpenTheSystemLibrariesAndWglNamesAreOurs) {
    HMODULE gl = LoadLibraryA("opengl32.DLL");
    ASSERT_NE(gl, 0u);
    EXPECT_EQ(GetProcAddress(gl, "wglCreateContext"), reinterpret_cast<FARPROC>(&wglCreateContext));
    EXPECT_EQ(GetProcAddress(gl, "wglShareLists"), reinterpret_cast<FARPROC>(&wglShareLists));
    EXPECT_EQ(GetProcAddress(gl, "wglUseFontBitmapsA"),
              reinterpret_cast<FARPROC>(&wglUseFontBitmapsA));
    EXPECT_EQ(GetProcAddress(gl, "wglGetProcAddress"), nullptr); // not offered

    // Every other name is the library's own.
    void* system = dlopen(platform::OpenGLLibraryFile().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(gl, "glClear")), dlsym(system, "glClear"));
    EXPECT_NE(GetProcAddress(gl, "glVertex4f"), nullptr);
    dlclose(system);
    EXPECT_TRUE(FreeLibrary(gl));

    HMODULE glu = LoadLibraryA("GLU32.dll");
    ASSERT_NE(glu, 0u);
    EXPECT_NE(GetProcAddress(glu, "gluBuild2DMipmaps"), nullptr);
    EXPECT_EQ(GetProcAddress(glu, "wglCreateContext"), nullptr);
    EXPECT_TRUE(FreeLibrary(glu));

    // The same library opened under its own name answers from the file only.
    HMODULE direct = LoadLibraryA(platform::OpenGLLibraryFile().c_str());
    ASSERT_NE(direct, 0u);
    EXPECT_EQ(GetProcAddress(direct, "wglCreateContext"), nullptr);
    EXPECT_NE(GetProcAddress(direct, "glClear"), nullptr);
    FreeLibrary(direct);
}

} // namespace
