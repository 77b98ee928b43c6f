#include "script/runtime/display_list.h"

#include <new>

namespace {

LAPIRegistry* installedRegistry = nullptr;

constexpr int32_t kNameBufferSize = 260;

} // namespace

LAPIRegistry* GetAPIRegistry() {
    return installedRegistry;
}

void SetAPIRegistry(LAPIRegistry* registry) {
    installedRegistry = registry;
}

CIDisplayList::~CIDisplayList() {
    while (useCount_ != 0)
        Release();
}

void CIDisplayList::Init(int32_t useRegistry, int32_t backEnd) {
    useRegistry_ = useRegistry;
    backEnd_ = backEnd;
}

int CIDisplayList::IsAvailable() const {
    LAPIRegistry* registry = GetAPIRegistry();
    return registry != nullptr && backEnd_ >= 0 && registry->IsAvailable(backEnd_) != 0 ? 1 : 0;
}

CDisplayAPI* CIDisplayList::Acquire(int skipRefresh) {
    if (backEnd_ < 0) return nullptr;
    if (api_ == nullptr && IsAvailable()) {
        LAPIRegistry* registry = GetAPIRegistry();
        api_ = registry->Load(backEnd_);
        if (api_ != nullptr) loadedBy_ = registry;
    }
    if (api_ == nullptr) return nullptr;
    ++useCount_;
    if (!skipRefresh) Refresh();
    return api_;
}

void CIDisplayList::Release() {
    if (useCount_ == 0) return;
    if (--useCount_ != 0) return;
    loadedBy_->Unload(backEnd_, api_);
    api_ = nullptr;
    loadedBy_ = nullptr;
}

void CIDisplayList::Refresh() {
    if (filled_ || backEnd_ < 0) return;
    CDisplayAPI* api = Acquire(1);
    if (api == nullptr) return;
    Fill(*api);
    Release();
    filled_ = true;
}

void CIDisplayList::Fill(const CDisplayAPI& api) {
    char name[kNameBufferSize] = {};
    api.GetName(name, kNameBufferSize);
    name[kNameBufferSize - 1] = '\0';
    // Out of memory leaves the entry concerned out of the lists.
    try {
        name_ = name;
    } catch (const std::bad_alloc&) {
        name_.clear();
    }
    for (uint32_t d = 0; d < api.GetDeviceCount(); ++d) {
        const CDisplayDevice* device = api.GetDevice(d);
        if (device == nullptr) continue;
        try {
            DisplayDeviceEntry deviceEntry;
            deviceEntry.name = device->GetName();
            for (uint32_t r = 0; r < device->GetDriverCount(); ++r) {
                const CDisplayDriver* driver = device->GetDriver(r);
                if (driver == nullptr) continue;
                try {
                    DisplayDriverEntry driverEntry;
                    driverEntry.name = driver->GetName();
                    driverEntry.windowed = driver->IsWindowed();
                    CDisplayMode mode;
                    for (uint32_t m = 0; m < driver->GetModeCount(); ++m) {
                        if (driver->GetMode(m, mode)) driverEntry.modes.push_back(mode);
                    }
                    deviceEntry.drivers.push_back(std::move(driverEntry));
                } catch (const std::bad_alloc&) {}
            }
            devices_.push_back(std::move(deviceEntry));
        } catch (const std::bad_alloc&) {}
    }
}

const char* CIDisplayList::GetName() {
    Refresh();
    return name_.c_str();
}

uint32_t CIDisplayList::GetDeviceCount() {
    Refresh();
    return uint32_t(devices_.size());
}

const DisplayDeviceEntry* CIDisplayList::GetDevice(int32_t index) {
    Refresh();
    if (index < 0 || uint32_t(index) >= devices_.size()) return nullptr;
    return &devices_[size_t(index)];
}
