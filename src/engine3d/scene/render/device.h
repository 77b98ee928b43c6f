// The back end's device, as the scene model calls it: the factory of every point,
// polygon, texture, sprite and renderer of a world, and the tree of drivers, devices and
// display modes its renderers choose from. Back ends derive their devices from it; the
// null device serves worlds that are only loaded, saved or computed.
#pragma once

#include <cstdint>

#include "engine3d/scene/render/display_modes.h"

class L3DObject;
class L3DPoint;
class L3DWorld;
class LCLBKObject;
class LPolygon;
class LRenderAPICLBK;
class LSprite;
class LTexture;

// Four letters as a word whose bytes in memory read them in order.
constexpr uint32_t MakeFourCC(const char (&letters)[5]) {
    return uint32_t(uint8_t(letters[0])) | uint32_t(uint8_t(letters[1])) << 8 |
           uint32_t(uint8_t(letters[2])) << 16 | uint32_t(uint8_t(letters[3])) << 24;
}

class LAPICLBK {
public:
    LAPICLBK() = default;
    LAPICLBK(const LAPICLBK&) = delete;
    LAPICLBK& operator=(const LAPICLBK&) = delete;
    // Frees the records of the tree left; back ends free their data words first.
    virtual ~LAPICLBK();
    // Destroys the device; polygons made by it keep only a pointer that is no longer used.
    void Release() { delete this; }

    virtual LSprite* CreateSprite(L3DWorld* world, LCLBKObject* link) = 0;
    virtual LRenderAPICLBK* CreateRenderer(L3DWorld* world) = 0;
    // Seven values: the model position and the two texture pairs.
    virtual L3DPoint* CreatePoint(float x, float y, float z, float u1, float v1, float u2,
                                  float v2) = 0;
    // An empty polygon of the back end's class; kind is 2 in every call.
    virtual LPolygon* CreatePolygon(L3DObject* owner, int kind, uint32_t word) = 0;
    virtual LTexture* CreateTexture(L3DWorld* world, const char* name, LCLBKObject* link) = 0;
    virtual void ReleaseRenderer(LRenderAPICLBK* renderer) = 0;
    virtual void DeletePoint(L3DPoint* point) = 0;
    virtual void DeletePolygon(LPolygon* polygon) = 0;
    virtual void DeleteTexture(LTexture* texture) = 0;
    virtual void DeleteSprite(LSprite* sprite) = 0;
    // Slot 21's text cut to size - 1 characters and terminated; nothing for size 0 or less.
    void GetName(char* buffer, int32_t size) const;
    virtual uint32_t GetFourCC() const { return MakeFourCC("DEFA"); }
    // 1 for the back ends that draw with hardware.
    virtual int IsHardware() = 0;
    virtual void DetachAllRenderers() = 0;

    LDisplayDriver* AddDriver(const char* name, uintptr_t data);
    LDisplayDevice* AddDevice(LDisplayDriver* driver, const char* name, uint32_t first,
                              uintptr_t data);
    // A mode equal in depth and size to one the device has returns that one unchanged.
    LDisplayMode* AddMode(LDisplayDevice* device, LDisplaySize size, int32_t depth, uintptr_t data);
    void RemoveDriver(LDisplayDriver* driver);
    void RemoveDevice(LDisplayDriver* driver, LDisplayDevice* device);
    void RemoveAllDrivers();

    virtual int WaitForVerticalBlank() { return 0; }
    virtual int CanWaitForVerticalBlank() { return 0; }
    virtual const char* GetDisplayName() const { return "Unknown"; }
    virtual void EnumerateModes() {}
    virtual void FreeDeviceData(uintptr_t) {}
    virtual void FreeDriverData(uintptr_t) {}
    virtual void FreeModeData(uintptr_t) {}

    LDisplayDriver* GetDrivers() const { return drivers_; }
    LDisplayDriver* GetCurrentDriver() const { return currentDriver_; }

    // The device's mode of `depth` nearest in area to `size`; the device's first mode
    // when it has none of that depth; null without driver, device or modes.
    static LDisplayMode* FindNearestDisplayMode(LDisplaySize size, LDisplayDriver* driver,
                                                LDisplayDevice* device, LDisplayMode* current,
                                                int32_t depth);
    // 0 when the device has a mode of the depth (15 and 16 alike) at least that large;
    // 2 without device, 17 without such a mode.
    static int CheckModeAvailable(LDisplayDevice* device, int32_t width, int32_t height,
                                  int32_t depth);
    // Flags 2 (full screen) or 4 (windowed); 0 when the device shows the depth that way.
    static int CheckDepthAvailable(LDisplayDevice* device, uint32_t flags, int32_t depth);

protected:
    uint32_t enumerated_ = 0;
    // Nothing sets it: waits for the vertical blank stay off.
    uint32_t waitEnabled_ = 0;

private:
    void FreeDevice(LDisplayDevice* device);

    LDisplayDriver* drivers_ = nullptr;
    LDisplayDriver* currentDriver_ = nullptr;
};
