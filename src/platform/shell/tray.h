// The notification area: Shell_NotifyIconA over an in-process model of the tray's
// entries. A click on an entry posts the entry's callback message to its window, wParam
// the entry's id and lParam the mouse message, as the shell does. Where the desktop hosts
// tray items, the display side shows each entry there and reports its clicks through
// `ClickTrayEntry`.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"

inline constexpr DWORD NIM_ADD = 0;
inline constexpr DWORD NIM_MODIFY = 1;
inline constexpr DWORD NIM_DELETE = 2;
inline constexpr UINT NIF_MESSAGE = 1;
inline constexpr UINT NIF_ICON = 2;
inline constexpr UINT NIF_TIP = 4;

// The 88-byte layout: the tip holds 63 characters and a zero.
struct NOTIFYICONDATAA {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[64];
};

// NIM_ADD fails for an entry (window and id) that exists, NIM_MODIFY and NIM_DELETE for
// one that does not. The icon is copied: the caller may destroy its own afterwards.
BOOL Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data);

namespace platform {

struct TrayEntry {
    HWND window = 0;
    UINT id = 0;
    UINT callbackMessage = 0;
    std::string tip;
    // 16 x 16 ARGB pixels, rows top first; empty without an icon.
    std::vector<uint32_t> pixels;
};

inline constexpr int kTrayIconSize = 16;

// The entries in the order they were added.
std::vector<TrayEntry> TrayEntries();

// Posts one mouse message of the entry to its window; false for no such entry.
bool PostTrayMouseMessage(HWND window, UINT id, UINT mouseMessage);
// A click of the button whose WM_xBUTTONDOWN is given: down and up, or, within the
// double-click time of the button's last click on the entry, WM_xBUTTONDBLCLK and up.
bool ClickTrayEntry(HWND window, UINT id, UINT buttonDown);

// Told after every change of the entries, on the thread that made it; one listener.
void SetTrayListener(std::function<void()> listener);

} // namespace platform
