// Videos played into Surfaces under the frozen clock: the pixels after each poll, the
// play states, seeks, the pace at rates with remainders and below one frame a second,
// and the arguments refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/media/video/movie_writer.h"
#include "script/script_runner.h"
#include "support/temp_dir.h"

namespace {

using platform::video::MovieCodec;
using platform::video::MoviePlan;

// Frames of one colour each; frame i's red is 20 * i + 10 (for i below 12), so that a
// pixel names its frame.
std::vector<uint32_t> NumberedColours(int count) {
    std::vector<uint32_t> colours;
    for (int i = 0; i < count; ++i)
        colours.push_back(uint32_t(20 * (i % 12) + 10) << 16 | 0x4080);
    return colours;
}

// The script's helpers. The clock stands still from the start. Poll(ms) moves it on by
// `ms`, lets the player poll its videos (the wait takes 1 ms more) and refresh; Shown(s)
// is the frame the Surface's middle pixel names (-1 for none); Frames(v, s) is the frame
// the Video reports and the one the Surface shows, as one word. Script variables are
// global: the helpers' own have names of their own.
const char kHelpers[] = R"(
UiAdvance(0);
Function Poll(ms) {
    UiAdvance(ms);
    Program.Wait(0);
    UiRefreshNow();
}
Function Shown(s) {
    zzPixel = s.GetPixel(16, 12);
    For (zzK = 0; zzK < 12; zzK++) {
        If (zzPixel == ((20 * zzK + 10) << 16) + 0x4080) Return zzK;
    }
    Return -1;
}
Function Frames(v, s) { Return AsText(v.GetFrame()) + ":" + AsText(Shown(s)); }
)";

class VideoSurfaceTest : public testing::Test {
protected:
    std::string Movie(const std::string& name, MovieCodec codec, int32_t numerator = 15,
                      int32_t denominator = 1, int frames = 10) {
        MoviePlan plan;
        plan.codec = codec;
        plan.rateNumerator = numerator;
        plan.rateDenominator = denominator;
        plan.colours = NumberedColours(frames);
        EXPECT_EQ(platform::video::WriteMovie(dir_.Linux(name), plan), "");
        return dir_.Win(name);
    }

    script_test::ScriptResult Run(const std::string& body) {
        return runner_.Run(std::string(kHelpers) + body);
    }

    static std::string Quoted(const std::string& text) {
        std::string out = "\"";
        for (char c : text) {
            if (c == '\\') out += '\\';
            out += c;
        }
        return out + "\"";
    }

    test_support::TempDir dir_;
    script_test::ScriptRunner runner_;
};

TEST_F(VideoSurfaceTest, PlaysFrameByFrameAsTheClockMoves) {
    std::string movie = Quoted(Movie("raw.avi", MovieCodec::Raw24));
    // 15 fps: frame n at n * 66.67 ms. Polls every 50 ms advance (the old pump lost the
    // remainder each time and never moved), and the Surface shows what GetFrame says, up to
    // the last frame.
    script_test::ScriptResult result =
        Run("s = New Surface(32, 24, 24);\n"
            "v = New Video(s, " +
            movie +
            ");\n"
            "Print(v.GetNFrames(), v.GetDuration(), v.IsPlaying());\n"
            "Poll(0);\n"
            "t = \"\";\n"
            "For (i = 0; i < 14; i++) { t = t + Frames(v, s) + \" \"; Poll(50); }\n"
            "Print(t);\n"
            "Print(v.IsPlaying(), v.IsStopped(), Frames(v, s), v.GetTime());\n");
    ASSERT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "10 666 1\n"
                             "0:0 0:0 1:1 2:2 3:3 3:3 4:4 5:5 6:6 6:6 7:7 8:8 9:9 9:9 \n"
                             "0 1 9:9 600\n");
}

TEST_F(VideoSurfaceTest, PauseResumeStopAndReverseKeepTheirPlace) {
    std::string movie = Quoted(Movie("raw.avi", MovieCodec::Raw24));
    script_test::ScriptResult result =
        Run("s = New Surface(32, 24, 24);\n"
            "v = New Video(s, " +
            movie +
            ");\n"
            "Poll(0); Poll(200);\n"
            "a1 = Frames(v, s);\n"
            // Paused for a second: nothing moves, and Resume goes on from the same frame.
            "v.Pause(); Poll(1000);\n"
            "b1 = Frames(v, s);\n"
            "p = v.IsPaused();\n"
            "v.Resume(); Poll(70);\n"
            "c1 = Frames(v, s);\n"
            // Stopped for a second, then played: no jump by the stopped time.
            "v.Stop(); Poll(1000);\n"
            "st = v.IsStopped();\n"
            "v.Play(); Poll(0);\n"
            "d1 = Frames(v, s);\n"
            "Print(a1, b1, p, c1, st, d1);\n"
            // Backwards from frame 4, and Resume after a pause goes on backwards.
            "v.Reverse(); Poll(140);\n"
            "e1 = Frames(v, s);\n"
            "v.Pause(); Poll(500); v.Resume(); Poll(70);\n"
            "f1 = Frames(v, s);\n"
            "Poll(1000);\n"
            "Print(e1, f1, Frames(v, s), v.IsStopped());\n"
            // Pause while stopped does nothing; backwards from the first frame starts at the
            // last.
            "v.Pause();\n"
            "g = v.IsPaused();\n"
            "v.Reverse(); Poll(0);\n"
            "Print(g, Frames(v, s), v.IsPlaying());\n");
    ASSERT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "3:3 3:3 1 4:4 1 4:4\n2:2 1:1 0:0 1\n0 9:9 1\n");
}

TEST_F(VideoSurfaceTest, SeeksLandInsideAndPlayOnFromThere) {
    std::string movie = Quoted(Movie("cvid.avi", MovieCodec::Cinepak));
    // Cinepak is lossy: Near names the frame whose red is within 8 of the pixel's.
    script_test::ScriptResult result =
        Run("Function Near(s) {\n"
            "    zzRed = s.GetPixel(16, 12) >> 16;\n"
            "    For (zzK = 0; zzK < 12; zzK++) {\n"
            "        If (zzRed >= 20 * zzK + 2 && zzRed <= 20 * zzK + 18) Return zzK;\n"
            "    }\n"
            "    Return -1;\n"
            "}\n"
            "Function Lossy(v, s) { Return AsText(v.GetFrame()) + \":\" + AsText(Near(s)); }\n"
            "s = New Surface(32, 24, 24);\n"
            "v = New Video(s, " +
            movie +
            ", 0xABCD0000);\n"
            // Stopped at open: the first poll shows frame 0, and seeks show at the next.
            "Poll(0);\n"
            "a1 = Lossy(v, s);\n"
            "st = v.IsStopped();\n"
            "v.SetTime(0); Poll(0);\n"
            "b1 = v.GetTime();\n"
            "v.SetFrame(0); Poll(0);\n"
            "c1 = Lossy(v, s);\n"
            "v.SetTime(400); Poll(0);\n"
            "d1 = Lossy(v, s);\n"
            "v.SetFrame(99); Poll(0);\n"
            "e1 = Lossy(v, s);\n"
            "v.SetFrame(-5); Poll(0);\n"
            "Print(a1, st, b1, c1, d1, e1, Lossy(v, s));\n"
            // A seek while playing starts the pace again from the frame sought; frames out of
            // order come from the key frame before them.
            "v.Play(); Poll(0); Poll(140);\n"
            "v.SetFrame(7); Poll(0);\n"
            "g1 = Lossy(v, s);\n"
            "Poll(70);\n"
            "h1 = Lossy(v, s);\n"
            "v.Rewind(); Poll(0);\n"
            "Print(g1, h1, Lossy(v, s), v.IsPlaying());\n");
    ASSERT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "0:0 1 0 1:1 6:6 9:9 1:1\n7:7 8:8 0:0 1\n");
}

TEST_F(VideoSurfaceTest, SlowAndFractionalRatesKeepTheirPace) {
    std::string slides = Quoted(Movie("slides.avi", MovieCodec::Raw24, 1, 2, 4));
    std::string ntsc = Quoted(Movie("ntsc.avi", MovieCodec::Raw24, 30000, 1001, 40));
    // Half a frame a second: frame 1 at 2000 ms. 29.97 fps: 40 frames last 1334 ms, and
    // frame 30 comes at 1001 ms.
    script_test::ScriptResult result = Run("s = New Surface(32, 24, 24);\n"
                                           "v = New Video(s, " +
                                           slides +
                                           ");\n"
                                           "Print(v.GetNFrames(), v.GetDuration());\n"
                                           "Poll(0); Poll(1990);\n"
                                           "a1 = Frames(v, s);\n"
                                           "Poll(10);\n"
                                           "b1 = Frames(v, s);\n"
                                           "v.SetTime(5000); Poll(0);\n"
                                           "Print(a1, b1, Frames(v, s), v.GetTime());\n"
                                           "Delete v;\n"
                                           "w = New Video(s, " +
                                           ntsc +
                                           ");\n"
                                           "Print(w.GetNFrames(), w.GetDuration());\n"
                                           "Poll(0); Poll(995);\n"
                                           "c1 = w.GetFrame();\n"
                                           "Poll(5);\n"
                                           "Print(c1, w.GetFrame(), w.GetTime());\n");
    ASSERT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "4 8000\n0:0 1:1 2:2 4000\n40 1334\n29 30 1001\n");
}

TEST_F(VideoSurfaceTest, EightBitVideoBringsItsPalette) {
    std::string movie = Quoted(Movie("pal.avi", MovieCodec::Raw8));
    script_test::ScriptResult result = Run("s = New Surface(32, 24, 8);\n"
                                           "v = New Video(s, " +
                                           movie +
                                           ", 0xABCD0000);\n"
                                           "v.SetFrame(5); Poll(0);\n"
                                           "Print(Shown(s));\n");
    ASSERT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "5\n");
}

TEST_F(VideoSurfaceTest, ArgumentsAndTargetsThatDoNotFitAreRefused) {
    std::string movie = Quoted(Movie("raw.avi", MovieCodec::Raw24));
    const std::string cases[] = {
        // The Surface must have the movie's size and depth.
        "s = New Surface(33, 24, 24);\nv = New Video(s, " + movie + ");\n",
        "s = New Surface(32, 24, 32);\nv = New Video(s, " + movie + ");\n",
        // No movie there, or none in the file.
        "s = New Surface(32, 24, 24);\nv = New Video(s, \"C:\\\\no\\\\such.avi\");\n",
        "s = New Surface(32, 24, 24);\nv = New Video(s);\n",
        // Two targets, or an object that is no Surface (a Texture is none until the 3D
        // classes take it).
        "s = New Surface(32, 24, 24);\nv = New Video(s, s, " + movie + ");\n",
        "t = New Timer();\nv = New Video(t, " + movie + ");\n",
        // A movie name and a second text.
        "s = New Surface(32, 24, 24);\nv = New Video(s, " + movie + ", \"x\");\n",
    };
    for (const std::string& body : cases) {
        script_test::ScriptResult result = runner_.Run(body);
        EXPECT_EQ(result.code, 14) << body;
        EXPECT_EQ(result.line, 1) << body;
    }
}

TEST_F(VideoSurfaceTest, AVideoGoesWithItsSurface) {
    std::string movie = Quoted(Movie("raw.avi", MovieCodec::Raw24));
    script_test::ScriptResult result = Run("s = New Surface(32, 24, 24);\n"
                                           "v = New Video(s, " +
                                           movie +
                                           ");\n"
                                           "Poll(0);\n"
                                           "a = Math.Count(11);\n"
                                           "Delete s;\n"
                                           "Poll(100);\n"
                                           "Print(a, Math.Count(11));\n");
    ASSERT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "1 0\n");
}

} // namespace
