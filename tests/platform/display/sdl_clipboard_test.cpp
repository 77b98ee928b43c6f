// The SDL display shares the clipboard's text with other programs on a real X server:
// Xvfb and xclip, both started by the test, stand for the desktop and another program.
#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <optional>
#include <string>
#include <thread>

#include "platform/controls/clipboard_text.h"
#include "platform/display/display_backend.h"

namespace {

bool Installed(const char* program) {
    return std::system((std::string("command -v ") + program + " > /dev/null 2>&1").c_str()) == 0;
}

// An X server of the test's own on a display number no one else uses.
class PrivateXServer {
public:
    PrivateXServer() : display(":" + std::to_string(90 + getpid() % 400)) {
        pid = fork();
        if (pid == 0) {
            execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "640x480x24", "-nolisten",
                   "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        const char* old = std::getenv("DISPLAY");
        if (old != nullptr) previous = old;
        setenv("DISPLAY", display.c_str(), 1);
        // The server is ready once its socket is there.
        const std::string socket = "/tmp/.X11-unix/X" + display.substr(1);
        for (int i = 0; i < 100 && access(socket.c_str(), F_OK) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ~PrivateXServer() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        if (previous.empty())
            unsetenv("DISPLAY");
        else
            setenv("DISPLAY", previous.c_str(), 1);
    }
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    std::string display;
    pid_t pid = -1;
    std::string previous;
};

// Runs a shell command while the display is pumped, so that SDL answers the X server's
// requests for our selection; its standard output.
std::string RunPumping(const std::string& command) {
    std::future<std::string> output = std::async(std::launch::async, [command] {
        std::string text;
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) return text;
        char buffer[256];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            text.append(buffer, n);
        pclose(pipe);
        return text;
    });
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (output.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready &&
           std::chrono::steady_clock::now() < end)
        platform::PumpDisplay();
    return output.get();
}

TEST(SdlClipboard, TextsGoToAndComeFromOtherProgramsOnTheXServer) {
    if (!Installed("Xvfb") || !Installed("xclip")) GTEST_SKIP() << "needs Xvfb and xclip";
    PrivateXServer server;
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    const std::string previousDriver = driver != nullptr ? driver : "";
    setenv("SDL_VIDEODRIVER", "x11", 1);
    platform::SetActiveDisplay(platform::MakeHeadlessDisplay());
    std::unique_ptr<platform::DisplayBackend> display = platform::MakeSdlDisplay();
    if (previousDriver.empty())
        unsetenv("SDL_VIDEODRIVER");
    else
        setenv("SDL_VIDEODRIVER", previousDriver.c_str(), 1);
    ASSERT_NE(display, nullptr);
    platform::SetActiveDisplay(std::move(display));

    // Ours, as another program reads it: UTF-8, lines ending in a line feed.
    platform::PutClipboardText("caf\xE9\r\nline");
    // The X server may see the selection change a moment later.
    std::string pasted;
    for (int i = 0; i < 20 && pasted.empty(); ++i)
        pasted = RunPumping("timeout 5 xclip -o -selection clipboard 2> /dev/null");
    EXPECT_EQ(pasted, "caf\xC3\xA9\nline");

    // Another program's: it replaces ours, in our characters and line ends. xclip takes
    // the selection in the background, a moment after it returns.
    RunPumping("printf 'na\\303\\257ve\\nother' | xclip -i -selection clipboard > /dev/null 2>&1");
    std::optional<std::string> text;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while ((text = platform::ClipboardText()) != "na\xEFve\r\nother" &&
           std::chrono::steady_clock::now() < end) {
        platform::PumpDisplay();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(text, "na\xEFve\r\nother");

    platform::SetActiveDisplay(nullptr);
}

} // namespace
