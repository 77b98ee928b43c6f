// WAV files: PCM, and Microsoft ADPCM decoded to 16-bit PCM in whole blocks.
#pragma once

#include <cstdint>
#include <memory>

#include "audio/sources/ms_adpcm.h"
#include "audio/sources/sound_source.h"

class WavFileSource final : public SoundSource {
public:
    // Compressed bytes read at a time, and room for what they decode to.
    static constexpr uint32_t kCompressedChunk = 16384;
    static constexpr uint32_t kDecodedChunk = 65536;

    WavFileSource() = default;
    ~WavFileSource() override;

    int Open(CInStream* stream) override;
    void Close() override;

    // The format as the file states it (ADPCM before decoding), with its extra bytes.
    const WaveFormat& GetFileFormat() const { return fileFormat_; }

protected:
    void SeekNative(uint64_t bytes) override;
    ResultCode ReadNative(uint8_t* buffer, uint32_t size, uint32_t* count) override;
    uint64_t GetNativeLength() override { return length_; }
    uint64_t GetNativePosition() override { return position_; }

private:
    // 0, or 4 (no RIFF WAVE, a read failed or no data), 5 (the extra bytes), 1 (memory).
    int Parse();
    int OpenAdpcm();
    bool DecodeNextChunk();

    CInStream* stream_ = nullptr;
    WaveFormat fileFormat_;
    std::vector<uint8_t> extra_;
    uint64_t dataOffset_ = 0;
    uint64_t dataLength_ = 0;
    // Output bytes: the data length for PCM, the decoded length for ADPCM.
    uint64_t length_ = 0;
    uint64_t position_ = 0;
    bool opened_ = false;

    MsAdpcmLayout adpcm_;
    uint32_t blockBytes_ = 0;
    std::unique_ptr<uint8_t[]> compressed_;
    std::unique_ptr<uint8_t[]> decoded_;
    uint32_t decodedCount_ = 0;
    uint32_t decodedIndex_ = 0;
    uint64_t compressedRead_ = 0;
};
