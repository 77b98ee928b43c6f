// The placement of everything in a scene: position, Euler angles, scale, hot spot and
// the rotation matrix built from the angles. The matrix follows the angles by applying
// angle changes to it rather than rebuilding it, which is how the engine composes
// rotations. Scene objects use the mirrored convention (callers' X and Z angles are the
// negatives of the stored ones, the forward axis is -Z); cameras do not.
#pragma once

#include <cstdint>

class ChunkWriter;
class L3DWorld;
class L3DLocation;

// A setter's coordinate or angle of this value keeps the present one.
inline constexpr float kKeepValue = -99999.0f;

// Filled by the follow controller; read by StepTowards.
struct FollowRecord {
    uint32_t active = 0;
    L3DLocation* target = nullptr;
    int32_t distance = 0;
    float divisor = 0;
    // In the target's frame.
    float offset[3] = {};
    float lookOffset[3] = {};

    // lookOffset = R(ax, ay, az)·(offset.x, offset.y, offset.z ∓ distance), the angles and
    // the sign in the target's convention.
    void ComputeOrbitPosition(float ax, float ay, float az);
};

// Read and advanced by StepAround.
struct MoveAroundRecord {
    struct Axis {
        float angle = 0, step = 0, minimum = 0, maximum = 0;
    };

    uint32_t active = 0;
    L3DLocation* target = nullptr;
    float distance = 0;
    Axis axes[3];
};

class L3DLocation {
public:
    static constexpr uint32_t kLightingChanged = 2;
    static constexpr uint32_t kLightsToRecompute = 4;
    static constexpr uint32_t kPositionChanged = 8;
    static constexpr uint32_t kRotationChanged = 16;

    explicit L3DLocation(float x = 0, float y = 0, float z = 0);
    // Takes the source's position, angles, convention and world matrix; scale 1, hot spot 0.
    L3DLocation(const L3DLocation& source);
    L3DLocation& operator=(const L3DLocation&) = delete;
    virtual ~L3DLocation() = default;

    virtual void SetPositionChanged(int on);
    virtual void SetRotationChanged(int on);
    // Takes m as the local matrix and its Euler angles; 0 when they are the present ones.
    virtual int SetRotationMatrix(const float* m);
    // One step of a move-around controller; 2 for a missing record or target, else 0.
    virtual int StepAround(MoveAroundRecord* record);
    virtual int CanMove() { return 1; }
    virtual void OnMoved() {}
    virtual void OnRotated() {}
    virtual void OnBeforeRotate() {}
    virtual void InvalidateTransform();
    virtual void ValidateTransform();
    // Absolute (relative 0): premultiplies the change from the applied angles, so calls
    // without a reset to the identity in between accumulate. Relative: turns about the
    // local axes and re-derives the angles. 1 when the rotation changed.
    virtual int SetAngles(float x, float y, float z, int relative);

    void Assign(const L3DLocation& source);
    void SetPosition(float x, float y, float z);
    void SetX(float v);
    void SetY(float v);
    void SetZ(float v);
    void SetAnglesAndPosition(float ax, float ay, float az, float x, float y, float z);
    void SetPositionFrom(const L3DLocation& other);
    void AddPosition(const L3DLocation& other);
    void SubPosition(const L3DLocation& other);
    void SetFrom(L3DLocation& other);
    void SetAnglesFrom(const L3DLocation& other, int relative);
    float GetXAngle() const;
    float GetYAngle() const { return angles[1]; }
    float GetZAngle() const;
    // The third column of m, negated in the mirrored convention.
    void GetDirectionVector(const float* m, float* out) const;
    void GetForwardAxis(float* x, float* y, float* z) const;
    // The rotation of the angles as callers see them.
    void GetRotMatrix(float* out) const;
    // Moves the position by the pivot offset.
    void SetHotSpot(float hx, float hy, float hz);
    // Used when loading and duplicating.
    void SetHotSpotRaw(float hx, float hy, float hz);
    // 0 when the positions are within 0.01 on every axis.
    float GetDistance(const L3DLocation& other) const;
    void SetWorld(L3DWorld* owner) { world = owner; }
    // The "OLOC" chunk: position, stored angles, hot spot.
    uint32_t SaveChunk(ChunkWriter& writer) const;
    // The script side toggles the convention; nothing is notified.
    void SetMirrored(uint32_t on) { mirrored = on; }

    // Movement; every one does nothing when CanMove() answers 0.
    void Move(float d);
    void MoveUp(float d);
    void MoveDown(float d);
    void MoveRight(float d);
    void MoveLeft(float d);
    void TurnLeft(float a);
    void TurnRight(float a);
    void TurnDown(float a);
    void TurnUp(float a);
    void RollRight(float a);
    void RollLeft(float a);
    // In the callers' convention.
    void SetXAngle(float a, int relative);
    void SetYAngle(float a, int relative);
    void SetZAngle(float a, int relative);
    // In the stored convention.
    void SetXAngleRaw(float a, int relative);
    void SetZAngleRaw(float a, int relative);
    void Rotate(float ax, float ay, float az, int relative);
    void AddAngle(const float* a);
    void SubAngle(const float* a);
    // Angles (stored convention) that point the forward axis along d; ref gives the Y
    // angle when d is straight up or down.
    void ComputeLookAngles(const L3DLocation* ref, float dx, float dy, float dz, float* outX,
                           float* outY, float* outZ);
    // ComputeLookAngles in the callers' convention.
    void GetLookAtAngles(const L3DLocation* ref, float dx, float dy, float dz, float* outX,
                         float* outY, float* outZ);
    // Faces the target on the axes whose bits are set (2 X, 4 Y, 8 Z), eased by divisor
    // when it is positive.
    void LookAt(L3DLocation& target, float divisor, uint32_t axes);
    // One easing step the shorter way round; divisor 1 lands on the target.
    static float ApproachAngle(float current, float target, float divisor);
    // One follow step; 2 for a missing record or target, else 0.
    int StepTowards(FollowRecord* record);

    uint32_t mirrored = 0;
    float localMatrix[16];
    float worldMatrix[16];
    float hotSpot[3] = {};
    float scale[3] = {1, 1, 1};
    float previousPosition[3];
    float position[3];
    float angles[3] = {};
    uint32_t appliedAnglesValid = 0;
    float appliedAngles[3] = {};
    uint32_t flags = kLightsToRecompute | kPositionChanged | kRotationChanged;
    L3DWorld* world = nullptr;

private:
    void NotifyMoved();
    // Identity matrix and cleared applied angles, so that the next absolute SetAngles
    // builds the rotation from scratch.
    void ResetRotation();
    // Between OnBeforeRotate and the rotation notifications.
    void SetAnglesNotified(float x, float y, float z, int relative);
    void SetOneAngle(int axis, float a, int relative);
    void MoveAlong(const float* axis, double d);
    // The other location's angles in this location's convention.
    void AnglesOf(const L3DLocation& other, float* out) const;
};
