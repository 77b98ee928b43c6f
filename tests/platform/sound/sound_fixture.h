// Tests of sound on the null output under the test clock, reading back what it played.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/kernel/test_hooks.h"
#include "platform/sound/direct_sound.h"
#include "platform/sound/sound_test_hooks.h"
#include "support/recorded_sound.h"

class NullSoundTest : public ::testing::Test {
protected:
    test_support::RecordedSound recording_;
    void SetUp() override {
        ASSERT_EQ(DirectSoundCreate(nullptr, &sound_, nullptr), DS_OK);
    }

    void TearDown() override {
        if (sound_) sound_->Release();
    }

    // A secondary buffer holding `bytes` (a whole number of frames) of that format.
    IDirectSoundBuffer*
    MakeBuffer(WORD channels, WORD bits, DWORD rate, const std::vector<uint8_t>& bytes,
               DWORD flags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY) {
        WAVEFORMATEX format{WAVE_FORMAT_PCM, channels, rate, 0, 0, bits, 0};
        format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
        format.nAvgBytesPerSec = rate * format.nBlockAlign;
        DSBUFFERDESC desc{20, flags, static_cast<DWORD>(bytes.size()), 0, &format};
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(sound_->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
        if (!buffer) return nullptr;
        void* first = nullptr;
        DWORD firstBytes = 0;
        EXPECT_EQ(buffer->Lock(0, 0, &first, &firstBytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER),
                  DS_OK);
        std::copy(bytes.begin(), bytes.end(), static_cast<uint8_t*>(first));
        EXPECT_EQ(buffer->Unlock(first, firstBytes, nullptr, 0), DS_OK);
        return buffer;
    }

    // The frames played while the clock moves on by `ms`, interleaved stereo.
    std::vector<float> Play(DWORD ms) {
        platform::test::AdvanceClock(ms);
        return platform::test::TakeSoundOutput();
    }

    IDirectSound* sound_ = nullptr;
};

// 16-bit little-endian samples.
inline std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> bytes;
    for (int16_t sample : samples) {
        bytes.push_back(static_cast<uint8_t>(sample & 0xFF));
        bytes.push_back(static_cast<uint8_t>((sample >> 8) & 0xFF));
    }
    return bytes;
}
