#include "platform/media/midi/midi_file.h"

#include <cstring>

namespace platform::media {
namespace {

uint32_t ReadU32(const uint8_t* at) {
    return uint32_t{at[0]} | uint32_t{at[1]} << 8 | uint32_t{at[2]} << 16 | uint32_t{at[3]} << 24;
}

bool StartsWith(const uint8_t* bytes, size_t size, const char* tag) {
    return size >= 4 && std::memcmp(bytes, tag, 4) == 0;
}

} // namespace

std::vector<uint8_t> UnwrapMidiFile(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr) return {};
    if (StartsWith(bytes, size, "MThd")) return {bytes, bytes + size};
    if (size < 12 || !StartsWith(bytes, size, "RIFF") || std::memcmp(bytes + 8, "RMID", 4) != 0)
        return {};
    // The chunks end where the RIFF size says, or earlier where the bytes do.
    size_t end = size;
    uint32_t riffSize = ReadU32(bytes + 4);
    if (riffSize <= size - 8) end = size_t{riffSize} + 8;
    size_t at = 12;
    while (at < end && end - at >= 8) {
        uint32_t chunkSize = ReadU32(bytes + at + 4);
        size_t dataAt = at + 8;
        size_t available = end - dataAt;
        size_t taken = chunkSize < available ? chunkSize : available;
        if (std::memcmp(bytes + at, "data", 4) == 0)
            return {bytes + dataAt, bytes + dataAt + taken};
        if (chunkSize >= available) break;
        // Chunks start on even offsets.
        at = dataAt + chunkSize + (chunkSize & 1);
    }
    return {};
}

} // namespace platform::media
