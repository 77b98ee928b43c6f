// What carries out a Direct3D device's calls. The device checks its arguments and keeps
// its objects; the executor only sees states, textures (by the serial number of their
// surface, 0 for none), scenes, clears and vertex lists.
//
// The recorder writes each call as a line of text into the log of direct3d_test_hooks.h
// while that log is on, so tests read what a renderer asked of the device.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/directx/direct3d/d3d_types.h"

namespace platform::d3d {

// A vertex of format D3DFVF_TLVERTEX2.
struct TLVertex {
    float x, y, z, rhw;
    DWORD diffuse;
    DWORD specular;
    float u1, v1, u2, v2;
};
static_assert(sizeof(TLVertex) == 40);

class Executor {
public:
    virtual ~Executor() = default;
    virtual void RenderState(DWORD state, DWORD value) = 0;
    virtual void LightState(DWORD state, DWORD value) = 0;
    virtual void StageState(DWORD stage, DWORD state, DWORD value) = 0;
    virtual void Texture(DWORD stage, uint32_t serial) = 0;
    virtual void Scene(bool begin) = 0;
    virtual void Viewport(const D3DVIEWPORT2& viewport) = 0;
    virtual void Clear(const D3DRECT& rect, DWORD flags, DWORD colour, float z) = 0;
    // Begin/Vertex/End arrive as one list at the End.
    virtual void Draw(DWORD primitive, const TLVertex* vertices, DWORD vertexCount,
                      const WORD* indices, DWORD indexCount, DWORD flags) = 0;
};

std::unique_ptr<Executor> MakeRecorder();

} // namespace platform::d3d
