#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/text/font_instance.h"
#include "platform/gdi/text/font_outline_metrics.h"
#include "platform/gdi/text/font_pinned_set.h"

namespace {

using font_test::PinnedFonts;
using platform::FontInstance;
using platform::GlyphBitmap;
using platform::GlyphKind;

// Liberation Sans, like Arial: 2048 units to the em, 'W' 1933 units wide, '\x80' (the euro
// sign) 1139, xAvgCharWidth 904 as the Windows face defines it.
constexpr int64_t EM_UNITS = 2048;
constexpr int64_t W_UNITS = 1933;
constexpr int64_t EURO_UNITS = 1139;
constexpr int64_t AVERAGE_UNITS = 904;

int64_t Scaled(int64_t units, int64_t em) {
    return (units * em + EM_UNITS / 2) / EM_UNITS;
}

bool Ink(const GlyphBitmap& mask, int x, int y) {
    if (mask.kind == GlyphKind::Mono)
        return mask.bits[static_cast<size_t>(y) * mask.pitch + x / 8] >> (7 - x % 8) & 1;
    return mask.bits[static_cast<size_t>(y) * mask.pitch + x] != 0;
}

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t{bytes[at + 3]} << 24;
}

TEST_F(PinnedFonts, NegativeHeightsAreTheEmAndPositiveOnesTheCell) {
    for (LONG height = 6; height <= 60; ++height) {
        const TEXTMETRICA& cell = Make("Arial", height)->Metrics();
        EXPECT_EQ(cell.tmHeight, height);
        EXPECT_EQ(cell.tmAscent + cell.tmDescent, height);
        const TEXTMETRICA& em = Make("Arial", -height)->Metrics();
        EXPECT_EQ(em.tmHeight - em.tmInternalLeading, height);
        EXPECT_EQ(em.tmAscent + em.tmDescent, em.tmHeight);
        EXPECT_GT(em.tmHeight, height >= 10 ? height : 0); // room for accents above the em
    }
    EXPECT_EQ(Make("Arial", 0)->Metrics().tmHeight, platform::DEFAULT_CELL_HEIGHT);
    const TEXTMETRICA& tm = Make("Arial", -16, FW_BOLD, true)->Metrics();
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    EXPECT_NE(tm.tmItalic, 0);
    EXPECT_EQ(tm.tmDefaultChar, 0x1F);
    EXPECT_EQ(tm.tmBreakChar, ' ');
    EXPECT_EQ(tm.tmCharSet, ANSI_CHARSET);
}

TEST_F(PinnedFonts, AdvancesAreTheUnhintedOnesRoundedPerGlyph) {
    for (LONG em : {8, 11, 13, 16, 24, 37, 100, 1024}) {
        auto font = Make("Arial", -em);
        EXPECT_EQ(font->Advance('W'), Scaled(W_UNITS, em)) << em;
        EXPECT_EQ(font->Advance(0x80), Scaled(EURO_UNITS, em)) << em; // 0x80 is the euro
        EXPECT_EQ(font->Metrics().tmAveCharWidth, Scaled(AVERAGE_UNITS, em)) << em;
        std::string text = "Wide\x80 text, \xE9t\xE9!";
        int64_t sum = 0;
        for (char c : text)
            sum += font->Advance(static_cast<unsigned char>(c));
        EXPECT_EQ(font->Extent(text), sum); // no kerning: "AV" is A plus V
        EXPECT_EQ(font->Extent("AV"), font->Advance('A') + font->Advance('V'));
    }
    // The same at every quality, hinted drawing or not.
    LOGFONTA mono = Font("Arial", -13, FW_NORMAL, false, NONANTIALIASED_QUALITY);
    EXPECT_EQ(FontInstance::ForLogFont(mono)->Advance('W'), Scaled(W_UNITS, 13));
    // lfWidth stretches the face to that average width.
    LOGFONTA wide = Font("Arial", -16);
    wide.lfWidth = 20;
    auto stretched = FontInstance::ForLogFont(wide);
    EXPECT_EQ(stretched->Metrics().tmAveCharWidth, 20);
    EXPECT_GT(stretched->Advance('W'), 2 * Make("Arial", -16)->Advance('W'));
}

TEST_F(PinnedFonts, FitCountsTheCharactersWithinTheExtent) {
    auto font = Make("Courier New", -20);
    int advance = font->Advance('m');
    std::vector<int64_t> partial;
    EXPECT_EQ(font->Fit("mmmmm", 3 * advance, &partial), 3u);
    EXPECT_EQ(partial,
              (std::vector<int64_t>{advance, 2 * advance, 3 * advance, 4 * advance, 5 * advance}));
    EXPECT_EQ(font->Fit("mmmmm", 3 * advance - 1, nullptr), 2u);
    EXPECT_EQ(font->Fit("mmm", -1, nullptr), 0u);
    EXPECT_EQ(font->Fit("", 100, &partial), 0u);
    EXPECT_TRUE(partial.empty());
}

TEST_F(PinnedFonts, PitchAndFamilyFollowTheFace) {
    auto courier = Make("Courier New", -15);
    for (int c = 0x20; c < 0x100; ++c)
        ASSERT_EQ(courier->Advance(static_cast<unsigned char>(c)), courier->Advance('i')) << c;
    // TMPF_FIXED_PITCH set means a variable pitch.
    EXPECT_EQ(courier->Metrics().tmPitchAndFamily, FF_MODERN | TMPF_VECTOR | TMPF_TRUETYPE);
    EXPECT_EQ(Make("Arial", -15)->Metrics().tmPitchAndFamily,
              FF_SWISS | TMPF_VECTOR | TMPF_TRUETYPE | TMPF_FIXED_PITCH);
    EXPECT_EQ(Make("Times New Roman", -15)->Metrics().tmPitchAndFamily & 0xF0, FF_ROMAN);
    EXPECT_EQ(Make("Arial", -15)->FaceName(), "Liberation Sans");
}

TEST_F(PinnedFonts, EqualLogicalFontsShareAnInstance) {
    EXPECT_EQ(Make("Arial", -12), Make("Arial", -12));
    EXPECT_NE(Make("Arial", -12), Make("Arial", -13));
    LOGFONTA a = Font("Arial", -12);
    LOGFONTA b = a;
    std::memset(b.lfFaceName + 6, 'x', LF_FACESIZE - 6); // after the NUL: not part of the name
    EXPECT_EQ(FontInstance::ForLogFont(a), FontInstance::ForLogFont(b));
}

TEST_F(PinnedFonts, OutlineMetricsFollowTheFaceAndWriteTheirOldLayout) {
    OUTLINETEXTMETRICA big{}, small{};
    platform::FontNames names, smallNames;
    ASSERT_TRUE(Make("Arial", -1024)->OutlineMetrics(big, names));
    ASSERT_TRUE(Make("Arial", -512)->OutlineMetrics(small, smallNames));
    EXPECT_EQ(big.otmEMSquare, 2048u);
    EXPECT_EQ(names.family, "Liberation Sans");
    EXPECT_EQ(names.full, "Liberation Sans");
    EXPECT_EQ(names.style, "Regular");
    // Sub- and superscripts as the OS/2 table has them: smaller than the em, below and
    // above the base line.
    for (const OUTLINETEXTMETRICA* m : {&big, &small}) {
        EXPECT_GT(m->otmptSuperscriptSize.y, 0);
        EXPECT_LT(m->otmptSuperscriptSize.y, m->otmTextMetrics.tmHeight);
        EXPECT_GT(m->otmptSuperscriptOffset.y, 0);
        EXPECT_GT(m->otmptSubscriptOffset.y, 0);
        EXPECT_LT(m->otmsUnderscorePosition, 0);
        EXPECT_GT(m->otmsStrikeoutPosition, 0);
        EXPECT_GT(m->otmsXHeight, 0u);
        EXPECT_LT(m->otmsXHeight, m->otmsCapEmHeight);
    }
    EXPECT_NEAR(big.otmptSuperscriptSize.y, 2 * small.otmptSuperscriptSize.y, 1);
    EXPECT_NEAR(big.otmptSubscriptOffset.y, 2 * small.otmptSubscriptOffset.y, 1);

    std::vector<uint8_t> record = platform::OutlineTextMetricsRecord(big, names);
    ASSERT_EQ(record.size(), big.otmSize);
    EXPECT_EQ(U32At(record, 0), big.otmSize);
    EXPECT_EQ(U32At(record, 4), static_cast<uint32_t>(big.otmTextMetrics.tmHeight));
    EXPECT_EQ(record[4 + 44 + 7], big.otmTextMetrics.tmPitchAndFamily);
    EXPECT_EQ(record[61], big.otmPanoseNumber.bFamilyType);
    EXPECT_EQ(U32At(record, 92), 2048u);
    EXPECT_EQ(U32At(record, 168), static_cast<uint32_t>(big.otmptSuperscriptSize.y));
    EXPECT_EQ(U32At(record, 176), static_cast<uint32_t>(big.otmptSuperscriptOffset.y));
    EXPECT_EQ(U32At(record, 160), static_cast<uint32_t>(big.otmptSubscriptOffset.y));
    EXPECT_EQ(U32At(record, 192), static_cast<uint32_t>(big.otmsUnderscorePosition));
    uint32_t family = U32At(record, 196);
    EXPECT_EQ(family, platform::OUTLINE_TEXT_METRICS_SIZE);
    EXPECT_STREQ(reinterpret_cast<const char*>(record.data() + family), "Liberation Sans");
    EXPECT_STREQ(reinterpret_cast<const char*>(record.data() + U32At(record, 204)), "Regular");
}

TEST_F(PinnedFonts, UnderlineAndStrikeOutLieInTheCell) {
    for (LONG height : {-8, -11, -16, -40, 9}) {
        auto font = Make("Times New Roman", height);
        const TEXTMETRICA& tm = font->Metrics();
        platform::FontBar under = font->Underline();
        platform::FontBar strike = font->StrikeOut();
        EXPECT_GE(under.top, 0) << height; // below the base line
        EXPECT_LE(under.top + under.height, tm.tmDescent) << height;
        EXPECT_LT(strike.top, 0) << height; // above it
        EXPECT_GE(strike.top, -tm.tmAscent) << height;
        EXPECT_GE(under.height, 1);
        EXPECT_GE(strike.height, 1);
    }
}

TEST_F(PinnedFonts, GlyphsAreSolidWhenNotAntialiasedAndGreyOtherwise) {
    LOGFONTA logFont = Font("Arial", -16, FW_NORMAL, false, NONANTIALIASED_QUALITY);
    auto mono = FontInstance::ForLogFont(logFont);
    EXPECT_EQ(mono->DefaultGlyphKind(), GlyphKind::Mono);
    logFont.lfQuality = ANTIALIASED_QUALITY;
    auto grey = FontInstance::ForLogFont(logFont);
    EXPECT_EQ(grey->DefaultGlyphKind(), GlyphKind::Grey);
    const GlyphBitmap& solid = mono->Glyph('O', GlyphKind::Mono);
    ASSERT_GT(solid.width, 0);
    EXPECT_EQ(solid.pitch, (solid.width + 7) / 8);
    const GlyphBitmap& soft = grey->Glyph('O', GlyphKind::Grey);
    bool partial = false;
    for (uint8_t value : soft.bits)
        partial = partial || (value != 0 && value != 255);
    EXPECT_TRUE(partial);
    // Ink sits on the base line: the bottom of an 'O' within a pixel of it.
    EXPECT_NEAR(solid.top - solid.height, 0, 1);
    EXPECT_NEAR(solid.top, Make("Arial", -16)->Metrics().tmAscent - 3, 2);
    EXPECT_EQ(&mono->Glyph('O', GlyphKind::Mono), &solid); // kept
}

TEST_F(PinnedFonts, MissingCharactersDrawTheFontsBox) {
    auto font = Make("Arial", -16);
    // 0x81 is undefined in Windows-1252 and the face has nothing for it.
    const GlyphBitmap& box = font->Glyph(0x81, GlyphKind::Mono);
    ASSERT_GT(box.width, 2);
    ASSERT_GT(box.height, 2);
    for (int x = 0; x < box.width; ++x) {
        EXPECT_TRUE(Ink(box, x, 0));
        EXPECT_TRUE(Ink(box, x, box.height - 1));
        EXPECT_FALSE(Ink(box, x, box.height / 2) && x > 0 && x < box.width - 1);
    }
    EXPECT_GT(font->Advance(0x81), 0);
    // The euro sign is not the box.
    const GlyphBitmap& euro = font->Glyph(0x80, GlyphKind::Mono);
    EXPECT_FALSE(euro.width == box.width && euro.bits == box.bits);
}

TEST_F(PinnedFonts, MissingStylesAreSynthesised) {
    // DejaVu Sans has no italic in the set: its upright glyphs are slanted.
    auto upright = Make("DejaVu Sans", -40);
    auto slanted = Make("DejaVu Sans", -40, FW_NORMAL, true);
    const GlyphBitmap& l = upright->Glyph('l', GlyphKind::Grey);
    const GlyphBitmap& leaning = slanted->Glyph('l', GlyphKind::Grey);
    EXPECT_GT(leaning.width, l.width + 3);
    EXPECT_EQ(slanted->Advance('l'), upright->Advance('l'));

    // A set with only a regular face: bold is drawn wider and advances a pixel more.
    test_support::TempDir only;
    only.WriteFile("fonts/.keep", "");
    std::filesystem::create_symlink(std::string(font_test::LIBERATION_FOLDER) +
                                        "/LiberationSans-Regular.ttf",
                                    only.Linux("fonts/LiberationSans-Regular.ttf"));
    font_test::PinFolders(only, font_test::Dir(only.Linux("fonts")));
    auto regular = Make("Arial", -30);
    auto bold = Make("Arial", -30, FW_BOLD);
    EXPECT_EQ(bold->Metrics().tmWeight, FW_BOLD);
    EXPECT_EQ(bold->Advance('W'), regular->Advance('W') + 1);
    EXPECT_EQ(bold->Glyph('l', GlyphKind::Mono).width,
              regular->Glyph('l', GlyphKind::Mono).width + 1);
}

TEST_F(PinnedFonts, WithoutAFontEverythingStillAnswers) {
    test_support::TempDir none;
    none.WriteFile("fonts/.keep", "");
    font_test::PinFolders(none, font_test::Dir(none.Linux("fonts")));
    auto font = Make("Arial", -20);
    EXPECT_FALSE(font->HasFace());
    EXPECT_EQ(font->Metrics().tmHeight, 20);
    EXPECT_GT(font->Advance('i'), 0);
    EXPECT_EQ(font->Advance('i'), font->Advance('W'));
    EXPECT_EQ(font->Glyph('W', GlyphKind::Grey).width, 0);
    OUTLINETEXTMETRICA outline{};
    platform::FontNames names;
    EXPECT_FALSE(font->OutlineMetrics(outline, names));
}

TEST_F(PinnedFonts, HostileSizesStayWithinBounds) {
    for (LONG height : {INT_MIN, INT_MIN + 1, -100000, 1, -1, INT_MAX}) {
        for (LONG width : {0, INT_MIN, 1, INT_MAX}) {
            LOGFONTA logFont = Font("Arial", height);
            logFont.lfWidth = width;
            auto font = FontInstance::ForLogFont(logFont);
            const TEXTMETRICA& tm = font->Metrics();
            EXPECT_GE(tm.tmHeight, 1);
            EXPECT_LE(tm.tmHeight, 2 * platform::MAX_EM);
            EXPECT_LE(font->Advance('W'), 2 * platform::MAX_EM);
            EXPECT_GE(tm.tmAveCharWidth, 1);
        }
    }
}

} // namespace
