// The last pictures of windows, kept as files for looking at a whole headless run.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/display/display_backend.h"
#include "platform/display/png_dump.h"
#include "platform/gdi/framebuffer.h"

namespace platform {

void DumpLastPicture(HWND window, const RECT& client) {
    static std::atomic<int> windowsGone{0};
    const char* folder = std::getenv("ZORV_HEADLESS_DUMP");
    if (folder == nullptr || *folder == '\0' || ActiveDisplay().Name() != "headless") return;
    int number = 0;
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    {
        std::lock_guard lock(FramebufferLock());
        const Framebuffer* buffer = FindFramebufferLocked(window);
        if (buffer == nullptr) return;
        number = ++windowsGone;
        const int left = std::clamp<int>(client.left, 0, buffer->width);
        const int top = std::clamp<int>(client.top, 0, buffer->height);
        const int right = std::clamp<int>(client.right, left, buffer->width);
        const int bottom = std::clamp<int>(client.bottom, top, buffer->height);
        width = right - left;
        height = bottom - top;
        pixels.reserve(size_t(width) * size_t(height));
        for (int y = top; y < bottom; ++y) {
            const uint32_t* row = buffer->pixels.data() + size_t(y) * size_t(buffer->width);
            pixels.insert(pixels.end(), row + left, row + right);
        }
    }
    // A folder named for the pictures of a run is made rather than the pictures lost.
    std::error_code unmade;
    std::filesystem::create_directories(folder, unmade);
    WritePngFile(std::string(folder) + "/window-" + std::to_string(number) + ".png", pixels.data(),
                 width, height);
}

} // namespace platform
