// The root of the Qel networking library: it starts and stops the sockets, owns the hosts,
// keeps the table of event callbacks through which the library reports to the script
// classes, and is polled once per message-pump tick, the only time traffic moves.
//
// A callback may delete the object that fired its event (or any other); every handler
// checks that its object still lives after firing and touches nothing more when it does
// not. A callback must not delete an object while that object's destruction fires events.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "net/qel_object.h"
#include "net/qel_stats.h"

class QelSocketSystem;
class QelHost;
class QelPlayer;
class QelServer;
class QelSocket;

enum QelEventNumber {
    kQelEventUserText = 1,
    kQelEventMemberPresent = 2,
    kQelEventMemberJoined = 3,
    kQelEventMemberLeft = 4,
    kQelEventSignedOn = 5,
    kQelEventPlayerDestroyed = 6,
    kQelEventChannelJoined = 7,
    kQelEventChannelDestroyed = 8,
    kQelEventConnectionNamed = 9,
    kQelEventConnectionDestroyed = 10,
    kQelEventSessionJoined = 11,
    kQelEventSessionLeft = 12,
    kQelEventServerText = 13,
    kQelEventNameChanged = 14,
    kQelEventPlayerServerText = 15,
    kQelEventSessionCreated = 16,
    kQelEventSessionDestroyed = 17,
    kQelEventSocketConnected = 18,
    kQelEventSocketLost = 19,
    kQelEventSocketData = 20,
    kQelEventSocketAcceptable = 21,
    kQelEventCount = 22,
};

struct QelEvent {
    int number = 0;
    QelObject* first = nullptr;
    QelObject* second = nullptr;
    // The text of events 1, 13 and 15, the old name of event 14; may hold zero bytes.
    std::string_view text;
    uint16_t code = 0;
};

using QelEventCallback = std::function<void(const QelEvent&)>;
// Whether the events that a peer's input made still wait beyond their bound: the peer's
// next TCP message then stays in its socket (back-pressure on the peer) and its datagrams
// are dropped and counted.
using QelBacklogProbe = std::function<bool(const QelObject& peer)>;
// How many events that a peer's input made still wait for the script.
using QelWaitingProbe = std::function<size_t(const QelObject& peer)>;

class QelAPI {
public:
    // The sockets of the network unless others are given (tests, fuzz targets).
    explicit QelAPI(QelSocketSystem* sockets = nullptr);
    QelAPI(const QelAPI&) = delete;
    QelAPI& operator=(const QelAPI&) = delete;
    ~QelAPI();

    void SetCallback(int event, QelEventCallback callback);
    void FireEvent(int event, QelObject* first, QelObject* second = nullptr,
                   std::string_view text = {}, uint16_t code = 0);

    void SetBacklogProbe(QelBacklogProbe probe) { backlogProbe_ = std::move(probe); }
    bool IsBacklogged(const QelObject& peer) const {
        return backlogProbe_ && backlogProbe_(peer);
    }
    void SetWaitingProbe(QelWaitingProbe probe) { waitingProbe_ = std::move(probe); }
    // 0 without a probe.
    size_t GetWaitingEvents(const QelObject& peer) const {
        return waitingProbe_ ? waitingProbe_(peer) : 0;
    }
    // The peer whose input is being handled, to which the events fired meanwhile count;
    // null outside the handling of input.
    const QelObject* GetInputSource() const { return inputSource_; }

    // Names the peer whose input the enclosing code handles.
    class InputScope {
    public:
        InputScope(QelAPI& root, const QelObject& peer)
            : root_(root), outer_(root.inputSource_) {
            root.inputSource_ = &peer;
        }
        InputScope(const InputScope&) = delete;
        InputScope& operator=(const InputScope&) = delete;
        ~InputScope() { root_.inputSource_ = outer_; }

    private:
        QelAPI& root_;
        const QelObject* outer_;
    };

    QelHost* CreateHost();
    size_t GetHostCount() const { return hosts_.size(); }
    QelHost* GetHost(size_t index) const;

    // The poll of every host's players, servers and connections, then of the raw sockets.
    void Process();
    // Sleeps up to `milliseconds` until a socket turns ready that the next poll would take
    // input from, accept on or send through, or a message comes for the calling thread;
    // at once when a peer's buffer already holds input for it. A peer whose input waits
    // for the script (the backlog probe) wakes nobody. False, without waiting, when the
    // root has neither hosts nor raw sockets.
    bool WaitForTraffic(uint32_t milliseconds);

    size_t GetRawSocketCount() const { return rawSockets_.size(); }

    QelSocketSystem& Sockets() { return sockets_; }

    // Whether an object is still linked where its root finds it, and is the one that had
    // this serial (a new object at the same address is not). Static, so that a handler
    // whose object was deleted by a callback can ask without touching the object.
    static bool IsLive(const QelObject* object, uint64_t serial);
    static bool IsLive(const QelObject* object);
    static void Register(const QelObject* object);
    static void Unregister(const QelObject* object);

private:
    friend class QelHost;
    friend class QelSocket;

    QelSocketSystem& sockets_;
    bool started_ = false;
    std::array<QelEventCallback, kQelEventCount> callbacks_;
    QelBacklogProbe backlogProbe_;
    QelWaitingProbe waitingProbe_;
    const QelObject* inputSource_ = nullptr;
    std::vector<QelHost*> hosts_;
    std::vector<QelSocket*> rawSockets_;
};

// The library object behind one Qel script object: the players and servers made through it.
class QelHost : public QelObject {
public:
    explicit QelHost(QelAPI& root);
    // Deletes the players, then the servers.
    ~QelHost() override;

    // A new player connecting to hostText:port.
    QelPlayer* Connect(const char* hostText, int32_t port, std::string_view name);
    // A new server listening on port (a server whose port cannot be bound never accepts).
    QelServer* HostServer(int32_t port);

    size_t GetPlayerCount() const { return players_.size(); }
    size_t GetServerCount() const { return servers_.size(); }
    QelPlayer* GetPlayer(size_t index) const;
    QelServer* GetServer(size_t index) const;

    // Connection and session ids of every server of the host: never 0, the counter
    // skipping it when it wraps.
    uint32_t NextId();

    // The same-host hand-overs: the player signed on with this id, and the server holding
    // a connection of this id.
    QelPlayer* FindPlayer(uint32_t id) const;
    QelServer* FindServerWithConnection(uint32_t id) const;

    QelAPI& root;
    QelStats stats;

private:
    friend class QelAPI;
    friend class QelPlayer;
    friend class QelServer;

    uint32_t idCounter_ = 0;
    std::vector<QelPlayer*> players_;
    std::vector<QelServer*> servers_;
};

// The objects of a list as they were when the walk began, each with its serial: the
// current one may be deleted while it is handled, and so may any other.
template <class T> std::vector<std::pair<T*, uint64_t>> QelSnapshot(const std::vector<T*>& list) {
    std::vector<std::pair<T*, uint64_t>> snapshot;
    snapshot.reserve(list.size());
    for (T* object : list)
        snapshot.emplace_back(object, object->Serial());
    return snapshot;
}
