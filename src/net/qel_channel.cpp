#include <algorithm>

#include "net/qel_api.h"
#include "net/qel_player.h"
#include "net/qel_protocol.h"

QelChannel::QelChannel(QelPlayer& player, std::string_view name)
    : root(player.root), player_(player), name_(name) {
    QelPacket message;
    QelPutJoin(message, name_);
    player.Queue(message);
    player.channels_.push_back(this);
    QelAPI::Register(this);
}

QelChannel::~QelChannel() {
    root.FireEvent(kQelEventChannelDestroyed, &player_, this);
    if (QelAPI::IsLive(this)) {
        // A pending channel has no session to leave: a leave of session 0 names none.
        if (id_ != 0 && !removedByServer_) {
            QelPacket message;
            QelPutLeave(message, id_);
            player_.Queue(message);
        }
        auto& channels = player_.channels_;
        channels.erase(std::remove(channels.begin(), channels.end(), this), channels.end());
        QelAPI::Unregister(this);
        while (!users_.empty())
            delete users_.front();
    }
}

void QelChannel::SendText(std::string_view text, uint16_t code) {
    QelPacket message;
    QelPutTextToSession(message, code, id_, text);
    player_.Queue(message);
}

void QelChannel::BlastText(std::string_view text, uint16_t code) {
    QelPacket datagram;
    QelPutRelay(datagram, code, id_, player_.GetId(), 0, text);
    player_.SendDatagram(datagram, player_.GetServerAddressText(), true);
}

QelUser* QelChannel::GetUser(size_t index) const {
    return index < users_.size() ? users_[index] : nullptr;
}

QelUser* QelChannel::FindUser(uint32_t id) const {
    for (QelUser* user : users_)
        if (user->GetId() == id) return user;
    return nullptr;
}

bool QelChannel::IsMaster() const {
    return master_ != nullptr && master_->GetId() == player_.GetId();
}

bool QelChannel::IsValid() const {
    return QelAPI::IsLive(this);
}

QelUser::QelUser(QelChannel& channel, uint32_t id, std::string_view name, std::string_view address)
    : root(channel.root), channel_(channel), id_(id), name_(name), address_(address) {
    channel.users_.push_back(this);
    QelAPI::Register(this);
}

QelUser::~QelUser() {
    auto& users = channel_.users_;
    users.erase(std::remove(users.begin(), users.end(), this), users.end());
    // The master leaves with its user until a message names another.
    if (channel_.master_ == this) channel_.master_ = nullptr;
    QelAPI::Unregister(this);
}

void QelUser::SendText(std::string_view text, uint16_t code) {
    QelPacket message;
    QelPutTextToMember(message, code, channel_.GetId(), id_, text);
    channel_.GetPlayer().Queue(message);
}

void QelUser::BlastText(std::string_view text, uint16_t code) {
    QelPlayer& player = channel_.GetPlayer();
    QelPacket datagram;
    QelPutRelay(datagram, code, channel_.GetId(), player.GetId(), id_, text);
    if (QelPlayer* local = player.host.FindPlayer(id_)) {
        local->HandleDatagram(std::string_view(reinterpret_cast<const char*>(datagram.GetData()),
                                               static_cast<size_t>(datagram.GetLength())));
        return;
    }
    player.SendDatagram(datagram, address_, false);
}

bool QelUser::IsValid() const {
    return QelAPI::IsLive(this);
}
