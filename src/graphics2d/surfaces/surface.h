// The abstract base of every 2D surface: a rectangle of pixels of one depth with a clip
// rectangle, an optional shared palette (8-bit surfaces) and the virtual operations that
// the surface handle forwards to. Classes differ in where the pixels live and how a device
// context is obtained; a usable surface comes from a prototype's MakeInstance.
//
// Operations answer non-zero for success and 0 when nothing was done. Pixel operations
// bracket their work with Lock / Unlock and address only pixels inside both the clip
// rectangle and the surface, whatever clip rectangle was set.
#pragma once

#include <cstdint>

#include "graphics2d/blitter/pixel_format.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/screen_dc.h"
#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"
#include "platform/user/window_geometry.h"

// GetKind codes.
inline constexpr int32_t kSurfaceKindMemory = 1;
inline constexpr int32_t kSurfaceKindGDI = 2;
inline constexpr int32_t kSurfaceKindDIB = 3;
inline constexpr int32_t kSurfaceKindDIBDC = 4;
inline constexpr int32_t kSurfaceKindDirectDraw = 5;

struct RawPalette;
struct PaletteEntry;

// A display mode as EnumDisplayModes reports it.
struct SurfaceDisplayMode {
    int32_t width;
    int32_t height;
    int32_t depth;
};
// Answers 0 to stop the enumeration.
using DisplayModeCallback = int (*)(const SurfaceDisplayMode& mode, void* param);

// A smoothing filter of FilterTo: the new colour from a block of destination colours and
// the matching block of source coverage, row by row.
using SurfaceFilter = uint32_t (*)(const uint32_t* colours, const uint8_t* coverage,
                                   uint32_t param);

class cSurface {
public:
    cSurface();
    // Releases the palette of an 8-bit surface.
    virtual ~cSurface();
    cSurface(const cSurface&) = delete;
    cSurface& operator=(const cSurface&) = delete;

    // A new surface of the same class and format, or null (nothing left allocated).
    virtual cSurface* MakeInstance(int32_t width, int32_t height) = 0;
    virtual cSurface* MakeScreenInstance() { return nullptr; }
    virtual int IsBackBufferMode() { return 0; }
    // Calls `callback` with each display mode until it answers 0.
    virtual void EnumDisplayModes(DisplayModeCallback, void*) {}
    virtual int EnterFullScreen(HWND window, int32_t width, int32_t height, int32_t depth);
    virtual void LeaveFullScreen(HWND window);
    // Takes the other surface's saved window state.
    virtual void CopyDisplayState(cSurface* other);
    virtual int WaitVSync() { return 0; }
    // New pixels for a new size; the old content is not kept.
    virtual int Resize(int32_t width, int32_t height);
    // Depth, format index, bytes per pixel and pixel-format table; 0 for a depth outside
    // 1 to 32.
    virtual int SetFormat(int32_t depth);
    // SetFormat, top-down rows and, at 8 bits, a use of the thread's default palette;
    // fails when that palette cannot be had.
    virtual int InitFormat(int32_t depth);
    virtual int32_t GetKind() { return kSurfaceKindMemory; }
    // Window origin of the surface's device context.
    virtual void SetOrigin(int32_t x, int32_t y);
    // (y << 16) | (x & 0xFFFF).
    virtual uint32_t GetOrigin() { return 0; }
    virtual int HasOrigin() { return 0; }
    // 1 for capabilities 0 to 5, 0 for any other.
    virtual int GetOpSupport(int32_t index);
    // Makes the pixels addressable.
    virtual int Lock();
    virtual void Unlock() {}
    // The surface has no addressable pixels, only a device context.
    virtual int IsDeviceOnly() { return 0; }
    // A device context drawing on the surface, or 0 for surfaces without one.
    virtual HDC GetDC() { return 0; }
    virtual void ReleaseDC(HDC) {}
    // Copies from a device context into this surface (BitBlt / StretchBlt); op 7 takes
    // `param` as the raster operation, any other op SRCCOPY.
    virtual int BlitFromDC(int32_t, int32_t, HDC, int32_t, int32_t, int32_t, int32_t, int32_t,
                           int32_t, uint32_t) {
        return 0;
    }
    virtual int StretchFromDC(int32_t, int32_t, int32_t, int32_t, HDC, int32_t, int32_t, int32_t,
                              int32_t, int32_t, int32_t, uint32_t) {
        return 0;
    }
    virtual void GetClipRect(int32_t* x, int32_t* y, int32_t* width, int32_t* height);
    // Stores left = x, top = y, right = min(x + width, surface width), bottom likewise;
    // no lower clamp.
    virtual void SetClipRect(int32_t x, int32_t y, int32_t width, int32_t height);
    virtual void ResetClipRect();
    // Stores one byte (8-bit surfaces): the value as it is, not a colour.
    virtual int SetPixelIndex(int32_t x, int32_t y, uint32_t value);
    virtual int SetPixel(int32_t x, int32_t y, uint32_t colour);
    // The stored value: the index at 8 bits, else the colour.
    virtual int GetPixelRaw(int32_t x, int32_t y, uint32_t* value);
    // The colour; at 8 bits the palette entry of the stored index.
    virtual int GetPixel(int32_t x, int32_t y, uint32_t* colour);
    // Fills with a raw value: the byte value at every byte of the rectangle.
    virtual int FillRectRaw(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t value);
    virtual int FillRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour);
    // A copy of a rectangle with itself inside the surface; both rectangles must lie wholly
    // inside it (no clipping). The areas may overlap.
    virtual int MoveRect(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t width,
                         int32_t height);

    // Copies of this surface (the source) into `destination`. Mode 1 keys out source
    // pixels of raw value 0; `op` is one of the kBlitOp codes (0: none, 7 refused); with
    // `smooth`, the destination pixels round the copied shape are smoothed after it.
    // Clipped to this surface and to the destination's clip rectangle inside the
    // destination. Surfaces of different depths convert first.
    virtual int BlitTo(cSurface* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                       int32_t width, int32_t height, int32_t mode, int32_t op, uint32_t param,
                       int32_t smooth);
    // The copies through a caller's colour function (same depth only); mode 1 keyed.
    virtual int BlitToEx(cSurface* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                         int32_t width, int32_t height, int32_t mode, BlitColorFunction function,
                         uintptr_t user);
    // For each pixel of the destination area, `filter` gets the kernelWidth x kernelHeight
    // block of destination colours round it (as they were before the call; the pixel at
    // (anchorX, anchorY) of the block is the one written) and the matching block of this
    // surface's coverage (1 where its pixel is not 0), and answers the new colour.
    virtual int FilterTo(cSurface* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                         int32_t width, int32_t height, int32_t kernelWidth, int32_t kernelHeight,
                         int32_t anchorX, int32_t anchorY, SurfaceFilter filter, uint32_t param);
    // The source rectangle (wholly inside this surface) scaled over the destination
    // rectangle; `smooth` resamples with a filter where no other step is needed.
    virtual int StretchBlitTo(cSurface* destination, int32_t dx, int32_t dy,
                              int32_t destinationWidth, int32_t destinationHeight, int32_t sx,
                              int32_t sy, int32_t sourceWidth, int32_t sourceHeight, int32_t mode,
                              int32_t op, uint32_t param, int32_t smooth);
    // The stretch of surfaces with a device context: through GDI where pixels cannot do it
    // (op 7, a device-only destination); the pixel stretch otherwise.
    virtual int StretchBlitViaDC(cSurface* destination, int32_t dx, int32_t dy,
                                 int32_t destinationWidth, int32_t destinationHeight, int32_t sx,
                                 int32_t sy, int32_t sourceWidth, int32_t sourceHeight,
                                 int32_t mode, int32_t op, uint32_t param, int32_t smooth) {
        return StretchBlitTo(destination, dx, dy, destinationWidth, destinationHeight, sx, sy,
                             sourceWidth, sourceHeight, mode, op, param, smooth);
    }
    // In place, inside the clip rectangle.
    virtual int MirrorX(int32_t x, int32_t y, int32_t width, int32_t height);
    virtual int MirrorY(int32_t x, int32_t y, int32_t width, int32_t height);
    // The bounding box of the pixels that are not 0.
    virtual int GetBounds(RECT* bounds);
    virtual int IsBlank();
    // Text through the surface's device context: TextOut by ExtTextOutA (clipped to
    // `clip`), DrawText by DrawTextExA (tabs and margins in average character widths). With
    // an operation or smoothing the text is drawn into a keyed temporary first and copied
    // on; black at 8 bits or less is drawn in the palette's stand-in for black, so the key
    // never takes it. `font` 0 keeps the DC's.
    virtual int TextOut(const char* text, int32_t length, int32_t x, int32_t y, uint32_t alignment,
                        const RECT* clip, uint32_t colour, HFONT font, int32_t direct, int32_t op,
                        uint32_t param, int32_t smooth);
    virtual int DrawText(const char* text, int32_t length, RECT* rect, uint32_t format,
                         uint32_t colour, HFONT font, int32_t direct, int32_t op, uint32_t param,
                         int32_t smooth, int32_t tabLength, int32_t leftMargin,
                         int32_t rightMargin);
    virtual int ReplaceColor(uint32_t from, uint32_t to);
    // This surface turned by `angle` whole degrees about its centre into the destination's
    // centre; uncovered destination pixels get `background`.
    virtual int RotateInto(cSurface* destination, int32_t angle, int32_t smooth,
                           uint32_t background);

    // 1 when both surfaces have a pixel that is not 0 at the same offset, walking the
    // window (tx, ty, width, height) of this surface in step with (ox, oy) of `other`;
    // also 1 when the two cannot be compared (other pixel sizes, a failed lock).
    int PixelsOverlap(cSurface* other, int32_t ox, int32_t oy, int32_t tx, int32_t ty,
                      int32_t width, int32_t height);

    // Palettes (8-bit surfaces). With `remap`, the pixels are re-indexed so the picture
    // keeps its colours under the new palette.
    virtual int SetPalette(PaletteRecord* palette, int32_t remap);
    // Re-indexes pixels written with `palette`'s indexes to this surface's own palette.
    virtual int RemapToPalette(PaletteRecord* palette);
    // Every pixel p becomes map[p] (256 bytes).
    virtual int RemapToPaletteOf(const uint8_t* map);
    virtual int SetPaletteData(const RawPalette* palette, int32_t remap);
    virtual int SetPaletteFrom(cSurface* other, int32_t remap);
    // With `entries` null the number of entries; else copies up to `count` entries from
    // `first` and answers `count`.
    virtual int GetPaletteEntries(PaletteEntry* entries, int32_t first, int32_t count);
    virtual int GetPaletteData(RawPalette* palette);
    virtual uint32_t NearestIndex(uint32_t colour);
    // Red | green << 8 | blue << 16 of an entry; 0 past the entries.
    virtual uint32_t IndexToColor(uint32_t index);
    // The palette's key index (its substitute for black); 4 without a palette.
    virtual uint32_t GetKeyIndex();
    virtual PaletteRecord* GetPalette() { return bits_.palette; }
    virtual int AttachWindow(HWND window);
    // Pitch x height bytes of pixels from / to a file of the file layer; 1 on success.
    virtual int ReadPixels(HANDLE file);
    virtual int WritePixels(HANDLE file);
    // Flips the full-screen back buffer.
    virtual void PresentFlip() {}

    // The description every pixel routine receives.
    const SurfaceBits* GetBits() const { return &bits_; }
    int32_t GetWidth() const { return bits_.width; }
    int32_t GetHeight() const { return bits_.height; }
    int32_t GetDepth() const { return bits_.depth; }

protected:
    // Clips a copy from this surface to the destination: against this whole surface, then
    // against the destination's clip rectangle inside the destination. 0 when empty.
    int ClipCopy(const cSurface& destination, int32_t* dx, int32_t* dy, int32_t* sx, int32_t* sy,
                 int32_t* width, int32_t* height) const;
    // Intersects the rectangle with the clip rectangle and the surface; 0 when nothing of
    // it is left.
    int ClipToSurface(int32_t* x, int32_t* y, int32_t* width, int32_t* height) const;
    // Takes the format fields (depth, format index, bytes per pixel, flags, bottom-up flag,
    // pixel-format table and a new use of the palette) of another surface.
    void CopyFormat(const cSurface& prototype);

    SurfaceBits bits_;
};
