// The clipboard as the text controls use it: CF_TEXT of Windows-1252 bytes in the
// process's one clipboard store (clipboard/clipboard.h).
#pragma once

#include <optional>
#include <string>

#include "platform/clipboard/clipboard.h"

namespace platform {

// Empties the clipboard and puts the text.
void PutClipboardText(std::string text);
// Nothing when the clipboard holds no text.
std::optional<std::string> ClipboardText();

} // namespace platform
