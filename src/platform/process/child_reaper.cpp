#include <poll.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <mutex>
#include <thread>
#include <vector>

#include "platform/process/process_object.h"

#ifndef P_PIDFD
#define P_PIDFD 3
#endif

namespace platform {
namespace {

// One thread waits on the pidfds of every child whose handle was closed while it ran.
// It lives as long as the process; the eventfd wakes it when a child is added.
class Reaper {
public:
    Reaper() : wake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        std::thread(&Reaper::Run, this).detach();
    }

    void Add(int pidfd) {
        std::lock_guard guard(lock_);
        pending_.push_back(pidfd);
        uint64_t one = 1;
        ssize_t written = write(wake_, &one, sizeof one);
        (void)written; // a counter already non-zero wakes the thread all the same
    }

private:
    void Run() {
        std::vector<int> watched;
        for (;;) {
            {
                std::lock_guard guard(lock_);
                watched.insert(watched.end(), pending_.begin(), pending_.end());
                pending_.clear();
            }
            std::vector<pollfd> fds{{wake_, POLLIN, 0}};
            for (int fd : watched)
                fds.push_back({fd, POLLIN, 0});
            if (poll(fds.data(), fds.size(), -1) < 0) continue;
            uint64_t count = 0;
            if (fds[0].revents & POLLIN) {
                ssize_t got = read(wake_, &count, sizeof count);
                (void)got; // a non-blocking read of nothing leaves the counter at 0
            }
            std::vector<int> running;
            for (size_t i = 1; i < fds.size(); ++i) {
                siginfo_t info{};
                if (fds[i].revents != 0 &&
                    (waitid(idtype_t(P_PIDFD), id_t(fds[i].fd), &info, WEXITED | WNOHANG) != 0 ||
                     info.si_pid != 0)) {
                    close(fds[i].fd);
                } else {
                    running.push_back(fds[i].fd);
                }
            }
            watched.swap(running);
        }
    }

    std::mutex lock_;
    std::vector<int> pending_;
    const int wake_;
};

} // namespace

void HandToReaper(int pidfd) {
    static auto* reaper = new Reaper; // its thread runs until the process ends
    reaper->Add(pidfd);
}

} // namespace platform
