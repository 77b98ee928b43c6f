#include "audio/sources/wav_file_source.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "audio/sources/riff_walk.h"
#include "foundation/streams/in_stream.h"

namespace {

constexpr uint32_t kMaxAdpcmBlockAlign = 16384;

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

WavFileSource::~WavFileSource() {
    Close();
}

int WavFileSource::Parse() {
    bool haveFormat = false;
    bool haveData = false;
    int result = 0;
    bool riff = WalkRiffWave(*stream_, [&](const RiffChunk& chunk) {
        if (chunk.id == FourCC('f', 'm', 't', ' ') && !haveFormat) {
            uint8_t raw[16];
            if (chunk.size < 16 || stream_->Read(raw, 16) != kResultOk) {
                result = 4;
                return false;
            }
            fileFormat_.formatTag = Le16(raw);
            fileFormat_.channels = Le16(raw + 2);
            fileFormat_.samplesPerSec = Le32(raw + 4);
            fileFormat_.avgBytesPerSec = Le32(raw + 8);
            fileFormat_.blockAlign = Le16(raw + 12);
            fileFormat_.bitsPerSample = Le16(raw + 14);
            fileFormat_.extraSize = 0;
            extra_.clear();
            if (fileFormat_.formatTag != kWaveFormatPcm) {
                uint8_t sizeBytes[2];
                if (chunk.size < 18 || stream_->Read(sizeBytes, 2) != kResultOk) {
                    result = 5;
                    return false;
                }
                uint16_t extraSize = Le16(sizeBytes);
                if (extraSize > chunk.size - 18) {
                    result = 5;
                    return false;
                }
                extra_.resize(extraSize);
                if (extraSize > 0 && stream_->Read(extra_.data(), extraSize) != kResultOk) {
                    result = 5;
                    return false;
                }
                fileFormat_.extraSize = extraSize;
            }
            haveFormat = true;
        } else if (chunk.id == FourCC('d', 'a', 't', 'a') && !haveData) {
            dataOffset_ = chunk.offset;
            uint64_t available =
                stream_->GetLength() - std::min<uint64_t>(chunk.offset, stream_->GetLength());
            dataLength_ = std::min<uint64_t>(chunk.size, available);
            haveData = true;
        }
        return !(haveFormat && haveData);
    });
    if (!riff) return 4;
    if (result != 0) return result;
    return haveFormat && haveData ? 0 : 4;
}

int WavFileSource::Open(CInStream* stream) {
    Close();
    if (stream == nullptr) return kSourceBadFormat;
    stream_ = stream;
    if (Parse() != 0) {
        Close();
        return kSourceBadFormat;
    }
    if (fileFormat_.formatTag == kWaveFormatMsAdpcm) {
        int result = OpenAdpcm();
        if (result != 0) {
            Close();
            return result;
        }
    } else {
        if (!IsPlayablePcm(fileFormat_)) {
            Close();
            return kSourceBadFormat;
        }
        WaveFormat native = fileFormat_;
        native.extraSize = 0;
        SetNativeFormat(native);
        dataLength_ -= dataLength_ % fileFormat_.blockAlign;
        length_ = dataLength_;
    }
    opened_ = true;
    SeekNative(0);
    return 0;
}

int WavFileSource::OpenAdpcm() {
    const WaveFormat& f = fileFormat_;
    if (f.channels < 1 || f.channels > 2 || f.samplesPerSec < 100 || f.samplesPerSec > 200000 ||
        f.bitsPerSample != 4)
        return kSourceBadFormat;
    if (f.blockAlign <= 7u * f.channels || f.blockAlign > kMaxAdpcmBlockAlign)
        return kSourceBadFormat;
    if (extra_.size() < 4) return kSourceBadFormat;
    uint32_t pairs = Le16(extra_.data() + 2);
    if (pairs == 0 || extra_.size() < 4 + 4 * uint64_t(pairs)) return kSourceBadFormat;
    adpcm_.channels = f.channels;
    adpcm_.blockAlign = f.blockAlign;
    adpcm_.coefficients.resize(2 * pairs);
    for (uint32_t i = 0; i < 2 * pairs; ++i)
        adpcm_.coefficients[i] = static_cast<int16_t>(Le16(extra_.data() + 4 + 2 * i));
    blockBytes_ = MsAdpcmSamplesPerBlock(f.blockAlign, f.channels) * f.channels * 2u;
    compressed_.reset(new (std::nothrow) uint8_t[kCompressedChunk]);
    decoded_.reset(new (std::nothrow) uint8_t[kDecodedChunk]);
    if (!compressed_ || !decoded_) return 1;
    SetNativeFormat(MakePcmFormat(f.channels, f.samplesPerSec, 16));
    length_ = dataLength_ / f.blockAlign * blockBytes_;
    return 0;
}

void WavFileSource::Close() {
    stream_ = nullptr;
    opened_ = false;
    compressed_.reset();
    decoded_.reset();
    dataOffset_ = dataLength_ = length_ = position_ = 0;
    decodedCount_ = decodedIndex_ = 0;
    compressedRead_ = 0;
}

void WavFileSource::SeekNative(uint64_t bytes) {
    if (!opened_) return;
    bytes = std::min(bytes, length_);
    if (fileFormat_.formatTag != kWaveFormatMsAdpcm) {
        position_ = bytes - bytes % fileFormat_.blockAlign;
        stream_->Seek(static_cast<int32_t>(dataOffset_ + position_), 0);
        return;
    }
    uint64_t block = bytes / blockBytes_;
    compressedRead_ = block * fileFormat_.blockAlign;
    position_ = block * blockBytes_;
    decodedCount_ = decodedIndex_ = 0;
    stream_->Seek(static_cast<int32_t>(dataOffset_ + compressedRead_), 0);
    uint64_t skip = bytes - position_;
    skip -= skip % 2;
    if (skip > 0 && DecodeNextChunk()) {
        decodedIndex_ = static_cast<uint32_t>(std::min<uint64_t>(skip, decodedCount_));
        position_ += decodedIndex_;
    }
}

// Reads the next whole blocks and decodes them; false when no more data decodes.
bool WavFileSource::DecodeNextChunk() {
    const uint32_t align = fileFormat_.blockAlign;
    while (compressedRead_ + align <= dataLength_) {
        uint64_t want =
            std::min<uint64_t>(kCompressedChunk / align * align, dataLength_ - compressedRead_);
        want -= want % align;
        uint32_t got = 0;
        ResultCode result =
            stream_->ReadCounted(compressed_.get(), static_cast<uint32_t>(want), &got);
        if (result != kResultOk && result != kResultEndOfData) return false;
        got = std::min<uint32_t>(got, static_cast<uint32_t>(want));
        compressedRead_ += got;
        decodedIndex_ = 0;
        decodedCount_ =
            DecodeMsAdpcm(adpcm_, compressed_.get(), got, decoded_.get(), kDecodedChunk);
        if (got < want) compressedRead_ = dataLength_;
        if (decodedCount_ > 0) return true;
    }
    return false;
}

ResultCode WavFileSource::ReadNative(uint8_t* buffer, uint32_t size, uint32_t* count) {
    *count = 0;
    if (!opened_) return kResultReadError;
    if (fileFormat_.formatTag != kWaveFormatMsAdpcm) {
        auto want = static_cast<uint32_t>(std::min<uint64_t>(size, length_ - position_));
        if (want == 0) return kResultOk;
        uint32_t got = 0;
        ResultCode result = stream_->ReadCounted(buffer, want, &got);
        got = std::min(got, want);
        position_ += got;
        *count = got;
        return result == kResultEndOfData ? kResultOk : result;
    }
    while (*count < size && position_ < length_) {
        if (decodedIndex_ >= decodedCount_ && !DecodeNextChunk()) break;
        uint32_t piece = std::min(size - *count, decodedCount_ - decodedIndex_);
        std::memcpy(buffer + *count, decoded_.get() + decodedIndex_, piece);
        decodedIndex_ += piece;
        *count += piece;
        position_ += piece;
    }
    return kResultOk;
}
