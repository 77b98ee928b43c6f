// Global atoms: small numbers standing for texts, shared by the whole process.
//
// Atoms 0xC000 to 0xFFFF name texts (at most 255 bytes, compared without regard to
// case, reference counted). Atoms 1 to 0xBFFF are integer atoms: a text "#123" or
// MAKEINTATOM(123) stands for atom 123 itself, is never stored and needs no deleting.
#pragma once

#include <cstdint>

#include "platform/kernel/win_types.h"

using ATOM = WORD;

inline constexpr ATOM MAXINTATOM = 0xC000;

// A name argument carrying an atom instead of a text: the atom in the pointer's value.
inline LPCSTR MAKEINTATOM(ATOM atom) {
    return reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(atom));
}

// Adds a reference to the atom of `name` (a new atom the first time). 0 with
// ERROR_INVALID_PARAMETER for an empty or over-long text, an integer atom outside
// 1..0xBFFF, or ERROR_NOT_ENOUGH_MEMORY when every text atom is taken.
ATOM GlobalAddAtomA(LPCSTR name);
// 0 with ERROR_FILE_NOT_FOUND when the text has no atom.
ATOM GlobalFindAtomA(LPCSTR name);
// Drops one reference; the atom is freed with the last. Returns 0 on success, the atom
// itself (with ERROR_INVALID_HANDLE) when it names nothing.
ATOM GlobalDeleteAtom(ATOM atom);
// Copies the text of the atom ("#n" for an integer atom), at most size - 1 bytes and a
// terminating zero, and returns the number of bytes copied; 0 with ERROR_INVALID_HANDLE
// for an unknown atom, ERROR_INVALID_PARAMETER without a buffer.
UINT GlobalGetAtomNameA(ATOM atom, LPSTR buffer, int size);

namespace platform {

// True when a name argument is an atom in disguise (its value below 0x10000).
inline bool IsAtomName(LPCSTR name) {
    return reinterpret_cast<uintptr_t>(name) < 0x10000u;
}

} // namespace platform
