// Reads little-endian fields from bytes the packer wrote, for checking them in tests.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include <zlib.h>

namespace packer_test {

struct ByteCursor {
    const std::vector<uint8_t>& bytes;
    size_t at = 0;

    uint16_t U16() {
        const uint16_t v = static_cast<uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
        at += 2;
        return v;
    }
    uint32_t U32() {
        const uint32_t lo = U16();
        return lo | uint32_t{U16()} << 16;
    }
    std::string Text(size_t size) {
        if (at + size > bytes.size()) throw std::out_of_range("past the end");
        std::string text(bytes.begin() + at, bytes.begin() + at + size);
        at += size;
        return text;
    }
    std::string String() { return Text(U16()); }
    // A packed block: the bytes it stands for, inflated when packed.
    std::string Block() {
        const uint32_t n = U32();
        const uint32_t p = U32();
        if (p == 0) return Text(n);
        const std::string packed = Text(p);
        std::string out(n, '\0');
        uLongf size = n;
        const int rc = uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                                  reinterpret_cast<const Bytef*>(packed.data()), p);
        if (rc != Z_OK || size != n) throw std::runtime_error("block does not inflate to n bytes");
        return out;
    }
};

// The chunks of a list starting at `at`: {id, body start, body size}, up to the end chunk.
struct ChunkInfo {
    uint16_t id;
    size_t body;
    uint32_t size;
};

inline std::vector<ChunkInfo> ListChunks(const std::vector<uint8_t>& bytes, size_t at) {
    std::vector<ChunkInfo> chunks;
    ByteCursor c{bytes, at};
    while (true) {
        ChunkInfo info{};
        info.id = c.U16();
        c.U16();
        info.size = c.U32();
        info.body = c.at;
        chunks.push_back(info);
        if (info.id == 0x7F7F) return chunks;
        c.at += info.size;
    }
}

} // namespace packer_test
