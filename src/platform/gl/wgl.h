// OpenGL on device contexts: pixel formats, rendering contexts and buffer swaps, under
// their Windows names.
//
// Frames are drawn offscreen: making a context current on a window's DC binds a
// framebuffer object of the window's client size, and SwapBuffers reads it back into the
// window's client area as a blit through that DC would, clipped to the visible region.
// Contexts come from SDL on the sdl display and from EGL elsewhere; libGL is opened at run
// time ("OpenGL32.dll"), so the player starts without it.
#pragma once

#include <cstdint>

#include "platform/gdi/screen_dc.h"
#include "platform/kernel/win_types.h"

using HGLRC = uint32_t;

// 40 bytes, as stored; read and written field by field.
struct PIXELFORMATDESCRIPTOR {
    WORD nSize = 0;
    WORD nVersion = 0;
    DWORD dwFlags = 0;
    BYTE iPixelType = 0;
    BYTE cColorBits = 0;
    BYTE cRedBits = 0;
    BYTE cRedShift = 0;
    BYTE cGreenBits = 0;
    BYTE cGreenShift = 0;
    BYTE cBlueBits = 0;
    BYTE cBlueShift = 0;
    BYTE cAlphaBits = 0;
    BYTE cAlphaShift = 0;
    BYTE cAccumBits = 0;
    BYTE cAccumRedBits = 0;
    BYTE cAccumGreenBits = 0;
    BYTE cAccumBlueBits = 0;
    BYTE cAccumAlphaBits = 0;
    BYTE cDepthBits = 0;
    BYTE cStencilBits = 0;
    BYTE cAuxBuffers = 0;
    BYTE iLayerType = 0;
    BYTE bReserved = 0;
    DWORD dwLayerMask = 0;
    DWORD dwVisibleMask = 0;
    DWORD dwDamageMask = 0;
};

inline constexpr DWORD PFD_DOUBLEBUFFER = 0x00000001;
inline constexpr DWORD PFD_DRAW_TO_WINDOW = 0x00000004;
inline constexpr DWORD PFD_DRAW_TO_BITMAP = 0x00000008;
inline constexpr DWORD PFD_SUPPORT_GDI = 0x00000010;
inline constexpr DWORD PFD_SUPPORT_OPENGL = 0x00000020;
inline constexpr DWORD PFD_GENERIC_FORMAT = 0x00000040;
inline constexpr DWORD PFD_NEED_PALETTE = 0x00000080;
inline constexpr BYTE PFD_TYPE_RGBA = 0;
inline constexpr BYTE PFD_TYPE_COLORINDEX = 1;
inline constexpr BYTE PFD_MAIN_PLANE = 0;

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* wanted);
BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* descriptor);
int GetPixelFormat(HDC dc);
int DescribePixelFormat(HDC dc, int format, UINT bytes, PIXELFORMATDESCRIPTOR* descriptor);
BOOL SwapBuffers(HDC dc);

// Also answered by GetProcAddress on the "OpenGL32.dll" module under these names.
HGLRC wglCreateContext(HDC dc);
BOOL wglMakeCurrent(HDC dc, HGLRC context);
BOOL wglDeleteContext(HGLRC context);
BOOL wglShareLists(HGLRC first, HGLRC second);
BOOL wglUseFontBitmapsA(HDC dc, DWORD first, DWORD count, DWORD listBase);
