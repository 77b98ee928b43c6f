// Abstract output stream, the counterpart of CInStream for every writer of the system.
#pragma once

#include <cstdint>

#include "foundation/memory/result_codes.h"

class COutStream {
public:
    COutStream() = default;
    COutStream(const COutStream&) = delete;
    COutStream& operator=(const COutStream&) = delete;
    virtual ~COutStream() = default;

    virtual ResultCode Write(const void* buffer, uint32_t count) = 0;
    virtual ResultCode Flush() = 0;
    virtual uint32_t GetLength() = 0;
    virtual uint32_t Tell() = 0;
    // origin: 0 from the start, 1 from the current position, 2 from the end.
    virtual uint32_t Seek(int32_t offset, int origin) = 0;

    // The value's four bytes, least significant first.
    ResultCode WriteLong(const uint32_t* value);
};
