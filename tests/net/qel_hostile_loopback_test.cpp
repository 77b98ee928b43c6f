// Peers on 127.0.0.1 that push the server to the limits of the system: bursts larger than
// the socket buffers, a reader that stalls, a thousand clients at once and a process out of
// descriptors. Each bounded in count and time.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "net/qel_player.h"
#include "net/qel_protocol.h"
#include "net/qel_server.h"
#include "net/qel_socket_system.h"
#include "net/qel_test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

// Polls until the condition holds or `seconds` pass, sleeping a little between polls
// after the first few; whether it held.
bool PollFor(const std::vector<QelAPI*>& roots, const std::function<bool()>& condition,
             double seconds) {
    auto end = Clock::now() + std::chrono::duration<double>(seconds);
    for (int i = 0; !condition(); ++i) {
        if (Clock::now() > end) return false;
        for (QelAPI* root : roots)
            root->Process();
        if (i > 100) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

// Raises the soft descriptor limit to at least `needed`; false when the hard limit is
// lower.
bool EnsureDescriptors(rlim_t needed) {
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_cur < needed) {
        limit.rlim_cur = std::min(limit.rlim_max, std::max(needed, limit.rlim_cur));
        setrlimit(RLIMIT_NOFILE, &limit);
        getrlimit(RLIMIT_NOFILE, &limit);
    }
    return limit.rlim_cur >= needed;
}

std::vector<uint16_t> CodesOf(const EventRecorder& events, int number) {
    std::vector<uint16_t> codes;
    for (const FiredEvent& event : events.events)
        if (event.number == number) codes.push_back(event.code);
    return codes;
}

std::vector<uint16_t> Sequence(int count) {
    std::vector<uint16_t> codes;
    for (int i = 0; i < count; ++i)
        codes.push_back(static_cast<uint16_t>(i));
    return codes;
}

class QelHostileLoopbackTest : public ::testing::Test {
protected:
    void SetUp() override {
        server = HostOnFreePort(*api.CreateHost());
        ASSERT_NE(server, nullptr);
    }

    // Non-blocking TCP clients of the server, connecting.
    std::vector<ws::SOCKET> RawClients(int count) {
        std::vector<ws::SOCKET> clients;
        for (int i = 0; i < count; ++i) {
            ws::SOCKET client = sockets.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
            sockets.SetNonBlocking(client);
            sockets.Connect(client, Loopback(server->GetPort()));
            clients.push_back(client);
        }
        return clients;
    }

    QelSocketSystem& sockets = QelNetworkSockets();
    QelAPI api;
    EventRecorder events{api};
    QelServer* server = nullptr;
};

TEST_F(QelHostileLoopbackTest, ABurstBeyondTheSocketBuffersArrivesWholeAndInOrder) {
    constexpr int kTexts = 100;
    QelPlayer* player = api.CreateHost()->Connect("127.0.0.1", server->GetPort(), "burst");
    ASSERT_TRUE(PollFor({&api}, [&] { return events.Count(kQelEventConnectionNamed) == 1; }, 5));
    // 6.4 MB, read by the server one receive a poll: the player's socket fills long before.
    std::string text(64 * 1024, 'b');
    for (int i = 0; i < kTexts; ++i)
        player->SendText(text, static_cast<uint16_t>(i));
    ASSERT_TRUE(PollFor(
        {&api}, [&] { return events.Count(kQelEventServerText) == kTexts; }, 20));
    EXPECT_TRUE(player->IsValid());
    EXPECT_EQ(CodesOf(events, kQelEventServerText), Sequence(kTexts));
    EXPECT_EQ(events.Count(kQelEventPlayerDestroyed), 0);
}

TEST_F(QelHostileLoopbackTest, AReaderThatStallsBesideATenMegabyteBurstLosesNothing) {
    constexpr int kTexts = 160;
    QelAPI readerRoot;
    EventRecorder heard(readerRoot);
    QelPlayer* sender = api.CreateHost()->Connect("127.0.0.1", server->GetPort(), "sender");
    QelPlayer* reader = readerRoot.CreateHost()->Connect("127.0.0.1", server->GetPort(), "reader");
    ASSERT_TRUE(PollFor(
        {&api, &readerRoot}, [&] { return events.Count(kQelEventConnectionNamed) == 2; }, 5));
    QelChannel* out = sender->JoinChannel("room");
    QelChannel* in = reader->JoinChannel("room");
    ASSERT_TRUE(PollFor(
        {&api, &readerRoot},
        [&] { return out->GetUserCount() == 2 && in->GetUserCount() == 2; }, 5));

    // The reader stalls while every text reaches the server and waits for it there.
    std::string text(64 * 1024, 'r');
    for (int i = 0; i < kTexts; ++i)
        out->SendText(text, static_cast<uint16_t>(i));
    QelConnection* toReader = server->FindConnection(reader->GetId());
    ASSERT_NE(toReader, nullptr);
    uint64_t serial = toReader->Serial();
    ASSERT_TRUE(PollFor(
        {&api},
        [&] {
            return QelAPI::IsLive(toReader, serial) && toReader->GetQueuedCount() >= kTexts / 2;
        },
        20));
    EXPECT_EQ(events.Count(kQelEventConnectionDestroyed), 0);

    ASSERT_TRUE(PollFor(
        {&api, &readerRoot}, [&] { return heard.Count(kQelEventUserText) == kTexts; }, 20));
    EXPECT_EQ(CodesOf(heard, kQelEventUserText), Sequence(kTexts));
    EXPECT_EQ(events.Count(kQelEventConnectionDestroyed), 0);
}

TEST_F(QelHostileLoopbackTest, AThousandClientsAtOnceAreAcceptedWithinSeconds) {
    constexpr int kClients = 1000;
    if (!EnsureDescriptors(2 * kClients + 100)) GTEST_SKIP() << "skipped: too few descriptors";
    std::vector<ws::SOCKET> clients = RawClients(kClients);
    auto start = Clock::now();
    EXPECT_TRUE(PollFor(
        {&api}, [&] { return server->GetConnectionCount() == kClients; }, 5));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    for (ws::SOCKET client : clients)
        sockets.Close(client);
    EXPECT_TRUE(PollFor({&api}, [&] { return server->GetConnectionCount() == 0; }, 5));
    EXPECT_EQ(events.Count(kQelEventConnectionDestroyed), kClients);
}

TEST_F(QelHostileLoopbackTest, OutOfDescriptorsTheServerMakesNoHalfConnectionsAndWaits) {
    constexpr int kClients = 40;
    constexpr int kFree = 5;
    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    std::vector<ws::SOCKET> clients = RawClients(kClients);
    int lowest = open("/dev/null", O_RDONLY);
    ASSERT_GE(lowest, 0);
    close(lowest);
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(lowest + kFree);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    PollFor({&api}, [] { return false; }, 0.3);
    size_t accepted = server->GetConnectionCount();
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_LE(accepted, static_cast<size_t>(kFree));
    EXPECT_EQ(events.Count(kQelEventConnectionDestroyed), 0);

    // The clients beyond the limit waited in the backlog and come in now.
    EXPECT_TRUE(PollFor({&api}, [&] { return server->GetConnectionCount() == kClients; }, 5));
    for (size_t i = 0; i < server->GetConnectionCount(); ++i)
        EXPECT_TRUE(server->GetConnection(i)->IsGreeted());
    for (ws::SOCKET client : clients)
        sockets.Close(client);
}

TEST_F(QelHostileLoopbackTest, TheJoinReportFindsTheMembersAlreadyThere) {
    QelHost* players = api.CreateHost();
    QelPlayer* ann = players->Connect("127.0.0.1", server->GetPort(), "ann");
    QelPlayer* bob = players->Connect("127.0.0.1", server->GetPort(), "bob");
    ASSERT_TRUE(PollFor({&api}, [&] { return events.Count(kQelEventConnectionNamed) == 2; }, 5));
    QelChannel* annRoom = ann->JoinChannel("room");
    ASSERT_TRUE(PollFor({&api}, [&] { return annRoom->GetId() != 0; }, 5));
    size_t usersAtJoin = 0;
    events.also = [&](const QelEvent& event) {
        if (event.number == kQelEventChannelJoined)
            usersAtJoin = static_cast<QelChannel*>(event.second)->GetUserCount();
    };
    QelChannel* bobRoom = bob->JoinChannel("room");
    ASSERT_TRUE(PollFor({&api}, [&] { return bobRoom->GetId() != 0; }, 5));
    EXPECT_EQ(usersAtJoin, 2u);
}

} // namespace
