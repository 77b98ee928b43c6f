#include "input/directinput_devices.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "input/device_table.h"
#include "platform/kernel/clock.h"
#include "platform/user/input/input.h"

namespace {

// Axes 0..4 of the control-name table: X, Y, the third axis and the two sliders.
constexpr DWORD kAxisOffsets[5] = {offsetof(DIJOYSTATE2, lX), offsetof(DIJOYSTATE2, lY),
                                   offsetof(DIJOYSTATE2, lZ), offsetof(DIJOYSTATE2, rglSlider),
                                   offsetof(DIJOYSTATE2, rglSlider) + 4};
constexpr DWORD kRotationOffsets[3] = {offsetof(DIJOYSTATE2, lRx), offsetof(DIJOYSTATE2, lRy),
                                       offsetof(DIJOYSTATE2, lRz)};
// The blocks of the state, each laid out as the positions are.
constexpr DWORD kPositions = 0;
constexpr DWORD kVelocities = offsetof(DIJOYSTATE2, lVX);
constexpr DWORD kAccelerations = offsetof(DIJOYSTATE2, lAX);
constexpr DWORD kForces = offsetof(DIJOYSTATE2, lFX);
static_assert(offsetof(DIJOYSTATE2, rglVSlider) - kVelocities == offsetof(DIJOYSTATE2, rglSlider));
static_assert(offsetof(DIJOYSTATE2, lFRz) - kForces == offsetof(DIJOYSTATE2, lRz));

// The percentage in hundredths of a percent; false when no 32-bit value holds it.
bool Hundredths(int32_t percent, DWORD& value) {
    int64_t scaled = int64_t{percent} * 100;
    if (scaled < 0 || scaled > int64_t{UINT32_MAX}) return false;
    value = DWORD(scaled);
    return true;
}

// The position at an axis object's offset in the state.
LONG FieldAt(const DIJOYSTATE2& state, DWORD offset) {
    LONG value;
    std::memcpy(&value, reinterpret_cast<const char*>(&state) + offset, sizeof value);
    return value;
}

template <class Header> Header PropertyHeader(DWORD how, DWORD object) {
    Header value{};
    value.diph.dwSize = sizeof(Header);
    value.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    value.diph.dwHow = how;
    value.diph.dwObj = object;
    return value;
}

} // namespace

DWORD DirectInputKeyOf(int vKey) {
    return DirectInputKeyOfVirtualKey(vKey);
}

DirectInputDevice::~DirectInputDevice() {
    if (device_ != nullptr) {
        device_->Unacquire();
        device_->Release();
    }
}

bool DirectInputDevice::Create(const DIDATAFORMAT& format) {
    IDirectInputA* directInput = GetDirectInput();
    const InputDeviceInfo* record = GetInputDeviceInfo(deviceIndex);
    if (directInput == nullptr || record == nullptr) return false;
    IDirectInputDeviceA* created = nullptr;
    if (directInput->CreateDevice(record->instanceGuid, &created, nullptr) < 0) return false;
    void* second = nullptr;
    HRESULT asked = created->QueryInterface(IID_IDirectInputDevice2A, &second);
    created->Release();
    if (asked < 0) return false;
    device_ = static_cast<IDirectInputDevice2A*>(second);
    if (device_->SetDataFormat(&format) < 0) {
        device_->Release();
        device_ = nullptr;
        return false;
    }
    for (DWORD i = 0; i < format.dwNumObjs; ++i) {
        const DIOBJECTDATAFORMAT& object = format.rgodf[i];
        if (object.dwType & DIDFT_AXIS)
            axes_.push_back(object.dwOfs);
        else if (object.dwType & DIDFT_BUTTON)
            buttons_.push_back(object.dwOfs);
        else if (object.dwType & DIDFT_POV)
            hats_.push_back(object.dwOfs);
    }
    return true;
}

int32_t DirectInputDevice::GetAxisCount() {
    DIDEVCAPS caps{};
    caps.dwSize = sizeof caps;
    if (device_ == nullptr || device_->GetCapabilities(&caps) < 0) return 0;
    return int32_t(caps.dwAxes);
}

int32_t DirectInputDevice::GetButtonCount() {
    DIDEVCAPS caps{};
    caps.dwSize = sizeof caps;
    if (device_ == nullptr || device_->GetCapabilities(&caps) < 0) return 0;
    return int32_t(caps.dwButtons);
}

uint32_t DirectInputDevice::GetFFLoad() {
    return ReadDword(DIPROP_FFLOAD, DIPH_DEVICE, 0);
}

uint32_t DirectInputDevice::GetGranularity() {
    return ReadDword(DIPROP_GRANULARITY, DIPH_DEVICE, 0);
}

DWORD DirectInputDevice::ReadDword(DIPROPID property, DWORD how, DWORD object) {
    auto value = PropertyHeader<DIPROPDWORD>(how, object);
    if (device_ == nullptr || device_->GetProperty(property, &value.diph) < 0) return 0;
    return value.dwData;
}

void DirectInputDevice::WriteDword(DIPROPID property, DWORD how, DWORD object, DWORD value) {
    auto header = PropertyHeader<DIPROPDWORD>(how, object);
    header.dwData = value;
    if (device_ != nullptr) device_->SetProperty(property, &header.diph);
}

bool DirectInputDevice::ReadRange(DWORD offset, int32_t& minimum, int32_t& maximum) {
    auto range = PropertyHeader<DIPROPRANGE>(DIPH_BYOFFSET, offset);
    minimum = 0;
    maximum = 0;
    if (device_ == nullptr || device_->GetProperty(DIPROP_RANGE, &range.diph) < 0) return false;
    minimum = range.lMin;
    maximum = range.lMax;
    return true;
}

void DirectInputDevice::WriteRange(DWORD offset, int32_t minimum, int32_t maximum) {
    auto range = PropertyHeader<DIPROPRANGE>(DIPH_BYOFFSET, offset);
    range.lMin = minimum;
    range.lMax = maximum;
    if (device_ != nullptr) device_->SetProperty(DIPROP_RANGE, &range.diph);
}

void DirectInputAxisDevice::SetAbsoluteAxes(int absolute) {
    // The mode cannot change while the device is acquired, and every read acquires it; the
    // next read acquires it again.
    if (device_ == nullptr) return;
    device_->Unacquire();
    WriteDword(DIPROP_AXISMODE, DIPH_DEVICE, 0,
               absolute != 0 ? DIPROPAXISMODE_ABS : DIPROPAXISMODE_REL);
}

int DirectInputAxisDevice::IsAbsoluteAxes() {
    BeforeProperty();
    return ReadDword(DIPROP_AXISMODE, DIPH_DEVICE, 0) == DIPROPAXISMODE_ABS ? 1 : 0;
}

void DirectInputAxisDevice::SetAxisDeadZonePercent(int32_t axis, int32_t percent) {
    DWORD offset = 0, value = 0;
    if (!AxisOffset(axis, offset) || !Hundredths(percent, value)) return;
    BeforeProperty();
    WriteDword(DIPROP_DEADZONE, DIPH_BYOFFSET, offset, value);
}

void DirectInputAxisDevice::SetDeadZonePercent(int32_t percent) {
    DWORD value = 0;
    if (!Hundredths(percent, value)) return;
    BeforeProperty();
    WriteDword(DIPROP_DEADZONE, DIPH_DEVICE, 0, value);
}

void DirectInputAxisDevice::SetAxisSaturation(int32_t axis, uint32_t value) {
    DWORD offset = 0;
    if (!AxisOffset(axis, offset)) return;
    BeforeProperty();
    WriteDword(DIPROP_SATURATION, DIPH_BYOFFSET, offset, value);
}

void DirectInputAxisDevice::SetSaturation(uint32_t value) {
    BeforeProperty();
    WriteDword(DIPROP_SATURATION, DIPH_DEVICE, 0, value);
}

int32_t DirectInputAxisDevice::GetAxisDeadZonePercent(int32_t axis) {
    DWORD offset = 0;
    if (!AxisOffset(axis, offset)) return 0;
    BeforeProperty();
    return int32_t(ReadDword(DIPROP_DEADZONE, DIPH_BYOFFSET, offset) / 100);
}

int32_t DirectInputAxisDevice::GetDeadZonePercent() {
    BeforeProperty();
    return int32_t(ReadDword(DIPROP_DEADZONE, DIPH_DEVICE, 0) / 100);
}

uint32_t DirectInputAxisDevice::GetAxisSaturation(int32_t axis) {
    DWORD offset = 0;
    if (!AxisOffset(axis, offset)) return 0;
    BeforeProperty();
    return ReadDword(DIPROP_SATURATION, DIPH_BYOFFSET, offset);
}

uint32_t DirectInputAxisDevice::GetSaturation() {
    BeforeProperty();
    return ReadDword(DIPROP_SATURATION, DIPH_DEVICE, 0);
}

int DirectInputMouse::Attach(HWND window, int exclusive) {
    if (!Create(c_dfDIMouse)) return 0;
    DWORD level =
        exclusive != 0 ? DISCL_EXCLUSIVE | DISCL_FOREGROUND : DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    return device_->SetCooperativeLevel(window, level) >= 0 ? 1 : 0;
}

bool DirectInputMouse::AxisOffset(int32_t axis, DWORD& offset) const {
    if (axis < 0 || axis > 2) return false;
    offset = DWORD(axis) * 4;
    return true;
}

void DirectInputMouse::BeforeProperty() {
    if (device_ != nullptr) device_->Acquire();
}

const DIMOUSESTATE& DirectInputMouse::State() {
    DWORD now = timeGetTime();
    if (everRead_ && now <= lastRead_ + 100) return cached_;
    device_->Acquire();
    if (device_->GetDeviceState(sizeof cached_, &cached_) < 0) cached_ = DIMOUSESTATE{};
    lastRead_ = now;
    everRead_ = true;
    return cached_;
}

int DirectInputMouse::GetButton(int32_t button) {
    if (button < 0 || button > 3) return 0;
    return (State().rgbButtons[button] & 0x80) != 0 ? 1 : 0;
}

int32_t DirectInputMouse::GetAxis(int32_t axis) {
    const DIMOUSESTATE& state = State();
    switch (axis) {
    case 0:
        return state.lX;
    case 1:
        return state.lY;
    case 2:
        return state.lZ;
    default:
        return 0;
    }
}

void DirectInputMouse::GetAxisRange(int32_t axis, int32_t& minimum, int32_t& maximum) {
    if (rangeSet != 0) {
        minimum = rangeMinimum;
        maximum = rangeMaximum;
        return;
    }
    device_->Acquire();
    if (axis < 0 || axis > 2 || !ReadRange(DWORD(axis) * 4, minimum, maximum)) {
        minimum = 0;
        maximum = 0;
    }
}

void DirectInputMouse::SetAxisRange(int32_t axis, int32_t minimum, int32_t maximum) {
    if (rangeSet == 0 && axis >= 0 && axis <= 2) WriteRange(DWORD(axis) * 4, minimum, maximum);
}

int DirectInputKeyboard::Attach(HWND window, int exclusive) {
    if (!Create(c_dfDIKeyboard)) return 0;
    DWORD level =
        exclusive != 0 ? DISCL_EXCLUSIVE | DISCL_BACKGROUND : DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    device_->SetCooperativeLevel(window, level);
    return 1;
}

int DirectInputKeyboard::IsToggleButton(int32_t button) {
    if (button < 0 || size_t(button) >= buttons_.size()) return 0;
    DIDEVICEOBJECTINSTANCEA info{};
    info.dwSize = sizeof info;
    if (device_->GetObjectInfo(&info, buttons_[size_t(button)], DIPH_BYOFFSET) < 0) return 0;
    return (info.dwType & DIDFT_TGLBUTTON) != 0 ? 1 : 0;
}

int DirectInputKeyboard::GetButton(int32_t code) {
    BYTE keys[256] = {};
    device_->Acquire();
    if (device_->GetDeviceState(sizeof keys, keys) < 0) return 0;
    auto down = [&keys](int vKey) {
        DWORD key = DirectInputKeyOf(vKey);
        return key < 256 && (keys[key] & 0x80) != 0;
    };
    switch (code) {
    case VK_SHIFT:
        return down(VK_LSHIFT) || down(VK_RSHIFT) ? 1 : 0;
    case VK_CONTROL:
        return down(VK_LCONTROL) || down(VK_RCONTROL) ? 1 : 0;
    case VK_MENU:
        return down(VK_LMENU) || down(VK_RMENU) ? 1 : 0;
    default:
        return down(code) ? 1 : 0;
    }
}

int DirectInputJoystick::Attach(HWND window, int exclusive) {
    if (!Create(c_dfDIJoystick2)) return 0;
    DWORD level =
        exclusive != 0 ? DISCL_EXCLUSIVE | DISCL_BACKGROUND : DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    device_->SetCooperativeLevel(window, level);
    if (HasForceFeedback() != 0) ListEffectTypes();
    return 1;
}

bool DirectInputJoystick::AxisOffset(int32_t axis, DWORD& offset) const {
    if (axis < 0 || axis >= 5) return false;
    offset = kAxisOffsets[axis];
    return true;
}

bool DirectInputJoystick::Read(DIJOYSTATE2& state) {
    device_->Acquire();
    return device_->GetDeviceState(sizeof state, &state) >= 0;
}

int32_t DirectInputJoystick::ReadAt(DWORD offset) {
    DIJOYSTATE2 state{};
    return Read(state) ? FieldAt(state, offset) : 0;
}

int32_t DirectInputJoystick::ReadAxisOf(DWORD block, int32_t axis) {
    return axis >= 0 && axis < 5 ? ReadAt(block + kAxisOffsets[axis]) : 0;
}

int32_t DirectInputJoystick::ReadRotationOf(DWORD block, int32_t rotation) {
    return rotation >= 0 && rotation < 3 ? ReadAt(block + kRotationOffsets[rotation]) : 0;
}

DIDEVCAPS DirectInputJoystick::Capabilities() {
    DIDEVCAPS caps{};
    caps.dwSize = sizeof caps;
    if (device_->GetCapabilities(&caps) < 0) {
        caps = DIDEVCAPS{};
        caps.dwSize = sizeof caps;
    }
    return caps;
}

DWORD DirectInputJoystick::CapabilityFlags() {
    return Capabilities().dwFlags;
}

int32_t DirectInputJoystick::GetPovCount() {
    return int32_t(Capabilities().dwPOVs);
}

uint32_t DirectInputJoystick::GetFFSamplePeriod() {
    return Capabilities().dwFFSamplePeriod;
}

uint32_t DirectInputJoystick::GetFFMinTimeResolution() {
    return Capabilities().dwFFMinTimeResolution;
}

int DirectInputJoystick::GetButton(int32_t button) {
    DIJOYSTATE2 state{};
    if (button < 0 || button > 127 || !Read(state)) return 0;
    return (state.rgbButtons[button] & 0x80) != 0 ? 1 : 0;
}

uint32_t DirectInputJoystick::GetPov(int32_t hat) {
    DIJOYSTATE2 state{};
    if (hat < 0 || hat > 3 || !Read(state)) return 0;
    return state.rgdwPOV[hat];
}

int DirectInputJoystick::HasForceFeedback() {
    return (CapabilityFlags() & DIDC_FORCEFEEDBACK) != 0 ? 1 : 0;
}

int DirectInputJoystick::NeedsPoll() {
    return (CapabilityFlags() & DIDC_POLLEDDEVICE) != 0 ? 1 : 0;
}

void DirectInputJoystick::Poll() {
    device_->Poll();
}

int32_t DirectInputJoystick::GetRotationVelocity(int32_t rotation) {
    return ReadRotationOf(kVelocities, rotation);
}

int32_t DirectInputJoystick::GetRotationAcceleration(int32_t rotation) {
    return ReadRotationOf(kAccelerations, rotation);
}

int32_t DirectInputJoystick::GetRotationForce(int32_t rotation) {
    return ReadRotationOf(kForces, rotation);
}

int32_t DirectInputJoystick::GetAxisVelocity(int32_t axis) {
    return ReadAxisOf(kVelocities, axis);
}

int32_t DirectInputJoystick::GetAxisAcceleration(int32_t axis) {
    return ReadAxisOf(kAccelerations, axis);
}

int32_t DirectInputJoystick::GetAxisForce(int32_t axis) {
    return ReadAxisOf(kForces, axis);
}

void DirectInputJoystick::SetAxisRange(int32_t axis, int32_t minimum, int32_t maximum) {
    if (axis >= 0 && axis < 5) WriteRange(kAxisOffsets[axis], minimum, maximum);
}

void DirectInputJoystick::GetAxisRange(int32_t axis, int32_t& minimum, int32_t& maximum) {
    minimum = 0;
    maximum = 0;
    if (axis >= 0 && axis < 5) ReadRange(kAxisOffsets[axis], minimum, maximum);
}

void DirectInputJoystick::GetRotationRange(int32_t rotation, int32_t& minimum, int32_t& maximum) {
    minimum = 0;
    maximum = 0;
    if (rotation >= 0 && rotation < 3) ReadRange(kRotationOffsets[rotation], minimum, maximum);
}

void DirectInputJoystick::SetAutoCenter(int on) {
    WriteDword(DIPROP_AUTOCENTER, DIPH_DEVICE, 0, on != 0 ? 1 : 0);
}

void DirectInputJoystick::SetFFGainPercent(int32_t percent) {
    DWORD value = 0;
    if (Hundredths(percent, value)) WriteDword(DIPROP_FFGAIN, DIPH_DEVICE, 0, value);
}

int32_t DirectInputJoystick::GetAxis(int32_t axis) {
    return ReadAxisOf(kPositions, axis);
}

int32_t DirectInputJoystick::GetRotation(int32_t rotation) {
    return ReadRotationOf(kPositions, rotation);
}

int DirectInputJoystick::GetAutoCenter() {
    return ReadDword(DIPROP_AUTOCENTER, DIPH_DEVICE, 0) == 1 ? 1 : 0;
}

int32_t DirectInputJoystick::GetFFGainPercent() {
    return int32_t(ReadDword(DIPROP_FFGAIN, DIPH_DEVICE, 0) / 100);
}
