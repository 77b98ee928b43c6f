// Every opened input device (the Win32 mouse, keyboard and joysticks, and any device a
// test provides) answers one interface: reading controls, device properties and
// force-feedback effects. Each class implements what its hardware offers and inherits a
// neutral answer (0, nothing or -1) for the rest. Devices are read on demand on the
// script thread.
#pragma once

#include <cstdint>
#include <string>

#include "platform/user/hwnd.h"

class InputDevice {
public:
    // Family codes.
    static constexpr int32_t kWin32Family = 1;
    static constexpr int32_t kDirectInputFamily = 2;

    InputDevice(int32_t index, int32_t family) : deviceIndex(index), familyCode(family) {}
    virtual ~InputDevice() = default;
    InputDevice(const InputDevice&) = delete;
    InputDevice& operator=(const InputDevice&) = delete;

    // 1 when the device is ready for `window`.
    virtual int Attach(HWND, int) { return 1; }
    virtual int32_t GetAxisCount() { return 0; }
    virtual int32_t GetButtonCount() { return 0; }
    virtual int32_t GetPovCount() { return 0; }
    virtual int IsToggleButton(int32_t) { return 0; }
    // 1 while the button (for keyboards the virtual key) is down.
    virtual int GetButton(int32_t) { return 0; }
    // Hundredths of a degree clockwise from forward, or the device's centred value.
    virtual uint32_t GetPov(int32_t) { return 0; }
    virtual int HasForceFeedback() { return 0; }
    // Microseconds.
    virtual uint32_t GetFFSamplePeriod() { return 0; }
    virtual uint32_t GetFFMinTimeResolution() { return 0; }
    virtual int NeedsPoll() { return 0; }
    virtual void Poll() {}
    // Rotations 0..2; 0 where the device has no such reading.
    virtual int32_t GetRotationVelocity(int32_t) { return 0; }
    virtual int32_t GetRotationAcceleration(int32_t) { return 0; }
    virtual int32_t GetRotationForce(int32_t) { return 0; }
    virtual void SetAxisRange(int32_t, int32_t, int32_t) {}
    virtual void GetAxisRange(int32_t, int32_t& minimum, int32_t& maximum) {
        minimum = 0;
        maximum = 0;
    }
    virtual void GetRotationRange(int32_t, int32_t& minimum, int32_t& maximum) {
        minimum = 0;
        maximum = 0;
    }
    // Device properties. Percentages are whole percent; saturation is in hundredths of a
    // percent of the way from the centre. A value the device refuses leaves it unchanged,
    // and setters report nothing.
    virtual void SetAutoCenter(int) {}
    // Non-zero absolute positions, 0 the movement since the previous read.
    virtual void SetAbsoluteAxes(int) {}
    virtual void SetAxisDeadZonePercent(int32_t, int32_t) {}
    virtual void SetDeadZonePercent(int32_t) {}
    virtual void SetFFGainPercent(int32_t) {}
    virtual void SetAxisSaturation(int32_t, uint32_t) {}
    virtual void SetSaturation(uint32_t) {}
    virtual int32_t GetAxis(int32_t) { return 0; }
    virtual int32_t GetRotation(int32_t) { return 0; }
    virtual int GetAutoCenter() { return 0; }
    virtual int IsAbsoluteAxes() { return 0; }
    virtual int32_t GetAxisDeadZonePercent(int32_t) { return 0; }
    virtual int32_t GetDeadZonePercent() { return 0; }
    virtual int32_t GetFFGainPercent() { return 0; }
    virtual uint32_t GetAxisSaturation(int32_t) { return 0; }
    virtual uint32_t GetSaturation() { return 0; }
    virtual uint32_t GetFFLoad() { return 0; }
    virtual uint32_t GetGranularity() { return 1; }
    // Axes 0..4 as for GetAxis; 0 where the device has no such reading.
    virtual int32_t GetAxisVelocity(int32_t) { return 0; }
    virtual int32_t GetAxisAcceleration(int32_t) { return 0; }
    virtual int32_t GetAxisForce(int32_t) { return 0; }
    // Stores the range the manager asks for; what a class does with it is its own.
    virtual int32_t SetRange(int32_t minimum, int32_t maximum) = 0;
    // The dead zone that action evaluation applies, in range units.
    virtual int32_t GetDeadZone() { return 0; }

    // Force feedback: effect types are indexes into the device's list of them, effects
    // indexes in creation order. Creators give the new effect's index or -1; setters 1 when
    // the device took the value; getters 1 when they could read it.
    virtual int32_t CreateEffect(int32_t) { return -1; }
    virtual int32_t CreateConditionEffect(int32_t, int32_t, int32_t, int32_t, uint32_t, uint32_t,
                                          int32_t) {
        return -1;
    }
    virtual int32_t CreateConstantForceEffect(int32_t, int32_t) { return -1; }
    // Channels, sample period, sample count and the samples.
    virtual int32_t CreateCustomForceEffect(int32_t, uint32_t, uint32_t, uint32_t, const int32_t*) {
        return -1;
    }
    virtual int32_t CreateRampForceEffect(int32_t, int32_t, int32_t) { return -1; }
    // Magnitude, offset, phase, period.
    virtual int32_t CreatePeriodicEffect(int32_t, uint32_t, int32_t, uint32_t, uint32_t) {
        return -1;
    }
    virtual int32_t LoadEffectFile(const char*) { return -1; }
    virtual void DownloadEffect(int32_t) {}
    virtual void UnloadEffect(int32_t) {}
    // Axis numbers 0..4.
    virtual int SetEffectAxes(int32_t, const int32_t*, int32_t) { return 0; }
    virtual int SetEffectDuration(int32_t, uint32_t) { return 0; }
    virtual int SetEffectGain(int32_t, uint32_t) { return 0; }
    virtual int SetEffectSamplePeriod(int32_t, uint32_t) { return 0; }
    // A button number; -1 for none.
    virtual int SetEffectTriggerButton(int32_t, int32_t) { return 0; }
    virtual int SetEffectTriggerDelay(int32_t, int32_t) { return 0; }
    virtual int SetEffectTriggerInterval(int32_t, int32_t) { return 0; }
    virtual void StopAllEffects() {}
    virtual void PauseEffects() {}
    virtual void ResetEffects() {}
    virtual void SetActuators(int) {}
    virtual void ContinueEffects() {}
    virtual void StartEffect(int32_t, int32_t, int32_t) {}
    virtual void StopEffect(int32_t) {}
    virtual int ClearEffectEnvelope(int32_t) { return 0; }
    // Attack level, attack time, fade level, fade time.
    virtual int SetEffectEnvelope(int32_t, uint32_t, uint32_t, uint32_t, uint32_t) { return 0; }
    // Axis numbers and the direction along each.
    virtual int SetEffectDirection(int32_t, const int32_t*, const int32_t*, int32_t) { return 0; }
    virtual int GetEffectAxisCount(int32_t, int32_t&) { return 0; }
    // Up to `count` axis numbers.
    virtual int GetEffectAxes(int32_t, int32_t*, int32_t) { return 0; }
    virtual int GetEffectDirectionCount(int32_t, int32_t&) { return 0; }
    virtual int GetEffectDirection(int32_t, int32_t*, int32_t*, int32_t) { return 0; }
    virtual int HasEffectEnvelope(int32_t) { return 0; }
    virtual int GetEffectEnvelope(int32_t, uint32_t&, uint32_t&, uint32_t&, uint32_t&) { return 0; }
    virtual int GetEffectDuration(int32_t, uint32_t&) { return 0; }
    virtual int GetEffectGain(int32_t, uint32_t&) { return 0; }
    virtual int GetEffectSamplePeriod(int32_t, uint32_t&) { return 0; }
    // The button number, -1 for none.
    virtual int GetEffectTriggerButton(int32_t, int32_t&) { return 0; }
    virtual int GetEffectTriggerInterval(int32_t, uint32_t&) { return 0; }
    virtual int32_t GetEffectTypeCount() { return 0; }
    virtual std::string GetEffectTypeName(int32_t) { return {}; }
    // 1 common, 2 condition, 3 constant force, 4 custom force, 5 ramp, 6 periodic; 0
    // outside the list.
    virtual int32_t GetEffectCategory(int32_t) { return 0; }
    // The effect-type index a created effect was made with; -1 for no such effect.
    virtual int32_t GetEffectTypeOf(int32_t) { return -1; }

    // The device's record in the device table.
    int32_t deviceIndex;
    int32_t familyCode;
};

// The base of the Win32 devices: the stored range is never used by them.
class Win32InputDevice : public InputDevice {
public:
    explicit Win32InputDevice(int32_t index) : InputDevice(index, kWin32Family) {}
    int32_t SetRange(int32_t minimum, int32_t maximum) override {
        rangeMinimum = minimum;
        rangeMaximum = maximum;
        rangeSet = 1;
        return minimum;
    }

    int32_t rangeMinimum = -65535;
    int32_t rangeMaximum = 65535;
    int32_t rangeSet = 0;
};
