// One face of a mesh: a triangle or a quad of shared points of its owner's current mesh
// frame, with one material, per-vertex texture coordinates, a face plane and one plane
// per edge. Each frame it decides whether it is visible, must be clipped or is culled,
// and hands itself to its material's draw routines or to the camera's depth buckets.
// Back ends derive their polygons from it and are the only ones to make them. The link
// tells a script object that views the face when the face dies.
#pragma once

#include <cstdint>
#include <vector>

#include "engine3d/scene/clbk_object.h"

class ChunkWriter;
class L3DCamera;
class L3DObject;
class L3DPoint;
class L3DWorld;
struct L3DPlane;
class LAPICLBK;
class LCacheMaterial;
class LMaterial;
struct LListNode;

class LPolygon : public LManageCLBKObject {
public:
    // Visibility codes.
    static constexpr uint16_t kInside = 0;
    static constexpr uint16_t kCulled = 128;
    static constexpr uint16_t kCrossing = 256;

    // The device is kept, not owned: a device outlives every world made on it.
    LPolygon(L3DObject* owner, int kind, LAPICLBK* backend);
    LPolygon(const LPolygon&) = delete;
    LPolygon& operator=(const LPolygon&) = delete;
    virtual ~LPolygon();

    // Slot 1: the triangle or quad record; 0 written, 1 when the record would not fit
    // its u16 fields (nothing written then), 2 for a vertex count without a record.
    virtual int WriteRecord(ChunkWriter& writer, uint32_t flags) const;
    // The record's point and material indices, with WriteRecord's result.
    int RecordFields(int32_t* index, int32_t* materialIndex) const;
    // Slot 2: back ends choose the draw routines for the current material.
    virtual void Prepare() {}
    // Slot 3.
    virtual void PrepareTexture() {}
    // Slot 4: back ends convert the texture coordinates for their texture sizes.
    virtual void PrepareTextureCoordinates() {}
    // Slot 5.
    virtual void ComputeEnvironmentUV();
    // Slot 6.
    virtual int BackendVertexCount() { return 0; }
    // Slot 7: draws an already projected vertex list with the polygon's state.
    virtual void DrawVertices(L3DPoint* const* vertices, int count, uint32_t flags);

    // Vertex list. Every change sets the dirty flag and takes the face out of its material
    // batch (a batch holds triangles only; the face is then drawn on its own). Each vertex
    // keeps its texture coordinates when others come or go; a new vertex starts with its
    // point's values, which a textured face's back end converts again.
    int AddVertex(L3DPoint* point);
    int AddNewVertex(float x, float y, float z, float u1, float v1, float u2, float v2);
    int InsertNewVertex(int index, float x, float y, float z, float u1, float v1, float u2,
                        float v2);
    void AppendVertex(L3DPoint* point);
    L3DPoint* GetVertex(int i) const;
    int IndexOfVertex(const L3DPoint* point) const;
    int GetVertexCount() const { return int(vertices_.size()); }
    L3DPoint* const* Vertices() const { return vertices_.data(); }
    // Asks for the corner list and the planes ahead of a visibility test.
    void PrefetchGeometry() const;
    int RemoveVertex(L3DPoint* point);
    int RemoveVertexAt(int i);
    void SetUV(int i, float u, float v);
    void SetUV2(int i, float u, float v);
    // The four values of vertex i, null out of range.
    const float* GetUVs(int i) const;
    void CopyUVToVertices();
    void TransformVertices(const float* m);
    // Turns the face round: vertices 1 and 2 of a triangle, 1 and 3 of a quad change
    // places with their texture coordinates; the planes follow.
    void Flip();
    void UnshareVertices();
    // The caller keeps the points' uses and list entries right.
    void ReplaceVertexAt(int i, L3DPoint* point);
    L3DWorld* GetWorld() const;
    L3DCamera* GetCamera() const;

    // The material's polygon list and batch follow; a vertex of a third material gets a
    // private copy.
    void SetMaterial(LMaterial* m);
    // For a polygon without owner whose points its caller keeps: a vertex of a third
    // material is replaced by a point from the factory (the polygon's back end when null),
    // which the caller then keeps too. No batch is touched.
    void SetMaterialWithPoints(LMaterial* m, LAPICLBK* factory);
    LMaterial* GetMaterial() const { return material_; }

    // Geometry.
    void ComputePlanes(int averageNormals);
    void ComputeRadius();
    void ComputeFacingCode();
    void ComputeWorldBox();
    bool IsInsideBoxXZ(const float* p) const;
    void AverageVertexColours();
    float GetMaxDepth() const;
    // Entry 0 the face plane, entry i + 1 the edge from vertex i; eight floats each.
    const float* GetPlane(int entry) const;
    int ContainsScreenPoint(float x, float y) const;
    int ContainsPointXZ(const float* p, float tolerance) const;
    // Out is the point straight below or above p on the face, its y the floor height.
    int GetFloorPoint(const float* p, float radius, float* out, float tolerance) const;
    // A sphere moving from p0 to p1 along the unit direction d (all four-float vectors):
    // 1 with out where it touches the face, 0 for no contact. Edges are reached within the
    // radius, or 15 for smaller spheres.
    int SweepTest(float radius, const float* p0, const float* p1, float* out, const float* d,
                  float maxDistance) const;

    // Per frame.
    uint16_t ComputeVisibility(L3DCamera& camera);
    bool IsFrontFacing() const;
    // Projects the face along the world light onto the plane and draws it through slot 7;
    // 1 drawn, 0 when the light runs parallel to the plane, the face turns away from its
    // shadow or the shadow is out of view.
    int DrawShadow(L3DCamera& camera, const L3DPlane& plane, uint32_t flags);
    // Clips the vertex list against the camera planes it crosses; the clip points come
    // from the camera's pool.
    void ClipAndProject(L3DCamera& camera, L3DPoint* const* in, int inCount, L3DPoint** out,
                        int* outCount, int interpolateColours);
    void GetDrawableVertices(L3DCamera& camera, L3DPoint* const** outVertices, int* outCount,
                             L3DPoint** scratch);
    void Submit(L3DCamera& camera);
    uint16_t TestVisibility(L3DCamera& camera);
    void SubmitTested(L3DCamera& camera);
    void SubmitDeferred(L3DCamera& camera);
    void DeferIfDrawn(L3DCamera& camera);
    void Draw(L3DCamera& camera);
    // The routines back ends store in the material: the polygon inside the view drawn as
    // it is, and the polygon crossing the view clipped first.
    void DrawUnclipped(L3DCamera& camera);
    void DrawClipped(L3DCamera& camera);

    // The source's vertices by index into this owner's current point list; 0 done, 1
    // when a vertex has no counterpart (nothing is stored then).
    int CopyFrom(const LPolygon& source);

    int32_t capacity = 3;
    LAPICLBK* backend;
    int32_t useCount = 0;
    uint32_t dirty = 1;
    uint8_t averageColor[4] = {};
    uint8_t facingCode = 0;
    uint16_t visibility = kInside;
    float radius = 0;
    uint32_t drawn = 1;
    L3DObject* owner;
    float worldBox[8] = {};
    // The polygon's node in its material's polygon list.
    LListNode* materialNode = nullptr;
    // The batch that holds the polygon, or null.
    LCacheMaterial* batch = nullptr;

private:
    // Before the vertex list changes.
    void BeforeVertexChange();
    // The face seen from the camera-space point is its front.
    bool FacesFrom(const float* cameraPoint) const;
    void ChangeMaterial(LMaterial* m, LAPICLBK* factory);
    L3DPoint* PrivateCopy(const L3DPoint& v, LAPICLBK* factory);
    // Leaves its batch, deleting the batch it empties in the owner's current frame.
    void LeaveBatch(LMaterial* m);
    // After vertex `added` came in (-1 when none did): its coordinates start as its
    // point's values.
    void AfterVertexChange(int added);
    void ApplyReflectionCurve();
    void ReleaseVertex(L3DPoint* point);
    void WorldCentre(double* centre) const;

    LMaterial* material_ = nullptr;
    std::vector<L3DPoint*> vertices_;
    std::vector<float> uv_;
    std::vector<float> planes_ = std::vector<float>(8, 0.0f);
};
