#include "platform/sound/mix_run.h"

#include "platform/sound/mix_run_loops.h"

namespace platform::sound {

// The AVX2 build's 16-bit runs (mix_run_avx2.cpp); 8-bit runs stay plain.
MixRunFn GetAvx2MixRun16(int channels, bool mono);

MixRunFn GetBaselineMixRun(int bytes, int channels, bool mono) {
    if (bytes == 1) {
        if (channels == 1) return MixRunPlain<1, 1, false>;
        return mono ? MixRunPlain<1, 2, true> : MixRunPlain<1, 2, false>;
    }
    if (channels == 1) return MixRunPlain<2, 1, false>;
    return mono ? MixRunPlain<2, 2, true> : MixRunPlain<2, 2, false>;
}

MixRunFn GetMixRun(int bytes, int channels, bool mono) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2 && bytes == 2) return GetAvx2MixRun16(channels, mono);
    return GetBaselineMixRun(bytes, channels, mono);
}

} // namespace platform::sound
