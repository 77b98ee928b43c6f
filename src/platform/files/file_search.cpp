#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <sys/stat.h>
#include <vector>

#include "platform/kernel/cp1252.h"
#include "platform/files/directory_listing.h"
#include "platform/files/errno_mapping.h"
#include "platform/kernel/errors.h"
#include "platform/files/file_attributes.h"
#include "platform/files/files.h"
#include "platform/kernel/kernel_objects.h"
#include "platform/files/path_mapping.h"
#include "platform/files/short_names.h"
#include "platform/files/wildcard.h"
#include "platform/files/win_names.h"

// A search lists its folder once, when it starts; FindNextFileA then reports those
// entries in the order NTFS gives them ("." and ".." first, then by name without regard
// to case), skipping any that vanished meanwhile. Names Windows-1252 cannot spell carry
// '?' for each such character in cFileName; they match patterns like any name and are
// always given an alternate name, through which they can be opened.

namespace platform {
namespace {

struct FoundEntry {
    std::string name;
    std::string shortName;
    std::string linuxPath;
    std::string sortKey; // the name upper-cased
};

class SearchObject : public KernelObject {
public:
    explicit SearchObject(std::vector<FoundEntry> entries) : entries(std::move(entries)) {}
    std::mutex lock;
    std::vector<FoundEntry> entries;
    size_t next = 0;
};

bool FillFindData(const FoundEntry& entry, WIN32_FIND_DATAA& data) {
    struct stat info {};
    if (stat(entry.linuxPath.c_str(), &info) != 0 && lstat(entry.linuxPath.c_str(), &info) != 0)
        return false;
    std::memset(&data, 0, sizeof data);
    data.dwFileAttributes = AttributesFromStat(info, entry.name) | LinkAttribute(entry.linuxPath);
    data.ftCreationTime = CreationTimeFromStat(info);
    data.ftLastAccessTime = FileTimeFromTimespec(info.st_atim);
    data.ftLastWriteTime = FileTimeFromTimespec(info.st_mtim);
    if (!S_ISDIR(info.st_mode)) {
        auto size = static_cast<uint64_t>(info.st_size);
        data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data.nFileSizeLow = static_cast<DWORD>(size);
    }
    std::memcpy(data.cFileName, entry.name.c_str(),
                std::min<size_t>(entry.name.size(), sizeof data.cFileName - 1));
    std::memcpy(data.cAlternateFileName, entry.shortName.c_str(),
                std::min<size_t>(entry.shortName.size(), sizeof data.cAlternateFileName - 1));
    return true;
}

// Reports the next entry that still exists; false when none is left.
bool ReportNext(SearchObject& search, WIN32_FIND_DATAA& data) {
    std::lock_guard guard(search.lock);
    while (search.next < search.entries.size()) {
        if (FillFindData(search.entries[search.next++], data)) return true;
    }
    return false;
}

// The one entry a path without wildcards names.
bool FindNamedEntry(const char* path, std::vector<FoundEntry>& found) {
    MappedPath mapped;
    if (!MapWindowsPath(path, mapped)) return false;
    if (mapped.isRoot) return Fail(ERROR_FILE_NOT_FOUND);
    struct stat info {};
    if (lstat(mapped.linuxPath.c_str(), &info) != 0) return FailWithErrno(errno, mapped.linuxPath);
    FoundEntry entry;
    std::string diskName = mapped.linuxPath.substr(mapped.linuxPath.rfind('/') + 1);
    WindowsNameOfDiskName(diskName, entry.name);
    if (!IsShortName(entry.name)) {
        std::vector<DirectoryEntry> entries;
        if (ListDirectory(mapped.linuxFolder, true, entries)) {
            for (const DirectoryEntry& listed : entries) {
                if (listed.diskName == diskName) entry.shortName = listed.shortName;
            }
        }
    }
    entry.linuxPath = mapped.linuxPath;
    found.push_back(std::move(entry));
    return true;
}

// The entries of a folder that a pattern with wildcards matches.
bool FindMatchingEntries(const std::string& folderPart, const std::string& pattern,
                         std::vector<FoundEntry>& found) {
    for (char c : pattern) {
        if (c != '*' && c != '?' && !IsWindowsNameChar(static_cast<unsigned char>(c)))
            return Fail(ERROR_INVALID_NAME);
    }
    MappedPath folder;
    if (!MapWindowsPath((folderPart + ".").c_str(), folder)) return false;
    struct stat info {};
    if (stat(folder.linuxPath.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return Fail(ERROR_PATH_NOT_FOUND);
    std::vector<DirectoryEntry> entries;
    if (!ListDirectory(folder.linuxPath, true, entries)) return FailWithErrno(errno);

    WindowsPattern matcher(pattern);
    if (!folder.isRoot) {
        for (const char* dots : {".", ".."}) {
            if (matcher.Matches(dots))
                found.push_back({dots, "", JoinLinuxPath(folder.linuxPath, dots), ""});
        }
    }
    size_t firstListed = found.size();
    for (DirectoryEntry& entry : entries) {
        if (!matcher.Matches(entry.name)) continue;
        std::string sortKey = entry.name;
        for (char& c : sortKey)
            c = static_cast<char>(Cp1252ToUpper(static_cast<unsigned char>(c)));
        found.push_back({std::move(entry.name), std::move(entry.shortName),
                         JoinLinuxPath(folder.linuxPath, entry.diskName), std::move(sortKey)});
    }
    // Entries arrive in byte order of their names on disk, which breaks ties.
    std::stable_sort(
        found.begin() + static_cast<std::ptrdiff_t>(firstListed), found.end(),
        [](const FoundEntry& a, const FoundEntry& b) { return a.sortKey < b.sortKey; });
    return true;
}

} // namespace
} // namespace platform

HANDLE FindFirstFileA(LPCSTR fileName, WIN32_FIND_DATAA* findData) {
    if (!fileName || !findData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string path(fileName);
    size_t patternStart = path.find_last_of("\\/");
    if (patternStart != std::string::npos) {
        ++patternStart;
    } else {
        patternStart = path.size() >= 2 && path[1] == ':' ? 2 : 0;
    }
    std::string pattern = path.substr(patternStart);
    if (pattern.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::vector<platform::FoundEntry> found;
    bool searched =
        platform::WindowsPattern::HasWildcards(pattern)
            ? platform::FindMatchingEntries(path.substr(0, patternStart), pattern, found)
            : platform::FindNamedEntry(fileName, found);
    if (!searched) return INVALID_HANDLE_VALUE;
    auto search = std::make_shared<platform::SearchObject>(std::move(found));
    if (!platform::ReportNext(*search, *findData)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = platform::RegisterObject(std::move(search));
    return handle == 0 ? INVALID_HANDLE_VALUE : handle;
}

BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* findData) {
    auto search = platform::LookupObjectAs<platform::SearchObject>(find);
    if (!search) return FALSE;
    if (!findData) return platform::Fail(ERROR_INVALID_PARAMETER);
    if (!platform::ReportNext(*search, *findData)) return platform::Fail(ERROR_NO_MORE_FILES);
    return TRUE;
}

BOOL FindClose(HANDLE find) {
    return platform::UnregisterObjectAs<platform::SearchObject>(find) ? TRUE : FALSE;
}
