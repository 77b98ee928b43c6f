// The networking classes' side of the library. Texts fired by the library reach OnMessage
// handlers of a script: from the poll through the script event to the handler's run, 10,000
// texts a run, fired straight into the root (no peer: the wire is net_qel's business).
// ReceiveLine reads 1 MB of lines through its kept buffer beside a plain loop of receives
// splitting the same bytes at LF, both over the in-memory network.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "classes/net/net_classes.h"
#include "classes/net/qel_wrapper.h"
#include "classes/system/system_classes.h"
#include "foundation/containers/ptr_array.h"
#include "net/qel_api.h"
#include "net/qel_memory_sockets.h"
#include "net/qel_player.h"
#include "net/qel_socket.h"
#include "script/classes/class_table.h"
#include "script/classes/string_class.h"
#include "script/interpreter/ierror.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_compiler.h"
#include "script/runtime/neighbour_services.h"
#include "side_by_side.h"

namespace {

constexpr int kTexts = 10000;
// Below the interpreter's limit of pending events.
constexpr int kTextsPerPoll = 1000;
int fired = 0;

// The message pump's poll, firing the next texts at the script's player first.
void FireAndPoll(CInterpretor& interpreter) {
    QelAPI* root = FindNetworkRoot(interpreter);
    QelHost* host = root != nullptr ? root->GetHost(0) : nullptr;
    QelPlayer* player = host != nullptr ? host->GetPlayer(0) : nullptr;
    for (int i = 0; player != nullptr && i < kTextsPerPoll && fired < kTexts; ++i, ++fired)
        root->FireEvent(kQelEventUserText, player, nullptr, "a text of the chat", 7);
    PollNetwork(interpreter);
}

const char kScript[] = R"(
n = 0;
Function Said(p, u, text, code) { n++; }
q = New Qel();
server = 0;
For (port = 48100; port < 49000 && server == 0; port = port + 2) {
    server = q.HostServer(port);
    If (server.GetServerIP() == "") { server.Disconnect(); server = 0; }
}
p = q.Connect("127.0.0.1", server.GetPort(), "p");
p.OnMessage = Said;
While (n < 10000) Program.Wait(0);
)";

void BM_TextsToOnMessageHandlers(benchmark::State& state) {
    RegisterScriptClass(GetStringClassInfo());
    RegisterSystemClasses();
    RegisterNetClasses();
    GetNeighbourServices().pollNetwork = &FireAndPoll;
    for (auto _ : state) {
        fired = 0;
        CInterpretor interpreter;
        PtrArray names;
        BuildBuiltinClassNameList(names);
        interpreter.InitClassRegistry(names);
        CTokenInfos report;
        report.AddSourceText(kScript, uint32_t(sizeof kScript - 1), kUnitOwnsText, "bench.zs", 0);
        if (interpreter.GetCompiler()->Compile(report) != 1) {
            state.SkipWithError("the script does not compile");
            break;
        }
        try {
            interpreter.Start(report);
            if (interpreter.RunMain(report, nullptr) != 1) state.SkipWithError("the run failed");
        } catch (CIError* error) {
            delete error;
            state.SkipWithError("the run failed");
        }
    }
    UnregisterNetClasses();
    state.SetItemsProcessed(state.iterations() * kTexts);
}
BENCHMARK(BM_TextsToOnMessageHandlers)->Unit(benchmark::kMillisecond);

// 1 MB of lines of 10 to 70 characters, CR LF ended.
std::string Lines(int& count) {
    std::string text;
    count = 0;
    for (int i = 0; text.size() < 1000000; ++i, ++count) {
        text.append(size_t(10 + i % 61), char('a' + i % 26));
        text += "\r\n";
    }
    return text;
}

void BM_ReceiveLineBesideRecv(benchmark::State& state) {
    int lineCount = 0;
    const std::string text = Lines(lineCount);
    QelMemorySockets sockets;
    QelAPI api(&sockets);
    QelSocket listener(api);
    listener.Listen(5000);
    ws::sockaddr_in address{};
    address.sin_family = ws::AF_INET;
    address.sin_port = ws::htons(5000);
    address.sin_addr.s_addr = ws::inet_addr("127.0.0.1");
    ws::SOCKET peer = sockets.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
    sockets.Connect(peer, address);
    QelSocket* ours = listener.Accept();
    ws::SOCKET plainPeer = sockets.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
    sockets.Connect(plainPeer, address);
    ws::sockaddr_in from{};
    ws::SOCKET plain = sockets.Accept(listener.pair.tcp.handle, from);
    size_t lengths = 0;
    bench::SideBySide(
        state, int64_t(text.size()), "recv",
        [&] {
            sockets.Send(peer, text.data(), int(text.size()));
            for (int i = 0; i < lineCount; ++i)
                lengths += ours->ReceiveLine().size();
        },
        [&] {
            sockets.Send(plainPeer, text.data(), int(text.size()));
            char buffer[64 * 1024];
            std::string line;
            for (int lines = 0; lines < lineCount;) {
                int got = sockets.Receive(plain, buffer, int(sizeof buffer), 0);
                for (int i = 0; i < got; ++i) {
                    if (buffer[i] == '\n') {
                        lengths += line.size();
                        line.clear();
                        ++lines;
                    } else if (buffer[i] != '\r') {
                        line.push_back(buffer[i]);
                    }
                }
            }
        });
    benchmark::DoNotOptimize(lengths);
}
BENCHMARK(BM_ReceiveLineBesideRecv)->Unit(benchmark::kMillisecond);

} // namespace
