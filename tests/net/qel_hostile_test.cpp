// Peers that send what no peer of ours would: truncated, oversized, unknown and endless
// messages, one byte at a time, over the in-memory network.
#include <gtest/gtest.h>

#include <random>

#include "net/qel_memory_sockets.h"
#include "net/qel_player.h"
#include "net/qel_protocol.h"
#include "net/qel_server.h"
#include "net/qel_test_support.h"
#include "platform/kernel/test_hooks.h"

namespace {

constexpr int32_t kPort = 7100;

std::string Bytes(const QelPacket& packet) {
    return {reinterpret_cast<const char*>(packet.GetData()),
            static_cast<size_t>(packet.GetLength())};
}

std::string U32(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

class QelHostileTest : public ::testing::Test {
protected:
    void SetUp() override { platform::test::FreezeClock(5000); }
    void TearDown() override { platform::test::UnfreezeClock(); }

    ws::sockaddr_in Loopback(int32_t port) {
        return {ws::AF_INET, ws::htons(static_cast<uint16_t>(port)), {0x0100007Fu}, {}};
    }

    // A raw client of our server, greeted.
    ws::SOCKET RawClient() {
        ws::SOCKET raw = network.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
        EXPECT_EQ(network.Connect(raw, Loopback(kPort)), 0);
        PollTimes(api, 2);
        return raw;
    }

    void Send(ws::SOCKET raw, std::string_view bytes) {
        ASSERT_EQ(network.Send(raw, bytes.data(), static_cast<int>(bytes.size())),
                  static_cast<int>(bytes.size()));
    }

    QelMemorySockets network;
    QelAPI api{&network};
    EventRecorder events{api};
    QelHost* host = api.CreateHost();
    QelServer* server = host->HostServer(kPort);
};

TEST_F(QelHostileTest, ZeroLengthsAreCompleteMessages) {
    ws::SOCKET raw = RawClient();
    ASSERT_EQ(server->GetConnectionCount(), 1u);
    QelPacket message;
    QelPutTextToServer(message, 4, "");
    std::string bytes = Bytes(message);
    QelPutLeave(message, 0);
    bytes += Bytes(message);
    QelPutTextToServer(message, 5, "after");
    bytes += Bytes(message);
    Send(raw, bytes);
    PollTimes(api, 5);
    ASSERT_EQ(events.Count(kQelEventServerText), 2);
    EXPECT_EQ(events.events[0].text, "");
    EXPECT_EQ(events.events[0].code, 4);
    EXPECT_EQ(events.events[1].text, "after");
}

TEST_F(QelHostileTest, OversizedOrUnknownMessagesCloseTheConnection) {
    const std::string cases[] = {
        std::string("\x02\x00\x01", 3) + U32(0xFFFFFFFFu),
        std::string("\x02\x00\x01", 3) + U32(static_cast<uint32_t>(QelMaxMessage() - 7 + 1)),
        std::string("\x04", 1) + U32(0x80000000u) + "x",
        std::string("\x09whatever", 9),
        std::string("\x00", 1),
        std::string("\xFF", 1),
    };
    for (const std::string& bytes : cases) {
        events.Clear();
        ws::SOCKET raw = RawClient();
        ASSERT_EQ(server->GetConnectionCount(), 1u);
        Send(raw, bytes);
        PollTimes(api, 3);
        EXPECT_EQ(server->GetConnectionCount(), 0u) << bytes.size();
        EXPECT_EQ(events.Count(kQelEventConnectionDestroyed), 1);
        network.Close(raw);
    }
    // The limit itself is accepted.
    ws::SOCKET raw = RawClient();
    std::string largest(static_cast<size_t>(QelMaxMessage() - 7), 'y');
    QelPacket message;
    QelPutTextToServer(message, 1, largest);
    Send(raw, Bytes(message));
    PollTimes(api, static_cast<int>(QelMaxMessage() / kQelReceiveSize) + 4);
    ASSERT_EQ(events.Count(kQelEventServerText), 1);
    EXPECT_EQ(events.Last(kQelEventServerText)->text.size(), largest.size());
}

TEST_F(QelHostileTest, TruncatedMessageThenCloseDropsTheConnection) {
    ws::SOCKET raw = RawClient();
    Send(raw, std::string("\x01\x00\x02\x00\x00", 5));
    PollTimes(api, 2);
    EXPECT_EQ(server->GetConnectionCount(), 1u);
    network.Close(raw);
    PollTimes(api, 2);
    EXPECT_EQ(server->GetConnectionCount(), 0u);
}

TEST_F(QelHostileTest, OneBytePerPollStillSignsOn) {
    ws::SOCKET raw = RawClient();
    QelPacket message;
    QelPutSignOn(message, kQelVersion, "slow");
    for (char byte : Bytes(message)) {
        EXPECT_EQ(events.Count(kQelEventConnectionNamed), 0);
        Send(raw, std::string_view(&byte, 1));
        api.Process();
    }
    EXPECT_EQ(events.Count(kQelEventConnectionNamed), 1);
    EXPECT_EQ(server->GetConnection(0)->GetName(), "slow");
}

TEST_F(QelHostileTest, FloodIsReadNoFasterThanItIsHandled) {
    ws::SOCKET raw = RawClient();
    QelPacket message;
    QelPutTextToServer(message, 1, std::string(100, 'z'));
    std::string flood;
    for (int i = 0; i < 20000; ++i)
        flood += Bytes(message);
    Send(raw, flood);
    PollTimes(api, 100);
    QelConnection* connection = server->GetConnection(0);
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(events.Count(kQelEventServerText), 100);
    // What it read is what it handled plus the slack and one receive: the rest waits in
    // the network.
    EXPECT_LE(connection->stats.totalBytesIn,
              100 * message.GetLength() + kQelReceiveSlack + kQelReceiveSize);
    EXPECT_GT(network.Pending(connection->pair->tcp.handle), flood.size() / 2);
}

TEST_F(QelHostileTest, RandomGarbageNeverHurtsTheServer) {
    std::mt19937 random(53);
    for (int round = 0; round < 50; ++round) {
        ws::SOCKET raw = RawClient();
        std::string garbage(random() % 300, '\0');
        for (char& byte : garbage)
            byte = static_cast<char>(random());
        Send(raw, garbage);
        PollTimes(api, 3);
        network.Close(raw);
        PollTimes(api, 2);
    }
    EXPECT_EQ(server->GetConnectionCount(), 0u);
}

TEST_F(QelHostileTest, DatagramsOfAnySizeAreHandledOrDropped) {
    ws::SOCKET raw = RawClient();
    QelPacket message;
    QelPutSignOn(message, kQelVersion, "udp");
    Send(raw, Bytes(message));
    PollTimes(api, 3);
    uint32_t id = server->GetConnection(0)->GetId();
    // The datagram port a player shares with the server.
    ws::SOCKET udp = network.Open(ws::SOCK_DGRAM, ws::IPPROTO_UDP);
    ASSERT_EQ(network.Bind(udp, Loopback(kPort + 1)), 0);
    for (int size = 0; size < 20; ++size) {
        std::string shortDatagram(static_cast<size_t>(size), '\x01');
        network.SendTo(udp, shortDatagram.data(), size, Loopback(kPort + 1));
    }
    QelPutServerText(message, 3, id, std::string(6000, 'w'));
    network.SendTo(udp, reinterpret_cast<const char*>(message.GetData()), message.GetLength(),
                   Loopback(kPort + 1));
    PollTimes(api, 2);
    ASSERT_EQ(events.Count(kQelEventServerText), 1);
    // A receive takes 4096 bytes; the rest of a longer datagram is lost, as it is on the
    // network.
    EXPECT_EQ(events.Last(kQelEventServerText)->text.size(), 4096u - kQelServerTextHeader);
}

TEST_F(QelHostileTest, ServerGarbageDropsThePlayer) {
    ws::SOCKET listener = network.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
    ASSERT_EQ(network.Bind(listener, Loopback(kPort + 10)), 0);
    ASSERT_EQ(network.Listen(listener, 3), 0);
    QelHost* playerHost = api.CreateHost();
    QelPlayer* player = playerHost->Connect("127.0.0.1", kPort + 10, "p");
    ws::sockaddr_in peer;
    ws::SOCKET raw = network.Accept(listener, peer);
    ASSERT_NE(raw, ws::INVALID_SOCKET);

    // Two messages in one receive: one per poll. A hello with id 0 names nobody.
    QelPacket message;
    QelPutHello(message, kQelVersion, 0);
    std::string bytes = Bytes(message);
    QelPutWelcome(message, "hi");
    bytes += Bytes(message);
    QelPutHello(message, kQelVersion, 42);
    bytes += Bytes(message).substr(0, 3);
    Send(raw, bytes);
    api.Process();
    EXPECT_EQ(player->GetWelcomeText(), " ");
    api.Process();
    EXPECT_EQ(player->GetWelcomeText(), "hi");
    EXPECT_EQ(player->GetId(), 0u);
    api.Process();
    EXPECT_EQ(player->GetId(), 0u);
    // The rest of a split message: handled in the poll in which it arrives.
    Send(raw, Bytes(message).substr(3));
    api.Process();
    EXPECT_EQ(player->GetId(), 42u);
    EXPECT_EQ(events.Count(kQelEventSignedOn), 1);

    // Members and leaves for session 0 or unknown sessions are dropped.
    QelPutMember(message, kQelMemberJoined, 7, 0, 7, "x", "1.2.3.4");
    bytes = Bytes(message);
    QelPutLeft(message, 42, 0, 0);
    bytes += Bytes(message);
    Send(raw, bytes);
    PollTimes(api, 3);
    EXPECT_EQ(playerHost->GetPlayerCount(), 1u);

    Send(raw, std::string("\x63", 1));
    PollTimes(api, 2);
    EXPECT_EQ(playerHost->GetPlayerCount(), 0u);
    EXPECT_EQ(events.Count(kQelEventPlayerDestroyed), 1);
}

} // namespace
