#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/directx/direct3d/d3d_executor.h"
#include "platform/directx/direct3d/d3d_objects.h"
#include "platform/directx/direct3d/direct3d_test_hooks.h"

namespace platform::d3d {
namespace {

std::atomic<long> liveObjects{0};
std::atomic<uint32_t> nextSerial{1};

// Locked memory by the handle a DDSURFACEDESC2 carries.
struct LockTable {
    std::mutex lock;
    DWORD next = 1;
    std::map<DWORD, uint8_t*> memory;
};

LockTable& Locks() {
    static auto* table = new LockTable;
    return *table;
}

DWORD RememberLock(uint8_t* memory) {
    LockTable& table = Locks();
    std::lock_guard guard(table.lock);
    DWORD handle = table.next++;
    if (table.next == 0) table.next = 1;
    table.memory[handle] = memory;
    return handle;
}

void ForgetLock(DWORD handle) {
    LockTable& table = Locks();
    std::lock_guard guard(table.lock);
    table.memory.erase(handle);
}

bool SizeIs(const DDSURFACEDESC2* desc) {
    return desc != nullptr && desc->dwSize == sizeof(DDSURFACEDESC2);
}

DWORD BytesPerPixel(const DDPIXELFORMAT& format) {
    return (format.dwRGBBitCount + 7) / 8;
}

// The caps the emulation knows of a surface we ask it for.
constexpr DWORD kOwnCaps = DDSCAPS_3DDEVICE | DDSCAPS_TEXTURE | DDSCAPS_ZBUFFER | DDSCAPS_MIPMAP;

struct ModeWalk {
    LPDDENUMMODESCALLBACK2 callback;
    void* context;
};

HRESULT WidenMode(DDSURFACEDESC* mode, void* context) {
    auto* walk = static_cast<ModeWalk*>(context);
    DDSURFACEDESC2 wide{};
    Widen(*mode, wide);
    return walk->callback(&wide, walk->context);
}

} // namespace

LiveD3DObject::LiveD3DObject() {
    ++liveObjects;
}

LiveD3DObject::~LiveD3DObject() {
    --liveObjects;
}

void Widen(const DDSURFACEDESC& from, DDSURFACEDESC2& to) {
    to = DDSURFACEDESC2{};
    to.dwSize = sizeof(DDSURFACEDESC2);
    to.dwFlags = from.dwFlags & ~DDSD_LPSURFACE;
    to.dwHeight = from.dwHeight;
    to.dwWidth = from.dwWidth;
    to.lPitch = from.lPitch;
    to.dwBackBufferCount = from.dwBackBufferCount;
    to.dwMipMapCount = from.dwRefreshRate;
    to.ddpfPixelFormat = from.ddpfPixelFormat;
    to.ddsCaps.dwCaps = from.ddsCaps.dwCaps;
}

// Surfaces.

Surface4Object::Surface4Object(DirectDraw4Object* owner, IDirectDrawSurface* inner, DWORD extraCaps)
    : serial(nextSerial++), owner_(owner), inner_(inner) {
    owner_->AddRef();
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(DDSURFACEDESC);
    if (inner_->GetSurfaceDesc(&desc) == DD_OK) {
        width = desc.dwWidth;
        height = desc.dwHeight;
        format = desc.ddpfPixelFormat;
        caps.dwCaps = desc.ddsCaps.dwCaps;
    }
    caps.dwCaps |= extraCaps;
}

Surface4Object::Surface4Object(DirectDraw4Object* owner, DWORD width, DWORD height,
                               const DDPIXELFORMAT& format, const DDSCAPS2& caps)
    : serial(nextSerial++), caps(caps), width(width), height(height), format(format), owner_(owner),
      inner_(nullptr) {
    owner_->AddRef();
    pitch_ = LONG((width * BytesPerPixel(format) + 3) & ~3u);
    memory_.assign(size_t(pitch_) * height, 0);
}

Surface4Object::~Surface4Object() {
    if (caps.dwCaps & DDSCAPS_TEXTURE) ForgetTexture(serial);
    if (lockHandle_ != 0) ForgetLock(lockHandle_);
    if (depth) depth->Release();
    if (back_) back_->Release();
    if (level_) level_->Release();
    if (inner_) inner_->Release();
    owner_->Release();
}

HRESULT Surface4Object::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectDrawSurface4))
        *object = static_cast<IDirectDrawSurface4*>(this);
    else if (IsEqualGUID(iid, IID_IDirect3DTexture2) && (caps.dwCaps & DDSCAPS_TEXTURE))
        *object = static_cast<IDirect3DTexture2*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG Surface4Object::AddRef() {
    return ++refs_;
}

ULONG Surface4Object::Release() {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

void Surface4Object::AttachLevel(Surface4Object* level) {
    level_ = level;
}

// The executor's own Lock and Unlock of the target come back here and must not recurse.
void Surface4Object::ToMemory() {
    if (drawer == nullptr || syncing_) return;
    syncing_ = true;
    drawer->ToMemory();
    syncing_ = false;
}

void Surface4Object::MemoryChanged() {
    if (drawer == nullptr || syncing_) return;
    drawer->MemoryChanged();
}

HRESULT Surface4Object::AddAttachedSurface(IDirectDrawSurface4* attached) {
    auto* surface = static_cast<Surface4Object*>(attached);
    if (!surface || !(surface->caps.dwCaps & DDSCAPS_ZBUFFER) || (caps.dwCaps & DDSCAPS_ZBUFFER) ||
        surface->width < width || surface->height < height || depth)
        return E_FAIL;
    surface->AddRef();
    depth = surface;
    return DD_OK;
}

HRESULT Surface4Object::Blt(RECT* destination, IDirectDrawSurface4* source, RECT* sourceRect,
                            DWORD flags, DDBLTFX* fx) {
    auto* from = static_cast<Surface4Object*>(source);
    if (from) from->ToMemory();
    ToMemory();
    if (Wrapped() && (!from || from->Wrapped())) {
        HRESULT result =
            inner_->Blt(destination, from ? from->inner_ : nullptr, sourceRect, flags, fx);
        MemoryChanged();
        return result == DD_OK ? DD_OK : E_FAIL;
    }
    // Memory of our own takes fills and unstretched copies between surfaces of one depth.
    RECT to = destination ? *destination : RECT{0, 0, LONG(width), LONG(height)};
    if (to.left < 0 || to.top < 0 || to.right > LONG(width) || to.bottom > LONG(height) ||
        to.left >= to.right || to.top >= to.bottom)
        return E_FAIL;
    if (!from) {
        if (!(flags & DDBLT_COLORFILL) || !fx || Wrapped()) return E_FAIL;
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        if (Lock(nullptr, &desc, 0, 0) != DD_OK) return E_FAIL;
        DWORD bytes = BytesPerPixel(format);
        for (LONG y = to.top; y < to.bottom; ++y)
            for (LONG x = to.left; x < to.right; ++x)
                std::memcpy(memory_.data() + y * pitch_ + x * LONG(bytes), &fx->dwFillColor, bytes);
        Unlock(nullptr);
        return DD_OK;
    }
    RECT read = sourceRect ? *sourceRect : RECT{0, 0, LONG(from->width), LONG(from->height)};
    if (read.right - read.left != to.right - to.left ||
        read.bottom - read.top != to.bottom - to.top ||
        from->format.dwRGBBitCount != format.dwRGBBitCount || from == this)
        return E_FAIL;
    DDSURFACEDESC2 in{}, out{};
    in.dwSize = out.dwSize = sizeof(DDSURFACEDESC2);
    if (from->Lock(&read, &in, 0, 0) != DD_OK) return E_FAIL;
    HRESULT result = Lock(&to, &out, 0, 0);
    if (result == DD_OK) {
        size_t rowBytes = size_t(to.right - to.left) * BytesPerPixel(format);
        const uint8_t* src = SurfaceMemory(in);
        uint8_t* dst = SurfaceMemory(out);
        for (LONG y = 0; y < to.bottom - to.top; ++y)
            std::memcpy(dst + y * out.lPitch, src + y * in.lPitch, rowBytes);
        Unlock(nullptr);
    }
    from->Unlock(nullptr);
    return result == DD_OK ? DD_OK : E_FAIL;
}

HRESULT Surface4Object::Flip(IDirectDrawSurface4* target, DWORD flags) {
    if (!Wrapped()) return E_FAIL;
    if (target && target != back_) return E_FAIL;
    if (back_) back_->ToMemory();
    HRESULT result = inner_->Flip(nullptr, flags);
    // The emulation swaps the memory of the two: what the back buffer holds now is news.
    if (back_) back_->MemoryChanged();
    return result == DD_OK ? DD_OK : E_FAIL;
}

HRESULT Surface4Object::GetAttachedSurface(DDSCAPS2* wanted, IDirectDrawSurface4** attached) {
    if (!wanted || !attached) return E_FAIL;
    *attached = nullptr;
    Surface4Object* found = nullptr;
    if (wanted->dwCaps & DDSCAPS_BACKBUFFER) {
        if (!back_ && Wrapped()) {
            DDSCAPS backCaps{DDSCAPS_BACKBUFFER};
            IDirectDrawSurface* back = nullptr;
            if (inner_->GetAttachedSurface(&backCaps, &back) != DD_OK) return E_FAIL;
            back_ = new Surface4Object(owner_, back, caps.dwCaps & DDSCAPS_3DDEVICE);
        }
        found = back_;
    } else if (wanted->dwCaps & DDSCAPS_ZBUFFER) {
        found = depth;
    } else if (wanted->dwCaps & DDSCAPS_MIPMAP) {
        found = level_;
    }
    if (!found) return E_FAIL;
    found->AddRef();
    *attached = found;
    return DD_OK;
}

HRESULT Surface4Object::GetDC(HDC* dc) {
    if (!Wrapped()) return E_FAIL;
    ToMemory();
    return inner_->GetDC(dc) == DD_OK ? DD_OK : E_FAIL;
}

HRESULT Surface4Object::ReleaseDC(HDC dc) {
    if (!Wrapped()) return E_FAIL;
    HRESULT result = inner_->ReleaseDC(dc);
    MemoryChanged();
    return result == DD_OK ? DD_OK : E_FAIL;
}

HRESULT Surface4Object::GetDDInterface(void** directDraw) {
    if (!directDraw) return E_FAIL;
    owner_->AddRef();
    *directDraw = static_cast<IDirectDraw4*>(owner_);
    return DD_OK;
}

HRESULT Surface4Object::GetSurfaceDesc(DDSURFACEDESC2* desc) {
    if (!SizeIs(desc)) return E_FAIL;
    *desc = DDSURFACEDESC2{};
    desc->dwSize = sizeof(DDSURFACEDESC2);
    if (Wrapped()) {
        DDSURFACEDESC narrow{};
        narrow.dwSize = sizeof narrow;
        if (inner_->GetSurfaceDesc(&narrow) != DD_OK) return E_FAIL;
        Widen(narrow, *desc);
        desc->ddsCaps = caps;
        return DD_OK;
    }
    desc->dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc->dwWidth = width;
    desc->dwHeight = height;
    desc->lPitch = pitch_;
    desc->ddpfPixelFormat = format;
    desc->ddsCaps = caps;
    return DD_OK;
}

HRESULT Surface4Object::Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD, HANDLE) {
    if (GetSurfaceDesc(desc) != DD_OK || lockHandle_ != 0) return E_FAIL;
    ToMemory();
    RECT area = rect ? *rect : RECT{0, 0, LONG(width), LONG(height)};
    if (area.left < 0 || area.top < 0 || area.left > area.right || area.top > area.bottom ||
        area.right > LONG(width) || area.bottom > LONG(height))
        return E_FAIL;
    uint8_t* memory;
    if (Wrapped()) {
        DDSURFACEDESC narrow{};
        narrow.dwSize = sizeof narrow;
        if (inner_->Lock(&area, &narrow, DDLOCK_WAIT, 0) != DD_OK) return E_FAIL;
        lockedInner_ = narrow.lpSurface;
        memory = static_cast<uint8_t*>(narrow.lpSurface);
    } else {
        memory = memory_.data() + area.top * pitch_ + area.left * LONG(BytesPerPixel(format));
    }
    lockHandle_ = RememberLock(memory);
    desc->lpSurface = lockHandle_;
    desc->dwFlags |= DDSD_LPSURFACE;
    return DD_OK;
}

HRESULT Surface4Object::Unlock(RECT*) {
    if (lockHandle_ == 0) return E_FAIL;
    ForgetLock(lockHandle_);
    lockHandle_ = 0;
    ++version;
    if (Wrapped()) {
        void* locked = lockedInner_;
        lockedInner_ = nullptr;
        HRESULT result = inner_->Unlock(locked);
        MemoryChanged();
        return result == DD_OK ? DD_OK : E_FAIL;
    }
    return DD_OK;
}

HRESULT Surface4Object::SetClipper(IDirectDrawClipper* clipper) {
    if (!Wrapped()) return E_FAIL;
    return inner_->SetClipper(clipper) == DD_OK ? DD_OK : E_FAIL;
}

HRESULT Surface4Object::SetColorKey(DWORD flags, DDCOLORKEY* colour) {
    if (flags != DDCKEY_SRCBLT) return E_FAIL;
    keyed = colour != nullptr;
    key = colour ? *colour : DDCOLORKEY{};
    ++version;
    return DD_OK;
}

// The DirectDraw object.

DirectDraw4Object::DirectDraw4Object(IDirectDraw2* inner) : inner_(inner) {
    inner_->AddRef();
}

DirectDraw4Object::~DirectDraw4Object() {
    inner_->Release();
}

HRESULT DirectDraw4Object::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualGUID(iid, IID_IDirect3D3)) {
        *object = MakeDirect3D(this);
        return S_OK;
    }
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectDraw4)) {
        AddRef();
        *object = static_cast<IDirectDraw4*>(this);
        return S_OK;
    }
    return inner_->QueryInterface(iid, object);
}

ULONG DirectDraw4Object::AddRef() {
    return ++refs_;
}

ULONG DirectDraw4Object::Release() {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT DirectDraw4Object::CreateClipper(DWORD flags, IDirectDrawClipper** clipper,
                                         IUnknown* outer) {
    return inner_->CreateClipper(flags, clipper, outer) == DD_OK ? DD_OK : E_FAIL;
}

HRESULT DirectDraw4Object::CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface4** surface,
                                         IUnknown* outer) {
    if (!SizeIs(desc) || !surface || outer) return E_FAIL;
    *surface = nullptr;
    DWORD caps = (desc->dwFlags & DDSD_CAPS) ? desc->ddsCaps.dwCaps : 0;
    bool sized = (desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) == (DDSD_WIDTH | DDSD_HEIGHT);
    if (caps & (DDSCAPS_ZBUFFER | DDSCAPS_TEXTURE)) {
        const DDPIXELFORMAT& format = desc->ddpfPixelFormat;
        if (!sized || !(desc->dwFlags & DDSD_PIXELFORMAT) || desc->dwWidth == 0 ||
            desc->dwHeight == 0 || desc->dwWidth > 4096 || desc->dwHeight > 4096)
            return E_FAIL;
        DDSCAPS2 made = desc->ddsCaps;
        if (caps & DDSCAPS_ZBUFFER) {
            if (test::GetDirect3DSetup().faults & test::kFailDepthBuffer) return E_FAIL;
            DWORD bits = format.dwRGBBitCount;
            if (!(format.dwFlags & DDPF_ZBUFFER) || (bits != 16 && bits != 24 && bits != 32))
                return E_FAIL;
            *surface = new Surface4Object(this, desc->dwWidth, desc->dwHeight, format, made);
            return DD_OK;
        }
        DWORD bits = format.dwRGBBitCount;
        if (!(format.dwFlags & (DDPF_RGB | DDPF_PALETTEINDEXED8)) ||
            (bits != 8 && bits != 16 && bits != 24 && bits != 32))
            return E_FAIL;
        DWORD levels = (caps & DDSCAPS_MIPMAP) && (desc->dwFlags & DDSD_MIPMAPCOUNT)
                           ? std::max<DWORD>(desc->dwMipMapCount, 1)
                           : 1;
        auto* top = new Surface4Object(this, desc->dwWidth, desc->dwHeight, format, made);
        Surface4Object* last = top;
        DWORD w = desc->dwWidth, h = desc->dwHeight;
        for (DWORD i = 1; i < levels && (w > 1 || h > 1); ++i) {
            w = std::max<DWORD>(w / 2, 1);
            h = std::max<DWORD>(h / 2, 1);
            auto* level = new Surface4Object(this, w, h, format, made);
            last->AttachLevel(level);
            last = level;
        }
        *surface = top;
        return DD_OK;
    }
    if ((caps & DDSCAPS_PRIMARYSURFACE) &&
        (test::GetDirect3DSetup().faults & test::kFailPrimarySurface))
        return E_FAIL;
    DDSURFACEDESC narrow{};
    narrow.dwSize = sizeof narrow;
    narrow.dwFlags = desc->dwFlags & (DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_BACKBUFFERCOUNT |
                                      DDSD_PIXELFORMAT);
    narrow.dwWidth = desc->dwWidth;
    narrow.dwHeight = desc->dwHeight;
    narrow.dwBackBufferCount = desc->dwBackBufferCount;
    narrow.ddpfPixelFormat = desc->ddpfPixelFormat;
    narrow.ddsCaps.dwCaps = caps & ~kOwnCaps;
    IDirectDrawSurface* inner = nullptr;
    if (inner_->CreateSurface(&narrow, &inner, nullptr) != DD_OK) return E_FAIL;
    *surface = new Surface4Object(this, inner, caps & DDSCAPS_3DDEVICE);
    return DD_OK;
}

HRESULT DirectDraw4Object::EnumDisplayModes(DWORD flags, DDSURFACEDESC2* filter, void* context,
                                            LPDDENUMMODESCALLBACK2 callback) {
    if (!callback || (filter && !SizeIs(filter))) return E_FAIL;
    DDSURFACEDESC narrow{};
    narrow.dwSize = sizeof narrow;
    if (filter) {
        narrow.dwFlags = filter->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT);
        narrow.dwWidth = filter->dwWidth;
        narrow.dwHeight = filter->dwHeight;
        narrow.ddpfPixelFormat = filter->ddpfPixelFormat;
    }
    ModeWalk walk{callback, context};
    return inner_->EnumDisplayModes(flags, filter ? &narrow : nullptr, &walk, WidenMode) == DD_OK
               ? DD_OK
               : E_FAIL;
}

HRESULT DirectDraw4Object::GetCaps(DDCAPS* driver, DDCAPS* emulation) {
    for (DDCAPS* caps : {driver, emulation}) {
        if (!caps) continue;
        if (caps->dwSize != sizeof(DDCAPS)) return E_FAIL;
        *caps = DDCAPS{};
        caps->dwSize = sizeof(DDCAPS);
        caps->dwCaps2 = DDCAPS2_CANRENDERWINDOWED;
    }
    return DD_OK;
}

HRESULT DirectDraw4Object::GetDisplayMode(DDSURFACEDESC2* desc) {
    if (!SizeIs(desc)) return E_FAIL;
    DDSURFACEDESC narrow{};
    narrow.dwSize = sizeof narrow;
    if (inner_->GetDisplayMode(&narrow) != DD_OK) return E_FAIL;
    Widen(narrow, *desc);
    return DD_OK;
}

HRESULT DirectDraw4Object::RestoreDisplayMode() {
    return inner_->RestoreDisplayMode() == DD_OK ? DD_OK : E_FAIL;
}

HRESULT DirectDraw4Object::SetCooperativeLevel(HWND window, DWORD flags) {
    if (test::GetDirect3DSetup().faults & test::kFailCooperativeLevel) return E_FAIL;
    return inner_->SetCooperativeLevel(window, flags & ~(DDSCL_FPUSETUP | DDSCL_ALLOWREBOOT)) ==
                   DD_OK
               ? DD_OK
               : E_FAIL;
}

HRESULT DirectDraw4Object::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel,
                                          DWORD refreshRate, DWORD flags) {
    return inner_->SetDisplayMode(width, height, bitsPerPixel, refreshRate, flags) == DD_OK
               ? DD_OK
               : E_FAIL;
}

HRESULT DirectDraw4Object::WaitForVerticalBlank(DWORD flags, HANDLE event) {
    return inner_->WaitForVerticalBlank(flags, event) == DD_OK ? DD_OK : E_FAIL;
}

HRESULT MakeDirectDraw4(IDirectDraw2* inner, void** object) {
    *object = static_cast<IDirectDraw4*>(new DirectDraw4Object(inner));
    return S_OK;
}

} // namespace platform::d3d

uint8_t* SurfaceMemory(const DDSURFACEDESC2& desc) {
    using namespace platform::d3d;
    if (!(desc.dwFlags & DDSD_LPSURFACE)) return nullptr;
    LockTable& table = Locks();
    std::lock_guard guard(table.lock);
    auto found = table.memory.find(desc.lpSurface);
    return found == table.memory.end() ? nullptr : found->second;
}

BOOL DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA callback, void* context, DWORD) {
    if (!callback) return FALSE;
    char description[] = "Primary Display Driver";
    char name[] = "display";
    callback(nullptr, description, name, context, 0);
    return TRUE;
}

BOOL DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, void* context) {
    if (!callback) return FALSE;
    char description[] = "Primary Display Driver";
    char name[] = "display";
    callback(nullptr, description, name, context);
    return TRUE;
}

namespace platform::test {
long LiveDirect3DObjects() {
    return platform::d3d::liveObjects.load();
}
} // namespace platform::test
