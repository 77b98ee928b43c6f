// Walks over an object's polygon and children lists, shared by the object's operations.
#pragma once

#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "foundation/containers/llist.h"

template <typename F> void ForEachPolygon(const LList* list, F&& f) {
    if (list == nullptr) return;
    for (LListNode* node = list->GetHead(); node != nullptr; node = node->next)
        f(static_cast<LPolygon*>(node->item));
}

// The walk takes the next node first, so that f may take the child out of the list.
template <typename F> void ForEachChild(const LList* children, F&& f) {
    if (children == nullptr) return;
    for (LListNode* node = children->GetHead(); node != nullptr;) {
        LListNode* next = node->next;
        f(static_cast<L3DObject*>(node->item));
        node = next;
    }
}

inline bool IsCloneType(uint32_t type) {
    return type == L3DObject::kClone || type == L3DObject::kAnimatedClone;
}
