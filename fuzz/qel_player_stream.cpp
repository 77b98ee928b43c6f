// A server sends anything to a player: every handler reads only the bytes its message
// holds, a message it cannot frame closes the connection, and nothing leaks or faults.
#include "net/qel_player.h"
#include "qel_fuzz_peer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QelMemorySockets network;
    QelAPI api(&network);
    ws::SOCKET listener = network.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
    network.Bind(listener, FuzzLoopback(kFuzzPort));
    network.Listen(listener, 3);
    QelHost* host = api.CreateHost();
    QelPlayer* player = host->Connect("127.0.0.1", kFuzzPort, "fuzz");
    player->JoinChannel("room");
    player->JoinChannel("room");
    player->JoinChannel("other");
    ws::sockaddr_in peer;
    ws::SOCKET server = network.Accept(listener, peer);
    FeedInChunks(api, network, server, data, size);
    // A script deleting a channel: its leave goes out with whatever the player holds.
    if (host->GetPlayerCount() == 1 && player->GetChannelCount() > 0) {
        delete player->GetChannel(0);
        api.Process();
    }
    return 0;
}
