// The program's dialog and menu resources: templates compiled in and found by number, as the
// string table's texts are (dialog_templates.cpp holds the dialogs, dialog_templates_menus.cpp
// the menus). A template is the layer's own structure rather than the packed bytes of a
// resource file, so nothing here is read from outside. Texts are Windows-1252.
#pragma once

#include <vector>

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"

// Dialog styles of a template.
inline constexpr DWORD DS_SETFONT = 0x0040;
inline constexpr DWORD DS_MODALFRAME = 0x0080;
inline constexpr DWORD DS_CENTER = 0x0800;

// A control of a dialog: its class, text, style (WS_CHILD is added), id and place in dialog
// units.
struct DLGITEMTEMPLATEA {
    const char* className;
    const char* text;
    DWORD style;
    DWORD exStyle;
    short x;
    short y;
    short cx;
    short cy;
    WORD id;
};

// A dialog: the frame's style and caption, the client area in dialog units (x and y from
// the owner's client area, or the screen, unless DS_CENTER) and its controls in tab order.
// The font named is the author's; dialogs are laid out and drawn with the GUI font at
// 8 points, which stands in for it.
struct DLGTEMPLATEA {
    DWORD style;
    DWORD exStyle;
    short x;
    short y;
    short cx;
    short cy;
    const char* caption;
    const char* fontName;
    WORD pointSize;
    std::vector<DLGITEMTEMPLATEA> items;
};

// One item of a menu resource: a command (id, text), a separator (text null), or a
// pop-up whose items follow.
struct MenuTemplateItem {
    const char* text;
    UINT id;
    std::vector<MenuTemplateItem> popup;
};

namespace platform {

// Null for a number that has no template.
const DLGTEMPLATEA* FindDialogTemplate(UINT id);
const std::vector<MenuTemplateItem>* FindMenuTemplate(UINT id);

} // namespace platform

// Makes a menu bar (CreateMenu) with the resource's items; 0 with
// ERROR_RESOURCE_NAME_NOT_FOUND for an unknown number or a name that is no number. The
// instance is not consulted: the program has one set of resources.
HMENU LoadMenuA(HINSTANCE instance, LPCSTR name);
