// The software renderer's polygon: it chooses the span routine that draws it and keeps that
// choice in its material, turns texture coordinates into texels, clips, and fills scanlines
// through per-row edge tables. Every routine draws into the current software raster (the
// target, depth buffer and tables of the frame being drawn) and does nothing without one.
#pragma once

#include <cstdint>

#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/polygon.h"

class L3DCamera;
class L3DObject;
class L3DPoint;
class LAPICLBK;
class LTexture;
struct ScanEdge;
struct SoftwareRasterState;

class LPolygon_Software : public LPolygon {
public:
    using SpanRoutine = void (LPolygon_Software::*)();

    // One entry of a raster table: the span routine and the routine the material keeps
    // for it (which draws the polygon with its own vertices).
    struct RasterEntry {
        SpanRoutine span;
        PolygonDrawRoutine draw;
    };
    static constexpr int kRasterEntries = 11;
    // Entries: 0 wireframe, 1 solid, 2 translucent solid, 3-6 textured inside the texture
    // (opaque, translucent, keyed, both), 7-10 the same wrapping.
    static constexpr int kWireEntry = 0;
    static constexpr int kSolidEntry = 1;
    static constexpr int kSolidTranslucentEntry = 2;
    static constexpr int kInsideEntry = 3;
    static constexpr int kWrapEntry = 7;

    // The table of a target depth (8, 15, 16, 24 or 32), null for any other.
    static const RasterEntry* RasterTableFor(int depth);
    // The entry of the depth's table whose material routine this is, -1 for none.
    static int RasterEntryOf(int depth, PolygonDrawRoutine routine);
    // What a hidden material draws.
    static void DrawNothing(LPolygon&, L3DCamera&);

    // Runs Prepare once constructed.
    LPolygon_Software(L3DObject* owner, int kind, LAPICLBK* backend);
    ~LPolygon_Software() override;

    // Chooses the material's routines, converts the texture coordinates and picks the
    // span routine for the world's depth (the current raster's without a world, else 8).
    void Prepare() override;
    // Texture coordinates in texels, shifted so that none is negative.
    void PrepareTextureCoordinates() override;
    // The environment coordinates, scaled to the environment texture's texels.
    void ComputeEnvironmentUV() override;
    int BackendVertexCount() override;
    // Draws a projected vertex list (a shadow) as a black polygon whose alpha is the low
    // byte of flags.
    void DrawVertices(L3DPoint* const* vertices, int count, uint32_t flags) override;

    // Stores the routine of the right entry of the table in the material.
    void SelectRasterizer(const RasterEntry* table);

    // Clips against the camera and draws the result with the material's routine; the
    // second also interpolates the vertex colours at the clip points. Both return the
    // polygon's vertex count.
    int ClipAndDraw(L3DCamera& camera);
    int ClipAndDrawGouraud(L3DCamera& camera);

    // Lends a projected vertex list (with its texel coordinates already in the vertices)
    // for the next draws; the polygon's own list is drawn again after ReturnVertices.
    void LendVertices(L3DPoint* const* vertices, int count);
    void ReturnVertices();

    // Per-row edge tables of the current raster from the vertex list; the row count, 0 when
    // nothing is to be filled. Rows outside the raster are never written.
    int SetupEdgesFlat(int& firstRow);
    int SetupEdgesAffine(int& firstRow);
    int SetupEdgesGouraud(int& firstRow);
    int SetupEdgesPerspective(int& firstRow);

    // Outlines and depth-tested lines (a line pixel is drawn only nearer than the stored
    // depth). DrawLineZ16 serves 15 bits too, given the depth.
    void DrawWire32();
    void DrawWire24();
    void DrawWire16();
    void DrawWire15();
    void DrawWire8();
    void DrawLineZ32(int x0, int y0, float w0, int x1, int y1, float w1);
    void DrawLineZ24(int x0, int y0, float w0, int x1, int y1, float w1);
    void DrawLineZ16(int x0, int y0, float w0, int x1, int y1, float w1, int depth);
    void DrawLineZ8(int x0, int y0, float w0, int x1, int y1, float w1);

    // Untextured polygons, flat, Lambert or Gouraud, depth-tested.
    void DrawSolid32();
    void DrawSolid24();
    void DrawSolid16();
    void DrawSolid15();
    void DrawSolid8();
    void DrawSolidTranslucent32();
    void DrawSolidTranslucent24();
    void DrawSolidTranslucent16();
    void DrawSolidTranslucent15();

    // Screen-aligned images (the backdrop): affine, wrapping, no depth; clipped to the
    // target. 16 serves 15 too.
    void DrawSpansTexturedAffine8();
    void DrawSpansTexturedAffine16();
    void DrawSpansTexturedAffine24();
    void DrawSpansTexturedAffine32();

    // Sprites: no depth test or write, drawn over the target. The shared 15/16 routines
    // take the depth.
    void FillQuadSolid8();
    void FillQuadSolid16(int depth);
    void FillQuadSolid24();
    void FillQuadSolid32();
    void FillQuadSolidTranslucent15();
    void FillQuadSolidTranslucent16();
    void FillQuadSolidTranslucent32();
    void FillQuadTextured8();
    void FillQuadTextured16(int depth);
    void FillQuadTextured24();
    void FillQuadTextured32();
    void FillQuadTexturedTranslucent15();
    void FillQuadTexturedTranslucent16();
    void FillQuadTexturedTranslucent24();
    void FillQuadTexturedTranslucent32();
    void FillQuadTexturedKeyed8();
    void FillQuadTexturedKeyed16(int depth);
    void FillQuadTexturedKeyed24();
    void FillQuadTexturedKeyed32();
    void FillQuadTexturedKeyedTranslucent15();
    void FillQuadTexturedKeyedTranslucent16();
    void FillQuadTexturedKeyedTranslucent24();
    void FillQuadTexturedKeyedTranslucent32();

    // Perspective-correct textured spans, depth-tested: inside the texture or wrapping,
    // translucent (Alpha), colour-keyed (Key).
    void DrawSpansPerspective32();
    void DrawSpansPerspectiveAlpha32();
    void DrawSpansPerspectiveKey32();
    void DrawSpansPerspectiveAlphaKey32();
    void DrawSpansPerspectiveWrap32();
    void DrawSpansPerspectiveWrapAlpha32();
    void DrawSpansPerspectiveWrapKey32();
    void DrawSpansPerspectiveWrapAlphaKey32();
    void DrawSpansPerspective24();
    void DrawSpansPerspectiveAlpha24();
    void DrawSpansPerspectiveKey24();
    void DrawSpansPerspectiveAlphaKey24();
    void DrawSpansPerspectiveWrap24();
    void DrawSpansPerspectiveWrapAlpha24();
    void DrawSpansPerspectiveWrapKey24();
    void DrawSpansPerspectiveWrapAlphaKey24();
    void DrawSpansPerspective16();
    void DrawSpansPerspectiveAlpha16();
    void DrawSpansPerspectiveKey16();
    void DrawSpansPerspectiveAlphaKey16();
    void DrawSpansPerspectiveWrap16();
    void DrawSpansPerspectiveWrapAlpha16();
    void DrawSpansPerspectiveWrapKey16();
    void DrawSpansPerspectiveWrapAlphaKey16();
    void DrawSpansPerspective15();
    void DrawSpansPerspectiveAlpha15();
    void DrawSpansPerspectiveKey15();
    void DrawSpansPerspectiveAlphaKey15();
    void DrawSpansPerspectiveWrap15();
    void DrawSpansPerspectiveWrapAlpha15();
    void DrawSpansPerspectiveWrapKey15();
    void DrawSpansPerspectiveWrapAlphaKey15();
    void DrawSpansPerspective8();
    void DrawSpansPerspectiveKey8();
    void DrawSpansPerspectiveWrap8();
    void DrawSpansPerspectiveWrapKey8();

    // The vertex list being drawn: the lent one, else the polygon's own.
    L3DPoint* const* DrawList() const;
    int DrawCount() const;

private:
    template <int Depth> void DrawWire();
    template <int Depth> void DrawLine(int x0, int y0, float w0, int x1, int y1, float w1);
    template <int Depth, bool Translucent> void DrawSolid();
    template <int Depth> void DrawAffine();
    template <int Depth, bool Translucent> void FillSolid();
    template <int Depth, bool Keyed, bool Translucent> void FillTextured();
    template <int Depth, bool Wrap, bool Translucent, bool Keyed> void DrawPerspective();
    template <typename Walk> int WalkEdges(Walk& walk, int& firstRow);
    // The affine set-up; with clipTop, rows above the target are cut off instead of the
    // whole polygon being dropped.
    int SetupAffine(int& firstRow, bool clipTop);
    void DrawOutline(int depth);
    bool CopiesUV() const;

    L3DPoint* const* lent_ = nullptr;
    int lentCount_ = 0;
};

// Unlit opaque perspective scanlines of 16-bit texels (5-6-5 or 5-5-5 alike), two pixels a
// step. Row pointers address the first row; each advances by its pitch per row.
// Spans are cut at the target width; the inside copiers clamp texels to maxU and maxV.
void CopySpansPerspective16(uint8_t* target, int32_t pitch, int32_t targetWidth, int32_t* depth,
                            int32_t depthPitch, const uint8_t* texels, int32_t texturePitch,
                            int32_t maxU, int32_t maxV, const ScanEdge* a, const ScanEdge* b,
                            int rows);
void CopySpansPerspectiveKey16(uint8_t* target, int32_t pitch, int32_t targetWidth, int32_t* depth,
                               int32_t depthPitch, const uint8_t* texels, int32_t texturePitch,
                               int32_t maxU, int32_t maxV, const ScanEdge* a, const ScanEdge* b,
                               int rows, uint16_t key);
void CopySpansPerspectiveWrap16(uint8_t* target, int32_t pitch, int32_t targetWidth, int32_t* depth,
                                int32_t depthPitch, const uint8_t* texels, int32_t texturePitch,
                                uint32_t uMask, uint32_t vMask, const ScanEdge* a,
                                const ScanEdge* b, int rows);
void CopySpansPerspectiveWrapKey16(uint8_t* target, int32_t pitch, int32_t targetWidth,
                                   int32_t* depth, int32_t depthPitch, const uint8_t* texels,
                                   int32_t texturePitch, uint32_t uMask, uint32_t vMask,
                                   const ScanEdge* a, const ScanEdge* b, int rows, uint16_t key);
