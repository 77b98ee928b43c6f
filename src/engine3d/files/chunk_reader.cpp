#include "engine3d/files/chunk_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "engine3d/scene/animation_sequences.h"
#include "engine3d/scene/key_track.h"
#include "foundation/containers/owned_ptr_array.h"
#include "foundation/streams/in_stream.h"

namespace {

constexpr uint32_t kHeaderSize = 8;
constexpr uint32_t kPointMoveSize = 24;

} // namespace

ChunkReader::ChunkReader(CInStream& stream) : stream_(stream) {}

uint64_t ChunkReader::ReadChunkHeader(uint32_t& tag, uint32_t& length) {
    uint64_t start = Position();
    tag = 0;
    ReadU32(tag);
    if (lastResult_ != kResultOk) tag = 0;
    ReadU32(length);
    return start;
}

void ChunkReader::SkipChunk(uint64_t start, uint32_t length) {
    SkipTo(start + length + kHeaderSize);
}

bool ChunkReader::NextChunk(uint64_t parentEnd, ChunkHeader& header) {
    parentEnd = std::min(parentEnd, Length());
    if (BytesLeft(parentEnd) < kHeaderSize) return false;
    header.start = ReadChunkHeader(header.tag, header.length);
    if (lastResult_ != kResultOk) return false;
    header.end = header.start + kHeaderSize + header.length;
    return header.end <= parentEnd;
}

void ChunkReader::SkipTo(uint64_t position) {
    uint64_t target = std::min(position, Length());
    // The stream seeks by signed 32-bit steps; a target past 2 GiB takes several.
    constexpr uint64_t kStep = std::numeric_limits<int32_t>::max();
    stream_.Seek(static_cast<int32_t>(std::min(target, kStep)), 0);
    uint64_t reached = Position();
    while (reached < target) {
        uint64_t step = std::min(target - reached, kStep);
        stream_.Seek(static_cast<int32_t>(step), 1);
        uint64_t now = Position();
        if (now <= reached) break;
        reached = now;
    }
}

uint64_t ChunkReader::Position() {
    return stream_.Tell();
}

uint64_t ChunkReader::Length() {
    return stream_.GetLength();
}

uint64_t ChunkReader::BytesLeft(uint64_t end) {
    uint64_t position = Position();
    return end > position ? end - position : 0;
}

uint32_t ChunkReader::CapCount(uint32_t count, uint64_t end, uint32_t leastSize) {
    if (leastSize == 0) return count;
    return static_cast<uint32_t>(std::min<uint64_t>(count, BytesLeft(end) / leastSize));
}

void ChunkReader::ReadU8(uint8_t& value) {
    value = 0;
    lastResult_ = stream_.ReadByte(&value);
    if (lastResult_ != kResultOk) value = 0;
}

void ChunkReader::ReadU16(uint16_t& value) {
    value = 0;
    lastResult_ = stream_.ReadWord(&value);
}

void ChunkReader::ReadU32(uint32_t& value) {
    value = 0;
    lastResult_ = stream_.ReadLong(&value);
}

void ChunkReader::ReadF32(float& value) {
    value = 0;
    lastResult_ = stream_.ReadFloat(&value);
}

void ChunkReader::ReadVector(float& x, float& y, float& z) {
    ReadF32(x);
    ReadF32(y);
    ReadF32(z);
}

void ChunkReader::ReadString(char* buffer, uint32_t capacity) {
    uint16_t length = 0;
    ReadU16(length);
    uint32_t kept = capacity >= 1 ? std::min<uint32_t>(length, capacity - 1) : 0;
    if (capacity >= 1) {
        uint32_t got = 0;
        if (kept > 0) lastResult_ = stream_.ReadCounted(buffer, kept, &got);
        buffer[std::min(got, kept)] = '\0';
    }
    if (length > kept) SkipTo(Position() + (length - kept));
}

void ChunkReader::ReadPoint(float* values, bool hasSecondTexture) {
    for (int i = 0; i < 5; ++i)
        ReadF32(values[i]);
    if (hasSecondTexture) {
        ReadF32(values[5]);
        ReadF32(values[6]);
    } else {
        values[5] = values[3];
        values[6] = values[4];
    }
    for (int i = 7; i < 10; ++i)
        ReadF32(values[i]);
}

void ChunkReader::ReadTriangle(uint16_t& a, uint16_t& b, uint16_t& c, uint16_t& material) {
    ReadU16(a);
    ReadU16(b);
    ReadU16(c);
    ReadU16(material);
}

void ChunkReader::ReadQuad(uint16_t& a, uint16_t& b, uint16_t& c, uint16_t& d, uint16_t& material) {
    ReadU16(a);
    ReadU16(b);
    ReadU16(c);
    ReadU16(d);
    ReadU16(material);
}

void ChunkReader::ReadPair(uint32_t& a, uint16_t& b) {
    ReadU32(a);
    ReadU16(b);
}

void ChunkReader::ReadKey(LKey& key, bool hasCount) {
    for (float* value :
         {&key.frame, &key.tension, &key.bias, &key.continuity, &key.easeTo, &key.easeFrom})
        ReadF32(*value);
    if (hasCount) ReadU32(key.elementCount);
}

void ChunkReader::ReadQuaternion(float* q) {
    for (int i = 0; i < 4; ++i)
        ReadF32(q[i]);
}

void ChunkReader::ReadAnimDef(SequenceRecord& record) {
    ReadString(record.name, sizeof record.name);
    ReadU8(record.flags);
    for (int32_t* field : {&record.start, &record.end, &record.current, &record.values[0],
                           &record.values[1], &record.values[2]}) {
        uint16_t value = 0;
        ReadU16(value);
        *field = value;
    }
    record.values[3] = 0;
    record.values[4] = 0;
}

void ChunkReader::ReadMatrix(float* m) {
    std::fill(m, m + 16, 0.0f);
    for (int i = 0; i < 12; ++i)
        ReadF32(m[i]);
}

uint32_t ChunkReader::ReadPointMoves(OwnedPtrArray& moves, uint32_t count) {
    count = CapCount(count, Length(), kPointMoveSize);
    uint32_t appended = 0;
    for (uint32_t i = 0; i < count; ++i) {
        LPointMove move{};
        ReadU32(move.index);
        bool complete = lastResult_ == kResultOk;
        for (float& value : move.values) {
            ReadF32(value);
            complete = complete && lastResult_ == kResultOk;
        }
        if (!complete) break;
        int32_t slot = moves.GetCount();
        if (moves.SetSize(slot + 1) < 0) continue;
        std::memcpy(moves.GetAt(slot), &move, sizeof move);
        ++appended;
    }
    return appended;
}
