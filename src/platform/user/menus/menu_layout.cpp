#include "platform/user/menus/menu_layout.h"

#include <algorithm>

#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/controls/draw_edge.h"
#include "platform/gdi/controls/frame_control.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/text/text_out.h"
#include "platform/kernel/cp1252.h"
#include "platform/system/system_info.h"

namespace platform {
namespace {

constexpr UINT kTextFormat = DT_SINGLELINE | DT_VCENTER;

// The text before the '\t' and the right-aligned part after it.
struct ItemText {
    std::string label;
    std::string right;
};
ItemText SplitText(const std::string& text) {
    size_t tab = text.find('\t');
    if (tab == std::string::npos) return ItemText{text, {}};
    return ItemText{text.substr(0, tab), text.substr(tab + 1)};
}

// A DC to measure text with the menu font; released at the end of the scope.
class MeasuringDC {
public:
    MeasuringDC() : dc_(CreateCompatibleDC(0)) {
        if (dc_ != 0) old_ = SelectObject(dc_, GetStockObject(DEFAULT_GUI_FONT));
    }
    ~MeasuringDC() {
        if (dc_ == 0) return;
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    MeasuringDC(const MeasuringDC&) = delete;
    MeasuringDC& operator=(const MeasuringDC&) = delete;
    int Width(const std::string& text) const {
        if (dc_ == 0 || text.empty()) return 0;
        RECT rect{0, 0, 0, 0};
        DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &rect,
                  DT_SINGLELINE | DT_CALCRECT);
        return rect.right - rect.left;
    }

private:
    HDC dc_;
    HGDIOBJ old_ = 0;
};

int TextItemHeight() {
    return GetSystemMetrics(SM_CYMENU) - 2;
}

bool Grey(const MenuItem& item) {
    return (item.flags & (MF_GRAYED | MF_DISABLED)) != 0;
}

void DrawText(HDC dc, const std::string& text, RECT rect, UINT format) {
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

// Text in the item's colour; grey text on the menu colour is embossed.
void DrawItemText(HDC dc, const std::string& text, const RECT& rect, UINT format, bool grey,
                  bool selected) {
    if (grey && !selected) {
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawText(dc, text, RECT{rect.left + 1, rect.top + 1, rect.right + 1, rect.bottom + 1},
                 format);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    } else {
        SetTextColor(dc, GetSysColor(grey       ? COLOR_GRAYTEXT
                                     : selected ? COLOR_HIGHLIGHTTEXT
                                                : COLOR_MENUTEXT));
    }
    DrawText(dc, text, rect, format);
}

// DrawFrameControl's menu symbols are black on white masks: the black is copied in
// the colour asked for.
void DrawSymbol(HDC dc, const RECT& rect, UINT symbol, COLORREF color) {
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    HDC mask = CreateCompatibleDC(dc);
    if (mask == 0) return;
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ old = SelectObject(mask, bitmap);
    RECT area{0, 0, width, height};
    DrawFrameControl(mask, &area, DFC_MENU, symbol);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((GetPixel(mask, x, y) & 0xFFFFFF) == 0)
                SetPixel(dc, rect.left + x, rect.top + y, color);
    SelectObject(mask, old);
    DeleteObject(bitmap);
    DeleteDC(mask);
}

void DrawPopupItem(HDC dc, const MenuItem& item, const RECT& r, bool selected) {
    if (item.flags & MF_SEPARATOR) {
        int middle = r.top + (r.bottom - r.top) / 2 - 1;
        RECT shadow{r.left + 1, middle, r.right - 1, middle + 1};
        FillRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
        RECT light{r.left + 1, middle + 1, r.right - 1, middle + 2};
        FillRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
        return;
    }
    bool grey = Grey(item);
    FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    COLORREF symbolColor = GetSysColor(grey       ? COLOR_GRAYTEXT
                                       : selected ? COLOR_HIGHLIGHTTEXT
                                                  : COLOR_MENUTEXT);
    if (item.flags & MF_CHECKED) {
        UINT symbol = (item.flags & MENU_RADIO_CHECK) ? DFCS_MENUBULLET : DFCS_MENUCHECK;
        DrawSymbol(dc, RECT{r.left, r.top, r.left + CHECK_COLUMN, r.bottom}, symbol, symbolColor);
    }
    if (item.flags & MF_POPUP)
        DrawSymbol(dc, RECT{r.right - ARROW_COLUMN, r.top, r.right, r.bottom}, DFCS_MENUARROW,
                   symbolColor);
    ItemText text = SplitText(item.text);
    RECT area{r.left + CHECK_COLUMN, r.top, r.right - ARROW_COLUMN, r.bottom};
    DrawItemText(dc, text.label, area, kTextFormat | DT_LEFT, grey, selected);
    if (!text.right.empty())
        DrawItemText(dc, text.right, area, kTextFormat | DT_RIGHT, grey, selected);
}

} // namespace

PopupLayout LayOutPopup(const std::vector<MenuItem>& items) {
    MeasuringDC measure;
    int labelWidth = 0;
    int rightWidth = 0;
    for (const MenuItem& item : items) {
        if (item.flags & MF_SEPARATOR) continue;
        ItemText text = SplitText(item.text);
        labelWidth = std::max(labelWidth, measure.Width(text.label));
        rightWidth = std::max(rightWidth, measure.Width(text.right));
    }
    PopupLayout layout;
    int inner =
        CHECK_COLUMN + labelWidth + (rightWidth > 0 ? TAB_GAP + rightWidth : 0) + ARROW_COLUMN;
    layout.width = inner + 2 * POPUP_BORDER;
    int y = POPUP_BORDER;
    for (const MenuItem& item : items) {
        int height = (item.flags & MF_SEPARATOR) ? SEPARATOR_HEIGHT : TextItemHeight();
        layout.items.push_back(RECT{POPUP_BORDER, y, POPUP_BORDER + inner, y + height});
        y += height;
    }
    layout.height = y + POPUP_BORDER;
    return layout;
}

std::vector<RECT> LayOutBar(const std::vector<MenuItem>& items, const RECT& bar) {
    MeasuringDC measure;
    std::vector<RECT> boxes;
    int x = bar.left;
    for (const MenuItem& item : items) {
        int width = (item.flags & MF_SEPARATOR)
                        ? BAR_ITEM_PADDING
                        : measure.Width(SplitText(item.text).label) + 2 * BAR_ITEM_PADDING;
        int left = std::min<int>(x, bar.right);
        int right = std::min<int>(x + width, bar.right);
        boxes.push_back(RECT{left, bar.top, right, bar.bottom - 1});
        x += width;
    }
    return boxes;
}

int ItemAt(const std::vector<RECT>& boxes, POINT point) {
    for (size_t i = 0; i < boxes.size(); ++i) {
        const RECT& r = boxes[i];
        if (point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom)
            return static_cast<int>(i);
    }
    return -1;
}

unsigned char Mnemonic(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size() && text[i] != '\t'; ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return Cp1252ToUpper(static_cast<unsigned char>(text[i + 1]));
        ++i;
    }
    return 0;
}

void DrawPopup(HDC dc, const std::vector<MenuItem>& items, const PopupLayout& layout,
               int selected) {
    RECT all{0, 0, layout.width, layout.height};
    FillRect(dc, &all, GetSysColorBrush(COLOR_MENU));
    DrawEdge(dc, &all, EDGE_RAISED, BF_RECT);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    for (size_t i = 0; i < items.size() && i < layout.items.size(); ++i)
        DrawPopupItem(dc, items[i], layout.items[i], static_cast<int>(i) == selected);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

void DrawBar(HDC dc, const RECT& bar, const std::vector<MenuItem>& items,
             const std::vector<RECT>& boxes, int selected, bool open) {
    FillRect(dc, &bar, GetSysColorBrush(COLOR_MENU));
    int saved = SaveDC(dc);
    IntersectClipRect(dc, bar.left, bar.top, bar.right, bar.bottom);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    for (size_t i = 0; i < items.size() && i < boxes.size(); ++i) {
        const MenuItem& item = items[i];
        RECT box = boxes[i];
        if ((item.flags & MF_SEPARATOR) || box.right <= box.left) continue;
        if (static_cast<int>(i) == selected)
            DrawEdge(dc, &box, open ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        DrawItemText(dc, SplitText(item.text).label, box, kTextFormat | DT_CENTER, Grey(item),
                     false);
    }
    RestoreDC(dc, saved);
}

} // namespace platform
