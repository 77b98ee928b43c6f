// A channel plays one sound source through one DirectSound secondary buffer: whole (a
// static buffer holding all the data) or streamed (a 1.2-second ring the manager's timer
// refills). SoundChannel is the seam that tests fill with a recording channel.
#pragma once

#include <cstdint>

#include "audio/sources/sound_source.h"
#include "platform/sound/direct_sound.h"

class CInStream;
class SoundDevice;
class DirectSoundDevice;

class SoundChannel {
public:
    explicit SoundChannel(SoundDevice* device) : device_(device) {}
    SoundChannel(const SoundChannel&) = delete;
    SoundChannel& operator=(const SoundChannel&) = delete;

    virtual int Play() = 0;
    virtual int Pause() = 0;
    virtual int Resume() = 0;
    virtual void Stop(int reset, int holdTimer) = 0;
    virtual int IsPlaying() = 0;
    virtual int SetVolume(int32_t volume) = 0;
    virtual int SetPan(int32_t pan) = 0;
    virtual int SetFrequency(int32_t frequency) = 0;
    virtual void SetPlayPosition(uint64_t bytes) = 0;
    virtual int SetVelocity(float x, float y, float z);
    virtual int SetPosition3D(float x, float y, float z);
    virtual int SetConeOrientation(float x, float y, float z);
    virtual int SetConeAngles(int32_t inside, int32_t outside);
    virtual int SetConeOutsideVolume(int32_t volume);
    virtual int SetMinMaxDistance(float minimum, float maximum);
    virtual int GetMinMaxDistance(float* minimum, float* maximum);
    virtual ~SoundChannel();
    // 0, or 2 when the stream holds no sound that can play.
    virtual int OpenOnSource(CInStream* stream, int want3D) = 0;
    virtual void Refill() {}

    // Milliseconds, clamped to the sound.
    void SetPosition(int32_t ms);
    int32_t GetPosition();
    int32_t GetDuration();
    int IsPaused() const { return paused_; }
    // Completed when the channel cannot play (no output) or loses its device, so a
    // script waiting for the end is not left waiting.
    int IsCompleted();
    void EndIfActive() {
        if (IsActive()) completed_ = 1;
    }
    void SetLoop(int flag, int32_t count);
    int IsLooping() const;
    int32_t GetLoopCount() const;
    int32_t GetFrequency();
    int32_t GetVolume() const { return volume_; }
    int32_t GetPan() const { return pan_; }
    int IsActive() const { return playing_ || paused_; }
    // Whether the channel still takes 3D values (a device without listener clears it).
    int Has3D() const { return want3D_; }
    // Leaves the device's list and deletes the channel.
    void Release();

    SoundSourceRef& GetSource() { return source_; }

protected:
    virtual uint64_t GetPlayBytes() = 0;

    SoundDevice* device_;
    SoundSourceRef source_;
    uint64_t position_ = 0;
    uint64_t startPosition_ = 0;
    int32_t volume_ = 1000;
    int32_t pan_ = 0;
    int32_t frequency_ = 0;
    uint8_t savedLoop_ = 0;
    uint8_t activeLoop_ = 0;
    int32_t savedLoopCount_ = 0;
    int32_t activeLoopCount_ = 0;
    int want3D_ = 0;
    int playing_ = 0;
    int paused_ = 0;
    int static_ = 0;
    uint32_t bufferSize_ = 0;
    int completed_ = 0;
};

class DirectSoundChannel final : public SoundChannel {
public:
    explicit DirectSoundChannel(DirectSoundDevice* device);
    ~DirectSoundChannel() override;

    int Play() override;
    int Pause() override;
    int Resume() override;
    void Stop(int reset, int holdTimer) override;
    int IsPlaying() override;
    int SetVolume(int32_t volume) override;
    int SetPan(int32_t pan) override;
    int SetFrequency(int32_t frequency) override;
    void SetPlayPosition(uint64_t bytes) override;
    int SetVelocity(float x, float y, float z) override;
    int SetPosition3D(float x, float y, float z) override;
    int SetConeOrientation(float x, float y, float z) override;
    int SetConeAngles(int32_t inside, int32_t outside) override;
    int SetConeOutsideVolume(int32_t volume) override;
    int SetMinMaxDistance(float minimum, float maximum) override;
    int GetMinMaxDistance(float* minimum, float* maximum) override;
    int OpenOnSource(CInStream* stream, int want3D) override;
    int OpenOnFormat(const WaveFormat& format, uint64_t length);
    void Refill() override;

    // Whether the channel streams (tests read it).
    int IsStatic() const { return static_; }

protected:
    uint64_t GetPlayBytes() override;

private:
    // Play's work; 0 when the sound cannot play.
    int Start();
    int FillInitial();
    // Reads the source into a region; on a short read loops or ends the data as the loop
    // state says, filling silence after the end. `tailFrom` is the circular distance the
    // tail starts with when the data ends here.
    void FillRegion(uint8_t* region, uint32_t size, uint32_t* total);
    void FillSilence(uint8_t* region, uint32_t size);
    void ReleaseBuffers();
    int Ensure();
    // The stored 3D values reach a new 3D buffer.
    void Apply3D();

    DirectSoundDevice* soundDevice_;
    uint32_t writeCursor_ = 0;
    uint32_t tail_ = 0;
    int endOfData_ = 0;
    IDirectSoundBuffer* buffer_ = nullptr;
    IDirectSound3DBuffer* buffer3D_ = nullptr;
    float minDistance_ = 1.0f;
    float maxDistance_ = 1e9f;
    int32_t coneOutsideVolume_ = 0;
    float coneInside_ = 360.0f;
    float coneOutside_ = 360.0f;
    float position3D_[3] = {};
    float coneOrientation_[3] = {};
    float velocity_[3] = {};
    uint64_t dataLength_ = 0;
    WaveFormat format_;
};
