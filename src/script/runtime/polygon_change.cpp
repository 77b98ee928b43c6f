// Polygon-change batches of the 3D classes: inside a batch, changes of the same object are
// merged and applied once when the outermost batch closes.
#include "script/runtime/polygon_change.h"
#include "foundation/memory/memory_helpers.h"
#include "script/interpreter/interpretor.h"

namespace {

constexpr uint32_t kDeferredGrowth = 16;

} // namespace

void CInterpretor::BeginEndPolygonChange(int open) {
    if (open)
        ++polygonBatchDepth_;
    else
        EndPolygonChange(-1);
}

void CInterpretor::EndPolygonChange(int box) {
    if (polygonBatchDepth_ <= 0) return;
    if (--polygonBatchDepth_ != 0) return;
    // The list is taken first: an apply may open a batch of its own or raise an error.
    DeferredPolygonChange* changes = deferred_;
    uint32_t count = deferredCount_;
    deferred_ = nullptr;
    deferredCount_ = 0;
    deferredCapacity_ = 0;
    struct Release {
        DeferredPolygonChange*& changes;
        ~Release() { MemFree(&changes); }
    } release{changes};
    for (uint32_t i = 0; i < count; ++i)
        changes[i].object->ApplyPolygonChange(changes[i].geometry, box < 0 ? changes[i].box : box);
}

void CInterpretor::ApplyOrDeferPolygonChange(CPolygonChangeTarget* object, int geometry, int box) {
    if (object == nullptr) return;
    if (polygonBatchDepth_ <= 0) {
        object->ApplyPolygonChange(geometry, box);
        return;
    }
    uint32_t slot = object->deferredSlot_;
    if (slot != 0 && slot <= deferredCount_ && deferred_[slot - 1].object == object) {
        if (geometry) deferred_[slot - 1].geometry = geometry;
        if (box) deferred_[slot - 1].box = box;
        return;
    }
    if (deferredCount_ == deferredCapacity_) {
        if (!MemRealloc(size_t(deferredCapacity_ + kDeferredGrowth) * sizeof(DeferredPolygonChange),
                        &deferred_))
            RaiseError(15);
        deferredCapacity_ += kDeferredGrowth;
    }
    deferred_[deferredCount_++] = {object, geometry, box};
    object->deferredSlot_ = deferredCount_;
}

void CInterpretor::CancelDeferredPolygonChange(CPolygonChangeTarget* object) {
    for (uint32_t i = deferredCount_; i-- > 0;) {
        if (deferred_[i].object == object) RemoveDeferredPolygonChangeAt(i);
    }
}

void CInterpretor::RemoveDeferredPolygonChangeAt(uint32_t index) {
    if (index >= deferredCount_) return;
    deferred_[index].object->deferredSlot_ = 0;
    for (uint32_t i = index + 1; i < deferredCount_; ++i) {
        deferred_[i - 1] = deferred_[i];
        deferred_[i - 1].object->deferredSlot_ = i;
    }
    --deferredCount_;
    if (deferredCapacity_ - deferredCount_ > kDeferredGrowth) {
        uint32_t capacity = deferredCapacity_ - kDeferredGrowth;
        if (capacity == 0) {
            MemFree(&deferred_);
            deferredCapacity_ = 0;
        } else if (MemRealloc(size_t(capacity) * sizeof(DeferredPolygonChange), &deferred_)) {
            deferredCapacity_ = capacity;
        }
    }
}
