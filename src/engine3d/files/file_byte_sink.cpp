#include "engine3d/files/file_byte_sink.h"

#include <limits>

FileByteSink::FileByteSink(const char* path) {
    if (stream_.Create(path, kBufferSize) != kResultOk) result_ = kResultCannotOpen;
}

FileByteSink::~FileByteSink() {
    Finish();
}

void FileByteSink::Fail(ResultCode code) {
    if (result_ == kResultOk) result_ = code != kResultOk ? code : kResultWriteError;
}

bool FileByteSink::Write(const void* data, uint32_t count) {
    if (result_ != kResultOk) return false;
    if (count > std::numeric_limits<uint32_t>::max() - written_) {
        Fail(kResultDiskFull);
        return false;
    }
    if (ResultCode code = stream_.Write(data, count)) {
        Fail(code);
        return false;
    }
    written_ += count;
    return true;
}

bool FileByteSink::Patch(uint32_t offset, const void* data, uint32_t count) {
    if (result_ != kResultOk) return false;
    if (offset > written_ || count > written_ - offset ||
        offset > uint32_t(std::numeric_limits<int32_t>::max()) ||
        written_ > uint32_t(std::numeric_limits<int32_t>::max())) {
        Fail(kResultWriteError);
        return false;
    }
    stream_.Seek(static_cast<int32_t>(offset), 0);
    ResultCode code = stream_.Write(data, count);
    stream_.Seek(static_cast<int32_t>(written_), 0);
    if (code != kResultOk) {
        Fail(code);
        return false;
    }
    return true;
}

ResultCode FileByteSink::Finish() {
    if (result_ == kResultOk) {
        if (ResultCode code = stream_.Flush()) Fail(code);
    }
    return result_;
}
