#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/display/png_dump.h"
#include "platform/gdi/icons/icons.h"

namespace {

TEST(SystemIcons, TheMessageBoxIconsLoadAndStay) {
    HICON hand = LoadIconA(0, IDI_HAND);
    HICON question = LoadIconA(0, IDI_QUESTION);
    HICON exclamation = LoadIconA(0, IDI_EXCLAMATION);
    HICON asterisk = LoadIconA(0, IDI_ASTERISK);
    std::vector<uint32_t> sheet(32 * 4 * 32, 0xD4D0C8);
    int column = 0;
    for (HICON icon : {hand, question, exclamation, asterisk}) {
        ASSERT_NE(icon, 0u);
        platform::IconImage image;
        ASSERT_TRUE(platform::GetIconImage(icon, image));
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (image.pixels[y * 32 + x] >> 24)
                    sheet[y * 128 + column * 32 + x] = image.pixels[y * 32 + x] & 0xFFFFFF;
        ++column;
        EXPECT_EQ(image.width, 32);
        EXPECT_EQ(image.pixels[0] >> 24, 0u); // clear in the corner
        EXPECT_EQ(image.pixels[16 * 32 + 16] >> 24, 0xFFu);
    }
    // ZORV_CONTROL_PICTURES names a folder where the four are kept to be looked at.
    if (const char* folder = std::getenv("ZORV_CONTROL_PICTURES"))
        platform::WritePngFile(std::string(folder) + "/system_icons.png", sheet.data(), 128, 32);
    EXPECT_NE(hand, question);
    EXPECT_NE(exclamation, asterisk);
    EXPECT_EQ(LoadIconA(0, IDI_ERROR), hand);
    EXPECT_EQ(LoadIconA(0, IDI_HAND), hand);
    EXPECT_TRUE(DestroyIcon(hand)); // built in: it stays
    EXPECT_EQ(LoadIconA(0, IDI_HAND), hand);
    platform::IconImage image;
    EXPECT_TRUE(platform::GetIconImage(hand, image));
    EXPECT_EQ(image.pixels[16 * 32 + 4] & 0xFFFFFF, 0xFF0000u); // red round the white cross
    EXPECT_EQ(LoadIconA(HINSTANCE{1}, IDI_HAND), 0u);
}

} // namespace
