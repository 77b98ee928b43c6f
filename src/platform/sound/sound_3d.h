// Where a 3D buffer is heard: gains for the two sides and the Doppler shift of its
// frequency, from the buffer's and the listener's 3D values, in left-handed coordinates
// (x right, y up, z forward).
#pragma once

#include "platform/sound/direct_sound.h"
#include "platform/sound/sound_gain.h"

namespace platform::sound {

struct Listener3d {
    D3DVECTOR position{0, 0, 0};
    D3DVECTOR velocity{0, 0, 0};
    D3DVECTOR front{0, 0, 1};
    D3DVECTOR top{0, 1, 0};
    float rolloff = DS3D_DEFAULTROLLOFFFACTOR;
    float doppler = DS3D_DEFAULTDOPPLERFACTOR;
    float distanceFactor = DS3D_DEFAULTDISTANCEFACTOR;
};

struct Source3d {
    D3DVECTOR position{0, 0, 0};
    D3DVECTOR velocity{0, 0, 0};
    D3DVECTOR coneOrientation{0, 0, 1};
    DWORD coneInside = DS3D_DEFAULTCONEANGLE;
    DWORD coneOutside = DS3D_DEFAULTCONEANGLE;
    LONG coneOutsideVolume = DS3D_DEFAULTCONEOUTSIDEVOLUME;
    float minDistance = DS3D_DEFAULTMINDISTANCE;
    float maxDistance = DS3D_DEFAULTMAXDISTANCE;
};

struct Placement3d {
    StereoGain gain;
    // The buffer's frequency is multiplied by this.
    float frequencyRatio;
};

// Metres per second.
inline constexpr float SPEED_OF_SOUND = 343.3f;

// min / (min + rolloff × (d − min)) with d clamped to min..max: 1 up to the minimum
// distance, no further fall beyond the maximum.
float DistanceGain(float distance, float minDistance, float maxDistance, float rolloff);
// 1 inside half the inside angle from the cone's axis, the outside volume beyond half the
// outside angle, and between them the decibels linearly in the angle. `toListener` is the
// direction from the source to the listener; a zero vector is inside.
float ConeGain(const Source3d& source, D3DVECTOR toListener);
// (c + f·vl) / (c + f·vs) with c the speed of sound, f the Doppler factor and vl, vs the
// listener's and the source's speeds (in metres: units × distance factor) along the line
// from the listener to the source, positive when the listener moves toward the source or
// the source away from the listener. Kept within 1/10..10.
float DopplerRatio(const Listener3d& listener, const Source3d& source);
// Gains for a source in `direction` from the listener: its sideways part in the listener's
// frame (x = top × front) turns the far side down, equal power; ahead, behind, above or
// on the listener both sides keep 1.
StereoGain DirectionGains(const Listener3d& listener, D3DVECTOR direction);
Placement3d Place3d(const Listener3d& listener, const Source3d& source);

} // namespace platform::sound
