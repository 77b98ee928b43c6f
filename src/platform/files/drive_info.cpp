#include <sys/stat.h>
#include <sys/statvfs.h>

#include "platform/files/drives.h"
#include "platform/files/errno_mapping.h"
#include "platform/kernel/errors.h"
#include "platform/files/files.h"
#include "platform/files/full_path.h"
#include "platform/files/path_mapping.h"

namespace platform {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The file system holding `path` (null: the current directory).
bool StatDisk(LPCSTR path, struct statvfs& disk) {
    std::string current;
    if (!path) {
        current = GetCurrentWindowsDirectory();
        path = current.c_str();
    }
    MappedPath mapped;
    if (!MapWindowsPath(path, mapped)) return false;
    if (statvfs(mapped.linuxPath.c_str(), &disk) != 0)
        return FailWithErrno(errno, mapped.linuxPath);
    return true;
}

DWORD Clamp32(uint64_t value) {
    return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(value);
}

} // namespace
} // namespace platform

// Every mapped drive whose root folder exists is a fixed disk.
UINT GetDriveTypeA(LPCSTR rootPathName) {
    std::string path = rootPathName ? rootPathName : "\\";
    char letter = 0;
    if (path.size() == 1 && platform::IsSeparator(path[0])) {
        letter = platform::GetCurrentWindowsDirectory()[0];
    } else if ((path.size() == 2 || (path.size() == 3 && platform::IsSeparator(path[2]))) &&
               path[1] == ':') {
        letter = path[0];
    }
    std::string root = platform::GetDriveRoot(letter);
    struct stat info {};
    if (root.empty() || stat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return DRIVE_NO_ROOT_DIR;
    return DRIVE_FIXED;
}

// The classic call describes a cluster as 512-byte sectors where the block size allows,
// and counts clusters in 32 bits, as Windows does for disks it cannot describe fully.
BOOL GetDiskFreeSpaceA(LPCSTR rootPathName, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                       LPDWORD numberOfFreeClusters, LPDWORD totalNumberOfClusters) {
    struct statvfs disk {};
    if (!platform::StatDisk(rootPathName, disk)) return FALSE;
    uint64_t clusterSize = disk.f_frsize != 0 ? disk.f_frsize : disk.f_bsize;
    DWORD sectorSize = 512;
    DWORD sectors = static_cast<DWORD>(clusterSize / 512);
    if (clusterSize < 512 || clusterSize % 512 != 0) {
        sectorSize = platform::Clamp32(clusterSize);
        sectors = 1;
    }
    if (sectorsPerCluster) *sectorsPerCluster = sectors;
    if (bytesPerSector) *bytesPerSector = sectorSize;
    if (numberOfFreeClusters) *numberOfFreeClusters = platform::Clamp32(disk.f_bavail);
    if (totalNumberOfClusters) *totalNumberOfClusters = platform::Clamp32(disk.f_blocks);
    return TRUE;
}

BOOL GetDiskFreeSpaceExA(LPCSTR directoryName, ULARGE_INTEGER* freeBytesAvailableToCaller,
                         ULARGE_INTEGER* totalNumberOfBytes,
                         ULARGE_INTEGER* totalNumberOfFreeBytes) {
    struct statvfs disk {};
    if (!platform::StatDisk(directoryName, disk)) return FALSE;
    uint64_t unit = disk.f_frsize != 0 ? disk.f_frsize : disk.f_bsize;
    if (freeBytesAvailableToCaller) freeBytesAvailableToCaller->QuadPart = disk.f_bavail * unit;
    if (totalNumberOfBytes) totalNumberOfBytes->QuadPart = disk.f_blocks * unit;
    if (totalNumberOfFreeBytes) totalNumberOfFreeBytes->QuadPart = disk.f_bfree * unit;
    return TRUE;
}
