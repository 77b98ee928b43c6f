// The records, flags and result codes of DirectDraw 4 and Direct3D 6 with Windows' names
// and values. The records have the sizes of the 32-bit originals, which callers put in
// their size fields: the one address they held, a locked surface's memory, is a handle of
// ours here (SurfaceMemory turns it back into an address).
#pragma once

#include <cstdint>

#include "platform/directx/ddraw_types.h"

inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT D3DERR_UNSUPPORTEDCOLOROPERATION = platform::ddraw::Error(2082);

// Surface descriptions beyond DirectDraw 2's.
inline constexpr DWORD DDSD_MIPMAPCOUNT = 0x00020000;
inline constexpr DWORD DDSD_TEXTURESTAGE = 0x00100000;
inline constexpr DWORD DDSCAPS_TEXTURE = 0x00001000;
inline constexpr DWORD DDSCAPS_3DDEVICE = 0x00002000;
inline constexpr DWORD DDSCAPS_ZBUFFER = 0x00020000;
inline constexpr DWORD DDSCAPS_MIPMAP = 0x00400000;
inline constexpr DWORD DDSCAPS2_TEXTUREMANAGE = 0x00000010;
inline constexpr DWORD DDPF_ALPHAPIXELS = 0x00000001;
inline constexpr DWORD DDPF_FOURCC = 0x00000004;
inline constexpr DWORD DDPF_ZBUFFER = 0x00000400;
inline constexpr DWORD DDPF_LUMINANCE = 0x00020000;
inline constexpr DWORD DDPF_BUMPLUMINANCE = 0x00040000;
inline constexpr DWORD DDPF_BUMPDUDV = 0x00080000;
inline constexpr DWORD DDCKEY_SRCBLT = 0x00000008;
inline constexpr DWORD DDSCL_FPUSETUP = 0x00000800;
inline constexpr DWORD DDCAPS2_CANRENDERWINDOWED = 0x00080000;
inline constexpr DWORD DDBD_16 = 0x00000400;
inline constexpr DWORD DDBD_24 = 0x00000200;
inline constexpr DWORD DDBD_32 = 0x00000100;
inline constexpr DWORD DDENUM_ATTACHEDSECONDARYDEVICES = 0x00000001;

// Device capabilities.
inline constexpr DWORD D3DDD_COLORMODEL = 0x00000001;
inline constexpr DWORD D3DCOLOR_RGB = 2;
inline constexpr DWORD D3DPRASTERCAPS_ZTEST = 0x00000010;
inline constexpr DWORD D3DPRASTERCAPS_FOGVERTEX = 0x00000080;
inline constexpr DWORD D3DPRASTERCAPS_ZBUFFERLESSHSR = 0x00008000;
inline constexpr DWORD D3DPRASTERCAPS_ANISOTROPY = 0x00020000;
inline constexpr DWORD D3DPRASTERCAPS_WBUFFER = 0x00040000;
inline constexpr DWORD D3DPTEXTURECAPS_PERSPECTIVE = 0x00000001;
inline constexpr DWORD D3DPTEXTURECAPS_POW2 = 0x00000002;
inline constexpr DWORD D3DPTEXTURECAPS_ALPHA = 0x00000004;
inline constexpr DWORD D3DPTEXTURECAPS_SQUAREONLY = 0x00000020;
inline constexpr DWORD D3DTEXOPCAPS_DISABLE = 0x00000001;
inline constexpr DWORD D3DTEXOPCAPS_SELECTARG1 = 0x00000002;
inline constexpr DWORD D3DTEXOPCAPS_MODULATE = 0x00000008;
inline constexpr DWORD D3DTEXOPCAPS_ADD = 0x00000040;
inline constexpr DWORD D3DTEXOPCAPS_ADDSIGNED = 0x00000080;
inline constexpr DWORD D3DTEXOPCAPS_BLENDFACTORALPHA = 0x00002000;
inline constexpr DWORD D3DFDS_GUID = 0x00000004;

// Render states.
inline constexpr DWORD D3DRENDERSTATE_ANTIALIAS = 2;
inline constexpr DWORD D3DRENDERSTATE_TEXTUREPERSPECTIVE = 4;
inline constexpr DWORD D3DRENDERSTATE_ZENABLE = 7;
inline constexpr DWORD D3DRENDERSTATE_FILLMODE = 8;
inline constexpr DWORD D3DRENDERSTATE_SHADEMODE = 9;
inline constexpr DWORD D3DRENDERSTATE_ZWRITEENABLE = 14;
inline constexpr DWORD D3DRENDERSTATE_SRCBLEND = 19;
inline constexpr DWORD D3DRENDERSTATE_DESTBLEND = 20;
inline constexpr DWORD D3DRENDERSTATE_CULLMODE = 22;
inline constexpr DWORD D3DRENDERSTATE_ZFUNC = 23;
inline constexpr DWORD D3DRENDERSTATE_DITHERENABLE = 26;
inline constexpr DWORD D3DRENDERSTATE_ALPHABLENDENABLE = 27;
inline constexpr DWORD D3DRENDERSTATE_FOGENABLE = 28;
inline constexpr DWORD D3DRENDERSTATE_SPECULARENABLE = 29;
inline constexpr DWORD D3DRENDERSTATE_FOGCOLOR = 34;
inline constexpr DWORD D3DRENDERSTATE_FOGTABLEMODE = 35;
inline constexpr DWORD D3DRENDERSTATE_COLORKEYENABLE = 41;
inline constexpr DWORD D3DRENDERSTATE_RANGEFOGENABLE = 48;
inline constexpr DWORD D3DRENDERSTATE_FLUSHBATCH = 50;
inline constexpr DWORD D3DRENDERSTATE_TEXTUREFACTOR = 60;
// Light states.
inline constexpr DWORD D3DLIGHTSTATE_MATERIAL = 1;
inline constexpr DWORD D3DLIGHTSTATE_AMBIENT = 2;
inline constexpr DWORD D3DLIGHTSTATE_FOGMODE = 4;
inline constexpr DWORD D3DLIGHTSTATE_FOGSTART = 5;
inline constexpr DWORD D3DLIGHTSTATE_FOGEND = 6;
inline constexpr DWORD D3DLIGHTSTATE_FOGDENSITY = 7;
// Texture-stage states.
inline constexpr DWORD D3DTSS_COLOROP = 1;
inline constexpr DWORD D3DTSS_COLORARG1 = 2;
inline constexpr DWORD D3DTSS_COLORARG2 = 3;
inline constexpr DWORD D3DTSS_ALPHAOP = 4;
inline constexpr DWORD D3DTSS_ALPHAARG1 = 5;
inline constexpr DWORD D3DTSS_ALPHAARG2 = 6;
inline constexpr DWORD D3DTSS_TEXCOORDINDEX = 11;
inline constexpr DWORD D3DTSS_ADDRESS = 12;
inline constexpr DWORD D3DTSS_MAGFILTER = 16;
inline constexpr DWORD D3DTSS_MINFILTER = 17;
inline constexpr DWORD D3DTSS_MIPFILTER = 18;
inline constexpr DWORD D3DTSS_MAXANISOTROPY = 21;

// State values.
inline constexpr DWORD D3DTOP_DISABLE = 1;
inline constexpr DWORD D3DTOP_SELECTARG1 = 2;
inline constexpr DWORD D3DTOP_MODULATE = 4;
inline constexpr DWORD D3DTOP_ADD = 7;
inline constexpr DWORD D3DTOP_ADDSIGNED = 8;
inline constexpr DWORD D3DTOP_BLENDFACTORALPHA = 14;
inline constexpr DWORD D3DTA_DIFFUSE = 0;
inline constexpr DWORD D3DTA_CURRENT = 1;
inline constexpr DWORD D3DTA_TEXTURE = 2;
inline constexpr DWORD D3DBLEND_ZERO = 1;
inline constexpr DWORD D3DBLEND_ONE = 2;
inline constexpr DWORD D3DBLEND_SRCALPHA = 5;
inline constexpr DWORD D3DBLEND_INVSRCALPHA = 6;
inline constexpr DWORD D3DCMP_LESS = 2;
inline constexpr DWORD D3DCMP_GREATEREQUAL = 7;
inline constexpr DWORD D3DCMP_ALWAYS = 8;
inline constexpr DWORD D3DCULL_NONE = 1;
inline constexpr DWORD D3DCULL_CW = 2;
inline constexpr DWORD D3DFILL_WIREFRAME = 2;
inline constexpr DWORD D3DFILL_SOLID = 3;
inline constexpr DWORD D3DSHADE_FLAT = 1;
inline constexpr DWORD D3DSHADE_GOURAUD = 2;
inline constexpr DWORD D3DZB_TRUE = 1;
inline constexpr DWORD D3DZB_USEW = 2;
inline constexpr DWORD D3DFOG_NONE = 0;
inline constexpr DWORD D3DTADDRESS_WRAP = 1;
inline constexpr DWORD D3DANTIALIAS_SORTINDEPENDENT = 2;

// Drawing.
inline constexpr DWORD D3DPT_LINELIST = 2;
inline constexpr DWORD D3DPT_TRIANGLELIST = 4;
inline constexpr DWORD D3DPT_TRIANGLEFAN = 6;
inline constexpr DWORD D3DDP_DONOTCLIP = 0x00000004;
inline constexpr DWORD D3DDP_DONOTUPDATEEXTENTS = 0x00000008;
inline constexpr DWORD D3DDP_DONOTLIGHT = 0x00000010;
// Screen x, y, z, 1/w, diffuse, specular and two texture coordinate pairs: 40 bytes.
inline constexpr DWORD D3DFVF_TLVERTEX2 = 0x2C4;
inline constexpr DWORD D3DCLEAR_TARGET = 1;
inline constexpr DWORD D3DCLEAR_ZBUFFER = 2;
inline constexpr DWORD D3DCLEAR_STENCIL = 4;

// Enumeration callbacks answer these.
inline constexpr HRESULT D3DENUMRET_CANCEL = 0;
inline constexpr HRESULT D3DENUMRET_OK = 1;

struct DDSCAPS2 {
    DWORD dwCaps;
    DWORD dwCaps2;
    DWORD dwCaps3;
    DWORD dwCaps4;
};

struct DDSURFACEDESC2 {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    DWORD dwMipMapCount;
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    DWORD lpSurface; // a handle of ours while locked: SurfaceMemory
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS2 ddsCaps;
    DWORD dwTextureStage;
};
static_assert(sizeof(DDSURFACEDESC2) == 124);

// The memory a Lock gave in `desc`, until the Unlock; null for any other description.
uint8_t* SurfaceMemory(const DDSURFACEDESC2& desc);

// The driver's capabilities; of them, only the caps words are filled.
struct DDCAPS {
    DWORD dwSize;
    DWORD dwCaps;
    DWORD dwCaps2;
    DWORD dwRest[92];
};
static_assert(sizeof(DDCAPS) == 380);

struct D3DCOLORVALUE {
    float r, g, b, a;
};

struct D3DMATERIAL {
    DWORD dwSize;
    D3DCOLORVALUE diffuse;
    D3DCOLORVALUE ambient;
    D3DCOLORVALUE specular;
    D3DCOLORVALUE emissive;
    float power;
    DWORD hTexture;
    DWORD dwRampSize;
};
static_assert(sizeof(D3DMATERIAL) == 80);

struct D3DVIEWPORT2 {
    DWORD dwSize;
    DWORD dwX;
    DWORD dwY;
    DWORD dwWidth;
    DWORD dwHeight;
    float dvClipX;
    float dvClipY;
    float dvClipWidth;
    float dvClipHeight;
    float dvMinZ;
    float dvMaxZ;
};
static_assert(sizeof(D3DVIEWPORT2) == 44);

struct D3DRECT {
    LONG x1, y1, x2, y2;
};

struct D3DPRIMCAPS {
    DWORD dwSize;
    DWORD dwMiscCaps;
    DWORD dwRasterCaps;
    DWORD dwZCmpCaps;
    DWORD dwSrcBlendCaps;
    DWORD dwDestBlendCaps;
    DWORD dwAlphaCmpCaps;
    DWORD dwShadeCaps;
    DWORD dwTextureCaps;
    DWORD dwTextureFilterCaps;
    DWORD dwTextureBlendCaps;
    DWORD dwTextureAddressCaps;
    DWORD dwStippleWidth;
    DWORD dwStippleHeight;
};

struct D3DDEVICEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dcmColorModel;
    DWORD dwDevCaps;
    DWORD dtcTransformCaps[2];
    DWORD bClipping;
    DWORD dlcLightingCaps[4];
    D3DPRIMCAPS dpcLineCaps;
    D3DPRIMCAPS dpcTriCaps;
    DWORD dwDeviceRenderBitDepth;
    DWORD dwDeviceZBufferBitDepth;
    DWORD dwMaxBufferSize;
    DWORD dwMaxVertexCount;
    DWORD dwMinTextureWidth;
    DWORD dwMinTextureHeight;
    DWORD dwMaxTextureWidth;
    DWORD dwMaxTextureHeight;
    DWORD dwMinStippleWidth;
    DWORD dwMaxStippleWidth;
    DWORD dwMinStippleHeight;
    DWORD dwMaxStippleHeight;
    DWORD dwMaxTextureRepeat;
    DWORD dwMaxTextureAspectRatio;
    DWORD dwMaxAnisotropy;
    float dvGuardBandLeft;
    float dvGuardBandTop;
    float dvGuardBandRight;
    float dvGuardBandBottom;
    float dvExtentsAdjust;
    DWORD dwStencilCaps;
    DWORD dwFVFCaps;
    DWORD dwTextureOpCaps;
    WORD wMaxTextureBlendStages;
    WORD wMaxSimultaneousTextures;
};
static_assert(sizeof(D3DDEVICEDESC) == 252);

struct D3DFINDDEVICESEARCH {
    DWORD dwSize;
    DWORD dwFlags;
    BOOL bHardware;
    DWORD dcmColorModel;
    GUID guid;
    DWORD dwCaps;
    D3DPRIMCAPS dpcPrimCaps;
};

struct D3DFINDDEVICERESULT {
    DWORD dwSize;
    GUID guid;
    D3DDEVICEDESC ddHwDesc;
    D3DDEVICEDESC ddSwDesc;
};
