#include "platform/input/dinput.h"

#include <array>
#include <atomic>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/input/dinput_device.h"
#include "platform/input/joystick_access.h"
#include "platform/process/shared_library.h"
#include "platform/user/input/input.h"
#include "platform/user/input/input_routing.h"

namespace {

constexpr GUID MakeGuid(DWORD first, WORD second) {
    return GUID{first, second, 0x11D0, {0x7A, 0x6F, 0x72, 0x76, 0x44, 0x49, 0x00, 0x00}};
}

} // namespace

const GUID GUID_XAxis = MakeGuid(0x5A4F0001, 1);
const GUID GUID_YAxis = MakeGuid(0x5A4F0002, 1);
const GUID GUID_ZAxis = MakeGuid(0x5A4F0003, 1);
const GUID GUID_RxAxis = MakeGuid(0x5A4F0004, 1);
const GUID GUID_RyAxis = MakeGuid(0x5A4F0005, 1);
const GUID GUID_RzAxis = MakeGuid(0x5A4F0006, 1);
const GUID GUID_Slider = MakeGuid(0x5A4F0007, 1);
const GUID GUID_Button = MakeGuid(0x5A4F0008, 1);
const GUID GUID_Key = MakeGuid(0x5A4F0009, 1);
const GUID GUID_POV = MakeGuid(0x5A4F000A, 1);
const GUID GUID_SysMouse = MakeGuid(0x5A4F0010, 2);
const GUID GUID_SysKeyboard = MakeGuid(0x5A4F0011, 2);
const IID IID_IDirectInputA = MakeGuid(0x5A4F0020, 3);
const IID IID_IDirectInputDeviceA = MakeGuid(0x5A4F0021, 3);
const IID IID_IDirectInputDevice2A = MakeGuid(0x5A4F0022, 3);

namespace {

// The standard formats' object lists, built once.
struct StandardFormats {
    std::vector<DIOBJECTDATAFORMAT> mouse, keyboard, joystick;

    StandardFormats() {
        constexpr DWORD kAny = DIDFT_ANYINSTANCE;
        const GUID* axes[3] = {&GUID_XAxis, &GUID_YAxis, &GUID_ZAxis};
        for (DWORD i = 0; i < 3; ++i)
            mouse.push_back({axes[i], i * 4, DIDFT_AXIS | kAny | (i == 2 ? DIDFT_OPTIONAL : 0), 0});
        for (DWORD i = 0; i < 4; ++i)
            mouse.push_back(
                {nullptr, 12 + i, DIDFT_BUTTON | kAny | (i >= 2 ? DIDFT_OPTIONAL : 0), 0});
        for (DWORD i = 0; i < 256; ++i)
            keyboard.push_back(
                {&GUID_Key, i, DIDFT_BUTTON | DIDFT_OPTIONAL | DIDFT_MAKEINSTANCE(i), 0});
        const GUID* joystickAxes[6] = {&GUID_XAxis,  &GUID_YAxis,  &GUID_ZAxis,
                                       &GUID_RxAxis, &GUID_RyAxis, &GUID_RzAxis};
        // Positions, then velocities, accelerations and forces: each block six axes and
        // two sliders; the points of view and buttons follow the positions.
        const DWORD blocks[4] = {offsetof(DIJOYSTATE2, lX), offsetof(DIJOYSTATE2, lVX),
                                 offsetof(DIJOYSTATE2, lAX), offsetof(DIJOYSTATE2, lFX)};
        for (int block = 0; block < 4; ++block) {
            for (DWORD i = 0; i < 6; ++i)
                joystick.push_back({joystickAxes[i], blocks[block] + i * 4,
                                    DIDFT_AXIS | kAny | DIDFT_OPTIONAL, 0});
            for (DWORD i = 0; i < 2; ++i)
                joystick.push_back({&GUID_Slider, blocks[block] + 24 + i * 4,
                                    DIDFT_AXIS | kAny | DIDFT_OPTIONAL, 0});
            if (block != 0) continue;
            for (DWORD i = 0; i < 4; ++i)
                joystick.push_back({&GUID_POV, DWORD(offsetof(DIJOYSTATE2, rgdwPOV)) + i * 4,
                                    DIDFT_POV | kAny | DIDFT_OPTIONAL, 0});
            for (DWORD i = 0; i < 128; ++i)
                joystick.push_back({nullptr, DWORD(offsetof(DIJOYSTATE2, rgbButtons)) + i,
                                    DIDFT_BUTTON | kAny | DIDFT_OPTIONAL, 0});
        }
    }
};

const StandardFormats& Formats() {
    static const StandardFormats formats;
    return formats;
}

std::atomic<bool> directInputMissing{false};

class DirectInputObject final : public IDirectInputA {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectInputA)) {
            AddRef();
            *object = static_cast<IDirectInputA*>(this);
            return DI_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT CreateDevice(const GUID& instance, IDirectInputDeviceA** device,
                         IUnknown* outer) override {
        if (device == nullptr) return E_POINTER;
        *device = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        for (const DIDEVICEINSTANCEA& known : List(0)) {
            if (!IsEqualGUID(known.guidInstance, instance)) continue;
            *device = platform::MakeDirectInputDevice(known);
            return *device != nullptr ? DI_OK : DIERR_OUTOFMEMORY;
        }
        return DIERR_DEVICENOTREG;
    }

    HRESULT EnumDevices(DWORD type, LPDIENUMDEVICESCALLBACKA callback, void* context,
                        DWORD) override {
        if (callback == nullptr || type > DIDEVTYPE_JOYSTICK) return DIERR_INVALIDPARAM;
        for (const DIDEVICEINSTANCEA& instance : List(type))
            if (callback(&instance, context) == DIENUM_STOP) break;
        return DI_OK;
    }

    HRESULT GetDeviceStatus(const GUID& instance) override {
        for (const DIDEVICEINSTANCEA& known : List(0))
            if (IsEqualGUID(known.guidInstance, instance)) return DI_OK;
        return DIERR_DEVICENOTREG;
    }

    HRESULT RunControlPanel(HWND, DWORD) override { return DIERR_GENERIC; }

private:
    ~DirectInputObject() = default;

    // The attached devices of a type (0 for all): joysticks, the mouse, the keyboard.
    static std::vector<DIDEVICEINSTANCEA> List(DWORD type) {
        std::vector<DIDEVICEINSTANCEA> list;
        if (type == 0 || type == DIDEVTYPE_JOYSTICK) {
            for (const platform::JoystickIdentity& joystick : platform::ListJoysticks())
                list.push_back(platform::JoystickInstance(joystick));
        }
        if (type == 0 || type == DIDEVTYPE_MOUSE)
            list.push_back(platform::SystemInstance(GUID_SysMouse, DIDEVTYPE_MOUSE,
                                                    DIDEVTYPEMOUSE_TRADITIONAL, "Mouse"));
        if (type == 0 || type == DIDEVTYPE_KEYBOARD)
            list.push_back(platform::SystemInstance(GUID_SysKeyboard, DIDEVTYPE_KEYBOARD,
                                                    DIDEVTYPEKEYBOARD_PCENH, "Keyboard"));
        return list;
    }

    std::atomic<ULONG> references_{1};
};

HRESULT DirectInputCreateA(HINSTANCE, DWORD version, IDirectInputA** directInput, IUnknown* outer) {
    if (directInput == nullptr) return E_POINTER;
    *directInput = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (version < 0x300) return DIERR_OLDDIRECTINPUTVERSION;
    *directInput = new (std::nothrow) DirectInputObject;
    return *directInput != nullptr ? DI_OK : DIERR_OUTOFMEMORY;
}

FARPROC DirectInputExports(LPCSTR name) {
    if (directInputMissing) return nullptr;
    if (std::strcmp(name, "DirectInputCreateA") == 0)
        return reinterpret_cast<FARPROC>(&DirectInputCreateA);
    return nullptr;
}

} // namespace

const DIDATAFORMAT c_dfDIMouse = {
    sizeof(DIDATAFORMAT),  sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, sizeof(DIMOUSESTATE), 7,
    Formats().mouse.data()};
const DIDATAFORMAT c_dfDIKeyboard = {
    sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), 0, 256, 256, Formats().keyboard.data()};
const DIDATAFORMAT c_dfDIJoystick2 = {
    sizeof(DIDATAFORMAT),     sizeof(DIOBJECTDATAFORMAT), DIDF_ABSAXIS, sizeof(DIJOYSTATE2), 164,
    Formats().joystick.data()};

DWORD DirectInputKeyOfVirtualKey(int vKey) {
    static const std::array<BYTE, 256> keys = [] {
        std::array<BYTE, 256> table{};
        for (int code = 255; code > 0; --code) {
            int key = platform::VirtualKeyOfScan(code & 0x7F, (code & 0x80) != 0);
            if (key > 0 && key < 256) table[size_t(key)] = BYTE(code);
        }
        table[VK_SHIFT] = table[VK_LSHIFT];
        table[VK_CONTROL] = table[VK_LCONTROL];
        table[VK_MENU] = table[VK_LMENU];
        return table;
    }();
    return vKey > 0 && vKey < 256 ? keys[size_t(vKey)] : 0;
}

namespace platform {

void RegisterDirectInputModule() {
    RegisterBuiltInModule("DInput.DLL", directInputMissing ? nullptr : &DirectInputExports);
}

} // namespace platform

void platform::test::SetDirectInputMissing(bool missing) {
    directInputMissing = missing;
    platform::RegisterDirectInputModule();
}
