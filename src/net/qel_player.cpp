#include "net/qel_player.h"

#include <algorithm>

#include "net/qel_api.h"
#include "net/qel_protocol.h"
#include "net/qel_server.h"
#include "net/qel_stream.h"

namespace {

std::string_view Bytes(const QelPacket& packet) {
    return {reinterpret_cast<const char*>(packet.GetData()),
            static_cast<size_t>(packet.GetLength())};
}

} // namespace

QelPlayer::QelPlayer(QelHost& host, const char* hostText, int32_t port, std::string_view name)
    : root(host.root), host(host), pair(host.root.Sockets()), name_(name), port_(port) {
    pair.BindDatagram(port + 1);
    pair.Connect(hostText, port);
    host.players_.push_back(this);
    QelAPI::Register(this);
}

QelPlayer::~QelPlayer() {
    root.FireEvent(kQelEventPlayerDestroyed, this);
    if (QelAPI::IsLive(this)) {
        auto& players = host.players_;
        players.erase(std::remove(players.begin(), players.end(), this), players.end());
        QelAPI::Unregister(this);
        for (auto [channel, serial] : QelSnapshot(channels_))
            if (QelAPI::IsLive(channel, serial)) delete channel;
        channels_.clear();
    }
    pair.Close();
}

int QelPlayer::Poll() {
    uint64_t serial = Serial();
    QelAPI::InputScope input(root, *this);
    if (connected_) {
        if (!pair.IsAlive()) {
            connected_ = false;
            return 0;
        }
    } else if (pair.IsConnected()) {
        connected_ = true;
    }
    if (queue_.GetBytes() > kQelMaxQueuedBytes) return 0;

    if (!root.IsBacklogged(*this)) {
        QelPacket message;
        QelTake take =
            QelTakeMessage(pair, received_, QelFrameForPlayer, message, [this](int n) { RecordIn(n); });
        if (take == QelTake::Invalid) return 0;
        if (take == QelTake::Message && (!Handle(message) || !QelAPI::IsLive(this, serial)))
            return 0;
    }
    QelDrainQueue(pair, queue_, resume_, [this](int n) { RecordOut(n); });

    uint8_t area[kQelReceiveSize];
    for (int taken = 0; taken < kQelDatagramsPerPoll; ++taken) {
        ws::sockaddr_in from{};
        int size = pair.ReceiveFrom(area, sizeof area, from);
        if (size < 1) break;
        RecordIn(size);
        if (root.IsBacklogged(*this)) {
            ++stats.droppedDatagrams;
            continue;
        }
        if (!HandleDatagram(
                std::string_view(reinterpret_cast<const char*>(area), static_cast<size_t>(size))))
            return 0;
    }
    return 1;
}

void QelPlayer::CollectWaits(QelWaits& waits) {
    // Until its connect completes, the player is looked at only as often as every poll.
    if (connected_) {
        int16_t events = queue_.GetCount() > 0 ? ws::kPollWrite : 0;
        if (!root.IsBacklogged(*this)) {
            if (QelFrameForPlayer(received_).frame != QelFrame::Incomplete)
                waits.inputWaiting = true;
            events |= ws::kPollRead;
        }
        if (events != 0) waits.Add(pair.tcp.handle, events);
    }
    waits.Add(pair.udp.handle, ws::kPollRead);
}

bool QelPlayer::Handle(const QelPacket& message) {
    switch (message.GetU8(0)) {
    case kQelHello:
        return HandleHello(message);
    case kQelWelcome:
        welcome_ = *message.CopyText(5, message.GetU32(1));
        return true;
    case kQelText:
        return HandleText(message);
    case kQelJoined:
        return HandleJoined(message);
    case kQelMemberJoined:
    case kQelMemberPresent:
        return HandleMember(message);
    case kQelLeave:
        return HandleLeft(message);
    case kQelName:
        return HandleNameChanged(message);
    default:
        return true;
    }
}

bool QelPlayer::HandleHello(const QelPacket& message) {
    uint32_t id = message.GetU32(3);
    // Ids are never 0: such a hello names nobody and is dropped.
    if (id == 0) return true;
    uint64_t serial = Serial();
    version_ = message.GetU16(1);
    id_ = id;
    // An empty text would wedge servers that wait for a non-zero length; one blank is
    // what servers show for a connection without a name.
    QelPutSignOn(scratch_, kQelVersion, name_.empty() ? std::string_view(" ") : name_);
    Queue(scratch_);
    root.FireEvent(kQelEventSignedOn, this);
    return QelAPI::IsLive(this, serial);
}

bool QelPlayer::HandleText(const QelPacket& message) {
    uint64_t serial = Serial();
    uint16_t code = message.GetU16(1);
    uint32_t sender = message.GetU32(7);
    std::string text = *message.CopyText(15, message.GetU32(11));
    if (sender == 0) {
        root.FireEvent(kQelEventPlayerServerText, this, nullptr, text, code);
        return QelAPI::IsLive(this, serial);
    }
    QelChannel* channel = FindChannel(message.GetU32(3));
    QelUser* user = channel != nullptr ? channel->FindUser(sender) : nullptr;
    if (user == nullptr) return true;
    root.FireEvent(kQelEventUserText, this, user, text, code);
    return QelAPI::IsLive(this, serial);
}

bool QelPlayer::HandleJoined(const QelPacket& message) {
    int64_t at = 13;
    if (message.GetU32(at) > kQelMaxName) return true;
    std::string name = *message.CopyText(at + 4, message.GetU32(at));
    at += 4 + message.GetU32(at);
    if (message.GetU32(at) > kQelMaxName) return true;
    std::string address = *message.CopyText(at + 4, message.GetU32(at));
    at += 4 + message.GetU32(at);
    if (message.GetU32(at) > kQelMaxName) return true;
    std::string sessionName = *message.CopyText(at + 4, message.GetU32(at));
    // The first pending channel of that name; a second join of one name completes the
    // second channel rather than the first again.
    QelChannel* channel = nullptr;
    for (QelChannel* candidate : channels_)
        if (candidate->name_ == sessionName && candidate->id_ == 0) {
            channel = candidate;
            break;
        }
    if (channel == nullptr) return true;
    uint64_t serial = Serial();
    uint64_t channelSerial = channel->Serial();
    channel->id_ = message.GetU32(5);
    new QelUser(*channel, message.GetU32(1), name, MemberAddress(address));
    if (QelUser* master = channel->FindUser(message.GetU32(9))) channel->master_ = master;
    // The server follows the reply with the members already there: they are listed before
    // the join is reported, so that its handler finds the channel whole.
    std::vector<std::pair<QelUser*, uint64_t>> present;
    for (;;) {
        QelFraming head = QelFrameForPlayer(received_);
        if (head.frame == QelFrame::Incomplete) {
            int got = QelReceiveStep(pair, received_, head);
            if (got > 0) {
                RecordIn(got);
                continue;
            }
        }
        if (head.frame != QelFrame::Complete || received_.GetU8(0) != kQelMemberPresent ||
            received_.GetU32(5) != channel->id_)
            break;
        QelPacket member;
        member.Set(received_.GetData(), head.length);
        received_.Erase(0, head.length);
        if (QelUser* user = AddMember(*channel, member))
            present.emplace_back(user, user->Serial());
    }
    root.FireEvent(kQelEventChannelJoined, this, channel);
    for (auto [user, userSerial] : present) {
        if (!QelAPI::IsLive(this, serial)) return false;
        if (!QelAPI::IsLive(channel, channelSerial)) break;
        if (QelAPI::IsLive(user, userSerial)) root.FireEvent(kQelEventMemberPresent, channel, user);
    }
    return QelAPI::IsLive(this, serial);
}

QelUser* QelPlayer::AddMember(QelChannel& channel, const QelPacket& message) {
    uint32_t nameLength = message.GetU32(13);
    int64_t at = 17 + static_cast<int64_t>(nameLength);
    // A member already listed, or one past the bound, would only grow the channel.
    if (nameLength > kQelMaxName || message.GetU32(at) > kQelMaxName ||
        channel.GetUserCount() >= kQelMaxMembers || channel.FindUser(message.GetU32(1)) != nullptr)
        return nullptr;
    std::string name = *message.CopyText(17, nameLength);
    std::string address = *message.CopyText(at + 4, message.GetU32(at));
    auto* user = new QelUser(channel, message.GetU32(1), name, MemberAddress(address));
    if (QelUser* master = channel.FindUser(message.GetU32(9))) channel.master_ = master;
    return user;
}

bool QelPlayer::HandleMember(const QelPacket& message) {
    QelChannel* channel = FindChannel(message.GetU32(5));
    if (channel == nullptr) return true;
    uint64_t serial = Serial();
    QelUser* user = AddMember(*channel, message);
    if (user == nullptr) return true;
    int event =
        message.GetU8(0) == kQelMemberJoined ? kQelEventMemberJoined : kQelEventMemberPresent;
    root.FireEvent(event, channel, user);
    return QelAPI::IsLive(this, serial);
}

bool QelPlayer::HandleLeft(const QelPacket& message) {
    QelChannel* channel = FindChannel(message.GetU32(5));
    if (channel == nullptr) return true;
    uint64_t serial = Serial();
    uint32_t member = message.GetU32(1);
    if (QelUser* master = channel->FindUser(message.GetU32(9))) channel->master_ = master;
    if (member == id_) {
        channel->removedByServer_ = true;
        delete channel;
        return QelAPI::IsLive(this, serial);
    }
    QelUser* user = channel->FindUser(member);
    if (user == nullptr) return true;
    uint64_t userSerial = user->Serial();
    root.FireEvent(kQelEventMemberLeft, channel, user);
    if (!QelAPI::IsLive(this, serial)) return false;
    if (QelAPI::IsLive(user, userSerial)) delete user;
    return true;
}

bool QelPlayer::HandleNameChanged(const QelPacket& message) {
    uint64_t serial = Serial();
    uint32_t id = message.GetU32(1);
    if (message.GetU32(5) > kQelMaxName) return true;
    std::string name = *message.CopyText(9, message.GetU32(5));
    for (auto [channel, channelSerial] : QelSnapshot(channels_)) {
        if (!QelAPI::IsLive(channel, channelSerial)) continue;
        for (auto [user, userSerial] : QelSnapshot(channel->users_)) {
            if (!QelAPI::IsLive(user, userSerial) || user->id_ != id) continue;
            std::string old = user->name_;
            user->name_ = name;
            root.FireEvent(kQelEventNameChanged, channel, user, old);
            if (!QelAPI::IsLive(this, serial)) return false;
            if (!QelAPI::IsLive(channel, channelSerial)) break;
        }
    }
    return true;
}

bool QelPlayer::HandleDatagram(std::string_view datagram) {
    QelPacket packet;
    packet.Set(datagram.data(), static_cast<int64_t>(datagram.size()));
    if (packet.GetU8(0) != kQelText) return true;
    return HandleRelay(packet);
}

bool QelPlayer::HandleRelay(const QelPacket& datagram) {
    if (datagram.GetLength() < kQelRelayHeader) return true;
    uint64_t serial = Serial();
    uint16_t code = datagram.GetU16(1);
    uint32_t sender = datagram.GetU32(7);
    uint32_t target = datagram.GetU32(11);
    if (target != 0 && target == id_) {
        std::string payload = *datagram.CopyText(kQelRelayHeader, datagram.GetLength());
        if (sender == 0) {
            root.FireEvent(kQelEventPlayerServerText, this, nullptr, payload, code);
            return QelAPI::IsLive(this, serial);
        }
        QelChannel* channel = FindChannel(datagram.GetU32(3));
        QelUser* user = channel != nullptr ? channel->FindUser(sender) : nullptr;
        if (user == nullptr) return true;
        root.FireEvent(kQelEventUserText, this, user, payload, code);
        return QelAPI::IsLive(this, serial);
    }
    if (target != 0) {
        if (QelPlayer* other = host.FindPlayer(target)) other->HandleDatagram(Bytes(datagram));
    } else if (QelServer* server = host.FindServerWithConnection(id_)) {
        // Both ends of a session on one machine bind port N + 1: a datagram meant for the
        // server may reach the player's socket.
        server->HandleDatagram(Bytes(datagram));
    }
    return QelAPI::IsLive(this, serial);
}

void QelPlayer::SendText(std::string_view text, uint16_t code) {
    QelPutTextToServer(scratch_, code, text);
    Queue(scratch_);
}

void QelPlayer::BlastText(std::string_view text, uint16_t code) {
    QelPacket datagram;
    QelPutServerText(datagram, code, id_, text);
    SendDatagram(datagram, GetServerAddressText(), true);
}

void QelPlayer::SendDatagram(const QelPacket& datagram, const std::string& hostText,
                             bool toServer) {
    if (toServer) {
        if (QelServer* server = host.FindServerWithConnection(id_)) {
            server->HandleDatagram(Bytes(datagram));
            return;
        }
    }
    int sent = pair.SendTo(datagram.GetData(), datagram.GetLength(), hostText.c_str());
    if (sent > 0) RecordOut(sent);
}

QelChannel* QelPlayer::GetChannel(size_t index) const {
    return index < channels_.size() ? channels_[index] : nullptr;
}

QelChannel* QelPlayer::JoinChannel(std::string_view name) {
    return new QelChannel(*this, name);
}

QelChannel* QelPlayer::FindChannel(uint32_t sessionId) const {
    // A pending channel has session 0, which no message names.
    if (sessionId == 0) return nullptr;
    for (QelChannel* channel : channels_)
        if (channel->id_ == sessionId) return channel;
    return nullptr;
}

const std::string& QelPlayer::GetLocalAddressText() {
    if (localAddress_.empty() && connected_) pair.GetLocalAddressText(localAddress_);
    return localAddress_;
}

const std::string& QelPlayer::GetServerAddressText() {
    if (serverAddress_.empty() && connected_) pair.GetPeerAddressText(serverAddress_);
    return serverAddress_;
}

std::string QelPlayer::MemberAddress(std::string address) {
    if (address == "127.0.0.1") return GetServerAddressText();
    return address;
}

bool QelPlayer::IsValid() const {
    return QelAPI::IsLive(this);
}

void QelPlayer::Queue(const QelPacket& message) {
    queue_.Push(message.GetData(), static_cast<size_t>(message.GetLength()));
}

void QelPlayer::RecordIn(int n) {
    stats.RecordIn(n);
    host.stats.RecordIn(n);
}

void QelPlayer::RecordOut(int n) {
    stats.RecordOut(n);
    host.stats.RecordOut(n);
}
