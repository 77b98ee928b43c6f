// Volumes and pans in hundredths of a decibel turned into the linear gains the mixer
// multiplies by.
#pragma once

#include "platform/kernel/win_types.h"

namespace platform::sound {

struct StereoGain {
    float left;
    float right;
};

// 10^(volume / 2000); -10000 and below are silence.
float VolumeGain(LONG volume);
// DirectSound's pan law: the side away from the pan is attenuated by |pan|, the other
// keeps full gain; ±10000 silences one side.
StereoGain PanGains(LONG pan);

} // namespace platform::sound
