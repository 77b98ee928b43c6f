#include "classes/surface/texture_copy.h"

#include <cstdlib>
#include <cstring>

#include "engine3d/scene/materials/texture.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/surfaces/surface.h"
#include "graphics2d/surfaces/surface_kinds.h"

int CopySurfaceToImage(SurfaceHandle& source, LTexture& texture, int32_t depth) {
    const int32_t width = source.GetWidth();
    const int32_t height = source.GetHeight();
    if (width <= 0 || height <= 0) return 0;
    SurfaceHandle* prototype = nullptr;
    PickSurfaceType(&prototype, depth, kPickDIB, 0);
    if (prototype == nullptr) return 0;
    SurfaceHandle converted;
    converted.Create(width, height, prototype);
    if (converted.IsValid() == 0) return 0;
    if (depth == 8 && source.GetDepth() == 8) converted.SetPalette(source.GetPalette(), 0);
    source.Blit(&converted, 0, 0, 0, 0, width, height, 0, 0, 0, 0);
    uint8_t* pixels = converted.Lock();
    if (pixels == nullptr) return 0;
    const SurfaceBits* bits = converted.GetImpl()->GetBits();
    // The texture's rows run top-down, each padded to 4 bytes.
    const auto rowBytes = size_t(width) * size_t(bits->bytesPerPixel);
    const size_t pitch = (rowBytes + 3) & ~size_t(3);
    auto* image = static_cast<uint8_t*>(std::calloc(size_t(height), pitch));
    if (image == nullptr) {
        converted.Unlock();
        return 0;
    }
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(image + size_t(y) * pitch, pixels + ptrdiff_t(y) * bits->signedPitch, rowBytes);
    converted.Unlock();
    return texture.SetImage(image, uint32_t(pitch), nullptr, 0, uint32_t(width), uint32_t(height),
                            1, uint32_t(depth), depth == 8 ? converted.GetPalette() : nullptr);
}
