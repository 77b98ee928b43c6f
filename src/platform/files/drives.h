// The mapping of drive letters to root folders of the Linux file system.
//
// C: maps to "/" unless configured. The environment variable ZORV_DRIVES adds or
// replaces mappings: "D=/mnt/data;E=/media/cd" (letter, '=', folder; ';' between).
// It is read once, at the first path operation; tests reconfigure through SetDriveRoot.
// Entries that are not a letter, '=' and an absolute folder are ignored.
#pragma once

#include <string>

#include "platform/kernel/win_types.h"

namespace platform {

// Maps `letter` (A to Z, either case) to the Linux folder `root`; an empty root removes it.
void SetDriveRoot(char letter, const std::string& root);
// The Linux folder of a drive letter, or empty when the letter is not mapped.
std::string GetDriveRoot(char letter);
// Forgets every mapping and reads the defaults and ZORV_DRIVES again.
void ResetDriveRoots();

// Converts a Windows path (full or relative) to the Linux path it names, resolving
// components case-insensitively where needed. Returns false with the thread's last
// error set (ERROR_PATH_NOT_FOUND, ERROR_BAD_NETPATH, ERROR_INVALID_NAME, ...) when the
// path cannot be mapped. A missing last component is not an error: the result names
// it as spelled, so it can be created.
bool MapPath(const char* windowsPath, std::string& linuxPath);

// The reverse: the Windows full path ("D:\dir\name") of an absolute Linux path, through
// the drive whose root holds it (the longest such root; the lowest letter among equals).
// False when no drive holds it or a name has no Windows-1252 spelling.
bool LinuxToWindowsPath(const std::string& linuxPath, std::string& windowsPath);

} // namespace platform
