// Buffered output stream over a file handle. Buffered bytes always belong after the
// file's end: a seek back into the file flushes them and writes straight through until
// the stream is sought to its end again.
#pragma once

#include "foundation/streams/out_stream.h"
#include "platform/kernel/win_types.h"

class CFileOutStream : public COutStream {
public:
    CFileOutStream() = default;
    ~CFileOutStream() override;

    ResultCode Write(const void* buffer, uint32_t count) override;
    ResultCode Flush() override;
    uint32_t GetLength() override;
    uint32_t Tell() override;
    uint32_t Seek(int32_t offset, int origin) override;

    // Creates or truncates the file, which the stream then owns. A buffer size of 0, or
    // a buffer that cannot be allocated, makes the stream write unbuffered.
    ResultCode Create(const char* path, uint32_t bufferSize);
    // The same on an open handle, which stays the caller's.
    ResultCode AttachHandle(HANDLE file, uint32_t bufferSize);

private:
    void Close();

    HANDLE file_ = INVALID_HANDLE_VALUE;
    bool ownsHandle_ = false;
    uint8_t* buffer_ = nullptr;
    uint32_t buffered_ = 0;
    uint32_t bufferSize_ = 0;
    // Off until a buffer exists, so that a stream without one never loops in Write.
    bool buffering_ = false;
};
