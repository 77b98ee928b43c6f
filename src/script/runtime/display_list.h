// The least the interpreter asks of the 3D renderers to choose its display interface:
// a registry that tells which back ends exist and loads their API objects, and the
// holders through which the interpreter keeps one loaded API per back end. An API lists
// devices, and each device its drivers. Until the renderers install their registry, no
// back end is available.
#pragma once

#include <cstdint>

class CDisplayDriver {
public:
    virtual ~CDisplayDriver() = default;
};

class CDisplayDevice {
public:
    virtual ~CDisplayDevice() = default;
    virtual uint32_t GetDriverCount() const = 0;
    // Null past the list.
    virtual CDisplayDriver* GetDriver(uint32_t index) const = 0;
    // The driver the device uses now; null when none.
    virtual CDisplayDriver* GetCurrentDriver() const = 0;
};

class CDisplayAPI {
public:
    virtual ~CDisplayAPI() = default;
    virtual uint32_t GetDeviceCount() const = 0;
    // Null past the list.
    virtual CDisplayDevice* GetDevice(uint32_t index) const = 0;
};

// The renderer back ends: 0 and 1 hardware, 2 OpenGL, 3 software.
class LAPIRegistry {
public:
    virtual ~LAPIRegistry() = default;
    virtual int IsAvailable(int32_t backEnd) = 0;
    // The back end's API, loaded now; null when it cannot be loaded.
    virtual CDisplayAPI* Load(int32_t backEnd) = 0;
    // Gives back an API that Load made.
    virtual void Unload(int32_t backEnd, CDisplayAPI* api) = 0;
};

// The installed registry; null when no renderer is built in.
LAPIRegistry* GetAPIRegistry();
// The registry must outlive every interpreter; null removes it.
void SetAPIRegistry(LAPIRegistry* registry);

// Keeps one back end's API loaded between Acquire and Release (or destruction).
class CIDisplayList {
public:
    CIDisplayList() = default;
    ~CIDisplayList() { Release(); }
    CIDisplayList(const CIDisplayList&) = delete;
    CIDisplayList& operator=(const CIDisplayList&) = delete;

    // `flag` is kept for the renderers; `backEnd` is the id the holder loads.
    void Init(int32_t flag, int32_t backEnd);
    int IsAcquired() const { return api_ != nullptr; }
    // The loaded API (loaded now when needed); null when the back end is missing.
    CDisplayAPI* Acquire(int32_t flag);
    void Release();

private:
    int32_t flag_ = 0;
    int32_t backEnd_ = -1;
    CDisplayAPI* api_ = nullptr;
    LAPIRegistry* loadedBy_ = nullptr;
};
