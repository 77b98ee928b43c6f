// Videos in movie windows under the frozen clock: a child of a Window shows its frames in
// the Window's pixels, the zoom resizes it, seeks and play states go through the window, a
// top-level Video plays at once with its sound reaching the null output, and a movie that
// cannot be played leaves IsError set. Each Program.Wait moves the clock 1 ms more.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/display/headless_display.h"
#include "platform/media/video/movie_writer.h"
#include "platform/sound/sound_test_hooks.h"
#include "script/script_runner.h"
#include "support/temp_dir.h"

namespace {

using platform::video::MovieCodec;
using platform::video::MoviePlan;

const std::vector<uint32_t> kColours = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF,
                                        0xFF00FF, 0x808080, 0xFFFFFF, 0x000000, 0x204080};

class VideoWindowTest : public testing::Test {
protected:
    void SetUp() override {
        platform::headless::SetEnvironment("ZORV_AUDIO", "null");
        platform::test::ResetSoundOutput();
    }
    void TearDown() override {
        platform::test::RecordSoundOutput(false);
        platform::test::ResetSoundOutput();
    }
    // 10 frames of kColours at 10 frames a second, 32 x 24.
    std::string Movie(int32_t toneHz = 0) {
        MoviePlan plan;
        plan.codec = MovieCodec::Raw24;
        plan.rateNumerator = 10;
        plan.colours = kColours;
        plan.toneHz = toneHz;
        EXPECT_EQ(platform::video::WriteMovie(dir_.Linux("movie.avi"), plan), "");
        std::string quoted = "\"";
        for (char c : dir_.Win("movie.avi")) {
            if (c == '\\') quoted += '\\';
            quoted += c;
        }
        return quoted + "\"";
    }
    // The clock stands still; Poll(ms) moves it on and handles the messages.
    script_test::ScriptResult Run(const std::string& body) {
        return runner_.Run(
            "UiAdvance(0);\n"
            "Function Poll(ms) { UiAdvance(ms); Program.Wait(0); UiRefreshNow(); }\n" +
            body);
    }

    test_support::TempDir dir_;
    script_test::ScriptRunner runner_;
};

TEST_F(VideoWindowTest, AChildShowsItsFramesInTheWindowAndZooms) {
    std::string movie = Movie();
    script_test::ScriptResult result = Run(
        "w = New Window(200, 150, 0, 0);\n"
        "v = New Video(w, " +
        movie +
        ", 20, 30);\n"
        "Poll(0);\n"
        "Print(v.GetX(), v.GetY(), v.GetWidth(), v.GetHeight(), v.GetNFrames(), v.GetDuration());\n"
        "Print(v.IsPlaying(), v.IsError());\n"
        "Poll(350);\n"
        "Print(v.GetFrame(), v.GetTime(), AsText(UiPixel(w, 36, 42)));\n"
        "v.SetZoom(200); Poll(0);\n"
        "Print(v.GetZoom(), v.GetWidth(), v.GetHeight(), AsText(UiPixel(w, 20 + 63, 30 + 47)));\n"
        "v.SetZoom(0);\n"
        "Print(v.GetZoom(), v.GetWidth());\n"
        "v.Pause(); Poll(500);\n"
        "Print(v.IsPaused(), v.GetTime());\n"
        "v.SetFrame(0); Poll(0);\n"
        "Print(v.IsStopped(), v.GetFrame(), AsText(UiPixel(w, 36, 42)));\n"
        "v.SetTime(0);\n"
        "Print(v.GetTime());\n"
        "v.SetTime(99999);\n"
        "Print(v.GetTime(), v.IsError());\n"
        "v.Reverse(); Poll(300);\n"
        "Print(v.IsPlaying(), v.GetTime());\n"
        "v.Pause(); v.Resume(); Poll(200);\n"
        "Print(v.GetTime());\n"
        "v.Rewind(); v.Play(); Poll(2000);\n"
        "Print(v.IsStopped(), v.GetFrame());\n");
    ASSERT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "20 30 32 24 10 1000\n"
                             "1 0\n"
                             "3 352 16776960\n"
                             "200 64 48 16776960\n"
                             "100 32\n"
                             "1 353\n"
                             "1 1 65280\n"
                             "1\n"
                             "1000 0\n"
                             "1 699\n"
                             "498\n"
                             "1 10\n");
}

TEST_F(VideoWindowTest, ATopLevelVideoPlaysAtOnceWithItsSound) {
    std::string movie = Movie(440);
    platform::test::RecordSoundOutput(true);
    // Without a parent the default flags play at once; the window has the movie's size, the
    // play bar's and its frame's.
    script_test::ScriptResult result =
        Run("v = New Video(" + movie +
            ");\n"
            "Poll(0);\n"
            "Print(v.IsPlaying(), v.GetWidth() > 32, v.GetHeight() > 48);\n"
            "For (i = 0; i < 30; i++) Poll(10);\n"
            "t = v.GetTime();\n"
            "Print(t > 250, t < 350);\n");
    ASSERT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "1 1 1\n1 1\n");
    std::vector<float> played = platform::test::TakeSoundOutput();
    double energy = 0;
    for (float sample : played)
        energy += double(sample) * sample;
    EXPECT_GT(energy, 1.0);
}

TEST_F(VideoWindowTest, AMovieThatCannotPlayLeavesIsErrorSet) {
    script_test::ScriptResult result = Run("w = New Window(200, 150, 0, 0);\n"
                                           "v = New Video(w, \"missing.avi\");\n"
                                           "Print(v.IsError(), v.GetNFrames(), v.IsPlaying());\n"
                                           "v.Play();\n"
                                           "Print(v.IsError());\n");
    ASSERT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "1 0 0\n1\n");
}

} // namespace
