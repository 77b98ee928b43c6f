#include "graphics2d/surface.h"

#include <gtest/gtest.h>

#include <memory>

#include "graphics2d/blitter.h"
#include "graphics2d/mem_surface.h"
#include "graphics2d/palette.h"

namespace {

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(CreatePaletteContext(), nullptr); }
    void TearDown() override { ReleasePaletteContext(); }

    std::unique_ptr<cSurface> Make(int32_t depth, int32_t width, int32_t height) {
        cMemSurface prototype;
        EXPECT_EQ(prototype.InitFormat(depth), 1);
        return std::unique_ptr<cSurface>(prototype.MakeInstance(width, height));
    }
};

TEST_F(SurfaceTest, ClipRectangleIsStoredAsSetButPixelsStayInside) {
    auto surface = Make(8, 10, 10);
    surface->SetClipRect(-5, -5, 20, 20);
    int32_t x, y, w, h;
    surface->GetClipRect(&x, &y, &w, &h);
    EXPECT_EQ(x, -5);
    EXPECT_EQ(y, -5);
    EXPECT_EQ(w, 15) << "right is cut to the width, left is not raised";
    EXPECT_EQ(h, 15);
    EXPECT_EQ(surface->SetPixel(-1, 0, kColorIsIndex | 9), 0);
    EXPECT_EQ(surface->SetPixelIndex(0, -1, 9), 0);
    uint32_t value = 77;
    EXPECT_EQ(surface->GetPixelRaw(-3, -3, &value), 0);
    EXPECT_EQ(value, 77u) << "nothing written outside";
    EXPECT_EQ(surface->FillRect(-5, -5, 100, 100, kColorIsIndex | 4), 1);
    EXPECT_EQ(Surface_IsBlank(surface->GetBits()), 0);
    for (int32_t i = 0; i < 10; i++) {
        ASSERT_EQ(surface->GetPixelRaw(i, 9 - i, &value), 1);
        EXPECT_EQ(value, 4u);
    }

    surface->SetClipRect(2, 3, 4, 5);
    EXPECT_EQ(surface->SetPixel(1, 3, kColorIsIndex | 1), 0);
    EXPECT_EQ(surface->SetPixel(2, 3, kColorIsIndex | 1), 1);
    EXPECT_EQ(surface->SetPixelIndex(5, 7, 2), 1);
    EXPECT_EQ(surface->SetPixelIndex(6, 7, 2), 0);
    EXPECT_EQ(surface->FillRect(20, 20, 5, 5, 0), 0);
    surface->ResetClipRect();
    surface->GetClipRect(&x, &y, &w, &h);
    EXPECT_EQ(x + y + w + h, 20);
}

TEST_F(SurfaceTest, PixelsByColourAndByValue) {
    auto paletted = Make(8, 4, 4);
    PaletteRecord* palette = paletted->GetPalette();
    ASSERT_NE(palette, nullptr);
    const uint32_t colour = PaletteEntryColor(palette->entries[200]);
    ASSERT_EQ(paletted->SetPixel(1, 1, colour), 1);
    uint32_t value = 0;
    ASSERT_EQ(paletted->GetPixelRaw(1, 1, &value), 1);
    EXPECT_EQ(value, 200u);
    ASSERT_EQ(paletted->GetPixel(1, 1, &value), 1);
    EXPECT_EQ(value, colour);

    auto deep = Make(32, 4, 4);
    deep->FillRectRaw(0, 0, 2, 1, 0xAB);
    ASSERT_EQ(deep->GetPixelRaw(1, 0, &value), 1);
    EXPECT_EQ(value, 0xABABABu);
    EXPECT_EQ(deep->GetBits()->pixels[7], 0xAB) << "the raw fill writes every byte";
    EXPECT_EQ(deep->GetBits()->pixels[8], 0);
}

TEST_F(SurfaceTest, OnlyEightBitSurfacesHoldThePalette) {
    cMemSurface surface;
    EXPECT_EQ(surface.SetFormat(33), 0);
    ASSERT_EQ(surface.InitFormat(8), 1);
    EXPECT_NE(surface.GetPalette(), nullptr);
    ASSERT_EQ(surface.InitFormat(24), 1);
    EXPECT_EQ(surface.GetPalette(), nullptr);
    EXPECT_EQ(surface.GetOpSupport(6), 0);
    EXPECT_EQ(surface.Lock(), 0) << "a prototype has no pixels";

    ReleasePaletteContext();
    cMemSurface unregistered;
    EXPECT_EQ(unregistered.InitFormat(8), 0) << "no default palette for this thread";
    ASSERT_NE(CreatePaletteContext(), nullptr);
}

} // namespace
