// DirectInput's effect parameters in the force-feedback device's terms: every kind, the
// scales of forces and times, the gain, triggers, directions, envelopes and the blocks.
#include <gtest/gtest.h>

#include <functional>

#include "platform/input/ff_device.h"

namespace {

using platform::FFEffect;

struct Case {
    const char* name;
    platform::FFKind kind;
    std::function<void(DIEFFECT&)> change;
    std::function<void(const FFEffect&)> check;
    bool truncated = false;
};

// An effect as the joystick makes them: two axes, no trigger, full gain, for ever, and
// the block of its kind.
struct Parameters {
    DWORD axes[3] = {0, 4, 8};
    LONG directions[3] = {0, 0, 0};
    DIENVELOPE envelope{sizeof(DIENVELOPE), 0, 0, 0, 0};
    DICONSTANTFORCE constant{0};
    DIRAMPFORCE ramp{0, 0};
    DIPERIODIC periodic{0, 0, 0, 0};
    DICONDITION conditions[2] = {};
    LONG samples[6] = {10000, -10000, 5000, -5000, 0, 2500};
    DICUSTOMFORCE custom{2, 0, 4, samples};
    DIEFFECT effect{};

    explicit Parameters(platform::FFKind kind) {
        effect.dwSize = sizeof effect;
        effect.dwFlags = DIEFF_CARTESIAN | DIEFF_OBJECTOFFSETS;
        effect.dwDuration = DI_INFINITE;
        effect.dwGain = DI_FFNOMINALMAX;
        effect.dwTriggerButton = DIEB_NOTRIGGER;
        effect.cAxes = 2;
        effect.rgdwAxes = axes;
        effect.rglDirection = directions;
        switch (kind) {
        case platform::kFFConstant:
            Block(constant);
            break;
        case platform::kFFRamp:
            Block(ramp);
            break;
        case platform::kFFCustom:
            Block(custom);
            break;
        case platform::kFFSpring:
        case platform::kFFDamper:
        case platform::kFFInertia:
        case platform::kFFFriction:
            Block(conditions[0]);
            break;
        default:
            Block(periodic);
            break;
        }
    }
    template <class T> void Block(T& block) {
        effect.cbTypeSpecificParams = sizeof block;
        effect.lpvTypeSpecificParams = &block;
    }
};

TEST(ForceFeedbackMapping, EveryKindAndParameterByTable) {
    Parameters* p = nullptr;
    const Case cases[] = {
        {"full constant force", platform::kFFConstant, [&](DIEFFECT&) { p->constant = {10000}; },
         [](const FFEffect& e) {
             EXPECT_EQ(e.kind, platform::kFFConstant);
             EXPECT_EQ(e.level, 32767);
             EXPECT_EQ(e.length, platform::kFFInfinity);
             EXPECT_EQ(e.button, 0);
         }},
        {"negative constant force", platform::kFFConstant,
         [&](DIEFFECT&) { p->constant = {-10000}; },
         [](const FFEffect& e) { EXPECT_EQ(e.level, -32767); }},
        {"force beyond the range", platform::kFFConstant, [&](DIEFFECT&) { p->constant = {20000}; },
         [](const FFEffect& e) { EXPECT_EQ(e.level, 32767); }, true},
        {"gain scales the force", platform::kFFConstant,
         [&](DIEFFECT& e) {
             p->constant = {5000};
             e.dwGain = 5000;
         },
         [](const FFEffect& e) { EXPECT_EQ(e.level, 8191); }},
        {"gain beyond the range", platform::kFFConstant,
         [&](DIEFFECT& e) {
             p->constant = {10000};
             e.dwGain = 20000;
         },
         [](const FFEffect& e) { EXPECT_EQ(e.level, 32767); }, true},
        {"microseconds to milliseconds", platform::kFFConstant,
         [](DIEFFECT& e) { e.dwDuration = 1500000; },
         [](const FFEffect& e) { EXPECT_EQ(e.length, 1500u); }},
        {"a part of a millisecond counts", platform::kFFConstant,
         [](DIEFFECT& e) { e.dwDuration = 1; }, [](const FFEffect& e) { EXPECT_EQ(e.length, 1u); }},
        {"ramp", platform::kFFRamp,
         [&](DIEFFECT&) {
             p->ramp = {-10000, 2500};
         },
         [](const FFEffect& e) {
             EXPECT_EQ(e.start, -32767);
             EXPECT_EQ(e.end, 8191);
         }},
        {"sine", platform::kFFSine,
         [&](DIEFFECT&) {
             p->periodic = {10000, -5000, 9000, 100000};
         },
         [](const FFEffect& e) {
             EXPECT_EQ(e.kind, platform::kFFSine);
             EXPECT_EQ(e.magnitude, 32767);
             EXPECT_EQ(e.offset, -16383);
             EXPECT_EQ(e.phase, 9000);
             EXPECT_EQ(e.period, 100);
         }},
        {"phase past a turn", platform::kFFTriangle,
         [&](DIEFFECT&) {
             p->periodic = {0, 0, 36000, 0};
         },
         [](const FFEffect& e) { EXPECT_EQ(e.phase, 0); }, true},
        {"period beyond the device", platform::kFFSawtoothUp,
         [&](DIEFFECT&) {
             p->periodic = {0, 0, 0, 70000000};
         },
         [](const FFEffect& e) { EXPECT_EQ(e.period, 65535); }, true},
        {"condition for every axis", platform::kFFSpring,
         [&](DIEFFECT&) { p->conditions[0] = {1000, 10000, -10000, 10000, 5000, 5000}; },
         [](const FFEffect& e) {
             for (int axis = 0; axis < 3; ++axis) {
                 EXPECT_EQ(e.centre[axis], 3276);
                 EXPECT_EQ(e.rightCoefficient[axis], 32767);
                 EXPECT_EQ(e.leftCoefficient[axis], -32767);
                 EXPECT_EQ(e.rightSaturation[axis], 65535);
                 EXPECT_EQ(e.leftSaturation[axis], 32767);
                 EXPECT_EQ(e.deadBand[axis], 32767);
             }
         }},
        {"condition per axis", platform::kFFFriction,
         [&](DIEFFECT& e) {
             p->conditions[0] = {0, 10000, 0, 0, 0, 0};
             p->conditions[1] = {0, 5000, 0, 0, 0, 0};
             e.cbTypeSpecificParams = sizeof p->conditions;
         },
         [](const FFEffect& e) {
             EXPECT_EQ(e.rightCoefficient[0], 32767);
             EXPECT_EQ(e.rightCoefficient[1], 16383);
         }},
        {"custom samples by channel", platform::kFFCustom,
         [&](DIEFFECT&) { p->custom.dwSamplePeriod = 20000; },
         [](const FFEffect& e) {
             EXPECT_EQ(e.channels, 2);
             EXPECT_EQ(e.samples, 2);
             EXPECT_EQ(e.period, 20);
             ASSERT_EQ(e.data.size(), 4u);
             EXPECT_EQ(int16_t(e.data[0]), 32767);
             EXPECT_EQ(int16_t(e.data[1]), -32767);
             EXPECT_EQ(int16_t(e.data[3]), -16383);
         }},
        {"trigger button and interval", platform::kFFDamper,
         [](DIEFFECT& e) {
             e.dwTriggerButton = kFirstButtonOffset + 3;
             e.dwTriggerRepeatInterval = 250000;
         },
         [](const FFEffect& e) {
             EXPECT_EQ(e.button, 4);
             EXPECT_EQ(e.interval, 250);
         }},
        {"cartesian directions", platform::kFFInertia,
         [&](DIEFFECT&) {
             p->directions[0] = 1;
             p->directions[1] = -1;
         },
         [](const FFEffect& e) {
             EXPECT_EQ(e.directionKind, platform::FFDirectionKind::Cartesian);
             EXPECT_EQ(e.direction[0], 1);
             EXPECT_EQ(e.direction[1], -1);
         }},
        {"polar direction", platform::kFFSawtoothDown,
         [&](DIEFFECT& e) {
             e.dwFlags = DIEFF_POLAR | DIEFF_OBJECTOFFSETS;
             p->directions[0] = 9000;
         },
         [](const FFEffect& e) {
             EXPECT_EQ(e.directionKind, platform::FFDirectionKind::Polar);
             EXPECT_EQ(e.direction[0], 9000);
         }},
        {"envelope", platform::kFFSine,
         [&](DIEFFECT& e) {
             p->envelope = {sizeof(DIENVELOPE), 5000, 200000, 10000, 1000};
             e.lpEnvelope = &p->envelope;
             e.dwGain = 5000;
         },
         [](const FFEffect& e) {
             EXPECT_EQ(e.envelope.attackLevel, 8191);
             EXPECT_EQ(e.envelope.attackLength, 200);
             EXPECT_EQ(e.envelope.fadeLevel, 16383);
             EXPECT_EQ(e.envelope.fadeLength, 1);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Parameters parameters(c.kind);
        p = &parameters;
        c.change(parameters.effect);
        FFEffect mapped;
        bool truncated = true;
        ASSERT_TRUE(platform::MapEffect(c.kind, parameters.effect, mapped, truncated));
        EXPECT_EQ(truncated, c.truncated);
        c.check(mapped);
    }
}

TEST(ForceFeedbackMapping, ParametersThatDescribeNoEffectAreRefused) {
    FFEffect mapped;
    bool truncated = false;
    Parameters wrongBlock(platform::kFFSine);
    wrongBlock.Block(wrongBlock.constant);
    EXPECT_FALSE(platform::MapEffect(platform::kFFSine, wrongBlock.effect, mapped, truncated));
    Parameters noBlock(platform::kFFConstant);
    noBlock.effect.lpvTypeSpecificParams = nullptr;
    EXPECT_FALSE(platform::MapEffect(platform::kFFConstant, noBlock.effect, mapped, truncated));
    Parameters partFrame(platform::kFFCustom);
    partFrame.custom.cSamples = 3;
    EXPECT_FALSE(platform::MapEffect(platform::kFFCustom, partFrame.effect, mapped, truncated));
    Parameters noChannel(platform::kFFCustom);
    noChannel.custom.cChannels = 0;
    EXPECT_FALSE(platform::MapEffect(platform::kFFCustom, noChannel.effect, mapped, truncated));
    Parameters threeConditions(platform::kFFSpring);
    threeConditions.effect.cbTypeSpecificParams = 3 * sizeof(DICONDITION);
    EXPECT_FALSE(
        platform::MapEffect(platform::kFFSpring, threeConditions.effect, mapped, truncated));
    Parameters notAButton(platform::kFFConstant);
    notAButton.effect.dwTriggerButton = 0x20;
    EXPECT_FALSE(platform::MapEffect(platform::kFFConstant, notAButton.effect, mapped, truncated));
}

} // namespace
