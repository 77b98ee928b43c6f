// A packed project plays a sound of its bank through the file output: the file holds the
// sound's samples exactly after the silence before it, and the run ends once the script
// sees the sound completed.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/player_run.h"
#include "support/temp_dir.h"

namespace {

using app_test::RunPlayer;
using app_test::ShellQuote;

void Put16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

uint32_t Le32(const std::string& bytes, size_t at) {
    return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 |
           uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24;
}

TEST(SoundRunTest, ABankSoundReachesTheOutputFileSampleForSample) {
    // Half a second of 44.1 kHz 16-bit mono noise, no sample of it silent.
    std::vector<int16_t> samples(22050);
    uint32_t state = 47;
    for (int16_t& sample : samples) {
        state = state * 1103515245u + 12345u;
        sample = static_cast<int16_t>((state >> 12) | 1);
    }
    std::string wav = "RIFF";
    Put32(wav, 36 + uint32_t(samples.size()) * 2);
    wav += "WAVEfmt ";
    Put32(wav, 16);
    Put16(wav, 1);
    Put16(wav, 1);
    Put32(wav, 44100);
    Put32(wav, 88200);
    Put16(wav, 2);
    Put16(wav, 16);
    wav += "data";
    Put32(wav, uint32_t(samples.size()) * 2);
    for (int16_t sample : samples)
        Put16(wav, static_cast<uint16_t>(sample));

    test_support::TempDir folder;
    folder.WriteFile("game/project.zpk",
                     "entry Game\n  module main.zs\n  bank sound\n    file noise.wav\n");
    folder.WriteFile("game/noise.wav", wav);
    folder.WriteFile("game/main.zs", "s = New Sound(\"noise.wav\");\n"
                                     "s.Play();\n"
                                     "While (s.IsCompleted() == 0) Program.Wait(20);\n");
    ASSERT_TRUE(app_test::PackFolder(folder));
    std::string output = folder.Linux("played.wav");
    app_test::PlayerOutcome outcome =
        RunPlayer(folder, folder.Linux("packed"), {}, "ZORV_AUDIO=" + ShellQuote("file:" + output));
    ASSERT_EQ(outcome.exitCode, 0) << outcome.errors;

    std::ifstream in(output, std::ios::binary);
    std::string played((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(played.size(), 44u);
    ASSERT_EQ(played.substr(36, 4), "data");
    EXPECT_EQ(Le32(played, 24), 44100u);
    size_t frames = (played.size() - 44) / 4;
    std::vector<int16_t> left(frames);
    std::vector<int16_t> right(frames);
    for (size_t i = 0; i < frames; ++i) {
        left[i] =
            static_cast<int16_t>(uint8_t(played[44 + 4 * i]) | uint8_t(played[45 + 4 * i]) << 8);
        right[i] =
            static_cast<int16_t>(uint8_t(played[46 + 4 * i]) | uint8_t(played[47 + 4 * i]) << 8);
    }
    size_t start = 0;
    while (start < frames && left[start] == 0)
        ++start;
    ASSERT_GE(frames - start, samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        ASSERT_EQ(left[start + i], samples[i]) << i;
        ASSERT_EQ(right[start + i], samples[i]) << i;
    }
    for (size_t i = start + samples.size(); i < frames; ++i)
        ASSERT_EQ(left[i], 0) << i;
}

} // namespace
