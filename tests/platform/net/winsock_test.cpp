// The WinSock calls over loopback: handles, non-blocking answers, select as WinSock gives
// it, and the failures a peer can cause.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/kernel/threads.h"
#include "platform/net/winsock.h"
#include "platform/user/messages.h"

namespace ws = platform::winsock;

namespace {

ws::sockaddr_in Address(const char* host, uint16_t port) {
    ws::sockaddr_in address{};
    address.sin_family = ws::AF_INET;
    address.sin_port = ws::htons(port);
    address.sin_addr.s_addr = ws::inet_addr(host);
    return address;
}

const ws::sockaddr* Raw(const ws::sockaddr_in& address) {
    return reinterpret_cast<const ws::sockaddr*>(&address);
}

int Ready(ws::SOCKET s, int which) {
    ws::fd_set set{};
    set.fd_count = 1;
    set.fd_array[0] = s;
    ws::timeval zero{0, 0};
    return ws::select(0, which == 0 ? &set : nullptr, which == 1 ? &set : nullptr,
                      which == 2 ? &set : nullptr, &zero);
}

// Waits (a little) for a socket to become ready.
bool WaitReady(ws::SOCKET s, int which) {
    ws::fd_set set{};
    set.fd_count = 1;
    set.fd_array[0] = s;
    ws::timeval wait{2, 0};
    return ws::select(0, which == 0 ? &set : nullptr, which == 1 ? &set : nullptr,
                      which == 2 ? &set : nullptr, &wait) == 1;
}

// A listener on a free loopback port.
ws::SOCKET Listener(uint16_t& port) {
    ws::SOCKET s = ws::socket(ws::AF_INET, ws::SOCK_STREAM, ws::IPPROTO_TCP);
    ws::sockaddr_in any = Address("127.0.0.1", 0);
    EXPECT_EQ(ws::bind(s, Raw(any), sizeof any), 0);
    EXPECT_EQ(ws::listen(s, 3), 0);
    ws::sockaddr_in bound{};
    int size = sizeof bound;
    EXPECT_EQ(ws::getsockname(s, reinterpret_cast<ws::sockaddr*>(&bound), &size), 0);
    port = ws::ntohs(bound.sin_port);
    return s;
}

TEST(Winsock, StreamOverLoopback) {
    uint16_t port = 0;
    ws::SOCKET listener = Listener(port);
    ws::SOCKET client = ws::socket(ws::AF_INET, ws::SOCK_STREAM, ws::IPPROTO_TCP);
    // Not connected: not writable.
    EXPECT_EQ(Ready(client, 1), 0);
    ws::sockaddr_in to = Address("127.0.0.1", port);
    int connected = ws::connect(client, Raw(to), sizeof to);
    if (connected != 0) {
        EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEWOULDBLOCK);
    }
    ASSERT_TRUE(WaitReady(client, 1));
    ASSERT_TRUE(WaitReady(listener, 0));
    ws::sockaddr_in peer{};
    int size = sizeof peer;
    ws::SOCKET server = ws::accept(listener, reinterpret_cast<ws::sockaddr*>(&peer), &size);
    ASSERT_NE(server, ws::INVALID_SOCKET);
    EXPECT_STREQ(ws::inet_ntoa(peer.sin_addr), "127.0.0.1");

    char buffer[16];
    EXPECT_EQ(ws::recv(server, buffer, sizeof buffer, 0), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEWOULDBLOCK);
    EXPECT_EQ(Ready(server, 0), 0);
    EXPECT_EQ(ws::send(client, "hello", 5, 0), 5);
    ASSERT_TRUE(WaitReady(server, 0));
    EXPECT_EQ(ws::recv(server, buffer, 2, ws::MSG_PEEK), 2);
    EXPECT_EQ(ws::recv(server, buffer, sizeof buffer, 0), 5);
    EXPECT_EQ(std::memcmp(buffer, "hello", 5), 0);

    // An orderly close reads as readable and 0 bytes.
    EXPECT_EQ(ws::closesocket(client), 0);
    ASSERT_TRUE(WaitReady(server, 0));
    EXPECT_EQ(ws::recv(server, buffer, sizeof buffer, 0), 0);
    EXPECT_EQ(ws::closesocket(server), 0);
    EXPECT_EQ(ws::closesocket(listener), 0);
}

// A connected pair over loopback: `client` and the accepted `server`.
void ConnectedPair(ws::SOCKET& client, ws::SOCKET& server) {
    uint16_t port = 0;
    ws::SOCKET listener = Listener(port);
    client = ws::socket(ws::AF_INET, ws::SOCK_STREAM, ws::IPPROTO_TCP);
    ws::sockaddr_in to = Address("127.0.0.1", port);
    ws::connect(client, Raw(to), sizeof to);
    ASSERT_TRUE(WaitReady(listener, 0));
    server = ws::accept(listener, nullptr, nullptr);
    ASSERT_NE(server, ws::INVALID_SOCKET);
    ASSERT_TRUE(WaitReady(client, 1));
    ws::closesocket(listener);
}

TEST(Winsock, MsgWaitForSocketsEndsWithTheFirstReadySocketOrMessage) {
    using Clock = std::chrono::steady_clock;
    // A wait that nothing ends would last this long; the waits below end far sooner.
    constexpr DWORD kLong = 20000;
    ws::SOCKET client = ws::INVALID_SOCKET;
    ws::SOCKET server = ws::INVALID_SOCKET;
    ASSERT_NO_FATAL_FAILURE(ConnectedPair(client, server));
    MSG message;
    PeekMessageA(&message, 0, 0, 0, PM_NOREMOVE);

    ws::WSAPOLLFD entry{server, ws::kPollRead, 0};
    EXPECT_EQ(ws::MsgWaitForSockets(&entry, 1, 20), 0);
    EXPECT_EQ(entry.revents, 0);

    std::thread sender([client] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        ws::send(client, "x", 1, 0);
    });
    auto start = Clock::now();
    EXPECT_EQ(ws::MsgWaitForSockets(&entry, 1, kLong), 1);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(kLong / 2));
    EXPECT_NE(entry.revents & ws::kPollRead, 0);
    sender.join();
    char byte;
    EXPECT_EQ(ws::recv(server, &byte, 1, 0), 1);

    // A message posted from another thread ends the wait as it ends MsgWaitForMultipleObjects.
    DWORD self = GetCurrentThreadId();
    std::thread poster([self] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        PostThreadMessageA(self, WM_USER + 7, 0, 0);
    });
    start = Clock::now();
    EXPECT_EQ(ws::MsgWaitForSockets(&entry, 1, kLong), 0);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(kLong / 2));
    poster.join();
    ASSERT_TRUE(PeekMessageA(&message, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_USER + 7);

    // Ready as asked only; the peer's close reads as readable.
    ws::WSAPOLLFD both[2] = {{server, ws::kPollRead, 0}, {client, ws::kPollWrite, 0}};
    EXPECT_EQ(ws::MsgWaitForSockets(both, 2, kLong), 1);
    EXPECT_EQ(both[0].revents, 0);
    EXPECT_NE(both[1].revents & ws::kPollWrite, 0);
    ws::closesocket(client);
    ws::WSAPOLLFD closed{server, ws::kPollRead, 0};
    EXPECT_EQ(ws::MsgWaitForSockets(&closed, 1, kLong), 1);
    EXPECT_NE(closed.revents & ws::kPollRead, 0);

    // A handle that names no socket: at once.
    ws::WSAPOLLFD gone{client, ws::kPollRead, 0};
    EXPECT_EQ(ws::MsgWaitForSockets(&gone, 1, kLong), 1);
    EXPECT_EQ(gone.revents, ws::kPollInvalid);
    EXPECT_EQ(ws::MsgWaitForSockets(nullptr, 1, 0), ws::SOCKET_ERROR);
    ws::closesocket(server);
}

TEST(Winsock, ClosedHandlesAreNeverReused) {
    ws::SOCKET first = ws::socket(ws::AF_INET, ws::SOCK_DGRAM, ws::IPPROTO_UDP);
    ASSERT_NE(first, ws::INVALID_SOCKET);
    EXPECT_EQ(ws::closesocket(first), 0);
    ws::SOCKET second = ws::socket(ws::AF_INET, ws::SOCK_DGRAM, ws::IPPROTO_UDP);
    EXPECT_NE(second, first);
    EXPECT_EQ(ws::closesocket(first), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAENOTSOCK);
    // The second socket is untouched by the stale close.
    ws::sockaddr_in any = Address("127.0.0.1", 0);
    EXPECT_EQ(ws::bind(second, Raw(any), sizeof any), 0);
    EXPECT_EQ(ws::closesocket(second), 0);
    EXPECT_EQ(ws::send(second, "x", 1, 0), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAENOTSOCK);
    ws::fd_set set{};
    set.fd_count = 1;
    set.fd_array[0] = second;
    ws::timeval zero{0, 0};
    EXPECT_EQ(ws::select(0, &set, nullptr, nullptr, &zero), ws::SOCKET_ERROR);
    set.fd_count = 1000;
    EXPECT_EQ(ws::select(0, &set, nullptr, nullptr, &zero), ws::SOCKET_ERROR);
}

TEST(Winsock, RefusedConnectShowsInTheExceptionSet) {
    uint16_t port = 0;
    ws::SOCKET listener = Listener(port);
    ws::closesocket(listener);
    ws::SOCKET client = ws::socket(ws::AF_INET, ws::SOCK_STREAM, ws::IPPROTO_TCP);
    ws::sockaddr_in to = Address("127.0.0.1", port);
    EXPECT_EQ(ws::connect(client, Raw(to), sizeof to), ws::SOCKET_ERROR);
    ASSERT_TRUE(WaitReady(client, 2));
    EXPECT_EQ(Ready(client, 1), 0);
    EXPECT_EQ(Ready(client, 2), 1);
    ws::closesocket(client);
}

TEST(Winsock, SendToAResetPeerFailsWithoutSignal) {
    // SIGPIPE would end the test program.
    uint16_t port = 0;
    ws::SOCKET listener = Listener(port);
    ws::SOCKET client = ws::socket(ws::AF_INET, ws::SOCK_STREAM, ws::IPPROTO_TCP);
    ws::sockaddr_in to = Address("127.0.0.1", port);
    ws::connect(client, Raw(to), sizeof to);
    ASSERT_TRUE(WaitReady(listener, 0));
    ws::SOCKET server = ws::accept(listener, nullptr, nullptr);
    ASSERT_NE(server, ws::INVALID_SOCKET);
    ASSERT_TRUE(WaitReady(client, 1));
    // Unread data makes the close a reset.
    EXPECT_EQ(ws::send(server, "unread", 6, 0), 6);
    ASSERT_TRUE(WaitReady(client, 0));
    ws::closesocket(client);
    int result = 0;
    for (int i = 0; i < 100 && result != ws::SOCKET_ERROR; ++i)
        result = ws::send(server, "more", 4, 0);
    EXPECT_EQ(result, ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAECONNRESET);
    ws::closesocket(server);
    ws::closesocket(listener);
}

TEST(Winsock, ListenAgainWhileOldConnectionsWait) {
    uint16_t port = 0;
    ws::SOCKET listener = Listener(port);
    ws::SOCKET client = ws::socket(ws::AF_INET, ws::SOCK_STREAM, ws::IPPROTO_TCP);
    ws::sockaddr_in to = Address("127.0.0.1", port);
    ws::connect(client, Raw(to), sizeof to);
    ASSERT_TRUE(WaitReady(listener, 0));
    ws::SOCKET server = ws::accept(listener, nullptr, nullptr);
    // The server side closes first, so its end waits in TIME_WAIT.
    ws::closesocket(server);
    ws::closesocket(listener);
    ws::closesocket(client);
    ws::SOCKET again = ws::socket(ws::AF_INET, ws::SOCK_STREAM, ws::IPPROTO_TCP);
    ws::sockaddr_in any = Address("0.0.0.0", port);
    EXPECT_EQ(ws::bind(again, Raw(any), sizeof any), 0) << ws::WSAGetLastError();
    EXPECT_EQ(ws::listen(again, 3), 0);
    ws::closesocket(again);
}

TEST(Winsock, DatagramsAndAddresses) {
    ws::SOCKET a = ws::socket(ws::AF_INET, ws::SOCK_DGRAM, ws::IPPROTO_UDP);
    ws::SOCKET b = ws::socket(ws::AF_INET, ws::SOCK_DGRAM, ws::IPPROTO_UDP);
    int one = 1;
    EXPECT_EQ(ws::setsockopt(a, ws::SOL_SOCKET, ws::SO_REUSEADDR,
                             reinterpret_cast<const char*>(&one), sizeof one),
              0);
    EXPECT_EQ(ws::setsockopt(a, ws::IPPROTO_TCP, ws::TCP_NODELAY,
                             reinterpret_cast<const char*>(&one), sizeof one),
              ws::SOCKET_ERROR);
    ws::sockaddr_in any = Address("127.0.0.1", 0);
    ASSERT_EQ(ws::bind(a, Raw(any), sizeof any), 0);
    ws::sockaddr_in bound{};
    int size = sizeof bound;
    ws::getsockname(a, reinterpret_cast<ws::sockaddr*>(&bound), &size);
    EXPECT_EQ(ws::sendto(b, "ping", 4, 0, Raw(bound), sizeof bound), 4);
    ASSERT_TRUE(WaitReady(a, 0));
    char buffer[8];
    ws::sockaddr_in from{};
    size = sizeof from;
    EXPECT_EQ(
        ws::recvfrom(a, buffer, sizeof buffer, 0, reinterpret_cast<ws::sockaddr*>(&from), &size),
        4);
    EXPECT_STREQ(ws::inet_ntoa(from.sin_addr), "127.0.0.1");
    EXPECT_EQ(ws::recvfrom(a, buffer, sizeof buffer, 0, nullptr, nullptr), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEWOULDBLOCK);
    ws::closesocket(a);
    ws::closesocket(b);

    EXPECT_EQ(ws::inet_addr("1.2.3.4"), ws::htonl(0x01020304u));
    EXPECT_EQ(ws::inet_addr("nonsense"), ws::INADDR_NONE);
    EXPECT_EQ(ws::ntohs(ws::htons(0x1234)), 0x1234);
    ws::hostent* local = ws::gethostbyname("localhost");
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(local->h_addr_list[0][0], 127);
    EXPECT_EQ(ws::gethostbyname("no-such-host.invalid"), nullptr);
    ws::WSAData data;
    EXPECT_EQ(ws::WSAStartup(0x0102, &data), 0);
    EXPECT_EQ(ws::WSACleanup(), 0);
}

TEST(Winsock, SelectAnswersForDescriptorsAbove1023) {
    // A bit-mask set would write outside itself for these.
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_cur < 1200 && limit.rlim_max >= 1200) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    if (limit.rlim_cur < 1200) GTEST_SKIP() << "skipped: needs 1200 descriptors";
    std::vector<ws::SOCKET> sockets;
    for (int i = 0; i < 1100; ++i)
        sockets.push_back(ws::socket(ws::AF_INET, ws::SOCK_DGRAM, ws::IPPROTO_UDP));
    ws::fd_set set{};
    set.fd_count = ws::kFdSetSize;
    for (int i = 0; i < ws::kFdSetSize; ++i)
        set.fd_array[i] = sockets[sockets.size() - 1 - i];
    ws::timeval zero{0, 0};
    EXPECT_EQ(ws::select(0, nullptr, &set, nullptr, &zero), ws::kFdSetSize);
    EXPECT_EQ(Ready(sockets.back(), 0), 0);
    for (ws::SOCKET s : sockets)
        EXPECT_EQ(ws::closesocket(s), 0);
}

} // namespace
