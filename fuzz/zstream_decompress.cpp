// Packed blocks come from project files and banks, so inflating must survive any bytes:
// corrupt, truncated, oversized or trailing data.
#include <cstddef>
#include <cstdint>

#include "foundation/streams/mem_in_stream.h"
#include "foundation/streams/mem_out_stream.h"
#include "foundation/streams/zstream.h"

namespace {

// Callers inflate into a buffer of the size they expect, so the output is fixed too. Past
// a few chunks' worth more output only repeats the same rounds: a small capacity keeps
// highly compressed inputs (deflate expands about 1032 to 1) from costing milliseconds
// each, while "buffer full" stays reachable from a few hundred input bytes.
constexpr uint32_t kOutputCapacity = 256 << 10;
uint8_t output[kOutputCapacity];

void Inflate(CMemInStream& reader, uint32_t packedSize) {
    reader.Seek(0, 0);
    CMemOutStream writer;
    writer.AttachBuffer(output, kOutputCapacity);
    ZStream_Decompress(writer, reader, packedSize);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    const auto length = static_cast<uint32_t>(size);
    CMemInStream reader;
    reader.Attach(data, length);
    Inflate(reader, kZStreamWholeStream);
    // A packed size short of the data: every cut point of the stream gets tried.
    Inflate(reader, length - length / 3);
    return 0;
}
