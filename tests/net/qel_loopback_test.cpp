// The library over real sockets on 127.0.0.1: the protocol end to end, raw peers that
// reset or refuse, datagrams from a party of their own address and many clients at once.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <atomic>
#include <thread>

#include "net/qel_player.h"
#include "net/qel_protocol.h"
#include "net/qel_server.h"
#include "net/qel_socket_system.h"
#include "net/qel_test_support.h"

namespace {

void WaitPolls(QelAPI& api, const std::function<bool()>& condition) {
    for (int i = 0; i < 5000 && !condition(); ++i) {
        api.Process();
        if (i > 50) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

class QelLoopbackTest : public ::testing::Test {
protected:
    void SetUp() override {
        server = HostOnFreePort(*serverHost);
        ASSERT_NE(server, nullptr);
    }

    QelAPI api;
    EventRecorder events{api};
    QelHost* serverHost = api.CreateHost();
    QelServer* server = nullptr;
};

TEST_F(QelLoopbackTest, TextsRelayedBetweenTwoPlayers) {
    QelHost* host = api.CreateHost();
    QelPlayer* ann = host->Connect("127.0.0.1", server->GetPort(), "ann");
    QelPlayer* bob = host->Connect("localhost", server->GetPort(), "bob");
    WaitPolls(api, [&] { return events.Count(kQelEventConnectionNamed) == 2; });
    ASSERT_EQ(events.Count(kQelEventSignedOn), 2);
    QelChannel* annRoom = ann->JoinChannel("room");
    WaitPolls(api, [&] { return annRoom->GetId() != 0; });
    QelChannel* bobRoom = bob->JoinChannel("room");
    WaitPolls(api, [&] { return annRoom->GetUserCount() == 2 && bobRoom->GetUserCount() == 2; });
    EXPECT_EQ(bobRoom->FindUser(ann->GetId())->GetAddressText(), "127.0.0.1");
    EXPECT_EQ(ann->GetServerAddressText(), "127.0.0.1");
    EXPECT_EQ(ann->GetLocalAddressText(), "127.0.0.1");

    for (int i = 0; i < 20; ++i)
        annRoom->SendText("text " + std::to_string(i), 1);
    WaitPolls(api, [&] { return events.Count(kQelEventUserText) == 20; });
    EXPECT_EQ(events.Last(kQelEventUserText)->text, "text 19");
    EXPECT_GT(ann->stats.outPackets, 0);
    EXPECT_GT(server->stats.totalBytesIn, 0);
}

TEST_F(QelLoopbackTest, RefusedConnectLeavesThePlayerUnconnected) {
    int32_t port = server->GetPort();
    delete server;
    QelHost* host = api.CreateHost();
    QelPlayer* player = host->Connect("127.0.0.1", port, "p");
    for (int i = 0; i < 200 && !player->pair.HasException(); ++i) {
        api.Process();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(player->pair.HasException(), 1);
    EXPECT_EQ(player->pair.IsAlive(), 0);
    PollTimes(api, 5);
    EXPECT_EQ(host->GetPlayerCount(), 1u);
    EXPECT_FALSE(player->IsConnected());
    EXPECT_EQ(events.Count(kQelEventPlayerDestroyed), 0);
}

TEST_F(QelLoopbackTest, ResetPeerIsDroppedWithoutSignal) {
    QelSocketSystem& sockets = QelNetworkSockets();
    ws::SOCKET raw = sockets.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
    sockets.Connect(raw, Address("127.0.0.1", server->GetPort()));
    WaitPolls(api, [&] {
        return server->GetConnectionCount() == 1 && server->GetConnection(0)->IsGreeted();
    });
    WaitPolls(api, [&] { return server->GetConnection(0)->GetQueuedCount() == 0; });
    // The welcome lies unread: the close resets the connection.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    sockets.Close(raw);
    for (int i = 0; i < 20; ++i)
        server->SendText("are you there", 1);
    WaitPolls(api, [&] { return server->GetConnectionCount() == 0; });
    EXPECT_EQ(events.Count(kQelEventConnectionDestroyed), 1);
}

TEST_F(QelLoopbackTest, DatagramsFromAPartyOfItsOwnAddress) {
    QelSocketSystem& sockets = QelNetworkSockets();
    ws::SOCKET raw = sockets.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
    ASSERT_EQ(sockets.Bind(raw, Address("127.0.0.2", 0)), 0);
    sockets.Connect(raw, Address("127.0.0.1", server->GetPort()));
    WaitPolls(api, [&] { return server->GetConnectionCount() == 1; });
    uint32_t id = server->GetConnection(0)->GetId();
    EXPECT_EQ(server->GetConnection(0)->GetAddressText(), "127.0.0.2");

    // Bound to 127.0.0.2, so each datagram sent to it has that one receiver.
    ws::SOCKET party = sockets.Open(ws::SOCK_DGRAM, ws::IPPROTO_UDP);
    sockets.SetOption(party, ws::SOL_SOCKET, ws::SO_REUSEADDR, 1);
    ASSERT_EQ(sockets.Bind(party, Address("127.0.0.2", server->GetPort() + 1)), 0);
    ws::sockaddr_in to = Address("127.0.0.1", server->GetPort() + 1);
    for (int size : {1, 6, 14, 15, 100, 4096, 9000}) {
        std::string datagram(static_cast<size_t>(size), '\x01');
        sockets.SendTo(party, datagram.data(), size, to);
        datagram[0] = '\x02';
        sockets.SendTo(party, datagram.data(), size, to);
    }
    QelPacket text;
    QelPutServerText(text, 9, id, "from udp");
    sockets.SendTo(party, reinterpret_cast<const char*>(text.GetData()), text.GetLength(), to);
    WaitPolls(api, [&] {
        return events.Last(kQelEventServerText) != nullptr &&
               events.Last(kQelEventServerText)->text == "from udp";
    });
    EXPECT_EQ(events.Last(kQelEventServerText)->code, 9);

    // The server's blast to that connection reaches its address at N + 1.
    server->BlastText("back", 4);
    char buffer[64];
    ws::sockaddr_in from{};
    int got = -1;
    for (int i = 0; i < 2000 && got < 0; ++i) {
        got = sockets.ReceiveFrom(party, buffer, sizeof buffer, from);
        if (got < 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(got, kQelRelayHeader + 4);
    QelPacket received;
    received.Set(buffer, got);
    EXPECT_EQ(received.GetU8(0), kQelText);
    EXPECT_EQ(received.GetU16(1), 4);
    EXPECT_EQ(received.GetU32(11), id);
    EXPECT_EQ(received.CopyText(kQelRelayHeader, 4), "back");
    // The welcome, the hello and the datagram.
    EXPECT_EQ(server->GetConnection(0)->stats.outPackets, 3);
    sockets.Close(party);
    sockets.Close(raw);
}

TEST_F(QelLoopbackTest, ThousandClientsInHundredSessions) {
    // Each client is a TCP socket, its server end and a UDP socket.
    constexpr int kClients = 1000;
    constexpr rlim_t kNeeded = 3 * kClients + 100;
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_cur < kNeeded) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
        getrlimit(RLIMIT_NOFILE, &limit);
    }
    if (limit.rlim_cur < kNeeded)
        GTEST_SKIP() << "skipped: needs " << kNeeded << " descriptors, the hard limit is "
                     << limit.rlim_max;
    std::vector<QelPlayer*> players;
    std::vector<QelHost*> hosts;
    for (int i = 0; i < kClients; ++i) {
        if (i % 10 == 0) hosts.push_back(api.CreateHost());
        players.push_back(hosts.back()->Connect("127.0.0.1", server->GetPort(), "p"));
        // The backlog is 3 and one accept is made per poll.
        api.Process();
    }
    WaitPolls(api, [&] { return events.Count(kQelEventConnectionNamed) == kClients; });
    ASSERT_EQ(events.Count(kQelEventConnectionNamed), kClients);
    for (int i = 0; i < kClients; ++i)
        players[i]->JoinChannel("s" + std::to_string(i / 10));
    WaitPolls(api, [&] {
        for (QelPlayer* player : players)
            if (player->GetChannelCount() != 1 || player->GetChannel(0)->GetUserCount() != 10)
                return false;
        return true;
    });
    EXPECT_EQ(server->GetSessionCount(), 100u);
    events.Clear();
    for (QelPlayer* player : players)
        player->GetChannel(0)->SendText("hello", 2);
    WaitPolls(api, [&] { return events.Count(kQelEventUserText) == kClients * 9; });
    EXPECT_EQ(events.Count(kQelEventUserText), kClients * 9);
}

} // namespace
