// Frames whose headers are valid and whose side information and main data are anything:
// the first bytes choose version, layer, rate, mode and bit rate, the rest fills frame after
// frame. Decoding stays inside the lines, bands, reservoir and buffers.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "audio/mpeg/mpeg_audio_stream.h"
#include "audio/mpeg/mpeg_header.h"
#include "audio/streams/stream_reader.h"
#include "foundation/streams/mem_in_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4 || size > 0x7FFFFFFF) return 0;
    static const uint8_t kVersionBits[3] = {3, 2, 0};
    const int version = data[0] % 3;
    const int layer = version == kMpeg25 ? kLayer3 : (data[0] >> 2) % 3;
    uint8_t header[4];
    header[0] = 0xFF;
    header[1] = static_cast<uint8_t>(0xE0 | (kVersionBits[version] << 3) | ((3 - layer) << 1) |
                                     ((data[0] >> 4) & 1));
    int bitRate = 1 + data[1] % 14;
    header[2] = static_cast<uint8_t>((bitRate << 4) | ((data[1] >> 4) % 3) << 2);
    header[3] = data[2];
    MpegHeader parsed;
    if (!ParseMpegHeader(header, parsed) || parsed.FrameBytes() <= 4) return 0;
    const int frameBytes = parsed.FrameBytes();
    std::vector<uint8_t> file;
    size_t at = 4;
    while (at < size && file.size() < (1u << 20)) {
        file.insert(file.end(), header, header + 4);
        for (int i = 4; i < frameBytes; ++i)
            file.push_back(at < size ? data[at++] : 0);
    }
    CMemInStream memory;
    memory.Attach(file.data(), static_cast<uint32_t>(file.size()));
    StreamReader reader;
    reader.Open(&memory);
    static MpegAudioStream stream;
    int rate = 0;
    bool stereo = false;
    if (stream.Open(&reader, &rate, &stereo, (data[3] & 1) != 0, (data[3] >> 1) % 3, 0) != 0)
        return 0;
    std::vector<uint8_t> buffer(9216 * 3);
    while (stream.Read(buffer.data(), static_cast<int32_t>(buffer.size())) > 0) {}
    stream.Seek(stream.Control(4, 0, 0) / 2);
    stream.Read(buffer.data(), 9216);
    stream.Close();
    return 0;
}
