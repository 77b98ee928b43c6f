// Key-frame animation tracks: doubly linked lists of key records. Vector tracks use
// Kochanek-Bartels (tension, continuity, bias) Hermite splines with an ease curve per
// segment, rotation tracks squad between orientations with extra spins, matrix tracks
// blend accumulated key matrices linearly.
//
// Frames come from files, where equal frames are common: every division by a span of
// time is guarded, so no file value brings NaN into a matrix.
#pragma once

#include <cstdint>

#include "foundation/containers/owned_ptr_array.h"

// One element of a point-move key: a point index and five values (24 bytes, the record
// size of OwnedPtrArray).
struct LPointMove {
    uint32_t index;
    float values[5];
};
static_assert(sizeof(LPointMove) == OwnedPtrArray::kRecordSize);

struct LKey {
    float frame = 0;
    float tension = 0;
    float bias = 0;
    float continuity = 0;
    float easeTo = 0;
    float easeFrom = 0;
    // Vector tracks: (x, y, z, w); rotation tracks: (angle, axis x, y, z) of the key's own
    // turn; matrix tracks: a 4x4 matrix.
    float value[16] = {};
    uint32_t elementCount = 0;
    // LPointMove records of an element track's key.
    OwnedPtrArray elements;
    float ds[4] = {};
    float dd[4] = {};
    float rotationDs[4] = {};
    float rotationDd[4] = {};
    // Rotation tracks: the absolute orientation at this key. Zero, not the identity, in a
    // new key: the readers set it.
    float orientation[4] = {};
    float accumulated[16] = {};
    LKey* next = nullptr;
    LKey* previous = nullptr;
};

struct LKeyTrack {
    static constexpr uint32_t kLoopTangents = 3;

    // Any non-zero value wraps the time; bits 0-1 select the looping tangent set-up.
    uint32_t flags = 0;
    uint32_t count = 0;
    // The frame of the last appended key; the period of a looping track.
    float endFrame = 0;
    LKey* first = nullptr;
    // The evaluators' search start (the key found last); the last appended key until an
    // evaluator moves it.
    LKey* last = nullptr;
    // The end of the list, kept so that appending does not walk it.
    LKey* tail = nullptr;

    static LKeyTrack* Create() { return new LKeyTrack; }
    static LKey* CreateKey() { return new LKey; }
};

enum KeyTrackKind {
    kTrackTranslation,
    kTrackScale,
    kTrackRotation,
    kTrackMorph,
    kTrackHide,
    kTrackMatrix,
    kTrackPointMoves,
    kTrackKindCount
};

struct LKeyTrackSet {
    LKeyTrack* tracks[kTrackKindCount] = {};
};

// 0 for a null track or key; else the key, at `frame`, becomes the new tail; 1.
int AppendKey(LKeyTrack* track, LKey* key, int32_t frame);
// T, B, C, both eases, the tangents and the three quaternions.
void CopyKey(LKey* dst, const LKey* src);
void RemoveKey(LKeyTrack* track, LKey* key);
void DestroySet(LKeyTrackSet* set);

// 0 for a track of fewer than two keys, else 1.
int ComputeTCBTangents(LKeyTrack* track);
int ComputeRotationTangents(LKeyTrack* track);
// Each key's accumulated matrix is the product of the key matrices up to it; returns the
// last one, or null for a track without keys.
const float* AccumulateMatrices(LKeyTrack* track);

// Each evaluator answers 0 and leaves out alone for a track without keys or a time that is
// negative after wrapping; else 1.
int EvalVector(LKeyTrack* track, float t, float* out);
int EvalElement(LKeyTrack* track, float t, int32_t i, LPointMove* out);
int EvalRotation(LKeyTrack* track, float t, float* outQuat);
// A time before every key gives the first key's matrix.
int EvalMatrix(LKeyTrack* track, float t, float* out);

uint32_t GetElementCount(const LKeyTrack* track);
int HasKeyAt(const LKeyTrack* track, float frame);
// a is the departing key's ease from, b the arriving key's ease to.
float EaseCurve(float u, float a, float b);
