#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "audio/manager/sound_channel.h"
#include "audio/manager/sound_device.h"
#include "audio/manager/sound_manager.h"
#include "audio/sound_files.h"
#include "foundation/streams/mem_in_stream.h"
#include "platform/sound/sound_test_hooks.h"

namespace {

using namespace audio_test;

constexpr uint32_t kRate = 44100;

// Script-thread calls against the timer's refills and the mixer, with the real clock.
TEST(SoundChannelThreads, CallsRaceTheTimerAndTheMixerSafely) {
    setenv("ZORV_AUDIO", "null", 1);
    platform::test::ResetSoundOutput();
    SoundDevice* device = SoundMgr_Instance().CreateDevice(0, 0);
    device->Start(0);
    Bytes file = MonoWav(NoiseSamples(kRate * 3, 13), kRate);
    std::vector<std::unique_ptr<CMemInStream>> streams;
    std::vector<SoundChannel*> channels;
    for (int i = 0; i < 4; ++i) {
        streams.push_back(std::make_unique<CMemInStream>());
        streams.back()->Attach(file.data(), static_cast<uint32_t>(file.size()));
        channels.push_back(device->CreateChannel(streams.back().get(), 0));
        ASSERT_NE(channels.back(), nullptr);
        channels.back()->SetLoop(1, 0);
    }
    for (int round = 0; round < 200; ++round) {
        SoundChannel* channel = channels[round % channels.size()];
        switch (round % 6) {
        case 0:
            channel->Play();
            break;
        case 1:
            channel->SetPosition(round * 7 % 3000);
            break;
        case 2:
            channel->SetVolume(round % 1000);
            channel->SetPan(round % 2000 - 1000);
            break;
        case 3:
            channel->SetFrequency(8000 + round * 100);
            break;
        case 4:
            channel->Pause();
            channel->Resume();
            break;
        default:
            channel->Stop(round % 2, 1);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    SoundMgr_Instance().ReleaseAll();
    SoundMgr_Instance().DestroyDevice(device);
    unsetenv("ZORV_AUDIO");
    platform::test::ResetSoundOutput();
}

} // namespace
