#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/sound/sound_objects.h"
#include "platform/sound/sound_system.h"

namespace platform::sound {
namespace {

constexpr DWORD MIN_BYTES = 4;
constexpr DWORD MAX_BYTES = 0x0FFFFFFF;
constexpr DWORD SECONDARY_FLAGS = DSBCAPS_STATIC | DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY |
                                  DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_STICKYFOCUS |
                                  DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;

bool Usable(const WAVEFORMATEX& format) {
    DWORD align = DWORD{format.nChannels} * format.wBitsPerSample / 8;
    return format.wFormatTag == WAVE_FORMAT_PCM && format.nChannels >= 1 && format.nChannels <= 2 &&
           (format.wBitsPerSample == 8 || format.wBitsPerSample == 16) &&
           format.nSamplesPerSec >= 100 && format.nSamplesPerSec <= 200000 &&
           format.nBlockAlign == align && format.nAvgBytesPerSec == format.nSamplesPerSec * align;
}

class SecondaryBuffer final : public IDirectSoundBuffer, public IDirectSound3DBuffer {
public:
    SecondaryBuffer(std::shared_ptr<DirectSoundState> state, std::shared_ptr<BufferVoice> voice,
                    DWORD flags, const WAVEFORMATEX& format)
        : state_(std::move(state)), voice_(std::move(voice)), flags_(flags), format_(format) {}

    ~SecondaryBuffer() { TheMixer().Remove(voice_.get()); }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectSoundBuffer))
            *object = static_cast<IDirectSoundBuffer*>(this);
        else if (IsEqualGUID(iid, IID_IDirectSound3DBuffer) && (flags_ & DSBCAPS_CTRL3D))
            *object = static_cast<IDirectSound3DBuffer*>(this);
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

    ULONG AddRef() override { return ++references_; }

    ULONG Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT GetCurrentPosition(DWORD* play, DWORD* write) override {
        voice_->GetCursors(play, write);
        return DS_OK;
    }

    HRESULT GetFormat(WAVEFORMATEX* format, DWORD size, DWORD* written) override {
        if (!format && !written) return DSERR_INVALIDPARAM;
        DWORD count = std::min<DWORD>(size, sizeof(WAVEFORMATEX));
        if (format) std::memcpy(format, &format_, count);
        if (written) *written = format ? count : sizeof(WAVEFORMATEX);
        return DS_OK;
    }

    HRESULT GetStatus(DWORD* status) override {
        if (!status) return DSERR_INVALIDPARAM;
        *status = 0;
        if (voice_->IsPlaying()) *status |= DSBSTATUS_PLAYING;
        if (voice_->IsLooping()) *status |= DSBSTATUS_LOOPING;
        return DS_OK;
    }

    HRESULT Lock(DWORD offset, DWORD bytes, void** first, DWORD* firstBytes, void** second,
                 DWORD* secondBytes, DWORD flags) override {
        if (!first || !firstBytes) return DSERR_INVALIDPARAM;
        DWORD size = voice_->Bytes();
        if (flags & DSBLOCK_FROMWRITECURSOR) voice_->GetCursors(nullptr, &offset);
        if (flags & DSBLOCK_ENTIREBUFFER) {
            offset = 0;
            bytes = size;
        }
        if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
        DWORD head = std::min(bytes, size - offset);
        DWORD tail = second ? bytes - head : 0;
        std::lock_guard lock(lockLock_);
        if (locked_) return DSERR_INVALIDCALL;
        staging_.resize(head + tail);
        voice_->Read(offset, staging_.data(), head);
        voice_->Read(0, staging_.data() + head, tail);
        locked_ = true;
        lockedOffset_ = offset;
        lockedHead_ = head;
        lockedTail_ = tail;
        *first = staging_.data();
        *firstBytes = head;
        if (second) *second = tail ? staging_.data() + head : nullptr;
        if (secondBytes) *secondBytes = tail;
        return DS_OK;
    }

    HRESULT Unlock(void* first, DWORD firstBytes, void* second, DWORD secondBytes) override {
        std::lock_guard lock(lockLock_);
        if (!locked_) return DSERR_INVALIDCALL;
        if (first != staging_.data() || firstBytes > lockedHead_ || secondBytes > lockedTail_ ||
            (secondBytes && second != staging_.data() + lockedHead_))
            return DSERR_INVALIDPARAM;
        voice_->Write(lockedOffset_, staging_.data(), firstBytes);
        voice_->Write(0, staging_.data() + lockedHead_, secondBytes);
        locked_ = false;
        return DS_OK;
    }

    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override {
        if (reserved != 0 || priority != 0 || (flags & ~DSBPLAY_LOOPING)) return DSERR_INVALIDPARAM;
        std::lock_guard lock(state_->lock);
        if (state_->released) return DSERR_INVALIDCALL;
        voice_->Play(flags & DSBPLAY_LOOPING);
        return DS_OK;
    }

    HRESULT SetCurrentPosition(DWORD position) override {
        if (position >= voice_->Bytes()) return DSERR_INVALIDPARAM;
        voice_->SetCursor(position);
        return DS_OK;
    }

    HRESULT SetFormat(const WAVEFORMATEX*) override { return DSERR_INVALIDCALL; }

    HRESULT SetVolume(LONG volume) override {
        if (!(flags_ & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
        if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
        voice_->SetVolume(volume);
        return DS_OK;
    }

    HRESULT SetPan(LONG pan) override {
        if (!(flags_ & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
        if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
        voice_->SetPan(pan);
        return DS_OK;
    }

    HRESULT SetFrequency(DWORD frequency) override {
        if (!(flags_ & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
        if (frequency != DSBFREQUENCY_ORIGINAL &&
            (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
            return DSERR_INVALIDPARAM;
        voice_->SetFrequency(frequency);
        return DS_OK;
    }

    HRESULT Stop() override {
        voice_->Stop();
        return DS_OK;
    }

    HRESULT Restore() override { return DS_OK; }

    HRESULT SetConeAngles(DWORD inside, DWORD outside, DWORD apply) override {
        if (!Immediate(apply) || inside > DS3D_MAXCONEANGLE || outside > DS3D_MAXCONEANGLE ||
            inside > outside)
            return DSERR_INVALIDPARAM;
        voice_->Edit3d([&](Source3d& source) {
            source.coneInside = inside;
            source.coneOutside = outside;
        });
        return DS_OK;
    }

    HRESULT SetConeOrientation(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override {
        return SetVector({x, y, z}, apply, &Source3d::coneOrientation);
    }

    HRESULT SetConeOutsideVolume(LONG volume, DWORD apply) override {
        if (!Immediate(apply) || volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX)
            return DSERR_INVALIDPARAM;
        voice_->Edit3d([&](Source3d& source) { source.coneOutsideVolume = volume; });
        return DS_OK;
    }

    HRESULT SetMaxDistance(D3DVALUE distance, DWORD apply) override {
        return SetDistance(distance, apply, &Source3d::maxDistance);
    }

    HRESULT SetMinDistance(D3DVALUE distance, DWORD apply) override {
        return SetDistance(distance, apply, &Source3d::minDistance);
    }

    HRESULT SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override {
        return SetVector({x, y, z}, apply, &Source3d::position);
    }

    HRESULT SetVelocity(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override {
        return SetVector({x, y, z}, apply, &Source3d::velocity);
    }

private:
    HRESULT SetVector(D3DVECTOR value, DWORD apply, D3DVECTOR Source3d::*field) {
        if (!Immediate(apply) || !Finite(value.x, value.y, value.z)) return DSERR_INVALIDPARAM;
        voice_->Edit3d([&](Source3d& source) { source.*field = value; });
        return DS_OK;
    }

    HRESULT SetDistance(D3DVALUE distance, DWORD apply, float Source3d::*field) {
        if (!Immediate(apply) || !std::isfinite(distance) || distance <= 0.0f)
            return DSERR_INVALIDPARAM;
        voice_->Edit3d([&](Source3d& source) { source.*field = distance; });
        return DS_OK;
    }

    const std::shared_ptr<DirectSoundState> state_;
    const std::shared_ptr<BufferVoice> voice_;
    const DWORD flags_;
    const WAVEFORMATEX format_;
    std::atomic<ULONG> references_{1};
    std::mutex lockLock_;
    bool locked_ = false;
    DWORD lockedOffset_ = 0;
    DWORD lockedHead_ = 0;
    DWORD lockedTail_ = 0;
    std::vector<uint8_t> staging_;
};

} // namespace

HRESULT CreateSecondaryBuffer(const std::shared_ptr<DirectSoundState>& state,
                              const DSBUFFERDESC& desc, IDirectSoundBuffer** buffer) {
    if ((desc.dwFlags & ~SECONDARY_FLAGS) || !desc.lpwfxFormat) return DSERR_INVALIDPARAM;
    const WAVEFORMATEX& format = *desc.lpwfxFormat;
    if (!Usable(format)) return DSERR_BADFORMAT;
    DWORD bytes = desc.dwBufferBytes - desc.dwBufferBytes % format.nBlockAlign;
    if (desc.dwBufferBytes < MIN_BYTES || desc.dwBufferBytes > MAX_BYTES || bytes == 0)
        return DSERR_INVALIDPARAM;
    PcmFormat pcm{format.nChannels, format.wBitsPerSample, format.nSamplesPerSec,
                  format.nBlockAlign};
    bool threeD = desc.dwFlags & DSBCAPS_CTRL3D;
    std::shared_ptr<BufferVoice> voice;
    try {
        voice = std::make_shared<BufferVoice>(pcm, bytes, threeD ? state->listener : nullptr);
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    WAVEFORMATEX kept = format;
    kept.cbSize = 0;
    std::lock_guard lock(state->lock);
    std::erase_if(state->voices, [](const auto& held) { return held.expired(); });
    state->voices.push_back(voice);
    TheMixer().Add(voice);
    *buffer = new SecondaryBuffer(state, voice, desc.dwFlags, kept);
    return DS_OK;
}

} // namespace platform::sound
