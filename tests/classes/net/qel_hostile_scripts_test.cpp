// Scripts under peers that send faster than any script takes events: the run goes on and
// an honest peer's texts all arrive, in order. The hostile peers are played from the
// message pump's network poll, on 127.0.0.1.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classes/net/qel_wrapper.h"
#include "net/qel_api.h"
#include "net/qel_player.h"
#include "net/qel_protocol.h"
#include "net/qel_server.h"
#include "net/qel_socket_system.h"
#include "script/runtime/neighbour_services.h"
#include "script/script_runner.h"

namespace {

ws::sockaddr_in Loopback(int32_t port) {
    ws::sockaddr_in address{};
    address.sin_family = ws::AF_INET;
    address.sin_port = ws::htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = ws::inet_addr("127.0.0.1");
    return address;
}

// A listening socket of the test on a free loopback port; its port in `port`.
ws::SOCKET LoopbackListener(int32_t& port) {
    QelSocketSystem& sockets = QelNetworkSockets();
    ws::SOCKET listener = sockets.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
    ws::sockaddr_in bound{};
    if (sockets.Bind(listener, Loopback(0)) == 0 && sockets.Listen(listener, 5) == 0)
        sockets.LocalAddress(listener, bound);
    port = ws::ntohs(bound.sin_port);
    return listener;
}

// A TCP peer that keeps what the socket did not take for the next try, so that its
// messages stay whole however full the socket is.
struct StreamPeer {
    ws::SOCKET socket = ws::INVALID_SOCKET;
    std::string unsent;

    void Queue(const QelPacket& message) {
        unsent.append(reinterpret_cast<const char*>(message.GetData()),
                      static_cast<size_t>(message.GetLength()));
    }
    void Flush() {
        if (unsent.empty()) return;
        int sent = QelNetworkSockets().Send(socket, unsent.data(), static_cast<int>(unsent.size()));
        if (sent > 0) unsent.erase(0, static_cast<size_t>(sent));
    }
};

// A script function that hosts a server of q on the first free even port from `first`.
std::string HostOn(int first) {
    return "Function HostOn(q) {\n"
           "    For (port = " +
           std::to_string(first) +
           "; port < 44000; port = port + 2) {\n"
           "        s = q.HostServer(port);\n"
           "        If (s.GetServerIP() != \"\") Return s;\n"
           "        s.Disconnect();\n"
           "    }\n"
           "    Return 0;\n"
           "}\n";
}

std::string Probes(int first, int count) {
    std::string lines;
    for (int i = 0; i < count; ++i)
        lines += std::to_string(first + i) + "\n";
    return lines;
}

// A server of the test's own at which the script's player connects; once greeted, the
// player is shot at with datagrams that claim to come from the server, then sent 20
// honest texts over TCP.
struct SpoofingServer {
    ws::SOCKET listener = ws::INVALID_SOCKET;
    ws::SOCKET spoofer = ws::INVALID_SOCKET;
    StreamPeer client;
    int32_t port = 0;
    int spoofed = 0;
    bool probed = false;
} spoofing;

void PollWithSpoofedDatagrams(CInterpretor& interpreter) {
    QelSocketSystem& sockets = QelNetworkSockets();
    SpoofingServer& s = spoofing;
    if (s.client.socket == ws::INVALID_SOCKET) {
        ws::sockaddr_in peer{};
        s.client.socket = sockets.Accept(s.listener, peer);
        if (s.client.socket != ws::INVALID_SOCKET) {
            QelPacket hello;
            QelPutHello(hello, kQelVersion, 7);
            s.client.Queue(hello);
        }
    } else if (s.spoofed < 12000) {
        QelPacket datagram;
        QelPutRelay(datagram, 1, 0, 0, 7, "spoofed");
        for (int i = 0; i < 250; ++i, ++s.spoofed)
            sockets.SendTo(s.spoofer, reinterpret_cast<const char*>(datagram.GetData()),
                           static_cast<int>(datagram.GetLength()), Loopback(s.port + 1));
    } else if (!s.probed) {
        s.probed = true;
        QelPacket text;
        for (uint16_t code = 1000; code < 1020; ++code) {
            QelPutText(text, code, 0, 0, "probe");
            s.client.Queue(text);
        }
    }
    s.client.Flush();
    PollNetwork(interpreter);
}

TEST(QelHostileScripts, SpoofedDatagramsNeverEndAPlayersRun) {
    QelSocketSystem& sockets = QelNetworkSockets();
    spoofing = SpoofingServer{};
    spoofing.listener = LoopbackListener(spoofing.port);
    ASSERT_NE(spoofing.port, 0);
    spoofing.spoofer = sockets.Open(ws::SOCK_DGRAM, ws::IPPROTO_UDP);

    script_test::ScriptRunner runner;
    GetNeighbourServices().pollNetwork = &PollWithSpoofedDatagrams;
    script_test::ScriptResult result = runner.Run(
        "Function Heard(p, text, code) { If (code >= 1000) { Print(code); probes++; } }\n"
        "probes = 0;\n"
        "q = New Qel(); p = q.Connect(\"127.0.0.1\", " +
        std::to_string(spoofing.port) +
        ", \"p\");\n"
        "p.OnMsgFromServer = Heard;\n"
        "For (i = 0; i < 5000 && probes < 20; i++) Program.Wait(1);\n"
        "s = p.GetStats(); Print(\"end\", probes, s.GetDroppedCount() > 0);\n");
    GetNeighbourServices().pollNetwork = &PollNetwork;
    for (ws::SOCKET socket : {spoofing.listener, spoofing.spoofer, spoofing.client.socket})
        sockets.Close(socket);
    EXPECT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, Probes(1000, 20) + "end 20 1\n");
}

// Ten clients of the script's server that send texts as fast as the server reads them,
// and a probe client that signs on first and sends 20 texts once the flood runs.
struct Flood {
    std::vector<StreamPeer> flooders;
    StreamPeer probe;
    int calls = 0;
} flood;

void PollWithAFlood(CInterpretor& interpreter) {
    QelAPI* root = FindNetworkRoot(interpreter);
    QelHost* host = root != nullptr ? root->GetHost(0) : nullptr;
    QelServer* server = host != nullptr ? host->GetServer(0) : nullptr;
    if (server != nullptr && !server->GetLocalAddressText().empty()) {
        QelSocketSystem& sockets = QelNetworkSockets();
        Flood& f = flood;
        QelPacket message;
        if (f.probe.socket == ws::INVALID_SOCKET) {
            f.probe.socket = sockets.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
            sockets.Connect(f.probe.socket, Loopback(server->GetPort()));
            QelPutSignOn(message, kQelVersion, "probe");
            f.probe.Queue(message);
        }
        if (f.calls == 100) {
            for (StreamPeer& flooder : f.flooders) {
                flooder.socket = sockets.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
                sockets.Connect(flooder.socket, Loopback(server->GetPort()));
                QelPutSignOn(message, kQelVersion, "flooder");
                flooder.Queue(message);
            }
        }
        if (f.calls >= 100 && f.calls < 4000) {
            QelPutTextToServer(message, 1, std::string(200, 'f'));
            for (StreamPeer& flooder : f.flooders) {
                while (flooder.unsent.size() < 16 * 1024)
                    flooder.Queue(message);
                flooder.Flush();
            }
        }
        if (f.calls == 300) {
            for (uint16_t code = 1; code <= 20; ++code) {
                QelPutTextToServer(message, code, "probe");
                f.probe.Queue(message);
            }
        }
        f.probe.Flush();
        ++f.calls;
    }
    PollNetwork(interpreter);
}

TEST(QelHostileScripts, TenFloodingConnectionsNeverEndAServersRun) {
    flood = Flood{};
    flood.flooders.resize(10);
    script_test::ScriptRunner runner;
    GetNeighbourServices().pollNetwork = &PollWithAFlood;
    script_test::ScriptResult result = runner.Run(
        HostOn(42300) +
        "Function FromClient(c, text, code) {\n"
        "    If (c.GetName() == \"probe\") { Print(code); probes++; }\n"
        "}\n"
        "Function NewConnection(s, c) { c.OnMsgFromClient = FromClient; }\n"
        "probes = 0;\n"
        "q = New Qel(); server = HostOn(q); server.OnNewConnection = NewConnection;\n"
        "For (i = 0; i < 8000 && probes < 20; i++) Program.Wait(1);\n"
        "Print(\"end\", probes, server.GetConnectionCount());\n");
    GetNeighbourServices().pollNetwork = &PollNetwork;
    for (StreamPeer& flooder : flood.flooders)
        QelNetworkSockets().Close(flooder.socket);
    QelNetworkSockets().Close(flood.probe.socket);
    EXPECT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, Probes(1, 20) + "end 20 11\n");
}

// The message pump's poll, firing 1,000 texts at the script's player in its first round.
bool burstFired = false;
void PollWithABurstOfTexts(CInterpretor& interpreter) {
    QelAPI* root = FindNetworkRoot(interpreter);
    QelHost* host = root != nullptr ? root->GetHost(0) : nullptr;
    QelPlayer* player = host != nullptr ? host->GetPlayer(0) : nullptr;
    if (player != nullptr && !burstFired) {
        burstFired = true;
        for (int i = 0; i < 1000; ++i)
            root->FireEvent(kQelEventPlayerServerText, player, nullptr, "burst", 1);
    }
    PollNetwork(interpreter);
}

TEST(QelHostileScripts, AWaitRunsTheEventsThatWaitBackToBack) {
    script_test::ScriptRunner runner;
    burstFired = false;
    GetNeighbourServices().pollNetwork = &PollWithABurstOfTexts;
    // Nothing listens on port 1: the player stays, unconnected.
    script_test::ScriptResult result =
        runner.Run("Function Heard(p, text, code) { n++; }\n"
                   "n = 0; q = New Qel(); p = q.Connect(\"127.0.0.1\", 1, \"p\");\n"
                   "p.OnMsgFromServer = Heard;\n"
                   "Program.Wait(500);\n"
                   "Print(n);\n");
    GetNeighbourServices().pollNetwork = &PollNetwork;
    EXPECT_EQ(result.ok, 1) << "error " << result.code;
    EXPECT_EQ(result.output, "1000\n");
}

// A peer of the script's raw socket that sends a few bytes once and no more.
struct Talker {
    ws::SOCKET listener = ws::INVALID_SOCKET;
    ws::SOCKET accepted = ws::INVALID_SOCKET;
} talker;

void PollWithATalker(CInterpretor& interpreter) {
    if (talker.accepted == ws::INVALID_SOCKET) {
        ws::sockaddr_in peer{};
        talker.accepted = QelNetworkSockets().Accept(talker.listener, peer);
        if (talker.accepted != ws::INVALID_SOCKET)
            QelNetworkSockets().Send(talker.accepted, "unread\n", 7);
    }
    PollNetwork(interpreter);
}

// The socket's event repeats while its bytes wait, but the bytes it told of do not wake
// the wait again: the wait sleeps between polls instead of spinning through them.
TEST(QelHostileScripts, BytesLeftUnreadAreToldAgainWithoutSpinningTheWait) {
    QelSocketSystem& sockets = QelNetworkSockets();
    talker = Talker{};
    int32_t port = 0;
    talker.listener = LoopbackListener(port);
    ASSERT_NE(port, 0);
    script_test::ScriptRunner runner;
    GetNeighbourServices().pollNetwork = &PollWithATalker;
    script_test::ScriptResult result = runner.Run(
        "Function Told(s) { reports++; }\n"
        "reports = 0; s = New QelSocket(); s.OnReceived = Told;\n"
        "s.Connect(\"127.0.0.1\", " +
        std::to_string(port) +
        ");\n"
        "For (i = 0; i < 1000 && reports == 0; i++) Program.Wait(5);\n"
        "reports = 0; Program.Wait(300);\n"
        "Print(reports > 0, reports < 100, s.RecvLine());\n");
    GetNeighbourServices().pollNetwork = &PollNetwork;
    sockets.Close(talker.accepted);
    sockets.Close(talker.listener);
    EXPECT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, "1 1 unread\n");
}

TEST(QelHostileScripts, AJoinSeesTheWholeChannelAndALeaverIsNamedInItsEvent) {
    script_test::ScriptRunner runner;
    script_test::ScriptResult result = runner.Run(
        HostOn(42500) +
        "Function SignedOn(p, c) { Print(p.GetName(), \"signed on with\", c.GetUserCount()); }\n"
        "Function UserLeft(c, u) { Print(\"left:\", u.GetName(), u.GetId() == bobId); left++; }\n"
        "Function Dead(s, c) { Print(\"dead:\", c.GetName(), c.GetId() == bobId); left++; }\n"
        "left = 0;\n"
        "q = New Qel(); server = HostOn(q);\n"
        "ann = q.Connect(\"127.0.0.1\", server.GetPort(), \"ann\");\n"
        "bob = q.Connect(\"127.0.0.1\", server.GetPort(), \"bob\");\n"
        "For (i = 0; i < 3000 && (ann.GetId() == 0 || bob.GetId() == 0); i++) Program.Wait(2);\n"
        "bobId = bob.GetId();\n"
        "ann.OnSignedOn = SignedOn; bob.OnSignedOn = SignedOn;\n"
        "a = ann.SignOn(\"room\");\n"
        "For (i = 0; i < 3000 && a.GetId() == 0; i++) Program.Wait(2);\n"
        "b = bob.SignOn(\"room\");\n"
        "For (i = 0; i < 3000 && a.GetUserCount() < 2; i++) Program.Wait(2);\n"
        "Program.Wait(50);\n"
        "a.OnUserLeft = UserLeft; server.OnDeadConnection = Dead;\n"
        "Delete bob;\n"
        "For (i = 0; i < 3000 && left < 2; i++) Program.Wait(2);\n");
    EXPECT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, "ann signed on with 1\nbob signed on with 2\n"
                             "dead: bob 1\nleft: bob 1\n");
}

} // namespace
