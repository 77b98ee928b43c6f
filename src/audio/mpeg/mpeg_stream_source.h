// MP3 and MP2 files (MPEG-1, 2 and 2.5 audio of any layer) as a sound source of 16-bit PCM,
// tried last by the source factory.
#pragma once

#include <cstdint>

#include "audio/mpeg/mpeg_audio_stream.h"
#include "audio/sources/sound_source.h"
#include "audio/streams/stream_reader.h"

class CInStream;

class MpegStreamSource final : public SoundSource {
public:
    MpegStreamSource() = default;
    ~MpegStreamSource() override;

    // Whether the stream opens as MPEG audio (its first block decodes).
    static bool Test(CInStream* stream);

    int Open(CInStream* stream) override;
    void Close() override;

protected:
    void SeekNative(uint64_t bytes) override;
    ResultCode ReadNative(uint8_t* buffer, uint32_t size, uint32_t* count) override;
    uint64_t GetNativeLength() override;
    uint64_t GetNativePosition() override;

private:
    StreamReader reader_;
    MpegAudioStream mpeg_;
    CInStream* stream_ = nullptr;
    bool opened_ = false;
};
