// A device whose pixels lie in memory: a bitmap, a window's framebuffer, the screen.
// Every operation locks the pixels once through Access and works on them there.
#pragma once

#include <functional>

#include "platform/gdi/device.h"

namespace platform {

struct RasterTarget {
    Surface surface;
    POINT origin{}; // where the device's (0, 0) lies on the surface
    Region limit;   // what may be drawn on, surface coordinates
    RECT changed{}; // grown by the operation, surface coordinates
};

class RasterDevice : public Device {
public:
    bool Limit(Region& limit) override;
    bool FillSpans(std::span<const Span> spans, COLORREF color, int rop2, ClipRegion clip) override;
    bool FillFigure(std::span<const Span> interior, COLORREF brush, std::span<const Span> outline,
                    COLORREF pen, int rop2, ClipRegion clip) override;
    bool FillRects(std::span<const ColorRect> rects, int rop2, ClipRegion clip) override;
    bool DrawGlyphs(std::span<const GlyphMask> glyphs, COLORREF color, ClipRegion clip) override;
    bool Blit(const RECT& area, const Image* source, POINT at, uint8_t rop3, COLORREF brush,
              const BlitColors& colors, ClipRegion clip) override;
    bool BlitFrom(const RECT& area, Device& source, POINT from, POINT to, uint8_t rop3,
                  COLORREF brush, ClipRegion clip) override;
    bool StretchFrom(const RECT& area, Device& source, std::span<const int> columns,
                     std::span<const int> rows, uint8_t rop3, COLORREF brush,
                     ClipRegion clip) override;
    bool Read(const RECT& area, Image& out) override;
    COLORREF GetPixel(int x, int y, ClipRegion clip) override;
    COLORREF SetPixel(int x, int y, COLORREF color, ClipRegion clip) override;

protected:
    // Runs `use` with the pixels locked; false when the device is gone.
    virtual bool Access(const std::function<void(RasterTarget&)>& use) = 0;
    // Runs `use` with this device's pixels and `source`'s locked together (the same target
    // twice when they are one device); false, running nothing, when they cannot be.
    virtual bool AccessWith(RasterDevice& /*source*/,
                            const std::function<void(RasterTarget&, RasterTarget&)>& /*use*/) {
        return false;
    }
};

// Pixels of `from` (from (fx, fy)) in the format and table of `to`, filling it.
void ConvertPixels(const Surface& from, int fx, int fy, const Surface& to,
                   const BlitColors& colors);

} // namespace platform
