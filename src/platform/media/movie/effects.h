// The video effects a movie's pictures pass through when they are drawn or written: each a
// filter of our own over 0x00RRGGBB pictures. Every parameter is held to its range when the
// effect is made, so any values a script gives make a working filter. Effects that move
// (noise, ripple, clouds, fire) are functions of the movie time, so a frame always comes out
// the same.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/media/movie/media.h"

namespace platform::movie {

enum class EffectKind {
    Blur,
    ColorStyle,
    ColorTint,
    EdgeDetection,
    Emboss,
    FilmNoise,
    RGBBalance,
    Ripple,
    Sharpen,
    Cloud,
    Fire,
};
constexpr int kEffectKindCount = 11;

struct Effect {
    EffectKind kind = EffectKind::Blur;
    // The parameters in the order of the effect's atoms, already held to their ranges.
    std::vector<double> values;
};

// How many parameters an effect takes, and each one's default and range.
int EffectParameterCount(EffectKind kind);
struct EffectRange {
    double low;
    double high;
    double fallback;
};
EffectRange EffectParameterRange(EffectKind kind, int index);

// The effect with the given values, the missing ones (past `given`) at their defaults and
// every value held to its range.
Effect MakeEffect(EffectKind kind, const std::vector<double>& given);

// The picture through the effect at movie time `time`, in place.
void ApplyEffect(const Effect& effect, int64_t time, Picture& picture);

} // namespace platform::movie
