// The drawn print dialogs. Print: the printer, print to file, the range (all, selection or
// pages from and to) and the number of copies. Set-up (PD_PRINTSETUP): the printer, the
// paper and the orientation. Pages outside the caller's minimum and maximum are refused
// with a word to the user.
#pragma once

#include "platform/user/dialogs/common_dialogs.h"

namespace platform {

bool RunPrintDialog(const PrintDialogRequest& request, PrintDialogAnswer& answer);

} // namespace platform
