#include "graphics2d/blitter/blitter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "blitter_reference.h"
#include "graphics2d/blitter/blitter_rows.h"
#include "graphics2d/palette/palette.h"

namespace {

using blitter_reference::TestImage;

class BlitterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(CreatePaletteContext(), nullptr);
        RawPalette raw{kPaletteVersion, kPaletteEntryCount, {}};
        for (auto& entry : raw.entries)
            entry = {uint8_t(rng_()), uint8_t(rng_()), uint8_t(rng_()), 0};
        raw.entries[0] = {0, 0, 0, 0};
        // Shares black's cell of the inverse table and packs to 0 at 15 and 16 bits.
        raw.entries[7] = {4, 2, 4, 0};
        palette_ = Palette_AddRef(&raw);
        ASSERT_NE(palette_, nullptr);
    }
    void TearDown() override {
        Palette_Release(palette_);
        ReleasePaletteContext();
    }

    // A random image of the format, 8-bit ones with the test palette.
    TestImage Random(int32_t format, int32_t width, int32_t height, int keyPercent = 10) {
        TestImage image(format, width, height, rng_() % 2 == 0, int32_t(rng_() % 4),
                        format == kFormat8 ? palette_ : nullptr);
        image.Randomize(rng_, keyPercent);
        return image;
    }
    int32_t Below(int32_t n) { return int32_t(rng_() % uint32_t(n)); }

    std::mt19937 rng_{12345};
    PaletteRecord* palette_ = nullptr;
};

const int32_t kDepths[kFormatCount] = {8, 15, 16, 24, 32};

TEST_F(BlitterTest, PixelsReadBackInEveryFormat) {
    const uint32_t colour = 0x00C08040; // blue C0, green 80, red 40
    // 5-5-5 and 5-6-5 fields; bytes blue, green, red; at 32 bits the fourth byte is kept.
    const uint32_t words[kFormatCount] = {0, 8 << 10 | 16 << 5 | 24, 8 << 11 | 32 << 5 | 24,
                                          0x4080C0, 0xFF4080C0};
    for (int32_t f = 0; f < kFormatCount; f++) {
        TestImage image(f, 3, 2, f % 2 == 1, 1, f == kFormat8 ? palette_ : nullptr);
        const PixelFormatOps* ops = GetPixelFormatOps(f);
        image.SetWord(1, 1, 0xFFFFFFFF);
        ops->PutPixel(&image.bits, 1, 1, colour);
        const uint32_t got = ops->GetPixel(&image.bits, 1, 1);
        if (f == kFormat8) {
            EXPECT_EQ(got, Palette_FindNearest(palette_->entries, 256, colour));
            ops->PutPixel(&image.bits, 1, 1, kColorIsIndex | 7);
            EXPECT_EQ(ops->GetPixel(&image.bits, 1, 1), 7u);
            ops->PutPixel(&image.bits, 1, 1, 0);
            EXPECT_EQ(image.Word(1, 1), 0u) << "black is the key index even beside (4, 2, 4)";
        } else {
            EXPECT_EQ(image.Word(1, 1), words[f]) << kDepths[f];
            EXPECT_EQ(got, colour) << kDepths[f];
        }
        EXPECT_EQ(image.Word(0, 1), 0u);
        EXPECT_EQ(image.Word(2, 1), 0u);
        EXPECT_EQ(image.Word(1, 0), 0u);
    }
    TestImage white(kFormat16, 1, 1);
    white.SetWord(0, 0, 0xFFFF);
    EXPECT_EQ(white.bits.formatOps->GetPixel(&white.bits, 0, 0), 0x00F8FCF8u) << "low bits zero";
}

TEST_F(BlitterTest, FillAndReplaceColorStayInTheirRectangle) {
    for (int32_t f = 0; f < kFormatCount; f++) {
        TestImage image = Random(f, 37, 9, 0);
        TestImage expected = image;
        const PixelFormatOps* ops = GetPixelFormatOps(f);
        ops->FillRect(&image.bits, 3, 2, 33, 5, 0x123456);
        const uint32_t word = blitter_reference::ConvertedWord(expected.bits, 0x123456);
        for (int32_t y = 2; y < 7; y++)
            for (int32_t x = 3; x < 36; x++)
                expected.SetWord(x, y, word);
        EXPECT_TRUE(image.SameBytes(expected)) << "format " << f;

        ops->ReplaceColor(&image.bits, 0, 0, 37, 4, 0x00FF00FF, 0x123456);
        const uint32_t to = blitter_reference::ConvertedWord(expected.bits, 0x00FF00FF);
        for (int32_t y = 0; y < 4; y++)
            for (int32_t x = 0; x < 37; x++)
                if ((expected.Word(x, y) & blitter_reference::ColorBits(f)) == word)
                    expected.SetWord(x, y, to);
        EXPECT_TRUE(image.SameBytes(expected)) << "format " << f;
    }
}

TEST_F(BlitterTest, ConversionMatrix) {
    for (int32_t from = 0; from < kFormatCount; from++)
        for (int32_t to = 0; to < kFormatCount; to++) {
            TestImage source = Random(from, 23, 5);
            // A colour that packs to 0 at 15 and 16 bits without being black must not become
            // the key.
            source.SetWord(3, 1, from == kFormat8 ? 7 : 0x040204);
            TestImage destination = Random(to, 29, 7);
            TestImage expected = destination;
            source.bits.formatOps->ConvertCopy(&destination.bits, 4, 1, &source.bits, 2, 0, 19, 5);
            blitter_reference::Convert(expected, 4, 1, source, 2, 0, 19, 5);
            EXPECT_TRUE(destination.SameBytes(expected)) << kDepths[from] << " -> " << kDepths[to];
        }
}

// Random sizes and offsets inside random surfaces: the rectangle that a caller would have
// clipped, with the rest of both buffers compared byte for byte.
TEST_F(BlitterTest, CopiesAndOperationsMatchTheReference) {
    for (int32_t f = 0; f < kFormatCount; f++)
        for (int32_t op = 0; op < kBlitOpCount; op++)
            for (int keyed = 0; keyed < 2; keyed++)
                for (int round = 0; round < 6; round++) {
                    const int32_t width = 1 + Below(300), height = 1 + Below(6);
                    TestImage source = Random(f, width + Below(9), height + Below(3));
                    TestImage destination = Random(f, width + Below(9), height + Below(3));
                    const int32_t sx = Below(source.bits.width - width + 1);
                    const int32_t sy = Below(source.bits.height - height + 1);
                    const int32_t dx = Below(destination.bits.width - width + 1);
                    const int32_t dy = Below(destination.bits.height - height + 1);
                    uint32_t param = rng_();
                    const uint32_t weights[] = {0, 128, 500};
                    if (op == kBlitOpBlend) param = round < 3 ? weights[round] : Below(129);
                    TestImage expected = destination;
                    const PixelFormatOps* ops = GetPixelFormatOps(f);
                    if (op == 0 && keyed)
                        ops->CopyKeyed(&destination.bits, dx, dy, &source.bits, sx, sy, width,
                                       height);
                    else if (op == 0)
                        ops->CopyPlain(&destination.bits, dx, dy, &source.bits, sx, sy, width,
                                       height);
                    else if (keyed)
                        ops->CopyKeyedOp(&destination.bits, dx, dy, &source.bits, sx, sy, width,
                                         height, op, param);
                    else
                        ops->CopyOp(&destination.bits, dx, dy, &source.bits, sx, sy, width, height,
                                    op, param);
                    // Codes without a pixel routine change nothing, nor does the tint
                    // without the key.
                    const bool none = op == kBlitOpGdi || (op == kBlitOpTint && !keyed);
                    if (!none)
                        blitter_reference::Copy(expected, dx, dy, source, sx, sy, width, height,
                                                keyed, op, param);
                    ASSERT_TRUE(destination.SameBytes(expected))
                        << "depth " << kDepths[f] << " op " << op << " keyed " << keyed << " width "
                        << width << " param " << param;
                }
}

// Plain copies and fills take whole-width rows of alike surfaces as one span and long rows
// in blocks: both layouts, rows apart and together, and two halves of one surface.
TEST_F(BlitterTest, CopiesAndFillsOfWholeAndLongRows) {
    for (int32_t f = 0; f < kFormatCount; f++)
        for (int32_t width : {4, 8, 300, 700})
            for (int layout = 0; layout < 4; layout++) {
                const bool sourceUp = layout & 1, destinationUp = layout >> 1;
                TestImage source(f, width, 6, sourceUp, 0, f == kFormat8 ? palette_ : nullptr);
                TestImage destination(f, width, 7, destinationUp, 0,
                                      f == kFormat8 ? palette_ : nullptr);
                source.Randomize(rng_, 0);
                destination.Randomize(rng_, 0);
                TestImage expected = destination;
                const PixelFormatOps* ops = GetPixelFormatOps(f);
                ops->CopyPlain(&destination.bits, 0, 1, &source.bits, 0, 0, width, 6);
                blitter_reference::Copy(expected, 0, 1, source, 0, 0, width, 6, false, 0, 0);
                ASSERT_TRUE(destination.SameBytes(expected))
                    << "format " << f << " width " << width << " layout " << layout;
                // Narrower than the surfaces: the rows lie apart.
                ops->CopyPlain(&destination.bits, 1, 0, &source.bits, 0, 2, width - 2, 4);
                blitter_reference::Copy(expected, 1, 0, source, 0, 2, width - 2, 4, false, 0, 0);
                ASSERT_TRUE(destination.SameBytes(expected));
                const TestImage before = destination;
                ops->CopyPlain(&destination.bits, 0, 4, &destination.bits, 0, 0, width, 3);
                blitter_reference::Copy(expected, 0, 4, before, 0, 0, width, 3, false, 0, 0);
                ASSERT_TRUE(destination.SameBytes(expected)) << "halves of one surface";
                ops->FillRect(&destination.bits, 0, 2, width, 3, 0x123456);
                const uint32_t word = blitter_reference::ConvertedWord(expected.bits, 0x123456);
                for (int32_t y = 2; y < 5; y++)
                    for (int32_t x = 0; x < width; x++)
                        expected.SetWord(x, y, word);
                ASSERT_TRUE(destination.SameBytes(expected)) << "whole-width fill";
            }
}

// Large 8-bit areas take the per-channel operations from a table of index pairs.
TEST_F(BlitterTest, EightBitChannelOperationsOnLargeAreas) {
    const int32_t width = 520, height = 520;
    for (int32_t op : {kBlitOpBlend, kBlitOpTint, kBlitOpAdd})
        for (int keyed = 0; keyed < 2; keyed++) {
            if (op == kBlitOpTint && !keyed) continue;
            TestImage source = Random(kFormat8, width + 3, height, 20);
            TestImage destination = Random(kFormat8, width, height + 2, 20);
            TestImage expected = destination;
            const uint32_t param = op == kBlitOpTint ? 0x30000000u | 0x2040C0 : 40;
            const PixelFormatOps* ops = GetPixelFormatOps(kFormat8);
            (keyed ? ops->CopyKeyedOp : ops->CopyOp)(&destination.bits, 0, 1, &source.bits, 3, 0,
                                                     width, height, op, param);
            blitter_reference::Copy(expected, 0, 1, source, 3, 0, width, height, keyed, op, param);
            EXPECT_TRUE(destination.SameBytes(expected)) << "op " << op << " keyed " << keyed;
        }
}

uint32_t SwapAndDarken(uint32_t destination, uint32_t source, uintptr_t user) {
    return (source >> 1 & 0x7F7F7F) + (destination & 0xFF) + uint32_t(user);
}

TEST_F(BlitterTest, CallbackCopiesPassColours) {
    for (int32_t f = 0; f < kFormatCount; f++)
        for (int keyed = 0; keyed < 2; keyed++) {
            TestImage source = Random(f, 40, 3, 20);
            TestImage destination = Random(f, 40, 3);
            TestImage expected = destination;
            const PixelFormatOps* ops = GetPixelFormatOps(f);
            (keyed ? ops->CopyCallbackKeyed : ops->CopyCallback)(
                &destination.bits, 0, 0, &source.bits, 0, 0, 40, 3, SwapAndDarken, 0x10);
            for (int32_t y = 0; y < 3; y++)
                for (int32_t x = 0; x < 40; x++) {
                    const uint32_t s = source.Word(x, y);
                    if (keyed && s == 0) continue;
                    const uint32_t colour = SwapAndDarken(
                        blitter_reference::ColorOf(expected.bits, expected.Word(x, y)),
                        blitter_reference::ColorOf(source.bits, s), 0x10);
                    expected.SetWord(x, y,
                                     f == kFormat8 ? Palette_ColorToIndex(palette_, colour)
                                                   : blitter_reference::Pack(f, colour));
                }
            EXPECT_TRUE(destination.SameBytes(expected)) << "format " << f << " keyed " << keyed;
        }
}

TEST_F(BlitterTest, MirrorsExchangePixelsAndRows) {
    for (int32_t f = 0; f < kFormatCount; f++)
        for (int32_t height : {1, 4, 5}) {
            TestImage image = Random(f, 11, height + 2);
            TestImage before = image;
            GetPixelFormatOps(f)->MirrorHorizontal(&image.bits, 2, 1, 7, height);
            for (int32_t y = 1; y <= height; y++)
                for (int32_t x = 0; x < 7; x++)
                    EXPECT_EQ(image.Word(2 + x, y), before.Word(8 - x, y));
            TestImage flipped = before;
            const int32_t bpp = flipped.bits.bytesPerPixel;
            Surface_FlipVertical(&flipped.bits, 2 * bpp, 1, 7 * bpp, height);
            TestImage expected = before;
            for (int32_t y = 0; y < height; y++)
                for (int32_t x = 2; x < 9; x++)
                    expected.SetWord(x, 1 + y, before.Word(x, height - y));
            EXPECT_TRUE(flipped.SameBytes(expected)) << "format " << f << " height " << height;
        }
}

TEST_F(BlitterTest, OverlappingMovesInEveryDirection) {
    const int32_t moves[][2] = {{1, 0}, {-1, 0},  {0, 1},  {0, -1},
                                {3, 2}, {-3, -2}, {2, -3}, {-2, 3}};
    for (int32_t f = 0; f < kFormatCount; f++)
        for (const auto& move : moves) {
            TestImage image = Random(f, 20, 14, 0);
            TestImage expected = image;
            const TestImage before = image;
            Blit_MoveRect(&image.bits, 4 + move[0], 4 + move[1], 4, 4, 10, 6);
            blitter_reference::Copy(expected, 4 + move[0], 4 + move[1], before, 4, 4, 10, 6, false,
                                    0, 0);
            EXPECT_TRUE(image.SameBytes(expected))
                << "format " << f << " move " << move[0] << "," << move[1];
        }
}

// The destination rectangle fills its whole test image, so any write outside it lands
// outside the buffer; a second run inside a larger image checks the pixels around it.
TEST_F(BlitterTest, StretchFillsExactlyTheDestination) {
    for (int32_t f = 0; f < kFormatCount; f++)
        for (int round = 0; round < 25; round++) {
            const int32_t sw = 1 + Below(round < 5 ? 3 : 70), sh = 1 + Below(20);
            const int32_t dw = round == 24 ? 2500 : 1 + Below(round % 2 ? 300 : 40);
            const int32_t dh = 1 + Below(40);
            TestImage source = Random(f, sw + 3, sh + 2);
            TestImage tight = Random(f, dw, dh);
            TestImage expected = tight;
            Blit_Stretch(&tight.bits, 0, 0, &source.bits, 2, 1, dw, dh, sw, sh);
            blitter_reference::Stretch(expected, 0, 0, source, 2, 1, dw, dh, sw, sh);
            ASSERT_TRUE(tight.SameBytes(expected))
                << "format " << f << " " << sw << "x" << sh << " -> " << dw << "x" << dh;

            TestImage framed = Random(f, dw + 4, dh + 4);
            TestImage framedExpected = framed;
            Blit_Stretch(&framed.bits, 2, 2, &source.bits, 2, 1, dw, dh, sw, sh);
            blitter_reference::Stretch(framedExpected, 2, 2, source, 2, 1, dw, dh, sw, sh);
            ASSERT_TRUE(framed.SameBytes(framedExpected));
        }
}

TEST_F(BlitterTest, StretchOfHugeRatiosStaysInside) {
    TestImage source(kFormat8, 70000, 1), destination(kFormat8, 3, 1);
    source.SetWord(69999, 0, 9);
    Blit_Stretch(&destination.bits, 0, 0, &source.bits, 0, 0, 3, 1, 70000, 1);
    EXPECT_EQ(destination.Word(2, 0), 9u) << "rows rounding short repeat the last pixel";
    TestImage wide(kFormat32, 70000, 1), one(kFormat32, 1, 1);
    one.SetWord(0, 0, 0x123456);
    Blit_Stretch(&wide.bits, 0, 0, &one.bits, 0, 0, 70000, 1, 1, 1);
    EXPECT_EQ(wide.Word(0, 0), 0x123456u);
    EXPECT_EQ(wide.Word(69999, 0), 0x123456u);
}

TEST_F(BlitterTest, WholeSurfaceQueries) {
    for (int32_t f = 0; f < kFormatCount; f++) {
        TestImage image(f, 9, 7, f % 2 == 0, 1);
        RECT bounds{-1, -1, -1, -1};
        EXPECT_EQ(Surface_IsBlank(&image.bits), 1);
        EXPECT_EQ(Surface_FindBounds(&image.bits, &bounds), 0);
        EXPECT_EQ(bounds.left, -1);
        image.SetWord(6, 1, 1u << (8 * image.bits.bytesPerPixel - 1));
        image.SetWord(2, 5, 1);
        EXPECT_EQ(Surface_IsBlank(&image.bits), 0);
        ASSERT_EQ(Surface_FindBounds(&image.bits, &bounds), 1);
        EXPECT_EQ(bounds.left, 2);
        EXPECT_EQ(bounds.top, 1);
        EXPECT_EQ(bounds.right, 7);
        EXPECT_EQ(bounds.bottom, 6);
    }
    TestImage image(kFormat8, 5, 3);
    Surface_FillBytes(&image.bits, 1, 1, 3, 2, 4);
    uint8_t map[256];
    for (int i = 0; i < 256; i++)
        map[i] = uint8_t(i * 2);
    Surface_RemapIndices(&image.bits, 0, 0, 5, 3, map);
    EXPECT_EQ(image.Word(0, 1), 0u);
    EXPECT_EQ(image.Word(1, 1), 8u);
    EXPECT_EQ(image.Word(3, 2), 8u);
    EXPECT_EQ(image.Word(4, 2), 0u);
}

// The row loops are built for the baseline and for AVX2, and the tables above use the AVX2
// build where the processor has it: both builds must give the same bytes.
TEST_F(BlitterTest, BothKernelBuildsAgree) {
    if (!__builtin_cpu_supports("avx2")) GTEST_SKIP() << "no AVX2 build to compare";
    const int32_t bytes[kFormatCount] = {1, 2, 2, 3, 4};
    for (int32_t f = 0; f < kFormatCount; f++) {
        const BlitRowKernels& base = kBlitRowKernelsBaseline[f];
        const BlitRowKernels& wide = kBlitRowKernelsAvx2[f];
        for (int round = 0; round < 40; round++) {
            const int32_t n = Below(700), offset = Below(4);
            std::vector<uint8_t> source(size_t(n) * bytes[f] + 4), a(source.size());
            for (auto& byte : source)
                byte = Below(5) == 0 ? 0 : uint8_t(rng_());
            for (auto& byte : a)
                byte = uint8_t(rng_());
            for (int32_t i = 0; i < n; i += 3) // whole key pixels
                memset(source.data() + offset + i * bytes[f], 0, size_t(bytes[f]));
            const RowOpParams params{uint32_t(Below(129)), 0, uint32_t(rng_())};
            RowOpParams blend = params;
            blend.destinationWeight = 128 - blend.sourceWeight;
            std::vector<uint8_t> b = a;
            uint8_t* pa = a.data() + offset;
            uint8_t* pb = b.data() + offset;
            const uint8_t* ps = source.data() + offset;
            base.keyed(pa, ps, n);
            wide.keyed(pb, ps, n);
            ASSERT_EQ(a, b) << "keyed, format " << f;
            for (int32_t op = 1; op < kBlitOpCount; op++) {
                if (!base.op[op]) continue;
                base.op[op](pa, ps, n, blend);
                wide.op[op](pb, ps, n, blend);
                ASSERT_EQ(a, b) << "op " << op << ", format " << f << ", " << n << " pixels";
                base.keyedOp(pa, ps, n, op, blend);
                wide.keyedOp(pb, ps, n, op, blend);
                ASSERT_EQ(a, b) << "keyed op " << op << ", format " << f;
            }
            base.fill(pa, n, params.tintWord);
            wide.fill(pb, n, params.tintWord);
            ASSERT_EQ(a, b) << "fill, format " << f;
            base.copy(pa, ps, size_t(n) * bytes[f]);
            wide.copy(pb, ps, size_t(n) * bytes[f]);
            ASSERT_EQ(a, b) << "copy, format " << f;
            base.fill(pa, n, params.tintWord);
            wide.fill(pb, n, params.tintWord);
            base.copyRows(pa, 0, ps, 0, size_t(n) * bytes[f], 1);
            wide.copyRows(pb, 0, ps, 0, size_t(n) * bytes[f], 1);
            ASSERT_EQ(a, b) << "copied rows, format " << f;
        }
    }
}

} // namespace
