// A joystick's force-feedback device as the DirectInput effects drive it: SDL's haptic
// device of the joystick, or a device a test puts in its place (SDL's virtual joysticks
// have none). Effects are described in SDL's terms, without SDL's headers.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/input/dinput_effect.h"

namespace platform {

// The kinds of effect a device plays, as bits of `ForceFeedbackDevice::Supported`.
enum FFKind : uint32_t {
    kFFConstant = 1u << 0,
    kFFSine = 1u << 1,
    kFFTriangle = 1u << 3,
    kFFSawtoothUp = 1u << 4,
    kFFSawtoothDown = 1u << 5,
    kFFRamp = 1u << 6,
    kFFSpring = 1u << 7,
    kFFDamper = 1u << 8,
    kFFInertia = 1u << 9,
    kFFFriction = 1u << 10,
    kFFCustom = 1u << 11,
};
// Device features beside the kinds.
inline constexpr uint32_t kFFGain = 1u << 12;
inline constexpr uint32_t kFFAutocenter = 1u << 13;
inline constexpr uint32_t kFFPause = 1u << 15;
inline constexpr uint32_t kFFInfinity = 0xFFFFFFFFu;

// Directions: cartesian vectors, polar or spherical hundredths of degrees.
enum class FFDirectionKind : uint8_t { Polar = 0, Cartesian = 1, Spherical = 2 };

struct FFEnvelope {
    uint16_t attackLength = 0;
    uint16_t attackLevel = 0;
    uint16_t fadeLength = 0;
    uint16_t fadeLevel = 0;
};

// One effect in the device's units: forces -32767..32767 (levels 0..32767), times in
// milliseconds, kFFInfinity for ever.
struct FFEffect {
    FFKind kind = kFFConstant;
    FFDirectionKind directionKind = FFDirectionKind::Cartesian;
    int32_t direction[3] = {0, 0, 0};
    uint32_t length = 0;
    uint16_t delay = 0;
    // 0 for none, else the joystick button number + 1.
    uint16_t button = 0;
    uint16_t interval = 0;
    // Constant force.
    int16_t level = 0;
    // Ramp.
    int16_t start = 0, end = 0;
    // Periodic.
    uint16_t period = 0;
    int16_t magnitude = 0;
    int16_t offset = 0;
    uint16_t phase = 0;
    // Conditions, per axis.
    uint16_t rightSaturation[3] = {0, 0, 0};
    uint16_t leftSaturation[3] = {0, 0, 0};
    int16_t rightCoefficient[3] = {0, 0, 0};
    int16_t leftCoefficient[3] = {0, 0, 0};
    uint16_t deadBand[3] = {0, 0, 0};
    int16_t centre[3] = {0, 0, 0};
    // Custom: channels interleaved, `samples` per channel.
    uint8_t channels = 0;
    uint16_t samples = 0;
    std::vector<uint16_t> data;
    FFEnvelope envelope;
};

class ForceFeedbackDevice {
public:
    virtual ~ForceFeedbackDevice() = default;
    // FFKind bits and the features.
    virtual uint32_t Supported() = 0;
    virtual int Axes() = 0;
    // The device's id of the new effect; -1 when it cannot take it.
    virtual int NewEffect(const FFEffect& effect) = 0;
    virtual bool UpdateEffect(int id, const FFEffect& effect) = 0;
    virtual bool RunEffect(int id, uint32_t iterations) = 0;
    virtual bool StopEffect(int id) = 0;
    virtual void DestroyEffect(int id) = 0;
    virtual bool Playing(int id) = 0;
    // Percentages.
    virtual bool SetGain(int gain) = 0;
    virtual bool SetAutocenter(int autocenter) = 0;
    virtual bool Pause() = 0;
    virtual bool Unpause() = 0;
    virtual bool StopAll() = 0;
};

// The force-feedback device of the joystick with that SDL instance; null when it has none.
std::shared_ptr<ForceFeedbackDevice> OpenForceFeedback(int32_t instance);

// What the DirectInput names of the kinds, in DirectInput's order, are.
struct FFKindInfo {
    FFKind kind;
    const GUID* guid;
    DWORD type;
    const char* name;
};
const std::vector<FFKindInfo>& ForceFeedbackKinds();
// The kind an effect identity stands for; false for none we play.
bool KindOfEffectGuid(const GUID& guid, FFKind& kind);

// The device's effect for DirectInput's parameters, with the device's `axes` (the offsets of
// the effect's axes are already checked). False when the parameters cannot describe an
// effect of the kind (a type-specific block of the wrong size, custom samples that are not
// whole frames of the channels); `truncated` tells that a value was clipped to the device's
// range.
bool MapEffect(FFKind kind, const DIEFFECT& effect, FFEffect& mapped, bool& truncated);

} // namespace platform

namespace platform::test {

// The joystick `id` (AttachVirtualJoystick's) plays effects on `device` from now on.
void AttachForceFeedback(int id, std::shared_ptr<platform::ForceFeedbackDevice> device);
// Back to the machine's devices only.
void DetachForceFeedback();
// Makes a pad with force feedback through the kernel's uinput, which accepts every effect
// the kernel uploads and counts the ones played: its joystick id, or -1 where /dev/uinput
// cannot be written (or SDL does not see the pad).
int MakeUinputForceFeedbackJoystick();
// Effects the uinput pad was asked to play since it was made.
int UinputEffectsPlayed();
void RemoveUinputJoystick();

} // namespace platform::test
