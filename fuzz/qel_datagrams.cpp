// Anyone can send datagrams: the player's and the server's handlers, with the same-host
// hand-overs between them, take any bytes. Each record of the input is a target byte
// (even: the server, odd: the player), a big-endian u16 length and the datagram.
#include "net/qel_player.h"
#include "net/qel_server.h"
#include "qel_fuzz_peer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QelMemorySockets network;
    QelAPI api(&network);
    QelHost* host = api.CreateHost();
    QelServer* server = host->HostServer(kFuzzPort);
    QelPlayer* ann = host->Connect("127.0.0.1", kFuzzPort, "ann");
    QelPlayer* bob = host->Connect("127.0.0.1", kFuzzPort, "bob");
    for (int i = 0; i < 8; ++i)
        api.Process();
    ann->JoinChannel("room");
    for (int i = 0; i < 8; ++i)
        api.Process();
    bob->JoinChannel("room");
    for (int i = 0; i < 8; ++i)
        api.Process();
    while (size >= 3) {
        bool toPlayer = (data[0] & 1) != 0;
        size_t length = static_cast<size_t>(data[1] << 8 | data[2]);
        data += 3;
        size -= 3;
        if (length > size) length = size;
        std::string_view datagram(reinterpret_cast<const char*>(data), length);
        if (toPlayer && host->GetPlayerCount() > 0) {
            host->GetPlayer(0)->HandleDatagram(datagram);
        } else if (host->GetServerCount() > 0) {
            server->HandleDatagram(datagram);
        }
        data += length;
        size -= length;
    }
    for (int i = 0; i < 4; ++i)
        api.Process();
    return 0;
}
