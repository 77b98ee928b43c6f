#include "platform/sound/multimedia_timer.h"

#include "platform/sound/sound_system.h"

namespace {

constexpr UINT MAX_PERIOD = 1000;
constexpr UINT MAX_DELAY = 1000000;

} // namespace

MMRESULT timeBeginPeriod(UINT period) {
    return period >= 1 && period <= MAX_PERIOD ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

MMRESULT timeEndPeriod(UINT period) {
    return period >= 1 && period <= MAX_PERIOD ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

MMRESULT timeSetEvent(UINT delay, UINT, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags) {
    if (flags != TIME_PERIODIC || !callback || delay < 1 || delay > MAX_DELAY) return 0;
    return platform::sound::TheTimers().Start(delay, callback, user);
}

MMRESULT timeKillEvent(UINT timerId) {
    return platform::sound::TheTimers().Kill(timerId);
}
