// Truevision TGA pictures: colour-mapped, true-colour and greyscale, uncompressed or
// run-length coded, with an alpha plane for 32-bit pictures that declare 8 alpha bits.
// Read only.
#pragma once

#include "graphics2d/formats/image_format_handler.h"

class CTGAHandler : public CImageFormatHandler {
public:
    static constexpr uint32_t kFormatId = MakeFormatId('T', 'G', 'A', ' ');
    static constexpr uint32_t kHeaderSize = 18;

    CTGAHandler();

    CImageFormatHandler* NewInstance() override;
    uint32_t GetFormatId() override { return kFormatId; }
    int CanRead(CInStream& stream, uint32_t magic) override;
    int IsStillFormat() override { return 1; }
    ImageResult Open(CInStream& stream) override;
    ImageResult ReadFrame(CInStream& stream, uint8_t* dest, int32_t pitch, uint8_t* mask) override;

private:
    ImageResult ReadColorMap(CInStream& stream);
    // One row of run-length packets into row (file pixels); 0 when the data ends.
    int DecodePackets(ByteReader& input, uint8_t* row);
    // Widens the file pixels of one row in place to the reported depth.
    void ExpandRow(uint8_t* row);

    uint8_t header_[kHeaderSize] = {};
    // Stream position of the pixel data; 0 while nothing is open.
    uint32_t dataOffset_ = 0;
    int rle_ = 0;
    // Bytes of one pixel in the file (greyscale pictures are reported as 24 bits).
    int fileBytes_ = 0;
    // Run-length packet state, kept across rows: a packet may continue into the next row.
    int packetLeft_ = 0;
    int packetIsRun_ = 0;
    uint8_t held_[4] = {};
};
