// Raw sockets: lines through the kept buffer, the line cap, blocking waits driven by the
// test clock, sends that meet a full socket, the events of the poll; on the in-memory
// network.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace std::string_literals;

#include "net/qel_memory_sockets.h"
#include "net/qel_socket.h"
#include "net/qel_test_support.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/test_hooks.h"

namespace {

constexpr int32_t kPort = 5000;

// A listening raw socket on the in-memory network and a peer of plain handles; the test
// clock is frozen, so a wait moves it on by what it waited.
class RawSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::test::FreezeClock(100000);
        ASSERT_EQ(listener.Listen(kPort), 1);
    }
    void TearDown() override { platform::test::UnfreezeClock(); }

    // Connects the peer and accepts it.
    QelSocket* Pair() {
        peer = sockets.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
        EXPECT_EQ(sockets.Connect(peer, Loopback(kPort)), 0);
        return listener.Accept();
    }
    void PeerSends(const std::string& bytes) {
        EXPECT_EQ(sockets.Send(peer, bytes.data(), int(bytes.size())), int(bytes.size()));
    }
    std::string PeerReceives() {
        std::string bytes(sockets.Pending(peer), '\0');
        if (!bytes.empty()) sockets.Receive(peer, bytes.data(), int(bytes.size()), 0);
        return bytes;
    }

    QelMemorySockets sockets;
    QelAPI api{&sockets};
    EventRecorder recorder{api};
    QelSocket listener{api};
    ws::SOCKET peer = ws::INVALID_SOCKET;
};

TEST_F(RawSocketTest, LinesComeWithoutTheirBreaksAndTheRestWaitsForReceive) {
    QelSocket* socket = Pair();
    PeerSends("\r\nabc\r\n\n\nd\re\nx\0y\nrest"s);
    EXPECT_EQ(socket->ReceiveLine(), "abc");
    EXPECT_EQ(socket->ReceiveLine(), "de");
    EXPECT_EQ(socket->ReceiveLine(), std::string("x\0y", 3));
    // The bytes behind the last line wait in the kept buffer, which Receive serves first.
    EXPECT_TRUE(socket->HasData());
    char buffer[16] = {};
    EXPECT_EQ(socket->Receive(buffer, 2), 2);
    EXPECT_EQ(std::string(buffer, 2), "re");
    EXPECT_EQ(socket->Receive(buffer, sizeof buffer), 2);
    EXPECT_EQ(std::string(buffer, 2), "st");
    EXPECT_FALSE(socket->HasData());
    // One incoming packet per non-empty line, then one per Receive.
    EXPECT_EQ(socket->stats.inPackets, 5);
    EXPECT_EQ(socket->stats.totalBytesIn, 3 + 2 + 3 + 2 + 2);
}

TEST_F(RawSocketTest, ALineWaitsUpToTheTimeOutAndGivesWhatCameInEitherMode) {
    QelSocket* socket = Pair();
    for (int blocking : {1, 0}) {
        socket->SetBlocking(blocking);
        socket->SetTimeOut(300);
        PeerSends("part");
        DWORD before = timeGetTime();
        EXPECT_EQ(socket->ReceiveLine(), "part");
        EXPECT_GE(timeGetTime() - before, 300u);
        before = timeGetTime();
        EXPECT_EQ(socket->ReceiveLine(), "");
        EXPECT_GE(timeGetTime() - before, 300u);
    }
    // A blocking Receive waits as long; a non-blocking one not at all.
    char byte = 0;
    socket->SetBlocking(1);
    DWORD before = timeGetTime();
    EXPECT_EQ(socket->Receive(&byte, 1), 0);
    EXPECT_GE(timeGetTime() - before, 300u);
    socket->SetBlocking(0);
    before = timeGetTime();
    EXPECT_EQ(socket->Receive(&byte, 1), 0);
    EXPECT_EQ(timeGetTime(), before);
}

TEST_F(RawSocketTest, ALineEndsWhenThePeerCloses) {
    QelSocket* socket = Pair();
    PeerSends("last words");
    sockets.Close(peer);
    DWORD before = timeGetTime();
    EXPECT_EQ(socket->ReceiveLine(), "last words");
    EXPECT_EQ(socket->ReceiveLine(), "");
    EXPECT_EQ(timeGetTime(), before);
}

TEST_F(RawSocketTest, AnEndlessLineComesInPiecesOfTheCap) {
    QelSocket* socket = Pair();
    std::string endless(kQelLineCap + 10, 'x');
    endless[5] = '\r';
    PeerSends(endless + "\n");
    std::string first = socket->ReceiveLine();
    EXPECT_EQ(first.size(), kQelLineCap);
    EXPECT_EQ(first.find('\r'), std::string::npos);
    // The cut falls after the cap's bytes were stored; the CR dropped before it counts not.
    EXPECT_EQ(socket->ReceiveLine(), std::string(10 - 1, 'x'));
}

TEST_F(RawSocketTest, ABlockingSendGoesOnFromTheFirstUnsentByte) {
    QelSocket* socket = Pair();
    sockets.SetSendLimit(socket->pair.tcp.handle, 3);
    EXPECT_EQ(socket->Send("0123456789", 10), 10);
    EXPECT_EQ(PeerReceives(), "0123456789");
    EXPECT_EQ(socket->stats.outPackets, 4);
    EXPECT_EQ(socket->SendLine("ab", 2), 4);
    EXPECT_EQ(PeerReceives(), "ab\r\n");
}

TEST_F(RawSocketTest, ANonBlockingSendIsQueuedAndDrainedOverPolls) {
    QelSocket* socket = Pair();
    socket->SetBlocking(0);
    sockets.SetSendLimit(socket->pair.tcp.handle, 4);
    EXPECT_EQ(socket->Send("0123456789", 10), 10);
    EXPECT_EQ(sockets.Pending(peer), 0u);
    std::string received;
    for (size_t expected : {4u, 4u, 2u, 0u}) {
        api.Process();
        std::string part = PeerReceives();
        EXPECT_EQ(part.size(), expected);
        received += part;
    }
    EXPECT_EQ(received, "0123456789");
}

TEST_F(RawSocketTest, EventsFireInEveryPollWhileTheirConditionHolds) {
    QelSocket client(api);
    client.SetBlocking(0);
    EXPECT_EQ(client.Connect("127.0.0.1", kPort), 0);
    api.Process();
    api.Process();
    // Connected once; a client to accept in every poll.
    EXPECT_EQ(recorder.Count(kQelEventSocketConnected), 1);
    EXPECT_EQ(recorder.Count(kQelEventSocketAcceptable), 2);
    QelSocket* accepted = listener.Accept();
    EXPECT_TRUE(accepted->IsConnected());
    EXPECT_EQ(accepted->GetState(), QelSocket::kAccepted);
    recorder.Clear();
    client.Send("hi", 2);
    api.Process();
    api.Process();
    EXPECT_EQ(recorder.Numbers(), (std::vector<int>{kQelEventSocketData, kQelEventSocketData}));
    EXPECT_EQ(recorder.events[0].first, accepted);
    char buffer[4];
    EXPECT_EQ(accepted->Receive(buffer, sizeof buffer), 2);
    recorder.Clear();
    client.Disconnect();
    api.Process();
    api.Process();
    // Each end finds the connection gone, once.
    ASSERT_EQ(recorder.Numbers(), (std::vector<int>{kQelEventSocketLost, kQelEventSocketLost}));
    EXPECT_EQ(recorder.events[0].first, &client);
    EXPECT_EQ(recorder.events[1].first, accepted);
    EXPECT_FALSE(accepted->IsConnected());
}

TEST_F(RawSocketTest, AnAcceptWithNobodyWaitingGivesASocketThatReportsItsLoss) {
    DWORD before = timeGetTime();
    listener.SetBlocking(0);
    QelSocket* now = listener.Accept();
    EXPECT_EQ(timeGetTime(), before);
    listener.SetBlocking(1);
    QelSocket* waited = listener.Accept();
    EXPECT_GE(timeGetTime() - before, 5000u);
    ASSERT_NE(now, nullptr);
    ASSERT_NE(waited, nullptr);
    api.Process();
    EXPECT_EQ(recorder.Count(kQelEventSocketLost), 2);
    EXPECT_FALSE(now->IsConnected());
}

TEST_F(RawSocketTest, ABlockingConnectEndsAtTheFirstFailureWithoutAnEvent) {
    QelSocket client(api);
    EXPECT_EQ(client.GetTimeOut(), 5000);
    EXPECT_TRUE(client.IsBlocking());
    DWORD before = timeGetTime();
    EXPECT_EQ(client.Connect("127.0.0.1", kPort + 1), 0);
    EXPECT_EQ(timeGetTime(), before);
    EXPECT_FALSE(client.IsConnected());
    EXPECT_EQ(client.Connect("127.0.0.1", kPort), 1);
    EXPECT_EQ(recorder.Numbers(), std::vector<int>{kQelEventSocketConnected});
}

} // namespace
