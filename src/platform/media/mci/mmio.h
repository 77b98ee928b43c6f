// The multimedia file calls: buffered reading of RIFF files, chunk by chunk. Only reading
// is offered; handles are 32-bit values from our own table.
#pragma once

#include "platform/kernel/win_types.h"

using HMMIO = DWORD;
using FOURCC = DWORD;

constexpr FOURCC mmioFOURCC(char a, char b, char c, char d) {
    return FOURCC{static_cast<BYTE>(a)} | FOURCC{static_cast<BYTE>(b)} << 8 |
           FOURCC{static_cast<BYTE>(c)} << 16 | FOURCC{static_cast<BYTE>(d)} << 24;
}

inline constexpr DWORD MMIO_READ = 0x00000000;
inline constexpr UINT MMIO_FINDCHUNK = 0x0010;
inline constexpr UINT MMIO_FINDRIFF = 0x0020;
inline constexpr UINT MMIO_FINDLIST = 0x0040;
inline constexpr UINT MMIOERR_CANNOTREAD = 256 + 8;
inline constexpr UINT MMIOERR_CHUNKNOTFOUND = 256 + 13;
inline constexpr UINT MMIOERR_CANNOTSEEK = 256 + 6;

struct MMCKINFO {
    FOURCC ckid;
    DWORD cksize;
    FOURCC fccType;
    DWORD dwDataOffset;
    DWORD dwFlags;
};

// Opens an existing file for reading (MMIO_READ only; `info` is not used and may be null);
// 0 when it cannot be opened.
HMMIO mmioOpenA(LPSTR fileName, void* info, DWORD flags);
UINT mmioClose(HMMIO file, UINT flags);
// Bytes read (0 at the end), -1 on failure.
LONG mmioRead(HMMIO file, char* buffer, LONG count);
// The new offset, -1 on failure. `origin` is 0 (start), 1 (current) or 2 (end).
LONG mmioSeek(HMMIO file, LONG offset, int origin);
// Reads the chunk header at the current offset into `chunk`, leaving the offset at its
// data (after the form type for RIFF and LIST). With MMIO_FINDRIFF, MMIO_FINDLIST or
// MMIO_FINDCHUNK, chunks are skipped until one with the wanted id (and, for RIFF and LIST,
// form type `chunk->fccType`) is found, within `parent` when given; MMIOERR_CHUNKNOTFOUND
// otherwise.
UINT mmioDescend(HMMIO file, MMCKINFO* chunk, const MMCKINFO* parent, UINT flags);
