#include "platform/input/ff_host.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "platform/input/dinput.h"

namespace platform {
namespace {

class Effect;

// Axis objects an effect can name: the positions of the extended joystick state.
bool IsAxisOffset(DWORD offset) {
    return offset % 4 == 0 && offset <= 28;
}

DWORD BlockSize(FFKind kind) {
    switch (kind) {
    case kFFConstant:
        return sizeof(DICONSTANTFORCE);
    case kFFRamp:
        return sizeof(DIRAMPFORCE);
    case kFFSine:
    case kFFTriangle:
    case kFFSawtoothUp:
    case kFFSawtoothDown:
        return sizeof(DIPERIODIC);
    case kFFCustom:
        return sizeof(DICUSTOMFORCE);
    default:
        return sizeof(DICONDITION);
    }
}

bool IsCondition(FFKind kind) {
    return kind == kFFSpring || kind == kFFDamper || kind == kFFInertia || kind == kFFFriction;
}

} // namespace

struct ForceFeedbackState {
    std::shared_ptr<ForceFeedbackDevice> device;
    std::vector<Effect*> effects;
    DWORD gain = DI_FFNOMINALMAX;
    bool actuatorsOn = true;

    void ApplyGain() {
        if (device->Supported() & kFFGain)
            device->SetGain(actuatorsOn ? int(gain / 100) : 0);
        else if (!actuatorsOn)
            device->StopAll();
    }
};

namespace {

// An effect's parameters as DirectInput keeps them; the lists are its own copies.
struct Parameters {
    DWORD coordinates = DIEFF_CARTESIAN;
    DWORD duration = 0;
    DWORD samplePeriod = 0;
    DWORD gain = DI_FFNOMINALMAX;
    DWORD trigger = DIEB_NOTRIGGER;
    DWORD interval = 0;
    std::vector<DWORD> axes;
    std::vector<LONG> directions;
    std::optional<DIENVELOPE> envelope;
    std::vector<char> block;
    std::vector<LONG> samples;

    // A DIEFFECT pointing into these parameters; a custom force's block is given its samples.
    DIEFFECT Compose(FFKind kind) {
        DIEFFECT effect{};
        effect.dwSize = sizeof effect;
        effect.dwFlags = DIEFF_OBJECTOFFSETS | coordinates;
        effect.dwDuration = duration;
        effect.dwSamplePeriod = samplePeriod;
        effect.dwGain = gain;
        effect.dwTriggerButton = trigger;
        effect.dwTriggerRepeatInterval = interval;
        effect.cAxes = DWORD(axes.size());
        effect.rgdwAxes = axes.data();
        effect.rglDirection = directions.data();
        effect.lpEnvelope = envelope ? &*envelope : nullptr;
        effect.cbTypeSpecificParams = DWORD(block.size());
        effect.lpvTypeSpecificParams = block.empty() ? nullptr : block.data();
        if (kind == kFFCustom && block.size() == sizeof(DICUSTOMFORCE)) {
            DICUSTOMFORCE custom;
            std::memcpy(&custom, block.data(), sizeof custom);
            custom.rglForceData = samples.data();
            std::memcpy(block.data(), &custom, sizeof custom);
        }
        return effect;
    }
};

class Effect final : public IDirectInputEffect {
public:
    Effect(std::shared_ptr<ForceFeedbackState> state, const GUID& guid, FFKind kind)
        : state_(std::move(state)), guid_(guid), kind_(kind) {
        state_->effects.push_back(this);
    }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectInputEffect)) {
            AddRef();
            *object = static_cast<IDirectInputEffect*>(this);
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

    HRESULT GetEffectGuid(GUID* guid) override {
        if (guid == nullptr) return E_POINTER;
        *guid = guid_;
        return DI_OK;
    }

    HRESULT GetParameters(DIEFFECT* effect, DWORD flags) override {
        if (effect == nullptr || effect->dwSize != sizeof(DIEFFECT) || (flags & ~DIEP_ALLPARAMS))
            return DIERR_INVALIDPARAM;
        if (flags & DIEP_DURATION) effect->dwDuration = parameters_.duration;
        if (flags & DIEP_SAMPLEPERIOD) effect->dwSamplePeriod = parameters_.samplePeriod;
        if (flags & DIEP_GAIN) effect->dwGain = parameters_.gain;
        if (flags & DIEP_TRIGGERBUTTON) effect->dwTriggerButton = parameters_.trigger;
        if (flags & DIEP_TRIGGERREPEATINTERVAL)
            effect->dwTriggerRepeatInterval = parameters_.interval;
        DWORD count = DWORD(parameters_.axes.size());
        if (flags & (DIEP_AXES | DIEP_DIRECTION)) {
            if (effect->cAxes < count) {
                effect->cAxes = count;
                return DIERR_MOREDATA;
            }
            effect->cAxes = count;
        }
        if (flags & DIEP_AXES) {
            if (count != 0 && effect->rgdwAxes == nullptr) return DIERR_INVALIDPARAM;
            std::copy(parameters_.axes.begin(), parameters_.axes.end(), effect->rgdwAxes);
        }
        if (flags & DIEP_DIRECTION) {
            if (count != 0 && effect->rglDirection == nullptr) return DIERR_INVALIDPARAM;
            std::copy(parameters_.directions.begin(), parameters_.directions.end(),
                      effect->rglDirection);
            effect->dwFlags =
                (effect->dwFlags & ~(DIEFF_CARTESIAN | DIEFF_POLAR | DIEFF_SPHERICAL)) |
                parameters_.coordinates;
        }
        if (flags & DIEP_ENVELOPE) {
            if (!parameters_.envelope)
                effect->lpEnvelope = nullptr;
            else if (effect->lpEnvelope == nullptr)
                return DIERR_INVALIDPARAM;
            else
                *effect->lpEnvelope = *parameters_.envelope;
        }
        if (flags & DIEP_TYPESPECIFICPARAMS) return GetBlock(*effect);
        return DI_OK;
    }

    HRESULT SetParameters(const DIEFFECT* effect, DWORD flags) override {
        constexpr DWORD kKnown = DIEP_ALLPARAMS | DIEP_START | DIEP_NORESTART | DIEP_NODOWNLOAD;
        if (effect == nullptr || effect->dwSize != sizeof(DIEFFECT) || (flags & ~kKnown))
            return DIERR_INVALIDPARAM;
        Parameters changed = parameters_;
        bool truncated = false;
        if (HRESULT taken = Take(*effect, flags, changed, truncated); taken != DI_OK) return taken;
        FFEffect mapped;
        bool clipped = false;
        if (!MapEffect(kind_, changed.Compose(kind_), mapped, clipped)) return DIERR_INVALIDPARAM;
        parameters_ = std::move(changed);
        truncated = truncated || clipped;
        if (flags & DIEP_NODOWNLOAD) return DI_DOWNLOADSKIPPED;
        bool wasPlaying = id_ >= 0 && state_->device->Playing(id_);
        if (!Send(mapped)) return DIERR_DEVICEFULL;
        bool restarted = false;
        if (flags & DIEP_START) {
            restarted = wasPlaying;
            if (wasPlaying) state_->device->StopEffect(id_);
            if (!state_->device->RunEffect(id_, 1)) return DIERR_GENERIC;
        }
        if (truncated) return restarted ? DI_TRUNCATEDANDRESTARTED : DI_TRUNCATED;
        return restarted ? DI_EFFECTRESTARTED : DI_OK;
    }

    HRESULT Start(DWORD iterations, DWORD flags) override {
        if (iterations == 0 || (flags & ~(DIES_SOLO | DIES_NODOWNLOAD))) return DIERR_INVALIDPARAM;
        if (id_ < 0) {
            if (flags & DIES_NODOWNLOAD) return DIERR_NOTDOWNLOADED;
            if (HRESULT downloaded = Download(); downloaded < 0) return downloaded;
        }
        if (flags & DIES_SOLO)
            for (Effect* other : state_->effects)
                if (other != this && other->id_ >= 0) state_->device->StopEffect(other->id_);
        uint32_t times = iterations == DI_INFINITE ? kFFInfinity : iterations;
        return state_->device->RunEffect(id_, times) ? DI_OK : DIERR_GENERIC;
    }

    HRESULT Stop() override {
        if (id_ < 0) return DIERR_NOTDOWNLOADED;
        return state_->device->StopEffect(id_) ? DI_OK : DIERR_GENERIC;
    }

    HRESULT GetEffectStatus(DWORD* status) override {
        if (status == nullptr) return E_POINTER;
        *status = id_ >= 0 && state_->device->Playing(id_) ? DIEGES_PLAYING : 0;
        return DI_OK;
    }

    HRESULT Download() override {
        FFEffect mapped;
        bool truncated = false;
        if (!MapEffect(kind_, parameters_.Compose(kind_), mapped, truncated))
            return DIERR_INCOMPLETEEFFECT;
        return Send(mapped) ? DI_OK : DIERR_DEVICEFULL;
    }

    HRESULT Unload() override {
        if (id_ < 0) return DI_NOEFFECT;
        state_->device->StopEffect(id_);
        state_->device->DestroyEffect(id_);
        id_ = -1;
        return DI_OK;
    }

    // The kind's block and the defaults DirectInput gives a new effect.
    void Initialise() {
        parameters_.axes = {0, 4};
        parameters_.directions = {0, 0};
        parameters_.duration = DI_INFINITE;
        parameters_.block.assign(BlockSize(kind_), 0);
        if (kind_ == kFFCustom) {
            DICUSTOMFORCE custom{};
            custom.cChannels = 1;
            std::memcpy(parameters_.block.data(), &custom, sizeof custom);
        }
    }

private:
    ~Effect() {
        Unload();
        std::erase(state_->effects, this);
    }

    // The device's copy of the effect made or brought up to date.
    bool Send(const FFEffect& mapped) {
        if (id_ >= 0) return state_->device->UpdateEffect(id_, mapped);
        id_ = state_->device->NewEffect(mapped);
        return id_ >= 0;
    }

    HRESULT Take(const DIEFFECT& effect, DWORD flags, Parameters& changed, bool& truncated) {
        if (flags & DIEP_DURATION) changed.duration = effect.dwDuration;
        if (flags & DIEP_SAMPLEPERIOD) changed.samplePeriod = effect.dwSamplePeriod;
        if (flags & DIEP_GAIN) {
            truncated = truncated || effect.dwGain > DI_FFNOMINALMAX;
            changed.gain = std::min(effect.dwGain, DI_FFNOMINALMAX);
        }
        if (flags & (DIEP_TRIGGERBUTTON | DIEP_AXES)) {
            if (!(effect.dwFlags & DIEFF_OBJECTOFFSETS)) return DIERR_INVALIDPARAM;
        }
        if (flags & DIEP_TRIGGERBUTTON) {
            DWORD trigger = effect.dwTriggerButton;
            if (trigger != DIEB_NOTRIGGER &&
                (trigger < kFirstButtonOffset || trigger > kLastButtonOffset))
                return DIERR_INVALIDPARAM;
            changed.trigger = trigger;
        }
        if (flags & DIEP_TRIGGERREPEATINTERVAL) changed.interval = effect.dwTriggerRepeatInterval;
        if (flags & DIEP_AXES) {
            if (effect.cAxes == 0 || effect.cAxes > 8 || effect.rgdwAxes == nullptr)
                return DIERR_INVALIDPARAM;
            changed.axes.assign(effect.rgdwAxes, effect.rgdwAxes + effect.cAxes);
            for (size_t i = 0; i < changed.axes.size(); ++i) {
                if (!IsAxisOffset(changed.axes[i])) return DIERR_INVALIDPARAM;
                if (std::count(changed.axes.begin(), changed.axes.end(), changed.axes[i]) > 1)
                    return DIERR_INVALIDPARAM;
            }
            changed.directions.resize(changed.axes.size(), 0);
        }
        if (flags & DIEP_DIRECTION) {
            DWORD coordinates = effect.dwFlags & (DIEFF_CARTESIAN | DIEFF_POLAR | DIEFF_SPHERICAL);
            if (effect.cAxes != changed.axes.size() || effect.rglDirection == nullptr ||
                (coordinates != DIEFF_CARTESIAN && coordinates != DIEFF_POLAR &&
                 coordinates != DIEFF_SPHERICAL))
                return DIERR_INVALIDPARAM;
            changed.coordinates = coordinates;
            changed.directions.assign(effect.rglDirection, effect.rglDirection + effect.cAxes);
        }
        if (flags & DIEP_ENVELOPE) {
            if (effect.lpEnvelope == nullptr)
                changed.envelope.reset();
            else if (effect.lpEnvelope->dwSize != sizeof(DIENVELOPE))
                return DIERR_INVALIDPARAM;
            else
                changed.envelope = *effect.lpEnvelope;
        }
        if (flags & DIEP_TYPESPECIFICPARAMS) return TakeBlock(effect, changed, truncated);
        return DI_OK;
    }

    HRESULT TakeBlock(const DIEFFECT& effect, Parameters& changed, bool& truncated) {
        DWORD size = effect.cbTypeSpecificParams;
        bool fits = size == BlockSize(kind_) ||
                    (IsCondition(kind_) && size == sizeof(DICONDITION) * changed.axes.size());
        if (!fits || effect.lpvTypeSpecificParams == nullptr) return DIERR_INVALIDPARAM;
        const auto* bytes = static_cast<const char*>(effect.lpvTypeSpecificParams);
        changed.block.assign(bytes, bytes + size);
        if (kind_ != kFFCustom) return DI_OK;
        DICUSTOMFORCE custom;
        std::memcpy(&custom, bytes, sizeof custom);
        if (custom.cChannels == 0 || custom.cChannels > 0xFF) return DIERR_INVALIDPARAM;
        // Beyond what the device plays, samples are dropped whole frames at a time.
        DWORD most = 0xFFFF * custom.cChannels;
        if (custom.cSamples > most) {
            truncated = true;
            custom.cSamples = most;
        }
        if (custom.cSamples != 0 && custom.rglForceData == nullptr) return DIERR_INVALIDPARAM;
        changed.samples.assign(custom.rglForceData, custom.rglForceData + custom.cSamples);
        std::memcpy(changed.block.data(), &custom, sizeof custom);
        return DI_OK;
    }

    HRESULT GetBlock(DIEFFECT& effect) {
        DWORD size = DWORD(parameters_.block.size());
        if (effect.cbTypeSpecificParams < size) {
            effect.cbTypeSpecificParams = size;
            return DIERR_MOREDATA;
        }
        if (effect.lpvTypeSpecificParams == nullptr) return DIERR_INVALIDPARAM;
        if (kind_ != kFFCustom) {
            std::memcpy(effect.lpvTypeSpecificParams, parameters_.block.data(), size);
            effect.cbTypeSpecificParams = size;
            return DI_OK;
        }
        // The samples go to the caller's own list when it is long enough.
        DICUSTOMFORCE stored, asked;
        std::memcpy(&stored, parameters_.block.data(), sizeof stored);
        std::memcpy(&asked, effect.lpvTypeSpecificParams, sizeof asked);
        DWORD room = asked.cSamples;
        asked.cChannels = stored.cChannels;
        asked.dwSamplePeriod = stored.dwSamplePeriod;
        asked.cSamples = DWORD(parameters_.samples.size());
        HRESULT result = DI_OK;
        if (room < parameters_.samples.size() || asked.rglForceData == nullptr)
            result = parameters_.samples.empty() ? DI_OK : DIERR_MOREDATA;
        else
            std::copy(parameters_.samples.begin(), parameters_.samples.end(), asked.rglForceData);
        std::memcpy(effect.lpvTypeSpecificParams, &asked, sizeof asked);
        effect.cbTypeSpecificParams = size;
        return result;
    }

    std::shared_ptr<ForceFeedbackState> state_;
    const GUID guid_;
    const FFKind kind_;
    std::atomic<ULONG> references_{1};
    Parameters parameters_;
    int id_ = -1;
};

} // namespace

ForceFeedbackHost::ForceFeedbackHost(std::shared_ptr<ForceFeedbackDevice> device)
    : state_(std::make_shared<ForceFeedbackState>()) {
    state_->device = std::move(device);
}

ForceFeedbackHost::~ForceFeedbackHost() {
    // Effects the program still holds stay usable; the device goes with the last of them.
    state_->device->StopAll();
}

HRESULT ForceFeedbackHost::EnumEffects(LPDIENUMEFFECTSCALLBACKA callback, void* context,
                                       DWORD type) {
    if (callback == nullptr) return DIERR_INVALIDPARAM;
    uint32_t supported = state_->device->Supported();
    constexpr DWORD kParameters = DIEP_DURATION | DIEP_SAMPLEPERIOD | DIEP_GAIN |
                                  DIEP_TRIGGERBUTTON | DIEP_TRIGGERREPEATINTERVAL | DIEP_AXES |
                                  DIEP_DIRECTION | DIEP_ENVELOPE | DIEP_TYPESPECIFICPARAMS;
    for (const FFKindInfo& kind : ForceFeedbackKinds()) {
        if (!(supported & kind.kind)) continue;
        if (type != DIEFT_ALL && DIEFT_GETTYPE(kind.type) != type) continue;
        DIEFFECTINFOA info{};
        info.dwSize = sizeof info;
        info.guid = *kind.guid;
        info.dwEffType = kind.type;
        info.dwStaticParams = kParameters;
        info.dwDynamicParams = kParameters;
        std::strncpy(info.tszName, kind.name, sizeof info.tszName - 1);
        if (callback(&info, context) == DIENUM_STOP) break;
    }
    return DI_OK;
}

HRESULT ForceFeedbackHost::CreateEffect(const GUID& guid, const DIEFFECT* parameters,
                                        IDirectInputEffect** effect, IUnknown* outer) {
    if (effect == nullptr) return E_POINTER;
    *effect = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    FFKind kind;
    if (!KindOfEffectGuid(guid, kind) || !(state_->device->Supported() & kind))
        return DIERR_DEVICENOTREG;
    auto* made = new (std::nothrow) Effect(state_, guid, kind);
    if (made == nullptr) return DIERR_OUTOFMEMORY;
    made->Initialise();
    if (parameters != nullptr) {
        HRESULT set = made->SetParameters(parameters, DIEP_ALLPARAMS);
        if (set < 0) {
            made->Release();
            return set;
        }
    }
    *effect = made;
    return DI_OK;
}

HRESULT ForceFeedbackHost::SendForceFeedbackCommand(DWORD command) {
    ForceFeedbackDevice& device = *state_->device;
    switch (command) {
    case DISFFC_STOPALL:
        return device.StopAll() ? DI_OK : DIERR_GENERIC;
    case DISFFC_PAUSE:
        if (!(device.Supported() & kFFPause)) return DIERR_UNSUPPORTED;
        return device.Pause() ? DI_OK : DIERR_GENERIC;
    case DISFFC_CONTINUE:
        if (!(device.Supported() & kFFPause)) return DIERR_UNSUPPORTED;
        return device.Unpause() ? DI_OK : DIERR_GENERIC;
    case DISFFC_RESET:
        device.StopAll();
        for (Effect* effect : state_->effects)
            effect->Unload();
        if (device.Supported() & kFFPause) device.Unpause();
        state_->actuatorsOn = true;
        state_->ApplyGain();
        return DI_OK;
    case DISFFC_SETACTUATORSON:
    case DISFFC_SETACTUATORSOFF:
        state_->actuatorsOn = command == DISFFC_SETACTUATORSON;
        state_->ApplyGain();
        return DI_OK;
    default:
        return DIERR_INVALIDPARAM;
    }
}

void ForceFeedbackHost::SetGain(DWORD gain) {
    state_->gain = std::min(gain, DI_FFNOMINALMAX);
    state_->ApplyGain();
}

void ForceFeedbackHost::SetAutocenter(bool on) {
    if (state_->device->Supported() & kFFAutocenter) state_->device->SetAutocenter(on ? 100 : 0);
}

} // namespace platform
