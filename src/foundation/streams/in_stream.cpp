#include "foundation/streams/in_stream.h"

#include <bit>
#include <cstring>

#include "foundation/memory/memory_helpers.h"

namespace {

constexpr uint8_t kCR = 13;
constexpr uint8_t kLF = 10;

// Byte counts of whole arrays; more than 4 GiB cannot be in any stream.
bool ArrayBytes(uint32_t count, uint32_t elementSize, uint32_t* bytes) {
    uint64_t total = uint64_t{count} * elementSize;
    if (total > UINT32_MAX) return false;
    *bytes = static_cast<uint32_t>(total);
    return true;
}

void SwapPairs(void* data, uint32_t count) {
    auto* bytes = static_cast<uint8_t*>(data);
    for (uint32_t i = 0; i < count; i++, bytes += 2) {
        uint8_t first = bytes[0];
        bytes[0] = bytes[1];
        bytes[1] = first;
    }
}

void SwapQuads(void* data, uint32_t count) {
    auto* bytes = static_cast<uint8_t*>(data);
    for (uint32_t i = 0; i < count; i++, bytes += 4) {
        uint8_t b0 = bytes[0], b1 = bytes[1];
        bytes[0] = bytes[3];
        bytes[1] = bytes[2];
        bytes[2] = b1;
        bytes[3] = b0;
    }
}

} // namespace

ResultCode CInStream::ReadCounted(void* buffer, uint32_t count, uint32_t* countRead) {
    uint32_t before = Tell();
    ResultCode result = Read(buffer, count);
    *countRead = Tell() - before;
    return result;
}

ResultCode CInStream::ReadWord(uint16_t* value) {
    uint8_t low, high;
    if (ResultCode result = ReadByte(&low)) return result;
    if (ResultCode result = ReadByte(&high)) return result;
    *value = static_cast<uint16_t>(low | high << 8);
    return kResultOk;
}

ResultCode CInStream::ReadLong(uint32_t* value) {
    uint16_t low, high;
    if (ResultCode result = ReadWord(&low)) return result;
    if (ResultCode result = ReadWord(&high)) return result;
    *value = low | uint32_t{high} << 16;
    return kResultOk;
}

ResultCode CInStream::ReadWordBE(uint16_t* value) {
    uint8_t high, low;
    if (ResultCode result = ReadByte(&high)) return result;
    if (ResultCode result = ReadByte(&low)) return result;
    *value = static_cast<uint16_t>(low | high << 8);
    return kResultOk;
}

ResultCode CInStream::ReadLongBE(uint32_t* value) {
    uint16_t high, low;
    if (ResultCode result = ReadWordBE(&high)) return result;
    if (ResultCode result = ReadWordBE(&low)) return result;
    *value = low | uint32_t{high} << 16;
    return kResultOk;
}

ResultCode CInStream::ReadFloat(float* value) {
    uint32_t bits;
    if (ResultCode result = ReadLong(&bits)) return result;
    *value = std::bit_cast<float>(bits);
    return kResultOk;
}

ResultCode CInStream::ReadFloatBE(float* value) {
    uint32_t bits;
    if (ResultCode result = ReadLongBE(&bits)) return result;
    *value = std::bit_cast<float>(bits);
    return kResultOk;
}

ResultCode CInStream::ReadWords(uint16_t* values, uint32_t count) {
    uint32_t bytes, done;
    if (!ArrayBytes(count, 2, &bytes)) return kResultEndOfData;
    return ReadCounted(values, bytes, &done);
}

ResultCode CInStream::ReadLongs(uint32_t* values, uint32_t count) {
    uint32_t bytes, done;
    if (!ArrayBytes(count, 4, &bytes)) return kResultEndOfData;
    return ReadCounted(values, bytes, &done);
}

ResultCode CInStream::ReadFloats(float* values, uint32_t count) {
    uint32_t bytes, done;
    if (!ArrayBytes(count, 4, &bytes)) return kResultEndOfData;
    return ReadCounted(values, bytes, &done);
}

ResultCode CInStream::ReadWordsBE(uint16_t* values, uint32_t count) {
    uint32_t bytes, done;
    if (!ArrayBytes(count, 2, &bytes)) return kResultEndOfData;
    if (ResultCode result = ReadCounted(values, bytes, &done)) return result;
    SwapPairs(values, count);
    return kResultOk;
}

ResultCode CInStream::ReadLongsBE(uint32_t* values, uint32_t count) {
    uint32_t bytes, done;
    if (!ArrayBytes(count, 4, &bytes)) return kResultEndOfData;
    if (ResultCode result = ReadCounted(values, bytes, &done)) return result;
    SwapQuads(values, count);
    return kResultOk;
}

ResultCode CInStream::ReadFloatsBE(float* values, uint32_t count) {
    uint32_t bytes, done;
    if (!ArrayBytes(count, 4, &bytes)) return kResultEndOfData;
    if (ResultCode result = ReadCounted(values, bytes, &done)) return result;
    SwapQuads(values, count);
    return kResultOk;
}

void* CInStream::ReadAlloc(uint32_t count) {
    if (count == 0) return nullptr;
    void* block = nullptr;
    if (!MemAlloc(count, &block)) return nullptr;
    if (Read(block, count) != kResultOk) MemFree(&block);
    return block;
}

void CInStream::FreeAlloc(void* block) {
    MemFree(&block);
}

char* CInStream::ReadLine(char* buffer, int size) {
    if (size < 1) return nullptr;
    int stored = 0;
    while (stored < size - 1) {
        uint8_t c;
        if (ReadByte(&c) != kResultOk) {
            if (stored == 0) return nullptr;
            break;
        }
        if (c == kCR || c == kLF) {
            // A line break with nothing after it is dropped.
            uint8_t next;
            if (ReadByte(&next) != kResultOk) break;
            if ((c == kCR && next == kLF) || (c == kLF && next == kCR)) {
                c = kLF;
            } else {
                Seek(-1, 1);
            }
        }
        buffer[stored++] = static_cast<char>(c);
        if (c == kLF) break;
    }
    buffer[stored] = 0;
    return buffer;
}
