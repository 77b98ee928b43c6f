#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine3d/scene/angle.h"
#include "engine3d/scene/float_to_int.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/plane.h"
#include "engine3d/scene/quaternion.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

void ExpectUpperRowsNear(const float* actual, const float* expected, float tolerance = 1e-5f) {
    for (int i = 0; i < 12; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

void ExpectQuatNear(const float* actual, const float* expected, float tolerance = 1e-5f) {
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
}

TEST(AngleTest, NormalizeAngleWrapsIntoTheTurnAndSnapsNearZero) {
    struct Case {
        float in, out;
    } cases[] = {
        {-0.0005f, 0.0f},
        {-1.0f, kTwoPiFloat - 1.0f},
        {7.0f, 7.0f - kTwoPiFloat},
        {kTwoPiFloat, kTwoPiFloat},
        {-kTwoPiFloat, 0.0f},
        {6.2826f, 6.2826f},
        {0.0009f, 0.0f},
        {3 * kTwoPiFloat + 1, 1.0f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(NormalizeAngle(c.in), c.out, 2e-6f) << c.in;
}

TEST(FloatToIntTest, NaNAndOutOfRangeValuesAreClamped) {
    EXPECT_EQ(TruncateToInt32(std::nan("")), 0);
    EXPECT_EQ(TruncateToInt32(1e30), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(TruncateToInt32(-1e30), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(TruncateToInt32(-2.9), -2);
    EXPECT_EQ(TruncateToInt32(2.9), 2);
}

TEST(MatrixTest, EulerAnglesRoundTripAwayFromTheGimbal) {
    const float triples[][3] = {{0.3f, 0.2f, 0.1f}, {-0.5f, 1.2f, 2.5f}, {2.0f, -1.0f, -3.0f},
                                {1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 4.0f},  {5.5f, -1.5f, 0.7f}};
    for (const auto& t : triples) {
        float m[16];
        MatrixIdentity(m);
        MatrixMakeRotation(t[0], t[1], t[2], m);
        float out[3];
        MatrixGetEulerAngles(m, out);
        for (int i = 0; i < 3; ++i) {
            float expected = NormalizeAngle(t[i]);
            float difference = std::remainder(out[i] - expected, kTwoPiFloat);
            EXPECT_NEAR(difference, 0.0f, 2e-4f) << t[0] << " " << t[1] << " " << t[2] << " #" << i;
        }
    }
}

TEST(MatrixTest, RotationOfZeroIsTheIdentityAndTheGimbalCaseGoesToX) {
    float m[16];
    MatrixZero(m);
    MatrixMakeRotation(0, 0, 0, m);
    ExpectUpperRowsNear(m, kIdentityMatrix, 0);
    EXPECT_EQ(kIdentityMatrix[15], 0.0f);

    // y = π/2: m[8] = 1, so z folds into x.
    MatrixMakeRotation(0.4f, kPi / 2, 0.3f, m);
    float out[3];
    MatrixGetEulerAngles(m, out);
    EXPECT_NEAR(out[1], kPi / 2, 1e-3f);
    EXPECT_EQ(out[2], 0.0f);
    EXPECT_NEAR(out[0], NormalizeAngle(std::atan2(-m[1], -m[2])), 1e-5f);
    float rebuilt[16];
    MatrixMakeRotation(out[0], out[1], out[2], rebuilt);
    ExpectUpperRowsNear(rebuilt, m, 2e-3f);
}

TEST(MatrixTest, RotationAppliesXThenInvertedYThenZ) {
    float m[16];
    MatrixMakeRotation(0, kPi / 2, 0, m);
    const float x[3] = {1, 0, 0};
    float out[3];
    MatrixRotateVector(m, x, out);
    // Ry(-π/2) turns +X to +Z.
    EXPECT_NEAR(out[0], 0, 1e-6f);
    EXPECT_NEAR(out[2], 1, 1e-6f);
}

TEST(MatrixTest, ProductInverseAndZeroRows) {
    const float t[3] = {1, 2, 3};
    float a[16], b[16], product[16], inverse[16], back[16];
    MatrixIdentity(a);
    MatrixMakeRotation(0.3f, 0.5f, 0.7f, a, t);
    for (int i = 0; i < 12; ++i)
        if (i % 4 != 3) a[i] *= 2;
    MatrixIdentity(inverse);
    ASSERT_EQ(MatrixInvert(a, inverse), 1);
    MatrixMultiply(a, inverse, product);
    ExpectUpperRowsNear(product, kIdentityMatrix, 1e-5f);
    // In place through the temporary.
    MatrixCopy(a, b);
    MatrixInvert(b, b);
    ExpectUpperRowsNear(b, inverse, 0);
    MatrixMultiply(inverse, a, back);
    ExpectUpperRowsNear(back, kIdentityMatrix, 1e-5f);

    float zeroRow[16];
    MatrixCopy(a, zeroRow);
    zeroRow[4] = zeroRow[5] = zeroRow[6] = 0;
    EXPECT_EQ(MatrixInvert(zeroRow, b), 0);
    ExpectUpperRowsNear(b, kIdentityMatrix, 0);
    EXPECT_EQ(MatrixInvertScale(zeroRow, b), 0);
    ExpectUpperRowsNear(b, kIdentityMatrix, 0);
    MatrixNormalize(zeroRow, b);
    EXPECT_EQ(b[4], 0);
    EXPECT_NEAR(b[0] * b[0] + b[1] * b[1] + b[2] * b[2], 1, 1e-6f);
}

TEST(MatrixTest, TransformVectorReadsTheFourthRow) {
    float m[16];
    MatrixIdentity(m);
    m[3] = 5;
    m[15] = 1;
    const float v[4] = {1, 2, 3, 1};
    float out[4];
    MatrixTransformVector(m, v, out);
    EXPECT_EQ(out[0], 6);
    EXPECT_EQ(out[3], 1);
}

TEST(QuaternionTest, MatrixRoundTripAndMatchingRotation) {
    const float axes[][4] = {{0.7f, 1, 0, 0},
                             {2.5f, 0, 1, 0},
                             {3.0f, 0, 0, 1},
                             {1.3f, 0.6f, 0.0f, 0.8f},
                             {3.1f, 0, 1, 0}};
    for (const auto& a : axes) {
        float q[4], m[16], back[4];
        QuatFromAxisAngle(a[0], a[1], a[2], a[3], q);
        QuatToMatrix(q, m);
        QuatFromMatrix(m, back);
        if (back[0] * q[0] + back[1] * q[1] + back[2] * q[2] + back[3] * q[3] < 0)
            QuatScale(back, -1, back);
        ExpectQuatNear(back, q, 1e-5f);
        float inverse[16], product[16];
        QuatToInverseMatrix(q, inverse);
        MatrixMultiply(m, inverse, product);
        ExpectUpperRowsNear(product, kIdentityMatrix, 1e-5f);
    }
    // A turn about Z of the quaternion matches MatrixMakeRotation's Z.
    float q[4], fromQuat[16], fromEuler[16];
    QuatFromAxisAngle(0.6f, 0, 0, 1, q);
    QuatToMatrix(q, fromQuat);
    MatrixMakeRotation(0, 0, 0.6f, fromEuler);
    float transposed[16];
    MatrixTranspose(fromEuler, transposed);
    // QuatToMatrix writes the transpose of the column-vector rotation.
    ExpectUpperRowsNear(fromQuat, transposed, 1e-6f);
}

TEST(QuaternionTest, SlerpFlipsNoFlipKeepsAndSpinsTurnFurther) {
    float q[4], minusQ[4], out[4];
    QuatFromAxisAngle(1.0f, 0, 1, 0, q);
    QuatScale(q, -1, minusQ);
    QuatSlerp(q, minusQ, 0, 0.5f, out);
    ExpectQuatNear(out, q);
    QuatSlerpNoFlip(q, minusQ, 0, 0.5f, out);
    const float zero[4] = {0, 0, 0, 0};
    ExpectQuatNear(out, zero);

    float identity[4], turned[4];
    QuatIdentity(identity);
    QuatFromAxisAngle(1.0f, 0, 0, 1, turned);
    // Without spin halfway is half the turn; spin 1 adds π to the arc (a half revolution
    // of the quaternion, a full one of the rotation) over t from 0 to 1.
    struct Case {
        int32_t spin;
        float t;
        float angle;
    } cases[] = {
        {0, 0.5f, 0.5f}, {1, 0.5f, 0.5f + kPi}, {1, 1.0f, 1.0f + 2 * kPi}, {2, 0.25f, 0.25f + kPi}};
    for (const Case& c : cases) {
        float expected[4];
        QuatFromAxisAngle(c.angle, 0, 0, 1, expected);
        QuatSlerp(identity, turned, c.spin, c.t, out);
        ExpectQuatNear(out, expected, 1e-5f);
    }
}

TEST(QuaternionTest, GuardedOperationsStayFiniteForZeroAndNaN) {
    const float zero[4] = {0, 0, 0, 0};
    const float nan[4] = {kNaN, 0, kNaN, 0};
    const float identity[4] = {1, 0, 0, 0};
    float out[4];
    for (const float* q : {zero, nan}) {
        QuatNormalize(q, out);
        ExpectQuatNear(out, identity, 0);
        QuatUnitConjugate(q, out);
        ExpectQuatNear(out, identity, 0);
        QuatRescale(q, 2, out);
        ExpectQuatNear(out, identity, 0);
        float angle, x, y, z;
        QuatToAxisAngle(q, &angle, &x, &y, &z);
        EXPECT_EQ(angle, 0);
        EXPECT_EQ(x, 0);
    }
    QuatExp(zero, out);
    ExpectQuatNear(out, identity, 0);
    // A slightly long w must not take acos out of its domain.
    const float longW[4] = {1.0000001f, 0, 0, 0};
    float angle, x, y, z;
    QuatToAxisAngle(longW, &angle, &x, &y, &z);
    EXPECT_TRUE(std::isfinite(angle));
}

TEST(QuaternionTest, LogScalesByTheAngleAndLnDifOfEqualIsZero) {
    const float q[4] = {0, 0.5f, 0, 0};
    float out[4];
    QuatLog(q, out);
    EXPECT_NEAR(out[1], 1.5707963705f * 0.5f, 1e-7f);
    float a[4];
    QuatFromAxisAngle(0.8f, 1, 0, 0, a);
    QuatLnDif(a, a, out);
    const float zero[4] = {0, 0, 0, 0};
    const float identity[4] = {1, 0, 0, 0};
    ExpectQuatNear(out, zero, 1e-6f);
    float product[4], inverse[4];
    QuatInverse(a, inverse);
    QuatMultiply(a, inverse, product);
    ExpectQuatNear(product, identity, 1e-6f);
    QuatDivide(a, a, product);
    ExpectQuatNear(product, identity, 1e-6f);
}

TEST(PlaneTest, FromPointsAndIntersections) {
    L3DPlane plane;
    const float p1[3] = {0, 0, 2}, p2[3] = {1, 0, 2}, p3[3] = {0, 1, 2};
    plane.PlaneFromPoints(p1, p2, p3);
    EXPECT_NEAR(std::fabs(plane.c), 1, 1e-6f);
    EXPECT_NEAR(plane.d, 2 * plane.c, 1e-6f);
    const float q[3] = {2, 2, 2};
    plane.PlaneFromPoints(p1, p2, q);
    const float collinear[3] = {2, 0, 2};
    plane.PlaneFromPoints(p1, p2, collinear);
    EXPECT_EQ(plane.a, 0);
    EXPECT_EQ(plane.b, 0);
    EXPECT_EQ(plane.c, 0);
    EXPECT_EQ(plane.d, 0);

    plane.PlaneSet(0, 0, 1, 2);
    const float big = 1e30f;
    struct Case {
        float p[3], dir[3];
        int result;
        float z;
        float tolerance = 1e-4f;
    } cases[] = {
        {{0, 0, 10}, {0, 0, -1}, 1, 2},         // towards the plane
        {{5, 5, 10}, {0.1f, 0, -0.5f}, 1, 2},   // slanted
        {{0, 0, 10}, {0, 0, 1}, 0, 0},          // away from it
        {{0, 0, 2}, {0, 0, 1}, 1, 2},           // starting on it
        {{0, 0, 10}, {1, 0, 0.001f}, 0, 0},     // parallel
        {{0, 0, 4}, {1, 0, 0}, 1, 4},           // parallel, start distance equals d
        {{0, 0, big}, {0, 0, -1}, 1, 2, 1e23f}, // very far away
        {{kNaN, 0, 10}, {0, 0, -1}, 0, 0},      // NaN point
        {{0, 0, 10}, {0, 0, kNaN}, 0, 0},       // NaN direction
        {{0, 0, 10}, {0, 0, -1e-30f}, 0, 0},    // nearly parallel
        {{0, 0, big}, {0, 1e10f, -0.1f}, 0, 0}, // crossing beyond float range
    };
    for (const Case& c : cases) {
        float out[3] = {-7, -7, -7};
        EXPECT_EQ(plane.PlaneIntersectLine(c.p, c.dir, out), c.result) << c.p[2] << " " << c.dir[2];
        if (c.result == 1) {
            EXPECT_NEAR(out[2], c.z, c.tolerance);
        }
    }
}

} // namespace
