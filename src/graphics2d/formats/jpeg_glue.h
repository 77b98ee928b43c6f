// The parts that join libjpeg to our streams: an error manager that jumps back to the
// caller instead of ending the process and prints nothing, a data source over an input
// stream and a data destination over an output stream.
//
// The error exit longjmps to the setjmp of the function that started the library call.
// Every such function keeps only plain values in its frame and reads none of its locals
// after the jump; the library objects live in the handler or in a caller's frame, which
// destroys them. (A C++ exception thrown from the error exit would have to unwind through
// libjpeg's C frames, which are not built for it.)
#pragma once

#include <csetjmp>
#include <cstdio>

// Our Windows-named types first: libjpeg defines TRUE and FALSE as macros when they are
// not yet defined, which would break their later declaration as constants.
#include "foundation/streams/in_stream.h"
#include "foundation/streams/out_stream.h"

#include <jpeglib.h>

inline constexpr uint32_t kJpegBufferSize = 4096;

struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

struct JpegSource {
    jpeg_source_mgr pub;
    CInStream* stream;
    boolean startOfFile;
    JOCTET buffer[kJpegBufferSize];
};

struct JpegDestination {
    jpeg_destination_mgr pub;
    COutStream* stream;
    JOCTET buffer[kJpegBufferSize];
};

// The library's standard error manager with our exit and a silent message output.
jpeg_error_mgr* JpegStdError(JpegErrorManager* errors);
// Reads from the stream's current position. When the stream gives nothing the source
// supplies an end-of-image marker, so a file cut short decodes as far as it goes; a stream
// empty from the start is the library's empty-input error.
void JpegAttachSource(j_decompress_ptr decompress, JpegSource* source, CInStream* stream);
// A failed write or flush is the library's file-write error.
void JpegAttachDestination(j_compress_ptr compress, JpegDestination* destination,
                           COutStream* stream);
