// Anyone can send datagrams: the player's and the server's handlers, with the same-host
// hand-overs between them, take any bytes, and so do their polls, which check who sent
// them. Each record of the input is a target byte (bit 1 set: through the network to port
// N + 1; else bit 0 set: the player, clear: the server), a big-endian u16 length and the
// datagram.
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
    ws::SOCKET sender = network.Open(ws::SOCK_DGRAM, ws::IPPROTO_UDP);
    network.Bind(sender, FuzzLoopback(kFuzzPort + 1));
    while (size >= 3) {
        bool throughNetwork = (data[0] & 2) != 0;
        bool toPlayer = (data[0] & 1) != 0;
        size_t length = static_cast<size_t>(data[1] << 8 | data[2]);
        data += 3;
        size -= 3;
        if (length > size) length = size;
        std::string_view datagram(reinterpret_cast<const char*>(data), length);
        if (throughNetwork) {
            network.SendTo(sender, datagram.data(), static_cast<int>(length),
                           FuzzLoopback(kFuzzPort + 1));
            api.Process();
        } else if (toPlayer && host->GetPlayerCount() > 0) {
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
