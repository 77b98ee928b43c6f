// The headless display taking the steps of an input script whenever the thread pumping it
// waits for messages with its queue empty.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>

#include "platform/display/display_backend.h"
#include "platform/display/input_script.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/test_hooks.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/waitable.h"
#include "platform/user/message_queue.h"
#include "platform/user/messages.h"
#include "platform/user/paint/paint_hooks.h"

namespace platform {
namespace {

// How often a thread waiting for messages comes back for the next step.
constexpr DWORD kStepInterval = 1;

std::atomic<bool> scriptFailed{false};

bool QueueIsEmpty() {
    std::lock_guard lock(GetWaitHub().lock);
    const MessageQueue& queue = CurrentThreadQueueLocked();
    return queue.posted.empty() && !queue.quitPending && !PaintPendingLocked();
}

class ScriptedDisplay : public DisplayBackend {
public:
    ScriptedDisplay(std::vector<InputStep> steps, std::function<void()> endRun)
        : inner_(MakeHeadlessDisplay()), runner_(std::move(steps)), endRun_(std::move(endRun)),
          thread_(GetCurrentThreadId()), padsFailed_(!runner_.TakeLeadingJoysticks()) {}

    std::string_view Name() const override { return inner_->Name(); }
    void Pump() override {
        inner_->Pump();
        // Only the thread that owns the windows acts for the user, and only once it has
        // nothing left to do and waits: a program still making and showing its windows is
        // not yet ready for the user.
        if (done_ || GetCurrentThreadId() != thread_ || !PumpIsForWait() || !QueueIsEmpty()) return;
        switch (padsFailed_ ? InputScriptRunner::Outcome::Failed
                            : runner_.TakeNext(InputScriptRunner::Clock::now())) {
        case InputScriptRunner::Outcome::Taken:
        case InputScriptRunner::Outcome::NotYet:
            break;
        case InputScriptRunner::Outcome::Finished:
            done_ = true;
            // Wakes a dialog box's loop, which then sees that nobody is left to answer it.
            PostThreadMessageA(thread_, WM_NULL, 0, 0);
            break;
        case InputScriptRunner::Outcome::Failed:
            done_ = true;
            scriptFailed = true;
            std::fprintf(stderr, "zorv: input script, %s\n", runner_.Failure().c_str());
            std::fflush(stderr);
            if (endRun_) endRun_();
            PostQuitMessage(1);
            break;
        }
    }
    // Waits come back for the next step until none is left.
    DWORD PumpInterval() const override { return done_ ? inner_->PumpInterval() : kStepInterval; }
    std::vector<DisplayMode> Modes() const override { return inner_->Modes(); }
    bool SetMode(const DisplayMode& mode) override { return inner_->SetMode(mode); }
    bool ShowsWindows() const override { return inner_->ShowsWindows(); }
    bool AnswersDialogs() const override { return !done_; }

private:
    std::unique_ptr<DisplayBackend> inner_;
    InputScriptRunner runner_;
    std::function<void()> endRun_;
    DWORD thread_;
    // A pad of the script's start could not be plugged in: the first pump ends the run.
    const bool padsFailed_;
    std::atomic<bool> done_{false};
};

} // namespace
} // namespace platform

namespace platform::headless {

void InstallInputScript(std::vector<InputStep> steps, std::function<void()> endRun) {
    scriptFailed = false;
    // The run keeps the script's time from the start, so how long start-up takes on this
    // machine changes nothing the user sees.
    if (!IsClockFrozen()) test::FreezeClock(timeGetTime());
    SetActiveDisplay(std::make_unique<ScriptedDisplay>(std::move(steps), std::move(endRun)));
}

bool InputScriptFailed() {
    return scriptFailed;
}

bool InstallInputScriptFromEnvironment(std::function<void()> endRun) {
    const char* path = std::getenv("ZORV_INPUT");
    if (path == nullptr || path[0] == 0) return true;
    std::ifstream in(path, std::ios::binary);
    std::string text;
    if (in) text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad()) {
        std::fprintf(stderr, "zorv: the input script %s cannot be read\n", path);
        return false;
    }
    std::vector<InputStep> steps;
    std::string error;
    if (!ParseInputScript(text, steps, error)) {
        std::fprintf(stderr, "zorv: input script %s, %s\n", path, error.c_str());
        return false;
    }
    InstallInputScript(std::move(steps), std::move(endRun));
    return true;
}

} // namespace platform::headless
