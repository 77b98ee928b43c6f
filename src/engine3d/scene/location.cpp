#include "engine3d/scene/location.h"

#include <cmath>

#include "engine3d/scene/angle.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/matrix.h"

namespace {

bool SameTriple(const float* a, const float* b) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

void CopyTriple(const float* src, float* dst) {
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
}

} // namespace

L3DLocation::L3DLocation(float x, float y, float z) : previousPosition{x, y, z}, position{x, y, z} {
    MatrixIdentity(localMatrix);
    MatrixIdentity(worldMatrix);
    SetAngles(0, 0, 0, 0);
    flags = kLightsToRecompute | kPositionChanged | kRotationChanged;
}

L3DLocation::L3DLocation(const L3DLocation& source)
    : mirrored(source.mirrored), previousPosition{source.position[0], source.position[1],
                                                  source.position[2]},
      position{source.position[0], source.position[1], source.position[2]} {
    MatrixIdentity(localMatrix);
    MatrixCopy(source.worldMatrix, worldMatrix);
    SetAngles(source.angles[0], source.angles[1], source.angles[2], 0);
    flags = kLightsToRecompute | kPositionChanged | kRotationChanged;
}

void L3DLocation::SetPositionChanged(int on) {
    flags = on ? flags | kPositionChanged : flags & ~kPositionChanged;
}

void L3DLocation::SetRotationChanged(int on) {
    flags = on ? flags | kRotationChanged : flags & ~kRotationChanged;
}

void L3DLocation::InvalidateTransform() {
    flags = (flags & ~kLightingChanged) | kLightsToRecompute;
}

void L3DLocation::ValidateTransform() {
    if ((flags & kLightsToRecompute) == 0) flags |= kLightingChanged;
}

int L3DLocation::SetAngles(float x, float y, float z, int relative) {
    const float requested[3] = {x, y, z};
    if (appliedAnglesValid && relative != 1 && SameTriple(requested, appliedAngles)) return 0;
    float change[3];
    for (int i = 0; i < 3; ++i)
        change[i] =
            relative ? requested[i]
                     : NormalizeAngle(static_cast<float>(double(requested[i]) - appliedAngles[i]));
    float previous[16];
    MatrixCopy(localMatrix, previous);
    MatrixMakeRotation(change[0], change[1], change[2], localMatrix);
    if (relative) {
        MatrixMultiply(previous, localMatrix, localMatrix);
        MatrixGetEulerAngles(localMatrix, angles);
    } else {
        MatrixMultiply(localMatrix, previous, localMatrix);
        CopyTriple(requested, angles);
    }
    CopyTriple(angles, appliedAngles);
    appliedAnglesValid = 1;
    return 1;
}

int L3DLocation::SetRotationMatrix(const float* m) {
    if (!CanMove()) return 0;
    float a[3];
    MatrixGetEulerAngles(m, a);
    if (mirrored) {
        a[0] = NormalizeAngle(-a[0]);
        a[2] = NormalizeAngle(-a[2]);
    }
    if (SameTriple(a, angles)) return 0;
    OnBeforeRotate();
    MatrixCopy(m, localMatrix);
    CopyTriple(a, angles);
    CopyTriple(a, appliedAngles);
    appliedAnglesValid = 1;
    OnRotated();
    SetRotationChanged(1);
    return 1;
}

void L3DLocation::Assign(const L3DLocation& source) {
    if (!CanMove()) return;
    CopyTriple(source.hotSpot, hotSpot);
    CopyTriple(source.scale, scale);
    CopyTriple(source.previousPosition, previousPosition);
    CopyTriple(source.position, position);
    CopyTriple(source.angles, angles);
    mirrored = source.mirrored;
    SetAngles(angles[0], angles[1], angles[2], 0);
    SetRotationChanged(1);
}

void L3DLocation::NotifyMoved() {
    SetPositionChanged(1);
    OnMoved();
}

void L3DLocation::SetPosition(float x, float y, float z) {
    if (!CanMove()) return;
    const float requested[3] = {x, y, z};
    bool changed = false;
    for (int i = 0; i < 3; ++i) {
        if (requested[i] != kKeepValue && requested[i] != position[i]) {
            position[i] = requested[i];
            changed = true;
        }
    }
    if (changed)
        NotifyMoved();
    else
        OnMoved();
}

void L3DLocation::SetX(float v) {
    if (!CanMove()) return;
    position[0] = v;
    SetPositionChanged(1);
}

void L3DLocation::SetY(float v) {
    if (!CanMove()) return;
    position[1] = v;
    SetPositionChanged(1);
}

void L3DLocation::SetZ(float v) {
    if (!CanMove()) return;
    position[2] = v;
    SetPositionChanged(1);
}

void L3DLocation::SetAnglesAndPosition(float ax, float ay, float az, float x, float y, float z) {
    if (!CanMove()) return;
    const float requested[3] = {x, y, z};
    bool moved = false;
    for (int i = 0; i < 3; ++i) {
        if (requested[i] != kKeepValue && requested[i] != position[i]) {
            position[i] = requested[i];
            moved = true;
        }
    }
    if (moved) SetPositionChanged(1);
    float a[3] = {ax, ay, az};
    bool turned = false;
    for (int i = 0; i < 3; ++i) {
        if (a[i] == kKeepValue)
            a[i] = angles[i];
        else if (a[i] != angles[i])
            turned = true;
    }
    if (turned) {
        angles[0] = angles[1] = angles[2] = 0;
        MatrixIdentity(localMatrix);
        appliedAngles[0] = appliedAngles[1] = appliedAngles[2] = 0;
        SetAngles(a[0], a[1], a[2], 0);
        SetRotationChanged(1);
    }
    OnMoved();
}

void L3DLocation::SetPositionFrom(const L3DLocation& other) {
    if (!CanMove()) return;
    CopyTriple(other.position, position);
    NotifyMoved();
}

void L3DLocation::AddPosition(const L3DLocation& other) {
    if (!CanMove()) return;
    for (int i = 0; i < 3; ++i)
        position[i] += other.position[i];
    NotifyMoved();
}

void L3DLocation::SubPosition(const L3DLocation& other) {
    if (!CanMove()) return;
    for (int i = 0; i < 3; ++i)
        position[i] -= other.position[i];
    NotifyMoved();
}

void L3DLocation::AnglesOf(const L3DLocation& other, float* out) const {
    CopyTriple(other.angles, out);
    if ((mirrored != 0) != (other.mirrored != 0)) {
        out[0] = NormalizeAngle(-out[0]);
        out[2] = NormalizeAngle(-out[2]);
    }
}

void L3DLocation::SetFrom(L3DLocation& other) {
    if (!CanMove()) return;
    if (!SameTriple(position, other.position)) {
        CopyTriple(other.position, position);
        SetPositionChanged(1);
    }
    OnMoved();
    float a[3];
    AnglesOf(other, a);
    if (SameTriple(a, angles)) return;
    OnBeforeRotate();
    if ((mirrored != 0) == (other.mirrored != 0)) {
        // The other location's matrix is brought up to date and shared.
        other.SetAngles(a[0], a[1], a[2], 0);
        CopyTriple(a, angles);
        CopyTriple(other.appliedAngles, appliedAngles);
        appliedAnglesValid = other.appliedAnglesValid;
        MatrixCopy(other.localMatrix, localMatrix);
    } else {
        // The converted angles are not the other's rotation: applying them to it would
        // turn it, so this location builds its own matrix instead.
        ResetRotation();
        SetAngles(a[0], a[1], a[2], 0);
    }
    OnRotated();
    SetRotationChanged(1);
}

void L3DLocation::SetAnglesFrom(const L3DLocation& other, int relative) {
    if (!CanMove()) return;
    float a[3];
    AnglesOf(other, a);
    if (relative == 0) {
        if (SameTriple(a, angles)) return;
        OnBeforeRotate();
        ResetRotation();
        SetAngles(a[0], a[1], a[2], 0);
    } else {
        OnBeforeRotate();
        SetAngles(a[0], a[1], a[2], 1);
    }
    OnRotated();
    SetRotationChanged(1);
}

float L3DLocation::GetXAngle() const {
    return mirrored ? NormalizeAngle(-angles[0]) : angles[0];
}

float L3DLocation::GetZAngle() const {
    return mirrored ? NormalizeAngle(-angles[2]) : angles[2];
}

void L3DLocation::GetDirectionVector(const float* m, float* out) const {
    out[0] = m[2];
    out[1] = m[6];
    out[2] = m[10];
    out[3] = 0;
    if (mirrored) VectorNegate(out);
}

void L3DLocation::GetForwardAxis(float* x, float* y, float* z) const {
    *x = 0;
    *y = 0;
    *z = mirrored ? -1.0f : 1.0f;
}

void L3DLocation::GetRotMatrix(float* out) const {
    MatrixMakeRotation(GetXAngle(), GetYAngle(), GetZAngle(), out);
}

void L3DLocation::SetHotSpot(float hx, float hy, float hz) {
    if (!CanMove()) return;
    const float spot[3] = {hx, hy, hz};
    for (int i = 0; i < 3; ++i)
        position[i] -= spot[i];
    CopyTriple(spot, hotSpot);
    SetPositionChanged(1);
    SetRotationChanged(1);
    OnMoved();
}

void L3DLocation::SetHotSpotRaw(float hx, float hy, float hz) {
    if (!CanMove()) return;
    hotSpot[0] = hx;
    hotSpot[1] = hy;
    hotSpot[2] = hz;
    SetPositionChanged(1);
    SetRotationChanged(1);
}

float L3DLocation::GetDistance(const L3DLocation& other) const {
    double d[3];
    bool near = true;
    for (int i = 0; i < 3; ++i) {
        d[i] = double(position[i]) - other.position[i];
        if (std::fabs(d[i]) > 0.01) near = false;
    }
    if (near) return 0;
    return static_cast<float>(std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]));
}

uint32_t L3DLocation::SaveChunk(ChunkWriter& writer) const {
    uint32_t start = writer.BeginChunk(ChunkTag("OLOC"), 0);
    writer.WriteVector(position[0], position[1], position[2]);
    writer.WriteVector(angles[0], angles[1], angles[2]);
    writer.WriteVector(hotSpot[0], hotSpot[1], hotSpot[2]);
    return writer.EndChunk(start);
}

void L3DLocation::ResetRotation() {
    MatrixIdentity(localMatrix);
    appliedAngles[0] = appliedAngles[1] = appliedAngles[2] = 0;
    appliedAnglesValid = 0;
}
