#include "platform/display/sdl_clipboard.h"

#include <SDL.h>

#include "platform/display/sdl_errors.h"

namespace platform {

SdlClipboard::SdlClipboard(bool attach) : attached_(attach) {
    if (attached_) AttachDesktopClipboard(this);
}

SdlClipboard::~SdlClipboard() {
    if (attached_) AttachDesktopClipboard(nullptr);
}

void SdlClipboard::PutText(const std::string& utf8) {
    if (SDL_SetClipboardText(utf8.c_str()) != 0) ReportSdlError("SDL_SetClipboardText");
}

std::optional<std::string> SdlClipboard::Text() {
    if (!SDL_HasClipboardText()) return std::nullopt;
    char* text = SDL_GetClipboardText();
    if (text == nullptr) return std::nullopt;
    std::string copy(text);
    SDL_free(text);
    return copy;
}

} // namespace platform
