#include "graphics2d/drawing/surface_handle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/mem_surface.h"
#include "graphics2d/surfaces/null_surface.h"

#include "graphics2d/drawing/handle_fixture.h"

namespace {

using SurfaceHandleTest = MemoryHandleTest;

TEST_F(SurfaceHandleTest, CreateAssignAndOrigins) {
    SurfaceHandle handle;
    ASSERT_NE(handle.Create(0, -5, Prototype(32)), nullptr);
    EXPECT_EQ(handle.GetWidth(), 1);
    EXPECT_EQ(handle.GetHeight(), 1);
    EXPECT_EQ(handle.GetLastError(), 0u);

    SurfaceHandle source;
    source.Create(4, 2, Prototype(32));
    source.FillRectAll(0x112233);
    source.FillRect(3, 1, 1, 1, 0x445566);
    handle.Assign(&source, -1, 0);
    EXPECT_EQ(handle.GetWidth(), 4);
    EXPECT_EQ(At(handle, 3, 1), 0x445566u);
    handle.Assign(&source, 8, 4);
    EXPECT_EQ(handle.GetWidth(), 8);
    EXPECT_EQ(At(handle, 7, 3), 0x445566u);
    EXPECT_EQ(At(handle, 0, 0), 0x112233u);

    // An empty source empties the target and keeps its last error.
    SurfaceHandle failed;
    failed.Create(1 << 30, 1 << 30, Prototype(32));
    EXPECT_EQ(failed.GetLastError(), kSurfaceErrorNoMemory);
    EXPECT_FALSE(failed.IsValid());
    failed.Assign(&handle, -1, 0);
    EXPECT_TRUE(failed.IsValid());
    SurfaceHandle empty;
    failed.SetPalette(nullptr, 0);
    const uint32_t before = failed.GetLastError();
    failed.Assign(&empty, -1, 0);
    EXPECT_FALSE(failed.IsValid());
    EXPECT_EQ(failed.GetLastError(), before);

    // Origin (5, 7): handle coordinates are surface coordinates plus the origin.
    handle.SetOrigin(5, 7);
    handle.FillRect(5, 7, 1, 1, 0x0000FF);
    uint32_t colour = 0;
    ASSERT_EQ(handle.GetImpl()->GetPixel(0, 0, &colour), 1);
    EXPECT_EQ(colour, 0x0000FFu);
    handle.SetClipRect(6, 8, 2, 2);
    int32_t x, y, w, h;
    handle.GetClipRect(&x, &y, &w, &h);
    EXPECT_EQ(x, 6);
    EXPECT_EQ(y, 8);
    handle.GetImpl()->GetClipRect(&x, &y, &w, &h);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 1);
    POINT origin{};
    handle.GetOrigin(&origin);
    EXPECT_EQ(origin.x + origin.y, 12);
}

TEST_F(SurfaceHandleTest, EmptyHandleIsHarmlessEverywhere) {
    SurfaceHandle empty, other;
    other.Create(4, 4, Prototype(8));
    EXPECT_EQ(empty.GetImpl(), cNullSurface::Get());
    EXPECT_EQ(empty.Lock(), nullptr);
    empty.SetClipRect(1, 2, 3, 4);
    int32_t x, y, w, h;
    empty.GetClipRect(&x, &y, &w, &h);
    EXPECT_EQ(x + y + w + h, 0) << "the shared surface never changes";
    uint32_t value = 5;
    EXPECT_EQ(empty.GetPixel(0, 0, &value), 0);
    EXPECT_EQ(empty.FillRectAll(0xFF), 0);
    EXPECT_EQ(empty.Blit(&other, 0, 0, 0, 0, 4, 4, 0, 0, 0, 0), 0);
    EXPECT_EQ(other.Blit(&empty, 0, 0, 0, 0, 4, 4, 0, 0, 0, 0), 0);
    EXPECT_EQ(empty.StretchOver(&other, 1), 0);
    EXPECT_EQ(empty.MirrorX(), 0);
    EXPECT_EQ(empty.ReplaceColor(1, 2), 0);
    EXPECT_EQ(empty.GetPalette(), nullptr);
    EXPECT_EQ(empty.SetPalette(other.GetPalette(), 1), 0);
    EXPECT_EQ(empty.GetLastError(), kSurfaceErrorFailed);
    EXPECT_EQ(empty.PixelsOverlap(&other, 0, 0, 0, 0, 4, 4), 0);
    empty.RemapToPaletteOf(&other);
    uint8_t header[64];
    EXPECT_EQ(empty.ExportDIB(header, sizeof header, nullptr, 0, 0), 0);
    EXPECT_EQ(empty.GetImpl()->RotateInto(other.GetImpl(), 30, 1, 0), 0);
    empty.Release();
    EXPECT_EQ(empty.GetImpl(), cNullSurface::Get());
}

TEST_F(SurfaceHandleTest, PackedBitmapsRoundTripAtEveryDepth) {
    for (int32_t depth : {8, 15, 16, 24, 32}) {
        SurfaceHandle source, copy;
        source.Create(5, 3, Prototype(depth));
        for (int32_t i = 0; i < 15; i++)
            source.FillRect(i % 5, i / 5, 1, 1, uint32_t(0x080808 * (i + 1) + 0x40));
        const int64_t size = source.GetPackedDIBSize();
        std::vector<uint8_t> dib(size_t(size), 0xEE);
        // Header only first: no rows written.
        ASSERT_EQ(source.ExportDIB(dib.data(), dib.size(), nullptr, 0, kExportHeaderOnly), 1);
        EXPECT_EQ(dib.back(), 0xEE);
        ASSERT_EQ(source.ExportDIB(dib.data(), dib.size(), nullptr, 0, 0), 1);
        const uint16_t bitCount = uint16_t(dib[14] | dib[15] << 8);
        uint32_t compression;
        std::memcpy(&compression, &dib[16], 4);
        EXPECT_EQ(bitCount, depth == 15 ? 16 : depth);
        EXPECT_EQ(compression, depth == 16 ? 3u : 0u) << "5-6-5 carries its masks, 5-5-5 none";
        copy.Create(1, 1, Prototype(depth));
        ASSERT_EQ(copy.CreateFromDIB(dib.data(), dib.size(), nullptr, 0, kImportKeepPalette), 1)
            << depth;
        ASSERT_EQ(copy.GetWidth(), 5);
        for (int32_t i = 0; i < 15; i++)
            EXPECT_EQ(At(copy, i % 5, i / 5), At(source, i % 5, i / 5)) << depth << " bits";
        // A buffer one byte short is refused before anything is read or written.
        EXPECT_EQ(source.ExportDIB(dib.data(), dib.size() - 1, nullptr, 0, 0), 0);
        EXPECT_EQ(source.GetLastError(), kSurfaceErrorBadArgument);
        EXPECT_EQ(copy.CreateFromDIB(dib.data(), dib.size() - 1, nullptr, 0, 0), 0);
        EXPECT_EQ(copy.GetLastError(), kSurfaceErrorBadArgument);
    }
}

TEST_F(SurfaceHandleTest, PalettesOfImportedBitmaps) {
    SurfaceHandle source;
    source.Create(2, 1, Prototype(8));
    RawPalette raw = *source.GetPalette();
    for (int i = 10; i < 246; i++)
        raw.entries[i] = {uint8_t(i), 1, 2, 0};
    ASSERT_EQ(source.SetPaletteData(&raw, 0), 1);
    source.GetImpl()->SetPixelIndex(0, 0, 100);
    std::vector<uint8_t> dib(size_t(source.GetPackedDIBSize()));
    ASSERT_EQ(source.ExportDIB(dib.data(), dib.size(), nullptr, 0, 0), 1);

    SurfaceHandle adopt, keep, placed;
    for (SurfaceHandle* h : {&adopt, &keep, &placed})
        h->Create(2, 1, Prototype(8));
    PaletteRecord* ownPalette = keep.GetPalette();
    ASSERT_EQ(adopt.CreateFromDIB(dib.data(), dib.size(), nullptr, 0, kImportAdoptPalette), 1);
    EXPECT_EQ(adopt.IndexToColor(100), uint32_t(100 | 1 << 8 | 2 << 16));
    ASSERT_EQ(keep.CreateFromDIB(dib.data(), dib.size(), nullptr, 0, kImportKeepPalette), 1);
    EXPECT_EQ(keep.GetPalette(), ownPalette) << "bit 0 keeps the surface's palette";
    ASSERT_EQ(placed.CreateFromDIB(dib.data(), dib.size(), nullptr, 0, 0), 1);
    for (SurfaceHandle* h : {&adopt, &placed})
        EXPECT_EQ(At(*h, 0, 0), uint32_t(100 | 1 << 8 | 2 << 16));
}

TEST_F(SurfaceHandleTest, NarrowAndUnreadableBitmaps) {
    // A 4-bit bitmap of 16 colours and pixels 0..15 lands at indexes 10..25.
    std::vector<uint8_t> dib(40 + 64 + 8, 0);
    dib[0] = 40;
    dib[4] = 16;
    dib[8] = 1;
    dib[12] = 1;
    dib[14] = 4;
    for (int i = 0; i < 16; i++)
        dib[40 + 4 * i + 2] = uint8_t(i * 16);
    for (int i = 0; i < 8; i++)
        dib[104 + i] = uint8_t((2 * i) << 4 | (2 * i + 1));
    SurfaceHandle narrow;
    narrow.Create(1, 1, Prototype(8));
    ASSERT_EQ(narrow.CreateFromDIB(dib.data(), dib.size(), nullptr, 0, kImportAdoptPalette), 1);
    for (int32_t x = 0; x < 16; x++) {
        uint32_t index = 0;
        narrow.GetPixelIndex(x, 0, &index);
        EXPECT_EQ(index, uint32_t(10 + x));
        // Entries other than 0 are never pure black: (8, 0, 0) stands in.
        EXPECT_EQ(narrow.IndexToColor(index), uint32_t(x ? x * 16 : 8));
    }
    // Rows that do not fit are refused; so are run-length data and 2-bit pixels.
    EXPECT_EQ(narrow.CreateFromDIB(dib.data(), dib.size() - 1, nullptr, 0, 0), 0);
    EXPECT_EQ(narrow.GetLastError(), kSurfaceErrorBadArgument);
    dib[16] = 1;
    EXPECT_EQ(narrow.CreateFromDIB(dib.data(), dib.size(), nullptr, 0, 0), 0);
    EXPECT_EQ(narrow.GetLastError(), kSurfaceErrorFailed);
    dib[16] = 0;
    dib[14] = 2;
    EXPECT_EQ(narrow.CreateFromDIB(dib.data(), dib.size(), nullptr, 0, 0), 0);
    EXPECT_EQ(narrow.GetLastError(), kSurfaceErrorFailed);
    dib[14] = 4;
    dib[4] = 0;
    EXPECT_EQ(narrow.CreateFromDIB(dib.data(), dib.size(), nullptr, 0, 0), 0);
    EXPECT_EQ(narrow.GetLastError(), kSurfaceErrorBadArgument) << "width 0";
    EXPECT_EQ(narrow.GetWidth(), 16) << "the picture is kept after a refusal";
}

} // namespace
