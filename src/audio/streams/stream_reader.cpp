#include "audio/streams/stream_reader.h"

#include <algorithm>

#include "foundation/streams/in_stream.h"

StreamReader::~StreamReader() {
    Close();
}

void StreamReader::Open(CInStream* input) {
    input_ = input;
    int64_t length = 0;
    if (input_ != nullptr) {
        input_->Seek(0, 0);
        length = input_->GetLength();
    }
    BufferedStream::Open(kReadable | kRandomAccess, 0, length);
}

void StreamReader::Close() {
    BufferedStream::Close();
    input_ = nullptr;
}

int32_t StreamReader::RawRead(void* buffer, int32_t count) {
    if (input_ == nullptr || count <= 0) return 0;
    uint32_t got = 0;
    input_->ReadCounted(buffer, static_cast<uint32_t>(count), &got);
    return static_cast<int32_t>(std::min<uint32_t>(got, static_cast<uint32_t>(count)));
}

int32_t StreamReader::RawPeek(void* buffer, int32_t count) {
    int32_t got = RawRead(buffer, count);
    if (got > 0) input_->Seek(-got, 1);
    return got;
}

int32_t StreamReader::RawWrite(const void*, int32_t) {
    return -1;
}

int64_t StreamReader::RawSeek(int64_t position) {
    if (input_ == nullptr) return 0;
    int64_t length = input_->GetLength();
    position = std::clamp<int64_t>(position, 0, length);
    return input_->Seek(static_cast<int32_t>(position), 0);
}
