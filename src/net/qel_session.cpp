#include <algorithm>

#include "net/qel_api.h"
#include "net/qel_protocol.h"
#include "net/qel_server.h"

QelSession::QelSession(QelServer& server, std::string_view name)
    : root(server.root), server_(server), id_(server.host.NextId()), name_(name) {
    server.sessions_.push_back(this);
    QelAPI::Register(this);
}

QelSession::~QelSession() {
    uint64_t serial = Serial();
    while (members_.GetCount() > 0) {
        QelConnection* member = members_.GetAt(0);
        if (!Leave(*member)) break;
        if (members_.GetAt(0) == member) members_.RemoveById(member->GetId());
    }
    root.FireEvent(kQelEventSessionDestroyed, &server_, this);
    if (QelAPI::IsLive(this, serial)) {
        auto& sessions = server_.sessions_;
        sessions.erase(std::remove(sessions.begin(), sessions.end(), this), sessions.end());
        QelAPI::Unregister(this);
    }
}

bool QelSession::Open(QelConnection& creator) {
    uint64_t serial = Serial();
    master_ = &creator;
    root.FireEvent(kQelEventSessionCreated, &server_, this);
    if (!QelAPI::IsLive(this, serial)) return false;
    return Join(creator);
}

uint32_t QelSession::MasterId() const {
    return master_ != nullptr ? master_->GetId() : 0;
}

bool QelSession::Join(QelConnection& connection) {
    uint64_t serial = Serial();
    members_.Add(&connection, connection.GetId());
    master_ = members_.GetAt(0);
    QelPacket message;
    QelPutJoined(message, connection.GetId(), id_, MasterId(), connection.GetName(),
                 connection.GetAddressText(), name_);
    connection.Queue(message);
    QelPutMember(message, kQelMemberJoined, connection.GetId(), id_, MasterId(),
                 connection.GetName(), connection.GetAddressText());
    for (size_t i = 0; i < members_.GetCount(); ++i)
        if (members_.GetAt(i) != &connection) members_.GetAt(i)->Queue(message);
    for (size_t i = 0; i < members_.GetCount(); ++i) {
        QelConnection* member = members_.GetAt(i);
        if (member == &connection) continue;
        QelPutMember(message, kQelMemberPresent, member->GetId(), id_, MasterId(),
                     member->GetName(), member->GetAddressText());
        connection.Queue(message);
    }
    root.FireEvent(kQelEventSessionJoined, &connection, this);
    return QelAPI::IsLive(this, serial);
}

bool QelSession::Leave(QelConnection& connection) {
    uint64_t serial = Serial();
    QelPacket message;
    QelPutLeft(message, connection.GetId(), id_, MasterId());
    for (size_t i = 0; i < members_.GetCount(); ++i)
        members_.GetAt(i)->Queue(message);
    members_.RemoveById(connection.GetId());
    connection.sessions_.RemoveById(id_);
    master_ = members_.GetAt(0);
    root.FireEvent(kQelEventSessionLeft, &connection, this);
    return QelAPI::IsLive(this, serial);
}

void QelSession::SendText(std::string_view text, uint16_t code) {
    QelPacket message;
    QelPutText(message, code, id_, 0, text);
    for (size_t i = 0; i < members_.GetCount(); ++i)
        members_.GetAt(i)->Queue(message);
}

void QelSession::BlastText(std::string_view text, uint16_t code) {
    uint64_t serial = Serial();
    std::vector<uint32_t> ids;
    for (size_t i = 0; i < members_.GetCount(); ++i)
        ids.push_back(members_.GetIdAt(i));
    QelPacket datagram;
    for (uint32_t id : ids) {
        if (!QelAPI::IsLive(this, serial)) return;
        QelConnection* member = members_.FindById(id);
        if (member == nullptr) continue;
        QelPutRelay(datagram, code, id_, 0, id, text);
        server_.Deliver(*member, datagram);
    }
}

void QelSession::SignOff(size_t index) {
    QelConnection* member = members_.GetAt(index);
    if (member == nullptr) return;
    size_t position = member->sessions_.Position(id_);
    if (position < member->GetSessionCount()) member->SignOff(position);
}

bool QelSession::IsValid() const {
    return QelAPI::IsLive(this);
}
