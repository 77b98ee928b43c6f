// A little-endian byte builder for project data: integers, u16-length-prefixed strings,
// chunks whose size is patched when they end (they nest), and packed blocks. The packer
// writes projects with it, and tests use it to build project data, sound or hostile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Deflates `size` bytes into a complete zlib stream; false when zlib fails.
bool ZlibPack(const void* data, size_t size, std::vector<uint8_t>& packed);

class ProjectChunkWriter {
public:
    void U8(uint8_t value);
    void U16(uint16_t value);
    void U32(uint32_t value);
    void Append(const void* data, size_t size);
    void Append(std::string_view bytes) { Append(bytes.data(), bytes.size()); }
    // u16 length, then the bytes (no terminator). Longer than 65535 bytes fails.
    void String(std::string_view text);

    // u16 id, u16 0 and a u32 size that EndChunk sets to the bytes written in between.
    void BeginChunk(uint16_t id);
    void EndChunk();
    // A chunk with an empty body, such as the end chunk 0x7F7F.
    void EmptyChunk(uint16_t id);

    // u32 unpacked size n, u32 packed size p (0 when stored raw), then the zlib stream or
    // the n bytes as they are.
    void PackedBlock(const void* data, size_t size, bool packed);
    void PackedBlock(std::string_view bytes, bool packed) {
        PackedBlock(bytes.data(), bytes.size(), packed);
    }

    // Overwrites four bytes written earlier, e.g. an offset known only later.
    void PatchU32(size_t position, uint32_t value);

    size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    std::string Text() const { return std::string(bytes_.begin(), bytes_.end()); }

    // False once anything could not be written as asked: a field too large for its size
    // word, a string over 65535 bytes, EndChunk without BeginChunk, a zlib failure, a patch
    // outside the data. The bytes are then not a faithful image of what was asked.
    bool Ok() const { return ok_ && open_.empty(); }

    // Writes the bytes to `path` (a host path), replacing the file. False on failure.
    bool WriteToFile(const std::string& path) const;

private:
    std::vector<uint8_t> bytes_;
    std::vector<size_t> open_;
    bool ok_ = true;
};
