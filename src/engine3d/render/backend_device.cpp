#include "engine3d/render/backend_device.h"

#include <algorithm>

#include "engine3d/render/software/polygon/software_polygon.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/render/renderer.h"
#include "engine3d/scene/sprites/sprite.h"

// A device of the tree, seen by the script runtime as a driver of a display device.
class LAPIBackEnd::DeviceView : public CDisplayDriver {
public:
    explicit DeviceView(const LDisplayDevice* device) : device_(device) {}
    const char* GetName() const override { return device_->name; }
    uint32_t IsWindowed() const override { return device_->firstParameter; }
    uint32_t GetModeCount() const override {
        uint32_t count = 0;
        for (const LDisplayMode* m = device_->modes; m != nullptr; m = m->next)
            ++count;
        return count;
    }
    int GetMode(uint32_t index, CDisplayMode& mode) const override {
        const LDisplayMode* m = device_->modes;
        for (; m != nullptr && index != 0; --index)
            m = m->next;
        if (m == nullptr) return 0;
        mode.depth = m->depth;
        mode.width = m->width;
        mode.height = m->height;
        return 1;
    }

private:
    const LDisplayDevice* device_;
};

// A driver of the tree, seen by the script runtime as a display device.
class LAPIBackEnd::DriverView : public CDisplayDevice {
public:
    explicit DriverView(const LDisplayDriver* driver) : driver_(driver) {}
    const char* GetName() const override { return driver_->name; }
    uint32_t GetDriverCount() const override {
        uint32_t count = 0;
        for (const LDisplayDevice* d = driver_->devices; d != nullptr; d = d->next)
            ++count;
        return count;
    }
    CDisplayDriver* GetDriver(uint32_t index) const override {
        const LDisplayDevice* d = driver_->devices;
        for (; d != nullptr && index != 0; --index)
            d = d->next;
        return d != nullptr ? View(d) : nullptr;
    }
    CDisplayDriver* GetCurrentDriver() const override {
        return driver_->currentDevice != nullptr ? View(driver_->currentDevice) : nullptr;
    }

private:
    DeviceView* View(const LDisplayDevice* device) const {
        auto& view = views_[device];
        if (view == nullptr) view = std::make_unique<DeviceView>(device);
        return view.get();
    }

    const LDisplayDriver* driver_;
    mutable std::map<const LDisplayDevice*, std::unique_ptr<DeviceView>> views_;
};

LAPIBackEnd::LAPIBackEnd() = default;

LAPIBackEnd::~LAPIBackEnd() {
    while (!renderers_.empty())
        ReleaseRenderer(renderers_.back());
    driverViews_.clear();
    RemoveAllDrivers();
}

LRenderAPICLBK* LAPIBackEnd::Keep(LRenderAPICLBK* renderer) {
    if (renderer != nullptr) renderers_.push_back(renderer);
    return renderer;
}

LDisplayDevice* LAPIBackEnd::AddDefaultDevice() {
    return AddDevice(AddDriver("Default", 0), "Default", 1, 0);
}

LSprite* LAPIBackEnd::CreateSprite(L3DWorld* world, LCLBKObject* link) {
    return new LSprite(world, 0, link);
}

L3DPoint* LAPIBackEnd::CreatePoint(float x, float y, float z, float u1, float v1, float u2,
                                   float v2) {
    return new L3DPoint(x, y, z, u1, v1, u2, v2);
}

LPolygon* LAPIBackEnd::CreatePolygon(L3DObject* owner, int kind, uint32_t) {
    return new LPolygon_Software(owner, kind, this);
}

LTexture* LAPIBackEnd::CreateTexture(L3DWorld* world, const char* name, LCLBKObject* link) {
    return new LTexture(world, name, link);
}

void LAPIBackEnd::ReleaseRenderer(LRenderAPICLBK* renderer) {
    const auto found = std::find(renderers_.begin(), renderers_.end(), renderer);
    if (found == renderers_.end()) return;
    renderers_.erase(found);
    renderer->Release();
}

void LAPIBackEnd::DeletePoint(L3DPoint* point) {
    delete point;
}

void LAPIBackEnd::DeletePolygon(LPolygon* polygon) {
    delete polygon;
}

void LAPIBackEnd::DeleteTexture(LTexture* texture) {
    delete texture;
}

void LAPIBackEnd::DeleteSprite(LSprite* sprite) {
    delete sprite;
}

void LAPIBackEnd::DetachAllRenderers() {
    for (LRenderAPICLBK* renderer : renderers_) {
        renderer->DetachView();
        renderer->HideGrid(14);
        renderer->ForgetWorld();
    }
}

uint32_t LAPIBackEnd::GetDeviceCount() const {
    uint32_t count = 0;
    for (const LDisplayDriver* d = GetDrivers(); d != nullptr; d = d->next)
        ++count;
    return count;
}

CDisplayDevice* LAPIBackEnd::GetDevice(uint32_t index) const {
    const LDisplayDriver* d = GetDrivers();
    for (; d != nullptr && index != 0; --index)
        d = d->next;
    if (d == nullptr) return nullptr;
    auto& view = driverViews_[d];
    if (view == nullptr) view = std::make_unique<DriverView>(d);
    return view.get();
}
