// Numbers read from script arguments by the 3D classes.
#pragma once

#include <cstdint>

#include "script/values/value.h"

class CInterpretor;

// What a missing argument reads as when taken as a double.
inline constexpr double kMissingDouble = -9999999999.0;

// An integer or a double as a double; any other value (text, object, array, function,
// a missing argument) raises error 14.
double NumberOf(CInterpretor& interpreter, const CValue& value);

// Argument i was not given.
bool IsArgMissing(CInterpretor& interpreter, uint32_t i);

// An integer or a double.
inline bool IsNumber(const CValue& value) {
    return value.GetType() == kValueInt || value.GetType() == kValueDouble;
}
