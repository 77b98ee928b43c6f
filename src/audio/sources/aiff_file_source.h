// AIFF files, and AIFC files without compression: big-endian signed samples delivered as
// the little-endian (16-bit) and unsigned (8-bit) PCM of WAV data.
#pragma once

#include <cstdint>
#include <vector>

#include "audio/sources/sound_source.h"

class AiffFileSource final : public SoundSource {
public:
    AiffFileSource() = default;
    ~AiffFileSource() override;

    int Open(CInStream* stream) override;
    void Close() override;

    // Whether the stream holds a FORM AIFF, or AIFC with compression "NONE", with its
    // COMM and SSND chunks.
    static bool Recognise(CInStream& stream);

protected:
    void SeekNative(uint64_t bytes) override;
    ResultCode ReadNative(uint8_t* buffer, uint32_t size, uint32_t* count) override;
    uint64_t GetNativeLength() override { return dataLength_; }
    uint64_t GetNativePosition() override { return position_; }

private:
    CInStream* stream_ = nullptr;
    uint64_t dataOffset_ = 0;
    uint64_t dataLength_ = 0;
    uint64_t position_ = 0;
    bool opened_ = false;
};

// The sample rate of an 80-bit extended float, 0 for a value no sound could have.
uint32_t ExtendedToRate(const uint8_t bytes[10]);
