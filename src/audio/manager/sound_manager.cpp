#include "audio/manager/sound_manager.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "audio/manager/sound_device.h"
#include "audio/manager/sound_window.h"
#include "platform/kernel/clock.h"
#include "platform/sound/multimedia_timer.h"
#include "platform/user/windows.h"

namespace {

constexpr DWORD kPrimaryFlags[3] = {DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D | DSBCAPS_STICKYFOCUS,
                                    DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D, DSBCAPS_PRIMARYBUFFER};

void ShutdownAtExit() {
    SoundMgr_Instance().Shutdown();
}

} // namespace

SoundMgr& SoundMgr_Instance() {
    static SoundMgr* manager = new SoundMgr;
    return *manager;
}

void SoundMgr_Install() {
    SoundMgr_Set(&SoundMgr_Instance());
}

LONG VolumeToHundredthsOfDb(int32_t volume) {
    if (volume < 1) return DSBVOLUME_MIN;
    if (volume >= 1000) return 0;
    return static_cast<LONG>(3333.3333333333335 * std::log10(volume / 1000.0));
}

LONG PanToHundredthsOfDb(int32_t pan) {
    if (pan == 0) return 0;
    if (pan < -999) return DSBPAN_LEFT;
    if (pan >= 1000) return DSBPAN_RIGHT;
    auto magnitude = static_cast<LONG>(std::log10(std::abs(pan)) * (10000.0 / std::log10(1000.0)));
    return pan < 0 ? -magnitude : magnitude;
}

SoundMgr::SoundMgr() {
    InitializeCriticalSection(&lock_);
}

SoundMgr::~SoundMgr() {
    Shutdown();
    DeleteCriticalSection(&lock_);
}

CSoundOutput* SoundMgr::CreateOutput(int32_t, int32_t) {
    return CreateDevice(0, 0);
}

SoundDevice* SoundMgr::CreateDevice(int wantListener, HWND window) {
    auto* device = new (std::nothrow) DirectSoundDevice(this, wantListener);
    if (device == nullptr) return nullptr;
    Lock();
    const bool needWindow = window_ == 0;
    if (needWindow && window != 0) {
        window_ = window;
        ownsWindow_ = false;
    }
    Unlock();
    // Made outside the sound lock: making a window sends messages.
    if (needWindow && window == 0) {
        HWND made = CreateSoundWindow();
        Lock();
        window_ = made;
        ownsWindow_ = true;
        Unlock();
    }
    return device;
}

HWND SoundMgr::Window() {
    Lock();
    HWND window = window_;
    Unlock();
    return window;
}

void SoundMgr::DestroyDevice(SoundDevice* device) {
    delete device;
}

std::vector<SoundDevice*> SoundMgr::StartedDevices() {
    Lock();
    std::vector<SoundDevice*> devices = devices_;
    Unlock();
    return devices;
}

void SoundMgr::ReleaseAll() {
    for (SoundDevice* device : StartedDevices())
        device->StopChannels(1);
    Lock();
    for (SoundDevice* device : devices_)
        device->ReleasePrimary();
    ReleaseDirectSound();
    Unlock();
}

void SoundMgr::YieldDevice() {
    for (SoundDevice* device : StartedDevices())
        device->EndActiveChannels();
    ReleaseAll();
}

void SoundMgr::ChooseOutputFormat(const WaveFormat& source, WaveFormat* out) {
    *out = source;
}

void SoundMgr::UpdateAll() {
    for (SoundDevice* device : devices_)
        device->RefillChannels();
}

void SoundMgr::AddStartedDevice(SoundDevice* device) {
    HoldTimer();
    Lock();
    devices_.push_back(device);
    Unlock();
    ReleaseTimer();
}

void SoundMgr::RemoveStartedDevice(SoundDevice* device) {
    HoldTimer();
    Lock();
    devices_.erase(std::remove(devices_.begin(), devices_.end(), device), devices_.end());
    Unlock();
    ReleaseTimer();
}

void SoundMgr::DeviceCreated(SoundDevice* device) {
    Lock();
    allDevices_.push_back(device);
    Unlock();
}

void SoundMgr::DeviceDestroyed(SoundDevice* device) {
    Lock();
    allDevices_.erase(std::remove(allDevices_.begin(), allDevices_.end(), device),
                      allDevices_.end());
    HWND hidden = 0;
    if (allDevices_.empty()) {
        // A window a device gave is only forgotten: it may be gone by the next device.
        if (ownsWindow_) hidden = window_;
        window_ = 0;
        ownsWindow_ = true;
    }
    Unlock();
    if (hidden != 0) DestroyWindow(hidden);
}

SoundDevice* SoundMgr::FindDevice(CSoundOutput* output) {
    if (output == nullptr) return nullptr;
    Lock();
    SoundDevice* found = nullptr;
    for (SoundDevice* device : allDevices_)
        if (static_cast<CSoundOutput*>(device) == output) found = device;
    Unlock();
    return found;
}

void SoundMgr::DeviceStopped() {
    if (startedDevices_ > 0 && --startedDevices_ == 0) ReleaseDirectSound();
}

int SoundMgr::AnyActive() {
    Lock();
    int active = 0;
    for (SoundDevice* device : devices_)
        active |= device->AnyActive();
    Unlock();
    return active;
}

void SoundMgr::StopTimerIfIdle() {
    if (timerRunning_ && !AnyActive()) StopTimer();
}

// ---- Timer --------------------------------------------------------------------------

void SoundMgr::TimerCallback(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* manager = reinterpret_cast<SoundMgr*>(user);
    if (manager->busy_.exchange(1) == 1) return;
    manager->Lock();
    manager->UpdateAll();
    manager->Unlock();
    manager->busy_.store(0);
}

void SoundMgr::AcquireBusy() {
    while (busy_.exchange(1) == 1)
        Sleep(100);
}

int SoundMgr::StartTimer() {
    Lock();
    if (!timerRunning_ && timeBeginPeriod(kTimerPeriod) == TIMERR_NOERROR) {
        busy_.store(0);
        timerId_ = timeSetEvent(kTimerPeriod, 10, &SoundMgr::TimerCallback,
                                reinterpret_cast<DWORD_PTR>(this), TIME_PERIODIC);
        timerRunning_ = timerId_ != 0 ? 1 : 0;
        if (!timerRunning_) timeEndPeriod(kTimerPeriod);
    }
    int running = timerRunning_;
    Unlock();
    return running;
}

void SoundMgr::StopTimer() {
    if (!timerRunning_) return;
    AcquireBusy();
    Lock();
    if (timerRunning_) {
        timeKillEvent(timerId_);
        timeEndPeriod(kTimerPeriod);
        timerRunning_ = 0;
        timerId_ = 0;
    }
    Unlock();
    busy_.store(0);
}

void SoundMgr::HoldTimer() {
    if (timerRunning_) AcquireBusy();
}

void SoundMgr::ReleaseTimer() {
    if (!timerRunning_) return;
    Lock();
    busy_.store(0);
    Unlock();
}

// ---- DirectSound --------------------------------------------------------------------

int SoundMgr::ProbeDirectSound() {
    IDirectSound* probe = nullptr;
    if (DirectSoundCreate(nullptr, &probe, nullptr) < 0 || probe == nullptr)
        return directSound_ != nullptr ? 1 : 0;
    probe->Release();
    ++initCount_;
    return 1;
}

void SoundMgr::UndoProbe() {
    if (initCount_ > 0) --initCount_;
}

HRESULT SoundMgr::CreatePrimary(IDirectSoundBuffer** primary, HWND window,
                                IDirectSound3DListener** listener, int* wantListener) {
    Lock();
    *primary = nullptr;
    if (directSound_ == nullptr) {
        IDirectSound* sound = nullptr;
        if (DirectSoundCreate(nullptr, &sound, nullptr) >= 0 && sound != nullptr) {
            directSound_ = sound;
            directSound_->SetCooperativeLevel(window, DSSCL_PRIORITY);
            if (!exitHookSet_) {
                // Registered after the platform's output exists, so it runs before that goes.
                exitHookSet_ = true;
                std::atexit(ShutdownAtExit);
            }
        }
    }
    if (directSound_ == nullptr) {
        Unlock();
        return DSERR_OUTOFMEMORY;
    }
    for (DWORD flags : kPrimaryFlags) {
        DSBUFFERDESC desc{20, flags, 0, 0, nullptr};
        if (directSound_->CreateSoundBuffer(&desc, primary, nullptr) >= 0 && *primary != nullptr)
            break;
        *primary = nullptr;
    }
    if (*primary != nullptr && listener != nullptr && wantListener != nullptr && *wantListener) {
        void* found = nullptr;
        if ((*primary)->QueryInterface(IID_IDirectSound3DListener, &found) < 0 ||
            found == nullptr) {
            *listener = nullptr;
            *wantListener = 0;
        } else {
            *listener = static_cast<IDirectSound3DListener*>(found);
        }
    }
    Unlock();
    return DS_OK;
}

int SoundMgr::EnsureDirectSound(IDirectSoundBuffer** primary, HWND window,
                                IDirectSound3DListener** listener, int* wantListener) {
    Lock();
    if (directSound_ == nullptr) CreatePrimary(primary, window, listener, wantListener);
    int have = directSound_ != nullptr ? 1 : 0;
    Unlock();
    return have;
}

void SoundMgr::ReleaseDirectSound() {
    Lock();
    if (directSound_ != nullptr) directSound_->Release();
    directSound_ = nullptr;
    Unlock();
}

void SoundMgr::Shutdown() {
    StopTimer();
    std::vector<SoundDevice*> devices;
    Lock();
    devices = devices_;
    Unlock();
    for (SoundDevice* device : devices)
        device->StopChannels(1);
    Lock();
    for (SoundDevice* device : devices_)
        device->ReleasePrimary();
    ReleaseDirectSound();
    Unlock();
}
