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

#include "graphics2d/pixel_format.h"
#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"

// GetKind codes.
inline constexpr int32_t kSurfaceKindMemory = 1;
inline constexpr int32_t kSurfaceKindGDI = 2;
inline constexpr int32_t kSurfaceKindDIB = 3;
inline constexpr int32_t kSurfaceKindDIBDC = 4;
inline constexpr int32_t kSurfaceKindDirectDraw = 5;

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
    // Intersects the rectangle with the clip rectangle and the surface; 0 when nothing of
    // it is left.
    int ClipToSurface(int32_t* x, int32_t* y, int32_t* width, int32_t* height) const;
    // Takes the format fields (depth, format index, bytes per pixel, flags, bottom-up flag,
    // pixel-format table and a new use of the palette) of another surface.
    void CopyFormat(const cSurface& prototype);

    SurfaceBits bits_;
};
