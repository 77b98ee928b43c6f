// Raw sockets on 127.0.0.1 with peers on threads: a hostile peer without line breaks and a
// slow reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "net/qel_socket.h"
#include "net/qel_test_support.h"

namespace {

// A listening raw socket on 127.0.0.1 and a plain peer on a thread of its own.
class RawSocketThreads : public ::testing::Test {
protected:
    void SetUp() override {
        for (int32_t port = 45100; port < 46000; ++port) {
            if (listener.Listen(port) == 1) {
                port_ = port;
                return;
            }
            listener.pair.Close();
            listener.pair.tcp = QelNetSocket{};
        }
        FAIL() << "no free port";
    }
    // A peer socket connected to the listener, its sends and receives retried while the
    // socket is full or empty.
    ws::SOCKET Connect() {
        QelSocketSystem& net = QelNetworkSockets();
        ws::SOCKET s = net.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
        net.SetNonBlocking(s);
        net.Connect(s, Loopback(port_));
        return s;
    }
    static void SendAll(ws::SOCKET s, const char* data, size_t n) {
        QelSocketSystem& net = QelNetworkSockets();
        while (n > 0) {
            int sent = net.Send(s, data, int(std::min<size_t>(n, 1 << 20)));
            if (sent > 0) {
                data += sent;
                n -= size_t(sent);
            } else {
                net.Wait(s, QelReadiness::Write, 100);
            }
        }
    }
    QelSocket* AcceptOne() {
        listener.SetTimeOut(10000);
        return listener.Accept();
    }

    QelAPI api;
    QelSocket listener{api};
    int32_t port_ = 0;
};

TEST_F(RawSocketThreads, AHostilePeerWithoutLineBreaksGetsLinesOfTheCapAndLosesNothing) {
    constexpr size_t kTotal = size_t(100) << 20;
    ws::SOCKET s = Connect();
    std::thread peer([s] {
        std::vector<char> block(size_t(1) << 20, 'z');
        for (size_t sent = 0; sent < kTotal; sent += block.size())
            SendAll(s, block.data(), block.size());
        QelNetworkSockets().Close(s);
    });
    QelSocket* socket = AcceptOne();
    ASSERT_TRUE(socket->IsConnected());
    socket->SetTimeOut(10000);
    size_t total = 0;
    std::vector<size_t> sizes;
    for (;;) {
        std::string line = socket->ReceiveLine();
        if (line.empty()) break;
        total += line.size();
        sizes.push_back(line.size());
    }
    peer.join();
    EXPECT_EQ(total, kTotal);
    // Six lines of the cap, and the last 4 MiB when the peer closed.
    ASSERT_EQ(sizes.size(), 7u);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(sizes[i], kQelLineCap);
}

TEST_F(RawSocketThreads, ABlockingSendWaitsForASlowReaderWithinTheTimeOut) {
    constexpr size_t kTotal = size_t(32) << 20;
    ws::SOCKET s = Connect();
    QelSocket* socket = AcceptOne();
    ASSERT_TRUE(socket->IsConnected());
    std::atomic<size_t> received{0};
    std::thread peer([s, &received] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        QelSocketSystem& net = QelNetworkSockets();
        std::vector<char> buffer(1 << 16);
        while (received < kTotal) {
            int got = net.Receive(s, buffer.data(), int(buffer.size()), 0);
            if (got > 0)
                received += size_t(got);
            else
                net.Wait(s, QelReadiness::Read, 100);
        }
        net.Close(s);
    });
    std::vector<char> data(kTotal, 'q');
    socket->SetTimeOut(20000);
    EXPECT_EQ(socket->Send(data.data(), data.size()), int(kTotal));
    peer.join();
    EXPECT_EQ(received.load(), kTotal);
}

} // namespace
