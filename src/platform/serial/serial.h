// Serial ports with the Windows communications calls, over Linux terminals.
//
// CreateFileA opens a port by name: "COMn" (or "\\.\COMn") is the device the COM map
// names, /dev/ttyS(n-1) unless ZORV_SERIAL ("COM3=/dev/ttyUSB0;COM4=/dev/pts/5") says
// otherwise; a name starting with "/" that is a character device is that device. Only
// OPEN_EXISTING opens a port. A port is never shared: a second open in this process is
// refused with ERROR_ACCESS_DENIED, and TIOCEXCL keeps other programs out. The line is
// raw, 8 data bits, no parity, one stop bit, no flow control, at the rate it had.
//
// ReadFile and WriteFile follow the port's time-outs: a transfer of n bytes may take
// multiplier * n + constant milliseconds (computed in 64 bits); both 0 wait without
// limit. A time-out is success with fewer bytes, as on Windows. A read interval of
// MAXDWORD with both read totals 0 returns at once with what has arrived. Other read
// intervals are not kept apart from the totals.
#pragma once

#include "platform/kernel/win_types.h"

inline constexpr DWORD CBR_110 = 110;
inline constexpr DWORD CBR_9600 = 9600;
inline constexpr DWORD CBR_115200 = 115200;

inline constexpr BYTE NOPARITY = 0;
inline constexpr BYTE ODDPARITY = 1;
inline constexpr BYTE EVENPARITY = 2;
inline constexpr BYTE MARKPARITY = 3;
inline constexpr BYTE SPACEPARITY = 4;
inline constexpr BYTE ONESTOPBIT = 0;
inline constexpr BYTE ONE5STOPBITS = 1;
inline constexpr BYTE TWOSTOPBITS = 2;
inline constexpr DWORD MAXDWORD = 0xFFFFFFFFu;

// Of the flags only fBinary and fParity are reported; flow control stays off.
struct DCB {
    DWORD DCBlength;
    DWORD BaudRate;
    DWORD fBinary : 1;
    DWORD fParity : 1;
    DWORD fOutxCtsFlow : 1;
    DWORD fOutxDsrFlow : 1;
    DWORD fDtrControl : 2;
    DWORD fDsrSensitivity : 1;
    DWORD fTXContinueOnXoff : 1;
    DWORD fOutX : 1;
    DWORD fInX : 1;
    DWORD fErrorChar : 1;
    DWORD fNull : 1;
    DWORD fRtsControl : 2;
    DWORD fAbortOnError : 1;
    DWORD fDummy2 : 17;
    WORD wReserved;
    WORD XonLim;
    WORD XoffLim;
    BYTE ByteSize;
    BYTE Parity;
    BYTE StopBits;
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    WORD wReserved1;
};
using LPDCB = DCB*;

struct COMMTIMEOUTS {
    DWORD ReadIntervalTimeout;
    DWORD ReadTotalTimeoutMultiplier;
    DWORD ReadTotalTimeoutConstant;
    DWORD WriteTotalTimeoutMultiplier;
    DWORD WriteTotalTimeoutConstant;
};
using LPCOMMTIMEOUTS = COMMTIMEOUTS*;

// The rate is any positive number of bits per second the device takes (through
// termios2, so 14400 or 56000 work where the hardware does); 5 to 8 data bits; every
// parity; one or two stop bits (ONE5STOPBITS is refused with ERROR_INVALID_PARAMETER).
BOOL GetCommState(HANDLE file, LPDCB dcb);
BOOL SetCommState(HANDLE file, LPDCB dcb);
BOOL GetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts);
BOOL SetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts);
