// Input stream over a block of memory that the caller keeps alive; ReadAlloc hands out
// pointers into that block instead of copies.
#pragma once

#include "foundation/streams/in_stream.h"

class CMemInStream : public CInStream {
public:
    CMemInStream() = default;

    ResultCode Read(void* buffer, uint32_t count) override;
    ResultCode ReadByte(uint8_t* value) override;
    uint32_t Tell() override { return position_; }
    uint32_t GetLength() override { return position_ + remaining_; }
    uint32_t Seek(int32_t offset, int origin) override;
    ResultCode AttachHandle(HANDLE) override { return kResultOk; }
    HANDLE DetachHandle() override { return INVALID_HANDLE_VALUE; }
    void* ReadAlloc(uint32_t count) override;
    void FreeAlloc(void*) override {}

    ResultCode Attach(const void* address, uint32_t size);

private:
    const uint8_t* base_ = nullptr;
    const uint8_t* cursor_ = nullptr;
    uint32_t position_ = 0;
    uint32_t remaining_ = 0;
};
