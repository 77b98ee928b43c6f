// The layer's clipboard as the text controls use it: one CF_TEXT entry of Windows-1252
// bytes, shared by every window of the process.
#pragma once

#include <optional>
#include <string>

inline constexpr unsigned CF_TEXT = 1;

namespace platform {

void PutClipboardText(std::string text);
// Nothing when the clipboard holds no text.
std::optional<std::string> ClipboardText();

} // namespace platform
