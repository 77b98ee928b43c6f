// What the Qel tests share: an event recorder and polling helpers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "net/qel_api.h"
#include "net/qel_memory_sockets.h"
#include "net/qel_player.h"
#include "net/qel_protocol.h"
#include "net/qel_server.h"
#include "net/qel_socket_system.h"

struct FiredEvent {
    int number;
    QelObject* first;
    QelObject* second;
    std::string text;
    uint16_t code;
};

// Records every event of the root, in order; `also` runs after recording (to delete
// objects from inside a callback, say).
class EventRecorder {
public:
    explicit EventRecorder(QelAPI& api) : api_(api) {
        for (int event = 1; event < kQelEventCount; ++event)
            api.SetCallback(event, [this](const QelEvent& fired) {
                events.push_back(
                    {fired.number, fired.first, fired.second, std::string(fired.text), fired.code});
                if (also) also(fired);
            });
    }
    // The root may outlive the recorder and fire while it goes.
    ~EventRecorder() {
        for (int event = 1; event < kQelEventCount; ++event)
            api_.SetCallback(event, nullptr);
    }
    std::vector<int> Numbers() const {
        std::vector<int> numbers;
        for (const FiredEvent& event : events)
            numbers.push_back(event.number);
        return numbers;
    }
    int Count(int number) const {
        int count = 0;
        for (const FiredEvent& event : events)
            count += event.number == number;
        return count;
    }
    const FiredEvent* Last(int number) const {
        for (auto it = events.rbegin(); it != events.rend(); ++it)
            if (it->number == number) return &*it;
        return nullptr;
    }
    void Clear() { events.clear(); }

    std::vector<FiredEvent> events;
    std::function<void(const QelEvent&)> also;

private:
    QelAPI& api_;
};

// Polls until the condition holds, at most `limit` times; whether it held.
inline bool PollUntil(QelAPI& api, const std::function<bool()>& condition, int limit = 200) {
    for (int i = 0; i < limit; ++i) {
        if (condition()) return true;
        api.Process();
    }
    return condition();
}

inline void PollTimes(QelAPI& api, int times) {
    for (int i = 0; i < times; ++i)
        api.Process();
}

inline ws::sockaddr_in Address(const char* host, int32_t port) {
    ws::sockaddr_in address{};
    address.sin_family = ws::AF_INET;
    address.sin_port = ws::htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = ws::inet_addr(host);
    return address;
}

inline ws::sockaddr_in Loopback(int32_t port) { return Address("127.0.0.1", port); }

// A server on a port whose TCP and UDP sides were both free.
inline QelServer* HostOnFreePort(QelHost& host) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        QelSocketSystem& sockets = QelNetworkSockets();
        ws::SOCKET probe = sockets.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
        sockets.Bind(probe, Address("0.0.0.0", 0));
        ws::sockaddr_in bound{};
        sockets.LocalAddress(probe, bound);
        sockets.Close(probe);
        int32_t port = ws::ntohs(bound.sin_port);
        if (port == 0 || port > 65000) continue;
        QelServer* server = host.HostServer(port);
        if (!server->GetLocalAddressText().empty() && server->pair.udp.port == port + 1)
            return server;
        delete server;
    }
    return nullptr;
}

// A server that the test plays over the in-memory network on `port`: a player of `host`
// connects, is greeted as id 5 and joins "room" as session 77. The server's end of the
// connection; the player's channel in `channel`.
inline ws::SOCKET PlayedServer(QelMemorySockets& network, QelHost& host, int32_t port,
                               QelChannel*& channel) {
    ws::SOCKET listener = network.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
    network.Bind(listener, Loopback(port));
    network.Listen(listener, 3);
    QelPlayer* player = host.Connect("127.0.0.1", port, "p");
    channel = player->JoinChannel("room");
    ws::sockaddr_in peer;
    ws::SOCKET raw = network.Accept(listener, peer);
    network.Close(listener);
    QelPacket message;
    QelPutHello(message, kQelVersion, 5);
    network.Send(raw, reinterpret_cast<const char*>(message.GetData()),
                 static_cast<int>(message.GetLength()));
    QelPutJoined(message, 5, 77, 5, "p", "127.0.0.1", "room");
    network.Send(raw, reinterpret_cast<const char*>(message.GetData()),
                 static_cast<int>(message.GetLength()));
    PollTimes(host.root, 4);
    return raw;
}
