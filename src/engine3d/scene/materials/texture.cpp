#include "engine3d/scene/materials/texture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/render/frame_state.h"
#include "engine3d/scene/render/renderer.h"
#include "graphics2d/palette/palette.h"

namespace {

uint32_t BytesPerPixel(uint32_t depth) {
    return depth <= 8 ? 1 : depth <= 16 ? 2 : depth == 24 ? 3 : 4;
}

// Rows of a pitch that is the row's bytes rounded up to a multiple of 4; 0 when too large.
uint64_t AlignedPitch(uint64_t width, uint32_t depth) {
    return (uint64_t((depth + 7) / 8) * width + 3) & ~uint64_t(3);
}

uint32_t PowerOfTwoAtLeast(uint64_t value) {
    uint64_t p = 2;
    while (p < value)
        p <<= 1;
    return uint32_t(p);
}

void CopyName(char* out, size_t size, const char* text) {
    size_t n = 0;
    for (; text != nullptr && text[n] != 0 && n + 1 < size; ++n)
        out[n] = text[n];
    out[n] = 0;
}

void CopyOut(char* buffer, int size, const char* text) {
    if (size <= 0) return;
    CopyName(buffer, size_t(size), text);
}

} // namespace

void ResampleImage(uint8_t* dst, uint32_t dw, uint32_t dh, uint32_t dpitch, const uint8_t* src,
                   uint32_t sw, uint32_t sh, uint32_t spitch, uint32_t depth) {
    if (dst == nullptr || src == nullptr || dw == 0 || dh == 0 || sw == 0 || sh == 0) return;
    const uint32_t bytes = BytesPerPixel(depth);
    const uint64_t stepX = (uint64_t(sw) << 16) / dw;
    const uint64_t stepY = (uint64_t(sh) << 16) / dh;
    uint64_t y = 0;
    for (uint32_t row = 0; row < dh; ++row, y += stepY) {
        const uint8_t* in = src + uint64_t(std::min<uint64_t>(y >> 16, sh - 1)) * spitch;
        uint8_t* out = dst + uint64_t(row) * dpitch;
        uint64_t x = 0;
        for (uint32_t column = 0; column < dw; ++column, x += stepX)
            std::memcpy(out + uint64_t(column) * bytes,
                        in + std::min<uint64_t>(x >> 16, sw - 1) * bytes, bytes);
    }
}

LTexture::LTexture(L3DWorld* owner, const char* name, LCLBKObject* link)
    : LManageCLBKObject(link), world(owner) {
    number = owner != nullptr ? owner->textures.list.GetCount() + 1 : 1;
    CopyName(name_, kNameSize, name);
}

LTexture::~LTexture() {
    FreeBuffers();
    if (cameraRenderer != nullptr && world != nullptr && world->GetAPI() != nullptr)
        world->GetAPI()->ReleaseRenderer(cameraRenderer);
}

void LTexture::FreeBuffers() {
    if (ownsBuffers != 0) {
        std::free(pixels);
        std::free(alphaPlane);
    }
    pixels = nullptr;
    alphaPlane = nullptr;
}

LRenderAPICLBK* LTexture::GetSurface() const {
    return GetCurrentRenderer();
}

uint32_t LTexture::GetBitsPerPixel() const {
    if (LRenderAPICLBK* renderer = GetCurrentRenderer()) return renderer->textureDepth;
    if (bitsPerPixel != 0) return bitsPerPixel;
    // Without a current renderer the world's probe would answer its stored format.
    return world != nullptr ? world->textureFormat : 16;
}

int LTexture::SetImage(uint8_t* image, uint32_t imagePitch, uint8_t* alphaImage,
                       uint32_t alphaImagePitch, uint32_t w, uint32_t h, uint32_t owns,
                       uint32_t depth, const PaletteRecord*) {
    FreeBuffers();
    pixels = image;
    alphaPlane = alphaImage;
    alphaPitch = alphaImagePitch;
    ownsBuffers = owns;
    bitsPerPixel = depth;
    sourcePitch = pitch = imagePitch;
    sourceHeight = height = h;
    width = w;
    rowLength = depth == 8    ? imagePitch
                : depth <= 16 ? imagePitch / 2
                : depth == 24 ? imagePitch / 3
                : depth == 32 ? imagePitch / 4
                              : w;
    return FitSizeToDevice(nullptr);
}

int LTexture::FitSizeToDevice(LRenderAPICLBK* renderer) {
    const uint64_t minW =
        renderer != nullptr ? uint64_t(std::max(renderer->GetMinTextureWidth(), 0)) : 0;
    const uint64_t minH =
        renderer != nullptr ? uint64_t(std::max(renderer->GetMinTextureHeight(), 0)) : 0;
    const uint64_t maxW =
        renderer != nullptr ? uint64_t(std::max(renderer->GetMaxTextureWidth(), 0)) : kMaxSide;
    const uint64_t maxH =
        renderer != nullptr ? uint64_t(std::max(renderer->GetMaxTextureHeight(), 0)) : kMaxSide;
    if (width > std::min<uint64_t>(maxW, kMaxSide) || height > std::min<uint64_t>(maxH, kMaxSide)) {
        FreeBuffers();
        width = height = pitch = 0;
        return 0;
    }
    const uint32_t w = PowerOfTwoAtLeast(std::max<uint64_t>(width, minW));
    const uint32_t h = PowerOfTwoAtLeast(std::max<uint64_t>(height, minH));
    if (w == width && h == height) return 1;
    const uint64_t newPitch = AlignedPitch(w, bitsPerPixel);
    auto* resized = static_cast<uint8_t*>(std::malloc(size_t(newPitch * h)));
    if (resized == nullptr) return 0;
    ResampleImage(resized, w, h, uint32_t(newPitch), pixels, width, height, pitch, bitsPerPixel);
    uint8_t* resizedAlpha = nullptr;
    if (alphaPlane != nullptr) {
        resizedAlpha = static_cast<uint8_t*>(std::malloc(size_t(w) * h));
        ResampleImage(resizedAlpha, w, h, w, alphaPlane, width, height, alphaPitch, 8);
    }
    FreeBuffers();
    pixels = resized;
    alphaPlane = resizedAlpha;
    alphaPitch = w;
    ownsBuffers = 1;
    sourcePitch = pitch = uint32_t(newPitch);
    rowLength = width = w;
    sourceHeight = height = h;
    return 1;
}

void LTexture::SetColorKey(int on, uint32_t colour) {
    if (on == 0) {
        flags &= ~kColorKey;
        return;
    }
    flags |= kColorKey;
    keyColor = colour;
    if (bitsPerPixel == 8 && world != nullptr && world->palette != nullptr)
        keyPaletteIndex = uint8_t(Palette_ColorToIndex(world->palette, colour & 0xFFFFFF));
}

int LTexture::AllocatePixels(L3DCamera* cam, uint32_t w, uint32_t h, uint32_t depth) {
    ReleaseDeviceCopy();
    if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide) return 1;
    const uint64_t rowPitch = AlignedPitch(w, depth);
    // Black until drawn into: the texture may be shown before its camera's first frame.
    auto* buffer = static_cast<uint8_t*>(std::calloc(size_t(rowPitch), h));
    if (buffer == nullptr) return 1;
    FreeBuffers();
    pixels = buffer;
    ownsBuffers = 1;
    sourcePitch = pitch = uint32_t(rowPitch);
    rowLength = width = w;
    sourceHeight = height = h;
    bitsPerPixel = depth;
    camera = cam;
    LAPICLBK* device = world != nullptr ? world->GetAPI() : nullptr;
    if (device == nullptr || cam == nullptr) return 0;
    cameraRenderer = device->CreateRenderer(world);
    if (cameraRenderer == nullptr) return 1;
    cameraRenderer->SetDisplayMode(int32_t(w), int32_t(h), LRenderAPICLBK::kCameraTextureModeFlags,
                                   depth, this);
    cameraRenderer->AttachView(cam);
    return 0;
}

void LTexture::NotifyMaterials() {
    if (world != nullptr) world->materials.OnTextureRemoved(this);
}

void LTexture::SetAlpha(uint8_t value) {
    if (value == alpha) return;
    alpha = value;
    ReleaseDeviceCopy();
    if (world != nullptr && fileName_[0] != 0) world->textures.DecodeImage(this, fileName_);
    NotifyMaterials();
}

void LTexture::SetTiling(float x, float y) {
    tiling[0] = x;
    tiling[1] = y;
    NotifyMaterials();
}

void LTexture::SetOffset(float x, float y) {
    offset[0] = x;
    offset[1] = y;
    NotifyMaterials();
}

void LTexture::SetEnvironmentMapping(int on) {
    flags = on != 0 ? flags | kEnvironmentMapping : flags & ~kEnvironmentMapping;
    NotifyMaterials();
}

void LTexture::SetName(const char* name) {
    CopyName(name_, kNameSize, name);
}

void LTexture::GetName(char* buffer, int size) const {
    CopyOut(buffer, size, name_);
}

void LTexture::GetFileName(char* buffer, int size) const {
    CopyOut(buffer, size, fileName_);
}

void LTexture::SetFileName(const char* path) {
    CopyName(fileName_, kFileNameSize, path);
}

void LTexture::Reload() {
    ReleaseDeviceCopy();
    if (world != nullptr && fileName_[0] != 0) world->textures.DecodeImage(this, fileName_);
}

int LTexture::CopyPixels(uint8_t* buffer, uint32_t bufferPitch, uint32_t rows) const {
    if (pixels == nullptr) return 2;
    rows = std::min(rows, height);
    if (bufferPitch == pitch) {
        std::memcpy(buffer, pixels, size_t(rows) * pitch);
        return 0;
    }
    const uint32_t bytes = std::min(bufferPitch, pitch);
    for (uint32_t r = 0; r < rows; ++r)
        std::memcpy(buffer + size_t(r) * bufferPitch, pixels + size_t(r) * pitch, bytes);
    return 0;
}
