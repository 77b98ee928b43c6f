#include "graphics2d/formats/bmp_handler.h"

#include <gtest/gtest.h>

#include <cstring>

#include "graphics2d/formats/image_test_support.h"

namespace {

using namespace image_test;

// An info-header bitmap as the tests write it.
struct Bmp {
    int32_t width = 2;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> table = {}; // entries as stored: blue | green << 8 | red << 16
    std::vector<uint32_t> masks = {};
    Bytes gap = {};
    Bytes pixels = {};
    bool fileHeader = true;
};

Bytes Build(const Bmp& s) {
    ByteBuilder info;
    info.U32(40).U32(s.width).U32(s.height).U16(s.planes).U16(s.bits).U32(s.compression);
    info.U32(0).U32(0).U32(0).U32(s.colorsUsed).U32(0);
    for (uint32_t value : s.table)
        info.U32(value);
    for (uint32_t value : s.masks)
        info.U32(value);
    info.Raw(s.gap);
    const uint32_t offset = static_cast<uint32_t>(14 + info.Data().size());
    info.Raw(s.pixels);
    if (!s.fileHeader) return info.Data();
    ByteBuilder file;
    file.U16(0x4D42).U32(static_cast<uint32_t>(14 + info.Data().size())).U32(0).U32(offset);
    return file.Raw(info.Data()).Data();
}

Decoded DecodeBmp(const Bmp& s, int depth = 0) {
    CBMPHandler handler;
    return Decode(handler, Build(s), depth);
}

// Entry i: red i, green 255 - i, blue i / 2.
std::vector<uint32_t> Ramp(int count) {
    std::vector<uint32_t> table;
    for (int i = 0; i < count; i++)
        table.push_back(uint32_t(i / 2) | uint32_t(255 - i) << 8 | uint32_t(i) << 16);
    return table;
}

TEST(BmpRead, GoldenDecodes) {
    struct Case {
        const char* name;
        Bmp layout;
        int depth;
        Bytes rows;
    };
    const Bytes twoPixels = {1, 2, 3, 4, 5, 6, 7, 8};
    const Case cases[] = {
        {"24 bits, padded, bottom-up",
         {.width = 3, .height = 2, .pixels = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0,
                                              11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0}},
         24,
         {11, 12, 13, 14, 15, 16, 17, 18, 19, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"negative height: top-down",
         {.width = 1, .height = -2, .pixels = {1, 2, 3, 0, 4, 5, 6, 0}},
         24,
         {1, 2, 3, 4, 5, 6}},
        {"32 bits", {.bits = 32, .pixels = twoPixels}, 32, twoPixels},
        {"32 bits with masks",
         {.bits = 32, .compression = 3, .masks = {0xFF0000, 0xFF00, 0xFF}, .pixels = twoPixels},
         32,
         twoPixels},
        {"16 bits without masks", {.bits = 16, .pixels = {1, 2, 3, 4}}, 15, {1, 2, 3, 4}},
        {"5-6-5 masks",
         {.bits = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x1F}, .pixels = {1, 2, 3, 4}},
         16,
         {1, 2, 3, 4}},
        {"5-5-5 masks",
         {.bits = 16, .compression = 3, .masks = {0x7C00, 0x03E0, 0x1F}, .pixels = {1, 2, 3, 4}},
         15,
         {1, 2, 3, 4}},
        {"8 bits, 16 colours",
         {.bits = 8, .colorsUsed = 16, .table = Ramp(16), .pixels = {15, 3, 0, 0}},
         8,
         {15, 3}},
        // Beyond 256 colours the rest of the table is skipped, found without the file header.
        {"8 bits, 300 colours, bare header",
         {.bits = 8,
          .colorsUsed = 300,
          .table = Ramp(300),
          .pixels = {15, 3, 0, 0},
          .fileHeader = false},
         8,
         {15, 3}},
        {"pixel offset across a gap",
         {.gap = Bytes(5, 0xEE), .pixels = {9, 8, 7, 6, 5, 4, 0, 0}},
         24,
         {9, 8, 7, 6, 5, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded d = DecodeBmp(c.layout);
        ASSERT_EQ(d.open, kImageOk);
        ASSERT_EQ(d.read, kImageOk);
        EXPECT_EQ(d.depth, c.depth);
        EXPECT_EQ(d.Rows(), c.rows);
    }
}

TEST(BmpRead, Palettes) {
    ByteBuilder core;
    core.U16(0x4D42).U32(0).U32(0).U32(14 + 12 + 768).U32(12).U16(2).U16(1).U16(1).U16(8);
    for (int i = 0; i < 256; i++)
        core.U8(i).U8(100).U8(255 - i); // blue, green, red
    core.U8(7).U8(200).U8(0).U8(0);
    CBMPHandler handler;
    Decoded d = Decode(handler, core.Data(), 24);
    ASSERT_EQ(d.read, kImageOk);
    EXPECT_EQ(handler.GetDepth(), 8);
    EXPECT_EQ(d.Rows(), (Bytes{7, 100, 248, 200, 100, 55}));

    CBMPHandler sixteen;
    ASSERT_EQ(
        Decode(sixteen,
               Build({.bits = 8, .colorsUsed = 16, .table = Ramp(16), .pixels = {0, 0, 0, 0}}))
            .read,
        kImageOk);
    const ImagePalette* palette = sixteen.GetPalette();
    EXPECT_EQ(palette->entries[15].green, 240);
    EXPECT_EQ(palette->entries[16].green, 0); // the colours not listed stay black
}

TEST(BmpRead, PixelOffsetOutsideTheFileIsNotFollowed) {
    Bytes file = Build({.width = 1, .gap = Bytes(4, 0xEE), .pixels = {9, 8, 7, 0}});
    file[11] = 0xFF;
    CBMPHandler handler;
    EXPECT_EQ(Decode(handler, file).Rows(), (Bytes{0xEE, 0xEE, 0xEE}));
}

// A 4 x 4 RLE8 picture from `codes`, as rows from the top.
Bytes Rle(const Bytes& codes, ImageResult expected = kImageOk) {
    Decoded d = DecodeBmp({.width = 4,
                           .height = 4,
                           .bits = 8,
                           .compression = 1,
                           .table = Ramp(256),
                           .pixels = codes});
    EXPECT_EQ(d.read, expected);
    return d.Rows();
}

TEST(BmpRle8, EscapeCodesRunsAndDeltasStayInsideThePicture) {
    EXPECT_EQ(
        Rle({
            2, 5, 0, 3, 6, 7, 8, 0, // a run of two, an odd literal and its pad, cut at the row end
            0, 0,                   // end of row
            0, 2, 1, 1,             // delta one right and one row on
            0, 4, 1, 2, 3, 4,       // an even literal, cut at the row end
            0, 0, 1, 9,             // end of row, a run of one
            0, 1,                   // end of picture
        }),
        (Bytes{9, 0, 0, 0, 0, 1, 2, 3, 0, 0, 0, 0, 5, 5, 6, 7}));
    EXPECT_EQ(Rle({200, 1, 0, 2, 250, 0, 3, 2, 0, 0, 0, 2, 0, 200}),
              (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1}));
    // The end of the picture leaves the rows above as they were.
    const uint8_t u = kUntouched;
    EXPECT_EQ(Rle({4, 3, 0, 0, 2, 4, 0, 1}),
              (Bytes{u, u, u, u, u, u, u, u, 4, 4, 0, 0, 3, 3, 3, 3}));
    // Short data.
    for (const Bytes& codes :
         {Bytes{4, 3, 0, 0, 2}, Bytes{0, 5, 1, 2}, Bytes{0, 3, 1, 2, 3}, Bytes{0, 2, 1}})
        Rle(codes, kImageDataError);
}

TEST(BmpRead, HostileHeaders) {
    const std::pair<Bmp, ImageResult> cases[] = {
        {{.width = 0}, kImageBadHeader},
        {{.width = -4}, kImageBadHeader},
        {{.height = 0}, kImageBadHeader},
        {{.planes = 2}, kImageUnsupportedVariant},
        {{.bits = 4}, kImageBelow8Bits},
        {{.bits = 8, .compression = 2, .table = Ramp(256)}, kImageBelow8Bits},
        {{.compression = 1}, kImageUnsupportedVariant},
        {{.compression = 4}, kImageUnsupportedVariant},
        {{.bits = 12}, kImageUnsupportedVariant},
        {{.bits = 16, .compression = 3, .masks = {0xF00, 0xF0, 0xF}}, kImageUnsupportedVariant},
        {{.bits = 32, .compression = 3, .masks = {0xFF, 0xFF00, 0xFF0000}},
         kImageUnsupportedVariant},
        {{.width = 0x7FFFFFFF, .height = -0x7FFFFFFF}, kImageUnsupportedVariant},
        {{.width = 40000, .height = 20000}, kImageUnsupportedVariant},
        {{.bits = 8, .colorsUsed = 0xFFFFFFFF, .table = Ramp(256)}, kImageBadHeader},
    };
    for (const auto& [layout, code] : cases)
        EXPECT_EQ(DecodeBmp(layout).open, code) << layout.width << " " << layout.bits;

    Bytes file = Build({.pixels = Bytes(8, 0)});
    CBMPHandler shortHeader;
    EXPECT_EQ(Decode(shortHeader, Bytes(file.begin(), file.begin() + 30)).open, kImageBadHeader);
    file[14] = 64;
    CBMPHandler otherSize;
    EXPECT_EQ(Decode(otherSize, file).open, kImageBadHeader);
    EXPECT_EQ(DecodeBmp({.height = 2, .pixels = Bytes(12, 1)}).read, kImageDataError);
    CBMPHandler unopened;
    CMemInStream empty;
    uint8_t dest[8];
    EXPECT_EQ(unopened.ReadFrame(empty, dest, 8, nullptr), kImageNotOpen);
}

TEST(BmpRead, CanReadLooksAtTheHeaderSize) {
    Bytes file = Build({.pixels = Bytes(8, 0)});
    CMemInStream stream; // over `file` itself, which the test changes
    stream.Attach(file.data(), static_cast<uint32_t>(file.size()));
    CBMPHandler handler;
    EXPECT_EQ(handler.CanRead(stream, 0x4D42), 1);
    file[14] = 108;
    stream.Seek(0, 0);
    EXPECT_EQ(handler.CanRead(stream, 0x4D42), 0);
    stream.Attach(file.data(), 10);
    EXPECT_EQ(handler.CanRead(stream, 0x4D42), 0);
    EXPECT_EQ(handler.CanRead(stream, 12), 1); // a bare header
    EXPECT_EQ(handler.CanRead(stream, 13), 0);
}

TEST(BmpWrite, RoundTripAtEveryDepth) {
    ImagePalette palette{0x300, 256, {}};
    for (int i = 0; i < 256; i++)
        palette.entries[i] = {uint8_t(i), uint8_t(i ^ 0x55), uint8_t(255 - i), 0};
    for (int depth : {8, 15, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        const int32_t width = 5, height = 3, rowBytes = width * ((depth + 1) / 8),
                      pitch = rowBytes + 3;
        Bytes source(static_cast<size_t>(pitch) * height), expected;
        for (size_t i = 0; i < source.size(); i++)
            source[i] = static_cast<uint8_t>(i * 7 + 1);
        for (int y = 0; y < height; y++)
            expected.insert(expected.end(), &source[y * pitch], &source[y * pitch + rowBytes]);
        CBMPHandler writer;
        CMemOutStream out;
        ASSERT_EQ(writer.WriteImage(out, source.data(), width, height, depth, pitch, &palette, 0),
                  kImageOk);
        const uint32_t stride = (rowBytes + 3) / 4 * 4;
        EXPECT_EQ(out.GetLength(),
                  54 + (depth == 8 ? 1024 : 0) + (depth == 16 ? 12 : 0) + stride * height);

        CBMPHandler reader;
        Decoded d = Decode(reader, Contents(out));
        ASSERT_EQ(d.read, kImageOk);
        EXPECT_EQ(d.depth, depth);
        EXPECT_EQ(d.Rows(), expected);
        if (depth == 8) {
            EXPECT_EQ(std::memcmp(reader.GetPalette(), &palette, sizeof(palette)), 0);
        }
    }
}

TEST(BmpWrite, BottomUpSourceAndNarrowPitch) {
    Bytes storage = {10, 11, 12, 20, 21, 22};
    CBMPHandler writer;
    CMemOutStream out;
    ASSERT_EQ(writer.WriteImage(out, storage.data() + 3, 1, 2, 24, -3, nullptr, 0), kImageOk);
    EXPECT_EQ(Bytes(out.GetBuffer() + 54, out.GetBuffer() + out.GetLength()),
              (Bytes{10, 11, 12, 0, 20, 21, 22, 0}));
}

TEST(BmpWrite, RefusalsAndFailingStreams) {
    Bytes pixels(64, 1);
    ImagePalette small{0x300, 16, {}};
    CBMPHandler writer;
    CMemOutStream out;
    EXPECT_EQ(writer.WriteImage(out, pixels.data(), 2, 2, 8, 4, nullptr, 0), kImagePaletteMissing);
    EXPECT_EQ(writer.WriteImage(out, pixels.data(), 2, 2, 8, 4, &small, 0), kImagePaletteMissing);
    EXPECT_EQ(writer.WriteImage(out, pixels.data(), 2, 2, 12, 4, nullptr, 0), kImageBadWriteDepth);
    EXPECT_EQ(writer.WriteImage(out, nullptr, 2, 2, 24, 8, nullptr, 0), kImageBadArgument);
    EXPECT_EQ(writer.WriteImage(out, pixels.data(), 0, 2, 24, 8, nullptr, 0), kImageBadArgument);
    EXPECT_EQ(out.GetLength(), 0u);
    // Every cut of the stream, in the headers or in the rows, answers 4 and leaks nothing.
    ExpectCutsFail(
        [&](COutStream& stream) {
            return writer.WriteImage(stream, pixels.data(), 2, 2, 24, 6, nullptr, 0);
        },
        {}, 1);
}

} // namespace
