// A textured or coloured screen rectangle drawn over the 3D view after the scene; the
// world's background is one. Back ends make sprites and may derive their own.
#pragma once

#include <cstdint>

#include "engine3d/scene/clbk_object.h"

class L3DWorld;
class LTexture;

struct SpriteCorner {
    float x = 0, y = 0, u = 0, v = 0;
};

class LSprite : public LManageCLBKObject {
public:
    static constexpr uint32_t kSolid = 4;
    static constexpr uint32_t kTextured = 8;
    static constexpr uint32_t kTransparentColor = 0x80;
    static constexpr uint32_t kHidden = 0x200;
    static constexpr float kFullTurn = 6.2831855f;

    LSprite(L3DWorld* world, uint32_t unused, LCLBKObject* link);
    ~LSprite() override;
    LSprite(const LSprite&) = delete;
    LSprite& operator=(const LSprite&) = delete;

    // Textured without a texture is solid; the other bits are kept.
    void SetDrawMode(uint32_t mode);
    // Counts a use only for a texture of the world's list.
    void SetTexture(LTexture* texture);
    void SetColor(uint32_t rgb) { color = rgb; }
    void SetAlpha(uint8_t value);
    // Negative or NaN reads 0, above a full turn a full turn.
    void SetAngle(float a);
    void SetHotSpot(int32_t x, int32_t y);
    void SetBounds(int32_t x, int32_t y, int32_t w, int32_t h);
    // Negative or NaN reads 0.
    void SetTiling(float x, float y);
    // 1 asks for filtered sampling, 0 for the nearest texel.
    void SetFiltering(uint32_t on) { filtering = on != 0 ? 1 : 0; }
    uint32_t GetColor() const { return color; }
    uint32_t GetAlpha() const { return alpha; }
    float GetTilingX() const { return tiling[0]; }
    float GetTilingY() const { return tiling[1]; }
    LTexture* GetTexture() const { return texture; }

    SpriteCorner corners[4];
    LTexture* texture = nullptr;
    uint32_t color = 0xFFFFFF;
    uint32_t alpha = 255;
    float angle = 0;
    uint32_t drawMode = kSolid;
    int32_t hotSpot[2] = {};
    int32_t bounds[2] = {};
    int32_t size[2] = {};
    L3DWorld* world;
    float tiling[2] = {1, 1};
    uint32_t filtering = 1;

private:
    void ComputeCorners();
    // Adds (+1) or removes (-1) a use of the texture's node in the world's list.
    void CountUse(LTexture* t, int32_t change) const;
};
