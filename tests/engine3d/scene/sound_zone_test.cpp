#include <gtest/gtest.h>

#include <vector>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/support/scene_fixture.h"
#include "engine3d/scene/zones/sound.h"
#include "engine3d/scene/zones/zone.h"

namespace {

// What the Speaker hands its sound channel once per frame.
struct FakeChannel {
    float volume = -1;
    float pan = -1;
};

class SoundTest : public SceneTest {
protected:
    SoundTest() : camera(*world.CreateCamera(0)) { camera.SetViewSize(640, 480); }

    // The Speaker's part: update through the listening camera, hand the values on.
    FakeChannel Listen(L3DSound& sound) {
        world.sounds.UpdateAll(camera);
        return FakeChannel{sound.volume, sound.pan};
    }

    L3DCamera& camera;
};

TEST_F(SoundTest, VolumeFallsWithDistanceAndPanFollowsTheView) {
    struct Case {
        float x, y, z;
        float volume, pan;
    };
    const Case cases[] = {
        {0, 0, 0, 65536, 0},
        {0, 0, 2500, 32768, 0},
        {0, 0, 6000, 0, 0},
        // Behind and a little to the right: the left edge.
        {10, 0, -100, 65536 * (1 - 100.4988f / 5000), -32768},
        // Level with the camera and to its right: full right; on its axis: centred.
        {100, 0, 0.5f, 65536 * (1 - 100.00125f / 5000), 32768},
        {-100, 0, 0, 65536 * (1 - 100.0f / 5000), -32768},
        {0, 50, 0, 65536 * (1 - 50.0f / 5000), 0},
    };
    L3DSound* sound = world.sounds.CreateSound("Engine.wav", 0);
    for (const Case& c : cases) {
        sound->SetPosition(c.x, c.y, c.z);
        sound->changed = 0;
        const FakeChannel channel = Listen(*sound);
        EXPECT_NEAR(channel.volume, c.volume, 0.5) << c.x << " " << c.y << " " << c.z;
        EXPECT_NEAR(channel.pan, c.pan, 0.5) << c.x << " " << c.y << " " << c.z;
        EXPECT_EQ(sound->changed, 1u);
    }
    // A sound of no list is never updated.
    EXPECT_EQ(world.sounds.RemoveSound(sound, 0), 0);
    sound->volume = 7;
    sound->ComputeVolumeAndPan(camera);
    EXPECT_EQ(sound->volume, 7.0f);
    delete sound;
}

TEST_F(SoundTest, ListCodesNamesAndSaving) {
    L3DSound* sound = world.sounds.CreateSound("Rain.wav", 0);
    sound->SetName("Sky");
    sound->pan = -32768;
    sound->volume = 65536;
    EXPECT_EQ(world.sounds.FindByName("RAIN.WAV"), sound);
    EXPECT_EQ(world.sounds.FindNextByName(sound, "sky"), sound);
    char small[5];
    sound->GetSoundName(small, sizeof small);
    EXPECT_STREQ(small, "Rain");
    EXPECT_EQ(world.sounds.RemoveSoundAt(3, 1), 9);
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    EXPECT_EQ(world.sounds.Save(writer, 0), 0);
    const std::vector<uint8_t> head = {'B', 'S', 'O', 'U', 65,  0,   0,   0,   1,   0,   8,
                                       0,   'R', 'a', 'i', 'n', '.', 'w', 'a', 'v', 0,   0x80,
                                       0,   0,   3,   0,   'S', 'k', 'y', 'O', 'L', 'O', 'C'};
    const std::vector<uint8_t>& bytes = sink.Bytes();
    ASSERT_EQ(bytes.size(), 73u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 33), head);
    delete sound;
    EXPECT_EQ(world.sounds.list.GetCount(), 0u);
}

using ZoneTest = SceneTest;

TEST_F(ZoneTest, HalfSizesAreIntegerAndFacesCountAsInside) {
    L3DZone* zone = world.zones.CreateZone(nullptr, 11, 20, 30, 0, 0);
    struct Case {
        float x, y, z;
        bool inside;
    };
    const Case cases[] = {
        {5, 0, 0, true},   {5.5f, 0, 0, false},   {-5, 0, 0, true},
        {0, 10, 15, true}, {0, 10.01f, 0, false}, {0, 0, -15.5f, false},
    };
    for (const Case& c : cases) {
        const float p[3] = {c.x, c.y, c.z};
        EXPECT_EQ(zone->ContainsPoint(p), c.inside) << c.x << " " << c.y << " " << c.z;
    }
    EXPECT_EQ(zone->IsVisible(), 0);
}

TEST_F(ZoneTest, ATurnSwapsTheAxesAndSizesAreKeptOnRequest) {
    L3DLocation place;
    place.SetAnglesAndPosition(0, 0, 0, 100, 0, 0);
    L3DZone* zone = world.zones.CreateZone(&place, 100, 10, 10, 1, 0);
    const float alongX[3] = {140, 0, 0};
    const float alongZ[3] = {100, 0, 40};
    EXPECT_TRUE(zone->ContainsPoint(alongX));
    EXPECT_FALSE(zone->ContainsPoint(alongZ));
    zone->SetAngles(0, 1.5707964f, 0, 0);
    EXPECT_FALSE(zone->ContainsPoint(alongX));
    EXPECT_TRUE(zone->ContainsPoint(alongZ));
    auto* walker = new L3DObject("Walker", &world, nullptr);
    walker->SetPosition(100, 0, 45);
    world.AddObject(walker, 1);
    EXPECT_TRUE(zone->ContainsObject(*walker));
    zone->SetSize(nullptr, -99999, -99999, 50, 1);
    EXPECT_EQ(zone->GetWidth(), 100u);
    EXPECT_EQ(zone->GetHeight(), 10u);
    EXPECT_EQ(zone->GetDepth(), 50u);
    EXPECT_EQ(zone->Clone(nullptr), nullptr);
}

TEST_F(ZoneTest, ListCodesAndSaving) {
    L3DZone* zone = world.zones.CreateZone(nullptr, 11, 70000, 3, 1, 0);
    zone->SetName("Gate");
    EXPECT_EQ(world.zones.AddZone(nullptr), 8);
    EXPECT_EQ(world.zones.RemoveZoneAt(1, 1), 8);
    EXPECT_EQ(world.zones.FindNextByName(zone, "GATE"), zone);
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    EXPECT_EQ(world.zones.Save(writer, 0), 0);
    // 70000 keeps its low 16 bits.
    const std::vector<uint8_t> head = {'B', 'Z', 'O', 'N',  58,   0,   0,   0,  1,
                                       0,   11,  0,   0x70, 0x11, 3,   0,   4,  0,
                                       'G', 'a', 't', 'e',  'O',  'L', 'O', 'C'};
    const std::vector<uint8_t>& bytes = sink.Bytes();
    ASSERT_EQ(bytes.size(), 66u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 26), head);
    EXPECT_EQ(world.zones.RemoveZone(zone, 1), 0);
    EXPECT_EQ(world.zones.RemoveZone(zone, 1), 8);
}

} // namespace
