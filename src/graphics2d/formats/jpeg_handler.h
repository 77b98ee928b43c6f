// JPEG images through libjpeg: reading (greyscale and colour, both as 24 bits per pixel)
// and writing 24-bit pixels. Library errors come back as result codes (see jpeg_glue.h
// for how they are caught); a file cut short reads as far as its data goes.
#pragma once

#include "graphics2d/formats/image_format_handler.h"

// The decompressor with its error manager and data source, kept out of the users of this
// header; it exists from a successful Open to the end of reading.
struct JpegReadState;

class CJPEGHandler : public CImageFormatHandler {
public:
    CJPEGHandler();
    ~CJPEGHandler() override;

    CImageFormatHandler* NewInstance() override;
    uint32_t GetFormatId() override;
    uint32_t GetWriteDepths() override;
    int CanRead(CInStream& stream, uint32_t magic) override;
    int IsStillFormat() override { return 1; }
    int CanWriteImage() override { return 1; }
    ImageResult Open(CInStream& stream) override;
    ImageResult ReadFrame(CInStream& stream, uint8_t* dest, int32_t pitch, uint8_t* mask) override;
    ImageResult WriteImage(COutStream& stream, const uint8_t* pixels, int32_t width, int32_t height,
                           int depth, int32_t pitch, const ImagePalette* palette,
                           uint32_t flags) override;
    void EndRead(CInStream& stream) override;

private:
    ImageResult DecodeScanlines(uint8_t* dest, int32_t pitch, uint8_t* row);
    void DestroyDecompress();

    JpegReadState* read_ = nullptr;
};
