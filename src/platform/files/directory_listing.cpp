#include "platform/files/directory_listing.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>

#include "platform/kernel/cp1252.h"
#include "platform/files/short_names.h"
#include "platform/files/win_names.h"

namespace platform {

bool ListDirectory(const std::string& linuxFolder, bool withShortNames,
                   std::vector<DirectoryEntry>& entries) {
    entries.clear();
    DIR* folder = opendir(linuxFolder.c_str());
    if (!folder) return false;
    for (;;) {
        errno = 0;
        dirent* entry = readdir(folder);
        if (!entry) break;
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        DirectoryEntry listed;
        listed.diskName = entry->d_name;
        WindowsNameOfDiskName(listed.diskName, listed.name);
        entries.push_back(std::move(listed));
    }
    int readError = errno;
    closedir(folder);
    if (readError != 0) {
        errno = readError;
        return false;
    }
    std::sort(entries.begin(), entries.end(), [](const DirectoryEntry& a, const DirectoryEntry& b) {
        return a.diskName < b.diskName;
    });
    if (withShortNames) {
        std::vector<std::string> longNames;
        longNames.reserve(entries.size());
        for (const DirectoryEntry& entry : entries)
            longNames.push_back(entry.name);
        std::vector<std::string> shortNames = MakeShortNames(longNames);
        for (size_t i = 0; i < entries.size(); ++i)
            entries[i].shortName = std::move(shortNames[i]);
    }
    return true;
}

bool FindEntryNoCase(const std::string& linuxFolder, const std::string& component,
                     std::string& diskName) {
    std::vector<DirectoryEntry> entries;
    // Generated names always hold a '~'; without one, listing them is wasted work.
    bool mayBeShortName = component.find('~') != std::string::npos;
    if (!ListDirectory(linuxFolder, mayBeShortName, entries)) return false;
    for (const DirectoryEntry& entry : entries) {
        if (Cp1252EqualNoCase(entry.name, component)) {
            diskName = entry.diskName;
            return true;
        }
    }
    if (!mayBeShortName) return false;
    for (const DirectoryEntry& entry : entries) {
        if (!entry.shortName.empty() && Cp1252EqualNoCase(entry.shortName, component)) {
            diskName = entry.diskName;
            return true;
        }
    }
    return false;
}

} // namespace platform
