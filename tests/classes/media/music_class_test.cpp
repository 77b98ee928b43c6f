// Music on the sequencer under the test clock, into the null output: looping and its
// counts, the hand-over between two Musics, MIDI and RMID files from the music bank, the
// errors of creation and the temporary copy of an element.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "packer/project_chunk_writer.h"
#include "packer/project_model.h"
#include "packer/project_writer.h"
#include "platform/kernel/test_hooks.h"
#include "platform/sound/sound_test_hooks.h"
#include "script/project/project_format.h"
#include "script/script_runner.h"
#include "support/recorded_sound.h"

namespace {

void PutBE(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutLE(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Half a second of middle C on a piano: 480 ticks a quarter note at 120 beats a minute.
std::vector<uint8_t> Tune() {
    const std::vector<uint8_t> track = {0x00, 0xC0, 0x00, 0x00, 0x90, 0x3C, 0x64, 0x83,
                                        0x60, 0x80, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00};
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
    PutBE(out, 6, 4);
    PutBE(out, 0, 2);
    PutBE(out, 1, 2);
    PutBE(out, 480, 2);
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    PutBE(out, static_cast<uint32_t>(track.size()), 4);
    out.insert(out.end(), track.begin(), track.end());
    return out;
}

// The tune in a RIFF "RMID" file, after a chunk the reader must step over.
std::vector<uint8_t> WrappedTune() {
    std::vector<uint8_t> midi = Tune();
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    PutLE(out, static_cast<uint32_t>(4 + 8 + 3 + 1 + 8 + midi.size()));
    out.insert(out.end(), {'R', 'M', 'I', 'D', 'I', 'N', 'F', 'O'});
    PutLE(out, 3);
    out.insert(out.end(), {'a', 'b', 'c', 0});
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutLE(out, static_cast<uint32_t>(midi.size()));
    out.insert(out.end(), midi.begin(), midi.end());
    return out;
}

std::string ProjectWithMusic() {
    PackProject project;
    PackEntry entry;
    entry.name = "Main";
    PackBank& music = BankOfType(entry, project_format::kMusicBank);
    PackElement tune{};
    tune.name = "tune.mid";
    tune.data = Tune();
    PackElement wrapped{};
    wrapped.name = "wrapped.rmi";
    wrapped.data = WrappedTune();
    PackElement text{};
    text.name = "notes.txt";
    text.data = {'n', 'o', 't', 'e', 's'};
    music.elements = {tune, wrapped, text};
    project.entries.push_back(entry);
    ProjectChunkWriter out;
    std::string error;
    EXPECT_TRUE(WriteProjectData(project, out, error)) << error;
    return std::string(out.Bytes().begin(), out.Bytes().end());
}

float Peak(const std::vector<float>& frames) {
    float peak = 0;
    for (float sample : frames)
        peak = std::max(peak, std::fabs(sample));
    return peak;
}

class MusicClass : public ::testing::Test {
protected:
    test_support::RecordedSound recording_;
    script_test::ScriptResult Run(const std::string& source) {
        return runner.Run(source, "test.zs", project);
    }
    script_test::ScriptRunner runner;
    std::string project = ProjectWithMusic();
};

// Advance moves the test clock on in steps of 10 ms, the output playing and the
// notifications handled at each; Watch does so, printing the loop count each time it
// changes, until the Music completes.
const char kWatch[] =
    "Function Advance(ms) { For (k = 0; k < ms; k += 10) { UiAdvance(10); Program.Wait(0); } }\n"
    "Function Watch(m) {\n"
    "    last = -1;\n"
    "    For (i = 0; i < 500 && !m.IsCompleted(); i++) {\n"
    "        c = m.GetLoopCount();\n"
    "        If (c != last) { Print(c, m.IsLooping(), m.IsPlaying()); last = c; }\n"
    "        Advance(10);\n"
    "    }\n"
    "    Print(m.IsCompleted(), m.IsPlaying(), m.GetLoopCount(), i > 100);\n"
    "}\n";

TEST_F(MusicClass, ALoopCountPlaysTheFileThatManyTimesAndSounds) {
    script_test::ScriptResult result =
        Run(std::string(kWatch) +
            "m = New Music(\"tune.mid\");\nm.SetLoop(1, 3);\nm.Play();\nWatch(m);\n");
    EXPECT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "2 1 1\n1 1 1\n0 0 1\n1 0 0 1\n");
    EXPECT_GT(Peak(platform::test::TakeSoundOutput()), 0.01f);
}

TEST_F(MusicClass, WithoutALoopTheFileCompletesOnceAndStopStaysSilent) {
    script_test::ScriptResult result =
        Run(std::string(kWatch) + "m = New Music(0);\nm.Play();\nWatch(m);\n"
                                  // A loop without a count goes on until stopped.
                                  "m.SetLoop();\nm.Play();\nAdvance(2000);\n"
                                  "Print(m.IsPlaying(), m.IsLooping(), m.IsCompleted());\n"
                                  "m.Pause();\nPrint(m.IsPlaying(), m.IsPaused());\nm.Resume();\n"
                                  "Print(m.IsPlaying(), m.IsPaused());\nm.Stop();\n"
                                  "Print(m.IsPlaying(), m.IsPaused(), m.IsCompleted());\n");
    EXPECT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "0 0 1\n1 0 0 0\n1 1 0\n0 1\n1 0\n0 0 0\n");
}

TEST_F(MusicClass, ASecondMusicStopsTheFirstAndAnRmidFilePlays) {
    script_test::ScriptResult result =
        Run(std::string(kWatch) +
            "a = New Music(\"tune.mid\");\nb = New Music(1.0);\na.SetLoop();\na.Play();\n"
            "Advance(100);\nb.Play();\nPrint(a.IsPlaying(), a.IsCompleted(), b.IsPlaying());\n"
            // Stop on a Music that does not own the sequencer changes nothing.
            "a.Stop();\nPrint(b.IsPlaying());\n"
            "For (i = 0; i < 200 && !b.IsCompleted(); i++) Advance(10);\n"
            "Print(b.IsCompleted(), a.IsCompleted());\n");
    EXPECT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "0 0 1\n1\n1 0\n");
}

TEST_F(MusicClass, CreationRefusesWhatIsNoMidiFile) {
    EXPECT_EQ(Run("m = New Music();\n").code, 21);
    EXPECT_EQ(Run("m = New Music(7);\n").code, 33);
    EXPECT_EQ(Run("m = New Music(2);\n").code, 14);
    EXPECT_EQ(Run("m = New Music(\"notes.txt\");\n").code, 14);
    EXPECT_EQ(Run("m = New Music(\"missing.mid\");\n").code, 14);
    EXPECT_EQ(runner.Run("m = New Music(0);\n").code, 14);
}

TEST_F(MusicClass, TheTemporaryCopyOfAnElementGoesWithTheObject) {
    script_test::ScriptResult result =
        Run("folder = System.GetTempDirectory();\n"
            "m = New Music(\"tune.mid\");\nDisk.ListFiles(folder, \"mid*.mid\");\n"
            "Print(Disk.GetNFilenames());\nDelete m;\nDisk.ListFiles(folder, \"mid*.mid\");\n"
            "Print(Disk.GetNFilenames());\n");
    EXPECT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "1\n0\n");
}

} // namespace
