#include "app/player_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/display/headless_display.h"
#include "platform/gl/wgl.h"
#include "platform/process/shared_library.h"
#include "platform/user/windows.h"
#include "support/golden_picture.h"

namespace app_test {

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

bool PackFolder(const test_support::TempDir& folder, const std::string& source,
                const std::string& output) {
    std::string command = ShellQuote(ZORV_PACK_PATH) + " --player " + ShellQuote(ZORV_PLAYER_PATH) +
                          " " + ShellQuote(folder.Linux(source)) + " " +
                          ShellQuote(folder.Linux(output));
    return std::system(command.c_str()) == 0;
}

std::filesystem::path PackExample(const test_support::TempDir& folder, const std::string& name) {
    const std::filesystem::path example =
        std::filesystem::path(ZORV_SOURCE_DIR) / "examples" / name;
    std::filesystem::copy(example, folder.Linux("game"), std::filesystem::copy_options::recursive);
    return PackFolder(folder) ? example : std::filesystem::path();
}

PlayerOutcome RunPlayer(const test_support::TempDir& folder, const std::string& program,
                        const std::vector<std::string>& arguments, const std::string& environment) {
    std::string command = "cd " + ShellQuote(folder.LinuxPath()) +
                          " && env -u ZORV_PROJECT -u ZORV_SHELL ZORV_DISPLAY=headless";
    if (!environment.empty()) command += " " + environment;
    command += " " + ShellQuote(program);
    for (const std::string& argument : arguments)
        command += " " + ShellQuote(argument);
    command += " 2>" + ShellQuote(folder.Linux("stderr.txt")) + "; echo $? >" +
               ShellQuote(folder.Linux("status.txt"));
    PlayerOutcome outcome;
    if (std::system(command.c_str()) != 0) return outcome;
    outcome.exitCode = std::stoi(folder.ReadFile("status.txt"));
    outcome.errors = folder.ReadFile("stderr.txt");
    return outcome;
}

namespace {

bool WritingPictures() {
    const char* write = std::getenv("ZORV_WRITE_PICTURES");
    return write != nullptr && write[0] == '1';
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteGolden(const std::string& picture, const std::filesystem::path& golden) {
    std::filesystem::create_directories(golden.parent_path());
    std::filesystem::copy_file(picture, golden, std::filesystem::copy_options::overwrite_existing);
}

int ChannelDistance(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
    return worst;
}

} // namespace

void ExpectSameAsGolden(const std::string& picture, const std::filesystem::path& golden) {
    if (WritingPictures()) {
        WriteGolden(picture, golden);
        return;
    }
    EXPECT_EQ(ReadBytes(picture), ReadBytes(golden))
        << golden << " differs: ZORV_WRITE_PICTURES=1 writes it again";
}

bool ComparePictures(const std::filesystem::path& golden, const std::string& picture, int tolerance,
                     PictureDifference& difference) {
    platform::headless::Pixels expected, drawn;
    if (!test_support::ReadPngPicture(golden, expected)) {
        ADD_FAILURE() << "cannot read " << golden;
        return false;
    }
    if (!test_support::ReadPngPicture(picture, drawn)) {
        ADD_FAILURE() << "cannot read " << picture;
        return false;
    }
    if (drawn.width != expected.width || drawn.height != expected.height) {
        ADD_FAILURE() << picture << " is " << drawn.width << " x " << drawn.height << ", " << golden
                      << " " << expected.width << " x " << expected.height;
        return false;
    }
    difference = {};
    difference.total = drawn.width * drawn.height;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x) {
            const uint32_t g = expected.At(x, y);
            if (ChannelDistance(g, drawn.At(x, y)) <= tolerance) continue;
            ++difference.differing;
            bool edge = false;
            for (int dy = -1; dy <= 1 && !edge; ++dy)
                for (int dx = -1; dx <= 1 && !edge; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= expected.width || ny >= expected.height) continue;
                    edge = ChannelDistance(expected.At(nx, ny), g) > tolerance;
                }
            if (!edge) ++difference.inside;
        }
    return true;
}

std::string MesaMajor() {
    static const std::string major = [] {
        HMODULE gl = LoadLibraryA("OpenGL32.dll");
        if (gl == 0) return std::string();
        const auto getString =
            reinterpret_cast<const char* (*)(unsigned)>(GetProcAddress(gl, "glGetString"));
        platform::headless::Install();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "MesaVersion";
        RegisterClassA(&windowClass);
        const HWND window =
            CreateWindowExA(0, "MesaVersion", "", WS_POPUP, 0, 0, 8, 8, 0, 0, 0, nullptr);
        const HDC dc = GetDC(window);
        PIXELFORMATDESCRIPTOR wanted{};
        wanted.nSize = 40;
        wanted.nVersion = 1;
        wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        wanted.cColorBits = 32;
        wanted.cDepthBits = 24;
        const int format = ChoosePixelFormat(dc, &wanted);
        std::string found;
        HGLRC context = 0;
        if (getString != nullptr && format != 0 && SetPixelFormat(dc, format, &wanted))
            context = wglCreateContext(dc);
        if (context != 0 && wglMakeCurrent(dc, context)) {
            // GL_VERSION, such as "4.5 (Compatibility Profile) Mesa 23.2.1".
            const char* version = getString(0x1F02);
            const char* mesa = version != nullptr ? std::strstr(version, "Mesa ") : nullptr;
            if (mesa != nullptr) found = "mesa" + std::to_string(std::atoi(mesa + 5));
            wglMakeCurrent(0, 0);
        }
        if (context != 0) wglDeleteContext(context);
        ReleaseDC(window, dc);
        DestroyWindow(window);
        FreeLibrary(gl);
        return found;
    }();
    return major;
}

void ExpectLikeMesaGolden(const std::string& picture, const std::string& name) {
    const std::string mesa = MesaMajor();
    if (mesa.empty()) GTEST_SKIP() << "not Mesa";
    const std::filesystem::path golden =
        std::filesystem::path(ZORV_SOURCE_DIR) / "tests/app/golden/opengl" / mesa / name;
    if (WritingPictures()) {
        WriteGolden(picture, golden);
        return;
    }
    if (!std::filesystem::exists(golden))
        GTEST_SKIP() << "no golden for " << mesa << " (ZORV_WRITE_PICTURES=1 writes one)";
    PictureDifference d;
    if (!ComparePictures(golden, picture, 4, d)) return;
    EXPECT_LE(d.differing, d.total / 200)
        << d.differing << " pixels further than 4 from " << golden;
}

} // namespace app_test
