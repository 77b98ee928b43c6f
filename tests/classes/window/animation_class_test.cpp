// The Animation class on a project's animation bank: frames stepped by the frame timer on
// the test clock (UiAdvance moves it, Program.Wait(0) lets the run loop tick and refresh),
// drawn into its own window or into a Surface.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classes/window/controls/animation_class.h"
#include "foundation/streams/mem_out_stream.h"
#include "graphics2d/formats/anmz_handler.h"
#include "platform/kernel/test_hooks.h"
#include "script/project/project_test_data.h"
#include "script/runtime/load_image_to_surface.h"
#include "script/script_runner.h"

namespace {

using namespace project_test;

// Four frames of 4 x 4 in grey 0x30, 0x60, 0x90, 0xC0, 100 ms each.
std::string Frames() {
    CANMZHandler writer;
    CMemOutStream out;
    EXPECT_EQ(writer.BeginWrite(out, 4, 4, 24, 4, 100, 1, 0, nullptr, 0), kImageOk);
    for (uint8_t frame = 0; frame < 4; ++frame) {
        std::vector<uint8_t> pixels(12 * 4, uint8_t(0x30 * (frame + 1)));
        EXPECT_EQ(writer.WriteFrame(out, nullptr, pixels.data(), 4, 4, 12, 24, nullptr, 100, 0),
                  kImageOk);
    }
    writer.EndWrite(out);
    const auto* bytes = reinterpret_cast<const char*>(out.GetBuffer());
    return std::string(bytes, bytes + out.GetLength());
}

std::string AnimationProject() {
    Entry main;
    main.name = "Main";
    Bank sources{kSourceBank, "Sources", {Element("main", "x = 1;")}};
    Bank animations{kAnimationBank,
                    "Animations",
                    {Element("grey", Frames()), Element("bad", "not an animation")}};
    main.banks = {sources, animations};
    return Project({main});
}

// Runs the script with Step(ms) at hand; what it printed, or "error N line L".
std::string RunAnimation(const std::string& body) {
    script_test::ScriptRunner runner;
    const std::string source = "Function Step(ms) { UiAdvance(ms); Program.Wait(0); }\n"
                               "w = New Window(100, 80, 0, 0);\n" +
                               body;
    script_test::ScriptResult result = runner.Run(source, "test.zs", AnimationProject());
    platform::test::UnfreezeClock();
    if (result.code != 0)
        return result.output + "error " + std::to_string(result.code) + " line " +
               std::to_string(result.line + 1);
    return result.output;
}

TEST(AnimationClass, StepsItsFramesByTheirDelaysScaledByTheSpeedFactor) {
    EXPECT_EQ(
        RunAnimation(
            "a = New Animation(\"grey\", 5, 5);\n"
            "Print(a.GetNFrames(), a.GetFrame(), a.GetWidth(), a.GetHeight(), a.IsPlaying());\n"
            "a.Play();\n"
            "Step(60); Print(a.GetFrame());\n"
            "Step(60); Print(a.GetFrame());\n"
            "Step(200); Print(a.GetFrame(), a.IsPlaying());\n"
            "Step(100); Print(a.GetFrame(), a.IsPlaying());\n"
            "a.SetSpeedFactor(200); a.Play();\n"
            "Step(60); Print(a.GetFrame(), a.GetSpeedFactor());\n"
            // A factor of 0 plays as 1 does, a hundred times slower (no division by 0); a huge one
            // plays a frame a millisecond.
            "a.SetSpeedFactor(0); a.Play();\n"
            "Step(60); Print(a.GetFrame(), a.IsPlaying(), a.GetSpeedFactor());\n"
            "a.SetSpeedFactor(1000000); a.Play();\n"
            "Step(60); Print(a.GetFrame(), a.IsPlaying());\n"),
        "4 0 4 4 0\n0\n1\n3 1\n3 0\n1 200\n0 1 0\n3 0\n");
}

TEST(AnimationClass, PlaysBackwardLoopsAndTurnsRound) {
    EXPECT_EQ(
        RunAnimation("a = New Animation(\"grey\");\n"
                     "a.Play(0, 0, Animation.REVERSE);\n"
                     "Print(a.GetFrame());\n"
                     "Step(100); Print(a.GetFrame());\n"
                     // One loop back to frame 2, then on to the end.
                     "a.Play(1, 2);\n"
                     "Step(300); Print(a.GetFrame());\n"
                     "Step(100); Print(a.GetFrame(), a.IsPlaying());\n"
                     "Step(100); Print(a.GetFrame(), a.IsPlaying());\n"
                     // Play sets its flags afresh: no more REVERSE; ping-pong turns at the end.
                     "a.Play(Animation.LOOP_INFINITE, 0, 0xABCD0004);\n"
                     "Step(300); Print(a.GetFrame());\n"
                     "Step(100); Print(a.GetFrame());\n"
                     "a.Pause(); Step(500); Print(a.GetFrame(), a.IsPaused());\n"
                     "a.Resume(); Step(100); Print(a.GetFrame());\n"
                     "a.Stop(); Print(a.IsPlaying(), a.IsPaused());\n"
                     "a.SetFrame(1); Print(a.GetFrame());\n"),
        "3\n2\n3\n2 1\n3 1\n3\n3\n3 1\n2\n0 0\n1\n");
}

TEST(AnimationClass, PlayTakesTaggedFlagsOnly) {
    EXPECT_EQ(RunAnimation("a = New Animation(\"grey\");\na.Play(0, 0, 5);\n"), "error 14 line 4");
}

TEST(AnimationClass, AMissingElementAndAnUnreadableOneAreRefused) {
    EXPECT_EQ(RunAnimation("a = New Animation(\"none\");\n"), "error 14 line 3");
    EXPECT_EQ(RunAnimation("a = New Animation(\"bad\");\n"), "error 81 line 3");
    EXPECT_EQ(RunAnimation("a = New Animation();\n"), "error 14 line 3");
}

TEST(AnimationClass, DrawsIntoItsWindow) {
    // In a Window without a Surface, which would paint over its child windows.
    EXPECT_EQ(RunAnimation("v = New Window(Window.NOSURFACE, 100, 80, 200, 0);\n"
                           "a = New Animation(\"grey\", 10, 20);\n"
                           "UiRefreshNow(); UiDispatch();\n"
                           "Print(UiPixel(v, 11, 21), UiPixel(v, 13, 23), UiPixel(v, 14, 24) != "
                           "UiPixel(v, 13, 23));\n"
                           "a.SetFrame(2); UiRefreshNow(); UiDispatch();\n"
                           "Print(UiPixel(v, 13, 23));\n"),
              "3158064 3158064 1\n9474192\n");
}

TEST(AnimationClass, DrawsIntoASurfaceAndGoesWithIt) {
    EXPECT_EQ(RunAnimation(
                  "s = New Surface(8, 8);\n"
                  "a = New Animation(\"grey\", s);\n"
                  "a.Play(Animation.LOOP_INFINITE);\n"
                  "Step(100); UiRefreshNow();\n"
                  "Print(s.GetPixel(1, 1), s.GetPixel(6, 6) != s.GetPixel(1, 1), Math.Count(12));\n"
                  "Delete s;\n"
                  "Step(100); UiRefreshNow();\n"
                  "Print(Math.Count(12), a);\n"),
              "6316128 1 1\n0 0\n");
}

TEST(AnimationClass, AFrameDrawnIntoAWindowsSurfaceShowsInTheSameRefresh) {
    EXPECT_EQ(RunAnimation("a = New Animation(\"grey\", w.GetSurface());\n"
                           "a.SetFrame(3); UiRefreshNow();\n"
                           "Print(UiPixel(w, 2, 2));\n"),
              "12632256\n");
}

// A Texture of a World: the frames go into the Surface it takes its picture from, one of
// its own image being made when it has none, and the Texture's pixels follow.
TEST(AnimationClass, DrawsIntoATextureOfAWorld) {
    EXPECT_EQ(RunAnimation("UseRenderers();\n"
                           "scene = New World(New Surface(32, 24, 24));\n"
                           "t = New Texture(scene, 4, 4);\n"
                           "a = New Animation(\"grey\", t);\n"
                           "a.SetFrame(1); UiRefreshNow();\n"
                           "c = New Surface(t);\n"
                           "Print(c.GetPixel(1, 1) & 0xFFFFFF);\n"
                           "a.SetFrame(2); UiRefreshNow();\n"
                           "c = New Surface(t);\n"
                           "Print(c.GetPixel(1, 1) & 0xFFFFFF);\n"),
              "6316128\n9474192\n");
    // Other objects of the 3D classes are no target.
    EXPECT_EQ(RunAnimation("t = New Blob();\na = New Animation(\"grey\", t);\n"),
              "error 14 line 4");
}

} // namespace
