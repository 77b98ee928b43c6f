// Where a chunk writer's bytes go: appended in order, with a way back to patch a chunk's
// length once its body is written.
#pragma once

#include <cstdint>
#include <vector>

class ByteSink {
public:
    ByteSink() = default;
    ByteSink(const ByteSink&) = delete;
    ByteSink& operator=(const ByteSink&) = delete;
    virtual ~ByteSink() = default;

    // Each returns false when the bytes could not be stored.
    virtual bool Write(const void* data, uint32_t count) = 0;
    // Overwrites bytes already written, from `offset` on.
    virtual bool Patch(uint32_t offset, const void* data, uint32_t count) = 0;
    // The number of bytes written so far.
    virtual uint32_t Tell() const = 0;
};

// Keeps everything in memory; refuses to grow past what a u32 position can address.
class MemoryByteSink : public ByteSink {
public:
    bool Write(const void* data, uint32_t count) override;
    bool Patch(uint32_t offset, const void* data, uint32_t count) override;
    uint32_t Tell() const override { return static_cast<uint32_t>(bytes_.size()); }

    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};
