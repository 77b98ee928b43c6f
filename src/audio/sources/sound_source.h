// A sound source delivers PCM bytes in its output format from an input stream. Sources
// read their native PCM; when the output format differs the base converts, and lengths
// and positions are then in bytes of output.
#pragma once

#include <cstdint>
#include <memory>

#include "audio/sources/pcm_converters.h"
#include "audio/sources/wave_format.h"
#include "foundation/memory/result_codes.h"

class CInStream;

class SoundSource {
public:
    SoundSource() = default;
    SoundSource(const SoundSource&) = delete;
    SoundSource& operator=(const SoundSource&) = delete;
    virtual ~SoundSource();

    virtual void Rewind();
    virtual void Seek(uint64_t bytes);
    // Up to `size` bytes of output; a short count means the data ended.
    virtual ResultCode Read(void* buffer, uint32_t size, uint32_t* count);
    virtual uint64_t GetLength();
    virtual uint64_t GetPosition();
    // 0, or kSourceBadFormat for data this source cannot play.
    virtual int Open(CInStream* stream) = 0;
    virtual void Close() = 0;
    // False when no memory was had for the converter; the output stays native then.
    virtual bool SetOutputFormat(const WaveFormat& format);
    const WaveFormat& GetOutputFormat() const { return output_; }
    const WaveFormat& GetNativeFormat() const { return native_; }

protected:
    virtual void SeekNative(uint64_t bytes) = 0;
    virtual ResultCode ReadNative(uint8_t* buffer, uint32_t size, uint32_t* count) = 0;
    virtual uint64_t GetNativeLength() = 0;
    virtual uint64_t GetNativePosition() = 0;

    void SetNativeFormat(const WaveFormat& format);

private:
    ResultCode ReadConverted(uint8_t* buffer, uint32_t size, uint32_t* count);
    uint32_t ConvertFrames(uint32_t frames, uint8_t* destination);

    bool converting_ = false;
    WaveFormat output_;
    WaveFormat native_;
    double ratio_ = 1.0;
    std::unique_ptr<uint8_t[]> converterBuffer_;
    uint32_t converterSize_ = 0;
    uint32_t rateUp_ = 1;
    uint32_t rateDown_ = 1;
    PcmConverter converter_ = nullptr;
    PcmCopier copier_ = nullptr;
    // Converted bytes of a group that did not fit the last read, served first by the next.
    std::unique_ptr<uint8_t[]> carry_;
    uint32_t carryCount_ = 0;
    uint32_t carryIndex_ = 0;
};

// Holds the source of a channel; answers 0 (-1 for Read) without one.
class SoundSourceRef {
public:
    SoundSource* Get() const { return source_.get(); }
    void Reset(SoundSource* source) { source_.reset(source); }

    void Rewind();
    void Seek(uint64_t bytes);
    ResultCode Read(void* buffer, uint32_t size, uint32_t* count);
    uint64_t GetLength();
    uint64_t GetPosition();

private:
    std::unique_ptr<SoundSource> source_;
};
