#include "net/qel_stream.h"

#include <cstdint>

int QelReceiveStep(QelSocketPair& pair, QelPacket& received, const QelFraming& head) {
    if (head.frame == QelFrame::Complete && received.GetLength() >= head.length + kQelReceiveSlack)
        return 0;
    uint8_t area[kQelReceiveSize];
    int got = pair.Receive(area, sizeof area);
    if (got <= 0) return 0;
    if (!received.Append(area, got)) return 0;
    return got;
}

QelTake QelTakeMessage(QelSocketPair& pair, QelPacket& received,
                       QelFraming (*frame)(const QelPacket&), QelPacket& message,
                       const std::function<void(int)>& record) {
    int got = QelReceiveStep(pair, received, frame(received));
    if (got > 0) record(got);
    QelFraming head = frame(received);
    if (head.frame == QelFrame::Invalid) return QelTake::Invalid;
    if (head.frame != QelFrame::Complete) return QelTake::None;
    message.Set(received.GetData(), head.length);
    received.Erase(0, head.length);
    return QelTake::Message;
}

void QelDrainQueue(QelSocketPair& pair, QelPacketQueue& queue, size_t& resume,
                   const std::function<void(int)>& record) {
    while (queue.GetCount() > 0) {
        size_t length = queue.GetLength(0);
        size_t remaining = length > resume ? length - resume : 0;
        int n =
            remaining == 0 ? 0 : pair.Send(queue.GetData(0) + resume, static_cast<int>(remaining));
        if (n > 0) record(n);
        if (static_cast<size_t>(n > 0 ? n : 0) == remaining) {
            resume = 0;
            queue.Remove(0);
            continue;
        }
        if (n > 0) resume += static_cast<size_t>(n);
        return;
    }
}
