// The built-in module plug-in over libopenmpt, through LoadLibraryA and GetProcAddress as
// the MODPlayer class reaches it, on the null output under the test clock.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "platform/kernel/test_hooks.h"
#include "platform/media/modplug/mod_bytes.h"
#include "platform/media/modplug/mod_plug.h"
#include "platform/media/modplug/tracker_module.h"
#include "platform/sound/sound_test_hooks.h"
#include "support/recorded_sound.h"
#include "support/temp_dir.h"

namespace {

class ModPlug : public ::testing::Test {
protected:
    test_support::RecordedSound recording_;
    void SetUp() override {
        modplug::Install();
        library_ = LoadLibraryA("NPMOD32.DLL");
        ASSERT_NE(library_, 0u);
        std::vector<uint8_t> bytes = test_mod::Module();
        FILE* file = std::fopen((dir_.LinuxPath() + "/song.mod").c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        path_ = dir_.WinPath() + "\\song.mod";
    }
    void TearDown() override {
        if (library_ != 0) FreeLibrary(library_);
    }
    template <class F> F Entry(const char* name) {
        return reinterpret_cast<F>(GetProcAddress(library_, name));
    }
    void Advance(DWORD ms) {
        for (DWORD at = 0; at < ms; at += 10)
            platform::test::AdvanceClock(10);
    }

    test_support::TempDir dir_;
    std::string path_;
    HMODULE library_ = 0;
};

TEST_F(ModPlug, AModulePlaysToItsEndAndSounds) {
    auto createEx = Entry<modplug::CreateExFn>("ModPlug_CreateEx");
    auto load = Entry<modplug::LoadFn>("ModPlug_Load");
    auto play = Entry<modplug::InstanceFn>("ModPlug_Play");
    auto stop = Entry<modplug::InstanceFn>("ModPlug_Stop");
    auto isPlaying = Entry<modplug::InstanceFn>("ModPlug_IsPlaying");
    auto position = Entry<modplug::InstanceFn>("ModPlug_GetCurrentPosition");
    auto length = Entry<modplug::InstanceFn>("ModPlug_GetSongLength");
    auto destroy = Entry<modplug::InstanceFn>("ModPlug_Destroy");
    ASSERT_TRUE(createEx && load && play && stop && isPlaying && position && length && destroy);
    EXPECT_EQ(Entry<modplug::InstanceFn>("ModPlug_Nothing"), nullptr);
    modplug::Instance instance = createEx("");
    ASSERT_NE(instance, 0u);
    EXPECT_EQ(play(instance), 0);
    EXPECT_EQ(load(instance, (dir_.WinPath() + "\\missing.mod").c_str()), 0);
    ASSERT_EQ(load(instance, path_.c_str()), 1);
    std::vector<uint8_t> bytes = test_mod::Module();
    EXPECT_EQ(static_cast<uint32_t>(length(instance)),
              platform::media::TrackerModule::Load(bytes)->LengthMs());
    EXPECT_NEAR(length(instance), 1280, 40);
    ASSERT_EQ(play(instance), 1);
    Advance(500);
    EXPECT_EQ(isPlaying(instance), 1);
    EXPECT_NEAR(position(instance), 500, 40);
    // Stopped, it stays where it was heard and plays on from there.
    EXPECT_EQ(stop(instance), 1);
    Advance(500);
    EXPECT_NEAR(position(instance), 500, 40);
    EXPECT_EQ(play(instance), 1);
    Advance(1000);
    EXPECT_EQ(isPlaying(instance), 0);
    EXPECT_EQ(position(instance), length(instance));
    float peak = 0;
    for (float sample : platform::test::TakeSoundOutput())
        peak = std::max(peak, std::fabs(sample));
    EXPECT_GT(peak, 0.01f);
    EXPECT_EQ(destroy(instance), 1);
    EXPECT_EQ(play(instance), 0);
}

} // namespace
