// The OpenGL back end's polygon: it chooses the routines that draw it (by the material's
// mode and the owner's lighting) and keeps them in its material, converts the texture
// coordinates to texture units, and sends its projected vertices through the current
// OpenGL renderer's state selectors.
#pragma once

#include <cstdint>

#include "engine3d/scene/mesh/polygon.h"

class L3DCamera;
class L3DPoint;
class LAPICLBK;

class LPolygon_OpenGL : public LPolygon {
public:
    // The longest clipped vertex list that is drawn; a longer one is left out.
    static constexpr int kMaxClippedVertices = 16;

    // Runs Prepare once constructed.
    LPolygon_OpenGL(L3DObject* owner, int kind, LAPICLBK* backend);

    // Stores the draw and clip routines for the material's mode and the owner's lighting.
    void Prepare() override;
    // Coordinates in texture units, with the textures' tiling and offset.
    void PrepareTextureCoordinates() override;
    // Draws an already projected list (a shadow) in black with the alpha in the low byte.
    void DrawVertices(L3DPoint* const* vertices, int count, uint32_t flags) override;

    // The routines a material keeps.
    static void DrawNothing(LPolygon&, L3DCamera&);
    static void DrawWireframe(LPolygon& polygon, L3DCamera& camera);
    static void DrawFlat(LPolygon& polygon, L3DCamera& camera);
    static void DrawGouraud(LPolygon& polygon, L3DCamera& camera);
    static void DrawLambert(LPolygon& polygon, L3DCamera& camera);
    static void DrawTextured(LPolygon& polygon, L3DCamera& camera);
    static void DrawTexturedGouraud(LPolygon& polygon, L3DCamera& camera);
    static void DrawTexturedLambert(LPolygon& polygon, L3DCamera& camera);
    static void DrawEnvTextured(LPolygon& polygon, L3DCamera& camera);
    static void DrawEnvTexturedGouraud(LPolygon& polygon, L3DCamera& camera);
    static void DrawEnvTexturedLambert(LPolygon& polygon, L3DCamera& camera);
    static void DrawDualTextured(LPolygon& polygon, L3DCamera& camera);
    static void DrawDualTexturedGouraud(LPolygon& polygon, L3DCamera& camera);
    static void DrawDualTexturedLambert(LPolygon& polygon, L3DCamera& camera);
    static void ClipAndDraw(LPolygon& polygon, L3DCamera& camera);
    static void ClipAndDrawGouraud(LPolygon& polygon, L3DCamera& camera);

private:
    enum class Family { kUnlit, kGouraud, kLambert };

    Family LightingFamily() const;
    // 255 for an object with clones, else the material's alpha.
    uint8_t PolygonAlpha() const;
    int Count() const { return drawCount_; }
    L3DPoint* Point(int i) const { return drawList_[i]; }
    void ClipWith(L3DCamera& camera, int interpolateColours);
    void Wireframe();
    void Solid(Family family);
    void Textured(Family family);
    void Dual(Family family, L3DCamera& camera);
    void SendVertex(const L3DPoint& p) const;
    void SendTexturedVertex(const L3DPoint& p, int slot, float zOffset) const;

    // What the routines draw: the polygon's own points, or the clipped list lent for one
    // clipped draw.
    L3DPoint* const* drawList_ = nullptr;
    int drawCount_ = 0;
    bool clipped_ = false;
};
