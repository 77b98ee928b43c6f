#include "platform/sound/mix_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

using namespace platform::sound;

// The runs chosen for this processor must give the plain runs' bits: on random rings,
// positions, steps (slower, equal and faster than the output) and gains, for every layout,
// with run lengths that leave each vector loop a tail.
TEST(MixRunTest, ChosenRunsGiveThePlainRunsBits) {
    if (GetMixRun(2, 1, false) == GetBaselineMixRun(2, 1, false))
        GTEST_SKIP() << "this processor runs the plain build only";
    std::mt19937 random(7);
    struct Layout {
        int bytes, channels;
        bool mono;
    } layouts[] = {{2, 1, false}, {2, 2, false}, {2, 2, true}, {1, 1, false}, {1, 2, true}};
    for (const Layout& layout : layouts) {
        const size_t frameBytes = size_t(layout.bytes * layout.channels);
        for (int round = 0; round < 40; ++round) {
            const size_t frames = 64 + random() % 4000;
            std::vector<uint8_t> ring(frames * frameBytes);
            for (auto& byte : ring)
                byte = static_cast<uint8_t>(random());
            const uint64_t steps[] = {uint64_t(1) << 32, (uint64_t(1) << 31) + 12345,
                                      uint64_t(random()) << 2, (uint64_t(5) << 31) - 3};
            const uint64_t step = steps[round % 4];
            const size_t count = 1 + random() % 61;
            // Start far enough from the end that the whole run stays before the last frame.
            const uint64_t limit = (uint64_t(frames - 1) << 32) - step * count;
            const uint64_t position = (uint64_t(random()) << 32 | random()) % limit;
            const StereoGain gain{std::ldexp(float(random() % 1000), -9),
                                  std::ldexp(float(random() % 1000), -10)};
            std::vector<float> plain(2 * count), chosen(2 * count);
            for (size_t i = 0; i < plain.size(); ++i)
                plain[i] = chosen[i] = float(int(random() % 2000) - 1000) / 1024.0f;
            MixRunFn plainRun = GetBaselineMixRun(layout.bytes, layout.channels, layout.mono);
            MixRunFn chosenRun = GetMixRun(layout.bytes, layout.channels, layout.mono);
            const uint64_t plainEnd =
                plainRun(ring.data(), position, step, gain, plain.data(), count);
            const uint64_t chosenEnd =
                chosenRun(ring.data(), position, step, gain, chosen.data(), count);
            ASSERT_EQ(plainEnd, chosenEnd);
            ASSERT_EQ(std::memcmp(plain.data(), chosen.data(), plain.size() * sizeof(float)), 0)
                << layout.bytes << " bytes, " << layout.channels << " channels, round " << round;
        }
    }
}

} // namespace
