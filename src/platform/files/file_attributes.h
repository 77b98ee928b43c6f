// Windows attributes and times of what Linux reports about a file.
//
// Folders carry FILE_ATTRIBUTE_DIRECTORY, everything else FILE_ATTRIBUTE_ARCHIVE (the
// state of any file Windows has just written), so FILE_ATTRIBUTE_NORMAL is never
// reported. FILE_ATTRIBUTE_READONLY stands for a missing write permission of the class
// (owner, group, others) the process belongs to, with the super-user counting as the
// owner so that read-only files behave alike for every user. Names starting with '.'
// carry FILE_ATTRIBUTE_HIDDEN.
#pragma once

#include <string>
#include <string_view>
#include <sys/stat.h>

#include "platform/kernel/win_types.h"

namespace platform {

bool IsReadOnly(const struct stat& info);
// `name` is the entry's last component.
DWORD AttributesFromStat(const struct stat& info, std::string_view name);
// FILE_ATTRIBUTE_REPARSE_POINT when `linuxPath` is a symbolic link, else 0, so that
// walkers can tell a linked folder and avoid following it into a cycle.
DWORD LinkAttribute(const std::string& linuxPath);
// 100-ns intervals since 1601-01-01; times before then give 0.
FILETIME FileTimeFromTimespec(const timespec& time);
// Linux file systems do not all record a creation time: the earlier of the last write
// and the last status change stands for it.
FILETIME CreationTimeFromStat(const struct stat& info);

} // namespace platform
