// The desktop's clipboard through SDL, attached to the clipboard store while the SDL
// display lives, where SDL's video driver is not X's (which has a clipboard of our own).
#pragma once

#include <memory>

#include "platform/clipboard/clipboard.h"

namespace platform {

class SdlClipboard final : public DesktopClipboard {
public:
    SdlClipboard();
    ~SdlClipboard() override;
    SdlClipboard(const SdlClipboard&) = delete;
    SdlClipboard& operator=(const SdlClipboard&) = delete;

    // The text alone: SDL's clipboard holds no pictures.
    void Put(const std::optional<std::string>& utf8, const std::vector<uint8_t>& png) override;
    std::optional<std::string> Text() override;
    std::optional<std::vector<uint8_t>> Picture() override { return std::nullopt; }
};

// The clipboard the SDL display shares with other programs, attached while it lives.
std::unique_ptr<DesktopClipboard> ShareDesktopClipboard();

} // namespace platform
