// The light-intensity curves of the material reflection types 0 (normal), 1 (mat),
// 2 (metal), 3 (plastic) and 4 (rond): 256 non-decreasing values from -128 to at most 127.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int32_t kReflectionTypeCount = 5;

// Null for a type without a curve.
const int32_t* ReflectionCurve(int32_t type);
