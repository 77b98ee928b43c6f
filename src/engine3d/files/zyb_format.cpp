#include "engine3d/files/zyb_format.h"

#include <algorithm>

#include "engine3d/files/chunk_reader.h"

namespace zyb {

bool ReadContainer(ChunkReader& reader, uint32_t& version, uint64_t& end) {
    version = 0;
    end = 0;
    reader.SkipTo(0);
    uint32_t tag = 0;
    uint32_t length = 0;
    uint64_t start = reader.ReadChunkHeader(tag, length);
    if (reader.LastResult() != kResultOk || tag != kTagContainer) return false;
    uint32_t read = 0;
    reader.ReadU32(read);
    if (reader.LastResult() != kResultOk || read >= kVersionLimit) return false;
    version = read;
    end = std::min<uint64_t>(start + 8 + length, reader.Length());
    return true;
}

uint32_t BeginContainer(ChunkWriter& writer) {
    uint32_t start = writer.BeginChunk(kTagContainer, 0);
    writer.WriteU32(kVersionCurrent);
    return start;
}

} // namespace zyb
