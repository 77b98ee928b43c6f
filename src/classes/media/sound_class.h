// The Sound class: a sound from a bank element of the sound bank, a file or memory (the
// clipboard), played on one channel of the interpreter's sound device.
#pragma once

#include <cstdint>
#include <memory>

#include "script/classes/base_class.h"

class CInStream;
class SoundChannel;
class SoundDevice;

class CISound final : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 13;

    enum : uint16_t {
        kPlay = 1,
        kStop,
        kPause,
        kResume,
        kGetVolume,
        kGetPan,
        kGetFrequency,
        kSetVolume,
        kSetPan,
        kSetFrequency,
        kSetLoop,
        kIsLooping,
        kIsPlaying,
        kIsPaused,
        kIsCompleted,
        kGetLoopCount,
        kStopAllSamples,
        kGetDuration,
        kSetPos,
        kGetPos,
        kMethodCount,
    };

    CISound(CInterpretor* interpreter, const CClassRecord* record);
    ~CISound() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int) override { delete this; }
    // New Sound(name, index or file name).
    void Create() override;
    // Copies `size` bytes of a sound file and plays from the copy; error 14 when no channel
    // can be made of it.
    void LoadFromMemory(const uint8_t* data, size_t size);
    // The same without raising: false when no channel could be made.
    bool OpenFromMemory(const uint8_t* data, size_t size);

    SoundChannel* GetChannel() const { return channel_; }

    // The sound device of the interpreter, null when the sound layer is not its manager.
    static SoundDevice* DeviceOf(CInterpretor& interpreter);

private:
    void Play();
    void Stop();
    void Pause();
    void Resume();
    void GetVolume();
    void GetPan();
    void GetFrequency();
    void SetVolume();
    void SetPan();
    void SetFrequency();
    void SetLoop();
    void IsLooping();
    void IsPlaying();
    void IsPaused();
    void IsCompleted();
    void GetLoopCount();
    void StopAllSamples();
    void GetDuration();
    void SetPos();
    void GetPos();

    // Argument i as an integer, or `otherwise` when it is not given.
    int32_t IntArg(uint32_t i, int32_t otherwise);
    void SetIntResult(int32_t value);
    // Makes the channel on the stream now held; false without one.
    bool MakeChannel();

    static const ScriptMethod<CISound> kMethods[kMethodCount];

    std::unique_ptr<CInStream> stream_;
    std::unique_ptr<uint8_t[]> memory_;
    SoundChannel* channel_ = nullptr;
};

const ScriptClassInfo* GetSoundClassInfo();
