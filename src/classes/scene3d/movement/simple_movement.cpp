#include "classes/scene3d/movement/simple_movement.h"

#include <cmath>
#include <initializer_list>

#include "classes/scene3d/location_class.h"
#include "engine3d/scene/location.h"
#include "platform/kernel/clock.h"

namespace {

constexpr double kPi = 3.141592653589;
constexpr double kTwoPi = 6.283185307178;

void AnglesOf(const L3DLocation& location, float* out) {
    out[0] = location.GetXAngle();
    out[1] = location.GetYAngle();
    out[2] = location.GetZAngle();
}

// A turn about the location's own axes by angles in its stored convention. The engine's
// turns snap each angle within 0.001 of 0 to 0, which would lose the small shares of a
// slow tween; this one does not.
void TurnRaw(L3DLocation& location, float x, float y, float z) {
    if (!location.CanMove()) return;
    location.OnBeforeRotate();
    location.SetAngles(x, y, z, 1);
    location.OnRotated();
    location.SetRotationChanged(1);
}

// The same turn given in the callers' convention.
void TurnRelative(L3DLocation& location, const float* a) {
    const float sign = location.mirrored != 0 ? -1.0f : 1.0f;
    TurnRaw(location, sign * a[0], a[1], sign * a[2]);
}

void PlaceAt(L3DLocation& location, const float* p) {
    location.SetPositionFrom(L3DLocation(p[0], p[1], p[2]));
}

} // namespace

void CTDMSimple::Tween::Begin(uint32_t ms) {
    state = kRunning | (ms == 0 ? kImmediate : 0);
    start = timeGetTime();
    lastStep = start;
    duration = ms;
    done = 0;
}

void CTDMSimple::StartTranslation(const L3DLocation& target, uint32_t ms) {
    L3DLocation* location = OwnerLocation();
    if (location == nullptr) return;
    Tween& t = translation_;
    t.stepKind = kMoveToTarget;
    for (int i = 0; i < 3; ++i) {
        t.from[i] = location->position[i];
        t.to[i] = target.position[i];
        t.delta[i] = t.to[i] - t.from[i];
    }
    t.Begin(ms);
    Run();
}

void CTDMSimple::StartRotation(const L3DLocation& target, uint32_t ms, int relative,
                               int noCorrection) {
    L3DLocation* location = OwnerLocation();
    if (location == nullptr) return;
    Tween& t = rotation_;
    t.stepKind = kTurnToTarget;
    t.relative = relative;
    AnglesOf(target, t.to);
    if (relative != 0) {
        for (int i = 0; i < 3; ++i) {
            t.from[i] = 0;
            t.delta[i] = t.to[i];
        }
    } else {
        AnglesOf(*location, t.from);
        for (int i = 0; i < 3; ++i) {
            double delta = std::fmod(double(t.to[i]) - t.from[i], kTwoPi);
            if (noCorrection == 0 && delta > kPi) delta -= kTwoPi;
            t.delta[i] = static_cast<float>(delta);
        }
    }
    t.Begin(ms);
    Run();
}

void CTDMSimple::StartTransform(const L3DLocation& target, uint32_t ms) {
    StartRotation(target, ms, 0, 1);
    StartTranslation(target, ms);
}

void CTDMSimple::StartTurnStep(uint32_t stepKind, float angle, uint32_t ms) {
    if (OwnerLocation() == nullptr) return;
    Tween& t = rotation_;
    t.stepKind = stepKind;
    t.relative = 0;
    t.amount = angle;
    t.Begin(ms);
    Run();
}

void CTDMSimple::StartMoveStep(uint32_t stepKind, float distance, uint32_t ms) {
    if (OwnerLocation() == nullptr) return;
    Tween& t = translation_;
    t.stepKind = stepKind;
    t.amount = distance;
    t.Begin(ms);
    Run();
}

void CTDMSimple::TurnBy(L3DLocation& location, uint32_t stepKind, float angle) {
    switch (stepKind) {
    case kTurnUp:
        TurnRaw(location, -angle, 0, 0);
        break;
    case kTurnDown:
        TurnRaw(location, angle, 0, 0);
        break;
    case kTurnRight:
        TurnRaw(location, 0, -angle, 0);
        break;
    case kTurnLeft:
        TurnRaw(location, 0, angle, 0);
        break;
    case kRollLeft:
        TurnRaw(location, 0, 0, -angle);
        break;
    case kRollRight:
        TurnRaw(location, 0, 0, angle);
        break;
    default:
        break;
    }
}

void CTDMSimple::MoveBy(L3DLocation& location, uint32_t stepKind, float distance) {
    switch (stepKind) {
    case kMove:
        location.Move(distance);
        break;
    case kMoveUp:
        location.MoveUp(distance);
        break;
    case kMoveRight:
        location.MoveRight(distance);
        break;
    case kMoveLeft:
        location.MoveLeft(distance);
        break;
    case kMoveDown:
        location.MoveDown(distance);
        break;
    default:
        break;
    }
}

bool CTDMSimple::StepRotation(L3DLocation& location, uint32_t now) {
    Tween& t = rotation_;
    if ((t.state & kImmediate) != 0) {
        if (t.stepKind == kTurnToTarget && t.relative == 0) {
            // Held on the target until stopped or replaced.
            location.Rotate(t.to[0], t.to[1], t.to[2], 0);
        } else {
            // A relative turn or a step of no duration is taken whole, once.
            if (t.stepKind == kTurnToTarget)
                TurnRelative(location, t.delta);
            else
                TurnBy(location, t.stepKind, t.amount);
            t.state = 0;
        }
        owner->LocationChanged();
        return true;
    }
    int32_t elapsed = int32_t(now - t.start);
    if (elapsed <= 0) return false;
    bool finished = false;
    if (uint32_t(elapsed) > t.duration) {
        elapsed = int32_t(t.duration);
        finished = true;
    }
    const double f = double(elapsed) / t.duration;
    if (t.stepKind != kTurnToTarget) {
        const float done = static_cast<float>(f * t.amount);
        TurnBy(location, t.stepKind, done - t.done);
        t.done = done;
    } else if (t.relative != 0) {
        // The share of the turn since the last step, the last one ending at the end time.
        const uint32_t stepTime = t.start + uint32_t(elapsed);
        const double share = double(int32_t(stepTime - t.lastStep)) / t.duration;
        t.lastStep = stepTime;
        if (share > 0) {
            const float turn[3] = {static_cast<float>(share * t.delta[0]),
                                   static_cast<float>(share * t.delta[1]),
                                   static_cast<float>(share * t.delta[2])};
            TurnRelative(location, turn);
        }
    } else if (f >= 1) {
        location.Rotate(t.to[0], t.to[1], t.to[2], 0);
    } else {
        location.Rotate(static_cast<float>(t.from[0] + f * t.delta[0]),
                        static_cast<float>(t.from[1] + f * t.delta[1]),
                        static_cast<float>(t.from[2] + f * t.delta[2]), 0);
    }
    if (finished) t.state = 0;
    owner->LocationChanged();
    return true;
}

bool CTDMSimple::StepTranslation(L3DLocation& location, uint32_t now) {
    Tween& t = translation_;
    if ((t.state & kImmediate) != 0) {
        if (t.stepKind == kMoveToTarget) {
            PlaceAt(location, t.to);
        } else {
            MoveBy(location, t.stepKind, t.amount);
            t.state = 0;
        }
        owner->LocationChanged();
        return true;
    }
    int32_t elapsed = int32_t(now - t.start);
    if (elapsed <= 0) return false;
    const bool finished = uint32_t(elapsed) >= t.duration;
    if (finished) elapsed = int32_t(t.duration);
    const double f = double(elapsed) / t.duration;
    if (t.stepKind != kMoveToTarget) {
        const float done = static_cast<float>(f * t.amount);
        MoveBy(location, t.stepKind, done - t.done);
        t.done = done;
    } else if (finished) {
        PlaceAt(location, t.to);
    } else {
        const float p[3] = {static_cast<float>(t.from[0] + f * t.delta[0]),
                            static_cast<float>(t.from[1] + f * t.delta[1]),
                            static_cast<float>(t.from[2] + f * t.delta[2])};
        PlaceAt(location, p);
    }
    if (finished) t.state = 0;
    owner->LocationChanged();
    return true;
}

void CTDMSimple::Step(uint32_t now) {
    if (paused != 0) return;
    L3DLocation* location = OwnerLocation();
    if (location == nullptr) return;
    if (rotation_.IsRunning() && !StepRotation(*location, now)) return;
    if (translation_.IsRunning() && !StepTranslation(*location, now)) return;
    if (rotation_.IsRunning() || translation_.IsRunning()) return;
    CILocation* animated = animationToStop;
    animationToStop = nullptr;
    Stop();
    if (animated != nullptr) animated->StopMoveAnimation();
}

void CTDMSimple::OnPause() {
    pausedAt_ = timeGetTime();
}

void CTDMSimple::OnResume() {
    // A paused tween resumes where it stopped: its times move on by the pause.
    const uint32_t pause = timeGetTime() - pausedAt_;
    for (Tween* t : {&rotation_, &translation_}) {
        t->start += pause;
        t->lastStep += pause;
    }
}

void CTDMSimple::OnStop() {
    rotation_.state = 0;
    translation_.state = 0;
    animationToStop = nullptr;
}
