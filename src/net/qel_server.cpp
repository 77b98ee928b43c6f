#include "net/qel_server.h"

#include <algorithm>

#include "net/qel_api.h"
#include "net/qel_player.h"
#include "net/qel_protocol.h"
#include "platform/kernel/clock.h"

QelServer::QelServer(QelHost& host, int32_t port)
    : root(host.root), host(host), pair(host.root.Sockets()), port_(port) {
    if (pair.Listen(port) == 1) pair.GetLocalAddressText(localAddress_);
    pair.BindDatagram(port + 1);
    host.servers_.push_back(this);
    QelAPI::Register(this);
}

QelServer::~QelServer() {
    auto& servers = host.servers_;
    servers.erase(std::remove(servers.begin(), servers.end(), this), servers.end());
    for (auto [session, serial] : QelSnapshot(sessions_))
        if (QelAPI::IsLive(session, serial)) delete session;
    sessions_.clear();
    for (auto [connection, serial] : QelSnapshot(connections_))
        if (QelAPI::IsLive(connection, serial)) delete connection;
    connections_.clear();
    QelAPI::Unregister(this);
    pair.Close();
}

int QelServer::Poll() {
    uint64_t serial = Serial();
    AcceptWaiting();
    uint8_t area[kQelReceiveSize];
    for (int taken = 0; taken < kQelDatagramsPerPoll; ++taken) {
        ws::sockaddr_in from{};
        int got = pair.ReceiveFrom(area, sizeof area, from);
        if (got < 1) break;
        stats.RecordIn(got);
        host.stats.RecordIn(got);
        std::string_view datagram(reinterpret_cast<const char*>(area), static_cast<size_t>(got));
        QelConnection* sender = FindSender(datagram, from);
        if (sender == nullptr || root.IsBacklogged(*sender)) {
            ++stats.droppedDatagrams;
            continue;
        }
        QelAPI::InputScope input(root, *sender);
        if (!HandleDatagram(datagram)) return 0;
        if (!QelAPI::IsLive(this, serial)) return 0;
    }
    return 1;
}

void QelServer::CollectWaits(QelWaits& waits) {
    // A pause for descriptors ends in its own time.
    if (!acceptPaused_) waits.Add(pair.tcp.handle, ws::kPollRead);
    waits.Add(pair.udp.handle, ws::kPollRead);
    for (QelConnection* connection : connections_)
        connection->CollectWaits(waits);
}

QelConnection* QelServer::FindSender(std::string_view datagram, const ws::sockaddr_in& from) const {
    QelPacket packet;
    packet.Set(datagram.data(), static_cast<int64_t>(datagram.size()));
    uint32_t id = packet.GetU8(0) == kQelText           ? packet.GetU32(7)
                  : packet.GetU8(0) == kQelTextToServer ? packet.GetU32(3)
                                                        : 0;
    QelConnection* connection = id != 0 ? FindConnection(id) : nullptr;
    // A player sends its datagrams from the address of its TCP connection, at the
    // datagram port it shares with the server.
    if (connection == nullptr ||
        from.sin_addr.s_addr != connection->pair->tcp.address.sin_addr.s_addr ||
        ws::ntohs(from.sin_port) != pair.udp.port)
        return nullptr;
    return connection;
}

void QelServer::AcceptWaiting() {
    if (acceptPaused_ && timeGetTime() - acceptPausedAt_ < kQelAcceptPause) return;
    acceptPaused_ = false;
    for (;;) {
        auto accepted = std::make_unique<QelSocketPair>(root.Sockets());
        if (!pair.Accept(*accepted)) {
            int error = root.Sockets().LastError();
            if (error == ws::WSAEMFILE || error == ws::WSAENOBUFS) {
                acceptPaused_ = true;
                acceptPausedAt_ = timeGetTime();
            }
            return;
        }
        new QelConnection(*this, std::move(accepted));
    }
}

bool QelServer::HandleDatagram(std::string_view datagram) {
    QelPacket packet;
    packet.Set(datagram.data(), static_cast<int64_t>(datagram.size()));
    switch (packet.GetU8(0)) {
    case kQelText:
        return HandleRelay(packet);
    case kQelTextToServer:
        return HandleServerText(packet);
    default:
        return true;
    }
}

bool QelServer::HandleRelay(const QelPacket& datagram) {
    if (datagram.GetLength() < kQelRelayHeader) return true;
    uint16_t code = datagram.GetU16(1);
    uint32_t sessionId = datagram.GetU32(3);
    uint32_t sender = datagram.GetU32(7);
    uint32_t target = datagram.GetU32(11);
    std::string payload = *datagram.CopyText(kQelRelayHeader, datagram.GetLength());
    uint64_t serial = Serial();
    if (target != 0) {
        // Only a player of this process is handed a targeted datagram; the server never
        // forwards one over the network.
        if (QelPlayer* player = host.FindPlayer(target))
            player->HandleDatagram(
                std::string_view(reinterpret_cast<const char*>(datagram.GetData()),
                                 static_cast<size_t>(datagram.GetLength())));
        return QelAPI::IsLive(this, serial);
    }
    QelSession* session = FindSession(sessionId);
    if (session == nullptr) return true;
    uint64_t sessionSerial = session->Serial();
    std::vector<uint32_t> members;
    for (size_t i = 0; i < session->GetMemberCount(); ++i)
        members.push_back(session->GetMember(i)->GetId());
    QelPacket relay;
    for (uint32_t id : members) {
        if (id == sender) continue;
        if (!QelAPI::IsLive(session, sessionSerial)) break;
        QelConnection* member = session->FindMember(id);
        if (member == nullptr) continue;
        QelPutRelay(relay, code, sessionId, sender, id, payload);
        Deliver(*member, relay);
        if (!QelAPI::IsLive(this, serial)) return false;
    }
    return QelAPI::IsLive(this, serial);
}

bool QelServer::HandleServerText(const QelPacket& datagram) {
    if (datagram.GetLength() < kQelServerTextHeader) return true;
    uint16_t code = datagram.GetU16(1);
    uint32_t sender = datagram.GetU32(3);
    std::string payload = *datagram.CopyText(kQelServerTextHeader, datagram.GetLength());
    uint64_t serial = Serial();
    for (auto [connection, connectionSerial] : QelSnapshot(connections_)) {
        if (!QelAPI::IsLive(connection, connectionSerial) || connection->GetId() != sender)
            continue;
        root.FireEvent(kQelEventServerText, connection, nullptr, payload, code);
        if (!QelAPI::IsLive(this, serial)) return false;
    }
    return true;
}

void QelServer::Deliver(QelConnection& connection, const QelPacket& datagram) {
    std::string_view bytes(reinterpret_cast<const char*>(datagram.GetData()),
                           static_cast<size_t>(datagram.GetLength()));
    if (QelPlayer* player = host.FindPlayer(connection.GetId())) {
        player->HandleDatagram(bytes);
        return;
    }
    int sent = pair.SendTo(bytes.data(), static_cast<int>(bytes.size()),
                           connection.GetAddressText().c_str());
    if (sent > 0) connection.RecordOut(sent);
}

void QelServer::SendText(std::string_view text, uint16_t code) {
    QelPacket message;
    QelPutText(message, code, 0, 0, text);
    for (QelConnection* connection : connections_)
        connection->Queue(message);
}

void QelServer::BlastText(std::string_view text, uint16_t code) {
    uint64_t serial = Serial();
    QelPacket datagram;
    for (auto [connection, connectionSerial] : QelSnapshot(connections_)) {
        if (!QelAPI::IsLive(this, serial)) return;
        if (!QelAPI::IsLive(connection, connectionSerial)) continue;
        QelPutRelay(datagram, code, 0, 0, connection->GetId(), text);
        Deliver(*connection, datagram);
    }
}

QelConnection* QelServer::GetConnection(size_t index) const {
    return index < connections_.size() ? connections_[index] : nullptr;
}

QelSession* QelServer::GetSession(size_t index) const {
    return index < sessions_.size() ? sessions_[index] : nullptr;
}

QelConnection* QelServer::FindConnection(uint32_t id) const {
    for (QelConnection* connection : connections_)
        if (connection->GetId() == id) return connection;
    return nullptr;
}

QelSession* QelServer::FindSession(uint32_t id) const {
    for (QelSession* session : sessions_)
        if (session->GetId() == id) return session;
    return nullptr;
}

QelSession* QelServer::FindSessionByName(std::string_view name) const {
    for (QelSession* session : sessions_)
        if (session->GetName() == name) return session;
    return nullptr;
}

bool QelServer::IsValid() const {
    return QelAPI::IsLive(this);
}
