// WinSock 1.1 as the networking library calls it, over BSD sockets. The names collide with
// the C library's, so they live in a namespace of their own.
//
// Every socket is non-blocking from its creation; nothing here waits except `select` with
// a time-out other than zero. SOCKET values are kernel handles, never handed out again, so
// closing a socket twice answers WSAENOTSOCK instead of closing a descriptor that another
// thread opened in the meantime. Sends never raise SIGPIPE.
#pragma once

#include <bit>
#include <cstdint>

#include "platform/kernel/win_types.h"

namespace platform::winsock {

using SOCKET = uint32_t;
using u_short = uint16_t;
using u_long = uint32_t;

inline constexpr SOCKET INVALID_SOCKET = 0xFFFFFFFFu;
inline constexpr int SOCKET_ERROR = -1;

inline constexpr int AF_INET = 2;
inline constexpr int SOCK_STREAM = 1;
inline constexpr int SOCK_DGRAM = 2;
inline constexpr int IPPROTO_TCP = 6;
inline constexpr int IPPROTO_UDP = 17;
inline constexpr int SOL_SOCKET = 0xFFFF;
inline constexpr int SO_REUSEADDR = 4;
inline constexpr int TCP_NODELAY = 1;
inline constexpr int MSG_PEEK = 2;
inline constexpr long FIONBIO = static_cast<long>(0x8004667Eu);
inline constexpr u_long INADDR_ANY = 0;
inline constexpr u_long INADDR_NONE = 0xFFFFFFFFu;

inline constexpr int WSAEINTR = 10004;
inline constexpr int WSAEACCES = 10013;
inline constexpr int WSAEFAULT = 10014;
inline constexpr int WSAEINVAL = 10022;
inline constexpr int WSAEMFILE = 10024;
inline constexpr int WSAEWOULDBLOCK = 10035;
inline constexpr int WSAEALREADY = 10037;
inline constexpr int WSAENOTSOCK = 10038;
inline constexpr int WSAEMSGSIZE = 10040;
inline constexpr int WSAENOPROTOOPT = 10042;
inline constexpr int WSAEOPNOTSUPP = 10045;
inline constexpr int WSAEAFNOSUPPORT = 10047;
inline constexpr int WSAEADDRINUSE = 10048;
inline constexpr int WSAEADDRNOTAVAIL = 10049;
inline constexpr int WSAENETDOWN = 10050;
inline constexpr int WSAENETUNREACH = 10051;
inline constexpr int WSAECONNABORTED = 10053;
inline constexpr int WSAECONNRESET = 10054;
inline constexpr int WSAENOBUFS = 10055;
inline constexpr int WSAEISCONN = 10056;
inline constexpr int WSAENOTCONN = 10057;
inline constexpr int WSAETIMEDOUT = 10060;
inline constexpr int WSAECONNREFUSED = 10061;
inline constexpr int WSAEHOSTUNREACH = 10065;
inline constexpr int WSAHOST_NOT_FOUND = 11001;

struct in_addr {
    u_long s_addr; // network order
};

// 16 bytes, as WinSock lays it out.
struct sockaddr_in {
    int16_t sin_family;
    u_short sin_port; // network order
    in_addr sin_addr;
    char sin_zero[8];
};

struct sockaddr {
    u_short sa_family;
    char sa_data[14];
};

struct hostent {
    char* h_name;
    char** h_aliases;
    int16_t h_addrtype;
    int16_t h_length;
    char** h_addr_list;
};

// FD_SETSIZE of WinSock; the C library keeps its own macro of that name.
inline constexpr int kFdSetSize = 64;

// WinSock's set: a count and an array of sockets, not a bit mask.
struct fd_set {
    uint32_t fd_count;
    SOCKET fd_array[kFdSetSize];
};

struct timeval {
    long tv_sec;
    long tv_usec;
};

struct WSAData {
    uint16_t wVersion;
    uint16_t wHighVersion;
    char szDescription[257];
    char szSystemStatus[129];
    uint16_t iMaxSockets;
    uint16_t iMaxUdpDg;
    char* lpVendorInfo;
};

// Both answer success; the sockets need no start-up on this platform.
int WSAStartup(uint16_t versionRequested, WSAData* data);
int WSACleanup();
// The calling thread's code of the last failing call (WSAE... values).
int WSAGetLastError();

SOCKET socket(int af, int type, int protocol);
// FIONBIO only; every socket is non-blocking whatever the argument says, because the
// library never waits on one.
int ioctlsocket(SOCKET s, long command, u_long* argument);
// TCP_NODELAY (level IPPROTO_TCP) and SO_REUSEADDR (level SOL_SOCKET).
int setsockopt(SOCKET s, int level, int name, const char* value, int length);
int bind(SOCKET s, const sockaddr* address, int length);
int listen(SOCKET s, int backlog);
SOCKET accept(SOCKET s, sockaddr* address, int* length);
int connect(SOCKET s, const sockaddr* address, int length);
int send(SOCKET s, const char* data, int length, int flags);
int recv(SOCKET s, char* buffer, int length, int flags);
int sendto(SOCKET s, const char* data, int length, int flags, const sockaddr* to, int toLength);
int recvfrom(SOCKET s, char* buffer, int length, int flags, sockaddr* from, int* fromLength);
// Readiness as WinSock answers it: readable when data, a close or a pending accept is
// there; writable only once connected; the exception set holds a failed connect and any
// socket error. The sets are rewritten to hold the ready sockets; the result is their total.
int select(int ignored, fd_set* readSet, fd_set* writeSet, fd_set* exceptSet,
           const timeval* timeout);

// One socket of MsgWaitForSockets: the readiness asked for (kPollRead, kPollWrite) and the
// readiness found. WinSock's values; the C library keeps its own macros of those names.
struct WSAPOLLFD {
    SOCKET fd;
    int16_t events;
    int16_t revents;
};
inline constexpr int16_t kPollRead = 0x0100;
inline constexpr int16_t kPollWrite = 0x0010;
inline constexpr int16_t kPollError = 0x0001;
inline constexpr int16_t kPollHangUp = 0x0002;
inline constexpr int16_t kPollInvalid = 0x0004;
// Waits up to `milliseconds` (INFINITE: no end) until a message waits for the calling
// thread, as MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT) would
// end, or until one of the sockets is ready as asked: the peer's close reads as readable,
// an error makes a socket ready whatever was asked, and a handle naming no socket is ready
// at once with kPollInvalid. The count of ready sockets (their revents set), 0 when a
// message came or the time passed, SOCKET_ERROR (WSAEFAULT) for a missing array.
int MsgWaitForSockets(WSAPOLLFD* sockets, uint32_t count, DWORD milliseconds);
int closesocket(SOCKET s);
int getsockname(SOCKET s, sockaddr* address, int* length);
int getpeername(SOCKET s, sockaddr* address, int* length);

// Dotted text to an address in network order; INADDR_NONE when the text is not one.
u_long inet_addr(const char* text);
// The dotted text of an address, in a buffer of the calling thread.
char* inet_ntoa(in_addr address);
// The first IPv4 address of a host name; null (WSAHOST_NOT_FOUND) when it has none. The
// entry lives in a buffer of the calling thread until its next call.
hostent* gethostbyname(const char* name);

inline u_short htons(u_short value) {
    if constexpr (std::endian::native == std::endian::big) return value;
    return static_cast<u_short>(((value & 0xFFu) << 8) | (value >> 8));
}
inline u_short ntohs(u_short value) {
    return htons(value);
}
inline u_long htonl(u_long value) {
    if constexpr (std::endian::native == std::endian::big) return value;
    return ((value & 0xFFu) << 24) | ((value & 0xFF00u) << 8) | ((value >> 8) & 0xFF00u) |
           (value >> 24);
}
inline u_long ntohl(u_long value) {
    return htonl(value);
}

} // namespace platform::winsock
