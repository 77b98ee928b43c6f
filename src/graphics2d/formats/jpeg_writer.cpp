#include <cstddef>
#include <cstring>

#include "foundation/memory/memory_helpers.h"
#include "graphics2d/formats/jpeg_glue.h"
#include "graphics2d/formats/jpeg_handler.h"
#include "platform/libraries/lazy_library.h"

namespace {

struct JpegWriteJob {
    const uint8_t* pixels;
    int32_t width;
    int32_t height;
    int32_t pitch;
    // width x 3 bytes: one row in the library's red-first order.
    uint8_t* row;
};

// Compresses the whole image with the library's default settings; 0, or 4 for a stream or
// library error. Only the caller's objects change, so nothing here needs undoing.
ImageResult Compress(jpeg_compress_struct* compress, JpegErrorManager* errors,
                     JpegDestination* destination, COutStream& stream, const JpegWriteJob& job) {
    if (setjmp(errors->jump)) return kImageWriteError;
    jpeg_create_compress(compress);
    JpegAttachDestination(compress, destination, &stream);
    compress->image_width = static_cast<JDIMENSION>(job.width);
    compress->image_height = static_cast<JDIMENSION>(job.height);
    compress->input_components = 3;
    compress->in_color_space = JCS_RGB;
    jpeg_set_defaults(compress);
    jpeg_start_compress(compress, TRUE);
    for (int32_t y = 0; y < job.height; y++) {
        const uint8_t* source = job.pixels + static_cast<ptrdiff_t>(y) * job.pitch;
        for (int32_t x = 0; x < job.width; x++) {
            job.row[3 * x] = source[3 * x + 2];
            job.row[3 * x + 1] = source[3 * x + 1];
            job.row[3 * x + 2] = source[3 * x];
        }
        JSAMPROW line = job.row;
        jpeg_write_scanlines(compress, &line, 1);
    }
    jpeg_finish_compress(compress);
    return kImageOk;
}

} // namespace

ImageResult CJPEGHandler::WriteImage(COutStream& stream, const uint8_t* pixels, int32_t width,
                                     int32_t height, int depth, int32_t pitch, const ImagePalette*,
                                     uint32_t) {
    if (pixels == nullptr || width <= 0 || height <= 0) return kImageBadArgument;
    if (depth != 24) return kImageBadWriteDepth;
    if (!platform::Require(platform::LazyLibrary::Jpeg)) return kImageNotSupported;
    uint8_t* row = nullptr;
    if (!MemAlloc(static_cast<size_t>(width) * 3, &row)) return kImageNoMemory;
    // Its own error manager, so that writing never disturbs a decompressor that is open.
    JpegErrorManager errors{};
    JpegDestination destination{};
    jpeg_compress_struct compress{};
    compress.err = JpegStdError(&errors);
    ImageResult result =
        Compress(&compress, &errors, &destination, stream, {pixels, width, height, pitch, row});
    jpeg_destroy_compress(&compress);
    MemFree(&row);
    return result;
}
