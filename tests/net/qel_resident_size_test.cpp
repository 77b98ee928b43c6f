// The process's resident size under peers that spam what the library keeps: a connection
// joining new sessions with names of 60 KB, a server reporting members without end. Each
// round's peer leaves at its end; a second and a third round must find the memory the
// first one made free again. Over the in-memory network, so that only the library's own
// memory moves.
#include <gtest/gtest.h>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "net/qel_memory_sockets.h"
#include "net/qel_player.h"
#include "net/qel_protocol.h"
#include "net/qel_server.h"
#include "net/qel_test_support.h"

#if defined(__SANITIZE_ADDRESS__)
#define ZORV_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZORV_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef ZORV_ADDRESS_SANITIZER
#include <sanitizer/allocator_interface.h>
#endif

namespace {

constexpr int32_t kPort = 7300;
constexpr size_t kHugeName = 60 * 1024;
constexpr size_t kHugeSessions = 200;
constexpr uint32_t kHugeMembers = 400;
constexpr size_t kMiB = size_t(1) << 20;

// The resident bytes of the process, once the allocator gave back what it holds free: the
// sanitizer keeps freed blocks in quarantine, the C library keeps them in its arenas.
size_t SettledResidentBytes() {
#ifdef ZORV_ADDRESS_SANITIZER
    __sanitizer_purge_allocator();
#else
    malloc_trim(0);
#endif
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) return 0;
    unsigned long size = 0;
    unsigned long resident = 0;
    int read = std::fscanf(statm, "%lu %lu", &size, &resident);
    std::fclose(statm);
    return read == 2 ? resident * static_cast<size_t>(sysconf(_SC_PAGESIZE)) : 0;
}

class QelResidentSizeTest : public ::testing::Test {
protected:
    void Send(ws::SOCKET raw, const QelPacket& message) {
        ASSERT_EQ(network.Send(raw, reinterpret_cast<const char*>(message.GetData()),
                               static_cast<int>(message.GetLength())),
                  static_cast<int>(message.GetLength()));
    }

    // Polls until the receiving socket has taken every byte and the library every message.
    void Drain(ws::SOCKET receiving) {
        for (int i = 0; i < 100000 && network.Pending(receiving) > 0; ++i)
            api.Process();
        PollTimes(api, 40);
    }

    // A connection joins new sessions with huge names, and more with names of the bound
    // than it may hold, then goes.
    void SessionSpam(int round) {
        ws::SOCKET raw = network.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
        ASSERT_EQ(network.Connect(raw, Loopback(kPort)), 0);
        QelPacket message;
        QelPutSignOn(message, kQelVersion, "spammer");
        Send(raw, message);
        PollTimes(api, 4);
        ASSERT_EQ(server->GetConnectionCount(), 1u);
        ws::SOCKET received = server->GetConnection(0)->pair->tcp.handle;
        for (int i = 0; i < static_cast<int>(kHugeSessions); ++i) {
            std::string name(kHugeName, static_cast<char>('a' + i % 26));
            name += std::to_string(round * 1000 + i);
            QelPutJoin(message, name);
            Send(raw, message);
            QelPutJoin(message, std::string(kQelMaxName - 8, 's') + std::to_string(100000 + i));
            Send(raw, message);
            if (i % 10 == 9) Drain(received);
        }
        Drain(received);
        EXPECT_EQ(server->GetSessionCount(), kQelMaxSessionsPerConnection);
        network.Close(raw);
        PollTimes(api, 4);
        EXPECT_EQ(server->GetConnectionCount(), 0u);
        EXPECT_EQ(server->GetSessionCount(), 0u);
    }

    // A server reports members to a player's channel: huge names, and more members of the
    // bound than a channel may hold; then it closes and the player goes.
    void MemberSpam(int round) {
        QelHost* players = api.CreateHost();
        QelChannel* channel = nullptr;
        ws::SOCKET raw = PlayedServer(network, *players, kPort + 10, channel);
        ASSERT_NE(raw, ws::INVALID_SOCKET);
        ASSERT_EQ(channel->GetId(), 77u);
        ws::SOCKET received = channel->GetPlayer().pair.tcp.handle;
        QelPacket message;
        for (uint32_t i = 0; i < kQelMaxMembers + kHugeMembers; ++i) {
            uint32_t id = 100 + i + static_cast<uint32_t>(round) * 10000;
            if (i < kHugeMembers) {
                QelPutMember(message, kQelMemberJoined, id, 77, 5, std::string(kHugeName, 'h'),
                             "10.0.0.1");
            } else {
                QelPutMember(message, kQelMemberJoined, id, 77, 5,
                             std::string(kQelMaxName - 8, 'm') + std::to_string(id), "10.0.0.1");
            }
            Send(raw, message);
            if (i % 10 == 9) Drain(received);
        }
        Drain(received);
        EXPECT_EQ(channel->GetUserCount(), kQelMaxMembers);
        network.Close(raw);
        PollTimes(api, 4);
        EXPECT_EQ(players->GetPlayerCount(), 0u);
        delete players;
    }

    void Round(int round) {
        SessionSpam(round);
        MemberSpam(round);
    }

    QelMemorySockets network;
    QelAPI api{&network};
    QelServer* server = api.CreateHost()->HostServer(kPort);
};

TEST_F(QelResidentSizeTest, SpamGrowsTheResidentSizeOnceAndWhatPeersMadeIsFreedWithThem) {
    size_t before = SettledResidentBytes();
    ASSERT_GT(before, 0u);
    // The first round may grow the allocator's pools (the sanitizer's by more than the C
    // library's), but by less than the names it sent; later rounds find it all free again.
    Round(0);
    size_t afterFirst = SettledResidentBytes();
    EXPECT_LT(afterFirst, before + (kHugeSessions + kHugeMembers) * kHugeName) << "first round";
    Round(1);
    SettledResidentBytes();
    Round(2);
    size_t afterThird = SettledResidentBytes();
    EXPECT_LT(afterThird, afterFirst + 2 * kMiB) << "later rounds";
}

} // namespace
