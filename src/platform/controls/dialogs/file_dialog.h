// The drawn file dialogs. "Look in" lists the folder shown and those above it, then the
// drives; the list holds its folders ("[name]") then the files matching the chosen type;
// a name typed may be a file, a folder to open, or a pattern to list. Open checks that
// the file exists when asked to (OFN_FILEMUSTEXIST, OFN_PATHMUSTEXIST, OFN_CREATEPROMPT);
// Save adds the default extension and asks before replacing (OFN_OVERWRITEPROMPT). With
// OFN_ALLOWMULTISELECT several files of one folder can be chosen, their names quoted in
// the name field.
#pragma once

#include <string>
#include <vector>

#include "platform/user/dialogs/common_dialogs.h"

namespace platform {

bool RunFileDialog(const FileDialogRequest& request, FileDialogAnswer& answer);

// The names of a name field: quoted names one after the other, or the whole text.
std::vector<std::string> SplitTypedNames(const std::string& text);

} // namespace platform
