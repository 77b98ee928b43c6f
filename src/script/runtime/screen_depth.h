// Colour depth of the screen as new surfaces and image banks are made for it.
#pragma once

#include <cstdint>

// Bits per pixel of the screen; 15 when a 16-bit screen keeps only 5 bits of green, 8 when
// there is no screen device context.
int32_t GetScreenDepth();
