#include <atomic>
#include <fstream>
#include <iterator>
#include <optional>
#include <thread>

#include "platform/kernel/clock.h"
#include "platform/sound/media_voice.h"
#include "platform/sound/multimedia_timer.h"
#include "sound_fixture.h"
#include "support/temp_dir.h"

namespace {

using platform::sound::CloseMediaVoice;
using platform::sound::EndMediaVoice;
using platform::sound::MediaVoiceEnded;
using platform::sound::MediaVoicePlayedFrames;
using platform::sound::MediaVoiceQueuedFrames;
using platform::sound::OpenMediaVoice;
using platform::sound::PauseMediaVoice;
using platform::sound::SetMediaVoicePan;
using platform::sound::SetMediaVoiceVolume;
using platform::sound::WriteMediaVoice;

class OutputTest : public ::testing::Test {
protected:
    void TearDown() override {
        platform::test::ResetSoundOutput();
        platform::test::UnfreezeClock();
        unsetenv("ZORV_AUDIO");
        unsetenv("SDL_AUDIODRIVER");
    }
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST_F(OutputTest, FileOutputWritesA16BitStereoWavAsTheClockGoes) {
    test_support::TempDir folder;
    std::string path = folder.Linux("out.wav");
    setenv("ZORV_AUDIO", ("file:" + path).c_str(), 1);
    platform::test::FreezeClock(500);
    IDirectSound* sound = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &sound, nullptr), DS_OK);
    std::vector<int16_t> samples;
    for (int i = 0; i < 441 * 2; ++i)
        samples.push_back(static_cast<int16_t>(i * 73 - 32000));
    std::vector<uint8_t> bytes = Pcm16(samples);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
    DSBUFFERDESC desc{20, DSBCAPS_STATIC, static_cast<DWORD>(bytes.size()), 0, &format};
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(sound->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    void* region = nullptr;
    DWORD regionBytes = 0;
    buffer->Lock(0, 0, &region, &regionBytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER);
    std::copy(bytes.begin(), bytes.end(), static_cast<uint8_t*>(region));
    buffer->Unlock(region, regionBytes, nullptr, 0);
    platform::test::AdvanceClock(10); // leading silence
    buffer->Play(0, 0, 0);
    platform::test::AdvanceClock(20);
    buffer->Release();
    sound->Release();
    platform::test::ResetSoundOutput();

    std::string file = ReadAll(path);
    DWORD frames = 441 * 3;
    std::string header(
        "RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xAC\0\0\x10\xB1\x02\0\x04\0\x10\0data", 40);
    auto put32 = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = static_cast<char>(value >> (8 * i));
    };
    put32(4, 36 + frames * 4);
    header += std::string(4, '\0');
    put32(40, frames * 4);
    ASSERT_EQ(file.size(), 44 + frames * 4);
    EXPECT_EQ(file.substr(0, 44), header);
    EXPECT_EQ(file.substr(44, 441 * 4), std::string(441 * 4, '\0'));
    EXPECT_EQ(file.substr(44 + 441 * 4, bytes.size()), std::string(bytes.begin(), bytes.end()));
}

TEST_F(OutputTest, WithoutAnOutputThereIsNoDirectSoundAndNoMediaVoice) {
    setenv("ZORV_AUDIO", "none", 1);
    IDirectSound* sound = reinterpret_cast<IDirectSound*>(1);
    EXPECT_EQ(DirectSoundCreate(nullptr, &sound, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(sound, nullptr);
    EXPECT_EQ(OpenMediaVoice(100), 0u);

    // An SDL output without a device acts as none, quietly.
    platform::test::ResetSoundOutput();
    setenv("ZORV_AUDIO", "sdl", 1);
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    ::testing::internal::CaptureStderr();
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(DirectSoundCreate(nullptr, &sound, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    platform::test::ResetSoundOutput();
    setenv("ZORV_AUDIO", "file:/no/such/folder/out.wav", 1);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(DirectSoundCreate(nullptr, &sound, nullptr), DSERR_NODRIVER);
    EXPECT_NE(::testing::internal::GetCapturedStderr(), "");

    platform::test::ResetSoundOutput();
    setenv("ZORV_AUDIO", "null", 1);
    GUID other{1, 2, 3, {4}};
    EXPECT_EQ(DirectSoundCreate(&other, &sound, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(DirectSoundCreate(nullptr, &sound, reinterpret_cast<IUnknown*>(&other)),
              DSERR_NOAGGREGATION);
    ASSERT_EQ(DirectSoundCreate(nullptr, &sound, nullptr), DS_OK);
    EXPECT_EQ(sound->SetCooperativeLevel(0, DSSCL_PRIORITY), DS_OK);
    EXPECT_EQ(sound->Release(), 0u);
}

TEST_F(OutputTest, NullOutputPlaysAtTheRealClocksPace) {
    setenv("ZORV_AUDIO", "null", 1);
    IDirectSound* sound = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &sound, nullptr), DS_OK);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 44100, 44100, 1, 8, 0};
    DSBUFFERDESC desc{20, 0, 441 * 2, 0, &format}; // 20 ms
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(sound->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    DWORD start = timeGetTime();
    buffer->Play(0, 0, 0);
    DWORD status = DSBSTATUS_PLAYING;
    while ((status & DSBSTATUS_PLAYING) && timeGetTime() - start < 5000) {
        Sleep(2);
        buffer->GetStatus(&status);
    }
    EXPECT_EQ(status, 0u);
    EXPECT_GE(timeGetTime() - start, 15u);
    buffer->Release();
    sound->Release();
}

TEST_F(OutputTest, FreezingTheClockAfterTheOutputOpenedLosesNoTime) {
    setenv("ZORV_AUDIO", "null", 1);
    IDirectSound* sound = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &sound, nullptr), DS_OK);
    platform::test::RecordSoundOutput(true);
    platform::test::FreezeClock(5000);
    platform::test::AdvanceClock(0); // waits for a round the output's thread may be playing
    platform::test::TakeSoundOutput();
    platform::test::AdvanceClock(10);
    EXPECT_EQ(platform::test::TakeSoundOutput().size(), 441u * 2);
    platform::test::AdvanceClock(10);
    EXPECT_EQ(platform::test::TakeSoundOutput().size(), 441u * 2);
    platform::test::RecordSoundOutput(false);
    sound->Release();
}

class MediaVoiceTest : public NullSoundTest {};

TEST_F(MediaVoiceTest, FramesPlayInOrderWithGainPauseAndEnd) {
    DWORD voice = OpenMediaVoice(100);
    ASSERT_NE(voice, 0u);
    std::vector<float> frames;
    for (int i = 0; i < 150; ++i) {
        frames.push_back(i / 1000.0f);
        frames.push_back(-i / 1000.0f);
    }
    EXPECT_EQ(WriteMediaVoice(voice, frames.data(), 150), 100u);
    EXPECT_EQ(MediaVoiceQueuedFrames(voice), 100u);
    auto out = Play(1);
    ASSERT_EQ(out.size(), 44u * 2);
    for (size_t i = 0; i < 44 * 2; ++i)
        ASSERT_EQ(out[i], frames[i]) << i;
    EXPECT_EQ(MediaVoicePlayedFrames(voice), 44u);

    PauseMediaVoice(voice, true);
    EXPECT_EQ(Play(1), std::vector<float>(44 * 2, 0.0f));
    EXPECT_EQ(MediaVoicePlayedFrames(voice), 44u);
    PauseMediaVoice(voice, false);

    // Releasing DirectSound leaves media voices playing.
    sound_->Release();
    sound_ = nullptr;
    SetMediaVoiceVolume(voice, -2000);
    SetMediaVoicePan(voice, -10000);
    out = Play(1);
    EXPECT_FLOAT_EQ(out[0], frames[88] * 0.1f);
    EXPECT_EQ(out[1], 0.0f);
    EXPECT_EQ(MediaVoicePlayedFrames(voice), 88u);

    EXPECT_EQ(WriteMediaVoice(voice, frames.data() + 200, 50), 50u);
    EndMediaVoice(voice);
    EXPECT_EQ(WriteMediaVoice(voice, frames.data(), 1), 0u);
    EXPECT_FALSE(MediaVoiceEnded(voice));
    Play(10);
    EXPECT_TRUE(MediaVoiceEnded(voice));
    EXPECT_EQ(MediaVoicePlayedFrames(voice), 150u);
    CloseMediaVoice(voice);
    EXPECT_TRUE(MediaVoiceEnded(voice));
    EXPECT_EQ(WriteMediaVoice(voice, frames.data(), 1), 0u);
    EXPECT_EQ(OpenMediaVoice(0), 0u);
}

} // namespace

namespace {

void Tick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    ++*reinterpret_cast<std::atomic<int>*>(user);
}

// At exit the timers stop and the file output is finished without anyone closing them.
TEST(OutputExit, ExitStopsTheTimersAndFinishesTheFile) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child runs the test again from its start; it finds the parent's file name here.
    std::optional<test_support::TempDir> folder;
    if (!std::getenv("ZORV_TEST_EXIT_WAV")) {
        folder.emplace();
        setenv("ZORV_TEST_EXIT_WAV", folder->Linux("exit.wav").c_str(), 1);
    }
    std::string path = std::getenv("ZORV_TEST_EXIT_WAV");
    EXPECT_EXIT(
        {
            setenv("ZORV_AUDIO", ("file:" + path).c_str(), 1);
            IDirectSound* sound = nullptr;
            if (DirectSoundCreate(nullptr, &sound, nullptr) != DS_OK) std::_Exit(2);
            static std::atomic<int> ticks{0};
            timeSetEvent(1, 1, &Tick, reinterpret_cast<DWORD_PTR>(&ticks), TIME_PERIODIC);
            while (ticks < 20)
                Sleep(1);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    unsetenv("ZORV_TEST_EXIT_WAV");
    std::string file = ReadAll(path);
    ASSERT_GE(file.size(), 44u);
    auto read32 = [&](size_t at) {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= uint32_t(uint8_t(file[at + i])) << (8 * i);
        return value;
    };
    EXPECT_GT(file.size(), 44u);
    EXPECT_EQ(read32(4), file.size() - 8);
    EXPECT_EQ(read32(40), file.size() - 44);
}

} // namespace
