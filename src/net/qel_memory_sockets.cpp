#include "net/qel_memory_sockets.h"

#include <algorithm>
#include <cstring>

#include "platform/kernel/clock.h"

namespace {

constexpr uint32_t kLoopback = 0x0100007Fu; // 127.0.0.1 in network order

ws::sockaddr_in Address(uint16_t port) {
    ws::sockaddr_in address{};
    address.sin_family = ws::AF_INET;
    address.sin_port = ws::htons(port);
    address.sin_addr.s_addr = kLoopback;
    return address;
}

} // namespace

QelMemorySockets::Socket* QelMemorySockets::Find(ws::SOCKET s) {
    auto found = sockets_.find(s);
    if (found == sockets_.end()) {
        error_ = ws::WSAENOTSOCK;
        return nullptr;
    }
    return &found->second;
}

const QelMemorySockets::Socket* QelMemorySockets::Find(ws::SOCKET s) const {
    auto found = sockets_.find(s);
    return found == sockets_.end() ? nullptr : &found->second;
}

int QelMemorySockets::Fail(int error) {
    error_ = error;
    return ws::SOCKET_ERROR;
}

uint16_t QelMemorySockets::Ephemeral() {
    if (nextPort_ < 40000) nextPort_ = 40000;
    return nextPort_++;
}

ws::SOCKET QelMemorySockets::Open(int type, int) {
    if (type != ws::SOCK_STREAM && type != ws::SOCK_DGRAM)
        return static_cast<ws::SOCKET>(Fail(ws::WSAEINVAL));
    ws::SOCKET s = next_++;
    sockets_[s].type = type;
    return s;
}

int QelMemorySockets::SetNonBlocking(ws::SOCKET s) {
    return Find(s) ? 0 : ws::SOCKET_ERROR;
}

int QelMemorySockets::SetOption(ws::SOCKET s, int level, int name, int) {
    Socket* socket = Find(s);
    if (!socket) return ws::SOCKET_ERROR;
    if (level == ws::IPPROTO_TCP && name == ws::TCP_NODELAY && socket->type != ws::SOCK_STREAM)
        return Fail(ws::WSAENOPROTOOPT);
    return 0;
}

int QelMemorySockets::Bind(ws::SOCKET s, const ws::sockaddr_in& address) {
    Socket* socket = Find(s);
    if (!socket) return ws::SOCKET_ERROR;
    if (socket->port != 0) return Fail(ws::WSAEINVAL);
    uint16_t port = ws::ntohs(address.sin_port);
    socket->port = port != 0 ? port : Ephemeral();
    return 0;
}

int QelMemorySockets::Listen(ws::SOCKET s, int) {
    Socket* socket = Find(s);
    if (!socket) return ws::SOCKET_ERROR;
    if (socket->type != ws::SOCK_STREAM) return Fail(ws::WSAEOPNOTSUPP);
    for (const auto& [handle, other] : sockets_)
        if (handle != s && other.state == State::Listening && other.port == socket->port)
            return Fail(ws::WSAEADDRINUSE);
    if (socket->port == 0) socket->port = Ephemeral();
    socket->state = State::Listening;
    return 0;
}

ws::SOCKET QelMemorySockets::Accept(ws::SOCKET s, ws::sockaddr_in& peer) {
    Socket* socket = Find(s);
    if (!socket) return ws::INVALID_SOCKET;
    if (socket->state != State::Listening) return static_cast<ws::SOCKET>(Fail(ws::WSAEINVAL));
    if (socket->backlog.empty()) return static_cast<ws::SOCKET>(Fail(ws::WSAEWOULDBLOCK));
    ws::SOCKET accepted = socket->backlog.front();
    socket->backlog.pop_front();
    Socket& end = sockets_[accepted];
    Socket* client = Find(end.peer);
    peer = Address(client != nullptr ? client->port : 0);
    return accepted;
}

int QelMemorySockets::Connect(ws::SOCKET s, const ws::sockaddr_in& address) {
    Socket* socket = Find(s);
    if (!socket) return ws::SOCKET_ERROR;
    if (socket->type != ws::SOCK_STREAM || socket->state != State::Idle) return Fail(ws::WSAEINVAL);
    uint16_t port = ws::ntohs(address.sin_port);
    auto listener = std::find_if(sockets_.begin(), sockets_.end(), [&](const auto& entry) {
        return entry.second.state == State::Listening && entry.second.port == port;
    });
    if (listener == sockets_.end() || address.sin_addr.s_addr != kLoopback) {
        socket->state = State::Failed;
        return Fail(ws::WSAECONNREFUSED);
    }
    if (socket->port == 0) socket->port = Ephemeral();
    ws::SOCKET server = next_++;
    listener->second.backlog.push_back(server);
    Socket& end = sockets_[server];
    end.type = ws::SOCK_STREAM;
    end.state = State::Connected;
    end.port = port;
    end.peer = s;
    socket = Find(s);
    socket->state = State::Connected;
    socket->peer = server;
    return 0;
}

int QelMemorySockets::Send(ws::SOCKET s, const char* data, int n) {
    Socket* socket = Find(s);
    if (!socket) return ws::SOCKET_ERROR;
    if (socket->state != State::Connected) return Fail(ws::WSAENOTCONN);
    if (n < 0) return Fail(ws::WSAEFAULT);
    Socket* peer = socket->peerGone ? nullptr : Find(socket->peer);
    if (peer == nullptr) return Fail(ws::WSAECONNRESET);
    size_t count = static_cast<size_t>(n);
    if (socket->sendLimit != 0) count = std::min(count, socket->sendLimit);
    peer->stream.insert(peer->stream.end(), data, data + count);
    return static_cast<int>(count);
}

int QelMemorySockets::Receive(ws::SOCKET s, char* buffer, int n, int flags) {
    Socket* socket = Find(s);
    if (!socket) return ws::SOCKET_ERROR;
    if (socket->state != State::Connected) return Fail(ws::WSAENOTCONN);
    if (n < 0) return Fail(ws::WSAEFAULT);
    if (socket->stream.empty()) return socket->peerGone ? 0 : Fail(ws::WSAEWOULDBLOCK);
    size_t count = std::min(static_cast<size_t>(n), socket->stream.size());
    std::copy_n(socket->stream.begin(), count, buffer);
    if ((flags & ws::MSG_PEEK) == 0)
        socket->stream.erase(socket->stream.begin(), socket->stream.begin() + count);
    return static_cast<int>(count);
}

int QelMemorySockets::SendTo(ws::SOCKET s, const char* data, int n, const ws::sockaddr_in& to) {
    Socket* socket = Find(s);
    if (!socket) return ws::SOCKET_ERROR;
    if (socket->type != ws::SOCK_DGRAM || n < 0) return Fail(ws::WSAEINVAL);
    if (n > 65507) return Fail(ws::WSAEMSGSIZE);
    if (socket->port == 0) socket->port = Ephemeral();
    uint16_t port = ws::ntohs(to.sin_port);
    for (auto& [handle, other] : sockets_)
        if (handle != s && other.type == ws::SOCK_DGRAM && other.port == port)
            other.datagrams.push_back({socket->port, std::vector<char>(data, data + n)});
    return n;
}

int QelMemorySockets::ReceiveFrom(ws::SOCKET s, char* buffer, int n, ws::sockaddr_in& from) {
    Socket* socket = Find(s);
    if (!socket) return ws::SOCKET_ERROR;
    if (socket->datagrams.empty() || n < 0) return Fail(ws::WSAEWOULDBLOCK);
    Datagram datagram = std::move(socket->datagrams.front());
    socket->datagrams.pop_front();
    size_t count = std::min(static_cast<size_t>(n), datagram.bytes.size());
    std::copy_n(datagram.bytes.begin(), count, buffer);
    from = Address(datagram.fromPort);
    return static_cast<int>(count);
}

int QelMemorySockets::Select(ws::SOCKET s, QelReadiness readiness) {
    Socket* socket = Find(s);
    if (!socket) return ws::SOCKET_ERROR;
    switch (readiness) {
    case QelReadiness::Read:
        if (socket->type == ws::SOCK_DGRAM) return socket->datagrams.empty() ? 0 : 1;
        if (socket->state == State::Listening) return socket->backlog.empty() ? 0 : 1;
        return socket->state == State::Connected && (!socket->stream.empty() || socket->peerGone);
    case QelReadiness::Write:
        return socket->type == ws::SOCK_DGRAM || socket->state == State::Connected;
    case QelReadiness::Exception:
        return socket->state == State::Failed ? 1 : 0;
    }
    return 0;
}

int QelMemorySockets::Wait(ws::SOCKET s, QelReadiness readiness, uint32_t milliseconds) {
    int ready = Select(s, readiness);
    if (ready == 0) ready = Select(s, QelReadiness::Exception);
    if (ready != 0) return ready;
    Sleep(milliseconds);
    return 0;
}

int QelMemorySockets::WaitWithMessages(ws::WSAPOLLFD* sockets, uint32_t count,
                                       uint32_t milliseconds) {
    int ready = 0;
    for (uint32_t i = 0; i < count; ++i) {
        ws::WSAPOLLFD& entry = sockets[i];
        entry.revents = 0;
        if (Find(entry.fd) == nullptr) {
            entry.revents = ws::kPollInvalid;
        } else {
            if ((entry.events & ws::kPollRead) && Select(entry.fd, QelReadiness::Read) > 0)
                entry.revents |= ws::kPollRead;
            if ((entry.events & ws::kPollWrite) && Select(entry.fd, QelReadiness::Write) > 0)
                entry.revents |= ws::kPollWrite;
            if (Select(entry.fd, QelReadiness::Exception) > 0) entry.revents |= ws::kPollError;
        }
        if (entry.revents != 0) ++ready;
    }
    if (ready == 0) Sleep(milliseconds);
    return ready;
}

int QelMemorySockets::Close(ws::SOCKET s) {
    Socket* socket = Find(s);
    if (!socket) return ws::SOCKET_ERROR;
    if (Socket* peer = Find(socket->peer)) peer->peerGone = true;
    for (ws::SOCKET waiting : socket->backlog)
        if (Socket* end = Find(waiting)) {
            if (Socket* client = Find(end->peer)) client->peerGone = true;
            sockets_.erase(waiting);
        }
    sockets_.erase(s);
    return 0;
}

int QelMemorySockets::LocalAddress(ws::SOCKET s, ws::sockaddr_in& address) {
    Socket* socket = Find(s);
    if (!socket) return ws::SOCKET_ERROR;
    address = Address(socket->port);
    return 0;
}

int QelMemorySockets::PeerAddress(ws::SOCKET s, ws::sockaddr_in& address) {
    Socket* socket = Find(s);
    if (!socket) return ws::SOCKET_ERROR;
    Socket* peer = Find(socket->peer);
    if (peer == nullptr) return Fail(ws::WSAENOTCONN);
    address = Address(peer->port);
    return 0;
}

uint32_t QelMemorySockets::LookUpHost(const char* name) {
    if (name != nullptr && std::strcmp(name, "localhost") == 0) return kLoopback;
    return 0;
}

void QelMemorySockets::SetSendLimit(ws::SOCKET s, size_t limit) {
    if (Socket* socket = Find(s)) socket->sendLimit = limit;
}

size_t QelMemorySockets::Pending(ws::SOCKET s) const {
    const Socket* socket = Find(s);
    return socket != nullptr ? socket->stream.size() : 0;
}
