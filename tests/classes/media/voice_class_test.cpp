// Voice through espeak-ng on the null output, on the real clock: the events in order,
// waiting and not waiting, texts with nothing to say, and an engine that fails to start.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "classes/media/voice_class.h"
#include "platform/media/speech/speech_engine.h"
#include "platform/sound/sound_test_hooks.h"
#include "script/script_runner.h"

namespace {

class VoiceClassThreads : public ::testing::Test {
protected:
    void SetUp() override {
        if (!platform::media::SpeechAvailable()) GTEST_SKIP() << "espeak-ng does not start";
        // The runner's events stand-in holds the class id; the real class takes it here.
        UnregisterScriptClass(CIVoice::kClassId);
        RegisterScriptClass(GetVoiceClassInfo());
        setenv("ZORV_VOICE", "en", 1);
        platform::test::ResetSoundOutput();
        platform::test::RecordSoundOutput(true);
    }
    void TearDown() override {
        platform::test::FailSpeechEngine(false);
        platform::test::RecordSoundOutput(false);
        platform::test::ResetSoundOutput();
        unsetenv("ZORV_VOICE");
    }
    // The samples that carry sound: the null output plays silence as time passes.
    static size_t Sounding() {
        size_t count = 0;
        for (float sample : platform::test::TakeSoundOutput())
            if (std::fabs(sample) > 0.001f) ++count;
        return count;
    }
    float Peak() {
        float peak = 0;
        for (float sample : platform::test::TakeSoundOutput())
            peak = std::max(peak, std::fabs(sample));
        return peak;
    }
    script_test::ScriptRunner runner;
};

const char kHandlers[] =
    "Function Started(v) { Print(\"started\", v.IsSpeaking()); }\n"
    "Function Done(v) { Print(\"done\", v.IsSpeaking()); }\n"
    "v = New Voice();\nv.OnStartSpeaking = Started;\nv.OnSpeakingDone = Done;\n";

TEST_F(VoiceClassThreads, EventsComeInOrderAndTheTextSounds) {
    script_test::ScriptResult result =
        runner.Run(std::string(kHandlers) +
                   "Print(v.Speak(\"Hello there\", 2), v.IsSpeaking());\n"
                   "For (i = 0; i < 500 && (i < 3 || v.IsSpeaking()); i++) Program.Wait(20);\n"
                   "Print(v.IsSpeaking());\n");
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.output, "1 0\nstarted 1\ndone 0\n0\n");
    EXPECT_GT(Peak(), 0.01f);
}

TEST_F(VoiceClassThreads, WaitingReturnsOnceSpokenAndEmptyTextsSayNothing) {
    script_test::ScriptResult result =
        runner.Run(std::string(kHandlers) + "Print(v.Speak(\"Yes\", 1));\nPrint(\"returned\");\n"
                                            "Program.Wait(100);\n"
                                            "Print(v.Speak(\"\"), v.Speak(\""
                                            "\xE9\xFC\x80"
                                            "\", 1));\nProgram.Wait(300);\n"
                                            "Print(v.IsSpeaking());\n");
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.output, "1\nreturned\nstarted 1\ndone 0\n1 1\n0\n");
}

TEST_F(VoiceClassThreads, ASecondSpeakWhileOneIsGoingTakesItsPlace) {
    // A second text while the first plays takes its place: the Voice stays speaking, the
    // second text is heard whole, and one done ends both.
    script_test::ScriptResult first =
        runner.Run(std::string(kHandlers) + "v.Speak(\"Hello there\", 1);\nProgram.Wait(50);\n");
    ASSERT_EQ(first.code, 0);
    size_t alone = Sounding();
    script_test::ScriptResult result =
        runner.Run(std::string(kHandlers) +
                   "Print(v.Speak(\"Hello there\"));\n"
                   "For (i = 0; i < 500 && v.IsSpeaking() == 0; i++) Program.Wait(10);\n"
                   "Print(v.Speak(\"Hello there\"), v.IsSpeaking());\n"
                   "For (i = 0; i < 1000 && (i < 3 || v.IsSpeaking()); i++) Program.Wait(10);\n"
                   "Print(v.IsSpeaking());\n");
    ASSERT_EQ(result.code, 0);
    EXPECT_EQ(result.output.substr(0, 12), "1\nstarted 1\n") << result.output;
    EXPECT_NE(result.output.find("1 1\n"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.substr(result.output.size() - 9), "done 0\n0\n") << result.output;
    EXPECT_EQ(result.output.find("done"), result.output.rfind("done")) << result.output;
    EXPECT_GT(Sounding(), alone * 9 / 10);
}

TEST_F(VoiceClassThreads, AnEngineThatFailsRaises64) {
    platform::test::FailSpeechEngine(true);
    EXPECT_EQ(runner.Run("v = New Voice();\n").code, 64);
}

} // namespace
