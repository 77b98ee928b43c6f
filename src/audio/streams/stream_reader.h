// A BufferedStream over an input stream of the foundation, read only, with random access.
#pragma once

#include "audio/streams/buffered_stream.h"

class CInStream;

class StreamReader final : public BufferedStream {
public:
    StreamReader() = default;
    ~StreamReader() override;

    // Seeks `input` to 0 and opens readable with random access over its length.
    void Open(CInStream* input);
    void Close() override;
    int32_t RawRead(void* buffer, int32_t count) override;
    int32_t RawPeek(void* buffer, int32_t count) override;
    int32_t RawWrite(const void* buffer, int32_t count) override;
    int64_t RawSeek(int64_t position) override;

private:
    CInStream* input_ = nullptr;
};
