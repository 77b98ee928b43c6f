// The Direct3D back end's polygon: it chooses the routines that draw it (by the material's
// mode, the owner's lighting, the blending and the textures) and keeps them in its
// material; each routine fills the shared vertex array from the projected points and
// draws a fan (or lines) through the current Direct3D renderer's state selectors.
//
// The shared array is never cleared: a field a routine does not write keeps what the
// previous polygon left there, which the states in force then ignore.
#pragma once

#include <cstdint>

#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/render/renderer.h"

class L3DCamera;
class LAPICLBK;

class LPolygon_Direct3D : public LPolygon {
public:
    // The shared array's records; a longer clipped list is not drawn.
    static constexpr int kMaxVertices = 16;

    LPolygon_Direct3D(L3DObject* owner, int kind, LAPICLBK* backend);

    void Prepare() override;
    void PrepareTextureCoordinates() override;
    // The base computation, then the records, outside a clipped draw.
    void ComputeEnvironmentUV() override;
    // A shadow: black with the alpha in the low byte of `flags`, in the states in force.
    void DrawVertices(L3DPoint* const* vertices, int count, uint32_t flags) override;

    // The shared array as the last routine left it.
    static const RenderVertex* SharedVertices();

    enum class Family { kUnlit, kGouraud, kLambert };
    enum class Rule { kMixed, kModulated };

    static void DrawNothing(LPolygon&, L3DCamera&);
    static void ClipVertexColours(LPolygon& polygon, L3DCamera& camera);
    static void ClipPolygonColour(LPolygon& polygon, L3DCamera& camera);
    template <Family F, Rule R> static void DrawOutline(LPolygon& polygon, L3DCamera& camera);
    template <Family F, Rule R, bool Translucent>
    static void DrawSolid(LPolygon& polygon, L3DCamera& camera);
    template <Family F, bool Translucent, bool Environment>
    static void DrawTextured(LPolygon& polygon, L3DCamera& camera);
    template <Family F> static void DrawTwoTextures(LPolygon& polygon, L3DCamera& camera);

private:
    Family LightingFamily() const;
    bool FogOn(const L3DCamera& camera) const;
    void BuildTLVertices(const L3DCamera& camera);
    void BuildClippedTLVertices(L3DPoint* const* points, int count, const L3DCamera& camera);
    void BuildTLVerticesTwoTextures(const L3DCamera& camera);
    // The lit colour of vertex i by the rule, alpha in the top byte.
    uint32_t LitColour(Family family, Rule rule, int i, uint8_t alpha) const;
    void Outline(int32_t selector, Family family, Rule rule, const L3DCamera& camera);
    void Fan();
    void Clip(L3DCamera& camera, int interpolateColours);
    int Count() const;
    L3DPoint* Point(int i) const;

    L3DPoint* const* clippedList_ = nullptr;
    int clippedCount_ = 0;
    // The camera of the draw in progress, for the environment coordinates' refill.
    const L3DCamera* camera_ = nullptr;
};
