// 4x4 matrices of 16 floats stored by rows (element (r, c) at 4r + c), applied to column
// vectors: the 3x3 part is rotation and scale, indices 3, 7 and 11 the translation. Only
// the first three rows carry meaning; MatrixTransformVector is the one reader of the
// fourth. Arithmetic runs in double and results are stored as float.
#pragma once

// 1 at indices 0, 5 and 10 and 0 everywhere else, index 15 included.
extern const float kIdentityMatrix[16];

int MatrixZero(float* m);
void MatrixIdentity(float* m);
void MatrixCopy(const float* src, float* dst);
// The three upper rows only; the fourth row of out is left as it was.
void MatrixAdd(const float* a, const float* b, float* out);
void MatrixSubtract(const float* a, const float* b, float* out);
// a·b as affine transforms, rows 0-2; out may be a or b.
void MatrixMultiply(const float* a, const float* b, float* out);
// The 3x3 part transposed, the translation column kept; out may be src.
void MatrixTranspose(const float* src, float* dst);
// Inverse of a rotation with uniform scale. A row of squared length 0 makes out the
// identity constant and returns 0; else 1. out may be m.
int MatrixInvert(const float* m, float* out);
// Each row divided by its squared length, translation copied; 0 and the identity for a
// zero row. out may be m.
int MatrixInvertScale(const float* m, float* out);
// Each row divided by its length (a zero row is copied), translation copied; returns 1.
int MatrixNormalize(const float* m, float* out);
// Euler angles (x, y, z) of the rotation, each normalised into [0, 2π].
void MatrixGetEulerAngles(const float* m, float* out);
void MatrixMakeTranslation(const float* t, float* out);
void MatrixMakeScale(const float* s, float* out);
// Rz(z)·Ry(-y)·Rx(x) in the 3x3 part; translation t[0..2] or 0 when t is null; the
// fourth row is left as it was.
void MatrixMakeRotation(float x, float y, float z, float* out, const float* t = nullptr);
// All four rows times a 4-vector.
void MatrixTransformVector(const float* m, const float* v, float* out);
// The 3x3 part times v: x, y and z of out (w not written).
void MatrixRotateVector(const float* m, const float* v, float* out);
// x and y of MatrixRotateVector only.
void MatrixRotateVectorXY(const float* m, const float* v, float* out);
void RotateByMatrix3(const float* m, float x, float y, float z, float* outX, float* outY,
                     float* outZ);
void VectorNegate(float* v);
