// TGA pictures come from files and bank elements.
#include "graphics2d/formats/tga_handler.h"
#include "image_decode_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CTGAHandler handler;
    return image_fuzz::DecodeOnce(handler, data, size);
}
