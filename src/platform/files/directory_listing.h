// Reading a folder as Windows sees it: Windows-1252 names and 8.3 alternate names.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct DirectoryEntry {
    std::string diskName;  // the name on disk (UTF-8 as far as it is valid)
    std::string name;      // its Windows-1252 spelling, see WindowsNameOfDiskName
    std::string shortName; // the 8.3 alternate name, empty when `name` is one already
};

// The entries of a folder except "." and "..", sorted by their names on disk (byte
// order), with alternate names when `withShortNames`. False with errno set when the
// folder cannot be read.
bool ListDirectory(const std::string& linuxFolder, bool withShortNames,
                   std::vector<DirectoryEntry>& entries);

// The name on disk of the entry that a Windows component names in a folder, when no
// entry has its exact spelling: the first entry (in byte order) equal to it without
// regard to case, else the entry whose alternate name it is. False when none.
bool FindEntryNoCase(const std::string& linuxFolder, const std::string& component,
                     std::string& diskName);

} // namespace platform
