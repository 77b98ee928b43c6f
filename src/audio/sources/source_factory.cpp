#include "audio/sources/source_factory.h"

#include <memory>
#include <new>

#include "audio/mpeg/mpeg_stream_source.h"
#include "audio/sources/aiff_file_source.h"
#include "audio/sources/riff_walk.h"
#include "audio/sources/wav_file_source.h"
#include "foundation/streams/in_stream.h"

namespace {

// The format tag of the first "fmt " chunk of a RIFF WAVE stream, 0 when none.
uint16_t RiffFormatTag(CInStream& stream) {
    uint16_t tag = 0;
    WalkRiffWave(stream, [&](const RiffChunk& chunk) {
        if (chunk.id != FourCC('f', 'm', 't', ' ')) return true;
        uint8_t raw[2];
        if (chunk.size >= 16 && stream.Read(raw, 2) == kResultOk)
            tag = static_cast<uint16_t>(raw[0] | (raw[1] << 8));
        return false;
    });
    return tag;
}

} // namespace

int CreateSoundSource(CInStream* stream, SoundSourceRef& ref) {
    ref.Reset(nullptr);
    if (stream == nullptr) return kSourceBadFormat;
    std::unique_ptr<SoundSource> source;
    uint16_t tag = RiffFormatTag(*stream);
    if (tag == kWaveFormatPcm || tag == kWaveFormatMsAdpcm)
        source.reset(new (std::nothrow) WavFileSource);
    else if (AiffFileSource::Recognise(*stream))
        source.reset(new (std::nothrow) AiffFileSource);
    else if (MpegStreamSource::Test(stream))
        source.reset(new (std::nothrow) MpegStreamSource);
    else
        return kSourceBadFormat;
    if (!source) return 1;
    int result = source->Open(stream);
    if (result != 0) return result;
    ref.Reset(source.release());
    return 0;
}
