// One texture image in system memory: pixels at a depth, an optional 8-bit alpha plane,
// its name and image file, tiling and offset, a colour key, an alpha value and flags.
// Back ends derive their textures from it to keep a device copy.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine3d/scene/clbk_object.h"

class L3DCamera;
class L3DWorld;
class LRenderAPICLBK;
struct PaletteRecord;

// Nearest-pixel resampling with 16.16 steps (taken in 64 bits); nothing for a size of 0
// or a null source. 1, 2, 3 or 4 bytes per pixel for 8, 15/16, 24 and 32 bits.
void ResampleImage(uint8_t* dst, uint32_t dw, uint32_t dh, uint32_t dpitch, const uint8_t* src,
                   uint32_t sw, uint32_t sh, uint32_t spitch, uint32_t depth);

class LTexture : public LManageCLBKObject {
public:
    static constexpr uint32_t kColorKey = 0x80;
    static constexpr uint32_t kEnvironmentMapping = 0x200000;
    // The largest side a texture may have without a renderer that allows more.
    static constexpr uint32_t kMaxSide = 16384;
    static constexpr size_t kNameSize = 256;
    static constexpr size_t kFileNameSize = 260;

    LTexture(L3DWorld* world, const char* name, LCLBKObject* link);
    // Frees the owned buffers; a camera texture releases its renderer.
    ~LTexture() override;

    virtual LRenderAPICLBK* GetSurface() const;
    virtual uint32_t GetBitsPerPixel() const;
    // Takes the image, fitted to power-of-two sides; 0 when the size is refused (the
    // texture then holds no image and the buffers, when owned, are freed).
    virtual int SetImage(uint8_t* pixels, uint32_t pitch, uint8_t* alphaPlane, uint32_t alphaPitch,
                         uint32_t width, uint32_t height, uint32_t owns, uint32_t depth,
                         const PaletteRecord* palette);
    virtual uint8_t* GetAlphaPlane() const { return alphaPlane; }
    virtual void SetColorKey(int on, uint32_t colour);
    virtual void ReleaseDeviceCopy() {}
    // Pixels for a camera to render into, with the camera's renderer; 0 on success.
    virtual int AllocatePixels(L3DCamera* camera, uint32_t width, uint32_t height, uint32_t depth);

    void SetAlpha(uint8_t value);
    uint8_t GetAlpha() const { return alpha; }
    void SetTiling(float x, float y);
    void SetOffset(float x, float y);
    void SetEnvironmentMapping(int on);
    void SetName(const char* name);
    void GetName(char* buffer, int size) const;
    void GetFileName(char* buffer, int size) const;
    const char* Name() const { return name_; }
    const char* FileName() const { return fileName_; }
    void SetFileName(const char* path);
    void Reload();
    // 2 without pixels.
    int CopyPixels(uint8_t* buffer, uint32_t pitch, uint32_t rows) const;
    // Clamps to the renderer's limits (or 16384) and rounds each side up to a power of
    // two, at least 2; 0 when the size cannot be fitted (the image is then dropped).
    int FitSizeToDevice(LRenderAPICLBK* renderer);

    uint8_t alpha = 255;
    uint8_t keyPaletteIndex = 0;
    uint32_t flags = 0;
    uint32_t keyColor = 0;
    uint8_t* pixels = nullptr;
    uint8_t* alphaPlane = nullptr;
    uint32_t alphaPitch = 0;
    uint32_t number = 0;
    // As given, then as used after fitting.
    uint32_t sourcePitch = 0, rowLength = 0, sourceHeight = 0;
    uint32_t pitch = 0, width = 0, height = 0;
    float tiling[2] = {1, 1};
    float offset[2] = {0, 0};
    uint32_t ownsBuffers = 1;
    uint32_t bitsPerPixel = 0;
    L3DCamera* camera = nullptr;
    LRenderAPICLBK* cameraRenderer = nullptr;
    L3DWorld* world;

private:
    void FreeBuffers();
    void NotifyMaterials();

    char fileName_[kFileNameSize] = {};
    char name_[kNameSize] = {};
};
