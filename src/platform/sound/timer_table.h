// The multimedia timers, each a thread of its own. Under the real clock a timer's thread
// waits for its due times; under the test clock its ticks are run on its thread when the
// clock is moved past them, and the mover waits for them.
#pragma once

#include <map>
#include <memory>
#include <mutex>

#include "platform/sound/multimedia_timer.h"

namespace platform::sound {

struct Timer;

class TimerTable {
public:
    // 0 once shut down.
    UINT Start(UINT delay, LPTIMECALLBACK callback, DWORD_PTR user);
    MMRESULT Kill(UINT id);
    // Kills every timer, and no timer starts afterwards.
    void ShutDown();
    // The earliest due time of a timer in (from, to] of the test clock, after `from` even
    // for an overdue timer; false when none falls there.
    bool NextDue(DWORD from, DWORD to, DWORD* due);
    // Runs, on their threads, every tick due by `now`, returning when they ran.
    void RunDue(DWORD now);

private:
    std::mutex lock_;
    std::map<UINT, std::shared_ptr<Timer>> timers_;
    UINT lastId_ = 0;
    bool shutDown_ = false;
};

} // namespace platform::sound
