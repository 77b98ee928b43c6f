#include "platform/controls/rich_edit/picture_decode.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "platform/libraries/lazy_library.h"

namespace platform {

namespace {

bool Fits(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width * height <= kMaxPicturePixels;
}

// libjpeg reports a failure by jumping back to the setjmp of the function that made the
// call, silently. Those functions keep plain values only and read none of their locals after
// the jump; the library object belongs to the caller, who destroys it.
struct JpegErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void JpegExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

void JpegQuiet(j_common_ptr) {}

// A progressive picture of endless scans would keep the reader busy for nothing.
constexpr int kMaxJpegScans = 256;

void JpegProgress(j_common_ptr info) {
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxJpegScans)
        JpegExit(info);
}

bool JpegStart(jpeg_decompress_struct* jpeg, const unsigned char* data, unsigned long size) {
    if (setjmp(reinterpret_cast<JpegErrors*>(jpeg->err)->jump)) return false;
    jpeg_mem_src(jpeg, data, size);
    if (jpeg_read_header(jpeg, TRUE) != JPEG_HEADER_OK) return false;
    if (!Fits(jpeg->image_width, jpeg->image_height)) return false;
    jpeg->out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(jpeg);
    return jpeg->output_components == 4;
}

bool JpegRows(jpeg_decompress_struct* jpeg, uint32_t* pixels) {
    if (setjmp(reinterpret_cast<JpegErrors*>(jpeg->err)->jump)) return false;
    while (jpeg->output_scanline < jpeg->output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(pixels + size_t{jpeg->output_scanline} *
                                                               jpeg->output_width);
        if (jpeg_read_scanlines(jpeg, &row, 1) != 1) return false;
    }
    jpeg_finish_decompress(jpeg);
    return true;
}

uint32_t Read32(std::string_view data, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= uint32_t{static_cast<unsigned char>(data[at + i])} << (8 * i);
    return value;
}

uint16_t Read16(std::string_view data, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(data[at]) |
                                 static_cast<unsigned char>(data[at + 1]) << 8);
}

// One channel of a bit-field pixel, widened to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t top = 0;

    explicit Channel(uint32_t m) : mask(m) {
        if (mask == 0) return;
        while (!((mask >> shift) & 1))
            ++shift;
        top = mask >> shift;
    }
    uint32_t Of(uint32_t pixel) const {
        if (top == 0) return 0;
        return static_cast<uint32_t>(uint64_t{(pixel & mask) >> shift} * 255 / top);
    }
};

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr size_t kInfoHeader = 40;

} // namespace

bool DecodePng(std::string_view data, DecodedPicture& out) {
    if (!Require(LazyLibrary::Png)) return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) return false;
    if (!Fits(image.width, image.height)) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_BGRA;
    std::vector<uint32_t> pixels(size_t{image.width} * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    out = DecodedPicture{static_cast<int>(image.width), static_cast<int>(image.height),
                         std::move(pixels)};
    return true;
}

bool DecodeJpeg(std::string_view data, DecodedPicture& out) {
    if (data.empty() || !Require(LazyLibrary::Jpeg)) return false;
    jpeg_decompress_struct jpeg{};
    JpegErrors errors{};
    jpeg.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = JpegExit;
    errors.pub.output_message = JpegQuiet;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = JpegProgress;
    jpeg_create_decompress(&jpeg);
    jpeg.progress = &progress;
    std::vector<uint32_t> pixels;
    bool read = JpegStart(&jpeg, reinterpret_cast<const unsigned char*>(data.data()),
                          static_cast<unsigned long>(data.size()));
    if (read) {
        pixels.resize(size_t{jpeg.output_width} * jpeg.output_height);
        read = JpegRows(&jpeg, pixels.data());
    }
    int width = static_cast<int>(jpeg.output_width), height = static_cast<int>(jpeg.output_height);
    jpeg_destroy_decompress(&jpeg);
    if (!read) return false;
    out = DecodedPicture{width, height, std::move(pixels)};
    return true;
}

bool DecodeDib(std::string_view data, DecodedPicture& out) {
    if (data.size() < kInfoHeader) return false;
    uint32_t headerSize = Read32(data, 0);
    auto width = static_cast<int32_t>(Read32(data, 4));
    auto height = static_cast<int32_t>(Read32(data, 8));
    uint16_t bits = Read16(data, 14);
    uint32_t compression = Read32(data, 16);
    uint32_t used = Read32(data, 32);
    if (headerSize < kInfoHeader || headerSize > data.size() || height == INT32_MIN) return false;
    bool topDown = height < 0;
    int64_t rows = topDown ? -int64_t{height} : height;
    if (!Fits(width, rows)) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    bool fields = compression == kBiBitfields;
    if (compression != kBiRgb && !(fields && (bits == 16 || bits == 32))) return false;

    size_t at = headerSize;
    uint32_t masks[3] = {0x7C00, 0x3E0, 0x1F};
    if (bits == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0xFF00;
        masks[2] = 0xFF;
    }
    if (fields) {
        // A longer header holds the masks itself; after the short one they follow it.
        size_t from = headerSize == kInfoHeader ? headerSize : kInfoHeader;
        if (from + 12 > data.size()) return false;
        for (size_t i = 0; i < 3; ++i)
            masks[i] = Read32(data, from + 4 * i);
        if (headerSize == kInfoHeader) at += 12;
    }
    if (used > 65536) return false;
    size_t entries = used != 0 ? used : bits <= 8 ? size_t{1} << bits : 0;
    if (at + entries * 4 > data.size()) return false;
    std::vector<uint32_t> palette(size_t{1} << (bits <= 8 ? bits : 0), 0xFF000000);
    for (size_t i = 0; i < std::min(entries, palette.size()); ++i)
        palette[i] = 0xFF000000 | (Read32(data, at + 4 * i) & 0xFFFFFF);
    at += entries * 4;

    int64_t stride = (int64_t{width} * bits + 31) / 32 * 4;
    if (static_cast<int64_t>(data.size() - at) < stride * rows) return false;
    Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    std::vector<uint32_t> pixels(static_cast<size_t>(int64_t{width} * rows));
    for (int64_t y = 0; y < rows; ++y) {
        size_t row = at + static_cast<size_t>((topDown ? y : rows - 1 - y) * stride);
        uint32_t* target = pixels.data() + static_cast<size_t>(y * width);
        for (int64_t x = 0; x < width; ++x) {
            uint32_t pixel = 0xFF000000;
            if (bits <= 8) {
                size_t bit = static_cast<size_t>(x) * bits;
                auto byte = static_cast<unsigned char>(data[row + bit / 8]);
                unsigned index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                pixel = palette[index];
            } else if (bits == 24) {
                size_t from = row + static_cast<size_t>(x) * 3;
                pixel |= uint32_t{static_cast<unsigned char>(data[from])} |
                         uint32_t{static_cast<unsigned char>(data[from + 1])} << 8 |
                         uint32_t{static_cast<unsigned char>(data[from + 2])} << 16;
            } else {
                uint32_t value = bits == 16 ? Read16(data, row + static_cast<size_t>(x) * 2)
                                            : Read32(data, row + static_cast<size_t>(x) * 4);
                pixel |= red.Of(value) << 16 | green.Of(value) << 8 | blue.Of(value);
            }
            target[x] = pixel;
        }
    }
    out = DecodedPicture{width, static_cast<int>(rows), std::move(pixels)};
    return true;
}

} // namespace platform
