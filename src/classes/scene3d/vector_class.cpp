#include "classes/scene3d/vector_class.h"

#include <cmath>
#include <new>

#include "classes/scene3d/matrix_class.h"
#include "classes/scene3d/script_number.h"
#include "engine3d/scene/matrix.h"
#include "script/interpreter/interpretor.h"
#include "script/values/script_array.h"
#include "script/values/value.h"

namespace {

using V = CIVector;

const MethodNameRow kNameTable[] = {
    {V::kClassId, "Vector", 0, 0},
    {V::kSet, "Set", 0, 0},
    {V::kReset, "Reset", 0, 0},
    {V::kAddVector, "AddVector", 0, 0},
    {V::kSubVector, "SubVector", 0, 0},
    {V::kMulVector, "MulVector", 0, 0},
    {V::kScale, "Scale", 0, 0},
    {V::kRescale, "Rescale", 0, 0},
    {V::kNegate, "Negate", 0, 0},
    {V::kIsEqual, "IsEqual", 0, 0},
    {V::kGetLength, "GetLength", 0, 0},
    {V::kDistance, "Distance", 0, 0},
    {V::kDotProductUniformized, "DotProductUniformized", 0, 0},
    {V::kDotProduct, "DotProduct", 0, 0},
    {V::kCrossProduct, "CrossProduct", 0, 0},
    {V::kNormalize, "Normalize", 0, 0},
    {V::kAverage, "Average", 0, 0},
    {V::kLerp, "Lerp", 0, 0},
    {V::kCombine, "Combine", 0, 0},
    {V::kGetX, "GetX", 0, 0},
    {V::kGetY, "GetY", 0, 0},
    {V::kGetZ, "GetZ", 0, 0},
    {V::kSetX, "SetX", 0, 0},
    {V::kSetY, "SetY", 0, 0},
    {V::kSetZ, "SetZ", 0, 0},
    {V::kMulVectorMatrix, "MulVectorMatrix", 0, 0},
    {V::kMulNormalMatrix, "MulNormalMatrix", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewVector(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIVector(&interpreter, record);
}

const ScriptClassInfo kVectorClass = {kNameTable, NewVector, 0, nullptr, 0, nullptr, nullptr};

double LengthOf(const float* v) {
    return std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]);
}

} // namespace

const ScriptMethod<CIVector> CIVector::kMethods[kMethodCount] = {
    nullptr,
    &V::Set,
    &V::Reset,
    &V::AddVector,
    &V::SubVector,
    &V::MulVector,
    &V::Scale,
    &V::Rescale,
    &V::Negate,
    &V::IsEqual,
    &V::GetLength,
    &V::Distance,
    &V::DotProductUniformized,
    &V::DotProduct,
    &V::CrossProduct,
    &V::Normalize,
    &V::Average,
    &V::Lerp,
    &V::Combine,
    &V::GetX,
    &V::GetY,
    &V::GetZ,
    &V::SetX,
    &V::SetY,
    &V::SetZ,
    &V::MulVectorMatrix,
    &V::MulNormalMatrix,
};

CIVector::CIVector(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

void CIVector::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIVector::Destroy(int) {
    delete this;
}

void CIVector::Create() {
    ReadArgument(*interpreter, 0, v);
    Register();
}

CIVector* CIVector::Make(CInterpretor& interpreter, const float* values) {
    auto* vector = new (std::nothrow) CIVector(&interpreter, interpreter.GetClassRecord(kClassId));
    if (vector == nullptr) interpreter.RaiseError(15);
    for (int i = 0; i < 4; ++i)
        vector->v[i] = values[i];
    vector->Register();
    return vector;
}

void CIVector::ReadArgument(CInterpretor& interpreter, uint32_t k, float* out) {
    for (int i = 0; i < 4; ++i)
        out[i] = 0;
    if (IsArgMissing(interpreter, k)) return;
    const CValue& first = *interpreter.GetArg(k);
    if (first.IsObjectOfClass(kClassId)) {
        const auto* other = static_cast<const CIVector*>(first.ObjectPayload());
        for (int i = 0; i < 4; ++i)
            out[i] = other->v[i];
        return;
    }
    if (first.GetType() == kValueArray) {
        const CScriptArray* array = first.GetArray();
        for (int32_t i = 0; i < 3 && array != nullptr; ++i) {
            const CValue* item = array->FindItem(&i, 1);
            if (item != nullptr) out[i] = float(NumberOf(interpreter, *item));
        }
        return;
    }
    for (uint32_t i = 0; i < 3; ++i) {
        if (!IsArgMissing(interpreter, k + i))
            out[i] = float(NumberOf(interpreter, *interpreter.GetArg(k + i)));
    }
}

void CIVector::Result(double value) {
    interpreter->GetResultSlot()->SetFloat(value);
}

double CIVector::Dot(const float* other) const {
    return double(v[0]) * other[0] + double(v[1]) * other[1] + double(v[2]) * other[2];
}

double CIVector::Length() const {
    return LengthOf(v);
}

double CIVector::RequiredNumber(uint32_t i) {
    if (IsArgMissing(*interpreter, i)) interpreter->RaiseError(14);
    return NumberOf(*interpreter, *interpreter->GetArg(i));
}

void CIVector::Set() {
    ReadArgument(*interpreter, 0, v);
}

void CIVector::Reset() {
    for (float& component : v)
        component = 0;
}

void CIVector::AddVector() {
    float other[4];
    ReadArgument(*interpreter, 0, other);
    for (int i = 0; i < 4; ++i)
        v[i] = float(double(v[i]) + other[i]);
}

void CIVector::SubVector() {
    float other[4];
    ReadArgument(*interpreter, 0, other);
    for (int i = 0; i < 4; ++i)
        v[i] = float(double(v[i]) - other[i]);
}

void CIVector::MulVector() {
    float other[4];
    ReadArgument(*interpreter, 0, other);
    for (int i = 0; i < 4; ++i)
        v[i] = float(double(v[i]) * other[i]);
}

void CIVector::Scale() {
    if (IsArgMissing(*interpreter, 0)) return;
    const double s = NumberOf(*interpreter, *interpreter->GetArg(0));
    for (float& component : v)
        component = float(component * s);
}

void CIVector::Rescale() {
    if (IsArgMissing(*interpreter, 0)) return;
    const double length = NumberOf(*interpreter, *interpreter->GetArg(0));
    const double current = Length();
    const double factor = current == 0 ? 0 : length / current;
    for (float& component : v)
        component = float(component * factor);
}

void CIVector::Negate() {
    for (float& component : v)
        component = -component;
}

void CIVector::IsEqual() {
    float other[4];
    ReadArgument(*interpreter, 0, other);
    const bool equal = v[0] == other[0] && v[1] == other[1] && v[2] == other[2];
    interpreter->GetResultSlot()->SetInt(equal ? 1 : 0);
}

void CIVector::GetLength() {
    Result(Length());
}

void CIVector::Distance() {
    float other[4];
    ReadArgument(*interpreter, 0, other);
    const float difference[3] = {v[0] - other[0], v[1] - other[1], v[2] - other[2]};
    Result(LengthOf(difference));
}

void CIVector::DotProductUniformized() {
    float other[4];
    ReadArgument(*interpreter, 0, other);
    const double lengths = Length() * LengthOf(other);
    const double dot = Dot(other);
    Result(lengths == 0 ? dot : dot / lengths);
}

void CIVector::DotProduct() {
    float other[4];
    ReadArgument(*interpreter, 0, other);
    Result(Dot(other));
}

void CIVector::CrossProduct() {
    float o[4];
    ReadArgument(*interpreter, 0, o);
    const double x = double(v[1]) * o[2] - double(v[2]) * o[1];
    const double y = double(v[2]) * o[0] - double(v[0]) * o[2];
    const double z = double(v[0]) * o[1] - double(v[1]) * o[0];
    v[0] = float(x);
    v[1] = float(y);
    v[2] = float(z);
    v[3] = o[3];
}

void CIVector::Normalize() {
    const double length = Length();
    for (int i = 0; i < 3; ++i)
        v[i] = length == 0 ? 0.0f : float(v[i] / length);
}

void CIVector::Average() {
    float other[4];
    ReadArgument(*interpreter, 0, other);
    for (int i = 0; i < 4; ++i)
        v[i] = float((double(v[i]) + other[i]) * 0.5);
}

void CIVector::Lerp() {
    const double t = RequiredNumber(0);
    float other[4];
    ReadArgument(*interpreter, 1, other);
    for (int i = 0; i < 3; ++i)
        v[i] = float(v[i] + (double(other[i]) - v[i]) * t);
}

void CIVector::Combine() {
    const double a = RequiredNumber(0);
    const double b = RequiredNumber(1);
    float other[4];
    ReadArgument(*interpreter, 2, other);
    for (int i = 0; i < 3; ++i)
        v[i] = float(v[i] * a + other[i] * b);
}

void CIVector::GetX() {
    Result(v[0]);
}

void CIVector::GetY() {
    Result(v[1]);
}

void CIVector::GetZ() {
    Result(v[2]);
}

void CIVector::SetComponent(int index) {
    v[index] = float(RequiredNumber(0));
}

void CIVector::SetX() {
    SetComponent(0);
}

void CIVector::SetY() {
    SetComponent(1);
}

void CIVector::SetZ() {
    SetComponent(2);
}

void CIVector::MulVectorMatrix() {
    // Row 3 takes part in the product: 0 unless a Matrix was given.
    float m[16] = {};
    CIMatrix::ReadArgument(*interpreter, 0, m);
    const float in[4] = {v[0], v[1], v[2], v[3]};
    MatrixTransformVector(m, in, v);
}

void CIVector::MulNormalMatrix() {
    float m[16] = {};
    CIMatrix::ReadArgument(*interpreter, 0, m);
    const float in[4] = {v[0], v[1], v[2], v[3]};
    MatrixRotateVector(m, in, v);
}

const ScriptClassInfo* GetVectorClassInfo() {
    return &kVectorClass;
}
