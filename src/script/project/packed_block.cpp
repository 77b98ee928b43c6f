#include "script/project/packed_block.h"

#include "foundation/files/file_layer.h"
#include "foundation/memory/memory_helpers.h"
#include "foundation/streams/zstream.h"
#include "script/project/project_format.h"

namespace {

constexpr uint32_t kBlockHeaderSize = 8;
// Deflate cannot expand a byte of packed data into more than 1032 bytes; a block that
// declares more than that (with room for the stream's header and checksum) cannot be
// genuine, and is refused before its declared size is allocated.
constexpr uint64_t kMaxInflateRatio = 1032;
constexpr uint64_t kInflateSlack = 1024;

uint32_t ReadLe32(const uint8_t* bytes) {
    return bytes[0] | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

} // namespace

ResultCode ReadPackedBlock(HANDLE file, char*& buffer, uint32_t& size, uint64_t available) {
    buffer = nullptr;
    size = 0;
    if (available < kBlockHeaderSize) return kResultEndOfData;
    uint8_t header[kBlockHeaderSize];
    if (ResultCode result = FileRead(file, header, sizeof header)) return result;
    const uint32_t unpacked = ReadLe32(header);
    const uint32_t packed = ReadLe32(header + 4);
    const uint64_t body = available - kBlockHeaderSize;

    if ((packed == 0 ? unpacked : packed) > body) return kResultEndOfData;
    if (packed != 0 && unpacked > packed * kMaxInflateRatio + kInflateSlack)
        return kResultCompressionError;
    if (unpacked > project_format::kMaxUnpackedSize) return kResultOutOfMemory;

    char* block = nullptr;
    if (!MemAlloc(size_t(unpacked) + 1, &block)) return kResultOutOfMemory;
    ResultCode result = kResultOk;
    if (packed == 0) {
        if (unpacked > 0) result = FileRead(file, block, unpacked);
    } else {
        result = ZStream_DecompressBuffer(block, unpacked, file, packed, unpacked);
        // More output than declared is as wrong as less.
        if (result == kResultBufferFull) result = kResultCompressionError;
    }
    if (result != kResultOk) {
        MemFree(&block);
        return result;
    }
    block[unpacked] = '\0';
    buffer = block;
    size = unpacked;
    return kResultOk;
}

ResultCode ReadPackedBlock(HANDLE file, char*& buffer, uint32_t& size) {
    const uint32_t position = FileTell(file);
    const uint32_t fileSize = FileGetSize(file);
    const uint64_t available = fileSize >= position ? fileSize - position : 0;
    return ReadPackedBlock(file, buffer, size, available);
}

CChunkBody::CChunkBody(HANDLE file, uint32_t start, uint64_t end)
    : file_(file), position_(start), end_(end) {
    FileSeek(file, start);
}

ResultCode CChunkBody::Bytes(void* buffer, uint32_t count) {
    if (count > Left()) return kResultEndOfData;
    if (count == 0) return kResultOk;
    if (ResultCode result = FileRead(file_, buffer, count)) {
        position_ = end_;
        return result;
    }
    position_ += count;
    return kResultOk;
}

ResultCode CChunkBody::U16(uint16_t& value) {
    uint8_t bytes[2];
    if (ResultCode result = Bytes(bytes, sizeof bytes)) return result;
    value = static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
    return kResultOk;
}

ResultCode CChunkBody::U32(uint32_t& value) {
    uint8_t bytes[4];
    if (ResultCode result = Bytes(bytes, sizeof bytes)) return result;
    value = ReadLe32(bytes);
    return kResultOk;
}

ResultCode CChunkBody::Counted(char*& text, uint32_t length) {
    if (length > Left()) return kResultEndOfData;
    char* block = nullptr;
    if (!MemAlloc(size_t(length) + 1, &block)) return kResultOutOfMemory;
    if (ResultCode result = Bytes(block, length)) {
        MemFree(&block);
        return result;
    }
    block[length] = '\0';
    text = block;
    return kResultOk;
}

ResultCode CChunkBody::String(char*& text) {
    text = nullptr;
    uint16_t length = 0;
    if (ResultCode result = U16(length)) return result;
    return Counted(text, length);
}

ResultCode CChunkBody::LongString(char*& text, uint32_t& length) {
    text = nullptr;
    length = 0;
    uint32_t count = 0;
    if (ResultCode result = U32(count)) return result;
    if (ResultCode result = Counted(text, count)) return result;
    length = count;
    return kResultOk;
}

ResultCode CChunkBody::Packed(char*& buffer, uint32_t& size) {
    ResultCode result = ReadPackedBlock(file_, buffer, size, Left());
    // Wherever a failure left the file, the next field must not be read from there.
    position_ = result == kResultOk ? FileTell(file_) : end_;
    return result;
}

ResultCode CChunkBody::Skip(uint32_t count) {
    if (count > Left()) return kResultEndOfData;
    position_ += count;
    FileSeek(file_, static_cast<uint32_t>(position_));
    return kResultOk;
}
