// The terminal settings of a serial line through termios2, kept apart because its
// kernel header cannot meet <termios.h>. Internal to the platform layer.
#pragma once

#include <cstdint>

namespace platform {

struct LineSettings {
    uint32_t baudRate = 0;
    uint8_t byteSize = 8;
    uint8_t parity = 0;   // NOPARITY .. SPACEPARITY
    uint8_t stopBits = 0; // ONESTOPBIT or TWOSTOPBITS
};

// false with errno set.
bool ReadLineSettings(int fd, LineSettings& settings);
// Raw mode: no echo, no line editing, no character translation, no flow control.
bool WriteLineSettings(int fd, const LineSettings& settings);
// Raw 8N1 at the present rate.
bool MakeRaw(int fd);
bool SetExclusive(int fd, bool exclusive);

} // namespace platform
