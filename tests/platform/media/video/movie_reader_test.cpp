// The movie reader over movies the encoders make, each frame one colour: rates as
// fractions, counts, sizes and depths, frames at every depth, in order, out of order and
// backwards, and files that are no movies.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/media/video/movie_reader.h"
#include "platform/media/video/movie_writer.h"
#include "support/temp_dir.h"

namespace {

using platform::video::MovieCodec;
using platform::video::MoviePlan;
using platform::video::MovieReader;

const std::vector<uint32_t> kColours = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF,
                                        0xFF00FF, 0x808080, 0xFFFFFF, 0x000000, 0x204080};

MoviePlan PlanOf(MovieCodec codec, int32_t numerator = 15, int32_t denominator = 1) {
    MoviePlan plan;
    plan.codec = codec;
    plan.rateNumerator = numerator;
    plan.rateDenominator = denominator;
    plan.colours = kColours;
    return plan;
}

// The colour of the pixel at (x, y) of a frame read at `depth`, as 0xRRGGBB.
uint32_t PixelAt(MovieReader& reader, int64_t frame, int32_t depth, bool bottomUp = false) {
    int32_t width = reader.Width();
    int32_t height = reader.Height();
    int32_t stride = ((width * ((depth + 7) / 8) + 3) / 4) * 4;
    std::vector<uint8_t> bits(size_t(stride) * size_t(height), 0xAA);
    uint8_t* top = bottomUp ? bits.data() + size_t(stride) * size_t(height - 1) : bits.data();
    if (!reader.ReadFrame(frame, depth, top, bottomUp ? -stride : stride)) return 0xDEAD;
    // Every corner must show the middle's colour: rows or pixels written out of place
    // leave the fill there.
    auto at = [&](int32_t x, int32_t y) -> uint32_t {
        const uint8_t* p = top + int64_t(y) * (bottomUp ? -stride : stride) + x * ((depth + 7) / 8);
        switch (depth) {
        case 8:
            return reader.Palette()[p[0]];
        case 15: {
            uint32_t v = p[0] | (p[1] << 8);
            return (((v >> 10) & 31) * 255 / 31) << 16 | (((v >> 5) & 31) * 255 / 31) << 8 |
                   ((v & 31) * 255 / 31);
        }
        case 16: {
            uint32_t v = p[0] | (p[1] << 8);
            return (((v >> 11) & 31) * 255 / 31) << 16 | (((v >> 5) & 63) * 255 / 63) << 8 |
                   ((v & 31) * 255 / 31);
        }
        default:
            return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        }
    };
    uint32_t middle = at(width / 2, height / 2);
    for (auto [x, y] : {std::pair{0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}})
        if (at(x, y) != middle) return 0xBAD;
    return middle;
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

class MovieReaderTest : public testing::Test {
protected:
    std::string Write(const std::string& name, const MoviePlan& plan) {
        std::string path = dir_.Linux(name);
        std::string error = platform::video::WriteMovie(path, plan);
        EXPECT_EQ(error, "") << name;
        return path;
    }

    test_support::TempDir dir_;
};

TEST_F(MovieReaderTest, EveryCodecGivesItsFramesInAnyOrder) {
    struct Case {
        MovieCodec codec;
        const char* name;
        int32_t depth;
        int tolerance;
    };
    const Case cases[] = {
        {MovieCodec::Raw24, "raw.avi", 24, 0},     {MovieCodec::Raw8, "pal.avi", 8, 0},
        {MovieCodec::Msvideo1, "cram.avi", 16, 8}, {MovieCodec::Cinepak, "cvid.avi", 24, 8},
        {MovieCodec::Mjpeg, "mjpg.avi", 24, 8},    {MovieCodec::QuickTimeRle, "rle.mov", 24, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MovieReader reader;
        ASSERT_TRUE(reader.OpenLinuxPath(Write(c.name, PlanOf(c.codec)).c_str()));
        EXPECT_EQ(reader.Width(), 32);
        EXPECT_EQ(reader.Height(), 24);
        EXPECT_EQ(reader.Depth(), c.depth);
        EXPECT_EQ(reader.FrameCount(), int64_t(kColours.size()));
        EXPECT_EQ(reader.Rate().numerator * 1, 15 * reader.Rate().denominator);
        EXPECT_EQ(reader.Palette() != nullptr, c.depth == 8);
        // In order, then backwards (each a seek to the key frame before), then jumps.
        std::vector<int64_t> order;
        for (int64_t i = 0; i < 10; ++i)
            order.push_back(i);
        for (int64_t i = 9; i >= 0; --i)
            order.push_back(i);
        for (int64_t i : {7, 2, 9, 0, 5, 5, 6})
            order.push_back(i);
        for (int64_t i : order) {
            uint32_t got = PixelAt(reader, i, c.depth);
            EXPECT_TRUE(Near(got, kColours[size_t(i)], c.tolerance))
                << "frame " << i << " gave " << std::hex << got;
        }
    }
}

TEST_F(MovieReaderTest, FramesConvertToEveryDepthEitherWayUp) {
    MovieReader reader;
    ASSERT_TRUE(reader.OpenLinuxPath(Write("raw.avi", PlanOf(MovieCodec::Raw24)).c_str()));
    for (int32_t depth : {15, 16, 24, 32}) {
        for (bool bottomUp : {false, true}) {
            SCOPED_TRACE(testing::Message() << depth << (bottomUp ? " bottom-up" : ""));
            EXPECT_TRUE(Near(PixelAt(reader, 3, depth, bottomUp), kColours[3], 8));
            EXPECT_TRUE(Near(PixelAt(reader, 6, depth, bottomUp), kColours[6], 8));
        }
    }
    // 8 bits only from paletted video, and no depth the DIBs do not have.
    EXPECT_EQ(PixelAt(reader, 0, 8), 0xDEADu);
    uint8_t bits[32 * 24 * 4];
    EXPECT_FALSE(reader.ReadFrame(0, 12, bits, 32 * 4));
    EXPECT_FALSE(reader.ReadFrame(-1, 24, bits, 96));
    EXPECT_FALSE(reader.ReadFrame(10, 24, bits, 96));
    // The paletted movie converts up as well.
    MovieReader paletted;
    ASSERT_TRUE(paletted.OpenLinuxPath(Write("pal.avi", PlanOf(MovieCodec::Raw8)).c_str()));
    EXPECT_EQ(PixelAt(paletted, 4, 32), kColours[4]);
}

TEST_F(MovieReaderTest, NarrowFramesStayInsideTheirRows) {
    // A row of one to three pixels is shorter than the blocks a converter writes at once:
    // the guard rows above and below the picture must keep their fill at every depth.
    for (int32_t width : {1, 2, 3}) {
        for (MovieCodec codec : {MovieCodec::Raw24, MovieCodec::Raw8}) {
            MoviePlan plan = PlanOf(codec);
            plan.width = width;
            plan.height = 8;
            MovieReader reader;
            ASSERT_TRUE(reader.OpenLinuxPath(Write("narrow.avi", plan).c_str())) << width;
            for (int32_t depth : {15, 16, 24, 32}) {
                const int32_t stride = ((width * ((depth + 7) / 8) + 3) / 4) * 4;
                std::vector<uint8_t> bits(size_t(stride) * size_t(plan.height + 2), 0x5A);
                ASSERT_TRUE(reader.ReadFrame(2, depth, bits.data() + stride, stride));
                for (int32_t i = 0; i < stride; ++i) {
                    EXPECT_EQ(bits[size_t(i)], 0x5A) << width << " " << depth;
                    EXPECT_EQ(bits[bits.size() - 1 - size_t(i)], 0x5A) << width << " " << depth;
                }
                EXPECT_TRUE(Near(PixelAt(reader, 2, depth), kColours[2], 8))
                    << width << " " << depth;
            }
        }
    }
}

TEST_F(MovieReaderTest, RatesAreFractionsEvenBelowOneFramePerSecond) {
    MovieReader slides;
    ASSERT_TRUE(slides.OpenLinuxPath(Write("slides.avi", PlanOf(MovieCodec::Raw24, 1, 2)).c_str()));
    EXPECT_EQ(slides.Rate().numerator * 2, slides.Rate().denominator);
    EXPECT_EQ(slides.FrameCount(), 10);
    EXPECT_EQ(PixelAt(slides, 9, 24), kColours[9]);
    EXPECT_EQ(PixelAt(slides, 1, 24), kColours[1]);

    MovieReader ntsc;
    ASSERT_TRUE(
        ntsc.OpenLinuxPath(Write("ntsc.avi", PlanOf(MovieCodec::Raw24, 30000, 1001)).c_str()));
    EXPECT_EQ(ntsc.Rate().numerator * 1001, ntsc.Rate().denominator * 30000);
    EXPECT_EQ(PixelAt(ntsc, 8, 24), kColours[8]);
}

TEST_F(MovieReaderTest, SoundTracksAreSeenAndSkippedByThePictures) {
    MoviePlan plan = PlanOf(MovieCodec::Mjpeg);
    plan.toneHz = 440;
    MovieReader reader;
    ASSERT_TRUE(reader.OpenLinuxPath(Write("tone.avi", plan).c_str()));
    EXPECT_TRUE(reader.HasSound());
    for (int64_t i : {0, 1, 2, 9, 4})
        EXPECT_TRUE(Near(PixelAt(reader, i, 24), kColours[size_t(i)], 8)) << i;
    MovieReader silent;
    ASSERT_TRUE(silent.OpenLinuxPath(Write("silent.avi", PlanOf(MovieCodec::Raw24)).c_str()));
    EXPECT_FALSE(silent.HasSound());
}

TEST_F(MovieReaderTest, FilesThatAreNoMoviesAreRefused) {
    MovieReader reader;
    EXPECT_FALSE(reader.OpenLinuxPath(dir_.Linux("missing.avi").c_str()));
    dir_.WriteFile("text.avi", "RIFF\x10\0\0\0AVI LIST this is no movie");
    EXPECT_FALSE(reader.OpenLinuxPath(dir_.Linux("text.avi").c_str()));
    EXPECT_FALSE(reader.IsOpen());
    uint8_t bits[16];
    EXPECT_FALSE(reader.ReadFrame(0, 24, bits, 4));
    // The Windows name reaches the file.
    EXPECT_FALSE(reader.Open(dir_.Win("raw.avi").c_str()));
    Write("raw.avi", PlanOf(MovieCodec::Raw24));
    EXPECT_TRUE(reader.Open(dir_.Win("raw.avi").c_str()));
    EXPECT_EQ(reader.FrameCount(), 10);
}

} // namespace
