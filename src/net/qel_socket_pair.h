// One TCP and one UDP socket of a player, server, connection or raw socket. Nothing here
// waits: readiness is a select with a zero time-out. No operation raises; every failure is
// a result of -1 or 0.
#pragma once

#include <cstdint>
#include <string>

#include "net/qel_object.h"
#include "net/qel_socket_system.h"

// Dotted address texts are at most 15 characters.
inline constexpr int kQelAddressTextSize = 17;

struct QelNetSocket {
    ws::SOCKET handle = ws::INVALID_SOCKET;
    ws::sockaddr_in address{};
    int32_t port = 0;
};

class QelSocketPair : public QelObject {
public:
    explicit QelSocketPair(QelSocketSystem& sockets) : sockets_(sockets) {}
    // Closes both sockets again: a socket that Close already closed answers WSAENOTSOCK,
    // its handle never being reused.
    ~QelSocketPair() override;

    int Connect(const char* hostText, int32_t port);
    int Listen(int32_t port);
    int BindDatagram(int32_t port);
    int Accept(QelSocketPair& other);
    int Send(const void* data, int n);
    int Receive(void* buffer, int n);
    // To hostText at the UDP socket's own port.
    int SendTo(const void* data, int n, const char* hostText);
    int ReceiveFrom(void* buffer, int n, ws::sockaddr_in& from);
    int IsReadable();
    // Whether a connect has completed: writable, and not closed by the peer.
    int IsConnected();
    // Whether an established connection still lives: only a socket error or the peer's
    // close ends it. A full send buffer is back-pressure, not death.
    int IsAlive();
    int HasData();
    int HasException();
    int Close();
    int GetLocalAddressText(std::string& text);
    int GetPeerAddressText(std::string& text);

    // An IPv4 address in network order: empty text INADDR_ANY, a dotted text, the
    // broadcast text, else a name lookup (0 when it finds nothing).
    uint32_t ResolveHost(const char* hostText);

    QelNetSocket tcp;
    QelNetSocket udp;
    QelSocketSystem& Sockets() { return sockets_; }

private:
    int Select(const QelNetSocket& socket, QelReadiness readiness);
    QelSocketSystem& sockets_;
};

// The dotted text of an address in network order.
std::string QelAddressText(uint32_t address);
