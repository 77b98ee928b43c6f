#include "audio/manager/sound_channel.h"

#include <algorithm>
#include <cstring>

#include "audio/manager/sound_device.h"
#include "audio/manager/sound_manager.h"
#include "audio/sources/source_factory.h"

// ---- SoundChannel -------------------------------------------------------------------

SoundChannel::~SoundChannel() = default;

int SoundChannel::SetVelocity(float, float, float) {
    return want3D_;
}

int SoundChannel::SetPosition3D(float, float, float) {
    return want3D_;
}

int SoundChannel::SetConeOrientation(float, float, float) {
    return want3D_;
}

int SoundChannel::SetConeAngles(int32_t, int32_t) {
    return want3D_;
}

int SoundChannel::SetConeOutsideVolume(int32_t) {
    return want3D_;
}

int SoundChannel::SetMinMaxDistance(float, float) {
    return want3D_;
}

int SoundChannel::GetMinMaxDistance(float*, float*) {
    return 0;
}

namespace {

// Bytes per millisecond of the source's output; 0 only for a source that has no format.
double BytesPerMs(SoundSourceRef& source) {
    if (source.Get() == nullptr) return 0.0;
    return source.Get()->GetOutputFormat().avgBytesPerSec * 0.001;
}

} // namespace

void SoundChannel::SetPosition(int32_t ms) {
    double perMs = BytesPerMs(source_);
    uint64_t length = source_.GetLength();
    if (perMs <= 0.0) return;
    double wanted = std::max<int32_t>(ms, 0) * perMs;
    auto bytes = wanted >= double(length) ? length : static_cast<uint64_t>(wanted);
    uint32_t align = std::max<uint16_t>(source_.Get()->GetOutputFormat().blockAlign, 1);
    SetPlayPosition(bytes - bytes % align);
}

int32_t SoundChannel::GetPosition() {
    double perMs = BytesPerMs(source_);
    return perMs > 0.0 ? static_cast<int32_t>(double(GetPlayBytes()) / perMs) : 0;
}

int32_t SoundChannel::GetDuration() {
    double perMs = BytesPerMs(source_);
    return perMs > 0.0 ? static_cast<int32_t>(double(source_.GetLength()) / perMs) : 0;
}

int SoundChannel::IsCompleted() {
    if (static_) {
        if (IsPlaying() || paused_) return 0;
    }
    return completed_;
}

void SoundChannel::SetLoop(int flag, int32_t count) {
    // The timer's refill reads the loop state.
    SoundMgr* manager = device_->GetManager();
    manager->HoldTimer();
    savedLoop_ = activeLoop_ = static_cast<uint8_t>(flag != 0);
    savedLoopCount_ = activeLoopCount_ = count;
    manager->ReleaseTimer();
    if (static_ && flag && count == 0) {
        Stop(1, 1);
        static_ = 0;
    }
}

int SoundChannel::IsLooping() const {
    return activeLoopCount_ == 1 ? 0 : activeLoop_;
}

int32_t SoundChannel::GetLoopCount() const {
    if (activeLoopCount_ != 0 && (playing_ || paused_)) return activeLoopCount_ - 1;
    return activeLoopCount_;
}

int32_t SoundChannel::GetFrequency() {
    if (frequency_ != 0) return frequency_;
    return source_.Get() != nullptr
               ? static_cast<int32_t>(source_.Get()->GetOutputFormat().samplesPerSec)
               : 0;
}

void SoundChannel::Release() {
    device_->RemoveChannel(this);
    delete this;
}

// ---- DirectSoundChannel -------------------------------------------------------------

DirectSoundChannel::DirectSoundChannel(DirectSoundDevice* device)
    : SoundChannel(device), soundDevice_(device) {}

DirectSoundChannel::~DirectSoundChannel() {
    if (buffer_ != nullptr || playing_) Stop(1, 1);
}

int DirectSoundChannel::Ensure() {
    return soundDevice_->EnsureDirectSound();
}

void DirectSoundChannel::ReleaseBuffers() {
    if (buffer3D_ != nullptr) buffer3D_->Release();
    if (buffer_ != nullptr) buffer_->Release();
    buffer3D_ = nullptr;
    buffer_ = nullptr;
}

int DirectSoundChannel::OpenOnSource(CInStream* stream, int want3D) {
    if (CreateSoundSource(stream, source_) != 0) return 2;
    WaveFormat output;
    device_->GetManager()->ChooseOutputFormat(source_.Get()->GetNativeFormat(), &output);
    if (!source_.Get()->SetOutputFormat(output)) return 2;
    want3D_ = want3D;
    return OpenOnFormat(source_.Get()->GetOutputFormat(), source_.GetLength());
}

int DirectSoundChannel::OpenOnFormat(const WaveFormat& format, uint64_t length) {
    if (format.formatTag != kWaveFormatPcm || format.blockAlign == 0) return 2;
    format_ = format;
    dataLength_ = length;
    uint64_t size = StreamBufferSize(format);
    static_ = 0;
    if (length < 2 * size && activeLoopCount_ == 0) {
        size = length;
        static_ = 1;
    }
    bufferSize_ = static_cast<uint32_t>(std::min<uint64_t>(size, 0xFFFFFFFFu));
    return 0;
}

void DirectSoundChannel::Apply3D() {
    if (buffer3D_ == nullptr) return;
    buffer3D_->SetConeAngles(static_cast<DWORD>(coneInside_), static_cast<DWORD>(coneOutside_),
                             DS3D_IMMEDIATE);
    buffer3D_->SetConeOutsideVolume(coneOutsideVolume_, DS3D_IMMEDIATE);
    buffer3D_->SetMaxDistance(maxDistance_, DS3D_IMMEDIATE);
    buffer3D_->SetMinDistance(minDistance_, DS3D_IMMEDIATE);
    buffer3D_->SetPosition(position3D_[0], position3D_[1], position3D_[2], DS3D_IMMEDIATE);
    buffer3D_->SetConeOrientation(coneOrientation_[0], -coneOrientation_[1], coneOrientation_[2],
                                  DS3D_IMMEDIATE);
    buffer3D_->SetVelocity(velocity_[0], velocity_[1], velocity_[2], DS3D_IMMEDIATE);
}

int DirectSoundChannel::Play() {
    if (Start()) return 1;
    completed_ = 1;
    return 0;
}

int DirectSoundChannel::Start() {
    if (!Ensure()) return 0;
    SoundMgr* manager = device_->GetManager();
    if (playing_ || paused_) Stop(0, 1);
    source_.Seek(startPosition_);
    position_ = startPosition_;
    startPosition_ = 0;
    activeLoop_ = savedLoop_;
    activeLoopCount_ = savedLoopCount_;
    if (static_ && activeLoop_ && activeLoopCount_ != 0) {
        Stop(1, 1);
        OpenOnFormat(format_, dataLength_);
    }
    if (buffer_ == nullptr) {
        IDirectSound* sound = manager->GetDirectSound();
        if (sound == nullptr) return 0;
        WAVEFORMATEX wave{format_.formatTag,
                          format_.channels,
                          format_.samplesPerSec,
                          format_.avgBytesPerSec,
                          format_.blockAlign,
                          format_.bitsPerSample,
                          0};
        DWORD flags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLVOLUME |
                      DSBCAPS_CTRLFREQUENCY;
        if (soundDevice_->WantsListener() && want3D_)
            flags |= DSBCAPS_CTRL3D;
        else
            flags |= DSBCAPS_CTRLPAN, want3D_ = 0;
        if (static_) flags |= DSBCAPS_STATIC;
        DSBUFFERDESC desc{20, flags, bufferSize_, 0, &wave};
        if (bufferSize_ == 0 || sound->CreateSoundBuffer(&desc, &buffer_, nullptr) < 0 ||
            buffer_ == nullptr) {
            buffer_ = nullptr;
            return 0;
        }
        void* found = nullptr;
        if (want3D_ && buffer_->QueryInterface(IID_IDirectSound3DBuffer, &found) >= 0 && found)
            buffer3D_ = static_cast<IDirectSound3DBuffer*>(found);
        else
            want3D_ = 0;
    }
    endOfData_ = 0;
    tail_ = 0;
    completed_ = 0;
    manager->HoldTimer();
    IDirectSoundBuffer* primary = soundDevice_->GetPrimary();
    if (primary != nullptr && !manager->AnyActive()) {
        WAVEFORMATEX current{};
        if (primary->GetFormat(&current, sizeof current, nullptr) >= 0) {
            bool rose = false;
            auto raise = [&](auto& field, auto wanted) {
                if (field < wanted)
                    field = static_cast<std::remove_reference_t<decltype(field)>>(wanted),
                    rose = true;
            };
            raise(current.wBitsPerSample, format_.bitsPerSample);
            raise(current.nSamplesPerSec, format_.samplesPerSec);
            raise(current.nChannels, format_.channels);
            if (rose) {
                current.nBlockAlign =
                    static_cast<WORD>(current.wBitsPerSample / 8 * current.nChannels);
                current.nAvgBytesPerSec = current.nBlockAlign * current.nSamplesPerSec;
                primary->SetFormat(&current);
            }
        }
    }
    buffer_->SetVolume(VolumeToHundredthsOfDb(volume_));
    if (buffer3D_ == nullptr) buffer_->SetPan(PanToHundredthsOfDb(pan_));
    buffer_->SetFrequency(static_cast<DWORD>(frequency_));
    Apply3D();
    int filled = FillInitial();
    if (!filled) ReleaseBuffers();
    completed_ = 0;
    manager->ReleaseTimer();
    if (!filled) return 0;
    if (!static_ && !manager->StartTimer()) {
        buffer_->Stop();
        ReleaseBuffers();
        return 0;
    }
    // The timer's refill may look at this channel from now on.
    manager->HoldTimer();
    if (!static_) {
        buffer_->SetCurrentPosition(0);
        buffer_->Play(0, 0, DSBPLAY_LOOPING);
    } else {
        buffer_->SetCurrentPosition(static_cast<DWORD>(position_));
        buffer_->Play(0, 0, activeLoop_ ? DSBPLAY_LOOPING : 0);
    }
    paused_ = 0;
    playing_ = 1;
    manager->ReleaseTimer();
    return 1;
}

void DirectSoundChannel::FillSilence(uint8_t* region, uint32_t size) {
    if (format_.bitsPerSample == 8)
        std::memset(region, 0x80, size);
    else if (format_.bitsPerSample == 16)
        std::memset(region, 0, size);
}

// Reads the source into a region; a short read goes round the loop while passes remain,
// else ends the data with silence after it. `total` counts the data bytes placed.
void DirectSoundChannel::FillRegion(uint8_t* region, uint32_t size, uint32_t* total) {
    uint32_t done = 0;
    while (done < size && !endOfData_) {
        uint32_t got = 0;
        source_.Read(region + done, size - done, &got);
        got = std::min(got, size - done);
        done += got;
        if (done == size) break;
        if (activeLoop_) {
            if (activeLoopCount_ != 0 && --activeLoopCount_ == 0) activeLoop_ = 0;
        }
        if (!activeLoop_ || (got == 0 && source_.GetLength() == 0)) {
            FillSilence(region + done, size - done);
            endOfData_ = 1;
            break;
        }
        source_.Rewind();
    }
    *total += done;
}

int DirectSoundChannel::FillInitial() {
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0;
    DWORD secondBytes = 0;
    writeCursor_ = 0;
    if (buffer_->Lock(0, bufferSize_, &first, &firstBytes, &second, &secondBytes, 0) < 0) return 0;
    if (first == nullptr) {
        buffer_->Unlock(first, firstBytes, second, secondBytes);
        return 0;
    }
    int result = 1;
    auto* region = static_cast<uint8_t*>(first);
    if (static_) {
        // A static buffer holds the whole sound; the play cursor starts at the position.
        uint32_t got = 0;
        source_.Rewind();
        source_.Read(region, firstBytes, &got);
        result = got == firstBytes ? 1 : 0;
    } else {
        uint32_t total = 0;
        FillRegion(region, firstBytes, &total);
        if (endOfData_) tail_ = total;
    }
    buffer_->Unlock(first, firstBytes, second, secondBytes);
    return result;
}

void DirectSoundChannel::Refill() {
    if (static_ || !playing_ || completed_ || buffer_ == nullptr) return;
    DWORD status = 0;
    bool restart = false;
    if (buffer_->GetStatus(&status) >= 0 && (status & DSBSTATUS_BUFFERLOST) != 0) {
        if (buffer_->Restore() < 0) return;
        writeCursor_ = 0;
        restart = true;
    }
    DWORD play = 0;
    if (buffer_->GetCurrentPosition(&play, nullptr) < 0) return;
    if (play == writeCursor_ && !restart) return;
    if (endOfData_ && tail_ == 0) {
        if (!completed_) {
            completed_ = 1;
            buffer_->Stop();
            position_ = dataLength_;
        }
        playing_ = 0;
        return;
    }
    uint32_t consumed =
        play >= writeCursor_ ? play - writeCursor_ : play + bufferSize_ - writeCursor_;
    position_ += consumed;
    // A looping sound's position runs round it.
    if (position_ > dataLength_)
        position_ = savedLoop_ && dataLength_ > 0 ? position_ % dataLength_ : dataLength_;
    uint32_t fill = restart ? 2 * bufferSize_ / 6 : consumed;
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0;
    DWORD secondBytes = 0;
    uint32_t ahead = writeCursor_ >= play ? writeCursor_ - play : writeCursor_ + bufferSize_ - play;
    if (endOfData_) {
        tail_ = consumed > tail_ ? 0 : tail_ - consumed;
        if (buffer_->Lock(writeCursor_, fill, &first, &firstBytes, &second, &secondBytes, 0) < 0)
            return;
        if (first != nullptr) FillSilence(static_cast<uint8_t*>(first), firstBytes);
        if (second != nullptr) FillSilence(static_cast<uint8_t*>(second), secondBytes);
    } else {
        if (buffer_->Lock(writeCursor_, fill, &first, &firstBytes, &second, &secondBytes, 0) < 0)
            return;
        uint32_t total = 0;
        if (first != nullptr) FillRegion(static_cast<uint8_t*>(first), firstBytes, &total);
        if (second != nullptr && !endOfData_)
            FillRegion(static_cast<uint8_t*>(second), secondBytes, &total);
        else if (second != nullptr)
            FillSilence(static_cast<uint8_t*>(second), secondBytes);
        // The data ahead of the play cursor, and what this fill added before the end.
        if (endOfData_) tail_ = ahead + total;
    }
    buffer_->Unlock(first, firstBytes, second, secondBytes);
    writeCursor_ += fill;
    if (writeCursor_ >= bufferSize_) writeCursor_ -= bufferSize_;
    if (restart) buffer_->Play(0, 0, DSBPLAY_LOOPING);
}

int DirectSoundChannel::Pause() {
    if (paused_ || buffer_ == nullptr) return 0;
    DWORD status = 0;
    if (buffer_->GetStatus(&status) < 0 || (status & DSBSTATUS_PLAYING) == 0) return 0;
    // The timer's refill reads the playing flag.
    SoundMgr* manager = device_->GetManager();
    manager->HoldTimer();
    buffer_->Stop();
    paused_ = 1;
    playing_ = 0;
    manager->ReleaseTimer();
    return 1;
}

int DirectSoundChannel::Resume() {
    if (!paused_) return 0;
    paused_ = 0;
    if (buffer_ == nullptr) return 0;
    SoundMgr* manager = device_->GetManager();
    manager->HoldTimer();
    buffer_->Play(0, 0, activeLoop_ || !static_ ? DSBPLAY_LOOPING : 0);
    playing_ = 1;
    manager->ReleaseTimer();
    return 1;
}

void DirectSoundChannel::Stop(int reset, int holdTimer) {
    SoundMgr* manager = device_->GetManager();
    if (buffer_ == nullptr) {
        if (holdTimer) manager->StopTimerIfIdle();
        return;
    }
    if (holdTimer) manager->HoldTimer();
    buffer_->Stop();
    playing_ = 0;
    paused_ = 0;
    if (reset) ReleaseBuffers();
    if (holdTimer) manager->ReleaseTimer();
    manager->StopTimerIfIdle();
}

int DirectSoundChannel::IsPlaying() {
    if (static_ && buffer_ == nullptr) playing_ = 0;
    if (static_ && buffer_ != nullptr && Ensure()) {
        DWORD status = 0;
        if (playing_ && buffer_->GetStatus(&status) >= 0 && (status & DSBSTATUS_PLAYING) == 0) {
            completed_ = 1;
            playing_ = 0;
        }
    }
    return playing_;
}

int DirectSoundChannel::SetVolume(int32_t volume) {
    volume_ = std::clamp<int32_t>(volume, 0, 1000);
    if (buffer_ == nullptr) return 1;
    if (!Ensure()) return 0;
    return buffer_->SetVolume(VolumeToHundredthsOfDb(volume_)) >= 0 ? 1 : 0;
}

int DirectSoundChannel::SetPan(int32_t pan) {
    pan_ = std::clamp<int32_t>(pan, -1000, 1000);
    if (buffer_ == nullptr) return 1;
    if (!Ensure()) return 0;
    return buffer_->SetPan(PanToHundredthsOfDb(pan_)) >= 0 ? 1 : 0;
}

int DirectSoundChannel::SetFrequency(int32_t frequency) {
    frequency_ = frequency == 0 ? 0 : std::clamp<int32_t>(frequency, 100, 100000);
    if (buffer_ == nullptr) return 1;
    if (!Ensure()) return 0;
    return buffer_->SetFrequency(static_cast<DWORD>(frequency_)) >= 0 ? 1 : 0;
}

void DirectSoundChannel::SetPlayPosition(uint64_t bytes) {
    SoundMgr* manager = device_->GetManager();
    manager->HoldTimer();
    if (static_) {
        // A stopped static channel starts there at its next Play.
        position_ = bytes;
        if (playing_ && buffer_ != nullptr)
            buffer_->SetCurrentPosition(static_cast<DWORD>(bytes));
        else
            startPosition_ = bytes;
        manager->ReleaseTimer();
        return;
    }
    bool wasPlaying = playing_ != 0;
    bool wasPaused = paused_ != 0;
    if (wasPlaying && buffer_ != nullptr) buffer_->Stop();
    position_ = bytes;
    startPosition_ = bytes;
    source_.Seek(bytes);
    if (wasPaused && !wasPlaying && buffer_ != nullptr) {
        endOfData_ = 0;
        tail_ = 0;
        completed_ = 0;
        buffer_->SetCurrentPosition(0);
        FillInitial();
    }
    manager->ReleaseTimer();
    if (wasPlaying && buffer_ != nullptr) {
        // The seek keeps the passes still to play; a Play after Stop starts the full count.
        uint8_t savedLoop = savedLoop_;
        int32_t savedCount = savedLoopCount_;
        uint8_t activeLoop = activeLoop_;
        int32_t activeCount = activeLoopCount_;
        savedLoop_ = activeLoop;
        savedLoopCount_ = activeCount;
        playing_ = 0;
        Play();
        savedLoop_ = savedLoop;
        savedLoopCount_ = savedCount;
    }
}

uint64_t DirectSoundChannel::GetPlayBytes() {
    if (buffer_ == nullptr || !playing_) return position_;
    DWORD play = 0;
    if (buffer_->GetCurrentPosition(&play, nullptr) < 0) return position_;
    if (static_) return play;
    uint32_t ahead = play >= writeCursor_ ? play - writeCursor_ : play + bufferSize_ - writeCursor_;
    return std::min<uint64_t>(position_ + ahead, dataLength_);
}

// ---- 3D -----------------------------------------------------------------------------

int DirectSoundChannel::SetVelocity(float x, float y, float z) {
    if (!want3D_ || !Ensure()) return 0;
    velocity_[0] = x, velocity_[1] = y, velocity_[2] = z;
    return buffer3D_ == nullptr || buffer3D_->SetVelocity(x, y, z, DS3D_IMMEDIATE) >= 0 ? 1 : 0;
}

int DirectSoundChannel::SetPosition3D(float x, float y, float z) {
    if (!want3D_ || !Ensure()) return 0;
    position3D_[0] = x, position3D_[1] = y, position3D_[2] = z;
    return buffer3D_ == nullptr || buffer3D_->SetPosition(x, y, z, DS3D_IMMEDIATE) >= 0 ? 1 : 0;
}

int DirectSoundChannel::SetConeOrientation(float x, float y, float z) {
    if (!want3D_ || !Ensure()) return 0;
    coneOrientation_[0] = x, coneOrientation_[1] = y, coneOrientation_[2] = z;
    return buffer3D_ == nullptr || buffer3D_->SetConeOrientation(x, -y, z, DS3D_IMMEDIATE) >= 0 ? 1
                                                                                                : 0;
}

int DirectSoundChannel::SetConeAngles(int32_t inside, int32_t outside) {
    if (!want3D_ || !Ensure()) return 0;
    coneInside_ = static_cast<float>(inside);
    coneOutside_ = static_cast<float>(outside);
    return buffer3D_ == nullptr ||
                   buffer3D_->SetConeAngles(static_cast<DWORD>(inside), static_cast<DWORD>(outside),
                                            DS3D_IMMEDIATE) >= 0
               ? 1
               : 0;
}

int DirectSoundChannel::SetConeOutsideVolume(int32_t volume) {
    if (!want3D_ || !Ensure()) return 0;
    coneOutsideVolume_ = 10 * volume - 10000;
    return buffer3D_ == nullptr ||
                   buffer3D_->SetConeOutsideVolume(coneOutsideVolume_, DS3D_IMMEDIATE) >= 0
               ? 1
               : 0;
}

int DirectSoundChannel::SetMinMaxDistance(float minimum, float maximum) {
    if (!want3D_ || !Ensure()) return 0;
    minDistance_ = std::clamp(minimum, 1.0f, 1e9f);
    maxDistance_ = std::clamp(maximum, 1.0f, 1e9f);
    if (buffer3D_ == nullptr) return 1;
    if (buffer3D_->SetMaxDistance(maxDistance_, DS3D_IMMEDIATE) < 0) return 0;
    return buffer3D_->SetMinDistance(minDistance_, DS3D_IMMEDIATE) >= 0 ? 1 : 0;
}

int DirectSoundChannel::GetMinMaxDistance(float* minimum, float* maximum) {
    if (!want3D_) return 0;
    *minimum = minDistance_;
    *maximum = maxDistance_;
    return 1;
}
