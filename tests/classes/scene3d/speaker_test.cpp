// Speakers through a recording listener device: what the listener and the channels are
// told after each frame, the cone and stop arguments, the errors, and a Speaker without a
// channel. The last case plays through the sound layer's null output.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/manager/sound_channel.h"
#include "audio/manager/sound_device.h"
#include "audio/manager/sound_manager.h"
#include "classes/scene3d/speaker_class.h"
#include "packer/project_chunk_writer.h"
#include "packer/project_model.h"
#include "packer/project_writer.h"
#include "script/project/project_format.h"
#include "script/script_runner.h"
#include "support/temp_dir.h"

namespace {

using Triple = std::array<float, 3>;

// Everything the listener and the channels were told, in order, over one run.
struct Log {
    std::vector<Triple> listenerPositions, listenerVelocities, fronts, tops;
    std::vector<Triple> positions, velocities, cones;
    std::vector<std::array<int32_t, 2>> coneAngles;
    std::vector<int32_t> outsideVolumes, stopResets;
    int devices = 0;
    int destroyed = 0;
};
Log gLog;

class RecordingChannel final : public SoundChannel {
public:
    explicit RecordingChannel(SoundDevice* device) : SoundChannel(device) {}
    int Play() override {
        playing_ = 1;
        paused_ = 0;
        return 1;
    }
    int Pause() override {
        if (playing_ == 0) return 0;
        playing_ = 0;
        paused_ = 1;
        return 1;
    }
    int Resume() override {
        if (paused_ == 0) return 0;
        paused_ = 0;
        playing_ = 1;
        return 1;
    }
    void Stop(int reset, int) override {
        playing_ = paused_ = 0;
        gLog.stopResets.push_back(reset);
    }
    int IsPlaying() override { return playing_; }
    int SetVolume(int32_t volume) override {
        volume_ = std::clamp(volume, 0, 1000);
        return 1;
    }
    int SetPan(int32_t pan) override {
        pan_ = pan;
        return 1;
    }
    int SetFrequency(int32_t frequency) override {
        frequency_ = frequency;
        return 1;
    }
    void SetPlayPosition(uint64_t bytes) override { position_ = bytes; }
    int SetVelocity(float x, float y, float z) override {
        gLog.velocities.push_back({x, y, z});
        return want3D_;
    }
    int SetPosition3D(float x, float y, float z) override {
        gLog.positions.push_back({x, y, z});
        return want3D_;
    }
    int SetConeOrientation(float x, float y, float z) override {
        gLog.cones.push_back({x, y, z});
        return want3D_;
    }
    int SetConeAngles(int32_t inside, int32_t outside) override {
        gLog.coneAngles.push_back({inside, outside});
        return want3D_;
    }
    int SetConeOutsideVolume(int32_t volume) override {
        gLog.outsideVolumes.push_back(volume);
        return want3D_;
    }
    int SetMinMaxDistance(float minimum, float maximum) override {
        minimum_ = minimum;
        maximum_ = maximum;
        return want3D_;
    }
    int GetMinMaxDistance(float* minimum, float* maximum) override {
        *minimum = minimum_;
        *maximum = maximum_;
        return want3D_;
    }
    int OpenOnSource(CInStream*, int want3D) override {
        want3D_ = want3D;
        return 0;
    }

protected:
    uint64_t GetPlayBytes() override { return position_; }

private:
    float minimum_ = 1;
    float maximum_ = 1e9f;
};

class RecordingDevice final : public SoundDevice {
public:
    RecordingDevice() : SoundDevice(&SoundMgr_Instance()) {}
    SoundChannel* CreateChannelObject() override { return new RecordingChannel(this); }
    int HasListener3D() override { return 1; }
    int SetListenerVelocity(float x, float y, float z) override {
        gLog.listenerVelocities.push_back({x, y, z});
        return 1;
    }
    int SetListenerPosition(float x, float y, float z) override {
        gLog.listenerPositions.push_back({x, y, z});
        return 1;
    }
    int SetListenerOrientation(float fx, float fy, float fz, float tx, float ty,
                               float tz) override {
        gLog.fronts.push_back({fx, fy, fz});
        gLog.tops.push_back({tx, ty, tz});
        return 1;
    }
    int SetRolloffFactor(float factor) override {
        rolloff_ = factor;
        return 1;
    }
    float GetRolloffFactor() override { return rolloff_; }
};

const SpeakerSoundServices kRecording = {[](HWND window) -> SoundDevice* {
                                             auto* device = new RecordingDevice;
                                             device->Start(window);
                                             ++gLog.devices;
                                             return device;
                                         },
                                         [](SoundDevice* device) {
                                             ++gLog.destroyed;
                                             delete device;
                                         }};

std::vector<uint8_t> Wav(uint32_t rate, uint32_t frames) {
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    auto put = [&out](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(uint8_t(value >> (8 * i)));
    };
    put(36 + frames, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    for (uint32_t v : {16u, 1u, 1u, rate, rate, 1u, 8u})
        put(v, v == 16 || v == rate ? 4 : 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put(frames, 4);
    out.insert(out.end(), frames, 0x80);
    return out;
}

// "bell.wav" (half a second) in the sound bank, "chime.wav" in the binary bank.
std::string Project() {
    PackProject project;
    PackEntry entry;
    entry.name = "Main";
    PackElement bell;
    bell.name = "bell.wav";
    bell.data = Wav(8000, 4000);
    BankOfType(entry, project_format::kSoundBank).elements = {bell};
    PackElement chime;
    chime.name = "chime.wav";
    chime.data = Wav(8000, 800);
    BankOfType(entry, project_format::kBinaryBank).elements = {chime};
    project.entries.push_back(entry);
    ProjectChunkWriter out;
    std::string error;
    EXPECT_TRUE(WriteProjectData(project, out, error)) << error;
    return std::string(out.Bytes().begin(), out.Bytes().end());
}

// A World shown in a window with its camera `c` at the origin, at clock time 0.
const char* const kScene = "UseRenderers();\nUiAdvance(0);\nwin = New Window(120, 90, 0, 0);\n"
                           "w = New World(win);\nc = New Camera(w, win);\n";

class Speakers : public ::testing::Test {
protected:
    void SetUp() override {
        gLog = Log{};
        CISpeaker::SetSoundServices(&kRecording);
        setenv("ZORV_AUDIO", "null", 1);
    }
    void TearDown() override {
        CISpeaker::SetSoundServices(nullptr);
        unsetenv("ZORV_AUDIO");
    }
    // Runs the scene and `body`; its output, or "error N".
    std::string Run(const std::string& body) {
        const script_test::ScriptResult result =
            runner.Run(std::string(kScene) + body, "test.zs", project);
        if (result.ok != 1) return "error " + std::to_string(result.code);
        return result.output;
    }

    script_test::ScriptRunner runner;
    std::string project = Project();
};

TEST_F(Speakers, TheListenerAndTheChannelFollowTheSceneAfterEachFrame) {
    EXPECT_EQ(Run("s = New Speaker(\"bell.wav\", c, 0, 0, 100);\nc.Render();\n"
                  // Half a second later both have moved.
                  "c.SetPosition(10, 0, 0);\ns.SetPosition(0, 0, 300);\nUiAdvance(500);\n"
                  "c.Render();\n"
                  // A second frame in the same millisecond keeps the velocities.
                  "c.SetPosition(20, 0, 0);\ns.SetPosition(0, 0, 400);\nc.Render();\n"
                  "Print(s.GetDistanceMax());\n"),
              "100\n");
    EXPECT_EQ(gLog.devices, 1);
    EXPECT_EQ(gLog.destroyed, 1);
    // Frames may come more often than the script asks: each place is looked up where the
    // listener or the channel first heard of it.
    auto at = [](const std::vector<Triple>& places, const Triple& place) {
        const auto found = std::find(places.begin(), places.end(), place);
        EXPECT_NE(found, places.end()) << place[0] << " " << place[1] << " " << place[2];
        return size_t(found - places.begin());
    };
    const std::vector<Triple>& heard = gLog.listenerPositions;
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.front(), (Triple{0, 0, 0}));
    EXPECT_EQ(gLog.listenerVelocities.front(), (Triple{0, 0, 0}));
    EXPECT_EQ(gLog.listenerVelocities[at(heard, {10, 0, 0})], (Triple{20, 0, 0}));
    EXPECT_EQ(gLog.listenerVelocities[at(heard, {20, 0, 0})], (Triple{20, 0, 0}));
    EXPECT_EQ(gLog.fronts.back(), (Triple{0, 0, 1}));
    EXPECT_EQ(gLog.tops.back(), (Triple{0, 1, 0}));

    const std::vector<Triple>& placed = gLog.positions;
    ASSERT_FALSE(placed.empty());
    EXPECT_EQ(placed.front(), (Triple{0, 0, 100}));
    EXPECT_EQ(gLog.velocities.front(), (Triple{0, 0, 0}));
    EXPECT_EQ(gLog.velocities[at(placed, {0, 0, 300})], (Triple{0, 0, 400}));
    EXPECT_EQ(gLog.velocities[at(placed, {0, 0, 400})], (Triple{0, 0, 400}));
    // The sound's forward axis, in the scene objects' convention.
    EXPECT_EQ(gLog.cones.back(), (Triple{0, 0, -1}));
}

TEST_F(Speakers, ConesStopsAndTheChannelsAnswers) {
    EXPECT_EQ(
        Run("s = New Speaker(1 - 1, w);\n"
            "s.SetSpeakerConeAngle(270, 90);\ns.SetSpeakerConeAngle(-5);\n"
            "s.SetSpeakerConeAngle();\ns.SetConeOutsideVolume();\ns.SetConeOutsideVolume(5);\n"
            "s.PlaySound();\ns.StopSound(0);\ns.StopSound();\n"
            "c.SetSpeakerRollOffFactor(\"x\");\n"),
        "error 115");
    const std::vector<std::array<int32_t, 2>> angles = {{90, 270}, {360, 360}, {360, 360}};
    EXPECT_EQ(gLog.coneAngles, angles);
    EXPECT_EQ(gLog.outsideVolumes, (std::vector<int32_t>{1000, 5}));
    EXPECT_EQ(gLog.stopResets, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(
        Run("s = New Speaker(\"bell.wav\", c);\ns.PlaySound();\na = s.IsSoundPlaying();\n"
            "s.SetDistanceMax(250);\nPrint(a, s.GetDistanceMax());\n"
            "s.SetDistanceMax();\nPrint(s.GetDistanceMax(), s.GetVolume(), w.GetNSpeakers());\n"
            "c.SetSpeakerRollOffFactor(2.5);\na = c.GetSpeakerRollOffFactor();\n"
            "c.SetSpeakerRollOffFactor();\nPrint(a, c.GetSpeakerRollOffFactor());\n"
            "Print(w.GetSpeaker(0) == s, w.GetSpeaker(s) == s, w.GetSpeaker(1));\n"),
        "1 250\n250 1000 1\n2.5 0\n1 1 0\n");
}

TEST_F(Speakers, TheErrorsOfMakingAndPlaying) {
    EXPECT_EQ(Run("s = New Speaker(\"bell.wav\", 5);"), "error 75");
    EXPECT_EQ(Run("s = New Speaker(\"bell.wav\");"), "error 75");
    EXPECT_EQ(Run("s = New Speaker(c, c);"), "error 14");
    EXPECT_EQ(Run("s = New Speaker(\"none.wav\", c);"), "error 14");
    EXPECT_EQ(Run("s = New Speaker(7, c);"), "error 33");
    // A camera drawing into a Surface no window shows has no listener to give.
    EXPECT_EQ(Run("o = New Surface(64, 48);\nw2 = New World(o);\nc2 = New Camera(w2, o);\n"
                  "s = New Speaker(\"bell.wav\", c2);"),
              "error 77");
    EXPECT_EQ(Run("w2 = New World(New Surface(64, 48));\ns = New Speaker(\"bell.wav\", w2);"),
              "error 80");
    // Another camera drawing the World silences the first one's Speakers.
    EXPECT_EQ(Run("s = New Speaker(\"bell.wav\", c);\nwin2 = New Window(60, 40, 0, 0);\n"
                  "c2 = New Camera(w, win2);\ns.PlaySound();"),
              "error 76");
    EXPECT_EQ(Run("s = New Speaker(\"bell.wav\", c);\ns.SetPos();"), "error 21");
    // Deleting the camera takes its Speakers and its listener with it.
    EXPECT_EQ(Run("s = New Speaker(\"bell.wav\", c);\nt = New Speaker(0, c);\nDelete c;\n"
                  "Print(s, t, w.GetNSpeakers());\n"),
              "0 0 2\n");
    EXPECT_EQ(gLog.destroyed, gLog.devices);
}

TEST_F(Speakers, AChannelWithout3DTakesTheEnginesVolume) {
    // An element of the binary bank plays on the interpreter's device without 3D: its
    // volume falls with the distance over the World's range of 100.
    EXPECT_EQ(Run("s = New Speaker(\"chime.wav\", c, 0, 0, 50);\nc.Render();\n"
                  "a = s.GetVolume();\ns.SetPosition(0, 0, 75);\nUiAdvance(40);\nc.Render();\n"
                  "Print(a, s.GetVolume(), s.GetDuration());\n"),
              "500 250 100\n");
    // With 3D sound switched off a sound of the sound bank plays so too; it cannot be
    // switched while a Speaker exists.
    EXPECT_EQ(
        Run("a = Program.IsDirectSound3DUsed();\nProgram.DisableDirectSound3D();\n"
            "Print(a, Program.IsDirectSound3DUsed());\n"
            "s = New Speaker(\"bell.wav\", c, 0, 0, 50);\nc.Render();\nPrint(s.GetVolume());\n"),
        "1 0\n500\n");
    EXPECT_EQ(Run("s = New Speaker(\"bell.wav\", c);\nProgram.EnableDirectSound3D();\n"),
              "error 78");
}

TEST_F(Speakers, ALoadedWorldsSoundsBecomeSpeakers) {
    test_support::TempDir dir;
    const std::string file = "C:" + dir.Linux("room.zyb");
    ASSERT_EQ(Run("s = New Speaker(\"bell.wav\", c, 5, 6, 7);\ns.SetName(\"door\");\n"
                  "Print(w.Save(\"" +
                  file + "\"));\n"),
              "1\n");
    // The file brings its own camera, which has no window to listen in: it goes.
    const std::string load = "w.Load(\"" + file +
                             "\");\nk = w.GetCamera(0);\nIf (k == c) k = w.GetCamera(1);\n"
                             "Delete k;\n";
    // Without a camera the sound has nothing to be heard by.
    EXPECT_EQ(Run("w = New World(New Surface(64, 48));\n" + load +
                  "Print(w.GetNSpeakers());\ns = w.GetSpeaker(0);\n"),
              "error 80");
    EXPECT_EQ(Run(load + "s = w.GetSpeaker(\"DOOR\");\n" +
                  "s.PlaySound();\nPrint(s.GetZ(), s.IsSoundPlaying(), w.GetSpeaker(0) == s);\n"),
              "7 1 1\n");
    // A sound the project does not hold leaves the Speaker without a channel.
    project.clear();
    EXPECT_EQ(Run(load + "s = w.GetSpeaker(\"door\");\n" +
                  "s.SetSpeakerConeAngle(10, 20);\ns.SetDistanceMax(40);\ns.PlaySound();\n"
                  "Print(s.GetVolume(), s.GetDistanceMax(), s.IsSoundPlaying());\n"),
              "1000 40 0\n");
}

TEST_F(Speakers, PlaysThroughTheNullOutput) {
    CISpeaker::SetSoundServices(nullptr);
    EXPECT_EQ(Run("s = New Speaker(\"bell.wav\", c, 0, 0, 10);\ns.PlaySound();\n"
                  "Print(s.IsSoundPlaying(), s.GetDuration(), s.GetFrequency());\n"
                  "c.SetSpeakerDopplerFactor(2);\nPrint(c.GetSpeakerDopplerFactor());\n"
                  "UiAdvance(700);\nc.Render();\nPrint(s.IsSoundCompleted());\n"),
              "1 500 8000\n2\n1\n");
}

} // namespace
