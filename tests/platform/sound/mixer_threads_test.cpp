#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/sound/direct_sound.h"
#include "platform/sound/media_voice.h"
#include "platform/sound/multimedia_timer.h"
#include "platform/sound/sound_test_hooks.h"

namespace {

struct Stream {
    IDirectSoundBuffer* buffer;
    std::atomic<int> refills{0};
};

// What a streaming channel's tick does: fill what was played since the last tick.
void Refill(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* stream = reinterpret_cast<Stream*>(user);
    DWORD play = 0;
    stream->buffer->GetCurrentPosition(&play, nullptr);
    void *first = nullptr, *second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    if (stream->buffer->Lock(play, 4000, &first, &firstBytes, &second, &secondBytes, 0) != DS_OK)
        return;
    for (DWORD i = 0; i < firstBytes; ++i)
        static_cast<uint8_t*>(first)[i] = static_cast<uint8_t>(i);
    stream->buffer->Unlock(first, firstBytes, second, secondBytes);
    ++stream->refills;
}

// The null output mixes on its own thread while a timer refills one buffer and the test's
// thread plays, stops, seeks and sets the others, and a third thread makes and drops buffers.
TEST(MixerThreads, BuffersChangeWhileTheMixerAndATimerUseThem) {
    setenv("ZORV_AUDIO", "null", 1);
    platform::test::ResetSoundOutput();
    IDirectSound* sound = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &sound, nullptr), DS_OK);
    WAVEFORMATEX mono{WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
    WAVEFORMATEX stereo{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    DWORD flags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY | DSBCAPS_GETCURRENTPOSITION2;
    DSBUFFERDESC streamDesc{20, flags | DSBCAPS_CTRLPAN, 26460, 0, &mono};
    DSBUFFERDESC threeDDesc{20, flags | DSBCAPS_CTRL3D, 8820, 0, &stereo};
    Stream stream{};
    ASSERT_EQ(sound->CreateSoundBuffer(&streamDesc, &stream.buffer, nullptr), DS_OK);
    IDirectSoundBuffer* placed = nullptr;
    ASSERT_EQ(sound->CreateSoundBuffer(&threeDDesc, &placed, nullptr), DS_OK);
    void* threeD = nullptr;
    ASSERT_EQ(placed->QueryInterface(IID_IDirectSound3DBuffer, &threeD), DS_OK);
    auto* source = static_cast<IDirectSound3DBuffer*>(threeD);
    DSBUFFERDESC primaryDesc{20, DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D, 0, 0, nullptr};
    IDirectSoundBuffer* primary = nullptr;
    ASSERT_EQ(sound->CreateSoundBuffer(&primaryDesc, &primary, nullptr), DS_OK);
    void* ears = nullptr;
    ASSERT_EQ(primary->QueryInterface(IID_IDirectSound3DListener, &ears), DS_OK);
    auto* listener = static_cast<IDirectSound3DListener*>(ears);

    UINT timer = timeSetEvent(2, 1, &Refill, reinterpret_cast<DWORD_PTR>(&stream), TIME_PERIODIC);
    ASSERT_NE(timer, 0u);
    std::atomic<bool> done{false};
    std::thread churn([&] {
        std::vector<float> frames(200, 0.25f);
        while (!done) {
            IDirectSoundBuffer* shortLived = nullptr;
            if (sound->CreateSoundBuffer(&streamDesc, &shortLived, nullptr) == DS_OK) {
                shortLived->Play(0, 0, DSBPLAY_LOOPING);
                std::this_thread::yield();
                shortLived->Release();
            }
            DWORD voice = platform::sound::OpenMediaVoice(400);
            platform::sound::WriteMediaVoice(voice, frames.data(), 100);
            std::this_thread::yield();
            platform::sound::CloseMediaVoice(voice);
        }
    });

    for (int round = 0; round < 300; ++round) {
        stream.buffer->Play(0, 0, DSBPLAY_LOOPING);
        placed->Play(0, 0, round % 2 ? DSBPLAY_LOOPING : 0);
        stream.buffer->SetVolume(-(round % 10) * 100);
        stream.buffer->SetPan((round % 21 - 10) * 1000);
        stream.buffer->SetFrequency(round % 3 ? 100 + round * 300 : 0);
        source->SetPosition(static_cast<float>(round % 7), 0, 1, DS3D_IMMEDIATE);
        source->SetVelocity(0, 0, static_cast<float>(round % 5), DS3D_IMMEDIATE);
        source->SetConeAngles(90, 180, DS3D_IMMEDIATE);
        listener->SetOrientation(0, 0, 1, 0, 1, 0, DS3D_IMMEDIATE);
        listener->SetRolloffFactor(static_cast<float>(round % 3), DS3D_IMMEDIATE);
        DWORD status = 0, play = 0;
        placed->GetStatus(&status);
        stream.buffer->GetCurrentPosition(&play, nullptr);
        if (round % 3 == 0) stream.buffer->SetCurrentPosition((round * 200) % 26460);
        if (round % 5 == 0) stream.buffer->Stop();
        if (round % 7 == 0) placed->Stop();
        std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    done = true;
    churn.join();
    EXPECT_EQ(timeKillEvent(timer), TIMERR_NOERROR);
    EXPECT_GT(stream.refills, 0);
    listener->Release();
    primary->Release();
    source->Release();
    placed->Release();
    stream.buffer->Release();
    sound->Release();
    platform::test::ResetSoundOutput();
    unsetenv("ZORV_AUDIO");
}

} // namespace
