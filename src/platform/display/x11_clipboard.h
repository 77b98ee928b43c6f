// The desktop's clipboard on X, through a connection and a thread of our own: SDL's
// clipboard answers other programs only from the thread that pumps SDL's events, and
// holds no pictures. Whatever thread puts or reads, the clipboard thread owns the
// CLIPBOARD selection and answers other programs (texts as UTF8_STRING and STRING, our
// picture as image/png, large ones in increments), and asks the owner for its text or its
// picture (image/png, else image/bmp).
#pragma once

#include <memory>

#include "platform/clipboard/clipboard.h"

namespace platform {

class X11Clipboard final : public DesktopClipboard {
public:
    // Attached to the clipboard store until destroyed; null when the X server of $DISPLAY
    // cannot be reached.
    static std::unique_ptr<X11Clipboard> Open();
    ~X11Clipboard() override;
    X11Clipboard(const X11Clipboard&) = delete;
    X11Clipboard& operator=(const X11Clipboard&) = delete;

    void Put(const std::optional<std::string>& utf8, const std::vector<uint8_t>& png) override;
    std::optional<std::string> Text() override;
    std::optional<std::vector<uint8_t>> Picture() override;

    class Connection;

private:
    explicit X11Clipboard(std::unique_ptr<Connection> connection);

    std::unique_ptr<Connection> connection_;
};

} // namespace platform
