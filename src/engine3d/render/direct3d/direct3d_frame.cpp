// The frame, the state bits and the states they stand for, and the depth-buffer modes of
// the Direct3D renderer.
#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#include "engine3d/render/direct3d/direct3d_device.h"
#include "engine3d/render/direct3d/direct3d_renderer.h"
#include "engine3d/render/direct3d/direct3d_texture.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/frame_state.h"
#include "engine3d/scene/sprites/sprite.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/text/text_out.h"
#include "platform/user/windows.h"

namespace {

constexpr COLORREF kStatisticsColour = 0xFFFFFF;

// 0x00BBGGRR as Direct3D's 0x00RRGGBB.
DWORD RGBOf(uint32_t colour) {
    return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}

// A vertex colour tinted by the material's: modulated with state bit 8, else mixed by the
// weight its alpha gives.
uint32_t Tinted(uint32_t colour, const LMaterial& m, bool modulated) {
    uint32_t out = 0xFF000000u;
    const int w = 128 - std::abs(int(colour >> 24) - 128);
    for (int c = 0; c < 3; ++c) {
        const int shift = 16 - 8 * c;
        const int value = int(colour >> shift & 0xFF);
        const int material = m.colorBytes[c] & 0xFF;
        const int tinted =
            modulated ? value * material / 256 : (value * (128 - w) + material * w) / 128;
        out |= uint32_t(tinted & 0xFF) << shift;
    }
    return out;
}

// The per-channel mean of three colours, alpha 255.
uint32_t Mean(uint32_t a, uint32_t b, uint32_t c) {
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8)
        out |= ((a >> shift & 0xFF) + (b >> shift & 0xFF) + (c >> shift & 0xFF)) / 3 << shift;
    return out;
}

// Each indexed triangle's three corners copied out, all coloured by `colour(mean of the
// corners' colours, first corner)`.
template <typename Colour>
std::vector<RenderVertex> FlatCorners(const std::vector<RenderVertex>& records,
                                      const uint16_t* indices, uint32_t indexCount, Colour colour) {
    std::vector<RenderVertex> corners;
    corners.reserve(indexCount);
    for (uint32_t i = 0; i + 2 < indexCount; i += 3) {
        const RenderVertex* v[3] = {&records[indices[i]], &records[indices[i + 1]],
                                    &records[indices[i + 2]]};
        const uint32_t c = colour(Mean(v[0]->diffuse, v[1]->diffuse, v[2]->diffuse), *v[0]);
        for (const RenderVertex* corner : v) {
            corners.push_back(*corner);
            corners.back().diffuse = c;
        }
    }
    return corners;
}

} // namespace

void LRenderAPI_Direct3D::ResetStateCache() {
    ++cachedAlpha;
    currentKind = kKindNone;
    currentTexture = nullptr;
    currentSelector = kSelectorNone;
}

void LRenderAPI_Direct3D::DepthRestore() {
    if (depthOverride != 0) return;
    RenderState(D3DRENDERSTATE_ZENABLE, 1);
    RenderState(D3DRENDERSTATE_ZWRITEENABLE, 1);
    RenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESS);
    RenderState(D3DRENDERSTATE_ZENABLE, (stateBits & 0x200) != 0 ? D3DZB_USEW : D3DZB_TRUE);
}

void LRenderAPI_Direct3D::BlendReset() {
    if (alphaBlending == 0) return;
    RenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 0);
    StageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    RenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    RenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO);
    alphaBlending = 0;
    ++cachedAlpha;
}

void LRenderAPI_Direct3D::SceneRestart() {
    if (d3dDevice == nullptr || d3dDevice->BeginScene() != DD_OK) return;
    elementsInScene = 0;
    if (colourKeyOn != 0) {
        RenderState(D3DRENDERSTATE_COLORKEYENABLE, 0);
        colourKeyOn = 0;
    }
    BlendReset();
}

void LRenderAPI_Direct3D::ApplyCulling() {
    const bool culled = world != nullptr && world->backFaceCulling != 0;
    RenderState(D3DRENDERSTATE_CULLMODE, culled ? D3DCULL_CW : D3DCULL_NONE);
}

void LRenderAPI_Direct3D::ApplyFilters() {
    for (DWORD stage : {0u, 1u}) {
        if ((stateBits & 0x400) != 0) {
            StageState(stage, D3DTSS_MINFILTER, 3);
            StageState(stage, D3DTSS_MAGFILTER, 5);
            StageState(stage, D3DTSS_MAXANISOTROPY, maxAnisotropy);
            StageState(stage, D3DTSS_MIPFILTER, 1);
        } else if ((stateBits & (0x2000 | 0x4000)) != 0) {
            StageState(stage, D3DTSS_MINFILTER, 2);
            StageState(stage, D3DTSS_MAGFILTER, 2);
            StageState(stage, D3DTSS_MIPFILTER, (stateBits & 0x1000) != 0 ? 3 : 1);
        } else if ((stateBits & 0x8000) != 0) {
            StageState(stage, D3DTSS_MINFILTER, 1);
            StageState(stage, D3DTSS_MAGFILTER, 1);
            StageState(stage, D3DTSS_MIPFILTER, (stateBits & 0x1000) != 0 ? 2 : 1);
        }
    }
}

void LRenderAPI_Direct3D::FogSetUp(const L3DCamera& camera) {
    RenderState(D3DRENDERSTATE_FOGENABLE, 1);
    D3DDEVICEDESC hw{}, sw{};
    hw.dwSize = sw.dwSize = sizeof(D3DDEVICEDESC);
    d3dDevice->GetCaps(&hw, &sw);
    d3dDevice->SetLightState(D3DLIGHTSTATE_FOGMODE, D3DFOG_NONE);
    RenderState(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_NONE);
    RenderState(D3DRENDERSTATE_RANGEFOGENABLE, 0);
    float start = 0, end = 1;
    camera.GetFogRange(&start, &end);
    d3dDevice->SetLightState(D3DLIGHTSTATE_FOGDENSITY,
                             std::bit_cast<DWORD>(camera.GetFogDensity()));
    d3dDevice->SetLightState(D3DLIGHTSTATE_FOGSTART, std::bit_cast<DWORD>(start));
    d3dDevice->SetLightState(D3DLIGHTSTATE_FOGEND, std::bit_cast<DWORD>(end));
}

void LRenderAPI_Direct3D::ClearAll(DWORD clearFlags, DWORD colour, float z) {
    if (viewport == nullptr) return;
    D3DRECT all{0, 0, LONG(width), LONG(height)};
    viewport->Clear2(1, &all, clearFlags, colour, z, 0);
}

void LRenderAPI_Direct3D::RenderFrame() {
    LockRender();
    if ((flags & kMemoryTarget) != 0) RenderIntoTexture();
    if ((flags & kMemoryTarget) == 0 && d3dDevice != nullptr && setUpResult == 0) {
        LRenderAPICLBK* previous = GetCurrentRenderer();
        SetCurrentRenderer(this);
        MakeCurrent(this);
        BeginFrame();
        if ((flags & kDepthBuffer) != 0) DepthRestore();
        ApplyFilters();
        if (d3dDevice->BeginScene() == DD_OK) {
            sceneOpen = 1;
            elementsInScene = 0;
            if (colourKeyOn != 0) {
                RenderState(D3DRENDERSTATE_COLORKEYENABLE, 0);
                colourKeyOn = 0;
            }
            BlendReset();
            if (view != nullptr) {
                ApplyCulling();
                view->DrawWorld(this);
            }
            RenderState(D3DRENDERSTATE_FLUSHBATCH, 0);
            d3dDevice->EndScene();
            sceneOpen = 0;
        }
        EndFrame();
        SetCurrentRenderer(previous);
    }
    UnlockRender();
}

LRenderAPI_Direct3D* LRenderAPI_Direct3D::DrawingRenderer() const {
    const auto draws = [this](const LRenderAPI_Direct3D* r) {
        return r != nullptr && r != this && (r->flags & kMemoryTarget) == 0 &&
               r->d3dDevice != nullptr && r->viewport != nullptr && r->backBuffer != nullptr &&
               r->setUpResult == 0;
    };
    if (LRenderAPI_Direct3D* current = Current(); draws(current)) return current;
    // Drawn outside any frame: a renderer of the same back end that can draw lends its
    // device.
    if (device != nullptr)
        for (LRenderAPICLBK* r : BackEnd()->GetRenderers())
            if (draws(static_cast<LRenderAPI_Direct3D*>(r)))
                return static_cast<LRenderAPI_Direct3D*>(r);
    return nullptr;
}

void LRenderAPI_Direct3D::RenderIntoTexture() {
    LTexture* target = targetTexture;
    LRenderAPI_Direct3D* outer = DrawingRenderer();
    if (outer == nullptr || target == nullptr || target->pixels == nullptr) return;
    const uint32_t bytes = (target->bitsPerPixel + 7u) / 8u;
    if (bytes < 2 || bytes > 4 || target->pitch < target->width * bytes) return;
    LRenderAPICLBK* previous = GetCurrentRenderer();
    LRenderAPI_Direct3D* previousDirect3D = Current();
    // The texture's own frame shows no camera textures: frames would nest without end.
    stateFlags |= kNoCameraTextures;
    d3dDevice = outer->d3dDevice;
    viewport = outer->viewport;
    const bool nested = outer->sceneOpen != 0;
    if (nested) {
        outer->RenderState(D3DRENDERSTATE_FLUSHBATCH, 0);
        d3dDevice->EndScene();
    }
    MakeCurrent(this);
    SetCurrentRenderer(this);
    BeginFrame();
    if ((flags & kDepthBuffer) != 0)
        DepthRestore();
    else
        RenderState(D3DRENDERSTATE_ZENABLE, 0);
    ApplyFilters();
    if (d3dDevice->BeginScene() == DD_OK) {
        elementsInScene = 0;
        RenderState(D3DRENDERSTATE_COLORKEYENABLE, 0);
        colourKeyOn = 0;
        ResetAlphaBlend();
        if (view != nullptr) {
            ApplyCulling();
            view->DrawWorld(this);
        }
        RenderState(D3DRENDERSTATE_FLUSHBATCH, 0);
        d3dDevice->EndScene();
    }
    CopyFrameInto(*target, outer->backBuffer);
    d3dDevice = nullptr;
    viewport = nullptr;
    MakeCurrent(previousDirect3D);
    SetCurrentRenderer(previous);
    // The device's states are the texture frame's now.
    outer->ResetStateCache();
    if (nested) {
        outer->SceneRestart();
        outer->ResetAlphaBlend();
    }
}

namespace {

// Bits of `value` under `mask` widened to 8.
uint32_t Channel(uint32_t value, uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const uint32_t v = (value & mask) >> shift;
    if (bits >= 8) return v >> (bits - 8);
    // The top bits repeated below, so that the brightest value stays 255.
    const uint32_t wide = v << (8 - bits);
    return bits >= 4 ? wide | v >> (2 * bits - 8) : wide;
}

} // namespace

void LRenderAPI_Direct3D::CopyFrameInto(LTexture& target, IDirectDrawSurface4* from) const {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    if (from->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, 0) != DD_OK) return;
    const uint8_t* memory = SurfaceMemory(desc);
    const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
    const uint32_t fromBytes = format.dwRGBBitCount / 8;
    const uint32_t depth = target.bitsPerPixel;
    const uint32_t bytes = (depth + 7u) / 8u;
    const uint32_t w = std::min({width, desc.dwWidth, target.width});
    const uint32_t h = std::min({height, desc.dwHeight, target.height});
    for (uint32_t y = 0; memory != nullptr && fromBytes >= 2 && fromBytes <= 4 && y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            uint32_t value = 0;
            std::memcpy(&value, memory + y * uint32_t(desc.lPitch) + x * fromBytes, fromBytes);
            const uint32_t r = Channel(value, format.dwRBitMask);
            const uint32_t g = Channel(value, format.dwGBitMask);
            const uint32_t b = Channel(value, format.dwBBitMask);
            const uint32_t texel = depth == 15   ? (r >> 3) << 10 | (g >> 3) << 5 | b >> 3
                                   : depth == 16 ? (r >> 3) << 11 | (g >> 2) << 5 | b >> 3
                                                 : r << 16 | g << 8 | b;
            std::memcpy(target.pixels + y * target.pitch + x * bytes, &texel, bytes);
        }
    from->Unlock(nullptr);
    // The texture shows the new frame at its next use.
    target.ReleaseDeviceCopy();
}

void LRenderAPI_Direct3D::BeginFrame() {
    if (viewport == nullptr) return;
    ResetStateCache();
    DWORD colour = RGBOf(background);
    if (view == nullptr || view->fogMode == L3DCamera::kFogOff) {
        RenderState(D3DRENDERSTATE_FOGENABLE, 0);
    } else {
        colour = RGBOf(uint32_t(view->fogColor[0]) | uint32_t(view->fogColor[1]) << 8 |
                       uint32_t(view->fogColor[2]) << 16);
        FogSetUp(*view);
        RenderState(D3DRENDERSTATE_FOGCOLOR, colour);
    }
    DWORD clearFlags = 0;
    if ((flags & kClearEachFrame) != 0) clearFlags |= D3DCLEAR_TARGET;
    if ((flags & kStencilClear) != 0) clearFlags |= D3DCLEAR_STENCIL;
    if ((flags & kDepthBuffer) != 0) clearFlags |= D3DCLEAR_ZBUFFER;
    if (clearFlags != 0) ClearAll(clearFlags, colour, (flags & kDepthBuffer) != 0 ? 1.0f : 0.0f);
}

void LRenderAPI_Direct3D::ClearDepthBuffer() {
    if ((flags & kDepthBuffer) != 0 && (flags & kMemoryTarget) == 0)
        ClearAll(D3DCLEAR_ZBUFFER, 0, 1.0f);
}

void LRenderAPI_Direct3D::EndFrame() {
    if ((flags & kMemoryTarget) != 0 || backBuffer == nullptr || setUpResult != 0) return;
    if ((flags & kStatistics) != 0) {
        char text[256];
        UpdateFrameStatistics(text, sizeof text, 1);
        HDC dc = 0;
        if (backBuffer->GetDC(&dc) == DD_OK) {
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, kStatisticsColour);
            TextOutA(dc, 0, 0, text, int(std::strlen(text)));
            backBuffer->ReleaseDC(dc);
        }
    }
    LAPI_Direct3D* backEnd = static_cast<LAPI_Direct3D*>(device);
    IDirectDrawSurface4* primary = backEnd->SharedObject();
    if (primary == nullptr) return;
    RECT source{0, 0, LONG(width), LONG(height)};
    RECT destination = source;
    if ((flags & kWindowed) != 0) {
        POINT origin{0, 0};
        ClientToScreen(targetWindow, &origin);
        destination.left += origin.x;
        destination.right += origin.x;
        destination.top += origin.y;
        destination.bottom += origin.y;
    }
    if ((flags & kFullScreen) != 0) {
        primary->Flip(nullptr, 0);
        return;
    }
    if (backEnd->SharedUses() > 1) primary->SetClipper(clipper);
    backEnd->WaitForVerticalBlank();
    primary->Blt(&destination, backBuffer, &source, 0, nullptr);
}

int32_t LRenderAPI_Direct3D::SetStateBits(uint32_t bit) {
    int32_t recorded = 0;
    if (IsCapable(bit) != 0) {
        stateBits |= int32_t(bit);
        if (bit == 8) stateBits &= ~0x10;
        if (bit == 0x10) stateBits &= ~8;
        recorded = 1;
    }
    switch (bit) {
    case 0x02:
        RenderState(D3DRENDERSTATE_ANTIALIAS, D3DANTIALIAS_SORTINDEPENDENT);
        break;
    case 0x04:
        RenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, 1);
        break;
    case 0x08:
        colourOperation[0] = D3DTOP_MODULATE;
        colourOperation[1] = D3DTA_TEXTURE;
        colourOperation[2] = D3DTA_DIFFUSE;
        break;
    case 0x10:
        if (AddSignedProbe()) {
            colourOperation[0] = D3DTOP_ADDSIGNED;
            colourOperation[1] = D3DTA_DIFFUSE;
            colourOperation[2] = D3DTA_TEXTURE;
        } else {
            colourOperation[0] = D3DTOP_MODULATE;
            colourOperation[1] = D3DTA_TEXTURE;
            colourOperation[2] = D3DTA_DIFFUSE;
        }
        break;
    case 0x100:
        RenderState(D3DRENDERSTATE_ZENABLE, 1);
        break;
    case 0x200:
        if ((flags & kDepthBuffer) != 0 && wBufferAvailable != 0 && d3dDevice != nullptr) {
            RenderState(D3DRENDERSTATE_ZWRITEENABLE, 1);
            RenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_GREATEREQUAL);
            RenderState(D3DRENDERSTATE_ZENABLE, D3DZB_USEW);
        }
        break;
    case 0x400:
    case 0x2000:
    case 0x4000:
    case 0x8000:
        stateBits &= ~int32_t((0x400 | 0x2000 | 0x4000 | 0x8000) & ~bit);
        for (DWORD stage : {0u, 1u}) {
            const DWORD min = bit == 0x400 ? 3 : bit == 0x8000 ? 1 : 2;
            const DWORD mag = bit == 0x400 ? 5 : bit == 0x8000 ? 1 : 2;
            const DWORD mip = bit == 0x4000 ? 3 : bit == 0x8000 ? 2 : 1;
            StageState(stage, D3DTSS_MINFILTER, min);
            StageState(stage, D3DTSS_MAGFILTER, mag);
            if (bit == 0x400) StageState(stage, D3DTSS_MAXANISOTROPY, maxAnisotropy);
            StageState(stage, D3DTSS_MIPFILTER, mip);
        }
        break;
    case 0x1000:
        SetTextureDepth(depth);
        if (world != nullptr) world->textures.ReloadAll();
        break;
    default:
        break;
    }
    return recorded;
}

void LRenderAPI_Direct3D::ClearStateBits(uint32_t bit) {
    stateBits &= ~int32_t(bit);
    switch (bit) {
    case 0x02:
        RenderState(D3DRENDERSTATE_ANTIALIAS, 0);
        break;
    case 0x04:
        RenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, 0);
        break;
    case 0x100:
        SetStateBits((flags & kDepthBuffer) != 0 && wBufferAvailable != 0 ? 0x200 : 0x100);
        break;
    case 0x200:
        if ((flags & kDepthBuffer) != 0) SetStateBits(0x100);
        break;
    case 0x400:
    case 0x2000:
    case 0x4000:
        for (DWORD stage : {0u, 1u}) {
            StageState(stage, D3DTSS_MINFILTER, 1);
            StageState(stage, D3DTSS_MAGFILTER, 1);
            StageState(stage, D3DTSS_MIPFILTER, bit == 0x400 ? 1 : 2);
        }
        break;
    case 0x1000:
        SetTextureDepth(depth);
        if (world != nullptr) world->textures.ReloadAll();
        break;
    default:
        break;
    }
}

void LRenderAPI_Direct3D::DrawPolygonBatch(LCacheMaterial* batch, L3DCamera* camera,
                                           L3DObject* object) {
    ResetStateCache();
    if (d3dDevice == nullptr || batch == nullptr || batch->material == nullptr) return;
    const uint32_t indexCount = batch->indexCount;
    if (indexCount > batch->indices.size()) return;
    for (uint32_t i = 0; i < indexCount; ++i)
        if (batch->indices[i] >= batch->records.size()) return;
    const LMaterial& m = *batch->material;
    const bool gouraud = object != nullptr && object->IsGouraud() != 0;
    const bool lambert = !gouraud && object != nullptr && object->IsLambert() != 0;
    if (depthOverride == 0 && camera != nullptr) ApplyCulling();
    RenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 0);
    StageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    RenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    RenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO);
    std::vector<RenderVertex>& records = batch->records;
    const uint16_t* indices = batch->indices.data();
    // A flat-lit triangle's corners are its own, coloured by its mean: shared records
    // would give a face the colour of the last triangle that wrote them.
    std::vector<RenderVertex> flatCorners;
    const bool translucent = (m.mode & (LMaterial::kAdditive | LMaterial::kAdditiveSecond)) != 0;
    auto* second = static_cast<LTexture_Direct3D*>(m.textures[1]);
    const bool textured = (m.mode & LMaterial::kTextured) != 0 && m.textures[0] != nullptr;
    if (textured) {
        BindTexture(0, static_cast<LTexture_Direct3D*>(m.textures[0]));
        if (translucent) {
            RenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
            if ((m.mode & LMaterial::kAdditiveSecond) == 0) RenderState(D3DRENDERSTATE_ZENABLE, 0);
            RenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
            RenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
        }
        RenderState(D3DRENDERSTATE_FILLMODE,
                    (m.mode & LMaterial::kWireframe) != 0 ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
        if (gouraud || lambert) {
            RenderState(D3DRENDERSTATE_SHADEMODE, gouraud ? D3DSHADE_GOURAUD : D3DSHADE_FLAT);
            StageState(0, D3DTSS_COLOROP, colourOperation[0]);
            StageState(0, D3DTSS_COLORARG1, colourOperation[1]);
            StageState(0, D3DTSS_COLORARG2, colourOperation[2]);
            if (lambert)
                flatCorners = FlatCorners(records, indices, indexCount,
                                          [](uint32_t mean, const RenderVertex&) { return mean; });
        } else {
            RenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT);
            StageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
            StageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        }
        if (second != nullptr) {
            if (blendFactorCapable != 0)
                RenderState(D3DRENDERSTATE_TEXTUREFACTOR, DWORD(m.GetTextureIntensity(0) * 255.0f)
                                                              << 24);
            BindTexture(1, second);
            StageState(1, D3DTSS_TEXCOORDINDEX, 1);
            if (blendFactorCapable != 0) {
                StageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
                StageState(1, D3DTSS_COLOROP, D3DTOP_BLENDFACTORALPHA);
                StageState(1, D3DTSS_COLORARG2, D3DTA_TEXTURE);
            } else {
                StageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
                StageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
                StageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
            }
        }
    } else if ((m.mode & (LMaterial::kWireframe | LMaterial::kSolid)) != 0) {
        RenderState(D3DRENDERSTATE_FLUSHBATCH, 0);
        d3dDevice->SetTexture(0, nullptr);
        RenderState(D3DRENDERSTATE_FILLMODE,
                    (m.mode & LMaterial::kWireframe) != 0 ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
        LRenderAPI_Direct3D* current = Current() != nullptr ? Current() : this;
        const bool modulated = (current->stateBits & 0x08) != 0;
        if (gouraud) {
            StageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
            RenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD);
            for (uint32_t i = 0; i < indexCount; ++i) {
                RenderVertex& v = records[indices[i]];
                v.diffuse = Tinted(v.diffuse, m, modulated);
            }
        } else if (lambert) {
            flatCorners = FlatCorners(
                records, indices, indexCount, [&](uint32_t mean, const RenderVertex& first) {
                    return Tinted((mean & 0xFFFFFFu) | (first.diffuse & 0xFF000000u), m, modulated);
                });
            StageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
            RenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT);
        } else {
            const uint32_t colour = 0xFF000000u | uint32_t(m.colorBytes[0] & 0xFF) << 16 |
                                    uint32_t(m.colorBytes[1] & 0xFF) << 8 |
                                    uint32_t(m.colorBytes[2] & 0xFF);
            for (uint32_t i = 0; i < indexCount; ++i)
                records[indices[i]].diffuse = colour;
            StageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
            RenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT);
        }
    }
    if (lambert)
        d3dDevice->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX2, flatCorners.data(),
                                 DWORD(flatCorners.size()), D3DDP_DONOTLIGHT | D3DDP_DONOTCLIP);
    else
        d3dDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX2, records.data(),
                                        DWORD(records.size()), batch->indices.data(), indexCount,
                                        D3DDP_DONOTLIGHT | D3DDP_DONOTCLIP);
    if (camera != nullptr) camera->polygonsDrawn += indexCount / 3;
    if (textured && second != nullptr) {
        StageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
        d3dDevice->SetTexture(1, nullptr);
    }
    if (textured && translucent) {
        RenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 0);
        DepthRestore();
    }
}

void LRenderAPI_Direct3D::DrawElement2D(L3DCamera* camera, LSprite* sprite) {
    DrawSprite(camera, sprite, false);
}

void LRenderAPI_Direct3D::DrawQuad(L3DCamera* camera, LSprite* backdrop) {
    DrawSprite(camera, backdrop, true);
}

void LRenderAPI_Direct3D::DrawSprite(L3DCamera* camera, LSprite* sprite, bool backdrop) {
    if (d3dDevice == nullptr || sprite == nullptr) return;
    // The first element of a scene closes and reopens it, so that it lands over the
    // polygons drawn so far.
    if (elementsInScene == 0) {
        RenderState(D3DRENDERSTATE_FLUSHBATCH, 0);
        d3dDevice->EndScene();
        d3dDevice->BeginScene();
    }
    ++elementsInScene;
    // An element's corners run clockwise on the screen, which the world's culling would
    // take for a face turned away.
    RenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    const bool nearest = !backdrop && sprite->filtering == 0;
    if (nearest) {
        StageState(0, D3DTSS_MINFILTER, 1);
        StageState(0, D3DTSS_MAGFILTER, 1);
        StageState(0, D3DTSS_MIPFILTER, 2);
    }
    RenderState(D3DRENDERSTATE_ZENABLE, 0);
    if (!backdrop) RenderState(D3DRENDERSTATE_FOGENABLE, 0);
    const uint32_t mode = sprite->drawMode;
    auto* texture = (mode & LSprite::kTextured) != 0
                        ? static_cast<LTexture_Direct3D*>(sprite->texture)
                        : nullptr;
    const uint8_t alpha = uint8_t(sprite->alpha > 255 ? 255 : sprite->alpha);
    const bool seeThroughTexture =
        texture != nullptr && ((texture->flags & LTexture::kColorKey) != 0 ||
                               texture->GetAlpha() < 255 || texture->alphaPlane != nullptr);
    if (alpha == 255 && !seeThroughTexture)
        BlendReset();
    else
        SetTranslucency(alpha, backdrop);
    const DWORD rgb = RGBOf(sprite->color);
    RenderVertex corners[4];
    for (int i = 0; i < 4; ++i) {
        corners[i].x = sprite->corners[i].x;
        corners[i].y = sprite->corners[i].y;
        corners[i].rhw = 1;
    }
    if (texture != nullptr) {
        TexturedState(texture, -1);
        colourKeyOn = seeThroughTexture ? 1 : 0;
        RenderState(D3DRENDERSTATE_COLORKEYENABLE, colourKeyOn);
        const float w = texture->width != 0 ? float(texture->width) : 1.0f;
        const float h = texture->height != 0 ? float(texture->height) : 1.0f;
        uint32_t fog = 0;
        if (backdrop && view != nullptr && view->fogMode != L3DCamera::kFogOff) {
            const float far = float(viewFar);
            const float start = far * view->fogStart, end = far * view->fogEnd;
            fog = far < start                 ? 255
                  : far > end || end <= start ? 0
                                              : uint32_t((end - far) / (end - start) * 255.0f);
        }
        for (int i = 0; i < 4; ++i) {
            corners[i].u1 = sprite->corners[i].u / w;
            corners[i].v1 = sprite->corners[i].v / h;
            corners[i].diffuse = uint32_t(alpha) << 24 | 0xFFFFFFu;
            corners[i].specular = fog << 24;
        }
    } else if (!backdrop && (mode & (LSprite::kSolid | 2u)) != 0) {
        const bool outline = (mode & LSprite::kSolid) == 0;
        if (alpha < 255 && !outline) {
            SelectTranslucentState(sprite->color, alpha, -1, 0);
        } else {
            BlendReset();
            d3dDevice->SetTexture(0, nullptr);
            currentTexture = nullptr;
        }
        RenderState(D3DRENDERSTATE_FILLMODE, outline ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
        if (colourKeyOn != 0) {
            RenderState(D3DRENDERSTATE_COLORKEYENABLE, 0);
            colourKeyOn = 0;
        }
        RenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT);
        RenderState(D3DRENDERSTATE_FLUSHBATCH, 0);
        currentKind = kKindSolid;
        for (RenderVertex& corner : corners)
            corner.diffuse = uint32_t(alpha) << 24 | rgb;
    }
    d3dDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX2, corners, 4,
                             backdrop ? D3DDP_DONOTLIGHT
                                      : D3DDP_DONOTLIGHT | D3DDP_DONOTUPDATEEXTENTS);
    if (!backdrop && camera != nullptr && camera->fogMode != L3DCamera::kFogOff) FogSetUp(*camera);
    if (nearest) {
        if ((stateBits & 0x02) != 0) SetStateBits(0x02);
        for (uint32_t filter : {0x400u, 0x2000u, 0x4000u})
            if ((stateBits & int32_t(filter)) != 0) {
                SetStateBits(filter);
                break;
            }
    }
    DepthRestore();
    ApplyCulling();
}

void LRenderAPI_Direct3D::BeginDepthOverwrite() {
    if (d3dDevice == nullptr) return;
    RenderState(D3DRENDERSTATE_FLUSHBATCH, 0);
    d3dDevice->EndScene();
    ResetStateCache();
    ClearAll(D3DCLEAR_ZBUFFER, 0, 0.0f);
    RenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    RenderState(D3DRENDERSTATE_ZENABLE, 1);
    RenderState(D3DRENDERSTATE_ZWRITEENABLE, 1);
    RenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_ALWAYS);
    RenderState(D3DRENDERSTATE_FLUSHBATCH, 0);
    depthOverride = 1;
    SceneRestart();
}

void LRenderAPI_Direct3D::EndDepthOverwrite() {
    if (d3dDevice == nullptr) return;
    RenderState(D3DRENDERSTATE_FLUSHBATCH, 0);
    d3dDevice->EndScene();
    DepthRestore();
    RenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESS);
    RenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    RenderState(D3DRENDERSTATE_FLUSHBATCH, 0);
    SceneRestart();
}

void LRenderAPI_Direct3D::ResetDepthBuffer() {
    depthOverride = 0;
    if (d3dDevice == nullptr) return;
    RenderState(D3DRENDERSTATE_FLUSHBATCH, 0);
    d3dDevice->EndScene();
    DepthRestore();
    ClearDepthBuffer();
    RenderState(D3DRENDERSTATE_FLUSHBATCH, 0);
    ResetStateCache();
    SceneRestart();
}

void LRenderAPI_Direct3D::BindTexture(DWORD stage, LTexture_Direct3D* texture) {
    if (d3dDevice == nullptr) return;
    if (texture != nullptr && texture->d3dTexture == nullptr) texture->CreateTextureSurface();
    d3dDevice->SetTexture(stage, texture != nullptr ? texture->d3dTexture : nullptr);
}

void LRenderAPI_Direct3D::AdditiveBlend(uint32_t modeBits) {
    if (depthOverride != 0) return;
    RenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
    if ((modeBits & 0x20000000) == 0) RenderState(D3DRENDERSTATE_ZENABLE, 0);
    RenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    alphaBlending = 1;
    ++cachedAlpha;
}

void LRenderAPI_Direct3D::UntexturedShading(int32_t selector) {
    if (selector == -1) {
        RenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT);
        return;
    }
    StageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
    RenderState(D3DRENDERSTATE_SHADEMODE, selector == 0x10 ? D3DSHADE_GOURAUD : D3DSHADE_FLAT);
}

void LRenderAPI_Direct3D::TexturedState(LTexture_Direct3D* texture, int32_t selector) {
    if (texture != currentTexture) {
        BindTexture(0, texture);
        currentTexture = texture;
    }
    if (selector != currentSelector || currentKind != kKindTextured) {
        RenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID);
        if (selector == -1) {
            StageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
            StageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        } else {
            StageState(0, D3DTSS_COLOROP, colourOperation[0]);
            StageState(0, D3DTSS_COLORARG1, colourOperation[1]);
            StageState(0, D3DTSS_COLORARG2, colourOperation[2]);
            RenderState(D3DRENDERSTATE_FLUSHBATCH, 0);
        }
        currentSelector = selector;
        currentKind = kKindTextured;
    }
}

void LRenderAPI_Direct3D::SelectTextureState(LTexture_Direct3D* texture, int32_t selector,
                                             uint32_t modeBits) {
    TexturedState(texture, selector);
    if (modeBits == 0) {
        DepthRestore();
        BlendReset();
    } else {
        AdditiveBlend(modeBits);
    }
}

void LRenderAPI_Direct3D::SelectTranslucentTextureState(LTexture_Direct3D* texture,
                                                        int32_t selector, uint32_t modeBits) {
    TexturedState(texture, selector);
    if (modeBits == 0) {
        DepthRestore();
        SetTranslucency(texture != nullptr ? texture->GetAlpha() : 255, false);
    } else {
        AdditiveBlend(modeBits);
    }
}

void LRenderAPI_Direct3D::SelectSolidState(int32_t selector, uint32_t modeBits) {
    RenderState(D3DRENDERSTATE_FLUSHBATCH, 0);
    if (d3dDevice != nullptr) d3dDevice->SetTexture(0, nullptr);
    currentTexture = nullptr;
    RenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID);
    if (modeBits != 0) {
        AdditiveBlend(modeBits);
    } else {
        DepthRestore();
        if (colourKeyOn != 0) {
            RenderState(D3DRENDERSTATE_COLORKEYENABLE, 0);
            colourKeyOn = 0;
        }
        BlendReset();
    }
    UntexturedShading(selector);
    currentSelector = selector;
    currentKind = kKindSolid;
}

void LRenderAPI_Direct3D::SelectLineState(int32_t selector, uint32_t modeBits) {
    SelectSolidState(selector, modeBits);
    RenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_WIREFRAME);
    currentKind = kKindLines;
}

void LRenderAPI_Direct3D::SetTranslucency(uint8_t alpha, bool inverted) {
    if (alphaBlending != 0 && cachedAlpha == alpha) return;
    RenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
    StageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    StageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    RenderState(D3DRENDERSTATE_SRCBLEND, inverted ? D3DBLEND_INVSRCALPHA : D3DBLEND_SRCALPHA);
    RenderState(D3DRENDERSTATE_DESTBLEND, inverted ? D3DBLEND_SRCALPHA : D3DBLEND_INVSRCALPHA);
    cachedAlpha = alpha;
    alphaBlending = 1;
}

void LRenderAPI_Direct3D::ResetAlphaBlend() {
    alphaBlending = 1;
    BlendReset();
}

void LRenderAPI_Direct3D::SelectTranslucentState(uint32_t, uint8_t alpha, int32_t selector,
                                                 uint32_t) {
    if (currentKind != kKindSolid || alphaBlending == 0) {
        if (d3dDevice != nullptr) d3dDevice->SetTexture(0, nullptr);
        currentTexture = nullptr;
        RenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID);
        DepthRestore();
        if (colourKeyOn != 0) {
            RenderState(D3DRENDERSTATE_COLORKEYENABLE, 0);
            colourKeyOn = 0;
        }
    }
    if (alphaBlending == 0 || cachedAlpha != alpha) {
        RenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
        StageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        StageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
        RenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
        RenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
        cachedAlpha = alpha;
        alphaBlending = 1;
    }
    UntexturedShading(selector);
    currentSelector = selector;
    currentKind = kKindSolid;
}

void LRenderAPI_Direct3D::BeginExtraPass(uint32_t alpha) {
    if (LRenderAPI_Direct3D* current = Current())
        current->SelectTranslucentState(0, uint8_t(alpha), -1, 0);
}
