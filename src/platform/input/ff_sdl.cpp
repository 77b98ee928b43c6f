// Force feedback over SDL's haptic devices, and the devices tests put in their place.
#include <SDL2/SDL.h>

#include <map>
#include <mutex>
#include <utility>

#include "platform/input/ff_device.h"
#include "platform/system/sdl_subsystem.h"

namespace platform {
namespace {

static_assert(kFFConstant == SDL_HAPTIC_CONSTANT && kFFSine == SDL_HAPTIC_SINE &&
              kFFTriangle == SDL_HAPTIC_TRIANGLE && kFFSawtoothUp == SDL_HAPTIC_SAWTOOTHUP &&
              kFFSawtoothDown == SDL_HAPTIC_SAWTOOTHDOWN && kFFRamp == SDL_HAPTIC_RAMP &&
              kFFSpring == SDL_HAPTIC_SPRING && kFFDamper == SDL_HAPTIC_DAMPER &&
              kFFInertia == SDL_HAPTIC_INERTIA && kFFFriction == SDL_HAPTIC_FRICTION &&
              kFFCustom == SDL_HAPTIC_CUSTOM && kFFGain == SDL_HAPTIC_GAIN &&
              kFFAutocenter == SDL_HAPTIC_AUTOCENTER && kFFPause == SDL_HAPTIC_PAUSE &&
              kFFInfinity == SDL_HAPTIC_INFINITY);

std::mutex& AttachedLock() {
    static std::mutex lock;
    return lock;
}

// Test devices by joystick instance.
std::map<SDL_JoystickID, std::shared_ptr<ForceFeedbackDevice>>& Attached() {
    static std::map<SDL_JoystickID, std::shared_ptr<ForceFeedbackDevice>> attached;
    return attached;
}

template <class Block> void Common(const FFEffect& from, Block& to) {
    to.type = Uint16(from.kind);
    to.direction.type = Uint8(from.directionKind);
    for (int i = 0; i < 3; ++i)
        to.direction.dir[i] = from.direction[i];
    to.length = from.length;
    to.delay = from.delay;
    to.button = from.button;
    to.interval = from.interval;
}

template <class Block> void Envelope(const FFEffect& from, Block& to) {
    to.attack_length = from.envelope.attackLength;
    to.attack_level = from.envelope.attackLevel;
    to.fade_length = from.envelope.fadeLength;
    to.fade_level = from.envelope.fadeLevel;
}

// `samples` keeps a custom effect's data while SDL holds the effect.
SDL_HapticEffect ToSdl(const FFEffect& from, std::vector<Uint16>& samples) {
    SDL_HapticEffect to;
    SDL_zero(to);
    switch (from.kind) {
    case kFFConstant:
        Common(from, to.constant);
        Envelope(from, to.constant);
        to.constant.level = from.level;
        break;
    case kFFRamp:
        Common(from, to.ramp);
        Envelope(from, to.ramp);
        to.ramp.start = from.start;
        to.ramp.end = from.end;
        break;
    case kFFSine:
    case kFFTriangle:
    case kFFSawtoothUp:
    case kFFSawtoothDown:
        Common(from, to.periodic);
        Envelope(from, to.periodic);
        to.periodic.period = from.period;
        to.periodic.magnitude = from.magnitude;
        to.periodic.offset = from.offset;
        to.periodic.phase = from.phase;
        break;
    case kFFSpring:
    case kFFDamper:
    case kFFInertia:
    case kFFFriction:
        Common(from, to.condition);
        for (int i = 0; i < 3; ++i) {
            to.condition.right_sat[i] = from.rightSaturation[i];
            to.condition.left_sat[i] = from.leftSaturation[i];
            to.condition.right_coeff[i] = from.rightCoefficient[i];
            to.condition.left_coeff[i] = from.leftCoefficient[i];
            to.condition.deadband[i] = from.deadBand[i];
            to.condition.center[i] = from.centre[i];
        }
        break;
    case kFFCustom:
        Common(from, to.custom);
        Envelope(from, to.custom);
        samples.assign(from.data.begin(), from.data.end());
        to.custom.channels = from.channels;
        to.custom.period = from.period;
        to.custom.samples = from.samples;
        to.custom.data = samples.empty() ? nullptr : samples.data();
        break;
    }
    return to;
}

class SdlForceFeedback final : public ForceFeedbackDevice {
public:
    explicit SdlForceFeedback(SDL_Haptic* haptic) : haptic_(haptic) {}
    ~SdlForceFeedback() override { SDL_HapticClose(haptic_); }

    uint32_t Supported() override { return SDL_HapticQuery(haptic_); }
    int Axes() override { return SDL_HapticNumAxes(haptic_); }
    int NewEffect(const FFEffect& effect) override {
        std::vector<Uint16> samples;
        SDL_HapticEffect sdl = ToSdl(effect, samples);
        int id = SDL_HapticNewEffect(haptic_, &sdl);
        if (id >= 0) samples_[id] = std::move(samples);
        return id;
    }
    bool UpdateEffect(int id, const FFEffect& effect) override {
        std::vector<Uint16> samples;
        SDL_HapticEffect sdl = ToSdl(effect, samples);
        if (SDL_HapticUpdateEffect(haptic_, id, &sdl) != 0) return false;
        samples_[id] = std::move(samples);
        return true;
    }
    bool RunEffect(int id, uint32_t iterations) override {
        return SDL_HapticRunEffect(haptic_, id, iterations) == 0;
    }
    bool StopEffect(int id) override { return SDL_HapticStopEffect(haptic_, id) == 0; }
    void DestroyEffect(int id) override {
        SDL_HapticDestroyEffect(haptic_, id);
        samples_.erase(id);
    }
    bool Playing(int id) override { return SDL_HapticGetEffectStatus(haptic_, id) == 1; }
    bool SetGain(int gain) override { return SDL_HapticSetGain(haptic_, gain) == 0; }
    bool SetAutocenter(int autocenter) override {
        return SDL_HapticSetAutocenter(haptic_, autocenter) == 0;
    }
    bool Pause() override { return SDL_HapticPause(haptic_) == 0; }
    bool Unpause() override { return SDL_HapticUnpause(haptic_) == 0; }
    bool StopAll() override { return SDL_HapticStopAll(haptic_) == 0; }

private:
    SDL_Haptic* haptic_;
    std::map<int, std::vector<Uint16>> samples_;
};

} // namespace

std::shared_ptr<ForceFeedbackDevice> OpenForceFeedback(int32_t instance) {
    {
        std::lock_guard<std::mutex> hold(AttachedLock());
        auto found = Attached().find(instance);
        if (found != Attached().end()) return found->second;
    }
    static bool ready = StartSdlSubsystem(SDL_INIT_HAPTIC);
    if (!ready) return nullptr;
    SDL_Joystick* joystick = SDL_JoystickFromInstanceID(instance);
    if (joystick == nullptr || SDL_JoystickIsHaptic(joystick) != SDL_TRUE) return nullptr;
    SDL_Haptic* haptic = SDL_HapticOpenFromJoystick(joystick);
    if (haptic == nullptr) return nullptr;
    return std::make_shared<SdlForceFeedback>(haptic);
}

} // namespace platform

namespace platform::test {

void AttachForceFeedback(int id, std::shared_ptr<platform::ForceFeedbackDevice> device) {
    SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(id);
    if (instance < 0) return;
    std::lock_guard<std::mutex> hold(platform::AttachedLock());
    platform::Attached()[instance] = std::move(device);
}

void DetachForceFeedback() {
    std::lock_guard<std::mutex> hold(platform::AttachedLock());
    platform::Attached().clear();
}

} // namespace platform::test
