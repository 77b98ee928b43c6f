// The interactive providers of the common dialogs and of the folder picker: each dialog
// drawn as a window of its own. They answer whenever no other provider is installed and
// dialogs are drawn (drawn_dialog.h's DrawsDialogs).
#pragma once

#include <memory>

#include "platform/user/dialogs/common_dialogs.h"
#include "platform/user/dialogs/folder_browser.h"

namespace platform {

std::shared_ptr<CommonDialogProvider> DrawnCommonDialogs();
std::shared_ptr<FolderPickerProvider> DrawnFolderPicker();

} // namespace platform
