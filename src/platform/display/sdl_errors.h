// What the SDL display does when SDL refuses something: it says so once on standard error
// and carries on without it, so a display that cannot do everything still runs the game.
#pragma once

#include <string_view>

namespace platform {

// Writes the call that failed with SDL's reason, the first time that call fails only.
void ReportSdlError(std::string_view call);

} // namespace platform
