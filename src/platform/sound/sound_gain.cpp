#include "platform/sound/sound_gain.h"

#include <cmath>

namespace platform::sound {

float VolumeGain(LONG volume) {
    if (volume <= -10000) return 0.0f;
    if (volume >= 0) return 1.0f;
    return static_cast<float>(std::pow(10.0, volume / 2000.0));
}

StereoGain PanGains(LONG pan) {
    if (pan < 0) return {1.0f, VolumeGain(pan)};
    return {VolumeGain(-pan), 1.0f};
}

} // namespace platform::sound
