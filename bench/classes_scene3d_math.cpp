// The bodies of the Matrix and Vector methods (the scene model's matrix operations) beside the
// same work done with glm: products, inverses, the Euler angles of a rotation and back, and a
// vector through a matrix, over 1024 different transforms each iteration. Counters: millions
// of operations a second, ours and glm's, and the ratio of the times (goal: at most 1).
//
// glm's products are full 4 x 4 ones, where ours skip the fourth row; its inverse is its
// affine inverse (a general 3 x 3 inverse), where ours is that of a rotation with one scale,
// the only kind a Make method gives.
#include <benchmark/benchmark.h>

#define GLM_ENABLE_EXPERIMENTAL
#include <glm/gtc/matrix_inverse.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <glm/gtx/euler_angles.hpp>
#include <glm/mat4x4.hpp>
#include <glm/vec4.hpp>

#include <array>
#include <cstddef>
#include <vector>

#include "engine3d/scene/matrix.h"
#include "side_by_side.h"

namespace {

constexpr size_t kCount = 1024;

struct Angles {
    float x, y, z;
};

// Rotations with a scale and a translation, the same for both sides: ours by rows, glm's by
// columns (its matrices are column-major, so the same floats transposed).
struct Transforms {
    Transforms() {
        uint32_t seed = 12345;
        auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return float(seed >> 8) / float(1u << 24);
        };
        ours.resize(kCount);
        theirs.resize(kCount);
        angles.resize(kCount);
        for (size_t i = 0; i < kCount; ++i) {
            // Y within ±π/2, where the angles come back as given.
            angles[i] = {next() * 6.0f - 3.0f, next() * 3.0f - 1.5f, next() * 6.0f - 3.0f};
            const float translation[3] = {next() * 100, next() * 100, next() * 100};
            float rotation[16] = {};
            MatrixMakeRotation(angles[i].x, angles[i].y, angles[i].z, rotation, translation);
            const float scale = 0.5f + next();
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    rotation[4 * r + c] *= scale;
            ours[i] = std::to_array(rotation);
            ours[i][15] = 1;
            theirs[i] = glm::transpose(glm::make_mat4(ours[i].data()));
        }
    }
    std::vector<std::array<float, 16>> ours;
    std::vector<glm::mat4> theirs;
    std::vector<Angles> angles;
};

const Transforms& Inputs() {
    static const Transforms inputs;
    return inputs;
}

void BM_MatrixMultiply(benchmark::State& state) {
    const Transforms& in = Inputs();
    std::vector<std::array<float, 16>> out(kCount);
    std::vector<glm::mat4> glmOut(kCount);
    bench::SideBySide(
        state, kCount, "glm",
        [&] {
            for (size_t i = 0; i < kCount; ++i)
                MatrixMultiply(in.ours[i].data(), in.ours[(i + 1) % kCount].data(), out[i].data());
            benchmark::DoNotOptimize(out.data());
            benchmark::ClobberMemory();
        },
        [&] {
            for (size_t i = 0; i < kCount; ++i)
                glmOut[i] = in.theirs[i] * in.theirs[(i + 1) % kCount];
            benchmark::DoNotOptimize(glmOut.data());
            benchmark::ClobberMemory();
        });
}
BENCHMARK(BM_MatrixMultiply);

void BM_MatrixInvert(benchmark::State& state) {
    const Transforms& in = Inputs();
    std::vector<std::array<float, 16>> out(kCount);
    std::vector<glm::mat4> glmOut(kCount);
    bench::SideBySide(
        state, kCount, "glm",
        [&] {
            for (size_t i = 0; i < kCount; ++i)
                MatrixInvert(in.ours[i].data(), out[i].data());
            benchmark::DoNotOptimize(out.data());
            benchmark::ClobberMemory();
        },
        [&] {
            for (size_t i = 0; i < kCount; ++i)
                glmOut[i] = glm::affineInverse(in.theirs[i]);
            benchmark::DoNotOptimize(glmOut.data());
            benchmark::ClobberMemory();
        });
}
BENCHMARK(BM_MatrixInvert);

// MakeRotationMatrix then the three GetEulerAngle calls: the rotation of three angles and the
// angles read back from it.
void BM_EulerRoundTrip(benchmark::State& state) {
    const Transforms& in = Inputs();
    std::vector<Angles> out(kCount);
    std::vector<Angles> glmOut(kCount);
    bench::SideBySide(
        state, kCount, "glm",
        [&] {
            for (size_t i = 0; i < kCount; ++i) {
                float m[16] = {};
                MatrixMakeRotation(in.angles[i].x, in.angles[i].y, in.angles[i].z, m);
                float angles[3];
                MatrixGetEulerAngles(m, angles);
                out[i] = {angles[0], angles[1], angles[2]};
            }
            benchmark::DoNotOptimize(out.data());
            benchmark::ClobberMemory();
        },
        [&] {
            for (size_t i = 0; i < kCount; ++i) {
                const glm::mat4 m =
                    glm::eulerAngleXYZ(in.angles[i].x, in.angles[i].y, in.angles[i].z);
                glm::extractEulerAngleXYZ(m, glmOut[i].x, glmOut[i].y, glmOut[i].z);
            }
            benchmark::DoNotOptimize(glmOut.data());
            benchmark::ClobberMemory();
        });
}
BENCHMARK(BM_EulerRoundTrip);

// Vector's MulVectorMatrix: four components through all four rows.
void BM_VectorThroughMatrix(benchmark::State& state) {
    const Transforms& in = Inputs();
    std::vector<std::array<float, 4>> out(kCount);
    std::vector<glm::vec4> glmOut(kCount);
    bench::SideBySide(
        state, kCount, "glm",
        [&] {
            for (size_t i = 0; i < kCount; ++i) {
                const float v[4] = {in.angles[i].x, in.angles[i].y, in.angles[i].z, 1};
                MatrixTransformVector(in.ours[i].data(), v, out[i].data());
            }
            benchmark::DoNotOptimize(out.data());
            benchmark::ClobberMemory();
        },
        [&] {
            for (size_t i = 0; i < kCount; ++i)
                glmOut[i] =
                    in.theirs[i] * glm::vec4(in.angles[i].x, in.angles[i].y, in.angles[i].z, 1);
            benchmark::DoNotOptimize(glmOut.data());
            benchmark::ClobberMemory();
        });
}
BENCHMARK(BM_VectorThroughMatrix);

} // namespace
