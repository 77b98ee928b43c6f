#include "platform/display/sdl_clipboard.h"

#include <SDL.h>

#include "platform/display/sdl_errors.h"
#include "platform/display/x11_clipboard.h"

namespace platform {

SdlClipboard::SdlClipboard() {
    AttachDesktopClipboard(this);
}

SdlClipboard::~SdlClipboard() {
    AttachDesktopClipboard(nullptr);
}

void SdlClipboard::Put(const std::optional<std::string>& utf8, const std::vector<uint8_t>&) {
    if (utf8 && SDL_SetClipboardText(utf8->c_str()) != 0) ReportSdlError("SDL_SetClipboardText");
}

std::optional<std::string> SdlClipboard::Text() {
    if (!SDL_HasClipboardText()) return std::nullopt;
    char* text = SDL_GetClipboardText();
    if (text == nullptr) return std::nullopt;
    std::string copy(text);
    SDL_free(text);
    return copy;
}

std::unique_ptr<DesktopClipboard> ShareDesktopClipboard() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && SDL_strcmp(driver, "x11") == 0)
        if (std::unique_ptr<X11Clipboard> x = X11Clipboard::Open()) return x;
    return std::make_unique<SdlClipboard>();
}

} // namespace platform
