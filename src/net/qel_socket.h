// A plain TCP socket outside the Qel protocol, listed in the root and polled there. In
// blocking mode (the default) connect, accept, send and receive wait for the socket, up to
// the time-out, through the socket layer's wait; time is read from timeGetTime, so the
// test clock drives the time-outs. In non-blocking mode they return at once, sends are
// queued and drained by the poll, and events 18 to 21 report progress.
//
// Received bytes go through a buffer the socket keeps: ReceiveLine reads in large pieces
// and leaves what follows its line there, where Receive and HasData find it first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "net/qel_object.h"
#include "net/qel_packet_queue.h"
#include "net/qel_socket_pair.h"
#include "net/qel_stats.h"

class QelAPI;

// The longest line ReceiveLine gives; the bytes of a longer one come as several lines.
inline constexpr size_t kQelLineCap = size_t(16) << 20;
inline constexpr int32_t kQelDefaultTimeOut = 5000;

class QelSocket : public QelObject {
public:
    enum State : uint16_t { kClient = 0, kListening = 1, kAccepted = 2 };

    // Appended to the root's list: a client, blocking, not connected.
    explicit QelSocket(QelAPI& root);
    // Unlinks the socket from the root's list and closes it.
    ~QelSocket() override;

    // 1 blocking, any other value non-blocking.
    void SetBlocking(int flag) { blocking_ = flag == 1; }
    bool IsBlocking() const { return blocking_; }
    void SetTimeOut(int32_t milliseconds) { timeOut_ = milliseconds; }
    int32_t GetTimeOut() const { return timeOut_; }

    // Blocking: waits until connected (event 18), the connect fails or the time-out
    // passes. Non-blocking: the poll reports the connection. The connected flag.
    int Connect(const char* hostText, int32_t port);
    // Listens with a backlog of 3; the layer's result (1, or -1).
    int Listen(int32_t port);
    // A new socket, connected, holding the accepted client: one attempt when non-blocking,
    // repeated within the time-out when blocking. Returned also when nothing was
    // accepted: its first poll then finds it dead (event 19). Null when out of memory.
    QelSocket* Accept();
    int Disconnect();
    // Blocking: sends everything, waiting for room within the time-out; the bytes sent.
    // Non-blocking: queues the bytes for the poll and answers n.
    int Send(const void* data, size_t n);
    // The text with CR LF appended.
    int SendLine(const void* text, size_t n);
    // Up to `size` bytes, the kept ones first. Blocking: waits for some within the
    // time-out. The count, 0 when none came, -1 after an error.
    int Receive(void* buffer, size_t size);
    // The next line without its CR and LF bytes, waiting up to the time-out in either
    // mode; LF bytes before the first stored byte are skipped. At the time-out, or when
    // the connection ends, the bytes stored so far (maybe none). A line is cut at
    // kQelLineCap bytes, the rest waiting for the next call.
    std::string ReceiveLine();
    // Kept bytes, or bytes waiting on the socket.
    bool HasData();

    const std::string& GetLocalAddressText();
    const std::string& GetPeerAddressText();
    bool IsConnected() const { return connected_; }
    State GetState() const { return state_; }
    size_t GetQueuedBytes() const { return static_cast<size_t>(queue_.GetBytes()); }

    // Once per tick: events 20 and 19 of a connected socket, 18 of one that connected,
    // 21 of a listening one with a client waiting; the send queue of a non-blocking one.
    // Events 20 and 21 repeat while their input waits, once the previous one has run.
    void Poll();
    // Adds what the next poll has work for once it turns ready (QelAPI::WaitForTraffic):
    // input the script was told of and has not read since wakes nobody again.
    void CollectWaits(QelWaits& waits);

    QelAPI& root;
    QelSocketPair pair;
    QelStats stats;

private:
    // The milliseconds left of the time-out of an operation that began at `start`;
    // negative once it passed.
    int64_t Remaining(uint32_t start) const;
    // Waits for the socket within what is left of the time-out: false once it passed.
    bool WaitFor(QelReadiness readiness, uint32_t start);
    // Reads what the socket has into the kept buffer: the count, 0 when nothing waits,
    // -1 when the connection ended or failed.
    int Fill();
    // Fill, waiting for bytes within the time-out: 0 when none came in time.
    int FillWaiting(uint32_t start);
    size_t Kept() const { return kept_.size() - keptStart_; }
    size_t TakeKept(void* buffer, size_t size);
    void Fire(int event);
    // Reports input (event 20 or 21), which then wakes no wait until the script takes some.
    void Tell(int event);

    State state_ = kClient;
    bool blocking_ = true;
    bool connected_ = false;
    // Input was reported and the script has taken none since.
    bool told_ = false;
    int32_t timeOut_ = kQelDefaultTimeOut;
    std::string localAddress_;
    std::string peerAddress_;
    QelPacketQueue queue_;
    size_t resume_ = 0;
    std::vector<char> kept_;
    size_t keptStart_ = 0;
};
