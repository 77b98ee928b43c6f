// Windows device-independent bitmap files, read and written; also reads a bare bitmap
// header without the file header in front (the layout of a packed bitmap in memory).
// Reads 8-bit (plain or RLE8), 16-bit (5-5-5 or 5-6-5), 24- and 32-bit pictures.
#pragma once

#include "graphics2d/formats/image_format_handler.h"

class CBMPHandler : public CImageFormatHandler {
public:
    static constexpr uint32_t kFormatId = MakeFormatId('B', 'M', 'P', ' ');

    CBMPHandler();

    CImageFormatHandler* NewInstance() override;
    uint32_t GetFormatId() override { return kFormatId; }
    int CanRead(CInStream& stream, uint32_t magic) override;
    int IsStillFormat() override { return 1; }
    int CanWriteImage() override { return 1; }
    ImageResult Open(CInStream& stream) override;
    ImageResult ReadFrame(CInStream& stream, uint8_t* dest, int32_t pitch, uint8_t* mask) override;
    ImageResult WriteImage(COutStream& stream, const uint8_t* pixels, int32_t width, int32_t height,
                           int depth, int32_t pitch, const ImagePalette* palette,
                           uint32_t flags) override;

private:
    ImageResult ReadCoreHeader(CInStream& stream);
    ImageResult ReadInfoHeader(CInStream& stream);
    ImageResult CheckSize(uint32_t bitsPerPixel);
    ImageResult DecodeRle8(CInStream& stream, uint8_t* row, uint8_t* dest, int32_t pitch);
    void PlaceRow(uint8_t* dest, int32_t pitch, int32_t y, const uint8_t* row);

    uint32_t compression_ = 0;
    // Stream position of the first pixel row; 0 while nothing is open.
    uint32_t dataOffset_ = 0;
    int topDown_ = 0;
};
