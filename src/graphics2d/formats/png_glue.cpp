#include "graphics2d/formats/png_glue.h"

#include <cstddef>
#include <cstdint>

namespace {

// A request the stream cannot fill completely is an error: libpng has no way to hear of a
// short read otherwise and would decode whatever the buffer held.
void ReadData(png_structp png, png_bytep data, size_t length) {
    auto* stream = static_cast<CInStream*>(png_get_io_ptr(png));
    uint32_t delivered = 0;
    if (length > UINT32_MAX ||
        stream->ReadCounted(data, static_cast<uint32_t>(length), &delivered) != kResultOk ||
        delivered != length)
        png_error(png, "short read");
}

void WriteData(png_structp png, png_bytep data, size_t length) {
    auto* stream = static_cast<COutStream*>(png_get_io_ptr(png));
    if (length > UINT32_MAX || stream->Write(data, static_cast<uint32_t>(length)) != kResultOk)
        png_error(png, "write failed");
}

void FlushData(png_structp png) {
    auto* stream = static_cast<COutStream*>(png_get_io_ptr(png));
    if (stream->Flush() != kResultOk) png_error(png, "flush failed");
}

} // namespace

void PngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

ImageResult PngReadHeader(png_structp png, png_infop info, CInStream& stream, PngHeader* header) {
    if (setjmp(png_jmpbuf(png))) return kImageDataError;
    png_set_read_fn(png, &stream, ReadData);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    header->width = png_get_image_width(png, info);
    header->height = png_get_image_height(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const int colorType = png_get_color_type(png, info);
    // Pixels of 1, 2 or 4 bits are widened to a byte each: palette images stay indexed.
    if (bitDepth < 8) {
        if (colorType == PNG_COLOR_TYPE_GRAY)
            png_set_expand_gray_1_2_4_to_8(png);
        else
            png_set_packing(png);
    }
    if (bitDepth == 16) png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    header->channels = png_get_channels(png, info);
    header->paletteCount = 0;
    png_colorp palette = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &palette, &count) == PNG_INFO_PLTE && count > 0) {
        if (count > 256) count = 256;
        for (int i = 0; i < count; i++)
            header->palette[i] = palette[i];
        header->paletteCount = count;
    }
    return kImageOk;
}

ImageResult PngReadRows(png_structp png, CInStream& stream, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return kImageDataError;
    png_set_read_fn(png, &stream, ReadData);
    png_read_image(png, rows);
    return kImageOk;
}

ImageResult PngReadEnd(png_structp png, png_infop endInfo) {
    if (setjmp(png_jmpbuf(png))) return kImageDataError;
    png_read_end(png, endInfo);
    return kImageOk;
}

ImageResult PngWrite(png_structp png, png_infop info, COutStream& stream, const PngWriteJob& job) {
    if (setjmp(png_jmpbuf(png))) return kImageWriteError;
    png_set_write_fn(png, &stream, WriteData, FlushData);
    const bool indexed = job.depth == 8;
    png_set_IHDR(png, info, static_cast<png_uint_32>(job.width),
                 static_cast<png_uint_32>(job.height), 8,
                 indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (indexed) png_set_PLTE(png, info, job.palette, 256);
    png_write_info(png, info);
    if (!indexed) png_set_bgr(png);
    for (int32_t y = 0; y < job.height; y++)
        png_write_row(png, job.pixels + static_cast<ptrdiff_t>(y) * job.pitch);
    png_write_end(png, info);
    return kImageOk;
}
