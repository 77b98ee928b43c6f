// A 2D picture copied into a 3D texture: what the sprite overlays of a Surface showing a
// world use, and the Texture class's copy of a Surface.
#pragma once

#include <cstdint>

class LTexture;
class SurfaceHandle;

// The picture, converted to `depth` bits, becomes the texture's image (fitted by the
// texture to its sides); 0 when it cannot be copied.
int CopySurfaceToImage(SurfaceHandle& source, LTexture& texture, int32_t depth);
