#include "engine3d/render/direct3d/direct3d_texture.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "engine3d/render/direct3d/direct3d_device.h"
#include "engine3d/scene/objects/world.h"

namespace {

uint16_t Read16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

void Write16(uint8_t* p, uint32_t value) {
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
}

uint32_t Key555(uint32_t key) {
    const uint32_t r = key & 0xFF, g = key >> 8 & 0xFF, b = key >> 16 & 0xFF;
    return (r & 0xF8) << 7 | (g & 0xF8) << 2 | b >> 3;
}

uint32_t Key565(uint32_t key) {
    const uint32_t r = key & 0xFF, g = key >> 8 & 0xFF, b = key >> 16 & 0xFF;
    return (r & 0xF8) << 8 | (g & 0xFC) << 3 | b >> 3;
}

// An image's texel as 0xRRGGBB, from 15, 16, 24 or 32 bits.
uint32_t TexelColour(const uint8_t* row, uint32_t x, uint32_t bits) {
    if (bits == 24 || bits == 32) {
        const uint8_t* p = row + x * (bits / 8);
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
    const uint32_t v = Read16(row + x * 2);
    const auto widen5 = [](uint32_t c) { return c << 3 | c >> 2; };
    if (bits == 15) return widen5(v >> 10 & 31) << 16 | widen5(v >> 5 & 31) << 8 | widen5(v & 31);
    const uint32_t g = v >> 5 & 63;
    return widen5(v >> 11 & 31) << 16 | (g << 2 | g >> 4) << 8 | widen5(v & 31);
}

// An 8-bit channel placed in a mask of at most 8 bits.
uint32_t IntoMask(uint32_t channel, uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const int width = std::min(std::popcount(mask), 8);
    return (channel >> (8 - width)) << shift & mask;
}

uint32_t PowerOfTwoAtLeast(uint32_t value) {
    uint32_t side = 1;
    while (side < value && side < 0x80000000u)
        side <<= 1;
    return side;
}

} // namespace

LTexture_Direct3D::LTexture_Direct3D(L3DWorld* w, const char* name, LCLBKObject* link)
    : LTexture(w, name, link) {}

LTexture_Direct3D::~LTexture_Direct3D() {
    ReleaseDeviceCopy();
}

LRenderAPICLBK* LTexture_Direct3D::GetSurface() const {
    return LRenderAPI_Direct3D::Current();
}

uint32_t LTexture_Direct3D::GetBitsPerPixel() const {
    LRenderAPI_Direct3D::TextureFormat format;
    if (ChooseTextureFormat(format)) return format.depth;
    return bitsPerPixel;
}

int LTexture_Direct3D::SetImage(uint8_t* image, uint32_t imagePitch, uint8_t* alphaImage,
                                uint32_t alphaImagePitch, uint32_t w, uint32_t h, uint32_t owns,
                                uint32_t d, const PaletteRecord* palette) {
    const int result =
        LTexture::SetImage(image, imagePitch, alphaImage, alphaImagePitch, w, h, owns, d, palette);
    ReleaseDeviceCopy();
    return result;
}

void LTexture_Direct3D::SetColorKey(int on, uint32_t colour) {
    const int keyed = (flags & kColorKey) != 0 ? 1 : 0;
    if (keyed == on && keyColor == colour) return;
    ReleaseDeviceCopy();
    LTexture::SetColorKey(on, colour);
}

void LTexture_Direct3D::ReleaseDeviceCopy() {
    if (d3dTexture != nullptr) d3dTexture->Release();
    if (surface != nullptr) surface->Release();
    d3dTexture = nullptr;
    surface = nullptr;
}

bool LTexture_Direct3D::ChooseTextureFormat(LRenderAPI_Direct3D::TextureFormat& out) const {
    using R = LRenderAPI_Direct3D;
    R* renderer = R::Current();
    if (renderer == nullptr) return false;
    const uint32_t asked = world != nullptr ? world->textureFormat : renderer->depth;
    uint8_t kinds[3] = {R::kOpaque, R::kOpaque, R::kOpaque};
    int count = 1;
    if (alphaPlane != nullptr) {
        kinds[0] = R::kTranslucent;
        count = 2;
    } else if (alpha < 255) {
        kinds[0] = R::kTranslucent;
        kinds[1] = R::kOneBitAlpha;
        count = 3;
    } else if ((flags & kColorKey) != 0) {
        kinds[0] = R::kOneBitAlpha;
        kinds[1] = R::kTranslucent;
        count = 3;
    }
    for (int i = 0; i < count; ++i)
        if (renderer->FindTextureFormat(kinds[i], out, asked)) return true;
    return false;
}

uint8_t LTexture_Direct3D::AlphaOf(size_t index) const {
    if (alphaPlane == nullptr) return alpha;
    return alphaPlane[index];
}

void LTexture_Direct3D::Convert(uint8_t* to, LONG toPitch,
                                const LRenderAPI_Direct3D::TextureFormat& format) {
    const bool withAlpha = format.alpha == 1;
    const uint32_t mask = format.alphaMask & 0xFFFF;
    const bool keyed = (flags & kColorKey) != 0;
    const uint32_t bits = format.depth;
    const uint32_t bytes = bits == 8 ? 1 : bits == 24 ? 3 : bits == 32 ? 4 : 2;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = pixels + size_t(y) * pitch;
        uint8_t* out = to + ptrdiff_t(y) * toPitch;
        const bool copy = bits == 8 || bits == 24 || (bits == 32) ||
                          ((bits == 15 || bits == 16) && !withAlpha) ||
                          (bits == 16 && mask == 0x8000);
        if (copy) {
            std::memcpy(out, row, size_t(width) * bytes);
            if (bits != 32 || !withAlpha) continue;
            const uint8_t kb = uint8_t(keyColor >> 16), kg = uint8_t(keyColor >> 8),
                          kr = uint8_t(keyColor);
            for (uint32_t x = 0; x < width; ++x) {
                uint8_t* p = out + x * 4;
                const bool isKey = keyed && p[0] == kb && p[1] == kg && p[2] == kr;
                p[3] = isKey ? 0 : AlphaOf(size_t(y) * width + x);
            }
            continue;
        }
        if (bits != 15 && bits != 16) return;
        if (mask != 0x8000 && mask != 0xF000) return;
        const uint32_t key = bits == 15 ? Key555(keyColor) : Key565(keyColor);
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t p = Read16(row + x * 2);
            const bool isKey = keyed && p == key;
            uint32_t value;
            if (mask == 0x8000) {
                value = isKey ? p & 0x7FFF : p | 0x8000;
            } else {
                const uint32_t r = bits == 15 ? p >> 11 & 0xF : p >> 12 & 0xF;
                const uint32_t g = bits == 15 ? p >> 6 & 0xF : p >> 7 & 0xF;
                const uint32_t b = p >> 1 & 0xF;
                const uint32_t a = isKey ? 0 : AlphaOf(size_t(y) * width + x) & 0xF0;
                value = a << 8 | r << 8 | g << 4 | b;
            }
            Write16(out + x * 2, value);
        }
    }
}

void LTexture_Direct3D::ConvertAcross(uint8_t* to, LONG toPitch,
                                      const LRenderAPI_Direct3D::TextureFormat& format) {
    const uint32_t bits = bitsPerPixel;
    if (bits != 15 && bits != 16 && bits != 24 && bits != 32) return;
    const uint32_t outBytes = format.depth == 15 ? 2 : format.depth / 8;
    if (outBytes != 2 && outBytes != 4) return;
    const DDPIXELFORMAT& f = format.format;
    const uint32_t alphaMask = format.alpha == 1 ? f.dwRGBAlphaBitMask : 0;
    const bool keyed = (flags & kColorKey) != 0;
    const uint32_t key16 = bits == 15 ? Key555(keyColor) : Key565(keyColor);
    const uint32_t keyRgb = (keyColor & 0xFF) << 16 | (keyColor & 0xFF00) | (keyColor >> 16 & 0xFF);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = pixels + size_t(y) * pitch;
        uint8_t* out = to + ptrdiff_t(y) * toPitch;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t rgb = TexelColour(row, x, bits);
            const bool isKey =
                keyed && (bits == 15 || bits == 16 ? Read16(row + x * 2) == key16 : rgb == keyRgb);
            // An alpha mask of one bit keeps only the texels that are fully there.
            const uint32_t a = isKey ? 0 : AlphaOf(size_t(y) * width + x);
            const uint32_t value =
                IntoMask(rgb >> 16 & 0xFF, f.dwRBitMask) | IntoMask(rgb >> 8 & 0xFF, f.dwGBitMask) |
                IntoMask(rgb & 0xFF, f.dwBBitMask) |
                (alphaMask == 0x8000 ? (a != 0 ? 0x8000u : 0u) : IntoMask(a, alphaMask));
            uint8_t* p = out + x * outBytes;
            for (uint32_t b = 0; b < outBytes; ++b)
                p[b] = uint8_t(value >> (8 * b));
        }
    }
}

HRESULT LTexture_Direct3D::CreateTextureSurface() {
    if (width == 0 || height == 0 || pixels == nullptr) return 1;
    ReleaseDeviceCopy();
    LRenderAPI_Direct3D* renderer = LRenderAPI_Direct3D::Current();
    FitSizeToDevice(renderer);
    auto* backEnd = renderer != nullptr ? static_cast<LAPI_Direct3D*>(renderer->device) : nullptr;
    IDirectDraw4* dd = backEnd != nullptr ? backEnd->GetDirectDraw() : nullptr;
    if (dd == nullptr || renderer->d3dDevice == nullptr) return E_FAIL;
    D3DDEVICEDESC hw{}, sw{};
    hw.dwSize = sw.dwSize = sizeof(D3DDEVICEDESC);
    if (renderer->d3dDevice->GetCaps(&hw, &sw) != DD_OK) return E_FAIL;
    const DWORD textureCaps =
        hw.dwFlags != 0 ? hw.dpcTriCaps.dwTextureCaps : sw.dpcTriCaps.dwTextureCaps;
    const bool mipmaps = (renderer->stateBits & 0x1000) != 0;
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
    desc.dwWidth = width;
    desc.dwHeight = height;
    if (mipmaps) {
        desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_MIPMAPCOUNT |
                       DDSD_TEXTURESTAGE;
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX;
        desc.dwMipMapCount = 4;
    } else {
        desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_TEXTURESTAGE;
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
    }
    if ((textureCaps & D3DPTEXTURECAPS_POW2) != 0) {
        desc.dwWidth = PowerOfTwoAtLeast(desc.dwWidth);
        desc.dwHeight = PowerOfTwoAtLeast(desc.dwHeight);
    }
    if ((textureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0)
        desc.dwWidth = desc.dwHeight = std::max(desc.dwWidth, desc.dwHeight);
    LRenderAPI_Direct3D::TextureFormat format;
    if (!ChooseTextureFormat(format)) return 0;
    const bool across = format.depth != bitsPerPixel;
    if (across && bitsPerPixel != 15 && bitsPerPixel != 16 && bitsPerPixel != 24 &&
        bitsPerPixel != 32)
        return 0;
    if (format.alpha == 1 || across) {
        desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_TEXTURESTAGE;
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
        desc.dwMipMapCount = 0;
    }
    desc.ddpfPixelFormat = format.format;
    if (dd->CreateSurface(&desc, &surface, nullptr) != DD_OK) return 0;
    void* asTexture = nullptr;
    if (surface->QueryInterface(IID_IDirect3DTexture2, &asTexture) != DD_OK) return 0;
    d3dTexture = static_cast<IDirect3DTexture2*>(asTexture);
    DDSURFACEDESC2 locked{};
    locked.dwSize = sizeof locked;
    const HRESULT lockedResult = surface->Lock(nullptr, &locked, DDLOCK_WAIT, 0);
    surface->SetColorKey(DDCKEY_SRCBLT, nullptr);
    uint8_t* memory = lockedResult == DD_OK ? SurfaceMemory(locked) : nullptr;
    if (memory == nullptr) return 1;
    if (across)
        ConvertAcross(memory, locked.lPitch, format);
    else
        Convert(memory, locked.lPitch, format);
    if (mipmaps && format.alpha != 1 && !across) {
        DDSCAPS2 levelCaps{DDSCAPS_TEXTURE | DDSCAPS_MIPMAP, 0, 0, 0};
        IDirectDrawSurface4* level = nullptr;
        IDirectDrawSurface4* from = surface;
        uint32_t w = width / 2, h = height / 2;
        for (int i = 0; i < 4 && from->GetAttachedSurface(&levelCaps, &level) == DD_OK; ++i) {
            // The chain holds its levels: the reference the walk was given goes at once.
            level->Release();
            DDSURFACEDESC2 levelDesc{};
            levelDesc.dwSize = sizeof levelDesc;
            if (level->Lock(nullptr, &levelDesc, DDLOCK_WAIT, 0) == DD_OK) {
                if (uint8_t* levelMemory = SurfaceMemory(levelDesc))
                    ResampleImage(levelMemory, std::min(w, levelDesc.dwWidth),
                                  std::min(h, levelDesc.dwHeight), uint32_t(levelDesc.lPitch),
                                  pixels, width, height, pitch, bitsPerPixel);
                level->Unlock(nullptr);
            }
            from = level;
            w = std::max(w / 2, 1u);
            h = std::max(h / 2, 1u);
        }
    }
    surface->Unlock(nullptr);
    return 1;
}
