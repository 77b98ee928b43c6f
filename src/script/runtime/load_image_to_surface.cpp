#include "script/runtime/load_image_to_surface.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "foundation/memory/memory_helpers.h"
#include "graphics2d/formats/image_file_manager.h"
#include "graphics2d/palette/palette.h"

cImageSurface* cImageSurface::Create(int32_t width, int32_t height, int32_t depth) {
    auto* surface = new (std::nothrow) cImageSurface;
    if (surface == nullptr) return nullptr;
    // A thread without a palette context still gets an 8-bit surface, without a palette.
    if ((!surface->InitFormat(depth) && !surface->SetFormat(depth)) ||
        !surface->Resize(width, height)) {
        delete surface;
        return nullptr;
    }
    return surface;
}

int cImageSurface::Reformat(int32_t depth) {
    const SurfaceBits saved = bits_;
    if (!SetFormat(depth)) return 0;
    // Resize frees the old block: keep it until the new one is there.
    bits_.memoryBlock = nullptr;
    if (!Resize(saved.width, saved.height)) {
        bits_ = saved;
        return 0;
    }
    uint8_t* oldBlock = saved.memoryBlock;
    MemFree(&oldBlock);
    if (bits_.formatIndex == kFormat8) {
        if (bits_.palette == nullptr) bits_.palette = Palette_GetDefault();
    } else {
        Palette_Release(bits_.palette);
        bits_.palette = nullptr;
    }
    return 1;
}

void cImageSurface::AttachPalette(PaletteRecord* palette) {
    if (palette == nullptr || bits_.formatIndex != kFormat8) return;
    Palette_AddUse(palette);
    Palette_Release(bits_.palette);
    bits_.palette = palette;
}

int LoadImageToSurface(ImageFileManager* manager, CInStream& stream, cImageSurface* surface,
                       uint32_t options, uint8_t** maskOut) {
    if (maskOut != nullptr) *maskOut = nullptr;
    if (manager == nullptr || surface == nullptr) return 0;
    ImageFile image(manager);
    if (image.OpenStream(&stream) != kImageOk) return 0;
    const int32_t width = image.GetWidth();
    const int32_t height = image.GetHeight();
    const int depth = image.GetDepth();

    uint8_t* mask = nullptr;
    if (maskOut != nullptr && image.HasAlpha()) {
        const uint64_t bytes = uint64_t(width) * uint64_t(height);
        if (bytes > uint64_t(kMaxSurfaceBytes) || !MemAlloc(size_t(bytes), &mask)) return 0;
        std::memset(mask, 0xFF, size_t(bytes));
    }
    auto fail = [&mask] {
        MemFree(&mask);
        return 0;
    };

    if (surface->GetDepth() != depth && (options & kLoadKeepDepth) == 0 &&
        !surface->Reformat(std::max(depth, 8)))
        return fail();
    const bool eightBit = surface->GetBits()->formatIndex == kFormat8;
    const RawPalette* target = nullptr;
    if (eightBit && (options & kLoadMatchPalette) != 0) target = surface->GetPalette();
    if ((surface->GetWidth() != width || surface->GetHeight() != height) &&
        !surface->Resize(width, height))
        return fail();
    if (eightBit && (options & kLoadMatchPalette) == 0 && image.GetPalette() != nullptr) {
        PaletteRecord* own = Palette_AddRef(image.GetPalette());
        surface->AttachPalette(own);
        Palette_Release(own);
    }

    if (!surface->Lock()) return fail();
    const SurfaceBits* bits = surface->GetBits();
    ImageResult result = image.ReadFrame(bits->pixels, width, height, bits->signedPitch,
                                         surface->GetDepth(), target, mask);
    surface->Unlock();
    image.Close();
    if (result != kImageOk) return fail();
    if (maskOut != nullptr) *maskOut = mask;
    return 1;
}
