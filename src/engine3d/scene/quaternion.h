// Quaternions as 4 floats (w, x, y, z), w first. Arithmetic runs in double and results
// are stored as float; every out may be one of the inputs.
#pragma once

#include <cstdint>

// The axis is taken as given, not normalised.
void QuatFromAxisAngle(float angle, float ax, float ay, float az, float* out);
// Axis (0, 0, 0) when the turn is too small to have one.
void QuatToAxisAngle(const float* q, float* angle, float* ax, float* ay, float* az);
void QuatSet(float w, float x, float y, float z, float* out);
void QuatIdentity(float* q);
void QuatZero(float* q);
void QuatCopy(const float* src, float* dst);
void QuatAdd(const float* a, const float* b, float* out);
void QuatSubtract(const float* a, const float* b, float* out);
// Hamilton product a·b.
void QuatMultiply(const float* a, const float* b, float* out);
// a·conj(b) divided by the w of b·conj(b); a zero b is not guarded.
void QuatDivide(const float* a, const float* b, float* out);
void QuatSquare(const float* q, float* out);
void QuatSqrt(const float* q, float* out);
float QuatLength(const float* q);
float QuatDot(const float* a, const float* b);
// Zero lengths are not guarded.
float QuatDotUnit(const float* a, const float* b);
void QuatScale(const float* q, float s, float* out);
// (1, 0, 0, 0) for a quaternion without a usable length (zero or not finite).
void QuatRescale(const float* q, float length, float* out);
int QuatIsEqual(const float* a, const float* b);
// (1, 0, 0, 0) for a quaternion without a usable length.
void QuatNormalize(const float* q, float* out);
// A zero quaternion is not guarded.
void QuatInverse(const float* q, float* out);
// Normalised, then x, y and z negated; (1, 0, 0, 0) without a usable length.
void QuatUnitConjugate(const float* q, float* out);
void QuatExp(const float* q, float* out);
// Scales the vector part by the angle itself, not by angle / length.
void QuatLog(const float* q, float* out);
void QuatLnDif(const float* a, const float* b, float* out);
// Shortest-path spherical interpolation with `spin` extra half turns.
void QuatSlerp(const float* a, const float* b, int32_t spin, float t, float* out);
void QuatSlerpNoFlip(const float* a, const float* b, int32_t spin, float t, float* out);
// The 3x3 part and a zero translation; the fourth row is left as it was.
void QuatToMatrix(const float* q, float* m);
void QuatToInverseMatrix(const float* q, float* m);
void QuatToMatrixFlipYZ(const float* q, float* m);
void QuatToMatrixFlipXZ(const float* q, float* m);
void QuatToMatrixFlipXY(const float* q, float* m);
void QuatFromMatrix(const float* m, float* q);
