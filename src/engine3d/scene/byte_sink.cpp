#include "engine3d/scene/byte_sink.h"

#include <cstring>
#include <limits>

bool MemoryByteSink::Write(const void* data, uint32_t count) {
    if (count > std::numeric_limits<uint32_t>::max() - bytes_.size()) return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), bytes, bytes + count);
    return true;
}

bool MemoryByteSink::Patch(uint32_t offset, const void* data, uint32_t count) {
    if (offset > bytes_.size() || count > bytes_.size() - offset) return false;
    std::memcpy(bytes_.data() + offset, data, count);
    return true;
}
