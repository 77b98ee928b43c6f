// The Qel wire protocol: message types, builders of every message, and the framing rule
// that tells a complete message at the head of a receive packet from a partial one or from
// one that no peer of ours would send.
//
// A message is complete when all the bytes its fields announce are there: a 0 in a length
// or id field is a genuine value, never "not yet". Lengths are added in 64-bit arithmetic
// and a message longer than the limit, or of a type the receiver does not know, cannot be
// framed: the connection carrying it is closed.
#pragma once

#include <cstdint>
#include <string_view>

#include "net/qel_packet.h"

inline constexpr uint16_t kQelVersion = 3;
// Bytes a TCP receive or a datagram takes at once.
inline constexpr int kQelReceiveSize = 4096;
// A receive packet stops reading while it holds a complete message and this much more.
inline constexpr int64_t kQelReceiveSlack = 64 * 1024;
// The longest name (a player's, a session's) or address text a peer may send. A message
// that carries a longer one is refused: it is consumed and changes nothing.
inline constexpr uint32_t kQelMaxName = 256;
// The sessions one connection may be in at once: a join beyond them is refused.
inline constexpr size_t kQelMaxSessionsPerConnection = 64;
// The members of one session, and the users of one channel as a player keeps them: a join
// beyond them is refused.
inline constexpr size_t kQelMaxMembers = 1024;
// The most datagrams a player or server takes from its socket in one poll; the rest wait
// there, and the system drops what no longer fits.
inline constexpr int kQelDatagramsPerPoll = 256;
// A peer whose send queue holds more than this is taken for dead.
inline constexpr uint64_t kQelMaxQueuedBytes = 64ull * 1024 * 1024;
// The header of a UDP type 1 and type 2 datagram.
inline constexpr int kQelRelayHeader = 15;
inline constexpr int kQelServerTextHeader = 7;

enum QelMessageType : uint8_t {
    kQelText = 1,         // player: text to a session; server: text to a player
    kQelTextToServer = 2, // also the UDP text to the server
    kQelTextToMember = 3,
    kQelJoin = 4,
    kQelLeave = 5, // player: leave; server: a member left
    kQelMemberJoined = 6,
    kQelMemberPresent = 7,
    kQelJoined = 8,
    kQelWelcome = 10,
    kQelName = 11,  // player: set my name; server: a member's name changed
    kQelHello = 12, // server: hello; player: sign-on reply
};

// The longest message a receiver accepts: 1 MiB, or more when the environment variable
// ZORV_QEL_MAX_MESSAGE gives a greater number of bytes.
int64_t QelMaxMessage();

enum class QelFrame { Incomplete, Complete, Invalid };

struct QelFraming {
    QelFrame frame;
    int64_t length; // bytes of the complete message
};

// The message at the head of the packet as a server's connection receives it.
QelFraming QelFrameForServer(const QelPacket& packet);
// The message at the head of the packet as a player receives it.
QelFraming QelFrameForPlayer(const QelPacket& packet);

// Player to server.
void QelPutTextToSession(QelPacket& p, uint16_t code, uint32_t session, std::string_view text);
void QelPutTextToServer(QelPacket& p, uint16_t code, std::string_view text);
void QelPutTextToMember(QelPacket& p, uint16_t code, uint32_t session, uint32_t member,
                        std::string_view text);
void QelPutJoin(QelPacket& p, std::string_view name);
void QelPutLeave(QelPacket& p, uint32_t session);
void QelPutSetName(QelPacket& p, std::string_view name);
void QelPutSignOn(QelPacket& p, uint16_t version, std::string_view name);

// Server to player.
void QelPutWelcome(QelPacket& p, std::string_view text);
void QelPutHello(QelPacket& p, uint16_t version, uint32_t id);
void QelPutText(QelPacket& p, uint16_t code, uint32_t session, uint32_t sender,
                std::string_view text);
void QelPutJoined(QelPacket& p, uint32_t id, uint32_t session, uint32_t master,
                  std::string_view name, std::string_view address, std::string_view sessionName);
// type is kQelMemberJoined or kQelMemberPresent.
void QelPutMember(QelPacket& p, uint8_t type, uint32_t id, uint32_t session, uint32_t master,
                  std::string_view name, std::string_view address);
void QelPutLeft(QelPacket& p, uint32_t member, uint32_t session, uint32_t master);
void QelPutNameChanged(QelPacket& p, uint32_t id, std::string_view name);

// Datagrams.
void QelPutRelay(QelPacket& p, uint16_t code, uint32_t session, uint32_t sender, uint32_t target,
                 std::string_view payload);
void QelPutServerText(QelPacket& p, uint16_t code, uint32_t sender, std::string_view payload);
