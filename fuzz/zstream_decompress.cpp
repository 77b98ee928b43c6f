// Packed blocks come from project files and banks, so inflating must survive any bytes:
// corrupt, truncated, oversized or trailing data.
#include <cstddef>
#include <cstdint>

#include "foundation/mem_in_stream.h"
#include "foundation/mem_out_stream.h"
#include "foundation/zstream.h"

namespace {

// A fixed output keeps highly compressed inputs from eating the fuzzer's memory.
constexpr uint32_t kOutputCapacity = 4 << 20;
uint8_t output[kOutputCapacity];

// Growable output only for inputs whose inflated size cannot pass a few MiB
// (deflate expands at most about 1032 to 1).
constexpr size_t kGrowableInputLimit = 4096;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    const auto length = static_cast<uint32_t>(size);

    CMemInStream reader;
    reader.Attach(data, length);
    CMemOutStream fixed;
    fixed.AttachBuffer(output, kOutputCapacity);
    ZStream_Decompress(fixed, reader, kZStreamWholeStream);

    if (size <= kGrowableInputLimit) {
        // A packed size short of the data: every cut point of the stream gets tried.
        reader.Seek(0, 0);
        CMemOutStream growable;
        ZStream_Decompress(growable, reader, length - length / 3);
    }
    return 0;
}
