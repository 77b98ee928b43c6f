// Layer I, which no Debian encoder writes: frames of random allocations, scale factors and
// samples, mono, stereo and joint stereo at every bound, with and without CRC, decoded as
// libmpg123 decodes them.
#include <gtest/gtest.h>

#include <random>

#include "audio/mpeg/frame_writer.h"
#include "audio/mpeg/mpeg_reference.h"

using namespace mpeg_test;

namespace {

// 48 kHz at 448 kbit/s: 112 slots of 4 bytes, no padding.
Bytes LayerOneFrames(int frames, int mode, int extension, bool crc, std::mt19937& random) {
    Bytes out;
    const int channels = mode == 3 ? 1 : 2;
    const int bound = mode == 1 ? 4 * (extension + 1) : 32;
    for (int f = 0; f < frames; ++f) {
        BitWriter w;
        w.Put(0xFFF, 12);
        w.Put(1, 1); // MPEG-1
        w.Put(3, 2); // Layer I
        w.Put(crc ? 0 : 1, 1);
        w.Put(14, 4); // 448 kbit/s
        w.Put(1, 2);  // 48 kHz
        w.Put(0, 2);  // no padding, private
        w.Put(static_cast<uint32_t>(mode), 2);
        w.Put(static_cast<uint32_t>(extension), 2);
        w.Put(0, 4);
        if (crc) w.Put(0x1234, 16);
        int allocation[2][32] = {};
        for (int sb = 0; sb < 32; ++sb)
            for (int ch = 0; ch < channels; ++ch) {
                int a = sb < 22 ? static_cast<int>(random() % 5) : 0;
                if (sb >= bound && ch == 1) a = allocation[0][sb];
                allocation[ch][sb] = a;
                if (sb < bound || ch == 0) w.Put(static_cast<uint32_t>(a), 4);
            }
        for (int sb = 0; sb < 32; ++sb)
            for (int ch = 0; ch < channels; ++ch)
                if (allocation[ch][sb] != 0) w.Put(8 + random() % 50, 6);
        for (int slot = 0; slot < 12; ++slot)
            for (int sb = 0; sb < 32; ++sb)
                for (int ch = 0; ch < channels; ++ch) {
                    int a = allocation[ch][sb];
                    if (a == 0 || (sb >= bound && ch == 1)) continue;
                    w.Put(static_cast<uint32_t>(random() % ((2u << a) - 1)), a + 1);
                }
        Bytes& frame = w.bytes();
        frame.resize(12 * 448000 / 48000 * 4, 0);
        out.insert(out.end(), frame.begin(), frame.end());
    }
    return out;
}

TEST(LayerOneWriterTest, DecodesAsLibmpg123) {
    std::mt19937 random(7);
    struct Case {
        int mode, extension;
        bool crc;
    };
    for (Case c : {Case{3, 0, false}, Case{0, 0, true}, Case{2, 0, false}, Case{1, 0, false},
                   Case{1, 1, true}, Case{1, 2, false}, Case{1, 3, false}}) {
        Bytes file = LayerOneFrames(30, c.mode, c.extension, c.crc, random);
        Decoded reference = ReferenceDecode(file, true);
        Decoded ours = OurDecode(file, true);
        ASSERT_EQ(reference.rate, 48000);
        ASSERT_EQ(ours.rate, 48000);
        ASSERT_EQ(ours.channels, reference.channels);
        ASSERT_GE(reference.floats.size(), 27u * 384 * ours.channels);
        Difference d = Compare(ours.floats, reference.floats);
        EXPECT_GE(d.compared, reference.floats.size() - 1152u * ours.channels);
        EXPECT_LT(d.rms, kRmsLimit) << c.mode << " " << c.extension;
        EXPECT_LE(d.largest, kMaxLimit) << c.mode << " " << c.extension;
    }
}

} // namespace
