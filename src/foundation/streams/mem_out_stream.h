// Output stream into memory: either a buffer of its own that grows as needed, or a
// caller's buffer of fixed capacity (writes beyond it are refused with
// kResultBufferFull). When writing is done the owner reads GetBuffer() and GetLength().
#pragma once

#include "foundation/streams/out_stream.h"

class CMemOutStream : public COutStream {
public:
    static constexpr uint32_t kGrowthStep = 512;

    CMemOutStream() = default;
    ~CMemOutStream() override;

    ResultCode Write(const void* buffer, uint32_t count) override;
    ResultCode Flush() override { return kResultOk; }
    uint32_t GetLength() override { return length_; }
    uint32_t Tell() override { return static_cast<uint32_t>(cursor_ - buffer_); }
    uint32_t Seek(int32_t offset, int origin) override;

    // Writes into the caller's buffer from its start; the caller keeps ownership.
    ResultCode AttachBuffer(void* buffer, uint32_t capacity);

    uint8_t* GetBuffer() const { return buffer_; }
    uint32_t GetCapacity() const { return capacity_; }

private:
    uint8_t* buffer_ = nullptr;
    uint8_t* cursor_ = nullptr;
    uint32_t capacity_ = 0;
    // The highest end ever written.
    uint32_t length_ = 0;
    uint32_t growthStep_ = kGrowthStep;
    // Set while the stream owns its buffer and may grow it.
    bool growable_ = true;
};
