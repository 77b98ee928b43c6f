// A packed project plays a tune of its music bank and then speaks, through the file
// output: the file holds sound, and the run ends once the script saw both finish.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "app/player_run.h"
#include "platform/media/midi/midi_synth.h"
#include "support/temp_dir.h"

namespace {

using app_test::RunPlayer;
using app_test::ShellQuote;

// Half a second of middle C.
std::string Tune() {
    const unsigned char bytes[] = {'M',  'T',  'h',  'd',  0,    0,    0,    6,    0,    0,
                                   0,    1,    1,    0xE0, 'M',  'T',  'r',  'k',  0,    0,
                                   0,    16,   0x00, 0xC0, 0x00, 0x00, 0x90, 0x3C, 0x64, 0x83,
                                   0x60, 0x80, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// The loudest 16-bit sample of the WAV file's data in frames [from, to).
int Peak(const std::string& wav, size_t from, size_t to) {
    int peak = 0;
    for (size_t i = 44 + from * 4; i + 1 < wav.size() && i < 44 + to * 4; i += 2) {
        int sample = static_cast<int16_t>(uint8_t(wav[i]) | uint8_t(wav[i + 1]) << 8);
        peak = std::max(peak, std::abs(sample));
    }
    return peak;
}

TEST(MediaRunTest, MusicThenSpeechReachTheOutputFile) {
    if (platform::media::SoundFontPath().empty()) GTEST_SKIP() << "no General MIDI sound font";
    test_support::TempDir folder;
    folder.WriteFile("game/project.zpk",
                     "entry Game\n  module main.zs\n  bank music\n    file tune.mid\n");
    folder.WriteFile("game/tune.mid", Tune());
    folder.WriteFile("game/main.zs",
                     "m = New Music(\"tune.mid\");\nm.Play();\n"
                     "For (i = 0; i < 300 && !m.IsCompleted(); i++) Program.Wait(20);\n"
                     "If (!m.IsCompleted()) Program.End(3);\n"
                     "v = New Voice();\nIf (!v.Speak(\"Hello\", 1)) Program.End(4);\n");
    ASSERT_TRUE(app_test::PackFolder(folder));
    std::string output = folder.Linux("played.wav");
    app_test::PlayerOutcome outcome =
        RunPlayer(folder, folder.Linux("packed"), {},
                  "ZORV_AUDIO=" + ShellQuote("file:" + output) + " ZORV_VOICE=en");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.errors;

    std::ifstream in(output, std::ios::binary);
    std::string played((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(played.size(), 44u + 44100u * 4);
    size_t frames = (played.size() - 44) / 4;
    // The tune sounds in its first half second, the greeting after it.
    EXPECT_GT(Peak(played, 0, 44100), 300);
    EXPECT_GT(Peak(played, 40000, frames), 300);
}

} // namespace
