// Every project under examples/ runs in the player, on the headless display, and ends
// normally. What an example shows last is its picture, docs/images/<example>.png, which
// the README shows; the pictures must be current. tools/screenshots writes them
// (ZORV_WRITE_PICTURES=1). An example whose picture may change from run to run says so
// with a manifest comment line "# picture: varies", one whose picture is the default
// renderer's (drawn through the Direct3D layer, examples_gl_test.cpp) with "# picture:
// default renderer"; an example that opens no window has
// no picture. An example that waits for its user has an input script, input.txt (see
// platform/display/input_script.h), which plays the user here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "classes/dialogs/dialog_classes.h"
#include "classes/input/input_classes.h"
#include "classes/media/media_classes.h"
#include "classes/net/net_classes.h"
#include "classes/scene3d/scene3d_classes.h"
#include "classes/surface/surface_classes.h"
#include "classes/system/system_classes.h"
#include "classes/window/window_classes.h"
#include "engine3d/render/registry.h"
#include "packer/manifest.h"
#include "packer/pack_output.h"
#include "packer/project_writer.h"
#include "platform/display/display_backend.h"
#include "platform/display/headless_display.h"
#include "platform/display/input_script.h"
#include "platform/display/png_dump.h"
#include "platform/files/drives.h"
#include "script/classes/script_classes.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/run_application.h"
#include "support/case_folder.h"
#include "support/temp_dir.h"

namespace {

std::filesystem::path Root() {
    return ZORV_SOURCE_DIR;
}

std::vector<std::string> ExampleNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Root() / "examples")) {
        if (std::filesystem::exists(entry.path() / kManifestFileName))
            names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The last frame the display was given to show.
struct LastFrame {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

class Examples : public testing::TestWithParam<std::string> {};

TEST_P(Examples, RunToTheirEndAndTheirPicturesAreCurrent) {
    const std::filesystem::path folder = Root() / "examples" / GetParam();
    // Sounds play into nothing as the clock goes, never on a desktop's speakers.
    setenv("ZORV_AUDIO", "null", 0);
    // Their pictures of worlds are the software renderer's, the same on every machine.
    setenv("ZORV_GL", "off", 0);
    test_support::TempDir temp;
    // Examples keep settings and files; they go to a folder of the test's own.
    test_support::CaseFolder user;
    PackProject project;
    std::string error;
    ASSERT_TRUE(ReadManifestFile(folder.string(), project, error)) << error;
    ProjectChunkWriter data;
    ASSERT_TRUE(WriteProjectData(project, data, error)) << error;
    const std::string bare = temp.Linux("example.zp");
    ASSERT_TRUE(WriteBareProject(data.Bytes(), bare, error)) << error;

    CLaunchInfo launch;
    const std::filesystem::path input = folder / "input.txt";
    if (std::filesystem::exists(input)) {
        std::vector<platform::InputStep> steps;
        ASSERT_TRUE(platform::ParseInputScript(ReadBytes(input), steps, error)) << error;
        platform::headless::InstallInputScript(std::move(steps),
                                               [&launch] { launch.stopRequest = 1; });
    } else {
        platform::headless::Install();
    }
    LastFrame frame;
    platform::SetPresentHook([&frame](const platform::FramebufferView& view) {
        frame.width = view.width;
        frame.height = view.height;
        frame.pixels.assign(view.pixels, view.pixels + size_t(view.width) * size_t(view.height));
    });
    // As the player does.
    RegisterSystemClasses();
    RegisterWindowClasses();
    RegisterSurfaceClasses();
    RegisterDialogClasses();
    RegisterInputClasses();
    RegisterMediaClasses();
    RegisterScene3DClasses();
    RegisterNetClasses();
    RegisterScriptClasses();
    SetAPIRegistry(&GetBackEndRegistry());
    ASSERT_TRUE(platform::LinuxToWindowsPath(bare, launch.projectPath));
    RunApplication(launch);
    platform::SetPresentHook(nullptr);
    EXPECT_EQ(launch.outcome, RunOutcome::Ended);
    EXPECT_FALSE(platform::headless::InputScriptFailed());
    platform::headless::Install();

    if (frame.pixels.empty()) GTEST_SKIP() << GetParam() << " draws nothing";
    const std::string manifest = ReadBytes(folder / kManifestFileName);
    if (manifest.find("\n# picture: default renderer") != std::string::npos) return;
    const std::filesystem::path stored = Root() / "docs" / "images" / (GetParam() + ".png");
    const char* write = std::getenv("ZORV_WRITE_PICTURES");
    if (write != nullptr && write[0] == '1') {
        std::filesystem::create_directories(stored.parent_path());
        ASSERT_TRUE(platform::WritePngFile(stored.string(), frame.pixels.data(), frame.width,
                                           frame.height));
        return;
    }
    if (manifest.find("\n# picture: varies") != std::string::npos) return;
    const std::string fresh = temp.Linux("picture.png");
    ASSERT_TRUE(platform::WritePngFile(fresh, frame.pixels.data(), frame.width, frame.height));
    EXPECT_EQ(ReadBytes(fresh), ReadBytes(stored))
        << stored << " is not current: run tools/screenshots";
}

INSTANTIATE_TEST_SUITE_P(All, Examples, testing::ValuesIn(ExampleNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             // Test names take letters, digits and underscores only.
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
