#include "platform/controls/clipboard_text.h"

namespace platform {

void PutClipboardText(std::string text) {
    WriteClipboardText(text);
}

std::optional<std::string> ClipboardText() {
    return ReadClipboardText();
}

} // namespace platform
