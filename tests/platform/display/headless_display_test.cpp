#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/display/display_backend.h"
#include "platform/display/headless_display.h"
#include "platform/files/files.h"
#include "platform/kernel/sync.h"
#include "platform/user/input/input_fixture.h"
#include "support/temp_dir.h"

namespace {

using input_test::InputTest;
using window_test::Make;
using window_test::Recorder;

namespace headless = platform::headless;

// Sets environment variables for one test and puts back what was there.
class EnvironmentGuard {
public:
    void Set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        headless::SetEnvironment(name, value);
    }
    ~EnvironmentGuard() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
            headless::SetEnvironment(it->first.c_str(), it->second ? it->second->c_str() : nullptr);
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// The back end the environment chooses, and what the choice wrote on standard error.
std::pair<std::string, std::string> Chosen() {
    platform::SetActiveDisplay(nullptr);
    testing::internal::CaptureStderr();
    std::string name(platform::ActiveDisplay().Name());
    std::string said = testing::internal::GetCapturedStderr();
    headless::Install();
    return {name, said};
}

TEST(DisplayChoice, FollowsZorvDisplayAndFallsBackToHeadless) {
    EnvironmentGuard environment;
    environment.Set("DISPLAY", nullptr);
    environment.Set("WAYLAND_DISPLAY", nullptr);

    environment.Set("ZORV_DISPLAY", "headless");
    EXPECT_EQ(Chosen(), std::make_pair(std::string("headless"), std::string()));
    environment.Set("ZORV_DISPLAY", nullptr);
    EXPECT_EQ(Chosen(), std::make_pair(std::string("headless"), std::string()));
    environment.Set("ZORV_DISPLAY", "");
    EXPECT_EQ(Chosen().first, "headless");

    environment.Set("ZORV_DISPLAY", "vga");
    auto [name, said] = Chosen();
    EXPECT_EQ(name, "headless");
    EXPECT_NE(said.find("ZORV_DISPLAY"), std::string::npos);
    EXPECT_EQ(said.find('\n'), said.size() - 1); // one line

    // Without a display server sdl may or may not start; when it cannot, the reason is
    // told and the headless display takes over.
    environment.Set("ZORV_DISPLAY", "sdl");
    auto [sdlName, sdlSaid] = Chosen();
    if (sdlName != "sdl") {
        EXPECT_EQ(sdlName, "headless");
        EXPECT_FALSE(sdlSaid.empty());
    }
}

// A display that hears of the user by itself: it must be pumped while the thread waits,
// and after a few pumps it posts what the user did.
class PumpingDisplay : public platform::DisplayBackend {
public:
    explicit PumpingDisplay(int postAfter) : postAfter_(postAfter) {}
    std::string_view Name() const override { return "pumping"; }
    void Pump() override {
        ++pumps;
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        MSG peeked;
        PeekMessageA(&peeked, 0, 0, 0, PM_NOREMOVE); // pumps no deeper
        if (pumps == postAfter_) PostMessageA(0, WM_USER + 7, 0, 0);
        --depth;
    }
    DWORD PumpInterval() const override { return 2; }
    std::vector<platform::DisplayMode> Modes() const override { return {{640, 480, 32, 60}}; }
    bool SetMode(const platform::DisplayMode&) override { return true; }
    bool ShowsWindows() const override { return true; }

    static inline int pumps = 0;
    static inline int depth = 0;
    static inline int maxDepth = 0;

private:
    int postAfter_;
};

class Pumping : public InputTest {
protected:
    void Use(int postAfter) {
        PumpingDisplay::pumps = PumpingDisplay::depth = PumpingDisplay::maxDepth = 0;
        platform::SetActiveDisplay(std::make_unique<PumpingDisplay>(postAfter));
    }
    void TearDown() override {
        headless::Install();
        InputTest::TearDown();
    }
};

TEST_F(Pumping, GetMessageAndMsgWaitForMultipleObjectsWaitPumpingUntilTheDisplayPosts) {
    Use(5);
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, 0, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_USER + 7);
    EXPECT_EQ(PumpingDisplay::pumps, 5);
    EXPECT_EQ(PumpingDisplay::maxDepth, 1);

    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    for (DWORD timeout : {INFINITE, DWORD{60000}}) {
        Use(4);
        EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, timeout, QS_ALLINPUT),
                  WAIT_OBJECT_0 + 1);
        EXPECT_EQ(PumpingDisplay::pumps, 4);
        input_test::DrainQueue();
    }
    CloseHandle(event);
    // A wait that times out still pumped on the way.
    Use(1000);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT), WAIT_TIMEOUT);
    EXPECT_GE(PumpingDisplay::pumps, 2);
}

TEST_F(Pumping, PeekMessagePumpsOnceAndHeadlessPresentsThere) {
    Use(1);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 7);

    headless::Install();
    HWND window = Keep(Make(WS_POPUP | WS_VISIBLE, 0, 0, 40, 30));
    input_test::DrainQueue();
    int presented = 0;
    platform::SetPresentHook([&](const platform::FramebufferView& view) {
        if (view.window == window) ++presented;
    });
    HDC dc = GetDC(window);
    SetPixel(dc, 3, 3, RGB(1, 2, 3));
    ReleaseDC(window, dc);
    PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE);
    PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE);
    platform::SetPresentHook(nullptr);
    EXPECT_EQ(presented, 1); // the dirty list went with the first look
}

// Reads a PNG file back as 0x00RRGGBB pixels; false when libpng cannot.
bool ReadPng(const std::string& path, int& width, int& height, std::vector<uint32_t>& pixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) return false;
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    pixels.clear();
    for (size_t i = 0; i + 2 < bytes.size(); i += 3)
        pixels.push_back(uint32_t{bytes[i]} << 16 | uint32_t{bytes[i + 1]} << 8 | bytes[i + 2]);
    return true;
}

using HeadlessPixels = InputTest;

TEST_F(HeadlessPixels, APngWrittenReadsBackAsTheWindowsPixels) {
    headless::Install();
    HWND window = Keep(Make(WS_POPUP | WS_VISIBLE, 0, 0, 37, 21));
    input_test::DrainQueue();
    HDC dc = GetDC(window);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 37; ++x)
            SetPixel(dc, x, y, RGB(x * 7, y * 12, (x ^ y) * 4));
    ReleaseDC(window, dc);

    test_support::TempDir folder;
    std::string path = folder.Linux("shot.png");
    ASSERT_TRUE(headless::WritePng(window, path));
    headless::Pixels shown;
    ASSERT_TRUE(headless::ReadPixels(window, shown));
    int width = 0, height = 0;
    std::vector<uint32_t> read;
    ASSERT_TRUE(ReadPng(path, width, height, read));
    EXPECT_EQ(width, 37);
    EXPECT_EQ(height, 21);
    EXPECT_EQ(read, shown.data);
    EXPECT_EQ(shown.At(5, 3), 0x00232418u); // red 35, green 36, blue 24

    EXPECT_FALSE(headless::WritePng(window, folder.Linux("missing/shot.png")));
    EXPECT_FALSE(folder.Exists("missing/shot.png"));
    EXPECT_FALSE(headless::WritePng(0x7FFFFFF0, folder.Linux("none.png")));
    HWND empty = Keep(Make(WS_POPUP | WS_VISIBLE, 0, 0, 0, 0));
    EXPECT_FALSE(headless::WritePng(empty, folder.Linux("empty.png")));
    EXPECT_FALSE(folder.Exists("empty.png"));
}

TEST_F(HeadlessPixels, AGoneWindowsLastPictureIsDumpedIntoTheNamedFolder) {
    headless::Install();
    test_support::TempDir folder;
    EnvironmentGuard environment;
    // A folder that is not there yet is made.
    environment.Set("ZORV_HEADLESS_DUMP", folder.Linux("shots/run").c_str());
    HWND framed = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 120, 90);
    input_test::DrainQueue();
    RECT client{};
    GetClientRect(framed, &client);
    HDC dc = GetDC(framed);
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            SetPixel(dc, x, y, RGB(x * 3, y * 5, 7));
    ReleaseDC(framed, dc);
    headless::Pixels shown;
    ASSERT_TRUE(headless::ReadPixels(framed, shown));
    DestroyWindow(framed);

    std::string dumped;
    for (int n = 1; n < 1000 && dumped.empty(); ++n) {
        const std::string name = "shots/run/window-" + std::to_string(n) + ".png";
        if (folder.Exists(name)) dumped = name;
    }
    ASSERT_FALSE(dumped.empty());
    int width = 0, height = 0;
    std::vector<uint32_t> read;
    ASSERT_TRUE(ReadPng(folder.Linux(dumped), width, height, read));
    EXPECT_EQ(width, client.right);
    EXPECT_EQ(height, client.bottom);
    EXPECT_EQ(read, shown.data) << "the client area only, as it was last";

    environment.Set("ZORV_HEADLESS_DUMP", nullptr);
    HWND quiet = Make(WS_POPUP | WS_VISIBLE, 0, 0, 8, 8);
    input_test::DrainQueue();
    DestroyWindow(quiet);
    int files = 0;
    for (int n = 1; n < 1000; ++n)
        files += folder.Exists("shots/run/window-" + std::to_string(n) + ".png") ? 1 : 0;
    EXPECT_EQ(files, 1);
}

} // namespace
