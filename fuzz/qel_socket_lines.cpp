// A peer sends anything to a raw socket in chunks the input chooses, between which the
// script reads lines and bytes: every line equals the one a plain split of the same bytes
// gives (CR dropped, LF ending a non-empty line), every Receive gives the next bytes of
// the stream, and nothing is lost or read twice.
#include <cstdlib>
#include <deque>
#include <string>

#include "net/qel_socket.h"
#include "platform/kernel/test_hooks.h"
#include "qel_fuzz_peer.h"

namespace {

// The bytes sent and not yet read, and the reference split over them.
class Reference {
public:
    void Add(const uint8_t* data, size_t n) { pending_.insert(pending_.end(), data, data + n); }
    std::string Line() {
        std::string line;
        while (!pending_.empty()) {
            char c = pending_.front();
            pending_.pop_front();
            if (c == '\n') {
                if (!line.empty()) return line;
                continue;
            }
            if (c == '\r') continue;
            line.push_back(c);
            if (line.size() == kQelLineCap) return line;
        }
        return line;
    }
    // Whether the bytes are the next ones of the stream; they are taken off it.
    bool Take(const char* bytes, size_t n) {
        if (n > pending_.size()) return false;
        for (size_t i = 0; i < n; ++i) {
            if (pending_.front() != bytes[i]) return false;
            pending_.pop_front();
        }
        return true;
    }
    size_t Pending() const { return pending_.size(); }

private:
    std::deque<char> pending_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A wait of the in-memory network only moves the frozen clock on.
    platform::test::FreezeClock(1000);
    QelMemorySockets network;
    QelAPI api(&network);
    QelSocket listener(api);
    listener.Listen(kFuzzPort);
    ws::SOCKET peer = network.Open(ws::SOCK_STREAM, ws::IPPROTO_TCP);
    network.Connect(peer, FuzzLoopback(kFuzzPort));
    QelSocket* socket = listener.Accept();
    socket->SetBlocking(0);
    socket->SetTimeOut(10);
    Reference reference;
    char buffer[256];
    // Each step: a control byte, whose low two bits choose what happens.
    while (size > 0) {
        uint8_t control = *data++;
        --size;
        size_t amount = (control >> 2) + 1u;
        switch (control & 3) {
        case 0:
        case 3: {
            size_t n = (control & 3) == 0 ? amount : amount * 64;
            if (n > size) n = size;
            network.Send(peer, reinterpret_cast<const char*>(data), static_cast<int>(n));
            reference.Add(data, n);
            data += n;
            size -= n;
            api.Process();
            break;
        }
        case 1:
            if (socket->ReceiveLine() != reference.Line()) std::abort();
            break;
        case 2: {
            size_t before = reference.Pending();
            int got = socket->Receive(buffer, amount);
            if (got < 0 || (got == 0 && before > 0)) std::abort();
            if (!reference.Take(buffer, static_cast<size_t>(got))) std::abort();
            break;
        }
        }
    }
    network.Close(peer);
    for (;;) {
        std::string expected = reference.Line();
        if (socket->ReceiveLine() != expected) std::abort();
        if (expected.empty()) break;
    }
    platform::test::UnfreezeClock();
    return 0;
}
