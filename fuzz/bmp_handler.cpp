// Bitmaps arrive as files, bank elements and clipboard data.
#include "graphics2d/formats/bmp_handler.h"
#include "image_decode_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CBMPHandler handler;
    return image_fuzz::DecodeOnce(handler, data, size);
}
