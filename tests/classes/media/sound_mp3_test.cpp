// MP3 sounds through the Sound class: from the sound bank, with their length, position and
// looping. The MP3 is encoded by lame at test time.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "packer/project_chunk_writer.h"
#include "packer/project_model.h"
#include "packer/project_writer.h"
#include "script/project/project_format.h"
#include "script/script_runner.h"

namespace {

// One second of a 440 Hz tone as MP3, empty when lame is missing.
std::vector<uint8_t> ToneMp3() {
    if (access("/usr/bin/lame", X_OK) != 0) return {};
    char folder[] = "/tmp/zorv-mp3-XXXXXX";
    if (mkdtemp(folder) == nullptr) return {};
    std::string raw = std::string(folder) + "/tone.raw";
    std::string mp3 = std::string(folder) + "/tone.mp3";
    {
        std::ofstream out(raw, std::ios::binary);
        for (int i = 0; i < 44100; ++i) {
            auto sample = static_cast<int16_t>(12000 * std::sin(2 * M_PI * 440.0 * i / 44100));
            out.put(static_cast<char>(sample & 0xFF));
            out.put(static_cast<char>((sample >> 8) & 0xFF));
        }
    }
    std::string command = "/usr/bin/lame -t --quiet -r -s 44.1 --bitwidth 16 --signed "
                          "--little-endian -m m -b 64 " +
                          raw + " " + mp3 + " >/dev/null 2>&1";
    std::vector<uint8_t> bytes;
    if (std::system(command.c_str()) == 0) {
        std::ifstream in(mp3, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::filesystem::remove_all(folder);
    return bytes;
}

std::string ProjectWith(const std::vector<uint8_t>& mp3) {
    PackProject project;
    PackEntry entry;
    entry.name = "Main";
    PackBank& sounds = BankOfType(entry, project_format::kSoundBank);
    PackElement tone;
    tone.name = "tone.mp3";
    tone.data = mp3;
    sounds.elements = {tone};
    project.entries.push_back(entry);
    ProjectChunkWriter out;
    std::string error;
    EXPECT_TRUE(WriteProjectData(project, out, error)) << error;
    return std::string(out.Bytes().begin(), out.Bytes().end());
}

TEST(SoundMp3Test, PlaysWithLengthPositionAndLoop) {
    std::vector<uint8_t> mp3 = ToneMp3();
    if (mp3.empty()) GTEST_SKIP() << "lame is not installed (tools/deps test)";
    script_test::ScriptRunner runner;
    const std::string project = ProjectWith(mp3);
    script_test::ScriptResult result =
        runner.Run("s = New Sound(\"tone.mp3\");\nd = s.GetDuration();\n"
                   "Print(d >= 1000 && d <= 1100, s.GetFrequency());\n"
                   "s.SetPos(500);\np = s.GetPos();\nPrint(p >= 490 && p <= 510);\n"
                   "s.SetLoop(1, 2);\nPrint(s.IsLooping(), s.GetLoopCount());\n"
                   "s.Play();\nPrint(s.IsPlaying());\ns.Stop();\n"
                   "t = New Sound(0);\nPrint(t.GetDuration() == d);\n",
                   "test.zs", project);
    EXPECT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "1 44100\n1\n1 2\n1\n1\n");
}

} // namespace
