// Windows full paths and the process-wide current directory.
//
// The current directory is a Windows path kept by the layer itself (the Linux working
// directory is never changed). It starts as the Linux working directory seen through
// the drive map, or "C:\" when no drive holds it.
#pragma once

#include <string>
#include <string_view>

#include "platform/kernel/win_types.h"

namespace platform {

// The full form of a Windows-1252 path, by the rules of GetFullPathNameA: '/' becomes
// '\', "." and ".." are resolved (never above the root), the dots and spaces that end a
// name are dropped, "\x" is on the current drive, "D:x" is relative to the current
// directory when D is the current drive and to "D:\" otherwise, and a relative path is
// relative to the current directory. "\\server\share" keeps its root. A final separator
// is kept. Characters are not checked. False with ERROR_INVALID_NAME for an empty path.
bool GetFullWindowsPath(std::string_view path, std::string& fullPath);

std::string GetCurrentWindowsDirectory();

// Copies `text` into a caller's buffer the way the path calls do: the length without
// the terminator when it fits, else the size the buffer needs (terminator included).
DWORD CopyPathOut(const std::string& text, DWORD bufferLength, LPSTR buffer);

} // namespace platform
