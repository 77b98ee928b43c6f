// A client sends anything to a server's connection, while a well-behaved player shares
// the server: sessions, relays and leaves hold up, and nothing leaks or faults.
#include "net/qel_player.h"
#include "net/qel_server.h"
#include "qel_fuzz_peer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QelMemorySockets network;
    QelAPI api(&network);
    QelHost* host = api.CreateHost();
    host->HostServer(kFuzzPort);
    QelPlayer* player = api.CreateHost()->Connect("127.0.0.1", kFuzzPort, "good");
    for (int i = 0; i < 8; ++i)
        api.Process();
    player->JoinChannel("room");
    for (int i = 0; i < 8; ++i)
        api.Process();
    ws::SOCKET client = network.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
    network.Connect(client, FuzzLoopback(kFuzzPort));
    FeedInChunks(api, network, client, data, size);
    network.Close(client);
    for (int i = 0; i < 4; ++i)
        api.Process();
    return 0;
}
