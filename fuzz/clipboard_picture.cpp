// Pictures other programs offer on the desktop's clipboard arrive as PNG or BMP files; one
// that reads goes back out as a PNG file.
#include <cstdint>
#include <vector>

#include "platform/clipboard/clipboard_picture.h"
#include "platform/kernel/memory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HGLOBAL dib = platform::PackedDibFromPicture(std::vector<uint8_t>(data, data + size));
    if (dib == 0) return 0;
    platform::PngFromPackedDib(dib);
    GlobalFree(dib);
    return 0;
}
