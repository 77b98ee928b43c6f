// Reads the chunks of a binary world: headers, typed little-endian records, and the walk
// from one chunk to the next. Every byte comes from outside, so positions are kept in 64
// bits, a chunk never reaches past its parent, and a failed read yields zeros.
#pragma once

#include <cstdint>

#include "foundation/memory/result_codes.h"

class CInStream;
class OwnedPtrArray;
struct LKey;
struct SequenceRecord;

struct ChunkHeader {
    uint32_t tag = 0;
    uint32_t length = 0;
    // Where the header starts and where the next chunk of the same level starts.
    uint64_t start = 0;
    uint64_t end = 0;
};

class ChunkReader {
public:
    // Borrows the stream for the reader's lifetime.
    explicit ChunkReader(CInStream& stream);
    ChunkReader(const ChunkReader&) = delete;
    ChunkReader& operator=(const ChunkReader&) = delete;

    // Reads the header at the current position: gives its start; tag is 0 when the read
    // failed. The last result is that of the length read.
    uint64_t ReadChunkHeader(uint32_t& tag, uint32_t& length);
    // Seeks to start + length + 8, where the next chunk of the same level begins.
    void SkipChunk(uint64_t start, uint32_t length);

    // The next chunk of a level that ends at parentEnd. False ends the level: no room for
    // a header, a failed read, or a chunk reaching past parentEnd (a hostile length would
    // otherwise wrap the walk onto itself). A handler may read less than the body; the
    // caller goes on with SkipTo(header.end).
    bool NextChunk(uint64_t parentEnd, ChunkHeader& header);
    void SkipTo(uint64_t position);

    uint64_t Position();
    // The stream's length: the end of the top level.
    uint64_t Length();
    // Bytes between the position and `end`, 0 when the position is past it.
    uint64_t BytesLeft(uint64_t end);
    // A record count read from the file, cut to what the bytes up to `end` can hold at
    // `leastSize` bytes per record, so a hostile count never makes empty records.
    uint32_t CapCount(uint32_t count, uint64_t end, uint32_t leastSize);

    void ReadU8(uint8_t& value);
    void ReadU16(uint16_t& value);
    void ReadU32(uint32_t& value);
    void ReadF32(float& value);
    void ReadVector(float& x, float& y, float& z);
    // Reads at most capacity - 1 characters and terminates them; the rest of the text is
    // skipped so the stream stays on the record. Stores nothing for a capacity of 0.
    void ReadString(char* buffer, uint32_t capacity);
    // Position, texture pair, second texture pair, normal. Files without the second pair
    // hold eight floats; the second pair then repeats the first.
    void ReadPoint(float* values, bool hasSecondTexture);
    // The record's leading count byte is the caller's, which chooses between the two.
    void ReadTriangle(uint16_t& a, uint16_t& b, uint16_t& c, uint16_t& material);
    void ReadQuad(uint16_t& a, uint16_t& b, uint16_t& c, uint16_t& d, uint16_t& material);
    void ReadPair(uint32_t& a, uint16_t& b);
    // Frame and the five spline parameters; the element count only when the file has it.
    void ReadKey(LKey& key, bool hasCount);
    void ReadQuaternion(float* q);
    // Name (15 characters kept), flags, then start, end, current and the first three
    // values; the other two values become 0.
    void ReadAnimDef(SequenceRecord& record);
    // Clears the 4x4 matrix and reads its upper three rows.
    void ReadMatrix(float* m);
    // Appends up to `count` moves, stopping at the first failed read; a count larger than
    // the stream could hold is never allocated for. Gives the number appended.
    uint32_t ReadPointMoves(OwnedPtrArray& moves, uint32_t count);

    ResultCode LastResult() const { return lastResult_; }

private:
    CInStream& stream_;
    ResultCode lastResult_ = kResultOk;
};
