// A movie's sound track as the output plays it (forwards, backwards, faster and slower, each
// against the track's own samples read straight) and as written files carry it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "platform/kernel/clock.h"
#include "platform/kernel/test_hooks.h"
#include "platform/media/movie/movie.h"
#include "platform/media/movie/movie_export.h"
#include "platform/media/video/movie_reader.h"
#include "platform/media/video/movie_writer.h"
#include "platform/sound/sound_test_hooks.h"
#include "support/recorded_sound.h"
#include "support/temp_dir.h"

namespace {

using namespace platform::movie;

constexpr int64_t kRate = 44100;

// A second of a 440 Hz tone under ten grey frames.
std::unique_ptr<Movie> ToneMovie(test_support::TempDir& dir, const char* name) {
    platform::video::MoviePlan plan;
    plan.codec = platform::video::MovieCodec::QuickTimeRle;
    plan.rateNumerator = 10;
    plan.colours.assign(10, 0x808080);
    plan.toneHz = 440;
    EXPECT_EQ(platform::video::WriteMovie(dir.Linux(name), plan), "");
    return Movie::OpenLinuxPath(dir.Linux(name));
}

// The left channel of `frames` frames of the track from `from`.
std::vector<float> Track(const Movie& movie, int64_t from, size_t frames) {
    std::vector<float> stereo(frames * 2);
    movie.ReadSound(from, stereo.data(), frames);
    std::vector<float> left(frames);
    for (size_t i = 0; i < frames; ++i)
        left[i] = stereo[i * 2];
    return left;
}

// The largest difference between `expected` and the played left channel where they agree
// best.
double BestMatch(const std::vector<float>& played, const std::vector<float>& expected) {
    double best = std::numeric_limits<double>::infinity();
    for (size_t offset = 0; offset + expected.size() * 2 <= played.size(); ++offset) {
        double worst = 0;
        for (size_t i = 0; i < expected.size() && worst < best; ++i)
            worst = std::max(worst, std::fabs(double(played[(offset + i) * 2]) - expected[i]));
        best = std::min(best, worst);
    }
    return best;
}

class MovieSound : public ::testing::Test {
protected:
    test_support::RecordedSound recording_;
    // What the output played while the movie ran for `ms` of the clock.
    static std::vector<float> Run(Movie& movie, DWORD ms) {
        for (DWORD at = 0; at < ms; at += 10) {
            platform::test::AdvanceClock(10);
            movie.Task(timeGetTime());
        }
        return platform::test::TakeSoundOutput();
    }

    test_support::TempDir dir_;
};

TEST_F(MovieSound, PlaysBackwardsAndAtOtherRatesFromTheTracksSamples) {
    std::unique_ptr<Movie> movie = ToneMovie(dir_, "tone.mov");
    ASSERT_NE(movie, nullptr);
    ASSERT_TRUE(movie->HasSoundTrack());
    const int64_t end = kRate; // the second's last frame is end - 1
    std::vector<float> forwards = Track(*movie, 0, size_t(end));

    // Backwards from the end: frame k played is the track's frame end - k.
    movie->SetTime(movie->Duration());
    movie->SetRate(-kNormalRate);
    std::vector<float> played = Run(*movie, 300);
    std::vector<float> expected;
    for (int64_t k = 100; k < 2100; ++k)
        expected.push_back(forwards[size_t(end - k)]);
    EXPECT_LT(BestMatch(played, expected), 1e-3);

    // Twice as fast: every other frame; half as fast: each frame and the midpoint after it.
    struct Case {
        int32_t rate;
        double step;
    };
    for (Case c : {Case{2 * kNormalRate, 2.0}, Case{kNormalRate / 2, 0.5}}) {
        SCOPED_TRACE(c.step);
        movie->SetRate(0);
        platform::test::TakeSoundOutput();
        movie->SetTime(150);
        movie->SetRate(c.rate);
        played = Run(*movie, 300);
        expected.clear();
        for (int64_t k = 100; k < 2100; ++k) {
            double at = 11025 + k * c.step;
            auto whole = size_t(at);
            double part = at - double(whole);
            expected.push_back(
                float(forwards[whole] + (forwards[whole + 1] - forwards[whole]) * part));
        }
        EXPECT_LT(BestMatch(played, expected), 1e-3);
    }
    // Too fast to hear: nothing but silence.
    movie->SetRate(0);
    movie->SetTime(0);
    platform::test::TakeSoundOutput();
    movie->SetRate(kLoudestRate + 1);
    played = Run(*movie, 40);
    double loudest = 0;
    for (float sample : played)
        loudest = std::max(loudest, std::fabs(double(sample)));
    EXPECT_EQ(loudest, 0.0);
}

TEST(MovieSoundFiles, SavedAndExportedFilesCarryTheSound) {
    test_support::TempDir dir;
    std::unique_ptr<Movie> movie = ToneMovie(dir, "tone.mov");
    ASSERT_NE(movie, nullptr);
    // An edit first: the sound written is the sound the movie plays.
    movie->DeleteSegment(0, 120);
    const std::vector<float> original = Track(*movie, 4410, 4410);
    struct Case {
        const char* name;
        ExportFormat format;
        double tolerance;
        int64_t slack;
    };
    // The decoder lands within a few steps of 16-bit sound after a seek.
    for (Case c :
         {Case{"out.mov", ExportFormat::QuickTime, 5e-3, 0},
          Case{"out.avi", ExportFormat::Avi, 5e-3, 0}, Case{"out.dv", ExportFormat::Dv, 3e-2, 2}}) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(ExportMovieToLinuxPath(*movie, dir.Linux(c.name), c.format), kNoError);
        std::unique_ptr<Movie> back = Movie::OpenLinuxPath(dir.Linux(c.name));
        ASSERT_NE(back, nullptr);
        EXPECT_TRUE(back->HasSoundTrack());
        // No picture is held back waiting for its sound.
        EXPECT_EQ(back->Duration(), movie->Duration());
        // DV's sound goes through 48 kHz and back, and may come a frame early or late.
        double best = std::numeric_limits<double>::infinity();
        for (int64_t shift = -c.slack; shift <= c.slack; ++shift) {
            std::vector<float> read = Track(*back, 4410 + shift, 4410);
            double worst = 0;
            for (size_t i = 0; i < read.size(); ++i)
                worst = std::max(worst, std::fabs(double(read[i]) - original[i]));
            best = std::min(best, worst);
        }
        EXPECT_LT(best, c.tolerance);
    }
    // A movie without sound writes none.
    auto media = std::make_shared<BuiltMedia>(16, 16);
    media->Append(Picture{16, 16, std::vector<uint32_t>(256, 0x336699)}, 60);
    Movie quiet;
    quiet.InsertMedia(media, 0);
    ASSERT_EQ(ExportMovieToLinuxPath(quiet, dir.Linux("quiet.mov"), ExportFormat::QuickTime),
              kNoError);
    EXPECT_FALSE(Movie::OpenLinuxPath(dir.Linux("quiet.mov"))->HasSoundTrack());
}

} // namespace
