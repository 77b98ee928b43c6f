// Decoding equals libmpg123's within the full accuracy of ISO/IEC 11172-4, on files lame
// (Layer III) and twolame (Layer II) encode at test time.
#include <gtest/gtest.h>

#include "audio/mpeg/mpeg_reference.h"

using namespace mpeg_test;

namespace {

struct LameCase {
    const char* tool;
    const char* arguments;
    int rate;
    int channels;
};

void ExpectLikeReference(const LameCase& c) {
    std::string why;
    Bytes file =
        Encode(c.tool,
               std::string(c.tool) == std::string("lame") ? std::string("-t --quiet ") + c.arguments
                                                          : std::string("--quiet ") + c.arguments,
               c.rate, c.channels, 1.5, &why);
    if (file.empty()) GTEST_SKIP() << why;
    Decoded reference = ReferenceDecode(file, true);
    Decoded ours = OurDecode(file, true);
    ASSERT_EQ(ours.rate, reference.rate);
    ASSERT_EQ(ours.channels, reference.channels);
    ASSERT_GT(reference.floats.size(), size_t(reference.rate));
    Difference d = Compare(ours.floats, reference.floats);
    EXPECT_GE(d.compared, reference.floats.size() - 2 * 1152);
    EXPECT_LT(d.rms, kRmsLimit) << c.arguments;
    EXPECT_LE(d.largest, kMaxLimit) << c.arguments;

    Decoded reference16 = ReferenceDecode(file, false);
    Decoded ours16 = OurDecode(file, false);
    EXPECT_LE(CompareShorts(ours16.shorts, reference16.shorts), 1) << c.arguments;
}

class DecodingReference : public testing::TestWithParam<LameCase> {};

TEST_P(DecodingReference, DecodesAsLibmpg123) {
    ExpectLikeReference(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Mpeg1, DecodingReference,
                         testing::Values(LameCase{"lame", "-b 32 -m m", 44100, 1},
                                         LameCase{"lame", "-b 128 -m s", 44100, 2},
                                         LameCase{"lame", "-b 320 -m j", 48000, 2},
                                         LameCase{"lame", "-V 2", 44100, 2},
                                         LameCase{"lame", "-V 6 -m j", 32000, 2},
                                         LameCase{"lame", "-b 128 -m j -p", 44100, 2},
                                         LameCase{"lame", "-b 96 -m m", 32000, 1}));

INSTANTIATE_TEST_SUITE_P(LowRates, DecodingReference,
                         testing::Values(LameCase{"lame", "-b 64 -m j", 24000, 2},
                                         LameCase{"lame", "-b 56 -m s", 22050, 2},
                                         LameCase{"lame", "-b 32 -m m", 16000, 1},
                                         LameCase{"lame", "-b 32 -m j", 12000, 2},
                                         LameCase{"lame", "-b 24 -m s", 11025, 2},
                                         LameCase{"lame", "-b 16 -m m", 8000, 1},
                                         LameCase{"lame", "-V 4 -m j", 22050, 2}));

INSTANTIATE_TEST_SUITE_P(LayerTwo, DecodingReference,
                         testing::Values(LameCase{"twolame", "-b 192 -m s", 44100, 2},
                                         LameCase{"twolame", "-b 128 -m j", 48000, 2},
                                         LameCase{"twolame", "-b 64 -m m", 32000, 1},
                                         LameCase{"twolame", "-b 96 -m j -p", 32000, 2},
                                         LameCase{"twolame", "-b 64 -m j", 22050, 2},
                                         LameCase{"twolame", "-b 32 -m m", 16000, 1}));

} // namespace
