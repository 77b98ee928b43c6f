// The file calls' way into serial ports. Internal to the platform layer.
#pragma once

#include "platform/kernel/win_types.h"

namespace platform {

// A COM name (mapped or not) or a character device path.
bool IsSerialPortName(const char* name);
HANDLE OpenSerialPort(const char* name, DWORD desiredAccess, DWORD creationDisposition);
bool IsSerialHandle(HANDLE handle);
BOOL SerialRead(HANDLE port, void* buffer, DWORD count, LPDWORD done);
BOOL SerialWrite(HANDLE port, const void* buffer, DWORD count, LPDWORD done);

} // namespace platform
