// The Vector class: four floats x, y, z, w for 3D maths in scripts. Its methods change the
// Vector itself; other classes take Vectors as arguments and hand new ones to the script.
#pragma once

#include <cstdint>

#include "script/classes/base_class.h"

class CIVector final : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 71;

    enum : uint16_t {
        kSet = 0x01,
        kReset,
        kAddVector,
        kSubVector,
        kMulVector,
        kScale,
        kRescale,
        kNegate,
        kIsEqual,
        kGetLength,
        kDistance,
        kDotProductUniformized,
        kDotProduct,
        kCrossProduct,
        kNormalize,
        kAverage,
        kLerp,
        kCombine,
        kGetX,
        kGetY,
        kGetZ,
        kSetX,
        kSetY,
        kSetZ,
        kMulVectorMatrix,
        kMulNormalMatrix,
        kMethodCount,
    };

    CIVector(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    // New Vector(value): the value as the argument reader reads it.
    void Create() override;

    // A registered Vector holding `values` (four floats), for a class that returns one.
    // Error 15 when memory runs out.
    static CIVector* Make(CInterpretor& interpreter, const float* values);

    // Reads a vector from argument k into out[0..3]: a Vector gives its four components;
    // an array its elements 0, 1 and 2; otherwise the numbers at k, k + 1 and k + 2. What
    // is not given is 0, w too unless a Vector gave it. Error 14 for a value that is no
    // number.
    static void ReadArgument(CInterpretor& interpreter, uint32_t k, float* out);

    float v[4] = {0, 0, 0, 0};

private:
    void Set();
    void Reset();
    void AddVector();
    void SubVector();
    void MulVector();
    void Scale();
    void Rescale();
    void Negate();
    void IsEqual();
    void GetLength();
    void Distance();
    void DotProductUniformized();
    void DotProduct();
    void CrossProduct();
    void Normalize();
    void Average();
    void Lerp();
    void Combine();
    void GetX();
    void GetY();
    void GetZ();
    void SetX();
    void SetY();
    void SetZ();
    void MulVectorMatrix();
    void MulNormalMatrix();

    void Result(double value);
    // x, y, z of this and `other` (length of either may be 0).
    double Dot(const float* other) const;
    double Length() const;
    // SetX, SetY, SetZ: a number is required (error 14).
    void SetComponent(int index);
    // A number argument that must be given (error 14).
    double RequiredNumber(uint32_t i);

    static const ScriptMethod<CIVector> kMethods[kMethodCount];
};

const ScriptClassInfo* GetVectorClassInfo();
