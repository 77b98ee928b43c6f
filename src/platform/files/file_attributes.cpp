#include "platform/files/file_attributes.h"

#include <algorithm>
#include <unistd.h>
#include <vector>

#include "platform/files/files.h"

namespace platform {
namespace {

constexpr int64_t kSecondsFrom1601To1970 = 11644473600;

bool InGroup(gid_t group) {
    if (getegid() == group) return true;
    int count = getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    count = getgroups(count, groups.data());
    return count > 0 &&
           std::find(groups.begin(), groups.begin() + count, group) != groups.begin() + count;
}

bool TimeBefore(const timespec& a, const timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

} // namespace

bool IsReadOnly(const struct stat& info) {
    uid_t user = geteuid();
    if (user == 0 || user == info.st_uid) return (info.st_mode & S_IWUSR) == 0;
    if (InGroup(info.st_gid)) return (info.st_mode & S_IWGRP) == 0;
    return (info.st_mode & S_IWOTH) == 0;
}

DWORD AttributesFromStat(const struct stat& info, std::string_view name) {
    DWORD attributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (IsReadOnly(info)) attributes |= FILE_ATTRIBUTE_READONLY;
    if (!name.empty() && name[0] == '.' && name != "." && name != "..")
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    return attributes;
}

DWORD LinkAttribute(const std::string& linuxPath) {
    struct stat info {};
    bool link = lstat(linuxPath.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
    return link ? FILE_ATTRIBUTE_REPARSE_POINT : 0;
}

FILETIME FileTimeFromTimespec(const timespec& time) {
    int64_t seconds = static_cast<int64_t>(time.tv_sec) + kSecondsFrom1601To1970;
    uint64_t ticks = seconds < 0 ? 0
                                 : static_cast<uint64_t>(seconds) * 10000000u +
                                       static_cast<uint64_t>(time.tv_nsec) / 100u;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

FILETIME CreationTimeFromStat(const struct stat& info) {
    return FileTimeFromTimespec(TimeBefore(info.st_ctim, info.st_mtim) ? info.st_ctim
                                                                       : info.st_mtim);
}

} // namespace platform
