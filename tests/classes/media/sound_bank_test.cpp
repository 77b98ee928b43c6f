// Sounds of a project's sound bank, by name and by index, with the errors for an index
// without an element and for an element that holds no sound.
#include <gtest/gtest.h>

#include <string>

#include "packer/project_chunk_writer.h"
#include "packer/project_model.h"
#include "packer/project_writer.h"
#include "script/project/project_format.h"
#include "script/script_runner.h"

namespace {

std::vector<uint8_t> Wav(uint32_t rate, uint32_t frames) {
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    auto put = [&out](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    put(36 + frames, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(rate, 4);
    put(rate, 4);
    put(1, 2);
    put(8, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put(frames, 4);
    out.insert(out.end(), frames, 0x80);
    return out;
}

std::string ProjectWithSounds() {
    PackProject project;
    PackEntry entry;
    entry.name = "Main";
    PackBank& sounds = BankOfType(entry, project_format::kSoundBank);
    PackElement bell;
    bell.name = "bell.wav";
    bell.data = Wav(8000, 4000);
    PackElement drum;
    drum.name = "drum.wav";
    drum.data = Wav(11025, 11025);
    PackElement text;
    text.name = "notes.txt";
    text.data = {'n', 'o'};
    sounds.elements = {bell, drum, text};
    project.entries.push_back(entry);
    ProjectChunkWriter out;
    std::string error;
    EXPECT_TRUE(WriteProjectData(project, out, error)) << error;
    return std::string(out.Bytes().begin(), out.Bytes().end());
}

TEST(SoundBankTest, SoundsComeFromTheBankByNameAndIndex) {
    script_test::ScriptRunner runner;
    const std::string project = ProjectWithSounds();
    script_test::ScriptResult result =
        runner.Run("a = New Sound(\"drum.wav\");\nb = New Sound(0);\nc = New Sound(1.0);\n"
                   "Print(a.GetDuration(), b.GetDuration(), c.GetFrequency());\n",
                   "test.zs", project);
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.output, "1000 500 11025\n");
    EXPECT_EQ(runner.Run("s = New Sound(7);\n", "test.zs", project).code, 33);
    EXPECT_EQ(runner.Run("s = New Sound(2);\n", "test.zs", project).code, 14);
    EXPECT_EQ(runner.Run("s = New Sound(\"notes.txt\");\n", "test.zs", project).code, 14);
}

} // namespace
