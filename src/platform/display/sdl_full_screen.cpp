#include "platform/display/sdl_full_screen.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "platform/display/sdl_errors.h"

namespace platform {

SDL_Rect FittedRect(int width, int height, int screenWidth, int screenHeight) {
    if (width <= 0 || height <= 0 || screenWidth <= 0 || screenHeight <= 0)
        return SDL_Rect{0, 0, std::max(screenWidth, 0), std::max(screenHeight, 0)};
    // The side that runs out first decides; computed in 64 bits, compared without rounding.
    int64_t fittedWidth = screenWidth;
    int64_t fittedHeight = int64_t{height} * screenWidth / width;
    if (int64_t{height} * screenWidth > int64_t{screenHeight} * width) {
        fittedHeight = screenHeight;
        fittedWidth = int64_t{width} * screenHeight / height;
    }
    fittedWidth = std::max<int64_t>(fittedWidth, 1);
    fittedHeight = std::max<int64_t>(fittedHeight, 1);
    return SDL_Rect{static_cast<int>((screenWidth - fittedWidth) / 2),
                    static_cast<int>((screenHeight - fittedHeight) / 2),
                    static_cast<int>(fittedWidth), static_cast<int>(fittedHeight)};
}

bool PresentFitted(const FramebufferView& view, const RECT& shown, SDL_Surface* surface) {
    const int width = shown.right - shown.left;
    const int height = shown.bottom - shown.top;
    if (width <= 0 || height <= 0) return true;
    // The framebuffer's pixels as an SDL surface, read only.
    auto* first = const_cast<uint32_t*>(view.pixels) +
                  static_cast<size_t>(shown.top) * view.width + shown.left;
    std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> picture(
        SDL_CreateRGBSurfaceWithFormatFrom(first, width, height, 32, view.width * 4,
                                           SDL_PIXELFORMAT_RGB888),
        SDL_FreeSurface);
    if (!picture) {
        ReportSdlError("SDL_CreateRGBSurfaceWithFormatFrom");
        return false;
    }
    SDL_Rect fitted = FittedRect(width, height, surface->w, surface->h);
    if (SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0)) != 0 ||
        SDL_BlitScaled(picture.get(), nullptr, surface, &fitted) != 0) {
        ReportSdlError("SDL_BlitScaled");
        return false;
    }
    return true;
}

POINT PicturePoint(const SDL_Rect& fitted, int width, int height, int x, int y) {
    if (fitted.w <= 0 || fitted.h <= 0 || width <= 0 || height <= 0) return POINT{x, y};
    int64_t pictureX = (int64_t{x} - fitted.x) * width / fitted.w;
    int64_t pictureY = (int64_t{y} - fitted.y) * height / fitted.h;
    return POINT{static_cast<LONG>(std::clamp<int64_t>(pictureX, 0, width - 1)),
                 static_cast<LONG>(std::clamp<int64_t>(pictureY, 0, height - 1))};
}

} // namespace platform
