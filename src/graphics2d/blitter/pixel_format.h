// The five pixel formats of the 2D library, the slice of a surface that pixel routines
// receive (SurfaceBits) and the per-format table of pixel routines (PixelFormatOps).
//
// Colours given to and returned by the routines are 0x00BBGGRR values (red in the low
// byte); 24- and 32-bit pixels hold red in the high byte, so storing a colour into them
// exchanges red and blue. At 8 bits a colour with kColorIsIndex set is a palette index in
// its low byte; any other colour becomes the nearest entry of the surface's palette. An
// 8-bit surface without a palette reads every index as black and stores every colour as 0.
#pragma once

#include <cstdint>

struct PaletteRecord;
struct PixelFormatOps;

// Format indices.
inline constexpr int32_t kFormat8 = 0;  // palette indices
inline constexpr int32_t kFormat15 = 1; // red 0x7C00, green 0x03E0, blue 0x001F
inline constexpr int32_t kFormat16 = 2; // red 0xF800, green 0x07E0, blue 0x001F
inline constexpr int32_t kFormat24 = 3; // bytes blue, green, red
inline constexpr int32_t kFormat32 = 4; // bytes blue, green, red and a fourth byte
inline constexpr int32_t kFormatCount = 5;

// SurfaceBits::flags bit 0: the surface may use the vector routines.
inline constexpr uint32_t kSurfaceFlagVector = 1;
// A colour for an 8-bit surface that is a palette index in its low byte.
inline constexpr uint32_t kColorIsIndex = 0x01000000;
// The largest pixel block a surface may have; a larger one is refused as out of memory.
inline constexpr int64_t kMaxSurfaceBytes = 0x7FFFFFFF;

// Operation codes of the copies with an operation. Code 7 (the GDI raster operation of the
// device-context paths) and code 0 (no operation) have no pixel routine: the routines
// leave the destination alone for them, and for any code above 9.
inline constexpr int32_t kBlitOpBlend = 1;  // param: weight 0 (source) to 128 (destination)
inline constexpr int32_t kBlitOpInvert = 2; // source with its colour bits inverted
inline constexpr int32_t kBlitOpXor = 3;
inline constexpr int32_t kBlitOpAnd = 4;
inline constexpr int32_t kBlitOpOr = 5;
inline constexpr int32_t kBlitOpTint = 6; // param: weight << 24 | colour for black
inline constexpr int32_t kBlitOpGdi = 7;
inline constexpr int32_t kBlitOpMaskOut = 8; // destination AND NOT source
inline constexpr int32_t kBlitOpAdd = 9;     // per channel, saturating
inline constexpr int32_t kBlitOpCount = 10;

// 0 for depths 1-8, 1 for 9-15, 2 for 16, 3 for 17-24, 4 for 25-32; -1 otherwise.
int32_t DepthToFormatIndex(int32_t depth);
// Bytes per row of a memory or DIB surface: rows padded to 4 bytes, depth 15 counted as
// 16. Computed in 64 bits; negative for a negative width.
int64_t SurfacePitch(int32_t width, int32_t depth);

// The pixel-level description of a surface, in the surface record's order. Routines read
// it and write only the pixels it points at.
struct SurfaceBits {
    int32_t width;
    int32_t height;
    // Right and bottom are exclusive.
    int32_t clipLeft;
    int32_t clipTop;
    int32_t clipRight;
    int32_t clipBottom;
    int32_t depth;
    int32_t formatIndex;
    uint32_t flags;
    // Held with one use; 8-bit surfaces only.
    PaletteRecord* palette;
    // Set exactly while the pixels are addressable.
    uint8_t* memoryBlock;
    // The first pixel of the top row.
    uint8_t* pixels;
    // Bytes per row, positive.
    int32_t pitch;
    // Bytes from one row to the next: negative for rows stored bottom-up.
    int32_t signedPitch;
    int32_t bytesPerPixel;
    int32_t bottomUp;
    const PixelFormatOps* formatOps;
};

// A caller's colour function of the callback copies: the new colour of a destination
// pixel from its colour and the source pixel's colour (0x00BBGGRR each).
using BlitColorFunction = uint32_t (*)(uint32_t destinationColor, uint32_t sourceColor,
                                       uintptr_t user);

// One table per format. Coordinates are already clipped to both surfaces by the caller;
// two-surface routines name the destination first, and their source is of this table's
// format (the destination too, except for ConvertCopy).
struct PixelFormatOps {
    void (*PutPixel)(const SurfaceBits* bits, int32_t x, int32_t y, uint32_t colour);
    // At 8 bits the index; otherwise the colour with the low bits of 5- and 6-bit
    // channels 0 and the fourth byte of 32-bit pixels dropped.
    uint32_t (*GetPixel)(const SurfaceBits* bits, int32_t x, int32_t y);
    // The colour as PutPixel stores it; a 32-bit pixel gets a fourth byte 0.
    void (*FillRect)(const SurfaceBits* bits, int32_t x, int32_t y, int32_t width, int32_t height,
                     uint32_t colour);
    // Source pixels whose raw value is 0 (the key) leave the destination alone.
    void (*CopyKeyed)(const SurfaceBits* destination, int32_t dx, int32_t dy,
                      const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                      int32_t height);
    // The operation where the source is not the key.
    void (*CopyKeyedOp)(const SurfaceBits* destination, int32_t dx, int32_t dy,
                        const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                        int32_t height, int32_t op, uint32_t param);
    // Raw rows; the same routine for every format.
    void (*CopyPlain)(const SurfaceBits* destination, int32_t dx, int32_t dy,
                      const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                      int32_t height);
    // The operation on every pixel; the tint leaves the destination alone here.
    void (*CopyOp)(const SurfaceBits* destination, int32_t dx, int32_t dy,
                   const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width, int32_t height,
                   int32_t op, uint32_t param);
    // As CopyCallback where the source is not the key.
    void (*CopyCallbackKeyed)(const SurfaceBits* destination, int32_t dx, int32_t dy,
                              const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                              int32_t height, BlitColorFunction function, uintptr_t user);
    // destination = function(destination colour, source colour, user); at 8 bits the
    // colours are palette entries and the result becomes the nearest destination entry.
    void (*CopyCallback)(const SurfaceBits* destination, int32_t dx, int32_t dy,
                         const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                         int32_t height, BlitColorFunction function, uintptr_t user);
    // In place: pixel i and pixel width - 1 - i of every row exchanged.
    void (*MirrorHorizontal)(const SurfaceBits* bits, int32_t x, int32_t y, int32_t width,
                             int32_t height);
    // Every pixel equal to the stored form of oldColour becomes the stored form of
    // newColour (colours as PutPixel takes them).
    void (*ReplaceColor)(const SurfaceBits* bits, int32_t x, int32_t y, int32_t width,
                         int32_t height, uint32_t newColour, uint32_t oldColour);
    // From this format into the destination's (any format): colours through the source
    // palette at 8 bits, the nearest destination entry into 8 bits, and a colour that is
    // not black but packs to 0 at 15 or 16 bits stored as 1, so only black is the key.
    void (*ConvertCopy)(const SurfaceBits* destination, int32_t dx, int32_t dy,
                        const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                        int32_t height);
};

// The table of a format index (0 to 4), or null.
const PixelFormatOps* GetPixelFormatOps(int32_t formatIndex);
