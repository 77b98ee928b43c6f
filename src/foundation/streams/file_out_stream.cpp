#include "foundation/streams/file_out_stream.h"

#include <algorithm>
#include <cstring>

#include "foundation/files/file_layer.h"
#include "foundation/memory/memory_helpers.h"

CFileOutStream::~CFileOutStream() {
    Close();
}

void CFileOutStream::Close() {
    Flush();
    if (ownsHandle_ && file_ != INVALID_HANDLE_VALUE) FileClose(file_);
    file_ = INVALID_HANDLE_VALUE;
    ownsHandle_ = false;
    MemFree(&buffer_);
    bufferSize_ = 0;
}

ResultCode CFileOutStream::AttachHandle(HANDLE file, uint32_t bufferSize) {
    Close();
    file_ = file;
    buffering_ = bufferSize > 0 && MemAlloc(bufferSize, &buffer_);
    bufferSize_ = buffering_ ? bufferSize : 0;
    return kResultOk;
}

ResultCode CFileOutStream::Create(const char* path, uint32_t bufferSize) {
    HANDLE file = FileCreate(path);
    if (file == INVALID_HANDLE_VALUE) return kResultCannotCreate;
    AttachHandle(file, bufferSize);
    ownsHandle_ = true;
    return kResultOk;
}

// A failed write is reported once: the buffered bytes are dropped either way.
ResultCode CFileOutStream::Flush() {
    if (buffered_ == 0) return kResultOk;
    uint32_t count = buffered_;
    buffered_ = 0;
    return FileWrite(file_, buffer_, count);
}

ResultCode CFileOutStream::Write(const void* buffer, uint32_t count) {
    if (!buffering_) return FileWrite(file_, buffer, count);
    auto* source = static_cast<const uint8_t*>(buffer);
    while (count > bufferSize_ - buffered_) {
        uint32_t take = bufferSize_ - buffered_;
        std::memcpy(buffer_ + buffered_, source, take);
        buffered_ = bufferSize_;
        source += take;
        count -= take;
        if (ResultCode result = Flush()) return result;
    }
    if (count > 0) std::memcpy(buffer_ + buffered_, source, count);
    buffered_ += count;
    return kResultOk;
}

uint32_t CFileOutStream::GetLength() {
    return FileGetSize(file_) + buffered_;
}

uint32_t CFileOutStream::Tell() {
    return FileTell(file_) + buffered_;
}

uint32_t CFileOutStream::Seek(int32_t offset, int origin) {
    int64_t current = Tell();
    int64_t length = GetLength();
    int64_t target = current;
    if (origin == 0) target = offset;
    if (origin == 1) target = current + offset;
    if (origin == 2) target = length + offset;
    target = std::max<int64_t>(target, 0);
    if (target >= length) {
        buffering_ = buffer_ != nullptr;
        FileSeekFromEnd(file_, 0);
        return static_cast<uint32_t>(length);
    }
    if (buffering_) {
        Flush();
        buffering_ = false;
    }
    FileSeek(file_, static_cast<uint32_t>(target));
    return static_cast<uint32_t>(target);
}
