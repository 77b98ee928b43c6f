// One vertex of a mesh frame, shared by the polygons that use it: its model position and
// the world, camera and screen positions of the current frame, its texture values, normal,
// colours and fog. Points are always made by the back end (LAPICLBK::CreatePoint), which
// may attach data of its own. The link tells a script object that views the point when the
// point dies.
#pragma once

#include <cstdint>
#include <memory>

#include "engine3d/scene/clbk_object.h"
#include "engine3d/scene/render/renderer.h"

class L3DCamera;
class L3DLocation;
class LMaterial;

// What a back end hangs on a point; the point deletes it.
class LPointAttachment {
public:
    virtual ~LPointAttachment() = default;
};

// 256 values indexed by light intensity: value(i) = i - 128.
const int32_t* IdentityReflectionCurve();

class L3DPoint : public LManageCLBKObject {
public:
    static constexpr uint16_t kNoRenderIndex = 0xFFFF;

    L3DPoint();
    L3DPoint(float x, float y, float z, float u1, float v1, float u2, float v2);
    L3DPoint(const L3DPoint&) = delete;
    L3DPoint& operator=(const L3DPoint&) = delete;
    virtual ~L3DPoint();

    // Camera position from the world position, then visibility, projection, render vertex
    // and fog.
    virtual void Project(const L3DCamera& camera);

    // World position; with a camera also the environment coordinates.
    void Transform(const L3DLocation& location, const L3DCamera* camera);
    void TransformAndProject(const L3DLocation& location, const L3DCamera& camera);
    // Projection, render vertex and fog from the stored camera position.
    void Reproject(const L3DCamera& camera);

    // The batch's record while the point is in a drawn batch, else the back end's own.
    RenderVertex* GetRenderVertex() const {
        return batchVertex != nullptr ? batchVertex : ownVertex.get();
    }

    std::unique_ptr<LPointAttachment> attached;
    float model[3] = {};
    float world[3] = {};
    float camera[3] = {};
    float screenX = 0, screenY = 0;
    float depth = 0;
    float reciprocalDepth = 1;
    float bufferDepth = 0;
    // Given at creation, saved with the point and compared when points merge.
    float texture[4] = {};
    // The polygon's coordinates, copied in just before drawing.
    float vertexUV[4] = {};
    float normal[3] = {};
    uint8_t staticColor[4] = {};
    uint8_t frameColor[4] = {};
    uint16_t renderIndex = kNoRenderIndex;
    uint8_t fog = 255;
    uint8_t visible = 0;
    int32_t useCount = 0;
    const int32_t* reflectionCurve = IdentityReflectionCurve();
    LMaterial* material = nullptr;
    // The back end's own render vertex, owned by the point.
    std::unique_ptr<RenderVertex> ownVertex;
    // The record of the material batch that numbers the point; borrowed, cleared by the
    // batch when it lets the point go.
    RenderVertex* batchVertex = nullptr;

private:
    void ToCamera(const L3DCamera& camera);
    void EnvironmentCoordinates(const float* rotation, const L3DCamera& camera);
};
