#include "audio/sources/aiff_file_source.h"

#include <algorithm>
#include <cmath>

#include "audio/sources/riff_walk.h"
#include "foundation/streams/in_stream.h"

namespace {

uint32_t Be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

uint16_t Be16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

constexpr uint32_t Id(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) << 24 | uint32_t(uint8_t(b)) << 16 | uint32_t(uint8_t(c)) << 8 |
           uint32_t(uint8_t(d));
}

struct AiffLayout {
    WaveFormat format;
    uint32_t frames = 0;
    uint64_t dataOffset = 0;
    uint64_t dataLength = 0;
};

bool ReadAt(CInStream& stream, uint64_t offset, void* buffer, uint32_t count) {
    if (offset + count > stream.GetLength()) return false;
    if (stream.Seek(static_cast<int32_t>(offset), 0) != offset) return false;
    return stream.Read(buffer, count) == kResultOk;
}

// Walks the FORM's chunks (even-padded, 64-bit offsets); false unless COMM and SSND were
// found with a plain sample encoding.
bool ParseAiff(CInStream& stream, AiffLayout& layout) {
    uint8_t header[12];
    if (!ReadAt(stream, 0, header, sizeof header) || Be32(header) != Id('F', 'O', 'R', 'M'))
        return false;
    uint32_t type = Be32(header + 8);
    if (type != Id('A', 'I', 'F', 'F') && type != Id('A', 'I', 'F', 'C')) return false;
    const bool compressedForm = type == Id('A', 'I', 'F', 'C');
    uint64_t end = std::min<uint64_t>(8 + uint64_t(Be32(header + 4)), stream.GetLength());
    bool haveCommon = false;
    bool haveSound = false;
    uint32_t bits = 0;
    uint32_t channels = 0;
    uint32_t rate = 0;
    uint64_t soundSize = 0;
    for (uint64_t offset = 12; offset + 8 <= end && !(haveCommon && haveSound);) {
        uint8_t chunk[8];
        if (!ReadAt(stream, offset, chunk, sizeof chunk)) return false;
        uint32_t id = Be32(chunk);
        uint64_t size = Be32(chunk + 4);
        uint64_t body = offset + 8;
        uint64_t bodyEnd = std::min(body + size, end);
        if (id == Id('C', 'O', 'M', 'M') && !haveCommon) {
            uint8_t common[22];
            uint32_t need = compressedForm ? 22 : 18;
            if (size < need || !ReadAt(stream, body, common, need)) return false;
            if (compressedForm && Be32(common + 18) != Id('N', 'O', 'N', 'E')) return false;
            channels = Be16(common);
            layout.frames = Be32(common + 2);
            bits = Be16(common + 6);
            rate = ExtendedToRate(common + 8);
            haveCommon = true;
        } else if (id == Id('S', 'S', 'N', 'D') && !haveSound) {
            uint8_t sound[8];
            if (size < 8 || !ReadAt(stream, body, sound, sizeof sound)) return false;
            uint64_t dataStart = body + 8 + Be32(sound);
            if (dataStart > bodyEnd) return false;
            layout.dataOffset = dataStart;
            soundSize = bodyEnd - dataStart;
            haveSound = true;
        }
        offset = body + size + (size & 1);
    }
    if (!haveCommon || !haveSound || channels > 0xFFFF || bits > 0xFFFF) return false;
    layout.format =
        MakePcmFormat(static_cast<uint16_t>(channels), rate, static_cast<uint16_t>(bits));
    if (!IsPlayablePcm(layout.format)) return false;
    uint64_t align = layout.format.blockAlign;
    layout.dataLength = std::min<uint64_t>(soundSize, uint64_t(layout.frames) * align);
    layout.dataLength -= layout.dataLength % align;
    return true;
}

} // namespace

uint32_t ExtendedToRate(const uint8_t bytes[10]) {
    int exponent = ((bytes[0] & 0x7F) << 8 | bytes[1]) - 16383 - 63;
    uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i)
        mantissa = mantissa << 8 | bytes[2 + i];
    if ((bytes[0] & 0x80) != 0 || mantissa == 0 || exponent > 0 || exponent < -128) return 0;
    double value = std::ldexp(static_cast<double>(mantissa), exponent);
    if (!(value >= 1.0 && value < 4294967295.0)) return 0;
    return static_cast<uint32_t>(std::lround(value));
}

AiffFileSource::~AiffFileSource() {
    Close();
}

bool AiffFileSource::Recognise(CInStream& stream) {
    AiffLayout layout;
    return ParseAiff(stream, layout);
}

int AiffFileSource::Open(CInStream* stream) {
    Close();
    AiffLayout layout;
    if (stream == nullptr || !ParseAiff(*stream, layout)) return kSourceBadFormat;
    stream_ = stream;
    dataOffset_ = layout.dataOffset;
    dataLength_ = layout.dataLength;
    SetNativeFormat(layout.format);
    opened_ = true;
    SeekNative(0);
    return 0;
}

void AiffFileSource::Close() {
    stream_ = nullptr;
    opened_ = false;
    dataOffset_ = dataLength_ = position_ = 0;
}

void AiffFileSource::SeekNative(uint64_t bytes) {
    if (!opened_) return;
    uint32_t align = GetNativeFormat().blockAlign;
    bytes = std::min(bytes, dataLength_);
    position_ = bytes - bytes % align;
    stream_->Seek(static_cast<int32_t>(dataOffset_ + position_), 0);
}

ResultCode AiffFileSource::ReadNative(uint8_t* buffer, uint32_t size, uint32_t* count) {
    *count = 0;
    if (!opened_) return kResultReadError;
    const WaveFormat& format = GetNativeFormat();
    uint64_t want = std::min<uint64_t>(size, dataLength_ - position_);
    want -= want % format.blockAlign;
    if (want == 0) return kResultOk;
    uint32_t got = 0;
    ResultCode result = stream_->ReadCounted(buffer, static_cast<uint32_t>(want), &got);
    got = std::min<uint32_t>(got, static_cast<uint32_t>(want));
    uint32_t partial = got % format.blockAlign;
    got -= partial;
    if (format.bitsPerSample == 16) {
        for (uint32_t i = 0; i + 1 < got; i += 2)
            std::swap(buffer[i], buffer[i + 1]);
    } else {
        for (uint32_t i = 0; i < got; ++i)
            buffer[i] = static_cast<uint8_t>(buffer[i] + 128);
    }
    position_ += got;
    *count = got;
    if (partial != 0) stream_->Seek(static_cast<int32_t>(dataOffset_ + position_), 0);
    return result == kResultEndOfData ? kResultOk : result;
}
