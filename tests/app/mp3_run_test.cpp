// A packed project plays an MP3 of its bank through the file output: after the silence
// before it, the file holds libmpg123's 16-bit decode of it within 1 LSB, on both sides.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/player_run.h"
#include "audio/mpeg/mpeg_reference.h"
#include "support/temp_dir.h"

namespace {

using app_test::RunPlayer;
using app_test::ShellQuote;

int16_t Le16(const std::string& bytes, size_t at) {
    return static_cast<int16_t>(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8);
}

TEST(Mp3RunTest, ABankMp3ReachesTheOutputFileAsTheReferenceDecodesIt) {
    std::string why;
    // 44.1 kHz mono, so that the mixer passes samples through without resampling.
    mpeg_test::Bytes mp3 = mpeg_test::Encode("lame", "-t --quiet -b 96 -m m", 44100, 1, 1.5, &why);
    if (mp3.empty()) GTEST_SKIP() << why;
    mpeg_test::Decoded reference = mpeg_test::ReferenceDecode(mp3, false);
    ASSERT_EQ(reference.channels, 1);
    ASSERT_GT(reference.shorts.size(), 44100u);

    test_support::TempDir folder;
    folder.WriteFile("game/project.zpk",
                     "entry Game\n  module main.zs\n  bank sound\n    file tune.mp3\n");
    folder.WriteFile("game/tune.mp3", std::string(mp3.begin(), mp3.end()));
    folder.WriteFile("game/main.zs", "s = New Sound(\"tune.mp3\");\n"
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
    const size_t frames = (played.size() - 44) / 4;
    std::vector<int16_t> left(frames), right(frames);
    for (size_t i = 0; i < frames; ++i) {
        left[i] = Le16(played, 44 + 4 * i);
        right[i] = Le16(played, 46 + 4 * i);
    }
    // The output's silence before the sound is not known in advance: the first place where
    // the whole decode fits.
    const std::vector<int16_t>& want = reference.shorts;
    ASSERT_GE(frames, want.size());
    size_t start = 0;
    bool found = false;
    for (; start + want.size() <= frames && !found; ++start) {
        found = true;
        for (size_t i = 0; i < want.size() && found; ++i)
            found = std::abs(left[start + i] - want[i]) <= 1;
    }
    ASSERT_TRUE(found) << "the decode appears nowhere in the output";
    --start;
    for (size_t i = 0; i < start; ++i)
        ASSERT_EQ(left[i], 0) << i;
    for (size_t i = 0; i < want.size(); ++i)
        ASSERT_EQ(right[start + i], left[start + i]) << i;
}

} // namespace
