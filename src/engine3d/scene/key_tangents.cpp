#include "engine3d/scene/key_track.h"

#include <cmath>

#include "engine3d/scene/quaternion.h"

namespace {

// Beyond this difference of angles two rotation keys are more than a full turn apart.
constexpr double kFullTurn = 6.28318430718;

// A span of time used as a divisor; keys at equal frames would make it 0.
double GuardedSpan(double span) {
    return span == 0 ? 0.01 : span;
}

// The Kochanek-Bartels weights of key c, with time weights fp and fn.
struct TcbWeights {
    double ksm, ksp, kdm, kdp;

    TcbWeights(const LKey& c, double fp, double fn) {
        double cm = 1 - double(c.continuity);
        double cp = 2 - cm;
        double tm = (1 - double(c.tension)) * 0.5;
        double bm = 1 - double(c.bias);
        double bp = 2 - bm;
        ksm = tm * cm * bp * fp;
        ksp = tm * cp * bm * fp;
        kdm = tm * cp * bp * fn;
        kdp = tm * cm * bm * fn;
    }
};

// Time weights of key c from the frame differences to its neighbours (before and after
// c) and across both (h is half of it).
void TimeWeights(const LKey& c, double before, double after, double across, double& fp,
                 double& fn) {
    double h = GuardedSpan(across * 0.5);
    fp = before / h;
    fn = after / h;
    double cc = std::fabs(double(c.continuity));
    fp = cc + fp - cc * fp;
    fn = cc + fn - cc * fn;
}

void TcbTangents(LKey& c, const LKey& p, const LKey& n, double before, double after,
                 double across) {
    double fp, fn;
    TimeWeights(c, before, after, across, fp, fn);
    TcbWeights w(c, fp, fn);
    for (int j = 0; j < 4; ++j) {
        double delm = double(c.value[j]) - p.value[j];
        double delp = double(n.value[j]) - c.value[j];
        c.ds[j] = static_cast<float>(w.ksm * delm + w.ksp * delp);
        c.dd[j] = static_cast<float>(w.kdm * delm + w.kdp * delp);
    }
}

// The end tangent of an open track from its three end keys: `end` is the first key
// (sign 1) or the last (sign -1, the differences then run backwards), `near` its
// neighbour and `far` the one after.
void OpenEndTangent(const LKey& end, const LKey& near, const LKey& far, double sign,
                    float* tangent) {
    double a = 0.75 - sign * (double(near.frame) - end.frame) /
                          (2 * GuardedSpan(sign * (double(far.frame) - end.frame)));
    for (int j = 0; j < 4; ++j) {
        double d1 = sign * (double(near.value[j]) - end.value[j]);
        double d2 = sign * (double(far.value[j]) - end.value[j]);
        tangent[j] =
            static_cast<float>(((d1 - 0.5 * d2) * 1.5 + a * d2) * (1 - double(end.tension)));
    }
}

void QuatOf(double w, double x, double y, double z, float* out) {
    out[0] = static_cast<float>(w);
    out[1] = static_cast<float>(x);
    out[2] = static_cast<float>(y);
    out[3] = static_cast<float>(z);
}

// The logarithmic difference between c and a neighbour (before c when `before`), or, for
// keys more than a full turn apart, the logarithm of the later key's axis.
void RotationDifference(const LKey& c, const LKey& neighbour, bool before, float* out) {
    const LKey& later = before ? c : neighbour;
    if (std::fabs(double(c.value[0]) - neighbour.value[0]) > kFullTurn) {
        float axis[4] = {0, later.value[1], later.value[2], later.value[3]};
        QuatLog(axis, out);
        return;
    }
    float q[4];
    QuatCopy(neighbour.orientation, q);
    if (QuatDot(q, c.orientation) < 0) QuatUnitConjugate(q, q);
    if (before)
        QuatLnDif(q, c.orientation, out);
    else
        QuatLnDif(c.orientation, q, out);
}

void ComputeRotationKeyTangents(const LKey* p, LKey& c, const LKey* n) {
    float qp[4] = {}, qn[4] = {};
    if (p != nullptr) RotationDifference(c, *p, true, qp);
    if (n != nullptr) RotationDifference(c, *n, false, qn);
    if (p == nullptr) QuatCopy(qn, qp);
    if (n == nullptr) QuatCopy(qp, qn);
    double fp = 1, fn = 1;
    if (p != nullptr && n != nullptr)
        TimeWeights(c, double(c.frame) - p->frame, double(n->frame) - c.frame,
                    double(n->frame) - p->frame, fp, fn);
    TcbWeights w(c, fp, fn);
    double qa[4], qb[4];
    for (int j = 0; j < 4; ++j) {
        qa[j] = 0.5 * (w.kdm * qp[j] + (w.kdp - 1) * qn[j]);
        qb[j] = 0.5 * ((1 - w.ksm) * qp[j] - w.ksp * qn[j]);
    }
    float expA[4], expB[4];
    QuatOf(qa[0], qa[1], qa[2], qa[3], expA);
    QuatOf(qb[0], qb[1], qb[2], qb[3], expB);
    QuatExp(expA, expA);
    QuatExp(expB, expB);
    QuatMultiply(c.orientation, expA, c.rotationDs);
    QuatMultiply(c.orientation, expB, c.rotationDd);
}

} // namespace

int ComputeTCBTangents(LKeyTrack* track) {
    if (track->count < 2 || track->first == nullptr || track->first->next == nullptr) return 0;
    LKey& k0 = *track->first;
    LKey& k1 = *k0.next;
    if (k1.next == nullptr) {
        for (int j = 0; j < 4; ++j) {
            double difference = double(k1.value[j]) - k0.value[j];
            k0.ds[j] = 0;
            k0.dd[j] = static_cast<float>(difference * (1 - double(k0.tension)));
            k1.dd[j] = 0;
            k1.ds[j] = static_cast<float>(difference * (1 - double(k1.tension)));
        }
        return 1;
    }
    LKey& last = *track->tail;
    for (LKey* c = k0.next; c != &last; c = c->next) {
        const LKey& p = *c->previous;
        const LKey& n = *c->next;
        TcbTangents(*c, p, n, double(c->frame) - p.frame, double(n.frame) - c->frame,
                    double(n.frame) - p.frame);
    }
    if ((track->flags & LKeyTrack::kLoopTangents) == 0) {
        OpenEndTangent(k0, k1, *k1.next, 1, k0.dd);
        const LKey& l1 = *last.previous;
        OpenEndTangent(last, l1, *l1.previous, -1, last.ds);
        return 1;
    }
    // Across the seam the neighbours are the last key's predecessor and the first key's
    // successor, a period away.
    double period = track->endFrame;
    const LKey& penultimate = *last.previous;
    TcbTangents(k0, penultimate, k1, double(k0.frame) - penultimate.frame + period,
                double(k1.frame) - k0.frame, double(k1.frame) - penultimate.frame + period);
    TcbTangents(last, penultimate, k1, double(last.frame) - penultimate.frame,
                double(k1.frame) - last.frame + period,
                double(k1.frame) - penultimate.frame + period);
    return 1;
}

int ComputeRotationTangents(LKeyTrack* track) {
    if (track->count < 2 || track->first == nullptr || track->first->next == nullptr) return 0;
    LKey& first = *track->first;
    LKey& last = *track->tail;
    for (LKey* c = first.next; c != &last; c = c->next)
        ComputeRotationKeyTangents(c->previous, *c, c->next);
    if ((track->flags & LKeyTrack::kLoopTangents) != 0) {
        ComputeRotationKeyTangents(last.previous, first, first.next);
        ComputeRotationKeyTangents(nullptr, last, first.next);
    } else {
        ComputeRotationKeyTangents(nullptr, first, first.next);
        // The last key's own predecessor, as for vector tracks.
        ComputeRotationKeyTangents(last.previous, last, nullptr);
    }
    return 1;
}
