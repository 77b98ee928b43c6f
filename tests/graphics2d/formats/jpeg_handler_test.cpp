#include "graphics2d/formats/jpeg_handler.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "graphics2d/formats/image_test_support.h"

#include <jpeglib.h>

namespace {

using namespace image_test;

// A file made by libjpeg itself from rows of `components` samples (1 grey, 3 RGB, 4 CMYK).
Bytes MakeJpeg(int width, int height, int components, const Bytes& samples) {
    jpeg_compress_struct compress;
    jpeg_error_mgr errors;
    compress.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compress);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compress, &buffer, &size);
    compress.image_width = width;
    compress.image_height = height;
    compress.input_components = components;
    compress.in_color_space = components == 1   ? JCS_GRAYSCALE
                              : components == 3 ? JCS_RGB
                                                : JCS_CMYK;
    jpeg_set_defaults(&compress);
    jpeg_set_quality(&compress, 95, TRUE);
    jpeg_start_compress(&compress, TRUE);
    while (compress.next_scanline < compress.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&samples[compress.next_scanline * width * components]);
        jpeg_write_scanlines(&compress, &row, 1);
    }
    jpeg_finish_compress(&compress);
    jpeg_destroy_compress(&compress);
    Bytes file(buffer, buffer + size);
    std::free(buffer);
    return file;
}

// Smooth colours, which JPEG keeps within a few steps.
Bytes Gradient(int width, int height, int components) {
    Bytes samples;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            for (int c = 0; c < components; c++)
                samples.push_back(static_cast<uint8_t>(c == 0 ? x * 4 : c == 1 ? y * 4 : 128));
    return samples;
}

void ExpectNear(const Bytes& actual, const Bytes& expected, int tolerance) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); i++)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "byte " << i;
}

Decoded DecodeJpeg(const Bytes& file, int depth = 0) {
    CJPEGHandler handler;
    return Decode(handler, file, depth);
}

TEST(JpegRead, ColourComesOutBlueFirst) {
    const Decoded d = DecodeJpeg(MakeJpeg(32, 16, 3, Gradient(32, 16, 3)));
    ASSERT_EQ(d.open, kImageOk);
    ASSERT_EQ(d.read, kImageOk);
    EXPECT_EQ(d.width, 32);
    EXPECT_EQ(d.depth, 24);
    ExpectNear(d.Pixel(20, 10, 3), {128, 40, 80}, 6);
    ExpectNear(d.Pixel(0, 0, 3), {128, 0, 0}, 6);

    const Decoded packed = DecodeJpeg(MakeJpeg(32, 16, 3, Gradient(32, 16, 3)), 16);
    ASSERT_EQ(packed.read, kImageOk);
    EXPECT_NEAR(packed.Word(20, 10) >> 11, 80 >> 3, 1);
}

TEST(JpegRead, GreyBecomesThreeEqualBytes) {
    Bytes samples;
    for (int i = 0; i < 16 * 8; i++)
        samples.push_back(static_cast<uint8_t>(i % 16 * 16));
    const Decoded d = DecodeJpeg(MakeJpeg(16, 8, 1, samples));
    ASSERT_EQ(d.read, kImageOk);
    EXPECT_EQ(d.depth, 24);
    const Bytes pixel = d.Pixel(5, 3, 3);
    EXPECT_EQ(pixel[0], pixel[1]);
    EXPECT_EQ(pixel[1], pixel[2]);
    EXPECT_NEAR(pixel[0], 80, 6);
}

TEST(JpegRead, CmykLeavesRowsUntouched) {
    const Decoded d = DecodeJpeg(MakeJpeg(8, 8, 4, Gradient(8, 8, 4)));
    ASSERT_EQ(d.read, kImageOk);
    EXPECT_EQ(d.Pixel(3, 3, 3), (Bytes{kUntouched, kUntouched, kUntouched}));
}

TEST(JpegRead, FileCutShortReadsAsFarAsItGoes) {
    const Bytes full = MakeJpeg(64, 64, 3, Gradient(64, 64, 3));
    const Decoded whole = DecodeJpeg(full);
    const Decoded cut = DecodeJpeg(Bytes(full.begin(), full.begin() + full.size() * 2 / 3));
    ASSERT_EQ(cut.open, kImageOk);
    EXPECT_EQ(cut.read, kImageOk);
    // The top rows decode as in the whole file; none stays unwritten.
    EXPECT_TRUE(std::equal(whole.pixels.begin(), whole.pixels.begin() + 8 * whole.pitch,
                           cut.pixels.begin()));
    EXPECT_NE(cut.Pixel(63, 63, 3), (Bytes{kUntouched, kUntouched, kUntouched}));
}

TEST(JpegRead, LibraryErrorsBecomeResultCodes) {
    EXPECT_EQ(DecodeJpeg({}).open, kImageDataError);
    EXPECT_EQ(DecodeJpeg({0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J'}).open, kImageDataError);
    EXPECT_EQ(DecodeJpeg({0xFF, 0xD8, 0xFF, 0xD9}).open, kImageDataError);

    // A header of 65500 x 65500 pixels is refused before anything of that size exists.
    Bytes huge = MakeJpeg(8, 8, 3, Gradient(8, 8, 3));
    for (size_t i = 0; i + 9 < huge.size(); i++) {
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            huge[i + 5] = huge[i + 7] = 0xFF;
            huge[i + 6] = huge[i + 8] = 0xDC;
            break;
        }
    }
    EXPECT_EQ(DecodeJpeg(huge).open, kImageUnsupportedVariant);
}

TEST(JpegRead, PixelsCanBeReadOnce) {
    ByteStream stream(MakeJpeg(8, 8, 3, Gradient(8, 8, 3)));
    CJPEGHandler handler;
    EXPECT_TRUE(handler.CanRead(stream, 0xC0FFD8FF));
    EXPECT_FALSE(handler.CanRead(stream, 0xBFFFD8FF));
    EXPECT_FALSE(handler.CanRead(stream, 0xE0FFD9FF));
    Bytes pixels(8 * 24);
    EXPECT_EQ(handler.ReadFrame(stream, pixels.data(), 24, nullptr), kImageNotOpen);
    ASSERT_EQ(handler.Open(stream), kImageOk);
    handler.EndRead(stream);
    EXPECT_EQ(handler.ReadFrame(stream, pixels.data(), 24, nullptr), kImageNotOpen);
    stream.Seek(0, 0);
    ASSERT_EQ(handler.Open(stream), kImageOk);
    EXPECT_EQ(handler.ReadFrame(stream, pixels.data(), 24, nullptr), kImageOk);
    EXPECT_EQ(handler.ReadFrame(stream, pixels.data(), 24, nullptr), kImageNotOpen);
}

TEST(JpegWrite, RoundTripKeepsColoursAndOrder) {
    const int width = 24, height = 16, pitch = 80;
    Bytes pixels(pitch * height, 0);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            pixels[y * pitch + 3 * x] = 200;
            pixels[y * pitch + 3 * x + 1] = static_cast<uint8_t>(x * 8);
            pixels[y * pitch + 3 * x + 2] = 30;
        }
    CJPEGHandler writer;
    CMemOutStream out;
    ASSERT_EQ(writer.WriteImage(out, pixels.data(), width, height, 24, pitch, nullptr, 0),
              kImageOk);
    const Decoded d = DecodeJpeg(Contents(out));
    ASSERT_EQ(d.read, kImageOk);
    EXPECT_EQ(d.width, width);
    EXPECT_EQ(d.height, height);
    ExpectNear(d.Pixel(10, 7, 3), {200, 80, 30}, 8);
}

TEST(JpegWrite, RefusalsAndFailingStreamsLeakNothing) {
    // Noise, so that the file needs more than one buffer of the destination.
    Bytes pixels(128 * 128 * 3);
    uint32_t state = 1;
    for (uint8_t& p : pixels) {
        state = state * 1103515245 + 12345;
        p = static_cast<uint8_t>(state >> 16);
    }
    CJPEGHandler writer;
    CMemOutStream out;
    EXPECT_EQ(writer.WriteImage(out, pixels.data(), 128, 128, 8, 128, nullptr, 0),
              kImageBadWriteDepth);
    EXPECT_EQ(writer.WriteImage(out, pixels.data(), 0, 128, 24, 384, nullptr, 0),
              kImageBadArgument);
    // 4096 bytes fill the destination's first buffer exactly.
    ExpectCutsFail(
        [&](COutStream& stream) {
            return writer.WriteImage(stream, pixels.data(), 128, 128, 24, 384, nullptr, 0);
        },
        {0, 100, 4095, 4096});
}

} // namespace
