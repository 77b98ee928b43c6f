#include "platform/kernel/descriptor_wait.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <ctime>

#include "platform/kernel/waitable.h"

namespace platform {

namespace {

// The calling thread's event descriptor, made on first use; -1 when none could be made.
class ThreadWaker {
public:
    ThreadWaker() : fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
    ThreadWaker(const ThreadWaker&) = delete;
    ThreadWaker& operator=(const ThreadWaker&) = delete;
    ~ThreadWaker() {
        if (fd_ >= 0) close(fd_);
    }
    int Descriptor() const { return fd_; }
    void Drain() const {
        uint64_t count;
        while (read(fd_, &count, sizeof count) > 0) {}
    }

private:
    int fd_;
};

ThreadWaker& CurrentWaker() {
    thread_local ThreadWaker waker;
    return waker;
}

// The poll() time-out up to `until`, rounded up so that the wait never ends early.
timespec TimeLeft(std::chrono::steady_clock::time_point until) {
    auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(
        until - std::chrono::steady_clock::now());
    if (left.count() < 0) left = std::chrono::nanoseconds(0);
    return timespec{static_cast<time_t>(left.count() / 1000000000),
                    static_cast<long>(left.count() % 1000000000)};
}

bool AnyReady(const std::vector<pollfd>& descriptors) {
    return std::any_of(descriptors.begin(), descriptors.end(),
                       [](const pollfd& entry) { return entry.revents != 0; });
}

} // namespace

void WaitHub::NotifyAll() {
    changed.notify_all();
    const uint64_t one = 1;
    for (int waker : descriptorWakers) {
        // A full counter already wakes its thread.
        [[maybe_unused]] ssize_t written = write(waker, &one, sizeof one);
    }
}

bool DescriptorsReady(std::vector<pollfd>& descriptors) {
    for (pollfd& entry : descriptors)
        entry.revents = 0;
    if (descriptors.empty()) return false;
    return poll(descriptors.data(), descriptors.size(), 0) > 0 && AnyReady(descriptors);
}

bool WaitForChangeOrDescriptors(std::unique_lock<std::mutex>& lock,
                                std::vector<pollfd>& descriptors,
                                std::optional<std::chrono::steady_clock::time_point> until) {
    WaitHub& hub = GetWaitHub();
    const ThreadWaker& waker = CurrentWaker();
    const bool listed = waker.Descriptor() >= 0;
    if (!listed) {
        auto soon = std::chrono::steady_clock::now() + std::chrono::milliseconds(1);
        until = until ? std::min(*until, soon) : soon;
    } else {
        hub.descriptorWakers.push_back(waker.Descriptor());
    }
    for (pollfd& entry : descriptors)
        entry.revents = 0;
    descriptors.push_back(pollfd{waker.Descriptor(), POLLIN, 0});
    lock.unlock();
    timespec left{};
    if (until) left = TimeLeft(*until);
    int polled = ppoll(descriptors.data(), descriptors.size(), until ? &left : nullptr, nullptr);
    if (listed) waker.Drain();
    descriptors.pop_back();
    lock.lock();
    if (listed) {
        auto& wakers = hub.descriptorWakers;
        wakers.erase(std::find(wakers.begin(), wakers.end(), waker.Descriptor()));
    }
    return polled > 0 && AnyReady(descriptors);
}

} // namespace platform
