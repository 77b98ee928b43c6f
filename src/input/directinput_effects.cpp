// The DirectInput joystick's force-feedback effects.
#include <algorithm>
#include <cstring>

#include "input/directinput_devices.h"
#include "input/effect_file.h"

namespace {

// Axis numbers 0..4 as the offsets of their objects in the extended joystick state.
constexpr DWORD kAxisOffsets[5] = {0, 4, 8, 24, 28};
constexpr int32_t kMostAxes = 8;
constexpr int32_t kButtons = 128;
constexpr int32_t kConditionCategory = 2;
constexpr int32_t kConstantCategory = 3;
constexpr int32_t kCustomCategory = 4;
constexpr int32_t kRampCategory = 5;
constexpr int32_t kPeriodicCategory = 6;

int32_t AxisNumberOf(DWORD offset) {
    for (int32_t i = 0; i < 5; ++i)
        if (kAxisOffsets[i] == offset) return i;
    return -1;
}

bool ToOffsets(const int32_t* axes, int32_t count, DWORD* offsets) {
    if (axes == nullptr || count < 1 || count > 5) return false;
    for (int32_t i = 0; i < count; ++i) {
        if (uint32_t(axes[i]) >= 5u) return false;
        offsets[i] = kAxisOffsets[axes[i]];
    }
    return true;
}

DIEFFECT Blank() {
    DIEFFECT parameters{};
    parameters.dwSize = sizeof parameters;
    parameters.dwFlags = DIEFF_CARTESIAN | DIEFF_OBJECTOFFSETS;
    return parameters;
}

bool Succeeded(HRESULT result) {
    return result == DI_OK || result == DI_DOWNLOADSKIPPED || result == DI_EFFECTRESTARTED ||
           result == DI_TRUNCATED || result == DI_TRUNCATEDANDRESTARTED;
}

} // namespace

DirectInputJoystick::~DirectInputJoystick() {
    for (CreatedEffect& created : effects_) {
        created.effect->Stop();
        created.effect->Unload();
        created.effect->Release();
    }
}

void DirectInputJoystick::ListEffectTypes() {
    effectTypes_.clear();
    auto add = [](const DIEFFECTINFOA* info, void* context) -> BOOL {
        auto& types = *static_cast<std::vector<EffectType>*>(context);
        types.push_back({*info, EffectCategoryOf(info->dwEffType)});
        return DIENUM_CONTINUE;
    };
    device_->EnumEffects(add, &effectTypes_, DIEFT_ALL);
}

int32_t DirectInputJoystick::Make(int32_t type, const void* block, DWORD size) {
    if (device_ == nullptr || uint32_t(type) >= effectTypes_.size()) return -1;
    DWORD axes[2] = {kAxisOffsets[0], kAxisOffsets[1]};
    LONG directions[2] = {0, 0};
    DIEFFECT parameters = Blank();
    parameters.dwDuration = DI_INFINITE;
    parameters.dwGain = DI_FFNOMINALMAX;
    parameters.dwTriggerButton = DIEB_NOTRIGGER;
    parameters.cAxes = 2;
    parameters.rgdwAxes = axes;
    parameters.rglDirection = directions;
    parameters.cbTypeSpecificParams = size;
    parameters.lpvTypeSpecificParams = const_cast<void*>(block);
    IDirectInputEffect* effect = nullptr;
    if (device_->CreateEffect(effectTypes_[size_t(type)].info.guid, &parameters, &effect, nullptr) <
            0 ||
        effect == nullptr)
        return -1;
    effects_.push_back({effect, type});
    return int32_t(effects_.size() - 1);
}

int32_t DirectInputJoystick::CreateEffect(int32_t type) {
    DICONDITION condition{};
    DICONSTANTFORCE constant{};
    DICUSTOMFORCE custom{};
    DIRAMPFORCE ramp{};
    DIPERIODIC periodic{};
    custom.cChannels = 1;
    switch (GetEffectCategory(type)) {
    case kConditionCategory:
        return Make(type, &condition, sizeof condition);
    case kConstantCategory:
        return Make(type, &constant, sizeof constant);
    case kCustomCategory:
        return Make(type, &custom, sizeof custom);
    case kRampCategory:
        return Make(type, &ramp, sizeof ramp);
    case kPeriodicCategory:
        return Make(type, &periodic, sizeof periodic);
    default:
        return Make(type, nullptr, 0);
    }
}

// Each typed creator takes only a type of its own category: DirectInput would read the
// block as the type's own.
int32_t DirectInputJoystick::CreateConditionEffect(int32_t type, int32_t offset,
                                                   int32_t positiveCoefficient,
                                                   int32_t negativeCoefficient,
                                                   uint32_t positiveSaturation,
                                                   uint32_t negativeSaturation, int32_t deadBand) {
    if (GetEffectCategory(type) != kConditionCategory) return -1;
    DICONDITION condition{
        offset,  positiveCoefficient, negativeCoefficient, positiveSaturation, negativeSaturation,
        deadBand};
    return Make(type, &condition, sizeof condition);
}

int32_t DirectInputJoystick::CreateConstantForceEffect(int32_t type, int32_t magnitude) {
    if (GetEffectCategory(type) != kConstantCategory) return -1;
    DICONSTANTFORCE constant{magnitude};
    return Make(type, &constant, sizeof constant);
}

int32_t DirectInputJoystick::CreateCustomForceEffect(int32_t type, uint32_t channels,
                                                     uint32_t samplePeriod, uint32_t samples,
                                                     const int32_t* data) {
    if (GetEffectCategory(type) != kCustomCategory || (samples != 0 && data == nullptr)) return -1;
    DICUSTOMFORCE custom{channels, samplePeriod, samples, const_cast<LONG*>(data)};
    return Make(type, &custom, sizeof custom);
}

int32_t DirectInputJoystick::CreateRampForceEffect(int32_t type, int32_t start, int32_t end) {
    if (GetEffectCategory(type) != kRampCategory) return -1;
    DIRAMPFORCE ramp{start, end};
    return Make(type, &ramp, sizeof ramp);
}

int32_t DirectInputJoystick::CreatePeriodicEffect(int32_t type, uint32_t magnitude, int32_t offset,
                                                  uint32_t phase, uint32_t period) {
    if (GetEffectCategory(type) != kPeriodicCategory) return -1;
    DIPERIODIC periodic{magnitude, offset, phase, period};
    return Make(type, &periodic, sizeof periodic);
}

int32_t DirectInputJoystick::LoadEffectFile(const char* path) {
    return ReadEffectFile(*this, path);
}

IDirectInputEffect* DirectInputJoystick::EffectAt(int32_t effect) {
    return uint32_t(effect) < effects_.size() ? effects_[size_t(effect)].effect : nullptr;
}

void DirectInputJoystick::DownloadEffect(int32_t effect) {
    if (IDirectInputEffect* made = EffectAt(effect)) {
        device_->Acquire();
        made->Download();
    }
}

void DirectInputJoystick::UnloadEffect(int32_t effect) {
    if (IDirectInputEffect* made = EffectAt(effect)) {
        device_->Acquire();
        made->Unload();
    }
}

int DirectInputJoystick::Change(int32_t effect, DIEFFECT& parameters, DWORD field) {
    IDirectInputEffect* made = EffectAt(effect);
    if (made == nullptr) return 0;
    if (field & (DIEP_AXES | DIEP_DIRECTION | DIEP_ENVELOPE | DIEP_GAIN)) device_->Acquire();
    return Succeeded(made->SetParameters(&parameters, DIEP_NODOWNLOAD | field)) ? 1 : 0;
}

bool DirectInputJoystick::ReadEffect(int32_t effect, DIEFFECT& parameters, DWORD field) {
    IDirectInputEffect* made = EffectAt(effect);
    return made != nullptr && made->GetParameters(&parameters, field) >= 0;
}

int DirectInputJoystick::SetEffectAxes(int32_t effect, const int32_t* axes, int32_t count) {
    DWORD offsets[5];
    if (!ToOffsets(axes, count, offsets)) return 0;
    DIEFFECT parameters = Blank();
    parameters.cAxes = DWORD(count);
    parameters.rgdwAxes = offsets;
    return Change(effect, parameters, DIEP_AXES);
}

int DirectInputJoystick::SetEffectDuration(int32_t effect, uint32_t duration) {
    DIEFFECT parameters = Blank();
    parameters.dwDuration = duration;
    return Change(effect, parameters, DIEP_DURATION);
}

int DirectInputJoystick::SetEffectGain(int32_t effect, uint32_t gain) {
    DIEFFECT parameters = Blank();
    parameters.dwGain = gain;
    return Change(effect, parameters, DIEP_GAIN);
}

int DirectInputJoystick::SetEffectSamplePeriod(int32_t effect, uint32_t period) {
    DIEFFECT parameters = Blank();
    parameters.dwSamplePeriod = period;
    return Change(effect, parameters, DIEP_SAMPLEPERIOD);
}

int DirectInputJoystick::SetEffectTriggerButton(int32_t effect, int32_t button) {
    if (button != -1 && uint32_t(button) >= uint32_t(kButtons)) return 0;
    DIEFFECT parameters = Blank();
    parameters.dwTriggerButton = button == -1 ? DIEB_NOTRIGGER : kFirstButtonOffset + DWORD(button);
    return Change(effect, parameters, DIEP_TRIGGERBUTTON);
}

int DirectInputJoystick::SetEffectTriggerInterval(int32_t effect, int32_t interval) {
    DIEFFECT parameters = Blank();
    parameters.dwTriggerRepeatInterval = DWORD(interval);
    return Change(effect, parameters, DIEP_TRIGGERREPEATINTERVAL);
}

void DirectInputJoystick::StopAllEffects() {
    device_->SendForceFeedbackCommand(DISFFC_STOPALL);
}

void DirectInputJoystick::PauseEffects() {
    device_->SendForceFeedbackCommand(DISFFC_PAUSE);
}

void DirectInputJoystick::ResetEffects() {
    device_->SendForceFeedbackCommand(DISFFC_RESET);
}

void DirectInputJoystick::SetActuators(int on) {
    device_->SendForceFeedbackCommand(on != 0 ? DISFFC_SETACTUATORSON : DISFFC_SETACTUATORSOFF);
}

void DirectInputJoystick::ContinueEffects() {
    device_->SendForceFeedbackCommand(DISFFC_CONTINUE);
}

void DirectInputJoystick::StartEffect(int32_t effect, int32_t, int32_t) {
    IDirectInputEffect* made = EffectAt(effect);
    if (made == nullptr) return;
    device_->Acquire();
    DIEFFECT parameters = Blank();
    made->SetParameters(&parameters, DIEP_START);
}

void DirectInputJoystick::StopEffect(int32_t effect) {
    if (IDirectInputEffect* made = EffectAt(effect)) {
        device_->Acquire();
        made->Stop();
    }
}

int DirectInputJoystick::ClearEffectEnvelope(int32_t effect) {
    DIEFFECT parameters = Blank();
    parameters.lpEnvelope = nullptr;
    return Change(effect, parameters, DIEP_ENVELOPE);
}

int DirectInputJoystick::SetEffectEnvelope(int32_t effect, uint32_t attackLevel,
                                           uint32_t attackTime, uint32_t fadeLevel,
                                           uint32_t fadeTime) {
    DIENVELOPE envelope{sizeof(DIENVELOPE), attackLevel, attackTime, fadeLevel, fadeTime};
    DIEFFECT parameters = Blank();
    parameters.lpEnvelope = &envelope;
    return Change(effect, parameters, DIEP_ENVELOPE);
}

int DirectInputJoystick::SetEffectDirection(int32_t effect, const int32_t* axes,
                                            const int32_t* values, int32_t count) {
    DWORD offsets[5];
    if (values == nullptr || !ToOffsets(axes, count, offsets)) return 0;
    LONG directions[5];
    std::copy(values, values + count, directions);
    DIEFFECT parameters = Blank();
    parameters.cAxes = DWORD(count);
    parameters.rgdwAxes = offsets;
    parameters.rglDirection = directions;
    return Change(effect, parameters, DIEP_DIRECTION);
}

int DirectInputJoystick::GetEffectAxisCount(int32_t effect, int32_t& count) {
    DWORD offsets[kMostAxes];
    DIEFFECT parameters = Blank();
    parameters.cAxes = kMostAxes;
    parameters.rgdwAxes = offsets;
    if (!ReadEffect(effect, parameters, DIEP_AXES)) return 0;
    count = int32_t(parameters.cAxes);
    return 1;
}

int DirectInputJoystick::GetEffectAxes(int32_t effect, int32_t* axes, int32_t count) {
    DWORD offsets[kMostAxes];
    DIEFFECT parameters = Blank();
    parameters.cAxes = kMostAxes;
    parameters.rgdwAxes = offsets;
    if (axes == nullptr || count < 0 || !ReadEffect(effect, parameters, DIEP_AXES)) return 0;
    for (int32_t i = 0; i < count && DWORD(i) < parameters.cAxes; ++i)
        axes[i] = AxisNumberOf(offsets[i]);
    return 1;
}

int DirectInputJoystick::GetEffectDirectionCount(int32_t effect, int32_t& count) {
    return GetEffectAxisCount(effect, count);
}

int DirectInputJoystick::GetEffectDirection(int32_t effect, int32_t* axes, int32_t* values,
                                            int32_t count) {
    DWORD offsets[kMostAxes];
    LONG directions[kMostAxes];
    DIEFFECT parameters = Blank();
    parameters.cAxes = kMostAxes;
    parameters.rgdwAxes = offsets;
    parameters.rglDirection = directions;
    if (axes == nullptr || values == nullptr || count < 0 ||
        !ReadEffect(effect, parameters, DIEP_AXES | DIEP_DIRECTION))
        return 0;
    for (int32_t i = 0; i < count && DWORD(i) < parameters.cAxes; ++i) {
        axes[i] = AxisNumberOf(offsets[i]);
        values[i] = directions[i];
    }
    return 1;
}

int DirectInputJoystick::HasEffectEnvelope(int32_t effect) {
    DIENVELOPE envelope{};
    DIEFFECT parameters = Blank();
    parameters.lpEnvelope = &envelope;
    return ReadEffect(effect, parameters, DIEP_ENVELOPE) && parameters.lpEnvelope != nullptr ? 1
                                                                                             : 0;
}

int DirectInputJoystick::GetEffectEnvelope(int32_t effect, uint32_t& attackLevel,
                                           uint32_t& attackTime, uint32_t& fadeLevel,
                                           uint32_t& fadeTime) {
    DIENVELOPE envelope{};
    DIEFFECT parameters = Blank();
    parameters.lpEnvelope = &envelope;
    if (!ReadEffect(effect, parameters, DIEP_ENVELOPE)) return 0;
    attackLevel = envelope.dwAttackLevel;
    attackTime = envelope.dwAttackTime;
    fadeLevel = envelope.dwFadeLevel;
    fadeTime = envelope.dwFadeTime;
    return 1;
}

int DirectInputJoystick::GetEffectDuration(int32_t effect, uint32_t& duration) {
    DIEFFECT parameters = Blank();
    if (!ReadEffect(effect, parameters, DIEP_DURATION)) return 0;
    duration = parameters.dwDuration;
    return 1;
}

int DirectInputJoystick::GetEffectGain(int32_t effect, uint32_t& gain) {
    DIEFFECT parameters = Blank();
    if (!ReadEffect(effect, parameters, DIEP_GAIN)) return 0;
    gain = parameters.dwGain;
    return 1;
}

int DirectInputJoystick::GetEffectSamplePeriod(int32_t effect, uint32_t& period) {
    DIEFFECT parameters = Blank();
    if (!ReadEffect(effect, parameters, DIEP_SAMPLEPERIOD)) return 0;
    period = parameters.dwSamplePeriod;
    return 1;
}

int DirectInputJoystick::GetEffectTriggerButton(int32_t effect, int32_t& button) {
    DIEFFECT parameters = Blank();
    if (!ReadEffect(effect, parameters, DIEP_TRIGGERBUTTON)) return 0;
    DWORD offset = parameters.dwTriggerButton;
    button = offset >= kFirstButtonOffset && offset <= kLastButtonOffset
                 ? int32_t(offset - kFirstButtonOffset)
                 : -1;
    return 1;
}

int DirectInputJoystick::GetEffectTriggerInterval(int32_t effect, uint32_t& interval) {
    DIEFFECT parameters = Blank();
    if (!ReadEffect(effect, parameters, DIEP_TRIGGERREPEATINTERVAL)) return 0;
    interval = parameters.dwTriggerRepeatInterval;
    return 1;
}

int32_t DirectInputJoystick::GetEffectTypeCount() {
    return int32_t(effectTypes_.size());
}

std::string DirectInputJoystick::GetEffectTypeName(int32_t type) {
    if (uint32_t(type) >= effectTypes_.size()) return {};
    const char* name = effectTypes_[size_t(type)].info.tszName;
    return std::string(name, strnlen(name, sizeof effectTypes_[0].info.tszName));
}

int32_t DirectInputJoystick::GetEffectCategory(int32_t type) {
    return uint32_t(type) < effectTypes_.size() ? effectTypes_[size_t(type)].category : 0;
}

int32_t DirectInputJoystick::GetEffectTypeOf(int32_t effect) {
    return uint32_t(effect) < effects_.size() ? effects_[size_t(effect)].type : -1;
}
