#include "foundation/files/file_layer.h"

#include <limits>

#include "foundation/memory/memory_helpers.h"
#include "platform/files/files.h"
#include "platform/kernel/errors.h"

namespace {

// Open modes: the whole value 1 or 2 picks the access; the bits pick the sharing.
constexpr uint32_t kModeWriteOnly = 1;
constexpr uint32_t kModeReadWrite = 2;
constexpr uint32_t kShareNoneBit = 0x10;
constexpr uint32_t kShareNoneLowBit = 0x20;
constexpr uint32_t kShareReadWriteBit = 0x40;

DWORD AccessOf(uint32_t mode) {
    if (mode == kModeWriteOnly) return GENERIC_WRITE;
    if (mode == kModeReadWrite) return GENERIC_READ | GENERIC_WRITE;
    return GENERIC_READ;
}

DWORD SharingOf(uint32_t mode) {
    if (mode == kModeWriteOnly || (mode & kShareNoneBit) != 0) return 0;
    if ((mode & kShareReadWriteBit) != 0) return FILE_SHARE_READ | FILE_SHARE_WRITE;
    if ((mode & kShareNoneLowBit) != 0) return 0;
    return FILE_SHARE_READ;
}

HANDLE OpenFull(const char* path, DWORD access, DWORD sharing, DWORD disposition) {
    std::string full;
    if (GetFullPath(path, full) == 0) return INVALID_HANDLE_VALUE;
    return CreateFileA(full.c_str(), access, sharing, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       0);
}

// Positions are unsigned 32-bit: a zero high part lets offsets of 2 GB and more through
// instead of having them taken as negative.
uint32_t SeekFromStart(HANDLE file, uint32_t offset) {
    LONG high = 0;
    return SetFilePointer(file, static_cast<LONG>(offset), &high, FILE_BEGIN);
}

} // namespace

HANDLE FileOpen(const char* path, uint32_t mode) {
    return OpenFull(path, AccessOf(mode), SharingOf(mode), OPEN_EXISTING);
}

HANDLE FileCreate(const char* path) {
    return OpenFull(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
}

ResultCode FileRead(HANDLE file, void* buffer, uint32_t count) {
    DWORD done = 0;
    if (!ReadFile(file, buffer, count, &done, nullptr)) {
        return GetLastError() == ERROR_HANDLE_EOF ? kResultEndOfData : kResultReadError;
    }
    return done == count ? kResultOk : kResultEndOfData;
}

int32_t FileReadRaw(HANDLE file, void* buffer, uint32_t count) {
    // A count above the signed range could come back looking like the failure value.
    constexpr uint32_t kLargestCount = std::numeric_limits<int32_t>::max();
    if (count > kLargestCount) count = kLargestCount;
    DWORD done = 0;
    if (!ReadFile(file, buffer, count, &done, nullptr)) return -1;
    return static_cast<int32_t>(done);
}

ResultCode FileReadCountedString(HANDLE file, char** text) {
    *text = nullptr;
    uint8_t lengthBytes[2];
    ResultCode result = FileRead(file, lengthBytes, sizeof lengthBytes);
    if (result != kResultOk) return result;
    uint32_t length = lengthBytes[0] | (static_cast<uint32_t>(lengthBytes[1]) << 8);
    char* block = nullptr;
    if (!MemCalloc(length + 1, &block)) return kResultOutOfMemory;
    result = FileRead(file, block, length);
    if (result != kResultOk) {
        MemFree(&block);
        return result;
    }
    *text = block;
    return kResultOk;
}

ResultCode FileWrite(HANDLE file, const void* buffer, uint32_t count) {
    DWORD done = 0;
    if (!WriteFile(file, buffer, count, &done, nullptr)) {
        return GetLastError() == ERROR_DISK_FULL ? kResultDiskFull : kResultWriteError;
    }
    return done == count ? kResultOk : kResultDiskFull;
}

uint32_t FileTell(HANDLE file) {
    return SetFilePointer(file, 0, nullptr, FILE_CURRENT);
}

uint32_t FileSeek(HANDLE file, uint32_t offset) {
    return SeekFromStart(file, offset);
}

uint32_t FileSeekRelative(HANDLE file, int32_t offset) {
    return SetFilePointer(file, offset, nullptr, FILE_CURRENT);
}

uint32_t FileSeekFromEnd(HANDLE file, int32_t offset) {
    return SetFilePointer(file, offset, nullptr, FILE_END);
}

uint32_t FileGetSize(HANDLE file) {
    uint32_t position = FileTell(file);
    uint32_t size = SetFilePointer(file, 0, nullptr, FILE_END);
    SeekFromStart(file, position);
    return size;
}

void FileClose(HANDLE file) {
    CloseHandle(file);
}
