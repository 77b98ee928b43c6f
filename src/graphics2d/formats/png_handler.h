// PNG images through libpng: reading at 8, 24 and 32 bits per pixel (grey is expanded to
// RGB, 16-bit channels are cut to 8 bits) and writing at 8 bits with a palette or 24 bits.
//
// libpng reports errors by longjmp back to the setjmp of the call that started the work.
// That is sound in C++ only when no frame between the two owns an object with a
// destructor, so every libpng call runs inside a small function (png_glue.cpp) whose frame
// holds plain values only; the library objects and our buffers live in the handler or in
// the caller's frame and are released there, after the jump. A C++ exception thrown from
// the error callback would instead have to unwind through libpng's C frames, which are not
// built for it.
#pragma once

#include "graphics2d/formats/image_format_handler.h"

// libpng's structures, kept out of the users of this header.
struct png_struct_def;
struct png_info_def;

class CPNGHandler : public CImageFormatHandler {
public:
    CPNGHandler();
    ~CPNGHandler() override;

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

private:
    void DestroyRead();

    png_struct_def* png_ = nullptr;
    png_info_def* info_ = nullptr;
    png_info_def* endInfo_ = nullptr;
};
