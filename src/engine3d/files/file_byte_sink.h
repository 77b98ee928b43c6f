// The chunk writer's bytes going to a file through a buffered output stream.
#pragma once

#include <cstdint>

#include "engine3d/scene/byte_sink.h"
#include "foundation/memory/result_codes.h"
#include "foundation/streams/file_out_stream.h"

class FileByteSink : public ByteSink {
public:
    static constexpr uint32_t kBufferSize = 4096;

    // Creates or truncates the file; Result() is then 0, or kResultCannotOpen when it
    // could not be created, and nothing is ever written.
    explicit FileByteSink(const char* path);
    // Flushes what is still buffered.
    ~FileByteSink() override;

    bool Write(const void* data, uint32_t count) override;
    bool Patch(uint32_t offset, const void* data, uint32_t count) override;
    uint32_t Tell() const override { return written_; }

    // Flushes the buffer and gives the first failure code, 0 when everything was stored.
    ResultCode Finish();
    ResultCode Result() const { return result_; }

private:
    void Fail(ResultCode code);

    CFileOutStream stream_;
    ResultCode result_ = kResultOk;
    uint32_t written_ = 0;
};
