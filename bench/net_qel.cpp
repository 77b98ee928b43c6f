// The Qel library over loopback: texts relayed by a server between two players (messages
// a second, and the round trip of one text with polls back to back), a poll of 200 idle
// connections in 20 sessions, and a 1 MiB text relayed whole.
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
