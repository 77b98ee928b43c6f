#include "engine3d/scene/key_track.h"

#include <algorithm>

int AppendKey(LKeyTrack* track, LKey* key, int32_t frame) {
    if (track == nullptr || key == nullptr) return 0;
    key->next = nullptr;
    key->previous = track->tail;
    key->frame = static_cast<float>(frame);
    if (track->tail != nullptr)
        track->tail->next = key;
    else
        track->first = key;
    track->tail = key;
    track->last = key;
    track->endFrame = key->frame;
    ++track->count;
    return 1;
}

void CopyKey(LKey* dst, const LKey* src) {
    dst->tension = src->tension;
    dst->bias = src->bias;
    dst->continuity = src->continuity;
    dst->easeTo = src->easeTo;
    dst->easeFrom = src->easeFrom;
    std::copy(src->ds, src->ds + 4, dst->ds);
    std::copy(src->dd, src->dd + 4, dst->dd);
    std::copy(src->rotationDs, src->rotationDs + 4, dst->rotationDs);
    std::copy(src->rotationDd, src->rotationDd + 4, dst->rotationDd);
    std::copy(src->orientation, src->orientation + 4, dst->orientation);
}

void RemoveKey(LKeyTrack* track, LKey* key) {
    if (key->previous != nullptr)
        key->previous->next = key->next;
    else
        track->first = key->next;
    if (key->next != nullptr)
        key->next->previous = key->previous;
    else
        track->tail = key->previous;
    // The search start must not be left on a deleted key.
    if (track->last == key) track->last = key->previous ? key->previous : key->next;
    --track->count;
    delete key;
}

void DestroySet(LKeyTrackSet* set) {
    if (set == nullptr) return;
    for (LKeyTrack* track : set->tracks) {
        if (track == nullptr) continue;
        while (track->first != nullptr)
            RemoveKey(track, track->first);
        delete track;
    }
    delete set;
}

uint32_t GetElementCount(const LKeyTrack* track) {
    return track->first ? track->first->elementCount : 0;
}

int HasKeyAt(const LKeyTrack* track, float frame) {
    for (const LKey* key = track->first; key != nullptr; key = key->next) {
        if (key->frame == frame) return 1;
    }
    return 0;
}
