// Chunk streams come from files, banks and downloads: any bytes walk to an end, every
// chunk stays inside its parent, strings stay terminated inside their buffers and no
// record count allocates more than the data could hold.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine3d/files/chunk_reader.h"
#include "engine3d/scene/animation_sequences.h"
#include "engine3d/scene/key_track.h"
#include "foundation/containers/owned_ptr_array.h"
#include "foundation/streams/mem_in_stream.h"

namespace {

constexpr int kMaxDepth = 256;

// Reads records chosen by the chunk's tag, as a loader would, whatever the body holds.
void ReadBody(ChunkReader& reader, const ChunkHeader& header) {
    switch (header.tag & 7) {
    case 0: {
        char name[16];
        std::memset(name, 'x', sizeof name);
        reader.ReadString(name, sizeof name);
        if (std::memchr(name, 0, sizeof name) == nullptr) std::abort();
        break;
    }
    case 1: {
        float point[10];
        reader.ReadPoint(point, (header.tag & 8) != 0);
        uint16_t a, b, c, d, material;
        reader.ReadQuad(a, b, c, d, material);
        break;
    }
    case 2: {
        LKey key;
        reader.ReadKey(key, (header.tag & 8) != 0);
        OwnedPtrArray moves;
        uint32_t count = key.elementCount;
        uint32_t appended = reader.ReadPointMoves(moves, count);
        if (appended > count || int64_t(appended) != moves.GetCount()) std::abort();
        break;
    }
    case 3: {
        SequenceRecord record{};
        reader.ReadAnimDef(record);
        if (record.name[sizeof record.name - 1] != 0 && std::strlen(record.name) > 15) std::abort();
        break;
    }
    case 4: {
        float m[16];
        reader.ReadMatrix(m);
        if (m[15] != 0) std::abort();
        break;
    }
    default: {
        uint32_t a;
        uint16_t b;
        reader.ReadPair(a, b);
        break;
    }
    }
}

void Walk(ChunkReader& reader, uint64_t end, int depth) {
    ChunkHeader header;
    while (reader.NextChunk(end, header)) {
        if (header.end > end || header.end < header.start + 8) std::abort();
        if (depth < kMaxDepth && (header.tag & 0x80) != 0)
            Walk(reader, header.end, depth + 1);
        else
            ReadBody(reader, header);
        reader.SkipTo(header.end);
        // Every step of a level moves forward, so every walk ends.
        if (reader.Position() != header.end) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFFF) return 0;
    CMemInStream stream;
    stream.Attach(data, static_cast<uint32_t>(size));
    ChunkReader reader(stream);
    Walk(reader, reader.Length(), 0);
    return 0;
}
