#include "platform/media/mci/mmio.h"

#include <map>
#include <mutex>

#include "platform/files/files.h"
#include "platform/kernel/handles.h"

namespace {

std::mutex tableLock;
std::map<HMMIO, HANDLE> files;
HMMIO lastHandle = 0;

HANDLE FileOf(HMMIO file) {
    std::lock_guard lock(tableLock);
    auto found = files.find(file);
    return found == files.end() ? INVALID_HANDLE_VALUE : found->second;
}

uint32_t ReadU32(const uint8_t* at) {
    return uint32_t{at[0]} | uint32_t{at[1]} << 8 | uint32_t{at[2]} << 16 | uint32_t{at[3]} << 24;
}

} // namespace

HMMIO mmioOpenA(LPSTR fileName, void*, DWORD flags) {
    if (fileName == nullptr || flags != MMIO_READ) return 0;
    HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE) return 0;
    std::lock_guard lock(tableLock);
    do {
        ++lastHandle;
    } while (lastHandle == 0 || files.count(lastHandle));
    files[lastHandle] = file;
    return lastHandle;
}

UINT mmioClose(HMMIO file, UINT) {
    HANDLE handle;
    {
        std::lock_guard lock(tableLock);
        auto found = files.find(file);
        if (found == files.end()) return MMIOERR_CANNOTREAD;
        handle = found->second;
        files.erase(found);
    }
    CloseHandle(handle);
    return 0;
}

LONG mmioRead(HMMIO file, char* buffer, LONG count) {
    HANDLE handle = FileOf(file);
    if (handle == INVALID_HANDLE_VALUE || buffer == nullptr || count < 0) return -1;
    DWORD read = 0;
    if (!ReadFile(handle, buffer, static_cast<DWORD>(count), &read, nullptr)) return -1;
    return static_cast<LONG>(read);
}

LONG mmioSeek(HMMIO file, LONG offset, int origin) {
    HANDLE handle = FileOf(file);
    if (handle == INVALID_HANDLE_VALUE || origin < 0 || origin > 2) return -1;
    DWORD at = SetFilePointer(handle, offset, nullptr, static_cast<DWORD>(origin));
    return at == 0xFFFFFFFFu || at > 0x7FFFFFFFu ? -1 : static_cast<LONG>(at);
}

UINT mmioDescend(HMMIO file, MMCKINFO* chunk, const MMCKINFO* parent, UINT flags) {
    if (chunk == nullptr) return MMIOERR_CHUNKNOTFOUND;
    const FOURCC riff = mmioFOURCC('R', 'I', 'F', 'F');
    const FOURCC list = mmioFOURCC('L', 'I', 'S', 'T');
    FOURCC wantedId = flags & MMIO_FINDRIFF ? riff : flags & MMIO_FINDLIST ? list : chunk->ckid;
    FOURCC wantedType = chunk->fccType;
    bool finding = (flags & (MMIO_FINDRIFF | MMIO_FINDLIST | MMIO_FINDCHUNK)) != 0;
    uint64_t end = parent != nullptr ? uint64_t{parent->dwDataOffset} + parent->cksize : UINT64_MAX;
    for (;;) {
        LONG at = mmioSeek(file, 0, 1);
        if (at < 0 || uint64_t(at) + 8 > end) return MMIOERR_CHUNKNOTFOUND;
        uint8_t header[12];
        if (mmioRead(file, reinterpret_cast<char*>(header), 8) != 8) return MMIOERR_CHUNKNOTFOUND;
        MMCKINFO found{ReadU32(header), ReadU32(header + 4), 0, static_cast<DWORD>(at) + 8, 0};
        bool hasType = found.ckid == riff || found.ckid == list;
        if (hasType) {
            if (mmioRead(file, reinterpret_cast<char*>(header + 8), 4) != 4)
                return MMIOERR_CHUNKNOTFOUND;
            found.fccType = ReadU32(header + 8);
        }
        if (!finding || (found.ckid == wantedId && (!hasType || found.fccType == wantedType))) {
            *chunk = found;
            return 0;
        }
        uint64_t next = uint64_t{found.dwDataOffset} + found.cksize + (found.cksize & 1);
        if (next > 0x7FFFFFFF || next > end) return MMIOERR_CHUNKNOTFOUND;
        if (mmioSeek(file, static_cast<LONG>(next), 0) < 0) return MMIOERR_CHUNKNOTFOUND;
    }
}
