// pidfd calls through syscall: the C library's header lacks C++ linkage on some systems.
// Internal to the platform layer.
#pragma once

#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

#include <csignal>

namespace platform {

inline int OpenPidfd(pid_t pid) {
    return int(syscall(SYS_pidfd_open, pid, 0));
}

inline int SignalPidfd(int pidfd, int signal) {
    return int(syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0));
}

} // namespace platform
