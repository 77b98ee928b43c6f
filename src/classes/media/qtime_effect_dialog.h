// The effect dialog of QTime: the eleven effects in a list and the chosen one's parameters
// beside it, each under its name with its value. The choice confirmed is kept by the QTime
// for EffectFromDialog and offered again the next time.
#pragma once

#include "platform/media/movie/effects.h"
#include "platform/user/hwnd.h"

// Runs the dialog over `owner` (0: none) from `choice`; true, with `choice` holding the
// effect and its values (held to their ranges), when the user confirms it.
bool RunEffectDialog(HWND owner, platform::movie::Effect& choice);
