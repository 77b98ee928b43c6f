// The Display singleton: the mouse cursor on the screen, the choice of the 3D display
// interface with its device and driver, the lists of devices, drivers and screen modes
// each interface offers, polygon-change batches and the vertical-blank wait.
#pragma once

#include <cstdint>

#include "script/classes/base_class.h"

class CIDisplayList;
struct DisplayDeviceEntry;
struct DisplayDriverEntry;

class CIDisplay final : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 57;
    static constexpr uint32_t kFirstClassLevelId = 24;
    // The script constants of the interfaces are this base plus 0 (software DIB),
    // 1 (DirectDraw), 2 (Direct3D) and 3 (OpenGL).
    static constexpr uint32_t kInterfaceBase = 0x89AF0000;

    enum : uint16_t {
        kGetScreenXMouse = 1,
        kGetScreenYMouse,
        kShowMouseCursor,
        kHideMouseCursor,
        kBeginPolygonChange,
        kEndPolygonChange,
        kSetScreenMousePos,
        kGetDisplayInterface,
        kSetDisplayInterface,
        kIsDisplayInterfaceAvailable,
        kGetDisplayInterfaceName,
        kGetDisplayDeviceCount,
        kGetDisplayDeviceName,
        kGetDisplayDriverCount,
        kGetDisplayDriverName,
        kIsWindowedModeSupported,
        kGetScreenModeCount,
        kGetScreenModeWidth,
        kGetScreenModeHeight,
        kGetScreenModeDepth,
        kGetDisplayDevice,
        kGetDisplayDriver,
        kEnableVBSync,
        kMethodCount,
    };

    CIDisplay(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;

    // A back-end number's script constant and back; -1 for a value that is no constant.
    static uint32_t ConstantOf(int32_t backEnd);
    static int32_t BackEndOf(uint32_t constant);

private:
    void GetScreenXMouse();
    void GetScreenYMouse();
    void ShowMouseCursor();
    void HideMouseCursor();
    void BeginPolygonChange();
    void EndPolygonChange();
    void SetScreenMousePos();
    void GetDisplayInterface();
    void SetDisplayInterface();
    void IsDisplayInterfaceAvailable();
    void GetDisplayInterfaceName();
    void GetDisplayDeviceCount();
    void GetDisplayDeviceName();
    void GetDisplayDriverCount();
    void GetDisplayDriverName();
    void IsWindowedModeSupported();
    void GetScreenModeCount();
    void GetScreenModeWidth();
    void GetScreenModeHeight();
    void GetScreenModeDepth();
    void GetDisplayDevice();
    void GetDisplayDriver();
    void EnableVBSync();

    // Argument `i` as a back-end number: left out (or the default value), the current
    // interface; error 108 for a value that is not one of the four constants.
    int32_t InterfaceArg(uint32_t i);
    // Argument `i` as a device, driver or mode number; left out, 0.
    int32_t NumberArg(uint32_t i);
    // The holder of the interface named by argument 0 (its lists copied when it can be
    // made).
    CIDisplayList& ListArg();
    // The device, driver and mode named by arguments 0 to 3; error 88 when a number is
    // beyond its list or negative.
    const DisplayDeviceEntry& DeviceArgs();
    const DisplayDriverEntry& DriverArgs();
    // The mode number is taken as given when present: a default value there raises 88.
    void ModeArgs(int32_t& width, int32_t& height, int32_t& depth);
    void SetResult(int32_t value);

    static const ScriptMethod<CIDisplay> kMethods[kMethodCount];
};

const ScriptClassInfo* GetDisplayClassInfo();
