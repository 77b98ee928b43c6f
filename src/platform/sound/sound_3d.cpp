#include "platform/sound/sound_3d.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::sound {
namespace {

struct Vec {
    double x, y, z;
};

Vec ToVec(D3DVECTOR v) {
    return {v.x, v.y, v.z};
}
Vec Sub(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
double Dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
double Length(Vec v) {
    return std::sqrt(Dot(v, v));
}
Vec Cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

} // namespace

float DistanceGain(float distance, float minDistance, float maxDistance, float rolloff) {
    double d = std::min<double>(distance, maxDistance);
    if (d <= minDistance || minDistance <= 0.0f) return 1.0f;
    return static_cast<float>(minDistance / (minDistance + rolloff * (d - minDistance)));
}

float ConeGain(const Source3d& source, D3DVECTOR toListener) {
    Vec axis = ToVec(source.coneOrientation);
    Vec toward = ToVec(toListener);
    double lengths = Length(axis) * Length(toward);
    if (lengths == 0.0) return 1.0f;
    double cosine = std::clamp(Dot(axis, toward) / lengths, -1.0, 1.0);
    double angle = std::acos(cosine) * 180.0 / std::numbers::pi;
    double inside = source.coneInside / 2.0;
    double outside = std::max<double>(source.coneOutside, source.coneInside) / 2.0;
    if (angle <= inside) return 1.0f;
    if (angle >= outside) return VolumeGain(source.coneOutsideVolume);
    double share = (angle - inside) / (outside - inside);
    return VolumeGain(static_cast<LONG>(std::lround(share * source.coneOutsideVolume)));
}

float DopplerRatio(const Listener3d& listener, const Source3d& source) {
    Vec line = Sub(ToVec(source.position), ToVec(listener.position));
    double distance = Length(line);
    if (distance == 0.0 || listener.doppler == 0.0f) return 1.0f;
    Vec unit{line.x / distance, line.y / distance, line.z / distance};
    double scale = static_cast<double>(listener.doppler) * listener.distanceFactor;
    double listenerSpeed = Dot(ToVec(listener.velocity), unit) * scale;
    double sourceSpeed = Dot(ToVec(source.velocity), unit) * scale;
    double below = SPEED_OF_SOUND + sourceSpeed;
    double above = SPEED_OF_SOUND + listenerSpeed;
    // In doubles even the largest factors and speeds floats hold stay finite.
    double ratio = below <= 0.0 ? 10.0 : above / below;
    return static_cast<float>(std::clamp(ratio, 0.1, 10.0));
}

StereoGain DirectionGains(const Listener3d& listener, D3DVECTOR direction) {
    Vec right = Cross(ToVec(listener.top), ToVec(listener.front));
    Vec toward = ToVec(direction);
    double lengths = Length(right) * Length(toward);
    if (lengths == 0.0) return {1.0f, 1.0f};
    double side = std::clamp(Dot(right, toward) / lengths, -1.0, 1.0);
    double angle = (side + 1.0) * std::numbers::pi / 4.0;
    auto gain = [](double value) {
        return static_cast<float>(std::clamp(value * std::numbers::sqrt2, 0.0, 1.0));
    };
    return {gain(std::cos(angle)), gain(std::sin(angle))};
}

Placement3d Place3d(const Listener3d& listener, const Source3d& source) {
    Vec line = Sub(ToVec(source.position), ToVec(listener.position));
    D3DVECTOR direction{static_cast<float>(line.x), static_cast<float>(line.y),
                        static_cast<float>(line.z)};
    D3DVECTOR back{-direction.x, -direction.y, -direction.z};
    float gain = DistanceGain(static_cast<float>(Length(line)), source.minDistance,
                              source.maxDistance, listener.rolloff) *
                 ConeGain(source, back);
    StereoGain sides = DirectionGains(listener, direction);
    return {{sides.left * gain, sides.right * gain}, DopplerRatio(listener, source)};
}

} // namespace platform::sound
