// Sound files come from banks, files and the clipboard: any bytes through the source
// factory either give no source or a source whose reads, seeks and conversions stay inside
// its data and its buffers.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "audio/sources/source_factory.h"
#include "foundation/streams/mem_in_stream.h"

namespace {

void ReadSome(SoundSourceRef& source, uint32_t piece, int rounds) {
    std::vector<uint8_t> buffer(piece);
    uint64_t length = source.GetLength();
    for (int i = 0; i < rounds; ++i) {
        uint32_t got = 0;
        if (source.Read(buffer.data(), piece, &got) != kResultOk) return;
        if (got > piece || source.GetPosition() > length) std::abort();
        if (got < piece) return;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFFF || size < 1) return 0;
    CMemInStream stream;
    stream.Attach(data, static_cast<uint32_t>(size));
    SoundSourceRef source;
    if (CreateSoundSource(&stream, source) != 0) {
        if (source.Get() != nullptr) std::abort();
        return 0;
    }
    // The last byte picks the piece size, a seek and an output format to convert to.
    uint8_t choice = data[size - 1];
    uint32_t piece = 1 + (choice & 0x0F) * 997u;
    ReadSome(source, piece, 64);
    source.Seek(source.GetLength() * (choice >> 4) / 15);
    ReadSome(source, piece, 4);
    const WaveFormat& native = source.Get()->GetNativeFormat();
    static const uint32_t kRates[4] = {8000, 11025, 22050, 44100};
    uint16_t channels = (choice & 1) != 0 ? 2 : 1;
    uint16_t bits = (choice & 2) != 0 ? 16 : 8;
    uint32_t rate = (choice & 0x80) != 0 ? kRates[(choice >> 2) & 3] : native.samplesPerSec;
    if (source.Get()->SetOutputFormat(MakePcmFormat(channels, rate, bits))) {
        source.Rewind();
        ReadSome(source, piece, 64);
    }
    return 0;
}
