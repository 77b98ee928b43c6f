#include "platform/process/process_object.h"

#include "platform/process/pidfd.h"
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <map>

#include "platform/files/errno_mapping.h"
#include "platform/kernel/errors.h"
#include "platform/process/child_threads.h"
#include "platform/process/process.h"
#include "platform/user/messages.h"

#ifndef P_PIDFD
#define P_PIDFD 3
#endif

namespace platform {
namespace {

struct ChildThreads {
    std::mutex lock;
    std::map<DWORD, std::weak_ptr<ProcessObject>> byId;
};

ChildThreads& GetChildThreads() {
    static auto* threads = new ChildThreads; // outlives handles closed by static destructors
    return *threads;
}

} // namespace

ProcessObject::ProcessObject(pid_t pid, int pidfd) : pid_(pid), pidfd_(pidfd) {}

ProcessObject::~ProcessObject() {
    {
        ChildThreads& threads = GetChildThreads();
        std::lock_guard guard(threads.lock);
        threads.byId.erase(ThreadId());
    }
    PollLocked();
    if (ended_) return;
    HandToReaper(pidfd_);
}

DWORD ProcessObject::ThreadId() const {
    return (DWORD(pid_) << 2) | 2;
}

void ProcessObject::PollLocked() {
    if (ended_) return;
    siginfo_t info{};
    if (waitid(idtype_t(P_PIDFD), id_t(pidfd_), &info, WEXITED | WNOHANG) != 0 || info.si_pid == 0)
        return;
    ended_ = true;
    close(pidfd_);
    pidfd_ = -1;
    if (info.si_code == CLD_EXITED)
        exitCode_ = DWORD(info.si_status);
    else
        exitCode_ = terminated_ ? terminateCode_ : 128 + DWORD(info.si_status);
}

bool ProcessObject::ExitCode(DWORD& code) {
    std::lock_guard guard(lock_);
    PollLocked();
    code = ended_ ? exitCode_ : STILL_ACTIVE;
    return true;
}

bool ProcessObject::Terminate(UINT code) {
    std::lock_guard guard(lock_);
    PollLocked();
    if (ended_) return Fail(ERROR_ACCESS_DENIED);
    if (!terminated_) {
        terminated_ = true;
        terminateCode_ = code;
    }
    if (SignalPidfd(pidfd_, SIGKILL) != 0) return FailWithErrno(errno);
    return true;
}

bool ProcessObject::SendSignal(int signal) {
    std::lock_guard guard(lock_);
    PollLocked();
    if (ended_) return Fail(ERROR_INVALID_THREAD_ID);
    if (SignalPidfd(pidfd_, signal) != 0) return FailWithErrno(errno);
    return true;
}

void AddChildThread(DWORD threadId, const std::shared_ptr<ProcessObject>& process) {
    ChildThreads& threads = GetChildThreads();
    std::lock_guard guard(threads.lock);
    threads.byId[threadId] = process;
}

BOOL PostToChildThread(DWORD threadId, UINT message) {
    std::shared_ptr<ProcessObject> process;
    {
        ChildThreads& threads = GetChildThreads();
        std::lock_guard guard(threads.lock);
        auto it = threads.byId.find(threadId);
        if (it != threads.byId.end()) process = it->second.lock();
    }
    if (!process || message != WM_QUIT) return Fail(ERROR_INVALID_THREAD_ID);
    return process->SendSignal(SIGTERM) ? TRUE : FALSE;
}

} // namespace platform

BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode) {
    auto object = platform::LookupObjectAs<platform::ProcessObject>(process);
    if (!object) return FALSE;
    if (!exitCode) return platform::Fail(ERROR_INVALID_PARAMETER);
    return object->ExitCode(*exitCode) ? TRUE : FALSE;
}

BOOL TerminateProcess(HANDLE process, UINT exitCode) {
    auto object = platform::LookupObjectAs<platform::ProcessObject>(process);
    if (!object) return FALSE;
    return object->Terminate(exitCode) ? TRUE : FALSE;
}
