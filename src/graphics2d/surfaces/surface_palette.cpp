#include <algorithm>
#include <cstring>

#include "graphics2d/blitter/blitter.h"
#include "graphics2d/blitter/pixel_traits.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/surface.h"

namespace {

bool HasPixels(const SurfaceBits& bits) {
    return bits.width > 0 && bits.height > 0;
}

} // namespace

int cSurface::SetPalette(PaletteRecord* palette, int32_t remap) {
    if (palette == bits_.palette) return 1;
    if (bits_.formatIndex != kFormat8) return 0;
    // A surface without a palette yet takes the new one as it is: there are no colours to
    // keep.
    if (remap && palette && bits_.palette && HasPixels(bits_)) {
        uint8_t map[256];
        if (Palette_BuildMap(map, palette, bits_.palette, 1)) {
            if (!Lock()) return 0;
            Surface_RemapIndices(&bits_, 0, 0, bits_.width, bits_.height, map);
            Unlock();
        }
    }
    Palette_AddUse(palette);
    Palette_Release(bits_.palette);
    bits_.palette = palette;
    return 1;
}

int cSurface::RemapToPalette(PaletteRecord* palette) {
    if (bits_.formatIndex != kFormat8 || !bits_.palette || !palette || palette == bits_.palette)
        return 0;
    uint8_t map[256];
    if (!Palette_BuildMap(map, bits_.palette, palette, 1)) return 1;
    return RemapToPaletteOf(map);
}

int cSurface::RemapToPaletteOf(const uint8_t* map) {
    if (bits_.formatIndex != kFormat8 || !map || !HasPixels(bits_) || !Lock()) return 0;
    Surface_RemapIndices(&bits_, 0, 0, bits_.width, bits_.height, map);
    Unlock();
    return 1;
}

int cSurface::SetPaletteData(const RawPalette* palette, int32_t remap) {
    PaletteRecord* record = Palette_AddRef(palette);
    if (!record) return 0;
    const int done = SetPalette(record, remap);
    Palette_Release(record);
    return done;
}

int cSurface::SetPaletteFrom(cSurface* other, int32_t remap) {
    if (!other || other->bits_.formatIndex != kFormat8 || !other->bits_.palette) return 0;
    return SetPalette(other->bits_.palette, remap);
}

int cSurface::GetPaletteEntries(PaletteEntry* entries, int32_t first, int32_t count) {
    const PaletteRecord* palette = bits_.palette;
    if (bits_.formatIndex != kFormat8 || !palette) return 0;
    if (!entries) return palette->count;
    if (first < 0 || first >= palette->count || count < 0) return 0;
    const int32_t copied = std::min<int32_t>(count, palette->count - first);
    std::memcpy(entries, palette->entries + first, size_t(copied) * sizeof(PaletteEntry));
    return count;
}

int cSurface::GetPaletteData(RawPalette* palette) {
    if (!palette || bits_.formatIndex != kFormat8 || !bits_.palette) return 0;
    palette->version = bits_.palette->version;
    palette->count = bits_.palette->count;
    return GetPaletteEntries(palette->entries, 0, bits_.palette->count) ? 1 : 0;
}

uint32_t cSurface::NearestIndex(uint32_t colour) {
    return Palette_ColorToIndex(bits_.palette, colour & 0xFFFFFF);
}

uint32_t cSurface::IndexToColor(uint32_t index) {
    const PaletteRecord* palette = bits_.palette;
    if (!palette || index >= palette->count) return 0;
    return PaletteEntryColor(palette->entries[index]);
}

uint32_t cSurface::GetKeyIndex() {
    return bits_.palette ? bits_.palette->substituteBlack : 4;
}
