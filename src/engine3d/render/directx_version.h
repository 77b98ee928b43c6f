// The installed DirectX level and platform family, as the player's callers ask for them.
#pragma once

#include <cstdint>

// Levels are 0 (none), 0x100, 0x200, 0x300, 0x500 and 0x600; platform 1 is the Windows 95
// family and 2 the NT family. Either pointer may be null.
void CheckDirectXVersion(uint32_t* level, uint32_t* platform);
