// The force-feedback side of a DirectInput joystick: its effect kinds, its effects and the
// device-wide commands, over the joystick's force-feedback device. Internal to the
// platform layer.
#pragma once

#include <memory>

#include "platform/input/ff_device.h"

namespace platform {

struct ForceFeedbackState;

class ForceFeedbackHost {
public:
    explicit ForceFeedbackHost(std::shared_ptr<ForceFeedbackDevice> device);
    ~ForceFeedbackHost();
    ForceFeedbackHost(const ForceFeedbackHost&) = delete;
    ForceFeedbackHost& operator=(const ForceFeedbackHost&) = delete;

    // The kinds the device plays, of DirectInput type `type` (DIEFT_ALL for every one).
    HRESULT EnumEffects(LPDIENUMEFFECTSCALLBACKA callback, void* context, DWORD type);
    HRESULT CreateEffect(const GUID& kind, const DIEFFECT* parameters, IDirectInputEffect** effect,
                         IUnknown* outer);
    HRESULT SendForceFeedbackCommand(DWORD command);
    // DIPROP_FFGAIN (0..10000) and DIPROP_AUTOCENTER.
    void SetGain(DWORD gain);
    void SetAutocenter(bool on);

private:
    std::shared_ptr<ForceFeedbackState> state_;
};

} // namespace platform
