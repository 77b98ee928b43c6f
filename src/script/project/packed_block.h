// Reading the pieces of project data: the bounded body of a chunk, and packed blocks
// (u32 unpacked size n, u32 packed size p (0 = stored raw), then p bytes of zlib stream or
// the n raw bytes).
#pragma once

#include <cstdint>

#include "foundation/memory/result_codes.h"
#include "platform/kernel/win_types.h"

// Reads the packed block at the file's position into a new block of n + 1 bytes (MemAlloc;
// free it with MemFree) whose last byte is 0, so that a text is terminated; `size` gets n.
// `available` is the number of bytes from the block's start that belong to it (the rest of
// its chunk): a block that claims more is refused (kResultEndOfData) before anything is
// allocated. An unpacked size over project_format::kMaxUnpackedSize is refused with
// kResultOutOfMemory, and one that its packed bytes could never inflate to with
// kResultCompressionError, both without allocating it. Data that inflate to more or fewer
// than n bytes give kResultCompressionError. On failure `buffer` is null and `size` 0.
ResultCode ReadPackedBlock(HANDLE file, char*& buffer, uint32_t& size, uint64_t available);
// The same, bounded by the end of the file.
ResultCode ReadPackedBlock(HANDLE file, char*& buffer, uint32_t& size);

// Little-endian fields read from a file between a start and an end position (a chunk's
// body, or a whole file): a field that would run past the end is not read and gives
// kResultEndOfData.
class CChunkBody {
public:
    // The file is sought to `start`.
    CChunkBody(HANDLE file, uint32_t start, uint64_t end);

    ResultCode U16(uint16_t& value);
    ResultCode U32(uint32_t& value);
    ResultCode Bytes(void* buffer, uint32_t count);
    // u16 length, then that many bytes, into a new terminated MemAlloc'd text (free it
    // with MemFree); null on failure.
    ResultCode String(char*& text);
    // u32 length, then that many bytes, the same way.
    ResultCode LongString(char*& text, uint32_t& length);
    ResultCode Packed(char*& buffer, uint32_t& size);
    ResultCode Skip(uint32_t count);

    HANDLE GetFile() const { return file_; }
    uint64_t GetPosition() const { return position_; }
    uint64_t GetEnd() const { return end_; }
    uint64_t Left() const { return end_ > position_ ? end_ - position_ : 0; }

private:
    ResultCode Counted(char*& text, uint32_t length);

    HANDLE file_;
    uint64_t position_;
    uint64_t end_;
};
