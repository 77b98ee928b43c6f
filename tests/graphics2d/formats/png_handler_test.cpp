#include "graphics2d/formats/png_handler.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <vector>

#include "graphics2d/formats/image_test_support.h"

namespace {

using namespace image_test;

struct PngLayout {
    uint32_t width = 3;
    uint32_t height = 2;
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    int interlace = PNG_INTERLACE_NONE;
    // Packed rows as libpng takes them (16-bit samples big-endian).
    Bytes rows = {};
    std::vector<png_color> palette = {};
};

void AppendData(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// Made by libpng itself, so the reader meets files as the library writes them.
Bytes MakePng(const PngLayout& layout) {
    Bytes file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &file, AppendData, nullptr);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colorType,
                 layout.interlace, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!layout.palette.empty())
        png_set_PLTE(png, info, layout.palette.data(), static_cast<int>(layout.palette.size()));
    png_write_info(png, info);
    const size_t rowBytes = layout.rows.size() / layout.height;
    std::vector<png_bytep> rows;
    for (uint32_t y = 0; y < layout.height; y++)
        rows.push_back(const_cast<png_bytep>(layout.rows.data() + y * rowBytes));
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return file;
}

// A chunk with its CRC, for files libpng would refuse to write.
void AddChunk(ByteBuilder& b, const char* type, const Bytes& body) {
    Bytes crcInput(type, type + 4);
    crcInput.insert(crcInput.end(), body.begin(), body.end());
    const uint32_t crc = static_cast<uint32_t>(crc32(0, crcInput.data(), crcInput.size()));
    b.U8(body.size() >> 24).U8(body.size() >> 16).U8(body.size() >> 8).U8(body.size());
    b.Raw(crcInput).U8(crc >> 24).U8(crc >> 16).U8(crc >> 8).U8(crc);
}

Decoded DecodePng(const Bytes& file, int depth = 0) {
    CPNGHandler handler;
    return Decode(handler, file, depth);
}

TEST(PngRead, DirectColourComesOutBlueFirst) {
    struct Case {
        const char* name;
        PngLayout layout;
        int depth;
        Bytes rows;
    };
    const Case cases[] = {
        {"grey",
         {.colorType = PNG_COLOR_TYPE_GRAY, .rows = {10, 20, 30, 40, 50, 60}},
         24,
         {10, 10, 10, 20, 20, 20, 30, 30, 30, 40, 40, 40, 50, 50, 50, 60, 60, 60}},
        {"grey and alpha",
         {.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY_ALPHA, .rows = {10, 1, 40, 4}},
         32,
         {10, 10, 10, 1, 40, 40, 40, 4}},
        {"16-bit channels keep their high byte",
         {.width = 2,
          .height = 1,
          .bitDepth = 16,
          .rows = {0x11, 0xFF, 0x22, 0xFF, 0x33, 0xFF, 0xA0, 0, 0xB0, 0, 0xC0, 0}},
         24,
         {0x33, 0x22, 0x11, 0xC0, 0xB0, 0xA0}},
        {"colour and alpha",
         {.width = 1, .height = 1, .colorType = PNG_COLOR_TYPE_RGB_ALPHA, .rows = {1, 2, 3, 4}},
         32,
         {3, 2, 1, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPNGHandler handler;
        Decoded d = Decode(handler, MakePng(c.layout));
        ASSERT_EQ(d.read, kImageOk);
        EXPECT_EQ(d.depth, c.depth);
        EXPECT_EQ(d.Rows(), c.rows);
        EXPECT_TRUE(c.layout.colorType != PNG_COLOR_TYPE_GRAY_ALPHA || handler.HasAlpha() == 0);
    }
}

TEST(PngRead, PaletteImagesKeepIndicesAndColours) {
    PngLayout layout{.colorType = PNG_COLOR_TYPE_PALETTE,
                     .rows = {0, 1, 2, 2, 1, 0},
                     .palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}};
    CPNGHandler handler;
    Decoded d = Decode(handler, MakePng(layout));
    ASSERT_EQ(d.read, kImageOk);
    EXPECT_EQ(d.depth, 8);
    EXPECT_EQ(d.Pixel(0, 1, 3), (Bytes{2, 1, 0}));
    ASSERT_NE(handler.GetPalette(), nullptr);
    EXPECT_EQ(handler.GetPalette()->count, 3);
    EXPECT_EQ(handler.GetPalette()->entries[2].blue, 255);
    EXPECT_EQ(handler.GetPalette()->entries[2].red, 0);

    // Converted through the palette on the way out.
    CPNGHandler wide;
    Decoded rgb = Decode(wide, MakePng(layout), 24);
    ASSERT_EQ(rgb.read, kImageOk);
    EXPECT_EQ(rgb.Pixel(0, 0, 3), (Bytes{0, 0, 255}));
    EXPECT_EQ(rgb.Pixel(2, 0, 3), (Bytes{255, 0, 0}));
}

// Pixels of 1, 2 and 4 bits are widened to a byte each, palette images kept indexed.
TEST(PngRead, PixelsBelowEightBitsAreWidened) {
    const std::vector<png_color> colours = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    PngLayout four{.colorType = PNG_COLOR_TYPE_PALETTE,
                   .bitDepth = 4,
                   .rows = {0x01, 0x20, 0x21, 0x00},
                   .palette = colours};
    CPNGHandler handler;
    Decoded d = Decode(handler, MakePng(four));
    ASSERT_EQ(d.read, kImageOk);
    EXPECT_EQ(d.depth, 8);
    EXPECT_EQ(d.Pixel(0, 1, 3), (Bytes{2, 1, 0}));
    EXPECT_EQ(d.Pixel(0, 0, 3), (Bytes{0, 1, 2}));
    ASSERT_NE(handler.GetPalette(), nullptr);
    EXPECT_EQ(handler.GetPalette()->count, 3);

    PngLayout one{.width = 10,
                  .height = 1,
                  .colorType = PNG_COLOR_TYPE_PALETTE,
                  .bitDepth = 1,
                  .rows = {0xA0, 0x40},
                  .palette = {{0, 0, 0}, {255, 255, 255}}};
    Decoded bits = DecodePng(MakePng(one));
    ASSERT_EQ(bits.read, kImageOk);
    EXPECT_EQ(bits.Pixel(0, 0, 10), (Bytes{1, 0, 1, 0, 0, 0, 0, 0, 0, 1}));

    PngLayout grey{
        .width = 4, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .bitDepth = 2, .rows = {0x1B}};
    Decoded levels = DecodePng(MakePng(grey), 24);
    ASSERT_EQ(levels.read, kImageOk);
    EXPECT_EQ(levels.Rows(), (Bytes{0, 0, 0, 85, 85, 85, 170, 170, 170, 255, 255, 255}));
}

TEST(PngRead, InterlacedEqualsPlain) {
    PngLayout layout{.width = 13, .height = 11};
    for (uint32_t i = 0; i < layout.width * layout.height * 3; i++)
        layout.rows.push_back(static_cast<uint8_t>(i * 7 + i / 5));
    Decoded plain = DecodePng(MakePng(layout));
    layout.interlace = PNG_INTERLACE_ADAM7;
    Decoded interlaced = DecodePng(MakePng(layout));
    ASSERT_EQ(interlaced.read, kImageOk);
    EXPECT_EQ(interlaced.pixels, plain.pixels);
    EXPECT_EQ(interlaced.Pixel(12, 10, 3),
              (Bytes{uint8_t(layout.rows.back()), layout.rows[layout.rows.size() - 2],
                     layout.rows[layout.rows.size() - 3]}));
}

TEST(PngRead, DamagedFilesAreRefused) {
    const Bytes file = MakePng({.width = 40, .height = 30, .rows = Bytes(40 * 30 * 3, 0x5A)});

    Bytes wrongSignature = file;
    wrongSignature[7] = 0;
    EXPECT_EQ(DecodePng(wrongSignature).open, kImageBadHeader);
    EXPECT_EQ(DecodePng(Bytes(file.begin(), file.begin() + 6)).open, kImageBadHeader);
    // Cut inside the header chunk: the short read is an error, not garbage.
    EXPECT_EQ(DecodePng(Bytes(file.begin(), file.begin() + 20)).open, kImageDataError);
    Bytes cut(file.begin(), file.end() - 30);
    Decoded shortData = DecodePng(cut);
    EXPECT_EQ(shortData.open, kImageOk);
    EXPECT_EQ(shortData.read, kImageDataError);
    Bytes badCrc = file;
    badCrc[file.size() - 20] ^= 0x40;
    EXPECT_EQ(DecodePng(badCrc).read, kImageDataError);
    // A damaged trailer after complete pixel data costs nothing.
    Bytes noEnd(file.begin(), file.end() - 12);
    EXPECT_EQ(DecodePng(noEnd).read, kImageOk);
}

TEST(PngRead, PicturesOverTheSizeLimitAreRefusedBeforeAllocation) {
    ByteBuilder b;
    b.Raw({137, 'P', 'N', 'G', 13, 10, 26, 10});
    ByteBuilder ihdr;
    ihdr.U8(0).U8(0x0F).U8(0x42).U8(0x40).U8(0).U8(0x0F).U8(0x42).U8(0x40);
    ihdr.U8(8).U8(PNG_COLOR_TYPE_RGB).U8(0).U8(0).U8(0);
    AddChunk(b, "IHDR", ihdr.Data());
    AddChunk(b, "IDAT", {});
    EXPECT_EQ(DecodePng(b.Data()).open, kImageUnsupportedVariant);
}

TEST(PngRead, PixelsCanBeReadOnce) {
    ByteStream stream(MakePng({.rows = Bytes(18, 7)}));
    CPNGHandler handler;
    EXPECT_TRUE(handler.CanRead(stream, 0x474E5089));
    EXPECT_FALSE(handler.CanRead(stream, 0x474E5088));
    uint8_t pixels[18];
    EXPECT_EQ(handler.ReadFrame(stream, pixels, 9, nullptr), kImageNotOpen);
    ASSERT_EQ(handler.Open(stream), kImageOk);
    EXPECT_EQ(handler.ReadFrame(stream, pixels, 9, nullptr), kImageOk);
    EXPECT_EQ(handler.ReadFrame(stream, pixels, 9, nullptr), kImageNotOpen);
}

TEST(PngWrite, TrueColourRoundTripsThroughAnyPitch) {
    const int width = 5, height = 4, pitch = 20;
    Bytes pixels(pitch * height);
    for (size_t i = 0; i < pixels.size(); i++)
        pixels[i] = static_cast<uint8_t>(i * 13);
    CPNGHandler writer;
    CMemOutStream out;
    ASSERT_EQ(writer.WriteImage(out, pixels.data(), width, height, 24, pitch, nullptr, 0),
              kImageOk);
    Decoded d = DecodePng(Contents(out));
    ASSERT_EQ(d.read, kImageOk);
    ASSERT_EQ(d.depth, 24);
    for (int y = 0; y < height; y++)
        EXPECT_EQ(0, std::memcmp(&d.pixels[y * d.pitch], &pixels[y * pitch], width * 3)) << y;

    // Bottom-up rows: the last row in memory is the top of the picture.
    CMemOutStream flipped;
    ASSERT_EQ(writer.WriteImage(flipped, pixels.data() + pitch * (height - 1), width, height, 24,
                                -pitch, nullptr, 0),
              kImageOk);
    Decoded f = DecodePng(Contents(flipped));
    EXPECT_EQ(0, std::memcmp(&f.pixels[0], &pixels[pitch * (height - 1)], width * 3));
}

TEST(PngWrite, IndexedRoundTripKeepsThePalette) {
    ImagePalette palette{};
    palette.version = 0x300;
    palette.count = 256;
    for (int i = 0; i < 256; i++)
        palette.entries[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0};
    Bytes pixels = {0, 1, 2, 3, 250, 251, 252, 255};
    CPNGHandler writer;
    CMemOutStream out;
    ASSERT_EQ(writer.WriteImage(out, pixels.data(), 4, 2, 8, 4, &palette, 0), kImageOk);
    CPNGHandler reader;
    Decoded d = Decode(reader, Contents(out));
    ASSERT_EQ(d.read, kImageOk);
    EXPECT_EQ(d.depth, 8);
    EXPECT_EQ(d.Pixel(0, 1, 4), (Bytes{250, 251, 252, 255}));
    EXPECT_EQ(reader.GetPalette()->entries[251].green, 4);
}

TEST(PngWrite, RefusalsAndFailingStreamsLeakNothing) {
    Bytes pixels(64 * 64 * 3, 0x33);
    for (size_t i = 0; i < pixels.size(); i += 7)
        pixels[i] = static_cast<uint8_t>(i);
    CPNGHandler writer;
    CMemOutStream out;
    EXPECT_EQ(writer.WriteImage(out, pixels.data(), 8, 8, 8, 8, nullptr, 0), kImagePaletteMissing);
    EXPECT_EQ(writer.WriteImage(out, pixels.data(), 8, 8, 32, 32, nullptr, 0), kImageBadWriteDepth);
    EXPECT_EQ(writer.WriteImage(out, nullptr, 8, 8, 24, 24, nullptr, 0), kImageBadArgument);
    EXPECT_EQ(out.GetLength(), 0u);

    ExpectCutsFail(
        [&](COutStream& stream) {
            return writer.WriteImage(stream, pixels.data(), 64, 64, 24, 192, nullptr, 0);
        },
        {0, 7, 8, 33, 100}, 1000);
}

} // namespace
