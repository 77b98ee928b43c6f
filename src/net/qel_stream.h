// The TCP side shared by a player and a server's connection: one bounded receive per poll
// and the draining of the send queue.
#pragma once

#include <cstddef>
#include <functional>

#include "net/qel_packet.h"
#include "net/qel_packet_queue.h"
#include "net/qel_protocol.h"
#include "net/qel_socket_pair.h"

// One receive of up to kQelReceiveSize bytes appended to the packet, unless it already
// holds a complete message and kQelReceiveSlack more (the peer then waits on TCP). The
// bytes received, 0 when none.
int QelReceiveStep(QelSocketPair& pair, QelPacket& received, const QelFraming& head);

enum class QelTake { None, Message, Invalid };

// A receive step, then the complete message at the head of the packet, as `frame` tells it,
// moved into `message`. `record` gets the bytes received.
QelTake QelTakeMessage(QelSocketPair& pair, QelPacket& received,
                       QelFraming (*frame)(const QelPacket&), QelPacket& message,
                       const std::function<void(int)>& record);

// Sends queued messages until the socket takes less than asked; the first unsent byte
// waits in `resume` for the next poll. `record` gets every positive send count.
void QelDrainQueue(QelSocketPair& pair, QelPacketQueue& queue, size_t& resume,
                   const std::function<void(int)>& record);
