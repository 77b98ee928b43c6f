#include "foundation/streams/out_stream.h"

ResultCode COutStream::WriteLong(const uint32_t* value) {
    uint8_t bytes[4] = {static_cast<uint8_t>(*value), static_cast<uint8_t>(*value >> 8),
                        static_cast<uint8_t>(*value >> 16), static_cast<uint8_t>(*value >> 24)};
    return Write(bytes, sizeof bytes);
}
