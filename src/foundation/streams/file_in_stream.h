// Buffered input stream over a file handle, optionally limited to a byte range of the
// file (how pieces of a larger file are read in place).
//
// Several streams may share one handle: each seeks the handle to its own position
// before every system read, so interleaved readers never see each other's bytes.
#pragma once

#include "foundation/streams/in_stream.h"

class CFileInStream : public CInStream {
public:
    static constexpr uint32_t kBufferSize = 16384;

    CFileInStream() = default;
    ~CFileInStream() override;

    ResultCode Read(void* buffer, uint32_t count) override;
    ResultCode ReadByte(uint8_t* value) override;
    uint32_t Tell() override { return position_ - rangeStart_; }
    uint32_t GetLength() override { return rangeLength_; }
    uint32_t Seek(int32_t offset, int origin) override;
    // The range runs from the handle's current position to the end of the file.
    ResultCode AttachHandle(HANDLE file) override;
    // Leaves the handle at the stream's position and gives it back to the caller.
    HANDLE DetachHandle() override;

    // A range of `length` bytes from `start`; a length of 0 is an empty range.
    ResultCode AttachHandleRange(HANDLE file, uint32_t start, uint32_t length);

    // The stream owns handles it opened itself and closes them when destroyed.
    ResultCode OpenFile(const char* path);
    ResultCode OpenFileRange(const char* path, uint32_t start, uint32_t length);
    ResultCode OpenHandle(HANDLE file) { return AttachHandle(file); }
    ResultCode OpenHandleRange(HANDLE file, uint32_t start, uint32_t length) {
        return AttachHandleRange(file, start, length);
    }

private:
    ResultCode Prepare(HANDLE file);
    uint32_t RangeLeft() const { return rangeStart_ + rangeLength_ - position_; }
    // One system read at the stream's position; the bytes delivered, 0 on failure.
    uint32_t ReadAt(void* destination, uint32_t count);
    void TakeFromBuffer(void* destination, uint32_t count);
    void EmptyBuffer();

    HANDLE file_ = INVALID_HANDLE_VALUE;
    // Absolute file offset of the next byte the stream delivers.
    uint32_t position_ = 0;
    uint8_t* buffer_ = nullptr;
    // The bytes from buffer_ to cursor_ + left_ are the file's bytes from
    // position_ - (cursor_ - buffer_) on, so steps back stay inside the buffer.
    uint8_t* cursor_ = nullptr;
    uint32_t left_ = 0;
    bool ownsHandle_ = false;
    uint32_t rangeStart_ = 0;
    uint32_t rangeLength_ = 0;
};
