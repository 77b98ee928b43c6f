// The kernel objects behind process and primary-thread handles. Internal to the layer.
#pragma once

#include <sys/types.h>

#include <memory>
#include <mutex>

#include "platform/kernel/kernel_objects.h"

namespace platform {

class ProcessObject : public KernelObject {
public:
    ProcessObject(pid_t pid, int pidfd);
    // Reaps the child, or hands a running one to the reaper.
    ~ProcessObject() override;
    ProcessObject(const ProcessObject&) = delete;
    ProcessObject& operator=(const ProcessObject&) = delete;

    DWORD ThreadId() const;
    // STILL_ACTIVE while the child runs; false when its state cannot be read.
    bool ExitCode(DWORD& code);
    // false with the Win32 error set.
    bool Terminate(UINT code);
    bool SendSignal(int signal);

private:
    // Collects the child when it has ended; call with `lock_` held.
    void PollLocked();

    std::mutex lock_;
    const pid_t pid_;
    int pidfd_;
    bool ended_ = false;
    DWORD exitCode_ = 0;
    bool terminated_ = false;
    UINT terminateCode_ = 0;
};

// The primary thread of a child: nothing to do but be closed.
class ChildThreadObject : public KernelObject {};

// Makes the child reachable by its primary thread's id.
void AddChildThread(DWORD threadId, const std::shared_ptr<ProcessObject>& process);

// Collects a still running child through its pidfd when it ends; takes the descriptor.
void HandToReaper(int pidfd);

} // namespace platform
