// What a device context draws on. The DC keeps the state (objects, colours, clip,
// origin) and turns every drawing call into the few operations here, in device
// coordinates: fills of span lists, glyph masks, blits and single pixels. A raster
// device (raster_device.h) does them on pixels in memory; a device writing vector output
// can do them its own way behind the same DC.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/gdi/bitmaps/pixel_format.h"
#include "platform/gdi/region.h"
#include "platform/gdi/screen_dc.h"
#include "platform/gdi/shapes/span_list.h"

namespace platform {

class FontInstance;

// A glyph's coverage: 1 bit (most significant first) or 8 bits per pixel, rows top first.
struct GlyphMask {
    int x = 0; // where its top-left pixel lands
    int y = 0;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 8;
    ptrdiff_t pitch = 0;
    const uint8_t* bits = nullptr;
    // What the mask shows, for devices that keep text as text: the character, the font it
    // is in and the pen position on the base line (device coordinates).
    const FontInstance* font = nullptr;
    unsigned char character = 0;
    int penX = 0;
    int penY = 0;
};

// A copy of pixels with the colour table they need: the source of a blit.
struct Image {
    std::vector<uint8_t> pixels;
    std::vector<uint32_t> table;
    Surface surface; // over `pixels` and `table`

    // Allocates a zeroed top-down image; false when it would be too large.
    bool Allocate(int width, int height, PixelFormat format, std::span<const uint32_t> colors);
};

// Colours a blit needs beyond its operation: a mono source shows 0 bits in the text
// colour and 1 bits in the background colour of the destination DC; a colour source
// drawn on a mono target gives 1 where it has the source DC's background colour.
struct BlitColors {
    COLORREF text = 0;
    COLORREF background = 0xFFFFFF;
    COLORREF sourceBackground = 0xFFFFFF;
};

// The DC's clip handed to the device: null for none, else device coordinates.
using ClipRegion = const Region*;

// A rectangle (right and bottom excluded) in one colour.
struct ColorRect {
    RECT rect;
    COLORREF color;
};

class Device {
public:
    virtual ~Device() = default;

    // The format a compatible bitmap takes, with its colour table.
    virtual PixelFormat Format() const = 0;
    virtual std::vector<uint32_t> ColorTable() const = 0;
    // The device's own bounds of drawing (a window's visible part, a bitmap's size),
    // in device coordinates; false when it is gone.
    virtual bool Limit(Region& limit) = 0;

    // `spans` (not clipped yet) in `color` under a binary raster operation.
    virtual bool FillSpans(std::span<const Span> spans, COLORREF color, int rop2,
                           ClipRegion clip) = 0;
    // A figure: its interior in the brush colour and its outline in the pen's, under one
    // operation. The two share no pixel; the same as filling the interior, then the outline,
    // skipping an empty list.
    virtual bool FillFigure(std::span<const Span> interior, COLORREF brush,
                            std::span<const Span> outline, COLORREF pen, int rop2,
                            ClipRegion clip) {
        return (interior.empty() || FillSpans(interior, brush, rop2, clip)) &&
               (outline.empty() || FillSpans(outline, pen, rop2, clip));
    }
    // Rectangles that share no pixel, each in its colour under one operation: the same as
    // filling each one's rows as spans. A figure made of rectangles goes here in one piece.
    virtual bool FillRects(std::span<const ColorRect> rects, int rop2, ClipRegion clip) {
        SpanList rows;
        for (const ColorRect& part : rects) {
            rows.clear();
            for (LONG y = part.rect.top; y < part.rect.bottom; ++y)
                rows.push_back(Span{y, part.rect.left, part.rect.right});
            if (!rows.empty() && !FillSpans(rows, part.color, rop2, clip)) return false;
        }
        return true;
    }
    // Coverage masks in a colour: blended where the target has more than 8 bits,
    // solid (coverage of half or more) otherwise.
    virtual bool DrawGlyphs(std::span<const GlyphMask> glyphs, COLORREF color, ClipRegion clip) = 0;
    // `source` (its pixel (0, 0) at `at`; null for operations without one) with the brush
    // colour as pattern, over `area`.
    virtual bool Blit(const RECT& area, const Image* source, POINT at, uint8_t rop3, COLORREF brush,
                      const BlitColors& colors, ClipRegion clip) = 0;
    // `source`'s pixels straight from its memory, its device point `from` under this
    // device's point `to`, over `area` under an operation reading the source. False, with
    // nothing drawn, when the two cannot be locked together, their formats differ or part
    // of the source lies outside its pixels: the caller then reads the source first.
    virtual bool BlitFrom(const RECT& /*area*/, Device& /*source*/, POINT /*from*/, POINT /*to*/,
                          uint8_t /*rop3*/, COLORREF /*brush*/, ClipRegion /*clip*/) {
        return false;
    }
    // `source`'s pixels sampled straight from its memory over `area`: the pixel in column
    // area.left + i and row area.top + j takes the source's device pixel (columns[i],
    // rows[j]). False, with nothing drawn, when BlitFrom could not either, or a sample lies
    // outside the source's pixels: the caller then reads the source first.
    virtual bool StretchFrom(const RECT& /*area*/, Device& /*source*/,
                             std::span<const int> /*columns*/, std::span<const int> /*rows*/,
                             uint8_t /*rop3*/, COLORREF /*brush*/, ClipRegion /*clip*/) {
        return false;
    }
    // A copy of `area` (inside the device, whatever the clip); false when it is gone.
    virtual bool Read(const RECT& area, Image& out) = 0;
    // CLR_INVALID outside the clip; SetPixel answers the colour stored.
    virtual COLORREF GetPixel(int x, int y, ClipRegion clip) = 0;
    virtual COLORREF SetPixel(int x, int y, COLORREF color, ClipRegion clip) = 0;
    // GetDeviceCaps for a device that is not the display: true with `value` set.
    virtual bool Capability(int /*index*/, int& /*value*/) const { return false; }
};

} // namespace platform
