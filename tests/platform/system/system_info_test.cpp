#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/files/drives.h"
#include "platform/files/logical_drives.h"
#include "platform/last_error.h"
#include "platform/system/system_info.h"
#include "platform/window_recorder.h"

namespace {

TEST(SystemInfo, VersionIsXpAndAWrongStructureSizeIsRefused) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info) - 1;
    SetLastError(0);
    EXPECT_EQ(ErrorOf(GetVersionExA(&info), FALSE), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(GetVersionExA(nullptr));

    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_EQ(info.dwMajorVersion, 5u);
    EXPECT_EQ(info.dwMinorVersion, 1u);
    EXPECT_EQ(info.dwBuildNumber, 2600u);
    EXPECT_STREQ(info.szCSDVersion, "Service Pack 3");

    // Callers tell the 95 family by bit 31 and the version by the low byte.
    EXPECT_EQ(GetVersion() & 0x80000000u, 0u);
    EXPECT_EQ(GetVersion() & 0xFFu, 5u);
}

TEST(SystemInfo, MetricsFollowTheVirtualDisplay) {
    ASSERT_TRUE(platform::SetVirtualDisplay(800, 600, 16));
    EXPECT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), 0);
    EXPECT_EQ(GetSystemMetrics(9999), 0);
    EXPECT_EQ(GetSystemMetrics(-1), 0);
    // Maximised windows fill the display, so they follow it too.
    HWND window = window_test::Make(WS_OVERLAPPEDWINDOW, 0, 0, 100, 100);
    ShowWindow(window, SW_MAXIMIZE);
    EXPECT_EQ(window_test::Sides(window_test::ClientRect(window)),
              (window_test::Longs{0, 0, 800, GetSystemMetrics(SM_CYFULLSCREEN)}));
    DestroyWindow(window);

    EXPECT_FALSE(platform::SetVirtualDisplay(0, 600, 16));
    EXPECT_FALSE(platform::SetVirtualDisplay(800, 600, 15));
    EXPECT_EQ(platform::GetVirtualDisplay().bitsPerPixel, 16);
    platform::ResetVirtualDisplay();
}

TEST(SystemInfo, ScreenSettingFromTheEnvironmentFallsBackOnDefaultsWhenMalformed) {
    struct Case {
        const char* setting;
        int width, height, bitsPerPixel;
    };
    const Case cases[] = {
        {"640x480x8", 640, 480, 8},     {"1280X1024", 1280, 1024, 32}, {"640x480x", 1024, 768, 32},
        {"640x480x12", 1024, 768, 32},  {"640", 1024, 768, 32},        {"-640x480", 1024, 768, 32},
        {"640x480x16 ", 1024, 768, 32}, {"", 1024, 768, 32},
    };
    for (const Case& c : cases) {
        setenv("ZORV_SCREEN", c.setting, 1);
        platform::ResetVirtualDisplay();
        platform::VirtualDisplay d = platform::GetVirtualDisplay();
        EXPECT_EQ(d.width, c.width) << c.setting;
        EXPECT_EQ(d.height, c.height) << c.setting;
        EXPECT_EQ(d.bitsPerPixel, c.bitsPerPixel) << c.setting;
    }
    unsetenv("ZORV_SCREEN");
    platform::ResetVirtualDisplay();
}

TEST(LogicalDrives, StringsListEveryMappedLetterAndTooSmallBuffersGetTheSizeNeeded) {
    unsetenv("ZORV_DRIVES");
    platform::ResetDriveRoots();
    platform::SetDriveRoot('z', "/tmp");
    platform::SetDriveRoot('D', "/tmp");
    EXPECT_EQ(GetLogicalDrives(), 1u << 2 | 1u << 3 | 1u << 25);

    const char expected[] = "C:\\\0D:\\\0Z:\\\0"; // and the array's own final zero
    EXPECT_EQ(GetLogicalDriveStringsA(0, nullptr), sizeof(expected));
    char buffer[32];
    std::memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(GetLogicalDriveStringsA(sizeof(expected) - 1, buffer), sizeof(expected));
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(GetLogicalDriveStringsA(sizeof(expected), buffer), sizeof(expected) - 1);
    EXPECT_EQ(std::memcmp(buffer, expected, sizeof(expected)), 0);
    EXPECT_EQ(buffer[sizeof(expected)], '#');
    platform::ResetDriveRoots();
}

} // namespace
