#include "graphics2d/formats/jpeg_handler.h"

#include <cstddef>
#include <new>

#include "foundation/memory/memory_helpers.h"
#include "graphics2d/formats/jpeg_glue.h"
#include "platform/libraries/lazy_library.h"

struct JpegReadState {
    jpeg_decompress_struct decompress;
    JpegErrorManager errors;
    JpegSource source;
};

namespace {

constexpr int kHandlerNumber = 5;

// Creates the decompressor on the stream and reads the header; 0 or 11.
ImageResult ReadHeader(JpegReadState* state, CInStream& stream) {
    state->decompress.err = JpegStdError(&state->errors);
    if (setjmp(state->errors.jump)) return kImageDataError;
    jpeg_create_decompress(&state->decompress);
    // The library's own working memory (whole-image buffers of progressive files) is
    // held to the same limit as the pictures themselves.
    state->decompress.mem->max_memory_to_use = static_cast<long>(kMaxImageBytes);
    JpegAttachSource(&state->decompress, &state->source, &stream);
    jpeg_read_header(&state->decompress, TRUE);
    return kImageOk;
}

// Reads what follows the last scan line; 0 or 11.
ImageResult FinishDecompress(JpegReadState* state) {
    if (setjmp(state->errors.jump)) return kImageDataError;
    jpeg_finish_decompress(&state->decompress);
    return kImageOk;
}

} // namespace

CJPEGHandler::CJPEGHandler() {
    nameId_ = 3800 + kHandlerNumber;
    extensionId_ = 3900 + kHandlerNumber;
    descriptionId_ = 3700 + kHandlerNumber;
}

CJPEGHandler::~CJPEGHandler() {
    DestroyDecompress();
}

CImageFormatHandler* CJPEGHandler::NewInstance() {
    return new (std::nothrow) CJPEGHandler;
}

uint32_t CJPEGHandler::GetFormatId() {
    return MakeFormatId('J', 'P', 'E', 'G');
}

uint32_t CJPEGHandler::GetWriteDepths() {
    return kWriteDepth24;
}

int CJPEGHandler::CanRead(CInStream&, uint32_t magic) {
    return (magic & 0xFF) == 0xFF && (magic >> 8 & 0xFF) == 0xD8 && (magic >> 16 & 0xFF) == 0xFF &&
           (magic >> 24) >= 0xC0;
}

void CJPEGHandler::DestroyDecompress() {
    if (read_ == nullptr) return;
    jpeg_destroy_decompress(&read_->decompress);
    delete read_;
    read_ = nullptr;
}

void CJPEGHandler::EndRead(CInStream&) {
    DestroyDecompress();
}

ImageResult CJPEGHandler::Open(CInStream& stream) {
    DestroyDecompress();
    if (!platform::Require(platform::LazyLibrary::Jpeg)) return kImageNotSupported;
    read_ = new (std::nothrow) JpegReadState{};
    if (read_ == nullptr) return kImageNoMemory;
    if (ImageResult result = ReadHeader(read_, stream)) {
        DestroyDecompress();
        return result;
    }
    width_ = static_cast<int32_t>(read_->decompress.image_width);
    height_ = static_cast<int32_t>(read_->decompress.image_height);
    depth_ = 24;
    if (!ComputeRowBytes()) {
        DestroyDecompress();
        return kImageUnsupportedVariant;
    }
    pitch_ = rowBytes_;
    return kImageOk;
}

ImageResult CJPEGHandler::DecodeScanlines(uint8_t* dest, int32_t pitch, uint8_t* row) {
    jpeg_decompress_struct* decompress = &read_->decompress;
    if (setjmp(read_->errors.jump)) return kImageDataError;
    // Colour comes out in our blue-first order straight from the library.
    if (decompress->out_color_space == JCS_RGB) decompress->out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(decompress);
    const int components = decompress->output_components;
    JSAMPARRAY samples = nullptr;
    if (components != 3)
        samples =
            (*decompress->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(decompress),
                                             JPOOL_IMAGE, decompress->output_width * components, 1);
    while (decompress->output_scanline < decompress->output_height) {
        uint8_t* target = dest + static_cast<ptrdiff_t>(decompress->output_scanline) * pitch;
        uint8_t* out = row != nullptr ? row : target;
        JSAMPROW line = components == 3 ? out : samples[0];
        if (jpeg_read_scanlines(decompress, &line, 1) != 1) return kImageDataError;
        if (components == 1) {
            for (int32_t x = 0; x < width_; x++)
                out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = line[x];
        } else if (components != 3) {
            // Other layouts (CMYK) leave the row as it was.
            continue;
        }
        if (row != nullptr) ConvertRow(target, row, width_);
    }
    return kImageOk;
}

ImageResult CJPEGHandler::ReadFrame(CInStream& stream, uint8_t* dest, int32_t pitch, uint8_t*) {
    if (read_ == nullptr) return kImageNotOpen;
    uint8_t* row = nullptr;
    if (NeedsConversion() && !MemAlloc(static_cast<size_t>(rowBytes_), &row)) return kImageNoMemory;
    read_->source.stream = &stream;
    ImageResult result = DecodeScanlines(dest, pitch, row);
    // Every row is in place; what the file holds after them cannot spoil the picture.
    if (result == kImageOk) FinishDecompress(read_);
    MemFree(&row);
    DestroyDecompress();
    return result;
}
