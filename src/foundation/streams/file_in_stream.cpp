#include "foundation/streams/file_in_stream.h"

#include <algorithm>
#include <cstring>

#include "foundation/files/file_layer.h"
#include "foundation/memory/memory_helpers.h"

namespace {
constexpr uint32_t kReadMode = 0;
}

CFileInStream::~CFileInStream() {
    MemFree(&buffer_);
    if (ownsHandle_ && file_ != INVALID_HANDLE_VALUE) FileClose(file_);
}

ResultCode CFileInStream::Prepare(HANDLE file) {
    if (ownsHandle_ && file_ != INVALID_HANDLE_VALUE && file_ != file) FileClose(file_);
    file_ = INVALID_HANDLE_VALUE;
    ownsHandle_ = false;
    position_ = rangeStart_ = rangeLength_ = 0;
    EmptyBuffer();
    if (file == INVALID_HANDLE_VALUE) return kResultOk;
    if (buffer_ == nullptr && !MemAlloc(kBufferSize, &buffer_)) return kResultOutOfMemory;
    cursor_ = buffer_;
    file_ = file;
    return kResultOk;
}

ResultCode CFileInStream::AttachHandle(HANDLE file) {
    if (ResultCode result = Prepare(file)) return result;
    if (file_ == INVALID_HANDLE_VALUE) return kResultOk;
    position_ = rangeStart_ = FileTell(file_);
    uint32_t size = FileGetSize(file_);
    rangeLength_ = size > rangeStart_ ? size - rangeStart_ : 0;
    return kResultOk;
}

ResultCode CFileInStream::AttachHandleRange(HANDLE file, uint32_t start, uint32_t length) {
    if (ResultCode result = Prepare(file)) return result;
    if (file_ == INVALID_HANDLE_VALUE) return kResultOk;
    // Positions are 32-bit: a range never reaches past the last addressable byte.
    position_ = rangeStart_ = start;
    rangeLength_ = std::min(length, UINT32_MAX - start);
    FileSeek(file_, start);
    return kResultOk;
}

HANDLE CFileInStream::DetachHandle() {
    HANDLE file = file_;
    if (file != INVALID_HANDLE_VALUE) FileSeek(file, position_);
    EmptyBuffer();
    file_ = INVALID_HANDLE_VALUE;
    ownsHandle_ = false;
    return file;
}

ResultCode CFileInStream::OpenFile(const char* path) {
    HANDLE file = FileOpen(path, kReadMode);
    if (file == INVALID_HANDLE_VALUE) return kResultCannotOpen;
    if (ResultCode result = AttachHandle(file)) {
        FileClose(file);
        return result;
    }
    ownsHandle_ = true;
    return kResultOk;
}

ResultCode CFileInStream::OpenFileRange(const char* path, uint32_t start, uint32_t length) {
    HANDLE file = FileOpen(path, kReadMode);
    if (file == INVALID_HANDLE_VALUE) return kResultCannotOpen;
    if (ResultCode result = AttachHandleRange(file, start, length)) {
        FileClose(file);
        return result;
    }
    ownsHandle_ = true;
    return kResultOk;
}

void CFileInStream::EmptyBuffer() {
    cursor_ = buffer_;
    left_ = 0;
}

void CFileInStream::TakeFromBuffer(void* destination, uint32_t count) {
    std::memcpy(destination, cursor_, count);
    cursor_ += count;
    left_ -= count;
    position_ += count;
}

uint32_t CFileInStream::ReadAt(void* destination, uint32_t count) {
    if (FileSeek(file_, position_) != position_) return 0;
    int32_t got = FileReadRaw(file_, destination, count);
    return got > 0 ? static_cast<uint32_t>(got) : 0;
}

ResultCode CFileInStream::Read(void* buffer, uint32_t count) {
    if (count == 0) return kResultOk;
    if (left_ >= count) {
        TakeFromBuffer(buffer, count);
        return kResultOk;
    }
    auto* destination = static_cast<uint8_t*>(buffer);
    if (uint32_t buffered = left_) {
        TakeFromBuffer(destination, buffered);
        destination += buffered;
        count -= buffered;
    }

    if (count >= kBufferSize) {
        // The buffer no longer matches the bytes just before the position.
        EmptyBuffer();
        while (count >= kBufferSize) {
            uint32_t want = std::min(kBufferSize, RangeLeft());
            if (want == 0) return kResultEndOfData;
            uint32_t got = ReadAt(destination, want);
            position_ += got;
            if (got != kBufferSize) return kResultEndOfData;
            destination += got;
            count -= got;
        }
        if (count == 0) return kResultOk;
    }

    uint32_t want = std::min(kBufferSize, RangeLeft());
    if (want == 0) return kResultEndOfData;
    cursor_ = buffer_;
    left_ = ReadAt(buffer_, want);
    if (left_ < count) {
        TakeFromBuffer(destination, left_);
        return kResultEndOfData;
    }
    TakeFromBuffer(destination, count);
    return kResultOk;
}

ResultCode CFileInStream::ReadByte(uint8_t* value) {
    if (left_ == 0) return Read(value, 1);
    *value = *cursor_++;
    left_--;
    position_++;
    return kResultOk;
}

uint32_t CFileInStream::Seek(int32_t offset, int origin) {
    if (origin == 1) {
        if (offset == 0) return Tell();
        if (offset > 0 && static_cast<uint32_t>(offset) <= left_) {
            cursor_ += offset;
            left_ -= offset;
            position_ += offset;
            return Tell();
        }
        int64_t back = -int64_t{offset};
        if (offset < 0 && back <= cursor_ - buffer_) {
            cursor_ -= back;
            left_ += static_cast<uint32_t>(back);
            position_ -= static_cast<uint32_t>(back);
            return Tell();
        }
    }
    int64_t rangeEnd = int64_t{rangeStart_} + rangeLength_;
    int64_t target = 0;
    if (origin == 0) target = int64_t{rangeStart_} + offset;
    if (origin == 1) target = int64_t{position_} + offset;
    if (origin == 2) target = rangeEnd + offset;
    target = std::clamp<int64_t>(target, rangeStart_, rangeEnd);
    EmptyBuffer();
    position_ = static_cast<uint32_t>(target);
    if (file_ != INVALID_HANDLE_VALUE) FileSeek(file_, position_);
    return Tell();
}
