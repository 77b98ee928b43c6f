// The machine and the user as Windows names them: the computer name, the user name, the
// host's first IPv4 address, the local time and the gradient-caption setting.
#pragma once

#include <string>

#include "platform/kernel/win_types.h"

inline constexpr DWORD MAX_COMPUTERNAME_LENGTH = 15;
inline constexpr DWORD ERROR_BUFFER_OVERFLOW = 111;

// The host name up to its first '.', at most 15 characters, in capitals. *size is the
// buffer's size on entry; on success the length copied, on ERROR_BUFFER_OVERFLOW the size
// needed (terminator included).
BOOL GetComputerNameA(LPSTR buffer, LPDWORD size);
// The login name (from the password database, else $USER), in Windows-1252. *size as
// for GetComputerNameA, but the length counts the terminator (ERROR_INSUFFICIENT_BUFFER).
BOOL GetUserNameA(LPSTR buffer, LPDWORD size);

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

void GetLocalTime(SYSTEMTIME* time);

inline constexpr UINT SPI_GETGRADIENTCAPTIONS = 0x1008;
// Only SPI_GETGRADIENTCAPTIONS is known (a BOOL, always TRUE); others fail.
BOOL SystemParametersInfoA(UINT action, UINT param, LPVOID value, UINT winIni);

namespace platform {

// The dotted address of the host's first IPv4 address; false when it has none.
bool GetHostIPv4Address(std::string& address);

} // namespace platform

namespace platform::test {

// While frozen, GetLocalTime answers this time.
void FreezeLocalTime(const SYSTEMTIME& time);
void UnfreezeLocalTime();

} // namespace platform::test
