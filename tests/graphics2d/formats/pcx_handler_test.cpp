#include "graphics2d/formats/pcx_handler.h"

#include <gtest/gtest.h>

#include "graphics2d/formats/image_test_support.h"

namespace {

using namespace image_test;

struct Pcx {
    uint8_t encoding = 1;
    uint8_t bits = 8;
    uint16_t xMin = 0;
    uint16_t yMin = 0;
    uint16_t xMax = 1;
    uint16_t yMax = 1;
    uint8_t planes = 1;
    uint16_t bytesPerLine = 2;
    Bytes data = {};
    // Appended after the data: a marker and 256 colours (i, 2i, 255 - i).
    bool palette = true;
};

Bytes Build(const Pcx& p) {
    ByteBuilder b;
    b.U8(0x0A).U8(5).U8(p.encoding).U8(p.bits).U16(p.xMin).U16(p.yMin).U16(p.xMax).U16(p.yMax);
    b.Fill(53, 0xEE).U8(p.planes).U16(p.bytesPerLine).Fill(60, 0xEE).Raw(p.data);
    if (p.palette) {
        b.U8(0x0C);
        for (int i = 0; i < 256; i++)
            b.U8(i).U8(i * 2).U8(255 - i);
    }
    return b.Data();
}

Decoded DecodePcx(const Pcx& p, int depth = 0) {
    CPCXHandler handler;
    return Decode(handler, Build(p), depth);
}

TEST(PcxRead, EightBitWithRunsAndTheClosingPalette) {
    // Three pixels wide from x 10; row 1 has a run of 9 cut at the line end, then a run of
    // one whose value looks like a count.
    const Pcx p{
        .xMin = 10, .xMax = 12, .bytesPerLine = 4, .data = {0xC3, 7, 9, 0xC9, 200, 0xC1, 0xC5}};
    Decoded d = DecodePcx(p);
    ASSERT_EQ(d.read, kImageOk);
    EXPECT_EQ(d.width, 3);
    EXPECT_EQ(d.Rows(), (Bytes{7, 7, 7, 200, 200, 200}));
    EXPECT_EQ(DecodePcx(p, 24).Pixel(2, 0, 3), (Bytes{248, 14, 7}));
}

TEST(PcxRead, TwentyFourBitPlanesInterleave) {
    Pcx p{.encoding = 0,
          .planes = 3,
          .bytesPerLine = 3,
          .data = {1, 2, 0, 3, 4, 0, 5, 6, 0, 11, 12, 0, 13, 14, 0, 15, 16, 0},
          .palette = false};
    Decoded d = DecodePcx(p);
    ASSERT_EQ(d.read, kImageOk);
    EXPECT_EQ(d.depth, 24);
    EXPECT_EQ(d.Rows(), (Bytes{5, 3, 1, 6, 4, 2, 15, 13, 11, 16, 14, 12}));
    // Runs fill across the plane lines of one row but never into the next row.
    p.encoding = 1;
    p.data = {0xC2, 9, 0xC7, 8, 0xC3, 1, 0xC9, 2};
    EXPECT_EQ(DecodePcx(p).Rows(), (Bytes{8, 8, 9, 8, 8, 9, 2, 2, 1, 2, 2, 1}));
}

TEST(PcxRead, HostileHeadersAndShortData) {
    const std::pair<Pcx, ImageResult> cases[] = {
        {{.bits = 1}, kImageBelow8Bits},
        {{.bits = 1, .planes = 4}, kImageBelow8Bits},
        {{.bits = 16}, kImageUnsupportedVariant},
        {{.planes = 4}, kImageUnsupportedVariant},
        {{.xMax = 5}, kImageUnsupportedVariant}, // lines shorter than the picture
        {{.xMin = 3}, kImageUnsupportedVariant},
        {{.yMin = 2}, kImageUnsupportedVariant},
        {{.xMax = 65534, .yMax = 65535, .planes = 3, .bytesPerLine = 65535},
         kImageUnsupportedVariant},
        {{.palette = false}, kImageBadHeader}, // too short to hold a palette
    };
    for (const auto& [layout, code] : cases)
        EXPECT_EQ(DecodePcx(layout).open, code) << int(layout.bits);
    CPCXHandler handler;
    EXPECT_EQ(Decode(handler, Bytes(100, 0x0A)).open, kImageBadHeader);

    for (const Bytes& data : {Bytes{0xC5, 1}, Bytes{0xC6, 1, 0xC3, 2, 0xC6}}) {
        EXPECT_EQ(DecodePcx({.planes = 3, .data = data, .palette = false}).read, kImageDataError);
    }
    EXPECT_EQ(DecodePcx({.encoding = 0, .planes = 3, .data = Bytes(11, 0), .palette = false}).read,
              kImageDataError);
}

} // namespace
