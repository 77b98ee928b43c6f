// The shared methods of the placed classes. Their timed forms hand the target to the
// simple movement controller (location_motion.cpp). On a wrapper whose engine object is
// gone the setters do nothing and the queries answer 0 or "".
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "classes/scene3d/location_class.h"
#include "classes/scene3d/matrix_class.h"
#include "classes/scene3d/movement/simple_movement.h"
#include "classes/scene3d/position_class.h"
#include "classes/scene3d/vector_class.h"
#include "engine3d/scene/angle.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/object_walk.h"
#include "platform/kernel/cp1252.h"
#include "script/interpreter/interpretor.h"

namespace {

// The default turn: π/2 as the engine's float.
constexpr float kQuarterTurn = 1.5707964f;
constexpr float kHalfTurn = 3.1415927f;
// The longest name GetName gives.
constexpr int kNameLength = 256;

// A script number as the engine's float: beyond the float range it saturates instead of
// being undefined; NaN stays NaN.
float ToFloat(double value) {
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);
}

// Argument i as a coordinate: the keep value when missing.
float ReadCoordinate(CInterpretor& interpreter, uint32_t i) {
    return interpreter.IsArgDefault(i) ? kKeepValue : ToFloat(interpreter.GetArgDouble(i));
}

// Argument i as an angle: 0 when missing.
float ReadAngle(CInterpretor& interpreter, uint32_t i) {
    return interpreter.IsArgDefault(i) ? 0.0f : ToFloat(interpreter.GetArgDouble(i));
}

// The duration of a timed form, seconds in argument i, as whole milliseconds (truncated,
// held below 2^31 so that the controllers' signed time differences hold). Error 14 when
// it is missing, below 0 or no number.
int64_t ReadDuration(CInterpretor& interpreter, uint32_t i) {
    const double seconds = interpreter.IsArgDefault(i) ? -1.0 : interpreter.GetArgDouble(i);
    if (!(seconds >= 0)) interpreter.RaiseError(14);
    return int64_t(std::min(seconds * 1000.0, double(INT32_MAX)));
}

bool IsObjectArg(CInterpretor& interpreter, uint32_t i) {
    return interpreter.GetArg(i)->GetType() == kValueObject;
}

L3DObject* ChildAt(const L3DObject& object, int32_t index) {
    if (object.children == nullptr || index < 0) return nullptr;
    int32_t i = 0;
    for (LListNode* node = object.children->GetHead(); node != nullptr; node = node->next, ++i) {
        if (i == index) return static_cast<L3DObject*>(node->item);
    }
    return nullptr;
}

// A child whose shown name starts with `name` (any case): the direct children in order
// first, then each child's subtree the same way.
L3DObject* FindChildByPrefix(const L3DObject& object, std::string_view name) {
    L3DObject* found = nullptr;
    ForEachChild(object.children, [&](L3DObject* child) {
        if (found != nullptr) return;
        char shown[kNameLength];
        child->GetName(shown, sizeof shown);
        std::string_view text(shown);
        if (text.size() >= name.size() &&
            platform::Cp1252EqualNoCase(text.substr(0, name.size()), name))
            found = child;
    });
    if (found != nullptr) return found;
    ForEachChild(object.children, [&](L3DObject* child) {
        if (found == nullptr) found = FindChildByPrefix(*child, name);
    });
    return found;
}

} // namespace

// ---- Reading a target ------------------------------------------------------------------

bool CILocation::ReadPlace(L3DLocation& target, uint32_t first, bool position, bool angles) {
    if (IsObjectArg(*interpreter, first)) {
        const L3DLocation& other = *GetLocationArg(int32_t(first))->location;
        if (position) target.SetPosition(other.position[0], other.position[1], other.position[2]);
        if (angles) target.SetAngles(other.GetXAngle(), other.GetYAngle(), other.GetZAngle(), 0);
        return true;
    }
    uint32_t next = first;
    if (position) {
        target.SetPosition(ReadCoordinate(*interpreter, next),
                           ReadCoordinate(*interpreter, next + 1),
                           ReadCoordinate(*interpreter, next + 2));
        next += 3;
    }
    if (angles) {
        target.SetAngles(ReadAngle(*interpreter, next), ReadAngle(*interpreter, next + 1),
                         ReadAngle(*interpreter, next + 2), 0);
    }
    return false;
}

int64_t CILocation::ReadTarget(L3DLocation& target, bool position, bool angles,
                               int32_t numericCount, int32_t timedCount) {
    const int32_t count = interpreter->GetArgCount();
    int32_t durationArg = -1;
    if (ReadPlace(target, 0, position, angles)) {
        if (count == 2) durationArg = 1;
    } else if (count == timedCount) {
        durationArg = numericCount;
    }
    if (durationArg < 0) return -1;
    return ReadDuration(*interpreter, uint32_t(durationArg));
}

// ---- Place and orientation ---------------------------------------------------------------

void CILocation::SetPosition() {
    if (location == nullptr) return;
    L3DLocation target;
    if (const int64_t ms = ReadTarget(target, true, false, 3, 4); ms >= 0) {
        SimpleController().StartTranslation(target, uint32_t(ms));
        return;
    }
    location->SetPositionFrom(target);
    LocationChanged();
}

void CILocation::AddPosition() {
    if (location == nullptr) return;
    L3DLocation target;
    if (const int64_t ms = ReadTarget(target, true, false, 3, 4); ms >= 0) {
        target.AddPosition(*location);
        SimpleController().StartTranslation(target, uint32_t(ms));
        return;
    }
    location->AddPosition(target);
    LocationChanged();
}

void CILocation::SubPosition() {
    if (location == nullptr) return;
    L3DLocation target;
    if (const int64_t ms = ReadTarget(target, true, false, 3, 4); ms >= 0) {
        L3DLocation end(*location);
        end.SubPosition(target);
        SimpleController().StartTranslation(end, uint32_t(ms));
        return;
    }
    location->SubPosition(target);
    LocationChanged();
}

void CILocation::SetAngle() {
    if (location == nullptr) return;
    L3DLocation target;
    if (const int64_t ms = ReadTarget(target, false, true, 3, 4); ms >= 0) {
        SimpleController().StartRotation(target, uint32_t(ms), 0, 1);
        return;
    }
    location->SetAnglesFrom(target, 0);
    LocationChanged();
}

void CILocation::SetRelativeAngle() {
    if (location == nullptr) return;
    L3DLocation target;
    if (const int64_t ms = ReadTarget(target, false, true, 3, 4); ms >= 0) {
        SimpleController().StartRotation(target, uint32_t(ms), 1, 1);
        return;
    }
    location->SetAnglesFrom(target, 1);
    LocationChanged();
}

void CILocation::AddAngle() {
    if (location == nullptr) return;
    L3DLocation target;
    const int64_t ms = ReadTarget(target, false, true, 3, 4);
    const float change[3] = {target.GetXAngle(), target.GetYAngle(), target.GetZAngle()};
    if (ms >= 0) {
        StartAngleChange(change, 1, uint32_t(ms));
        return;
    }
    location->AddAngle(change);
    LocationChanged();
}

void CILocation::SubAngle() {
    if (location == nullptr) return;
    L3DLocation target;
    const int64_t ms = ReadTarget(target, false, true, 3, 4);
    const float change[3] = {target.GetXAngle(), target.GetYAngle(), target.GetZAngle()};
    if (ms >= 0) {
        StartAngleChange(change, -1, uint32_t(ms));
        return;
    }
    location->SubAngle(change);
    LocationChanged();
}

void CILocation::Set() {
    if (location == nullptr) return;
    L3DLocation target;
    if (const int64_t ms = ReadTarget(target, true, true, 6, 7); ms >= 0) {
        SimpleController().StartTransform(target, uint32_t(ms));
        return;
    }
    location->SetFrom(target);
    LocationChanged();
}

void CILocation::TurnTo() {
    if (location == nullptr) return;
    const bool objectForm = IsObjectArg(*interpreter, 0);
    // The other object's copy keeps its angles, which settle the turn about Y when the
    // object lies straight above or below.
    L3DLocation target = objectForm ? L3DLocation(*GetLocationArg(0)->location) : L3DLocation();
    if (!objectForm) {
        target.SetPosition(ReadCoordinate(*interpreter, 0), ReadCoordinate(*interpreter, 1),
                           ReadCoordinate(*interpreter, 2));
    }
    // A duration of 0 faces the target at once, as no duration does.
    const uint32_t durationArg = objectForm ? 1 : 3;
    if (interpreter->GetArgCount() > int32_t(durationArg)) {
        const int64_t ms = ReadDuration(*interpreter, durationArg);
        if (ms > 0) {
            L3DLocation facing(*location);
            facing.LookAt(target, 0, 0xFF);
            SimpleController().StartRotation(facing, uint32_t(ms), 0, 1);
            return;
        }
    }
    location->LookAt(target, 0, 0xFF);
    LocationChanged();
}

void CILocation::GetX() {
    interpreter->GetResultSlot()->SetFloat(location != nullptr ? location->position[0] : 0.0);
}

void CILocation::GetY() {
    interpreter->GetResultSlot()->SetFloat(location != nullptr ? location->position[1] : 0.0);
}

void CILocation::GetZ() {
    interpreter->GetResultSlot()->SetFloat(location != nullptr ? location->position[2] : 0.0);
}

void CILocation::GetXAngle() {
    interpreter->GetResultSlot()->SetFloat(
        location != nullptr ? NormalizeAngle(location->GetXAngle()) : 0.0);
}

void CILocation::GetYAngle() {
    interpreter->GetResultSlot()->SetFloat(
        location != nullptr ? NormalizeAngle(location->GetYAngle()) : 0.0);
}

void CILocation::GetZAngle() {
    interpreter->GetResultSlot()->SetFloat(
        location != nullptr ? NormalizeAngle(location->GetZAngle()) : 0.0);
}

// ---- Relative moves and turns ------------------------------------------------------------

void CILocation::RelativeStep(void (L3DLocation::*op)(float), bool isTurn, float sign,
                              uint32_t stepKind) {
    float amount;
    if (isTurn)
        amount =
            interpreter->IsArgDefault(0) ? kQuarterTurn : ToFloat(interpreter->GetArgDouble(0));
    else
        amount = ToFloat(interpreter->GetArgFloat(0)) * sign;
    if (interpreter->GetArgCount() >= 2) {
        const int64_t ms = ReadDuration(*interpreter, 1);
        if (location == nullptr) return;
        CTDMSimple& simple = SimpleController();
        if (isTurn)
            simple.StartTurnStep(stepKind, amount, uint32_t(ms));
        else
            simple.StartMoveStep(stepKind, amount, uint32_t(ms));
        if (interpreter->GetArgCount() >= 3 && StartMoveAnimation(2) != 0)
            simple.StopAnimationAtEnd(this);
        return;
    }
    if (location == nullptr) return;
    (location->*op)(amount);
    LocationChanged();
}

void CILocation::Move() {
    RelativeStep(&L3DLocation::Move, false, 1, CTDMSimple::kMove);
}

void CILocation::MoveBack() {
    RelativeStep(&L3DLocation::Move, false, -1, CTDMSimple::kMove);
}

void CILocation::MoveRight() {
    RelativeStep(&L3DLocation::MoveRight, false, 1, CTDMSimple::kMoveRight);
}

void CILocation::MoveLeft() {
    RelativeStep(&L3DLocation::MoveLeft, false, 1, CTDMSimple::kMoveLeft);
}

void CILocation::MoveUp() {
    RelativeStep(&L3DLocation::MoveUp, false, 1, CTDMSimple::kMoveUp);
}

void CILocation::MoveDown() {
    RelativeStep(&L3DLocation::MoveDown, false, 1, CTDMSimple::kMoveDown);
}

void CILocation::TurnUp() {
    RelativeStep(&L3DLocation::TurnUp, true, 1, CTDMSimple::kTurnUp);
}

void CILocation::TurnDown() {
    RelativeStep(&L3DLocation::TurnDown, true, 1, CTDMSimple::kTurnDown);
}

void CILocation::TurnRight() {
    RelativeStep(&L3DLocation::TurnRight, true, 1, CTDMSimple::kTurnRight);
}

void CILocation::TurnLeft() {
    RelativeStep(&L3DLocation::TurnLeft, true, 1, CTDMSimple::kTurnLeft);
}

void CILocation::RollRight() {
    RelativeStep(&L3DLocation::RollRight, true, 1, CTDMSimple::kRollRight);
}

void CILocation::RollLeft() {
    RelativeStep(&L3DLocation::RollLeft, true, 1, CTDMSimple::kRollLeft);
}

void CILocation::TurnBack() {
    if (location == nullptr) return;
    location->TurnLeft(kHalfTurn);
    LocationChanged();
}

// ---- Hierarchy, names and visibility -----------------------------------------------------

void CILocation::FindChild() {
    CValue* result = interpreter->GetResultSlot();
    const char* name = interpreter->GetArgString(0);
    if (engineObject == nullptr || name == CValue::kDefaultString) {
        result->SetInt(0);
        return;
    }
    L3DObject* child = FindChildByPrefix(*engineObject, name);
    result->SetObject(GetScriptObject(*interpreter, worldObject, child), 1);
}

void CILocation::SetParent() {
    if (engineObject == nullptr) return;
    CValue* arg = interpreter->GetArg(0);
    const int32_t classId = arg->GetType() == kValueObject ? arg->GetObjectClassId() : -1;
    if (classId >= 0 && IsPlacedClass(uint32_t(classId))) {
        auto* parent = static_cast<CILocation*>(arg->GetObject());
        if (parent->engineObject == nullptr) interpreter->RaiseError(47);
        // Keeping the animation: an animated object re-parented without it is destroyed,
        // and this method may be running on it.
        if (engineObject->SetParent(parent->engineObject, 1) != 0) interpreter->RaiseError(135);
        return;
    }
    engineObject->SetParent(nullptr, 1);
    LocationChanged();
}

void CILocation::GetParent() {
    CValue* result = interpreter->GetResultSlot();
    if (engineObject == nullptr) {
        result->SetInt(0);
        return;
    }
    result->SetObject(GetScriptObject(*interpreter, worldObject, engineObject->parent), 1);
}

void CILocation::GetNChildren() {
    const uint32_t count = engineObject != nullptr && engineObject->children != nullptr
                               ? engineObject->children->GetCount()
                               : 0;
    interpreter->GetResultSlot()->SetInt(int32_t(count));
}

void CILocation::GetChild() {
    if (engineObject == nullptr) interpreter->RaiseError(14);
    const int32_t index = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    CILocation* child = GetScriptObject(*interpreter, worldObject, ChildAt(*engineObject, index));
    if (child == nullptr) interpreter->RaiseError(14);
    interpreter->GetResultSlot()->SetObject(child, 1);
}

void CILocation::GetName() {
    CValue* result = interpreter->GetResultSlot();
    if (engineObject == nullptr) {
        result->SetString("", 1);
        return;
    }
    char name[kNameLength];
    engineObject->GetName(name, sizeof name);
    result->SetString(name, 0);
}

void CILocation::SetName() {
    const char* name = interpreter->GetArgString(0);
    if (engineObject == nullptr || name == CValue::kDefaultString) return;
    engineObject->SetName(name);
}

void CILocation::Show() {
    if (engineObject == nullptr) return;
    engineObject->Show();
    LocationChanged();
}

void CILocation::Hide() {
    if (engineObject == nullptr) return;
    engineObject->Hide(1);
    LocationChanged();
}

void CILocation::IsVisible() {
    interpreter->GetResultSlot()->SetInt(
        engineObject != nullptr && engineObject->IsVisible() != 0 ? 1 : 0);
}

void CILocation::Recalc() {
    if (location == nullptr) return;
    location->SetPositionChanged(1);
    location->SetRotationChanged(1);
    LocationChanged();
}

// ---- Queries and value objects -------------------------------------------------------------

void CILocation::GetPosition() {
    CValue* result = interpreter->GetResultSlot();
    if (location == nullptr) {
        result->SetInt(0);
        return;
    }
    result->SetObject(CIPosition::MakeAt(*interpreter, worldObject, location), 1);
}

void CILocation::GetDistance() {
    const int32_t count = interpreter->GetArgCount();
    L3DLocation target;
    if (count == 1) {
        if (!IsObjectArg(*interpreter, 0)) interpreter->RaiseError(115);
        target.SetPositionFrom(*GetLocationArg(0)->location);
    } else if (count == 3) {
        for (uint32_t i = 0; i < 3; ++i) {
            if (interpreter->IsArgDefault(i)) interpreter->RaiseError(115);
        }
        target.SetPosition(ToFloat(interpreter->GetArgDouble(0)),
                           ToFloat(interpreter->GetArgDouble(1)),
                           ToFloat(interpreter->GetArgDouble(2)));
    } else {
        interpreter->RaiseError(21);
    }
    interpreter->GetResultSlot()->SetFloat(location != nullptr ? location->GetDistance(target)
                                                               : 0.0);
}

void CILocation::LookAtAngle(int axis) {
    CILocation* other = GetLocationArg(0);
    double angle = 0;
    if (location != nullptr) {
        const float* to = other->location->position;
        float angles[3];
        location->GetLookAtAngles(other->location, to[0] - location->position[0],
                                  to[1] - location->position[1], to[2] - location->position[2],
                                  &angles[0], &angles[1], &angles[2]);
        angle = NormalizeAngle(angles[axis]);
    }
    interpreter->GetResultSlot()->SetFloat(angle);
}

void CILocation::GetLookAtAngleX() {
    LookAtAngle(0);
}

void CILocation::GetLookAtAngleY() {
    LookAtAngle(1);
}

void CILocation::GetLookAtAngleZ() {
    LookAtAngle(2);
}

void CILocation::InvertDirectionVector() {
    if (location == nullptr) return;
    location->SetMirrored(location->mirrored != 0 ? 0 : 1);
}

void CILocation::SetHotSpot() {
    if (location == nullptr) return;
    float spot[3];
    for (uint32_t i = 0; i < 3; ++i) {
        spot[i] = interpreter->IsArgDefault(i) ? location->hotSpot[i]
                                               : ToFloat(interpreter->GetArgDouble(i));
    }
    location->SetHotSpot(spot[0], spot[1], spot[2]);
}

void CILocation::GetHotSpotX() {
    interpreter->GetResultSlot()->SetFloat(location != nullptr ? location->hotSpot[0] : 0.0);
}

void CILocation::GetHotSpotY() {
    interpreter->GetResultSlot()->SetFloat(location != nullptr ? location->hotSpot[1] : 0.0);
}

void CILocation::GetHotSpotZ() {
    interpreter->GetResultSlot()->SetFloat(location != nullptr ? location->hotSpot[2] : 0.0);
}

void CILocation::GetRotMatrix() {
    float m[16];
    if (location != nullptr)
        location->GetRotMatrix(m);
    else
        MatrixZero(m);
    interpreter->GetResultSlot()->SetObject(CIMatrix::Make(*interpreter, m), 1);
}

void CILocation::SetRotMatrix() {
    if (!interpreter->GetArg(0)->IsObjectOfClass(kMatrixClassId)) interpreter->RaiseError(14);
    if (location == nullptr) return;
    location->SetRotationMatrix(static_cast<CIMatrix*>(interpreter->GetArg(0)->GetObject())->m);
    LocationChanged();
}

void CILocation::GetDirectionVector() {
    float v[4] = {};
    if (location != nullptr) location->GetDirectionVector(location->localMatrix, v);
    interpreter->GetResultSlot()->SetObject(CIVector::Make(*interpreter, v), 1);
}

// ---- Private data --------------------------------------------------------------------------

void CILocation::SetPrivateData() {
    privateData.Assign(*interpreter->GetArg(0));
}

void CILocation::GetPrivateData() {
    interpreter->GetResultSlot()->Assign(privateData);
}
