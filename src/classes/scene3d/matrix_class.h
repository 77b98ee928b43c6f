// The Matrix class: the engine's 4 x 4 float matrix (by rows, applied to column vectors)
// for 3D maths in scripts. Scripts see rows 0 to 2; row 3 is carried along. Its methods
// change the Matrix itself.
#pragma once

#include <cstdint>

#include "script/classes/base_class.h"

class CIMatrix final : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 72;

    enum : uint16_t {
        kReset = 0x01,
        kSetIdentity,
        kSet,
        kAddMatrix,
        kSubMatrix,
        kMulMatrix,
        kTranspose,
        kInvert,
        kNormalize,
        kMakeTranslationMatrix,
        kMakeScaleMatrix,
        kMakeRotationMatrix,
        kSetValue,
        kGetValue,
        kGetEulerAngleX,
        kGetEulerAngleY,
        kGetEulerAngleZ,
        kAddAngle,
        kMethodCount,
    };

    CIMatrix(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    // New Matrix(value): all zeros, then the value as the argument reader reads it.
    void Create() override;

    // A registered Matrix holding the 16 elements of `elements`, for a class that returns
    // one. Error 15 when memory runs out.
    static CIMatrix* Make(CInterpretor& interpreter, const float* elements);

    // Reads a matrix from argument k on into out[0..15]. No argument: all 16 elements 0.
    // One Matrix: its 16 elements. Four Vectors: the columns 0 to 3 of rows 0 to 2. A
    // two-dimensional array of 3 rows by 4 columns: rows 0 to 2. Up to 12 numbers: three
    // per column, column 0 first. Rows 0 to 2 left out by a form are 0; row 3 is left as
    // it was but for the first two forms. Error 14 for any other argument or mixture of
    // forms, fewer or more than four Vectors, and a thirteenth number.
    static void ReadArgument(CInterpretor& interpreter, uint32_t k, float* out);

    float pivot[3] = {0, 0, 0};
    float m[16] = {};

private:
    void Reset();
    void SetIdentity();
    void Set();
    void AddMatrix();
    void SubMatrix();
    void MulMatrix();
    void Transpose();
    void Invert();
    void Normalize();
    void MakeTranslationMatrix();
    void MakeScaleMatrix();
    void MakeRotationMatrix();
    void SetValue();
    void GetValue();
    void GetEulerAngleX();
    void GetEulerAngleY();
    void GetEulerAngleZ();
    void AddAngle();

    // The argument as a matrix whose row 3 is 0 unless a Matrix gave it.
    void ReadOperand(float* out);
    // Argument i as a row or column index: error 19 when missing, 88 outside 0..last.
    int32_t IndexArg(uint32_t i, int32_t last);
    // A number argument; error 14 for anything else.
    float NumberArg(uint32_t i);
    void EulerAngle(int axis);

    static const ScriptMethod<CIMatrix> kMethods[kMethodCount];
};

const ScriptClassInfo* GetMatrixClassInfo();
