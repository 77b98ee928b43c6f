// A player polled on another thread against a server on 127.0.0.1.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "net/qel_player.h"
#include "net/qel_server.h"
#include "net/qel_test_support.h"

namespace {

// A player with a root of its own, polled on another thread, against the server polled
// here.
TEST(QelServerThreads, PlayerOnAnotherThread) {
    QelAPI api;
    EventRecorder events(api);
    QelServer* server = HostOnFreePort(*api.CreateHost());
    ASSERT_NE(server, nullptr);
    int32_t port = server->GetPort();
    std::atomic<bool> done{false};
    std::atomic<int> echoes{0};
    std::thread peer([&] {
        QelAPI own;
        own.SetCallback(kQelEventPlayerServerText, [&](const QelEvent&) { ++echoes; });
        QelPlayer* player = own.CreateHost()->Connect("127.0.0.1", port, "remote");
        for (int i = 0; i < 20000 && echoes < 10; ++i) {
            own.Process();
            if (player->GetId() != 0 && i % 50 == 0) player->SendText("ping", 1);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        done = true;
    });
    events.also = [&](const QelEvent& event) {
        if (event.number == kQelEventServerText)
            static_cast<QelConnection*>(event.first)->SendText("pong", 2);
    };
    while (!done) {
        api.Process();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    peer.join();
    EXPECT_GE(echoes.load(), 10);
}

} // namespace
