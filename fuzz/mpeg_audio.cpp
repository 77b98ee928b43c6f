// MP3 and MP2 files come from banks, files and the clipboard: any bytes either give no MPEG
// stream or one whose reads and seeks stay inside its blocks and buffers, at every rate
// reduction and channel setting, and through the source factory as a sound source.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "audio/mpeg/mpeg_audio_stream.h"
#include "audio/sources/source_factory.h"
#include "audio/streams/stream_reader.h"
#include "foundation/streams/mem_in_stream.h"

namespace {

void ThroughStream(const uint8_t* data, size_t size, uint8_t choice) {
    CMemInStream memory;
    memory.Attach(data, static_cast<uint32_t>(size));
    StreamReader reader;
    reader.Open(&memory);
    static MpegAudioStream stream;
    static const int kChannels[4] = {0, 1, 2, -2};
    int rate = 0;
    bool stereo = false;
    if (stream.Open(&reader, &rate, &stereo, (choice & 1) != 0, (choice >> 1) & 3,
                    kChannels[(choice >> 3) & 3]) != 0)
        return;
    if (rate <= 0 || stream.BlockBytes() <= 0) std::abort();
    if ((choice & 0x20) != 0) stream.Control(MpegAudioStream::kControlSetFastSeek, 0, 1);
    std::vector<uint8_t> buffer(20000);
    const int64_t length = stream.Control(4, 0, 0);
    for (int i = 0; i < 40; ++i) {
        int32_t piece = 1 + (i * 7919 + choice * 31) % 20000;
        int32_t got = stream.Read(buffer.data(), piece);
        if (got < 0 || got > piece) std::abort();
        if (got < piece) break;
    }
    stream.Seek(length * (choice >> 6) / 3);
    stream.Read(buffer.data(), 5000);
    stream.Seek(length / 2 + 17);
    stream.Read(buffer.data(), 20000);
    stream.Close();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 0x7FFFFFFF) return 0;
    const uint8_t choice = data[size - 1];
    ThroughStream(data, size, choice);
    CMemInStream memory;
    memory.Attach(data, static_cast<uint32_t>(size));
    SoundSourceRef source;
    if (CreateSoundSource(&memory, source) != 0) return 0;
    std::vector<uint8_t> buffer(4096);
    uint32_t got = 0;
    for (int i = 0; i < 16; ++i)
        if (source.Read(buffer.data(), 4096, &got) != 0 || got < 4096) break;
    source.Seek(source.GetLength() / 3);
    source.Read(buffer.data(), 4096, &got);
    return 0;
}
