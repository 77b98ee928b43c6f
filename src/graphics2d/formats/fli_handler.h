// FLI and FLC animations (8 bits per pixel, one 256-colour palette), read frame by frame.
// Each frame changes the picture already in the caller's buffer, so the caller keeps the
// buffer between frames. After the last frame a following read decodes the ring frame
// (the change from the last picture back to the first), when the file has one, and the
// animation goes on from the second frame.
//
// Every chunk must lie inside the file and every sub-chunk inside its frame; the decoders
// write only inside the picture and read only inside their sub-chunk.
#pragma once

#include "graphics2d/formats/image_format_handler.h"

class CFLIHandler : public CImageFormatHandler {
public:
    CFLIHandler();

    CImageFormatHandler* NewInstance() override;
    uint32_t GetFormatId() override;
    uint32_t GetWriteDepths() override;
    int CanRead(CInStream& stream, uint32_t magic) override;
    int IsAnimationFormat() override { return 1; }
    int CanSeekFrames() override { return 1; }
    ImageResult Open(CInStream& stream) override;
    ImageResult ReadFrame(CInStream& stream, uint8_t* dest, int32_t pitch, uint8_t* mask) override;
    void GetFrameRect(RECT* rect) override;
    void RewindFrames() override;

private:
    // Sub-chunk types that change the picture.
    static constexpr uint16_t kWordDelta = 7;
    static constexpr uint16_t kByteDelta = 12;
    static constexpr uint16_t kBlack = 13;
    static constexpr uint16_t kByteRun = 15;
    static constexpr uint16_t kLiteral = 16;

    // Where a frame's changes go: the caller's rows and, when the output format needs a
    // conversion, one row of scratch space that runs are built in before converting.
    struct FrameTarget {
        uint8_t* dest;
        int32_t pitch;
        uint8_t* scratch;
    };

    ImageResult FindPalette(CInStream& stream, uint32_t position, uint32_t limit);
    void ReadColors(const uint8_t* data, uint32_t size, int shift);
    void DecodeSubChunk(const FrameTarget& target, uint16_t type, const uint8_t* data,
                        uint32_t size);
    void DecodeWordDelta(const FrameTarget& target, const uint8_t* data, uint32_t size);
    void DecodeByteDelta(const FrameTarget& target, const uint8_t* data, uint32_t size);
    void DecodeBlack(const FrameTarget& target);
    void DecodeByteRun(const FrameTarget& target, const uint8_t* data, uint32_t size);
    void DecodeLiteral(const FrameTarget& target, const uint8_t* data, uint32_t size);
    // Runs of pixels on row y from column x on, clipped to the picture.
    void PutRun(const FrameTarget& target, int64_t y, int64_t x, const uint8_t* source,
                int64_t count);
    // count pixels alternating first and second (equal for a plain run).
    void FillRun(const FrameTarget& target, int64_t y, int64_t x, uint8_t first, uint8_t second,
                 int64_t count);

    uint32_t firstFrame_ = 0;
    uint32_t secondFrame_ = 0;
    // 0 while nothing is open.
    uint32_t nextFrame_ = 0;
    RECT frameRect_{};
};
