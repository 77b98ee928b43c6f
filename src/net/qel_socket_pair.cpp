#include "net/qel_socket_pair.h"

#include <cstring>

namespace {

// The system cuts a backlog to its own maximum, so that a burst of clients waits there
// for the next poll rather than for the retransmission of its connect.
constexpr int kListenBacklog = 0x7FFFFFFF;

ws::sockaddr_in Address(uint32_t host, int32_t port) {
    ws::sockaddr_in address{};
    address.sin_family = ws::AF_INET;
    address.sin_port = ws::htons(static_cast<ws::u_short>(port));
    address.sin_addr.s_addr = host;
    return address;
}

} // namespace

std::string QelAddressText(uint32_t address) {
    ws::in_addr in{address};
    return ws::inet_ntoa(in);
}

QelSocketPair::~QelSocketPair() {
    Close();
}

uint32_t QelSocketPair::ResolveHost(const char* hostText) {
    if (hostText == nullptr || hostText[0] == '\0') return ws::INADDR_ANY;
    ws::u_long address = ws::inet_addr(hostText);
    if (address != ws::INADDR_NONE) return address;
    if (std::strcmp(hostText, "255.255.255.255") == 0) return ws::INADDR_NONE;
    return sockets_.LookUpHost(hostText);
}

int QelSocketPair::Connect(const char* hostText, int32_t port) {
    tcp.handle = sockets_.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
    tcp.address = Address(ResolveHost(hostText), port);
    int result = 1;
    if (sockets_.SetNonBlocking(tcp.handle) == ws::SOCKET_ERROR) result = -1;
    sockets_.SetOption(tcp.handle, ws::IPPROTO_TCP, ws::TCP_NODELAY, 1);
    if (sockets_.Connect(tcp.handle, tcp.address) == ws::SOCKET_ERROR) result = -1;
    tcp.port = port;
    return result;
}

int QelSocketPair::Listen(int32_t port) {
    tcp.handle = sockets_.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
    sockets_.SetNonBlocking(tcp.handle);
    tcp.address = Address(ws::INADDR_ANY, port);
    if (sockets_.Bind(tcp.handle, tcp.address) == ws::SOCKET_ERROR) return -1;
    if (sockets_.Listen(tcp.handle, kListenBacklog) == ws::SOCKET_ERROR) return -1;
    ws::sockaddr_in bound{};
    if (sockets_.LocalAddress(tcp.handle, bound) == 0) tcp.port = ws::ntohs(bound.sin_port);
    return 1;
}

int QelSocketPair::BindDatagram(int32_t port) {
    udp.handle = sockets_.Open(ws::SOCK_DGRAM, ws::IPPROTO_UDP);
    // TCP_NODELAY means nothing on a datagram socket; the platform refuses it, harmlessly.
    sockets_.SetOption(udp.handle, ws::SOL_SOCKET, ws::SO_REUSEADDR, 1);
    udp.address = Address(ws::INADDR_ANY, port);
    if (sockets_.Bind(udp.handle, udp.address) == ws::SOCKET_ERROR) return -1;
    if (sockets_.SetNonBlocking(udp.handle) == ws::SOCKET_ERROR) return -1;
    ws::sockaddr_in bound{};
    if (sockets_.LocalAddress(udp.handle, bound) == 0) udp.port = ws::ntohs(bound.sin_port);
    return 1;
}

int QelSocketPair::Accept(QelSocketPair& other) {
    ws::sockaddr_in peer{};
    ws::SOCKET accepted = sockets_.Accept(tcp.handle, peer);
    if (accepted == ws::INVALID_SOCKET) return 0;
    other.tcp.handle = accepted;
    other.tcp.address = peer;
    sockets_.SetNonBlocking(accepted);
    // Without it, a reply of several messages waits for the peer's delayed
    // acknowledgement after its first one.
    sockets_.SetOption(accepted, ws::IPPROTO_TCP, ws::TCP_NODELAY, 1);
    other.tcp.port = tcp.port;
    return 1;
}

int QelSocketPair::Send(const void* data, int n) {
    return sockets_.Send(tcp.handle, static_cast<const char*>(data), n);
}

int QelSocketPair::Receive(void* buffer, int n) {
    int got = sockets_.Receive(tcp.handle, static_cast<char*>(buffer), n, 0);
    if (got >= 0) return got;
    return sockets_.LastError() == ws::WSAEWOULDBLOCK ? 0 : -1;
}

int QelSocketPair::SendTo(const void* data, int n, const char* hostText) {
    return sockets_.SendTo(udp.handle, static_cast<const char*>(data), n,
                           Address(ResolveHost(hostText), udp.port));
}

int QelSocketPair::ReceiveFrom(void* buffer, int n, ws::sockaddr_in& from) {
    if (udp.handle == ws::INVALID_SOCKET) return 0;
    int got = sockets_.ReceiveFrom(udp.handle, static_cast<char*>(buffer), n, from);
    if (got < 0) return sockets_.LastError() == ws::WSAEWOULDBLOCK ? 0 : -1;
    return got;
}

int QelSocketPair::Select(const QelNetSocket& socket, QelReadiness readiness) {
    if (socket.handle == ws::INVALID_SOCKET) return 0;
    return sockets_.Select(socket.handle, readiness) > 0 ? 1 : 0;
}

int QelSocketPair::IsReadable() {
    return Select(tcp, QelReadiness::Read);
}

int QelSocketPair::IsConnected() {
    if (!Select(tcp, QelReadiness::Write)) return 0;
    return IsAlive();
}

int QelSocketPair::IsAlive() {
    if (tcp.handle == ws::INVALID_SOCKET) return 0;
    char peek[2];
    int got = sockets_.Receive(tcp.handle, peek, sizeof peek, ws::MSG_PEEK);
    if (got > 0) return 1;
    if (got < 0 && sockets_.LastError() == ws::WSAEWOULDBLOCK) return 1;
    return 0;
}

int QelSocketPair::HasData() {
    char peek[2];
    return sockets_.Receive(tcp.handle, peek, sizeof peek, ws::MSG_PEEK) > 0 ? 1 : 0;
}

int QelSocketPair::HasException() {
    return Select(tcp, QelReadiness::Exception) || Select(udp, QelReadiness::Exception) ? 1 : 0;
}

int QelSocketPair::Close() {
    int result = 1;
    if (tcp.handle != ws::INVALID_SOCKET && sockets_.Close(tcp.handle) == ws::SOCKET_ERROR)
        result = -1;
    if (udp.handle != ws::INVALID_SOCKET && sockets_.Close(udp.handle) == ws::SOCKET_ERROR)
        result = -1;
    return result;
}

int QelSocketPair::GetLocalAddressText(std::string& text) {
    ws::sockaddr_in address{};
    if (sockets_.LocalAddress(tcp.handle, address) != 0) return 0;
    text = QelAddressText(address.sin_addr.s_addr);
    return 1;
}

int QelSocketPair::GetPeerAddressText(std::string& text) {
    ws::sockaddr_in address{};
    if (sockets_.PeerAddress(tcp.handle, address) != 0) return 0;
    text = QelAddressText(address.sin_addr.s_addr);
    return 1;
}
