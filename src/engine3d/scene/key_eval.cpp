#include "engine3d/scene/key_track.h"

#include <algorithm>
#include <cmath>

#include "engine3d/scene/float_to_int.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/quaternion.h"

namespace {

// 1/2π as the engine has always written it.
constexpr double kInverseTwoPi = 0.15915494309188485;

enum class Found { kNothing, kHold, kSegment };

struct Segment {
    const LKey* key = nullptr;
    const LKey* next = nullptr;
    // The eased position between key and next.
    double u = 0;
};

// The key (or pair of keys) that time t falls on, for the vector, element and rotation
// evaluators. A looping track with a period of 0 is not wrapped.
Found FindSegment(LKeyTrack* track, double t, Segment& segment) {
    if (track == nullptr || track->first == nullptr) return Found::kNothing;
    if (track->flags != 0 && track->endFrame != 0) t = std::fmod(t, double(track->endFrame));
    const LKey* first = track->first;
    if (first->next == nullptr || t <= first->frame) {
        segment.key = first;
        return Found::kHold;
    }
    if (t < 0) return Found::kNothing;
    LKey* key = track->last;
    if (key == nullptr || t < key->frame) key = track->first;
    while (key->next != nullptr && t > key->next->frame)
        key = key->next;
    track->last = key;
    segment.key = key;
    if (key->next == nullptr || !(t >= key->frame)) return Found::kHold;
    segment.next = key->next;
    double span = double(key->next->frame) - key->frame;
    double fraction = span == 0 ? 0.0 : (t - key->frame) / span;
    segment.u = EaseCurve(static_cast<float>(fraction), key->easeFrom, key->next->easeTo);
    return Found::kSegment;
}

struct Hermite {
    double h1, h2, h3, h4;

    explicit Hermite(double u) {
        double u2 = u * u, u3 = u2 * u;
        h1 = 2 * u3 - 3 * u2 + 1;
        h2 = 3 * u2 - 2 * u3;
        h3 = u3 - 2 * u2 + u;
        h4 = u3 - u2;
    }

    float operator()(float from, float to, float outgoing, float incoming) const {
        return static_cast<float>(h1 * from + h2 * to + h3 * outgoing + h4 * incoming);
    }
};

const LPointMove* ElementOf(const LKey* key, int32_t i) {
    return static_cast<const LPointMove*>(key->elements.GetAt(i));
}

} // namespace

float EaseCurve(float u, float a, float b) {
    double s = double(a) + b;
    if (s == 0) return u;
    double from = a, to = b;
    if (s > 1) {
        from /= s;
        to /= s;
    }
    double k = 1 / (2 - from - to);
    if (u < from) return static_cast<float>(k / from * u * u);
    if (u < 1 - to) return static_cast<float>(k * (2 * double(u) - from));
    double v = 1 - double(u);
    double arrival = to == 0 ? 0.01 : to;
    return static_cast<float>(1 - k / arrival * v * v);
}

int EvalVector(LKeyTrack* track, float t, float* out) {
    Segment segment;
    switch (FindSegment(track, t, segment)) {
    case Found::kNothing:
        return 0;
    case Found::kHold:
        std::copy(segment.key->value, segment.key->value + 4, out);
        return 1;
    case Found::kSegment:
        break;
    }
    Hermite hermite(segment.u);
    const LKey* k = segment.key;
    const LKey* n = segment.next;
    for (int j = 0; j < 3; ++j)
        out[j] = hermite(k->value[j], n->value[j], k->dd[j], n->ds[j]);
    return 1;
}

int EvalElement(LKeyTrack* track, float t, int32_t i, LPointMove* out) {
    Segment segment;
    Found found = FindSegment(track, t, segment);
    if (found == Found::kNothing) return 0;
    const LPointMove* from = ElementOf(segment.key, i);
    if (from == nullptr) return 0;
    if (found == Found::kHold) {
        *out = *from;
        return 1;
    }
    const LPointMove* to = ElementOf(segment.next, i);
    if (to == nullptr) return 0;
    // The tangents are the keys' own: x for the first value, y for the second, z for
    // the other three.
    static constexpr int kTangent[5] = {0, 1, 2, 2, 2};
    Hermite hermite(segment.u);
    out->index = from->index;
    for (int j = 0; j < 5; ++j)
        out->values[j] = hermite(from->values[j], to->values[j], segment.key->dd[kTangent[j]],
                                 segment.next->ds[kTangent[j]]);
    return 1;
}

int EvalRotation(LKeyTrack* track, float t, float* outQuat) {
    Segment segment;
    switch (FindSegment(track, t, segment)) {
    case Found::kNothing:
        return 0;
    case Found::kHold:
        QuatCopy(segment.key->orientation, outQuat);
        return 1;
    case Found::kSegment:
        break;
    }
    const LKey* k = segment.key;
    const LKey* n = segment.next;
    float u = static_cast<float>(segment.u);
    int32_t spin = TruncateToInt32((double(n->value[0]) - k->value[0]) * kInverseTwoPi);
    float a[4], b[4];
    QuatSlerpNoFlip(k->orientation, n->orientation, spin, u, a);
    QuatSlerpNoFlip(k->rotationDd, n->rotationDs, spin, u, b);
    QuatSlerpNoFlip(a, b, 0, static_cast<float>(2 * segment.u * (1 - segment.u)), outQuat);
    return 1;
}

int EvalMatrix(LKeyTrack* track, float t, float* out) {
    if (track == nullptr || track->first == nullptr) return 0;
    MatrixZero(out);
    // The key at t exactly, searched from the key found last; meanwhile the latest key
    // not after t.
    LKey* start = track->last ? track->last : track->first;
    const LKey* below = nullptr;
    LKey* key = start;
    do {
        if (key->frame == t) {
            track->last = key;
            MatrixCopy(key->accumulated, out);
            return 1;
        }
        if (key->frame <= t && (below == nullptr || key->frame > below->frame)) below = key;
        key = key->next ? key->next : track->first;
    } while (key != start);
    if (below == nullptr) {
        MatrixCopy(track->first->accumulated, out);
        return 1;
    }
    const LKey* next = below->next ? below->next : track->first;
    if (next == below) {
        MatrixCopy(below->accumulated, out);
        return 1;
    }
    double span = double(next->frame) - below->frame;
    double u = span == 0 ? 0.0 : (t - below->frame) / span;
    for (int i = 0; i < 12; ++i)
        out[i] = static_cast<float>(below->accumulated[i] +
                                    (double(next->accumulated[i]) - below->accumulated[i]) * u);
    return 1;
}

const float* AccumulateMatrices(LKeyTrack* track) {
    if (track->first == nullptr) return nullptr;
    float running[16];
    MatrixCopy(track->first->value, running);
    MatrixCopy(running, track->first->accumulated);
    for (LKey* key = track->first->next; key != nullptr; key = key->next) {
        MatrixMultiply(running, key->value, running);
        MatrixCopy(running, key->accumulated);
    }
    return track->tail->accumulated;
}
