#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "platform/gdi/text/font_pinned_set.h"
#include "platform/gdi/text/text_picture.h"

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace {

using font_test::PinnedFonts;
using platform::AddTextLine;
using platform::GlyphKind;
using platform::TextPicture;

constexpr RECT EVERYWHERE{INT_MIN, INT_MIN, INT_MAX, INT_MAX};

TEST_F(PinnedFonts, ALineAdvancesByItsExtentAndSitsOnItsBaseLine) {
    auto font = Make("Arial", -16);
    TextPicture picture;
    picture.kind = GlyphKind::Mono;
    std::string text = "Glyphs \x80 drawn";
    int64_t end = AddTextLine(picture, *font, text, 10, 5, EVERYWHERE);
    EXPECT_EQ(end, 10 + font->Extent(text));           // the drawn advance is the measured one
    EXPECT_EQ(picture.glyphs.size(), text.size() - 2); // spaces have no ink
    int64_t pen = 10;
    size_t placed = 0;
    for (char c : text) {
        const platform::GlyphBitmap& mask =
            font->Glyph(static_cast<unsigned char>(c), GlyphKind::Mono);
        if (mask.width > 0) {
            const platform::PlacedGlyph& glyph = picture.glyphs[placed++];
            EXPECT_EQ(glyph.x, pen + mask.left);
            EXPECT_EQ(glyph.y, 5 + font->Metrics().tmAscent - mask.top);
            EXPECT_EQ(glyph.mask, &mask);
        }
        pen += font->Advance(static_cast<unsigned char>(c));
    }
    EXPECT_TRUE(picture.bars.empty());
}

TEST_F(PinnedFonts, SpacingUnderlineAndStrikeOutFollowTheCall) {
    LOGFONTA logFont = Font("Arial", -20);
    logFont.lfUnderline = 1;
    logFont.lfStrikeOut = 1;
    auto font = platform::FontInstance::ForLogFont(logFont);
    TextPicture picture;
    std::vector<INT> dx{30, 30};
    EXPECT_EQ(AddTextLine(picture, *font, "iii", 0, 0, EVERYWHERE, dx), 60 + font->Advance('i'));
    ASSERT_EQ(picture.glyphs.size(), 3u);
    EXPECT_EQ(picture.glyphs[1].x - picture.glyphs[0].x, 30);
    ASSERT_EQ(picture.bars.size(), 2u);
    int baseline = font->Metrics().tmAscent;
    EXPECT_EQ(picture.bars[0], (RECT{0, baseline + font->Underline().top, 60 + font->Advance('i'),
                                     baseline + font->Underline().top + font->Underline().height}));
    EXPECT_LT(picture.bars[1].bottom, baseline);
}

TEST_F(PinnedFonts, OnlyWhatCanShowIsPlaced) {
    auto font = Make("Arial", -16);
    TextPicture picture;
    RECT visible{0, 0, 100, 20};
    std::string longLine(1000000, 'M');
    AddTextLine(picture, *font, longLine, -50, 0, visible);
    EXPECT_LE(picture.glyphs.size(), 20u);
    for (const platform::PlacedGlyph& glyph : picture.glyphs) {
        EXPECT_LT(glyph.x, visible.right);
        EXPECT_GT(glyph.x + glyph.mask->width, visible.left);
    }
    TextPicture far;
    AddTextLine(far, *font, "M", INT64_C(1) << 40, -(INT64_C(1) << 40), visible);
    AddTextLine(far, *font, "M", INT_MAX, INT_MAX, visible);
    EXPECT_TRUE(far.glyphs.empty());
}

} // namespace
