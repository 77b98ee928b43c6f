// An in-memory network behind the socket interface, for tests and fuzz targets: streams
// between a connecting socket and a listener of the same object, datagrams between bound
// sockets, every address 127.0.0.1. Nothing waits and nothing is lost, so a peer's bytes
// can be fed in any chunks. One thread only; a wait only sleeps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

#include "net/qel_socket_system.h"

class QelMemorySockets final : public QelSocketSystem {
public:
    int Startup() override { return 0; }
    int Cleanup() override { return 0; }
    ws::SOCKET Open(int type, int protocol) override;
    int SetNonBlocking(ws::SOCKET s) override;
    int SetOption(ws::SOCKET s, int level, int name, int value) override;
    int Bind(ws::SOCKET s, const ws::sockaddr_in& address) override;
    int Listen(ws::SOCKET s, int backlog) override;
    ws::SOCKET Accept(ws::SOCKET s, ws::sockaddr_in& peer) override;
    int Connect(ws::SOCKET s, const ws::sockaddr_in& address) override;
    int Send(ws::SOCKET s, const char* data, int n) override;
    int Receive(ws::SOCKET s, char* buffer, int n, int flags) override;
    int SendTo(ws::SOCKET s, const char* data, int n, const ws::sockaddr_in& to) override;
    int ReceiveFrom(ws::SOCKET s, char* buffer, int n, ws::sockaddr_in& from) override;
    int Select(ws::SOCKET s, QelReadiness readiness) override;
    // Nobody can send meanwhile, so a socket that is not ready now only lets the time
    // pass: Sleep, which moves the test clock on when it is frozen.
    int Wait(ws::SOCKET s, QelReadiness readiness, uint32_t milliseconds) override;
    // The ready sockets at once; when none is, the time passes as in Wait. Messages are
    // not looked at.
    int WaitWithMessages(ws::WSAPOLLFD* sockets, uint32_t count, uint32_t milliseconds) override;
    int Close(ws::SOCKET s) override;
    int LocalAddress(ws::SOCKET s, ws::sockaddr_in& address) override;
    int PeerAddress(ws::SOCKET s, ws::sockaddr_in& address) override;
    // "localhost" and dotted texts only.
    uint32_t LookUpHost(const char* name) override;
    int LastError() override { return error_; }

    // Each send on the socket takes at most this many bytes (0: no limit), so tests can
    // make partial sends.
    void SetSendLimit(ws::SOCKET s, size_t limit);
    // Bytes waiting to be received on a stream socket.
    size_t Pending(ws::SOCKET s) const;

private:
    enum class State { Idle, Listening, Connected, Failed };
    struct Datagram {
        uint16_t fromPort;
        std::vector<char> bytes;
    };
    struct Socket {
        int type = 0;
        State state = State::Idle;
        uint16_t port = 0; // host order; 0 until bound
        ws::SOCKET peer = ws::INVALID_SOCKET;
        bool peerGone = false;
        size_t sendLimit = 0;
        std::deque<char> stream;
        std::deque<ws::SOCKET> backlog;
        std::deque<Datagram> datagrams;
    };

    Socket* Find(ws::SOCKET s);
    const Socket* Find(ws::SOCKET s) const;
    int Fail(int error);
    uint16_t Ephemeral();

    std::map<ws::SOCKET, Socket> sockets_;
    ws::SOCKET next_ = 1;
    uint16_t nextPort_ = 40000;
    int error_ = 0;
};
