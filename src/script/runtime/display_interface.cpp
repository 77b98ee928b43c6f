// The interpreter's choice of display interface among the renderer back ends.
#include "script/interpreter/interpretor.h"
#include "script/runtime/display_list.h"
#include "script/runtime/neighbour_services.h"

namespace {

constexpr int32_t kHardwareBackEnd = 0;
constexpr int32_t kOpenGLBackEnd = 2;

bool IsAvailable(int32_t backEnd) {
    LAPIRegistry* registry = GetAPIRegistry();
    return registry != nullptr && registry->IsAvailable(backEnd) != 0;
}

} // namespace

int32_t CInterpretor::GetDisplayInterface() {
    if (displayInterface_ < 0) {
        if (IsAvailable(kHardwareBackEnd))
            displayInterface_ = kHardwareBackEnd;
        else if (IsAvailable(kOpenGLBackEnd))
            displayInterface_ = kOpenGLBackEnd;
        else
            displayInterface_ = kSoftwareBackEnd;
    }
    return displayInterface_;
}

int CInterpretor::LoadDisplayBackEnd(int32_t interface) {
    if (interface < 0 || interface >= kDisplayBackEnds || displayLists_[interface] == nullptr)
        return 0;
    CDisplayAPI* api = displayLists_[interface]->Acquire(0);
    if (api == nullptr) return 0;
    displayAPI_ = api;
    if (interface == kSoftwareBackEnd) softwareAPI_ = api;
    return 1;
}

void CInterpretor::UnloadDisplayBackEnds() {
    // The software back end stays: its API also serves GetSoftwareDisplayAPI.
    for (int32_t backEnd = 0; backEnd < kSoftwareBackEnd; ++backEnd) {
        if (displayLists_[backEnd] != nullptr && displayLists_[backEnd]->IsAcquired())
            displayLists_[backEnd]->Release();
    }
    displayAPI_ = nullptr;
}

void CInterpretor::SelectDisplay(int32_t interface, int32_t device, int32_t driver) {
    if (auto viewOpen = GetNeighbourServices().isAny3DViewOpen; viewOpen && viewOpen(*this))
        RaiseError(116);
    if (interface == displayInterface_ && displayAPI_ != nullptr) {
        displayDevice_ = device;
        displayDriver_ = driver;
        return;
    }
    int32_t previous = displayInterface_;
    int32_t previousDevice = displayDevice_;
    int32_t previousDriver = displayDriver_;
    UnloadDisplayBackEnds();
    if (LoadDisplayBackEnd(interface)) {
        displayInterface_ = interface;
        displayDevice_ = device;
        displayDriver_ = driver;
        return;
    }
    if (previous >= 0 && LoadDisplayBackEnd(previous)) {
        displayInterface_ = previous;
        displayDevice_ = previousDevice;
        displayDriver_ = previousDriver;
        return;
    }
    displayDevice_ = -1;
    displayDriver_ = -1;
    for (int32_t fallback : {kHardwareBackEnd, kOpenGLBackEnd}) {
        if (fallback == interface || fallback == previous) continue;
        if (LoadDisplayBackEnd(fallback)) {
            displayInterface_ = fallback;
            return;
        }
    }
    displayInterface_ = kSoftwareBackEnd;
}

CDisplayAPI* CInterpretor::GetDisplayAPI() {
    int32_t interface = GetDisplayInterface();
    if (displayAPI_ == nullptr) LoadDisplayBackEnd(interface);
    return displayAPI_;
}

CDisplayAPI* CInterpretor::GetSoftwareDisplayAPI() {
    if (softwareAPI_ == nullptr && displayLists_[kSoftwareBackEnd] != nullptr)
        softwareAPI_ = displayLists_[kSoftwareBackEnd]->Acquire(1);
    return softwareAPI_;
}

CDisplayDevice* CInterpretor::GetDisplayDevice() {
    if (displayDevice_ < 0) return nullptr;
    CDisplayAPI* api = GetDisplayAPI();
    if (api == nullptr || api->GetDeviceCount() == 0) return nullptr;
    uint32_t index = uint32_t(displayDevice_);
    if (index >= api->GetDeviceCount()) index = api->GetDeviceCount() - 1;
    return api->GetDevice(index);
}

CIDisplayList* CInterpretor::GetDisplayList(int32_t backEnd) {
    return backEnd >= 0 && backEnd < kDisplayBackEnds ? displayLists_[backEnd] : nullptr;
}

int32_t CInterpretor::GetDisplayDeviceIndex() {
    return displayDevice_ < 0 ? 0 : displayDevice_;
}

CDisplayDriver* CInterpretor::GetDisplayDriver() {
    if (displayDevice_ < 0 || displayDriver_ < 0) return nullptr;
    CDisplayDevice* device = GetDisplayDevice();
    return device != nullptr ? device->GetDriver(uint32_t(displayDriver_)) : nullptr;
}

int32_t CInterpretor::GetDisplayDriverIndex() {
    if (displayDriver_ >= 0) return displayDriver_;
    CDisplayDevice* device = GetDisplayDevice();
    if (device == nullptr) return 0;
    CDisplayDriver* current = device->GetCurrentDriver();
    for (uint32_t i = 0; current != nullptr && i < device->GetDriverCount(); ++i) {
        if (device->GetDriver(i) == current) return int32_t(i);
    }
    return 0;
}
