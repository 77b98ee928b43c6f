// PCX pictures of 8 bits per pixel (one plane, with a 256-colour palette at the end of the
// file) and 24 bits per pixel (three planes of 8 bits). Read only.
#pragma once

#include "graphics2d/formats/image_format_handler.h"

class CPCXHandler : public CImageFormatHandler {
public:
    static constexpr uint32_t kFormatId = MakeFormatId('P', 'C', 'X', ' ');

    CPCXHandler();

    CImageFormatHandler* NewInstance() override;
    uint32_t GetFormatId() override { return kFormatId; }
    uint32_t GetWriteDepths() override { return kWriteDepth8 | kWriteDepth24; }
    int CanRead(CInStream& stream, uint32_t magic) override;
    int IsStillFormat() override { return 1; }
    ImageResult Open(CInStream& stream) override;
    ImageResult ReadFrame(CInStream& stream, uint8_t* dest, int32_t pitch, uint8_t* mask) override;

private:
    int planes_ = 0;
    int32_t bytesPerLine_ = 0;
    int encoded_ = 0;
    // Stream position of the first pixel line; 0 while nothing is open.
    uint32_t dataOffset_ = 0;
};
