// DirectDraw's result codes, flags and records, with Windows' names and values. The
// records hold their pointers in pointer-sized fields, so their sizes are those of a
// 64-bit build: callers set dwSize to sizeof the record, and other sizes are refused.
#pragma once

#include <cstdint>

#include "platform/directx/unknown.h"
#include "platform/user/hwnd.h"

namespace platform::ddraw {
inline constexpr HRESULT Error(unsigned code) {
    return static_cast<HRESULT>(0x88760000u | code);
}
} // namespace platform::ddraw

inline constexpr HRESULT DD_OK = 0;
inline constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT DDERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT DDERR_INVALIDCAPS = platform::ddraw::Error(100);
inline constexpr HRESULT DDERR_INVALIDMODE = platform::ddraw::Error(120);
inline constexpr HRESULT DDERR_INVALIDOBJECT = platform::ddraw::Error(130);
inline constexpr HRESULT DDERR_INVALIDPIXELFORMAT = platform::ddraw::Error(145);
inline constexpr HRESULT DDERR_INVALIDRECT = platform::ddraw::Error(150);
inline constexpr HRESULT DDERR_NOCLIPLIST = platform::ddraw::Error(205);
inline constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = platform::ddraw::Error(212);
inline constexpr HRESULT DDERR_NOCOLORKEY = platform::ddraw::Error(215);
inline constexpr HRESULT DDERR_NOEXCLUSIVEMODE = platform::ddraw::Error(225);
inline constexpr HRESULT DDERR_NOTFOUND = platform::ddraw::Error(255);
inline constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = platform::ddraw::Error(380);
inline constexpr HRESULT DDERR_SURFACEBUSY = platform::ddraw::Error(430);
inline constexpr HRESULT DDERR_CANTLOCKSURFACE = platform::ddraw::Error(435);
inline constexpr HRESULT DDERR_SURFACELOST = platform::ddraw::Error(450);
inline constexpr HRESULT DDERR_INVALIDDIRECTDRAWGUID = platform::ddraw::Error(561);
inline constexpr HRESULT DDERR_NODIRECTDRAWHW = platform::ddraw::Error(563);
inline constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = platform::ddraw::Error(564);
inline constexpr HRESULT DDERR_BLTFASTCANTCLIP = platform::ddraw::Error(574);
inline constexpr HRESULT DDERR_EXCLUSIVEMODEALREADYSET = platform::ddraw::Error(581);
inline constexpr HRESULT DDERR_NOTFLIPPABLE = platform::ddraw::Error(582);
inline constexpr HRESULT DDERR_NOTLOCKED = platform::ddraw::Error(584);
inline constexpr HRESULT DDERR_CANTCREATEDC = platform::ddraw::Error(585);
inline constexpr HRESULT DDERR_NODC = platform::ddraw::Error(586);
inline constexpr HRESULT DDERR_UNSUPPORTEDMODE = platform::ddraw::Error(590);
inline constexpr HRESULT DDERR_DCALREADYCREATED = platform::ddraw::Error(620);

// SetCooperativeLevel.
inline constexpr DWORD DDSCL_FULLSCREEN = 0x00000001;
inline constexpr DWORD DDSCL_ALLOWREBOOT = 0x00000002;
inline constexpr DWORD DDSCL_NOWINDOWCHANGES = 0x00000004;
inline constexpr DWORD DDSCL_NORMAL = 0x00000008;
inline constexpr DWORD DDSCL_EXCLUSIVE = 0x00000010;

// DDSURFACEDESC::dwFlags: which fields are valid.
inline constexpr DWORD DDSD_CAPS = 0x00000001;
inline constexpr DWORD DDSD_HEIGHT = 0x00000002;
inline constexpr DWORD DDSD_WIDTH = 0x00000004;
inline constexpr DWORD DDSD_PITCH = 0x00000008;
inline constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x00000020;
inline constexpr DWORD DDSD_LPSURFACE = 0x00000800;
inline constexpr DWORD DDSD_PIXELFORMAT = 0x00001000;
inline constexpr DWORD DDSD_REFRESHRATE = 0x00040000;

// DDSCAPS::dwCaps.
inline constexpr DWORD DDSCAPS_BACKBUFFER = 0x00000004;
inline constexpr DWORD DDSCAPS_COMPLEX = 0x00000008;
inline constexpr DWORD DDSCAPS_FLIP = 0x00000010;
inline constexpr DWORD DDSCAPS_FRONTBUFFER = 0x00000020;
inline constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x00000040;
inline constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x00000200;
inline constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x00000800;
inline constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x00004000;
inline constexpr DWORD DDSCAPS_VISIBLE = 0x00008000;
inline constexpr DWORD DDSCAPS_LOCALVIDMEM = 0x10000000;

// DDPIXELFORMAT::dwFlags.
inline constexpr DWORD DDPF_PALETTEINDEXED8 = 0x00000020;
inline constexpr DWORD DDPF_RGB = 0x00000040;

// Blt.
inline constexpr DWORD DDBLT_ASYNC = 0x00000200;
inline constexpr DWORD DDBLT_COLORFILL = 0x00000400;
inline constexpr DWORD DDBLT_WAIT = 0x01000000;
// BltFast.
inline constexpr DWORD DDBLTFAST_NOCOLORKEY = 0x00000000;
inline constexpr DWORD DDBLTFAST_SRCCOLORKEY = 0x00000001;
inline constexpr DWORD DDBLTFAST_DESTCOLORKEY = 0x00000002;
inline constexpr DWORD DDBLTFAST_WAIT = 0x00000010;
// Flip.
inline constexpr DWORD DDFLIP_WAIT = 0x00000001;
// Lock.
inline constexpr DWORD DDLOCK_WAIT = 0x00000001;
inline constexpr DWORD DDLOCK_READONLY = 0x00000010;
inline constexpr DWORD DDLOCK_WRITEONLY = 0x00000020;
// WaitForVerticalBlank.
inline constexpr DWORD DDWAITVB_BLOCKBEGIN = 0x00000001;
inline constexpr DWORD DDWAITVB_BLOCKBEGINEVENT = 0x00000002;
inline constexpr DWORD DDWAITVB_BLOCKEND = 0x00000004;
// EnumDisplayModes callbacks.
inline constexpr HRESULT DDENUMRET_CANCEL = 0;
inline constexpr HRESULT DDENUMRET_OK = 1;

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};
static_assert(sizeof(DDPIXELFORMAT) == 32);

struct DDSCAPS {
    DWORD dwCaps;
};

struct DDSURFACEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    DWORD dwRefreshRate;
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    void* lpSurface;
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};

class IDirectDrawSurface;

// What a blit needs beyond its rectangles; of it, only the fill of DDBLT_COLORFILL is
// read.
struct DDBLTFX {
    DWORD dwSize;
    DWORD dwDDFX;
    DWORD dwROP;
    DWORD dwDDROP;
    DWORD dwRotationAngle;
    DWORD dwZBufferOpCode;
    DWORD dwZBufferLow;
    DWORD dwZBufferHigh;
    DWORD dwZBufferBaseDest;
    DWORD dwZDestConstBitDepth;
    union {
        DWORD dwZDestConst;
        IDirectDrawSurface* lpDDSZBufferDest;
    };
    DWORD dwZSrcConstBitDepth;
    union {
        DWORD dwZSrcConst;
        IDirectDrawSurface* lpDDSZBufferSrc;
    };
    DWORD dwAlphaEdgeBlendBitDepth;
    DWORD dwAlphaEdgeBlend;
    DWORD dwReserved;
    DWORD dwAlphaDestConstBitDepth;
    union {
        DWORD dwAlphaDestConst;
        IDirectDrawSurface* lpDDSAlphaDest;
    };
    DWORD dwAlphaSrcConstBitDepth;
    union {
        DWORD dwAlphaSrcConst;
        IDirectDrawSurface* lpDDSAlphaSrc;
    };
    union {
        DWORD dwFillColor; // a pixel value of the destination's format
        DWORD dwFillDepth;
        DWORD dwFillPixel;
        IDirectDrawSurface* lpDDSPattern;
    };
    DDCOLORKEY ddckDestColorkey;
    DDCOLORKEY ddckSrcColorkey;
};

using LPDDENUMMODESCALLBACK = HRESULT (*)(DDSURFACEDESC* mode, void* context);
