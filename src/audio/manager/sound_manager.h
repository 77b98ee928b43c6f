// The process-wide sound manager: owner of the DirectSound object, of the 50 ms multimedia
// timer that keeps streaming channels fed and of the list of started sound devices. It is
// the runtime's sound manager once installed: the interpreter's sound output is a device
// of its own, without listener or window.
//
// Locks: the busy flag keeps timer ticks out while the script thread rebuilds a channel or
// changes a list; it is always taken before the sound lock, never while holding it. The
// sound lock (re-entrant) covers the lists, the DirectSound object, primary buffers,
// listeners, the timer state and each tick.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "audio/sources/wave_format.h"
#include "platform/kernel/sync.h"
#include "platform/sound/direct_sound.h"
#include "script/runtime/sound_output.h"

class SoundDevice;

class SoundMgr final : public CSoundManager {
public:
    // The timer's period in ms.
    static constexpr UINT kTimerPeriod = 50;

    SoundMgr();
    ~SoundMgr() override;

    // The interpreter's output: CreateDevice without listener or window.
    CSoundOutput* CreateOutput(int32_t a, int32_t b) override;

    // The first device made gives the manager its window: `window`, or, for none, the
    // manager's own hidden window (sound_window.h), which goes with the last device (a
    // window given is forgotten then).
    SoundDevice* CreateDevice(int wantListener, HWND window);
    void DestroyDevice(SoundDevice* device);
    // Every channel of every device stops with reset, each device's primary buffer goes,
    // then the DirectSound object; the next sound operation makes it again.
    void ReleaseAll();
    // Another player takes the sound device: the sounds that play or are paused end
    // (completed, as though they had played out), then ReleaseAll.
    void YieldDevice();
    // The format a source plays in: its own.
    void ChooseOutputFormat(const WaveFormat& source, WaveFormat* out);
    // Timer work: every channel's refill.
    void UpdateAll();

    int AnyActive();
    void StopTimerIfIdle();
    int StartTimer();
    void StopTimer();
    void HoldTimer();
    void ReleaseTimer();
    int IsTimerRunning() const { return timerRunning_; }

    // Makes the DirectSound object (and the caller's primary buffer and listener) when
    // none exists; 1 when the object exists afterwards.
    int EnsureDirectSound(IDirectSoundBuffer** primary, HWND window,
                          IDirectSound3DListener** listener, int* wantListener);
    // Device start's probe: 1 when DirectSound can be had.
    int ProbeDirectSound();
    void UndoProbe();
    // Creates the object when missing and the primary buffer (and listener) for a device:
    // DS_OK, or DSERR_OUTOFMEMORY when no DirectSound object could be had.
    HRESULT CreatePrimary(IDirectSoundBuffer** primary, HWND window,
                          IDirectSound3DListener** listener, int* wantListener);
    IDirectSound* GetDirectSound() const { return directSound_; }
    // The window a device started without one is bound to; 0 before the first device.
    HWND Window();
    void ReleaseDirectSound();

    void Lock() { EnterCriticalSection(&lock_); }
    void Unlock() { LeaveCriticalSection(&lock_); }

    void AddStartedDevice(SoundDevice* device);
    void RemoveStartedDevice(SoundDevice* device);
    void DeviceStarted() { ++startedDevices_; }
    // A started device stops: the DirectSound object goes with the last one.
    void DeviceStopped();
    void DeviceCreated(SoundDevice* device);
    void DeviceDestroyed(SoundDevice* device);
    // The device behind a runtime sound output, null for an output this manager did not make.
    SoundDevice* FindDevice(CSoundOutput* output);

    // At exit, before the platform's output goes: the timer thread stops, every device's
    // channels stop and the DirectSound object is released.
    void Shutdown();

private:
    // A copy of the started devices' list, taken under the lock.
    std::vector<SoundDevice*> StartedDevices();
    static void TimerCallback(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR, DWORD_PTR);
    void AcquireBusy();

    CRITICAL_SECTION lock_;
    std::vector<SoundDevice*> devices_;
    std::atomic<int32_t> busy_{0};
    int timerRunning_ = 0;
    UINT timerId_ = 0;
    int initCount_ = 0;
    int startedDevices_ = 0;
    // Every device made and not yet destroyed, started or not.
    std::vector<SoundDevice*> allDevices_;
    IDirectSound* directSound_ = nullptr;
    bool exitHookSet_ = false;
    HWND window_ = 0;
    // Whether window_ is the hidden window the manager made.
    bool ownsWindow_ = true;
};

// The manager of the sound layer (SoundMgr_Get answers it once SoundMgr_Install ran).
SoundMgr& SoundMgr_Instance();
// Makes the sound layer the runtime's sound manager.
void SoundMgr_Install();

// Script volume 0..1000 and pan -1000..1000 in hundredths of a decibel.
LONG VolumeToHundredthsOfDb(int32_t volume);
LONG PanToHundredthsOfDb(int32_t pan);
