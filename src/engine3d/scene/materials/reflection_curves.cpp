#include "engine3d/scene/materials/reflection_curves.h"

#include <array>
#include <cstddef>

namespace {

using Curve = std::array<int32_t, 256>;

// -128 up to `low`, i - offset up to `high`, then the listed tail.
template <size_t N>
constexpr Curve Shaped(int low, int high, int offset, const int32_t (&tail)[N]) {
    Curve curve{};
    for (int i = 0; i < 256; ++i)
        curve[size_t(i)] = i <= low ? -128 : i - offset;
    for (size_t k = 0; k < N; ++k)
        curve[size_t(high) + 1 + k] = tail[k];
    return curve;
}

constexpr int32_t kMatTail[] = {1, 2, 4, 6, 8, 11, 15, 20, 25, 32, 39, 46, 53, 60, 67};
constexpr int32_t kMetalTail[] = {-1, -1, 0,  1,  3,  5,   5,   11,  15,  18, 20,
                                  22, 24, 25, 30, 35, 40,  45,  50,  55,  60, 65,
                                  70, 75, 80, 90, 95, 110, 115, 120, 125, 127};
constexpr int32_t kPlasticTail[] = {1,   2,   4,   6,   8,   11,  15,  20,  25,  32,  39,
                                    46,  53,  60,  67,  74,  82,  90,  98,  106, 112, 118,
                                    120, 123, 124, 125, 126, 127, 127, 127, 127};
constexpr int32_t kRondMiddle[] = {
    2,  3,  4,  4,  5,  5,  6,  6,  7,  7,  8,  8,  9,  9,  10, 10, 11, 11, 12, 12, 13, 13, 14,
    14, 15, 15, 15, 16, 16, 16, 17, 17, 17, 18, 18, 18, 19, 19, 19, 20, 20, 20, 20, 21, 21, 21,
    21, 22, 22, 22, 22, 23, 23, 23, 23, 23, 24, 26, 28, 31, 34, 38, 43, 48, 55, 62, 68};

constexpr Curve Linear() {
    Curve curve{};
    for (int i = 0; i < 256; ++i)
        curve[size_t(i)] = i - 128;
    return curve;
}

constexpr Curve Rond() {
    Curve curve = Linear();
    for (size_t k = 0; k < std::size(kRondMiddle); ++k)
        curve[131 + k] = kRondMiddle[k];
    return curve;
}

constexpr Curve kCurves[kReflectionTypeCount] = {
    Linear(),
    Shaped(112, 240, 240, kMatTail),
    Shaped(96, 223, 224, kMetalTail),
    Shaped(96, 224, 224, kPlasticTail),
    Rond(),
};

} // namespace

const int32_t* ReflectionCurve(int32_t type) {
    return type >= 0 && type < kReflectionTypeCount ? kCurves[type].data() : nullptr;
}
