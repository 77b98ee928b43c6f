// The player's own animation format: a header, optional user data, options and palette,
// then frames, each a full image or a rectangular change against the frame before in a
// run-length code of skips and copied pixels, optionally zlib-packed. The handler reads
// frames one after another into the caller's buffer and writes animations frame by frame,
// finding the changes itself.
//
// Reading trusts nothing in the file: every chunk lies inside the file, a frame's
// rectangle inside the picture, every code token inside the rectangle and the frame data,
// and a packed frame unpacks to exactly its declared size. A frame that breaks a rule
// leaves the caller's picture as it was.
#pragma once

#include "foundation/streams/out_stream.h"
#include "graphics2d/formats/image_format_handler.h"

class CANMZHandler : public CImageFormatHandler {
public:
    CANMZHandler();
    ~CANMZHandler() override;

    CImageFormatHandler* NewInstance() override;
    uint32_t GetFormatId() override;
    void SetQuality(int quality) override;
    int CanRead(CInStream& stream, uint32_t magic) override;
    int IsAnimationFormat() override { return 1; }
    int CanWriteAnimation() override { return 1; }
    int CanSeekFrames() override { return 1; }
    ImageResult Open(CInStream& stream) override;
    ImageResult ReadFrame(CInStream& stream, uint8_t* dest, int32_t pitch, uint8_t* mask) override;
    void EndWrite(COutStream& stream) override;
    void GetFrameRect(RECT* rect) override;
    const void* GetUserData() override { return userData_; }
    uint32_t GetUserDataSize() override { return userDataSize_; }
    uint32_t GetFrameDelay(int frame) override;
    uint32_t GetAnimOption1() override { return option1_; }
    uint32_t GetAnimOption2() override { return option2_; }
    void RewindFrames() override;
    ImageResult BeginWrite(COutStream& stream, int32_t width, int32_t height, int depth,
                           int frameCount, uint32_t defaultDelay, uint32_t option1,
                           uint32_t option2, const void* userData, uint32_t userDataSize) override;
    ImageResult WriteFrame(COutStream& stream, const uint8_t* previous, const uint8_t* image,
                           int32_t width, int32_t height, int32_t pitch, int depth,
                           const ImagePalette* palette, uint32_t delay, uint32_t flags) override;
    void EndWriteFrames(COutStream& stream, uint32_t delay) override;

private:
    struct FrameHeader {
        uint32_t delay;
        uint32_t flags;
        int32_t x;
        int32_t y;
        int32_t w;
        int32_t h;
        uint32_t unpackedSize;
    };

    ImageResult ReadHeaderChunks(CInStream& stream, uint32_t position);
    ImageResult ReadPaletteChunk(CInStream& stream, uint32_t length);
    ImageResult ReadFrameData(CInStream& stream, uint32_t stored, uint32_t unpacked,
                              uint8_t** data);
    // Runs the change code over the frame rectangle; with a null dest it only checks that
    // every token fits. False for a code that breaks the bounds.
    bool RunDelta(const uint8_t* data, uint32_t size, uint8_t* dest, int32_t pitch);
    void CopyFullFrame(const uint8_t* data, uint8_t* dest, int32_t pitch);
    // The most bytes that a frame's data can sensibly unpack to.
    uint64_t MaxFrameData() const;

    ImageResult WritePaletteChunk(COutStream& stream, const ImagePalette* palette);
    ImageResult WriteFrameChunk(COutStream& stream, uint8_t letter, FrameHeader header,
                                const uint8_t* data, uint32_t size);
    // Rewrites the delay field of the last frame written.
    ResultCode RewriteLastDelay(COutStream& stream, uint32_t delay);
    // A frame delay with 0 standing for the default.
    uint32_t EffectiveDelay(uint32_t delay) const { return delay != 0 ? delay : frameDelay_; }

    // Reading: 0 while nothing is open.
    uint32_t nextFrame_ = 0;
    uint32_t firstFrame_ = 0;
    uint32_t currentDelay_ = 0;
    RECT frameRect_{};
    void* userData_ = nullptr;
    uint32_t userDataSize_ = 0;
    // -1 is zlib's default, 0 stores frames unpacked.
    int level_ = -1;
    uint32_t option1_ = 1;
    uint32_t option2_ = 0;

    // Writing: the position of the file header and of the last frame header written
    // (0 before the first frame), and that frame's delay field.
    bool writing_ = false;
    uint32_t headerPosition_ = 0;
    uint32_t lastFrameHeader_ = 0;
    uint32_t lastFrameDelay_ = 0;
};
