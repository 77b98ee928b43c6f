// The PointArray class: a growable array of points of a fixed number of float components,
// independent of any World. Surfaces draw polygons through it; 3D objects and polygons
// take their vertices from it.
#pragma once

#include <cstdint>
#include <vector>

#include "script/classes/base_class.h"

class CIPointArray : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 10;

    enum : uint16_t {
        kAddPoint = 1,
        kInsertPoint,
        kDeletePoint,
        kGetNPoints,
        kGetCoord,
        kSetPoint,
        kMethodCount,
    };

    CIPointArray(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    // new PointArray([dimension], values...): dimension 3 when not given.
    void Create() override;

    int32_t Dimension() const { return dimension_; }
    int32_t Count() const { return count_; }
    // Component `component` of point `point`; both must be in range.
    float Value(int32_t point, int32_t component) const {
        return values_[static_cast<size_t>(point) * static_cast<size_t>(dimension_) +
                       static_cast<size_t>(component)];
    }

private:
    void AddPoint();
    void InsertPoint();
    void DeletePoint();
    void GetNPoints();
    void GetCoord();
    void SetPoint();

    // The points of arguments `first` on, written from point `at`; nothing without values.
    void Fill(int32_t at, uint32_t first);
    // Error 19 when an argument from `first` on is the missing value: checked before
    // anything changes, so that a failed call leaves the points as they were.
    void CheckValues(uint32_t first);
    // Room for `points` points at least; error 15 when the memory cannot be had.
    void Reserve(int64_t points);
    // The number of points the arguments from `first` on make: error 56 unless a
    // non-zero multiple of the dimension.
    int32_t PointsGiven(uint32_t first);
    // An index argument within 0 .. `last`, else error 115.
    int32_t IndexArgument(uint32_t i, int32_t last);

    std::vector<float> values_;
    int32_t capacity_ = 0;
    int32_t dimension_ = 3;
    int32_t count_ = 0;

    static const ScriptMethod<CIPointArray> kMethods[kMethodCount];
};

const ScriptClassInfo* GetPointArrayClassInfo();
