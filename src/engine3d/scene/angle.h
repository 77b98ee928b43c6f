// Angles of the scene model: radians kept in [0, 2π].
#pragma once

// 2π as the float the engine has always wrapped with.
inline constexpr float kTwoPiFloat = 6.2831855f;

// Wraps a into [0, 2π] (fmod keeps the sign, so only values beyond ±2π are reduced; 2π
// itself stays) and snaps values within 0.001 of zero to 0.
float NormalizeAngle(float a);
