// Message-filter hooks: procedures a thread installs to see, and possibly eat, the messages
// its modal loops take (a dialog's, a message box's, a menu's) before they are handled.
// Only WH_MSGFILTER on the calling thread exists. The newest hook runs first; each passes
// the message on with CallNextHookEx or answers non-zero to eat it.
#pragma once

#include <cstdint>

#include "platform/kernel/win_types.h"
#include "platform/user/messages.h"

using HHOOK = uint32_t;
using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);

inline constexpr int WH_MSGFILTER = -1;

// The code a hook is called with: which loop took the message (lParam the MSG*).
inline constexpr int MSGF_DIALOGBOX = 0;
inline constexpr int MSGF_MESSAGEBOX = 1;
inline constexpr int MSGF_MENU = 2;

// 0 with ERROR_INVALID_PARAMETER for another kind of hook, no procedure, or a thread other
// than the caller's (0 meaning all threads included, which the layer does not offer).
HHOOK SetWindowsHookExA(int kind, HOOKPROC procedure, HINSTANCE instance, DWORD threadId);
// FALSE for a hook that is not installed.
BOOL UnhookWindowsHookEx(HHOOK hook);
// Runs the hooks installed before `hook` on this thread; 0 when none is left.
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

namespace platform {

// What a modal loop calls for each message it took: true when a hook ate it. A hook may
// unhook itself or others while it runs.
bool OfferToMessageFilters(int code, MSG& message);

} // namespace platform
