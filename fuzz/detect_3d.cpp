// Detection reads the first bytes of any file the user names: every input gets a code and
// a terminated message, and the stream ends where it started.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine3d/files/file_type.h"
#include "foundation/streams/mem_in_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFFF) return 0;
    CMemInStream stream;
    stream.Attach(data, static_cast<uint32_t>(size));
    const uint32_t start = size > 0 ? static_cast<uint32_t>(data[0] % (size + 1)) : 0;
    stream.Seek(static_cast<int32_t>(start), 0);
    char message[16];
    Detect3DFileTypeOfStream(&stream, message, sizeof message);
    if (stream.Tell() != start || std::memchr(message, 0, sizeof message) == nullptr) std::abort();
    return 0;
}
