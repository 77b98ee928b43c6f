// Simple objects built without a model file: a box, an ellipsoid, a four-sided pyramid
// and a flat rectangle, each named from its own counter in the world ("Brick #0" ...).
// The object is not added to the world; the caller does that. Null for a refused size.
#pragma once

#include <cstdint>

class L3DObject;
class L3DWorld;

L3DObject* CreateBrickObject(L3DWorld* world, float width, float height, float depth);
// rings -1 takes segments / 2 - 1; fewer than 1 ring or segment, or more than 65535
// points, is refused.
L3DObject* CreateSphereObject(L3DWorld* world, float rx, float ry, float rz, int32_t segments,
                              int32_t rings);
L3DObject* CreatePyramidObject(L3DWorld* world, float width, float height, float depth);
// u from the second repeat, v from the first; a negative repeat mirrors the texture.
L3DObject* CreatePlaneObject(L3DWorld* world, float width, float height, float vRepeat,
                             float uRepeat);
