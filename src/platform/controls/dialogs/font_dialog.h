// The drawn font dialog: the installed families, four styles, sizes in points (a size can
// be typed), strike-out, underline and a colour with CF_EFFECTS, and a sample. A face the
// family list lacks shows as the family drawn for it and comes back unchanged unless the
// user picks another family.
#pragma once

#include "platform/user/dialogs/common_dialogs.h"

namespace platform {

bool RunFontDialog(const FontDialogRequest& request, FontDialogAnswer& answer);

} // namespace platform
