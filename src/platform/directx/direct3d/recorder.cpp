#include <cstdarg>
#include <cstdio>

#include "platform/directx/direct3d/d3d_executor.h"
#include "platform/directx/direct3d/d3d_objects.h"
#include "platform/directx/direct3d/direct3d_test_hooks.h"

namespace platform::test {

Direct3DSetup& GetDirect3DSetup() {
    static auto* setup = new Direct3DSetup;
    return *setup;
}

void ResetDirect3DSetup() {
    GetDirect3DSetup() = Direct3DSetup{};
}

} // namespace platform::test

namespace platform::d3d {
namespace {

class Recorder final : public Executor {
public:
    void RenderState(DWORD state, DWORD value) override {
        Write("SetRenderState %u %u", state, value);
    }
    void LightState(DWORD state, DWORD value) override {
        Write("SetLightState %u %u", state, value);
    }
    void StageState(DWORD stage, DWORD state, DWORD value) override {
        Write("SetTextureStageState %u %u %u", stage, state, value);
    }
    void Texture(DWORD stage, Surface4Object* texture) override {
        Write("SetTexture %u %u", stage, texture ? texture->serial : 0);
    }
    void Scene(bool begin) override { Write(begin ? "BeginScene" : "EndScene"); }
    void Viewport(const D3DVIEWPORT2& v) override {
        Write("SetViewport2 %u %u %u %u", v.dwX, v.dwY, v.dwWidth, v.dwHeight);
    }
    void Clear(const D3DRECT& r, DWORD flags, DWORD colour, float z) override {
        Write("Clear2 %d %d %d %d flags %u colour %06X z %g", r.x1, r.y1, r.x2, r.y2, flags, colour,
              double(z));
    }
    void Draw(DWORD primitive, const TLVertex*, DWORD vertexCount, const WORD*, DWORD indexCount,
              DWORD flags) override {
        Write("Draw %u vertices %u indices %u flags %X", primitive, vertexCount, indexCount, flags);
    }

private:
    __attribute__((format(printf, 1, 2))) static void Write(const char* format, ...) {
        test::Direct3DSetup& setup = test::GetDirect3DSetup();
        if (!setup.recording) return;
        char line[160];
        va_list args;
        va_start(args, format);
        std::vsnprintf(line, sizeof line, format, args);
        va_end(args);
        setup.log.emplace_back(line);
    }
};

} // namespace

std::unique_ptr<Executor> MakeRecorder() {
    return std::make_unique<Recorder>();
}

} // namespace platform::d3d
