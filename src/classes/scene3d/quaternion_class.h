// The Quaternion class: one quaternion (w, x, y, z) for rotations in scripts, with the
// scene's quaternion operations as methods. Each method changes the Quaternion itself;
// MakeMatrix and MakeInvertedMatrix hand new Matrix objects to the script.
#pragma once

#include <cstdint>

#include "script/classes/base_class.h"

class CIQuaternion final : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 73;

    enum : uint16_t {
        kSetW = 0x01,
        kSetX,
        kSetY,
        kSetZ,
        kGetW,
        kGetX,
        kGetY,
        kGetZ,
        kSetFromAngle,
        kGetAngleAngle,
        kGetAngleX,
        kGetAngleY,
        kGetAngleZ,
        kSetValue,
        kSetIdentity,
        kReset,
        kAdd,
        kSubtract,
        kMultiply,
        kDivide,
        kSquare,
        kSqrt,
        kGetLength,
        kDotProductUniformized,
        kDotProduct,
        kScale,
        kRescale,
        kIsEqual,
        kNormalize,
        kInverse,
        kNegate,
        kExp,
        kLog,
        kLnDif,
        kSlerp,
        kMakeMatrix,
        kMakeInvertedMatrix,
        kMethodCount,
    };

    CIQuaternion(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    // New Quaternion: (0, 0, 0, 0) until a value is set.
    void Create() override;

    // w, x, y, z.
    float q[4] = {0, 0, 0, 0};

private:
    template <int Index> void SetComponent();
    template <int Index> void GetComponent();
    // The components of the axis and angle form: 0 the angle, 1 to 3 the axis.
    template <int Part> void GetAngle();
    void SetFromAngle();
    void SetValue();
    void SetIdentity();
    void Reset();
    // The receiver on the left, the Quaternion argument on the right.
    template <void (*Op)(const float*, const float*, float*)> void Binary();
    template <void (*Op)(const float*, float*)> void Unary();
    void GetLength();
    void DotProductUniformized();
    void DotProduct();
    void Scale();
    void Rescale();
    void IsEqual();
    void Negate();
    void Slerp();
    void MakeMatrix();
    void MakeInvertedMatrix();

    // Argument i as a Quaternion's components; error 14 for anything else.
    const float* QuaternionArg(uint32_t i);
    // A number argument that must be given; error 14 when missing or not a number.
    double RequiredNumber(uint32_t i);

    static const ScriptMethod<CIQuaternion> kMethods[kMethodCount];
};

const ScriptClassInfo* GetQuaternionClassInfo();
