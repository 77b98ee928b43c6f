#include "graphics2d/formats/tga_handler.h"

#include <gtest/gtest.h>

#include "graphics2d/formats/image_test_support.h"

namespace {

using namespace image_test;

struct Tga {
    uint8_t mapType = 0;
    uint8_t type = 2;
    uint16_t first = 0;
    uint16_t length = 0;
    uint8_t entrySize = 0;
    uint16_t width = 2;
    uint16_t height = 2;
    uint8_t depth = 24;
    uint8_t descriptor = 0;
    Bytes map = {};
    Bytes pixels = {};
};

Bytes Build(const Tga& t) {
    ByteBuilder b;
    b.U8(3).U8(t.mapType).U8(t.type).U16(t.first).U16(t.length).U8(t.entrySize).U32(0);
    b.U16(t.width).U16(t.height).U8(t.depth).U8(t.descriptor).U8('i').U8('d').U8('!');
    return b.Raw(t.map).Raw(t.pixels).Data();
}

Decoded DecodeTga(const Tga& t, int depth = 0, bool withMask = false) {
    CTGAHandler handler;
    return Decode(handler, Build(t), depth, nullptr, withMask);
}

constexpr uint8_t kTopLeft = 0x20;

TEST(TgaRead, GoldenDecodes) {
    struct Case {
        const char* name;
        Tga layout;
        int depth;
        Bytes rows;
    };
    const Bytes twelve = {1, 2, 3, 4, 5, 6, 11, 12, 13, 14, 15, 16};
    const Case cases[] = {
        {"bottom-left origin", {.pixels = twelve}, 24, {11, 12, 13, 14, 15, 16, 1, 2, 3, 4, 5, 6}},
        {"top-left origin", {.descriptor = kTopLeft, .pixels = twelve}, 24, twelve},
        // 16-bit pixels are 5-5-5; the attribute bit is no colour.
        {"16 bits",
         {.width = 1, .height = 1, .depth = 16, .pixels = {0xFF, 0xFF}},
         15,
         {0xFF, 0x7F}},
        {"colour-mapped, part of the map",
         {.mapType = 1,
          .type = 1,
          .first = 2,
          .length = 2,
          .entrySize = 24,
          .depth = 8,
          .map = {10, 20, 30, 40, 50, 60},
          .pixels = {2, 3, 0, 255}},
         8,
         {0, 255, 2, 3}},
        {"greyscale",
         {.type = 3, .depth = 8, .descriptor = kTopLeft, .pixels = {0, 64, 128, 255}},
         24,
         {0, 0, 0, 64, 64, 64, 128, 128, 128, 255, 255, 255}},
        // A run covering the end of row 0 and the start of row 1, then a raw packet.
        {"run-length true colour",
         {.type = 10,
          .width = 3,
          .descriptor = kTopLeft,
          .pixels = {0x83, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9}},
         24,
         {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"run-length greyscale",
         {.type = 11, .depth = 8, .pixels = {0x02, 9, 8, 7, 0x80, 0}},
         24,
         {7, 7, 7, 0, 0, 0, 9, 9, 9, 8, 8, 8}},
        {"run-length colour-mapped",
         {.mapType = 1,
          .type = 9,
          .length = 2,
          .entrySize = 32,
          .depth = 8,
          .map = {1, 2, 3, 99, 4, 5, 6, 99},
          .pixels = {0x81, 1, 0x01, 0, 1}},
         8,
         {0, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded d = DecodeTga(c.layout);
        ASSERT_EQ(d.open, kImageOk);
        ASSERT_EQ(d.read, kImageOk);
        EXPECT_EQ(d.depth, c.depth);
        EXPECT_EQ(d.Rows(), c.rows);
    }
}

TEST(TgaRead, ColourMaps) {
    Tga mapped{.mapType = 1,
               .type = 1,
               .first = 2,
               .length = 2,
               .entrySize = 24,
               .depth = 8,
               .map = {10, 20, 30, 40, 50, 60},
               .pixels = {2, 3, 0, 255}};
    EXPECT_EQ(DecodeTga(mapped, 24).Rows(), (Bytes{0, 0, 0, 0, 0, 0, 10, 20, 30, 40, 50, 60}));
    mapped.entrySize = 16;
    mapped.map = {0xFF, 0x7F, 0x1F, 0x00};
    EXPECT_EQ(DecodeTga(mapped, 24).Rows(), (Bytes{0, 0, 0, 0, 0, 0, 248, 248, 248, 248, 0, 0}));
}

TEST(TgaRead, AlphaPlaneFollowsThePixelRows) {
    Tga t{.depth = 32,
          .descriptor = 8,
          .pixels = {1, 2, 3, 0x10, 4, 5, 6, 0x20, 7, 8, 9, 0x30, 1, 1, 1, 0x40}};
    CTGAHandler handler;
    Decoded d = Decode(handler, Build(t), 0, nullptr, true);
    ASSERT_EQ(d.read, kImageOk);
    EXPECT_EQ(handler.HasAlpha(), 1);
    EXPECT_EQ(d.mask, (Bytes{0x30, 0x40, 0x10, 0x20}));
    EXPECT_EQ(d.Pixel(0, 0, 4), (Bytes{7, 8, 9, 0x30}));
    // Without alpha bits there is no alpha plane and the mask is left alone.
    t.descriptor = 0;
    EXPECT_EQ(DecodeTga(t, 0, true).mask, Bytes(4, kUntouched));
}

TEST(TgaRead, HostileHeadersAndShortData) {
    const std::pair<Tga, ImageResult> cases[] = {
        {{.width = 0}, kImageBadHeader},
        {{.depth = 12}, kImageBadHeader},
        {{.type = 4}, kImageBadHeader},
        {{.type = 3, .depth = 16}, kImageBadHeader},
        {{.mapType = 1, .type = 1, .first = 200, .length = 57, .entrySize = 24, .depth = 8},
         kImageBadHeader},
        {{.mapType = 1, .type = 1, .length = 2, .entrySize = 40, .depth = 8}, kImageBadHeader},
        {{.mapType = 1, .type = 1, .length = 2, .entrySize = 24, .depth = 8, .map = {1, 2}},
         kImageBadHeader},
        {{.mapType = 1, .type = 1, .length = 2, .entrySize = 24, .depth = 16},
         kImageUnsupportedVariant},
        {{.width = 65535, .height = 65535, .depth = 32}, kImageUnsupportedVariant},
    };
    for (const auto& [layout, code] : cases)
        EXPECT_EQ(DecodeTga(layout).open, code) << int(layout.type);

    EXPECT_EQ(DecodeTga({.pixels = Bytes(11, 1)}).read, kImageDataError);
    EXPECT_EQ(DecodeTga({.type = 10, .pixels = {0x81, 1, 2, 3, 0x05, 1, 2}}).read, kImageDataError);
    EXPECT_EQ(DecodeTga({.type = 10, .pixels = {0x83, 1, 2}}).read, kImageDataError);
}

TEST(TgaRead, CanReadChecksTheHeader) {
    auto canRead = [](const Tga& t) {
        const Bytes file = Build(t);
        ByteStream stream(file);
        return CTGAHandler().CanRead(stream, Load32(file, 0));
    };
    EXPECT_EQ(canRead({}), 1);
    EXPECT_EQ(canRead({.height = 0}), 0);
    EXPECT_EQ(canRead({.depth = 8}), 0);
    EXPECT_EQ(canRead({.type = 11, .depth = 8}), 1);
    EXPECT_EQ(canRead({.type = 9, .depth = 8}), 0);
    EXPECT_EQ(canRead({.mapType = 1, .type = 9, .length = 256, .depth = 8}), 1);
    EXPECT_EQ(canRead({.mapType = 1, .type = 9, .first = 1, .length = 256, .depth = 8}), 0);
}

} // namespace
