#include "engine3d/scene/key_track.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "engine3d/scene/matrix.h"
#include "engine3d/scene/quaternion.h"

namespace {

constexpr float kPi = 3.14159265f;

// Owns a track and its keys.
struct Track {
    LKeyTrackSet* set = new LKeyTrackSet;
    LKeyTrack* track;

    explicit Track(uint32_t kind = kTrackTranslation) {
        track = set->tracks[kind] = LKeyTrack::Create();
    }
    ~Track() { DestroySet(set); }

    LKey* Add(int32_t frame, float x = 0, float y = 0, float z = 0) {
        LKey* key = LKeyTrack::CreateKey();
        key->value[0] = x;
        key->value[1] = y;
        key->value[2] = z;
        AppendKey(track, key, frame);
        return key;
    }

    // A rotation key turning `angle` about Z in total since the start.
    LKey* AddTurn(int32_t frame, float angle) {
        LKey* key = Add(frame, angle, 0, 0);
        key->value[3] = 1;
        QuatFromAxisAngle(angle, 0, 0, 1, key->orientation);
        return key;
    }
};

bool Finite(const float* values, int count) {
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(values[i])) return false;
    return true;
}

TEST(KeyTrackTest, AppendRemoveAndLookUp) {
    Track t;
    LKey* seven = LKeyTrack::CreateKey();
    EXPECT_EQ(AppendKey(nullptr, seven, 7), 0);
    EXPECT_EQ(AppendKey(t.track, nullptr, 7), 0);
    EXPECT_EQ(AppendKey(t.track, seven, 7), 1);
    EXPECT_EQ(seven->frame, 7.0f);
    EXPECT_EQ(t.track->endFrame, 7.0f);
    LKey* ten = t.Add(10);
    EXPECT_EQ(t.track->count, 2u);
    EXPECT_EQ(HasKeyAt(t.track, 10), 1);
    EXPECT_EQ(HasKeyAt(t.track, 5), 0);

    RemoveKey(t.track, ten);
    EXPECT_EQ(t.track->tail, seven);
    EXPECT_EQ(t.track->last, seven);
    EXPECT_EQ(seven->next, nullptr);
    t.Add(20);
    RemoveKey(t.track, seven);
    EXPECT_EQ(t.track->first->frame, 20);
    EXPECT_EQ(t.track->count, 1u);

    // Appending keeps the tail at hand: a long track is built in linear time.
    Track big;
    for (int32_t i = 0; i < 10000; ++i)
        big.Add(i);
    EXPECT_EQ(big.track->count, 10000u);
    EXPECT_EQ(big.track->tail->frame, 9999.0f);
    EXPECT_EQ(big.track->tail->previous->frame, 9998.0f);
}

TEST(KeyTrackTest, EaseCurveValues) {
    struct Case {
        float u, a, b, expected;
    } cases[] = {
        {0.3f, 0, 0, 0.3f},
        {0.5f, 0.5f, 0.5f, 0.5f},
        {0.15f, 0.3f, 0, 1 / 1.7f / 0.3f * 0.0225f},
        {0.5f, 0.3f, 0, 1 / 1.7f * (1 - 0.3f)},
        {1.0f, 0.3f, 0.2f, 1.0f},
        {0.0f, 0.3f, 0.2f, 0.0f},
        // Eases summing past 1 are scaled to sum 1.
        {0.5f, 1.0f, 1.0f, 0.5f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(EaseCurve(c.u, c.a, c.b), c.expected, 1e-6f) << c.u << " " << c.a << " " << c.b;
}

TEST(KeyTrackTest, TwoKeyTcbTrackIsAStraightLine) {
    Track t;
    t.Add(0, 0, 0, 0);
    t.Add(10, 10, -20, 5);
    ASSERT_EQ(ComputeTCBTangents(t.track), 1);
    for (float time : {0.0f, 2.5f, 5.0f, 7.5f, 10.0f}) {
        float out[4] = {0, 0, 0, 42};
        ASSERT_EQ(EvalVector(t.track, time, out), 1);
        EXPECT_NEAR(out[0], time, 1e-5f);
        EXPECT_NEAR(out[1], -2 * time, 1e-5f);
        EXPECT_NEAR(out[2], time / 2, 1e-5f);
    }
    // Tension shortens the tangents; the ends stay put.
    t.track->first->tension = 1;
    ComputeTCBTangents(t.track);
    float out[4];
    EvalVector(t.track, 10, out);
    EXPECT_NEAR(out[0], 10, 1e-5f);
    EXPECT_EQ(t.track->first->dd[0], 0);
}

TEST(KeyTrackTest, InnerAndEndKeysPassThroughTheirValues) {
    for (uint32_t flags : {0u, 1u}) {
        Track t;
        t.track->flags = flags;
        const float values[] = {0, 4, 1, 6, 2};
        for (int i = 0; i < 5; ++i)
            t.Add(i * 10, values[i]);
        t.track->first->continuity = 0.5f;
        ASSERT_EQ(ComputeTCBTangents(t.track), 1);
        for (int i = 0; i < 4; ++i) {
            float out[4];
            ASSERT_EQ(EvalVector(t.track, i * 10.0f, out), 1);
            EXPECT_NEAR(out[0], values[i], 1e-5f) << flags << " " << i;
            EvalVector(t.track, i * 10.0f + 5, out);
            EXPECT_TRUE(std::isfinite(out[0]));
        }
    }
}

TEST(KeyTrackTest, LoopingTrackWrapsTime) {
    Track t;
    t.track->flags = 1;
    t.Add(0, 0);
    t.Add(30, 3);
    t.Add(100, 10);
    ComputeTCBTangents(t.track);
    float at50[4], at250[4];
    ASSERT_EQ(EvalVector(t.track, 50, at50), 1);
    ASSERT_EQ(EvalVector(t.track, 250, at250), 1);
    EXPECT_FLOAT_EQ(at250[0], at50[0]);
    // Before the first key the first value holds; a negative time past it writes nothing.
    float out[4] = {7, 7, 7, 7};
    EXPECT_EQ(EvalVector(t.track, -50, out), 1);
    EXPECT_EQ(out[0], 0);
    Track early;
    early.Add(-20, 1);
    early.Add(20, 2);
    out[0] = 7;
    EXPECT_EQ(EvalVector(early.track, -10, out), 0);
    EXPECT_EQ(out[0], 7);
}

TEST(KeyTrackTest, HostileTracksStayFiniteOrLeaveTheOutputAlone) {
    // Keys at equal frames, as truncated file frames often are.
    for (uint32_t flags : {0u, 1u, 3u}) {
        Track t;
        t.track->flags = flags;
        t.Add(0, 1);
        t.Add(0, 2);
        t.Add(0, 3);
        t.Add(0, 4);
        ASSERT_EQ(ComputeTCBTangents(t.track), 1);
        for (LKey* key = t.track->first; key; key = key->next) {
            EXPECT_TRUE(Finite(key->ds, 4)) << flags;
            EXPECT_TRUE(Finite(key->dd, 4)) << flags;
        }
        // Period 0: no wrap.
        for (float time : {0.0f, 5.0f, 1e30f}) {
            float out[4];
            ASSERT_EQ(EvalVector(t.track, time, out), 1);
            EXPECT_TRUE(Finite(out, 4)) << flags << " " << time;
        }
    }
    Track rotations(kTrackRotation);
    rotations.track->flags = 1;
    rotations.AddTurn(5, 0);
    rotations.AddTurn(5, 1);
    rotations.AddTurn(5, 2);
    ASSERT_EQ(ComputeRotationTangents(rotations.track), 1);
    for (LKey* key = rotations.track->first; key; key = key->next) {
        EXPECT_TRUE(Finite(key->rotationDs, 4));
        EXPECT_TRUE(Finite(key->rotationDd, 4));
    }
    float q[4];
    ASSERT_EQ(EvalRotation(rotations.track, 7, q), 1);
    EXPECT_TRUE(Finite(q, 4));

    // A NaN key angle gives no spin instead of undefined behaviour.
    Track nanSpin(kTrackRotation);
    nanSpin.AddTurn(0, 0);
    nanSpin.AddTurn(10, 1)->value[0] = std::nanf("");
    EXPECT_EQ(EvalRotation(nanSpin.track, 5, q), 1);

    // No keys: every evaluator answers 0 and writes nothing.
    Track empty;
    float out[16] = {9, 9, 9, 9};
    LPointMove move{3, {9, 9, 9, 9, 9}};
    EXPECT_EQ(EvalVector(empty.track, 1, out), 0);
    EXPECT_EQ(EvalRotation(empty.track, 1, out), 0);
    EXPECT_EQ(EvalMatrix(empty.track, 1, out), 0);
    EXPECT_EQ(EvalElement(empty.track, 1, 0, &move), 0);
    EXPECT_EQ(out[0], 9);
    EXPECT_EQ(move.index, 3u);
    EXPECT_EQ(ComputeTCBTangents(empty.track), 0);
    EXPECT_EQ(ComputeRotationTangents(empty.track), 0);
    EXPECT_EQ(AccumulateMatrices(empty.track), nullptr);
    EXPECT_EQ(GetElementCount(empty.track), 0u);
}

TEST(KeyTrackTest, RotationTrackSquadsAndSpins) {
    Track t(kTrackRotation);
    t.AddTurn(0, 0);
    t.AddTurn(10, 0.5f);
    t.AddTurn(20, 1.0f);
    ASSERT_EQ(ComputeRotationTangents(t.track), 1);
    for (int i = 0; i <= 20; ++i) {
        float q[4];
        ASSERT_EQ(EvalRotation(t.track, float(i), q), 1);
        // A turn about Z stays one, and at the keys it is theirs.
        EXPECT_NEAR(q[1], 0, 1e-6f);
        EXPECT_NEAR(q[2], 0, 1e-6f);
        float angle = 2 * std::atan2(q[3], q[0]);
        if (i % 10 == 0) {
            EXPECT_NEAR(angle, i * 0.05f, 1e-5f) << i;
        }
        EXPECT_NEAR(angle, i * 0.05f, 0.02f) << i;
    }

    // Keys 4π + 1 apart take two extra spins; the tangents are left equal to the
    // orientations so the squad reduces to the slerp.
    Track spins(kTrackRotation);
    LKey* from = spins.AddTurn(0, 0);
    LKey* to = spins.AddTurn(10, 4 * kPi + 1);
    QuatFromAxisAngle(1, 0, 0, 1, to->orientation);
    for (LKey* key : {from, to}) {
        QuatCopy(key->orientation, key->rotationDs);
        QuatCopy(key->orientation, key->rotationDd);
    }
    float q[4], expected[4];
    EvalRotation(spins.track, 2.5f, q);
    // Half-angle (2π + 0.5)·0.25, so a turn of π + 0.25.
    QuatFromAxisAngle(kPi + 0.25f, 0, 0, 1, expected);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(q[i], expected[i], 1e-5f);
}

TEST(KeyTrackTest, MatrixTrackBlendsAccumulatedMatrices) {
    Track t(kTrackMatrix);
    const float step[3] = {1, 0, 0};
    for (int32_t frame : {0, 10, 20}) {
        LKey* key = t.Add(frame);
        MatrixMakeTranslation(step, key->value);
    }
    const float* last = AccumulateMatrices(t.track);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last[3], 3);
    float out[16];
    struct Case {
        float t, x;
    } cases[] = {{10, 2}, {15, 2.5f}, {0, 1}, {-5, 1}, {20, 3}};
    for (const Case& c : cases) {
        ASSERT_EQ(EvalMatrix(t.track, c.t, out), 1);
        EXPECT_NEAR(out[3], c.x, 1e-6f) << c.t;
        EXPECT_EQ(out[15], 0) << c.t;
    }
    // Two keys at one frame: no division by zero.
    Track doubled(kTrackMatrix);
    doubled.Add(0);
    doubled.Add(0);
    AccumulateMatrices(doubled.track);
    ASSERT_EQ(EvalMatrix(doubled.track, 3, out), 1);
    EXPECT_TRUE(Finite(out, 16));
}

TEST(KeyTrackTest, ElementTrackInterpolatesPointMoves) {
    Track t(kTrackPointMoves);
    for (int32_t frame : {0, 10}) {
        LKey* key = t.Add(frame, float(frame));
        key->elementCount = 1;
        ASSERT_EQ(key->elements.SetSize(1), 1);
        auto* move = static_cast<LPointMove*>(key->elements.GetAt(0));
        move->index = 4;
        for (int j = 0; j < 5; ++j)
            move->values[j] = float(frame * (j + 1));
    }
    ComputeTCBTangents(t.track);
    EXPECT_EQ(GetElementCount(t.track), 1u);
    LPointMove out{};
    ASSERT_EQ(EvalElement(t.track, 5, 0, &out), 1);
    EXPECT_EQ(out.index, 4u);
    EXPECT_TRUE(Finite(out.values, 5));
    // The first value follows the key values' own x tangents (a straight line here).
    EXPECT_NEAR(out.values[0], 5, 1e-5f);
    EXPECT_EQ(EvalElement(t.track, 5, 1, &out), 0);
    ASSERT_EQ(EvalElement(t.track, 0, 0, &out), 1);
    EXPECT_EQ(out.values[4], 0);
}

} // namespace
