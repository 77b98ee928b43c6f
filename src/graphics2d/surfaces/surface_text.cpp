#include <memory>

#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/gdi_paths.h"
#include "graphics2d/surfaces/surface.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/text/text_out.h"

namespace {

constexpr uint32_t kDrawTextCalcRect = 0x400;
constexpr uint32_t kPaletteRelative = 0x02000000;

// Black on a paletted surface would be the key: the palette's stand-in for black is drawn
// instead, named palette-relatively so GDI finds that very entry.
uint32_t TextColour(const SurfaceBits& bits, uint32_t colour) {
    if (colour != 0 || bits.depth > 8) return colour;
    if (!bits.palette) return 0x800000;
    return PaletteEntryColor(bits.palette->entries[bits.palette->substituteBlack]) |
           kPaletteRelative;
}

// The DC's text state for one call, put back afterwards.
class TextState {
public:
    TextState(HDC dc, HFONT font, uint32_t colour, bool setColours) : dc_(dc) {
        if (font) previousFont_ = SelectObject(dc, font);
        if (setColours) {
            previousMode_ = SetBkMode(dc, TRANSPARENT);
            previousColour_ = SetTextColor(dc, colour);
            coloured_ = true;
        }
    }
    ~TextState() {
        if (coloured_) {
            SetTextColor(dc_, previousColour_);
            SetBkMode(dc_, previousMode_);
        }
        if (previousFont_) SelectObject(dc_, previousFont_);
    }
    TextState(const TextState&) = delete;
    TextState& operator=(const TextState&) = delete;

private:
    HDC dc_;
    HGDIOBJ previousFont_ = 0;
    int previousMode_ = 0;
    COLORREF previousColour_ = 0;
    bool coloured_ = false;
};

} // namespace

int cSurface::TextOut(const char* text, int32_t length, int32_t x, int32_t y, uint32_t alignment,
                      const RECT* clip, uint32_t colour, HFONT font, int32_t, int32_t op,
                      uint32_t param, int32_t smooth) {
    if (!text || !clip) return 0;
    colour = TextColour(bits_, colour);
    if (op || smooth) {
        const int32_t w = clip->right - clip->left, h = clip->bottom - clip->top;
        std::unique_ptr<cSurface> keyed(MakeInstance(w, h));
        if (!keyed) return 0;
        keyed->FillRect(0, 0, w, h, 0);
        const RECT inner{0, 0, w, h};
        const int drawn = keyed->TextOut(text, length, x - clip->left, y - clip->top, alignment,
                                         &inner, colour, font, 1, 0, 0, 0);
        const POINT origin = SurfaceOrigin(*this);
        keyed->BlitTo(this, clip->left - origin.x, clip->top - origin.y, 0, 0, w, h, 1, op, param,
                      smooth);
        return drawn;
    }
    const HDC dc = GetDC();
    if (!dc) return 0;
    BOOL drawn;
    {
        TextState state(dc, font, colour, true);
        const UINT previousAlign = GetTextAlign(dc);
        SetTextAlign(dc, alignment);
        drawn = ExtTextOutA(dc, x, y, ETO_CLIPPED, clip, text, UINT(length), nullptr);
        if (previousAlign != GDI_ERROR) SetTextAlign(dc, previousAlign);
    }
    ReleaseDC(dc);
    return drawn ? 1 : 0;
}

int cSurface::DrawText(const char* text, int32_t length, RECT* rect, uint32_t format,
                       uint32_t colour, HFONT font, int32_t, int32_t op, uint32_t param,
                       int32_t smooth, int32_t tabLength, int32_t leftMargin, int32_t rightMargin) {
    if (!text || !rect) return 0;
    colour = TextColour(bits_, colour);
    const bool measuring = format & kDrawTextCalcRect;
    if ((op || smooth) && !measuring) {
        const int32_t w = rect->right - rect->left, h = rect->bottom - rect->top;
        std::unique_ptr<cSurface> keyed(MakeInstance(w, h));
        if (!keyed) return 0;
        keyed->FillRect(0, 0, w, h, 0);
        RECT inner{0, 0, w, h};
        const int drawn = keyed->DrawText(text, length, &inner, format, colour, font, 1, 0, 0, 0,
                                          tabLength, leftMargin, rightMargin);
        const POINT origin = SurfaceOrigin(*this);
        keyed->BlitTo(this, rect->left - origin.x, rect->top - origin.y, 0, 0, w, h, 1, op, param,
                      smooth);
        return drawn;
    }
    const HDC dc = GetDC();
    if (!dc) return 0;
    int drawn;
    {
        TextState state(dc, font, colour, !measuring);
        DRAWTEXTPARAMS params{20, tabLength, leftMargin, rightMargin, 0};
        drawn = DrawTextExA(dc, text, length, rect, format, &params);
    }
    ReleaseDC(dc);
    return drawn;
}
