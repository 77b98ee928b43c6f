#include "classes/surface/point_array_class.h"

#include <algorithm>
#include <new>

#include "script/interpreter/interpretor.h"

namespace {

constexpr int32_t kErrorNoMemory = 15;
constexpr int32_t kErrorMissingValue = 19;
constexpr int32_t kErrorValueCount = 56;
constexpr int32_t kErrorOutOfRange = 115;

const MethodNameRow kNameTable[] = {
    {CIPointArray::kClassId, "PointArray", 0, 0},
    {CIPointArray::kAddPoint, "AddPoint", 0, 0},
    {CIPointArray::kInsertPoint, "InsertPoint", 0, 0},
    {CIPointArray::kDeletePoint, "DeletePoint", 0, 0},
    {CIPointArray::kGetNPoints, "GetNPoints", 0, 0},
    {CIPointArray::kGetCoord, "GetCoord", 0, 0},
    {CIPointArray::kSetPoint, "SetPoint", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewPointArray(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIPointArray(&interpreter, record);
}

} // namespace

const ScriptMethod<CIPointArray> CIPointArray::kMethods[kMethodCount] = {
    nullptr,
    &CIPointArray::AddPoint,
    &CIPointArray::InsertPoint,
    &CIPointArray::DeletePoint,
    &CIPointArray::GetNPoints,
    &CIPointArray::GetCoord,
    &CIPointArray::SetPoint,
};

CIPointArray::CIPointArray(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

void CIPointArray::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIPointArray::Destroy(int) {
    delete this;
}

void CIPointArray::Create() {
    if (!interpreter->IsArgDefault(0)) {
        const int32_t dimension = interpreter->GetArgInt(0);
        if (dimension < 1) interpreter->RaiseError(kErrorOutOfRange);
        dimension_ = dimension;
    }
    Register();
    if (interpreter->GetArgCount() > 1) Fill(0, 1);
}

void CIPointArray::Reserve(int64_t points) {
    if (points <= capacity_) return;
    const int64_t floats = points * dimension_;
    if (points > INT32_MAX || floats > INT32_MAX) interpreter->RaiseError(kErrorNoMemory);
    try {
        values_.resize(static_cast<size_t>(floats));
    } catch (const std::bad_alloc&) {
        interpreter->RaiseError(kErrorNoMemory);
    }
    capacity_ = static_cast<int32_t>(points);
}

int32_t CIPointArray::PointsGiven(uint32_t first) {
    const int32_t values = interpreter->GetArgCount() - static_cast<int32_t>(first);
    if (values < 1 || values % dimension_ != 0) interpreter->RaiseError(kErrorValueCount);
    return values / dimension_;
}

int32_t CIPointArray::IndexArgument(uint32_t i, int32_t last) {
    const int32_t index = interpreter->GetArgInt(i);
    if (interpreter->IsArgDefault(i) || index < 0 || index > last)
        interpreter->RaiseError(kErrorOutOfRange);
    return index;
}

void CIPointArray::CheckValues(uint32_t first) {
    for (int32_t i = static_cast<int32_t>(first); i < interpreter->GetArgCount(); ++i)
        if (interpreter->IsArgDefault(static_cast<uint32_t>(i)))
            interpreter->RaiseError(kErrorMissingValue);
}

void CIPointArray::Fill(int32_t at, uint32_t first) {
    if (interpreter->GetArgCount() - static_cast<int32_t>(first) < 1) return;
    const int32_t points = PointsGiven(first);
    CheckValues(first);
    Reserve(int64_t{at} + points);
    const uint32_t values = static_cast<uint32_t>(points) * static_cast<uint32_t>(dimension_);
    for (uint32_t k = 0; k < values; ++k)
        values_[static_cast<size_t>(at) * static_cast<size_t>(dimension_) + k] =
            static_cast<float>(interpreter->GetArgFloat(first + k));
    count_ = std::max(count_, at + points);
}

void CIPointArray::AddPoint() {
    Fill(count_, 0);
}

void CIPointArray::InsertPoint() {
    const int32_t index = IndexArgument(0, count_);
    const int32_t points = PointsGiven(1);
    CheckValues(1);
    Reserve(int64_t{count_} + points);
    const size_t dimension = static_cast<size_t>(dimension_);
    std::copy_backward(values_.begin() + static_cast<std::ptrdiff_t>(index * dimension),
                       values_.begin() + static_cast<std::ptrdiff_t>(count_ * dimension),
                       values_.begin() +
                           static_cast<std::ptrdiff_t>((count_ + points) * dimension));
    count_ += points;
    Fill(index, 1);
}

void CIPointArray::DeletePoint() {
    if (interpreter->GetArgCount() == 0) {
        std::vector<float>().swap(values_);
        capacity_ = 0;
        count_ = 0;
        return;
    }
    const int32_t index = IndexArgument(0, count_ - 1);
    const size_t dimension = static_cast<size_t>(dimension_);
    std::copy(values_.begin() + static_cast<std::ptrdiff_t>((index + 1) * dimension),
              values_.begin() + static_cast<std::ptrdiff_t>(count_ * dimension),
              values_.begin() + static_cast<std::ptrdiff_t>(index * dimension));
    --count_;
}

void CIPointArray::GetNPoints() {
    interpreter->GetResultSlot()->SetInt(count_);
}

void CIPointArray::GetCoord() {
    const int32_t index = IndexArgument(0, count_ - 1);
    const int32_t component = IndexArgument(1, dimension_ - 1);
    interpreter->GetResultSlot()->SetFloat(Value(index, component));
}

void CIPointArray::SetPoint() {
    const int32_t index = IndexArgument(0, count_);
    PointsGiven(1);
    Fill(index, 1);
}

const ScriptClassInfo* GetPointArrayClassInfo() {
    static const ScriptClassInfo info{kNameTable, &NewPointArray, 0, nullptr, 0, nullptr, nullptr};
    return &info;
}
