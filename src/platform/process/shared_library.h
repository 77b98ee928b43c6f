// Shared libraries with the Windows module calls, over dlopen (RTLD_NOW | RTLD_LOCAL).
//
// LoadLibraryA first replaces a name found in the alias table (names compared without
// regard to case), so that other subsystems can load fixed Windows names; without an
// alias, "OpenGL32.dll" and "GLU32.dll" open the system's OpenGL libraries, and
// GetProcAddress on the first answers the WGL names with our own functions
// (gl/gl_libraries.h); a name registered as a built-in module is answered by the player
// itself (RegisterBuiltInModule). Then it tries the name as given and, for a name ending in ".dll"
// or without an extension, the stem with ".so" and "lib<stem>.so". A name with a
// separator is looked for in its folder only (through the drive mapping); a bare name in
// the application's folder, the system folder and the current directory (without regard
// to case), then by dlopen's own search. Each load is a handle of its own; FreeLibrary
// closes it (CloseHandle does not). A Windows DLL ("MZ") is refused with
// ERROR_BAD_EXE_FORMAT, as is a file that is not a library.
#pragma once

#include <cstddef>

#include "platform/kernel/win_types.h"
#include "platform/process/process.h"

inline constexpr DWORD ERROR_PROC_NOT_FOUND = 127;

using FARPROC = void (*)();

HMODULE LoadLibraryA(LPCSTR fileName);
// A module that is always loaded: only our built-in "DDRAW.DLL" (DirectDrawCreate,
// DirectDrawEnumerateExA and DirectDrawEnumerateA), found by that name with or without
// ".dll" in any case, or the built-in module registered as "DDRAW.DLL" in its place; 0
// with ERROR_MOD_NOT_FOUND for any other name.
HMODULE GetModuleHandleA(LPCSTR moduleName);
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
BOOL FreeLibrary(HMODULE module);

// A library held in memory (a bank element, say), loaded from an anonymous in-memory
// file: nothing is written to disk and no other user can swap the file. `name` only
// labels it. 0 with the error set on failure.
HMODULE LoadLibraryFromBytes(const void* bytes, size_t size, LPCSTR name);

// From now on LoadLibraryA(name) loads `target` instead (a Linux file name or path).
void SetLibraryAlias(LPCSTR name, LPCSTR target);

// A module built into the player. When no alias names it, LoadLibraryA(name) (without
// regard to case) gives a handle of its own, freed by FreeLibrary, whose GetProcAddress
// answers through `exports` (nullptr for a name the module does not export). Registering
// a name again replaces its exports; nullptr removes the module.
using BuiltInExports = FARPROC (*)(LPCSTR procName);
void RegisterBuiltInModule(LPCSTR name, BuiltInExports exports);
