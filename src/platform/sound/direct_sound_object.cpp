#include <cmath>

#include "platform/sound/sound_objects.h"
#include "platform/sound/sound_system.h"

namespace platform::sound {
namespace {

class DirectSoundObject final : public IDirectSound {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectSound)) {
            AddRef();
            *object = static_cast<IDirectSound*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    ULONG AddRef() override { return ++references_; }

    ULONG Release() override {
        ULONG left = --references_;
        if (left == 0) {
            Silence();
            delete this;
        }
        return left;
    }

    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer,
                              IUnknown* outer) override {
        if (!buffer) return DSERR_INVALIDPARAM;
        *buffer = nullptr;
        if (outer) return DSERR_NOAGGREGATION;
        if (!desc || (desc->dwSize != 20 && desc->dwSize != sizeof(DSBUFFERDESC)))
            return DSERR_INVALIDPARAM;
        if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
            if (desc->dwBufferBytes != 0 || desc->lpwfxFormat) return DSERR_INVALIDPARAM;
            return CreatePrimaryBuffer(state_, desc->dwFlags, buffer);
        }
        return CreateSecondaryBuffer(state_, *desc, buffer);
    }

    HRESULT SetCooperativeLevel(HWND, DWORD level) override {
        return level >= DSSCL_NORMAL && level <= DSSCL_WRITEPRIMARY ? DS_OK : DSERR_INVALIDPARAM;
    }

private:
    // Buffers outlive the object for their holders but are heard no more.
    void Silence() {
        std::lock_guard lock(state_->lock);
        state_->released = true;
        for (auto& held : state_->voices) {
            if (auto voice = held.lock()) {
                voice->Stop();
                TheMixer().Remove(voice.get());
            }
        }
        state_->voices.clear();
    }

    std::atomic<ULONG> references_{1};
    std::shared_ptr<DirectSoundState> state_ = std::make_shared<DirectSoundState>();
};

} // namespace

bool Finite(D3DVALUE x, D3DVALUE y, D3DVALUE z) {
    return std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
}

} // namespace platform::sound

HRESULT DirectSoundCreate(const GUID* device, IDirectSound** sound, IUnknown* outer) {
    if (!sound) return DSERR_INVALIDPARAM;
    *sound = nullptr;
    if (outer) return DSERR_NOAGGREGATION;
    if (device) return DSERR_NODRIVER;
    if (!platform::sound::HasOutput()) return DSERR_NODRIVER;
    *sound = new platform::sound::DirectSoundObject();
    return DS_OK;
}
