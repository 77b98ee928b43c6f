// Peers that speak the protocol against us: input faster than the script takes its events,
// datagrams that name a connection they do not come from, names, sessions and members
// without end, over the in-memory network.
#include <gtest/gtest.h>

#include <string>

#include "net/qel_memory_sockets.h"
#include "net/qel_player.h"
#include "net/qel_protocol.h"
#include "net/qel_server.h"
#include "net/qel_test_support.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/test_hooks.h"

namespace {

constexpr int32_t kPort = 7200;

std::string Bytes(const QelPacket& packet) {
    return {reinterpret_cast<const char*>(packet.GetData()),
            static_cast<size_t>(packet.GetLength())};
}

class QelHostilePeersTest : public ::testing::Test {
protected:
    void SetUp() override { platform::test::FreezeClock(5000); }
    void TearDown() override { platform::test::UnfreezeClock(); }

    // A raw client of our server, signed on; its connection.
    QelConnection* SignedOnClient(ws::SOCKET& raw, std::string_view name = "raw") {
        raw = network.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
        EXPECT_EQ(network.Connect(raw, Loopback(kPort)), 0);
        QelPacket message;
        QelPutSignOn(message, kQelVersion, name);
        Send(raw, message);
        int named = events.Count(kQelEventConnectionNamed);
        EXPECT_TRUE(PollUntil(api, [&] { return events.Count(kQelEventConnectionNamed) > named; }));
        return static_cast<QelConnection*>(events.Last(kQelEventConnectionNamed)->second);
    }

    void Send(ws::SOCKET raw, const QelPacket& message) {
        std::string bytes = Bytes(message);
        ASSERT_EQ(network.Send(raw, bytes.data(), static_cast<int>(bytes.size())),
                  static_cast<int>(bytes.size()));
    }

    ws::SOCKET DatagramSocket(int32_t port) {
        ws::SOCKET udp = network.Open(ws::SOCK_DGRAM, ws::IPPROTO_UDP);
        EXPECT_EQ(network.Bind(udp, Loopback(port)), 0);
        return udp;
    }

    void SendTo(ws::SOCKET udp, const QelPacket& datagram, int32_t port) {
        network.SendTo(udp, reinterpret_cast<const char*>(datagram.GetData()),
                       static_cast<int>(datagram.GetLength()), Loopback(port));
    }

    QelMemorySockets network;
    QelAPI api{&network};
    EventRecorder events{api};
    QelHost* host = api.CreateHost();
    QelServer* server = host->HostServer(kPort);
};

TEST_F(QelHostilePeersTest, ABackloggedPeersTextsWaitInItsSocketAndItsDatagramsAreDropped) {
    ws::SOCKET raw;
    QelConnection* connection = SignedOnClient(raw);
    ASSERT_NE(connection, nullptr);
    bool held = true;
    api.SetBacklogProbe([&](const QelObject& peer) { return held && &peer == connection; });
    QelPacket message;
    for (uint16_t code = 0; code < 10; ++code) {
        QelPutTextToServer(message, code, "text " + std::to_string(code));
        Send(raw, message);
    }
    ws::SOCKET udp = DatagramSocket(kPort + 1);
    QelPutServerText(message, 99, connection->GetId(), "by datagram");
    for (int i = 0; i < 5; ++i)
        SendTo(udp, message, kPort + 1);
    PollTimes(api, 30);
    EXPECT_EQ(events.Count(kQelEventServerText), 0);
    EXPECT_GT(network.Pending(connection->pair->tcp.handle), 0u);
    EXPECT_EQ(server->stats.droppedDatagrams, 5);

    held = false;
    ASSERT_TRUE(PollUntil(api, [&] { return events.Count(kQelEventServerText) == 10; }));
    uint16_t expected = 0;
    for (const FiredEvent& event : events.events)
        if (event.number == kQelEventServerText) EXPECT_EQ(event.code, expected++);
}

TEST_F(QelHostilePeersTest, ADatagramIsTakenOnlyFromTheConnectionItNames) {
    ws::SOCKET raw;
    QelConnection* victim = SignedOnClient(raw, "victim");
    ws::SOCKET otherRaw;
    QelConnection* other = SignedOnClient(otherRaw, "other");
    ws::SOCKET genuine = DatagramSocket(kPort + 1);
    ws::SOCKET stranger = DatagramSocket(kPort + 50);
    QelPacket message;
    QelPutJoin(message, "room");
    Send(raw, message);
    Send(otherRaw, message);
    PollTimes(api, 20);
    ASSERT_EQ(server->GetSessionCount(), 1u);
    uint32_t session = server->GetSession(0)->GetId();
    int32_t sentToOther = other->stats.outPackets;

    QelPacket datagram;
    QelPutServerText(datagram, 1, victim->GetId(), "forged");
    SendTo(stranger, datagram, kPort + 1);
    QelPutRelay(datagram, 2, session, victim->GetId(), 0, "forged relay");
    SendTo(stranger, datagram, kPort + 1);
    // Id 0 and ids of no connection name nobody.
    QelPutServerText(datagram, 3, 0, "nobody");
    SendTo(genuine, datagram, kPort + 1);
    QelPutServerText(datagram, 4, 999, "nobody");
    SendTo(genuine, datagram, kPort + 1);
    PollTimes(api, 3);
    EXPECT_EQ(events.Count(kQelEventServerText), 0);
    EXPECT_EQ(server->stats.droppedDatagrams, 4);
    // The relay would have gone to the other member's datagram port.
    EXPECT_EQ(other->stats.outPackets, sentToOther);

    QelPutServerText(datagram, 5, victim->GetId(), "genuine");
    SendTo(genuine, datagram, kPort + 1);
    PollTimes(api, 3);
    ASSERT_EQ(events.Count(kQelEventServerText), 1);
    EXPECT_EQ(events.Last(kQelEventServerText)->first, victim);
    EXPECT_EQ(events.Last(kQelEventServerText)->text, "genuine");
}

TEST_F(QelHostilePeersTest, NamesSessionsAndMembersAreBoundedAndFreedWithThePeer) {
    ws::SOCKET raw;
    QelConnection* connection = SignedOnClient(raw, "spammer");
    std::string longName(kQelMaxName + 1, 'n');
    QelPacket message;
    QelPutJoin(message, longName);
    Send(raw, message);
    QelPutSetName(message, longName);
    Send(raw, message);
    for (size_t i = 0; i < kQelMaxSessionsPerConnection + 6; ++i) {
        QelPutJoin(message, "session " + std::to_string(i));
        Send(raw, message);
    }
    PollTimes(api, 2 * static_cast<int>(kQelMaxSessionsPerConnection) + 20);
    EXPECT_EQ(connection->GetName(), "spammer");
    EXPECT_EQ(connection->GetSessionCount(), kQelMaxSessionsPerConnection);
    EXPECT_EQ(server->GetSessionCount(), kQelMaxSessionsPerConnection);
    EXPECT_EQ(server->FindSessionByName(longName), nullptr);

    // A name of the bound is a name like any other.
    QelPutSetName(message, std::string(kQelMaxName, 'm'));
    Send(raw, message);
    PollTimes(api, 3);
    EXPECT_EQ(connection->GetName().size(), kQelMaxName);

    network.Close(raw);
    PollTimes(api, 3);
    EXPECT_EQ(server->GetConnectionCount(), 0u);
    EXPECT_EQ(server->GetSessionCount(), 0u);

    // Members of one session.
    std::vector<ws::SOCKET> clients(kQelMaxMembers + 3);
    for (ws::SOCKET& client : clients) {
        client = network.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
        ASSERT_EQ(network.Connect(client, Loopback(kPort)), 0);
        QelPutJoin(message, "crowd");
        Send(client, message);
    }
    PollTimes(api, 4);
    ASSERT_EQ(server->GetSessionCount(), 1u);
    EXPECT_EQ(server->GetSession(0)->GetMemberCount(), kQelMaxMembers);
}

TEST_F(QelHostilePeersTest, AHostileServerCannotGrowAChannelWithoutBound) {
    QelChannel* channel = nullptr;
    ws::SOCKET raw = PlayedServer(network, *api.CreateHost(), kPort + 10, channel);
    ASSERT_NE(raw, ws::INVALID_SOCKET);
    ASSERT_EQ(channel->GetId(), 77u);
    QelPlayer* player = &channel->GetPlayer();
    QelPacket message;

    std::string longName(kQelMaxName + 1, 'x');
    for (uint32_t id = 100; id < 100 + kQelMaxMembers + 50; ++id) {
        QelPutMember(message, kQelMemberJoined, id, 77, 5, id % 2 == 0 ? "m" : longName,
                     "10.0.0.1");
        Send(raw, message);
        // The same member again.
        QelPutMember(message, kQelMemberJoined, id, 77, 5, "m", "10.0.0.1");
        Send(raw, message);
    }
    QelPutNameChanged(message, 100, longName);
    Send(raw, message);
    PollTimes(api, 2 * static_cast<int>(kQelMaxMembers) + 140);
    EXPECT_TRUE(player->IsValid());
    EXPECT_EQ(channel->GetUserCount(), kQelMaxMembers);
    ASSERT_NE(channel->FindUser(100), nullptr);
    EXPECT_EQ(channel->FindUser(100)->GetName(), "m");
    EXPECT_EQ(channel->FindUser(101)->GetName(), "m");
}

// The in-memory network's wait moves the frozen clock on by the whole time when no socket
// is ready, and leaves it where it was when one is.
TEST_F(QelHostilePeersTest, TheWaitForTrafficEndsForInputThePollTakesAndNoOtherInput) {
    QelAPI bare{&network};
    EXPECT_FALSE(bare.WaitForTraffic(50));

    ws::SOCKET raw;
    QelConnection* connection = SignedOnClient(raw);
    ASSERT_NE(connection, nullptr);
    PollTimes(api, 3);
    DWORD start = timeGetTime();
    EXPECT_TRUE(api.WaitForTraffic(50));
    EXPECT_EQ(timeGetTime() - start, 50u);

    // Two texts in one receive: the poll takes the first, the buffer holds the second.
    QelPacket message;
    QelPutTextToServer(message, 1, "first");
    Send(raw, message);
    QelPutTextToServer(message, 2, "second");
    Send(raw, message);
    api.Process();
    ASSERT_EQ(events.Count(kQelEventServerText), 1);
    EXPECT_EQ(network.Pending(connection->pair->tcp.handle), 0u);
    start = timeGetTime();
    EXPECT_TRUE(api.WaitForTraffic(50));
    EXPECT_EQ(timeGetTime(), start);
    api.Process();
    EXPECT_EQ(events.Count(kQelEventServerText), 2);

    // Input of a peer whose events wait for the script wakes nobody; once they ran, it does.
    bool held = true;
    api.SetBacklogProbe([&](const QelObject& peer) { return held && &peer == connection; });
    QelPutTextToServer(message, 3, "third");
    Send(raw, message);
    start = timeGetTime();
    EXPECT_TRUE(api.WaitForTraffic(50));
    EXPECT_EQ(timeGetTime() - start, 50u);
    held = false;
    start = timeGetTime();
    EXPECT_TRUE(api.WaitForTraffic(50));
    EXPECT_EQ(timeGetTime(), start);
}

TEST_F(QelHostilePeersTest, TheJoinReportFindsTheMembersAlreadyThere) {
    QelPlayer* ann = host->Connect("127.0.0.1", kPort, "ann");
    QelPlayer* bob = api.CreateHost()->Connect("127.0.0.1", kPort, "bob");
    PollUntil(api, [&] { return events.Count(kQelEventConnectionNamed) == 2; });
    ann->JoinChannel("room");
    PollTimes(api, 10);
    size_t usersAtJoin = 0;
    std::vector<int> order;
    events.also = [&](const QelEvent& event) {
        if (event.number == kQelEventChannelJoined)
            usersAtJoin = static_cast<QelChannel*>(event.second)->GetUserCount();
        if (event.number == kQelEventChannelJoined || event.number == kQelEventMemberPresent)
            order.push_back(event.number);
    };
    bob->JoinChannel("room");
    PollTimes(api, 10);
    EXPECT_EQ(usersAtJoin, 2u);
    EXPECT_EQ(order, (std::vector<int>{kQelEventChannelJoined, kQelEventMemberPresent}));
}

} // namespace
