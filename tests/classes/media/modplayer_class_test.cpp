// MODPlayer's calls into the plug-in, through a recording stand-in put in place of the
// built-in module; the refusals of an unusable plug-in; and a module played by the real one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/kernel/test_hooks.h"
#include "platform/media/modplug/mod_bytes.h"
#include "platform/media/modplug/mod_plug.h"
#include "platform/sound/sound_test_hooks.h"
#include "script/script_runner.h"
#include "support/temp_dir.h"

namespace {

std::vector<std::string> calls;
int lookups = 0;
bool lackOne = false;

modplug::Instance CreateEx(LPCSTR) {
    calls.push_back("CreateEx");
    return 5;
}
void SetWindow(modplug::Instance, HWND window) {
    calls.push_back(window != 0 ? "SetWindow" : "SetWindow none");
}
int Load(modplug::Instance, LPCSTR name) {
    calls.push_back(std::string("Load ") + name);
    return std::strcmp(name, "bad.mod") == 0 ? 0 : 1;
}
int Play(modplug::Instance) {
    calls.push_back("Play");
    return 7;
}
int Stop(modplug::Instance) {
    calls.push_back("Stop");
    return 1;
}
int Three(modplug::Instance) {
    return 3;
}
int Destroy(modplug::Instance) {
    calls.push_back("Destroy");
    return 1;
}
int SetPosition(modplug::Instance, int ms) {
    calls.push_back("SetPosition " + std::to_string(ms));
    return 1;
}
int Unused() {
    calls.push_back("unexpected");
    return 0;
}

FARPROC Recording(LPCSTR name) {
    ++lookups;
    std::string entry = name;
    if (entry == "ModPlug_CreateEx") return reinterpret_cast<FARPROC>(&CreateEx);
    if (entry == "ModPlug_SetWindow") return reinterpret_cast<FARPROC>(&SetWindow);
    if (entry == "ModPlug_Load") return reinterpret_cast<FARPROC>(&Load);
    if (entry == "ModPlug_Play") return reinterpret_cast<FARPROC>(&Play);
    if (entry == "ModPlug_Stop") return reinterpret_cast<FARPROC>(&Stop);
    if (entry == "ModPlug_Destroy") return reinterpret_cast<FARPROC>(&Destroy);
    if (entry == "ModPlug_SetCurrentPosition") return reinterpret_cast<FARPROC>(&SetPosition);
    if (entry == "ModPlug_IsPlaying" || entry == "ModPlug_GetMaxPosition" ||
        entry == "ModPlug_GetCurrentPosition" || entry == "ModPlug_GetSongLength")
        return reinterpret_cast<FARPROC>(&Three);
    if (entry == "ModPlug_GetVUMeter" && lackOne) return nullptr;
    return reinterpret_cast<FARPROC>(&Unused);
}

std::string Calls() {
    std::string text;
    for (const std::string& call : calls)
        text += call + ";";
    calls.clear();
    return text;
}

class MODPlayerClass : public ::testing::Test {
protected:
    void SetUp() override {
        calls.clear();
        lookups = 0;
        lackOne = false;
        RegisterBuiltInModule(modplug::LIBRARY_NAME, &Recording);
    }
    void TearDown() override { modplug::Install(); }
    script_test::ScriptRunner runner;
};

TEST_F(MODPlayerClass, CallsReachThePlugInAsTheRulesSay) {
    script_test::ScriptResult result = runner.Run(
        "p = New MODPlayer();\nPrint(\"made\");\n"
        "Print(p.Play());\nPrint(\"play\");\n"
        "Print(p.LoadModule(\"song.mod\"), p.LoadModule());\nPrint(\"load\");\n"
        "Print(p.Play());\nPrint(\"replay\");\n"
        "p.Pause();\nPrint(p.IsPaused());\np.Resume();\np.Resume();\nPrint(p.IsPaused());\n"
        "Print(p.IsPlaying(), p.GetMaxPosition(), p.GetPosition(), p.GetDuration());\n"
        "Print(p.Play(\"bad.mod\"), p.Play());\nPrint(\"bad\");\n"
        "q = New MODPlayer(\"other.mod\");\nDelete p;\nDelete q;\n");
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.output, "made\n0\nplay\n1 0\nload\n7\nreplay\n1\n0\n3 3 3 3\n0 0\nbad\n");
    // One library for both objects: the sixteen entry points were looked up once.
    EXPECT_EQ(lookups, 16);
}

TEST_F(MODPlayerClass, EveryCallInOrder) {
    runner.Run("p = New MODPlayer();\nPrint(\"|\");\np.Play();\nPrint(\"|\");\n"
               "p.LoadModule(\"song.mod\");\nPrint(\"|\");\np.Play();\nPrint(\"|\");\n"
               "p.Pause();\np.Resume();\np.Resume();\nPrint(\"|\");\np.Play(\"bad.mod\");\n"
               "Print(\"|\");\nDelete p;\n");
    EXPECT_EQ(Calls(), "CreateEx;SetWindow;Stop;Stop;Stop;Load song.mod;Stop;SetPosition 0;Play;"
                       "Stop;Play;Stop;Load bad.mod;Stop;Destroy;");
}

TEST_F(MODPlayerClass, AnUnusablePlugInRaises106) {
    lackOne = true;
    EXPECT_EQ(runner.Run("p = New MODPlayer();\n").code, 106);
    RegisterBuiltInModule(modplug::LIBRARY_NAME, nullptr);
    EXPECT_EQ(runner.Run("p = New MODPlayer();\n").code, 106);
}

TEST_F(MODPlayerClass, TheBuiltInPlugInPlaysAModule) {
    modplug::Install();
    test_support::TempDir dir;
    std::vector<uint8_t> bytes = test_mod::Module();
    FILE* file = std::fopen((dir.LinuxPath() + "/song.mod").c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    platform::test::FreezeClock(1000);
    platform::test::ResetSoundOutput();
    platform::test::RecordSoundOutput(true);
    script_test::ScriptResult result =
        runner.Run("p = New MODPlayer(\"" + dir.WinPath() +
                   "\\song.mod\");\n"
                   "Print(p.Play(), p.GetDuration() > 1200, p.GetDuration() < 1400);\n"
                   "For (i = 0; i < 50; i++) UiAdvance(10);\n"
                   "Print(p.IsPlaying(), p.GetPosition() > 400, p.GetPosition() < 600);\n"
                   "For (i = 0; i < 100; i++) UiAdvance(10);\nPrint(p.IsPlaying());\n");
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.output, "1 1 1\n1 1 1\n0\n");
    float peak = 0;
    for (float sample : platform::test::TakeSoundOutput())
        peak = std::max(peak, std::fabs(sample));
    EXPECT_GT(peak, 0.01f);
    platform::test::RecordSoundOutput(false);
    platform::test::ResetSoundOutput();
    platform::test::UnfreezeClock();
}

} // namespace
