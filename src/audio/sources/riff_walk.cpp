#include "audio/sources/riff_walk.h"

#include <algorithm>

#include "foundation/streams/in_stream.h"

bool IsPlausibleChunkId(const uint8_t id[4]) {
    return std::all_of(id, id + 4, [](uint8_t c) { return c >= 0x20 && c <= 0x7E; });
}

namespace {

bool ReadAt(CInStream& stream, uint64_t offset, void* buffer, uint32_t count) {
    if (offset + count > stream.GetLength()) return false;
    if (stream.Seek(static_cast<int32_t>(offset), 0) != offset) return false;
    return stream.Read(buffer, count) == kResultOk;
}

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

bool WalkRiffWave(CInStream& stream, const std::function<bool(const RiffChunk&)>& visit) {
    uint8_t header[12];
    if (!ReadAt(stream, 0, header, sizeof header)) return false;
    if (Le32(header) != FourCC('R', 'I', 'F', 'F') ||
        Le32(header + 8) != FourCC('W', 'A', 'V', 'E'))
        return false;
    uint64_t end = std::min<uint64_t>(8 + uint64_t(Le32(header + 4)), stream.GetLength());
    uint64_t offset = 12;
    while (offset + 8 <= end) {
        uint8_t chunk[8];
        if (!ReadAt(stream, offset, chunk, sizeof chunk)) break;
        RiffChunk found{Le32(chunk), Le32(chunk + 4), offset + 8};
        if (!visit(found)) break;
        uint64_t next = found.offset + found.size;
        if ((found.size & 1) != 0 && next + 1 + 8 <= end) {
            uint8_t id[4];
            if (ReadAt(stream, next + 1, id, sizeof id) && IsPlausibleChunkId(id)) ++next;
        } else if ((found.size & 1) != 0) {
            ++next;
        }
        offset = next;
    }
    return true;
}
