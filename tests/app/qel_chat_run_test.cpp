// End to end: packed players on 127.0.0.1. A server project and a client project talk and
// both end normally; a client whose server is not there stays unconnected without an
// event, and the chat example says so and lets its user give up.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <random>
#include <string>

#include "app/player_run.h"
#include "net/qel_socket_system.h"
#include "support/temp_dir.h"

namespace {

using app_test::PackFolder;
using app_test::PlayerOutcome;
using app_test::RunPlayer;

// A port whose TCP side and the UDP side above it were free a moment ago, below the
// ephemeral range: a client retrying a port of that range may be given it as its own.
int32_t FreePort() {
    QelSocketSystem& sockets = QelNetworkSockets();
    auto frees = [&sockets](int type, int protocol, int32_t port) {
        ws::SOCKET probe = sockets.Open(type, protocol);
        ws::sockaddr_in address{};
        address.sin_family = ws::AF_INET;
        address.sin_port = ws::htons(static_cast<uint16_t>(port));
        bool bound = sockets.Bind(probe, address) == 0;
        sockets.Close(probe);
        return bound;
    };
    int32_t first = 20000 + static_cast<int32_t>(std::random_device{}() % 5000) * 2;
    for (int32_t port = first; port < first + 400; port += 2)
        if (frees(ws::SOCK_STREAM, ws::IPPROTO_TCP, port) &&
            frees(ws::SOCK_DGRAM, ws::IPPROTO_UDP, port + 1))
            return port;
    return 0;
}

void WriteProject(test_support::TempDir& folder, const std::string& script) {
    std::filesystem::create_directories(folder.Linux("game"));
    folder.WriteFile("game/project.zpk", "entry Game\n  module main.zs\n");
    folder.WriteFile("game/main.zs", script);
}

// The server's handlers are set as soon as it and its connections exist; a client may
// have connected and spoken before, so it says its text again until it hears back.
const char kServer[] = R"(port = (Program.GetArgument(0)).GetInt();
out = New File("/dev/stderr", File.WRITEONLY);
finished = 0; said = 0;
Function FromClient(c, text, code) {
    If (said == 0) out.WriteLn("server heard: ", text, " ", code);
    said = 1;
    c.SendText("hello from the server", 2);
}
Function Dead(s, c) { finished = 1; }
q = New Qel();
server = q.HostServer(port);
server.OnDeadConnection = Dead;
If (server.GetServerIP() == "") { out.WriteLn("port taken"); Program.End(); }
For (i = 0; i < 1500 && finished == 0; i++) {
    For (k = 0; k < server.GetConnectionCount(); k++) {
        c = server.GetConnection(k);
        c.OnMsgFromClient = FromClient;
    }
    Program.Wait(20);
}
If (finished == 0) out.WriteLn("no client");
)";

const char kClient[] = R"(port = (Program.GetArgument(0)).GetInt();
out = New File("/dev/stderr", File.WRITEONLY);
q = New Qel();
heard = 0;
Function FromServer(p, text, code) { out.WriteLn("client heard: ", text, " ", code); heard = 1; }
me = 0;
For (tries = 0; tries < 150 && me == 0; tries++) {
    p = q.Connect("127.0.0.1", port, "client");
    For (i = 0; i < 10 && p.IsConnected() == 0; i++) Program.Wait(20);
    If (p.IsConnected()) me = p; Else Delete p;
}
me.OnMsgFromServer = FromServer;
For (i = 0; i < 1500 && heard == 0; i++) {
    If (i % 25 == 0) me.SendText("hello from the client", 1);
    Program.Wait(20);
}
)";

TEST(QelChatRun, AServerProjectAndAClientProjectTalkAndBothEnd) {
    int32_t port = FreePort();
    ASSERT_NE(port, 0);
    test_support::TempDir serverFolder;
    test_support::TempDir clientFolder;
    WriteProject(serverFolder, kServer);
    WriteProject(clientFolder, kClient);
    ASSERT_TRUE(PackFolder(serverFolder));
    ASSERT_TRUE(PackFolder(clientFolder));
    const std::string argument = std::to_string(port);
    auto server = std::async(std::launch::async, [&] {
        return RunPlayer(serverFolder, serverFolder.Linux("packed"), {argument});
    });
    PlayerOutcome client = RunPlayer(clientFolder, clientFolder.Linux("packed"), {argument});
    PlayerOutcome hosting = server.get();
    EXPECT_EQ(client.exitCode, 0) << client.errors;
    EXPECT_EQ(client.errors, "client heard: hello from the server 2\r\n");
    EXPECT_EQ(hosting.exitCode, 0) << hosting.errors;
    EXPECT_EQ(hosting.errors, "server heard: hello from the client 1\r\n");
}

TEST(QelChatRun, AClientWithoutItsServerStaysUnconnectedAndHearsNothing) {
    int32_t port = FreePort();
    ASSERT_NE(port, 0);
    test_support::TempDir folder;
    WriteProject(folder, R"(out = New File("/dev/stderr", File.WRITEONLY);
events = 0;
Function Happened(p) { events++; }
q = New Qel();
p = q.Connect("127.0.0.1", )" +
                             std::to_string(port) + R"(, "alone");
p.OnConnected = Happened;
p.OnDisconnected = Happened;
Program.Wait(500);
out.WriteLn(p.IsConnected(), " ", p.IsValid(), " ", events, " ", q.GetPlayerCount());
)");
    ASSERT_TRUE(PackFolder(folder));
    PlayerOutcome outcome = RunPlayer(folder, folder.Linux("packed"));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    EXPECT_EQ(outcome.errors, "0 1 0 1\r\n");

    // The chat example tells its user and, answered No, ends.
    test_support::TempDir chat;
    std::filesystem::copy(std::filesystem::path(ZORV_SOURCE_DIR) / "examples" / "chat",
                          chat.Linux("game"));
    ASSERT_TRUE(PackFolder(chat));
    outcome = RunPlayer(chat, chat.Linux("packed"), {"join", "127.0.0.1"});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    EXPECT_EQ(outcome.errors, "Chat: No chat room answers at 127.0.0.1:4747. Try again?\n");
}

} // namespace
