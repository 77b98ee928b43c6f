// Shared by the Qel fuzz targets: feeds a peer's bytes, in chunks the input chooses, to
// the library over the in-memory network.
#pragma once

#include <cstddef>
#include <cstdint>

#include "net/qel_api.h"
#include "net/qel_memory_sockets.h"

inline constexpr int32_t kFuzzPort = 9000;

inline ws::sockaddr_in FuzzLoopback(int32_t port) {
    ws::sockaddr_in address{};
    address.sin_family = ws::AF_INET;
    address.sin_port = ws::htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = ws::inet_addr("127.0.0.1");
    return address;
}

// The first byte is the chunk size (0: everything at once); the rest is sent from `peer`
// a chunk per poll, then the root is polled until the bytes are handled.
inline void FeedInChunks(QelAPI& api, QelMemorySockets& network, ws::SOCKET peer,
                         const uint8_t* data, size_t size) {
    if (size == 0) return;
    size_t chunk = data[0] == 0 ? size : data[0];
    ++data;
    --size;
    while (size > 0) {
        size_t n = chunk < size ? chunk : size;
        if (network.Send(peer, reinterpret_cast<const char*>(data), static_cast<int>(n)) < 0)
            return;
        data += n;
        size -= n;
        api.Process();
    }
    for (int i = 0; i < 64; ++i)
        api.Process();
}
