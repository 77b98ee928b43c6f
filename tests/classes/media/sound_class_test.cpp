// The Sound class's end as a script waits for it: a sound that cannot play completes.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/sound/sound_test_hooks.h"
#include "script/script_runner.h"

namespace {

// A quarter second of 8-bit mono WAV written by the script, then the bounded wait loop.
constexpr const char* kPlayAndWait =
    "b = New Binary();\nb.AllocateData(44 + 2000);\nb.SetString(0, \"RIFF\");\n"
    "b.SetLong(4, 36 + 2000);\nb.SetString(8, \"WAVEfmt \");\nb.SetLong(16, 16);\n"
    "b.SetWord(20, 1);\nb.SetWord(22, 1);\nb.SetLong(24, 8000);\nb.SetLong(28, 8000);\n"
    "b.SetWord(32, 1);\nb.SetWord(34, 8);\nb.SetString(36, \"data\");\nb.SetLong(40, 2000);\n"
    "b.SaveData(\"short.wav\");\ns = New Sound(\"short.wav\");\ns.Play();\nn = 0;\n"
    "While (!s.IsCompleted() && n < 500) {\n    Program.Wait(10);\n    n++;\n}\n"
    "Print(s.IsCompleted(), s.IsPlaying(), n < 500);\n";

TEST(SoundClassTest, TheWaitForTheEndEndsWithoutASoundOutput) {
    setenv("ZORV_AUDIO", "none", 1);
    platform::test::ResetSoundOutput();
    script_test::ScriptRunner runner;
    script_test::ScriptResult result = runner.Run(kPlayAndWait, "test.zs");
    unsetenv("ZORV_AUDIO");
    platform::test::ResetSoundOutput();
    EXPECT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "1 0 1\n");
}

} // namespace
