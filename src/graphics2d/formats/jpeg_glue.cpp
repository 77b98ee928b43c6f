#include "graphics2d/formats/jpeg_glue.h"

#include <jerror.h>

namespace {

[[noreturn]] void ErrorExit(j_common_ptr common) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(common->err)->jump, 1);
}

void OutputMessage(j_common_ptr) {}

JpegSource* SourceOf(j_decompress_ptr decompress) {
    return reinterpret_cast<JpegSource*>(decompress->src);
}

void InitSource(j_decompress_ptr decompress) {
    SourceOf(decompress)->startOfFile = TRUE;
}

boolean FillInputBuffer(j_decompress_ptr decompress) {
    JpegSource* source = SourceOf(decompress);
    uint32_t delivered = 0;
    source->stream->ReadCounted(source->buffer, kJpegBufferSize, &delivered);
    if (delivered == 0) {
        if (source->startOfFile) ERREXIT(decompress, JERR_INPUT_EMPTY);
        // Answering with no bytes would only make the library ask again, for ever.
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        delivered = 2;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = delivered;
    source->startOfFile = FALSE;
    return TRUE;
}

void SkipInputData(j_decompress_ptr decompress, long count) {
    if (count <= 0) return;
    JpegSource* source = SourceOf(decompress);
    while (count > static_cast<long>(source->pub.bytes_in_buffer)) {
        count -= static_cast<long>(source->pub.bytes_in_buffer);
        FillInputBuffer(decompress);
    }
    source->pub.next_input_byte += count;
    source->pub.bytes_in_buffer -= static_cast<size_t>(count);
}

void TermSource(j_decompress_ptr) {}

JpegDestination* DestinationOf(j_compress_ptr compress) {
    return reinterpret_cast<JpegDestination*>(compress->dest);
}

void InitDestination(j_compress_ptr compress) {
    JpegDestination* destination = DestinationOf(compress);
    destination->pub.next_output_byte = destination->buffer;
    destination->pub.free_in_buffer = kJpegBufferSize;
}

boolean EmptyOutputBuffer(j_compress_ptr compress) {
    JpegDestination* destination = DestinationOf(compress);
    if (destination->stream->Write(destination->buffer, kJpegBufferSize) != kResultOk)
        ERREXIT(compress, JERR_FILE_WRITE);
    destination->pub.next_output_byte = destination->buffer;
    destination->pub.free_in_buffer = kJpegBufferSize;
    return TRUE;
}

void TermDestination(j_compress_ptr compress) {
    JpegDestination* destination = DestinationOf(compress);
    auto pending = static_cast<uint32_t>(kJpegBufferSize - destination->pub.free_in_buffer);
    if (destination->stream->Write(destination->buffer, pending) != kResultOk ||
        destination->stream->Flush() != kResultOk)
        ERREXIT(compress, JERR_FILE_WRITE);
}

} // namespace

jpeg_error_mgr* JpegStdError(JpegErrorManager* errors) {
    jpeg_std_error(&errors->pub);
    errors->pub.error_exit = ErrorExit;
    errors->pub.output_message = OutputMessage;
    return &errors->pub;
}

void JpegAttachSource(j_decompress_ptr decompress, JpegSource* source, CInStream* stream) {
    source->pub.init_source = InitSource;
    source->pub.fill_input_buffer = FillInputBuffer;
    source->pub.skip_input_data = SkipInputData;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = TermSource;
    source->pub.next_input_byte = nullptr;
    source->pub.bytes_in_buffer = 0;
    source->stream = stream;
    source->startOfFile = TRUE;
    decompress->src = &source->pub;
}

void JpegAttachDestination(j_compress_ptr compress, JpegDestination* destination,
                           COutStream* stream) {
    destination->pub.init_destination = InitDestination;
    destination->pub.empty_output_buffer = EmptyOutputBuffer;
    destination->pub.term_destination = TermDestination;
    destination->stream = stream;
    compress->dest = &destination->pub;
}
