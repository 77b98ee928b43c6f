#include "audio/manager/sound_device.h"

#include <algorithm>
#include <new>

#include "audio/manager/sound_channel.h"
#include "audio/manager/sound_manager.h"

SoundDevice::SoundDevice(SoundMgr* manager) : manager_(manager) {
    manager_->DeviceCreated(this);
}

SoundDevice::~SoundDevice() {
    if (started_) StopAndRelease();
    // Channels of a device that never started are released too.
    for (SoundChannel* channel : channels_)
        delete channel;
    manager_->DeviceDestroyed(this);
}

void SoundDevice::StartRun(int32_t) {
    Start(0);
}

int SoundDevice::Start(HWND) {
    rolloff_ = 0.0f;
    distance_ = 1.0f;
    doppler_ = 0.0f;
    if (!started_) {
        started_ = 1;
        manager_->AddStartedDevice(this);
    }
    return 1;
}

void SoundDevice::Stop() {
    if (started_) StopAndRelease();
}

void SoundDevice::StopAndRelease() {
    StopChannels(1);
    manager_->RemoveStartedDevice(this);
    std::vector<SoundChannel*> channels;
    manager_->HoldTimer();
    manager_->Lock();
    channels.swap(channels_);
    manager_->Unlock();
    manager_->ReleaseTimer();
    for (SoundChannel* channel : channels)
        delete channel;
    started_ = 0;
}

void SoundDevice::SetCooperativeWindow(HWND window) {
    window_ = window;
}

HWND SoundDevice::GetCooperativeWindow() {
    return window_;
}

int SoundDevice::SetListenerVelocity(float, float, float) {
    return 0;
}

int SoundDevice::SetListenerPosition(float, float, float) {
    return 0;
}

int SoundDevice::SetListenerOrientation(float, float, float, float, float, float) {
    return 0;
}

int SoundDevice::GetListenerPosition(float*, float*, float*) {
    return 0;
}

int SoundDevice::SetRolloffFactor(float) {
    return 0;
}

float SoundDevice::GetRolloffFactor() {
    return rolloff_;
}

int SoundDevice::SetDopplerFactor(float) {
    return 0;
}

float SoundDevice::GetDopplerFactor() {
    return doppler_;
}

int SoundDevice::SetDistanceFactor(float) {
    return 0;
}

float SoundDevice::GetDistanceFactor() {
    return distance_;
}

void SoundDevice::RemoveChannel(SoundChannel* channel) {
    manager_->HoldTimer();
    manager_->Lock();
    channels_.erase(std::remove(channels_.begin(), channels_.end(), channel), channels_.end());
    manager_->Unlock();
    manager_->ReleaseTimer();
}

SoundChannel* SoundDevice::CreateChannel(CInStream* stream, int want3D) {
    SoundChannel* channel = CreateChannelObject();
    if (channel == nullptr) return nullptr;
    if (channel->OpenOnSource(stream, want3D) != 0) {
        delete channel;
        return nullptr;
    }
    manager_->HoldTimer();
    manager_->Lock();
    channels_.push_back(channel);
    manager_->Unlock();
    manager_->ReleaseTimer();
    return channel;
}

void SoundDevice::StopChannels(int reset) {
    manager_->Lock();
    std::vector<SoundChannel*> channels = channels_;
    manager_->Unlock();
    for (SoundChannel* channel : channels)
        if (reset || channel->IsActive()) channel->Stop(reset, 1);
    if (reset) manager_->StopTimerIfIdle();
}

void SoundDevice::EndActiveChannels() {
    manager_->HoldTimer();
    manager_->Lock();
    for (SoundChannel* channel : channels_)
        channel->EndIfActive();
    manager_->Unlock();
    manager_->ReleaseTimer();
}

int SoundDevice::AnyActive() {
    manager_->Lock();
    int active = 0;
    for (SoundChannel* channel : channels_)
        active |= channel->IsActive();
    manager_->Unlock();
    return active;
}

void SoundDevice::RefillChannels() {
    for (SoundChannel* channel : channels_)
        channel->Refill();
}

// ---- DirectSoundDevice --------------------------------------------------------------

DirectSoundDevice::DirectSoundDevice(SoundMgr* manager, int wantListener)
    : SoundDevice(manager), wantListener_(wantListener) {}

DirectSoundDevice::~DirectSoundDevice() {
    if (!started_) return;
    StopAndRelease();
    manager_->Lock();
    ReleasePrimary();
    manager_->DeviceStopped();
    manager_->Unlock();
}

void DirectSoundDevice::StartRun(int32_t flags) {
    if (started_)
        SoundDevice::StartRun(flags);
    else
        runStartPending_ = true;
}

void DirectSoundDevice::Stop() {
    runStartPending_ = false;
    SoundDevice::Stop();
}

int DirectSoundDevice::Start(HWND window) {
    runStartPending_ = false;
    if (!started_) {
        manager_->Lock();
        if (!manager_->ProbeDirectSound()) {
            manager_->Unlock();
            return 0;
        }
        cooperativeWindow_ = window != 0 ? window : manager_->Window();
        if (manager_->CreatePrimary(&primary_, cooperativeWindow_, &listener_, &wantListener_) ==
            DSERR_OUTOFMEMORY) {
            manager_->UndoProbe();
            primary_ = nullptr;
            cooperativeWindow_ = 0;
            listener_ = nullptr;
            manager_->Unlock();
            return 0;
        }
        manager_->DeviceStarted();
        if (listener_ != nullptr) {
            listener_->SetRolloffFactor(listenerRolloff_, DS3D_IMMEDIATE);
            listener_->SetDistanceFactor(listenerDistance_, DS3D_IMMEDIATE);
            listener_->SetDopplerFactor(listenerDoppler_, DS3D_IMMEDIATE);
        }
        manager_->Unlock();
    }
    return SoundDevice::Start(window);
}

SoundChannel* DirectSoundDevice::CreateChannelObject() {
    if (runStartPending_) Start(cooperativeWindow_);
    return new (std::nothrow) DirectSoundChannel(this);
}

void DirectSoundDevice::ReleasePrimary() {
    manager_->Lock();
    if (listener_ != nullptr) listener_->Release();
    if (primary_ != nullptr) primary_->Release();
    listener_ = nullptr;
    primary_ = nullptr;
    manager_->Unlock();
}

void DirectSoundDevice::SetCooperativeWindow(HWND window) {
    if (window == 0) window = manager_->Window();
    if (window == cooperativeWindow_) return;
    StopChannels(1);
    ReleasePrimary();
    manager_->ReleaseDirectSound();
    cooperativeWindow_ = window;
}

int DirectSoundDevice::EnsureDirectSound() {
    return manager_->EnsureDirectSound(&primary_, cooperativeWindow_, &listener_, &wantListener_);
}

IDirectSound3DListener* DirectSoundDevice::UsableListener() {
    if (!EnsureDirectSound() || !wantListener_) return nullptr;
    return listener_;
}

int DirectSoundDevice::SetListenerVelocity(float x, float y, float z) {
    IDirectSound3DListener* listener = UsableListener();
    return listener != nullptr && listener->SetVelocity(x, y, z, DS3D_IMMEDIATE) >= 0 ? 1 : 0;
}

int DirectSoundDevice::SetListenerPosition(float x, float y, float z) {
    IDirectSound3DListener* listener = UsableListener();
    return listener != nullptr && listener->SetPosition(x, y, z, DS3D_IMMEDIATE) >= 0 ? 1 : 0;
}

int DirectSoundDevice::SetListenerOrientation(float frontX, float frontY, float frontZ, float topX,
                                              float topY, float topZ) {
    IDirectSound3DListener* listener = UsableListener();
    return listener != nullptr && listener->SetOrientation(frontX, frontY, frontZ, topX, -topY,
                                                           topZ, DS3D_IMMEDIATE) >= 0
               ? 1
               : 0;
}

int DirectSoundDevice::GetListenerPosition(float* x, float* y, float* z) {
    IDirectSound3DListener* listener = UsableListener();
    D3DVECTOR position{};
    if (listener == nullptr || listener->GetPosition(&position) < 0) return 0;
    *x = position.x;
    *y = position.y;
    *z = position.z;
    return 1;
}

int DirectSoundDevice::SetRolloffFactor(float factor) {
    listenerRolloff_ = std::clamp(factor, DS3D_MINROLLOFFFACTOR, DS3D_MAXROLLOFFFACTOR);
    IDirectSound3DListener* listener = UsableListener();
    return listener != nullptr && listener->SetRolloffFactor(listenerRolloff_, DS3D_IMMEDIATE) >= 0
               ? 1
               : 0;
}

int DirectSoundDevice::SetDopplerFactor(float factor) {
    listenerDoppler_ = std::clamp(factor, DS3D_MINDOPPLERFACTOR, DS3D_MAXDOPPLERFACTOR);
    IDirectSound3DListener* listener = UsableListener();
    return listener != nullptr && listener->SetDopplerFactor(listenerDoppler_, DS3D_IMMEDIATE) >= 0
               ? 1
               : 0;
}

int DirectSoundDevice::SetDistanceFactor(float factor) {
    listenerDistance_ = std::clamp(factor, DS3D_MINDISTANCEFACTOR, DS3D_MAXDISTANCEFACTOR);
    IDirectSound3DListener* listener = UsableListener();
    return listener != nullptr &&
                   listener->SetDistanceFactor(listenerDistance_, DS3D_IMMEDIATE) >= 0
               ? 1
               : 0;
}

float DirectSoundDevice::GetRolloffFactor() {
    if (listener_ != nullptr) listener_->GetRolloffFactor(&listenerRolloff_);
    return listenerRolloff_;
}

float DirectSoundDevice::GetDopplerFactor() {
    if (listener_ != nullptr) listener_->GetDopplerFactor(&listenerDoppler_);
    return listenerDoppler_;
}

float DirectSoundDevice::GetDistanceFactor() {
    if (listener_ != nullptr) listener_->GetDistanceFactor(&listenerDistance_);
    return listenerDistance_;
}
