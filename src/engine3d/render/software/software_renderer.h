// The renderer that draws with the processor: it runs the frame, owns the raster the
// software polygon and its span routines draw with (target, depth buffer, per-row
// tables), and fills sprites and the backdrop itself. Its presenters supply the target
// and show the finished frame.
#pragma once

#include <array>
#include <vector>

#include "engine3d/render/software/raster_state.h"
#include "engine3d/scene/render/renderer.h"

class L3DPoint;
class LMaterial;
class LPolygon_Software;

class LRenderAPI_Software : public LRenderAPICLBK {
public:
    LRenderAPI_Software(L3DWorld* world, LAPICLBK* device);
    // Frees the depth buffer and the tables, and the sprite polygon through the device.
    ~LRenderAPI_Software() override;

    void RenderFrame() override;
    // The tables are made for the view's rows; 4 without a camera.
    int AttachView(L3DCamera* camera) override;
    void DetachView() override;
    void DrawElement2D(L3DCamera* camera, LSprite* sprite) override;
    void DrawQuad(L3DCamera* camera, LSprite* backdrop) override;
    int IsCapable(uint32_t bits) override;
    // The sprite material forgets the world too.
    void ForgetWorld() override;
    int32_t SetStateBits(uint32_t bits) override;
    void ClearStateBits(uint32_t bits) override;

    // 0 when a display-mode request (kKeep already replaced) can be tried: 2 for a size
    // outside 1 to 32767 or both full screen and windowed, 34 for a depth other than 8,
    // 15, 16, 24 and 32. Checked before anything of the current view is let go.
    static int CheckRequest(uint32_t flags, int32_t width, int32_t height, int32_t depth);
    // Stores the pitch unless kKeep, then resets the viewport.
    void ApplyPitch(int32_t value);

    const SoftwareRasterState& Raster() const { return raster_; }
    const std::vector<int32_t>& DepthBuffer() const { return depthBuffer_; }
    int32_t DepthWidth() const { return depthWidth_; }
    int32_t DepthHeight() const { return depthHeight_; }
    LPolygon_Software* SpritePolygon() const { return spritePolygon_; }

protected:
    // A memory target's rows: bytes per pixel times the width, padded to 4 bytes.
    static int32_t MemoryPitch(uint32_t width, uint32_t depth);
    // Makes the raster the current one: the presenters' Initialize does so before the
    // world's textures are reloaded.
    void MakeRasterCurrent();
    // The target of a memory target: its texture's pixels; null without them.
    uint8_t* MemoryTargetPixels() const;

private:
    void PrepareDepthBuffer();
    void AllocateTables();
    void FreeTables();
    // The raster in step with the renderer's state, pointing at `pixels`.
    void SyncRaster(uint8_t* pixels);
    // Clips the sprite polygon against the camera into `clipped` and lends it to the
    // polygon; false when nothing is left (the polygon's own list is back then).
    bool LendClipped(L3DCamera& camera, L3DPoint** clipped);
    void ReturnClipped();
    void FillSprite(const LSprite& sprite);
    void FillSolidSprite(const LSprite& sprite);

    std::vector<int32_t> depthBuffer_;
    int32_t depthWidth_ = 0;
    int32_t depthHeight_ = 0;
    std::vector<int32_t> xTableA_, xTableB_;
    std::vector<ScanEdge> edgeTableA_, edgeTableB_;
    SoftwareRasterState raster_;
    LPolygon_Software* spritePolygon_ = nullptr;
    LMaterial* spriteMaterial_ = nullptr;
    std::array<L3DPoint*, 4> spritePoints_ = {};
};
