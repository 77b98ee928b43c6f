// Abstract input stream: typed little- and big-endian reads built on a few pure read and
// seek operations, so that every reader of the system works on files and memory alike.
#pragma once

#include <cstdint>

#include "foundation/memory/result_codes.h"
#include "platform/kernel/win_types.h"

class CInStream {
public:
    CInStream() = default;
    CInStream(const CInStream&) = delete;
    CInStream& operator=(const CInStream&) = delete;
    virtual ~CInStream() = default;

    // Reads with Read and stores in *countRead how far the position moved, which is the
    // number of bytes delivered also when the read came up short.
    virtual ResultCode ReadCounted(void* buffer, uint32_t count, uint32_t* countRead);
    virtual ResultCode Read(void* buffer, uint32_t count) = 0;
    virtual ResultCode ReadByte(uint8_t* value) = 0;

    // Single values: a failed read leaves the target unwritten.
    virtual ResultCode ReadWord(uint16_t* value);
    virtual ResultCode ReadLong(uint32_t* value);
    virtual ResultCode ReadWordBE(uint16_t* value);
    virtual ResultCode ReadLongBE(uint32_t* value);
    virtual ResultCode ReadFloat(float* value);
    virtual ResultCode ReadFloatBE(float* value);

    // Arrays: the plain forms keep host order; the BE forms convert only after a complete
    // read, so a failed read leaves the array partly filled and unconverted.
    virtual ResultCode ReadWords(uint16_t* values, uint32_t count);
    virtual ResultCode ReadLongs(uint32_t* values, uint32_t count);
    virtual ResultCode ReadFloats(float* values, uint32_t count);
    virtual ResultCode ReadWordsBE(uint16_t* values, uint32_t count);
    virtual ResultCode ReadLongsBE(uint32_t* values, uint32_t count);
    virtual ResultCode ReadFloatsBE(float* values, uint32_t count);

    virtual uint32_t Tell() = 0;
    virtual uint32_t GetLength() = 0;
    // origin: 0 from the start, 1 from the current position, 2 from the end.
    virtual uint32_t Seek(int32_t offset, int origin) = 0;
    virtual ResultCode AttachHandle(HANDLE file) = 0;
    virtual HANDLE DetachHandle() = 0;

    // A block of `count` bytes read from the stream, or null (count 0, no memory, or a
    // failed read). Give it back with FreeAlloc of the same stream.
    virtual void* ReadAlloc(uint32_t count);
    virtual void FreeAlloc(void* block);

    // A text line of at most size - 1 bytes, zero-terminated: CR LF and LF CR become one
    // LF, which ends the line and is kept; a lone CR is kept inside the line. Null at the
    // end of the stream or for a size below 1.
    char* ReadLine(char* buffer, int size);
};
