// Numbers read from script arguments by the Vector, Matrix and Math classes.
#pragma once

#include <cstdint>

class CInterpretor;
class CValue;

// What a missing argument reads as when taken as a double.
inline constexpr double kMissingDouble = -9999999999.0;

// An integer or a double as a double; any other value (text, object, array, function,
// a missing argument) raises error 14.
double NumberOf(CInterpretor& interpreter, const CValue& value);

// Argument i was not given.
bool IsArgMissing(CInterpretor& interpreter, uint32_t i);
