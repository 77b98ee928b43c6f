// Where the items of a menu bar and of a popup menu lie, and how they are drawn, in the
// classic look with the stock GUI font. Internal to the platform layer.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi/gdi_objects.h"
#include "platform/user/menus/menu_table.h"

namespace platform {

// The popup's raised border and the air inside it.
inline constexpr int POPUP_BORDER = 3;
// Where a popup item's text starts (after the check mark) and what the submenu arrow
// takes at its right.
inline constexpr int CHECK_COLUMN = 18;
inline constexpr int ARROW_COLUMN = 16;
// Between an item's text and its right-aligned part after '\t'.
inline constexpr int TAB_GAP = 16;
inline constexpr int SEPARATOR_HEIGHT = 9;
// Air on either side of a menu bar item's text.
inline constexpr int BAR_ITEM_PADDING = 6;

// A popup menu's items, in its client coordinates, and its size.
struct PopupLayout {
    int width = 0;
    int height = 0;
    std::vector<RECT> items;
};
PopupLayout LayOutPopup(const std::vector<MenuItem>& items);

// A menu bar's items in the coordinates of `bar`, left to right on one row: those past
// its right end are cut, never wrapped onto another row.
std::vector<RECT> LayOutBar(const std::vector<MenuItem>& items, const RECT& bar);

// The item under a point, or -1.
int ItemAt(const std::vector<RECT>& boxes, POINT point);

// The character after the single '&' of an item's text, upper-cased; 0 when none.
unsigned char Mnemonic(const std::string& text);

// Draws a popup with `selected` highlighted (-1 for none).
void DrawPopup(HDC dc, const std::vector<MenuItem>& items, const PopupLayout& layout, int selected);
// Draws the bar row; `selected` shows pressed when its popup is open, else raised.
void DrawBar(HDC dc, const RECT& bar, const std::vector<MenuItem>& items,
             const std::vector<RECT>& boxes, int selected, bool open);

} // namespace platform
