#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "foundation/containers/rectangle.h"
#include "platform/system/system_info.h"
#include "platform/user/windows.h"

namespace {

std::vector<LONG> Sides(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

TEST(Rectangle, DesktopAndArithmetic) {
    ASSERT_TRUE(platform::SetVirtualDisplay(640, 480, 32));
    CRectangle desktop;
    GetDesktopRect(&desktop);
    EXPECT_EQ(Sides(desktop), (std::vector<LONG>{0, 0, 640, 480}));
    platform::ResetVirtualDisplay();

    CRectangle rect;
    rect.Set(50, 80, 10, 90);
    rect.Normalize();
    EXPECT_EQ(Sides(rect), (std::vector<LONG>{10, 80, 50, 90}));
    // Extreme coordinates wrap as 32-bit registers would, without undefined behaviour.
    rect.Set(INT32_MIN, 0, INT32_MAX, 0);
    EXPECT_EQ(rect.Width(), -1);
}

} // namespace
