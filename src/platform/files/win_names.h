// The rules Windows applies to a single file name (one path component).
#pragma once

#include <string>
#include <string_view>

namespace platform {

// False for the characters no Windows file name may hold: control characters,
// < > : " / \ | ? and *.
bool IsWindowsNameChar(unsigned char c);
// True for the DOS device names (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9), with or
// without an extension, in any case.
bool IsDeviceName(std::string_view name);
// Windows drops the dots and spaces that end a name ("name. " is "name").
std::string_view StripTrailingDotsAndSpaces(std::string_view name);

// The Windows-1252 spelling of a name read from disk. A character Windows-1252 lacks,
// an invalid UTF-8 byte, and a character no Windows name may hold all become '?', so
// the result never contains a separator. Returns true when the spelling is exact.
bool WindowsNameOfDiskName(std::string_view diskName, std::string& windowsName);

} // namespace platform
