// The media of examples/media are made here: a film of plain colours with a tone, a MIDI
// tune and a four-channel tracker module. ZORV_WRITE_MEDIA=1 writes them into the example's
// folder; otherwise the files there must be what this makes (the film, whose bytes carry the
// encoder's version, must read back as its frames).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/media/video/movie_reader.h"
#include "platform/media/video/movie_writer.h"

namespace {

const std::filesystem::path kFolder = std::filesystem::path(ZORV_SOURCE_DIR) / "examples" / "media";

// A rainbow, two frames a colour, at 8 frames a second: 2 seconds.
const std::vector<uint32_t> kFilmColours = {
    0xE04040, 0xE04040, 0xE09040, 0xE09040, 0xE0E040, 0xE0E040, 0x40C040, 0x40C040,
    0x40A0E0, 0x40A0E0, 0x5050E0, 0x5050E0, 0x9050C0, 0x9050C0, 0x202020, 0x202020};

platform::video::MoviePlan Film() {
    platform::video::MoviePlan plan;
    plan.codec = platform::video::MovieCodec::Cinepak;
    plan.width = 160;
    plan.height = 120;
    plan.rateNumerator = 8;
    plan.colours = kFilmColours;
    plan.toneHz = 330;
    plan.keyInterval = 8;
    return plan;
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(uint8_t(value >> (8 * i)));
}

// C, E, G, C' and a long C-E-G chord on a piano at 120 beats a minute: 3 seconds.
std::vector<uint8_t> Tune() {
    std::vector<uint8_t> track = {0x00, 0xC0, 0x00};
    const uint8_t notes[] = {60, 64, 67, 72};
    for (uint8_t note : notes) {
        // Delta 0: on; delta 480 (0x83 0x60): off.
        track.insert(track.end(), {0x00, 0x90, note, 0x64, 0x83, 0x60, 0x80, note, 0x40});
    }
    track.insert(track.end(), {0x00, 0x90, 60, 0x50, 0x00, 0x90, 64, 0x50, 0x00, 0x90, 67, 0x50});
    // Two beats (960 = 0x87 0x40), then all three off.
    track.insert(track.end(), {0x87, 0x40, 0x80, 60, 0x40, 0x00, 0x80, 64, 0x40, 0x00, 0x80, 67,
                               0x40, 0x00, 0xFF, 0x2F, 0x00});
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
    PutBigEndian(out, 6, 4);
    PutBigEndian(out, 0, 2);
    PutBigEndian(out, 1, 2);
    PutBigEndian(out, 480, 2);
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    PutBigEndian(out, uint32_t(track.size()), 4);
    out.insert(out.end(), track.begin(), track.end());
    return out;
}

// A 4-channel module: one looped square wave playing G, E, C and high C, each 16 rows at
// speed 3 (60 ms a row): about 3.8 seconds.
std::vector<uint8_t> Song() {
    std::vector<uint8_t> out(20, 0);
    const char title[] = "zorv media";
    std::copy(title, title + sizeof title - 1, out.begin());
    for (int sample = 0; sample < 31; ++sample) {
        std::vector<uint8_t> header(30, 0);
        if (sample == 0) {
            header[23] = 32; // 32 words
            header[25] = 48; // volume
            header[29] = 32; // the whole sample loops
        } else {
            header[29] = 1;
        }
        out.insert(out.end(), header.begin(), header.end());
    }
    out.push_back(1);
    out.push_back(127);
    std::vector<uint8_t> order(128, 0);
    out.insert(out.end(), order.begin(), order.end());
    out.insert(out.end(), {'M', '.', 'K', '.'});
    std::vector<uint8_t> pattern(64 * 4 * 4, 0);
    const uint16_t periods[] = {285, 339, 428, 214};
    for (int i = 0; i < 4; ++i) {
        uint8_t* cell = &pattern[size_t(i) * 16 * 16];
        cell[0] = uint8_t(periods[i] >> 8);
        cell[1] = uint8_t(periods[i] & 0xFF);
        cell[2] = 0x10; // sample 1
    }
    // Row 0, channel 1: speed 3.
    pattern[4 + 2] = 0x0F;
    pattern[4 + 3] = 0x03;
    out.insert(out.end(), pattern.begin(), pattern.end());
    for (int i = 0; i < 64; ++i)
        out.push_back(i < 32 ? 0x60 : 0xA0);
    return out;
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

TEST(MediaExampleFiles, AreTheGeneratorsOwn) {
    const char* write = std::getenv("ZORV_WRITE_MEDIA");
    if (write != nullptr && write[0] == '1') {
        ASSERT_EQ(platform::video::WriteMovie((kFolder / "film.avi").string(), Film()), "");
        WriteBytes(kFolder / "tune.mid", Tune());
        WriteBytes(kFolder / "song.mod", Song());
        return;
    }
    EXPECT_EQ(ReadBytes(kFolder / "tune.mid"), Tune());
    EXPECT_EQ(ReadBytes(kFolder / "song.mod"), Song());
    platform::video::MovieReader film;
    ASSERT_TRUE(film.OpenLinuxPath((kFolder / "film.avi").string().c_str()));
    EXPECT_EQ(film.FrameCount(), int64_t(kFilmColours.size()));
    EXPECT_EQ(film.Width(), 160);
    EXPECT_TRUE(film.HasSound());
    std::vector<uint8_t> bits(160 * 120 * 4);
    for (int64_t frame : {int64_t(0), film.FrameCount() - 1}) {
        ASSERT_TRUE(film.ReadFrame(frame, 32, bits.data(), 160 * 4));
        const uint8_t* middle = &bits[(60 * 160 + 80) * 4];
        uint32_t want = kFilmColours[size_t(frame)];
        EXPECT_NEAR(middle[2], int(want >> 16 & 0xFF), 8) << frame;
        EXPECT_NEAR(middle[1], int(want >> 8 & 0xFF), 8) << frame;
        EXPECT_NEAR(middle[0], int(want & 0xFF), 8) << frame;
    }
}

} // namespace
