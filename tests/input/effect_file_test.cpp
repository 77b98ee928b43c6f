// Effect files on a joystick whose force feedback a recording device takes: names and
// types, what each section sets and when it is left alone, and the limits that fail a
// file without making anything.
#include <gtest/gtest.h>

#include <string>

#include "input/effect_file.h"
#include "input/ff_joystick.h"
#include "support/temp_dir.h"

namespace {

class EffectFiles : public ::testing::Test {
protected:
    // Writes the file and reads it on the pad: the effect's index or -1.
    int32_t Load(const std::string& text) {
        std::string name = "effect" + std::to_string(++files_) + ".ffe";
        folder_.WriteFile(name, text);
        return pad_.Device()->LoadEffectFile(folder_.Win(name).c_str());
    }

    test_support::TempDir folder_;
    input_fakes::ForceFeedbackJoystick pad_{2};
    int files_ = 0;
};

TEST_F(EffectFiles, TheNameFindsTheFirstTypeByEitherName) {
    ASSERT_NE(pad_.Device(), nullptr);
    EXPECT_EQ(Load("[GeneralValues]\nEffectName=periodic\n"), 0);
    EXPECT_EQ(pad_.Device()->GetEffectTypeOf(0), 2);
    EXPECT_EQ(Load("[GeneralValues]\nEffectName=SAWTOOTH DOWN\n"), 1);
    EXPECT_EQ(pad_.Device()->GetEffectTypeOf(1), 5);
    EXPECT_EQ(Load("[GeneralValues]\nEffectName=rampforce\n"), 2);
    EXPECT_EQ(pad_.Device()->GetEffectTypeOf(2), 1);
    EXPECT_EQ(Load("[GeneralValues]\nEffectName=Condition\n"), 3);
    EXPECT_EQ(pad_.Device()->GetEffectTypeOf(3), 6);

    EXPECT_EQ(Load("[GeneralValues]\nEffectName=Square\n"), -1);
    EXPECT_EQ(Load("[GeneralValues]\nEffectName=\n"), -1);
    EXPECT_EQ(Load("[CustomValues]\nlMagnitude=1\n"), -1);
    EXPECT_EQ(pad_.Device()->LoadEffectFile(folder_.Win("missing.ffe").c_str()), -1);
    EXPECT_EQ(pad_.Device()->GetEffectTypeOf(4), -1);
}

TEST_F(EffectFiles, EachSectionSetsItsValues) {
    ASSERT_EQ(Load("[GeneralValues]\nEffectName=Constant Force\nDuration=500000\nGain=5000\n"
                   "TriggerButton=2\nTriggerInterval=100000\nTriggerDelay=7\nAxis=0;1\n"
                   "[CustomValues]\nlMagnitude=-10000\n"
                   "[Envelope]\nAttackLevel=10000\nAttackTime=1000\nFadeLevel=5000\n"
                   "FadeTime=2000\n"
                   "[Direction]\nAxis=0;1\nAxisRotation=3;-4\n"),
              0);
    InputDevice& device = *pad_.Device();
    uint32_t value = 0;
    int32_t number = 0;
    device.GetEffectDuration(0, value);
    EXPECT_EQ(value, 500000u);
    device.GetEffectGain(0, value);
    EXPECT_EQ(value, 5000u);
    device.GetEffectTriggerButton(0, number);
    EXPECT_EQ(number, 2);
    device.GetEffectTriggerInterval(0, value);
    EXPECT_EQ(value, 100000u);
    EXPECT_EQ(device.HasEffectEnvelope(0), 1);
    int32_t axes[2] = {}, directions[2] = {};
    device.GetEffectDirection(0, axes, directions, 2);
    EXPECT_EQ(directions[1], -4);
    device.DownloadEffect(0);
    const platform::FFEffect& sent = pad_.recorder->effects.at(0);
    EXPECT_EQ(sent.level, -16383);
    EXPECT_EQ(sent.length, 500u);
    EXPECT_EQ(sent.button, 3);
    EXPECT_EQ(sent.envelope.fadeLength, 2);

    ASSERT_EQ(Load("[GeneralValues]\nEffectName=Custom Force\n[CustomValues]\ncChannels=2\n"
                   "dwSamplePeriod=10000\ncSamples=4\nrglForceData0=10000\nrglForceData1=-10000\n"
                   "rglForceData3=5000\n"),
              1);
    device.DownloadEffect(1);
    const platform::FFEffect& custom = pad_.recorder->effects.at(1);
    EXPECT_EQ(custom.channels, 2);
    EXPECT_EQ(custom.period, 10);
    ASSERT_EQ(custom.data.size(), 4u);
    EXPECT_EQ(int16_t(custom.data[1]), -32767);
    EXPECT_EQ(custom.data[2], 0);
    EXPECT_EQ(int16_t(custom.data[3]), 16383);

    ASSERT_EQ(Load("[GeneralValues]\nEffectName=Spring\n[CustomValues]\nlOffset=1000\n"
                   "lPositiveCoefficient=10000\ndwPositiveSaturation=10000\nlDeadBand=5000\n"),
              2);
    device.DownloadEffect(2);
    EXPECT_EQ(pad_.recorder->effects.at(2).rightCoefficient[0], 32767);
    EXPECT_EQ(pad_.recorder->effects.at(2).deadBand[1], 32767);
}

TEST_F(EffectFiles, PartsLeftAloneWhenIncomplete) {
    // One axis, an envelope without a fade time, a direction for two axes with one value.
    ASSERT_EQ(Load("[GeneralValues]\nEffectName=Sine\nAxis=1\n"
                   "[Envelope]\nAttackLevel=1\nAttackTime=1\nFadeLevel=1\nFadeTime=0\n"
                   "[Direction]\nAxis=0;1\nAxisRotation=5\n"),
              0);
    InputDevice& device = *pad_.Device();
    int32_t count = 0;
    device.GetEffectAxisCount(0, count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(device.HasEffectEnvelope(0), 0);
    int32_t axis = -1, direction = -1;
    device.GetEffectDirection(0, &axis, &direction, 1);
    EXPECT_EQ(axis, 1);
    EXPECT_EQ(direction, 0);
    uint32_t duration = 0;
    device.GetEffectDuration(0, duration);
    EXPECT_EQ(duration, 0xFFFFFFFFu);
    int32_t trigger = 0;
    device.GetEffectTriggerButton(0, trigger);
    EXPECT_EQ(trigger, -1);

    // An empty axis list changes nothing: the effect keeps X and Y.
    ASSERT_EQ(Load("[GeneralValues]\nEffectName=Sine\nAxis=\n"), 1);
    device.GetEffectAxisCount(1, count);
    EXPECT_EQ(count, 2);
    // Lists longer than the pad's axes are cut to them.
    ASSERT_EQ(Load("[GeneralValues]\nEffectName=Sine\nAxis=0;1;2;3\n"
                   "[Direction]\nAxis=0;1;2\nAxisRotation=1;2;3\n"),
              2);
    device.GetEffectAxisCount(2, count);
    EXPECT_EQ(count, 2);

    // Starting the effect one past the last does nothing.
    pad_.recorder->Take();
    device.StartEffect(3, 1, 1);
    EXPECT_TRUE(pad_.recorder->Take().empty());
}

TEST_F(EffectFiles, ValuesBeyondTheLimitsFailTheFile) {
    const char* bad[] = {
        "[GeneralValues]\nEffectName=Custom Force\n[CustomValues]\ncChannels=1\ncSamples=65537\n",
        "[GeneralValues]\nEffectName=Custom Force\n[CustomValues]\ncChannels=1\ncSamples=-1\n",
        "[GeneralValues]\nEffectName=Custom Force\n[CustomValues]\ncChannels=0\ncSamples=1\n",
        "[GeneralValues]\nEffectName=Custom Force\n[CustomValues]\ncChannels=3\ncSamples=3\n",
        "[GeneralValues]\nEffectName=Custom Force\n[CustomValues]\ncChannels=2\ncSamples=3\n",
        "[GeneralValues]\nEffectName=Sine\nAxis=0;5\n",
        "[GeneralValues]\nEffectName=Sine\nAxis=-1\n",
        "[GeneralValues]\nEffectName=Sine\n[Direction]\nAxis=0;9\nAxisRotation=1;2\n",
        "[GeneralValues]\nEffectName=Sine\nAxis=2147483648\n",
    };
    for (const char* text : bad)
        EXPECT_EQ(Load(text), -1) << text;
    EXPECT_EQ(pad_.Device()->GetEffectTypeOf(0), -1);
    EXPECT_TRUE(pad_.recorder->effects.empty());
    // The longest custom effect the file may give is made (as many samples as the device
    // plays).
    EXPECT_EQ(Load("[GeneralValues]\nEffectName=Custom Force\n[CustomValues]\ncChannels=2\n"
                   "cSamples=65536\n"),
              0);
}

TEST_F(EffectFiles, AJoystickWithoutForceFeedbackMakesNone) {
    input_fakes::ForceFeedbackJoystick plain(2, false);
    folder_.WriteFile("plain.ffe", "[GeneralValues]\nEffectName=Sine\n");
    EXPECT_EQ(ReadEffectFile(*plain.Device(), folder_.Win("plain.ffe").c_str()), -1);
    EXPECT_EQ(ReadEffectFile(*plain.Device(), nullptr), -1);
}

} // namespace
