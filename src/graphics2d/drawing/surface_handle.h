// The one type through which the rest of the system holds and drives a 2D surface. A
// handle owns one surface implementation, never none: an empty handle points at the shared
// cNullSurface, whose operations do nothing. It keeps a drawing origin, subtracted from
// every coordinate before it reaches the surface, and the result code of the last failed
// operation.
//
// Two-surface operations are called on the source; the first argument names the
// destination handle, whose own origin applies to the destination coordinates.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics2d/surfaces/surface.h"
#include "platform/gdi/icons/icons.h"

// Result codes of the last-error field.
inline constexpr uint32_t kSurfaceErrorNoMemory = 0x40000000;
inline constexpr uint32_t kSurfaceErrorFailed = 0x40010000;
inline constexpr uint32_t kSurfaceErrorBadArgument = 0x40010002;

// Flags of SurfaceHandle::ExportDIB: bit 0 writes only the header and colour table.
inline constexpr uint32_t kExportHeaderOnly = 1;
// Flags of SurfaceHandle::CreateFromDIB: bit 0 keeps the surface's own palette and
// re-indexes the pixels to it; bit 2 adopts the bitmap's palette unchanged.
inline constexpr uint32_t kImportKeepPalette = 1;
inline constexpr uint32_t kImportAdoptPalette = 4;

// Bytes of a packed bitmap's header and colour table (or masks) at a depth.
int64_t GetDIBInfoSize(int32_t depth);
// Bytes per row, rounded up to 4; depth 15 counts as 16.
int64_t GetDIBStride(int32_t width, int32_t depth);
// Header, colour table and rows.
int64_t GetPackedDIBSize(int32_t width, int32_t height, int32_t depth);

class SurfaceHandle;

// An icon (no hot spot) or a cursor (with one) of the surface's picture, centred and shrunk
// to fit keeping its proportions; width or height 0 is the system's icon size. Pixels of
// `transparent` colour are transparent. Null on failure.
HICON MakeIconFromSurface(SurfaceHandle* handle, int32_t width, int32_t height,
                          uint32_t transparent, const POINT* hotSpot);

// The size of a width x height picture turned by `degrees`.
void RotatedSize(int32_t* width, int32_t* height, int32_t degrees);
// Cohen-Sutherland clipping of a segment to a rectangle; 1 when something remains.
int ClipLine(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2, int32_t left, int32_t top,
             int32_t right, int32_t bottom);

class CFillBase;

class SurfaceHandle {
public:
    // A new empty handle, or null when out of memory.
    static SurfaceHandle* New();

    SurfaceHandle();
    ~SurfaceHandle();
    SurfaceHandle(const SurfaceHandle&) = delete;
    SurfaceHandle& operator=(const SurfaceHandle&) = delete;

    // A new surface of the prototype's class and format; sizes below 1 become 1. On
    // failure the handle is empty with kSurfaceErrorNoMemory. Last error 0 on success.
    cSurface* Create(int32_t width, int32_t height, SurfaceHandle* prototype);
    // A copy of `source` (width -1: at its size, else stretched to width x height). An empty
    // source empties this handle and leaves the last error alone.
    void Assign(SurfaceHandle* source, int32_t width, int32_t height);
    void Release();
    // Takes `implementation` (when not null) after releasing the current surface.
    void Attach(cSurface* implementation);
    cSurface* GetImpl() const { return impl_; }
    int IsValid() const;
    // 1 for DIB sections and DirectDraw surfaces, 2 for DIB sections with a kept DC, else 0.
    int32_t GetKindClass() const;
    // 2 for a DirectDraw surface, else 0.
    int32_t IsDirectDraw() const;
    void SetOrigin(int32_t x, int32_t y);
    void GetOrigin(POINT* origin) const;
    int GetOpSupport(int32_t index);
    uint32_t GetLastError() const { return lastError_; }

    int32_t GetWidth() const { return impl_->GetWidth(); }
    int32_t GetHeight() const { return impl_->GetHeight(); }
    int32_t GetDepth() const { return impl_->GetDepth(); }

    // The pixels after locking, or null.
    uint8_t* Lock();
    void Unlock();
    void GetClipRect(int32_t* x, int32_t* y, int32_t* width, int32_t* height);
    void SetClipRect(int32_t x, int32_t y, int32_t width, int32_t height);
    // The colour (at 8 bits the palette entry's); 1 inside the clip rectangle.
    int GetPixel(int32_t x, int32_t y, uint32_t* colour);
    // The stored value (the index at 8 bits).
    int GetPixelIndex(int32_t x, int32_t y, uint32_t* value);
    int AttachWindow(HWND window);

    int Blit(SurfaceHandle* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
             int32_t width, int32_t height, int32_t transparent, int32_t mode, uint32_t param,
             int32_t smooth);
    int BlitWhole(SurfaceHandle* destination, int32_t dx, int32_t dy, int32_t transparent,
                  int32_t mode, uint32_t param, int32_t smooth);
    int CopyTo(SurfaceHandle* destination);
    int MoveRect(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t width, int32_t height);
    int StretchBlit(SurfaceHandle* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                    int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t transparent,
                    int32_t mode, uint32_t param, int32_t smooth);
    int StretchTo(SurfaceHandle* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                  int32_t transparent, int32_t mode, uint32_t param, int32_t smooth);
    int StretchOver(SurfaceHandle* destination, int32_t smooth);
    // Pixel collision; no origin applies.
    int PixelsOverlap(SurfaceHandle* other, int32_t ox, int32_t oy, int32_t x, int32_t y,
                      int32_t width, int32_t height);

    int MirrorXRect(int32_t x, int32_t y, int32_t width, int32_t height);
    int MirrorYRect(int32_t x, int32_t y, int32_t width, int32_t height);
    int MirrorX();
    int MirrorY();
    int FillRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour);
    int FillRectAll(uint32_t colour);
    int ReplaceColor(uint32_t from, uint32_t to);

    int IsPaletted() const;
    int SetPalette(PaletteRecord* palette, int32_t remap);
    int SetPaletteData(const RawPalette* palette, int32_t remap);
    PaletteRecord* GetPalette();
    int GetPaletteEntries(PaletteEntry* entries, int32_t first, int32_t count);
    uint32_t ColorToIndex(uint32_t colour);
    uint32_t IndexToColor(uint32_t index);
    // Re-indexes this surface's pixels to the other's palette (both paletted).
    void RemapToPaletteOf(SurfaceHandle* other);

    // Turning. Angles in degrees are brought into 0 .. 359 first. RotateInto needs
    // capability 4 of the surface (else kSurfaceErrorFailed); RotateToNew makes the
    // destination (this handle's class and depth) just large enough for the turned picture.
    int RotateInto(SurfaceHandle* destination, int32_t degrees, int32_t smooth,
                   uint32_t background);
    int RotateToNew(SurfaceHandle* destination, int32_t degrees, int32_t smooth,
                    uint32_t background);
    int Rotate(SurfaceHandle* destination, double radians, int32_t smooth, uint32_t background);

    // Shapes in one pen colour and one fill colour, drawn by GDI on the surface's device
    // context inside the clip rectangle. Corners in any order; the outline lies inside the
    // box. 0 with kSurfaceErrorBadArgument when the surface has no device context.
    int DrawEllipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t fill, int32_t penWidth,
                    uint32_t pen, int32_t filled);
    int StrokeEllipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth,
                      uint32_t pen);
    int DrawRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t fill,
                      int32_t penWidth, uint32_t pen, int32_t filled);
    int StrokeRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth,
                        uint32_t pen);
    int DrawPolygon(const POINT* points, int32_t count, uint32_t fill, int32_t penWidth,
                    uint32_t pen, int32_t filled);
    int StrokePolygon(const POINT* points, int32_t count, int32_t penWidth, uint32_t pen);

    // Shapes coloured by fill painters: each painter paints a temporary picture, a mask of
    // the shape cuts it, and it is copied on with the key. Of the four copy arguments t3 is
    // the operation, t4 its argument and t1 the smoothing; t2 is not used.
    struct CopyArguments {
        int32_t smooth; // t1
        int32_t unused; // t2
        int32_t op;     // t3
        uint32_t param; // t4
    };
    int DrawEllipsePainted(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CFillBase* fill,
                           int32_t penWidth, CFillBase* pen, CopyArguments copy, int32_t filled);
    int DrawRectanglePainted(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CFillBase* fill,
                             int32_t penWidth, CFillBase* pen, CopyArguments copy, int32_t filled);
    int DrawPolygonPainted(const POINT* points, int32_t count, CFillBase* fill, int32_t penWidth,
                           CFillBase* pen, CopyArguments copy, int32_t filled);
    int DrawLinePainted(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth,
                        CFillBase* pen, CopyArguments copy);

    // Text through the surface (see cSurface::TextOut and DrawText); arguments unchanged.
    int TextOut(const char* text, int32_t length, int32_t x, int32_t y, uint32_t alignment,
                const RECT* clip, uint32_t colour, HFONT font, int32_t direct, int32_t op,
                uint32_t param, int32_t smooth);
    int DrawText(const char* text, int32_t length, RECT* rect, uint32_t format, uint32_t colour,
                 HFONT font, int32_t direct, int32_t op, uint32_t param, int32_t smooth,
                 int32_t tabLength, int32_t leftMargin, int32_t rightMargin);

    // A line; width 1 is drawn pixel by pixel inside the clip rectangle, wider ones by GDI.
    int DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth, uint32_t colour);
    // Flood fill from the seed over pixels whose channels each differ from the seed's by at
    // most `tolerance`. With a colour and a mode argument the fill goes through a temporary
    // copied on with the blit `mode` (an operation code), `modeArgument` and `extra` (smooth).
    int Fill(int32_t x, int32_t y, uint32_t colour, int32_t extra, int32_t tolerance, int32_t mode,
             uint32_t modeArgument);

    int EnterFullScreen(HWND window, int32_t width, int32_t height, int32_t depth);
    void LeaveFullScreen(HWND window);
    int WaitVSync();
    // Only between handles of the same kind class and DirectDraw family.
    void CopyDisplayState(SurfaceHandle* other);

    int64_t GetPackedDIBSize() const;
    // Writes the 40-byte header (and masks or colour table) into `header` (`headerSize`
    // bytes) and, unless kExportHeaderOnly, the rows into `pixels` (`pixelsSize` bytes), or
    // after the table when `pixels` is null. 1, or 0 with the last error set.
    int ExportDIB(void* header, size_t headerSize, void* pixels, size_t pixelsSize, uint32_t flags);
    // Replaces the picture by a packed bitmap of `headerSize` bytes (rows in `pixels`, or
    // after the table when null), keeping the surface's class and depth.
    int CreateFromDIB(const void* header, size_t headerSize, const void* pixels, size_t pixelsSize,
                      uint32_t flags);

private:
    // Releases the current surface and takes `next` (the null surface when null).
    void Replace(cSurface* next);
    // What the shapes share: the figure drawn by `draw` on the device context clipped to
    // the clip rectangle, with a pen (or none) and a brush (or none).
    enum class Figure { Ellipse, Rectangle, Polygon, Line };
    struct Outline {
        Figure figure;
        int32_t x1, y1, x2, y2;
        const POINT* points;
        int32_t count;
    };
    int DrawFigure(const Outline& shape, bool withPen, int penStyle, int32_t penWidth, uint32_t pen,
                   bool withBrush, uint32_t fill, bool whiteBrush);
    int DrawPainted(Outline shape, CFillBase* fill, int32_t penWidth, CFillBase* pen,
                    CopyArguments copy, int32_t filled);
    // Coordinates the device context takes: those of the handle when the surface moved
    // its DC's origin, else less the origin.
    POINT ToDC(int32_t x, int32_t y);

    cSurface* impl_;
    int32_t originX_ = 0;
    int32_t originY_ = 0;
    uint32_t lastError_ = 0;
};
