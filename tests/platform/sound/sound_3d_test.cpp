#include <gtest/gtest.h>

#include <cmath>

#include "platform/sound/sound_3d.h"

namespace {

using namespace platform::sound;

TEST(SoundGain, VolumesAndPansFollowTheDecibelLaw) {
    EXPECT_EQ(VolumeGain(0), 1.0f);
    EXPECT_FLOAT_EQ(VolumeGain(-2000), 0.1f);
    EXPECT_FLOAT_EQ(VolumeGain(-600), static_cast<float>(std::pow(10.0, -0.3)));
    EXPECT_EQ(VolumeGain(-10000), 0.0f);
    EXPECT_EQ(VolumeGain(-20000), 0.0f);
    StereoGain right = PanGains(2000);
    EXPECT_FLOAT_EQ(right.left, 0.1f);
    EXPECT_EQ(right.right, 1.0f);
    StereoGain left = PanGains(-10000);
    EXPECT_EQ(left.left, 1.0f);
    EXPECT_EQ(left.right, 0.0f);
    StereoGain centre = PanGains(0);
    EXPECT_EQ(centre.left, 1.0f);
    EXPECT_EQ(centre.right, 1.0f);
}

TEST(Sound3d, DistanceGainFallsBetweenTheTwoDistancesByTheRolloff) {
    EXPECT_EQ(DistanceGain(0.5f, 1, 10, 1), 1.0f);
    EXPECT_EQ(DistanceGain(1, 1, 10, 1), 1.0f);
    EXPECT_FLOAT_EQ(DistanceGain(4, 1, 10, 1), 0.25f);
    EXPECT_FLOAT_EQ(DistanceGain(4, 1, 10, 2), 1.0f / 7);
    EXPECT_EQ(DistanceGain(4, 1, 10, 0), 1.0f);
    // No further fall beyond the maximum distance.
    EXPECT_FLOAT_EQ(DistanceGain(50, 1, 10, 1), 0.1f);
    EXPECT_FLOAT_EQ(DistanceGain(50, 1, 10, 2), 1.0f / 19);
    EXPECT_EQ(DistanceGain(50, 1, 10, 0), 1.0f);
    EXPECT_FLOAT_EQ(DistanceGain(6, 2, 1e9f, 1), 1.0f / 3);
}

TEST(Sound3d, ConeGainIsFullInsideAndTheOutsideVolumeOutside) {
    Source3d source;
    source.coneOrientation = {0, 0, 1};
    source.coneInside = 90;
    source.coneOutside = 180;
    source.coneOutsideVolume = -2000;
    EXPECT_EQ(ConeGain(source, {0, 0, 1}), 1.0f);
    EXPECT_EQ(ConeGain(source, {1, 0, 1.01f}), 1.0f);    // just under 45 degrees
    EXPECT_FLOAT_EQ(ConeGain(source, {0, 0, -1}), 0.1f); // behind
    EXPECT_FLOAT_EQ(ConeGain(source, {1, 0, 0}), 0.1f);  // 90 degrees: the outside edge
    // Halfway between the edges, half the decibels.
    float halfway = ConeGain(source, {std::sin(1.1781f), 0, std::cos(1.1781f)});
    EXPECT_NEAR(halfway, std::pow(10.0f, -0.5f), 1e-3);
    EXPECT_EQ(ConeGain(source, {0, 0, 0}), 1.0f);
    source.coneOrientation = {0, 0, 0};
    EXPECT_EQ(ConeGain(source, {0, 0, -1}), 1.0f);
}

TEST(Sound3d, DopplerRaisesApproachingSoundsAndLowersReceding) {
    Listener3d listener;
    Source3d source;
    source.position = {0, 0, 10};
    source.velocity = {0, 0, -34.33f}; // toward the listener at a tenth of the speed of sound
    EXPECT_FLOAT_EQ(DopplerRatio(listener, source), 1.0f / 0.9f);
    source.velocity = {0, 0, 34.33f};
    EXPECT_FLOAT_EQ(DopplerRatio(listener, source), 1.0f / 1.1f);
    source.velocity = {0, 0, 0};
    listener.velocity = {0, 0, 34.33f}; // the listener moving toward the source
    EXPECT_FLOAT_EQ(DopplerRatio(listener, source), 1.1f);
    listener.distanceFactor = 2; // two metres a unit: twice the speed
    EXPECT_FLOAT_EQ(DopplerRatio(listener, source), 1.2f);
    listener.doppler = 0;
    EXPECT_EQ(DopplerRatio(listener, source), 1.0f);
    listener.doppler = 1;
    listener.distanceFactor = 1;
    listener.velocity = {5, 0, 0}; // sideways: no shift
    EXPECT_FLOAT_EQ(DopplerRatio(listener, source), 1.0f);
    source.velocity = {0, 0, 1e6f};
    EXPECT_FLOAT_EQ(DopplerRatio(listener, source), 0.1f);
    // Speeds beyond the float's range still give a number.
    listener.distanceFactor = DS3D_MAXDISTANCEFACTOR;
    listener.velocity = {0, 0, 1e30f};
    source.velocity = {0, 0, 1e30f};
    EXPECT_EQ(DopplerRatio(listener, source), 1.0f);
    listener.velocity = {0, 0, 0};
    EXPECT_FLOAT_EQ(DopplerRatio(listener, source), 0.1f);
}

TEST(Sound3d, DirectionPansByTheListenersFrame) {
    Listener3d listener;
    StereoGain right = DirectionGains(listener, {3, 0, 0});
    EXPECT_NEAR(right.left, 0.0f, 1e-6);
    EXPECT_EQ(right.right, 1.0f);
    StereoGain left = DirectionGains(listener, {-3, 0, 0});
    EXPECT_EQ(left.left, 1.0f);
    EXPECT_NEAR(left.right, 0.0f, 1e-6);
    StereoGain behind = DirectionGains(listener, {0, 0, -3});
    EXPECT_EQ(behind.left, 1.0f);
    EXPECT_EQ(behind.right, 1.0f);
    StereoGain halfRight = DirectionGains(listener, {1, 0, 1});
    EXPECT_EQ(halfRight.right, 1.0f);
    EXPECT_NEAR(halfRight.left, std::sqrt(2.0f) * std::cos((1 + std::sqrt(0.5f)) * 3.14159265f / 4),
                1e-5);
    // Upside down (the top pointing down), right and left change places.
    listener.top = {0, -1, 0};
    StereoGain flipped = DirectionGains(listener, {3, 0, 0});
    EXPECT_EQ(flipped.left, 1.0f);
    EXPECT_NEAR(flipped.right, 0.0f, 1e-6);
}

TEST(Sound3d, PlacementCombinesDistanceConeDirectionAndDoppler) {
    Listener3d listener;
    listener.position = {1, 1, 1};
    Source3d source;
    source.position = {1, 1, 5};
    source.velocity = {0, 0, -34.33f};
    source.coneOrientation = {0, 0, 1}; // facing away from the listener
    source.coneInside = 60;
    source.coneOutside = 120;
    source.coneOutsideVolume = -2000;
    Placement3d placed = Place3d(listener, source);
    EXPECT_FLOAT_EQ(placed.gain.left, 0.25f * 0.1f);
    EXPECT_FLOAT_EQ(placed.gain.right, 0.25f * 0.1f);
    EXPECT_FLOAT_EQ(placed.frequencyRatio, 1.0f / 0.9f);
}

} // namespace
