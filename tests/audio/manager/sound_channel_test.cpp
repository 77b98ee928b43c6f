#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <list>
#include <memory>
#include <thread>
#include <vector>

#include "audio/manager/sound_channel.h"
#include "audio/manager/sound_device.h"
#include "audio/manager/sound_manager.h"
#include "audio/sound_files.h"
#include "foundation/streams/mem_in_stream.h"
#include "platform/kernel/test_hooks.h"
#include "platform/sound/sound_test_hooks.h"

namespace {

using namespace audio_test;

constexpr uint32_t kRate = 44100;

std::vector<int16_t> Samples(uint32_t frames, uint32_t seed) { return NoiseSamples(frames, seed); }

Bytes WavOf(const std::vector<int16_t>& samples) { return MonoWav(samples, kRate); }

class SoundChannelTest : public testing::Test {
protected:
    void SetUpOutput(const char* audio) {
        setenv("ZORV_AUDIO", audio, 1);
        platform::test::FreezeClock(1000);
        platform::test::ResetSoundOutput();
        platform::test::RecordSoundOutput(true);
        device_ = SoundMgr_Instance().CreateDevice(0, 0);
        ASSERT_NE(device_, nullptr);
        device_->Start(0);
    }
    void SetUp() override { SetUpOutput("null"); }
    void TearDown() override {
        SoundMgr_Instance().DestroyDevice(device_);
        platform::test::RecordSoundOutput(false);
        platform::test::TakeSoundOutput();
        platform::test::UnfreezeClock();
        unsetenv("ZORV_AUDIO");
        platform::test::ResetSoundOutput();
    }

    SoundChannel* Open(const Bytes& file) {
        files_.push_back(file);
        auto stream = std::make_unique<CMemInStream>();
        stream->Attach(files_.back().data(), static_cast<uint32_t>(files_.back().size()));
        streams_.push_back(std::move(stream));
        return device_->CreateChannel(streams_.back().get(), 0);
    }

    // Advances the clock in ticks of 10 ms and keeps the left channel of what played.
    void Run(uint32_t ms) {
        for (uint32_t t = 0; t < ms; t += 10) {
            platform::test::AdvanceClock(10);
            std::vector<float> frames = platform::test::TakeSoundOutput();
            for (size_t i = 0; i + 1 < frames.size(); i += 2)
                left_.push_back(frames[i]);
        }
    }

    // The played samples from the first that is not silent.
    std::vector<int16_t> Played() {
        std::vector<int16_t> out;
        size_t start = 0;
        while (start < left_.size() && left_[start] == 0.0f)
            ++start;
        for (size_t i = start; i < left_.size(); ++i)
            out.push_back(static_cast<int16_t>(std::lround(left_[i] * 32768.0f)));
        while (!out.empty() && out.back() == 0)
            out.pop_back();
        return out;
    }

    SoundDevice* device_ = nullptr;
    std::list<Bytes> files_;
    std::vector<std::unique_ptr<CMemInStream>> streams_;
    std::vector<float> left_;
};

TEST_F(SoundChannelTest, StaticAndStreamingSoundsPlayTheirSamplesAndComplete) {
    // One second fits a static buffer; three seconds stream through the timer.
    for (uint32_t ms : {1000u, 3000u}) {
        std::vector<int16_t> samples = Samples(kRate * ms / 1000, ms);
        auto* channel = static_cast<DirectSoundChannel*>(Open(WavOf(samples)));
        ASSERT_NE(channel, nullptr);
        EXPECT_EQ(channel->IsStatic(), ms == 1000 ? 1 : 0);
        EXPECT_EQ(channel->GetDuration(), static_cast<int32_t>(ms));
        left_.clear();
        ASSERT_EQ(channel->Play(), 1);
        EXPECT_EQ(channel->IsCompleted(), 0);
        EXPECT_EQ(SoundMgr_Instance().IsTimerRunning(), ms == 1000 ? 0 : 1);
        Run(ms + 400);
        EXPECT_EQ(channel->IsCompleted(), 1) << ms;
        EXPECT_EQ(channel->IsPlaying(), 0);
        std::vector<int16_t> played = Played();
        EXPECT_EQ(played.size(), samples.size()) << ms;
        EXPECT_TRUE(played == samples) << ms;
        channel->Release();
        EXPECT_EQ(SoundMgr_Instance().IsTimerRunning(), 0);
    }
}

TEST_F(SoundChannelTest, ALoopCountPlaysExactlyThatManyCopies) {
    std::vector<int16_t> samples = Samples(kRate / 2, 3);
    SoundChannel* channel = Open(WavOf(samples));
    ASSERT_NE(channel, nullptr);
    channel->SetLoop(1, 3);
    EXPECT_EQ(channel->IsLooping(), 1);
    EXPECT_EQ(channel->GetLoopCount(), 3);
    ASSERT_EQ(channel->Play(), 1);
    Run(2500);
    EXPECT_EQ(channel->IsCompleted(), 1);
    std::vector<int16_t> want;
    for (int i = 0; i < 3; ++i)
        want.insert(want.end(), samples.begin(), samples.end());
    std::vector<int16_t> played = Played();
    EXPECT_EQ(played.size(), want.size());
    EXPECT_TRUE(played == want);
    channel->Release();
}

TEST_F(SoundChannelTest, PauseAndResumeContinueExactly) {
    for (uint32_t ms : {1000u, 3000u}) {
        std::vector<int16_t> samples = Samples(kRate * ms / 1000, ms + 1);
        SoundChannel* channel = Open(WavOf(samples));
        ASSERT_NE(channel, nullptr);
        left_.clear();
        ASSERT_EQ(channel->Play(), 1);
        Run(400);
        EXPECT_EQ(channel->Pause(), 1);
        EXPECT_EQ(channel->IsPaused(), 1);
        EXPECT_EQ(channel->IsCompleted(), 0);
        // A paused whole sound reports where it started; a streamed one where it is.
        if (ms == 1000)
            EXPECT_EQ(channel->GetPosition(), 0);
        else
            EXPECT_NEAR(channel->GetPosition(), 400, 60);
        size_t before = left_.size();
        Run(300);
        for (size_t i = before; i < left_.size(); ++i)
            ASSERT_EQ(left_[i], 0.0f);
        std::vector<float> kept(left_.begin(), left_.begin() + static_cast<long>(before));
        left_ = kept;
        EXPECT_EQ(channel->Resume(), 1);
        Run(ms);
        EXPECT_TRUE(Played() == samples) << ms;
        EXPECT_EQ(channel->IsCompleted(), 1);
        channel->Release();
    }
}

TEST_F(SoundChannelTest, SettersClampAndPositionsStayInsideTheSound) {
    std::vector<int16_t> samples = Samples(kRate, 5);
    SoundChannel* channel = Open(WavOf(samples));
    ASSERT_NE(channel, nullptr);
    channel->SetVolume(-5);
    EXPECT_EQ(channel->GetVolume(), 0);
    channel->SetPan(5000);
    EXPECT_EQ(channel->GetPan(), 1000);
    channel->SetFrequency(50);
    EXPECT_EQ(channel->GetFrequency(), 100);
    channel->SetFrequency(0);
    EXPECT_EQ(channel->GetFrequency(), static_cast<int32_t>(kRate));
    // No 3D on this channel.
    float minimum = 0;
    float maximum = 0;
    EXPECT_EQ(channel->SetMinMaxDistance(0.5f, 2e9f), 0);
    EXPECT_EQ(channel->GetMinMaxDistance(&minimum, &maximum), 0);

    channel->SetPosition(-100);
    EXPECT_EQ(channel->GetPosition(), 0);
    channel->SetPosition(600000);
    EXPECT_EQ(channel->GetPosition(), 1000);
    channel->SetVolume(1000);
    channel->SetPan(0);
    channel->SetPosition(500);
    ASSERT_EQ(channel->Play(), 1);
    Run(700);
    EXPECT_EQ(channel->IsCompleted(), 1);
    std::vector<int16_t> played = Played();
    EXPECT_TRUE(played == std::vector<int16_t>(samples.begin() + kRate / 2, samples.end()));
    channel->Release();

    EXPECT_EQ(VolumeToHundredthsOfDb(500), -1003);
    EXPECT_EQ(VolumeToHundredthsOfDb(0), -10000);
    EXPECT_EQ(PanToHundredthsOfDb(500), 8996);
    EXPECT_EQ(PanToHundredthsOfDb(-1000), -10000);
    EXPECT_EQ(PanToHundredthsOfDb(1), 0);
}

TEST_F(SoundChannelTest, ThreeDValuesAreClampedOnAListenerDevice) {
    SoundDevice* device = SoundMgr_Instance().CreateDevice(1, 0);
    ASSERT_EQ(device->Start(0), 1);
    Bytes file = WavOf(Samples(kRate / 10, 6));
    CMemInStream stream;
    stream.Attach(file.data(), static_cast<uint32_t>(file.size()));
    SoundChannel* channel = device->CreateChannel(&stream, 1);
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(channel->SetMinMaxDistance(0.5f, 2e9f), 1);
    float minimum = 0;
    float maximum = 0;
    EXPECT_EQ(channel->GetMinMaxDistance(&minimum, &maximum), 1);
    EXPECT_EQ(minimum, 1.0f);
    EXPECT_EQ(maximum, 1e9f);
    EXPECT_EQ(channel->Play(), 1);
    EXPECT_EQ(channel->SetPosition3D(1, 2, 3), 1);
    EXPECT_EQ(device->GetRolloffFactor(), 1.0f);
    SoundMgr_Instance().DestroyDevice(device);
}

TEST_F(SoundChannelTest, ReleaseAllStopsEverythingAndTheNextPlayStartsAgain) {
    std::vector<int16_t> samples = Samples(kRate * 3, 7);
    SoundChannel* streaming = Open(WavOf(samples));
    SoundChannel* still = Open(WavOf(Samples(kRate / 4, 8)));
    ASSERT_EQ(streaming->Play(), 1);
    ASSERT_EQ(still->Play(), 1);
    Run(100);
    SoundMgr_Instance().ReleaseAll();
    EXPECT_EQ(streaming->IsPlaying(), 0);
    EXPECT_EQ(still->IsPlaying(), 0);
    EXPECT_EQ(SoundMgr_Instance().IsTimerRunning(), 0);
    EXPECT_EQ(SoundMgr_Instance().GetDirectSound(), nullptr);
    left_.clear();
    Run(100);
    EXPECT_TRUE(Played().empty());
    ASSERT_EQ(streaming->Play(), 1);
    Run(3400);
    EXPECT_TRUE(Played() == samples);
    EXPECT_EQ(streaming->IsCompleted(), 1);
}

TEST_F(SoundChannelTest, SoundsThatLoseTheDeviceCompleteAndStoppedOnesDoNot) {
    SoundChannel* streaming = Open(WavOf(Samples(kRate * 3, 13)));
    SoundChannel* still = Open(WavOf(Samples(kRate / 2, 14)));
    SoundChannel* paused = Open(WavOf(Samples(kRate / 2, 15)));
    SoundChannel* idle = Open(WavOf(Samples(kRate / 2, 16)));
    ASSERT_EQ(streaming->Play(), 1);
    ASSERT_EQ(still->Play(), 1);
    ASSERT_EQ(paused->Play(), 1);
    Run(100);
    ASSERT_EQ(paused->Pause(), 1);
    SoundMgr_Instance().ReleaseAll();
    EXPECT_EQ(streaming->IsCompleted(), 0);
    EXPECT_EQ(still->IsCompleted(), 0);
    ASSERT_EQ(streaming->Play(), 1);
    ASSERT_EQ(still->Play(), 1);
    ASSERT_EQ(paused->Play(), 1);
    ASSERT_EQ(paused->Pause(), 1);
    Run(100);
    SoundMgr_Instance().YieldDevice();
    for (SoundChannel* channel : {streaming, still, paused}) {
        EXPECT_EQ(channel->IsPlaying(), 0);
        EXPECT_EQ(channel->IsCompleted(), 1);
    }
    EXPECT_EQ(idle->IsCompleted(), 0);
    EXPECT_EQ(SoundMgr_Instance().GetDirectSound(), nullptr);
}

TEST_F(SoundChannelTest, HostileFilesMakeNoChannel) {
    Bytes bad = WavOf(Samples(100, 9));
    bad[32] = 0; // block align 0
    EXPECT_EQ(Open(bad), nullptr);
    EXPECT_EQ(Open(Noise(64, 10)), nullptr);
}

class NoSoundTest : public SoundChannelTest {
protected:
    void SetUp() override { SetUpOutput("none"); }
};

TEST_F(NoSoundTest, EveryPlayAnswersZeroAndNoTimerStarts) {
    SoundChannel* streaming = Open(WavOf(Samples(kRate * 3, 11)));
    SoundChannel* still = Open(WavOf(Samples(kRate / 4, 12)));
    ASSERT_NE(streaming, nullptr);
    EXPECT_EQ(streaming->Play(), 0);
    EXPECT_EQ(still->Play(), 0);
    EXPECT_EQ(SoundMgr_Instance().IsTimerRunning(), 0);
    EXPECT_EQ(streaming->IsPlaying(), 0);
    // A script waiting for the end is not left waiting.
    EXPECT_EQ(streaming->IsCompleted(), 1);
    EXPECT_EQ(still->IsCompleted(), 1);
}

} // namespace
