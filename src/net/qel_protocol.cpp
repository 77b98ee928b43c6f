#include "net/qel_protocol.h"

#include <cstdlib>
#include <initializer_list>

namespace {

constexpr int64_t kDefaultMaxMessage = 1 << 20;

// Walks a message's fields: fixed bytes, and texts whose u32 length sits at the current
// end. Stops as soon as a length is not there yet or the total passes the limit.
class Framer {
public:
    explicit Framer(const QelPacket& packet) : packet_(packet) {}

    void Fixed(int64_t n) { end_ += n; }
    void Text() {
        if (frame_ != QelFrame::Complete) return;
        if (!Within(end_ + 4)) return;
        if (end_ + 4 > packet_.GetLength()) {
            frame_ = QelFrame::Incomplete;
            return;
        }
        end_ += 4 + static_cast<int64_t>(packet_.GetU32(end_));
    }
    QelFraming Result() {
        if (frame_ == QelFrame::Complete && !Within(end_)) return {frame_, 0};
        if (frame_ == QelFrame::Complete && end_ > packet_.GetLength())
            frame_ = QelFrame::Incomplete;
        return {frame_, frame_ == QelFrame::Complete ? end_ : 0};
    }

private:
    bool Within(int64_t n) {
        if (n <= QelMaxMessage()) return true;
        frame_ = QelFrame::Invalid;
        return false;
    }

    const QelPacket& packet_;
    int64_t end_ = 0;
    QelFrame frame_ = QelFrame::Complete;
};

// A message of fixed bytes, then texts, then more fixed bytes.
QelFraming Frame(const QelPacket& packet, int64_t head, int texts, int64_t tail = 0) {
    Framer framer(packet);
    framer.Fixed(head);
    for (int i = 0; i < texts; ++i)
        framer.Text();
    framer.Fixed(tail);
    return framer.Result();
}

QelFraming Unknown() {
    return {QelFrame::Invalid, 0};
}

void PutLengthAndText(QelPacket& p, std::string_view text) {
    p.PutU32(static_cast<uint32_t>(text.size()));
    p.PutText(text);
}

} // namespace

int64_t QelMaxMessage() {
    static const int64_t limit = [] {
        const char* text = std::getenv("ZORV_QEL_MAX_MESSAGE");
        if (text == nullptr) return kDefaultMaxMessage;
        char* end = nullptr;
        long long value = std::strtoll(text, &end, 10);
        // Leaves room for the receive slack and one receive within a packet's size.
        constexpr int64_t kCeiling = QelPacket::kMaxLength - kQelReceiveSlack - 2 * kQelReceiveSize;
        if (end == text || value <= kDefaultMaxMessage) return kDefaultMaxMessage;
        return value > kCeiling ? kCeiling : static_cast<int64_t>(value);
    }();
    return limit;
}

QelFraming QelFrameForServer(const QelPacket& packet) {
    if (packet.GetLength() < 1) return {QelFrame::Incomplete, 0};
    switch (packet.GetU8(0)) {
    case kQelText:
        return Frame(packet, 7, 1);
    case kQelTextToServer:
        return Frame(packet, 3, 1);
    case kQelTextToMember:
        return Frame(packet, 11, 1);
    case kQelJoin:
    case kQelName:
        return Frame(packet, 1, 1);
    case kQelLeave:
        return Frame(packet, 5, 0);
    case kQelHello:
        return Frame(packet, 3, 1);
    default:
        return Unknown();
    }
}

QelFraming QelFrameForPlayer(const QelPacket& packet) {
    if (packet.GetLength() < 1) return {QelFrame::Incomplete, 0};
    switch (packet.GetU8(0)) {
    case kQelWelcome:
        return Frame(packet, 1, 1);
    case kQelHello:
        return Frame(packet, 7, 0);
    case kQelText:
        return Frame(packet, 11, 1);
    case kQelJoined:
        return Frame(packet, 13, 3);
    case kQelMemberJoined:
    case kQelMemberPresent:
        return Frame(packet, 13, 2);
    case kQelLeave:
        return Frame(packet, 13, 0);
    case kQelName:
        return Frame(packet, 5, 1);
    default:
        return Unknown();
    }
}

void QelPutTextToSession(QelPacket& p, uint16_t code, uint32_t session, std::string_view text) {
    p.Clear();
    p.PutU8(kQelText);
    p.PutU16(code);
    p.PutU32(session);
    PutLengthAndText(p, text);
}

void QelPutTextToServer(QelPacket& p, uint16_t code, std::string_view text) {
    p.Clear();
    p.PutU8(kQelTextToServer);
    p.PutU16(code);
    PutLengthAndText(p, text);
}

void QelPutTextToMember(QelPacket& p, uint16_t code, uint32_t session, uint32_t member,
                        std::string_view text) {
    p.Clear();
    p.PutU8(kQelTextToMember);
    p.PutU16(code);
    p.PutU32(session);
    p.PutU32(member);
    PutLengthAndText(p, text);
}

void QelPutJoin(QelPacket& p, std::string_view name) {
    p.Clear();
    p.PutU8(kQelJoin);
    PutLengthAndText(p, name);
}

void QelPutLeave(QelPacket& p, uint32_t session) {
    p.Clear();
    p.PutU8(kQelLeave);
    p.PutU32(session);
}

void QelPutSetName(QelPacket& p, std::string_view name) {
    p.Clear();
    p.PutU8(kQelName);
    PutLengthAndText(p, name);
}

void QelPutSignOn(QelPacket& p, uint16_t version, std::string_view name) {
    p.Clear();
    p.PutU8(kQelHello);
    p.PutU16(version);
    PutLengthAndText(p, name);
}

void QelPutWelcome(QelPacket& p, std::string_view text) {
    p.Clear();
    p.PutU8(kQelWelcome);
    PutLengthAndText(p, text);
}

void QelPutHello(QelPacket& p, uint16_t version, uint32_t id) {
    p.Clear();
    p.PutU8(kQelHello);
    p.PutU16(version);
    p.PutU32(id);
}

void QelPutText(QelPacket& p, uint16_t code, uint32_t session, uint32_t sender,
                std::string_view text) {
    p.Clear();
    p.PutU8(kQelText);
    p.PutU16(code);
    p.PutU32(session);
    p.PutU32(sender);
    PutLengthAndText(p, text);
}

void QelPutJoined(QelPacket& p, uint32_t id, uint32_t session, uint32_t master,
                  std::string_view name, std::string_view address, std::string_view sessionName) {
    p.Clear();
    p.PutU8(kQelJoined);
    for (uint32_t value : {id, session, master})
        p.PutU32(value);
    PutLengthAndText(p, name);
    PutLengthAndText(p, address);
    PutLengthAndText(p, sessionName);
}

void QelPutMember(QelPacket& p, uint8_t type, uint32_t id, uint32_t session, uint32_t master,
                  std::string_view name, std::string_view address) {
    p.Clear();
    p.PutU8(type);
    for (uint32_t value : {id, session, master})
        p.PutU32(value);
    PutLengthAndText(p, name);
    PutLengthAndText(p, address);
}

void QelPutLeft(QelPacket& p, uint32_t member, uint32_t session, uint32_t master) {
    p.Clear();
    p.PutU8(kQelLeave);
    for (uint32_t value : {member, session, master})
        p.PutU32(value);
}

void QelPutNameChanged(QelPacket& p, uint32_t id, std::string_view name) {
    p.Clear();
    p.PutU8(kQelName);
    p.PutU32(id);
    PutLengthAndText(p, name);
}

void QelPutRelay(QelPacket& p, uint16_t code, uint32_t session, uint32_t sender, uint32_t target,
                 std::string_view payload) {
    p.Clear();
    p.PutU8(kQelText);
    p.PutU16(code);
    for (uint32_t value : {session, sender, target})
        p.PutU32(value);
    p.PutText(payload);
}

void QelPutServerText(QelPacket& p, uint16_t code, uint32_t sender, std::string_view payload) {
    p.Clear();
    p.PutU8(kQelTextToServer);
    p.PutU16(code);
    p.PutU32(sender);
    p.PutText(payload);
}
