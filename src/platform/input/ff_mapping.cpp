#include <algorithm>
#include <cstring>

#include "platform/input/ff_device.h"

namespace {

constexpr GUID EffectGuid(DWORD first) {
    return GUID{first, 0x5A4F, 0x11D0, {0x7A, 0x6F, 0x72, 0x76, 0x46, 0x46, 0x00, 0x00}};
}

} // namespace

const GUID GUID_ConstantForce = EffectGuid(0x5A4F0101);
const GUID GUID_RampForce = EffectGuid(0x5A4F0102);
const GUID GUID_Square = EffectGuid(0x5A4F0103);
const GUID GUID_Sine = EffectGuid(0x5A4F0104);
const GUID GUID_Triangle = EffectGuid(0x5A4F0105);
const GUID GUID_SawtoothUp = EffectGuid(0x5A4F0106);
const GUID GUID_SawtoothDown = EffectGuid(0x5A4F0107);
const GUID GUID_Spring = EffectGuid(0x5A4F0108);
const GUID GUID_Damper = EffectGuid(0x5A4F0109);
const GUID GUID_Inertia = EffectGuid(0x5A4F010A);
const GUID GUID_Friction = EffectGuid(0x5A4F010B);
const GUID GUID_CustomForce = EffectGuid(0x5A4F010C);

const IID IID_IDirectInputEffect = EffectGuid(0x5A4F0100);

namespace platform {
namespace {

constexpr int64_t kNominal = DI_FFNOMINALMAX;

// A force -10000..10000 of DirectInput, after the effect's gain, in the device's range.
int16_t Force(LONG value, DWORD gain, bool& truncated) {
    int64_t clipped = std::clamp<int64_t>(value, -kNominal, kNominal);
    if (clipped != value) truncated = true;
    int64_t scaled = clipped * int64_t(gain) / kNominal;
    return int16_t(scaled * 32767 / kNominal);
}

// A level 0..10000 (a periodic magnitude, an envelope's level) as a force.
int16_t Level(DWORD value, DWORD gain, bool& truncated) {
    return Force(LONG(std::min<DWORD>(value, DWORD(kNominal) + 1)), gain, truncated);
}

// 0..10000 over the whole unsigned range of the device.
uint16_t Span(int64_t value, bool& truncated) {
    int64_t clipped = std::clamp<int64_t>(value, 0, kNominal);
    if (clipped != value) truncated = true;
    return uint16_t(clipped * 65535 / kNominal);
}

// Microseconds as whole milliseconds, a part of one counting as one.
uint32_t Milliseconds(DWORD microseconds) {
    if (microseconds == DI_INFINITE) return kFFInfinity;
    return uint32_t((uint64_t(microseconds) + 999) / 1000);
}

uint16_t ShortMilliseconds(DWORD microseconds, bool& truncated) {
    uint32_t value = Milliseconds(microseconds);
    if (value > 0xFFFF) {
        truncated = true;
        return 0xFFFF;
    }
    return uint16_t(value);
}

template <class Block> bool TakeBlock(const DIEFFECT& effect, Block& block) {
    if (effect.cbTypeSpecificParams != sizeof(Block) || effect.lpvTypeSpecificParams == nullptr)
        return false;
    std::memcpy(&block, effect.lpvTypeSpecificParams, sizeof block);
    return true;
}

bool MapCondition(const DIEFFECT& effect, FFEffect& mapped, bool& truncated) {
    DWORD blocks = effect.cbTypeSpecificParams / sizeof(DICONDITION);
    if (effect.lpvTypeSpecificParams == nullptr ||
        effect.cbTypeSpecificParams % sizeof(DICONDITION) != 0 ||
        (blocks != 1 && blocks != effect.cAxes))
        return false;
    for (DWORD axis = 0; axis < 3; ++axis) {
        DICONDITION condition;
        std::memcpy(&condition,
                    static_cast<const char*>(effect.lpvTypeSpecificParams) +
                        sizeof condition * (blocks == 1 ? 0 : std::min(axis, blocks - 1)),
                    sizeof condition);
        mapped.centre[axis] = Force(condition.lOffset, kNominal, truncated);
        mapped.rightCoefficient[axis] =
            Force(condition.lPositiveCoefficient, effect.dwGain, truncated);
        mapped.leftCoefficient[axis] =
            Force(condition.lNegativeCoefficient, effect.dwGain, truncated);
        mapped.rightSaturation[axis] =
            Span(int64_t(condition.dwPositiveSaturation) * effect.dwGain / kNominal, truncated);
        mapped.leftSaturation[axis] =
            Span(int64_t(condition.dwNegativeSaturation) * effect.dwGain / kNominal, truncated);
        mapped.deadBand[axis] = Span(condition.lDeadBand, truncated);
    }
    return true;
}

bool MapCustom(const DIEFFECT& effect, FFEffect& mapped, bool& truncated) {
    DICUSTOMFORCE custom;
    if (!TakeBlock(effect, custom)) return false;
    if (custom.cChannels == 0 || custom.cChannels > 0xFF ||
        custom.cSamples % custom.cChannels != 0 ||
        (custom.cSamples != 0 && custom.rglForceData == nullptr))
        return false;
    DWORD frames = custom.cSamples / custom.cChannels;
    if (frames > 0xFFFF) {
        truncated = true;
        frames = 0xFFFF;
    }
    mapped.channels = uint8_t(custom.cChannels);
    mapped.samples = uint16_t(frames);
    DWORD period = custom.dwSamplePeriod != 0 ? custom.dwSamplePeriod : effect.dwSamplePeriod;
    mapped.period = ShortMilliseconds(period, truncated);
    mapped.data.resize(size_t(frames) * custom.cChannels);
    for (size_t i = 0; i < mapped.data.size(); ++i)
        mapped.data[i] = uint16_t(Force(custom.rglForceData[i], effect.dwGain, truncated));
    return true;
}

} // namespace

const std::vector<FFKindInfo>& ForceFeedbackKinds() {
    constexpr DWORD kEnvelope = DIEFT_FFATTACK | DIEFT_FFFADE;
    constexpr DWORD kCondition = DIEFT_CONDITION | DIEFT_SATURATION | DIEFT_POSNEGCOEFFICIENTS |
                                 DIEFT_POSNEGSATURATION | DIEFT_DEADBAND;
    static const std::vector<FFKindInfo> kinds = {
        {kFFConstant, &GUID_ConstantForce, DIEFT_CONSTANTFORCE | kEnvelope, "Constant Force"},
        {kFFRamp, &GUID_RampForce, DIEFT_RAMPFORCE | kEnvelope, "Ramp Force"},
        {kFFSine, &GUID_Sine, DIEFT_PERIODIC | kEnvelope, "Sine"},
        {kFFTriangle, &GUID_Triangle, DIEFT_PERIODIC | kEnvelope, "Triangle"},
        {kFFSawtoothUp, &GUID_SawtoothUp, DIEFT_PERIODIC | kEnvelope, "Sawtooth Up"},
        {kFFSawtoothDown, &GUID_SawtoothDown, DIEFT_PERIODIC | kEnvelope, "Sawtooth Down"},
        {kFFSpring, &GUID_Spring, kCondition, "Spring"},
        {kFFDamper, &GUID_Damper, kCondition, "Damper"},
        {kFFInertia, &GUID_Inertia, kCondition, "Inertia"},
        {kFFFriction, &GUID_Friction, kCondition, "Friction"},
        {kFFCustom, &GUID_CustomForce, DIEFT_CUSTOMFORCE | kEnvelope, "Custom Force"},
    };
    return kinds;
}

bool KindOfEffectGuid(const GUID& guid, FFKind& kind) {
    for (const FFKindInfo& info : ForceFeedbackKinds()) {
        if (IsEqualGUID(*info.guid, guid)) {
            kind = info.kind;
            return true;
        }
    }
    return false;
}

bool MapEffect(FFKind kind, const DIEFFECT& effect, FFEffect& mapped, bool& truncated) {
    mapped = FFEffect{};
    truncated = false;
    mapped.kind = kind;
    DWORD gain = effect.dwGain;
    if (gain > kNominal) {
        truncated = true;
        gain = kNominal;
    }
    DIEFFECT scaled = effect;
    scaled.dwGain = gain;

    mapped.length = Milliseconds(effect.dwDuration);
    if (effect.dwTriggerButton != DIEB_NOTRIGGER) {
        if (effect.dwTriggerButton < kFirstButtonOffset ||
            effect.dwTriggerButton > kLastButtonOffset)
            return false;
        mapped.button = uint16_t(effect.dwTriggerButton - kFirstButtonOffset + 1);
    }
    mapped.interval = ShortMilliseconds(effect.dwTriggerRepeatInterval, truncated);

    if (effect.dwFlags & DIEFF_POLAR)
        mapped.directionKind = FFDirectionKind::Polar;
    else if (effect.dwFlags & DIEFF_SPHERICAL)
        mapped.directionKind = FFDirectionKind::Spherical;
    if (effect.rglDirection != nullptr)
        for (DWORD i = 0; i < effect.cAxes && i < 3; ++i)
            mapped.direction[i] = effect.rglDirection[i];

    if (const DIENVELOPE* envelope = effect.lpEnvelope) {
        mapped.envelope.attackLevel = uint16_t(Level(envelope->dwAttackLevel, gain, truncated));
        mapped.envelope.attackLength = ShortMilliseconds(envelope->dwAttackTime, truncated);
        mapped.envelope.fadeLevel = uint16_t(Level(envelope->dwFadeLevel, gain, truncated));
        mapped.envelope.fadeLength = ShortMilliseconds(envelope->dwFadeTime, truncated);
    }

    switch (kind) {
    case kFFConstant: {
        DICONSTANTFORCE constant;
        if (!TakeBlock(effect, constant)) return false;
        mapped.level = Force(constant.lMagnitude, gain, truncated);
        return true;
    }
    case kFFRamp: {
        DIRAMPFORCE ramp;
        if (!TakeBlock(effect, ramp)) return false;
        mapped.start = Force(ramp.lStart, gain, truncated);
        mapped.end = Force(ramp.lEnd, gain, truncated);
        return true;
    }
    case kFFSine:
    case kFFTriangle:
    case kFFSawtoothUp:
    case kFFSawtoothDown: {
        DIPERIODIC periodic;
        if (!TakeBlock(effect, periodic)) return false;
        mapped.magnitude = Level(periodic.dwMagnitude, gain, truncated);
        mapped.offset = Force(periodic.lOffset, gain, truncated);
        if (periodic.dwPhase >= 36000) truncated = true;
        mapped.phase = uint16_t(periodic.dwPhase % 36000);
        mapped.period = ShortMilliseconds(periodic.dwPeriod, truncated);
        return true;
    }
    case kFFSpring:
    case kFFDamper:
    case kFFInertia:
    case kFFFriction:
        return MapCondition(scaled, mapped, truncated);
    case kFFCustom:
        return MapCustom(scaled, mapped, truncated);
    }
    return false;
}

} // namespace platform
