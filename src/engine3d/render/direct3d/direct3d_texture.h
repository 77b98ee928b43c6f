// The Direct3D back end's texture: the scene model's image, and once used a texture
// surface of the renderer's format for it, its pixels converted (the colour key and the
// alpha into the format's alpha) and, when the renderer asks for mipmaps, three smaller
// levels. A change of image or key drops the surface; the next use makes a new one.
#pragma once

#include <cstdint>

#include "engine3d/render/direct3d/direct3d_renderer.h"
#include "engine3d/scene/materials/texture.h"

class LTexture_Direct3D : public LTexture {
public:
    LTexture_Direct3D(L3DWorld* world, const char* name, LCLBKObject* link);
    ~LTexture_Direct3D() override;

    // The current Direct3D renderer.
    LRenderAPICLBK* GetSurface() const override;
    // The depth of the format the texture is converted to; without one its own.
    uint32_t GetBitsPerPixel() const override;
    int SetImage(uint8_t* pixels, uint32_t pitch, uint8_t* alphaPlane, uint32_t alphaPitch,
                 uint32_t width, uint32_t height, uint32_t owns, uint32_t depth,
                 const PaletteRecord* palette) override;
    // The same key again keeps the device copy; any other change drops it.
    void SetColorKey(int on, uint32_t colour) override;
    void ReleaseDeviceCopy() override;

    // The format of the current renderer's list for this texture's alpha and key.
    bool ChooseTextureFormat(LRenderAPI_Direct3D::TextureFormat& out) const;
    // Makes the device copy: 1 (also when there is nothing to make), 0 when no format or
    // surface fits, E_FAIL without DirectDraw or device caps.
    HRESULT CreateTextureSurface();

    IDirectDrawSurface4* surface = nullptr;
    IDirect3DTexture2* d3dTexture = nullptr;

private:
    // The alpha of pixel `index` of the image.
    uint8_t AlphaOf(size_t index) const;
    void Convert(uint8_t* to, LONG toPitch, const LRenderAPI_Direct3D::TextureFormat& format);
    // Into a format of another depth than the image's, texel by texel through the format's
    // masks: keyed and see-through images are kept at their own depth and converted here.
    void ConvertAcross(uint8_t* to, LONG toPitch, const LRenderAPI_Direct3D::TextureFormat& format);
};
