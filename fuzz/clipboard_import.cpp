// Whatever another program leaves on the clipboard is read as the Clipboard class reads
// it: any bytes as a text (never past the block), as a packed bitmap (checked before a
// surface of its shape is made, and as the bitmap made from it) and as bytes of a named
// format.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/mem_surface.h"
#include "platform/clipboard/clipboard.h"
#include "platform/kernel/memory.h"

namespace {

void Put(UINT format, const uint8_t* data, size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    void* at = GlobalLock(block);
    if (at == nullptr) std::abort();
    if (size != 0) std::memcpy(at, data, size);
    GlobalUnlock(block);
    if (SetClipboardData(format, block) != block) std::abort();
}

template <class Read> void WithBlock(UINT format, Read read) {
    HANDLE handle = GetClipboardData(format);
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(handle));
    if (bytes == nullptr) return;
    read(bytes, GlobalSize(handle));
    GlobalUnlock(handle);
}

void ReadImage(const uint8_t* bytes, size_t size) {
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;
    if (!platform::PackedDibShape(bytes, size, width, height, depth)) return;
    cMemSurface prototype;
    if (!prototype.InitFormat(depth)) return;
    SurfaceHandle surface;
    surface.Attach(prototype.MakeInstance(width, height < 0 ? -height : height));
    surface.CreateFromDIB(bytes, size, nullptr, 0, depth == 8 ? kImportAdoptPalette : 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = CreatePaletteContext() != nullptr;
    static const UINT named = RegisterClipboardFormatA("Fuzzed Bytes");
    if (!ready || !OpenClipboard(0)) return 0;
    EmptyClipboard();
    Put(CF_TEXT, data, size);
    Put(CF_DIB, data, size);
    Put(named, data, size);
    WithBlock(CF_TEXT, [](const uint8_t* bytes, size_t length) {
        const void* end = std::memchr(bytes, 0, length);
        std::string text(reinterpret_cast<const char*>(bytes),
                         end != nullptr ? static_cast<const uint8_t*>(end) - bytes : length);
    });
    WithBlock(CF_DIB, ReadImage);
    WithBlock(named, [](const uint8_t* bytes, size_t length) {
        std::string copy(reinterpret_cast<const char*>(bytes), length);
    });
    // The bitmap made from the packed bitmap.
    GetClipboardData(CF_BITMAP);
    EmptyClipboard();
    CloseClipboard();
    return 0;
}
