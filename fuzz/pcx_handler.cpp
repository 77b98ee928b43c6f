// PCX pictures come from files and bank elements.
#include "graphics2d/formats/pcx_handler.h"
#include "image_decode_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CPCXHandler handler;
    return image_fuzz::DecodeOnce(handler, data, size);
}
