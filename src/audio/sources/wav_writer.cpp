#include "audio/sources/wav_writer.h"

#include <memory>
#include <new>

#include "audio/sources/sound_source.h"
#include "foundation/streams/out_stream.h"

namespace {

constexpr uint32_t kCopyPiece = 65536;

void Put16(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* p, uint32_t value) {
    Put16(p, value & 0xFFFF);
    Put16(p + 2, value >> 16);
}

} // namespace

uint64_t GetWavFileSize(SoundSource& source) {
    return source.GetLength() + 44;
}

int WriteWavFile(COutStream& out, SoundSource& source) {
    uint64_t length = source.GetLength();
    if (length > 0xFFFFFFFFull - 36) return 0;
    const WaveFormat& f = source.GetOutputFormat();
    uint8_t header[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    Put32(header + 4, static_cast<uint32_t>(length + 36));
    Put32(header + 16, 16);
    Put16(header + 20, f.formatTag);
    Put16(header + 22, f.channels);
    Put32(header + 24, f.samplesPerSec);
    Put32(header + 28, f.avgBytesPerSec);
    Put16(header + 32, f.blockAlign);
    Put16(header + 34, f.bitsPerSample);
    header[36] = 'd';
    header[37] = 'a';
    header[38] = 't';
    header[39] = 'a';
    Put32(header + 40, static_cast<uint32_t>(length));
    if (out.Write(header, sizeof header) != kResultOk) return 0;
    std::unique_ptr<uint8_t[]> piece(new (std::nothrow) uint8_t[kCopyPiece]);
    if (!piece) return 0;
    source.Rewind();
    uint64_t copied = 0;
    while (true) {
        uint32_t got = 0;
        if (source.Read(piece.get(), kCopyPiece, &got) != kResultOk) return 0;
        if (copied + got > length) return 0;
        if (got > 0 && out.Write(piece.get(), got) != kResultOk) return 0;
        copied += got;
        if (got < kCopyPiece) break;
    }
    return copied == length ? 1 : 0;
}
