// Writes the chunks of a binary world: a four-character tag, a u32 body length patched
// when the chunk ends, and typed little-endian records. Scene classes save themselves
// through it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine3d/scene/byte_sink.h"

class OwnedPtrArray;
struct LKey;
struct SequenceRecord;

// The in-memory value of a tag: its four characters read as a little-endian u32, so
// that they appear in the file in reading order.
constexpr uint32_t ChunkTag(const char (&text)[5]) {
    return uint32_t(uint8_t(text[0])) | uint32_t(uint8_t(text[1])) << 8 |
           uint32_t(uint8_t(text[2])) << 16 | uint32_t(uint8_t(text[3])) << 24;
}

class ChunkWriter {
public:
    // The texture folder is where savers copy texture images; empty for none.
    explicit ChunkWriter(ByteSink& sink, std::string textureFolder = {});

    // Writes the tag and the placeholder length; gives the chunk's start.
    uint32_t BeginChunk(uint32_t tag, uint32_t placeholder);
    // Patches the length of the chunk begun at start and gives the end position, or 0
    // when anything written so far was lost (the saver's result then reports it).
    uint32_t EndChunk(uint32_t start);

    void WriteU8(uint8_t value);
    // Integer fields wider than 16 bits pass their low 16 bits.
    void WriteU16(uint16_t value);
    void WriteU32(uint32_t value);
    void WriteVector(float x, float y, float z);
    // u16 length and the characters; a text longer than 65535 bytes is cut there, as a
    // longer length would wrap and misalign the rest of the file.
    void WriteString(std::string_view text);
    void WritePair(uint32_t a, uint16_t b);
    // Ten floats: position, texture pair, second texture pair, normal.
    void WritePoint(const float* values);
    void WriteTriangle(uint16_t i0, uint16_t i1, uint16_t i2, uint16_t material);
    void WriteQuad(uint16_t i0, uint16_t i1, uint16_t i2, uint16_t i3, uint16_t material);
    // The upper three rows.
    void WriteMatrix(const float* m);
    void WriteQuaternion(const float* q);
    // Frame, tension, bias, continuity, ease to, ease from and the element count.
    void WriteKey(const LKey& key);
    // Each LPointMove: its index and five values; no count.
    void WritePointMoves(const OwnedPtrArray& moves);
    // Name, flags byte, then start, end, current and the first three values as u16.
    void WriteAnimDef(const SequenceRecord& record);

    const std::string& TextureFolder() const { return textureFolder_; }
    // False once the sink refused anything.
    bool Ok() const { return ok_; }

private:
    void WriteBytes(const void* data, uint32_t count);
    void WriteF32(float value);

    ByteSink& sink_;
    std::string textureFolder_;
    bool ok_ = true;
};
