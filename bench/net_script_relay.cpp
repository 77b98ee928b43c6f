// A relay through a packed server script, as a game's server runs: a player process whose
// script hosts a Qel server and sends every text a player sends it straight back
// (OnMsgFromClient calling SendText, nothing more). One player of this process, polled
// back to back, times it: the round trip of one text, and texts a second with 100 in
// flight. ENet's relay of the same texts over its reliable channel runs beside it in the
// same iterations. Counters: "ours" and "enet" in millions of texts a second, "ratio" our
// time over ENet's; "round_trip_us" for ours alone.
#include <benchmark/benchmark.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "net/qel_api.h"
#include "net/qel_player.h"
#include "packer/class_list.h"
#include "packer/pack_output.h"
#include "packer/project_writer.h"
#include "script/project/project_format.h"
#include "side_by_side.h"

// After ours: it brings the C library's socket macros, which WinSock's names would meet.
#include <enet/enet.h>

extern char** environ;

namespace {

const char kServerScript[] = R"(Function Relay(c, text, code) { c.SendText(text, code); }
Function Came(s, c) { c.OnMsgFromClient = Relay; }
q = New Qel();
server = q.HostServer((Program.GetArgument(0)).GetInt());
server.OnNewConnection = Came;
While (1) Program.Wait(1000);
)";

// The player carrying the server script, packed on first use; empty when packing failed.
const std::string& PackedServer() {
    static const std::string path = [] {
        PackProject project;
        project.classes = BuiltinClassList();
        PackEntry& entry = project.entries.emplace_back();
        entry.name = "Relay";
        PackElement module;
        module.name = "relay.zs";
        module.data.assign(kServerScript, kServerScript + sizeof kServerScript - 1);
        BankOfType(entry, project_format::kSourceBank).elements.push_back(module);
        ProjectChunkWriter data;
        std::string error;
        const std::string output =
            (std::filesystem::temp_directory_path() / "zorv_relay_bench").string();
        if (!WriteProjectData(project, data, error) ||
            !WriteAppendedProject(ZORV_PLAYER_PATH, data.Bytes(), output, error))
            return std::string();
        return output;
    }();
    return path;
}

// The server script's process and one player signed on to it.
class ScriptRelay {
public:
    ScriptRelay() {
        api_.SetCallback(kQelEventPlayerServerText, [this](const QelEvent&) { ++received; });
        const std::string& server = PackedServer();
        if (server.empty()) return;
        const std::string port = std::to_string(kPort);
        const char* argv[] = {server.c_str(), port.c_str(), nullptr};
        std::vector<std::string> settings = {"ZORV_DISPLAY=headless", "ZORV_AUDIO=none"};
        std::vector<char*> env;
        for (char** e = environ; *e != nullptr; ++e)
            env.push_back(*e);
        for (std::string& s : settings)
            env.push_back(s.data());
        env.push_back(nullptr);
        if (posix_spawn(&pid_, server.c_str(), nullptr, nullptr, const_cast<char**>(argv),
                        env.data()) != 0) {
            pid_ = 0;
            return;
        }
        // The script needs a moment to start listening; a player that came too early dies.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < end) {
            player_ = api_.CreateHost()->Connect("127.0.0.1", kPort, "bench");
            for (int i = 0; i < 20000 && player_->IsValid() && player_->GetId() == 0; ++i) {
                api_.Process();
                if (i > 100) std::this_thread::sleep_for(std::chrono::microseconds(100));
            }
            if (player_->IsValid() && player_->GetId() != 0) return;
            player_ = nullptr;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    ~ScriptRelay() {
        if (pid_ == 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }

    bool Ready() const { return player_ != nullptr; }
    void Send(const std::string& text) { player_->SendText(text, 1); }
    template <class Condition> void PollUntil(Condition condition) {
        for (int i = 0; i < 10000000 && !condition(); ++i)
            api_.Process();
    }

    int64_t received = 0;

private:
    static constexpr int32_t kPort = 43210;
    pid_t pid_ = 0;
    QelAPI api_;
    QelPlayer* player_ = nullptr;
};

// ENet's relay: one client's reliable packets sent back by a server host, every host
// serviced back to back without waiting.
class EnetEcho {
public:
    EnetEcho() {
        enet_initialize();
        ENetAddress address{};
        enet_address_set_host(&address, "127.0.0.1");
        for (uint16_t port = 43300; port < 43400 && server_ == nullptr; ++port) {
            address.port = port;
            server_ = enet_host_create(&address, 1, 1, 0, 0);
        }
        if (server_ == nullptr) return;
        client_ = enet_host_create(nullptr, 1, 1, 0, 0);
        peer_ = enet_host_connect(client_, &address, 1, 0);
        bool up = false;
        for (int i = 0; i < 100000 && !up; ++i) {
            Service();
            up = peer_->state == ENET_PEER_STATE_CONNECTED;
        }
        if (!up) peer_ = nullptr;
    }
    ~EnetEcho() {
        if (client_ != nullptr) enet_host_destroy(client_);
        if (server_ != nullptr) enet_host_destroy(server_);
        enet_deinitialize();
    }

    bool Ready() const { return peer_ != nullptr; }
    void Send(const std::string& text) {
        enet_peer_send(peer_, 0,
                       enet_packet_create(text.data(), text.size(), ENET_PACKET_FLAG_RELIABLE));
    }
    template <class Condition> void ServiceUntil(Condition condition) {
        for (int i = 0; i < 10000000 && !condition(); ++i)
            Service();
    }

    int64_t received = 0;

private:
    void Service() {
        ENetEvent event;
        while (enet_host_service(server_, &event, 0) > 0) {
            if (event.type != ENET_EVENT_TYPE_RECEIVE) continue;
            enet_peer_send(event.peer, 0,
                           enet_packet_create(event.packet->data, event.packet->dataLength,
                                              ENET_PACKET_FLAG_RELIABLE));
            enet_packet_destroy(event.packet);
        }
        while (enet_host_service(client_, &event, 0) > 0) {
            if (event.type != ENET_EVENT_TYPE_RECEIVE) continue;
            ++received;
            enet_packet_destroy(event.packet);
        }
    }

    ENetHost* server_ = nullptr;
    ENetHost* client_ = nullptr;
    ENetPeer* peer_ = nullptr;
};

// `inFlight` texts sent, then all awaited, in each iteration, by both relays.
void Relay(benchmark::State& state, int inFlight) {
    ScriptRelay ours;
    EnetEcho enet;
    if (!ours.Ready() || !enet.Ready()) return state.SkipWithError("no relay");
    const std::string text(static_cast<size_t>(state.range(0)), 'x');
    std::chrono::steady_clock::duration ourTime{};
    bench::SideBySide(
        state, inFlight, "enet",
        [&] {
            const auto start = std::chrono::steady_clock::now();
            const int64_t expected = ours.received + inFlight;
            for (int i = 0; i < inFlight; ++i)
                ours.Send(text);
            ours.PollUntil([&] { return ours.received >= expected; });
            ourTime += std::chrono::steady_clock::now() - start;
        },
        [&] {
            const int64_t expected = enet.received + inFlight;
            for (int i = 0; i < inFlight; ++i)
                enet.Send(text);
            enet.ServiceUntil([&] { return enet.received >= expected; });
        });
    if (inFlight == 1)
        state.counters["round_trip_us"] =
            std::chrono::duration<double, std::micro>(ourTime).count() /
            static_cast<double>(state.iterations());
}

void BM_ScriptRelayRoundTripBesideEnet(benchmark::State& state) {
    Relay(state, 1);
}
BENCHMARK(BM_ScriptRelayRoundTripBesideEnet)->Arg(64)->Arg(1024)->UseRealTime();

void BM_ScriptRelayThroughputBesideEnet(benchmark::State& state) {
    Relay(state, 100);
}
BENCHMARK(BM_ScriptRelayThroughputBesideEnet)->Arg(64)->Arg(1024)->UseRealTime();

} // namespace
