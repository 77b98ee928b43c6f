// The renderer, as the scene model calls it: one view of a world drawn through a camera.
#pragma once

#include <cstdint>

class L3DCamera;
class L3DObject;
class LCacheMaterial;
class LSprite;
class LTexture;

// The transformed, lit vertex that hardware back ends draw from.
struct RenderVertex {
    float x = 0, y = 0, z = 0, rhw = 0;
    uint32_t diffuse = 0;
    uint32_t specular = 0;
    float u1 = 0, v1 = 0, u2 = 0, v2 = 0;
};
static_assert(sizeof(RenderVertex) == 40);

class LRenderAPICLBK {
public:
    // In the state flags: no camera textures this frame.
    static constexpr uint8_t kNoCameraTextures = 64;
    // Flags a camera texture's renderer is set up with.
    static constexpr uint32_t kCameraTextureModeFlags = 0xD0;

    LRenderAPICLBK() = default;
    LRenderAPICLBK(const LRenderAPICLBK&) = delete;
    LRenderAPICLBK& operator=(const LRenderAPICLBK&) = delete;
    virtual ~LRenderAPICLBK() = default;

    virtual uint32_t GetTextureDepth(uint32_t depth) = 0;
    virtual int32_t GetMinTextureWidth() = 0;
    virtual int32_t GetMinTextureHeight() = 0;
    virtual int32_t GetMaxTextureWidth() = 0;
    virtual int32_t GetMaxTextureHeight() = 0;
    virtual void RenderFrame() = 0;
    virtual int AttachView(L3DCamera* camera) = 0;
    virtual void DrawElement2D(L3DCamera* camera, LSprite* sprite) = 0;
    virtual void DrawQuad(L3DCamera* camera, LSprite* sprite) = 0;
    virtual void BeginFrame() = 0;
    virtual void DrawPolygonBatch(LCacheMaterial* batch, L3DCamera* camera, L3DObject* object) = 0;
    virtual void DrawGrid() = 0;
    virtual void BeginExtraPass(uint32_t value) = 0;
    virtual void EndExtraPass() = 0;
    virtual void DrawGridForCamera(L3DCamera* camera) = 0;
    // Makes the renderer draw into `target` at the size and depth; 0 on success.
    virtual int SetDisplayMode(int32_t width, int32_t height, uint32_t flags, uint32_t depth,
                               LTexture* target) = 0;

    uint8_t stateFlags = 0;
    uint8_t textureDepth = 16;
};
