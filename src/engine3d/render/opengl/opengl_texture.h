// The OpenGL back end's texture: the scene model's image, and once used an OpenGL texture
// object made from it, converted to 8-bit RGB or RGBA and mipmapped. The converted pixels
// are kept as the device copy until the copy is released (context release, display-mode
// change, colour-key change, state bit 0x1000); the next use uploads again.
#pragma once

#include <cstdint>
#include <vector>

#include "engine3d/scene/materials/texture.h"

class LTexture_OpenGL : public LTexture {
public:
    static constexpr uint32_t kNoName = 0xFFFF;

    LTexture_OpenGL(L3DWorld* world, const char* name, LCLBKObject* link);
    ~LTexture_OpenGL() override;

    // The current OpenGL renderer.
    LRenderAPICLBK* GetSurface() const override;
    // Takes the image, then uploads it.
    int SetImage(uint8_t* pixels, uint32_t pitch, uint8_t* alphaPlane, uint32_t alphaPitch,
                 uint32_t width, uint32_t height, uint32_t owns, uint32_t depth,
                 const PaletteRecord* palette) override;
    // A change of the key releases the device copy; the same key again keeps it.
    void SetColorKey(int on, uint32_t colour) override;
    void ReleaseDeviceCopy() override;

    // Makes the texture object and the device copy from the image; always 1. Nothing is
    // uploaded without an image or a current OpenGL renderer; only 15, 16, 24 and 32 bits
    // are converted.
    int UploadTexture();

    // The image converted as it is handed to OpenGL: RGBA, or RGB for an opaque texture
    // without key or alpha plane. Empty for a depth that is not converted.
    std::vector<uint8_t> Convert(uint32_t width, uint32_t height, bool& withAlpha) const;

    uint32_t textureName = kNoName;
    // Null while not uploaded.
    uint8_t* deviceCopy = nullptr;

private:
    std::vector<uint8_t> deviceBuffer_;
};
