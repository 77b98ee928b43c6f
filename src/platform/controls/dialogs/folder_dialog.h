// The drawn folder picker: the chosen folder above a list of the sub-folders of the one
// shown ("..", or the drives above a root). A click selects a folder, a double click opens
// it; OK takes the selected folder. The caller's callback hears of the picker and of each
// selection and may move the selection or keep OK disabled.
#pragma once

#include <string>

#include "platform/user/dialogs/folder_browser.h"

namespace platform {

bool RunFolderDialog(FolderPickerDialog& picker, std::string& folder);

} // namespace platform
