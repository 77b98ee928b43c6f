// The desktop's clipboard through SDL, attached to the clipboard store while the SDL
// display lives.
#pragma once

#include "platform/clipboard/clipboard.h"

namespace platform {

class SdlClipboard final : public DesktopClipboard {
public:
    explicit SdlClipboard(bool attach);
    ~SdlClipboard() override;
    SdlClipboard(const SdlClipboard&) = delete;
    SdlClipboard& operator=(const SdlClipboard&) = delete;

    void PutText(const std::string& utf8) override;
    std::optional<std::string> Text() override;

private:
    bool attached_;
};

} // namespace platform
