#include <cmath>

#include "platform/sound/sound_gain.h"
#include "sound_fixture.h"

namespace {

using BufferTest = NullSoundTest;

std::vector<int16_t> Ramp(int frames, int step, int from) {
    std::vector<int16_t> samples;
    for (int i = 0; i < frames; ++i)
        samples.push_back(static_cast<int16_t>(from + i * step));
    return samples;
}

TEST_F(BufferTest, StaticBufferPlaysItsSamplesUnchangedThenStopsAtItsEnd) {
    auto samples = Ramp(441, 50, -11000);
    IDirectSoundBuffer* buffer = MakeBuffer(1, 16, 44100, Pcm16(samples));
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    DWORD status = 0;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING);

    auto out = Play(20);
    ASSERT_EQ(out.size(), 882u * 2);
    for (size_t i = 0; i < 441; ++i) {
        ASSERT_EQ(out[2 * i], samples[i] / 32768.0f) << i;
        ASSERT_EQ(out[2 * i + 1], samples[i] / 32768.0f) << i;
    }
    for (size_t i = 441 * 2; i < out.size(); ++i)
        ASSERT_EQ(out[i], 0.0f) << i;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    DWORD play = 1, write = 1;
    buffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(play, 0u);
    EXPECT_EQ(write, 0u);
    buffer->Release();
}

TEST_F(BufferTest, LoopingBufferWrapsAndStopHoldsTheCursor) {
    auto samples = Ramp(100, 300, -15000);
    IDirectSoundBuffer* buffer = MakeBuffer(1, 16, 44100, Pcm16(samples));
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    DWORD status = 0;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    auto out = Play(10);
    ASSERT_EQ(out.size(), 441u * 2);
    for (size_t i = 0; i < 441; ++i)
        ASSERT_EQ(out[2 * i], samples[i % 100] / 32768.0f) << i;
    DWORD play = 0, write = 0;
    buffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(play, 41u * 2);
    EXPECT_EQ(write, 43u * 2);

    buffer->Stop();
    EXPECT_EQ(Play(10), std::vector<float>(441 * 2, 0.0f));
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 41u * 2);
    ASSERT_EQ(buffer->SetCurrentPosition(99 * 2 + 1), DS_OK); // rounded down to a frame
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    out = Play(1);
    EXPECT_EQ(out[0], samples[99] / 32768.0f);
    EXPECT_EQ(out[2], samples[0] / 32768.0f);
    EXPECT_EQ(buffer->SetCurrentPosition(200), DSERR_INVALIDPARAM);
    buffer->Release();
}

TEST_F(BufferTest, VolumeAndPanScaleEachSide) {
    std::vector<uint8_t> stereo8{200, 60, 200, 60};
    IDirectSoundBuffer* buffer = MakeBuffer(2, 8, 44100, stereo8);
    ASSERT_EQ(buffer->SetVolume(-600), DS_OK);
    ASSERT_EQ(buffer->SetPan(1000), DS_OK);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    auto out = Play(1);
    float volume = static_cast<float>(std::pow(10.0, -0.3));
    float quieter = static_cast<float>(std::pow(10.0, -0.5));
    EXPECT_FLOAT_EQ(out[0], 72 / 128.0f * quieter * volume);
    EXPECT_FLOAT_EQ(out[1], -68 / 128.0f * volume);

    buffer->SetPan(-10000);
    out = Play(1);
    EXPECT_FLOAT_EQ(out[0], 72 / 128.0f * volume);
    EXPECT_EQ(out[1], 0.0f);
    buffer->SetVolume(DSBVOLUME_MIN);
    out = Play(1);
    EXPECT_EQ(out[0], 0.0f);

    EXPECT_EQ(buffer->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetPan(10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetFrequency(99), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetFrequency(100001), DSERR_INVALIDPARAM);
    buffer->Release();

    buffer = MakeBuffer(1, 8, 44100, {128, 128, 128, 128}, 0);
    EXPECT_EQ(buffer->SetVolume(0), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(buffer->SetPan(0), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(buffer->SetFrequency(0), DSERR_CONTROLUNAVAIL);
    buffer->Release();
}

TEST_F(BufferTest, OtherRatesAreInterpolatedLinearly) {
    std::vector<int16_t> samples{0, 1000, 3000, -1000};
    IDirectSoundBuffer* buffer = MakeBuffer(1, 16, 22050, Pcm16(samples));
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    auto out = Play(1);
    std::vector<float> expected{0, 500, 1000, 2000, 3000, 1000, -1000, -500};
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_FLOAT_EQ(out[2 * i] * 32768.0f, expected[i]) << i;

    // The frequency replaces the format's rate; 0 brings it back.
    buffer->Stop();
    buffer->SetCurrentPosition(0);
    ASSERT_EQ(buffer->SetFrequency(44100), DS_OK);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    out = Play(1);
    for (size_t i = 0; i < 8; ++i)
        EXPECT_FLOAT_EQ(out[2 * i] * 32768.0f, samples[i % 4]) << i;
    // More than two frames a step: the steps that cross the end wrap into the start.
    buffer->Stop();
    buffer->SetCurrentPosition(0);
    ASSERT_EQ(buffer->SetFrequency(99225), DS_OK);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    out = Play(1);
    std::vector<float> stepped{0, 2000, 500, 0, 1000, -750, 2000, -250};
    for (size_t i = 0; i < stepped.size(); ++i)
        EXPECT_FLOAT_EQ(out[2 * i] * 32768.0f, stepped[i]) << i;
    buffer->Stop();
    buffer->SetCurrentPosition(0);
    buffer->SetFrequency(DSBFREQUENCY_ORIGINAL);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    out = Play(1);
    EXPECT_FLOAT_EQ(out[2] * 32768.0f, 500.0f);
    buffer->Release();
}

TEST_F(BufferTest, PlayCursorMovesAtTheBuffersFrequency) {
    IDirectSoundBuffer* buffer = MakeBuffer(1, 16, 22050, std::vector<uint8_t>(22050 * 2));
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    Play(100);
    DWORD play = 0;
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 2205u * 2);
    buffer->SetFrequency(11025);
    Play(100);
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, (2205u + 1102u) * 2); // 1102.5 frames: the cursor shows whole frames
    buffer->Release();
}

TEST_F(BufferTest, LockGivesTwoRegionsWhenTheRangeWraps) {
    std::vector<uint8_t> bytes(100);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i);
    IDirectSoundBuffer* buffer = MakeBuffer(1, 8, 8000, bytes);
    void *first = nullptr, *second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    ASSERT_EQ(buffer->Lock(80, 40, &first, &firstBytes, &second, &secondBytes, 0), DS_OK);
    ASSERT_EQ(firstBytes, 20u);
    ASSERT_EQ(secondBytes, 20u);
    auto* head = static_cast<uint8_t*>(first);
    auto* tail = static_cast<uint8_t*>(second);
    EXPECT_EQ(head[0], 80);
    EXPECT_EQ(tail[19], 19);
    void* again = nullptr;
    DWORD againBytes = 0;
    EXPECT_EQ(buffer->Lock(0, 4, &again, &againBytes, nullptr, nullptr, 0), DSERR_INVALIDCALL);
    EXPECT_EQ(buffer->Unlock(tail, 20, nullptr, 0), DSERR_INVALIDPARAM);
    std::fill(head, head + 20, 0xAA);
    std::fill(tail, tail + 20, 0xBB);
    // Only the counts given back are written.
    ASSERT_EQ(buffer->Unlock(first, 10, second, 5), DS_OK);
    EXPECT_EQ(buffer->Unlock(first, 10, second, 5), DSERR_INVALIDCALL);

    ASSERT_EQ(buffer->Lock(0, 0, &first, &firstBytes, &second, &secondBytes, DSBLOCK_ENTIREBUFFER),
              DS_OK);
    EXPECT_EQ(firstBytes, 100u);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(secondBytes, 0u);
    auto* all = static_cast<uint8_t*>(first);
    EXPECT_EQ(all[4], 0xBB);
    EXPECT_EQ(all[5], 5);
    EXPECT_EQ(all[89], 0xAA);
    EXPECT_EQ(all[90], 90);
    buffer->Unlock(first, 0, nullptr, 0);

    // Without a second pointer only the first region is locked.
    ASSERT_EQ(buffer->Lock(90, 20, &first, &firstBytes, nullptr, nullptr, 0), DS_OK);
    EXPECT_EQ(firstBytes, 10u);
    buffer->Unlock(first, firstBytes, nullptr, 0);
    EXPECT_EQ(buffer->Lock(100, 1, &first, &firstBytes, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(0, 101, &first, &firstBytes, nullptr, nullptr, 0), DSERR_INVALIDPARAM);

    buffer->Play(0, 0, DSBPLAY_LOOPING);
    Play(1);
    DWORD write = 0;
    buffer->GetCurrentPosition(nullptr, &write);
    ASSERT_EQ(buffer->Lock(0, 4, &first, &firstBytes, nullptr, nullptr, DSBLOCK_FROMWRITECURSOR),
              DS_OK);
    EXPECT_EQ(*static_cast<uint8_t*>(first), write);
    buffer->Unlock(first, 0, nullptr, 0);
    buffer->Release();
}

TEST_F(BufferTest, BuffersRefuseWhatTheMixerCannotPlay) {
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 22050, 22050 * 3, 3, 24, 0};
    DSBUFFERDESC desc{20, 0, 300, 0, &format};
    IDirectSoundBuffer* buffer = nullptr;
    EXPECT_EQ(sound_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
    format = {WAVE_FORMAT_PCM, 2, 22050, 22050 * 4, 2, 16, 0}; // block align too small
    EXPECT_EQ(sound_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
    format = {WAVE_FORMAT_PCM, 2, 22050, 22050 * 3, 4, 16, 0}; // bytes per second wrong
    EXPECT_EQ(sound_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
    format = {WAVE_FORMAT_PCM, 1, 50, 100, 2, 16, 0};
    EXPECT_EQ(sound_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
    format = {WAVE_FORMAT_PCM, 2, 22050, 22050 * 4, 4, 16, 0};
    desc.dwBufferBytes = 3;
    EXPECT_EQ(sound_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM);
    desc.dwBufferBytes = 400;
    desc.dwFlags = 0x00000100; // position notifications are not offered
    EXPECT_EQ(sound_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM);
    desc.dwFlags = 0;
    desc.dwSize = 12;
    EXPECT_EQ(sound_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM);
    desc.dwSize = sizeof(DSBUFFERDESC);
    desc.dwBufferBytes = 402; // rounded down to whole frames
    ASSERT_EQ(sound_->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    void* first = nullptr;
    DWORD firstBytes = 0;
    buffer->Lock(0, 0, &first, &firstBytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER);
    EXPECT_EQ(firstBytes, 400u);
    buffer->Unlock(first, 0, nullptr, 0);
    EXPECT_EQ(buffer->SetFormat(&format), DSERR_INVALIDCALL);
    void* threeD = nullptr;
    EXPECT_EQ(buffer->QueryInterface(IID_IDirectSound3DBuffer, &threeD), E_NOINTERFACE);
    EXPECT_EQ(buffer->Play(0, 1, 0), DSERR_INVALIDPARAM);
    buffer->Release();
}

TEST_F(BufferTest, PrimaryKeepsItsFormatAndOffersTheListenerWith3d) {
    DSBUFFERDESC desc{20, DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
    IDirectSoundBuffer* plain = nullptr;
    ASSERT_EQ(sound_->CreateSoundBuffer(&desc, &plain, nullptr), DS_OK);
    void* listener = nullptr;
    EXPECT_EQ(plain->QueryInterface(IID_IDirectSound3DListener, &listener), E_NOINTERFACE);
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D | DSBCAPS_STICKYFOCUS;
    IDirectSoundBuffer* primary = nullptr;
    ASSERT_EQ(sound_->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    EXPECT_EQ(primary, plain);
    ASSERT_EQ(primary->QueryInterface(IID_IDirectSound3DListener, &listener), DS_OK);
    auto* theListener = static_cast<IDirectSound3DListener*>(listener);
    float factor = 0;
    theListener->GetRolloffFactor(&factor);
    EXPECT_EQ(factor, 1.0f);
    theListener->GetDopplerFactor(&factor);
    EXPECT_EQ(factor, 1.0f);
    theListener->GetDistanceFactor(&factor);
    EXPECT_EQ(factor, 1.0f);
    EXPECT_EQ(theListener->SetRolloffFactor(10.5f, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);
    EXPECT_EQ(theListener->SetRolloffFactor(2.0f, DS3D_DEFERRED), DSERR_INVALIDPARAM);
    EXPECT_EQ(theListener->SetOrientation(0, 0, 1, 0, 0, 2, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);
    EXPECT_EQ(theListener->SetPosition(NAN, 0, 0, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);
    ASSERT_EQ(theListener->SetPosition(1, 2, 3, DS3D_IMMEDIATE), DS_OK);
    D3DVECTOR at{};
    theListener->GetPosition(&at);
    EXPECT_EQ(at.y, 2.0f);

    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0};
    ASSERT_EQ(primary->SetFormat(&format), DS_OK);
    WAVEFORMATEX read{};
    DWORD written = 0;
    ASSERT_EQ(primary->GetFormat(&read, sizeof read, &written), DS_OK);
    EXPECT_EQ(written, 18u);
    EXPECT_EQ(read.nSamplesPerSec, 8000u);
    DWORD status = 0;
    primary->GetStatus(&status);
    EXPECT_TRUE(status & DSBSTATUS_PLAYING);
    void* region = nullptr;
    DWORD regionBytes = 0;
    EXPECT_EQ(primary->Lock(0, 4, &region, &regionBytes, nullptr, nullptr, 0), DSERR_INVALIDCALL);

    // The output keeps its own format: a 44.1 kHz buffer still plays sample for sample.
    IDirectSoundBuffer* buffer = MakeBuffer(1, 16, 44100, Pcm16({1234, -1234}));
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    auto out = Play(1);
    EXPECT_EQ(out[2], -1234 / 32768.0f);
    buffer->Release();
    theListener->Release();
    primary->Release();
    plain->Release();
}

TEST_F(BufferTest, BuffersOf3dHearDistanceAndSideInMono) {
    DSBUFFERDESC desc{20, DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D, 0, 0, nullptr};
    IDirectSoundBuffer* primary = nullptr;
    ASSERT_EQ(sound_->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    IDirectSoundBuffer* buffer =
        MakeBuffer(2, 16, 44100, Pcm16({1000, 3000}), DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME);
    void* threeD = nullptr;
    ASSERT_EQ(buffer->QueryInterface(IID_IDirectSound3DBuffer, &threeD), DS_OK);
    auto* source = static_cast<IDirectSound3DBuffer*>(threeD);
    buffer->Play(0, 0, DSBPLAY_LOOPING);

    auto out = Play(1);
    EXPECT_FLOAT_EQ(out[0] * 32768.0f, 2000.0f);
    EXPECT_FLOAT_EQ(out[1] * 32768.0f, 2000.0f);

    ASSERT_EQ(source->SetPosition(4, 0, 0, DS3D_IMMEDIATE), DS_OK);
    out = Play(1);
    EXPECT_NEAR(out[0] * 32768.0f, 0.0f, 1e-3);
    EXPECT_FLOAT_EQ(out[1] * 32768.0f, 500.0f);

    source->SetMinDistance(2, DS3D_IMMEDIATE);
    source->SetPosition(0, 0, -4, DS3D_IMMEDIATE); // behind
    out = Play(1);
    EXPECT_FLOAT_EQ(out[0] * 32768.0f, 1000.0f);
    EXPECT_FLOAT_EQ(out[1] * 32768.0f, 1000.0f);

    // Turning the listener round puts a source on the right to its left.
    void* listener = nullptr;
    primary->QueryInterface(IID_IDirectSound3DListener, &listener);
    auto* ears = static_cast<IDirectSound3DListener*>(listener);
    source->SetPosition(2, 0, 0, DS3D_IMMEDIATE);
    ears->SetOrientation(0, 0, -1, 0, 1, 0, DS3D_IMMEDIATE);
    out = Play(1);
    EXPECT_FLOAT_EQ(out[0] * 32768.0f, 2000.0f);
    EXPECT_NEAR(out[1] * 32768.0f, 0.0f, 1e-3);

    EXPECT_EQ(source->SetConeAngles(200, 100, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);
    EXPECT_EQ(source->SetMinDistance(0, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);
    EXPECT_EQ(source->SetVelocity(INFINITY, 0, 0, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);
    EXPECT_EQ(source->SetConeOutsideVolume(-10001, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);
    ears->Release();
    source->Release();
    buffer->Release();
    primary->Release();
}

TEST_F(BufferTest, ReleasingTheObjectSilencesItsBuffersButLeavesThemUsable) {
    IDirectSoundBuffer* buffer = MakeBuffer(1, 16, 44100, Pcm16({5000, 5000}));
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_NE(Play(1)[0], 0.0f);
    sound_->Release();
    sound_ = nullptr;
    EXPECT_EQ(Play(1), std::vector<float>(44 * 2, 0.0f));
    DWORD status = 1;
    EXPECT_EQ(buffer->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(buffer->Play(0, 0, 0), DSERR_INVALIDCALL);
    EXPECT_EQ(Play(1), std::vector<float>(44 * 2, 0.0f));
    EXPECT_EQ(buffer->Release(), 0u);

    // A new object plays again.
    ASSERT_EQ(DirectSoundCreate(nullptr, &sound_, nullptr), DS_OK);
    buffer = MakeBuffer(1, 16, 44100, Pcm16({5000, 5000}));
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_NE(Play(1)[0], 0.0f);
    buffer->Release();
}

} // namespace
