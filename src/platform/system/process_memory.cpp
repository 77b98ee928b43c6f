#include "platform/system/process_memory.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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
    char* end = nullptr;
    unsigned long long value = std::strtoull(line + length + 1, &end, 10);
    if (end == line + length + 1) return false;
    kb = static_cast<SIZE_T>(value);
    return true;
}

// Read with the plain calls rather than stdio's scanning: this runs at every start, and
// the scanner alone is many pages of the C library to bring in.
bool ReadStatus(StatusSizes& sizes) {
    int file = open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (file < 0) return false;
    char text[8192];
    size_t length = 0;
    for (ssize_t got; length < sizeof(text) - 1 &&
                      (got = read(file, text + length, sizeof(text) - 1 - length)) != 0;) {
        if (got < 0) {
            if (errno == EINTR) continue;
            break;
        }
        length += size_t(got);
    }
    close(file);
    text[length] = 0;
    int found = 0;
    for (char* line = text; *line != 0;) {
        char* end = std::strchr(line, '\n');
        if (end != nullptr) *end = 0;
        found += ReadKb(line, "VmRSS", sizes.residentKb) ||
                 ReadKb(line, "VmHWM", sizes.peakResidentKb) ||
                 ReadKb(line, "VmSize", sizes.virtualKb) ||
                 ReadKb(line, "VmPeak", sizes.peakVirtualKb);
        if (end == nullptr) break;
        line = end + 1;
    }
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
