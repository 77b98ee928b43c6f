#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "platform/sound/sound_objects.h"

namespace platform::sound {

// The primary buffer stands for the output: it keeps the format it is given without
// changing the mixer's, and carries the object's listener.
class PrimaryBuffer final : public IDirectSoundBuffer, public IDirectSound3DListener {
public:
    PrimaryBuffer(std::shared_ptr<DirectSoundState> state, DWORD flags)
        : state_(std::move(state)), flags_(flags) {}

    void AddFlags(DWORD flags) { flags_.fetch_or(flags); }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectSoundBuffer))
            *object = static_cast<IDirectSoundBuffer*>(this);
        else if (IsEqualGUID(iid, IID_IDirectSound3DListener) && (flags_ & DSBCAPS_CTRL3D))
            *object = static_cast<IDirectSound3DListener*>(this);
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

    ULONG AddRef() override { return ++references_; }

    // Under the object's lock, so that CreateSoundBuffer never hands out a primary that is
    // going.
    ULONG Release() override {
        std::unique_lock lock(state_->lock);
        ULONG left = --references_;
        if (left == 0) {
            state_->primary = nullptr;
            lock.unlock();
            delete this;
        }
        return left;
    }

    HRESULT GetCurrentPosition(DWORD* play, DWORD* write) override {
        if (play) *play = 0;
        if (write) *write = 0;
        return DS_OK;
    }

    HRESULT GetFormat(WAVEFORMATEX* format, DWORD size, DWORD* written) override {
        if (!format && !written) return DSERR_INVALIDPARAM;
        std::lock_guard lock(state_->lock);
        DWORD count = std::min<DWORD>(size, sizeof(WAVEFORMATEX));
        if (format) std::memcpy(format, &state_->primaryFormat, count);
        if (written) *written = format ? count : sizeof(WAVEFORMATEX);
        return DS_OK;
    }

    HRESULT GetStatus(DWORD* status) override {
        if (!status) return DSERR_INVALIDPARAM;
        *status = DSBSTATUS_PLAYING | DSBSTATUS_LOOPING;
        return DS_OK;
    }

    HRESULT Lock(DWORD, DWORD, void**, DWORD*, void**, DWORD*, DWORD) override {
        return DSERR_INVALIDCALL;
    }

    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override {
        return reserved == 0 && priority == 0 && flags == DSBPLAY_LOOPING ? DS_OK
                                                                          : DSERR_INVALIDPARAM;
    }

    HRESULT SetCurrentPosition(DWORD) override { return DSERR_INVALIDCALL; }

    HRESULT SetFormat(const WAVEFORMATEX* format) override {
        if (!format || format->wFormatTag != WAVE_FORMAT_PCM || format->nChannels < 1 ||
            format->nChannels > 2 ||
            (format->wBitsPerSample != 8 && format->wBitsPerSample != 16) ||
            format->nSamplesPerSec < 100 || format->nSamplesPerSec > 200000)
            return DSERR_BADFORMAT;
        std::lock_guard lock(state_->lock);
        state_->primaryFormat = *format;
        state_->primaryFormat.cbSize = 0;
        return DS_OK;
    }

    HRESULT SetVolume(LONG) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT SetPan(LONG) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT SetFrequency(DWORD) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT Stop() override { return DS_OK; }
    HRESULT Unlock(void*, DWORD, void*, DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT Restore() override { return DS_OK; }

    HRESULT GetDistanceFactor(D3DVALUE* factor) override {
        return Read(factor, &Listener3d::distanceFactor);
    }
    HRESULT GetDopplerFactor(D3DVALUE* factor) override {
        return Read(factor, &Listener3d::doppler);
    }
    HRESULT GetRolloffFactor(D3DVALUE* factor) override {
        return Read(factor, &Listener3d::rolloff);
    }

    HRESULT GetPosition(D3DVECTOR* position) override {
        if (!position) return DSERR_INVALIDPARAM;
        std::lock_guard lock(state_->listener->lock);
        *position = state_->listener->values.position;
        return DS_OK;
    }

    HRESULT SetDistanceFactor(D3DVALUE factor, DWORD apply) override {
        return Write(factor, DS3D_MINDISTANCEFACTOR, DS3D_MAXDISTANCEFACTOR, apply,
                     &Listener3d::distanceFactor);
    }
    HRESULT SetDopplerFactor(D3DVALUE factor, DWORD apply) override {
        return Write(factor, DS3D_MINDOPPLERFACTOR, DS3D_MAXDOPPLERFACTOR, apply,
                     &Listener3d::doppler);
    }
    HRESULT SetRolloffFactor(D3DVALUE factor, DWORD apply) override {
        return Write(factor, DS3D_MINROLLOFFFACTOR, DS3D_MAXROLLOFFFACTOR, apply,
                     &Listener3d::rolloff);
    }

    HRESULT SetOrientation(D3DVALUE frontX, D3DVALUE frontY, D3DVALUE frontZ, D3DVALUE topX,
                           D3DVALUE topY, D3DVALUE topZ, DWORD apply) override {
        if (!Immediate(apply) || !Finite(frontX, frontY, frontZ) || !Finite(topX, topY, topZ))
            return DSERR_INVALIDPARAM;
        // The sideways axis is top × front: they must span a plane.
        double crossX = double(topY) * frontZ - double(topZ) * frontY;
        double crossY = double(topZ) * frontX - double(topX) * frontZ;
        double crossZ = double(topX) * frontY - double(topY) * frontX;
        if (crossX == 0 && crossY == 0 && crossZ == 0) return DSERR_INVALIDPARAM;
        std::lock_guard lock(state_->listener->lock);
        state_->listener->values.front = {frontX, frontY, frontZ};
        state_->listener->values.top = {topX, topY, topZ};
        return DS_OK;
    }

    HRESULT SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override {
        return WriteVector({x, y, z}, apply, &Listener3d::position);
    }
    HRESULT SetVelocity(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override {
        return WriteVector({x, y, z}, apply, &Listener3d::velocity);
    }

private:
    HRESULT Read(D3DVALUE* to, float Listener3d::*field) {
        if (!to) return DSERR_INVALIDPARAM;
        std::lock_guard lock(state_->listener->lock);
        *to = state_->listener->values.*field;
        return DS_OK;
    }

    HRESULT Write(D3DVALUE value, float low, float high, DWORD apply, float Listener3d::*field) {
        if (!Immediate(apply) || !(value >= low && value <= high)) return DSERR_INVALIDPARAM;
        std::lock_guard lock(state_->listener->lock);
        state_->listener->values.*field = value;
        return DS_OK;
    }

    HRESULT WriteVector(D3DVECTOR value, DWORD apply, D3DVECTOR Listener3d::*field) {
        if (!Immediate(apply) || !Finite(value.x, value.y, value.z)) return DSERR_INVALIDPARAM;
        std::lock_guard lock(state_->listener->lock);
        state_->listener->values.*field = value;
        return DS_OK;
    }

    const std::shared_ptr<DirectSoundState> state_;
    std::atomic<ULONG> references_{1};
    std::atomic<DWORD> flags_;
};

HRESULT CreatePrimaryBuffer(const std::shared_ptr<DirectSoundState>& state, DWORD flags,
                            IDirectSoundBuffer** buffer) {
    constexpr DWORD allowed = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME |
                              DSBCAPS_STICKYFOCUS | DSBCAPS_GLOBALFOCUS |
                              DSBCAPS_GETCURRENTPOSITION2;
    if (flags & ~allowed) return DSERR_INVALIDPARAM;
    std::lock_guard lock(state->lock);
    if (state->primary) {
        state->primary->AddRef();
        state->primary->AddFlags(flags);
    } else {
        state->primary = new PrimaryBuffer(state, flags);
    }
    *buffer = state->primary;
    return DS_OK;
}

} // namespace platform::sound
