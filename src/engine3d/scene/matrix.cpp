#include "engine3d/scene/matrix.h"

#include <algorithm>
#include <cmath>

#include "engine3d/scene/angle.h"

const float kIdentityMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0};

namespace {

double RowLengthSquared(const float* m, int r) {
    double x = m[4 * r], y = m[4 * r + 1], z = m[4 * r + 2];
    return x * x + y * y + z * z;
}

void StoreUpperRows(const double* values, float* out) {
    for (int i = 0; i < 12; ++i)
        out[i] = static_cast<float>(values[i]);
}

// Each row of the 3x3 part multiplied by factor(row), the translation copied.
template <typename Factor> void ScaleRows(const float* m, float* out, Factor factor) {
    double result[12];
    for (int r = 0; r < 3; ++r) {
        double f = factor(r);
        for (int c = 0; c < 3; ++c)
            result[4 * r + c] = m[4 * r + c] * f;
        result[4 * r + 3] = m[4 * r + 3];
    }
    StoreUpperRows(result, out);
}

} // namespace

int MatrixZero(float* m) {
    std::fill(m, m + 16, 0.0f);
    return 0;
}

void MatrixIdentity(float* m) {
    MatrixCopy(kIdentityMatrix, m);
}

void MatrixCopy(const float* src, float* dst) {
    std::copy(src, src + 16, dst);
}

void MatrixAdd(const float* a, const float* b, float* out) {
    for (int i = 0; i < 12; ++i)
        out[i] = static_cast<float>(double(a[i]) + b[i]);
}

void MatrixSubtract(const float* a, const float* b, float* out) {
    for (int i = 0; i < 12; ++i)
        out[i] = static_cast<float>(double(a[i]) - b[i]);
}

void MatrixMultiply(const float* a, const float* b, float* out) {
    double result[12];
    for (int r = 0; r < 3; ++r) {
        const float* row = a + 4 * r;
        for (int c = 0; c < 4; ++c)
            result[4 * r + c] =
                double(row[0]) * b[c] + double(row[1]) * b[4 + c] + double(row[2]) * b[8 + c];
        result[4 * r + 3] += row[3];
    }
    StoreUpperRows(result, out);
}

void MatrixTranspose(const float* src, float* dst) {
    double result[12];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c)
            result[4 * r + c] = src[4 * c + r];
        result[4 * r + 3] = src[4 * r + 3];
    }
    StoreUpperRows(result, dst);
}

int MatrixInvert(const float* m, float* out) {
    double inverse[12];
    for (int r = 0; r < 3; ++r) {
        double lengthSquared = RowLengthSquared(m, r);
        if (lengthSquared == 0) {
            MatrixIdentity(out);
            return 0;
        }
        for (int c = 0; c < 3; ++c)
            inverse[4 * r + c] = m[4 * c + r] / lengthSquared;
    }
    for (int r = 0; r < 3; ++r)
        inverse[4 * r + 3] =
            -(inverse[4 * r] * m[3] + inverse[4 * r + 1] * m[7] + inverse[4 * r + 2] * m[11]);
    StoreUpperRows(inverse, out);
    return 1;
}

int MatrixInvertScale(const float* m, float* out) {
    for (int r = 0; r < 3; ++r) {
        if (RowLengthSquared(m, r) == 0) {
            MatrixIdentity(out);
            return 0;
        }
    }
    ScaleRows(m, out, [m](int r) { return 1.0 / RowLengthSquared(m, r); });
    return 1;
}

int MatrixNormalize(const float* m, float* out) {
    ScaleRows(m, out, [m](int r) {
        double length = std::sqrt(RowLengthSquared(m, r));
        return length == 0 ? 1.0 : 1.0 / length;
    });
    return 1;
}

void MatrixGetEulerAngles(const float* m, float* out) {
    double s = std::clamp(double(m[8]), -1.0, 1.0);
    double c2 = 1 - s * s;
    double c = 0;
    if (c2 < 1e-5)
        s = s < 0 ? -1.0 : 1.0;
    else
        c = std::sqrt(c2);
    double x, y, z;
    if (c != 0) {
        x = std::atan2(m[9] / c, m[10] / c);
        y = std::atan2(s, c);
        z = std::atan2(m[4] / c, m[0] / c);
    } else {
        // Gimbal lock: the Y turn swallows Z, so all of the remaining turn goes to X.
        x = s == 1 ? std::atan2(-double(m[1]), -double(m[2])) : std::atan2(m[1], m[2]);
        y = std::asin(s);
        z = 0;
    }
    out[0] = NormalizeAngle(static_cast<float>(x));
    out[1] = NormalizeAngle(static_cast<float>(y));
    out[2] = NormalizeAngle(static_cast<float>(z));
}

void MatrixMakeTranslation(const float* t, float* out) {
    MatrixIdentity(out);
    out[3] = t[0];
    out[7] = t[1];
    out[11] = t[2];
}

void MatrixMakeScale(const float* s, float* out) {
    MatrixIdentity(out);
    out[0] = s[0];
    out[5] = s[1];
    out[10] = s[2];
}

void MatrixMakeRotation(float x, float y, float z, float* out, const float* t) {
    double sx = std::sin(double(x)), cx = std::cos(double(x));
    double sy = std::sin(double(y)), cy = std::cos(double(y));
    double sz = std::sin(double(z)), cz = std::cos(double(z));
    double result[12] = {cy * cz,
                         -cx * sz - sx * sy * cz,
                         sx * sz - cx * sy * cz,
                         t ? t[0] : 0.0,
                         cy * sz,
                         cx * cz - sx * sy * sz,
                         -sx * cz - cx * sy * sz,
                         t ? t[1] : 0.0,
                         sy,
                         sx * cy,
                         cx * cy,
                         t ? t[2] : 0.0};
    StoreUpperRows(result, out);
}

void MatrixTransformVector(const float* m, const float* v, float* out) {
    double result[4];
    for (int r = 0; r < 4; ++r)
        result[r] = double(m[4 * r]) * v[0] + double(m[4 * r + 1]) * v[1] +
                    double(m[4 * r + 2]) * v[2] + double(m[4 * r + 3]) * v[3];
    for (int r = 0; r < 4; ++r)
        out[r] = static_cast<float>(result[r]);
}

void MatrixRotateVector(const float* m, const float* v, float* out) {
    RotateByMatrix3(m, v[0], v[1], v[2], &out[0], &out[1], &out[2]);
}

void MatrixRotateVectorXY(const float* m, const float* v, float* out) {
    float z;
    RotateByMatrix3(m, v[0], v[1], v[2], &out[0], &out[1], &z);
}

void RotateByMatrix3(const float* m, float x, float y, float z, float* outX, float* outY,
                     float* outZ) {
    double result[3];
    for (int r = 0; r < 3; ++r)
        result[r] = double(m[4 * r]) * x + double(m[4 * r + 1]) * y + double(m[4 * r + 2]) * z;
    *outX = static_cast<float>(result[0]);
    *outY = static_cast<float>(result[1]);
    *outZ = static_cast<float>(result[2]);
}

void VectorNegate(float* v) {
    for (int i = 0; i < 4; ++i)
        v[i] = -v[i];
}
