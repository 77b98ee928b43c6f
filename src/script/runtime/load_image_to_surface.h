// Decoding an image file into a surface, and the memory surface that image elements keep
// their pixels in: one whose format, size and palette the loaders can change.
#pragma once

#include <cstdint>

#include "graphics2d/surfaces/mem_surface.h"

class CInStream;
class ImageFileManager;
struct PaletteRecord;

class cImageSurface : public cMemSurface {
public:
    // A zero-filled surface of that size and depth (8-bit ones with the thread's default
    // palette); null for a depth the library has no format for, a size too large or no
    // memory.
    static cImageSurface* Create(int32_t width, int32_t height, int32_t depth);
    // New zero-filled pixels of the same size in another depth. 0, leaving the surface as
    // it was, when that cannot be done.
    int Reformat(int32_t depth);
    // One more use of the new palette and one less of the old (8-bit surfaces only; a null
    // palette is ignored).
    void AttachPalette(PaletteRecord* palette);
};

// LoadImageToSurface option bits.
// Keep the surface's depth: the image is converted into it.
inline constexpr uint32_t kLoadKeepDepth = 1;
// An 8-bit surface keeps its palette and the image is matched to it.
inline constexpr uint32_t kLoadMatchPalette = 2;

// Decodes the image file at the stream's position into `surface`, which takes the image's
// size and (unless kLoadKeepDepth) its depth, at least 8. With `maskOut`, an image with
// transparency leaves a new block of width × height bytes there (MemAlloc; the caller
// frees it), 0xFF where opaque; otherwise *maskOut is null. 1, or 0 when the stream holds
// no image the manager can decode or memory runs out.
int LoadImageToSurface(ImageFileManager* manager, CInStream& stream, cImageSurface* surface,
                       uint32_t options, uint8_t** maskOut);
