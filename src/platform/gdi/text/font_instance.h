// A logical font made real: the FreeType face of its file at its size, with Windows'
// metrics, the advances of the 256 Windows-1252 characters and their rendered glyphs.
// This is what an HFONT stands for once a DC uses it; every GDI text call (GetTextMetricsA,
// GetOutlineTextMetricsA, the extent calls, TextOutA, ExtTextOutA, DrawTextExA) asks one.
//
// Sizes follow GDI: a negative lfHeight is the em in pixels, a positive one the cell
// (the face's usWinAscent + usWinDescent scaled to it), 0 a cell of DEFAULT_CELL_HEIGHT;
// lfWidth, when given, is the average character width the face is stretched to. Sizes
// beyond MAX_EM pixels are made at MAX_EM. Advances are the unhinted ones, scaled and
// rounded per glyph, without kerning, whatever the quality; a synthesised bold adds one
// pixel to each. tmAveCharWidth is xAvgCharWidth as the Windows faces define it (the
// weighted average of the lower-case letters and the space), so that tabs and margins
// measured in it match theirs. NONANTIALIASED_QUALITY draws hinted 1-bit glyphs, the others 8-bit
// grey. A character the face lacks shows the face's missing-glyph box. lfEscapement and
// lfOrientation are kept but text is always level.
//
// Without any usable font file, an instance still answers: advances of its average width,
// metrics from its height, no glyphs and no outline metrics.
//
// Instances are immutable apart from their glyph cache and safe to share between threads.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/text/font_types.h"

namespace platform {

inline constexpr LONG DEFAULT_CELL_HEIGHT = 16;
inline constexpr LONG MAX_EM = 1024;

enum class GlyphKind : uint8_t {
    Mono, // 1 bit a pixel, high bit first, solid
    Grey, // one byte a pixel, 0 (none) to 255 (full)
};

struct GlyphBitmap {
    int left = 0; // from the pen to the first column
    int top = 0;  // from the base line up to the first row
    int width = 0;
    int height = 0;
    int pitch = 0; // bytes from one row to the next
    GlyphKind kind = GlyphKind::Grey;
    std::vector<uint8_t> bits; // height * pitch
};

// Where a line is drawn for underline and strike-out, relative to the base line
// (positive downwards).
struct FontBar {
    int top = 0;
    int height = 0;
};

// The names GetOutlineTextMetricsA reports, Windows-1252.
struct FontNames {
    std::string family;
    std::string face;
    std::string style;
    std::string full;
};

class FontInstance {
public:
    // The instance of a logical font: equal LOGFONTAs (numbers and face name up to its NUL)
    // share one while it is in use or among the most recently made.
    static std::shared_ptr<const FontInstance> ForLogFont(const LOGFONTA& logFont);
    // An instance from a given font file, for a caller that chose its file itself; an
    // unreadable file gives an instance without a font.
    static std::shared_ptr<const FontInstance> FromFile(const std::string& path,
                                                        const LOGFONTA& logFont);

    ~FontInstance();
    FontInstance(const FontInstance&) = delete;
    FontInstance& operator=(const FontInstance&) = delete;

    const LOGFONTA& LogFont() const { return logFont_; }
    // Whether a font file was loaded (else the fallback answers above).
    bool HasFace() const { return face_ != nullptr; }
    const TEXTMETRICA& Metrics() const { return metrics_; }
    // GetOutlineTextMetricsA's answer; false without a face.
    bool OutlineMetrics(OUTLINETEXTMETRICA& metrics, FontNames& names) const;
    // The name GetTextFaceA answers: the face's family.
    const std::string& FaceName() const { return names_.family; }
    FontBar Underline() const { return underline_; }
    FontBar StrikeOut() const { return strikeOut_; }
    // What draws by default: mono for NONANTIALIASED_QUALITY, else grey.
    GlyphKind DefaultGlyphKind() const;

    int Advance(unsigned char byte) const { return advances_[byte]; }
    // The sum of the advances (GetTextExtentPoint32A's width).
    int64_t Extent(std::string_view text) const;
    // GetTextExtentExPointA: how many characters from the start fit in `maxExtent`, and
    // when `partial` is given, the extent after each character.
    size_t Fit(std::string_view text, int64_t maxExtent, std::vector<int64_t>* partial) const;

    // The rendered glyph of a character, made once and kept for the instance's life.
    const GlyphBitmap& Glyph(unsigned char byte, GlyphKind kind) const;

    // For devices that draw text as outlines of their own (a PDF page): the face's file and
    // index, the em in pixels across and down, and what is synthesised; false without a face.
    struct FaceSource {
        std::string path;
        int index = 0;
        double emX = 0;
        double emY = 0;
        bool bold = false;
        bool italic = false;
    };
    bool Source(FaceSource& source) const;
    unsigned GlyphIndex(unsigned char byte) const { return glyphIndexes_[byte]; }

private:
    struct FaceRecord; // the FreeType face and what it came from
    FontInstance(const LOGFONTA& logFont, const std::string& path, int index, bool synthesizeBold,
                 bool synthesizeItalic);
    void LoadFace(const std::string& path, int index);
    void UseFallback();
    std::unique_ptr<GlyphBitmap> Render(unsigned char byte, GlyphKind kind) const;

    LOGFONTA logFont_;
    bool synthesizeBold_;
    bool synthesizeItalic_;
    FaceRecord* face_ = nullptr;
    TEXTMETRICA metrics_{};
    OUTLINETEXTMETRICA outline_{};
    FontNames names_;
    FontBar underline_;
    FontBar strikeOut_;
    std::array<int, 256> advances_{};
    std::array<unsigned, 256> glyphIndexes_{};
    mutable std::array<std::atomic<const GlyphBitmap*>, 512> glyphs_{};
    mutable std::vector<std::unique_ptr<GlyphBitmap>> rendered_;
};

} // namespace platform
