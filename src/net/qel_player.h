// The client side of the Qel protocol: one TCP connection to a server and one UDP socket,
// the channels the player joined with their users, and its own id and name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "net/qel_object.h"
#include "net/qel_packet.h"
#include "net/qel_packet_queue.h"
#include "net/qel_socket_pair.h"
#include "net/qel_stats.h"

class QelAPI;
class QelHost;
class QelChannel;
class QelUser;

class QelPlayer : public QelObject {
public:
    // Binds UDP port + 1 and starts the TCP connect to hostText:port; nothing is sent yet.
    QelPlayer(QelHost& host, const char* hostText, int32_t port, std::string_view name);
    // Fires event 6 and deletes the channels (event 8 each), whose leaves are never sent.
    ~QelPlayer() override;

    // 0 when the player must be deleted.
    int Poll();
    // Adds what the next poll has work for once it turns ready (QelAPI::WaitForTraffic).
    void CollectWaits(QelWaits& waits);
    void SendText(std::string_view text, uint16_t code);
    void BlastText(std::string_view text, uint16_t code);

    size_t GetChannelCount() const { return channels_.size(); }
    QelChannel* GetChannel(size_t index) const;
    // A pending channel of that name; the server's type 8 completes it.
    QelChannel* JoinChannel(std::string_view name);

    const std::string& GetName() const { return name_; }
    int32_t GetPort() const { return port_; }
    uint32_t GetId() const { return id_; }
    uint16_t GetVersion() const { return version_; }
    bool IsConnected() const { return connected_; }
    const std::string& GetWelcomeText() const { return welcome_; }
    // Empty until asked for while connected.
    const std::string& GetLocalAddressText();
    const std::string& GetServerAddressText();
    bool IsValid() const;

    // A datagram received or handed over in this process; false when the player is gone
    // afterwards.
    bool HandleDatagram(std::string_view datagram);

    void Queue(const QelPacket& message);
    size_t GetQueuedCount() const { return queue_.GetCount(); }
    void RecordOut(int n);
    // Sends a datagram to hostText at port N + 1, or hands it to the server of this host
    // that holds the player's own connection.
    void SendDatagram(const QelPacket& datagram, const std::string& hostText, bool toServer);

    QelAPI& root;
    QelHost& host;
    QelSocketPair pair;
    QelStats stats;

private:
    friend class QelChannel;

    bool Handle(const QelPacket& message);
    bool HandleHello(const QelPacket& message);
    bool HandleText(const QelPacket& message);
    bool HandleJoined(const QelPacket& message);
    bool HandleMember(const QelPacket& message);
    // The user a member message lists in the channel; null when it is refused.
    QelUser* AddMember(QelChannel& channel, const QelPacket& message);
    bool HandleLeft(const QelPacket& message);
    bool HandleNameChanged(const QelPacket& message);
    bool HandleRelay(const QelPacket& datagram);
    QelChannel* FindChannel(uint32_t sessionId) const;
    // An address text as the server sent it, its own loopback replaced by the server's
    // address as this player reaches it.
    std::string MemberAddress(std::string address);
    void RecordIn(int n);

    bool connected_ = false;
    uint16_t version_ = 0;
    std::string welcome_{" "};
    std::string localAddress_;
    std::string serverAddress_;
    uint32_t id_ = 0;
    std::string name_;
    int32_t port_;
    std::vector<QelChannel*> channels_;
    QelPacketQueue queue_;
    size_t resume_ = 0;
    QelPacket received_;
    QelPacket scratch_;
};

class QelChannel : public QelObject {
public:
    // Queues the join and appends the channel to the player's list, pending (session 0).
    QelChannel(QelPlayer& player, std::string_view name);
    // Fires event 8; a joined channel that the server did not remove queues its leave.
    ~QelChannel() override;

    void SendText(std::string_view text, uint16_t code);
    void BlastText(std::string_view text, uint16_t code);
    size_t GetUserCount() const { return users_.size(); }
    QelUser* GetUser(size_t index) const;
    QelUser* FindUser(uint32_t id) const;
    bool IsMaster() const;
    QelUser* GetMaster() const { return master_; }
    const std::string& GetName() const { return name_; }
    uint32_t GetId() const { return id_; }
    QelPlayer& GetPlayer() const { return player_; }
    bool IsValid() const;

    QelAPI& root;

private:
    friend class QelPlayer;
    friend class QelUser;

    QelPlayer& player_;
    uint32_t id_ = 0;
    std::string name_;
    std::vector<QelUser*> users_;
    QelUser* master_ = nullptr;
    // The server said the player left: the session has forgotten it already.
    bool removedByServer_ = false;
};

class QelUser : public QelObject {
public:
    QelUser(QelChannel& channel, uint32_t id, std::string_view name, std::string_view address);
    ~QelUser() override;

    void SendText(std::string_view text, uint16_t code);
    void BlastText(std::string_view text, uint16_t code);
    uint32_t GetId() const { return id_; }
    const std::string& GetName() const { return name_; }
    const std::string& GetAddressText() const { return address_; }
    QelChannel& GetChannel() const { return channel_; }
    bool IsValid() const;

    QelAPI& root;

private:
    friend class QelPlayer;

    QelChannel& channel_;
    uint32_t id_;
    std::string name_;
    std::string address_;
};
