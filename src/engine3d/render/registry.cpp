#include "engine3d/render/registry.h"

#include <algorithm>

#include "engine3d/render/backend_device.h"
#include "engine3d/render/dib_device.h"
#include "engine3d/render/direct3d/direct3d_device.h"
#include "engine3d/render/directx_device.h"
#include "engine3d/render/opengl/opengl_probe.h"
#include "engine3d/scene/render/renderer.h"

namespace {

LAPICLBK* MakeDirectX() {
    return new LAPI_DirectX;
}

LAPICLBK* MakeDIB() {
    return new LAPI_Surface_Win32;
}

int Always() {
    return 1;
}

// Our DirectDraw stands in for DirectX 6 on every machine; like DirectDraw itself it
// needs more than 256 colours on the screen.
int DirectDrawProbe() {
    return LRenderAPICLBK::GetScreenDepth() > 8 ? 1 : 0;
}

constexpr LAPIDescriptor kDescriptors[kAPIDescriptorCount] = {
    {MakeFourCC("DX3D"), MakeDirect3DDevice, ProbeDirect3D, "Direct3D 6.x"},
    {MakeFourCC("DX30"), MakeDirectX, DirectDrawProbe, "DirectDraw 3"},
    {MakeFourCC("GL11"), MakeOpenGLDevice, ProbeOpenGL, "OpenGL 1.1"},
    {MakeFourCC("SW32"), MakeDIB, Always, "DIB"},
};

} // namespace

const LAPIDescriptor* GetAPIDescriptors() {
    return kDescriptors;
}

LBackEndRegistry::LBackEndRegistry() {
    for (const LAPIDescriptor& d : kDescriptors)
        descriptors_.push_back(&d);
}

LBackEndRegistry::~LBackEndRegistry() {
    std::lock_guard guard(lock_);
    descriptors_.clear();
    while (!open_.empty()) {
        LAPICLBK* device = open_.front();
        open_.erase(open_.begin());
        device->Release();
    }
}

const LAPIDescriptor* LBackEndRegistry::Find(int32_t index) const {
    std::lock_guard guard(lock_);
    if (index < 0 || size_t(index) >= descriptors_.size()) return nullptr;
    return descriptors_[size_t(index)];
}

int LBackEndRegistry::IsAvailable(int32_t index) {
    std::lock_guard guard(lock_);
    const LAPIDescriptor* d = Find(index);
    return d != nullptr && d->probe != nullptr ? d->probe() : 0;
}

LAPICLBK* LBackEndRegistry::CreateAPI(int32_t index) {
    std::lock_guard guard(lock_);
    const LAPIDescriptor* d = Find(index);
    if (d == nullptr || d->factory == nullptr) return nullptr;
    LAPICLBK* device = d->factory();
    if (device != nullptr) open_.push_back(device);
    return device;
}

void LBackEndRegistry::ReleaseAPI(LAPICLBK* device) {
    std::lock_guard guard(lock_);
    const auto found = std::find(open_.begin(), open_.end(), device);
    if (found == open_.end()) return;
    open_.erase(found);
    device->Release();
}

size_t LBackEndRegistry::OpenCount() const {
    std::lock_guard guard(lock_);
    return open_.size();
}

CDisplayAPI* LBackEndRegistry::Load(int32_t backEnd) {
    // Every device this registry makes derives from the back ends' shared device.
    return static_cast<LAPIBackEnd*>(CreateAPI(backEnd));
}

void LBackEndRegistry::Unload(int32_t, CDisplayAPI* api) {
    if (api != nullptr) ReleaseAPI(static_cast<LAPIBackEnd*>(api));
}

LBackEndRegistry& GetBackEndRegistry() {
    static LBackEndRegistry registry;
    return registry;
}
