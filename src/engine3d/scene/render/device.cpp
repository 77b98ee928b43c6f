#include "engine3d/scene/render/device.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void CopyName(char (&to)[64], const char* name) {
    std::snprintf(to, sizeof to, "%s", name != nullptr ? name : "");
}

bool SameDepth(int32_t a, int32_t b) {
    const auto folded = [](int32_t d) { return d == 15 ? 16 : d; };
    return folded(a) == folded(b);
}

} // namespace

LAPICLBK::~LAPICLBK() {
    RemoveAllDrivers();
}

void LAPICLBK::GetName(char* buffer, int32_t size) const {
    if (buffer == nullptr || size <= 0) return;
    std::snprintf(buffer, size_t(size), "%s", GetDisplayName());
}

LDisplayDriver* LAPICLBK::AddDriver(const char* name, uintptr_t data) {
    auto* driver = new LDisplayDriver;
    CopyName(driver->name, name);
    driver->data = data;
    if (drivers_ == nullptr) {
        drivers_ = driver;
        currentDriver_ = driver;
        return driver;
    }
    LDisplayDriver* last = drivers_;
    while (last->next != nullptr)
        last = last->next;
    last->next = driver;
    driver->previous = last;
    return driver;
}

LDisplayDevice* LAPICLBK::AddDevice(LDisplayDriver* driver, const char* name, uint32_t first,
                                    uintptr_t data) {
    if (driver == nullptr) return nullptr;
    auto* device = new LDisplayDevice;
    CopyName(device->name, name);
    device->firstParameter = first;
    device->data = data;
    if (driver->devices == nullptr) {
        driver->devices = device;
        driver->currentDevice = device;
        return device;
    }
    LDisplayDevice* last = driver->devices;
    while (last->next != nullptr)
        last = last->next;
    last->next = device;
    return device;
}

LDisplayMode* LAPICLBK::AddMode(LDisplayDevice* device, LDisplaySize size, int32_t depth,
                                uintptr_t data) {
    if (device == nullptr) return nullptr;
    LDisplayMode* last = nullptr;
    for (LDisplayMode* m = device->modes; m != nullptr; m = m->next) {
        if (m->depth == depth && m->width == uint32_t(size.width) &&
            m->height == uint32_t(size.height))
            return m;
        last = m;
    }
    auto* mode = new LDisplayMode;
    mode->depth = int8_t(depth);
    mode->width = uint32_t(size.width);
    mode->height = uint32_t(size.height);
    std::snprintf(mode->text, sizeof mode->text, " %d x %d ( %d BPP )", size.width, size.height,
                  depth);
    mode->data = data;
    mode->previous = last;
    if (last == nullptr) {
        device->modes = mode;
        device->currentMode = nullptr;
    } else {
        last->next = mode;
    }
    return mode;
}

void LAPICLBK::FreeDevice(LDisplayDevice* device) {
    for (LDisplayMode* m = device->modes; m != nullptr;) {
        LDisplayMode* next = m->next;
        FreeModeData(m->data);
        delete m;
        m = next;
    }
    FreeDeviceData(device->data);
    delete device;
}

void LAPICLBK::RemoveDevice(LDisplayDriver* driver, LDisplayDevice* device) {
    if (driver == nullptr || device == nullptr) return;
    LDisplayDevice** link = &driver->devices;
    while (*link != nullptr && *link != device)
        link = &(*link)->next;
    if (*link == nullptr) return;
    *link = device->next;
    if (driver->currentDevice == device) driver->currentDevice = driver->devices;
    FreeDevice(device);
}

void LAPICLBK::RemoveDriver(LDisplayDriver* driver) {
    if (driver == nullptr) return;
    for (LDisplayDevice* d = driver->devices; d != nullptr;) {
        LDisplayDevice* next = d->next;
        FreeDevice(d);
        d = next;
    }
    FreeDriverData(driver->data);
    if (driver->previous != nullptr)
        driver->previous->next = driver->next;
    else
        drivers_ = driver->next;
    if (driver->next != nullptr) driver->next->previous = driver->previous;
    if (currentDriver_ == driver) currentDriver_ = drivers_;
    delete driver;
}

void LAPICLBK::RemoveAllDrivers() {
    while (drivers_ != nullptr)
        RemoveDriver(drivers_);
}

LDisplayMode* LAPICLBK::FindNearestDisplayMode(LDisplaySize size, LDisplayDriver* driver,
                                               LDisplayDevice* device, LDisplayMode*,
                                               int32_t depth) {
    if (driver == nullptr || device == nullptr || device->modes == nullptr) return nullptr;
    const int64_t wanted = int64_t(size.width) * size.height;
    LDisplayMode* best = device->modes;
    int64_t bestDifference = INT64_MAX;
    for (LDisplayMode* m = device->modes; m != nullptr; m = m->next) {
        if (m->depth != depth) continue;
        const int64_t difference = std::llabs(int64_t(m->width) * m->height - wanted);
        if (difference < bestDifference) {
            best = m;
            bestDifference = difference;
        }
    }
    return best;
}

int LAPICLBK::CheckModeAvailable(LDisplayDevice* device, int32_t width, int32_t height,
                                 int32_t depth) {
    if (device == nullptr) return 2;
    const int64_t wanted = int64_t(width) * height;
    for (LDisplayMode* m = device->modes; m != nullptr; m = m->next)
        if (SameDepth(m->depth, depth) && int64_t(m->width) * m->height >= wanted) return 0;
    return 17;
}

int LAPICLBK::CheckDepthAvailable(LDisplayDevice* device, uint32_t flags, int32_t depth) {
    if (device == nullptr || (flags != 2 && flags != 4)) return 2;
    if (flags == 4 && device->firstParameter != 1) return 34;
    for (LDisplayMode* m = device->modes; m != nullptr; m = m->next)
        if (SameDepth(m->depth, depth)) return 0;
    return 34;
}
