// Layer III as no Debian encoder writes it: the frame writer's random frames of every block
// type, mixed blocks, middle/side and intensity stereo of MPEG-1 and MPEG-2, and every
// Huffman table, decoded as libmpg123 decodes them.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "audio/mpeg/frame_writer.h"
#include "audio/mpeg/mpeg_reference.h"

using namespace mpeg_test;

namespace {

void ExpectAsReference(const Bytes& file, int rate, const std::string& what) {
    Decoded reference = ReferenceDecode(file, true);
    Decoded ours = OurDecode(file, true);
    ASSERT_EQ(reference.rate, rate) << what;
    ASSERT_EQ(ours.rate, rate) << what;
    ASSERT_EQ(ours.channels, reference.channels) << what;
    ASSERT_FALSE(reference.floats.empty()) << what;
    Difference d = Compare(ours.floats, reference.floats);

    EXPECT_GE(d.compared, reference.floats.size() - 1152u * ours.channels) << what;
    EXPECT_LT(d.rms, kRmsLimit) << what;
    EXPECT_LE(d.largest, kMaxLimit) << what;
}

TEST(LayerThreeWriterTest, BlockTypesAndTablesDecodeAsLibmpg123) {
    std::mt19937 random(11);
    for (bool mpeg1 : {true, false}) {
        const int rate = mpeg1 ? 48000 : 24000;
        LayerThreeOptions options;
        options.mpeg1 = mpeg1;
        options.mode = 0;
        options.switching = false;
        ExpectAsReference(LayerThreeFrames(30, options, random), rate, "long blocks");
        options.switching = true;
        ExpectAsReference(LayerThreeFrames(30, options, random), rate, "switched blocks");
        options.mixed = true;
        ExpectAsReference(LayerThreeFrames(30, options, random), rate, "mixed blocks");
        options.mode = 3;
        ExpectAsReference(LayerThreeFrames(30, options, random), rate, "mono");
    }
}

TEST(LayerThreeWriterTest, JointStereoDecodesAsLibmpg123) {
    std::mt19937 random(12);
    for (bool mpeg1 : {true, false})
        for (int extension = 0; extension < 4; ++extension)
            for (bool mixed : {false, true}) {
                // libmpg123 places the intensity positions of the long part of an MPEG-2
                // mixed block otherwise than the standard's six long bands there.
                if (!mpeg1 && mixed && (extension & 1) != 0) continue;
                LayerThreeOptions options;
                options.mpeg1 = mpeg1;
                options.mode = 1;
                options.modeExtension = extension;
                options.mixed = mixed;
                ExpectAsReference(LayerThreeFrames(30, options, random), mpeg1 ? 48000 : 24000,
                                  std::string(mpeg1 ? "MPEG-1" : "MPEG-2") + " extension " +
                                      std::to_string(extension) + (mixed ? " mixed" : ""));
            }
}

} // namespace
