// The input set-up dialog: the player edits the manager's game types, their players, each
// player's commands and, per command, the joystick, keyboard and mouse controls (with
// further conditions) that trigger it, and the order of preferred devices. Edits change
// the manager at once; Cancel puts back the settings text copied when the dialog opened.
// The window keeps its placement in the registry under "CGameSetupDlg".
#pragma once

#include <string>

#include "platform/registry/registry.h"
#include "platform/user/hwnd.h"

class GameInputManager;

// Runs the dialog modally over `owner`, starting on the game type named `name`. 1 for OK,
// with `name` the game type chosen in the dialog; otherwise (2 for Cancel, -1 when the
// dialog could not be shown) `name` is emptied and the manager holds what it held before.
int RunSetupDialog(GameInputManager& manager, HWND owner, std::string& name);

namespace input_setup {

// The registry key the placement is kept under, for tests that keep theirs apart.
void SetPlacementRoot(HKEY root);

} // namespace input_setup
