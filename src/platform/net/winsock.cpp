// The C library's socket names are macros and enumerators that collide with WinSock's,
// which have other values: the native ones are kept here under names of their own before
// the macros go and the WinSock header comes in.
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <vector>

namespace {
constexpr int AF_INET_NATIVE = AF_INET;
constexpr int SOCK_STREAM_NATIVE = SOCK_STREAM;
constexpr int SOCK_DGRAM_NATIVE = SOCK_DGRAM;
constexpr int IPPROTO_TCP_NATIVE = IPPROTO_TCP;
constexpr int IPPROTO_UDP_NATIVE = IPPROTO_UDP;
constexpr int SOL_SOCKET_NATIVE = SOL_SOCKET;
constexpr int SO_REUSEADDR_NATIVE = SO_REUSEADDR;
constexpr int TCP_NODELAY_NATIVE = TCP_NODELAY;
constexpr int MSG_PEEK_NATIVE = MSG_PEEK;
} // namespace

#undef AF_INET
#undef SOCK_STREAM
#undef SOCK_DGRAM
#undef IPPROTO_TCP
#undef IPPROTO_UDP
#undef SOL_SOCKET
#undef SO_REUSEADDR
#undef TCP_NODELAY
#undef MSG_PEEK
#undef INADDR_ANY
#undef INADDR_NONE
#undef htons
#undef ntohs
#undef htonl
#undef ntohl

#include "platform/kernel/errors.h"
#include "platform/kernel/kernel_objects.h"
#include "platform/net/winsock.h"
#include "platform/user/message_queue.h"

namespace platform::winsock {
namespace {

enum class State { Idle, Listening, Connecting, Connected, Failed };

class SocketObject : public KernelObject {
public:
    SocketObject(int fd, int type, State state) : fd(fd), type(type), state(state) {}
    ~SocketObject() override { ::close(fd); }
    // Sockets have closesocket of their own.
    bool ClosableByCloseHandle() const override { return false; }

    const int fd;
    const int type;
    std::atomic<State> state;
};

int ToWinsockError(int error) {
    switch (error) {
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
    case EINPROGRESS:
        return WSAEWOULDBLOCK;
    case EALREADY:
        return WSAEALREADY;
    case EBADF:
    case ENOTSOCK:
        return WSAENOTSOCK;
    case EINTR:
        return WSAEINTR;
    case EACCES:
    case EPERM:
        return WSAEACCES;
    case EFAULT:
        return WSAEFAULT;
    case EMFILE:
    case ENFILE:
        return WSAEMFILE;
    case EMSGSIZE:
        return WSAEMSGSIZE;
    case ENOPROTOOPT:
        return WSAENOPROTOOPT;
    case EOPNOTSUPP:
        return WSAEOPNOTSUPP;
    case EAFNOSUPPORT:
        return WSAEAFNOSUPPORT;
    case EADDRINUSE:
        return WSAEADDRINUSE;
    case EADDRNOTAVAIL:
        return WSAEADDRNOTAVAIL;
    case ENETDOWN:
        return WSAENETDOWN;
    case ENETUNREACH:
        return WSAENETUNREACH;
    case ECONNABORTED:
        return WSAECONNABORTED;
    case ECONNRESET:
    case EPIPE:
        return WSAECONNRESET;
    case ENOBUFS:
    case ENOMEM:
        return WSAENOBUFS;
    case EISCONN:
        return WSAEISCONN;
    case ENOTCONN:
        return WSAENOTCONN;
    case ETIMEDOUT:
        return WSAETIMEDOUT;
    case ECONNREFUSED:
        return WSAECONNREFUSED;
    case EHOSTUNREACH:
        return WSAEHOSTUNREACH;
    default:
        return WSAEINVAL;
    }
}

int Fail(int wsaError) {
    SetLastError(static_cast<DWORD>(wsaError));
    return SOCKET_ERROR;
}

int FailErrno() {
    return Fail(ToWinsockError(errno));
}

std::shared_ptr<SocketObject> Find(SOCKET s) {
    auto object = LookupObjectAs<SocketObject>(s);
    if (!object) SetLastError(WSAENOTSOCK);
    return object;
}

bool ToNative(const sockaddr* address, int length, ::sockaddr_in& native) {
    if (address == nullptr || length < static_cast<int>(sizeof(sockaddr_in))) return false;
    sockaddr_in ours;
    std::memcpy(&ours, address, sizeof ours);
    if (ours.sin_family != AF_INET) return false;
    native = {};
    native.sin_family = AF_INET_NATIVE;
    native.sin_port = ours.sin_port;
    native.sin_addr.s_addr = ours.sin_addr.s_addr;
    return true;
}

bool FromNative(const ::sockaddr_in& native, sockaddr* address, int* length) {
    if (address == nullptr || length == nullptr || *length < static_cast<int>(sizeof(sockaddr_in)))
        return false;
    sockaddr_in ours{};
    ours.sin_family = AF_INET;
    ours.sin_port = native.sin_port;
    ours.sin_addr.s_addr = native.sin_addr.s_addr;
    std::memcpy(address, &ours, sizeof ours);
    *length = sizeof ours;
    return true;
}

// A connect in progress ends when the socket reports writable or an error: SO_ERROR says
// which. A failed connect stays failed, as WinSock keeps showing it in the exception set.
void SettleConnect(SocketObject& object, short revents) {
    if (object.state != State::Connecting) return;
    if ((revents & (POLLOUT | POLLERR | POLLHUP)) == 0) return;
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(object.fd, SOL_SOCKET_NATIVE, SO_ERROR, &error, &size) != 0) error = errno;
    if (error != 0) {
        object.state = State::Failed;
    } else if (revents & POLLOUT) {
        object.state = State::Connected;
    }
}

struct Entry {
    std::shared_ptr<SocketObject> object;
    size_t poll;
};

bool Collect(fd_set* set, short events, std::vector<Entry>& entries, std::vector<pollfd>& polls) {
    if (set == nullptr) return true;
    if (set->fd_count > static_cast<uint32_t>(kFdSetSize)) {
        Fail(WSAEINVAL);
        return false;
    }
    for (uint32_t i = 0; i < set->fd_count; ++i) {
        auto object = Find(set->fd_array[i]);
        if (!object) return false;
        entries.push_back({object, polls.size()});
        polls.push_back({object->fd, events, 0});
    }
    return true;
}

uint32_t Keep(fd_set* set, const std::vector<Entry>& entries, size_t first,
              const std::vector<pollfd>& polls, bool (*ready)(SocketObject&, short)) {
    if (set == nullptr) return 0;
    uint32_t kept = 0;
    for (uint32_t i = 0; i < set->fd_count; ++i) {
        const Entry& entry = entries[first + i];
        if (ready(*entry.object, polls[entry.poll].revents))
            set->fd_array[kept++] = set->fd_array[i];
    }
    set->fd_count = kept;
    return kept;
}

bool IsReadable(SocketObject& object, short revents) {
    if ((revents & (POLLIN | POLLHUP | POLLERR)) == 0) return false;
    State state = object.state;
    return object.type == SOCK_DGRAM_NATIVE || state == State::Connected ||
           state == State::Listening;
}

bool IsWritable(SocketObject& object, short revents) {
    if ((revents & POLLOUT) == 0) return false;
    return object.type == SOCK_DGRAM_NATIVE || object.state == State::Connected;
}

bool HasException(SocketObject& object, short revents) {
    return object.state == State::Failed || (revents & (POLLERR | POLLPRI)) != 0;
}

} // namespace

int WSAStartup(uint16_t versionRequested, WSAData* data) {
    if (data != nullptr) {
        *data = {};
        data->wVersion = versionRequested;
        data->wHighVersion = 0x0202;
        std::snprintf(data->szDescription, sizeof data->szDescription, "BSD sockets");
        std::snprintf(data->szSystemStatus, sizeof data->szSystemStatus, "Running");
        data->iMaxSockets = 0xFFFF;
        data->iMaxUdpDg = 0xFFFF;
    }
    return 0;
}

int WSACleanup() {
    return 0;
}

int WSAGetLastError() {
    return static_cast<int>(GetLastError());
}

SOCKET socket(int af, int type, int protocol) {
    if (af != AF_INET) return static_cast<SOCKET>(Fail(WSAEAFNOSUPPORT));
    int nativeType = type == SOCK_STREAM  ? SOCK_STREAM_NATIVE
                     : type == SOCK_DGRAM ? SOCK_DGRAM_NATIVE
                                          : -1;
    if (nativeType < 0) return static_cast<SOCKET>(Fail(WSAEINVAL));
    int nativeProtocol = protocol == IPPROTO_TCP   ? IPPROTO_TCP_NATIVE
                         : protocol == IPPROTO_UDP ? IPPROTO_UDP_NATIVE
                                                   : 0;
    int fd = ::socket(AF_INET_NATIVE, nativeType | SOCK_NONBLOCK | SOCK_CLOEXEC, nativeProtocol);
    if (fd < 0) return static_cast<SOCKET>(FailErrno());
    if (nativeType == SOCK_STREAM_NATIVE) {
        // Windows lets a server listen again on a port whose old connections are still in
        // TIME_WAIT; Linux does only with this option.
        int one = 1;
        ::setsockopt(fd, SOL_SOCKET_NATIVE, SO_REUSEADDR_NATIVE, &one, sizeof one);
    }
    HANDLE handle = RegisterObject(std::make_shared<SocketObject>(fd, nativeType, State::Idle));
    if (handle == 0) return static_cast<SOCKET>(Fail(WSAEMFILE));
    return handle;
}

int ioctlsocket(SOCKET s, long command, u_long* argument) {
    if (!Find(s)) return SOCKET_ERROR;
    if (command != FIONBIO) return Fail(WSAEINVAL);
    if (argument == nullptr) return Fail(WSAEFAULT);
    return 0;
}

int setsockopt(SOCKET s, int level, int name, const char* value, int length) {
    auto object = Find(s);
    if (!object) return SOCKET_ERROR;
    if (value == nullptr || length < static_cast<int>(sizeof(int))) return Fail(WSAEFAULT);
    int flag = 0;
    std::memcpy(&flag, value, sizeof flag);
    int result = -1;
    if (level == IPPROTO_TCP && name == TCP_NODELAY) {
        if (object->type != SOCK_STREAM_NATIVE) return Fail(WSAENOPROTOOPT);
        result =
            ::setsockopt(object->fd, IPPROTO_TCP_NATIVE, TCP_NODELAY_NATIVE, &flag, sizeof flag);
    } else if (level == SOL_SOCKET && name == SO_REUSEADDR) {
        result =
            ::setsockopt(object->fd, SOL_SOCKET_NATIVE, SO_REUSEADDR_NATIVE, &flag, sizeof flag);
    } else {
        return Fail(WSAENOPROTOOPT);
    }
    return result == 0 ? 0 : FailErrno();
}

int bind(SOCKET s, const sockaddr* address, int length) {
    auto object = Find(s);
    if (!object) return SOCKET_ERROR;
    ::sockaddr_in native;
    if (!ToNative(address, length, native)) return Fail(WSAEFAULT);
    if (::bind(object->fd, reinterpret_cast<::sockaddr*>(&native), sizeof native) != 0)
        return FailErrno();
    return 0;
}

int listen(SOCKET s, int backlog) {
    auto object = Find(s);
    if (!object) return SOCKET_ERROR;
    if (object->type != SOCK_STREAM_NATIVE) return Fail(WSAEOPNOTSUPP);
    if (::listen(object->fd, backlog) != 0) return FailErrno();
    object->state = State::Listening;
    return 0;
}

SOCKET accept(SOCKET s, sockaddr* address, int* length) {
    auto object = Find(s);
    if (!object) return INVALID_SOCKET;
    if (object->state != State::Listening) return static_cast<SOCKET>(Fail(WSAEINVAL));
    ::sockaddr_in native{};
    socklen_t size = sizeof native;
    int fd = ::accept4(object->fd, reinterpret_cast<::sockaddr*>(&native), &size,
                       SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return static_cast<SOCKET>(FailErrno());
    HANDLE handle =
        RegisterObject(std::make_shared<SocketObject>(fd, SOCK_STREAM_NATIVE, State::Connected));
    if (handle == 0) return static_cast<SOCKET>(Fail(WSAEMFILE));
    if (address != nullptr && length != nullptr && !FromNative(native, address, length)) {
        closesocket(handle);
        return static_cast<SOCKET>(Fail(WSAEFAULT));
    }
    return handle;
}

int connect(SOCKET s, const sockaddr* address, int length) {
    auto object = Find(s);
    if (!object) return SOCKET_ERROR;
    ::sockaddr_in native;
    if (!ToNative(address, length, native)) return Fail(WSAEFAULT);
    if (::connect(object->fd, reinterpret_cast<::sockaddr*>(&native), sizeof native) == 0) {
        if (object->type == SOCK_STREAM_NATIVE) object->state = State::Connected;
        return 0;
    }
    int error = errno;
    if (object->type == SOCK_STREAM_NATIVE) {
        if (error == EINPROGRESS) {
            object->state = State::Connecting;
        } else if (error != EALREADY && error != EISCONN) {
            // WinSock reports every non-blocking connect's failure through select.
            object->state = State::Failed;
        }
    }
    return Fail(ToWinsockError(error));
}

int send(SOCKET s, const char* data, int length, int flags) {
    auto object = Find(s);
    if (!object) return SOCKET_ERROR;
    if (length < 0 || (data == nullptr && length > 0)) return Fail(WSAEFAULT);
    (void)flags;
    ssize_t sent = ::send(object->fd, data, static_cast<size_t>(length), MSG_NOSIGNAL);
    return sent < 0 ? FailErrno() : static_cast<int>(sent);
}

int recv(SOCKET s, char* buffer, int length, int flags) {
    auto object = Find(s);
    if (!object) return SOCKET_ERROR;
    if (length < 0 || (buffer == nullptr && length > 0)) return Fail(WSAEFAULT);
    int nativeFlags = (flags & MSG_PEEK) ? MSG_PEEK_NATIVE : 0;
    ssize_t got = ::recv(object->fd, buffer, static_cast<size_t>(length), nativeFlags);
    return got < 0 ? FailErrno() : static_cast<int>(got);
}

int sendto(SOCKET s, const char* data, int length, int flags, const sockaddr* to, int toLength) {
    auto object = Find(s);
    if (!object) return SOCKET_ERROR;
    if (length < 0 || (data == nullptr && length > 0)) return Fail(WSAEFAULT);
    (void)flags;
    ::sockaddr_in native;
    if (!ToNative(to, toLength, native)) return Fail(WSAEFAULT);
    ssize_t sent = ::sendto(object->fd, data, static_cast<size_t>(length), MSG_NOSIGNAL,
                            reinterpret_cast<::sockaddr*>(&native), sizeof native);
    return sent < 0 ? FailErrno() : static_cast<int>(sent);
}

int recvfrom(SOCKET s, char* buffer, int length, int flags, sockaddr* from, int* fromLength) {
    auto object = Find(s);
    if (!object) return SOCKET_ERROR;
    if (length < 0 || (buffer == nullptr && length > 0)) return Fail(WSAEFAULT);
    if (from != nullptr && (fromLength == nullptr || *fromLength < 16)) return Fail(WSAEFAULT);
    int nativeFlags = (flags & MSG_PEEK) ? MSG_PEEK_NATIVE : 0;
    ::sockaddr_in native{};
    socklen_t size = sizeof native;
    ssize_t got = ::recvfrom(object->fd, buffer, static_cast<size_t>(length), nativeFlags,
                             reinterpret_cast<::sockaddr*>(&native), &size);
    if (got < 0) return FailErrno();
    if (from != nullptr) FromNative(native, from, fromLength);
    return static_cast<int>(got);
}

int select(int, fd_set* readSet, fd_set* writeSet, fd_set* exceptSet, const timeval* timeout) {
    std::vector<Entry> entries;
    std::vector<pollfd> polls;
    if (!Collect(readSet, POLLIN, entries, polls)) return SOCKET_ERROR;
    size_t writeFirst = entries.size();
    if (!Collect(writeSet, POLLOUT, entries, polls)) return SOCKET_ERROR;
    size_t exceptFirst = entries.size();
    if (!Collect(exceptSet, POLLPRI, entries, polls)) return SOCKET_ERROR;
    if (polls.empty()) return Fail(WSAEINVAL);
    int wait = -1;
    if (timeout != nullptr) {
        if (timeout->tv_sec < 0 || timeout->tv_usec < 0) return Fail(WSAEINVAL);
        long long ms = static_cast<long long>(timeout->tv_sec) * 1000 + timeout->tv_usec / 1000;
        wait = ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(ms);
    }
    // A failed connect is ready without waiting.
    for (const Entry& entry : entries)
        if (entry.object->state == State::Failed) wait = 0;
    int polled = ::poll(polls.data(), polls.size(), wait);
    if (polled < 0) return FailErrno();
    for (const Entry& entry : entries)
        SettleConnect(*entry.object, polls[entry.poll].revents);
    uint32_t total = Keep(readSet, entries, 0, polls, IsReadable);
    total += Keep(writeSet, entries, writeFirst, polls, IsWritable);
    total += Keep(exceptSet, entries, exceptFirst, polls, HasException);
    return static_cast<int>(total);
}

int MsgWaitForSockets(WSAPOLLFD* sockets, uint32_t count, DWORD milliseconds) {
    if (count > 0 && sockets == nullptr) return Fail(WSAEFAULT);
    std::vector<std::shared_ptr<SocketObject>> objects(count);
    std::vector<pollfd> polls;
    polls.reserve(count + 1);
    int invalid = 0;
    for (uint32_t i = 0; i < count; ++i) {
        WSAPOLLFD& entry = sockets[i];
        entry.revents = 0;
        objects[i] = LookupObjectAs<SocketObject>(entry.fd);
        if (!objects[i]) {
            entry.revents = kPollInvalid;
            ++invalid;
            polls.push_back({-1, 0, 0});
            continue;
        }
        short events = 0;
        if (entry.events & kPollRead) events |= POLLIN;
        if (entry.events & kPollWrite) events |= POLLOUT;
        polls.push_back({objects[i]->fd, events, 0});
    }
    if (invalid > 0) return invalid;
    // A socket ready already needs none of the message wait's work: while traffic flows,
    // this is the common case.
    bool ready = !polls.empty() && ::poll(polls.data(), polls.size(), 0) > 0;
    if (!ready && platform::MsgWaitForDescriptors(polls, milliseconds) != WAIT_OBJECT_0 + 1)
        return 0;
    int readyCount = 0;
    for (uint32_t i = 0; i < count; ++i) {
        short found = polls[i].revents;
        SettleConnect(*objects[i], found);
        int16_t revents = 0;
        if (found & POLLIN) revents |= kPollRead;
        if (found & POLLOUT) revents |= kPollWrite;
        if (found & POLLERR) revents |= kPollError;
        if (found & POLLHUP) revents |= kPollHangUp;
        if (found & POLLNVAL) revents |= kPollInvalid;
        sockets[i].revents = revents;
        if (revents != 0) ++readyCount;
    }
    return readyCount;
}

int closesocket(SOCKET s) {
    if (!UnregisterObjectAs<SocketObject>(s)) return Fail(WSAENOTSOCK);
    return 0;
}

int getsockname(SOCKET s, sockaddr* address, int* length) {
    auto object = Find(s);
    if (!object) return SOCKET_ERROR;
    ::sockaddr_in native{};
    socklen_t size = sizeof native;
    if (::getsockname(object->fd, reinterpret_cast<::sockaddr*>(&native), &size) != 0)
        return FailErrno();
    return FromNative(native, address, length) ? 0 : Fail(WSAEFAULT);
}

int getpeername(SOCKET s, sockaddr* address, int* length) {
    auto object = Find(s);
    if (!object) return SOCKET_ERROR;
    ::sockaddr_in native{};
    socklen_t size = sizeof native;
    if (::getpeername(object->fd, reinterpret_cast<::sockaddr*>(&native), &size) != 0)
        return FailErrno();
    return FromNative(native, address, length) ? 0 : Fail(WSAEFAULT);
}

u_long inet_addr(const char* text) {
    if (text == nullptr) return INADDR_NONE;
    ::in_addr address{};
    if (::inet_aton(text, &address) == 0) return INADDR_NONE;
    return address.s_addr;
}

char* inet_ntoa(in_addr address) {
    thread_local char text[16];
    const auto* bytes = reinterpret_cast<const unsigned char*>(&address.s_addr);
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
    return text;
}

hostent* gethostbyname(const char* name) {
    thread_local hostent entry;
    thread_local u_long address;
    thread_local char* addresses[2];
    thread_local char* aliases[1];
    thread_local char hostName[256];
    if (name == nullptr) {
        Fail(WSAEFAULT);
        return nullptr;
    }
    ::addrinfo hints{};
    hints.ai_family = AF_INET_NATIVE;
    ::addrinfo* list = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &list) != 0 || list == nullptr) {
        Fail(WSAHOST_NOT_FOUND);
        return nullptr;
    }
    address = reinterpret_cast<const ::sockaddr_in*>(list->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(list);
    std::snprintf(hostName, sizeof hostName, "%s", name);
    addresses[0] = reinterpret_cast<char*>(&address);
    addresses[1] = nullptr;
    aliases[0] = nullptr;
    entry.h_name = hostName;
    entry.h_aliases = aliases;
    entry.h_addrtype = AF_INET;
    entry.h_length = 4;
    entry.h_addr_list = addresses;
    return &entry;
}

} // namespace platform::winsock
