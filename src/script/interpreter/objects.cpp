// Deleting objects: Delete with its cascade through the dependent classes, and the
// garbage collection of objects nothing holds.
#include "foundation/containers/ptr_array.h"
#include "foundation/memory/memory_helpers.h"
#include "script/interpreter/interpretor.h"
#include "script/values/list_snapshot.h"
#include "script/values/script_array.h"

namespace {

// The objects of a class list at one moment. Destroying one object may destroy others
// or change the list, so each entry is checked to be the same live object before use.
using ObjectSnapshot = ListSnapshot<CIBaseClassImpl>;

constexpr uint32_t kNoDependents[] = {0};

} // namespace

void CInterpretor::StatementDelete() {
    SkipToken();
    CIBaseClassImpl* object = Evaluate()->GetObjectNonNull();
    if (object == static_cast<CIBaseClassImpl*>(this)) RaiseError(133);
    DeleteObject(object);
}

void CInterpretor::DeleteObject(CIBaseClassImpl* object) {
    if (shuttingDown != 0 || object == static_cast<CIBaseClassImpl*>(this)) return;
    // The singletons live as long as the run.
    if (object->classIndex < kClassSlotCount && singletons_[object->classIndex] == object) return;
    if (object->IsReferenced() && MarkReferencers(object)) {
        ObjectSnapshot snapshot;
        for (uint32_t classId = 1; classId < kClassSlotCount; ++classId) {
            if (classObjects[classId].GetHead() == 0) continue;
            if (!snapshot.Take(classObjects[classId])) RaiseError(15);
            for (uint32_t i = 0; i < snapshot.GetCount(); ++i) {
                CIBaseClassImpl* other = snapshot.Get(i);
                if (other != nullptr && other != object && other->deletingMark != 0)
                    DestroyObject(other);
            }
        }
    }
    DestroyObject(object);
}

int CInterpretor::MarkReferencers(CIBaseClassImpl* object) {
    // A work list instead of recursion: a long chain of dependents needs no stack.
    PtrArray pending;
    int marked = 0;
    object->deletingMark = 2;
    if (!pending.SetAtGrow(0, object)) RaiseError(15);
    ObjectSnapshot snapshot;
    while (uint32_t count = pending.GetCount()) {
        auto* target = static_cast<CIBaseClassImpl*>(pending.GetAt(count - 1));
        pending.SetSize(count - 1);
        const ScriptClassInfo* info =
            target->classRecord != nullptr ? target->classRecord->info : nullptr;
        const uint32_t* dependents = info != nullptr && info->dependentClasses != nullptr
                                         ? info->dependentClasses
                                         : kNoDependents;
        for (;; ++dependents) {
            uint32_t classId = *dependents;
            if (classId < kClassSlotCount && classObjects[classId].GetHead() != 0) {
                if (!snapshot.Take(classObjects[classId])) RaiseError(15);
                for (uint32_t i = 0; i < snapshot.GetCount(); ++i) {
                    CIBaseClassImpl* other = snapshot.Get(i);
                    if (other == nullptr || other->deletingMark == 2) continue;
                    if (other->ReleaseReferencesTo(target) == 0) continue;
                    other->deletingMark = 2;
                    ++marked;
                    if (!pending.SetAtGrow(int32_t(pending.GetCount()), other)) RaiseError(15);
                }
            }
            if (classId == 0) break;
        }
        // Every value holding the target reads as 0 from here on through its link, and
        // settles when next used: no walk through the variables and their arrays, which
        // made each deletion cost as much as everything the script holds.
        ForgetWindowObject(target);
        target->ClearReferences();
    }
    return marked != 0;
}

void CInterpretor::DestroyObject(CIBaseClassImpl* object) {
    // The interpreter's own pointers to a window object go with it, whether or not a
    // cascade released the object's holders.
    ForgetWindowObject(object);
    if (object->runningCalls > 0) {
        // Its own code is still running: it goes when that returns; every holder lets
        // go of it now.
        if (object->deletePending != 0) return;
        object->deletePending = 1;
        object->Unregister();
        if (object->listNode != 0 && object->classIndex < kClassSlotCount) {
            classObjects[object->classIndex].Remove(object->listNode);
            object->listNode = 0;
        }
        object->ClearReferences();
        return;
    }
    object->Destroy(0);
}

void CInterpretor::CollectGarbage() {
    // Arguments and stack places no longer in use let go of what they held.
    auto drop = [](CValue& value) {
        uint32_t type = value.GetType();
        if (type == kValueObject || type == kValueArray) value.SetInt(0);
    };
    for (uint32_t i = frameIndex_; i < frameCount_; ++i) {
        CallFrame& frame = *frames_[i];
        uint32_t from = i == frameIndex_ ? uint32_t(frame.count) : 0;
        for (uint32_t slot = from; slot < kFrameSlots; ++slot)
            drop(frame.slots[slot]);
    }
    for (uint32_t i = callNesting_; i < callRecordCount_; ++i)
        drop(callRecords_[i]->result);
    for (uint32_t i = depth_ + 1; i < stackCapacity_; ++i) {
        drop(slots_[i]->value);
        drop(slots_[i]->anchor);
        slots_[i]->anchorKind = kValueInt;
    }
    // Places in use may still hold an object that no part of their expression needs.
    for (uint32_t i = 0; i <= depth_ && i < stackCapacity_; ++i) {
        if (slots_[i]->anchorKind == kValueInt) drop(slots_[i]->anchor);
    }
    ObjectSnapshot snapshot;
    for (uint32_t classId = 0; classId < kClassSlotCount; ++classId) {
        if (classObjects[classId].GetHead() == 0) continue;
        if (!snapshot.Take(classObjects[classId])) RaiseError(15);
        for (uint32_t i = 0; i < snapshot.GetCount(); ++i) {
            CIBaseClassImpl* object = snapshot.Get(i);
            if (object != nullptr && object->runningCalls == 0 && !object->IsReferenced())
                DeleteObject(object);
        }
    }
    creations = 0;
}
