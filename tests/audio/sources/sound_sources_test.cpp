#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "audio/sound_files.h"
#include "audio/sources/aiff_file_source.h"
#include "audio/sources/ms_adpcm.h"
#include "audio/sources/pcm_converters.h"
#include "audio/sources/source_factory.h"
#include "audio/sources/wav_writer.h"
#include "foundation/streams/mem_in_stream.h"
#include "foundation/streams/mem_out_stream.h"

namespace {

using namespace audio_test;

struct Opened {
    Bytes file;
    CMemInStream stream;
    SoundSourceRef source;
    int result = -1;

    explicit Opened(Bytes bytes) : file(std::move(bytes)) {
        stream.Attach(file.data(), static_cast<uint32_t>(file.size()));
        result = CreateSoundSource(&stream, source);
    }

    Bytes ReadAll(uint32_t piece = 4096) {
        Bytes out;
        Bytes buffer(piece);
        while (true) {
            uint32_t got = 0;
            EXPECT_EQ(source.Read(buffer.data(), piece, &got), 0u);
            out.insert(out.end(), buffer.begin(), buffer.begin() + got);
            if (got < piece) return out;
        }
    }
};

TEST(WavSourceTest, PcmReadsByteExactAroundOtherChunks) {
    for (uint16_t bits : {8, 16}) {
        for (uint16_t channels : {1, 2}) {
            Bytes data = Noise(bits / 8 * channels * 3001u, bits + channels);
            Bytes chunks;
            // An odd LIST chunk (padded) first, "fmt " after it, junk after the data.
            PutChunk(chunks, "LIST", Noise(13, 1));
            Bytes format = PcmFormatChunk(channels, 22050, bits);
            chunks.insert(chunks.end(), format.begin(), format.end());
            PutChunk(chunks, "data", data);
            Bytes file = Riff(chunks);
            file.insert(file.end(), {'j', 'u', 'n', 'k', 1, 2, 3});
            Opened wav(file);
            ASSERT_EQ(wav.result, 0) << bits << " " << channels;
            EXPECT_EQ(wav.source.GetLength(), data.size());
            EXPECT_EQ(wav.ReadAll(1000), data);
            const WaveFormat& f = wav.source.Get()->GetOutputFormat();
            EXPECT_EQ(f.bitsPerSample, bits);
            EXPECT_EQ(f.channels, channels);
            // A seek lands on a whole frame inside the data.
            wav.source.Seek(101);
            uint32_t align = bits / 8u * channels;
            EXPECT_EQ(wav.source.GetPosition(), 101 / align * align);
        }
    }
}

TEST(WavSourceTest, AnOddChunkWithoutItsPadByteIsStillWalked) {
    Bytes data = Noise(100, 3);
    Bytes chunks;
    PutChunk(chunks, "LIST", Noise(13, 2), false);
    Bytes format = PcmFormatChunk(1, 8000, 8);
    chunks.insert(chunks.end(), format.begin(), format.end());
    PutChunk(chunks, "data", data);
    Opened wav(Riff(chunks));
    ASSERT_EQ(wav.result, 0);
    EXPECT_EQ(wav.ReadAll(), data);
}

TEST(WavSourceTest, HostileHeadersAreRefused) {
    auto withFormat = [](uint16_t tag, uint16_t channels, uint32_t rate, uint32_t perSecond,
                         uint16_t align, uint16_t bits) {
        Bytes body;
        PutLe16(body, tag);
        PutLe16(body, channels);
        PutLe32(body, rate);
        PutLe32(body, perSecond);
        PutLe16(body, align);
        PutLe16(body, bits);
        Bytes chunks;
        PutChunk(chunks, "fmt ", body);
        PutChunk(chunks, "data", Noise(64, 4));
        return Riff(chunks);
    };
    EXPECT_EQ(Opened(withFormat(1, 1, 8000, 8000, 0, 8)).result, kSourceBadFormat);
    EXPECT_EQ(Opened(withFormat(1, 1, 0, 0, 1, 8)).result, kSourceBadFormat);
    EXPECT_EQ(Opened(withFormat(1, 3, 8000, 24000, 3, 8)).result, kSourceBadFormat);
    EXPECT_EQ(Opened(withFormat(1, 1, 8000, 24000, 3, 24)).result, kSourceBadFormat);
    EXPECT_EQ(Opened(withFormat(1, 1, 300000, 300000, 1, 8)).result, kSourceBadFormat);
    EXPECT_EQ(Opened(withFormat(1, 2, 8000, 1, 4, 16)).result, kSourceBadFormat);
    EXPECT_EQ(Opened(withFormat(3, 1, 8000, 32000, 4, 32)).result, kSourceBadFormat);

    // A RIFF size near 2^32 and a chunk size that would wrap end at the data's end.
    Bytes chunks = PcmFormatChunk(1, 8000, 8);
    PutChunk(chunks, "junk", {});
    Bytes file = Riff(chunks);
    file[4] = file[5] = file[6] = file[7] = 0xFF;
    file[file.size() - 4] = file[file.size() - 3] = file[file.size() - 2] = 0xFF;
    file[file.size() - 1] = 0xFF;
    EXPECT_EQ(Opened(file).result, kSourceBadFormat);

    // A data size beyond the file is cut to what is there.
    Bytes big = PcmWav(1, 8000, 16, Noise(10, 5));
    big[big.size() - 14] = 0xFF;
    big[big.size() - 13] = 0xFF;
    big[big.size() - 12] = 0xFF;
    Opened cut(big);
    ASSERT_EQ(cut.result, 0);
    EXPECT_EQ(cut.source.GetLength(), 10u);

    // ADPCM: block align 0, above 16384, no room for the header, too few coefficients.
    for (uint32_t align : {0u, 7u, 16386u}) {
        Bytes body = AdpcmFormatBody(1, 8000, 256);
        body[12] = static_cast<uint8_t>(align);
        body[13] = static_cast<uint8_t>(align >> 8);
        Bytes adpcm;
        PutChunk(adpcm, "fmt ", body);
        PutChunk(adpcm, "data", Noise(512, 6));
        EXPECT_EQ(Opened(Riff(adpcm)).result, kSourceBadFormat) << align;
    }
    Bytes body = AdpcmFormatBody(1, 8000, 256);
    body[20] = 200;
    Bytes adpcm;
    PutChunk(adpcm, "fmt ", body);
    PutChunk(adpcm, "data", Noise(512, 6));
    EXPECT_EQ(Opened(Riff(adpcm)).result, kSourceBadFormat);
    EXPECT_EQ(Opened(Noise(300, 9)).result, kSourceBadFormat);
}

TEST(WavSourceTest, MsAdpcmBlocksDecodeByTheAdaptationRule) {
    // Predictor 0 (256, 0) repeats the last sample plus code × delta; the delta adapts.
    Bytes block = {0};
    PutLe16(block, 100);
    PutLe16(block, 1000);
    PutLe16(block, 2000);
    block.push_back(0x10); // codes 1, 0
    block.push_back(0xF0); // codes -1, 0
    block.resize(16, 0);
    Bytes body = AdpcmFormatBody(1, 8000, 16);
    Bytes chunks;
    PutChunk(chunks, "fmt ", body);
    Bytes data = block;
    data.insert(data.end(), block.begin(), block.begin() + 9); // a partial block is dropped
    PutChunk(chunks, "data", data);
    Opened wav(Riff(chunks));
    ASSERT_EQ(wav.result, 0);
    uint32_t samples = MsAdpcmSamplesPerBlock(16, 1);
    ASSERT_EQ(samples, 20u);
    EXPECT_EQ(wav.source.GetLength(), samples * 2);
    Bytes pcm = wav.ReadAll();
    ASSERT_EQ(pcm.size(), samples * 2);
    auto at = [&](int i) { return static_cast<int16_t>(pcm[2 * i] | (pcm[2 * i + 1] << 8)); };
    EXPECT_EQ(at(0), 2000);
    EXPECT_EQ(at(1), 1000);
    EXPECT_EQ(at(2), 1100);      // + 1 × 100; delta 100 × 230 / 256 = 89
    EXPECT_EQ(at(3), 1100);      // delta 89 × 230 / 256 = 79
    EXPECT_EQ(at(4), 1100 - 79); // -1 × 79
    EXPECT_EQ(wav.source.Get()->GetOutputFormat().bitsPerSample, 16);
}

// sox makes and decodes the MS ADPCM and AIFF files; without it these checks are skipped.
bool HaveSox() {
    return std::system("sox --version > /dev/null 2>&1") == 0;
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(SoxFilesTest, AdpcmAndAiffDecodeAsSoxDecodes) {
    if (!HaveSox()) GTEST_SKIP() << "sox is not installed";
    std::string dir = testing::TempDir();
    std::string source = dir + "/zorv_sox_source.wav";
    Bytes noise = Noise(2 * 2 * 11025, 11);
    Bytes wav = PcmWav(2, 11025, 16, noise);
    std::ofstream(source, std::ios::binary)
        .write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));
    struct Case {
        const char* made;
        const char* options;
    } cases[] = {{"zorv_sox.adpcm.wav", "-e ms-adpcm"},
                 {"zorv_sox.aiff", "-b 16"},
                 {"zorv_sox8.aiff", "-b 8"},
                 {"zorv_sox.aifc", "-b 16 -e signed-integer"}};
    for (const Case& c : cases) {
        std::string made = dir + "/" + c.made;
        std::string decoded = made + ".raw";
        std::string make = "sox " + source + " " + c.options + " " + made;
        ASSERT_EQ(std::system(make.c_str()), 0) << make;
        Opened opened(ReadFile(made));
        ASSERT_EQ(opened.result, 0) << c.made;
        const WaveFormat& f = opened.source.Get()->GetOutputFormat();
        std::string decode = "sox " + made + " -t raw -e " +
                             std::string(f.bitsPerSample == 8 ? "unsigned" : "signed") + " -b " +
                             std::to_string(f.bitsPerSample) + " -L " + decoded;
        ASSERT_EQ(std::system(decode.c_str()), 0) << decode;
        EXPECT_EQ(opened.ReadAll(3000), ReadFile(decoded)) << c.made;
    }
}

TEST(AiffSourceTest, SamplesBecomeWavPcmAndCompressionIsRefused) {
    Bytes samples = {0x12, 0x34, 0xFF, 0xFE, 0x80, 0x00, 0x7F, 0xFF};
    Opened aiff(Aiff(2, 44100, 16, samples));
    ASSERT_EQ(aiff.result, 0);
    EXPECT_EQ(aiff.source.Get()->GetOutputFormat().samplesPerSec, 44100u);
    EXPECT_EQ(aiff.ReadAll(), (Bytes{0x34, 0x12, 0xFE, 0xFF, 0x00, 0x80, 0xFF, 0x7F}));

    Opened eight(Aiff(1, 8000, 8, {0x00, 0x7F, 0x80, 0xFF}));
    ASSERT_EQ(eight.result, 0);
    EXPECT_EQ(eight.ReadAll(), (Bytes{0x80, 0xFF, 0x00, 0x7F}));

    EXPECT_EQ(Opened(Aiff(1, 8000, 16, samples, "NONE")).result, 0);
    EXPECT_EQ(Opened(Aiff(1, 8000, 16, samples, "sowt")).result, kSourceBadFormat);
    EXPECT_EQ(Opened(Aiff(1, 8000, 16, samples, "ima4")).result, kSourceBadFormat);
    EXPECT_EQ(Opened(Aiff(1, 8000, 24, Noise(24, 1))).result, kSourceBadFormat);

    // The rate's exponent far out of range, and an SSND offset beyond its chunk.
    Bytes hostile = Aiff(1, 8000, 8, Noise(16, 2));
    hostile[28] = 0x7F;
    hostile[29] = 0xFF;
    EXPECT_EQ(Opened(hostile).result, kSourceBadFormat);
    Bytes offset = Aiff(1, 8000, 8, Noise(16, 2));
    offset[offset.size() - 16 - 8 + 0] = 0x7F;
    EXPECT_EQ(Opened(offset).result, kSourceBadFormat);
    // Channel and bit counts whose product overflows a 32-bit int.
    Bytes wide = Aiff(1, 8000, 8, Noise(16, 3));
    wide[20] = wide[26] = 0xBC;
    wide[21] = wide[27] = 0xBC;
    EXPECT_EQ(Opened(wide).result, kSourceBadFormat);
    uint8_t rate[10] = {0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(ExtendedToRate(rate), 44100u);
}

TEST(PcmConvertersTest, EveryPairOfKindsFollowsTheSampleRules) {
    // One frame of each kind: 8-bit 0x90/0x70, 16-bit 0x1234/-0x1000.
    const uint8_t frames[4][4] = {{0x90}, {0x90, 0x70}, {0x34, 0x12}, {0x34, 0x12, 0x00, 0xF0}};
    auto expected = [](int from, int to) {
        int32_t left = 0;
        int32_t right = 0;
        bool eight = from < 2;
        if (from == 0) left = right = 0x90;
        if (from == 1) left = 0x90, right = 0x70;
        if (from == 2) left = right = 0x1234;
        if (from == 3) left = 0x1234, right = -0x1000;
        auto depth = [&](int32_t s) -> int32_t {
            if (eight && to >= 2) return static_cast<int16_t>(uint16_t((s ^ 0x80) << 8));
            if (!eight && to < 2) return ((static_cast<uint16_t>(s) >> 8) + 128) & 0xFF;
            return s;
        };
        Bytes out;
        auto put = [&](int32_t s) {
            if (to < 2)
                out.push_back(static_cast<uint8_t>(s));
            else
                PutLe16(out, static_cast<uint16_t>(s));
        };
        if ((to & 1) == 0) {
            put(depth((left + right) / 2));
        } else {
            put(depth(left));
            put(depth(right));
        }
        return out;
    };
    for (int from = 0; from < 4; ++from) {
        for (int to = 0; to < 4; ++to) {
            int index = PcmConverterIndex(from, to);
            ASSERT_GE(index, 0);
            Bytes want = expected(from, to);
            uint8_t out[16] = {};
            // Equal rates, then each frame twice and every second frame.
            ASSERT_EQ(GetPcmCopier(index)(frames[from], out, 1), 1u);
            EXPECT_EQ(Bytes(out, out + want.size()), want) << from << "->" << to;
            uint8_t two[2][4] = {};
            std::memcpy(two[0], frames[from], 4);
            std::memcpy(two[1], frames[from], 4);
            ASSERT_EQ(GetPcmConverter(index)(frames[from], out, 1, 1, 2), 2u);
            EXPECT_EQ(Bytes(out + want.size(), out + 2 * want.size()), want);
        }
    }
    // Rate steps: 4 frames down by 2 give frames 0 and 2.
    const uint8_t mono[4] = {1, 2, 3, 4};
    uint8_t out[8] = {};
    EXPECT_EQ(GetPcmConverter(12)(mono, out, 4, 2, 1), 2u);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[1], 3);
}

TEST(WavWriterTest, HeaderAndRoundTripThroughAConvertingSource) {
    Bytes data = Noise(2 * 1000, 21);
    Opened wav(PcmWav(1, 11025, 16, data));
    ASSERT_EQ(wav.result, 0);
    CMemOutStream out;
    ASSERT_EQ(WriteWavFile(out, *wav.source.Get()), 1);
    Bytes written(out.GetBuffer(), out.GetBuffer() + out.GetLength());
    EXPECT_EQ(written, PcmWav(1, 11025, 16, data));
    EXPECT_EQ(GetWavFileSize(*wav.source.Get()), written.size());

    // Converted to 8-bit stereo at twice the rate, the written file reads back the same.
    ASSERT_TRUE(wav.source.Get()->SetOutputFormat(MakePcmFormat(2, 22050, 8)));
    EXPECT_EQ(wav.source.GetLength(), data.size() * 2);
    wav.source.Rewind();
    Bytes converted = wav.ReadAll(999);
    ASSERT_EQ(converted.size(), data.size() * 2);
    EXPECT_EQ(converted[0], static_cast<uint8_t>((data[1] + 128) & 0xFF));
    EXPECT_EQ(converted[3], converted[0]);
    CMemOutStream again;
    ASSERT_EQ(WriteWavFile(again, *wav.source.Get()), 1);
    Opened back(Bytes(again.GetBuffer(), again.GetBuffer() + again.GetLength()));
    ASSERT_EQ(back.result, 0);
    EXPECT_EQ(back.ReadAll(), converted);
}

} // namespace
