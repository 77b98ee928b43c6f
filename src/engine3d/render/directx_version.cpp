#include "engine3d/render/directx_version.h"

// Our own DirectDraw and DirectSound layers stand in for DirectX 6 on every machine, and the
// host behaves as the NT family does.
void CheckDirectXVersion(uint32_t* level, uint32_t* platform) {
    if (level != nullptr) *level = 0x600;
    if (platform != nullptr) *platform = 2;
}
