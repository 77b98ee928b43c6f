#include "audio/mpeg/synthesis_filter.h"

#include <cmath>
#include <cstring>

#include "audio/mpeg/synthesis_kernels.h"

namespace {

// The first half of the prototype low-pass filter of 512 taps (the second mirrors it), in
// units of 1/65536, as the standard tabulates it; its peak at tap 256 is 1.144989014. A sum
// of eight cosines comes within 38 units of it, which is not close enough for the filter
// bank to cancel its aliasing as encoders expect.
constexpr int32_t kPrototype[257] = {
    0,     -1,    -1,    -1,    -1,    -1,    -1,    -2,    -2,    -2,    -2,    -3,    -3,
    -4,    -4,    -5,    -5,    -6,    -7,    -7,    -8,    -9,    -10,   -11,   -13,   -14,
    -16,   -17,   -19,   -21,   -24,   -26,   -29,   -31,   -35,   -38,   -41,   -45,   -49,
    -53,   -58,   -63,   -68,   -73,   -79,   -85,   -91,   -97,   -104,  -111,  -117,  -125,
    -132,  -139,  -147,  -154,  -161,  -169,  -176,  -183,  -190,  -196,  -202,  -208,  -213,
    -218,  -222,  -225,  -227,  -228,  -228,  -227,  -224,  -221,  -215,  -208,  -200,  -189,
    -177,  -163,  -146,  -127,  -106,  -83,   -57,   -29,   2,     36,    72,    111,   153,
    197,   244,   294,   347,   401,   459,   519,   581,   645,   711,   779,   848,   919,
    991,   1064,  1137,  1210,  1283,  1356,  1428,  1498,  1567,  1634,  1698,  1759,  1817,
    1870,  1919,  1962,  2001,  2032,  2057,  2075,  2085,  2087,  2080,  2063,  2037,  2000,
    1952,  1893,  1822,  1739,  1644,  1535,  1414,  1280,  1131,  970,   794,   605,   402,
    185,   -45,   -288,  -545,  -814,  -1095, -1388, -1692, -2006, -2330, -2663, -3004, -3351,
    -3705, -4063, -4425, -4788, -5153, -5517, -5879, -6237, -6589, -6935, -7271, -7597, -7910,
    -8209, -8491, -8755, -8998, -9219, -9416, -9585, -9727, -9838, -9916, -9959, -9966, -9935,
    -9863, -9750, -9592, -9389, -9139, -8840, -8492, -8092, -7640, -7134, -6574, -5959, -5288,
    -4561, -3776, -2935, -2037, -1082, -70,   998,   2122,  3300,  4533,  5818,  7154,  8540,
    9975,  11455, 12980, 14548, 16155, 17799, 19478, 21189, 22929, 24694, 26482, 28289, 30112,
    31947, 33791, 35640, 37489, 39336, 41176, 43006, 44821, 46617, 48390, 50137, 51853, 53534,
    55178, 56778, 58333, 59838, 61289, 62684, 64019, 65290, 66494, 67629, 68692, 69679, 70590,
    71420, 72169, 72835, 73415, 73908, 74313, 74630, 74856, 74992, 75038,
};

double Prototype(int n) {
    return kPrototype[n <= 256 ? n : 512 - n] / 65536.0;
}

} // namespace

void SynthesisFilter::Setup(int reduction) {
    bands_ = 32 >> reduction;
    reduction_ = reduction;
    const int m = bands_;
    // Every tap of the full window carries the sign of its 64-tap block; the reduced
    // windows take every second or fourth tap.
    for (int n = 0; n < 16 * m; ++n) {
        int tap = n << reduction;
        double value = Prototype(tap);
        if (((tap >> 6) & 1) != 0) value = -value;
        window_[n] = static_cast<float>(value);
    }
    // For a DCT of N points, entries N / 2 + n hold 0.5 / cos((2n + 1)π / 2N).
    for (int half = 1; half <= 16; half *= 2)
        for (int n = 0; n < half; ++n)
            coefficients_[half + n] =
                static_cast<float>(0.5 / std::cos((2 * n + 1) * M_PI / (4.0 * half)));
    Reset();
}

void SynthesisFilter::Reset() {
    std::memset(v_, 0, sizeof v_);
    head_[0] = head_[1] = 0;
}

void SynthesisFilter::Run(int channel, const float* subbands, int slots, float* out) {
    float* ring = v_[channel & 1];
    int& head = head_[channel & 1];
    head = GetSynthesisKernels().slots[reduction_](subbands, slots, ring, head, window_,
                                                   coefficients_, out);
}
