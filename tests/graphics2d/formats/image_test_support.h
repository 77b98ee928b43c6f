// Shared pieces of the image format tests: a little-endian builder for the files the tests
// write, a decoder that runs a handler over bytes in memory, and output streams that fail
// after a given number of bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "foundation/streams/mem_in_stream.h"
#include "foundation/streams/mem_out_stream.h"
#include "graphics2d/formats/image_format_handler.h"

namespace image_test {

using Bytes = std::vector<uint8_t>;

// Bytes of the destination that the decoder did not write.
inline constexpr uint8_t kUntouched = 0xA5;

class ByteBuilder {
public:
    ByteBuilder& U8(uint32_t value);
    ByteBuilder& U16(uint32_t value);
    ByteBuilder& U32(uint32_t value);
    ByteBuilder& Raw(const Bytes& bytes);
    ByteBuilder& Fill(size_t count, uint8_t value) { return Raw(Bytes(count, value)); }
    void Put32At(size_t offset, uint32_t value);
    size_t Size() const { return bytes_.size(); }
    const Bytes& Data() const { return bytes_; }

private:
    Bytes bytes_;
};

uint32_t Load32(const Bytes& bytes, size_t at);

// An input stream over its own copy of the bytes.
class ByteStream : public CMemInStream {
public:
    explicit ByteStream(Bytes bytes) : bytes_(std::move(bytes)) {
        Attach(bytes_.data(), static_cast<uint32_t>(bytes_.size()));
    }

private:
    Bytes bytes_;
};

Bytes Contents(CMemOutStream& out);

struct Decoded {
    ImageResult open = kImageBadHeader;
    ImageResult read = kImageBadHeader;
    int32_t width = 0;
    int32_t height = 0;
    int depth = 0;
    // Top-down rows, pitch bytes apart (padded to 4 bytes, 15 bits counted as 16), first
    // filled with kUntouched.
    int32_t pitch = 0;
    Bytes pixels;
    Bytes mask;

    // Every row's pixel bytes, top row first, without the padding.
    Bytes Rows() const;
    // The bytes of pixel (x, y), `bytes` long, as they lie in memory.
    Bytes Pixel(int x, int y, int bytes) const;
    // The 16-bit pixel (x, y).
    uint32_t Word(int x, int y) const;
};

// Opens `file` with the handler and decodes it at `depth` (0: the image's own; at 8 bits a
// null palette means the image's own).
Decoded Decode(CImageFormatHandler& handler, const Bytes& file, int depth = 0,
               const ImagePalette* palette = nullptr, bool withMask = false);

// Accepts `capacity` bytes, then refuses every write.
class FailingOutStream : public COutStream {
public:
    explicit FailingOutStream(uint32_t capacity) : capacity_(capacity) {}
    ResultCode Write(const void* buffer, uint32_t count) override;
    ResultCode Flush() override { return kResultOk; }
    uint32_t GetLength() override { return written_; }
    uint32_t Tell() override { return written_; }
    uint32_t Seek(int32_t, int) override { return written_; }

private:
    uint32_t capacity_;
    uint32_t written_ = 0;
};

// Runs `write` into memory, where it must succeed, then into streams that refuse after each
// of `cuts` bytes, after every `step` bytes (when not 0) and one byte short of the whole:
// every cut must come back as a write error.
void ExpectCutsFail(const std::function<ImageResult(COutStream&)>& write,
                    std::vector<uint32_t> cuts, uint32_t step = 0);

} // namespace image_test
