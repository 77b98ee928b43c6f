// The bodies of the Quaternion methods (the scene model's quaternion operations) beside the
// same work done with glm: spherical interpolation, the rotation matrix of a quaternion, and
// a rotation's Euler angles turned into a quaternion and back through its matrix, over 1024
// different rotations each iteration. Counters: millions of operations a second, ours and
// glm's, and the ratio of the times (goal: at most 1). Then, without a peer, a frame timer of
// an Object's animation channel catching up after an hour without ticks.
//
// Our quaternions compute in double and store floats; glm's stay in float.
#include <benchmark/benchmark.h>

#define GLM_ENABLE_EXPERIMENTAL
#include <glm/gtc/quaternion.hpp>
#include <glm/gtx/euler_angles.hpp>
#include <glm/mat4x4.hpp>

#include <array>
#include <cstddef>
#include <vector>

#include "engine3d/scene/matrix.h"
#include "engine3d/scene/quaternion.h"
#include "script/runtime/frame_timer.h"
#include "side_by_side.h"

namespace {

constexpr size_t kCount = 1024;

// Unit quaternions from random axes and angles, the same for both sides (glm's constructor
// takes w first too).
struct Rotations {
    Rotations() {
        uint32_t seed = 4242;
        auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return float(seed >> 8) / float(1u << 24);
        };
        for (size_t i = 0; i < kCount; ++i) {
            std::array<float, 4> q;
            QuatFromAxisAngle(next() * 6.0f, next() - 0.5f, next() - 0.5f, next() - 0.5f, q.data());
            QuatNormalize(q.data(), q.data());
            ours.push_back(q);
            theirs.emplace_back(q[0], q[1], q[2], q[3]);
            fractions.push_back(next());
            angles.push_back({next() * 6.0f - 3.0f, next() * 3.0f - 1.5f, next() * 6.0f - 3.0f});
        }
    }
    std::vector<std::array<float, 4>> ours;
    std::vector<glm::quat> theirs;
    std::vector<float> fractions;
    std::vector<std::array<float, 3>> angles;
};

const Rotations& Inputs() {
    static const Rotations inputs;
    return inputs;
}

void BM_QuaternionSlerp(benchmark::State& state) {
    const Rotations& in = Inputs();
    std::vector<std::array<float, 4>> out(kCount);
    std::vector<glm::quat> glmOut(kCount);
    bench::SideBySide(
        state, kCount, "glm",
        [&] {
            for (size_t i = 0; i < kCount; ++i)
                QuatSlerp(in.ours[i].data(), in.ours[(i + 1) % kCount].data(), 0, in.fractions[i],
                          out[i].data());
            benchmark::DoNotOptimize(out.data());
            benchmark::ClobberMemory();
        },
        [&] {
            for (size_t i = 0; i < kCount; ++i)
                glmOut[i] = glm::slerp(in.theirs[i], in.theirs[(i + 1) % kCount], in.fractions[i]);
            benchmark::DoNotOptimize(glmOut.data());
            benchmark::ClobberMemory();
        });
}
BENCHMARK(BM_QuaternionSlerp);

void BM_QuaternionMakeMatrix(benchmark::State& state) {
    const Rotations& in = Inputs();
    std::vector<std::array<float, 16>> out(kCount);
    std::vector<glm::mat4> glmOut(kCount);
    bench::SideBySide(
        state, kCount, "glm",
        [&] {
            for (size_t i = 0; i < kCount; ++i)
                QuatToMatrix(in.ours[i].data(), out[i].data());
            benchmark::DoNotOptimize(out.data());
            benchmark::ClobberMemory();
        },
        [&] {
            for (size_t i = 0; i < kCount; ++i)
                glmOut[i] = glm::mat4_cast(in.theirs[i]);
            benchmark::DoNotOptimize(glmOut.data());
            benchmark::ClobberMemory();
        });
}
BENCHMARK(BM_QuaternionMakeMatrix);

// Euler angles to a quaternion (through the rotation matrix, as a script does with
// MakeRotationMatrix and SetValue) and back to angles (MakeMatrix and GetEulerAngle...).
void BM_QuaternionEulerRoundTrip(benchmark::State& state) {
    const Rotations& in = Inputs();
    std::vector<std::array<float, 3>> out(kCount);
    std::vector<glm::vec3> glmOut(kCount);
    bench::SideBySide(
        state, kCount, "glm",
        [&] {
            for (size_t i = 0; i < kCount; ++i) {
                float m[16] = {}, q[4];
                MatrixMakeRotation(in.angles[i][0], in.angles[i][1], in.angles[i][2], m);
                QuatFromMatrix(m, q);
                QuatToMatrix(q, m);
                MatrixGetEulerAngles(m, out[i].data());
            }
            benchmark::DoNotOptimize(out.data());
            benchmark::ClobberMemory();
        },
        [&] {
            for (size_t i = 0; i < kCount; ++i) {
                const glm::quat q = glm::quat_cast(
                    glm::eulerAngleXYZ(in.angles[i][0], in.angles[i][1], in.angles[i][2]));
                float x, y, z;
                glm::extractEulerAngleXYZ(glm::mat4_cast(q), x, y, z);
                glmOut[i] = {x, y, z};
            }
            benchmark::DoNotOptimize(glmOut.data());
            benchmark::ClobberMemory();
        });
}
BENCHMARK(BM_QuaternionEulerRoundTrip);

// A looping channel of 30 frames at full speed, as an Object's mesh channel plays it.
class Channel final : public CAnimatedObject {
public:
    int32_t GetFrame(uint32_t) override { return frame; }
    void SetFrame(uint32_t, int32_t value) override { frame = value; }
    void ShowFrame(uint32_t) override {}
    void AnimationEnded(uint32_t) override {}
    int32_t GetFrameDelay(uint32_t, int32_t) override { return 100; }
    int32_t GetFirstFrame(uint32_t) override { return 0; }
    int32_t GetLastFrame(uint32_t) override { return 29; }
    int32_t GetLoopFrame(uint32_t) override { return 0; }
    int IsPaused(uint32_t) override { return 0; }

    int32_t frame = 0;
};

void BM_FrameTimerAfterAnHourStall(benchmark::State& state) {
    Channel channel;
    CFrameTimer timer;
    for (auto _ : state) {
        timer.InitSliced(&channel, 1000);
        timer.loopsRemaining = timer.loopCount = CFrameTimer::kEndless;
        timer.Advance(1000 + 3600 * 1000);
        benchmark::DoNotOptimize(channel.frame);
    }
}
BENCHMARK(BM_FrameTimerAfterAnHourStall);

} // namespace
