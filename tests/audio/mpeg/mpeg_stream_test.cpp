// The MPEG audio stream's framing, length, seeking and output options, on lame's files
// changed byte by byte, and the side information's limits on corrupt values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>

#include "audio/mpeg/layer3_side_info.h"
#include "audio/mpeg/mpeg_audio_stream.h"
#include "audio/mpeg/mpeg_reference.h"
#include "audio/streams/stream_reader.h"
#include "foundation/streams/mem_in_stream.h"

using namespace mpeg_test;

namespace {

Bytes Lame(const std::string& arguments, int rate, int channels, double seconds) {
    std::string why;
    return Encode("lame", "-t --quiet " + arguments, rate, channels, seconds, &why);
}

// Offsets of the frames, walked by their headers.
std::vector<size_t> Frames(const Bytes& file) {
    std::vector<size_t> out;
    size_t at = 0;
    MpegHeader header;
    while (at + 4 <= file.size() && ParseMpegHeader(&file[at], header) && header.FrameBytes() > 0) {
        out.push_back(at);
        at += static_cast<size_t>(header.FrameBytes());
    }
    return out;
}

class OpenStream {
public:
    OpenStream(const Bytes& file, bool sixteen = false, int reduction = 0, int channels = 0) {
        memory_.Attach(file.data(), static_cast<uint32_t>(file.size()));
        reader_.Open(&memory_);
        result = stream.Open(&reader_, &rate, &stereo, sixteen, reduction, channels);
    }
    std::vector<float> Floats(int32_t bytes) {
        std::vector<float> out(static_cast<size_t>(bytes) / 4);
        int32_t got = stream.Read(out.data(), bytes);
        out.resize(static_cast<size_t>(std::max(got, 0)) / 4);
        return out;
    }

    int result = 0;
    int rate = 0;
    bool stereo = false;
    MpegAudioStream stream;

private:
    CMemInStream memory_;
    StreamReader reader_;
};

void ExpectSameSamples(const std::vector<float>& a, const std::vector<float>& b) {
    ASSERT_FALSE(a.empty());
    Difference d = Compare(a, b);
    EXPECT_EQ(d.compared, std::min(a.size(), b.size()));
    EXPECT_LE(d.largest, 1e-6);
}

TEST(MpegStreamTest, TagsJunkAndForeignFramesAreSkipped) {
    Bytes file = Lame("-b 128", 44100, 2, 1.0);
    if (file.empty()) GTEST_SKIP() << "lame is not installed";
    std::vector<float> plain = OurDecode(file, true).floats;
    ASSERT_GT(plain.size(), 44100u);

    for (bool footer : {false, true}) {
        Bytes tagged = {'I', 'D', '3', 4, 0, static_cast<uint8_t>(footer ? 0x10 : 0), 0, 0, 1, 4};
        tagged.resize(10 + 132 + (footer ? 10 : 0), 0x55);
        tagged.insert(tagged.end(), file.begin(), file.end());
        ExpectSameSamples(OurDecode(tagged, true).floats, plain);
    }
    Bytes junk(777, 0x12);
    junk.insert(junk.end(), file.begin(), file.end());
    ExpectSameSamples(OurDecode(junk, true).floats, plain);

    // A run of 0xFF and a frame of another sampling frequency between two frames.
    std::vector<size_t> frames = Frames(file);
    ASSERT_GT(frames.size(), 10u);
    Bytes foreign = Lame("-b 128", 48000, 2, 0.2);
    std::vector<size_t> foreignFrames = Frames(foreign);
    ASSERT_GT(foreignFrames.size(), 3u);
    Bytes changed(file.begin(), file.begin() + static_cast<long>(frames[5]));
    changed.insert(changed.end(), 5, 0xFF);
    changed.insert(changed.end(), foreign.begin() + static_cast<long>(foreignFrames[2]),
                   foreign.begin() + static_cast<long>(foreignFrames[3]));
    changed.insert(changed.end(), file.begin() + static_cast<long>(frames[5]), file.end());
    ExpectSameSamples(OurDecode(changed, true).floats, plain);

    // The first 0xFF after the tag must start a frame.
    Bytes stray = {0x00, 0xFF, 0x00};
    stray.insert(stray.end(), file.begin(), file.end());
    EXPECT_TRUE(OurDecode(stray, true).floats.empty());
}

TEST(MpegStreamTest, LengthTailBlockAndEnd) {
    Bytes file = Lame("-b 160", 48000, 2, 6.0);
    if (file.empty()) GTEST_SKIP() << "lame is not installed";
    ASSERT_GT(file.size(), 100000u);
    const size_t frames = Frames(file).size();
    OpenStream open(file);
    ASSERT_EQ(open.result, 0);
    EXPECT_EQ(open.rate, 48000);
    const int64_t block = 1152 * 2 * 4;
    EXPECT_EQ(open.stream.BlockBytes(), block);
    EXPECT_EQ(open.stream.Control(4, 0, 0), static_cast<int64_t>(frames) * block);
    // Every frame, then the block the filter bank still held.
    std::vector<float> all = open.Floats(static_cast<int32_t>((frames + 5) * block));
    EXPECT_EQ(all.size(), (frames + 1) * 1152 * 2);
    EXPECT_EQ(open.stream.Control(MpegAudioStream::kControlAtEnd, 0, 0), 1);
    // The stream's end query says so too, though the tail block took it past its length.
    EXPECT_EQ(open.stream.Control(2, 0, 0), 1);
    Decoded reference = ReferenceDecode(file, true);
    EXPECT_LE(Compare(all, reference.floats).largest, kMaxLimit);
    float tail = 0;
    for (size_t i = frames * 2304; i < all.size(); ++i)
        tail = std::max(tail, std::fabs(all[i]));
    EXPECT_GT(tail, 0.0f);
}

TEST(MpegStreamTest, SeekingGivesTheSamplesOfAStraightDecode) {
    for (const char* arguments : {"-b 160", "-b 64 -m j"}) {
        const int rate = std::string(arguments) == "-b 160" ? 48000 : 22050;
        Bytes file = Lame(arguments, rate, 2, 6.0);
        if (file.empty()) GTEST_SKIP() << "lame is not installed";
        std::vector<float> straight = OurDecode(file, true).floats;
        const int32_t block = 1152 * 2 * 4;
        const int64_t late = static_cast<int64_t>(straight.size()) / 2304 * 2 / 3;
        for (int64_t target : {int64_t{0}, int64_t{1}, int64_t{2}, late}) {
            for (int64_t offset : {0, 1000}) {
                OpenStream open(file);
                ASSERT_EQ(open.result, 0);
                open.stream.Read(nullptr, block * 3);
                int64_t at = target * block + offset * 8;
                EXPECT_EQ(open.stream.Seek(at), at);
                std::vector<float> got = open.Floats(block * 2);
                ASSERT_FALSE(got.empty());
                std::vector<float> expected(straight.begin() + at / 4,
                                            straight.begin() + at / 4 +
                                                static_cast<long>(got.size()));
                Difference d = Compare(got, expected);
                EXPECT_LT(d.largest, kMaxLimit) << arguments << " block " << target;
            }
            // Fast seek skips the filter bank's preroll: the block after the target is exact.
            OpenStream fast(file);
            EXPECT_EQ(fast.stream.Control(MpegAudioStream::kControlSetFastSeek, 0, 1), 0);
            EXPECT_EQ(fast.stream.Control(MpegAudioStream::kControlFastSeek, 0, 0), 1);
            fast.stream.Seek(target * block);
            std::vector<float> got = fast.Floats(block * 2);
            ASSERT_EQ(got.size(), 2u * 2304);
            std::vector<float> second(got.begin() + 2304, got.end());
            std::vector<float> expected(straight.begin() + (target + 1) * 2304,
                                        straight.begin() + (target + 2) * 2304);
            EXPECT_LT(Compare(second, expected).largest, kMaxLimit) << "fast, block " << target;
        }
    }
}

// Our samples from `seconds` on after a seek equal `expected` from there.
void ExpectSeekLandsOn(const Bytes& file, const std::vector<float>& expected, double seconds,
                       const std::string& what) {
    OpenStream open(file);
    ASSERT_EQ(open.result, 0) << what;
    const int channels = open.stereo ? 2 : 1;
    const int64_t sample = static_cast<int64_t>(seconds * open.rate);
    const int64_t at = sample * channels * 4;
    EXPECT_EQ(open.stream.Seek(at), at) << what;
    std::vector<float> got = open.Floats(4608 * 4);
    ASSERT_EQ(got.size(), 4608u) << what;
    ASSERT_LE(static_cast<size_t>(sample * channels) + got.size(), expected.size()) << what;
    std::vector<float> wanted(expected.begin() + sample * channels,
                              expected.begin() + sample * channels + 4608);
    EXPECT_LT(Compare(got, wanted).largest, kMaxLimit) << what << " at " << seconds << " s";
}

TEST(MpegStreamTest, SeeksLandOnTheFrameThatHoldsTheTime) {
    std::string why;
    // lame's default output starts with its Info frame; twolame never pads its frames.
    const struct {
        const char* tool;
        const char* arguments;
        int rate;
    } kinds[] = {{"lame", "--quiet -b 128", 44100},
                 {"twolame", "--quiet -b 192", 44100},
                 {"twolame", "--quiet -b 64", 22050}};
    for (const auto& kind : kinds) {
        Bytes file = Encode(kind.tool, kind.arguments, kind.rate, 2, 6.0, &why);
        if (file.empty()) GTEST_SKIP() << why;
        std::vector<float> straight = OurDecode(file, true).floats;
        for (double seconds : {0.013, 1.0, 2.5, 4.9})
            ExpectSeekLandsOn(file, straight, seconds, kind.tool);
    }
    // Ten minutes of unpadded Layer II at 44.1 kHz.
    Bytes file = RunEncoder("/usr/bin/sox -n -r 44100 -c 1 -b 16 -t raw - synth 600 sine 300-3000 "
                            "| /usr/bin/twolame --quiet -r -s 44100 -N 1 -b 32 -m m -P -1 -",
                            &why);
    if (file.empty()) GTEST_SKIP() << why;
    std::vector<float> reference = ReferenceDecode(file, true).floats;
    for (double seconds : {540.0, 599.0})
        ExpectSeekLandsOn(file, reference, seconds, "ten minutes");
}

// Frames of another format and bytes that only look like headers give no sound.
TEST(MpegStreamTest, JunkAndOtherStreamsAreNotDecodedAsNoise) {
    std::string why;
    Bytes mp3 = Lame("-b 128", 44100, 2, 1.0);
    Bytes other = Lame("-b 128", 48000, 2, 1.0);
    Bytes mp2 = Encode("twolame", "--quiet -b 192", 44100, 2, 1.0, &why);
    if (mp3.empty() || mp2.empty()) GTEST_SKIP() << "lame or twolame is not installed";
    auto expectAlone = [](const Bytes& first, const Bytes& second, const char* what) {
        std::vector<float> alone = OurDecode(first, true).floats;
        Bytes joined = first;
        joined.insert(joined.end(), second.begin(), second.end());
        std::vector<float> got = OurDecode(joined, true).floats;
        EXPECT_EQ(got.size(), alone.size()) << what;
        EXPECT_LE(Compare(got, alone).largest, 1e-6) << what;
    };
    expectAlone(mp3, other, "then 48 kHz");
    expectAlone(mp2, mp3, "MP2 then MP3");
    uint32_t seed = 1;
    for (int tail = 0; tail < 11; ++tail) {
        Bytes noise(50000);
        for (uint8_t& byte : noise) {
            seed = seed * 1664525u + 1013904223u;
            byte = static_cast<uint8_t>(seed >> 24);
        }
        expectAlone(mp3, noise, "random tail");
    }
}

// lame's Info frame (CBR) and Xing frame (VBR) give the length and do not play; the encoder's
// delay and padding go, so the decoding is as long as what was encoded.
TEST(MpegStreamTest, TagFramesGiveTheLengthAndTheEncoderDelayIsTrimmed) {
    std::string why;
    for (const char* arguments : {"--quiet -b 128", "--quiet -V 2", "--quiet -b 64 -m m"}) {
        const int channels = std::string(arguments).find("-m m") != std::string::npos ? 1 : 2;
        Bytes file = Encode("lame", arguments, 44100, channels, 3.0, &why);
        if (file.empty()) GTEST_SKIP() << why;
        Decoded ours = OurDecode(file, true);
        Decoded reference = ReferenceDecode(file, true, true);
        EXPECT_EQ(ours.floats.size(), 44100u * 3 * channels) << arguments;
        EXPECT_EQ(ours.floats.size(), reference.floats.size()) << arguments;
        EXPECT_LT(Compare(ours.floats, reference.floats).largest, kMaxLimit) << arguments;
        OpenStream open(file, true);
        ASSERT_EQ(open.result, 0);
        EXPECT_EQ(open.stream.Control(4, 0, 0), 44100 * 3 * channels * 2) << arguments;
        ExpectSeekLandsOn(file, ours.floats, 2.2, arguments);
    }
}

TEST(MpegStreamTest, VariableBitRateLengthComesFromTheFirstFrames) {
    Bytes file = Lame("-V 2", 44100, 2, 4.0);
    if (file.empty()) GTEST_SKIP() << "lame is not installed";
    const int64_t frames = static_cast<int64_t>(Frames(file).size());
    OpenStream open(file, true);
    ASSERT_EQ(open.result, 0);
    int64_t blocks = open.stream.Control(4, 0, 0) / open.stream.BlockBytes();
    EXPECT_GT(blocks, 0);
    EXPECT_NEAR(double(blocks), double(frames), frames * 0.35);
}

TEST(MpegStreamTest, OutputOptions) {
    Bytes stereo = Lame("-b 128 -m s", 44100, 2, 0.5);
    if (stereo.empty()) GTEST_SKIP() << "lame is not installed";
    std::vector<float> both = OurDecode(stereo, true).floats;
    // Two channels to one: (L + R) × 0.5.
    Decoded mixed = OurDecode(stereo, true, 0, 1);
    EXPECT_EQ(mixed.channels, 1);
    ASSERT_EQ(mixed.floats.size() * 2, both.size());
    double largest = 0;
    for (size_t i = 0; i < mixed.floats.size(); ++i)
        largest = std::max(
            largest, std::fabs((both[2 * i] + both[2 * i + 1]) * 0.5 - double(mixed.floats[i])));
    EXPECT_LT(largest, 1e-5);
    // One channel to two: the same sample twice.
    Bytes mono = Lame("-b 64 -m m", 44100, 1, 0.5);
    Decoded single = OurDecode(mono, true);
    Decoded doubled = OurDecode(mono, true, 0, 2);
    EXPECT_EQ(doubled.channels, 2);
    ASSERT_EQ(doubled.floats.size(), single.floats.size() * 2);
    for (size_t i = 0; i < single.floats.size(); i += 97) {
        EXPECT_EQ(doubled.floats[2 * i], single.floats[i]);
        EXPECT_EQ(doubled.floats[2 * i + 1], single.floats[i]);
    }
    // Half and quarter rate.
    for (int reduction : {1, 2}) {
        OpenStream open(stereo, false, reduction);
        ASSERT_EQ(open.result, 0);
        EXPECT_EQ(open.rate, 44100 >> reduction);
        EXPECT_EQ(open.stream.BlockBytes(), (1152 >> reduction) * 2 * 4);
    }
}

// The matrix and both equalisers act on the subband samples; the filter bank is linear,
// so their effect shows in the output as it does on the samples.
TEST(MpegStreamTest, MatrixAndEqualisers) {
    Bytes file = Lame("-b 128 -m s", 44100, 2, 0.5);
    if (file.empty()) GTEST_SKIP() << "lame is not installed";
    std::vector<float> plain = OurDecode(file, true).floats;
    auto decode = [&](int code, const float* data) {
        OpenStream open(file);
        open.stream.Control(code, reinterpret_cast<int64_t>(data), 0);
        // The first block went out before the setting, and the filter banks hold the old
        // samples for one block more.
        std::vector<float> out = open.Floats(static_cast<int32_t>(plain.size() * 4));
        out.erase(out.begin(), out.begin() + 2 * 2304);
        return out;
    };
    const std::vector<float> rest(plain.begin() + 2 * 2304, plain.end());
    auto largest = [&](const std::vector<float>& got, auto expected) {
        double worst = 0;
        for (size_t i = 0; i + 1 < std::min(got.size(), rest.size()); i += 2)
            worst = std::max(worst, std::fabs(double(got[i]) - expected(rest[i], rest[i + 1])));
        return worst;
    };
    const float matrix[9] = {0.25f, 0.5f, 1, 0, 1, 1, 0.5f, 0.5f, 1};
    EXPECT_LT(largest(decode(MpegAudioStream::kControlMatrix, matrix),
                      [](float l, float r) { return 0.25 * l + 0.5 * r; }),
              1e-5);
    float bands[32];
    std::fill(bands, bands + 32, 0.5f);
    EXPECT_LT(largest(decode(MpegAudioStream::kControlBandGains, bands),
                      [](float l, float) { return 0.5 * l; }),
              1e-5);
    float lines[576];
    std::fill(lines, lines + 576, 0.25f);
    EXPECT_LT(largest(decode(MpegAudioStream::kControlLineGains, lines),
                      [](float l, float) { return 0.25 * l; }),
              1e-5);
}

// A tone below the lowered Nyquist frequency keeps its frequency and level at half and
// quarter rate.
TEST(MpegStreamTest, ReducedRatesKeepATone) {
    std::string why;
    Bytes file = Encode("lame", "-t --quiet -b 192 -m m", 44100, 1, 1.0, &why);
    if (file.empty()) GTEST_SKIP() << why;
    auto level = [](const std::vector<float>& s, int rate, double hz) {
        // Correlation with the tone over whole periods past the start.
        std::complex<double> sum = 0;
        size_t from = s.size() / 4, to = s.size() * 3 / 4;
        for (size_t i = from; i < to; ++i)
            sum += double(s[i]) * std::polar(1.0, -2 * M_PI * hz * double(i) / rate);
        return 2 * std::abs(sum) / double(to - from);
    };
    Decoded full = OurDecode(file, true);
    double reference = level(full.floats, 44100, 220.0);
    ASSERT_GT(reference, 0.1);
    for (int reduction : {1, 2}) {
        Decoded reduced = OurDecode(file, true, reduction);
        double got = level(reduced.floats, 44100 >> reduction, 220.0);
        EXPECT_NEAR(20 * std::log10(got / reference), 0.0, 0.1) << reduction;
    }
}

TEST(MpegStreamTest, SixteenBitsClipAndTruncate) {
    Bytes file = Lame("-b 128 -m s", 44100, 2, 0.5);
    if (file.empty()) GTEST_SKIP() << "lame is not installed";
    Decoded floats = OurDecode(file, true);
    Decoded shorts = OurDecode(file, false);
    ASSERT_EQ(floats.floats.size(), shorts.shorts.size());
    for (size_t i = 0; i < shorts.shorts.size(); i += 7) {
        double scaled = std::clamp(double(floats.floats[i]) * 32768.0, -32768.0, 32767.0);
        EXPECT_EQ(shorts.shorts[i], static_cast<int16_t>(std::trunc(scaled)));
    }
    // A gain of 8 drives the output to both limits.
    OpenStream loud(file, true);
    float gain = 8.0f;
    loud.stream.Control(MpegAudioStream::kControlGain, reinterpret_cast<int64_t>(&gain), 0);
    std::vector<int16_t> samples(44100);
    int32_t got = loud.stream.Read(samples.data(), 88200);
    ASSERT_GT(got, 0);
    EXPECT_EQ(*std::max_element(samples.begin(), samples.end()), 32767);
    EXPECT_EQ(*std::min_element(samples.begin(), samples.end()), -32768);
}

// Corrupt side information stays inside the 576 lines and the band tables.
TEST(MpegStreamTest, SideInformationLimits) {
    uint8_t bytes[32 + kBitReaderPadding];
    std::memset(bytes, 0xFF, sizeof bytes);
    std::memset(bytes + 32, 0, kBitReaderPadding);
    MpegHeader header;
    const uint8_t stereo[4] = {0xFF, 0xFB, 0x90, 0x00};
    ASSERT_TRUE(ParseMpegHeader(stereo, header));
    // All ones: window switching with short blocks, big_values 511.
    LayerThreeSideInfo info;
    BitReader reader(bytes, 32 * 8, 0);
    ReadLayerThreeSideInfo(reader, header, info);
    EXPECT_EQ(info.gr[0][0].bigValues, 576);
    EXPECT_LE(info.gr[0][0].region1Start, 576);
    // Without window switching: region counts 15 and 7 reach past the last band.
    std::memset(bytes, 0, 32);
    // main_data_begin, private bits, scfsi, then part2_3_length (12), big_values 9 bits of ones.
    int bit = 9 + 3 + 8 + 12;
    auto put = [&](uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i, ++bit)
            if ((value >> i) & 1) bytes[bit / 8] |= static_cast<uint8_t>(0x80 >> (bit % 8));
    };
    put(511, 9);
    put(210, 8);
    put(0, 4);
    put(0, 1);
    put(1, 5);
    put(1, 5);
    put(1, 5);
    put(15, 4);
    put(7, 3);
    BitReader second(bytes, 32 * 8, 0);
    ReadLayerThreeSideInfo(second, header, info);
    EXPECT_EQ(info.gr[0][0].bigValues, 576);
    // Region 1 at band 16 (line 162 at 44.1 kHz); region 2 past band 21 is the end.
    EXPECT_EQ(info.gr[0][0].region1Start, 162);
    EXPECT_EQ(info.gr[0][0].region2Start, 576);
}

} // namespace
