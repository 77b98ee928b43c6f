// DrawTextExA's layout and the glyphs drawn from it, for any text, format, parameters,
// rectangle and font: layout ends, counts no more than it was given, places only what
// meets the visible area, and measuring lays out the lines drawing does.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/gdi/text/draw_text_layout.h"
#include "platform/gdi/text/font_instance.h"
#include "platform/gdi/text/font_lookup.h"

namespace {

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t U32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= uint32_t{Byte()} << (8 * i);
        return value;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::string_view Rest() const {
        return at_ < size_
                   ? std::string_view(reinterpret_cast<const char*>(data_ + at_), size_ - at_)
                   : std::string_view();
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

constexpr const char* FACES[] = {"Arial", "Times New Roman", "Courier New", "MS Shell Dlg",
                                 "",      "Nothing Like It"};

} // namespace

// Every font file question an input can ask is asked once before the inputs, so that
// fontconfig's first allocations are not counted against one of them.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    for (const char* face : FACES) {
        for (int pitchAndFamily = 0; pitchAndFamily < 256; ++pitchAndFamily) {
            for (int style = 0; style < 4; ++style) {
                LOGFONTA logFont{};
                std::strncpy(logFont.lfFaceName, face, LF_FACESIZE - 1);
                logFont.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
                logFont.lfWeight = (style & 1) ? FW_BOLD : FW_NORMAL;
                logFont.lfItalic = static_cast<BYTE>(style >> 1);
                platform::FindFontFile(logFont);
            }
        }
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in(data, size);
    UINT format = in.U32();
    RECT rect{in.I32(), in.I32(), in.I32(), in.I32()};
    DRAWTEXTPARAMS params{sizeof(DRAWTEXTPARAMS), in.I32(), in.I32(), in.I32(), 0};
    uint8_t choice = in.Byte();
    LOGFONTA logFont{};
    // Sizes stay moderate so that each run renders quickly; hostile sizes are the tests'.
    logFont.lfHeight = static_cast<int8_t>(in.Byte());
    logFont.lfWidth = choice & 0x80 ? in.Byte() % 64 : 0;
    logFont.lfWeight = (choice & 0x01) ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = choice >> 1 & 1;
    logFont.lfUnderline = choice >> 2 & 1;
    logFont.lfStrikeOut = choice >> 3 & 1;
    logFont.lfQuality = (choice & 0x10) ? NONANTIALIASED_QUALITY : DEFAULT_QUALITY;
    logFont.lfPitchAndFamily = in.Byte();
    std::strncpy(logFont.lfFaceName, FACES[in.Byte() % std::size(FACES)], LF_FACESIZE - 1);
    bool withParams = choice & 0x20;
    std::string_view text = in.Rest();

    auto font = platform::FontInstance::ForLogFont(logFont);
    const DRAWTEXTPARAMS* given = withParams ? &params : nullptr;
    platform::DrawTextLayout layout = platform::LayOutDrawText(*font, text, rect, format, given);
    if (layout.lengthDrawn > text.size() || layout.lines.size() > text.size() + 1) std::abort();

    RECT visible{0, 0, 640, 480};
    platform::TextPicture picture =
        platform::PictureOfLayout(*font, layout, font->DefaultGlyphKind(), visible);
    for (const platform::PlacedGlyph& glyph : picture.glyphs) {
        if (glyph.x >= visible.right || glyph.y >= visible.bottom ||
            glyph.x + glyph.mask->width <= visible.left ||
            glyph.y + glyph.mask->height <= visible.top)
            std::abort();
    }
    for (const RECT& bar : picture.bars) {
        if (bar.left < visible.left || bar.right > visible.right || bar.left >= bar.right ||
            bar.top < visible.top || bar.bottom > visible.bottom || bar.top >= bar.bottom)
            std::abort();
    }

    // Measuring lays out the lines drawing does, in the same rectangle.
    bool tabBits = given == nullptr && (format & DT_TABSTOP);
    if (!tabBits && !(format & DT_CALCRECT)) {
        platform::DrawTextLayout calc =
            platform::LayOutDrawText(*font, text, rect, format | DT_CALCRECT, given);
        platform::DrawTextLayout drawn =
            platform::LayOutDrawText(*font, text, rect, format | DT_NOCLIP, given);
        if (calc.lines.size() != drawn.lines.size()) std::abort();
        for (size_t i = 0; i < calc.lines.size(); ++i) {
            if (calc.lines[i].width != drawn.lines[i].width) std::abort();
        }
        if (!(format & DT_SINGLELINE) && calc.height != drawn.height) std::abort();
    }
    return 0;
}
