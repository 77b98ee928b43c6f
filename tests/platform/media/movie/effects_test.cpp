// Effects: each filter's arithmetic on small pictures, the ranges every value is held to,
// moving effects the same at the same time, and every effect at its defaults keeping the
// picture's size.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/media/movie/effects.h"

namespace {

using namespace platform::movie;

Picture Flat(int w, int h, uint32_t colour) {
    return Picture{w, h, std::vector<uint32_t>(size_t(w) * h, colour)};
}

uint32_t Through(EffectKind kind, const std::vector<double>& values, uint32_t colour) {
    Picture p = Flat(3, 3, colour);
    ApplyEffect(MakeEffect(kind, values), 0, p);
    return p.pixels[4];
}

TEST(Effects, BlurDividesTheBoxBySumAndHoldsItsSize) {
    Picture dot = Flat(5, 5, 0);
    dot.pixels[12] = 0xFFFFFF;
    Picture normal = dot;
    ApplyEffect(MakeEffect(EffectKind::Blur, {1, 9}), 0, normal);
    EXPECT_EQ(normal.pixels[12], 0x1C1C1Cu); // 255 / 9
    EXPECT_EQ(normal.pixels[6], 0x1C1C1Cu);
    EXPECT_EQ(normal.pixels[0], 0u);
    Picture bright = dot;
    ApplyEffect(MakeEffect(EffectKind::Blur, {1, 1}), 0, bright);
    EXPECT_EQ(bright.pixels[6], 0xFFFFFFu);

    EXPECT_EQ(MakeEffect(EffectKind::Blur, {0, 9}).values[0], 1);
    EXPECT_EQ(MakeEffect(EffectKind::Blur, {8, 9}).values[0], 7);
    EXPECT_EQ(MakeEffect(EffectKind::Blur, {-1e300, std::nan("")}).values,
              (std::vector<double>{1, 0}));
    // A sum of 0 is the kernel's own area.
    Picture area = dot;
    ApplyEffect(MakeEffect(EffectKind::Blur, {1}), 0, area);
    EXPECT_EQ(area.pixels[12], 0x1C1C1Cu);
}

TEST(Effects, ColourFiltersMapEachPixel) {
    EXPECT_EQ(Through(EffectKind::RGBBalance, {2, 0.5, 0}, 0x808080), 0xFF4000u);
    EXPECT_EQ(Through(EffectKind::RGBBalance, {9, -3}, 0x808080), 0xFF0080u);
    EXPECT_EQ(Through(EffectKind::ColorTint, {0xFF0000, 0, 0x0000FF, 0}, 0x000000), 0x0000FFu);
    EXPECT_EQ(Through(EffectKind::ColorTint, {0xFF0000, 0, 0x0000FF, 0}, 0xFFFFFF), 0xFF0000u);
    EXPECT_EQ(Through(EffectKind::ColorTint, {0xFF0000, 100, 0x0000FF, 0}, 0x000000), 0xFF0000u);
    // Posterized to two levels; solarized above the point.
    EXPECT_EQ(Through(EffectKind::ColorStyle, {0, 128, 2}, 0x64C800), 0x00FF00u);
    EXPECT_EQ(Through(EffectKind::ColorStyle, {100, 128}, 0xC86400), 0x376400u);
    // Flat pictures have no edges and emboss to grey; sharpening leaves them alone.
    EXPECT_EQ(Through(EffectKind::EdgeDetection, {2, 1}, 0x336699), 0u);
    EXPECT_EQ(Through(EffectKind::Emboss, {3}, 0x336699), 0x808080u);
    EXPECT_EQ(Through(EffectKind::Sharpen, {2, 4}, 0x336699), 0x336699u);
    EXPECT_EQ(Through(EffectKind::Ripple, {0}, 0x336699), 0x336699u);
}

TEST(Effects, MovingEffectsDependOnTheTimeOnly) {
    for (EffectKind kind :
         {EffectKind::FilmNoise, EffectKind::Ripple, EffectKind::Cloud, EffectKind::Fire}) {
        Picture stripes = Flat(40, 30, 0);
        for (size_t i = 0; i < stripes.pixels.size(); ++i)
            stripes.pixels[i] = (i / 40 + i % 40 / 3) % 2 ? 0xFFFFFF : 0x404040;
        Effect effect = MakeEffect(kind, {10, 40, 50, 50, 50});
        Picture a = stripes, b = stripes, later = stripes;
        ApplyEffect(effect, 1200, a);
        ApplyEffect(effect, 1200, b);
        ApplyEffect(effect, 1500, later);
        EXPECT_EQ(a.pixels, b.pixels);
        EXPECT_NE(a.pixels, stripes.pixels);
        EXPECT_NE(a.pixels, later.pixels);
    }
}

TEST(Effects, EveryEffectAtItsDefaultsKeepsThePicture) {
    for (int k = 0; k < kEffectKindCount; ++k) {
        auto kind = static_cast<EffectKind>(k);
        Effect effect = MakeEffect(kind, {});
        ASSERT_EQ(int(effect.values.size()), EffectParameterCount(kind));
        for (int i = 0; i < EffectParameterCount(kind); ++i)
            EXPECT_EQ(effect.values[size_t(i)], EffectParameterRange(kind, i).fallback);
        Picture p = Flat(7, 5, 0x123456);
        ApplyEffect(effect, std::numeric_limits<int64_t>::max(), p);
        EXPECT_EQ(p.pixels.size(), 35u);
        Picture broken{4, 4, {}};
        ApplyEffect(effect, 0, broken);
    }
}

} // namespace
