#include "engine3d/scene/location.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine3d/scene/angle.h"
#include "engine3d/scene/matrix.h"

namespace {

constexpr float kPi = 3.14159265f;

// Counts the notifications and can refuse every move.
class RecordingLocation : public L3DLocation {
public:
    using L3DLocation::L3DLocation;

    int CanMove() override { return canMove; }
    void OnMoved() override { ++moved; }
    void OnRotated() override { ++rotated; }
    void OnBeforeRotate() override { ++beforeRotate; }

    int canMove = 1;
    int moved = 0;
    int rotated = 0;
    int beforeRotate = 0;
};

void ExpectUpperRowsNear(const float* actual, const float* expected, float tolerance = 1e-5f) {
    for (int i = 0; i < 12; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

void ExpectAnglesNear(const float* actual, float x, float y, float z, float tolerance = 1e-4f) {
    const float expected[3] = {x, y, z};
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(std::remainder(actual[i] - expected[i], kTwoPiFloat), 0, tolerance) << i;
}

void Rotation(float x, float y, float z, float* m) {
    MatrixIdentity(m);
    MatrixMakeRotation(x, y, z, m);
}

TEST(LocationTest, AbsoluteSetAnglesAccumulatesChangesWithoutAReset) {
    L3DLocation location;
    const float a = 0.7f, c = 1.1f;
    ASSERT_EQ(location.SetAngles(0, 0, c, 0), 1);
    ASSERT_EQ(location.SetAngles(a, 0, c, 0), 1);
    float ra[16], rc[16], expected[16], direct[16];
    Rotation(a, 0, 0, ra);
    Rotation(0, 0, c, rc);
    MatrixMultiply(ra, rc, expected);
    ExpectUpperRowsNear(location.localMatrix, expected);
    Rotation(a, 0, c, direct);
    EXPECT_GT(std::fabs(direct[1] - location.localMatrix[1]) +
                  std::fabs(direct[8] - location.localMatrix[8]),
              0.01f);
    ExpectAnglesNear(location.angles, a, 0, c);

    // The same absolute angles again change nothing.
    float before[16];
    MatrixCopy(location.localMatrix, before);
    EXPECT_EQ(location.SetAngles(a, 0, c, 0), 0);
    ExpectUpperRowsNear(location.localMatrix, before, 0);
}

TEST(LocationTest, PositionSettersKeepTheSentinelAndNotify) {
    RecordingLocation location(1, 2, 3);
    location.flags = 0;
    location.SetPosition(kKeepValue, 5, kKeepValue);
    EXPECT_EQ(location.position[0], 1);
    EXPECT_EQ(location.position[1], 5);
    EXPECT_EQ(location.position[2], 3);
    EXPECT_EQ(location.flags, L3DLocation::kPositionChanged);
    EXPECT_EQ(location.moved, 1);

    location.flags = 0;
    location.SetPosition(kKeepValue, 5, 3);
    EXPECT_EQ(location.flags, 0u);
    EXPECT_EQ(location.moved, 2);

    // A kept angle stays while the others change.
    location.SetAnglesAndPosition(kKeepValue, 0.5f, kKeepValue, kKeepValue, kKeepValue, 9);
    EXPECT_EQ(location.position[2], 9);
    ExpectAnglesNear(location.angles, 0, 0.5f, 0);
    EXPECT_TRUE(location.flags & L3DLocation::kRotationChanged);

    location.canMove = 0;
    location.SetPosition(7, 7, 7);
    location.Move(3);
    location.TurnLeft(1);
    EXPECT_EQ(location.position[0], 1);
    EXPECT_EQ(location.position[2], 9);
    ExpectAnglesNear(location.angles, 0, 0.5f, 0);
}

TEST(LocationTest, MirroredConventionInvertsXAndZ) {
    L3DLocation location;
    location.SetMirrored(1);
    location.SetXAngle(0.5f, 0);
    EXPECT_NEAR(location.angles[0], kTwoPiFloat - 0.5f, 1e-5f);
    EXPECT_NEAR(location.GetXAngle(), 0.5f, 1e-5f);
    location.SetZAngle(0.25f, 0);
    EXPECT_NEAR(location.GetZAngle(), 0.25f, 1e-5f);
    location.SetYAngle(0.75f, 0);
    EXPECT_NEAR(location.GetYAngle(), 0.75f, 1e-6f);

    float x, y, z;
    location.GetForwardAxis(&x, &y, &z);
    EXPECT_EQ(z, -1);
    float direction[4];
    location.GetDirectionVector(kIdentityMatrix, direction);
    EXPECT_EQ(direction[2], -1);

    // The mirrored angles in the callers' convention build the same matrix as the
    // plain ones.
    L3DLocation plain;
    plain.Rotate(0.5f, 0.75f, 0.25f, 0);
    float mirroredRotation[16], plainRotation[16];
    location.GetRotMatrix(mirroredRotation);
    plain.GetRotMatrix(plainRotation);
    ExpectUpperRowsNear(mirroredRotation, plainRotation);
}

TEST(LocationTest, MovesAndTurnsInBothConventions) {
    struct Case {
        uint32_t mirrored;
        void (*step)(L3DLocation&);
        float x, y, z;
    } cases[] = {
        {0, [](L3DLocation& l) { l.Move(1); }, 0, 0, 1},
        {1, [](L3DLocation& l) { l.Move(1); }, 0, 0, -1},
        {0, [](L3DLocation& l) { l.MoveRight(2); }, 2, 0, 0},
        {1, [](L3DLocation& l) { l.MoveRight(2); }, -2, 0, 0},
        {1, [](L3DLocation& l) { l.MoveUp(3); }, 0, 3, 0},
        {0, [](L3DLocation& l) { l.MoveDown(3); }, 0, -3, 0},
        {0, [](L3DLocation& l) { l.MoveLeft(1); }, -1, 0, 0},
        // A quarter turn left, then forward: +Z turns towards +X.
        {0,
         [](L3DLocation& l) {
             l.TurnLeft(kPi / 2);
             l.Move(1);
         },
         -1, 0, 0},
    };
    for (const Case& c : cases) {
        L3DLocation location;
        location.SetMirrored(c.mirrored);
        c.step(location);
        EXPECT_NEAR(location.position[0], c.x, 1e-5f);
        EXPECT_NEAR(location.position[1], c.y, 1e-5f);
        EXPECT_NEAR(location.position[2], c.z, 1e-5f);
    }

    L3DLocation left, right, down, roll;
    left.TurnLeft(kPi / 2);
    EXPECT_NEAR(left.angles[1], kPi / 2, 1e-4f);
    right.TurnRight(kPi / 2);
    EXPECT_NEAR(right.angles[1], 3 * kPi / 2, 1e-4f);
    down.TurnDown(0.3f);
    ExpectAnglesNear(down.angles, 0.3f, 0, 0);
    roll.RollLeft(0.2f);
    ExpectAnglesNear(roll.angles, 0, 0, -0.2f);
}

TEST(LocationTest, RelativeTurnsComposeAboutTheLocalAxes) {
    L3DLocation location;
    location.Rotate(0, 0.4f, 0, 0);
    location.SetXAngle(0.3f, 1);
    float r1[16], r2[16], expected[16];
    Rotation(0, 0.4f, 0, r1);
    Rotation(0.3f, 0, 0, r2);
    MatrixMultiply(r1, r2, expected);
    ExpectUpperRowsNear(location.localMatrix, expected);
    float rebuilt[16];
    Rotation(location.angles[0], location.angles[1], location.angles[2], rebuilt);
    ExpectUpperRowsNear(rebuilt, expected, 1e-4f);

    // AddAngle premultiplies the difference onto the current matrix.
    L3DLocation added;
    const float a[3] = {0.2f, 0, 0.3f};
    added.AddAngle(a);
    ExpectAnglesNear(added.angles, 0.2f, 0, 0.3f);
    added.SubAngle(a);
    ExpectAnglesNear(added.angles, 0, 0, 0);
}

TEST(LocationTest, SetRotationMatrixAndCopies) {
    RecordingLocation location;
    float m[16];
    Rotation(0.1f, 0.2f, 0.3f, m);
    EXPECT_EQ(location.SetRotationMatrix(m), 1);
    ExpectAnglesNear(location.angles, 0.1f, 0.2f, 0.3f);
    EXPECT_EQ(location.SetRotationMatrix(m), 0);
    EXPECT_EQ(location.rotated, 1);

    L3DLocation copy(location);
    ExpectUpperRowsNear(copy.localMatrix, m, 1e-5f);
    EXPECT_EQ(copy.flags, 28u);

    // Between conventions the other location keeps its own rotation.
    L3DLocation mirrored;
    mirrored.SetMirrored(1);
    float before[16];
    MatrixCopy(location.localMatrix, before);
    mirrored.SetFrom(location);
    ExpectUpperRowsNear(location.localMatrix, before, 0);
    EXPECT_NEAR(mirrored.GetXAngle(), location.angles[0], 1e-5f);
    EXPECT_NEAR(mirrored.GetZAngle(), location.angles[2], 1e-5f);
    float built[16];
    Rotation(mirrored.angles[0], mirrored.angles[1], mirrored.angles[2], built);
    ExpectUpperRowsNear(mirrored.localMatrix, built);
}

TEST(LocationTest, HotSpotDistanceAndFlags) {
    L3DLocation a(1, 1, 1), b(1.005f, 0.995f, 1.005f), c(4, 5, 1);
    EXPECT_EQ(a.GetDistance(b), 0);
    EXPECT_NEAR(a.GetDistance(c), 5, 1e-6f);
    a.SetHotSpot(1, 0, 0);
    EXPECT_EQ(a.position[0], 0);
    EXPECT_EQ(a.hotSpot[0], 1);
    a.flags = 0;
    a.ValidateTransform();
    EXPECT_EQ(a.flags, L3DLocation::kLightingChanged);
    a.InvalidateTransform();
    EXPECT_EQ(a.flags, L3DLocation::kLightsToRecompute);
    a.ValidateTransform();
    EXPECT_EQ(a.flags, L3DLocation::kLightsToRecompute);
}

TEST(LocationMovementTest, ApproachAngleTakesTheShortWay) {
    struct Case {
        float current, target, divisor, expected;
    } cases[] = {
        {0.1f, 6.2f, 1, 6.2f},
        {0.1f, 6.2f, 2, 0.0084073f},
        {6.2f, 0.1f, 1, 0.1f},
        {6.2f, 0.1f, 2, 0.0084073f},
        {1.0f, 2.0f, 4, 1.25f},
        {2.0f, 1.0f, 4, 1.75f},
        // Exactly π apart goes the negative way round.
        {1.0f, 1.0f + 3.1415927f, 2, 1.0f - 3.1415927f / 2 + kTwoPiFloat},
    };
    for (const Case& c : cases) {
        float r = L3DLocation::ApproachAngle(c.current, c.target, c.divisor);
        EXPECT_NEAR(std::remainder(r - c.expected, kTwoPiFloat), 0, 2e-5f)
            << c.current << " -> " << c.target << " / " << c.divisor;
        EXPECT_GE(r, 0);
        EXPECT_LT(r, kTwoPiFloat);
    }
}

TEST(LocationMovementTest, LookAnglesPointTheForwardAxis) {
    L3DLocation location;
    const float directions[][3] = {{1, 0, 0}, {0, 0, -1}, {1, 2, 3}, {-2, -1, 0.5f}, {0, -1, 4}};
    for (const auto& d : directions) {
        float x, y, z;
        location.ComputeLookAngles(nullptr, d[0], d[1], d[2], &x, &y, &z);
        float m[16];
        Rotation(x, y, z, m);
        float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        EXPECT_NEAR(m[2], d[0] / length, 1e-5f);
        EXPECT_NEAR(m[6], d[1] / length, 1e-5f);
        EXPECT_NEAR(m[10], d[2] / length, 1e-5f);
    }
    // Straight up keeps the reference's Y angle.
    L3DLocation ref;
    ref.Rotate(0, 1.25f, 0, 0);
    float x, y, z;
    location.ComputeLookAngles(&ref, 0, 5, 0, &x, &y, &z);
    EXPECT_NEAR(x, 3 * kPi / 2, 1e-5f);
    EXPECT_NEAR(y, 1.25f, 1e-6f);
    location.ComputeLookAngles(nullptr, 0, 0, 0, &x, &y, &z);
    EXPECT_EQ(x + y + z, 0);
}

TEST(LocationMovementTest, LookAtTurnsOnlyTheChosenAxes) {
    L3DLocation target(3, 4, 5);
    struct Case {
        uint32_t axes;
        bool x, y;
    } cases[] = {{4, false, true}, {2, true, false}, {6, true, true}, {0, false, false}};
    for (const Case& c : cases) {
        L3DLocation location;
        location.Rotate(0.1f, 0.2f, 0.3f, 0);
        float look[3];
        location.ComputeLookAngles(&target, 3, 4, 5, &look[0], &look[1], &look[2]);
        location.LookAt(target, 0, c.axes);
        EXPECT_NEAR(location.angles[0], c.x ? look[0] : 0.1f, 1e-5f) << c.axes;
        EXPECT_NEAR(location.angles[1], c.y ? look[1] : 0.2f, 1e-5f) << c.axes;
        EXPECT_NEAR(location.angles[2], 0.3f, 1e-5f) << c.axes;
    }
    // With a divisor the turn is eased.
    L3DLocation eased;
    eased.LookAt(target, 2, 4);
    float look[3];
    eased.ComputeLookAngles(&target, 3, 4, 5, &look[0], &look[1], &look[2]);
    EXPECT_NEAR(eased.angles[1], L3DLocation::ApproachAngle(0, look[1], 2), 1e-5f);
}

TEST(LocationMovementTest, StepTowardsClosesInAndFacesTheLookPoint) {
    L3DLocation target(10, 0, 0);
    FollowRecord record;
    record.target = &target;
    record.divisor = 2;
    record.distance = 4;
    record.ComputeOrbitPosition(0, 0, 0);
    EXPECT_NEAR(record.lookOffset[2], -4, 1e-6f);

    L3DLocation follower;
    EXPECT_EQ(follower.StepTowards(&record), 0);
    EXPECT_EQ(record.active, 1u);
    EXPECT_NEAR(follower.position[0], 5, 1e-5f);
    follower.StepTowards(&record);
    follower.StepTowards(&record);
    EXPECT_NEAR(follower.position[0], 8.75f, 1e-5f);
    for (int i = 0; i < 60; ++i)
        follower.StepTowards(&record);
    EXPECT_NEAR(follower.position[0], 10, 1e-4f);
    // Once there it faces the look point, behind the target along -Z.
    EXPECT_NEAR(follower.localMatrix[10], -1, 1e-3f);

    record.divisor = 0;
    L3DLocation jumper(-5, 0, 0);
    jumper.StepTowards(&record);
    EXPECT_EQ(jumper.position[0], 10);

    EXPECT_EQ(follower.StepTowards(nullptr), 2);
    FollowRecord orphan;
    EXPECT_EQ(follower.StepTowards(&orphan), 2);
}

TEST(LocationMovementTest, StepAroundOrbitsAndBounces) {
    L3DLocation target(0, 0, 0);
    MoveAroundRecord record;
    record.target = &target;
    record.distance = 8;
    record.axes[1] = {1.0f, 0.5f, 0.0f, 1.2f};
    record.axes[0] = {0, 0, 0, 0};
    record.axes[2] = {0, 0, 0, 0};
    L3DLocation mover;
    EXPECT_EQ(mover.StepAround(&record), 0);
    EXPECT_EQ(record.active, 1u);
    // A quarter of the way to the orbit point at Y angle 1.
    EXPECT_NEAR(mover.position[0], -8 * std::sin(1.0f) * 0.25f, 1e-4f);
    EXPECT_NEAR(mover.position[2], 8 * std::cos(1.0f) * 0.25f, 1e-4f);
    EXPECT_NEAR(record.axes[1].angle, 1.2f, 1e-6f);
    EXPECT_NEAR(record.axes[1].step, -0.5f, 1e-6f);

    // Back down to the minimum, where the step turns again.
    record.axes[1] = {0.9f, -0.5f, 0.5f, 1.2f};
    const float expectedAngles[] = {0.5f, 1.0f, 1.2f, 0.7f};
    for (float expected : expectedAngles) {
        mover.StepAround(&record);
        EXPECT_NEAR(record.axes[1].angle, expected, 1e-5f);
    }
    EXPECT_EQ(mover.StepAround(nullptr), 2);
}

} // namespace
