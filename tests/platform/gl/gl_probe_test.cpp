#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gl/gl_probe.h"
#include "platform/gl/gl_test_hooks.h"

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
}

} // namespace
