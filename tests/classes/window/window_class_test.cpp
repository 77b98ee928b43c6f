// The Window class where a script alone cannot reach: a hosted run's one top-level Window,
// and child Windows drawn active and inactive against reference pictures in golden/, with
// the pinned font set: within 16 a channel on at most 1% of the pixels.
// ZORV_WRITE_PICTURES=1 writes the pictures anew.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/display/png_dump.h"
#include "platform/gdi/text/font_pinned_set.h"
#include "script/runtime/launch_info.h"
#include "script/script_runner.h"
#include "support/temp_dir.h"

namespace {

TEST(WindowHostedRun, AllowsOneTopLevelWindowAndItsChildren) {
    script_test::ScriptRunner runner;
    CLaunchInfo launch;
    launch.hosted = 1;
    EXPECT_EQ(
        runner.Run("a = New Window(100, 50); c = New Window(a, 20, 20);", "test.zs", &launch).code,
        0);
    script_test::ScriptResult second =
        runner.Run("a = New Window(100, 50);\nb = New Window(100, 50);", "test.zs", &launch);
    EXPECT_EQ(second.code, 8);
    EXPECT_EQ(second.line, 1);
    // Not hosted, any number.
    EXPECT_EQ(runner.Run("a = New Window(100, 50); b = New Window(100, 50);").code, 0);
}

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;
};

bool ReadPng(const std::filesystem::path& path, Picture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_BGRA;
    picture.data.assign(static_cast<size_t>(image.width) * image.height, 0);
    if (!png_image_finish_read(&image, nullptr, picture.data.data(), 0, nullptr)) return false;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    for (uint32_t& pixel : picture.data)
        pixel &= 0xFFFFFF;
    return true;
}

class ChildWindowGolden : public font_test::PinnedFonts {
protected:
    void Check(const std::string& name, const std::string& drawnPath) {
        std::filesystem::path golden =
            std::filesystem::path(__FILE__).parent_path() / "golden" / name;
        if (std::getenv("ZORV_WRITE_PICTURES") != nullptr) {
            std::filesystem::create_directories(golden.parent_path());
            std::filesystem::copy_file(drawnPath, golden,
                                       std::filesystem::copy_options::overwrite_existing);
            return;
        }
        Picture drawn, expected;
        ASSERT_TRUE(ReadPng(drawnPath, drawn)) << drawnPath;
        ASSERT_TRUE(ReadPng(golden, expected)) << golden << " (ZORV_WRITE_PICTURES=1 writes it)";
        ASSERT_EQ(expected.width, drawn.width) << name;
        ASSERT_EQ(expected.height, drawn.height) << name;
        size_t differing = 0;
        for (size_t i = 0; i < drawn.data.size(); ++i) {
            uint32_t a = drawn.data[i], b = expected.data[i];
            if (a == b) continue;
            ++differing;
            for (int shift : {0, 8, 16}) {
                int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
                ASSERT_LE(std::abs(d), 16)
                    << name << " at " << i % size_t(drawn.width) << "," << i / size_t(drawn.width)
                    << " (drawn: " << drawnPath << ")";
            }
        }
        EXPECT_LE(double(differing), 0.01 * double(drawn.data.size()))
            << name << " (drawn: " << drawnPath << ")";
    }
};

TEST_F(ChildWindowGolden, TheActiveChildHasTheActiveCaption) {
    std::string first = dir.Linux("first.png");
    std::string second = dir.Linux("second.png");
    script_test::ScriptRunner runner;
    script_test::ScriptResult result =
        runner.Run("p = New Window(\"Parent\", 220, 130, 0, 0);\n"
                   "a = New Window(p, \"First\", 90, 40, 10, 10);\n"
                   "b = New Window(p, \"Second\", 90, 40, 110, 60);\n"
                   // A click activates a child only in a parent that is not active.
                   "q = New Window(50, 50, 400, 0);\n"
                   "UiClick(a, 5, 5); UiDispatch(); UiDispatch();\n"
                   "UiSavePicture(p, \"" +
                   first +
                   "\");\n"
                   "UiClick(q, 5, 5); UiClick(b, 5, 5); UiDispatch(); UiDispatch();\n"
                   "UiSavePicture(p, \"" +
                   second + "\");\n");
    ASSERT_EQ(result.code, 0) << result.line;
    Check("child_first_active.png", first);
    Check("child_second_active.png", second);
}

} // namespace
