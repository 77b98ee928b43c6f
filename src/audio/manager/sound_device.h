// Sound output devices: each owns a list of channels. The interpreter's device has no
// listener; a 3D camera makes one with a listener and moves it. SoundDevice is the seam
// that tests fill with a recording device.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/sound/direct_sound.h"
#include "script/runtime/sound_output.h"

class CInStream;
class SoundChannel;
class SoundMgr;

class SoundDevice : public CSoundOutput {
public:
    explicit SoundDevice(SoundMgr* manager);
    ~SoundDevice() override;

    // The runtime starts the interpreter's device for each run.
    void StartRun(int32_t flags) override;

    virtual int Start(HWND window);
    virtual void Stop();
    virtual SoundChannel* CreateChannelObject() = 0;
    virtual void SetCooperativeWindow(HWND window);
    virtual HWND GetCooperativeWindow();
    virtual int SetListenerVelocity(float x, float y, float z);
    virtual int SetListenerPosition(float x, float y, float z);
    virtual int SetListenerOrientation(float frontX, float frontY, float frontZ, float topX,
                                       float topY, float topZ);
    virtual int GetListenerPosition(float* x, float* y, float* z);
    // 1 when the listener setters reach a 3D listener; 0 in the base.
    virtual int HasListener3D() { return 0; }
    virtual int SetRolloffFactor(float factor);
    virtual float GetRolloffFactor();
    virtual int SetDopplerFactor(float factor);
    virtual float GetDopplerFactor();
    virtual int SetDistanceFactor(float factor);
    virtual float GetDistanceFactor();
    virtual void RemoveChannel(SoundChannel* channel);
    // The device's hold on the DirectSound object goes (ReleaseAll).
    virtual void ReleasePrimary() {}

    // A channel opened on `stream` (which the caller keeps alive), or null.
    SoundChannel* CreateChannel(CInStream* stream, int want3D);
    // Without reset only channels that play or are paused stop.
    void StopChannels(int reset);
    // Channels that play or are paused count as completed (the device is taken from them).
    void EndActiveChannels();
    int AnyActive();
    // Timer work for this device's channels (the sound lock is held).
    void RefillChannels();
    int IsStarted() const { return started_; }
    SoundMgr* GetManager() const { return manager_; }

protected:
    // Stops, releases every channel and leaves the manager's list.
    void StopAndRelease();

    SoundMgr* manager_;
    int started_ = 0;
    HWND window_ = 0;
    float rolloff_ = 0.0f;
    float doppler_ = 0.0f;
    float distance_ = 1.0f;
    std::vector<SoundChannel*> channels_;
};

class DirectSoundDevice final : public SoundDevice {
public:
    DirectSoundDevice(SoundMgr* manager, int wantListener);
    ~DirectSoundDevice() override;

    // Only a device that was open before opens again at once: the first run opens the
    // output (and loads the sound libraries) with its first sound.
    void StartRun(int32_t flags) override;
    int Start(HWND window) override;
    void Stop() override;
    SoundChannel* CreateChannelObject() override;
    void SetCooperativeWindow(HWND window) override;
    HWND GetCooperativeWindow() override { return cooperativeWindow_; }
    int SetListenerVelocity(float x, float y, float z) override;
    int SetListenerPosition(float x, float y, float z) override;
    int SetListenerOrientation(float frontX, float frontY, float frontZ, float topX, float topY,
                               float topZ) override;
    int GetListenerPosition(float* x, float* y, float* z) override;
    int HasListener3D() override { return UsableListener() != nullptr ? 1 : 0; }
    int SetRolloffFactor(float factor) override;
    float GetRolloffFactor() override;
    int SetDopplerFactor(float factor) override;
    float GetDopplerFactor() override;
    int SetDistanceFactor(float factor) override;
    float GetDistanceFactor() override;

    // What channels pass to EnsureDirectSound.
    int EnsureDirectSound();
    int WantsListener() const { return wantListener_; }
    IDirectSoundBuffer* GetPrimary() const { return primary_; }
    // The primary buffer and listener go (ReleaseAll, a new cooperative window).
    void ReleasePrimary() override;

private:
    // The listener when it can be used: DirectSound had, a listener wanted and made.
    IDirectSound3DListener* UsableListener();

    int wantListener_;
    bool runStartPending_ = false;
    IDirectSoundBuffer* primary_ = nullptr;
    HWND cooperativeWindow_ = 0;
    IDirectSound3DListener* listener_ = nullptr;
    // DirectSound's defaults until the camera sets them.
    float listenerRolloff_ = DS3D_DEFAULTROLLOFFFACTOR;
    float listenerDistance_ = DS3D_DEFAULTDISTANCEFACTOR;
    float listenerDoppler_ = DS3D_DEFAULTDOPPLERFACTOR;
};
