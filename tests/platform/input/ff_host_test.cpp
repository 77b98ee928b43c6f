// DirectInput's effects on a recording force-feedback device: creation by kind, what each
// parameter flag changes and sends, the success codes, reading back, and the device-wide
// commands.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/input/dinput.h"
#include "platform/input/ff_host.h"
#include "support/recording_force_feedback.h"

namespace {

using Calls = std::vector<std::string>;

class ForceFeedbackEffects : public ::testing::Test {
protected:
    void SetUp() override {
        device_ = std::make_shared<test_support::RecordingForceFeedback>();
        host_ = std::make_unique<platform::ForceFeedbackHost>(device_);
        parameters_.dwSize = sizeof parameters_;
        parameters_.dwFlags = DIEFF_CARTESIAN | DIEFF_OBJECTOFFSETS;
        parameters_.dwDuration = DI_INFINITE;
        parameters_.dwGain = DI_FFNOMINALMAX;
        parameters_.dwTriggerButton = DIEB_NOTRIGGER;
        parameters_.cAxes = 2;
        parameters_.rgdwAxes = axes_;
        parameters_.rglDirection = directions_;
        parameters_.cbTypeSpecificParams = sizeof constant_;
        parameters_.lpvTypeSpecificParams = &constant_;
    }
    void TearDown() override {
        for (IDirectInputEffect* effect : effects_)
            effect->Release();
    }

    IDirectInputEffect* Make(const GUID& kind = GUID_ConstantForce) {
        IDirectInputEffect* effect = nullptr;
        EXPECT_EQ(host_->CreateEffect(kind, &parameters_, &effect, nullptr), DI_OK);
        if (effect != nullptr) effects_.push_back(effect);
        return effect;
    }
    DIEFFECT Blank() {
        DIEFFECT blank{};
        blank.dwSize = sizeof blank;
        blank.dwFlags = DIEFF_CARTESIAN | DIEFF_OBJECTOFFSETS;
        return blank;
    }

    std::shared_ptr<test_support::RecordingForceFeedback> device_;
    std::unique_ptr<platform::ForceFeedbackHost> host_;
    DWORD axes_[2] = {0, 4};
    LONG directions_[2] = {0, 0};
    DICONSTANTFORCE constant_{5000};
    DIEFFECT parameters_{};
    std::vector<IDirectInputEffect*> effects_;
};

TEST_F(ForceFeedbackEffects, KindsAreListedByWhatTheDeviceSupports) {
    device_->supported = platform::kFFConstant | platform::kFFSpring | platform::kFFDamper;
    std::vector<std::string> names;
    auto collect = [](const DIEFFECTINFOA* info, void* context) -> BOOL {
        static_cast<std::vector<std::string>*>(context)->push_back(info->tszName);
        return DIENUM_CONTINUE;
    };
    EXPECT_EQ(host_->EnumEffects(collect, &names, DIEFT_ALL), DI_OK);
    EXPECT_EQ(names, (std::vector<std::string>{"Constant Force", "Spring", "Damper"}));
    names.clear();
    host_->EnumEffects(collect, &names, DIEFT_CONDITION);
    EXPECT_EQ(names, (std::vector<std::string>{"Spring", "Damper"}));
    EXPECT_EQ(host_->EnumEffects(nullptr, nullptr, DIEFT_ALL), DIERR_INVALIDPARAM);

    IDirectInputEffect* effect = nullptr;
    EXPECT_EQ(host_->CreateEffect(GUID_Sine, &parameters_, &effect, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(host_->CreateEffect(GUID_Square, &parameters_, &effect, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(effect, nullptr);
    EXPECT_TRUE(device_->Take().empty());
}

TEST_F(ForceFeedbackEffects, CreationSendsTheEffectOfItsKind) {
    IDirectInputEffect* constant = Make();
    ASSERT_NE(constant, nullptr);
    EXPECT_EQ(device_->Take(), (Calls{"new 0"}));
    EXPECT_EQ(device_->effects[0].kind, platform::kFFConstant);
    EXPECT_EQ(device_->effects[0].level, 16383);
    DIPERIODIC periodic{10000, 0, 0, 50000};
    parameters_.cbTypeSpecificParams = sizeof periodic;
    parameters_.lpvTypeSpecificParams = &periodic;
    ASSERT_NE(Make(GUID_Triangle), nullptr);
    EXPECT_EQ(device_->effects[1].kind, platform::kFFTriangle);
    EXPECT_EQ(device_->effects[1].period, 50);
    // A block that is not the kind's makes nothing.
    IDirectInputEffect* refused = nullptr;
    EXPECT_EQ(host_->CreateEffect(GUID_Spring, &parameters_, &refused, nullptr),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(refused, nullptr);
    // Without parameters the effect waits to be downloaded.
    IDirectInputEffect* later = nullptr;
    ASSERT_EQ(host_->CreateEffect(GUID_Spring, nullptr, &later, nullptr), DI_OK);
    effects_.push_back(later);
    EXPECT_EQ(device_->Take(), (Calls{"new 1"}));
    EXPECT_EQ(later->Download(), DI_OK);
    EXPECT_EQ(device_->Take(), (Calls{"new 2"}));
    EXPECT_EQ(device_->effects[2].kind, platform::kFFSpring);
}

TEST_F(ForceFeedbackEffects, EachFlagChangesItsOwnField) {
    IDirectInputEffect* effect = Make();
    ASSERT_NE(effect, nullptr);
    device_->Take();
    DIEFFECT change = Blank();
    change.dwDuration = 2000000;
    change.dwGain = 1;
    EXPECT_EQ(effect->SetParameters(&change, DIEP_NODOWNLOAD | DIEP_DURATION), DI_DOWNLOADSKIPPED);
    EXPECT_TRUE(device_->Take().empty());
    DIEFFECT read = Blank();
    ASSERT_EQ(effect->GetParameters(&read, DIEP_DURATION | DIEP_GAIN), DI_OK);
    EXPECT_EQ(read.dwDuration, 2000000u);
    EXPECT_EQ(read.dwGain, DI_FFNOMINALMAX);

    struct Flagged {
        DWORD flag;
        std::function<void(DIEFFECT&)> set;
        std::function<void(const DIEFFECT&)> check;
    };
    DWORD threeAxes[3] = {0, 4, 24};
    LONG threeDirections[3] = {1, 2, 3};
    DIENVELOPE envelope{sizeof(DIENVELOPE), 100, 200, 300, 400};
    DICONSTANTFORCE stronger{9000};
    const Flagged flagged[] = {
        {DIEP_SAMPLEPERIOD, [](DIEFFECT& e) { e.dwSamplePeriod = 7; },
         [](const DIEFFECT& e) { EXPECT_EQ(e.dwSamplePeriod, 7u); }},
        {DIEP_GAIN, [](DIEFFECT& e) { e.dwGain = 2500; },
         [](const DIEFFECT& e) { EXPECT_EQ(e.dwGain, 2500u); }},
        {DIEP_TRIGGERBUTTON, [](DIEFFECT& e) { e.dwTriggerButton = 0x35; },
         [](const DIEFFECT& e) { EXPECT_EQ(e.dwTriggerButton, 0x35u); }},
        {DIEP_TRIGGERREPEATINTERVAL, [](DIEFFECT& e) { e.dwTriggerRepeatInterval = 9; },
         [](const DIEFFECT& e) { EXPECT_EQ(e.dwTriggerRepeatInterval, 9u); }},
        {DIEP_AXES,
         [&](DIEFFECT& e) {
             e.cAxes = 3;
             e.rgdwAxes = threeAxes;
         },
         [](const DIEFFECT& e) {
             EXPECT_EQ(e.cAxes, 3u);
             EXPECT_EQ(e.rgdwAxes[2], 24u);
         }},
        {DIEP_DIRECTION,
         [&](DIEFFECT& e) {
             e.cAxes = 3;
             e.rglDirection = threeDirections;
         },
         [](const DIEFFECT& e) { EXPECT_EQ(e.rglDirection[2], 3); }},
        {DIEP_ENVELOPE, [&](DIEFFECT& e) { e.lpEnvelope = &envelope; },
         [](const DIEFFECT& e) {
             ASSERT_NE(e.lpEnvelope, nullptr);
             EXPECT_EQ(e.lpEnvelope->dwFadeTime, 400u);
         }},
        {DIEP_TYPESPECIFICPARAMS,
         [&](DIEFFECT& e) {
             e.cbTypeSpecificParams = sizeof stronger;
             e.lpvTypeSpecificParams = &stronger;
         },
         [](const DIEFFECT& e) {
             EXPECT_EQ(static_cast<DICONSTANTFORCE*>(e.lpvTypeSpecificParams)->lMagnitude, 9000);
         }},
    };
    for (const Flagged& f : flagged) {
        SCOPED_TRACE(f.flag);
        DIEFFECT set = Blank();
        f.set(set);
        EXPECT_EQ(effect->SetParameters(&set, f.flag), DI_OK);
        EXPECT_EQ(device_->Take(), (Calls{"update 0"}));
        DWORD axes[8];
        LONG directions[8];
        DIENVELOPE readEnvelope{};
        DICONSTANTFORCE block{};
        DIEFFECT got = Blank();
        got.cAxes = 8;
        got.rgdwAxes = axes;
        got.rglDirection = directions;
        got.lpEnvelope = &readEnvelope;
        got.cbTypeSpecificParams = sizeof block;
        got.lpvTypeSpecificParams = &block;
        ASSERT_EQ(effect->GetParameters(&got, f.flag), DI_OK);
        f.check(got);
    }
    EXPECT_EQ(device_->effects[0].level, 9000 * 2500 / 10000 * 32767 / 10000);
    EXPECT_EQ(device_->effects[0].button, 6);
}

TEST_F(ForceFeedbackEffects, SuccessCodesAndRefusals) {
    IDirectInputEffect* effect = Make();
    ASSERT_NE(effect, nullptr);
    DIEFFECT change = Blank();
    change.dwGain = 20000;
    EXPECT_EQ(effect->SetParameters(&change, DIEP_GAIN), DI_TRUNCATED);
    EXPECT_EQ(effect->SetParameters(&change, DIEP_GAIN | DIEP_START), DI_TRUNCATED);
    EXPECT_EQ(effect->SetParameters(&change, DIEP_GAIN | DIEP_START), DI_TRUNCATEDANDRESTARTED);
    change.dwGain = 100;
    EXPECT_EQ(effect->SetParameters(&change, DIEP_GAIN | DIEP_START), DI_EFFECTRESTARTED);
    EXPECT_EQ(effect->SetParameters(&change, DIEP_GAIN), DI_OK);
    EXPECT_EQ(effect->SetParameters(&change, DIEP_GAIN | DIEP_NODOWNLOAD), DI_DOWNLOADSKIPPED);

    device_->Take();
    // Refused changes leave the effect as it was.
    DIEFFECT bad = Blank();
    bad.dwTriggerButton = 0x20;
    EXPECT_EQ(effect->SetParameters(&bad, DIEP_TRIGGERBUTTON), DIERR_INVALIDPARAM);
    DWORD twice[2] = {0, 0};
    bad.cAxes = 2;
    bad.rgdwAxes = twice;
    EXPECT_EQ(effect->SetParameters(&bad, DIEP_AXES), DIERR_INVALIDPARAM);
    DWORD rotation[1] = {13};
    bad.cAxes = 1;
    bad.rgdwAxes = rotation;
    EXPECT_EQ(effect->SetParameters(&bad, DIEP_AXES), DIERR_INVALIDPARAM);
    LONG one[1] = {5};
    bad.rglDirection = one;
    EXPECT_EQ(effect->SetParameters(&bad, DIEP_DIRECTION), DIERR_INVALIDPARAM);
    EXPECT_EQ(effect->SetParameters(nullptr, DIEP_GAIN), DIERR_INVALIDPARAM);
    EXPECT_TRUE(device_->Take().empty());

    DIEFFECT got = Blank();
    DWORD axes[1];
    got.cAxes = 1;
    got.rgdwAxes = axes;
    EXPECT_EQ(effect->GetParameters(&got, DIEP_AXES), DIERR_MOREDATA);
    EXPECT_EQ(got.cAxes, 2u);
    got.lpEnvelope = reinterpret_cast<DIENVELOPE*>(&axes);
    ASSERT_EQ(effect->GetParameters(&got, DIEP_ENVELOPE | DIEP_TRIGGERBUTTON), DI_OK);
    EXPECT_EQ(got.lpEnvelope, nullptr);
    EXPECT_EQ(got.dwTriggerButton, DIEB_NOTRIGGER);
}

TEST_F(ForceFeedbackEffects, StartStopUnloadAndRelease) {
    IDirectInputEffect* first = Make();
    IDirectInputEffect* second = Make();
    ASSERT_TRUE(first != nullptr && second != nullptr);
    device_->Take();
    EXPECT_EQ(first->Start(1, 0), DI_OK);
    EXPECT_EQ(second->Start(DI_INFINITE, DIES_SOLO), DI_OK);
    EXPECT_EQ(device_->Take(), (Calls{"run 0 1", "stop 0", "run 1 4294967295"}));
    DWORD status = 0;
    second->GetEffectStatus(&status);
    EXPECT_EQ(status, DIEGES_PLAYING);
    EXPECT_EQ(first->Start(0, 0), DIERR_INVALIDPARAM);
    EXPECT_EQ(second->Stop(), DI_OK);
    EXPECT_EQ(first->Unload(), DI_OK);
    EXPECT_EQ(first->Stop(), DIERR_NOTDOWNLOADED);
    EXPECT_EQ(first->Start(1, DIES_NODOWNLOAD), DIERR_NOTDOWNLOADED);
    EXPECT_EQ(device_->Take(), (Calls{"stop 1", "stop 0", "destroy 0"}));
    // Starting an unloaded effect sends it again.
    EXPECT_EQ(first->Start(2, 0), DI_OK);
    EXPECT_EQ(device_->Take(), (Calls{"new 2", "run 2 2"}));
    effects_.clear();
    first->Release();
    second->Release();
    EXPECT_EQ(device_->Take(), (Calls{"stop 2", "destroy 2", "stop 1", "destroy 1"}));
    EXPECT_TRUE(device_->effects.empty());
}

TEST_F(ForceFeedbackEffects, DeviceCommands) {
    IDirectInputEffect* effect = Make();
    ASSERT_NE(effect, nullptr);
    host_->SetGain(5000);
    device_->Take();
    EXPECT_EQ(host_->SendForceFeedbackCommand(DISFFC_STOPALL), DI_OK);
    EXPECT_EQ(host_->SendForceFeedbackCommand(DISFFC_PAUSE), DI_OK);
    EXPECT_EQ(host_->SendForceFeedbackCommand(DISFFC_CONTINUE), DI_OK);
    EXPECT_EQ(host_->SendForceFeedbackCommand(DISFFC_SETACTUATORSOFF), DI_OK);
    EXPECT_EQ(host_->SendForceFeedbackCommand(DISFFC_SETACTUATORSON), DI_OK);
    EXPECT_EQ(device_->Take(), (Calls{"stopall", "pause", "unpause", "gain 0", "gain 50"}));
    EXPECT_EQ(host_->SendForceFeedbackCommand(DISFFC_RESET), DI_OK);
    EXPECT_EQ(device_->Take(), (Calls{"stopall", "stop 0", "destroy 0", "unpause", "gain 50"}));
    EXPECT_EQ(host_->SendForceFeedbackCommand(DISFFC_PAUSE | DISFFC_STOPALL), DIERR_INVALIDPARAM);
    device_->supported &= ~platform::kFFPause;
    EXPECT_EQ(host_->SendForceFeedbackCommand(DISFFC_PAUSE), DIERR_UNSUPPORTED);
    host_->SetAutocenter(false);
    EXPECT_EQ(device_->Take(), (Calls{"autocenter 0"}));
}

} // namespace
