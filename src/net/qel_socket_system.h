// The socket calls the Qel library makes, behind an interface: the network's WinSock calls
// in the player, an in-memory network (qel_memory_sockets.h) in tests and fuzz targets.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/net/winsock.h"

namespace ws = platform::winsock;

enum class QelReadiness { Read, Write, Exception };

// What the next poll of a root has work for: the sockets whose readiness would bring it
// some, and whether some already waits in a peer's buffer.
struct QelWaits {
    std::vector<ws::WSAPOLLFD> sockets;
    bool inputWaiting = false;

    void Add(ws::SOCKET socket, int16_t events) {
        if (socket != ws::INVALID_SOCKET) sockets.push_back({socket, events, 0});
    }
};

class QelSocketSystem {
public:
    virtual ~QelSocketSystem() = default;

    virtual int Startup() = 0;
    virtual int Cleanup() = 0;
    // socket(AF_INET, type, protocol).
    virtual ws::SOCKET Open(int type, int protocol) = 0;
    virtual int SetNonBlocking(ws::SOCKET s) = 0;
    virtual int SetOption(ws::SOCKET s, int level, int name, int value) = 0;
    virtual int Bind(ws::SOCKET s, const ws::sockaddr_in& address) = 0;
    virtual int Listen(ws::SOCKET s, int backlog) = 0;
    virtual ws::SOCKET Accept(ws::SOCKET s, ws::sockaddr_in& peer) = 0;
    virtual int Connect(ws::SOCKET s, const ws::sockaddr_in& address) = 0;
    virtual int Send(ws::SOCKET s, const char* data, int n) = 0;
    // flags: 0 or ws::MSG_PEEK.
    virtual int Receive(ws::SOCKET s, char* buffer, int n, int flags) = 0;
    virtual int SendTo(ws::SOCKET s, const char* data, int n, const ws::sockaddr_in& to) = 0;
    virtual int ReceiveFrom(ws::SOCKET s, char* buffer, int n, ws::sockaddr_in& from) = 0;
    // select on one socket with a zero time-out: 1 ready, 0 not, -1 failed.
    virtual int Select(ws::SOCKET s, QelReadiness readiness) = 0;
    // Waits up to `milliseconds` until the socket is ready for reading or writing, or
    // reports an exception: 1 then, 0 when the time passed, -1 failed. Only a raw socket
    // in blocking mode waits.
    virtual int Wait(ws::SOCKET s, QelReadiness readiness, uint32_t milliseconds) = 0;
    // Waits up to `milliseconds` until one of the sockets is ready as asked (the peer's
    // close reads as readable, an error as anything) or a message comes for the calling
    // thread: the count of ready sockets with their revents set, 0 when a message came or
    // the time passed.
    virtual int WaitWithMessages(ws::WSAPOLLFD* sockets, uint32_t count, uint32_t milliseconds) = 0;
    virtual int Close(ws::SOCKET s) = 0;
    virtual int LocalAddress(ws::SOCKET s, ws::sockaddr_in& address) = 0;
    virtual int PeerAddress(ws::SOCKET s, ws::sockaddr_in& address) = 0;
    // The first IPv4 address of a host name in network order, 0 when there is none.
    virtual uint32_t LookUpHost(const char* name) = 0;
    virtual int LastError() = 0;
};

// The process's sockets over the platform's WinSock calls.
QelSocketSystem& QelNetworkSockets();
