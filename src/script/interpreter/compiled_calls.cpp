// The slot stack of compiled calls: the slots of a call are taken from its top as the
// call begins (by the caller, which evaluates the arguments straight into them) and
// given back, emptied, as it ends.
#include <new>

#include "script/interpreter/interpretor.h"

CValue* CInterpretor::ReserveSlotsInNewSegment(uint32_t count) {
    // The first segment, or the one above the top's, which holds nothing in use.
    uint32_t next = slotSegments_.empty() ? 0 : slotSegment_ + 1;
    if (next == slotSegments_.size()) slotSegments_.emplace_back();
    SlotSegment& segment = slotSegments_[next];
    if (segment.size < count) {
        uint32_t size = count > kSlotSegmentSize ? count : kSlotSegmentSize;
        auto* values = new (std::nothrow) CValue[size];
        if (values == nullptr) RaiseError(15);
        for (uint32_t i = 0; i < size; ++i)
            values[i].owner = this;
        segment.values.reset(values);
        segment.size = size;
    }
    slotSegment_ = next;
    segment.used = count;
    return segment.values.get();
}

void CInterpretor::ReleaseSlots(CValue* slots) {
    auto address = reinterpret_cast<uintptr_t>(slots);
    for (;;) {
        SlotSegment& segment = slotSegments_[slotSegment_];
        CValue* values = segment.values.get();
        auto begin = reinterpret_cast<uintptr_t>(values);
        bool inside = address >= begin && address <= begin + segment.used * sizeof(CValue);
        uint32_t from = inside ? uint32_t((address - begin) / sizeof(CValue)) : 0;
        for (uint32_t i = from; i < segment.used; ++i)
            values[i].SetInt(0);
        segment.used = from;
        if (inside || slotSegment_ == 0) return;
        --slotSegment_;
    }
}

void CInterpretor::ClearSlotStack() {
    for (SlotSegment& segment : slotSegments_) {
        for (uint32_t i = 0; i < segment.used; ++i)
            segment.values[i].SetInt(0);
        segment.used = 0;
    }
    slotSegment_ = 0;
    pendingTop_ = 0;
}

void CInterpretor::GrowPendingCalls(uint32_t top) {
    try {
        pendingCalls_.resize(top);
    } catch (const std::bad_alloc&) {
        RaiseError(15);
    }
}
