// The message-box icons LoadIconA gives for IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION and
// IDI_ASTERISK: 32 x 32, drawn here in the classic colours. Internal to the GDI.
#pragma once

#include "platform/gdi/icons/icons.h"

namespace platform {

// 0 for a name that is none of the four.
HICON SystemIcon(LPCSTR name);

} // namespace platform
