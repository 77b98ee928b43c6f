// The Qel library over loopback: texts relayed by a server between two players (messages
// a second, and the round trip of one text with polls back to back) beside ENet relaying
// the same over its reliable channel, a poll of 200 idle connections in 20 sessions, and a
// 1 MiB text relayed whole. Each player and connection handles one TCP message per poll,
// which bounds the relay's throughput per poll.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "net/qel_api.h"
#include "net/qel_player.h"
#include "net/qel_protocol.h"
#include "net/qel_server.h"
#include "net/qel_socket_system.h"
#include "side_by_side.h"

// After ours: it brings the C library's socket macros, which WinSock's names would meet.
#include <enet/enet.h>

namespace {

// A server and players on their own hosts, signed on and joined to one session.
class Relay {
public:
    explicit Relay(int players, int sessions = 1) {
        api_.SetCallback(kQelEventUserText, [this](const QelEvent& event) {
            ++received;
            receivedBytes += static_cast<int64_t>(event.text.size());
        });
        QelHost* serverHost = api_.CreateHost();
        for (int32_t port = 41000; port < 42000 && server_ == nullptr; port += 2) {
            QelServer* server = serverHost->HostServer(port);
            if (!server->GetLocalAddressText().empty() && server->pair.udp.port == port + 1)
                server_ = server;
            else
                delete server;
        }
        if (server_ == nullptr) return;
        for (int i = 0; i < players; ++i) {
            players_.push_back(api_.CreateHost()->Connect("127.0.0.1", server_->GetPort(), "p"));
            api_.Process();
        }
        PollUntil([&] {
            for (QelPlayer* player : players_)
                if (player->GetId() == 0) return false;
            return true;
        });
        for (int i = 0; i < players; ++i)
            players_[i]->JoinChannel("s" + std::to_string(i % sessions));
        int perSession = players / sessions;
        PollUntil([&] {
            for (QelPlayer* player : players_)
                if (player->GetChannelCount() != 1 ||
                    static_cast<int>(player->GetChannel(0)->GetUserCount()) != perSession)
                    return false;
            return true;
        });
    }

    bool Ready() const { return server_ != nullptr; }
    QelChannel& Channel(int player) {
        return *players_[static_cast<size_t>(player)]->GetChannel(0);
    }
    void Poll() { api_.Process(); }
    template <class Condition> void PollUntil(Condition condition) {
        for (int i = 0; i < 1000000 && !condition(); ++i)
            api_.Process();
    }

    int64_t received = 0;
    int64_t receivedBytes = 0;

private:
    QelAPI api_;
    QelServer* server_ = nullptr;
    std::vector<QelPlayer*> players_;
};

// The same relay with ENet: a server host forwarding each packet of one client to the
// other over the reliable channel, every host serviced back to back without waiting.
class EnetRelay {
public:
    EnetRelay() {
        enet_initialize();
        ENetAddress address{};
        enet_address_set_host(&address, "127.0.0.1");
        for (address.port = 43000; address.port < 44000 && server_ == nullptr; ++address.port)
            server_ = enet_host_create(&address, 4, 1, 0, 0);
        if (server_ == nullptr) return;
        --address.port;
        for (ENetHost*& client : clients_) {
            client = enet_host_create(nullptr, 1, 1, 0, 0);
            peers_.push_back(enet_host_connect(client, &address, 1, 0));
        }
        for (int i = 0; i < 100000 && connected_ < 4; ++i)
            Service();
    }
    ~EnetRelay() {
        for (ENetHost* client : clients_)
            if (client != nullptr) enet_host_destroy(client);
        if (server_ != nullptr) enet_host_destroy(server_);
        enet_deinitialize();
    }
    bool Ready() const { return connected_ == 4; }
    void Send(const std::string& text) {
        enet_peer_send(peers_[0], 0,
                       enet_packet_create(text.data(), text.size(), ENET_PACKET_FLAG_RELIABLE));
    }
    void Service() {
        ENetEvent event;
        while (enet_host_service(server_, &event, 0) > 0) {
            if (event.type == ENET_EVENT_TYPE_CONNECT) {
                ++connected_;
                serverPeers_.push_back(event.peer);
            } else if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                for (ENetPeer* peer : serverPeers_)
                    if (peer != event.peer)
                        enet_peer_send(peer, 0,
                                       enet_packet_create(event.packet->data,
                                                          event.packet->dataLength,
                                                          ENET_PACKET_FLAG_RELIABLE));
                enet_packet_destroy(event.packet);
            }
        }
        for (ENetHost* client : clients_)
            while (enet_host_service(client, &event, 0) > 0) {
                if (event.type == ENET_EVENT_TYPE_CONNECT) ++connected_;
                if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                    ++received;
                    enet_packet_destroy(event.packet);
                }
            }
    }
    template <class Condition> void ServiceUntil(Condition condition) {
        for (int i = 0; i < 1000000 && !condition(); ++i)
            Service();
    }

    int64_t received = 0;

private:
    ENetHost* server_ = nullptr;
    ENetHost* clients_[2] = {};
    std::vector<ENetPeer*> peers_;
    std::vector<ENetPeer*> serverPeers_;
    int connected_ = 0;
};

// Counters: "ours" and "enet" in millions of messages a second, "ratio" our time over
// ENet's (goal: at most 1).
void BM_QelRoundTripBesideEnet(benchmark::State& state) {
    Relay relay(2);
    EnetRelay enet;
    if (!relay.Ready() || !enet.Ready()) return state.SkipWithError("no relay");
    std::string text(static_cast<size_t>(state.range(0)), 'x');
    bench::SideBySide(
        state, 1, "enet",
        [&] {
            int64_t expected = relay.received + 1;
            relay.Channel(0).SendText(text, 1);
            relay.PollUntil([&] { return relay.received == expected; });
        },
        [&] {
            int64_t expected = enet.received + 1;
            enet.Send(text);
            enet.ServiceUntil([&] { return enet.received == expected; });
        });
}
BENCHMARK(BM_QelRoundTripBesideEnet)->Arg(64)->Arg(1024)->UseRealTime();

void BM_QelThroughputBesideEnet(benchmark::State& state) {
    Relay relay(2);
    EnetRelay enet;
    if (!relay.Ready() || !enet.Ready()) return state.SkipWithError("no relay");
    std::string text(static_cast<size_t>(state.range(0)), 'x');
    constexpr int kBatch = 100;
    bench::SideBySide(
        state, kBatch, "enet",
        [&] {
            int64_t expected = relay.received + kBatch;
            for (int i = 0; i < kBatch; ++i)
                relay.Channel(0).SendText(text, 1);
            relay.PollUntil([&] { return relay.received == expected; });
        },
        [&] {
            int64_t expected = enet.received + kBatch;
            for (int i = 0; i < kBatch; ++i)
                enet.Send(text);
            enet.ServiceUntil([&] { return enet.received == expected; });
        });
}
BENCHMARK(BM_QelThroughputBesideEnet)->Arg(64)->Arg(1024)->UseRealTime();

void BM_QelRoundTrip(benchmark::State& state) {
    Relay relay(2);
    if (!relay.Ready()) return state.SkipWithError("no free port");
    std::string text(static_cast<size_t>(state.range(0)), 'x');
    std::chrono::steady_clock::duration total{};
    for (auto _ : state) {
        int64_t expected = relay.received + 1;
        auto start = std::chrono::steady_clock::now();
        relay.Channel(0).SendText(text, 1);
        relay.PollUntil([&] { return relay.received == expected; });
        total += std::chrono::steady_clock::now() - start;
    }
    state.counters["round_trip_us"] = std::chrono::duration<double, std::micro>(total).count() /
                                      static_cast<double>(state.iterations());
}
BENCHMARK(BM_QelRoundTrip)->Arg(64)->Arg(1024)->UseRealTime();

void BM_QelThroughput(benchmark::State& state) {
    Relay relay(2);
    if (!relay.Ready()) return state.SkipWithError("no free port");
    std::string text(static_cast<size_t>(state.range(0)), 'x');
    constexpr int kBatch = 100;
    for (auto _ : state) {
        int64_t expected = relay.received + kBatch;
        for (int i = 0; i < kBatch; ++i)
            relay.Channel(0).SendText(text, 1);
        relay.PollUntil([&] { return relay.received == expected; });
    }
    state.counters["messages_per_s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kBatch, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_QelThroughput)->Arg(64)->Arg(1024)->UseRealTime();

void BM_QelPollIdle200(benchmark::State& state) {
    Relay relay(200, 20);
    if (!relay.Ready()) return state.SkipWithError("no free port");
    for (auto _ : state)
        relay.Poll();
}
BENCHMARK(BM_QelPollIdle200);

void BM_QelBurst1MiB(benchmark::State& state) {
    Relay relay(2);
    if (!relay.Ready()) return state.SkipWithError("no free port");
    // The largest text whose relayed message stays within the 1 MiB limit.
    std::string text(static_cast<size_t>(QelMaxMessage() - 15), 'b');
    for (auto _ : state) {
        int64_t expected = relay.received + 1;
        relay.Channel(0).SendText(text, 1);
        relay.PollUntil([&] { return relay.received == expected; });
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["max_rss_mib"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_QelBurst1MiB)->UseRealTime();

} // namespace
