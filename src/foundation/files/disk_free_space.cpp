#include <algorithm>
#include <limits>
#include <string>

#include "foundation/files/file_layer.h"
#include "platform/files/files.h"

namespace {

constexpr uint32_t kUnknown = 0xFFFFFFFF;
// The largest count that can be told apart from "unknown".
constexpr uint32_t kTooLarge = 0xFFFFFFFE;

bool IsUnc(const std::string& path) {
    return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
}

uint32_t CapKilobytes(uint64_t kilobytes) {
    return static_cast<uint32_t>(std::min<uint64_t>(kilobytes, kTooLarge));
}

// The extended query wants a UNC share with its final separator and any other folder
// without one (a drive root keeps it).
std::string ExtendedQueryPath(std::string path) {
    if (IsUnc(path)) {
        if (path.back() != '\\') path += '\\';
    } else if (path.size() >= 4 && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

std::string ClassicQueryRoot(const std::string& path) {
    if (!IsUnc(path) && path.size() >= 2 && path[1] == ':') return path.substr(0, 2) + "\\";
    return ExtendedQueryPath(path);
}

} // namespace

uint32_t FreeBytesToKilobytes(uint64_t freeBytes) {
    return CapKilobytes(freeBytes >> 10);
}

uint32_t FreeClustersToKilobytes(DWORD sectorsPerCluster, DWORD bytesPerSector,
                                 DWORD freeClusters) {
    uint64_t clusterQuarterKilobytes = (uint64_t{sectorsPerCluster} * bytesPerSector) >> 8;
    if (clusterQuarterKilobytes != 0 &&
        freeClusters > std::numeric_limits<uint64_t>::max() / clusterQuarterKilobytes) {
        return kTooLarge;
    }
    return CapKilobytes((clusterQuarterKilobytes * freeClusters) >> 2);
}

uint32_t GetDiskFreeSpaceOf(const char* path, uint32_t* clusterSizeKb) {
    if (clusterSizeKb != nullptr) *clusterSizeKb = 1;
    std::string full;
    if (GetFullPath(path, full) == 0 || full.empty()) return kUnknown;

    uint32_t result = kUnknown;
    ULARGE_INTEGER available;
    ULARGE_INTEGER total;
    ULARGE_INTEGER totalFree;
    if (GetDiskFreeSpaceExA(ExtendedQueryPath(full).c_str(), &available, &total, &totalFree)) {
        result = FreeBytesToKilobytes(available.QuadPart);
        if (clusterSizeKb == nullptr) return result;
    }

    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD totalClusters = 0;
    if (GetDiskFreeSpaceA(ClassicQueryRoot(full).c_str(), &sectorsPerCluster, &bytesPerSector,
                          &freeClusters, &totalClusters)) {
        if (result == kUnknown) {
            result = FreeClustersToKilobytes(sectorsPerCluster, bytesPerSector, freeClusters);
        }
        if (clusterSizeKb != nullptr) {
            uint64_t clusterBytes = uint64_t{sectorsPerCluster} * bytesPerSector;
            *clusterSizeKb =
                static_cast<uint32_t>(std::min<uint64_t>((clusterBytes + 1023) >> 10, kUnknown));
        }
    }
    return result;
}
