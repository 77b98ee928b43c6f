#include "audio/sources/sound_source.h"

#include <algorithm>
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
    auto* buffer = new (std::nothrow) uint8_t[size];
    if (buffer == nullptr || index < 0) {
        delete[] buffer;
        output_ = old;
        return false;
    }
    converterBuffer_.reset(buffer);
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
    SeekNative(0);
}

void SoundSource::Seek(uint64_t bytes) {
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

// Reads whole native frames in pieces of the converter buffer; the count is what the
// converter wrote, which never passes `size` even where the rates are no whole multiple.
ResultCode SoundSource::ReadConverted(uint8_t* buffer, uint32_t size, uint32_t* count) {
    uint32_t inAlign = native_.blockAlign;
    uint32_t outAlign = output_.blockAlign;
    while (true) {
        uint32_t outFrames = (size - *count) / outAlign;
        uint32_t groups = outFrames / rateUp_;
        uint64_t frames = uint64_t(groups) * rateDown_;
        frames = std::min<uint64_t>(frames, converterSize_ / inAlign);
        if (frames == 0) return kResultOk;
        uint32_t got = 0;
        ResultCode result =
            ReadNative(converterBuffer_.get(), static_cast<uint32_t>(frames * inAlign), &got);
        if (result != kResultOk) return result;
        uint32_t gotFrames = got / inAlign;
        uint32_t written = rateUp_ == 1 && rateDown_ == 1
                               ? copier_(converterBuffer_.get(), buffer + *count, gotFrames)
                               : converter_(converterBuffer_.get(), buffer + *count, gotFrames,
                                            rateDown_, rateUp_);
        *count += written * outAlign;
        if (gotFrames < frames) return kResultOk;
    }
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
