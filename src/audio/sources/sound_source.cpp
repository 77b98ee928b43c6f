#include "audio/sources/sound_source.h"

#include <algorithm>
#include <cstring>
#include <new>

SoundSource::~SoundSource() = default;

void SoundSource::SetNativeFormat(const WaveFormat& format) {
    native_ = format;
    output_ = format;
    converting_ = false;
    ratio_ = 1.0;
}

bool SoundSource::SetOutputFormat(const WaveFormat& format) {
    WaveFormat old = output_;
    output_ = format;
    converting_ = false;
    ratio_ = 1.0;
    if (format.channels == native_.channels && format.samplesPerSec == native_.samplesPerSec &&
        format.bitsPerSample == native_.bitsPerSample && format.blockAlign == native_.blockAlign)
        return true;
    if (!IsPlayablePcm(format) || !IsPlayablePcm(native_)) {
        output_ = old;
        return false;
    }
    int index = PcmConverterIndex(PcmKind(native_.bitsPerSample, native_.channels),
                                  PcmKind(format.bitsPerSample, format.channels));
    uint64_t size = StreamBufferSize(native_);
    uint32_t up = format.samplesPerSec > native_.samplesPerSec
                      ? format.samplesPerSec / native_.samplesPerSec
                      : 1;
    auto* buffer = new (std::nothrow) uint8_t[size];
    auto* carry = new (std::nothrow) uint8_t[uint64_t(up) * format.blockAlign];
    if (buffer == nullptr || carry == nullptr || index < 0) {
        delete[] buffer;
        delete[] carry;
        output_ = old;
        return false;
    }
    converterBuffer_.reset(buffer);
    carry_.reset(carry);
    carryCount_ = carryIndex_ = 0;
    converterSize_ = static_cast<uint32_t>(size);
    converter_ = GetPcmConverter(index);
    copier_ = GetPcmCopier(index);
    rateUp_ = rateDown_ = 1;
    if (format.samplesPerSec > native_.samplesPerSec)
        rateUp_ = format.samplesPerSec / native_.samplesPerSec;
    else if (format.samplesPerSec < native_.samplesPerSec)
        rateDown_ = native_.samplesPerSec / format.samplesPerSec;
    ratio_ = double(format.avgBytesPerSec) / double(native_.avgBytesPerSec);
    converting_ = true;
    return true;
}

void SoundSource::Rewind() {
    carryCount_ = carryIndex_ = 0;
    SeekNative(0);
}

void SoundSource::Seek(uint64_t bytes) {
    carryCount_ = carryIndex_ = 0;
    if (converting_) bytes = static_cast<uint64_t>(double(bytes) / ratio_);
    SeekNative(std::min(bytes, GetNativeLength()));
}

uint64_t SoundSource::GetLength() {
    uint64_t length = GetNativeLength();
    return converting_ ? static_cast<uint64_t>(double(length) * ratio_) : length;
}

uint64_t SoundSource::GetPosition() {
    uint64_t position = GetNativePosition();
    return converting_ ? static_cast<uint64_t>(double(position) * ratio_) : position;
}

ResultCode SoundSource::Read(void* buffer, uint32_t size, uint32_t* count) {
    *count = 0;
    if (!converting_) return ReadNative(static_cast<uint8_t*>(buffer), size, count);
    return ReadConverted(static_cast<uint8_t*>(buffer), size, count);
}

uint32_t SoundSource::ConvertFrames(uint32_t frames, uint8_t* destination) {
    if (rateUp_ == 1 && rateDown_ == 1) return copier_(converterBuffer_.get(), destination, frames);
    return converter_(converterBuffer_.get(), destination, frames, rateDown_, rateUp_);
}

// Reads whole native frames in pieces of the converter buffer; the count never passes
// `size`, and a group of converted frames that does not fit waits for the next read, so
// only the end of the data gives a short count.
ResultCode SoundSource::ReadConverted(uint8_t* buffer, uint32_t size, uint32_t* count) {
    const uint32_t inAlign = native_.blockAlign;
    const uint32_t outAlign = output_.blockAlign;
    while (*count < size) {
        if (carryIndex_ < carryCount_) {
            uint32_t piece = std::min(size - *count, carryCount_ - carryIndex_);
            std::memcpy(buffer + *count, carry_.get() + carryIndex_, piece);
            carryIndex_ += piece;
            *count += piece;
            continue;
        }
        uint32_t groups = (size - *count) / outAlign / rateUp_;
        uint64_t frames = std::min<uint64_t>(uint64_t(std::max(groups, 1u)) * rateDown_,
                                             converterSize_ / inAlign);
        uint32_t got = 0;
        ResultCode result =
            ReadNative(converterBuffer_.get(), static_cast<uint32_t>(frames * inAlign), &got);
        if (result != kResultOk) return result;
        uint32_t gotFrames = got / inAlign;
        if (groups == 0) {
            carryCount_ = ConvertFrames(gotFrames, carry_.get()) * outAlign;
            carryIndex_ = 0;
        } else {
            *count += ConvertFrames(gotFrames, buffer + *count) * outAlign;
        }
        if (gotFrames < frames) {
            if (groups == 0 && carryCount_ > 0) continue;
            break;
        }
    }
    if (carryIndex_ >= carryCount_) carryCount_ = carryIndex_ = 0;
    return kResultOk;
}

void SoundSourceRef::Rewind() {
    if (source_) source_->Rewind();
}

void SoundSourceRef::Seek(uint64_t bytes) {
    if (source_) source_->Seek(bytes);
}

ResultCode SoundSourceRef::Read(void* buffer, uint32_t size, uint32_t* count) {
    *count = 0;
    return source_ ? source_->Read(buffer, size, count) : static_cast<ResultCode>(-1);
}

uint64_t SoundSourceRef::GetLength() {
    return source_ ? source_->GetLength() : 0;
}

uint64_t SoundSourceRef::GetPosition() {
    return source_ ? source_->GetPosition() : 0;
}
