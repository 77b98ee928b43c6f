#include "net/qel_socket.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "net/qel_api.h"
#include "net/qel_stream.h"
#include "platform/kernel/clock.h"

namespace {

// What one read into the kept buffer asks for.
constexpr size_t kFillSize = 64 * 1024;

int ClampCount(size_t n) {
    return static_cast<int>(std::min<size_t>(n, INT_MAX));
}

} // namespace

QelSocket::QelSocket(QelAPI& root) : root(root), pair(root.Sockets()) {
    root.rawSockets_.push_back(this);
    QelAPI::Register(this);
}

QelSocket::~QelSocket() {
    auto& list = root.rawSockets_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    QelAPI::Unregister(this);
}

int64_t QelSocket::Remaining(uint32_t start) const {
    return int64_t(timeOut_) - int64_t(timeGetTime() - start);
}

bool QelSocket::WaitFor(QelReadiness readiness, uint32_t start) {
    int64_t left = Remaining(start);
    if (left < 0) return false;
    return root.Sockets().Wait(pair.tcp.handle, readiness, static_cast<uint32_t>(left)) > 0;
}

void QelSocket::Fire(int event) {
    root.FireEvent(event, this);
}

void QelSocket::Tell(int event) {
    told_ = true;
    Fire(event);
}

int QelSocket::Connect(const char* hostText, int32_t port) {
    if (pair.tcp.handle != ws::INVALID_SOCKET) {
        pair.Close();
        pair.tcp = QelNetSocket{};
    }
    state_ = kClient;
    connected_ = false;
    told_ = false;
    kept_.clear();
    keptStart_ = 0;
    pair.Connect(hostText, port);
    if (!blocking_) return 0;
    uint32_t start = timeGetTime();
    uint64_t serial = Serial();
    // A wait that reported the socket ready leaves one more look: a connection that came
    // and went at once, which no exception reports, would otherwise be waited for again.
    bool wasReady = false;
    for (;;) {
        if (pair.IsConnected()) {
            connected_ = true;
            Fire(kQelEventSocketConnected);
            return QelAPI::IsLive(this, serial) && connected_ ? 1 : 0;
        }
        if (pair.HasException() || wasReady) return 0;
        if (!WaitFor(QelReadiness::Write, start)) return 0;
        wasReady = true;
    }
}

int QelSocket::Listen(int32_t port) {
    state_ = kListening;
    told_ = false;
    return pair.Listen(port);
}

QelSocket* QelSocket::Accept() {
    auto* accepted = new (std::nothrow) QelSocket(root);
    if (accepted == nullptr) return nullptr;
    told_ = false;
    accepted->state_ = kAccepted;
    accepted->connected_ = true;
    uint32_t start = timeGetTime();
    bool wasReady = false;
    while (!pair.Accept(accepted->pair)) {
        if (!blocking_ || wasReady || pair.HasException()) break;
        if (!WaitFor(QelReadiness::Read, start)) break;
        wasReady = true;
    }
    return accepted;
}

int QelSocket::Disconnect() {
    return pair.Close();
}

int QelSocket::Send(const void* data, size_t n) {
    if (!blocking_) {
        queue_.Push(data, n);
        return ClampCount(n);
    }
    const char* bytes = static_cast<const char*>(data);
    size_t sent = 0;
    uint32_t start = timeGetTime();
    while (sent < n) {
        int got = pair.Send(bytes + sent, ClampCount(n - sent));
        if (got > 0) {
            sent += static_cast<size_t>(got);
            stats.RecordOut(got);
            continue;
        }
        // A full socket is waited for; any other failure ends the send.
        if (got < 0 && root.Sockets().LastError() != ws::WSAEWOULDBLOCK) break;
        if (!WaitFor(QelReadiness::Write, start)) break;
    }
    return ClampCount(sent);
}

int QelSocket::SendLine(const void* text, size_t n) {
    std::vector<char> line(n + 2);
    if (n > 0) std::memcpy(line.data(), text, n);
    line[n] = '\r';
    line[n + 1] = '\n';
    return Send(line.data(), line.size());
}

size_t QelSocket::TakeKept(void* buffer, size_t size) {
    size_t n = std::min(size, Kept());
    std::memcpy(buffer, kept_.data() + keptStart_, n);
    keptStart_ += n;
    return n;
}

int QelSocket::Receive(void* buffer, size_t size) {
    if (size == 0) return 0;
    told_ = false;
    int got;
    if (Kept() > 0) {
        got = static_cast<int>(TakeKept(buffer, std::min<size_t>(size, INT_MAX)));
    } else {
        got = pair.Receive(buffer, ClampCount(size));
        // Readable with nothing to read: the peer closed, and no wait brings more.
        if (got == 0 && blocking_ && WaitFor(QelReadiness::Read, timeGetTime()))
            got = pair.Receive(buffer, ClampCount(size));
    }
    if (got > 0) stats.RecordIn(got);
    return got;
}

int QelSocket::Fill() {
    if (keptStart_ > 0) {
        kept_.erase(kept_.begin(), kept_.begin() + static_cast<std::ptrdiff_t>(keptStart_));
        keptStart_ = 0;
    }
    size_t old = kept_.size();
    kept_.resize(old + kFillSize);
    int got = pair.Receive(kept_.data() + old, static_cast<int>(kFillSize));
    kept_.resize(old + static_cast<size_t>(std::max(got, 0)));
    return got;
}

int QelSocket::FillWaiting(uint32_t start) {
    int got = Fill();
    if (got != 0) return got;
    if (!WaitFor(QelReadiness::Read, start)) return 0;
    got = Fill();
    return got == 0 ? -1 : got;
}

std::string QelSocket::ReceiveLine() {
    std::string line;
    told_ = false;
    uint32_t start = timeGetTime();
    for (;;) {
        while (keptStart_ < kept_.size()) {
            const char* from = kept_.data() + keptStart_;
            size_t available = kept_.size() - keptStart_;
            const void* found = std::memchr(from, '\n', available);
            size_t span = found != nullptr
                              ? static_cast<size_t>(static_cast<const char*>(found) - from)
                              : available;
            span = std::min(span, kQelLineCap - line.size());
            // CR bytes are dropped wherever they are.
            for (size_t i = 0; i < span;) {
                const void* cr = std::memchr(from + i, '\r', span - i);
                size_t end =
                    cr != nullptr ? static_cast<size_t>(static_cast<const char*>(cr) - from) : span;
                line.append(from + i, end - i);
                i = cr != nullptr ? end + 1 : end;
            }
            keptStart_ += span;
            if (line.size() == kQelLineCap) {
                stats.RecordIn(static_cast<int32_t>(line.size()));
                return line;
            }
            if (keptStart_ < kept_.size() && kept_[keptStart_] == '\n') {
                ++keptStart_;
                if (!line.empty()) {
                    stats.RecordIn(static_cast<int32_t>(line.size()));
                    return line;
                }
            }
        }
        if (FillWaiting(start) <= 0) break;
    }
    if (!line.empty()) stats.RecordIn(static_cast<int32_t>(line.size()));
    return line;
}

bool QelSocket::HasData() {
    return Kept() > 0 || pair.HasData();
}

const std::string& QelSocket::GetLocalAddressText() {
    pair.GetLocalAddressText(localAddress_);
    return localAddress_;
}

const std::string& QelSocket::GetPeerAddressText() {
    pair.GetPeerAddressText(peerAddress_);
    return peerAddress_;
}

void QelSocket::Poll() {
    uint64_t serial = Serial();
    QelAPI::InputScope input(root, *this);
    // The events that report input repeat while it waits: they wait for the script to
    // take the ones it has.
    bool backlogged = root.IsBacklogged(*this);
    // Input already reported is reported again once that report has run, not while it
    // waits: each report would otherwise keep an idle run loop from ever sleeping.
    bool mayReport = !told_ || root.GetWaitingEvents(*this) == 0;
    if (state_ == kListening) {
        if (!backlogged && mayReport && pair.IsReadable()) Tell(kQelEventSocketAcceptable);
        return;
    }
    if (!connected_) {
        if (pair.IsConnected()) {
            connected_ = true;
            Fire(kQelEventSocketConnected);
        }
        return;
    }
    if (!backlogged && mayReport && HasData()) {
        Tell(kQelEventSocketData);
        if (!QelAPI::IsLive(this, serial)) return;
    }
    if (!pair.IsAlive()) {
        connected_ = false;
        Fire(kQelEventSocketLost);
        if (!QelAPI::IsLive(this, serial)) return;
    }
    if (!blocking_) QelDrainQueue(pair, queue_, resume_, [this](int n) { stats.RecordOut(n); });
}

void QelSocket::CollectWaits(QelWaits& waits) {
    // A connect in progress is looked at only as often as every poll: a failed one stays
    // ready for good.
    if (state_ != kListening && !connected_) return;
    int16_t events = !blocking_ && queue_.GetCount() > 0 ? ws::kPollWrite : 0;
    if (!told_ && !root.IsBacklogged(*this)) {
        if (Kept() > 0) waits.inputWaiting = true;
        events |= ws::kPollRead;
    }
    if (events != 0) waits.Add(pair.tcp.handle, events);
}
