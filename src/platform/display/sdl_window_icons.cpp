#include "platform/display/sdl_window_icons.h"

#include "platform/display/sdl_errors.h"
#include "platform/gdi/icons/icons.h"

namespace platform {

void SdlWindowIcons::Sync(const SdlWindowSet& windows) {
    std::map<HWND, Shown> now;
    for (const DisplayWindow& entry : VisibleTopLevelWindows()) {
        SDL_Window* sdl = windows.SdlWindowOf(entry.window);
        IconImage image;
        if (!sdl || !GetIconImage(WindowIcon(entry.window), image)) continue;
        Shown shown{sdl, image.serial};
        now[entry.window] = shown;
        auto before = shown_.find(entry.window);
        if (before != shown_.end() && before->second.sdl == sdl &&
            before->second.serial == image.serial)
            continue;
        SDL_Surface* surface =
            SDL_CreateRGBSurfaceWithFormatFrom(image.pixels.data(), image.width, image.height, 32,
                                               image.width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (!surface) {
            ReportSdlError("SDL_CreateRGBSurfaceWithFormatFrom");
            continue;
        }
        SDL_SetWindowIcon(sdl, surface);
        SDL_FreeSurface(surface);
    }
    shown_.swap(now);
}

} // namespace platform
