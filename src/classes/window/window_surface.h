// What a Window asks of the Surface that fills its client area. The Surface classes are
// built on the window classes (a Surface holds a Font and knows the Window it is shown
// in), so a Window reaches its Surface only through this interface, and gets a new one
// from the maker the Surface classes install at start. Without a maker every Window
// behaves as one made with NOSURFACE.
#pragma once

#include <cstdint>

#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/palettes.h"
#include "platform/user/windows.h"

class CInterpretor;
class CIBaseClassImpl;
class CIChildWindow;
class CIFont;
class SurfaceHandle;

class CWindowSurface {
public:
    // CreateSurface flags: bit 0 DirectDraw-backed, bit 3 a DIB section with a kept DC.
    static constexpr uint32_t kDirectDraw = 0x1;
    static constexpr uint32_t kKeptDC = 0x8;

    virtual ~CWindowSurface() = default;

    // The Surface as a script object (its use count, its methods by id).
    virtual CIBaseClassImpl* GetSurfaceObject() = 0;
    // The picture; null before one exists.
    virtual SurfaceHandle* GetSurfaceHandle() = 0;
    virtual void SetHostWindow(CIChildWindow* window) = 0;
    // A new picture of the client size, keeping what fits of the old one.
    virtual void ResizeToWindow(int32_t width, int32_t height) = 0;
    // Blits `rect` of the picture (all of it when null) into `dc`, within `clip` when
    // given; a zero `dc` is the host window's own.
    virtual void PaintToWindow(HDC dc, const RECT* rect, const RECT* clip) = 0;
    // Fills with the background colour; with `mark` the area is also marked for the next
    // refresh.
    virtual void EraseRect(int32_t x, int32_t y, int32_t width, int32_t height, int mark) = 0;
    // Styled text at the pen position; the extent drawn (from the start position to the
    // end of the last line) goes to the outputs given.
    virtual void WriteStyled(const char* text, int32_t* width, int32_t* height) = 0;
    // The extent a line of this text would cover, drawing nothing; the pen moves on to
    // the start of the next line, as after WriteLn.
    virtual void MeasureStyled(const char* text, int32_t* width, int32_t* height) = 0;
    virtual void SetPenColorValue(COLORREF colour) = 0;
    virtual void SetBackgroundColorValue(COLORREF colour) = 0;
    virtual void SetFontObject(CIFont* font) = 0;
    // 1 when the display took the mode.
    virtual int SetFullScreen(int32_t width, int32_t height, int32_t depth) = 0;
    virtual void SetWindowed(int flag) = 0;
    // The palette of an 8-bit picture, else 0.
    virtual HPALETTE GetHPALETTE() = 0;
    virtual void InvalidateAll() = 0;
    // Marks a rectangle (right and bottom exclusive) for the next refresh, unless the
    // Surface's updates are suspended.
    virtual void MarkChanged(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    virtual void GetPenPosition(int32_t& x, int32_t& y) = 0;
    virtual void SetPenPosition(int32_t x, int32_t y) = 0;
};

// The Surface of a script object; null for objects of other classes.
CWindowSurface* AsWindowSurface(CIBaseClassImpl* object);

// Makes a registered Surface of that size and depth (0: the screen's) with the creation
// flags above; null without a maker or when memory runs out.
using WindowSurfaceMaker = CWindowSurface* (*)(CInterpretor& interpreter, int32_t width,
                                               int32_t height, int32_t depth, uint32_t flags);
void SetWindowSurfaceMaker(WindowSurfaceMaker maker);
// A maker is installed.
bool IsWindowSurfaceAvailable();
CWindowSurface* MakeWindowSurface(CInterpretor& interpreter, int32_t width, int32_t height,
                                  int32_t depth, uint32_t flags);
