#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "engine3d/render/opengl/opengl_loader.h"
#include "engine3d/render/registry.h"
#include "engine3d/render/render_fixture.h"
#include "engine3d/scene/render/device.h"
#include "platform/process/shared_library.h"

namespace {

class OpenGLLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { Use(ZORV_STUB_GL, ZORV_STUB_GL); }
    void TearDown() override {
        while (OpenGLLoadCount() > 0)
            UnloadOpenGL();
        SetOpenGLLibraryNames(nullptr, nullptr);
    }
    static void Use(const char* gl, const char* glu) { SetOpenGLLibraryNames(gl, glu); }
    static size_t IndexOf(const char* name) {
        for (size_t i = 0; i < GLEntryCount(); ++i)
            if (std::strcmp(GLEntryName(i), name) == 0) return i;
        return GLEntryCount();
    }
};

TEST_F(OpenGLLoaderTest, NameTableHoldsTheOpenGL11EntryPointsInByteOrderThenWGL) {
    ASSERT_EQ(GLEntryCount(), 341u);
    for (size_t i = 1; i < 336; ++i)
        EXPECT_LT(std::strcmp(GLEntryName(i - 1), GLEntryName(i)), 0) << GLEntryName(i);
    EXPECT_STREQ(GLEntryName(0), "glAccum");
    EXPECT_STREQ(GLEntryName(335), "glViewport");
    const char* wgl[] = {"wglCreateContext", "wglDeleteContext", "wglMakeCurrent",
                         "wglUseFontBitmapsA", "wglShareLists"};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_STREQ(GLEntryName(336 + i), wgl[i]);
    EXPECT_EQ(GLEntryName(341), nullptr);

    // Every name is one the installed library answers, the WGL names included.
    const HMODULE system = LoadLibraryA("OpenGL32.dll");
    if (system == 0) GTEST_SKIP() << "no OpenGL library installed";
    for (size_t i = 0; i < GLEntryCount(); ++i)
        EXPECT_NE(GetProcAddress(system, GLEntryName(i)), nullptr) << GLEntryName(i);
    FreeLibrary(system);
}

TEST_F(OpenGLLoaderTest, MissingNameFailsTheLoadAndClearsEverySlotFilled) {
    Use(ZORV_STUB_GL_PARTIAL, ZORV_STUB_GL);
    EXPECT_EQ(CanLoadOpenGL(), 1);
    EXPECT_EQ(LoadOpenGL(), 0);
    EXPECT_EQ(OpenGLModule(), 0u);
    EXPECT_EQ(OpenGLLoadCount(), 0);
    // Names before the missing one were found, and must not point into the freed library.
    EXPECT_EQ(gl11::glBegin, nullptr);
    EXPECT_EQ(gl11::glAlphaFunc, nullptr);
    EXPECT_EQ(GLEntryAddress(IndexOf("glAccum")), nullptr);
    EXPECT_EQ(GLEntryAddress(IndexOf("glVertex4f")), nullptr);

    // A missing GLU library frees the OpenGL one too.
    Use(ZORV_STUB_GL, "/nonexistent/libGLU.so.1");
    EXPECT_EQ(CanLoadOpenGL(), 0);
    EXPECT_EQ(LoadOpenGL(), 0);
    EXPECT_EQ(OpenGLModule(), 0u);
    EXPECT_EQ(GLUModule(), 0u);
    EXPECT_EQ(gl11::glViewport, nullptr);
}

TEST_F(OpenGLLoaderTest, BackEndsShareOneLoadUntilTheLastUnloads) {
    // Nothing loaded yet: an unload changes nothing and a later load still counts from 0.
    UnloadOpenGL();
    EXPECT_EQ(OpenGLLoadCount(), 0);

    ASSERT_EQ(LoadOpenGL(), 1);
    const HMODULE first = OpenGLModule();
    EXPECT_NE(first, 0u);
    EXPECT_NE(GLUModule(), 0u);
    EXPECT_NE(gl11::glViewport, nullptr);
    EXPECT_NE(gl11::wglMakeCurrent, nullptr);
    EXPECT_NE(gl11::gluBuild2DMipmaps, nullptr);
    EXPECT_NE(GLEntryAddress(IndexOf("wglShareLists")), nullptr);

    ASSERT_EQ(LoadOpenGL(), 1);
    EXPECT_EQ(OpenGLModule(), first);
    EXPECT_EQ(OpenGLLoadCount(), 2);

    UnloadOpenGL();
    EXPECT_EQ(OpenGLModule(), first);
    EXPECT_NE(gl11::glBegin, nullptr);

    UnloadOpenGL();
    EXPECT_EQ(OpenGLModule(), 0u);
    EXPECT_EQ(GLUModule(), 0u);
    EXPECT_EQ(gl11::glBegin, nullptr);
    EXPECT_EQ(gl11::gluBuild2DMipmaps, nullptr);
    UnloadOpenGL();
    EXPECT_EQ(OpenGLLoadCount(), 0);
}

using OpenGLProbeTest = RenderDisplayTest;

TEST_F(OpenGLProbeTest, SwitchedOffLeavesTheBackEndOut) {
    LBackEndRegistry registry;
    setenv("ZORV_GL", "off", 1);
    EXPECT_EQ(registry.IsAvailable(2), 0);
    unsetenv("ZORV_GL");
    // Elsewhere the answer is the machine's; where it is yes, a device loads the libraries.
    if (registry.IsAvailable(2) == 0) return;
    LAPICLBK* device = registry.CreateAPI(2);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->IsHardware(), 1);
    EXPECT_EQ(OpenGLLoadCount(), 1);
    registry.ReleaseAPI(device);
    EXPECT_EQ(OpenGLLoadCount(), 0);
}

} // namespace
