#include "graphics2d/surfaces/surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "foundation/files/file_layer.h"
#include "graphics2d/blitter/blitter.h"
#include "graphics2d/formats/image_test_support.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/mem_surface.h"
#include "graphics2d/surfaces/packed_dib_surface.h"
#include "support/temp_dir.h"

namespace {

using image_test::ByteBuilder;

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(CreatePaletteContext(), nullptr); }
    void TearDown() override { ReleasePaletteContext(); }

    std::unique_ptr<cSurface> Make(int32_t depth, int32_t width, int32_t height) {
        cMemSurface prototype;
        if (!prototype.InitFormat(depth)) return nullptr;
        return std::unique_ptr<cSurface>(prototype.MakeInstance(width, height));
    }
};

TEST_F(SurfaceTest, InstancesArePaddedZeroFilledAndShareThePalette) {
    const int32_t depths[] = {8, 15, 16, 24, 32};
    const int32_t pitches[] = {36, 68, 68, 100, 132};
    for (int i = 0; i < 5; i++) {
        auto surface = Make(depths[i], 33, 5);
        ASSERT_NE(surface, nullptr);
        const SurfaceBits* bits = surface->GetBits();
        EXPECT_EQ(bits->pitch, pitches[i]) << depths[i];
        EXPECT_EQ(bits->signedPitch, pitches[i]);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(bits->pixels) % 8, 0u);
        EXPECT_EQ(bits->clipRight, 33);
        EXPECT_EQ(bits->clipBottom, 5);
        EXPECT_EQ(Surface_IsBlank(bits), 1);
    }
    // An instance holds a use of its prototype's palette until it goes.
    cMemSurface prototype;
    ASSERT_TRUE(prototype.InitFormat(8));
    PaletteRecord* palette = prototype.GetPalette();
    const uint32_t uses = palette->useCount;
    cSurface* surface = prototype.MakeInstance(4, 4);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->GetPalette(), palette);
    EXPECT_EQ(palette->useCount, uses + 1);
    delete surface;
    EXPECT_EQ(palette->useCount, uses);
}

TEST_F(SurfaceTest, SizesAreCheckedIn64Bits) {
    EXPECT_EQ(Make(32, 0x8000, 0x4000), nullptr) << "2^31 bytes is one too many";
    EXPECT_EQ(Make(32, 0x40000000, 2), nullptr) << "the pitch alone overflows 32 bits";
    EXPECT_EQ(Make(8, -1, 5), nullptr);
    EXPECT_EQ(Make(8, 5, -1), nullptr);
    auto empty = Make(8, 0, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->FillRect(0, 0, 1, 1, 0), 0);

    cMemSurface prototype;
    EXPECT_EQ(prototype.MakeInstance(4, 4), nullptr) << "a prototype without a format";
}

TEST_F(SurfaceTest, FailedResizeKeepsTheSurface) {
    auto surface = Make(16, 10, 10);
    ASSERT_NE(surface, nullptr);
    surface->SetPixel(3, 3, 0xFFFFFF);
    const uint8_t* pixels = surface->GetBits()->pixels;
    EXPECT_EQ(surface->Resize(0x10000, 0x10000), 0);
    EXPECT_EQ(surface->GetWidth(), 10);
    EXPECT_EQ(surface->GetBits()->pixels, pixels);
    uint32_t colour = 0;
    EXPECT_EQ(surface->GetPixel(3, 3, &colour), 1);
    EXPECT_EQ(colour, 0xF8FCF8u);

    surface->SetClipRect(2, 2, 3, 3);
    ASSERT_EQ(surface->Resize(20, 7), 1);
    EXPECT_EQ(surface->GetBits()->pitch, 40);
    int32_t x, y, w, h;
    surface->GetClipRect(&x, &y, &w, &h);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(w, 20);
    EXPECT_EQ(h, 7);
    EXPECT_EQ(Surface_IsBlank(surface->GetBits()), 1);
}

TEST_F(SurfaceTest, PixelsGoToAFileAndBack) {
    test_support::TempDir dir;
    const std::string path = dir.Win("pixels.bin");
    auto written = Make(24, 7, 3);
    ASSERT_NE(written, nullptr);
    written->FillRect(1, 1, 5, 2, 0x102030);
    HANDLE file = FileCreate(path.c_str());
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(written->WritePixels(file), 1);
    FileClose(file);
    EXPECT_EQ(FileGetSizeByName(path.c_str()), 24u * 3);

    auto read = Make(24, 7, 3);
    file = FileOpen(path.c_str(), 0);
    EXPECT_EQ(read->ReadPixels(file), 1);
    EXPECT_EQ(read->ReadPixels(file), 0) << "nothing left to read";
    FileClose(file);
    EXPECT_EQ(memcmp(read->GetBits()->pixels, written->GetBits()->pixels, 72), 0);
}

// A packed bitmap: the 40-byte header, `extra` bytes of masks or colours, then rows.
std::vector<uint8_t> PackedDib(int32_t width, int32_t height, uint16_t bitCount,
                               uint32_t compression, uint32_t colorsUsed, size_t extra,
                               size_t rowBytes) {
    ByteBuilder b;
    b.U32(40).U32(width).U32(height).U16(1).U16(bitCount).U32(compression).Fill(12, 0);
    return b.U32(colorsUsed).U32(0).Fill(extra + rowBytes, 0).Data();
}

void PutMasks(std::vector<uint8_t>& dib, uint32_t red, uint32_t green, uint32_t blue) {
    const uint32_t masks[3] = {red, green, blue};
    for (int m = 0; m < 3; m++)
        for (int i = 0; i < 4; i++)
            dib[40 + 4 * m + i] = uint8_t(masks[m] >> (8 * i));
}

TEST_F(SurfaceTest, PackedDibRowOrder) {
    auto dib = PackedDib(3, 2, 24, 0, 0, 0, 24);
    dib[40] = 0x11; // first row in memory, first pixel
    {
        cPackedDIBSurface bottomUp(dib.data(), dib.size(), nullptr, 0, 0);
        uint32_t colour = 0;
        ASSERT_EQ(bottomUp.GetPixelRaw(0, 1, &colour), 1);
        EXPECT_EQ(colour, 0x110000u) << "the first row in memory is the bottom row";
        EXPECT_EQ(bottomUp.GetBits()->signedPitch, -12);
    }
    auto topDown = PackedDib(3, -2, 24, 0, 0, 0, 24);
    topDown[40] = 0x11;
    cPackedDIBSurface surface(topDown.data(), topDown.size(), nullptr, 0, 0);
    uint32_t colour = 0;
    ASSERT_EQ(surface.GetPixelRaw(0, 0, &colour), 1);
    EXPECT_EQ(colour, 0x110000u);
    EXPECT_EQ(surface.GetHeight(), 2);
    EXPECT_EQ(surface.MakeInstance(2, 2), nullptr);
}

TEST_F(SurfaceTest, PackedDibFormats) {
    struct Case {
        uint16_t bitCount;
        uint32_t compression;
        uint32_t masks[3];
        int32_t depth;
    };
    const Case cases[] = {
        {16, 0, {}, 15},
        {16, 3, {0x7C00, 0x3E0, 0x1F}, 15},
        {16, 3, {0xF800, 0x7E0, 0x1F}, 16},
        {16, 3, {0xF800, 0x7E0, 0x3F}, 0},
        {24, 3, {1, 2, 3}, 24},
        {32, 0, {}, 32},
        {32, 3, {0xFF0000, 0xFF00, 0xFF}, 32},
        {32, 3, {0xFF, 0xFF00, 0xFF0000}, 0},
        {8, 3, {}, 0},
        {4, 0, {}, 0},
        {1, 0, {}, 0},
        {40, 0, {}, 0},
        {24, 1, {}, 0},
    };
    for (const Case& c : cases) {
        const size_t extra = c.compression == 3 ? 12 : c.bitCount == 8 ? 1024 : 0;
        auto dib = PackedDib(5, 2, c.bitCount, c.compression, 0, extra, 2 * 20);
        if (c.compression == 3) PutMasks(dib, c.masks[0], c.masks[1], c.masks[2]);
        cPackedDIBSurface surface(dib.data(), dib.size(), nullptr, 0, 0);
        EXPECT_EQ(surface.GetDepth(), c.depth)
            << c.bitCount << " bits, compression " << c.compression;
        EXPECT_EQ(surface.Lock(), c.depth != 0);
        if (c.depth) {
            EXPECT_EQ(surface.GetBits()->pixels,
                      dib.data() + 40 + extra + surface.GetBits()->pitch);
        }
    }
}

TEST_F(SurfaceTest, PackedDibMustFitItsBuffers) {
    auto dib = PackedDib(5, 3, 16, 0, 0, 0, 36);
    EXPECT_EQ(cPackedDIBSurface(dib.data(), dib.size() - 1, nullptr, 0, 0).Lock(), 0);
    EXPECT_EQ(cPackedDIBSurface(dib.data(), 39, nullptr, 0, 0).Lock(), 0);
    EXPECT_EQ(cPackedDIBSurface(nullptr, 0, nullptr, 0, 0).Lock(), 0);
    EXPECT_EQ(cPackedDIBSurface(dib.data(), dib.size(), nullptr, 0, 0).Lock(), 1);
    std::vector<uint8_t> rows(36);
    EXPECT_EQ(cPackedDIBSurface(dib.data(), 40, rows.data(), 35, 0).Lock(), 0);
    cPackedDIBSurface separate(dib.data(), 40, rows.data(), 36, 0);
    EXPECT_EQ(separate.Lock(), 1);
    EXPECT_EQ(separate.GetBits()->pixels, rows.data() + 24) << "bottom row first";

    auto huge = PackedDib(0x10000, 0x8000, 8, 0, 0, 1024, 0);
    EXPECT_EQ(cPackedDIBSurface(huge.data(), huge.size(), rows.data(), SIZE_MAX, 0).Lock(), 0);
    auto negative = PackedDib(-4, 2, 8, 0, 0, 1024, 8);
    EXPECT_EQ(cPackedDIBSurface(negative.data(), negative.size(), nullptr, 0, 0).Lock(), 0);
}

TEST_F(SurfaceTest, PackedDibColourTable) {
    // 1000 colours claimed: only 256 are read, and the table of 256 must be there.
    auto dib = PackedDib(4, 1, 8, 0, 1000, 1024, 4);
    dib[40 + 4 * 3 + 0] = 30; // entry 3 blue
    dib[40 + 4 * 3 + 2] = 90; // entry 3 red
    dib[40 + 1024] = 3;
    {
        cPackedDIBSurface surface(dib.data(), dib.size(), nullptr, 0, 1);
        ASSERT_NE(surface.GetPalette(), nullptr);
        uint32_t colour = 0;
        ASSERT_EQ(surface.GetPixel(0, 0, &colour), 1);
        EXPECT_EQ(colour, 0x1E005Au);
    }
    // Two colours used: the rows follow a two-entry table, with a palette or without.
    auto small = PackedDib(4, 1, 8, 0, 2, 8, 4);
    small[48] = 1;
    for (int makePalette = 0; makePalette < 2; makePalette++) {
        cPackedDIBSurface surface(small.data(), small.size(), nullptr, 0, makePalette);
        uint32_t index = 0;
        ASSERT_EQ(surface.GetPixelRaw(0, 0, &index), 1);
        EXPECT_EQ(index, 1u);
        EXPECT_EQ(surface.GetPalette() != nullptr, makePalette == 1);
    }
}

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
