#include "classes/scene3d/matrix_class.h"

#include <algorithm>
#include <new>

#include "classes/scene3d/script_number.h"
#include "classes/scene3d/vector_class.h"
#include "engine3d/scene/matrix.h"
#include "script/interpreter/interpretor.h"
#include "script/values/script_array.h"
#include "script/values/value.h"

namespace {

using X = CIMatrix;

constexpr int32_t kMissingIndex = 19;
constexpr int32_t kIndexOutOfRange = 88;
constexpr int kColumns = 4;
constexpr int kVisibleRows = 3;

const MethodNameRow kNameTable[] = {
    {X::kClassId, "Matrix", 0, 0},
    {X::kReset, "Reset", 0, 0},
    {X::kSetIdentity, "SetIdentity", 0, 0},
    {X::kSet, "Set", 0, 0},
    {X::kAddMatrix, "AddMatrix", 0, 0},
    {X::kSubMatrix, "SubMatrix", 0, 0},
    {X::kMulMatrix, "MulMatrix", 0, 0},
    {X::kTranspose, "Transpose", 0, 0},
    {X::kInvert, "Invert", 0, 0},
    {X::kNormalize, "Normalize", 0, 0},
    {X::kMakeTranslationMatrix, "MakeTranslationMatrix", 0, 0},
    {X::kMakeScaleMatrix, "MakeScaleMatrix", 0, 0},
    {X::kMakeRotationMatrix, "MakeRotationMatrix", 0, 0},
    {X::kSetValue, "SetValue", 0, 0},
    {X::kGetValue, "GetValue", 0, 0},
    {X::kGetEulerAngleX, "GetEulerAngleX", 0, 0},
    {X::kGetEulerAngleY, "GetEulerAngleY", 0, 0},
    {X::kGetEulerAngleZ, "GetEulerAngleZ", 0, 0},
    {X::kAddAngle, "AddAngle", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewMatrix(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIMatrix(&interpreter, record);
}

const ScriptClassInfo kMatrixClass = {kNameTable, NewMatrix, 0, nullptr, 0, nullptr, nullptr};

void ClearVisibleRows(float* out) {
    std::fill(out, out + kVisibleRows * kColumns, 0.0f);
}

} // namespace

const ScriptMethod<CIMatrix> CIMatrix::kMethods[kMethodCount] = {
    nullptr,
    &X::Reset,
    &X::SetIdentity,
    &X::Set,
    &X::AddMatrix,
    &X::SubMatrix,
    &X::MulMatrix,
    &X::Transpose,
    &X::Invert,
    &X::Normalize,
    &X::MakeTranslationMatrix,
    &X::MakeScaleMatrix,
    &X::MakeRotationMatrix,
    &X::SetValue,
    &X::GetValue,
    &X::GetEulerAngleX,
    &X::GetEulerAngleY,
    &X::GetEulerAngleZ,
    &X::AddAngle,
};

CIMatrix::CIMatrix(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

void CIMatrix::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIMatrix::Destroy(int) {
    delete this;
}

void CIMatrix::Create() {
    ReadArgument(*interpreter, 0, m);
    Register();
}

CIMatrix* CIMatrix::Make(CInterpretor& interpreter, const float* elements) {
    auto* matrix = new (std::nothrow) CIMatrix(&interpreter, interpreter.GetClassRecord(kClassId));
    if (matrix == nullptr) interpreter.RaiseError(15);
    MatrixCopy(elements, matrix->m);
    matrix->Register();
    return matrix;
}

void CIMatrix::ReadArgument(CInterpretor& in, uint32_t k, float* out) {
    const int32_t count = in.GetArgCount() - int32_t(k);
    if (count <= 0 || (count == 1 && in.IsArgDefault(k))) {
        MatrixZero(out);
        return;
    }
    const CValue& first = *in.GetArg(k);
    if (first.IsObjectOfClass(kClassId)) {
        if (count != 1) in.RaiseError(14);
        MatrixCopy(static_cast<const CIMatrix*>(first.ObjectPayload())->m, out);
        return;
    }
    if (first.IsObjectOfClass(CIVector::kClassId)) {
        // Exactly four columns: fewer would leave a transform with columns nobody gave.
        if (count != kColumns) in.RaiseError(14);
        for (int c = 0; c < kColumns; ++c) {
            const CValue& column = *in.GetArg(k + uint32_t(c));
            if (!column.IsObjectOfClass(CIVector::kClassId)) in.RaiseError(14);
            const float* v = static_cast<const CIVector*>(column.ObjectPayload())->v;
            for (int r = 0; r < kVisibleRows; ++r)
                out[kColumns * r + c] = v[r];
        }
        return;
    }
    if (first.GetType() == kValueArray) {
        const CScriptArray* array = first.GetArray();
        if (count != 1 || array == nullptr || array->dimensions != 2 ||
            array->sizes[0] != kVisibleRows || array->sizes[1] != kColumns)
            in.RaiseError(14);
        for (int32_t r = 0; r < kVisibleRows; ++r) {
            for (int32_t c = 0; c < kColumns; ++c) {
                const int32_t indices[2] = {r, c};
                const CValue* item = array->FindItem(indices, 2);
                out[kColumns * r + c] = item != nullptr ? float(NumberOf(in, *item)) : 0.0f;
            }
        }
        return;
    }
    if (count > kVisibleRows * kColumns) in.RaiseError(14);
    float read[kVisibleRows * kColumns] = {};
    for (int32_t i = 0; i < count; ++i)
        read[i] = float(NumberOf(in, *in.GetArg(k + uint32_t(i))));
    ClearVisibleRows(out);
    for (int32_t i = 0; i < count; ++i)
        out[kColumns * (i % kVisibleRows) + i / kVisibleRows] = read[i];
}

void CIMatrix::ReadOperand(float* out) {
    std::fill(out, out + 16, 0.0f);
    ReadArgument(*interpreter, 0, out);
}

int32_t CIMatrix::IndexArg(uint32_t i, int32_t last) {
    const CValue& value = *interpreter->GetArg(i);
    if (value.GetType() != kValueInt && value.GetType() != kValueDouble)
        interpreter->RaiseError(14);
    const int32_t index = value.GetInt();
    if (index < 0 || index > last) interpreter->RaiseError(kIndexOutOfRange);
    return index;
}

float CIMatrix::NumberArg(uint32_t i) {
    if (IsArgMissing(*interpreter, i)) interpreter->RaiseError(14);
    return float(NumberOf(*interpreter, *interpreter->GetArg(i)));
}

void CIMatrix::Reset() {
    MatrixZero(m);
}

void CIMatrix::SetIdentity() {
    MatrixIdentity(m);
}

void CIMatrix::Set() {
    ReadArgument(*interpreter, 0, m);
}

void CIMatrix::AddMatrix() {
    float b[16];
    ReadOperand(b);
    for (int i = 0; i < 16; ++i)
        m[i] = float(double(m[i]) + b[i]);
}

void CIMatrix::SubMatrix() {
    float b[16];
    ReadOperand(b);
    for (int i = 0; i < 16; ++i)
        m[i] = float(double(m[i]) - b[i]);
}

void CIMatrix::MulMatrix() {
    float b[16];
    ReadOperand(b);
    MatrixMultiply(m, b, m);
}

void CIMatrix::Transpose() {
    MatrixTranspose(m, m);
}

void CIMatrix::Invert() {
    // The engine makes a singular matrix its identity, all 16 elements; row 3 stays ours.
    float row3[4];
    std::copy(m + 12, m + 16, row3);
    MatrixInvert(m, m);
    std::copy(row3, row3 + 4, m + 12);
}

void CIMatrix::Normalize() {
    MatrixNormalize(m, m);
}

void CIMatrix::MakeTranslationMatrix() {
    float v[4];
    CIVector::ReadArgument(*interpreter, 0, v);
    MatrixMakeTranslation(v, m);
}

void CIMatrix::MakeScaleMatrix() {
    float v[4];
    CIVector::ReadArgument(*interpreter, 0, v);
    MatrixMakeScale(v, m);
}

void CIMatrix::MakeRotationMatrix() {
    const int32_t count = interpreter->GetArgCount();
    if (count != 3 && count != 6) interpreter->RaiseError(14);
    const float x = NumberArg(0);
    const float y = NumberArg(1);
    const float z = NumberArg(2);
    for (uint32_t i = 0; i < 3 && count == 6; ++i) {
        if (!IsArgMissing(*interpreter, 3 + i)) pivot[i] = NumberArg(3 + i);
    }
    MatrixMakeRotation(x, y, z, m, pivot);
}

void CIMatrix::AddAngle() {
    if (interpreter->GetArgCount() != 3) interpreter->RaiseError(14);
    const float x = NumberArg(0);
    const float y = NumberArg(1);
    const float z = NumberArg(2);
    float rotation[16] = {};
    MatrixMakeRotation(x, y, z, rotation);
    MatrixMultiply(m, rotation, m);
}

void CIMatrix::SetValue() {
    for (uint32_t i = 0; i < 3; ++i) {
        if (IsArgMissing(*interpreter, i)) interpreter->RaiseError(kMissingIndex);
    }
    const float value = float(NumberOf(*interpreter, *interpreter->GetArg(0)));
    const int32_t row = IndexArg(1, kVisibleRows - 1);
    const int32_t column = IndexArg(2, kColumns - 1);
    m[kColumns * row + column] = value;
}

void CIMatrix::GetValue() {
    for (uint32_t i = 0; i < 2; ++i) {
        if (IsArgMissing(*interpreter, i)) interpreter->RaiseError(kMissingIndex);
    }
    const int32_t row = IndexArg(0, kVisibleRows - 1);
    const int32_t column = IndexArg(1, kColumns - 1);
    interpreter->GetResultSlot()->SetFloat(m[kColumns * row + column]);
}

void CIMatrix::EulerAngle(int axis) {
    float angles[3];
    MatrixGetEulerAngles(m, angles);
    interpreter->GetResultSlot()->SetFloat(angles[axis]);
}

void CIMatrix::GetEulerAngleX() {
    EulerAngle(0);
}

void CIMatrix::GetEulerAngleY() {
    EulerAngle(1);
}

void CIMatrix::GetEulerAngleZ() {
    EulerAngle(2);
}

const ScriptClassInfo* GetMatrixClassInfo() {
    return &kMatrixClass;
}
