// End to end: Surfaces and Windows taking their pictures from the image bank of a packed
// project, run by the real player on the headless display.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/player_run.h"
#include "support/temp_dir.h"

namespace {

using app_test::PackFolder;
using app_test::PlayerOutcome;
using app_test::RunPlayer;

void PutLE(std::string& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes += char((value >> (8 * i)) & 0xFF);
}

// A 3 x 2 picture at 24 bits: white, with red at (1, 0) and blue at (2, 1).
std::string SmallBitmap() {
    constexpr uint32_t kRowBytes = 12;
    std::string bytes = "BM";
    PutLE(bytes, 54 + kRowBytes * 2, 4);
    PutLE(bytes, 0, 4);
    PutLE(bytes, 54, 4);
    PutLE(bytes, 40, 4);
    PutLE(bytes, 3, 4);
    PutLE(bytes, 2, 4);
    PutLE(bytes, 1, 2);
    PutLE(bytes, 24, 2);
    for (int i = 0; i < 6; ++i)
        PutLE(bytes, 0, 4);
    // Rows bottom first, pixels blue, green, red.
    const uint32_t bottom[3] = {0xFFFFFF, 0xFFFFFF, 0x0000FF};
    const uint32_t top[3] = {0xFFFFFF, 0xFF0000, 0xFFFFFF};
    for (const uint32_t* row : {bottom, top}) {
        for (int x = 0; x < 3; ++x) {
            bytes += char(row[x] & 0xFF);
            bytes += char((row[x] >> 8) & 0xFF);
            bytes += char((row[x] >> 16) & 0xFF);
        }
        bytes.append(kRowBytes - 9, '\0');
    }
    return bytes;
}

class SurfaceRuns : public ::testing::Test {
protected:
    // Packs `script` with the picture as image element "dot"; the player's exit status.
    int Run(const std::string& script) {
        folder.WriteFile("game/project.zpk", "entry Game\n  module main.zs\n  bank image "
                                             "Pictures\n    file dot.bmp name=dot\n");
        folder.WriteFile("game/main.zs", script);
        folder.WriteFile("game/dot.bmp", SmallBitmap());
        EXPECT_TRUE(PackFolder(folder));
        PlayerOutcome outcome = RunPlayer(folder, folder.Linux("packed"));
        errors = outcome.errors;
        return outcome.exitCode;
    }

    test_support::TempDir folder;
    std::string errors;
};

// Each check that fails divides by zero on its own line, which the error box names.
TEST_F(SurfaceRuns, ImageElementsGiveSurfacesShapesAndCursorsTheirPixels) {
    std::string script = R"(s = New Surface("dot");
If (s.GetPixelWidth() != 3) x = 1 / 0;
If (s.GetPixelHeight() != 2) x = 1 / 0;
If (s.GetPixel(1, 0) != 0xFF0000) x = 1 / 0;
If (s.GetPixel(2, 1) != 0x0000FF) x = 1 / 0;
t = New Surface(10, 10, 32);
If (t.LoadImage("dot", 4, 4) != 1) x = 1 / 0;
If (t.GetPixel(5, 4) != 0xFF0000) x = 1 / 0;
If (t.GetPixel(0, 0) != 0xFFFFFF) x = 1 / 0;
t.LoadImage(0, 0, 0, 6, 4);
If (t.GetPixel(3, 0) != 0xFF0000) x = 1 / 0;
w = New Window(40, 40, 0, 0);
w.SetCursor("dot", 0xFFFFFF, 1, 1);
w.SetShape("dot");
Program.End();
)";
    EXPECT_EQ(Run(script), 0) << errors;
}

} // namespace
