#include "platform/gdi/text/text_picture.h"

#include <algorithm>

namespace platform {

void AddBar(TextPicture& picture, int64_t left, int64_t top, int64_t right, int64_t bottom,
            const RECT& visible) {
    left = std::max<int64_t>(left, visible.left);
    top = std::max<int64_t>(top, visible.top);
    right = std::min<int64_t>(right, visible.right);
    bottom = std::min<int64_t>(bottom, visible.bottom);
    if (left >= right || top >= bottom) return;
    picture.bars.push_back(RECT{static_cast<LONG>(left), static_cast<LONG>(top),
                                static_cast<LONG>(right), static_cast<LONG>(bottom)});
}

int64_t AddTextLine(TextPicture& picture, const FontInstance& font, std::string_view text,
                    int64_t x, int64_t top, const RECT& visible, std::span<const INT> dx) {
    const int64_t baseline = top + font.Metrics().tmAscent;
    const int64_t start = x;
    // Glyphs reach at most this far beyond their cell, whatever the font.
    const int64_t reach = 2 * int64_t{MAX_EM};
    bool rowsVisible = baseline + reach > visible.top && baseline - reach < visible.bottom;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        int64_t advance = i < dx.size() ? int64_t{dx[i]} : int64_t{font.Advance(byte)};
        if (rowsVisible && x + reach > visible.left && x - reach < visible.right) {
            const GlyphBitmap& mask = font.Glyph(byte, picture.kind);
            int64_t left = x + mask.left;
            int64_t maskTop = baseline - mask.top;
            if (mask.width > 0 && mask.height > 0 && left < visible.right &&
                left + mask.width > visible.left && maskTop < visible.bottom &&
                maskTop + mask.height > visible.top)
                picture.glyphs.push_back(
                    PlacedGlyph{static_cast<LONG>(left), static_cast<LONG>(maskTop), &mask, byte,
                                static_cast<LONG>(x), static_cast<LONG>(baseline)});
        }
        x += advance;
    }
    const LOGFONTA& logFont = font.LogFont();
    for (auto [wanted, bar] : {std::pair{logFont.lfUnderline != 0, font.Underline()},
                               std::pair{logFont.lfStrikeOut != 0, font.StrikeOut()}}) {
        if (!wanted) continue;
        AddBar(picture, std::min(start, x), baseline + bar.top, std::max(start, x),
               baseline + bar.top + bar.height, visible);
    }
    return x;
}

} // namespace platform
