// The server side of the Qel protocol: a server listening on TCP port N with its datagrams
// on N + 1, the connection of each accepted client, and the named sessions in which the
// server relays texts between members.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/qel_id_list.h"
#include "net/qel_object.h"
#include "net/qel_packet.h"
#include "net/qel_packet_queue.h"
#include "net/qel_socket_pair.h"
#include "net/qel_stats.h"

class QelAPI;
class QelHost;
class QelConnection;
class QelSession;

inline constexpr std::string_view kQelDefaultWelcome = "QelAPI Version 1.22";
// A connection that never tests alive is dropped once this many whole seconds have passed.
inline constexpr int32_t kQelGreetingSeconds = 60;
// While descriptors (or memory for sockets) run short, accepting waits this long between
// tries; the clients meanwhile wait in the listen backlog.
inline constexpr uint32_t kQelAcceptPause = 250;

class QelServer : public QelObject {
public:
    QelServer(QelHost& host, int32_t port);
    ~QelServer() override;

    // 0 when a datagram handler found the server gone.
    int Poll();
    // Adds what the next poll of the server and its connections has work for once it
    // turns ready (QelAPI::WaitForTraffic).
    void CollectWaits(QelWaits& waits);
    void SetWelcomeText(std::string_view text) { welcome_ = text; }
    const std::string& GetWelcomeText() const { return welcome_; }
    void SendText(std::string_view text, uint16_t code);
    void BlastText(std::string_view text, uint16_t code);

    size_t GetConnectionCount() const { return connections_.size(); }
    size_t GetSessionCount() const { return sessions_.size(); }
    QelConnection* GetConnection(size_t index) const;
    QelSession* GetSession(size_t index) const;
    QelConnection* FindConnection(uint32_t id) const;
    QelSession* FindSession(uint32_t id) const;
    QelSession* FindSessionByName(std::string_view name) const;

    int32_t GetPort() const { return port_; }
    const std::string& GetLocalAddressText() const { return localAddress_; }
    bool IsValid() const;

    // A datagram received or handed over by a player of the same host, by its type byte;
    // false when the server is gone afterwards.
    bool HandleDatagram(std::string_view datagram);

    QelAPI& root;
    QelHost& host;
    QelSocketPair pair;
    QelStats stats;

private:
    friend class QelAPI;
    friend class QelConnection;
    friend class QelSession;

    // The connection a datagram from the network names as its sender, when it came from
    // that connection's address and datagram port; null otherwise.
    QelConnection* FindSender(std::string_view datagram, const ws::sockaddr_in& from) const;
    // Accepts every client waiting, unless a shortage of descriptors paused accepting.
    void AcceptWaiting();
    bool HandleRelay(const QelPacket& datagram);
    bool HandleServerText(const QelPacket& datagram);
    // Delivers a relay datagram to a connection: handed to a player of the same host with
    // its id, else sent to its address.
    void Deliver(QelConnection& connection, const QelPacket& datagram);

    std::string welcome_{kQelDefaultWelcome};
    int32_t port_;
    std::string localAddress_;
    bool acceptPaused_ = false;
    uint32_t acceptPausedAt_ = 0;
    std::vector<QelConnection*> connections_;
    std::vector<QelSession*> sessions_;
};

class QelConnection : public QelObject {
public:
    // The connection of a client the server's listening socket accepted into `accepted`.
    QelConnection(QelServer& server, std::unique_ptr<QelSocketPair> accepted);
    // Fires event 10, then leaves every session.
    ~QelConnection() override;

    // 0 when the connection must be deleted.
    int Poll();
    void CollectWaits(QelWaits& waits);
    void SendText(std::string_view text, uint16_t code);
    void BlastText(std::string_view text, uint16_t code);
    size_t GetSessionCount() const { return sessions_.GetCount(); }
    QelSession* GetSession(size_t index) const { return sessions_.GetAt(index); }
    // Leaves the session at that index of the list, deleting it when it is left empty.
    void SignOff(size_t index);

    uint32_t GetId() const { return id_; }
    const std::string& GetName() const { return name_; }
    const std::string& GetAddressText() const { return address_; }
    uint16_t GetVersion() const { return version_; }
    QelServer& GetServer() const { return server_; }
    bool IsGreeted() const { return greeted_; }
    bool IsValid() const;

    void Queue(const QelPacket& message);
    size_t GetQueuedCount() const { return queue_.GetCount(); }
    void RecordIn(int n);
    void RecordOut(int n);

    QelAPI& root;
    std::unique_ptr<QelSocketPair> pair;
    QelStats stats;

private:
    friend class QelSession;

    // Each false when the connection is gone.
    bool Handle(const QelPacket& message);
    bool HandleTextToSession(const QelPacket& message);
    bool HandleTextToMember(const QelPacket& message);
    bool HandleJoin(const QelPacket& message);
    bool HandleLeave(const QelPacket& message);
    bool HandleSetName(const QelPacket& message);

    QelServer& server_;
    uint32_t id_;
    std::string name_{" "};
    uint16_t version_ = 0;
    std::string address_;
    bool greeted_ = false;
    uint32_t created_;
    QelIdList<QelSession> sessions_;
    QelPacketQueue queue_;
    size_t resume_ = 0;
    QelPacket received_;
    QelPacket scratch_;
};

class QelSession : public QelObject {
public:
    // Registers the session with its server; Open fires event 16 and joins the creator.
    QelSession(QelServer& server, std::string_view name);
    // Every member leaves (event 12 each), then event 17.
    ~QelSession() override;

    // Fires event 16 and joins the creator; false when the session is gone afterwards.
    bool Open(QelConnection& creator);
    // Each returns whether the session still lives after its event.
    bool Join(QelConnection& connection);
    bool Leave(QelConnection& connection);
    void SendText(std::string_view text, uint16_t code);
    void BlastText(std::string_view text, uint16_t code);
    void SignOff(size_t index);

    size_t GetMemberCount() const { return members_.GetCount(); }
    QelConnection* GetMember(size_t index) const { return members_.GetAt(index); }
    QelConnection* FindMember(uint32_t id) const { return members_.FindById(id); }
    QelConnection* GetMaster() const { return master_; }
    uint32_t GetId() const { return id_; }
    const std::string& GetName() const { return name_; }
    QelServer& GetServer() const { return server_; }
    bool IsValid() const;

    QelAPI& root;

private:
    uint32_t MasterId() const;

    QelServer& server_;
    uint32_t id_;
    std::string name_;
    QelIdList<QelConnection> members_;
    QelConnection* master_ = nullptr;
};
