// Sound tracks read back at the output rate: the tone where it is, reads in order and after
// seeks both ways, silence past the end, and files without sound refused.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/media/movie/movie.h"
#include "platform/media/movie/sound_decoder.h"
#include "platform/media/video/movie_writer.h"
#include "support/temp_dir.h"

namespace {

using platform::movie::SoundDecoder;

// The loudness of `frames` stereo frames from `from`.
double Level(SoundDecoder& decoder, int64_t from, size_t frames) {
    std::vector<float> out(frames * 2, 1.0f);
    decoder.Read(from, out.data(), frames);
    double sum = 0;
    for (float sample : out)
        sum += double(sample) * sample;
    return std::sqrt(sum / double(out.size()));
}

TEST(SoundDecoder, ReadsTheToneInOrderAndAfterSeeks) {
    test_support::TempDir dir;
    platform::video::MoviePlan plan;
    plan.codec = platform::video::MovieCodec::QuickTimeRle;
    plan.colours.assign(15, 0x808080); // one second
    plan.toneHz = 440;
    ASSERT_EQ(platform::video::WriteMovie(dir.Linux("tone.mov"), plan), "");
    plan.toneHz = 0;
    ASSERT_EQ(platform::video::WriteMovie(dir.Linux("quiet.mov"), plan), "");

    SoundDecoder decoder;
    ASSERT_TRUE(decoder.Open(dir.Linux("tone.mov")));
    // The tone is 12000 / 32768 at its peak, 0.26 as a root mean square, its one channel
    // spread to both 3 dB down: 0.18.
    EXPECT_NEAR(Level(decoder, 0, 4410), 0.18, 0.02);
    EXPECT_NEAR(Level(decoder, 4410, 4410), 0.18, 0.02);
    EXPECT_NEAR(Level(decoder, 30000, 2000), 0.18, 0.02);
    EXPECT_NEAR(Level(decoder, 1000, 2000), 0.18, 0.02);
    EXPECT_EQ(Level(decoder, 44100 * 3, 1000), 0.0);

    SoundDecoder quiet;
    EXPECT_FALSE(quiet.Open(dir.Linux("quiet.mov")));
    EXPECT_EQ(Level(quiet, 0, 100), 0.0);

    // A movie with sound plays and stops without harm, with or without an output.
    std::unique_ptr<platform::movie::Movie> movie =
        platform::movie::Movie::OpenLinuxPath(dir.Linux("tone.mov"));
    ASSERT_NE(movie, nullptr);
    movie->SetRate(platform::movie::kNormalRate);
    movie->Task();
    movie->SetTime(300);
    movie->Task();
    movie->SetRate(0);
}

} // namespace
