#include "engine3d/scene/angle.h"

#include <cmath>

float NormalizeAngle(float a) {
    double value = a;
    if (value > kTwoPiFloat || value < -kTwoPiFloat) value = std::fmod(value, double(kTwoPiFloat));
    if (value >= -0.001 && value <= 0.001) return 0.0f;
    if (value < 0) value += kTwoPiFloat;
    return static_cast<float>(value);
}
