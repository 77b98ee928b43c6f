// The menu loop behind a menu bar and TrackPopupMenu. Internal to the platform layer.
//
// It runs as MessageBoxA's loop does: every other message is dispatched, so timers fire
// and windows paint while a menu is open. The owner holds the capture meanwhile, so the
// loop reads the pointer of every mouse message on the screen; key messages are taken
// from the queue whichever window they were meant for. Each popup is a topmost window
// owned by the owner's top-level window.
#pragma once

#include <vector>

#include "platform/user/menus/menus.h"

namespace platform {

struct MenuLoopStart {
    HWND owner = 0;
    UINT flags = 0; // TPM_ flags
    // TrackPopupMenu: the popup and where it goes.
    HMENU popup = 0;
    POINT at{};
    // A menu bar: the item selected first, opened when asked.
    bool bar = false;
    int barItem = -1;
    bool openBarItem = false;
    // A press started it, and the button is still down.
    bool pressed = false;
};

struct MenuLoopResult {
    bool chosen = false;
    UINT id = 0;
};

// False, with ERROR_POPUP_ALREADY_ACTIVE, when a loop already runs on this thread.
bool RunMenuLoop(const MenuLoopStart& start, MenuLoopResult& result);

// How the menu bar of `window` shows while a loop runs on it.
void BarHighlight(HWND window, int& selected, bool& open);

} // namespace platform
