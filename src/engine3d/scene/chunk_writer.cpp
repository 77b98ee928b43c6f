#include "engine3d/scene/chunk_writer.h"

#include <algorithm>
#include <bit>
#include <utility>

#include "engine3d/scene/animation_sequences.h"
#include "engine3d/scene/key_track.h"
#include "foundation/containers/owned_ptr_array.h"

namespace {

void PutU32(uint8_t* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace

ChunkWriter::ChunkWriter(ByteSink& sink, std::string textureFolder)
    : sink_(sink), textureFolder_(std::move(textureFolder)) {}

uint32_t ChunkWriter::BeginChunk(uint32_t tag, uint32_t placeholder) {
    uint32_t start = sink_.Tell();
    WriteU32(tag);
    WriteU32(placeholder);
    return start;
}

uint32_t ChunkWriter::EndChunk(uint32_t start) {
    uint32_t end = sink_.Tell();
    uint8_t length[4];
    if (end < start || end - start < 8) {
        ok_ = false;
        return 0;
    }
    PutU32(length, end - start - 8);
    if (!sink_.Patch(start + 4, length, 4)) ok_ = false;
    return ok_ ? end : 0;
}

void ChunkWriter::WriteBytes(const void* data, uint32_t count) {
    if (!sink_.Write(data, count)) ok_ = false;
}

void ChunkWriter::WriteU8(uint8_t value) {
    WriteBytes(&value, 1);
}

void ChunkWriter::WriteU16(uint16_t value) {
    uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    WriteBytes(bytes, 2);
}

void ChunkWriter::WriteU32(uint32_t value) {
    uint8_t bytes[4];
    PutU32(bytes, value);
    WriteBytes(bytes, 4);
}

void ChunkWriter::WriteF32(float value) {
    WriteU32(std::bit_cast<uint32_t>(value));
}

void ChunkWriter::WriteVector(float x, float y, float z) {
    WriteF32(x);
    WriteF32(y);
    WriteF32(z);
}

void ChunkWriter::WriteString(std::string_view text) {
    auto length = static_cast<uint16_t>(std::min<size_t>(text.size(), 0xFFFF));
    WriteU16(length);
    WriteBytes(text.data(), length);
}

void ChunkWriter::WritePair(uint32_t a, uint16_t b) {
    WriteU32(a);
    WriteU16(b);
}

void ChunkWriter::WritePoint(const float* values) {
    for (int i = 0; i < 10; ++i)
        WriteF32(values[i]);
}

void ChunkWriter::WriteTriangle(uint16_t i0, uint16_t i1, uint16_t i2, uint16_t material) {
    WriteU8(3);
    for (uint16_t value : {i0, i1, i2, material})
        WriteU16(value);
}

void ChunkWriter::WriteQuad(uint16_t i0, uint16_t i1, uint16_t i2, uint16_t i3, uint16_t material) {
    WriteU8(4);
    for (uint16_t value : {i0, i1, i2, i3, material})
        WriteU16(value);
}

void ChunkWriter::WriteMatrix(const float* m) {
    for (int i = 0; i < 12; ++i)
        WriteF32(m[i]);
}

void ChunkWriter::WriteQuaternion(const float* q) {
    for (int i = 0; i < 4; ++i)
        WriteF32(q[i]);
}

void ChunkWriter::WriteKey(const LKey& key) {
    for (float value : {key.frame, key.tension, key.bias, key.continuity, key.easeTo, key.easeFrom})
        WriteF32(value);
    WriteU32(key.elementCount);
}

void ChunkWriter::WritePointMoves(const OwnedPtrArray& moves) {
    for (int32_t i = 0; i < moves.GetCount(); ++i) {
        const auto* move = static_cast<const LPointMove*>(moves.GetAt(i));
        WriteU32(move->index);
        for (float value : move->values)
            WriteF32(value);
    }
}

void ChunkWriter::WriteAnimDef(const SequenceRecord& record) {
    const char* nameEnd = std::find(record.name, record.name + sizeof record.name, '\0');
    WriteString(std::string_view(record.name, size_t(nameEnd - record.name)));
    WriteU8(record.flags);
    for (int32_t value : {record.start, record.end, record.current, record.values[0],
                          record.values[1], record.values[2]})
        WriteU16(static_cast<uint16_t>(value));
}
