#include "platform/input/dinput_device.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "platform/display/display_backend.h"
#include "platform/input/ff_host.h"
#include "platform/user/input/input.h"
#include "platform/user/input/input_routing.h"
#include "platform/user/input/keyboard_state.h"
#include "platform/user/window_geometry.h"
#include "platform/user/windows.h"

namespace platform {
namespace {

// A joystick's instance identity carries its SDL instance number.
constexpr DWORD kJoystickGuidMark = 0x5A4F1000;

GUID JoystickGuid(int32_t instance) {
    GUID guid{kJoystickGuidMark, 4, 0x11D0, {0x7A, 0x6F, 0x72, 0x76, 0, 0, 0, 0}};
    auto value = static_cast<uint32_t>(instance);
    for (int i = 0; i < 4; ++i)
        guid.Data4[4 + i] = static_cast<BYTE>(value >> (8 * i));
    return guid;
}

void CopyName(char (&target)[260], const std::string& name) {
    std::memset(target, 0, sizeof target);
    std::memcpy(target, name.data(), std::min(name.size(), sizeof target - 1));
}

enum class Kind { Keyboard, Mouse, Joystick };

// Exclusive foreground mice acquired now; while there is one the display holds the
// pointer and reports its movement only.
int heldMice = 0;

void HoldMouse(bool hold) {
    int before = heldMice;
    heldMice += hold ? 1 : -1;
    if ((before == 0) != (heldMice == 0)) ActiveDisplay().SetRelativeMouse(heldMice > 0);
}

// Axis objects by their offset in DIJOYSTATE2: the six axes and two sliders of the
// positions block.
constexpr int kJoystickAxes = 8;

struct AxisSettings {
    LONG minimum = 0;
    LONG maximum = 65535;
    DWORD deadZone = 0;
    DWORD saturation = 10000;
};

// A raw position (-32768..32767) scaled into the axis range through its dead zone and
// saturation, both in hundredths of a percent of the way from the centre.
LONG ScaleAxis(int16_t raw, const AxisSettings& axis) {
    int64_t low = axis.minimum, high = axis.maximum;
    int64_t centre = low + (high - low) / 2;
    int64_t distance = raw < 0 ? -int64_t{raw} * 10000 / 32768 : int64_t{raw} * 10000 / 32767;
    int64_t deadZone = std::min<int64_t>(axis.deadZone, 10000);
    int64_t saturation = std::clamp<int64_t>(axis.saturation, deadZone, 10000);
    int64_t fraction;
    if (distance <= deadZone)
        fraction = 0;
    else if (distance >= saturation)
        fraction = 10000;
    else
        fraction = (distance - deadZone) * 10000 / (saturation - deadZone);
    int64_t span = raw < 0 ? centre - low : high - centre;
    int64_t value = raw < 0 ? centre - span * fraction / 10000 : centre + span * fraction / 10000;
    return static_cast<LONG>(value);
}

// A change between two positions of a range wider than half the 32-bit span can exceed it.
LONG Clamped(int64_t value) {
    return static_cast<LONG>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

class DeviceObject final : public IDirectInputDevice2A {
public:
    DeviceObject(Kind kind, const DIDEVICEINSTANCEA& instance, int32_t joystick)
        : kind_(kind), instance_(instance), joystick_(joystick) {
        if (kind == Kind::Joystick) {
            if (auto device = OpenForceFeedback(joystick))
                forceFeedback_ = std::make_unique<ForceFeedbackHost>(std::move(device));
        }
    }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectInputDeviceA) ||
            IsEqualGUID(iid, IID_IDirectInputDevice2A)) {
            AddRef();
            *object = static_cast<IDirectInputDevice2A*>(this);
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

    HRESULT GetCapabilities(DIDEVCAPS* caps) override {
        if (caps == nullptr || caps->dwSize < sizeof(DIDEVCAPS)) return DIERR_INVALIDPARAM;
        DWORD size = caps->dwSize;
        std::memset(caps, 0, sizeof *caps);
        caps->dwSize = size;
        caps->dwFlags = DIDC_ATTACHED;
        caps->dwDevType = instance_.dwDevType;
        switch (kind_) {
        case Kind::Keyboard:
            caps->dwButtons = 128;
            break;
        case Kind::Mouse:
            caps->dwAxes = 3;
            caps->dwButtons = 3;
            break;
        case Kind::Joystick: {
            JoystickSnapshot state;
            if (!ReadJoystick(joystick_, state)) caps->dwFlags = 0;
            caps->dwAxes = DWORD(std::min<size_t>(state.axes.size(), kJoystickAxes));
            caps->dwButtons = DWORD(std::min<size_t>(state.buttons.size(), 128));
            caps->dwPOVs = DWORD(std::min<size_t>(state.hats.size(), 4));
            if (forceFeedback_ != nullptr) caps->dwFlags |= DIDC_FORCEFEEDBACK;
            break;
        }
        }
        return DI_OK;
    }

    HRESULT GetProperty(DIPROPID property, DIPROPHEADER* header) override {
        int axis = 0;
        if (HRESULT checked = CheckProperty(property, header, axis); checked != DI_OK)
            return checked;
        const AxisSettings& settings = axes_[size_t(std::max(axis, 0))];
        switch (property) {
        case DIPROP_RANGE: {
            auto* range = reinterpret_cast<DIPROPRANGE*>(header);
            range->lMin = settings.minimum;
            range->lMax = settings.maximum;
            return DI_OK;
        }
        case DIPROP_DEADZONE:
            return Answer(header, settings.deadZone);
        case DIPROP_SATURATION:
            return Answer(header, settings.saturation);
        case DIPROP_AXISMODE:
            return Answer(header, axisMode_);
        case DIPROP_AUTOCENTER:
            return Answer(header, autoCenter_);
        case DIPROP_FFGAIN:
            return Answer(header, ffGain_);
        case DIPROP_FFLOAD:
        case DIPROP_BUFFERSIZE:
            return Answer(header, 0);
        case DIPROP_GRANULARITY:
            return Answer(header, 1);
        default:
            return DIERR_UNSUPPORTED;
        }
    }

    HRESULT SetProperty(DIPROPID property, const DIPROPHEADER* header) override {
        int axis = 0;
        if (HRESULT checked = CheckProperty(property, header, axis); checked != DI_OK)
            return checked;
        const auto* value = reinterpret_cast<const DIPROPDWORD*>(header);
        auto apply = [&](auto change) {
            if (axis >= 0)
                change(axes_[size_t(axis)]);
            else
                for (AxisSettings& settings : axes_)
                    change(settings);
        };
        switch (property) {
        case DIPROP_RANGE: {
            const auto* range = reinterpret_cast<const DIPROPRANGE*>(header);
            if (range->lMin >= range->lMax) return DIERR_INVALIDPARAM;
            apply([range](AxisSettings& s) {
                s.minimum = range->lMin;
                s.maximum = range->lMax;
            });
            return DI_OK;
        }
        case DIPROP_DEADZONE:
        case DIPROP_SATURATION: {
            if (value->dwData > 10000) return DIERR_INVALIDPARAM;
            bool deadZone = property == DIPROP_DEADZONE;
            apply([value, deadZone](AxisSettings& s) {
                (deadZone ? s.deadZone : s.saturation) = value->dwData;
            });
            return DI_OK;
        }
        case DIPROP_AXISMODE:
            if (acquired_) return DIERR_ACQUIRED;
            SetAxisMode(value->dwData == DIPROPAXISMODE_REL ? DIPROPAXISMODE_REL
                                                            : DIPROPAXISMODE_ABS);
            return DI_OK;
        case DIPROP_AUTOCENTER:
            autoCenter_ = value->dwData != 0 ? 1 : 0;
            if (forceFeedback_ != nullptr) forceFeedback_->SetAutocenter(autoCenter_ != 0);
            return DI_OK;
        case DIPROP_FFGAIN:
            if (value->dwData > 10000) return DIERR_INVALIDPARAM;
            ffGain_ = value->dwData;
            if (forceFeedback_ != nullptr) forceFeedback_->SetGain(ffGain_);
            return DI_OK;
        case DIPROP_BUFFERSIZE:
            return DI_OK;
        default:
            return DIERR_UNSUPPORTED;
        }
    }

    HRESULT Acquire() override {
        if (format_ == nullptr) return DIERR_INVALIDPARAM;
        if (acquired_) return DI_NOEFFECT;
        if (!InForeground()) return DIERR_OTHERAPPHASPRIO;
        SetAcquired(true);
        if (kind_ == Kind::Mouse) {
            // Movement from before the device was taken is not the game's.
            LONG x, y, wheel;
            TakeMouseMotion(x, y, wheel);
        }
        return DI_OK;
    }

    HRESULT Unacquire() override {
        if (!acquired_) return DI_NOEFFECT;
        SetAcquired(false);
        return DI_OK;
    }

    HRESULT GetDeviceState(DWORD size, void* data) override {
        if (data == nullptr || format_ == nullptr || size != format_->dwDataSize)
            return DIERR_INVALIDPARAM;
        if (!acquired_) return DIERR_NOTACQUIRED;
        if (!InForeground()) {
            SetAcquired(false);
            return DIERR_INPUTLOST;
        }
        std::memset(data, 0, size);
        switch (kind_) {
        case Kind::Keyboard:
            ReadKeyboard(static_cast<BYTE*>(data));
            return DI_OK;
        case Kind::Mouse:
            ReadMouse(*static_cast<DIMOUSESTATE*>(data));
            return DI_OK;
        case Kind::Joystick:
            return ReadJoystickState(*static_cast<DIJOYSTATE2*>(data));
        }
        return DIERR_GENERIC;
    }

    HRESULT SetDataFormat(const DIDATAFORMAT* format) override {
        if (format == nullptr) return DIERR_INVALIDPARAM;
        if (acquired_) return DIERR_ACQUIRED;
        const DIDATAFORMAT* expected = kind_ == Kind::Keyboard ? &c_dfDIKeyboard
                                       : kind_ == Kind::Mouse  ? &c_dfDIMouse
                                                               : &c_dfDIJoystick2;
        if (format->dwDataSize != expected->dwDataSize) return DIERR_INVALIDPARAM;
        format_ = expected;
        SetAxisMode((format->dwFlags & DIDF_RELAXIS) != 0 ? DIPROPAXISMODE_REL
                                                           : DIPROPAXISMODE_ABS);
        return DI_OK;
    }

    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override {
        bool exclusive = (flags & DISCL_EXCLUSIVE) != 0, shared = (flags & DISCL_NONEXCLUSIVE) != 0;
        bool foreground = (flags & DISCL_FOREGROUND) != 0,
             background = (flags & DISCL_BACKGROUND) != 0;
        if (exclusive == shared || foreground == background) return DIERR_INVALIDPARAM;
        if (acquired_) return DIERR_ACQUIRED;
        if (window == 0 || !IsWindow(window)) return DIERR_INVALIDPARAM;
        window_ = window;
        cooperation_ = flags;
        return DI_OK;
    }

    HRESULT GetObjectInfo(DIDEVICEOBJECTINSTANCEA* info, DWORD object, DWORD how) override {
        if (info == nullptr || info->dwSize < sizeof(DIDEVICEOBJECTINSTANCEA) ||
            how != DIPH_BYOFFSET)
            return DIERR_INVALIDPARAM;
        const DIDATAFORMAT& format = kind_ == Kind::Keyboard ? c_dfDIKeyboard
                                     : kind_ == Kind::Mouse  ? c_dfDIMouse
                                                             : c_dfDIJoystick2;
        for (DWORD i = 0; i < format.dwNumObjs; ++i) {
            const DIOBJECTDATAFORMAT& entry = format.rgodf[i];
            if (entry.dwOfs != object) continue;
            DWORD size = info->dwSize;
            std::memset(info, 0, sizeof *info);
            info->dwSize = size;
            info->guidType = entry.pguid != nullptr ? *entry.pguid : GUID_Button;
            info->dwOfs = entry.dwOfs;
            DWORD kindBits = entry.dwType & (DIDFT_AXIS | DIDFT_BUTTON | DIDFT_POV);
            if (kindBits & DIDFT_AXIS)
                kindBits = kind_ == Kind::Mouse ? DIDFT_RELAXIS : DIDFT_ABSAXIS;
            else if (kindBits & DIDFT_BUTTON)
                kindBits = DIDFT_PSHBUTTON;
            info->dwType = kindBits | DIDFT_MAKEINSTANCE(i);
            std::string name = entry.pguid == &GUID_Key ? "Key" : "Object";
            CopyName(info->tszName, name + " " + std::to_string(i));
            return DI_OK;
        }
        return DIERR_NOTFOUND;
    }

    HRESULT GetDeviceInfo(DIDEVICEINSTANCEA* info) override {
        if (info == nullptr || info->dwSize < sizeof(DIDEVICEINSTANCEA)) return DIERR_INVALIDPARAM;
        *info = instance_;
        return DI_OK;
    }

    HRESULT RunControlPanel(HWND, DWORD) override { return DIERR_GENERIC; }

    HRESULT Poll() override {
        if (!acquired_) return DIERR_NOTACQUIRED;
        return DI_NOEFFECT;
    }

    HRESULT CreateEffect(const GUID& kind, const DIEFFECT* parameters, IDirectInputEffect** effect,
                         IUnknown* outer) override {
        if (effect != nullptr) *effect = nullptr;
        if (forceFeedback_ == nullptr) return DIERR_UNSUPPORTED;
        return forceFeedback_->CreateEffect(kind, parameters, effect, outer);
    }

    HRESULT EnumEffects(LPDIENUMEFFECTSCALLBACKA callback, void* context, DWORD type) override {
        if (forceFeedback_ == nullptr) return callback != nullptr ? DI_OK : DIERR_INVALIDPARAM;
        return forceFeedback_->EnumEffects(callback, context, type);
    }

    HRESULT SendForceFeedbackCommand(DWORD command) override {
        if (forceFeedback_ == nullptr) return DIERR_UNSUPPORTED;
        return forceFeedback_->SendForceFeedbackCommand(command);
    }

private:
    ~DeviceObject() { SetAcquired(false); }

    void SetAcquired(bool acquired) {
        if (acquired == acquired_) return;
        acquired_ = acquired;
        bool holds = kind_ == Kind::Mouse && (cooperation_ & DISCL_EXCLUSIVE) &&
                     (cooperation_ & DISCL_FOREGROUND);
        if (holds) HoldMouse(acquired);
    }

    HRESULT Answer(DIPROPHEADER* header, DWORD value) {
        reinterpret_cast<DIPROPDWORD*>(header)->dwData = value;
        return DI_OK;
    }

    // Checks the header's sizes and addressing; `axis` is the axis index (0..7) of a
    // per-object request, -1 for the whole device.
    HRESULT CheckProperty(DIPROPID property, const DIPROPHEADER* header, int& axis) {
        if (header == nullptr || header->dwHeaderSize != sizeof(DIPROPHEADER))
            return DIERR_INVALIDPARAM;
        size_t needed = property == DIPROP_RANGE ? sizeof(DIPROPRANGE) : sizeof(DIPROPDWORD);
        if (header->dwSize < needed) return DIERR_INVALIDPARAM;
        bool axisProperty = property == DIPROP_RANGE || property == DIPROP_DEADZONE ||
                            property == DIPROP_SATURATION;
        if (axisProperty && kind_ != Kind::Joystick) return DIERR_UNSUPPORTED;
        bool forceProperty =
            property == DIPROP_AUTOCENTER || property == DIPROP_FFGAIN || property == DIPROP_FFLOAD;
        if (forceProperty && kind_ != Kind::Joystick) return DIERR_UNSUPPORTED;
        if (header->dwHow == DIPH_DEVICE) {
            if (header->dwObj != 0) return DIERR_INVALIDPARAM;
            axis = -1;
            return DI_OK;
        }
        if (header->dwHow != DIPH_BYOFFSET || !axisProperty) return DIERR_INVALIDPARAM;
        if (header->dwObj % 4 != 0 || header->dwObj >= kJoystickAxes * 4) return DIERR_NOTFOUND;
        axis = int(header->dwObj / 4);
        return DI_OK;
    }

    // Foreground devices work while their window's top-level window is the active one.
    bool InForeground() const {
        if (!(cooperation_ & DISCL_FOREGROUND)) return true;
        HWND active = GetForegroundWindow();
        return active != 0 && (active == window_ || IsChild(active, window_));
    }

    static void ReadKeyboard(BYTE* keys) {
        for (int code = 1; code < 256; ++code) {
            int vKey = VirtualKeyOfScan(code & 0x7F, (code & 0x80) != 0);
            if (vKey == 0) continue;
            bool down = GetAsyncKeyState(vKey) < 0;
            // A Shift, Control or Alt reported without its side counts as the left one.
            int generic = vKey == VK_LSHIFT     ? VK_SHIFT
                          : vKey == VK_LCONTROL ? VK_CONTROL
                          : vKey == VK_LMENU    ? VK_MENU
                                                : 0;
            if (generic != 0 && !down) {
                int right = generic == VK_SHIFT     ? VK_RSHIFT
                            : generic == VK_CONTROL ? VK_RCONTROL
                                                    : VK_RMENU;
                down = GetAsyncKeyState(generic) < 0 && GetAsyncKeyState(right) >= 0;
            }
            keys[code] = down ? 0x80 : 0;
        }
    }

    void ReadMouse(DIMOUSESTATE& state) {
        TakeMouseMotion(state.lX, state.lY, state.lZ);
        if (axisMode_ == DIPROPAXISMODE_ABS) {
            // Absolute mouse axes are the sum of the movement read since the device was made.
            LONG* fields[3] = {&state.lX, &state.lY, &state.lZ};
            for (size_t i = 0; i < 3; ++i) {
                // Wraps as a 32-bit counter would.
                mouseTotal_[i] = LONG(uint32_t(mouseTotal_[i]) + uint32_t(*fields[i]));
                *fields[i] = mouseTotal_[i];
            }
        }
        const int buttons[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
        for (int i = 0; i < 3; ++i)
            state.rgbButtons[i] = GetAsyncKeyState(buttons[i]) < 0 ? 0x80 : 0;
    }

    // The positions of the snapshot in the axes' ranges, in the order of DIJOYSTATE2.
    std::array<LONG, kJoystickAxes> Positions(const JoystickSnapshot& snapshot) const {
        std::array<LONG, kJoystickAxes> positions{};
        for (size_t i = 0; i < kJoystickAxes; ++i)
            positions[i] = ScaleAxis(i < snapshot.axes.size() ? snapshot.axes[i] : 0, axes_[i]);
        return positions;
    }

    void SetAxisMode(DWORD mode) {
        if (mode == DIPROPAXISMODE_REL && axisMode_ != mode && kind_ == Kind::Joystick) {
            // Relative joystick axes give the change from the positions held when the mode
            // changed, then from each read's.
            JoystickSnapshot snapshot;
            lastPositions_ = ReadJoystick(joystick_, snapshot) ? Positions(snapshot)
                                                                : Positions(JoystickSnapshot{});
        }
        axisMode_ = mode;
    }

    HRESULT ReadJoystickState(DIJOYSTATE2& state) {
        JoystickSnapshot snapshot;
        if (!ReadJoystick(joystick_, snapshot)) {
            SetAcquired(false);
            return DIERR_INPUTLOST;
        }
        LONG* fields[kJoystickAxes] = {&state.lX,           &state.lY,          &state.lZ,
                                       &state.lRx,          &state.lRy,         &state.lRz,
                                       &state.rglSlider[0], &state.rglSlider[1]};
        std::array<LONG, kJoystickAxes> positions = Positions(snapshot);
        for (size_t i = 0; i < kJoystickAxes; ++i) {
            *fields[i] = axisMode_ == DIPROPAXISMODE_REL
                             ? Clamped(int64_t{positions[i]} - lastPositions_[i])
                             : positions[i];
        }
        lastPositions_ = positions;
        for (size_t i = 0; i < 4; ++i)
            state.rgdwPOV[i] =
                HatHundredths(i < snapshot.hats.size() ? snapshot.hats[i] : 0, 0xFFFFFFFFu);
        for (size_t i = 0; i < snapshot.buttons.size() && i < 128; ++i)
            state.rgbButtons[i] = snapshot.buttons[i] != 0 ? 0x80 : 0;
        return DI_OK;
    }

    const Kind kind_;
    const DIDEVICEINSTANCEA instance_;
    const int32_t joystick_;
    std::atomic<ULONG> references_{1};
    const DIDATAFORMAT* format_ = nullptr;
    HWND window_ = 0;
    DWORD cooperation_ = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    bool acquired_ = false;
    std::array<AxisSettings, kJoystickAxes> axes_{};
    DWORD axisMode_ = DIPROPAXISMODE_ABS;
    std::array<LONG, 3> mouseTotal_{};
    std::array<LONG, kJoystickAxes> lastPositions_{};
    DWORD autoCenter_ = 1;
    DWORD ffGain_ = 10000;
    std::unique_ptr<ForceFeedbackHost> forceFeedback_;
};

} // namespace

DIDEVICEINSTANCEA SystemInstance(const GUID& instance, DWORD type, DWORD subType,
                                 const char* name) {
    DIDEVICEINSTANCEA record{};
    record.dwSize = sizeof record;
    record.guidInstance = instance;
    record.guidProduct = instance;
    record.dwDevType = type | subType << 8;
    CopyName(record.tszInstanceName, name);
    CopyName(record.tszProductName, name);
    return record;
}

DIDEVICEINSTANCEA JoystickInstance(const JoystickIdentity& joystick) {
    DIDEVICEINSTANCEA record{};
    record.dwSize = sizeof record;
    record.guidInstance = JoystickGuid(joystick.instance);
    std::memcpy(&record.guidProduct.Data1, joystick.guid.data(), 4);
    std::memcpy(&record.guidProduct.Data2, joystick.guid.data() + 4, 2);
    std::memcpy(&record.guidProduct.Data3, joystick.guid.data() + 6, 2);
    std::memcpy(record.guidProduct.Data4, joystick.guid.data() + 8, 8);
    record.dwDevType = DIDEVTYPE_JOYSTICK | DWORD(joystick.subType) << 8;
    CopyName(record.tszInstanceName, joystick.name);
    CopyName(record.tszProductName, joystick.name);
    return record;
}

IDirectInputDeviceA* MakeDirectInputDevice(const DIDEVICEINSTANCEA& instance) {
    DWORD type = instance.dwDevType & 0xFF;
    Kind kind = type == DIDEVTYPE_KEYBOARD ? Kind::Keyboard
                : type == DIDEVTYPE_MOUSE  ? Kind::Mouse
                                           : Kind::Joystick;
    int32_t joystick = -1;
    if (kind == Kind::Joystick) {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= uint32_t{instance.guidInstance.Data4[4 + i]} << (8 * i);
        joystick = static_cast<int32_t>(value);
    }
    return new (std::nothrow) DeviceObject(kind, instance, joystick);
}

} // namespace platform
