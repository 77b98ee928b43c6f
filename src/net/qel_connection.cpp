#include "net/qel_api.h"
#include "net/qel_protocol.h"
#include "net/qel_server.h"
#include "net/qel_stream.h"
#include "platform/kernel/clock.h"

#include <algorithm>

QelConnection::QelConnection(QelServer& server, std::unique_ptr<QelSocketPair> accepted)
    : root(server.root), pair(std::move(accepted)), server_(server), id_(server.host.NextId()),
      created_(timeGetTime()) {
    if (!pair->GetPeerAddressText(address_)) address_.clear();
    server.connections_.push_back(this);
    QelAPI::Register(this);
}

QelConnection::~QelConnection() {
    root.FireEvent(kQelEventConnectionDestroyed, &server_, this);
    if (QelAPI::IsLive(this)) {
        auto& connections = server_.connections_;
        connections.erase(std::remove(connections.begin(), connections.end(), this),
                          connections.end());
        QelAPI::Unregister(this);
        // Leaving changes the list: each session is found again by its id.
        std::vector<uint32_t> ids;
        for (size_t i = 0; i < sessions_.GetCount(); ++i)
            ids.push_back(sessions_.GetIdAt(i));
        for (uint32_t id : ids) {
            QelSession* session = sessions_.FindById(id);
            if (session == nullptr || !QelAPI::IsLive(session)) continue;
            if (session->Leave(*this) && session->GetMemberCount() == 0) delete session;
            sessions_.RemoveById(id);
        }
    }
    pair->Close();
}

int QelConnection::Poll() {
    uint64_t serial = Serial();
    QelAPI::InputScope input(root, *this);
    if (!pair->IsAlive()) {
        // A client that closed during the greeting is as gone as one that closed later.
        greeted_ = false;
        return 0;
    }
    if (!greeted_) {
        uint32_t elapsed = timeGetTime() - created_;
        if (static_cast<int32_t>(elapsed / 1000) > kQelGreetingSeconds) return 0;
        if (pair->IsConnected()) {
            greeted_ = true;
            QelPutWelcome(scratch_, server_.GetWelcomeText());
            Queue(scratch_);
            QelPutHello(scratch_, kQelVersion, id_);
            Queue(scratch_);
        }
    }
    if (queue_.GetBytes() > kQelMaxQueuedBytes) return 0;

    if (!root.IsBacklogged(*this)) {
        QelPacket message;
        QelTake take =
            QelTakeMessage(*pair, received_, QelFrameForServer, message, [this](int n) { RecordIn(n); });
        if (take == QelTake::Invalid) return 0;
        if (take == QelTake::Message && (!Handle(message) || !QelAPI::IsLive(this, serial)))
            return 0;
    }
    QelDrainQueue(*pair, queue_, resume_, [this](int n) { RecordOut(n); });
    return 1;
}

void QelConnection::CollectWaits(QelWaits& waits) {
    int16_t events = queue_.GetCount() > 0 ? ws::kPollWrite : 0;
    if (!root.IsBacklogged(*this)) {
        if (QelFrameForServer(received_).frame != QelFrame::Incomplete) waits.inputWaiting = true;
        events |= ws::kPollRead;
    }
    if (events != 0) waits.Add(pair->tcp.handle, events);
}

bool QelConnection::Handle(const QelPacket& message) {
    uint64_t serial = Serial();
    switch (message.GetU8(0)) {
    case kQelHello:
        if (message.GetU32(3) > kQelMaxName) return true;
        version_ = message.GetU16(1);
        name_ = *message.CopyText(7, message.GetU32(3));
        root.FireEvent(kQelEventConnectionNamed, &server_, this);
        return QelAPI::IsLive(this, serial);
    case kQelTextToServer: {
        std::string text = *message.CopyText(7, message.GetU32(3));
        root.FireEvent(kQelEventServerText, this, nullptr, text, message.GetU16(1));
        return QelAPI::IsLive(this, serial);
    }
    case kQelText:
        return HandleTextToSession(message);
    case kQelTextToMember:
        return HandleTextToMember(message);
    case kQelJoin:
        return HandleJoin(message);
    case kQelLeave:
        return HandleLeave(message);
    case kQelName:
        return HandleSetName(message);
    default:
        return true;
    }
}

bool QelConnection::HandleTextToSession(const QelPacket& message) {
    uint32_t sessionId = message.GetU32(3);
    QelSession* session = sessions_.FindById(sessionId);
    if (session == nullptr) return true;
    QelPutText(scratch_, message.GetU16(1), sessionId, id_,
               *message.CopyText(11, message.GetU32(7)));
    for (size_t i = 0; i < session->GetMemberCount(); ++i) {
        QelConnection* member = session->GetMember(i);
        if (member->GetId() != id_) member->Queue(scratch_);
    }
    return true;
}

bool QelConnection::HandleTextToMember(const QelPacket& message) {
    uint32_t sessionId = message.GetU32(3);
    QelSession* session = sessions_.FindById(sessionId);
    QelConnection* member = session != nullptr ? session->FindMember(message.GetU32(7)) : nullptr;
    if (member == nullptr) return true;
    QelPutText(scratch_, message.GetU16(1), sessionId, id_,
               *message.CopyText(15, message.GetU32(11)));
    member->Queue(scratch_);
    return true;
}

bool QelConnection::HandleJoin(const QelPacket& message) {
    uint64_t serial = Serial();
    if (message.GetU32(1) > kQelMaxName || sessions_.GetCount() >= kQelMaxSessionsPerConnection)
        return true;
    std::string name = *message.CopyText(5, message.GetU32(1));
    QelSession* session = server_.FindSessionByName(name);
    if (session != nullptr) {
        if (session->GetMemberCount() >= kQelMaxMembers) return true;
        if (!session->Join(*this)) return QelAPI::IsLive(this, serial);
    } else {
        session = new QelSession(server_, name);
        if (!session->Open(*this)) return QelAPI::IsLive(this, serial);
    }
    if (!QelAPI::IsLive(this, serial)) return false;
    sessions_.Add(session, session->GetId());
    return true;
}

bool QelConnection::HandleLeave(const QelPacket& message) {
    uint64_t serial = Serial();
    uint32_t sessionId = message.GetU32(1);
    // Session 0 names none: such a leave is consumed and changes nothing.
    QelSession* session = sessionId != 0 ? sessions_.FindById(sessionId) : nullptr;
    if (session == nullptr) return true;
    if (session->Leave(*this) && session->GetMemberCount() == 0) delete session;
    if (!QelAPI::IsLive(this, serial)) return false;
    sessions_.RemoveById(sessionId);
    return true;
}

bool QelConnection::HandleSetName(const QelPacket& message) {
    if (message.GetU32(1) > kQelMaxName) return true;
    name_ = *message.CopyText(5, message.GetU32(1));
    QelPutNameChanged(scratch_, id_, name_);
    for (size_t s = 0; s < sessions_.GetCount(); ++s) {
        QelSession* session = sessions_.GetAt(s);
        for (size_t i = 0; i < session->GetMemberCount(); ++i)
            session->GetMember(i)->Queue(scratch_);
    }
    return true;
}

void QelConnection::SendText(std::string_view text, uint16_t code) {
    QelPutText(scratch_, code, 0, 0, text);
    Queue(scratch_);
}

void QelConnection::BlastText(std::string_view text, uint16_t code) {
    QelPacket datagram;
    QelPutRelay(datagram, code, 0, 0, id_, text);
    server_.Deliver(*this, datagram);
}

void QelConnection::SignOff(size_t index) {
    QelSession* session = sessions_.GetAt(index);
    if (session == nullptr) return;
    uint32_t sessionId = sessions_.GetIdAt(index);
    uint64_t serial = Serial();
    if (session->Leave(*this) && session->GetMemberCount() == 0) delete session;
    if (QelAPI::IsLive(this, serial)) sessions_.RemoveById(sessionId);
}

bool QelConnection::IsValid() const {
    return QelAPI::IsLive(this);
}

void QelConnection::Queue(const QelPacket& message) {
    queue_.Push(message.GetData(), static_cast<size_t>(message.GetLength()));
}

void QelConnection::RecordIn(int n) {
    stats.RecordIn(n);
    server_.stats.RecordIn(n);
    server_.host.stats.RecordIn(n);
}

void QelConnection::RecordOut(int n) {
    stats.RecordOut(n);
    server_.stats.RecordOut(n);
    server_.host.stats.RecordOut(n);
}
