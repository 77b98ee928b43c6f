#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine3d/render/dib_device.h"
#include "engine3d/render/directx_device.h"
#include "engine3d/render/render_fixture.h"
#include "engine3d/scene/render/null_device.h"

namespace {

// A device whose tree a case builds by hand, counting what it is asked to free.
class TreeDevice : public LAPINull {
public:
    ~TreeDevice() override { RemoveAllDrivers(); }
    void FreeModeData(uintptr_t) override { ++modesFreed; }
    void FreeDeviceData(uintptr_t) override { ++devicesFreed; }
    void FreeDriverData(uintptr_t) override { ++driversFreed; }
    int modesFreed = 0, devicesFreed = 0, driversFreed = 0;
};

TEST(DisplayModeTreeTest, ModesAreKeptOnceAndNamedBySizeAndDepth) {
    TreeDevice device;
    LDisplayDevice* d = device.AddDevice(device.AddDriver("Default", 0), "Default", 1, 0);
    LDisplayMode* first = device.AddMode(d, {640, 480}, 16, 7);
    EXPECT_EQ(device.AddMode(d, {640, 480}, 16, 9), first);
    EXPECT_EQ(first->data, 7u);
    EXPECT_EQ(first->next, nullptr);
    EXPECT_STREQ(first->text, " 640 x 480 ( 16 BPP )");
    EXPECT_NE(device.AddMode(d, {640, 480}, 32, 0), first);
    EXPECT_EQ(device.AddMode(nullptr, {1, 1}, 8, 0), nullptr);
    EXPECT_EQ(device.AddDevice(nullptr, "x", 1, 0), nullptr);
}

TEST(DisplayModeTreeTest, NearestModeAndAvailabilityFollowAreaAndDepth) {
    TreeDevice device;
    LDisplayDriver* driver = device.AddDriver("Default", 0);
    LDisplayDevice* d = device.AddDevice(driver, "Default", 0, 0);
    device.AddMode(d, {320, 200}, 32, 0);
    LDisplayMode* small = device.AddMode(d, {640, 480}, 16, 0);
    device.AddMode(d, {800, 600}, 16, 0);
    EXPECT_EQ(LAPICLBK::FindNearestDisplayMode({700, 500}, driver, d, nullptr, 16), small);
    // No mode of the depth: the first of the list.
    EXPECT_EQ(LAPICLBK::FindNearestDisplayMode({700, 500}, driver, d, nullptr, 24), d->modes);
    EXPECT_EQ(LAPICLBK::FindNearestDisplayMode({700, 500}, nullptr, d, nullptr, 16), nullptr);

    EXPECT_EQ(LAPICLBK::CheckModeAvailable(d, 800, 600, 15), 0);
    EXPECT_EQ(LAPICLBK::CheckModeAvailable(d, 801, 600, 16), 17);
    EXPECT_EQ(LAPICLBK::CheckModeAvailable(d, 100, 100, 24), 17);
    EXPECT_EQ(LAPICLBK::CheckModeAvailable(nullptr, 1, 1, 16), 2);
    EXPECT_EQ(LAPICLBK::CheckDepthAvailable(d, 2, 15), 0);
    EXPECT_EQ(LAPICLBK::CheckDepthAvailable(d, 2, 24), 34);
    // Not a window device.
    EXPECT_EQ(LAPICLBK::CheckDepthAvailable(d, 4, 16), 34);
    EXPECT_EQ(LAPICLBK::CheckDepthAvailable(d, 6, 16), 2);
}

TEST(DisplayModeTreeTest, RemovalFreesEveryLevelAndMendsTheLinks) {
    TreeDevice device;
    LDisplayDriver* a = device.AddDriver("A", 0);
    LDisplayDriver* b = device.AddDriver("B", 0);
    LDisplayDriver* c = device.AddDriver("C", 0);
    LDisplayDevice* first = device.AddDevice(b, "1", 1, 0);
    LDisplayDevice* second = device.AddDevice(b, "2", 1, 0);
    device.AddMode(first, {640, 480}, 16, 0);
    device.AddMode(first, {800, 600}, 16, 0);
    EXPECT_EQ(b->currentDevice, first);
    device.RemoveDevice(b, first);
    EXPECT_EQ(b->currentDevice, second);
    EXPECT_EQ(device.modesFreed, 2);
    device.RemoveDriver(b);
    EXPECT_EQ(a->next, c);
    EXPECT_EQ(c->previous, a);
    device.RemoveDriver(a);
    EXPECT_EQ(device.GetDrivers(), c);
    EXPECT_EQ(device.GetCurrentDriver(), c);
    EXPECT_EQ(device.devicesFreed, 2);
    EXPECT_EQ(device.driversFreed, 2);
}

TEST(DisplayModeTreeTest, NamesAreCutToTheBuffer) {
    LAPI_Surface_Win32 device;
    char text[8];
    std::memset(text, 'x', sizeof text);
    device.GetName(text, 1);
    EXPECT_STREQ(text, "");
    device.GetName(text, 3);
    EXPECT_STREQ(text, "DI");
    text[0] = 'x';
    device.GetName(text, 0);
    EXPECT_EQ(text[0], 'x');
    EXPECT_EQ(device.GetFourCC(), 0x32335753u);
}

using BackEndDeviceTest = RenderDisplayTest;

// The modes the DIB and DirectDraw trees list, as the script runtime sees them.
std::string Listing(CDisplayAPI& api) {
    std::string text;
    char name[64];
    api.GetName(name, sizeof name);
    text += name;
    for (uint32_t i = 0; i < api.GetDeviceCount(); ++i) {
        CDisplayDevice* device = api.GetDevice(i);
        text += std::string("|") + device->GetName();
        for (uint32_t j = 0; j < device->GetDriverCount(); ++j) {
            CDisplayDriver* driver = device->GetDriver(j);
            text +=
                std::string(":") + driver->GetName() + "/" + std::to_string(driver->IsWindowed());
            CDisplayMode mode;
            for (uint32_t k = 0; driver->GetMode(k, mode) != 0; ++k)
                text += " " + std::to_string(mode.width) + "x" + std::to_string(mode.height) + "x" +
                        std::to_string(mode.depth);
        }
        EXPECT_EQ(device->GetCurrentDriver(), device->GetDriver(0));
        EXPECT_EQ(device->GetDriver(device->GetDriverCount()), nullptr);
    }
    EXPECT_EQ(api.GetDevice(api.GetDeviceCount()), nullptr);
    return text;
}

TEST_F(BackEndDeviceTest, TreesListTheDisplaysModesThroughTheSeam) {
    LAPI_Surface_Win32 dib;
    const std::string dibListing = Listing(dib);
    EXPECT_EQ(dibListing.rfind("DIB|Default:Default/1 ", 0), 0u) << dibListing;
    EXPECT_NE(dibListing.find(" 640x480x32"), std::string::npos) << dibListing;

    LAPI_DirectX directX;
    ASSERT_NE(directX.GetDirectDraw(), nullptr);
    const std::string ddListing = Listing(directX);
    EXPECT_EQ(ddListing.rfind("DirectDraw 3|Default:Default/1 ", 0), 0u) << ddListing;
    EXPECT_NE(ddListing.find(" 640x480x32"), std::string::npos) << ddListing;
}

TEST_F(BackEndDeviceTest, DirectDrawWithoutItsObjectHasNoModes) {
    platform::test::InjectFault(platform::test::Fault::DirectDrawCreate);
    LAPI_DirectX directX;
    EXPECT_EQ(directX.GetDirectDraw(), nullptr);
    ASSERT_NE(directX.GetDrivers(), nullptr);
    ASSERT_NE(directX.GetDrivers()->devices, nullptr);
    EXPECT_EQ(directX.GetDrivers()->devices->modes, nullptr);
    EXPECT_EQ(directX.WaitForVerticalBlank(), 0);
}

} // namespace
