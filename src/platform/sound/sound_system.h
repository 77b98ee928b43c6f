// The process's sound: the mixer, the output chosen by ZORV_AUDIO and the multimedia
// timers. At exit (an exit handler registered at their first use) the timers stop first,
// then the output closes, waiting for its callback; later calls find no output and start
// no timer.
//
// ZORV_AUDIO: `sdl` (the default: the desktop's speakers; without a device it acts as
// `none`), `none` (no output), `null` (frames played into nothing as the clock goes),
// `file:PATH` (frames written as the clock goes to a 44.1 kHz 16-bit stereo WAV file).
#pragma once

#include "platform/sound/mixer.h"
#include "platform/sound/timer_table.h"

namespace platform::sound {

Mixer& TheMixer();
TimerTable& TheTimers();
// Opens the output on first use; false when there is none.
bool HasOutput();

} // namespace platform::sound
