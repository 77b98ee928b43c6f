// The small result codes of the scene model's operations: 0 is success.
#pragma once

inline constexpr int kSceneOk = 0;
inline constexpr int kSceneNotFound = 1;
inline constexpr int kSceneCameraMissing = 4;
inline constexpr int kSceneBadPolygon = 5;
inline constexpr int kSceneNoCurrentFrame = 7;
inline constexpr int kScenePolygonFull = 13;
inline constexpr int kScenePointMissing = 14;
inline constexpr int kSceneTextureMissing = 15;
inline constexpr int kSceneMaterialMissing = 16;
inline constexpr int kSceneParentRefused = 35;
