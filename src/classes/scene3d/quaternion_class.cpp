#include "classes/scene3d/quaternion_class.h"

#include <cmath>
#include <new>

#include "classes/scene3d/matrix_class.h"
#include "classes/scene3d/script_number.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/quaternion.h"
#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

namespace {

using Q = CIQuaternion;

constexpr int32_t kBadArgument = 14;
constexpr int32_t kWrongArgumentCount = 21;
// The half turn the interpolation's spin counts in, as the scene has always written it.
constexpr double kSlerpPi = 3.14159265359;

const MethodNameRow kNameTable[] = {
    {Q::kClassId, "Quaternion", 0, 0},
    {Q::kSetW, "SetW", 0, 0},
    {Q::kSetX, "SetX", 0, 0},
    {Q::kSetY, "SetY", 0, 0},
    {Q::kSetZ, "SetZ", 0, 0},
    {Q::kGetW, "GetW", 0, 0},
    {Q::kGetX, "GetX", 0, 0},
    {Q::kGetY, "GetY", 0, 0},
    {Q::kGetZ, "GetZ", 0, 0},
    {Q::kSetFromAngle, "SetFromAngle", 0, 0},
    {Q::kGetAngleAngle, "GetAngleAngle", 0, 0},
    {Q::kGetAngleX, "GetAngleX", 0, 0},
    {Q::kGetAngleY, "GetAngleY", 0, 0},
    {Q::kGetAngleZ, "GetAngleZ", 0, 0},
    {Q::kSetValue, "SetValue", 0, 0},
    {Q::kSetIdentity, "SetIdentity", 0, 0},
    {Q::kReset, "Reset", 0, 0},
    {Q::kAdd, "Add", 0, 0},
    {Q::kSubtract, "Subtract", 0, 0},
    {Q::kMultiply, "Multiply", 0, 0},
    {Q::kDivide, "Divide", 0, 0},
    {Q::kSquare, "Square", 0, 0},
    {Q::kSqrt, "Sqrt", 0, 0},
    {Q::kGetLength, "GetLength", 0, 0},
    {Q::kDotProductUniformized, "DotProductUniformized", 0, 0},
    {Q::kDotProduct, "DotProduct", 0, 0},
    {Q::kScale, "Scale", 0, 0},
    {Q::kRescale, "Rescale", 0, 0},
    {Q::kIsEqual, "IsEqual", 0, 0},
    {Q::kNormalize, "Normalize", 0, 0},
    {Q::kInverse, "Inverse", 0, 0},
    {Q::kNegate, "Negate", 0, 0},
    {Q::kExp, "Exp", 0, 0},
    {Q::kLog, "Log", 0, 0},
    {Q::kLnDif, "LnDif", 0, 0},
    {Q::kSlerp, "Slerp", 0, 0},
    {Q::kMakeMatrix, "MakeMatrix", 0, 0},
    {Q::kMakeInvertedMatrix, "MakeInvertedMatrix", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewQuaternion(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIQuaternion(&interpreter, record);
}

const ScriptClassInfo kQuaternionClass = {kNameTable, NewQuaternion, 0,      nullptr,
                                          0,          nullptr,       nullptr};

} // namespace

const ScriptMethod<CIQuaternion> CIQuaternion::kMethods[kMethodCount] = {
    nullptr,
    &Q::SetComponent<0>,
    &Q::SetComponent<1>,
    &Q::SetComponent<2>,
    &Q::SetComponent<3>,
    &Q::GetComponent<0>,
    &Q::GetComponent<1>,
    &Q::GetComponent<2>,
    &Q::GetComponent<3>,
    &Q::SetFromAngle,
    &Q::GetAngle<0>,
    &Q::GetAngle<1>,
    &Q::GetAngle<2>,
    &Q::GetAngle<3>,
    &Q::SetValue,
    &Q::SetIdentity,
    &Q::Reset,
    &Q::Binary<QuatAdd>,
    &Q::Binary<QuatSubtract>,
    &Q::Binary<QuatMultiply>,
    &Q::Binary<QuatDivide>,
    &Q::Unary<QuatSquare>,
    &Q::Unary<QuatSqrt>,
    &Q::GetLength,
    &Q::DotProductUniformized,
    &Q::DotProduct,
    &Q::Scale,
    &Q::Rescale,
    &Q::IsEqual,
    &Q::Unary<QuatNormalize>,
    &Q::Unary<QuatInverse>,
    &Q::Negate,
    &Q::Unary<QuatExp>,
    &Q::Unary<QuatLog>,
    &Q::Binary<QuatLnDif>,
    &Q::Slerp,
    &Q::MakeMatrix,
    &Q::MakeInvertedMatrix,
};

CIQuaternion::CIQuaternion(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

void CIQuaternion::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIQuaternion::Destroy(int) {
    delete this;
}

void CIQuaternion::Create() {
    Register();
}

const float* CIQuaternion::QuaternionArg(uint32_t i) {
    const CValue& value = *interpreter->GetArg(i);
    if (!value.IsObjectOfClass(kClassId)) interpreter->RaiseError(kBadArgument);
    return static_cast<const CIQuaternion*>(value.ObjectPayload())->q;
}

double CIQuaternion::RequiredNumber(uint32_t i) {
    if (IsArgMissing(*interpreter, i)) interpreter->RaiseError(kBadArgument);
    return NumberOf(*interpreter, *interpreter->GetArg(i));
}

template <int Index> void CIQuaternion::SetComponent() {
    if (IsArgMissing(*interpreter, 0)) return;
    q[Index] = float(NumberOf(*interpreter, *interpreter->GetArg(0)));
}

template <int Index> void CIQuaternion::GetComponent() {
    interpreter->GetResultSlot()->SetFloat(q[Index]);
}

template <int Part> void CIQuaternion::GetAngle() {
    float parts[4];
    QuatToAxisAngle(q, &parts[0], &parts[1], &parts[2], &parts[3]);
    interpreter->GetResultSlot()->SetFloat(parts[Part]);
}

void CIQuaternion::SetFromAngle() {
    if (interpreter->GetArgCount() != 4) interpreter->RaiseError(kWrongArgumentCount);
    double values[4];
    for (uint32_t i = 0; i < 4; ++i)
        values[i] = RequiredNumber(i);
    QuatFromAxisAngle(float(values[0]), float(values[1]), float(values[2]), float(values[3]), q);
}

void CIQuaternion::SetValue() {
    const int32_t count = interpreter->GetArgCount();
    if (count == 0 || (count == 1 && interpreter->IsArgDefault(0))) return QuatZero(q);
    const CValue& first = *interpreter->GetArg(0);
    if (count == 1 && first.IsObjectOfClass(kClassId)) return QuatCopy(QuaternionArg(0), q);
    if (count == 1 && first.IsObjectOfClass(CIMatrix::kClassId))
        return QuatFromMatrix(static_cast<const CIMatrix*>(first.ObjectPayload())->m, q);
    if (count != 4) interpreter->RaiseError(kWrongArgumentCount);
    double values[4];
    for (uint32_t i = 0; i < 4; ++i)
        values[i] = RequiredNumber(i);
    QuatSet(float(values[0]), float(values[1]), float(values[2]), float(values[3]), q);
}

void CIQuaternion::SetIdentity() {
    QuatIdentity(q);
}

void CIQuaternion::Reset() {
    QuatZero(q);
}

template <void (*Op)(const float*, const float*, float*)> void CIQuaternion::Binary() {
    // Copies first: the argument may be the receiver itself.
    float left[4], right[4];
    QuatCopy(q, left);
    QuatCopy(QuaternionArg(0), right);
    Op(left, right, q);
}

template <void (*Op)(const float*, float*)> void CIQuaternion::Unary() {
    float value[4];
    QuatCopy(q, value);
    Op(value, q);
}

void CIQuaternion::GetLength() {
    interpreter->GetResultSlot()->SetFloat(QuatLength(q));
}

void CIQuaternion::DotProductUniformized() {
    interpreter->GetResultSlot()->SetFloat(QuatDotUnit(q, QuaternionArg(0)));
}

void CIQuaternion::DotProduct() {
    interpreter->GetResultSlot()->SetFloat(QuatDot(q, QuaternionArg(0)));
}

void CIQuaternion::Scale() {
    const double s = RequiredNumber(0);
    float value[4];
    QuatCopy(q, value);
    QuatScale(value, float(s), q);
}

void CIQuaternion::Rescale() {
    const double length = RequiredNumber(0);
    float value[4];
    QuatCopy(q, value);
    QuatRescale(value, float(length), q);
}

void CIQuaternion::IsEqual() {
    interpreter->GetResultSlot()->SetInt(QuatIsEqual(q, QuaternionArg(0)));
}

void CIQuaternion::Negate() {
    for (float& component : q)
        component = -component;
}

void CIQuaternion::Slerp() {
    float to[4];
    QuatCopy(QuaternionArg(0), to);
    const double spin = RequiredNumber(1);
    const double t = RequiredNumber(2);
    double d = 0;
    for (int i = 0; i < 4; ++i)
        d += double(q[i]) * to[i];
    // The shorter way round: q's part changes sign instead.
    double sign = 1;
    if (d < 0) {
        d = -d;
        sign = -1;
    }
    double k0, k1;
    if (1 - d < 0.000001) {
        k0 = 1 - t;
        k1 = t;
    } else {
        const double omega = std::acos(d);
        const double phi = (spin * kSlerpPi + omega) * t;
        k0 = std::sin(omega - phi) / std::sin(omega);
        k1 = std::sin(phi) / std::sin(omega);
    }
    k1 *= sign;
    for (int i = 0; i < 4; ++i)
        q[i] = float(k0 * q[i] + k1 * to[i]);
}

void CIQuaternion::MakeMatrix() {
    float m[16];
    MatrixIdentity(m);
    QuatToMatrix(q, m);
    interpreter->GetResultSlot()->SetObject(CIMatrix::Make(*interpreter, m), 1);
}

void CIQuaternion::MakeInvertedMatrix() {
    float m[16];
    MatrixIdentity(m);
    QuatToInverseMatrix(q, m);
    interpreter->GetResultSlot()->SetObject(CIMatrix::Make(*interpreter, m), 1);
}

const ScriptClassInfo* GetQuaternionClassInfo() {
    return &kQuaternionClass;
}
