// Packed bitmaps reach surfaces from the clipboard, resources and icons: any bytes, any
// buffer size, into a surface of each depth, with each palette flag.
#include <cstdint>
#include <cstring>
#include <vector>

#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/mem_surface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool registered = CreatePaletteContext() != nullptr;
    if (!registered || size < 2) return 0;
    static const int32_t depths[] = {8, 15, 16, 24, 32};
    const int32_t depth = depths[data[0] % 5];
    const uint32_t flags = data[1] & 5;
    // The buffer is exactly the input, so a read past it is a read past the allocation.
    std::vector<uint8_t> dib(data + 2, data + size);
    cMemSurface prototype;
    if (!prototype.InitFormat(depth)) return 0;
    SurfaceHandle handle;
    handle.Attach(prototype.MakeInstance(3, 2));
    if (handle.CreateFromDIB(dib.data(), dib.size(), nullptr, 0, flags)) {
        std::vector<uint8_t> out(size_t(handle.GetPackedDIBSize()));
        handle.ExportDIB(out.data(), out.size(), nullptr, 0, 0);
    }
    return 0;
}
