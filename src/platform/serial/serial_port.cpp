#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <memory>
#include <mutex>
#include <set>

#include "platform/files/errno_mapping.h"
#include "platform/files/files.h"
#include "platform/kernel/cp1252.h"
#include "platform/kernel/errors.h"
#include "platform/kernel/kernel_objects.h"
#include "platform/serial/com_map.h"
#include "platform/serial/line_settings.h"
#include "platform/serial/serial.h"
#include "platform/serial/serial_ports.h"

namespace platform {
namespace {

// The devices this process holds open: TIOCEXCL does not stop the super-user, nor a
// second open of our own.
struct OpenPorts {
    std::mutex lock;
    std::set<dev_t> devices;
};

OpenPorts& GetOpenPorts() {
    static auto* ports = new OpenPorts;
    return *ports;
}

class SerialPortObject : public KernelObject {
public:
    SerialPortObject(int fd, dev_t device) : fd(fd), device(device) {}
    ~SerialPortObject() override {
        SetExclusive(fd, false);
        close(fd);
        OpenPorts& ports = GetOpenPorts();
        std::lock_guard guard(ports.lock);
        ports.devices.erase(device);
    }
    SerialPortObject(const SerialPortObject&) = delete;
    SerialPortObject& operator=(const SerialPortObject&) = delete;

    const int fd;
    const dev_t device;
    std::mutex lock;
    COMMTIMEOUTS timeouts{};
};

std::shared_ptr<SerialPortObject> LookupPort(HANDLE handle) {
    return std::dynamic_pointer_cast<SerialPortObject>(LookupObject(handle));
}

uint64_t NowMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint64_t(now.tv_sec) * 1000 + uint64_t(now.tv_nsec) / 1000000;
}

// A deadline of multiplier * count + constant milliseconds from now; none when both are 0.
struct Deadline {
    Deadline(DWORD multiplier, DWORD constant, DWORD count)
        : unlimited(multiplier == 0 && constant == 0),
          at(NowMilliseconds() + uint64_t(multiplier) * count + constant) {}

    // The poll time-out still left: -1 without a limit, 0 once passed.
    int Remaining() const {
        if (unlimited) return -1;
        uint64_t now = NowMilliseconds();
        if (now >= at) return 0;
        return at - now > uint64_t(INT_MAX) ? INT_MAX : int(at - now);
    }

    const bool unlimited;
    const uint64_t at;
};

// Moves `count` bytes with the non-blocking descriptor until done or the deadline passes.
template <class Transfer>
BOOL Pump(int fd, short event, DWORD count, const Deadline& deadline, bool returnAtOnce,
          DWORD fault, LPDWORD done, Transfer transfer) {
    DWORD moved = 0;
    for (;;) {
        while (moved < count) {
            ssize_t got = transfer(moved);
            if (got > 0) {
                moved += DWORD(got);
                continue;
            }
            if (got < 0 && errno == EINTR) continue;
            if (got < 0 && errno != EAGAIN) {
                if (done) *done = moved;
                return Fail(errno == EIO ? fault : Win32ErrorFromErrno(errno));
            }
            break;
        }
        if (moved == count || returnAtOnce) break;
        int wait = deadline.Remaining();
        if (wait == 0) break;
        pollfd waiting{fd, event, 0};
        int ready = poll(&waiting, 1, wait);
        if (ready < 0 && errno != EINTR) {
            if (done) *done = moved;
            return FailWithErrno(errno);
        }
        // A hung-up line delivers what it still holds, then the next transfer reports it.
        if (ready > 0 && (waiting.revents & (POLLERR | POLLNVAL))) {
            if (done) *done = moved;
            return Fail(fault);
        }
    }
    if (done) *done = moved;
    return TRUE;
}

} // namespace

bool IsSerialPortName(const char* name) {
    if (name == nullptr || name[0] == 0) return false;
    if (name[0] != '/') return !SerialDevicePath(name).empty();
    struct stat info {};
    return stat(Cp1252ToUtf8(name).c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

HANDLE OpenSerialPort(const char* name, DWORD desiredAccess, DWORD creationDisposition) {
    if (creationDisposition != OPEN_EXISTING ||
        (desiredAccess & (GENERIC_READ | GENERIC_WRITE)) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string path = Cp1252ToUtf8(SerialDevicePath(name));
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        SetLastError(errno == EBUSY ? ERROR_ACCESS_DENIED : Win32ErrorFromErrno(errno, path));
        return INVALID_HANDLE_VALUE;
    }
    struct stat info {};
    DWORD refusal = ERROR_SUCCESS;
    if (fstat(fd, &info) != 0 || !isatty(fd)) refusal = ERROR_ACCESS_DENIED;
    {
        OpenPorts& ports = GetOpenPorts();
        std::lock_guard guard(ports.lock);
        if (refusal == ERROR_SUCCESS && !ports.devices.insert(info.st_rdev).second)
            refusal = ERROR_ACCESS_DENIED;
    }
    if (refusal != ERROR_SUCCESS) {
        close(fd);
        SetLastError(refusal);
        return INVALID_HANDLE_VALUE;
    }
    auto port = std::make_shared<SerialPortObject>(fd, info.st_rdev);
    if (!SetExclusive(fd, true) || !MakeRaw(fd)) {
        SetLastError(Win32ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = RegisterObject(std::move(port));
    if (handle == 0) return INVALID_HANDLE_VALUE;
    SetLastError(ERROR_SUCCESS);
    return handle;
}

bool IsSerialHandle(HANDLE handle) {
    DWORD saved = GetLastError();
    bool serial = LookupPort(handle) != nullptr;
    SetLastError(saved);
    return serial;
}

BOOL SerialRead(HANDLE handle, void* buffer, DWORD count, LPDWORD done) {
    if (done) *done = 0;
    auto port = LookupPort(handle);
    if (!port) return FALSE;
    if (!buffer && count != 0) return Fail(ERROR_INVALID_PARAMETER);
    COMMTIMEOUTS t;
    {
        std::lock_guard guard(port->lock);
        t = port->timeouts;
    }
    bool atOnce = t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == 0 &&
                  t.ReadTotalTimeoutConstant == 0;
    Deadline deadline(t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant, count);
    auto* bytes = static_cast<char*>(buffer);
    return Pump(port->fd, POLLIN, count, deadline, atOnce, ERROR_READ_FAULT, done,
                [&](DWORD moved) { return read(port->fd, bytes + moved, count - moved); });
}

BOOL SerialWrite(HANDLE handle, const void* buffer, DWORD count, LPDWORD done) {
    if (done) *done = 0;
    auto port = LookupPort(handle);
    if (!port) return FALSE;
    if (!buffer && count != 0) return Fail(ERROR_INVALID_PARAMETER);
    COMMTIMEOUTS t;
    {
        std::lock_guard guard(port->lock);
        t = port->timeouts;
    }
    Deadline deadline(t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant, count);
    const auto* bytes = static_cast<const char*>(buffer);
    return Pump(port->fd, POLLOUT, count, deadline, false, ERROR_WRITE_FAULT, done,
                [&](DWORD moved) { return write(port->fd, bytes + moved, count - moved); });
}

} // namespace platform

BOOL GetCommState(HANDLE file, LPDCB dcb) {
    auto port = platform::LookupPort(file);
    if (!port) return platform::Fail(ERROR_INVALID_HANDLE);
    if (!dcb) return platform::Fail(ERROR_INVALID_PARAMETER);
    platform::LineSettings settings;
    if (!platform::ReadLineSettings(port->fd, settings)) return platform::FailWithErrno(errno);
    *dcb = DCB{};
    dcb->DCBlength = sizeof(DCB);
    dcb->BaudRate = settings.baudRate;
    dcb->fBinary = 1;
    dcb->fParity = settings.parity != NOPARITY;
    dcb->ByteSize = settings.byteSize;
    dcb->Parity = settings.parity;
    dcb->StopBits = settings.stopBits;
    return TRUE;
}

BOOL SetCommState(HANDLE file, LPDCB dcb) {
    auto port = platform::LookupPort(file);
    if (!port) return platform::Fail(ERROR_INVALID_HANDLE);
    if (!dcb || dcb->BaudRate == 0 || dcb->ByteSize < 5 || dcb->ByteSize > 8 ||
        dcb->Parity > SPACEPARITY || (dcb->StopBits != ONESTOPBIT && dcb->StopBits != TWOSTOPBITS))
        return platform::Fail(ERROR_INVALID_PARAMETER);
    platform::LineSettings settings{dcb->BaudRate, dcb->ByteSize, dcb->Parity, dcb->StopBits};
    if (!platform::WriteLineSettings(port->fd, settings)) return platform::FailWithErrno(errno);
    return TRUE;
}

BOOL GetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts) {
    auto port = platform::LookupPort(file);
    if (!port) return platform::Fail(ERROR_INVALID_HANDLE);
    if (!timeouts) return platform::Fail(ERROR_INVALID_PARAMETER);
    std::lock_guard guard(port->lock);
    *timeouts = port->timeouts;
    return TRUE;
}

BOOL SetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts) {
    auto port = platform::LookupPort(file);
    if (!port) return platform::Fail(ERROR_INVALID_HANDLE);
    if (!timeouts) return platform::Fail(ERROR_INVALID_PARAMETER);
    std::lock_guard guard(port->lock);
    port->timeouts = *timeouts;
    return TRUE;
}
