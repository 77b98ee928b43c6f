#include "platform/serial/line_settings.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace platform {
namespace {

void ApplyRaw(termios2& t) {
    t.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                           IXOFF | IXANY | INPCK);
    t.c_oflag &= ~tcflag_t(OPOST);
    t.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~tcflag_t(CRTSCTS | HUPCL);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
}

} // namespace

bool ReadLineSettings(int fd, LineSettings& settings) {
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    settings.baudRate = t.c_ospeed;
    switch (t.c_cflag & CSIZE) {
    case CS5:
        settings.byteSize = 5;
        break;
    case CS6:
        settings.byteSize = 6;
        break;
    case CS7:
        settings.byteSize = 7;
        break;
    default:
        settings.byteSize = 8;
        break;
    }
    if (!(t.c_cflag & PARENB))
        settings.parity = 0;
    else if (t.c_cflag & CMSPAR)
        settings.parity = (t.c_cflag & PARODD) ? 3 : 4;
    else
        settings.parity = (t.c_cflag & PARODD) ? 1 : 2;
    settings.stopBits = (t.c_cflag & CSTOPB) ? 2 : 0;
    return true;
}

bool WriteLineSettings(int fd, const LineSettings& settings) {
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    ApplyRaw(t);
    t.c_cflag &= ~tcflag_t(CBAUD | (CBAUD << IBSHIFT) | CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ospeed = settings.baudRate;
    t.c_ispeed = settings.baudRate;
    static const tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= kSizes[settings.byteSize - 5];
    if (settings.parity != 0) t.c_cflag |= PARENB;
    if (settings.parity == 1 || settings.parity == 3) t.c_cflag |= PARODD;
    if (settings.parity >= 3) t.c_cflag |= CMSPAR;
    if (settings.stopBits == 2) t.c_cflag |= CSTOPB;
    return ioctl(fd, TCSETS2, &t) == 0;
}

bool MakeRaw(int fd) {
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    ApplyRaw(t);
    t.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    t.c_cflag |= CS8;
    return ioctl(fd, TCSETS2, &t) == 0;
}

bool SetExclusive(int fd, bool exclusive) {
    return ioctl(fd, exclusive ? TIOCEXCL : TIOCNXCL) == 0;
}

} // namespace platform
