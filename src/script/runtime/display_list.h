// The least the interpreter asks of the 3D renderers to choose its display interface:
// a registry that tells which back ends exist and loads their API objects, and the
// holders through which the interpreter keeps one loaded API per back end. An API lists
// devices, each device its drivers, and each driver its screen modes. Until the renderers
// install their registry, no back end is available.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CDisplayMode {
    // Bits per pixel; the back ends keep it in a signed byte.
    int8_t depth = 0;
    uint32_t width = 0;
    uint32_t height = 0;
};

class CDisplayDriver {
public:
    virtual ~CDisplayDriver() = default;
    // At most 63 characters.
    virtual const char* GetName() const = 0;
    // 1 when the driver can render into a window.
    virtual uint32_t IsWindowed() const = 0;
    virtual uint32_t GetModeCount() const = 0;
    // 0 past the list.
    virtual int GetMode(uint32_t index, CDisplayMode& mode) const = 0;
};

class CDisplayDevice {
public:
    virtual ~CDisplayDevice() = default;
    // At most 63 characters.
    virtual const char* GetName() const = 0;
    virtual uint32_t GetDriverCount() const = 0;
    // Null past the list.
    virtual CDisplayDriver* GetDriver(uint32_t index) const = 0;
    // The driver the device uses now; null when none.
    virtual CDisplayDriver* GetCurrentDriver() const = 0;
};

class CDisplayAPI {
public:
    virtual ~CDisplayAPI() = default;
    // The interface's display name, cut to size - 1 characters and terminated; nothing
    // when size is 0 or less.
    virtual void GetName(char* buffer, int32_t size) const = 0;
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

// Copies of a back end's lists, taken once and kept for the run.
struct DisplayDriverEntry {
    std::string name;
    uint32_t windowed = 1;
    std::vector<CDisplayMode> modes;
};

struct DisplayDeviceEntry {
    std::string name;
    std::vector<DisplayDriverEntry> drivers;
};

// Keeps one back end's API loaded while uses are counted, and its name and lists from
// the first time they could be read until the holder is destroyed.
class CIDisplayList {
public:
    CIDisplayList() = default;
    // Drops every remaining use.
    ~CIDisplayList();
    CIDisplayList(const CIDisplayList&) = delete;
    CIDisplayList& operator=(const CIDisplayList&) = delete;

    // `useRegistry` is kept for the renderers; `backEnd` is the id the holder loads.
    void Init(int32_t useRegistry, int32_t backEnd);
    int IsAvailable() const;
    int IsAcquired() const { return useCount_ != 0; }
    // Counts one use of the API (loaded now when needed) and, unless `skipRefresh`, copies
    // its lists the first time; null when the back end is missing.
    CDisplayAPI* Acquire(int skipRefresh);
    // Drops one use; the API is unloaded after the last.
    void Release();
    // Copies the name and lists once; a back end that cannot be loaded is tried again
    // at the next call.
    void Refresh();
    // These refresh first. "" when nothing was copied.
    const char* GetName();
    uint32_t GetDeviceCount();
    // Null for a negative or too large index.
    const DisplayDeviceEntry* GetDevice(int32_t index);

private:
    void Fill(const CDisplayAPI& api);

    int32_t useRegistry_ = 0;
    int32_t backEnd_ = -1;
    CDisplayAPI* api_ = nullptr;
    LAPIRegistry* loadedBy_ = nullptr;
    uint32_t useCount_ = 0;
    bool filled_ = false;
    std::string name_;
    std::vector<DisplayDeviceEntry> devices_;
};
