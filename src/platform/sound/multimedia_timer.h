// Multimedia timers: periodic callbacks on a thread of their own, timed on timeGetTime.
// Under the test clock (kernel/test_hooks.h) a timer ticks only when AdvanceClock moves the
// clock past its due times, and AdvanceClock returns after those ticks ran.
#pragma once

#include "platform/kernel/win_types.h"

using MMRESULT = UINT;
inline constexpr MMRESULT TIMERR_NOERROR = 0;
inline constexpr MMRESULT TIMERR_NOCANDO = 97;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;

inline constexpr UINT TIME_ONESHOT = 0;
inline constexpr UINT TIME_PERIODIC = 1;

using LPTIMECALLBACK = void (*)(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR reserved1,
                                DWORD_PTR reserved2);

// Periods of 1..1000 ms are accepted (timers are as precise as the thread's wake-ups);
// others give TIMERR_NOCANDO.
MMRESULT timeBeginPeriod(UINT period);
MMRESULT timeEndPeriod(UINT period);
// Only TIME_PERIODIC timers with a delay of 1..1000000 ms and a callback; the callback
// gets the timer's id, 0, `user`, 0, 0 on the timer's own thread, first after `delay`
// ms, then every `delay` ms; ticks a slow callback overran are dropped, never queued. The
// id, or 0 when refused.
MMRESULT timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user,
                      UINT flags);
// Stops the timer, waiting for a running callback unless called from that callback.
// MMSYSERR_INVALPARAM for an unknown id.
MMRESULT timeKillEvent(UINT timerId);
