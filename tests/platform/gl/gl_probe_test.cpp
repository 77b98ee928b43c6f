#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gl/gl_probe.h"
#include "platform/gl/gl_test_hooks.h"
#include "platform/system/system_info.h"

namespace {

TEST(OpenGLProbe, AnswersFromTheMachineUnlessSwitchedOff) {
    setenv("ZORV_GL", "off", 1);
    EXPECT_FALSE(platform::OpenGLAvailable());
    unsetenv("ZORV_GL");
    platform::test::ForgetOpenGLProbe();
    // The test machine has Mesa (tools/deps), headless through EGL.
    EXPECT_TRUE(platform::OpenGLAvailable());
    setenv("ZORV_GL", "off", 1);
    EXPECT_FALSE(platform::OpenGLAvailable()); // the switch wins over the remembered answer
    unsetenv("ZORV_GL");
    EXPECT_TRUE(platform::OpenGLAvailable());

    // A palette screen has no OpenGL back end.
    platform::VirtualDisplay display = platform::GetVirtualDisplay();
    ASSERT_TRUE(platform::SetVirtualDisplay(display.width, display.height, 8));
    platform::test::ForgetOpenGLProbe();
    EXPECT_FALSE(platform::OpenGLAvailable());
    platform::ResetVirtualDisplay();
    platform::test::ForgetOpenGLProbe();
}

} // namespace
