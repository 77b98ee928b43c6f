// Mapping Windows paths to Linux paths (the work behind MapPath), for the file calls.
#pragma once

#include <string>

namespace platform {

struct MappedPath {
    std::string fullPath;    // the Windows full path, Windows-1252
    std::string linuxPath;   // what it names on Linux, resolved as far as it exists
    std::string linuxFolder; // the Linux folder holding the last name; empty for a root
    std::string spelledName; // the last name as the caller spelled it, in UTF-8
    bool isRoot = false;
    bool trailingSeparator = false;
};

// See MapPath (drives.h). The Linux path must stay below PATH_MAX bytes; every name
// must be one Windows allows (no wildcards), and the last must not be a device name.
bool MapWindowsPath(const char* windowsPath, MappedPath& mapped);

// Joins a Linux folder and a name.
std::string JoinLinuxPath(const std::string& folder, const std::string& name);

} // namespace platform
