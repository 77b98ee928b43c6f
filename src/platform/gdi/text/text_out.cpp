#include "platform/gdi/text/text_out.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <span>
#include <string_view>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/text/draw_text_layout.h"
#include "platform/gdi/text/font_instance.h"
#include "platform/gdi/text/text_picture.h"
#include "platform/kernel/errors.h"

namespace platform {
namespace {

LONG Clamped(int64_t value) {
    return static_cast<LONG>(std::clamp<int64_t>(value, std::numeric_limits<LONG>::min(),
                                                 std::numeric_limits<LONG>::max()));
}

// What a text call draws with, copied out of the DC so that drawing holds no DC lock.
struct TextContext {
    DrawContext draw;
    std::shared_ptr<const FontInstance> font;
    Region clip; // device coordinates: the DC's clip within the device

    // A rectangle in logical coordinates (64-bit) in device ones, cut to `within`'s bounds
    // so that no coordinate overflows; empty when they do not meet.
    RECT ToDevice(int64_t left, int64_t top, int64_t right, int64_t bottom,
                  const Region& within) const {
        const POINT& org = draw.state.windowOrg;
        RECT bounds = within.Bounds();
        RECT r{Clamped(std::max<int64_t>(left - org.x, bounds.left)),
               Clamped(std::max<int64_t>(top - org.y, bounds.top)),
               Clamped(std::min<int64_t>(right - org.x, bounds.right)),
               Clamped(std::min<int64_t>(bottom - org.y, bounds.bottom))};
        return IsEmptyRect(r) ? RECT{} : r;
    }
    // The bounds of a device region in logical coordinates.
    RECT Visible(const Region& region) const {
        RECT b = region.Bounds();
        const POINT& org = draw.state.windowOrg;
        return RECT{Clamped(int64_t{b.left} + org.x), Clamped(int64_t{b.top} + org.y),
                    Clamped(int64_t{b.right} + org.x), Clamped(int64_t{b.bottom} + org.y)};
    }
};

bool GetTextContext(HDC dc, TextContext& out) {
    if (!GetDrawContext(dc, out.draw)) return false;
    auto font = std::static_pointer_cast<Font>(out.draw.state.font.object);
    if (!font || !out.draw.device->Limit(out.clip)) return false;
    out.font = font->Instance();
    if (out.draw.state.clip) out.clip.Intersect(*out.draw.state.clip);
    return true;
}

// A logical rectangle in a colour, within `clip`.
void Fill(const TextContext& c, int64_t left, int64_t top, int64_t right, int64_t bottom,
          COLORREF color, const Region& clip) {
    RECT r = c.ToDevice(left, top, right, bottom, clip);
    if (IsEmptyRect(r)) return;
    std::vector<Span> spans;
    spans.reserve(static_cast<size_t>(r.bottom - r.top));
    for (LONG y = r.top; y < r.bottom; ++y)
        spans.push_back(Span{y, r.left, r.right});
    c.draw.device->FillSpans(spans, color, R2_COPYPEN, &clip);
}

// A picture (logical coordinates) in the text colour, within `clip`.
void Draw(const TextContext& c, const TextPicture& picture, const Region& clip) {
    COLORREF color = c.draw.Resolve(c.draw.state.textColor);
    std::vector<GlyphMask> masks;
    masks.reserve(picture.glyphs.size());
    for (const PlacedGlyph& glyph : picture.glyphs) {
        const GlyphBitmap& bitmap = *glyph.mask;
        POINT at = c.draw.ToDevice(glyph.x, glyph.y);
        POINT pen = c.draw.ToDevice(glyph.penX, glyph.penY);
        masks.push_back(GlyphMask{at.x, at.y, bitmap.width, bitmap.height,
                                  bitmap.kind == GlyphKind::Mono ? 1 : 8, bitmap.pitch,
                                  bitmap.bits.data(), c.font.get(), glyph.character, pen.x, pen.y});
    }
    if (!masks.empty()) c.draw.device->DrawGlyphs(masks, color, &clip);
    for (const RECT& bar : picture.bars)
        Fill(c, bar.left, bar.top, bar.right, bar.bottom, color, clip);
}

// `clip` less what lies outside a logical rectangle.
Region CutTo(const TextContext& c, const Region& clip, const RECT& r) {
    Region cut = clip;
    cut.Intersect(c.ToDevice(std::min(r.left, r.right), std::min(r.top, r.bottom),
                             std::max(r.left, r.right), std::max(r.top, r.bottom), clip));
    return cut;
}

} // namespace
} // namespace platform

using platform::TextContext;

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int count) {
    if (count < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return ExtTextOutA(dc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                 const INT* dx) {
    if (count > static_cast<UINT>(std::numeric_limits<int>::max()) ||
        (count > 0 && text == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    TextContext c;
    if (!platform::GetTextContext(dc, c)) return FALSE;
    const platform::DcState& s = c.draw.state;
    const platform::FontInstance& font = *c.font;
    std::string_view chars = count > 0 ? std::string_view(text, count) : std::string_view();
    std::span<const INT> spacing = dx != nullptr ? std::span(dx, count) : std::span<const INT>();

    int64_t width = 0;
    if (dx != nullptr) {
        for (INT advance : spacing)
            width += advance;
    } else {
        width = font.Extent(chars);
    }
    const bool updateCP = (s.textAlign & TA_UPDATECP) != 0;
    const int64_t ox = updateCP ? s.position.x : x;
    const int64_t oy = updateCP ? s.position.y : y;
    int64_t left = ox;
    int64_t nextX = ox + width;
    if ((s.textAlign & TA_CENTER) == TA_CENTER) {
        left = ox - width / 2;
        nextX = ox;
    } else if ((s.textAlign & TA_CENTER) == TA_RIGHT) {
        left = ox - width;
        nextX = left;
    }
    const TEXTMETRICA& tm = font.Metrics();
    int64_t top = oy;
    if ((s.textAlign & TA_BASELINE) == TA_BASELINE)
        top = oy - tm.tmAscent;
    else if ((s.textAlign & TA_BASELINE) == TA_BOTTOM)
        top = oy - tm.tmHeight;

    platform::Region clip = c.clip;
    if (rect != nullptr) {
        if (options & ETO_OPAQUE) {
            RECT r = *rect;
            platform::Fill(c, std::min(r.left, r.right), std::min(r.top, r.bottom),
                           std::max(r.left, r.right), std::max(r.top, r.bottom),
                           c.draw.Resolve(s.bkColor), clip);
        }
        if (options & ETO_CLIPPED) clip = platform::CutTo(c, clip, *rect);
    }
    if (s.bkMode == OPAQUE && count > 0)
        platform::Fill(c, std::min(left, left + width), top, std::max(left, left + width),
                       top + tm.tmHeight, c.draw.Resolve(s.bkColor), clip);
    platform::TextPicture picture;
    picture.kind = font.DefaultGlyphKind();
    if (count > 0 && !clip.Empty())
        platform::AddTextLine(picture, font, chars, left, top, c.Visible(clip), spacing);
    platform::Draw(c, picture, clip);
    if (updateCP) MoveToEx(dc, platform::Clamped(nextX), static_cast<int>(oy), nullptr);
    return TRUE;
}

int DrawTextExA(HDC dc, LPCSTR text, int count, RECT* rect, UINT format, DRAWTEXTPARAMS* params) {
    if (text == nullptr || rect == nullptr ||
        (params != nullptr && params->cbSize != sizeof(DRAWTEXTPARAMS))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    TextContext c;
    if (!platform::GetTextContext(dc, c)) return 0;
    const platform::FontInstance& font = *c.font;
    size_t length = count < 0 ? std::strlen(text) : static_cast<size_t>(count);
    platform::DrawTextLayout layout =
        platform::LayOutDrawText(font, std::string_view(text, length), *rect, format, params);
    if (params != nullptr) params->uiLengthDrawn = layout.lengthDrawn;
    // An empty string read to its end answers one line's height; a count of 0 answers 0.
    if (count < 0 && length == 0) layout.height = static_cast<int>(layout.lineHeight);
    // Without DRAWTEXTPARAMS, DT_TABSTOP makes bits 8-15 the tab length, DT_CALCRECT's among them.
    UINT flags = (format & DT_TABSTOP) && params == nullptr ? format & ~0xFF00u : format;
    if (flags & DT_CALCRECT) {
        *rect = layout.rect;
        return layout.height;
    }
    platform::Region clip = layout.clip ? platform::CutTo(c, c.clip, layout.rect) : c.clip;
    if (c.draw.state.bkMode == OPAQUE) {
        COLORREF background = c.draw.Resolve(c.draw.state.bkColor);
        for (const platform::DrawTextLine& line : layout.lines)
            platform::Fill(c, line.left, line.top, line.left + line.width,
                           line.top + layout.lineHeight, background, clip);
    }
    if (!clip.Empty())
        platform::Draw(
            c, platform::PictureOfLayout(font, layout, font.DefaultGlyphKind(), c.Visible(clip)),
            clip);
    return layout.height;
}

int DrawTextA(HDC dc, LPCSTR text, int count, RECT* rect, UINT format) {
    return DrawTextExA(dc, text, count, rect, format, nullptr);
}
