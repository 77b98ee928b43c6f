#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "graphics2d/blitter/blitter.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/mem_surface.h"
#include "graphics2d/surfaces/surface.h"
#include "graphics2d/surfaces/surface_filters.h"
#include "graphics2d/surfaces/surface_resample.h"

namespace {

class SurfaceBlitTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(CreatePaletteContext(), nullptr); }
    void TearDown() override { ReleasePaletteContext(); }

    static std::unique_ptr<cSurface> Make(int32_t depth, int32_t width, int32_t height) {
        cMemSurface prototype;
        if (!prototype.InitFormat(depth)) return nullptr;
        return std::unique_ptr<cSurface>(prototype.MakeInstance(width, height));
    }
    // Every pixel a colour of its own (never black).
    static void Pattern(cSurface& s) {
        for (int32_t y = 0; y < s.GetHeight(); y++)
            for (int32_t x = 0; x < s.GetWidth(); x++)
                s.SetPixel(x, y, uint32_t(0x101010 + x * 0x20 + y * 0x2000));
    }
    static uint32_t At(cSurface& s, int32_t x, int32_t y) {
        uint32_t c = 0xDEADBEEF;
        s.GetPixel(x, y, &c);
        return c;
    }
};

TEST_F(SurfaceBlitTest, BlitToClipsToTheSourceAndTheDestinationClip) {
    auto source = Make(32, 8, 8), target = Make(32, 8, 8);
    Pattern(*source);
    // dx = -3: the copy starts 3 columns into the source, 3 columns shorter.
    ASSERT_EQ(source->BlitTo(target.get(), -3, 0, 0, 0, 5, 1, 0, 0, 0, 0), 1);
    EXPECT_EQ(At(*target, 0, 0), At(*source, 3, 0));
    EXPECT_EQ(At(*target, 1, 0), At(*source, 4, 0));
    EXPECT_EQ(At(*target, 2, 0), 0u);
    // sx + w past the source's width is cut there.
    ASSERT_EQ(source->BlitTo(target.get(), 0, 1, 6, 0, 10, 1, 0, 0, 0, 0), 1);
    EXPECT_EQ(At(*target, 1, 1), At(*source, 7, 0));
    EXPECT_EQ(At(*target, 2, 1), 0u);
    // A clip rectangle reaching outside the destination never lets a copy out of it.
    target->SetClipRect(-100, -100, 1000, 1000);
    EXPECT_EQ(source->BlitTo(target.get(), -50, -50, 0, 0, 200, 200, 0, 0, 0, 0), 0);
    EXPECT_EQ(source->BlitTo(target.get(), 6, 6, 0, 0, 200, 200, 0, 0, 0, 0), 1);
    EXPECT_EQ(At(*target, 7, 7), At(*source, 1, 1));
    target->SetClipRect(2, 2, 2, 2);
    EXPECT_EQ(source->BlitTo(target.get(), 0, 0, 0, 0, 8, 8, 0, 0, 0, 0), 1);
    target->ResetClipRect();
    EXPECT_EQ(At(*target, 2, 2), At(*source, 2, 2));
    EXPECT_EQ(At(*target, 4, 4), 0u);
    // Refused: op 7, modes above 1, ops past the table, no destination.
    EXPECT_EQ(source->BlitTo(target.get(), 0, 0, 0, 0, 8, 8, 0, 7, 0, 0), 0);
    EXPECT_EQ(source->BlitTo(target.get(), 0, 0, 0, 0, 8, 8, 2, 0, 0, 0), 0);
    EXPECT_EQ(source->BlitTo(target.get(), 0, 0, 0, 0, 8, 8, 0, -1, 0, 0), 0);
    EXPECT_EQ(source->BlitTo(nullptr, 0, 0, 0, 0, 8, 8, 0, 0, 0, 0), 0);
}

TEST_F(SurfaceBlitTest, KeyedCopyBetweenDepthsKeysInTheDestinationFormat) {
    auto source = Make(16, 4, 1), target = Make(8, 4, 1);
    source->SetPixel(0, 0, 0x0000FF);
    source->SetPixel(2, 0, 0x00FF00);
    target->FillRect(0, 0, 4, 1, 0xFFFFFF);
    ASSERT_EQ(source->BlitTo(target.get(), 0, 0, 0, 0, 4, 1, 1, 0, 0, 0), 1);
    EXPECT_EQ(At(*target, 0, 0), 0x0000FFu);
    EXPECT_EQ(At(*target, 1, 0), 0xFFFFFFu) << "black stays the key after conversion";
    EXPECT_EQ(At(*target, 2, 0), 0x00FF00u);
}

TEST_F(SurfaceBlitTest, EightBitOperationsBuildTheMissingInverseTable) {
    for (int32_t op : {kBlitOpBlend, kBlitOpTint, kBlitOpAdd}) {
        RawPalette raw{kPaletteVersion, kPaletteEntryCount, {}};
        for (int i = 1; i < 256; i++)
            raw.entries[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
        PaletteRecord* palette = Palette_AddRef(&raw);
        ASSERT_NE(palette, nullptr);
        ASSERT_EQ(palette->inverseTable, nullptr);
        auto source = Make(8, 2, 1), target = Make(8, 2, 1);
        source->SetPalette(palette, 0);
        target->SetPalette(palette, 0);
        source->SetPixelIndex(0, 0, 100);
        source->SetPixelIndex(1, 0, 100);
        target->SetPixelIndex(0, 0, 50);
        target->SetPixelIndex(1, 0, 50);
        const uint32_t param = op == kBlitOpTint ? 64u << 24 : 64;
        ASSERT_EQ(source->BlitTo(target.get(), 0, 0, 0, 0, 2, 1, 1, op, param, 0), 1)
            << "op " << op;
        EXPECT_NE(palette->inverseTable, nullptr);
        uint32_t value = 0;
        target->GetPixelRaw(0, 0, &value);
        // Colours find their index through 15-bit cells of the inverse table.
        EXPECT_NEAR(int(value), op == kBlitOpAdd ? 150 : 75, 7) << "op " << op;
        Palette_Release(palette);
    }
}

TEST_F(SurfaceBlitTest, StretchThroughATemporaryWhenTheDestinationIsClipped) {
    auto source = Make(32, 2, 2), target = Make(32, 8, 8);
    source->SetPixel(0, 0, 0x0000FF);
    source->SetPixel(1, 0, 0x00FF00);
    source->SetPixel(0, 1, 0xFF0000);
    source->SetPixel(1, 1, 0xFFFFFF);
    // Crosses the destination's right and bottom edges: cut at the final copy.
    ASSERT_EQ(source->StretchBlitTo(target.get(), 4, 4, 8, 8, 0, 0, 2, 2, 0, 0, 0, 0), 1);
    EXPECT_EQ(At(*target, 4, 4), 0x0000FFu);
    EXPECT_EQ(At(*target, 7, 7), 0x0000FFu);
    EXPECT_EQ(At(*target, 3, 3), 0u);
    // Unclipped: the direct stretch.
    ASSERT_EQ(source->StretchBlitTo(target.get(), 0, 0, 4, 4, 0, 0, 2, 2, 0, 0, 0, 0), 1);
    EXPECT_EQ(At(*target, 3, 0), 0x00FF00u);
    EXPECT_EQ(At(*target, 0, 3), 0xFF0000u);
    // The source rectangle must lie inside the source; an empty destination does nothing.
    EXPECT_EQ(source->StretchBlitTo(target.get(), 0, 0, 4, 4, 1, 0, 2, 2, 0, 0, 0, 0), 0);
    EXPECT_EQ(source->StretchBlitTo(target.get(), 8, 0, 4, 4, 0, 0, 2, 2, 0, 0, 0, 0), 0);
}

TEST_F(SurfaceBlitTest, ResampleWeightsFollowTheCubicFilter) {
    // Reference in double precision, without the fixed point.
    const auto reference = [](int32_t n, int32_t m, int32_t i, int32_t j) {
        const double s = double(n) / m, r = s < 1 ? 1 / s : 1, f = s < 1 ? s : 1;
        const double c = i / s;
        double sum = 0, wj = 0;
        for (int32_t k = 0; k < m; k++) {
            if (k < std::floor(c - r) || k > std::ceil(c + r)) continue;
            const double d = std::fabs(c - k) * f;
            const double w = d < 1 ? ((1 - d) + 2 * (1 - d) * (1 - d)) / 3 * f : 0;
            sum += w;
            if (k == j) wj = w;
        }
        return wj / sum;
    };
    for (auto [n, m] : {std::pair{20, 10}, std::pair{10, 20}}) {
        const ResampleWeights weights = BuildResampleWeights(n, m);
        ASSERT_EQ(weights.taps.size(), size_t(n));
        for (int32_t i = 0; i < n; i++) {
            const ResampleTaps& tap = weights.taps[size_t(i)];
            int64_t total = 0;
            for (int32_t k = 0; k < tap.count; k++) {
                const int32_t w = weights.factors[tap.offset + size_t(k)];
                total += w;
                EXPECT_NEAR(w / 65536.0, reference(n, m, i, tap.first + k), 1.0 / 32768)
                    << n << " over " << m << " at " << i;
            }
            EXPECT_NEAR(double(total), 65536, double(tap.count));
        }
    }
    // A flat picture stays flat through smooth stretches both ways.
    auto source = Make(24, 16, 16), up = Make(24, 32, 32), down = Make(24, 8, 8);
    source->FillRect(0, 0, 16, 16, 0x405060);
    ASSERT_EQ(source->StretchBlitTo(up.get(), 0, 0, 32, 32, 0, 0, 16, 16, 0, 0, 0, 1), 1);
    ASSERT_EQ(source->StretchBlitTo(down.get(), 0, 0, 8, 8, 0, 0, 16, 16, 0, 0, 0, 1), 1);
    for (int32_t i = 0; i < 8; i++) {
        EXPECT_EQ(At(*up, i * 4, 31 - i * 4), 0x405060u);
        EXPECT_EQ(At(*down, i, 7 - i), 0x405060u);
    }
}

TEST_F(SurfaceBlitTest, NinePointSmootherSoftensOnlyUncoveredEdges) {
    uint32_t colours[9] = {0, 0x300000, 0, 0x000030, 0x060606, 0x000030, 0, 0x300000, 0};
    uint8_t covered[9] = {0, 1, 0, 1, 0, 1, 0, 1, 0};
    // Centre x 12, uncovered corners as the centre, covered edges x 2: red and blue get
    // two edges of 0x30 each, green none.
    const uint32_t smoothed = SmoothEdges(colours, covered, 0);
    EXPECT_EQ(smoothed & 0xFF, (12 * 6 + 4 * 6 + 2 * (0x30 + 0x30)) / 24u);
    EXPECT_EQ(smoothed >> 8 & 0xFF, (12 * 6 + 4 * 6) / 24u);
    EXPECT_EQ(smoothed >> 16 & 0xFF, (12 * 6 + 4 * 6 + 2 * (0x30 + 0x30)) / 24u);
    covered[4] = 1;
    EXPECT_EQ(SmoothEdges(colours, covered, 0), 0x060606u) << "a covered pixel stays";
    covered[4] = 0;
    covered[1] = covered[7] = 0;
    EXPECT_EQ(SmoothEdges(colours, covered, 0), 0x060606u) << "needs neighbours both ways";
    covered[1] = 1;
    uint32_t blacks[9] = {};
    blacks[4] = 0x101010;
    EXPECT_EQ(SmoothEdgesOverColor(blacks, covered, 0x202020) & 0xFF,
              (12 * 16 + 4 * 16 + 2 * (0x20 + 0x20 + 16 + 0x20)) / 24u);
}

TEST_F(SurfaceBlitTest, SmoothBlitFiltersRoundTheShape) {
    auto sprite = Make(32, 3, 3), target = Make(32, 5, 5);
    sprite->SetPixel(1, 0, 0xFFFFFF);
    sprite->SetPixel(0, 1, 0xFFFFFF);
    ASSERT_EQ(sprite->BlitTo(target.get(), 1, 1, 0, 0, 3, 3, 1, 0, 0, 1), 1);
    EXPECT_EQ(At(*target, 2, 1), 0xFFFFFFu);
    // (1, 1) of the sprite is uncovered with covered neighbours above and to the left.
    EXPECT_EQ(At(*target, 2, 2), uint32_t(2 * 255 * 2 / 24) * 0x010101u);
    EXPECT_EQ(At(*target, 4, 4), 0u);
}

TEST_F(SurfaceBlitTest, RotationByQuartersIsExact) {
    for (int32_t depth : {8, 15, 16, 24, 32}) {
        auto source = Make(depth, 4, 4), turned = Make(depth, 4, 4), mirrored = Make(depth, 4, 4);
        Pattern(*source);
        ASSERT_EQ(source->RotateInto(turned.get(), 0, 0, 0), 1);
        EXPECT_EQ(At(*turned, 1, 2), At(*source, 1, 2));
        ASSERT_EQ(source->RotateInto(turned.get(), 90, 0, 0), 1);
        for (int32_t y = 0; y < 4; y++)
            for (int32_t x = 0; x < 4; x++)
                EXPECT_EQ(At(*turned, x, y), At(*source, 3 - y, x)) << depth << " bits";
        ASSERT_EQ(source->RotateInto(turned.get(), 270, 0, 0), 1);
        for (int32_t y = 0; y < 4; y++)
            for (int32_t x = 0; x < 4; x++)
                EXPECT_EQ(At(*turned, x, y), At(*source, y, 3 - x)) << depth << " bits";
        ASSERT_EQ(source->RotateInto(turned.get(), 180, 0, 0), 1);
        source->BlitTo(mirrored.get(), 0, 0, 0, 0, 4, 4, 0, 0, 0, 0);
        mirrored->MirrorX(0, 0, 4, 4);
        mirrored->MirrorY(0, 0, 4, 4);
        for (int32_t i = 0; i < 16; i++)
            EXPECT_EQ(At(*turned, i % 4, i / 4), At(*mirrored, i % 4, i / 4));
    }
}

TEST_F(SurfaceBlitTest, SmoothRotationKeepsInsideTheSource) {
    auto source = Make(32, 9, 9), turned = Make(32, 13, 13);
    source->FillRect(0, 0, 9, 9, 0x808080);
    ASSERT_EQ(source->RotateInto(turned.get(), 30, 1, 0x0000FF), 1);
    EXPECT_EQ(At(*turned, 6, 6), 0x808080u);
    EXPECT_EQ(At(*turned, 0, 0), 0x0000FFu) << "corners outside the source get the background";
    // Every pixel next to the source's last row and column mixes only source pixels.
    for (int32_t y = 0; y < 13; y++)
        for (int32_t x = 0; x < 13; x++) {
            const uint32_t c = At(*turned, x, y);
            EXPECT_TRUE(c == 0x808080u || c == 0x0000FFu) << x << "," << y << " " << std::hex << c;
        }
    EXPECT_EQ(source->RotateInto(Make(16, 9, 9).get(), 30, 0, 0), 0) << "depths must match";
}

// Every target pixel against its source position worked out in doubles: the background
// outside, the pixel under it, or the mix of its four neighbours within rounding. Positions
// within a hundredth of a pixel of where the answer changes are not judged.
TEST_F(SurfaceBlitTest, RotationFollowsTheTurnedPositions) {
    const int32_t sw = 13, sh = 9, dw = 17, dh = 15;
    const auto colourOf = [](int32_t x, int32_t y) {
        return uint32_t(x * 19 + 1) | uint32_t(y * 27 + 1) << 8 | uint32_t(x * y * 7 & 0xFF) << 16;
    };
    const auto near = [](double a, double b) { return std::fabs(a - b) < 0.01; };
    for (int32_t depth : {24, 32})
        for (int32_t angle : {30, 200, 333})
            for (int smooth = 0; smooth < 2; smooth++) {
                auto source = Make(depth, sw, sh), turned = Make(depth, dw, dh);
                for (int32_t y = 0; y < sh; y++)
                    for (int32_t x = 0; x < sw; x++)
                        source->SetPixel(x, y, colourOf(x, y));
                ASSERT_EQ(source->RotateInto(turned.get(), angle, smooth, 0x0000FF), 1);
                const double c = std::cos(angle * M_PI / 180), s = std::sin(angle * M_PI / 180);
                for (int32_t y = 0; y < dh; y++)
                    for (int32_t x = 0; x < dw; x++) {
                        const double ox = x - (dw * 0.5 - 0.5), oy = y - (dh * 0.5 - 0.5);
                        const double u = sw * 0.5 + ox * c - oy * s, v = sh * 0.5 + ox * s + oy * c;
                        if (near(u, -1) || near(u, sw) || near(v, -1) || near(v, sh)) continue;
                        const uint32_t got = At(*turned, x, y);
                        if (u <= -1 || u >= sw || v <= -1 || v >= sh) {
                            EXPECT_EQ(got, 0x0000FFu) << x << "," << y;
                            continue;
                        }
                        const int32_t iu = u < 0 ? 0 : int32_t(u), iv = v < 0 ? 0 : int32_t(v);
                        if (!smooth) {
                            if (near(u, iu) || near(u, iu + 1) || near(v, iv) || near(v, iv + 1))
                                continue;
                            EXPECT_EQ(got, colourOf(iu, iv)) << x << "," << y;
                            continue;
                        }
                        const double fu = u < 0 ? 0 : u - iu, fv = v < 0 ? 0 : v - iv;
                        const int32_t nu = std::min(iu + 1, sw - 1), nv = std::min(iv + 1, sh - 1);
                        for (int shift = 0; shift < 24; shift += 8) {
                            const auto ch = [&](int32_t px, int32_t py) {
                                return double(colourOf(px, py) >> shift & 0xFF);
                            };
                            const double want =
                                (ch(iu, iv) * (1 - fu) + ch(nu, iv) * fu) * (1 - fv) +
                                (ch(iu, nv) * (1 - fu) + ch(nu, nv) * fu) * fv;
                            EXPECT_NEAR(double(got >> shift & 0xFF), want, 2.0)
                                << depth << " bits, " << angle << " degrees, at " << x << "," << y;
                        }
                    }
            }
}

TEST_F(SurfaceBlitTest, PixelsOverlapInsideBothSurfaces) {
    auto a = Make(32, 4, 4), b = Make(32, 4, 4);
    a->SetPixel(3, 3, 0xFF);
    b->SetPixel(0, 0, 0xFF);
    EXPECT_EQ(a->PixelsOverlap(b.get(), 0, 0, 3, 3, 4, 4), 1);
    EXPECT_EQ(a->PixelsOverlap(b.get(), 1, 0, 3, 3, 4, 4), 0);
    EXPECT_EQ(a->PixelsOverlap(b.get(), -3, -3, 0, 0, 4, 4), 1) << "the window clipped first";
    EXPECT_EQ(a->PixelsOverlap(b.get(), 0, 0, 10, 10, 4, 4), 0) << "empty window";
    EXPECT_EQ(a->PixelsOverlap(b.get(), 0, 0, 0, 0, 1 << 30, 1 << 30), 0);
    EXPECT_EQ(a->PixelsOverlap(Make(16, 4, 4).get(), 0, 0, 0, 0, 4, 4), 1)
        << "other pixel sizes cannot be compared";
}

TEST_F(SurfaceBlitTest, PaletteChangesKeepTheColours) {
    // The default colours in reverse order: every pixel must find its colour again.
    PaletteRecord* defaults = Palette_GetDefault();
    RawPalette raw = *defaults;
    for (int i = 1; i < 256; i++)
        raw.entries[i] = defaults->entries[256 - i];
    Palette_Release(defaults);
    PaletteRecord* other = Palette_AddRef(&raw);
    ASSERT_NE(other, nullptr);
    auto surface = Make(8, 4, 4);
    Pattern(*surface);
    std::vector<uint32_t> before;
    for (int32_t i = 0; i < 16; i++)
        before.push_back(At(*surface, i % 4, i / 4));
    ASSERT_EQ(surface->SetPalette(other, 1), 1);
    EXPECT_EQ(surface->GetPalette(), other);
    for (int32_t i = 0; i < 16; i++)
        EXPECT_EQ(At(*surface, i % 4, i / 4), before[size_t(i)]);
    PaletteEntry entries[4] = {};
    EXPECT_EQ(surface->GetPaletteEntries(nullptr, 0, 0), 256);
    EXPECT_EQ(surface->GetPaletteEntries(entries, 254, 4), 4) << "cut to the entries left";
    EXPECT_EQ(PaletteEntryColor(entries[1]), PaletteEntryColor(raw.entries[255]));
    EXPECT_EQ(surface->GetPaletteEntries(entries, 256, 1), 0);
    EXPECT_EQ(surface->IndexToColor(3), PaletteEntryColor(raw.entries[3]));
    EXPECT_EQ(surface->IndexToColor(256), 0u);
    Palette_Release(other);
    EXPECT_EQ(Make(24, 1, 1)->SetPalette(other, 0), 0);
}

} // namespace
