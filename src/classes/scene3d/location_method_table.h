// The 67 methods every placed class shares, ids 1 to 67. A class's name table starts
// with ZORV_LOCATION_METHOD_ROWS after its class row, its method table with
// ZORV_LOCATION_METHODS after the unused entry 0, and its own methods follow from id 68
// (kFirstOwnLocationMethod). The collision-type constants take three ids of the class's
// own, given to ZORV_COLLISION_TYPE_ROWS, with ZORV_COLLISION_TYPE_HANDLERS at the same
// places of its class-level handlers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "classes/scene3d/location_class.h"
#include "script/classes/class_table.h"
#include "script/interpreter/interpretor.h"

inline constexpr uint16_t kLocationMethodCount = 67;
inline constexpr uint16_t kFirstOwnLocationMethod = kLocationMethodCount + 1;

#define ZORV_LOCATION_METHOD_ROWS                                                                  \
    {1, "SetPosition", 0, 0}, {2, "GetPosition", 0, 0}, {3, "SetAngle", 0, 0}, {4, "Set", 0, 0},   \
        {5, "AddAngle", 0, 0}, {6, "Move", 0, 0}, {7, "GetX", 0, 0}, {8, "GetY", 0, 0},            \
        {9, "GetZ", 0, 0}, {10, "GetXAngle", 0, 0}, {11, "GetYAngle", 0, 0},                       \
        {12, "GetZAngle", 0, 0}, {13, "TurnUp", 0, 0}, {14, "TurnDown", 0, 0},                     \
        {15, "TurnRight", 0, 0}, {16, "TurnLeft", 0, 0}, {17, "TurnBack", 0, 0},                   \
        {18, "MoveRight", 0, 0}, {19, "MoveLeft", 0, 0}, {20, "MoveUp", 0, 0},                     \
        {21, "MoveDown", 0, 0}, {22, "MoveBack", 0, 0}, {23, "Follow", 0, 0},                      \
        {24, "LookAt", 0, 0}, {25, "RollRight", 0, 0}, {26, "RollLeft", 0, 0}, {27, "Stop", 0, 0}, \
        {28, "Pause", 0, 0}, {29, "Resume", 0, 0}, {30, "MoveAround", 0, 0}, {31, "TurnTo", 0, 0}, \
        {32, "SubAngle", 0, 0}, {33, "AddPosition", 0, 0}, {34, "SubPosition", 0, 0},              \
        {35, "Walk", 0, 0}, {36, "SetGravity", 0, 0}, {37, "SetCollision", 0, 0},                  \
        {38, "SetCollisionType", 0, 0}, {39, "FindChild", 0, 0}, {40, "SetParent", 0, 0},          \
        {41, "GetParent", 0, 0}, {42, "GetChild", 0, 0}, {43, "Show", 0, 0}, {44, "Hide", 0, 0},   \
        {45, "IsVisible", 0, 0}, {46, "GetNChildren", 0, 0}, {47, "GetName", 0, 0},                \
        {48, "SetName", 0, 0}, {49, "Recalc", 0, 0}, {50, "OnStopMovement", 0, 0},                 \
        {51, "GetDistance", 0, 0}, {52, "SetRelativeAngle", 0, 0}, {53, "GetRotMatrix", 0, 0},     \
        {54, "SetRotMatrix", 0, 0}, {55, "SetPrivateData", 0, 0}, {56, "GetPrivateData", 0, 0},    \
        {57, "GetLookAtAngleX", 0, 0}, {58, "GetLookAtAngleY", 0, 0},                              \
        {59, "GetLookAtAngleZ", 0, 0}, {60, "GetDirectionVector", 0, 0},                           \
        {61, "InvertDirectionVector", 0, 0}, {62, "SetHotSpot", 0, 0}, {63, "GetHotSpotX", 0, 0},  \
        {64, "GetHotSpotY", 0, 0}, {65, "GetHotSpotZ", 0, 0}, {66, "SetCollisionRadius", 0, 0}, {  \
        67, "GetCollisionRadius", 0, 0                                                             \
    }

// Member pointers of CILocation convert to those of any class derived from it.
#define ZORV_LOCATION_METHODS                                                                      \
    &CILocation::SetPosition, &CILocation::GetPosition, &CILocation::SetAngle, &CILocation::Set,   \
        &CILocation::AddAngle, &CILocation::Move, &CILocation::GetX, &CILocation::GetY,            \
        &CILocation::GetZ, &CILocation::GetXAngle, &CILocation::GetYAngle, &CILocation::GetZAngle, \
        &CILocation::TurnUp, &CILocation::TurnDown, &CILocation::TurnRight, &CILocation::TurnLeft, \
        &CILocation::TurnBack, &CILocation::MoveRight, &CILocation::MoveLeft, &CILocation::MoveUp, \
        &CILocation::MoveDown, &CILocation::MoveBack, &CILocation::Follow, &CILocation::LookAt,    \
        &CILocation::RollRight, &CILocation::RollLeft, &CILocation::Stop, &CILocation::Pause,      \
        &CILocation::Resume, &CILocation::MoveAround, &CILocation::TurnTo, &CILocation::SubAngle,  \
        &CILocation::AddPosition, &CILocation::SubPosition, &CILocation::Walk,                     \
        &CILocation::SetGravity, &CILocation::SetCollision, &CILocation::SetCollisionType,         \
        &CILocation::FindChild, &CILocation::SetParent, &CILocation::GetParent,                    \
        &CILocation::GetChild, &CILocation::Show, &CILocation::Hide, &CILocation::IsVisible,       \
        &CILocation::GetNChildren, &CILocation::GetName, &CILocation::SetName,                     \
        &CILocation::Recalc, &CILocation::OnStopMovement, &CILocation::GetDistance,                \
        &CILocation::SetRelativeAngle, &CILocation::GetRotMatrix, &CILocation::SetRotMatrix,       \
        &CILocation::SetPrivateData, &CILocation::GetPrivateData, &CILocation::GetLookAtAngleX,    \
        &CILocation::GetLookAtAngleY, &CILocation::GetLookAtAngleZ,                                \
        &CILocation::GetDirectionVector, &CILocation::InvertDirectionVector,                       \
        &CILocation::SetHotSpot, &CILocation::GetHotSpotX, &CILocation::GetHotSpotY,               \
        &CILocation::GetHotSpotZ, &CILocation::SetCollisionRadius, &CILocation::GetCollisionRadius

#define ZORV_COLLISION_TYPE_ROWS(firstId)                                                          \
    {(firstId), "COLLISION_TYPE_NONE", 0, kRowConstant},                                           \
        {(firstId) + 1, "COLLISION_TYPE_STOP", 0, kRowConstant}, {                                 \
        (firstId) + 2, "COLLISION_TYPE_SLIDE", 0, kRowConstant                                     \
    }

template <int32_t Value> void LocationConstant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(Value);
}

#define ZORV_COLLISION_TYPE_HANDLERS                                                               \
    &LocationConstant<0>, &LocationConstant<1>, &LocationConstant<2>

// Calls shared method `methodId` (1 to 67) of any placed object; error 11 for an empty
// entry.
void CallLocationMethod(CILocation& object, uint16_t methodId);

// Calls method `methodId` of a placed class whose own methods start after the shared ones:
// the shared table below them, the class's own table from there; error 11 for an empty
// entry or an id past the table.
template <class T, size_t N>
void CallPlacedMethod(T& object, const std::array<ScriptMethod<T>, N>& own, uint16_t methodId) {
    if (methodId <= kLocationMethodCount)
        CallLocationMethod(object, methodId);
    else if (methodId < N && own[methodId] != nullptr)
        (object.*own[methodId])();
    else
        RaiseNoSuchMethod(object);
}
