#include "platform/gdi/text/text_render.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/gdi/device_context.h"
#include "platform/gdi/framebuffer.h"
#include "platform/kernel/cp1252.h"

namespace platform {
namespace {

constexpr int POINT_SIZE = 8;
constexpr int DOTS_PER_INCH = 96;

struct Glyph {
    int left;                      // from the pen to the bitmap's left column
    int top;                       // from the base line up to the bitmap's top row
    int width;                     // of the bitmap
    int rows;                      // of the bitmap
    int advance;                   // of the pen
    std::vector<uint8_t> coverage; // width * rows, 0 to 255
};

// 26.6 fixed point, rounded to whole pixels.
int Pixels(FT_Pos value) {
    return static_cast<int>((value + 32) >> 6);
}

// A pixel of a rendered glyph's row, as 0 to 255.
uint8_t CoverageAt(const FT_Bitmap& bitmap, const unsigned char* row, int x) {
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) return (row[x >> 3] >> (7 - (x & 7)) & 1) * 255;
    return static_cast<uint8_t>(row[x] * 255 / std::max(bitmap.num_grays - 1, 1));
}

// The best scalable regular face fontconfig knows for the user interface, DejaVu Sans
// first; empty when there is none.
std::string FindUiFontFile() {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) return {};
    std::string file;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("DejaVu Sans"));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    if (match != nullptr) {
        FcChar8* path = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr)
            file = reinterpret_cast<const char*>(path);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    return file;
}

class UiFont {
public:
    std::mutex lock;

    // Loads the font at the first use after a change; false when there is none.
    bool ReadyLocked() {
        if (!looked) Load();
        return face_ != nullptr;
    }
    UiFontMetrics MetricsLocked() {
        if (!ReadyLocked()) return UiFontMetrics{0, FALLBACK_LINE_HEIGHT};
        return metrics_;
    }
    // Needs a loaded font.
    const Glyph& GlyphLocked(unsigned char byte) {
        // Control characters take the room of a space and show nothing.
        if (byte < 0x20) byte = ' ';
        std::unique_ptr<Glyph>& glyph = glyphs_[byte];
        if (!glyph) glyph = Render(Cp1252ToCodePoint(byte));
        return *glyph;
    }
    int AdvanceLocked(unsigned char byte) {
        return ReadyLocked() ? GlyphLocked(byte).advance : FALLBACK_CHAR_WIDTH;
    }
    void UseFile(const std::string& path) {
        Unload();
        overridePath_ = path;
        looked = false;
    }

private:
    bool looked = false;
    std::string overridePath_;
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    UiFontMetrics metrics_{0, FALLBACK_LINE_HEIGHT};
    std::array<std::unique_ptr<Glyph>, 256> glyphs_;

    void Load() {
        looked = true;
        if (library_ == nullptr && FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
            return;
        }
        std::string path = overridePath_.empty() ? FindUiFontFile() : overridePath_;
        if (path.empty() || FT_New_Face(library_, path.c_str(), 0, &face_) != 0) {
            face_ = nullptr;
            return;
        }
        if (!FT_IS_SCALABLE(face_) ||
            FT_Set_Char_Size(face_, 0, POINT_SIZE * 64, DOTS_PER_INCH, DOTS_PER_INCH) != 0) {
            Unload();
            return;
        }
        const FT_Size_Metrics& size = face_->size->metrics;
        int ascent = Pixels(size.ascender);
        int descent = Pixels(-size.descender);
        metrics_ = UiFontMetrics{ascent, std::max(Pixels(size.height), ascent + descent)};
    }

    void Unload() {
        for (std::unique_ptr<Glyph>& glyph : glyphs_)
            glyph.reset();
        if (face_ != nullptr) FT_Done_Face(face_);
        face_ = nullptr;
        metrics_ = UiFontMetrics{0, FALLBACK_LINE_HEIGHT};
    }

    std::unique_ptr<Glyph> Render(char32_t codePoint) {
        auto glyph = std::make_unique<Glyph>();
        FT_UInt index = FT_Get_Char_Index(face_, codePoint);
        if (FT_Load_Glyph(face_, index, FT_LOAD_RENDER) != 0) {
            glyph->advance = FALLBACK_CHAR_WIDTH;
            return glyph;
        }
        FT_GlyphSlot slot = face_->glyph;
        glyph->advance = Pixels(slot->advance.x);
        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.pixel_mode != FT_PIXEL_MODE_MONO)
            return glyph;
        glyph->left = slot->bitmap_left;
        glyph->top = slot->bitmap_top;
        glyph->width = static_cast<int>(bitmap.width);
        glyph->rows = static_cast<int>(bitmap.rows);
        glyph->coverage.resize(static_cast<size_t>(glyph->width) * glyph->rows);
        for (int y = 0; y < glyph->rows; ++y) {
            // A negative pitch stores the rows bottom first; buffer points at the top one.
            const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
            for (int x = 0; x < glyph->width; ++x)
                glyph->coverage[static_cast<size_t>(y) * glyph->width + x] =
                    CoverageAt(bitmap, row, x);
        }
        return glyph;
    }
};

// Never destroyed, so that windows painting during static destruction find it.
UiFont& Font() {
    static auto* font = new UiFont;
    return *font;
}

std::vector<int> Advances(std::string_view text) {
    std::vector<int> advances(text.size());
    UiFont& font = Font();
    std::lock_guard guard(font.lock);
    for (size_t i = 0; i < text.size(); ++i)
        advances[i] = font.AdvanceLocked(static_cast<unsigned char>(text[i]));
    return advances;
}

// The lines of one paragraph (no '\n' inside).
void WrapParagraph(std::string_view text, const std::vector<int>& advances, size_t first,
                   int maxWidth, std::vector<std::string>& lines) {
    auto emit = [&](size_t from, size_t to) {
        while (to > from && text[to - 1] == ' ')
            --to;
        lines.emplace_back(text.substr(from, to - from));
    };
    size_t end = text.size();
    size_t pos = 0;
    if (end == 0) lines.emplace_back();
    while (pos < end) {
        int64_t width = 0;
        size_t i = pos;
        size_t lastSpace = end;
        while (i < end && width + advances[first + i] <= maxWidth) {
            if (text[i] == ' ') lastSpace = i;
            width += advances[first + i];
            ++i;
        }
        size_t cut;
        if (i == end) {
            cut = end;
        } else if (text[i] == ' ') {
            cut = i;
        } else if (lastSpace != end && lastSpace > pos) {
            cut = lastSpace;
        } else {
            cut = std::max(i, pos + 1);
        }
        emit(pos, cut);
        pos = cut;
        while (pos < end && text[pos] == ' ')
            ++pos;
    }
}

// Blends `coverage` (width * height) in `color` into the DC at (x, y), pixel by pixel
// through the DC so that its clip holds whatever its shape.
void BlendCoverage(HDC dc, int x, int y, int width, int height,
                   const std::vector<uint8_t>& coverage, COLORREF color) {
    DrawThroughDC(dc, [&](Framebuffer& buffer, const Region& clip, POINT origin) {
        RECT area{static_cast<LONG>(Clamp32(int64_t{x} + origin.x)),
                  static_cast<LONG>(Clamp32(int64_t{y} + origin.y)), 0, 0};
        area.right = static_cast<LONG>(Clamp32(int64_t{area.left} + width));
        area.bottom = static_cast<LONG>(Clamp32(int64_t{area.top} + height));
        Region visible = clip;
        visible.Intersect(area);
        const uint32_t front = PixelFromColor(color & 0x00FFFFFFu);
        for (const RECT& r : visible.Rects()) {
            for (LONG fy = r.top; fy < r.bottom; ++fy) {
                size_t coverRow = static_cast<size_t>(fy - area.top) * width;
                uint32_t* row = buffer.pixels.data() + static_cast<size_t>(fy) * buffer.width;
                for (LONG fx = r.left; fx < r.right; ++fx) {
                    unsigned alpha = coverage[coverRow + (fx - area.left)];
                    if (alpha == 0) continue;
                    uint32_t mixed = 0;
                    for (int shift : {0, 8, 16}) {
                        unsigned a = front >> shift & 0xFF;
                        unsigned b = row[fx] >> shift & 0xFF;
                        mixed |= ((a * alpha + b * (255 - alpha) + 127) / 255) << shift;
                    }
                    row[fx] = mixed;
                }
            }
        }
        buffer.dirty.Add(visible);
    });
}

} // namespace

bool UiFontAvailable() {
    UiFont& font = Font();
    std::lock_guard guard(font.lock);
    return font.ReadyLocked();
}

UiFontMetrics UiFontLineMetrics() {
    UiFont& font = Font();
    std::lock_guard guard(font.lock);
    return font.MetricsLocked();
}

int MeasureUiText(std::string_view text) {
    int64_t width = 0;
    for (int advance : Advances(text))
        width += advance;
    return static_cast<int>(std::min<int64_t>(width, INT32_MAX));
}

std::vector<std::string> WrapUiText(std::string_view text, int maxWidth) {
    std::vector<int> advances = Advances(text);
    std::vector<std::string> lines;
    size_t start = 0;
    while (true) {
        size_t newline = text.find('\n', start);
        size_t end = newline == std::string_view::npos ? text.size() : newline;
        std::string_view paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
        WrapParagraph(paragraph, advances, start, maxWidth, lines);
        if (newline == std::string_view::npos) break;
        start = newline + 1;
    }
    return lines;
}

void DrawUiText(HDC dc, int x, int top, std::string_view text, COLORREF color) {
    RECT clip;
    int kind = GetClipBox(dc, &clip);
    if (kind == ERROR || kind == NULLREGION || text.empty()) return;
    // What of the line may show, relative to (x, top): only that part is put together,
    // however long the line.
    int64_t lowX = int64_t{clip.left} - x;
    int64_t highX = int64_t{clip.right} - x;
    int64_t lowY = int64_t{clip.top} - top;
    int64_t highY = int64_t{clip.bottom} - top;
    std::vector<uint8_t> coverage;
    int width = 0;
    int height = 0;
    {
        // The font's lock is let go before the window manager draws.
        UiFont& font = Font();
        std::lock_guard guard(font.lock);
        if (!font.ReadyLocked()) return;
        int ascent = font.MetricsLocked().ascent;
        struct Placed {
            const Glyph* glyph;
            int64_t x;
        };
        std::vector<Placed> shown;
        int64_t inkLeft = INT64_MAX, inkRight = INT64_MIN, inkTop = INT64_MAX,
                inkBottom = INT64_MIN;
        int64_t pen = 0;
        for (char c : text) {
            const Glyph& glyph = font.GlyphLocked(static_cast<unsigned char>(c));
            int64_t glyphX = pen + glyph.left;
            pen += glyph.advance;
            if (glyph.width == 0 || glyph.rows == 0 || glyphX >= highX ||
                glyphX + glyph.width <= lowX)
                continue;
            shown.push_back(Placed{&glyph, glyphX});
            inkLeft = std::min(inkLeft, glyphX);
            inkRight = std::max(inkRight, glyphX + glyph.width);
            inkTop = std::min<int64_t>(inkTop, ascent - glyph.top);
            inkBottom = std::max<int64_t>(inkBottom, ascent - glyph.top + glyph.rows);
        }
        lowX = std::max(lowX, inkLeft);
        highX = std::min(highX, inkRight);
        lowY = std::max(lowY, inkTop);
        highY = std::min(highY, inkBottom);
        if (shown.empty() || lowX >= highX || lowY >= highY) return;
        width = static_cast<int>(highX - lowX);
        height = static_cast<int>(highY - lowY);
        coverage.assign(static_cast<size_t>(width) * height, 0);
        for (const Placed& placed : shown) {
            const Glyph& glyph = *placed.glyph;
            for (int row = 0; row < glyph.rows; ++row) {
                int64_t y = ascent - glyph.top + row - lowY;
                if (y < 0 || y >= height) continue;
                for (int column = 0; column < glyph.width; ++column) {
                    int64_t x = placed.x + column - lowX;
                    if (x < 0 || x >= width) continue;
                    uint8_t& into = coverage[static_cast<size_t>(y) * width + x];
                    into = std::max(
                        into, glyph.coverage[static_cast<size_t>(row) * glyph.width + column]);
                }
            }
        }
    }
    BlendCoverage(dc, static_cast<int>(x + lowX), static_cast<int>(top + lowY), width, height,
                  coverage, color);
}

void SetUiFontFile(const std::string& path) {
    UiFont& font = Font();
    std::lock_guard guard(font.lock);
    font.UseFile(path);
}

} // namespace platform
