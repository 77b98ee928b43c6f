// The colour dialog: a grid of basic colours, the caller's sixteen custom colours, a
// sample, and red, green and blue fields; "Add to Custom Colors" puts the current colour
// in the chosen custom place.
#pragma once

#include "platform/user/dialogs/common_dialogs.h"

namespace platform {

// True with the answer when the user confirmed; false when cancelled or not shown.
bool RunColorDialog(const ColorDialogRequest& request, ColorDialogAnswer& answer);

} // namespace platform
