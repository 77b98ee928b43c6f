// Peers on 127.0.0.1 that push the server to the limits of the system: bursts larger than
// the socket buffers, a reader that stalls, a thousand clients at once and a process out of
// descriptors. Each bounded in count and time.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

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

// Non-blocking TCP clients of the server, connecting.
std::vector<ws::SOCKET> RawClients(QelSocketSystem& sockets, const QelServer& server, int count) {
    std::vector<ws::SOCKET> clients;
    for (int i = 0; i < count; ++i) {
        ws::SOCKET client = sockets.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
        sockets.SetNonBlocking(client);
        sockets.Connect(client, Loopback(server.GetPort()));
        clients.push_back(client);
    }
    return clients;
}

class QelHostileLoopbackTest : public ::testing::Test {
protected:
    void SetUp() override {
        server = HostOnFreePort(*api.CreateHost());
        ASSERT_NE(server, nullptr);
    }

    QelSocketSystem& sockets = QelNetworkSockets();
    QelAPI api;
    EventRecorder events{api};
    QelServer* server = nullptr;
};

TEST_F(QelHostileLoopbackTest, ABurstBeyondTheSocketBuffersArrivesWholeAndInOrder) {
    constexpr int kTexts = 100;
    QelPlayer* player = api.CreateHost()->Connect("127.0.0.1", server->GetPort(), "burst");
    ASSERT_TRUE(PollFor(
        {&api}, [&] { return events.Count(kQelEventConnectionNamed) == 1; }, 5));
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
        {&api, &readerRoot}, [&] { return out->GetUserCount() == 2 && in->GetUserCount() == 2; },
        5));

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
    std::vector<ws::SOCKET> clients = RawClients(sockets, *server, kClients);
    auto start = Clock::now();
    EXPECT_TRUE(PollFor(
        {&api}, [&] { return server->GetConnectionCount() == kClients; }, 5));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    for (ws::SOCKET client : clients)
        sockets.Close(client);
    EXPECT_TRUE(PollFor(
        {&api}, [&] { return server->GetConnectionCount() == 0; }, 5));
    EXPECT_EQ(events.Count(kQelEventConnectionDestroyed), kClients);
}

// The process's sockets, but accepting fails as a process out of descriptors fails once
// `left` accepts have succeeded. The descriptors run out for the server's accepts only: the
// sanitizers of the test build open descriptors of their own, and a process truly out of
// them makes them report faults that are none.
class DescriptorsRunningOut final : public QelSocketSystem {
public:
    int Startup() override { return real_.Startup(); }
    int Cleanup() override { return real_.Cleanup(); }
    ws::SOCKET Open(int type, int protocol) override { return real_.Open(type, protocol); }
    int SetNonBlocking(ws::SOCKET s) override { return real_.SetNonBlocking(s); }
    int SetOption(ws::SOCKET s, int level, int name, int value) override {
        return real_.SetOption(s, level, name, value);
    }
    int Bind(ws::SOCKET s, const ws::sockaddr_in& a) override { return real_.Bind(s, a); }
    int Listen(ws::SOCKET s, int backlog) override { return real_.Listen(s, backlog); }
    ws::SOCKET Accept(ws::SOCKET s, ws::sockaddr_in& peer) override {
        if (left == 0) {
            ++refused;
            short_ = true;
            return ws::INVALID_SOCKET;
        }
        short_ = false;
        ws::SOCKET accepted = real_.Accept(s, peer);
        if (accepted != ws::INVALID_SOCKET && left > 0) --left;
        return accepted;
    }
    int Connect(ws::SOCKET s, const ws::sockaddr_in& a) override { return real_.Connect(s, a); }
    int Send(ws::SOCKET s, const char* data, int n) override { return real_.Send(s, data, n); }
    int Receive(ws::SOCKET s, char* buffer, int n, int flags) override {
        return real_.Receive(s, buffer, n, flags);
    }
    int SendTo(ws::SOCKET s, const char* data, int n, const ws::sockaddr_in& to) override {
        return real_.SendTo(s, data, n, to);
    }
    int ReceiveFrom(ws::SOCKET s, char* buffer, int n, ws::sockaddr_in& from) override {
        return real_.ReceiveFrom(s, buffer, n, from);
    }
    int Select(ws::SOCKET s, QelReadiness readiness) override { return real_.Select(s, readiness); }
    int Wait(ws::SOCKET s, QelReadiness readiness, uint32_t milliseconds) override {
        return real_.Wait(s, readiness, milliseconds);
    }
    int WaitWithMessages(ws::WSAPOLLFD* sockets, uint32_t count, uint32_t milliseconds) override {
        return real_.WaitWithMessages(sockets, count, milliseconds);
    }
    int Close(ws::SOCKET s) override { return real_.Close(s); }
    int LocalAddress(ws::SOCKET s, ws::sockaddr_in& a) override { return real_.LocalAddress(s, a); }
    int PeerAddress(ws::SOCKET s, ws::sockaddr_in& a) override { return real_.PeerAddress(s, a); }
    uint32_t LookUpHost(const char* name) override { return real_.LookUpHost(name); }
    // The refusal's error is the one read right after it.
    int LastError() override {
        return std::exchange(short_, false) ? ws::WSAEMFILE : real_.LastError();
    }

    // Accepts that may still succeed; -1 for no limit.
    int left = -1;
    int refused = 0;

private:
    QelSocketSystem& real_ = QelNetworkSockets();
    bool short_ = false;
};

TEST(QelHostileDescriptors, OutOfDescriptorsTheServerMakesNoHalfConnectionsAndWaits) {
    constexpr int kClients = 40;
    constexpr int kFree = 5;
    DescriptorsRunningOut sockets;
    QelAPI api(&sockets);
    EventRecorder events{api};
    QelServer* server = HostOnFreePort(*api.CreateHost());
    ASSERT_NE(server, nullptr);
    sockets.left = kFree;
    std::vector<ws::SOCKET> clients = RawClients(sockets, *server, kClients);
    PollFor(
        {&api}, [] { return false; }, 0.3);
    EXPECT_EQ(server->GetConnectionCount(), static_cast<size_t>(kFree));
    EXPECT_EQ(events.Count(kQelEventConnectionDestroyed), 0);
    // It backed off: one refused accept, not one a poll.
    EXPECT_LE(sockets.refused, 2);

    // The clients beyond the limit waited in the backlog and come in now.
    sockets.left = -1;
    EXPECT_TRUE(PollFor(
        {&api}, [&] { return server->GetConnectionCount() == kClients; }, 5));
    for (size_t i = 0; i < server->GetConnectionCount(); ++i)
        EXPECT_TRUE(server->GetConnection(i)->IsGreeted());
    for (ws::SOCKET client : clients)
        sockets.Close(client);
}

TEST_F(QelHostileLoopbackTest, TheJoinReportFindsTheMembersAlreadyThere) {
    QelHost* players = api.CreateHost();
    QelPlayer* ann = players->Connect("127.0.0.1", server->GetPort(), "ann");
    QelPlayer* bob = players->Connect("127.0.0.1", server->GetPort(), "bob");
    ASSERT_TRUE(PollFor(
        {&api}, [&] { return events.Count(kQelEventConnectionNamed) == 2; }, 5));
    QelChannel* annRoom = ann->JoinChannel("room");
    ASSERT_TRUE(PollFor(
        {&api}, [&] { return annRoom->GetId() != 0; }, 5));
    size_t usersAtJoin = 0;
    events.also = [&](const QelEvent& event) {
        if (event.number == kQelEventChannelJoined)
            usersAtJoin = static_cast<QelChannel*>(event.second)->GetUserCount();
    };
    QelChannel* bobRoom = bob->JoinChannel("room");
    ASSERT_TRUE(PollFor(
        {&api}, [&] { return bobRoom->GetId() != 0; }, 5));
    EXPECT_EQ(usersAtJoin, 2u);
}

} // namespace
