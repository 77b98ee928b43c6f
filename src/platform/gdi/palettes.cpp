#include "platform/gdi/palettes.h"

#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/palette_object.h"
#include "platform/kernel/errors.h"

namespace {

using platform::Palette;

std::shared_ptr<Palette> LookupPalette(HPALETTE palette) {
    return platform::LookupObjectAs<Palette>(palette);
}

constexpr int kMaxEntries = 1024;

// The copy range of `count` entries from `start` in `size` ones.
UINT Clipped(size_t size, UINT start, UINT count) {
    return start >= size ? 0 : static_cast<UINT>(std::min<size_t>(count, size - start));
}

} // namespace

namespace platform {

std::shared_ptr<Palette> MakeDefaultPalette() {
    static const uint32_t colors[20] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                                        0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0,
                                        0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00,
                                        0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    auto palette = std::make_shared<Palette>();
    for (uint32_t c : colors)
        palette->entries.push_back(PALETTEENTRY{
            static_cast<BYTE>(c >> 16), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c), 0});
    return palette;
}

} // namespace platform

HPALETTE CreatePalette(const LOGPALETTE* logical) {
    if (!logical || logical->palVersion != 0x300 || logical->palNumEntries == 0 ||
        logical->palNumEntries > kMaxEntries) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto palette = std::make_shared<Palette>();
    palette->entries.assign(logical->palPalEntry, logical->palPalEntry + logical->palNumEntries);
    return platform::RegisterObject(std::move(palette));
}

UINT GetPaletteEntries(HPALETTE handle, UINT start, UINT count, PALETTEENTRY* entries) {
    auto palette = LookupPalette(handle);
    if (!palette) return 0;
    std::lock_guard guard(palette->lock);
    if (!entries) return static_cast<UINT>(palette->entries.size());
    UINT done = Clipped(palette->entries.size(), start, count);
    std::copy_n(palette->entries.begin() + start, done, entries);
    return done;
}

UINT SetPaletteEntries(HPALETTE handle, UINT start, UINT count, const PALETTEENTRY* entries) {
    auto palette = LookupPalette(handle);
    if (!palette || !entries || palette->permanent) return 0;
    std::lock_guard guard(palette->lock);
    UINT done = Clipped(palette->entries.size(), start, count);
    std::copy_n(entries, done, palette->entries.begin() + start);
    return done;
}

UINT GetNearestPaletteIndex(HPALETTE handle, COLORREF color) {
    auto palette = LookupPalette(handle);
    if (!palette) return CLR_INVALID;
    std::vector<uint32_t> colors = platform::PaletteColors(*palette);
    return static_cast<UINT>(platform::NearestEntry(colors.data(), static_cast<int>(colors.size()),
                                                    platform::SwapRedBlue(color & 0x00FFFFFFu)));
}

HPALETTE SelectPalette(HDC handle, HPALETTE palette, BOOL) {
    std::shared_ptr<platform::DeviceContext> dc = platform::LookupDC(handle);
    auto found = LookupPalette(palette);
    if (!dc || !found) return 0;
    std::lock_guard guard(dc->lock);
    HPALETTE previous = dc->state.palette.handle;
    dc->state.palette = platform::Selected{palette, found};
    return previous;
}

UINT RealizePalette(HDC dc) {
    return platform::LookupDC(dc) ? 0 : GDI_ERROR;
}

UINT GetSystemPaletteEntries(HDC, UINT, UINT, PALETTEENTRY*) {
    return 0;
}
