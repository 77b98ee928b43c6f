#include "engine3d/render/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "engine3d/render/directx_device.h"
#include "engine3d/render/render_fixture.h"
#include "platform/gl/gl_probe.h"

namespace {

using RegistryTest = RenderDisplayTest;

TEST_F(RegistryTest, TableHoldsTheFourBackEndsInOrder) {
    const LAPIDescriptor* d = GetAPIDescriptors();
    EXPECT_EQ(d[0].fourCC, MakeFourCC("DX3D"));
    EXPECT_EQ(d[1].fourCC, MakeFourCC("DX30"));
    EXPECT_EQ(d[2].fourCC, MakeFourCC("GL11"));
    EXPECT_EQ(d[3].fourCC, 0x32335753u);
    EXPECT_STREQ(d[3].name, "DIB");
    LBackEndRegistry registry;
    EXPECT_EQ(registry.IsAvailable(3), 1);
    EXPECT_EQ(registry.IsAvailable(1), 1);
    // Direct3D draws through OpenGL: both or neither.
    EXPECT_EQ(registry.IsAvailable(0), platform::OpenGLAvailable() ? 1 : 0);
    EXPECT_EQ(registry.IsAvailable(2), platform::OpenGLAvailable() ? 1 : 0);
    EXPECT_EQ(registry.IsAvailable(4), 0);
    EXPECT_EQ(registry.IsAvailable(-1), 0);
    // Its device is made when asked for by number.
    LAPICLBK* direct3D = registry.CreateAPI(0);
    ASSERT_NE(direct3D, nullptr);
    EXPECT_EQ(direct3D->GetFourCC(), MakeFourCC("DX3D"));
    registry.ReleaseAPI(direct3D);
    EXPECT_EQ(registry.CreateAPI(4), nullptr);
    EXPECT_EQ(registry.OpenCount(), 0u);
}

TEST_F(RegistryTest, WithOpenGLTurnedOffNeitherDirect3DNorOpenGLIsOffered) {
    setenv("ZORV_GL", "off", 1);
    LBackEndRegistry registry;
    EXPECT_EQ(registry.IsAvailable(0), 0);
    EXPECT_EQ(registry.IsAvailable(2), 0);
    EXPECT_EQ(registry.IsAvailable(1), 1);
    unsetenv("ZORV_GL");
}

TEST_F(RegistryTest, AScreenOf256ColoursLeavesOnlyTheDIB) {
    UseDisplay(8);
    LBackEndRegistry registry;
    for (int32_t index : {0, 1, 2})
        EXPECT_EQ(registry.IsAvailable(index), 0) << index;
    EXPECT_EQ(registry.IsAvailable(3), 1);
}

TEST_F(RegistryTest, OpenDevicesAreDestroyedOnceWithTheRegistry) {
    {
        LBackEndRegistry registry;
        LAPICLBK* directX = registry.CreateAPI(1);
        ASSERT_NE(directX, nullptr);
        EXPECT_NE(static_cast<LAPI_DirectX*>(directX)->GetDirectDraw(), nullptr);
        LAPICLBK* dib = registry.CreateAPI(3);
        ASSERT_NE(dib, nullptr);
        EXPECT_EQ(registry.OpenCount(), 2u);
        registry.ReleaseAPI(dib);
        // Not the registry's any more: left alone.
        registry.ReleaseAPI(dib);
        EXPECT_EQ(registry.OpenCount(), 1u);
    }
    // The fixture checks that the DirectDraw object went with its device.
}

TEST_F(RegistryTest, TheSeamLoadsAndListsBackEnds) {
    LBackEndRegistry registry;
    LAPIRegistry* previous = GetAPIRegistry();
    SetAPIRegistry(&registry);
    {
        CIDisplayList list;
        list.Init(1, 3);
        EXPECT_EQ(list.IsAvailable(), 1);
        ASSERT_NE(list.Acquire(0), nullptr);
        EXPECT_STREQ(list.GetName(), "DIB");
        ASSERT_EQ(list.GetDeviceCount(), 1u);
        const DisplayDeviceEntry* device = list.GetDevice(0);
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(device->name, "Default");
        ASSERT_EQ(device->drivers.size(), 1u);
        EXPECT_EQ(device->drivers[0].windowed, 1u);
        EXPECT_FALSE(device->drivers[0].modes.empty());
        EXPECT_EQ(registry.OpenCount(), 1u);
        list.Release();
        EXPECT_EQ(registry.OpenCount(), 0u);
    }
    SetAPIRegistry(previous);
}

} // namespace
