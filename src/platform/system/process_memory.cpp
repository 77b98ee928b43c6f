#include "platform/system/process_memory.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstring>

#include "platform/files/errno_mapping.h"

namespace {

constexpr HANDLE kCurrentProcess = 0xFFFFFFFFu;

struct StatusSizes {
    SIZE_T residentKb = 0;
    SIZE_T peakResidentKb = 0;
    SIZE_T virtualKb = 0;
    SIZE_T peakVirtualKb = 0;
};

// Reads "Name:   1234 kB" into `kb` when `line` is the line of `name`.
bool ReadKb(const char* line, const char* name, SIZE_T& kb) {
    size_t length = std::strlen(name);
    if (std::strncmp(line, name, length) != 0 || line[length] != ':') return false;
    unsigned long long value = 0;
    if (std::sscanf(line + length + 1, " %llu kB", &value) != 1) return false;
    kb = static_cast<SIZE_T>(value);
    return true;
}

bool ReadStatus(StatusSizes& sizes) {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return false;
    int found = 0;
    char line[256];
    while (std::fgets(line, sizeof(line), status) != nullptr) {
        found += ReadKb(line, "VmRSS", sizes.residentKb) ||
                 ReadKb(line, "VmHWM", sizes.peakResidentKb) ||
                 ReadKb(line, "VmSize", sizes.virtualKb) ||
                 ReadKb(line, "VmPeak", sizes.peakVirtualKb);
    }
    std::fclose(status);
    return found == 4;
}

} // namespace

HANDLE GetCurrentProcess() {
    return kCurrentProcess;
}

BOOL GetProcessMemoryInfo(HANDLE process, PROCESS_MEMORY_COUNTERS* counters, DWORD cb) {
    if (process != kCurrentProcess) return platform::Fail(ERROR_INVALID_HANDLE);
    if (counters == nullptr) return platform::Fail(ERROR_INVALID_PARAMETER);
    if (cb < sizeof(PROCESS_MEMORY_COUNTERS)) return platform::Fail(ERROR_INSUFFICIENT_BUFFER);
    StatusSizes sizes;
    if (!ReadStatus(sizes)) return platform::Fail(ERROR_GEN_FAILURE);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    *counters = {};
    counters->cb = sizeof(PROCESS_MEMORY_COUNTERS);
    counters->PageFaultCount = static_cast<DWORD>(usage.ru_minflt + usage.ru_majflt);
    counters->WorkingSetSize = sizes.residentKb * 1024;
    counters->PeakWorkingSetSize = sizes.peakResidentKb * 1024;
    counters->PagefileUsage = sizes.virtualKb * 1024;
    counters->PeakPagefileUsage = sizes.peakVirtualKb * 1024;
    return TRUE;
}
