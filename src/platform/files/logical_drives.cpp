#include "platform/files/logical_drives.h"

#include <cstring>
#include <string>

#include "platform/files/drives.h"

DWORD GetLogicalDrives() {
    DWORD mask = 0;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (!platform::GetDriveRoot(letter).empty()) mask |= 1u << (letter - 'A');
    }
    return mask;
}

DWORD GetLogicalDriveStringsA(DWORD bufferLength, LPSTR buffer) {
    std::string strings;
    DWORD mask = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if ((mask & 1u << (letter - 'A')) == 0) continue;
        strings += letter;
        strings += ":\\";
        strings += '\0';
    }
    DWORD length = static_cast<DWORD>(strings.size());
    if (buffer == nullptr || bufferLength < length + 1) return length + 1;
    std::memcpy(buffer, strings.c_str(), length + 1);
    return length;
}
