#include "engine3d/scene/quaternion.h"

#include <algorithm>
#include <cmath>

namespace {

// π/2 as the float the engine has always used in its logarithms.
constexpr double kHalfPiFloat = 1.5707963705;
// The slerp's own π, a double rounded to eleven decimals.
constexpr double kSlerpPi = 3.14159265359;

struct Quat {
    double w, x, y, z;
};

Quat Load(const float* q) {
    return {q[0], q[1], q[2], q[3]};
}

void Store(const Quat& q, float* out) {
    out[0] = static_cast<float>(q.w);
    out[1] = static_cast<float>(q.x);
    out[2] = static_cast<float>(q.y);
    out[3] = static_cast<float>(q.z);
}

Quat Multiply(const Quat& a, const Quat& b) {
    return {a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z,
            a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w};
}

Quat Conjugate(const Quat& q) {
    return {q.w, -q.x, -q.y, -q.z};
}

Quat Scaled(const Quat& q, double s) {
    return {q.w * s, q.x * s, q.y * s, q.z * s};
}

double Dot(const Quat& a, const Quat& b) {
    return a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z;
}

double Length(const Quat& q) {
    return std::sqrt(Dot(q, q));
}

// A NaN or infinite length counts as none: dividing by it would spread NaN into every
// matrix built from the result.
bool HasUsableLength(double length) {
    return length != 0 && std::isfinite(length);
}

Quat Normalized(const Quat& q) {
    double length = Length(q);
    if (!HasUsableLength(length)) return {1, 0, 0, 0};
    return Scaled(q, 1 / length);
}

Quat Inverse(const Quat& q) {
    double lengthSquared = Dot(q, q);
    return Scaled(Conjugate(q), lengthSquared == 1.0 ? 1.0 : 1 / lengthSquared);
}

void Slerp(const float* a, const float* b, int32_t spin, float t, bool flip, float* out) {
    Quat qa = Load(a), qb = Load(b);
    double cosTheta = Dot(qa, qb);
    double sign = 1;
    bool nearlyEqual;
    if (flip) {
        if (cosTheta < 0) {
            cosTheta = -cosTheta;
            sign = -1;
        }
        nearlyEqual = 1 - cosTheta < 1e-6;
    } else {
        nearlyEqual = 1 - std::fabs(cosTheta) < 1e-6;
    }
    double k0, k1;
    if (nearlyEqual) {
        k0 = 1 - double(t);
        k1 = t;
    } else {
        double theta = std::acos(cosTheta);
        double phi = (spin * kSlerpPi + theta) * t;
        k0 = std::sin(theta - phi) / std::sin(theta);
        k1 = std::sin(phi) / std::sin(theta);
    }
    k1 *= sign;
    Store({k0 * qa.w + k1 * qb.w, k0 * qa.x + k1 * qb.x, k0 * qa.y + k1 * qb.y,
           k0 * qa.z + k1 * qb.z},
          out);
}

void InverseMatrixOf(const Quat& q, float* m) {
    double w = q.w, x = q.x, y = q.y, z = q.z;
    double values[12] = {
        1 - 2 * (y * y + z * z), 2 * (x * y - w * z),     2 * (x * z + w * y),     0,
        2 * (x * y + w * z),     1 - 2 * (x * x + z * z), 2 * (y * z - w * x),     0,
        2 * (x * z - w * y),     2 * (y * z + w * x),     1 - 2 * (x * x + y * y), 0};
    for (int i = 0; i < 12; ++i)
        m[i] = static_cast<float>(values[i]);
}

} // namespace

void QuatFromAxisAngle(float angle, float ax, float ay, float az, float* out) {
    double half = double(angle) / 2;
    double s = std::sin(half);
    Store({std::cos(half), ax * s, ay * s, az * s}, out);
}

void QuatToAxisAngle(const float* q, float* angle, float* ax, float* ay, float* az) {
    Quat n = Normalized(Load(q));
    double half = std::acos(std::clamp(n.w, -1.0, 1.0));
    *angle = static_cast<float>(2 * half);
    double s = std::sin(half);
    if (std::fabs(s) > 1e-6) {
        *ax = static_cast<float>(n.x / s);
        *ay = static_cast<float>(n.y / s);
        *az = static_cast<float>(n.z / s);
    } else {
        *ax = *ay = *az = 0;
    }
}

void QuatSet(float w, float x, float y, float z, float* out) {
    out[0] = w;
    out[1] = x;
    out[2] = y;
    out[3] = z;
}

void QuatIdentity(float* q) {
    QuatSet(1, 0, 0, 0, q);
}

void QuatZero(float* q) {
    QuatSet(0, 0, 0, 0, q);
}

void QuatCopy(const float* src, float* dst) {
    std::copy(src, src + 4, dst);
}

void QuatAdd(const float* a, const float* b, float* out) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<float>(double(a[i]) + b[i]);
}

void QuatSubtract(const float* a, const float* b, float* out) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<float>(double(a[i]) - b[i]);
}

void QuatMultiply(const float* a, const float* b, float* out) {
    Store(Multiply(Load(a), Load(b)), out);
}

void QuatDivide(const float* a, const float* b, float* out) {
    Quat qb = Load(b);
    Quat t1 = Multiply(Load(a), Conjugate(qb));
    Quat t2 = Multiply(qb, Conjugate(qb));
    Store(Scaled(t1, 1 / t2.w), out);
}

void QuatSquare(const float* q, float* out) {
    Quat v = Load(q);
    Store({v.w * v.w - v.x * v.x - v.y * v.y - v.z * v.z, 2 * v.w * v.x, 2 * v.w * v.y,
           2 * v.w * v.z},
          out);
}

void QuatSqrt(const float* q, float* out) {
    Quat v = Load(q);
    double r = std::sqrt(v.w * v.w + v.x * v.x + v.y * v.y);
    double f = r == 0 ? 1.0 : 1 / r;
    double a = f * v.x;
    double b = f * v.z;
    double g = 1 / std::sqrt((f * v.w) * (f * v.w) + a * a);
    double rootF = std::sqrt(f);
    double k = rootF * std::sqrt((1 - b) / 2) * g;
    Store({k * f * v.w, k * a, rootF * std::sqrt((1 + b) / 2), v.z}, out);
}

float QuatLength(const float* q) {
    return static_cast<float>(Length(Load(q)));
}

float QuatDot(const float* a, const float* b) {
    return static_cast<float>(Dot(Load(a), Load(b)));
}

float QuatDotUnit(const float* a, const float* b) {
    Quat qa = Load(a), qb = Load(b);
    return static_cast<float>(Dot(qa, qb) / (Length(qa) * Length(qb)));
}

void QuatScale(const float* q, float s, float* out) {
    Store(Scaled(Load(q), s), out);
}

void QuatRescale(const float* q, float length, float* out) {
    Quat v = Load(q);
    double current = Length(v);
    if (!HasUsableLength(current)) {
        QuatIdentity(out);
        return;
    }
    Store(Scaled(v, length / current), out);
}

int QuatIsEqual(const float* a, const float* b) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2] && a[3] == b[3];
}

void QuatNormalize(const float* q, float* out) {
    Store(Normalized(Load(q)), out);
}

void QuatInverse(const float* q, float* out) {
    Store(Inverse(Load(q)), out);
}

void QuatUnitConjugate(const float* q, float* out) {
    Store(Conjugate(Normalized(Load(q))), out);
}

void QuatExp(const float* q, float* out) {
    Quat v = Load(q);
    double theta = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    double s = theta == 0 ? 1.0 : std::sin(theta) / theta;
    Store({std::cos(theta), s * v.x, s * v.y, s * v.z}, out);
}

void QuatLog(const float* q, float* out) {
    Quat v = Load(q);
    double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    double a = v.w != 0 ? std::atan(length / v.w) : kHalfPiFloat;
    Store({0, a * v.x, a * v.y, a * v.z}, out);
}

void QuatLnDif(const float* a, const float* b, float* out) {
    Quat qa = Load(a), qb = Load(b);
    Quat d = Multiply(Inverse(qa), qb);
    double r = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    double c = Dot(qa, qb) / (Length(qa) * Length(qb));
    double theta = c == 0 ? kHalfPiFloat : std::atan(r / c);
    double k = r == 0 ? theta : theta / r;
    Store({0, d.x * k, d.y * k, d.z * k}, out);
}

void QuatSlerp(const float* a, const float* b, int32_t spin, float t, float* out) {
    Slerp(a, b, spin, t, true, out);
}

void QuatSlerpNoFlip(const float* a, const float* b, int32_t spin, float t, float* out) {
    Slerp(a, b, spin, t, false, out);
}

void QuatToMatrix(const float* q, float* m) {
    InverseMatrixOf(Conjugate(Load(q)), m);
}

void QuatToInverseMatrix(const float* q, float* m) {
    InverseMatrixOf(Load(q), m);
}

void QuatToMatrixFlipYZ(const float* q, float* m) {
    InverseMatrixOf({q[0], q[1], -double(q[2]), -double(q[3])}, m);
}

void QuatToMatrixFlipXZ(const float* q, float* m) {
    InverseMatrixOf({q[0], -double(q[1]), q[2], -double(q[3])}, m);
}

void QuatToMatrixFlipXY(const float* q, float* m) {
    InverseMatrixOf({q[0], -double(q[1]), -double(q[2]), q[3]}, m);
}

void QuatFromMatrix(const float* m, float* q) {
    double trace = double(m[0]) + m[5] + m[10];
    if (trace > 0) {
        double s = std::sqrt(trace + 1);
        double f = 0.5 / s;
        Store({s / 2, (m[6] - double(m[9])) * f, (m[8] - double(m[2])) * f,
               (m[1] - double(m[4])) * f},
              q);
        return;
    }
    static constexpr int kNext[3] = {1, 2, 0};
    int i = 0;
    if (m[5] > m[0]) i = 1;
    if (m[10] > m[5 * i]) i = 2;
    int j = kNext[i];
    int k = kNext[j];
    double s = std::sqrt(m[5 * i] - (double(m[5 * k]) + m[5 * j]) + 1);
    double v[3];
    v[i] = s / 2;
    double f = s == 0 ? s : 0.5 / s;
    double w = (m[4 * j + k] - double(m[4 * k + j])) * f;
    v[j] = (m[4 * i + j] + double(m[4 * j + i])) * f;
    v[k] = (m[4 * k + i] + double(m[4 * i + k])) * f;
    Store({w, v[0], v[1], v[2]}, q);
}
