// The devices opened when input goes through DirectInput: the mouse (its movement read at
// most every 100 ms, a read in between repeating the last one), the keyboard (the key
// state by DirectInput key code) and the joysticks (the extended joystick state, read on
// every call). Each holds its DirectInput device interface while it lives.
#pragma once

#include <string>
#include <vector>

#include "input/input_device.h"
#include "platform/input/dinput.h"

class DirectInputDevice : public InputDevice {
public:
    explicit DirectInputDevice(int32_t index) : InputDevice(index, kDirectInputFamily) {}
    ~DirectInputDevice() override;

    // From the device's capabilities; 0 when they cannot be read.
    int32_t GetAxisCount() override;
    int32_t GetButtonCount() override;
    // The device-wide properties; 0 when they cannot be read.
    uint32_t GetFFLoad() override;
    uint32_t GetGranularity() override;
    int32_t SetRange(int32_t minimum, int32_t maximum) override {
        rangeMinimum = minimum;
        rangeMaximum = maximum;
        rangeSet = 1;
        return minimum;
    }

    int32_t rangeMinimum = -65535;
    int32_t rangeMaximum = 65535;
    int32_t rangeSet = 0;

protected:
    // Makes the device interface of the record and gives it `format`; its objects are
    // sorted into axes, buttons and hats. False (nothing kept) on failure.
    bool Create(const DIDATAFORMAT& format);
    // A device-wide or per-axis (by offset) property.
    DWORD ReadDword(DIPROPID property, DWORD how, DWORD object);
    void WriteDword(DIPROPID property, DWORD how, DWORD object, DWORD value);
    bool ReadRange(DWORD offset, int32_t& minimum, int32_t& maximum);
    void WriteRange(DWORD offset, int32_t minimum, int32_t maximum);

    IDirectInputDevice2A* device_ = nullptr;
    std::vector<DWORD> axes_, buttons_, hats_;
};

// The axis properties of the mouse and the joysticks: per-axis ones name the axis object by
// its offset in the device's state, the others the whole device. Dead zones go to the device
// in hundredths of a percent; a percentage no 32-bit value holds is not passed on, as the
// device would refuse it anyway.
class DirectInputAxisDevice : public DirectInputDevice {
public:
    using DirectInputDevice::DirectInputDevice;

    void SetAbsoluteAxes(int absolute) override;
    void SetAxisDeadZonePercent(int32_t axis, int32_t percent) override;
    void SetDeadZonePercent(int32_t percent) override;
    void SetAxisSaturation(int32_t axis, uint32_t value) override;
    void SetSaturation(uint32_t value) override;
    int IsAbsoluteAxes() override;
    int32_t GetAxisDeadZonePercent(int32_t axis) override;
    int32_t GetDeadZonePercent() override;
    uint32_t GetAxisSaturation(int32_t axis) override;
    uint32_t GetSaturation() override;

protected:
    // False for an axis the device does not have.
    virtual bool AxisOffset(int32_t axis, DWORD& offset) const = 0;
    // Runs before each property call.
    virtual void BeforeProperty() {}
};

class DirectInputMouse final : public DirectInputAxisDevice {
public:
    using DirectInputAxisDevice::DirectInputAxisDevice;

    int Attach(HWND window, int exclusive) override;
    int GetButton(int32_t button) override;
    int32_t GetAxis(int32_t axis) override;
    void GetAxisRange(int32_t axis, int32_t& minimum, int32_t& maximum) override;
    void SetAxisRange(int32_t axis, int32_t minimum, int32_t maximum) override;

private:
    bool AxisOffset(int32_t axis, DWORD& offset) const override;
    void BeforeProperty() override;
    const DIMOUSESTATE& State();

    DWORD lastRead_ = 0;
    bool everRead_ = false;
    DIMOUSESTATE cached_{};
};

class DirectInputKeyboard final : public DirectInputDevice {
public:
    using DirectInputDevice::DirectInputDevice;

    int Attach(HWND window, int exclusive) override;
    int IsToggleButton(int32_t button) override;
    int GetButton(int32_t code) override;
};

class DirectInputJoystick final : public DirectInputAxisDevice {
public:
    static constexpr int32_t kDeadZone = 2000;

    using DirectInputAxisDevice::DirectInputAxisDevice;

    int Attach(HWND window, int exclusive) override;
    int32_t GetPovCount() override;
    int GetButton(int32_t button) override;
    uint32_t GetPov(int32_t hat) override;
    int HasForceFeedback() override;
    uint32_t GetFFSamplePeriod() override;
    uint32_t GetFFMinTimeResolution() override;
    int NeedsPoll() override;
    void Poll() override;
    // Velocity, acceleration and force: the state's fields of the same axis or rotation.
    int32_t GetRotationVelocity(int32_t rotation) override;
    int32_t GetRotationAcceleration(int32_t rotation) override;
    int32_t GetRotationForce(int32_t rotation) override;
    int32_t GetAxisVelocity(int32_t axis) override;
    int32_t GetAxisAcceleration(int32_t axis) override;
    int32_t GetAxisForce(int32_t axis) override;
    void SetAxisRange(int32_t axis, int32_t minimum, int32_t maximum) override;
    void GetAxisRange(int32_t axis, int32_t& minimum, int32_t& maximum) override;
    void GetRotationRange(int32_t rotation, int32_t& minimum, int32_t& maximum) override;
    void SetAutoCenter(int on) override;
    void SetFFGainPercent(int32_t percent) override;
    int32_t GetAxis(int32_t axis) override;
    int32_t GetRotation(int32_t rotation) override;
    int GetAutoCenter() override;
    int32_t GetFFGainPercent() override;
    int32_t GetDeadZone() override { return kDeadZone; }
    ~DirectInputJoystick() override;

    // Force feedback (directinput_effects.cpp): the effect types are listed when the
    // joystick attaches.
    int32_t CreateEffect(int32_t type) override;
    int32_t CreateConditionEffect(int32_t type, int32_t offset, int32_t positiveCoefficient,
                                  int32_t negativeCoefficient, uint32_t positiveSaturation,
                                  uint32_t negativeSaturation, int32_t deadBand) override;
    int32_t CreateConstantForceEffect(int32_t type, int32_t magnitude) override;
    int32_t CreateCustomForceEffect(int32_t type, uint32_t channels, uint32_t samplePeriod,
                                    uint32_t samples, const int32_t* data) override;
    int32_t CreateRampForceEffect(int32_t type, int32_t start, int32_t end) override;
    int32_t CreatePeriodicEffect(int32_t type, uint32_t magnitude, int32_t offset, uint32_t phase,
                                 uint32_t period) override;
    int32_t LoadEffectFile(const char* path) override;
    void DownloadEffect(int32_t effect) override;
    void UnloadEffect(int32_t effect) override;
    int SetEffectAxes(int32_t effect, const int32_t* axes, int32_t count) override;
    int SetEffectDuration(int32_t effect, uint32_t duration) override;
    int SetEffectGain(int32_t effect, uint32_t gain) override;
    int SetEffectSamplePeriod(int32_t effect, uint32_t period) override;
    int SetEffectTriggerButton(int32_t effect, int32_t button) override;
    int SetEffectTriggerInterval(int32_t effect, int32_t interval) override;
    void StopAllEffects() override;
    void PauseEffects() override;
    void ResetEffects() override;
    void SetActuators(int on) override;
    void ContinueEffects() override;
    void StartEffect(int32_t effect, int32_t iterations, int32_t flags) override;
    void StopEffect(int32_t effect) override;
    int ClearEffectEnvelope(int32_t effect) override;
    int SetEffectEnvelope(int32_t effect, uint32_t attackLevel, uint32_t attackTime,
                          uint32_t fadeLevel, uint32_t fadeTime) override;
    int SetEffectDirection(int32_t effect, const int32_t* axes, const int32_t* values,
                           int32_t count) override;
    int GetEffectAxisCount(int32_t effect, int32_t& count) override;
    int GetEffectAxes(int32_t effect, int32_t* axes, int32_t count) override;
    int GetEffectDirectionCount(int32_t effect, int32_t& count) override;
    int GetEffectDirection(int32_t effect, int32_t* axes, int32_t* values, int32_t count) override;
    int HasEffectEnvelope(int32_t effect) override;
    int GetEffectEnvelope(int32_t effect, uint32_t& attackLevel, uint32_t& attackTime,
                          uint32_t& fadeLevel, uint32_t& fadeTime) override;
    int GetEffectDuration(int32_t effect, uint32_t& duration) override;
    int GetEffectGain(int32_t effect, uint32_t& gain) override;
    int GetEffectSamplePeriod(int32_t effect, uint32_t& period) override;
    int GetEffectTriggerButton(int32_t effect, int32_t& button) override;
    int GetEffectTriggerInterval(int32_t effect, uint32_t& interval) override;
    int32_t GetEffectTypeCount() override;
    std::string GetEffectTypeName(int32_t type) override;
    int32_t GetEffectCategory(int32_t type) override;
    int32_t GetEffectTypeOf(int32_t effect) override;

private:
    struct EffectType {
        DIEFFECTINFOA info;
        int32_t category;
    };
    struct CreatedEffect {
        IDirectInputEffect* effect;
        int32_t type;
    };

    bool AxisOffset(int32_t axis, DWORD& offset) const override;
    bool Read(DIJOYSTATE2& state);
    // The state's value at an offset; 0 when it cannot be read.
    int32_t ReadAt(DWORD offset);
    // The axis's or rotation's field in a block of the state (positions, velocities,
    // accelerations or forces); 0 for one the state does not hold.
    int32_t ReadAxisOf(DWORD block, int32_t axis);
    int32_t ReadRotationOf(DWORD block, int32_t rotation);
    DIDEVCAPS Capabilities();
    DWORD CapabilityFlags();
    void ListEffectTypes();
    // The effect of the type with its category's block; its index or -1.
    int32_t Make(int32_t type, const void* block, DWORD size);
    // Null for an index outside the created effects.
    IDirectInputEffect* EffectAt(int32_t effect);
    int Change(int32_t effect, DIEFFECT& parameters, DWORD field);
    bool ReadEffect(int32_t effect, DIEFFECT& parameters, DWORD field);

    std::vector<EffectType> effectTypes_;
    std::vector<CreatedEffect> effects_;
};

// The DirectInput key code of a virtual key (the fixed table, then the scan code).
DWORD DirectInputKeyOf(int vKey);
