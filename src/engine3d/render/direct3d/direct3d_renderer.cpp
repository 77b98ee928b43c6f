#include "engine3d/render/direct3d/direct3d_renderer.h"

#include "engine3d/render/direct3d/direct3d_device.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/objects/world.h"
#include "platform/user/windows.h"

namespace {

LRenderAPI_Direct3D* gCurrent = nullptr;

// The style of a window shown full screen.
constexpr LONG kFullScreenStyle = LONG(0x86000000u);

HRESULT KeepDepthFormat(DDPIXELFORMAT* format, void* context) {
    if (format == nullptr) return D3DENUMRET_CANCEL;
    auto* wanted = static_cast<DDPIXELFORMAT*>(context);
    if (format->dwFlags != wanted->dwFlags) return D3DENUMRET_OK;
    *wanted = *format;
    return format->dwRGBBitCount == 16 ? D3DENUMRET_CANCEL : D3DENUMRET_OK;
}

// Accepts the first format that fits the request (a TextureFormat) and stops.
HRESULT MatchTextureFormat(DDPIXELFORMAT* format, void* context) {
    auto* request = static_cast<LRenderAPI_Direct3D::TextureFormat*>(context);
    if (format == nullptr || request == nullptr) return D3DENUMRET_OK;
    if (format->dwFlags & (DDPF_LUMINANCE | DDPF_BUMPLUMINANCE | DDPF_BUMPDUDV))
        return D3DENUMRET_OK;
    bool accept = false;
    if (request->palettised != 0) {
        accept = (format->dwFlags & DDPF_PALETTEINDEXED8) != 0;
    } else {
        const bool hasAlpha = (format->dwFlags & DDPF_ALPHAPIXELS) != 0;
        if (format->dwRGBBitCount < 16 || (format->dwFlags & DDPF_FOURCC) != 0 ||
            hasAlpha != (request->alpha != 0))
            return D3DENUMRET_OK;
        if (format->dwRGBBitCount == 16 && format->dwRGBAlphaBitMask == request->alphaMask) {
            const DWORD r = format->dwRBitMask, g = format->dwGBitMask, b = format->dwBBitMask;
            if (request->depth == 16 && r == 0xF800 && g == 0x07E0 && b == 0x001F)
                accept = true;
            else if (request->depth == 15 && r == 0x7C00 && g == 0x03E0 && b == 0x001F)
                accept = true;
            else if ((request->depth == 15 || request->depth == 16) && r == 0x0F00 && g == 0x00F0 &&
                     b == 0x000F)
                accept = true;
            else if (request->depth == 15 || request->depth == 16)
                return D3DENUMRET_OK;
        }
        if (!accept)
            accept = format->dwRGBBitCount == request->depth &&
                     format->dwRGBAlphaBitMask == request->alphaMask;
    }
    if (!accept) return D3DENUMRET_OK;
    request->format = *format;
    request->found = 1;
    return D3DENUMRET_CANCEL;
}

const uint32_t* DepthOrder(uint32_t depth) {
    static const uint32_t k8[] = {32, 24, 16, 15, 0};
    static const uint32_t k15[] = {15, 16, 32, 24, 0};
    static const uint32_t k16[] = {16, 15, 32, 24, 0};
    static const uint32_t k24[] = {24, 32, 16, 15, 0};
    static const uint32_t k32[] = {32, 16, 15, 24, 0};
    switch (depth) {
    case 8:
        return k8;
    case 15:
        return k15;
    case 16:
        return k16;
    case 24:
        return k24;
    case 32:
        return k32;
    default:
        return nullptr;
    }
}

} // namespace

LRenderAPI_Direct3D* LRenderAPI_Direct3D::Current() {
    return gCurrent;
}

void LRenderAPI_Direct3D::MakeCurrent(LRenderAPI_Direct3D* renderer) {
    gCurrent = renderer;
}

LRenderAPI_Direct3D::LRenderAPI_Direct3D(L3DWorld* w, LAPI_Direct3D* d) : LRenderAPICLBK(w, d) {
    useScreenDepth = 1;
}

LRenderAPI_Direct3D::~LRenderAPI_Direct3D() {
    ReleaseDeviceObjects();
    if (clipper != nullptr) clipper->Release();
    targetWindow = 0;
    if (gCurrent == this) gCurrent = nullptr;
}

LAPI_Direct3D* LRenderAPI_Direct3D::BackEnd() const {
    return static_cast<LAPI_Direct3D*>(device);
}

void LRenderAPI_Direct3D::RenderState(DWORD state, DWORD value) {
    if (d3dDevice != nullptr) d3dDevice->SetRenderState(state, value);
}

void LRenderAPI_Direct3D::StageState(DWORD stage, DWORD state, DWORD value) {
    if (d3dDevice != nullptr) d3dDevice->SetTextureStageState(stage, state, value);
}

// Display modes and set-up.

int LRenderAPI_Direct3D::SetWindowed(int windowed) {
    if ((flags & kMemoryTarget) != 0) return 0;
    flagsBeforeSwitch_ = flags;
    switching_ = true;
    const int result = LRenderAPICLBK::SetWindowed(windowed);
    switching_ = false;
    return result;
}

int LRenderAPI_Direct3D::SetDisplayMode(uint32_t newFlags, int32_t w, int32_t h, int32_t d) {
    if ((flags & kMemoryTarget) != 0) return kMemoryTargetCode;
    if (d == kKeep) d = depth;
    bool reload = false;
    if (newFlags != uint32_t(kKeep)) {
        IDirectDraw4* dd = BackEnd()->GetDirectDraw();
        const uint32_t current = switching_ ? flagsBeforeSwitch_ : flags;
        switching_ = false;
        if ((current & kFullScreen) != 0 && (newFlags & kWindowed) != 0) {
            if (dd != nullptr) dd->RestoreDisplayMode();
            if (savedStyle != -1) SetWindowLongA(targetWindow, GWL_STYLE, savedStyle);
            savedStyle = -1;
            reload = true;
        } else if ((current & kWindowed) != 0 && (newFlags & kFullScreen) != 0) {
            savedStyle = GetWindowLongA(targetWindow, GWL_STYLE);
            // The screen of a full-screen primary is its window here: a shown window stays
            // shown, or every flipped frame would go to a hidden one.
            SetWindowLongA(targetWindow, GWL_STYLE,
                           kFullScreenStyle | (savedStyle & LONG(WS_VISIBLE)));
            reload = true;
        }
        if ((newFlags & kStencilClear) != 0) {
            reload = true;
            newFlags |= kDepthBuffer;
        }
    }
    ReleaseDeviceObjects();
    if (w != kKeep) width = uint32_t(w);
    if (h != kKeep) height = uint32_t(h);
    if (newFlags != uint32_t(kKeep)) flags = newFlags;
    depth = uint8_t(d);
    const int32_t savedBits = stateBits;
    const int result = LRenderAPICLBK::SetDisplayMode(int32_t(width), int32_t(height), flags,
                                                      int32_t(depth), background, targetWindow);
    if (savedBits != -1) stateBits = savedBits;
    if (reload) {
        SetTextureDepth(depth);
        if (world != nullptr) world->textures.ReloadAll();
    }
    return result;
}

int LRenderAPI_Direct3D::Initialize() {
    setUpResult = SetUp();
    return setUpResult;
}

int LRenderAPI_Direct3D::SetUp() {
    if (targetWindow == 0 && targetTexture == nullptr) return kNoWindow;
    gCurrent = this;
    if ((flags & kMemoryTarget) != 0) return 0;
    IDirectDraw4* dd = BackEnd()->GetDirectDraw();
    if (dd == nullptr || BackEnd()->GetDirect3D() == nullptr) return kSurfacesFailed;
    const DWORD level = (flags & kFullScreen) != 0 ? DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT |
                                                         DDSCL_EXCLUSIVE | DDSCL_FPUSETUP
                                                   : DDSCL_NORMAL | DDSCL_FPUSETUP;
    if (dd->SetCooperativeLevel(targetWindow, level) != DD_OK) return kSurfacesFailed;
    if (!CreateSurfaces()) return kSurfacesFailed;
    LDisplayDevice* chosen = CurrentDevice();
    const auto* data =
        chosen != nullptr ? reinterpret_cast<const Direct3DDeviceData*>(chosen->data) : nullptr;
    if (data == nullptr || data->guidPointer == nullptr) return kNoDeviceGuid;
    if (!FindDeviceDescription(*data->guidPointer)) return kNoDeviceDescription;
    if ((flags & kDepthBuffer) != 0 && !CreateDepthBuffer()) return kNoDepthBuffer;
    if (!CreateDevice(*data->guidPointer)) return kNoDevice;
    if (!CreateViewport()) return kNoViewport;
    SetTextureDepth(depth);
    if (world != nullptr) world->textures.ReloadAll();
    return 0;
}

bool LRenderAPI_Direct3D::CreateSurfaces() {
    LAPI_Direct3D* backEnd = BackEnd();
    IDirectDraw4* dd = backEnd->GetDirectDraw();
    IDirectDrawSurface4* primary = backEnd->SharedObject();
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    if ((flags & kWindowed) == 0) {
        LDisplayMode* mode = LAPICLBK::FindNearestDisplayMode(
            {int32_t(width), int32_t(height)}, currentDriver, CurrentDevice(), currentMode, depth);
        if (depth == 15 && (mode == nullptr || mode->depth != 15)) {
            depth = 16;
            mode =
                LAPICLBK::FindNearestDisplayMode({int32_t(width), int32_t(height)}, currentDriver,
                                                 CurrentDevice(), currentMode, depth);
        }
        if (mode == nullptr || dd->SetDisplayMode(mode->width, mode->height, depth, 0, 0) != DD_OK)
            return false;
        width = mode->width;
        height = mode->height;
        currentMode = mode;
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = 1;
        desc.ddsCaps.dwCaps =
            DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
        if (primary == nullptr && dd->CreateSurface(&desc, &primary, nullptr) != DD_OK)
            return false;
        backEnd->HoldSharedObject(primary);
        holdsPrimary_ = true;
        DDSCAPS2 back{DDSCAPS_BACKBUFFER, 0, 0, 0};
        if (primary->GetAttachedSurface(&back, &backBuffer) != DD_OK) return false;
    } else {
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        if (primary == nullptr && dd->CreateSurface(&desc, &primary, nullptr) != DD_OK)
            return false;
        backEnd->HoldSharedObject(primary);
        holdsPrimary_ = true;
        // One clipper at a time: the one of an earlier mode goes first.
        if (clipper != nullptr) {
            clipper->Release();
            clipper = nullptr;
        }
        if (dd->CreateClipper(0, &clipper, nullptr) != DD_OK) return false;
        clipper->SetHWnd(0, targetWindow);
        primary->SetClipper(clipper);
        desc = DDSURFACEDESC2{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
        if (dd->CreateSurface(&desc, &backBuffer, nullptr) != DD_OK) return false;
        currentMode = LAPICLBK::FindNearestDisplayMode(
            {int32_t(width), int32_t(height)}, currentDriver, CurrentDevice(), currentMode, depth);
    }
    DDSURFACEDESC2 described{};
    described.dwSize = sizeof described;
    backBuffer->GetSurfaceDesc(&described);
    switch (depth) {
    case 8:
        SetPitch(int32_t(width));
        break;
    case 15:
    case 16:
        SetPitch(int32_t(width * 2));
        break;
    case 24:
        SetPitch(int32_t(width * 3));
        break;
    case 32:
        SetPitch(int32_t(width * 4));
        break;
    default:
        break;
    }
    return true;
}

bool LRenderAPI_Direct3D::FindDeviceDescription(const GUID& guid) {
    IDirect3D3* d3d = BackEnd()->GetDirect3D();
    D3DFINDDEVICESEARCH search{};
    search.dwSize = sizeof search;
    search.dwFlags = D3DFDS_GUID;
    search.guid = guid;
    D3DFINDDEVICERESULT result{};
    result.dwSize = sizeof result;
    if (d3d->FindDevice(&search, &result) != DD_OK) return false;
    if (result.ddHwDesc.dwFlags != 0) {
        surfaceMemory = DDSCAPS_VIDEOMEMORY;
        deviceDescription = result.ddHwDesc;
    } else {
        surfaceMemory = DDSCAPS_SYSTEMMEMORY;
        deviceDescription = result.ddSwDesc;
    }
    depthFormat = DDPIXELFORMAT{};
    depthFormat.dwFlags = DDPF_ZBUFFER;
    depthFormat.dwRGBBitCount = 16;
    d3d->EnumZBufferFormats(guid, KeepDepthFormat, &depthFormat);
    return depthFormat.dwSize == sizeof(DDPIXELFORMAT);
}

bool LRenderAPI_Direct3D::CreateDepthBuffer() {
    const DWORD raster = deviceDescription.dpcTriCaps.dwRasterCaps;
    if ((raster & D3DPRASTERCAPS_ZBUFFERLESSHSR) != 0) return true;
    wBufferAvailable = 0;
    ClearStateBits(0x200);
    SetStateBits(0x100);
    wBufferAvailable = (raster & D3DPRASTERCAPS_WBUFFER) != 0 ? 1 : 0;
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = surfaceMemory | DDSCAPS_ZBUFFER;
    desc.ddpfPixelFormat = depthFormat;
    if (BackEnd()->GetDirectDraw()->CreateSurface(&desc, &depthBuffer, nullptr) != DD_OK)
        return false;
    return backBuffer->AddAttachedSurface(depthBuffer) == DD_OK;
}

bool LRenderAPI_Direct3D::CreateDevice(const GUID& guid) {
    IDirectDraw4* dd = BackEnd()->GetDirectDraw();
    IDirect3D3* d3d = BackEnd()->GetDirect3D();
    DDSURFACEDESC2 mode{};
    mode.dwSize = sizeof mode;
    if (dd->GetDisplayMode(&mode) != DD_OK || mode.ddpfPixelFormat.dwRGBBitCount <= 8) return false;
    if (d3d->CreateDevice(guid, backBuffer, &d3dDevice, nullptr) != DD_OK &&
        d3d->CreateDevice(IID_IDirect3DRGBDevice, backBuffer, &d3dDevice, nullptr) != DD_OK)
        return false;
    if (d3d->CreateMaterial(&backgroundMaterial, nullptr) != DD_OK) return false;
    D3DMATERIAL material{};
    material.dwSize = sizeof material;
    material.ambient = {1, 1, 1, 0};
    backgroundMaterial->SetMaterial(&material);
    DWORD handle = 0;
    backgroundMaterial->GetHandle(d3dDevice, &handle);
    d3dDevice->SetLightState(D3DLIGHTSTATE_MATERIAL, handle);
    d3dDevice->SetLightState(D3DLIGHTSTATE_AMBIENT, 0);
    RenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    for (uint32_t bit : {0x02u, 0x04u}) {
        if ((stateBits & int32_t(bit)) != 0)
            SetStateBits(bit);
        else
            ClearStateBits(bit);
    }
    SetStateBits(0x400);
    for (uint32_t bit : {0x08u, 0x10u})
        if ((stateBits & int32_t(bit)) != 0) SetStateBits(bit);
    RenderState(D3DRENDERSTATE_DITHERENABLE, 1);
    RenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 0);
    RenderState(D3DRENDERSTATE_SPECULARENABLE, 0);
    DepthRestore();
    for (DWORD stage : {0u, 1u})
        StageState(stage, D3DTSS_ADDRESS, D3DTADDRESS_WRAP);
    ReadDeviceCaps();
    return true;
}

bool LRenderAPI_Direct3D::CreateViewport() {
    D3DVIEWPORT2 described{};
    described.dwSize = sizeof described;
    described.dwWidth = width;
    described.dwHeight = height;
    described.dvClipWidth = float(width);
    described.dvClipHeight = float(height);
    described.dvMaxZ = 1.0f;
    return BackEnd()->GetDirect3D()->CreateViewport(&viewport, nullptr) == DD_OK &&
           d3dDevice->AddViewport(viewport) == DD_OK &&
           viewport->SetViewport2(&described) == DD_OK &&
           d3dDevice->SetCurrentViewport(viewport) == DD_OK;
}

void LRenderAPI_Direct3D::ReleaseDeviceObjects() {
    setUpResult = kNoDevice;
    if (world != nullptr) world->textures.ReleaseDeviceCopies();
    for (IUnknown** object :
         {reinterpret_cast<IUnknown**>(&viewport),
          reinterpret_cast<IUnknown**>(&backgroundMaterial),
          reinterpret_cast<IUnknown**>(&d3dDevice), reinterpret_cast<IUnknown**>(&depthBuffer),
          reinterpret_cast<IUnknown**>(&backBuffer)}) {
        if (*object != nullptr) (*object)->Release();
        *object = nullptr;
    }
    // Only a use this renderer took is given back: another renderer's primary stays.
    if (holdsPrimary_) BackEnd()->HoldSharedObject(nullptr);
    holdsPrimary_ = false;
}

// Capabilities and texture formats.

bool LRenderAPI_Direct3D::DeviceCaps(D3DDEVICEDESC& used) {
    if (d3dDevice == nullptr) return false;
    D3DDEVICEDESC hw{}, sw{};
    hw.dwSize = sw.dwSize = sizeof(D3DDEVICEDESC);
    if (d3dDevice->GetCaps(&hw, &sw) != DD_OK) return false;
    used = hw.dwFlags != 0 ? hw : sw;
    return true;
}

bool LRenderAPI_Direct3D::AddSignedProbe() {
    if (d3dDevice == nullptr) return true;
    RenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID);
    RenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    StageState(0, D3DTSS_COLORARG2, D3DTA_TEXTURE);
    StageState(0, D3DTSS_COLOROP, D3DTOP_ADDSIGNED);
    StageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    RenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD);
    DWORD passes = 0;
    return d3dDevice->ValidateDevice(&passes) != D3DERR_UNSUPPORTEDCOLOROPERATION;
}

void LRenderAPI_Direct3D::ReadDeviceCaps() {
    if ((stateBits & 0x10) != 0 && AddSignedProbe()) {
        colourOperation[0] = D3DTOP_ADDSIGNED;
        colourOperation[1] = D3DTA_DIFFUSE;
        colourOperation[2] = D3DTA_TEXTURE;
    } else {
        colourOperation[0] = D3DTOP_MODULATE;
        colourOperation[1] = D3DTA_TEXTURE;
        colourOperation[2] = D3DTA_DIFFUSE;
    }
    D3DDEVICEDESC hw{}, sw{};
    hw.dwSize = sw.dwSize = sizeof(D3DDEVICEDESC);
    if (d3dDevice->GetCaps(&hw, &sw) != DD_OK) {
        multitextureCapable = 0;
        blendFactorCapable = 0;
        maxAnisotropy = 1;
        return;
    }
    maxAnisotropy = 8;
    const D3DDEVICEDESC& used = hw.dwFlags != 0 ? hw : sw;
    maxTextureWidth = used.dwMaxTextureWidth;
    maxTextureHeight = used.dwMaxTextureHeight;
    minTextureWidth = used.dwMinTextureWidth;
    minTextureHeight = used.dwMinTextureHeight;
    multitextureCapable = used.wMaxSimultaneousTextures >= 2 ? 1 : 0;
    blendFactorCapable = (hw.dwTextureOpCaps & D3DTEXOPCAPS_BLENDFACTORALPHA) != 0 ? 1 : 0;
}

int32_t LRenderAPI_Direct3D::GetMinTextureWidth() {
    D3DDEVICEDESC used{};
    return DeviceCaps(used) ? int32_t(used.dwMinTextureWidth) : 0;
}

int32_t LRenderAPI_Direct3D::GetMinTextureHeight() {
    D3DDEVICEDESC used{};
    return DeviceCaps(used) ? int32_t(used.dwMinTextureHeight) : 0;
}

int32_t LRenderAPI_Direct3D::GetMaxTextureWidth() {
    D3DDEVICEDESC used{};
    return DeviceCaps(used) ? int32_t(used.dwMaxTextureWidth) : 0x7FFFFFFF;
}

int32_t LRenderAPI_Direct3D::GetMaxTextureHeight() {
    D3DDEVICEDESC used{};
    return DeviceCaps(used) ? int32_t(used.dwMaxTextureHeight) : 0x7FFFFFFF;
}

bool LRenderAPI_Direct3D::BuildTextureFormatList(uint32_t forDepth) {
    textureFormats.clear();
    const uint32_t* order = DepthOrder(forDepth);
    if (d3dDevice == nullptr || order == nullptr) return false;
    const auto pass = [&](uint32_t alpha, uint8_t kind, auto maskOf, auto skipped) {
        for (const uint32_t* d = order; *d != 0; ++d) {
            if (skipped(*d)) continue;
            TextureFormat request;
            request.depth = *d;
            request.alpha = alpha;
            request.alphaMask = maskOf(*d);
            request.kind = kind;
            d3dDevice->EnumTextureFormats(MatchTextureFormat, &request);
            if (request.found != 0) {
                textureFormats.push_back(request);
                return true;
            }
        }
        return false;
    };
    if (!pass(
            0, kOpaque, [](uint32_t) { return 0u; }, [](uint32_t) { return false; }))
        return false;
    pass(
        1, kTranslucent, [](uint32_t d) { return d == 32 ? 0xFF000000u : 0xF000u; },
        [](uint32_t d) { return d == 24 || d == 8; });
    pass(
        1, kOneBitAlpha, [](uint32_t) { return 0x8000u; },
        [](uint32_t d) { return d == 24 || d == 8 || d == 32; });
    return true;
}

uint32_t LRenderAPI_Direct3D::GetTextureDepth(uint32_t asked) {
    if (textureFormats.empty()) BuildTextureFormatList(textureDepthAsked);
    for (const TextureFormat& format : textureFormats)
        if (format.kind == kOpaque) return format.depth;
    return asked;
}

void LRenderAPI_Direct3D::SetTextureDepth(uint32_t asked) {
    textureDepthAsked = asked;
    BuildTextureFormatList(asked);
}

bool LRenderAPI_Direct3D::FindTextureFormat(uint8_t kind, TextureFormat& out, uint32_t asked) {
    if (textureFormats.empty()) BuildTextureFormatList(asked);
    for (const TextureFormat& format : textureFormats)
        if (format.kind == kind) {
            out = format;
            return true;
        }
    return false;
}

int LRenderAPI_Direct3D::IsCapable(uint32_t code) {
    switch (code) {
    case 512:
        return wBufferAvailable;
    case 2:
    case 4:
    case 8:
    case 32:
    case 128:
    case 1024:
    case 2048:
    case 4096:
    case 8192:
    case 16384:
    case 32768:
        return 1;
    case 16:
        return AddSignedProbe() ? 1 : 0;
    case 64:
        return int(multitextureCapable);
    default:
        return 0;
    }
}

IDirectDraw4* LRenderAPI_Direct3D::GetRenderTargetDirectDraw() {
    if (d3dDevice == nullptr) return nullptr;
    IDirectDrawSurface4* target = nullptr;
    if (d3dDevice->GetRenderTarget(&target) != DD_OK) return nullptr;
    void* dd = nullptr;
    const HRESULT found = target->GetDDInterface(&dd);
    target->Release();
    return found == DD_OK ? static_cast<IDirectDraw4*>(dd) : nullptr;
}
