// Zlib glue between the streams: inflate a packed block from any input stream into any
// output stream or into a caller's memory, and deflate an input stream. Packed data is
// a plain zlib stream (header, deflate data, checksum) without framing of its own.
#pragma once

#include <zlib.h>

#include <cstdint>

#include "foundation/memory/result_codes.h"
#include "foundation/streams/in_stream.h"
#include "foundation/streams/out_stream.h"
#include "platform/kernel/win_types.h"

// A size argument of kZStreamWholeStream means "the rest of the reader".
inline constexpr uint32_t kZStreamWholeStream = 0xFFFFFFFF;
// An expected output size of kZStreamAnySize sets no expectation.
inline constexpr uint32_t kZStreamAnySize = 0xFFFFFFFF;

// Inflates packedSize bytes of the reader into the writer. The packed data must hold a
// complete zlib stream: a stream cut short fails with kResultCompressionError. Bytes
// after the stream's end, within packedSize, are read and ignored, so the reader always
// ends up just after the packed block.
ResultCode ZStream_Decompress(COutStream& writer, CInStream& reader, uint32_t packedSize);

// Inflates packedSize bytes read from `file` at its current position into `destination`
// of `capacity` bytes: more output than fits gives kResultBufferFull, less than
// expectedSize gives kResultCompressionError. The handle stays open and is left where
// the packed data ends (also after a failure inside the data it is left past the bytes
// consumed).
ResultCode ZStream_DecompressBuffer(void* destination, uint32_t capacity, HANDLE file,
                                    uint32_t packedSize, uint32_t expectedSize = kZStreamAnySize);

// Deflates `size` bytes of the reader into the writer at `level`: -1 is the library's
// default, other values are clamped to 0 ... 9. An empty input still gives a complete
// zlib stream.
ResultCode ZStream_Compress(COutStream& writer, CInStream& reader, uint32_t size, int level);

// The working object of one inflate or deflate operation.
class ZStreamCodec {
public:
    static constexpr uint32_t kDefaultChunkSize = 8192;

    ZStreamCodec() = default;
    ~ZStreamCodec();
    ZStreamCodec(const ZStreamCodec&) = delete;
    ZStreamCodec& operator=(const ZStreamCodec&) = delete;

    // A chunk size of 0 or 0xFFFFFFFF means kDefaultChunkSize. On failure everything is
    // released again.
    ResultCode BeginInflate(COutStream& writer, CInStream& reader, uint32_t chunkSize);
    ResultCode BeginDeflate(COutStream& writer, CInStream& reader, uint32_t chunkSize, int level);
    ResultCode Inflate(uint32_t packedSize);
    ResultCode Deflate(uint32_t size);
    ResultCode FinishDeflate();
    void EndInflate();
    void EndDeflate();
    void Release();

private:
    ResultCode Allocate(COutStream& writer, CInStream& reader, uint32_t outputSize);
    ResultCode WriteOutput();

    bool active_ = false;
    CInStream* reader_ = nullptr;
    COutStream* writer_ = nullptr;
    uint8_t* input_ = nullptr;
    uint8_t* output_ = nullptr;
    uint32_t chunkSize_ = kDefaultChunkSize;
    uint32_t outputSize_ = 0;
    z_stream stream_{};
};
