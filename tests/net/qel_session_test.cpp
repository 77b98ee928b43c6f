// The server, players and channels talking over the in-memory network, with the clock
// frozen: the handshake, sessions, relayed texts and the events of each step.
#include <gtest/gtest.h>

#include <memory>

#include "net/qel_memory_sockets.h"
#include "net/qel_player.h"
#include "net/qel_protocol.h"
#include "net/qel_server.h"
#include "net/qel_test_support.h"
#include "platform/kernel/test_hooks.h"

namespace {

constexpr int32_t kPort = 7000;

class QelSessionTest : public ::testing::Test {
protected:
    void SetUp() override { platform::test::FreezeClock(1000000); }
    void TearDown() override { platform::test::UnfreezeClock(); }

    // A player on a host of its own, signed on.
    QelPlayer* SignOn(std::string_view name) {
        QelHost* host = api.CreateHost();
        QelPlayer* player = host->Connect("127.0.0.1", kPort, name);
        int named = events.Count(kQelEventConnectionNamed);
        EXPECT_TRUE(
            PollUntil(api, [&] { return events.Count(kQelEventConnectionNamed) == named + 1; }));
        return player;
    }

    // Polls until every queue is drained and nothing more arrives.
    void Settle() { PollTimes(api, 30); }

    QelMemorySockets network;
    QelAPI api{&network};
    EventRecorder events{api};
    QelHost* serverHost = api.CreateHost();
    QelServer* server = serverHost->HostServer(kPort);
};

TEST_F(QelSessionTest, HandshakeNamesTheConnectionAndGreetsThePlayer) {
    QelHost* host = api.CreateHost();
    QelPlayer* player = host->Connect("127.0.0.1", kPort, "ann");
    EXPECT_EQ(player->GetWelcomeText(), " ");
    EXPECT_EQ(player->GetId(), 0u);
    server->SetWelcomeText("hello there");
    ASSERT_TRUE(PollUntil(api, [&] { return events.Count(kQelEventConnectionNamed) == 1; }));

    QelConnection* connection = server->GetConnection(0);
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(player->GetWelcomeText(), "hello there");
    EXPECT_EQ(player->GetId(), connection->GetId());
    EXPECT_NE(player->GetId(), 0u);
    EXPECT_EQ(player->GetVersion(), kQelVersion);
    EXPECT_EQ(connection->GetVersion(), kQelVersion);
    EXPECT_EQ(connection->GetName(), "ann");
    EXPECT_EQ(events.Numbers(), (std::vector<int>{kQelEventSignedOn, kQelEventConnectionNamed}));
    EXPECT_EQ(events.events[0].first, player);
    EXPECT_EQ(events.events[1].first, server);
    EXPECT_EQ(events.events[1].second, connection);
    EXPECT_TRUE(player->IsConnected());
    EXPECT_EQ(player->GetServerAddressText(), "127.0.0.1");
}

TEST_F(QelSessionTest, EmptyNameSignsOnAsOneBlank) {
    SignOn("");
    ASSERT_EQ(server->GetConnectionCount(), 1u);
    EXPECT_EQ(server->GetConnection(0)->GetName(), " ");
    EXPECT_EQ(events.Count(kQelEventConnectionNamed), 1);
}

TEST_F(QelSessionTest, JoinsLeavesAndTheMasterHandOver) {
    QelPlayer* ann = SignOn("ann");
    QelPlayer* bob = SignOn("bob");
    events.Clear();

    QelChannel* annRoom = ann->JoinChannel("room");
    EXPECT_FALSE(annRoom->IsMaster());
    Settle();
    ASSERT_EQ(server->GetSessionCount(), 1u);
    QelSession* session = server->GetSession(0);
    EXPECT_EQ(events.Numbers(), (std::vector<int>{kQelEventSessionCreated, kQelEventSessionJoined,
                                                  kQelEventChannelJoined}));
    EXPECT_EQ(annRoom->GetId(), session->GetId());
    ASSERT_EQ(annRoom->GetUserCount(), 1u);
    EXPECT_EQ(annRoom->GetUser(0)->GetId(), ann->GetId());
    EXPECT_TRUE(annRoom->IsMaster());
    events.Clear();

    QelChannel* bobRoom = bob->JoinChannel("room");
    Settle();
    EXPECT_EQ(events.Count(kQelEventSessionJoined), 1);
    EXPECT_EQ(events.Count(kQelEventChannelJoined), 1);
    EXPECT_EQ(events.Count(kQelEventMemberPresent), 1);
    EXPECT_EQ(events.Count(kQelEventMemberJoined), 1);
    ASSERT_EQ(bobRoom->GetUserCount(), 2u);
    EXPECT_EQ(bobRoom->GetUser(0)->GetId(), bob->GetId());
    EXPECT_EQ(bobRoom->GetUser(1)->GetName(), "ann");
    EXPECT_EQ(bobRoom->GetMaster()->GetId(), ann->GetId());
    EXPECT_FALSE(bobRoom->IsMaster());
    ASSERT_EQ(annRoom->GetUserCount(), 2u);
    EXPECT_EQ(annRoom->GetUser(1)->GetName(), "bob");
    EXPECT_EQ(annRoom->GetUser(1)->GetAddressText(), "127.0.0.1");
    events.Clear();

    // The master leaves: bob hears of it with ann named as master, and keeps no master
    // until a message names one; the server's session passes to bob.
    delete annRoom;
    EXPECT_EQ(events.Numbers(), (std::vector<int>{kQelEventChannelDestroyed}));
    Settle();
    EXPECT_EQ(events.Count(kQelEventSessionLeft), 1);
    EXPECT_EQ(events.Count(kQelEventMemberLeft), 1);
    EXPECT_EQ(bobRoom->GetUserCount(), 1u);
    EXPECT_EQ(bobRoom->GetMaster(), nullptr);
    EXPECT_EQ(session->GetMaster(), server->FindConnection(bob->GetId()));
    events.Clear();

    // The last member leaves: the session goes.
    delete bobRoom;
    Settle();
    EXPECT_EQ(events.Numbers(), (std::vector<int>{kQelEventChannelDestroyed, kQelEventSessionLeft,
                                                  kQelEventSessionDestroyed}));
    EXPECT_EQ(server->GetSessionCount(), 0u);
}

TEST_F(QelSessionTest, PendingChannelSendsNoLeave) {
    QelPlayer* ann = SignOn("ann");
    Settle();
    ann->JoinChannel("room");
    delete ann->GetChannel(0);
    // Only the join went out: a leave of session 0 would name no session.
    EXPECT_EQ(ann->GetQueuedCount(), 1u);
    Settle();
    // The join still made the session on the server, which the player has now forgotten.
    EXPECT_EQ(server->GetSessionCount(), 1u);
}

TEST_F(QelSessionTest, TextsAreRelayedWithZeroBytesWhole) {
    QelPlayer* ann = SignOn("ann");
    QelPlayer* bob = SignOn("bob");
    QelChannel* annRoom = ann->JoinChannel("room");
    Settle();
    QelChannel* bobRoom = bob->JoinChannel("room");
    Settle();
    events.Clear();

    std::string text("a\0b", 3);
    annRoom->SendText(text, 7);
    Settle();
    const FiredEvent* received = events.Last(kQelEventUserText);
    ASSERT_NE(received, nullptr);
    EXPECT_EQ(received->first, bob);
    EXPECT_EQ(received->second, bobRoom->FindUser(ann->GetId()));
    EXPECT_EQ(received->text, text);
    EXPECT_EQ(received->code, 7);
    EXPECT_EQ(events.Count(kQelEventUserText), 1);

    bobRoom->FindUser(ann->GetId())->SendText("just you", 8);
    ann->SendText("to the server", 9);
    server->SendText("from the server", 10);
    Settle();
    EXPECT_EQ(events.Last(kQelEventUserText)->first, ann);
    EXPECT_EQ(events.Last(kQelEventUserText)->text, "just you");
    EXPECT_EQ(events.Last(kQelEventServerText)->text, "to the server");
    EXPECT_EQ(events.Last(kQelEventServerText)->first, server->FindConnection(ann->GetId()));
    EXPECT_EQ(events.Count(kQelEventPlayerServerText), 2);
    EXPECT_EQ(events.Last(kQelEventPlayerServerText)->code, 10);

    // Datagrams: each player on a host of its own, so only the addressee handles them.
    events.Clear();
    annRoom->BlastText("over udp", 11);
    bob->BlastText("udp to server", 12);
    Settle();
    ASSERT_EQ(events.Count(kQelEventUserText), 1);
    EXPECT_EQ(events.Last(kQelEventUserText)->first, bob);
    EXPECT_EQ(events.Last(kQelEventUserText)->text, "over udp");
    EXPECT_EQ(events.Last(kQelEventServerText)->text, "udp to server");
    EXPECT_EQ(events.Last(kQelEventServerText)->code, 12);
}

TEST_F(QelSessionTest, SameHostDatagramsAreHandedOverInTheSameTick) {
    // Server and both players on one host.
    QelPlayer* ann = serverHost->Connect("127.0.0.1", kPort, "ann");
    QelPlayer* bob = serverHost->Connect("127.0.0.1", kPort, "bob");
    ASSERT_TRUE(PollUntil(api, [&] { return events.Count(kQelEventConnectionNamed) == 2; }));
    QelChannel* annRoom = ann->JoinChannel("room");
    Settle();
    bob->JoinChannel("room");
    Settle();
    events.Clear();

    annRoom->BlastText("blast", 3);
    ASSERT_EQ(events.Count(kQelEventUserText), 1);
    EXPECT_EQ(events.Last(kQelEventUserText)->first, bob);
    annRoom->FindUser(bob->GetId())->BlastText("direct", 4);
    EXPECT_EQ(events.Last(kQelEventUserText)->text, "direct");
    ann->BlastText("server", 5);
    EXPECT_EQ(events.Last(kQelEventServerText)->text, "server");
    server->BlastText("everyone", 6);
    EXPECT_EQ(events.Count(kQelEventPlayerServerText), 2);
}

TEST_F(QelSessionTest, NameChangeReachesEachMemberOncePerSharedSession) {
    QelPlayer* ann = SignOn("ann");
    QelPlayer* bob = SignOn("bob");
    for (const char* name : {"one", "two"}) {
        ann->JoinChannel(name);
        Settle();
        bob->JoinChannel(name);
        Settle();
    }
    events.Clear();
    QelPacket rename;
    QelPutSetName(rename, "anna");
    ann->Queue(rename);
    Settle();
    EXPECT_EQ(server->FindConnection(ann->GetId())->GetName(), "anna");
    // Each member, ann included, gets the message twice, one per session, and each renames
    // ann in both of its channels.
    EXPECT_EQ(events.Count(kQelEventNameChanged), 8);
    EXPECT_EQ(events.events.front().text, "ann");
    EXPECT_EQ(bob->GetChannel(1)->FindUser(ann->GetId())->GetName(), "anna");
    // Ann's own users change too.
    EXPECT_EQ(ann->GetChannel(0)->FindUser(ann->GetId())->GetName(), "anna");
}

TEST_F(QelSessionTest, LostConnectionLeavesEverySession) {
    QelPlayer* ann = SignOn("ann");
    QelPlayer* bob = SignOn("bob");
    for (const char* name : {"one", "two", "three"}) {
        ann->JoinChannel(name);
        Settle();
        bob->JoinChannel(name);
        Settle();
    }
    ann->JoinChannel("alone");
    Settle();
    ASSERT_EQ(server->GetSessionCount(), 4u);
    events.Clear();
    delete &ann->host;
    Settle();
    EXPECT_EQ(events.Count(kQelEventConnectionDestroyed), 1);
    EXPECT_EQ(events.Count(kQelEventSessionLeft), 4);
    EXPECT_EQ(events.Count(kQelEventMemberLeft), 3);
    // The session it was alone in went with it; the others keep bob, now their master.
    ASSERT_EQ(server->GetSessionCount(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(server->GetSession(i)->GetMemberCount(), 1u);
        EXPECT_EQ(server->GetSession(i)->GetMaster(), server->FindConnection(bob->GetId()));
        EXPECT_EQ(bob->GetChannel(i)->GetUserCount(), 1u);
    }
}

TEST_F(QelSessionTest, ClientGoneDuringTheGreetingIsDroppedAtOnceWithItsEvent) {
    // Gone before the accept, and gone after the welcome was queued but before its reply.
    ws::sockaddr_in address{ws::AF_INET, ws::htons(kPort), {0x0100007Fu}, {}};
    for (int polls : {0, 1}) {
        ws::SOCKET raw = network.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
        ASSERT_EQ(network.Connect(raw, address), 0);
        PollTimes(api, polls);
        network.Close(raw);
        events.Clear();
        api.Process();
        EXPECT_EQ(server->GetConnectionCount(), 0u);
        EXPECT_EQ(events.Numbers(), (std::vector<int>{kQelEventConnectionDestroyed}));
    }
}

TEST_F(QelSessionTest, DeletingTheServerOrAHostFiresTheirEvents) {
    QelPlayer* ann = SignOn("ann");
    QelPlayer* bob = SignOn("bob");
    ann->JoinChannel("room");
    Settle();
    bob->JoinChannel("room");
    Settle();
    events.Clear();

    QelHost& annHost = ann->host;
    delete &annHost;
    EXPECT_EQ(events.Numbers(),
              (std::vector<int>{kQelEventPlayerDestroyed, kQelEventChannelDestroyed}));
    events.Clear();

    delete server;
    EXPECT_EQ(
        events.Numbers(),
        (std::vector<int>{kQelEventSessionLeft, kQelEventSessionLeft, kQelEventSessionDestroyed,
                          kQelEventConnectionDestroyed, kQelEventConnectionDestroyed}));
    events.Clear();
    // Bob's connection is gone: his player notices and is deleted with its channel.
    Settle();
    EXPECT_EQ(events.Numbers(),
              (std::vector<int>{kQelEventPlayerDestroyed, kQelEventChannelDestroyed}));
}

TEST_F(QelSessionTest, CallbacksMayDeleteTheObjectThatFired) {
    events.also = [&](const QelEvent& event) {
        if (event.number == kQelEventSignedOn) delete static_cast<QelPlayer*>(event.first);
    };
    QelHost* host = api.CreateHost();
    host->Connect("127.0.0.1", kPort, "ann");
    PollTimes(api, 10);
    EXPECT_EQ(host->GetPlayerCount(), 0u);
    EXPECT_EQ(events.Count(kQelEventPlayerDestroyed), 1);

    events.also = [&](const QelEvent& event) {
        if (event.number == kQelEventConnectionNamed) delete static_cast<QelServer*>(event.first);
        if (event.number == kQelEventChannelJoined) delete static_cast<QelChannel*>(event.second);
    };
    host->Connect("127.0.0.1", kPort, "bob");
    PollTimes(api, 10);
    EXPECT_EQ(serverHost->GetServerCount(), 0u);
}

TEST_F(QelSessionTest, CallbackDeletingAChannelOnJoin) {
    QelPlayer* ann = SignOn("ann");
    events.also = [&](const QelEvent& event) {
        if (event.number == kQelEventChannelJoined) delete static_cast<QelChannel*>(event.second);
    };
    ann->JoinChannel("room");
    Settle();
    EXPECT_EQ(ann->GetChannelCount(), 0u);
    // Its leave reached the server, which deleted the emptied session.
    EXPECT_EQ(server->GetSessionCount(), 0u);
}

TEST_F(QelSessionTest, PartialSendResumesWithTheFirstUnsentByte) {
    QelPlayer* ann = SignOn("ann");
    Settle();
    network.SetSendLimit(ann->pair.tcp.handle, 3);
    ann->JoinChannel("a long room name");
    ann->SendText("after it", 1);
    events.Clear();
    PollTimes(api, 40);
    EXPECT_EQ(events.Count(kQelEventSessionCreated), 1);
    EXPECT_EQ(events.Last(kQelEventServerText)->text, "after it");
    ASSERT_EQ(server->GetSessionCount(), 1u);
    EXPECT_EQ(server->GetSession(0)->GetName(), "a long room name");
}

TEST_F(QelSessionTest, ClientThatNeverReadsIsDroppedPastTheQueueLimit) {
    QelPlayer* ann = SignOn("ann");
    Settle();
    QelConnection* connection = server->FindConnection(ann->GetId());
    network.SetSendLimit(connection->pair->tcp.handle, 1);
    std::string megabyte(1 << 20, 'x');
    for (int i = 0; i < 65; ++i)
        server->SendText(megabyte, 1);
    events.Clear();
    api.Process();
    EXPECT_EQ(server->GetConnectionCount(), 0u);
    EXPECT_EQ(events.Count(kQelEventConnectionDestroyed), 1);
}

} // namespace
