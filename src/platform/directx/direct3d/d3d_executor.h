// What carries out a Direct3D device's calls. The device checks its arguments and keeps
// its objects; the executor only sees states, textures (null for none), scenes, clears and
// vertex lists.
//
// The recorder writes each call as a line of text into the log of direct3d_test_hooks.h
// while that log is on, so tests read what a renderer asked of the device. The GL executor
// draws through OpenGL into a framebuffer object of its own and moves pixels between it
// and the render target's memory only when the other side is used.
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

class Surface4Object;

class Executor {
public:
    virtual ~Executor() = default;
    virtual void RenderState(DWORD state, DWORD value) = 0;
    virtual void LightState(DWORD state, DWORD value) = 0;
    virtual void StageState(DWORD stage, DWORD state, DWORD value) = 0;
    virtual void Texture(DWORD stage, Surface4Object* texture) = 0;
    virtual void Scene(bool begin) = 0;
    virtual void Viewport(const D3DVIEWPORT2& viewport) = 0;
    virtual void Clear(const D3DRECT& rect, DWORD flags, DWORD colour, float z) = 0;
    // Begin/Vertex/End arrive as one list at the End.
    virtual void Draw(DWORD primitive, const TLVertex* vertices, DWORD vertexCount,
                      const WORD* indices, DWORD indexCount, DWORD flags) = 0;
    // The render target's memory is about to be read or written: what was drawn goes there.
    virtual void ToMemory() {}
    // The render target's memory was written: the next drawing starts from it.
    virtual void MemoryChanged() {}
};

std::unique_ptr<Executor> MakeRecorder();

// An executor drawing through OpenGL into `target` (held by the caller for the executor's
// life), passing every call to `recorder` first; null when no GL context can be made.
std::unique_ptr<Executor> MakeGlExecutor(Surface4Object* target,
                                         std::unique_ptr<Executor> recorder);

// A texture surface goes: executors drop what they made of it.
void ForgetTexture(uint32_t serial);

} // namespace platform::d3d
