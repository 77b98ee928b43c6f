#include "net/qel_socket_system.h"

#include <cstring>

namespace {

class NetworkSockets final : public QelSocketSystem {
public:
    int Startup() override {
        ws::WSAData data;
        return ws::WSAStartup(0x0102, &data);
    }
    int Cleanup() override { return ws::WSACleanup(); }
    ws::SOCKET Open(int type, int protocol) override {
        return ws::socket(ws::AF_INET, type, protocol);
    }
    int SetNonBlocking(ws::SOCKET s) override {
        ws::u_long on = 1;
        return ws::ioctlsocket(s, ws::FIONBIO, &on);
    }
    int SetOption(ws::SOCKET s, int level, int name, int value) override {
        return ws::setsockopt(s, level, name, reinterpret_cast<const char*>(&value), sizeof value);
    }
    int Bind(ws::SOCKET s, const ws::sockaddr_in& address) override {
        return ws::bind(s, reinterpret_cast<const ws::sockaddr*>(&address), sizeof address);
    }
    int Listen(ws::SOCKET s, int backlog) override { return ws::listen(s, backlog); }
    ws::SOCKET Accept(ws::SOCKET s, ws::sockaddr_in& peer) override {
        int size = sizeof peer;
        return ws::accept(s, reinterpret_cast<ws::sockaddr*>(&peer), &size);
    }
    int Connect(ws::SOCKET s, const ws::sockaddr_in& address) override {
        return ws::connect(s, reinterpret_cast<const ws::sockaddr*>(&address), sizeof address);
    }
    int Send(ws::SOCKET s, const char* data, int n) override { return ws::send(s, data, n, 0); }
    int Receive(ws::SOCKET s, char* buffer, int n, int flags) override {
        return ws::recv(s, buffer, n, flags);
    }
    int SendTo(ws::SOCKET s, const char* data, int n, const ws::sockaddr_in& to) override {
        return ws::sendto(s, data, n, 0, reinterpret_cast<const ws::sockaddr*>(&to), sizeof to);
    }
    int ReceiveFrom(ws::SOCKET s, char* buffer, int n, ws::sockaddr_in& from) override {
        int size = sizeof from;
        return ws::recvfrom(s, buffer, n, 0, reinterpret_cast<ws::sockaddr*>(&from), &size);
    }
    int Select(ws::SOCKET s, QelReadiness readiness) override {
        ws::fd_set set{};
        set.fd_count = 1;
        set.fd_array[0] = s;
        ws::timeval zero{0, 0};
        return ws::select(0, readiness == QelReadiness::Read ? &set : nullptr,
                          readiness == QelReadiness::Write ? &set : nullptr,
                          readiness == QelReadiness::Exception ? &set : nullptr, &zero);
    }
    int Wait(ws::SOCKET s, QelReadiness readiness, uint32_t milliseconds) override {
        ws::fd_set ready{};
        ready.fd_count = 1;
        ready.fd_array[0] = s;
        ws::fd_set failed = ready;
        ws::timeval limit{static_cast<long>(milliseconds / 1000),
                          static_cast<long>(milliseconds % 1000) * 1000};
        bool read = readiness == QelReadiness::Read;
        int result =
            ws::select(0, read ? &ready : nullptr, read ? nullptr : &ready, &failed, &limit);
        return result > 0 ? 1 : result;
    }
    int WaitWithMessages(ws::WSAPOLLFD* sockets, uint32_t count, uint32_t milliseconds) override {
        int ready = ws::MsgWaitForSockets(sockets, count, milliseconds);
        return ready > 0 ? ready : 0;
    }
    int Close(ws::SOCKET s) override { return ws::closesocket(s); }
    int LocalAddress(ws::SOCKET s, ws::sockaddr_in& address) override {
        int size = sizeof address;
        return ws::getsockname(s, reinterpret_cast<ws::sockaddr*>(&address), &size);
    }
    int PeerAddress(ws::SOCKET s, ws::sockaddr_in& address) override {
        int size = sizeof address;
        return ws::getpeername(s, reinterpret_cast<ws::sockaddr*>(&address), &size);
    }
    uint32_t LookUpHost(const char* name) override {
        ws::hostent* entry = ws::gethostbyname(name);
        if (entry == nullptr || entry->h_addr_list == nullptr || entry->h_addr_list[0] == nullptr)
            return 0;
        ws::u_long address;
        static_assert(sizeof address == 4);
        std::memcpy(&address, entry->h_addr_list[0], sizeof address);
        return address;
    }
    int LastError() override { return ws::WSAGetLastError(); }
};

} // namespace

QelSocketSystem& QelNetworkSockets() {
    static NetworkSockets sockets;
    return sockets;
}
