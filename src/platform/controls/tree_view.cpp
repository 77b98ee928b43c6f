#include "platform/controls/tree_view.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/controls/control_common.h"
#include "platform/controls/control_procedure.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/label.h"
#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/controls/focus_rect.h"

namespace platform {

namespace {

// The width of a level, and of the room the label's highlight takes either side.
constexpr int kIndent = 19;
constexpr int kLabelMargin = 2;
constexpr int kButtonSize = 9;
constexpr int kWheelLines = 3;

struct Item;

// Siblings are linked both ways so that reaching a neighbour, adding at either end and
// unlinking take the same time however many siblings there are.
struct Siblings {
    Item* first = nullptr;
    Item* last = nullptr;
    bool empty() const { return first == nullptr; }
};

struct Item {
    HTREEITEM handle = 0;
    std::string text;
    LPARAM data = 0;
    bool expanded = false;
    Item* parent = nullptr;
    Item* previous = nullptr;
    Item* next = nullptr;
    Siblings children;
    // Its place among the shown rows when it was last counted (see RowOf).
    size_t row = 0;
};

struct Row {
    Item* item;
    int level;
};

struct TreeState {
    ControlFont font;
    std::unordered_map<HTREEITEM, std::unique_ptr<Item>> items;
    Siblings roots;
    HTREEITEM nextHandle = 1;
    Item* caret = nullptr;
    // The shown rows, rebuilt after a change of the items or of what is open.
    std::vector<Row> rows;
    bool rowsStale = true;
    // The rows before this one have their own place in their item's `row`; rows from here
    // on were moved by an insertion and are counted again when asked for.
    size_t rowsCounted = 0;
    int top = 0;
    int itemHeight = 0;
    HFONT measuredFont = 0;
    bool focused = false;
    int wheelRest = 0;
    bool barUndrawn = false;
};

ControlStates<TreeState>& States() {
    static auto* states = new ControlStates<TreeState>;
    return *states;
}

Item* Find(TreeState& state, HTREEITEM handle) {
    auto found = state.items.find(handle);
    return found == state.items.end() ? nullptr : found->second.get();
}

Siblings& SiblingsOf(TreeState& state, const Item* item) {
    return item->parent != nullptr ? item->parent->children : state.roots;
}

// Links `item` into `siblings` before `place` (at the end for null).
void Link(Siblings& siblings, Item* item, Item* place) {
    item->next = place;
    item->previous = place != nullptr ? place->previous : siblings.last;
    (item->previous != nullptr ? item->previous->next : siblings.first) = item;
    (place != nullptr ? place->previous : siblings.last) = item;
}

void Unlink(Siblings& siblings, Item* item) {
    (item->previous != nullptr ? item->previous->next : siblings.first) = item->next;
    (item->next != nullptr ? item->next->previous : siblings.last) = item->previous;
    item->previous = item->next = nullptr;
}

void AddRows(std::vector<Row>& rows, const Siblings& items, int level) {
    for (Item* item = items.first; item != nullptr; item = item->next) {
        item->row = rows.size();
        rows.push_back({item, level});
        if (item->expanded) AddRows(rows, item->children, level + 1);
    }
}

const std::vector<Row>& Rows(TreeState& state) {
    if (state.rowsStale) {
        state.rows.clear();
        AddRows(state.rows, state.roots, 0);
        state.rowsStale = false;
        state.rowsCounted = state.rows.size();
    }
    return state.rows;
}

int RowOf(TreeState& state, const Item* item) {
    if (item == nullptr) return -1;
    const std::vector<Row>& rows = Rows(state);
    auto at = [&](size_t row) { return row < state.rowsCounted && rows[row].item == item; };
    if (!at(item->row)) {
        for (size_t row = state.rowsCounted; row < rows.size(); ++row)
            rows[row].item->row = row;
        state.rowsCounted = rows.size();
        if (!at(item->row)) return -1;
    }
    return static_cast<int>(item->row);
}

int ItemHeight(HWND window, TreeState& state) {
    if (state.itemHeight > 0 && state.measuredFont == state.font.font) return state.itemHeight;
    state.measuredFont = state.font.font;
    TEXTMETRICA metrics{};
    if (HDC dc = GetDC(window); dc != 0) {
        HGDIOBJ old = state.font.Select(dc);
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(window, dc);
    }
    // Even, so that the dotted lines of one row meet those of the next.
    state.itemHeight = std::max(static_cast<int>(metrics.tmHeight) + 3, 16) & ~1;
    return state.itemHeight;
}

int VisibleRows(HWND window, TreeState& state) {
    RECT client = ClientOf(window);
    return std::max(static_cast<int>(client.bottom - client.top) / ItemHeight(window, state), 1);
}

bool LinesAtRoot(HWND window) {
    DWORD style = StyleOf(window);
    return (style & TVS_LINESATROOT) && (style & (TVS_HASLINES | TVS_HASBUTTONS));
}

// Where a row's label starts, before the margin.
int LabelLeft(HWND window, int level) {
    return (level + (LinesAtRoot(window) ? 1 : 0)) * kIndent + kLabelMargin;
}

// Measured on `painting` (with the font selected) when given, so that painting a row takes
// no device context of its own.
int TextWidth(HWND window, TreeState& state, const std::string& text, HDC painting) {
    SIZE size{};
    if (painting != 0) {
        GetTextExtentPoint32A(painting, text.data(), static_cast<int>(text.size()), &size);
    } else if (HDC dc = GetDC(window); dc != 0) {
        HGDIOBJ old = state.font.Select(dc);
        GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(window, dc);
    }
    return size.cx;
}

RECT LabelRect(HWND window, TreeState& state, const Row& row, int y, HDC painting = 0) {
    int left = LabelLeft(window, row.level);
    return RECT{left, y,
                left + TextWidth(window, state, row.item->text, painting) + 2 * kLabelMargin,
                y + ItemHeight(window, state)};
}

// The bar is drawn with the rows rather than at every change, so that a fill of many items
// draws it once.
void UpdateScrollBar(HWND window, TreeState& state, BOOL redraw = FALSE) {
    state.barUndrawn = !redraw;
    SCROLLINFO info{sizeof(SCROLLINFO),
                    SIF_RANGE | SIF_PAGE | SIF_POS,
                    0,
                    static_cast<int>(Rows(state).size()) - 1,
                    static_cast<UINT>(VisibleRows(window, state)),
                    state.top,
                    0};
    SetScrollInfo(window, SB_VERT, &info, redraw);
}

void SetTop(HWND window, TreeState& state, int top) {
    int last = std::max(static_cast<int>(Rows(state).size()) - VisibleRows(window, state), 0);
    state.top = std::clamp(top, 0, last);
    UpdateScrollBar(window, state);
    // The bar coming or going changes how many rows fit.
    last = std::max(static_cast<int>(Rows(state).size()) - VisibleRows(window, state), 0);
    if (state.top > last) {
        state.top = last;
        UpdateScrollBar(window, state);
    }
    InvalidateRect(window, nullptr, TRUE);
}

void Changed(HWND window, TreeState& state, bool rowsChanged = true) {
    if (rowsChanged) state.rowsStale = true;
    SetTop(window, state, state.top);
}

// Puts the row of a new, shown item among the rows: after its previous sibling and what
// shows under it, or after its parent.
void PlaceRow(TreeState& state, Item* item) {
    std::vector<Row>& rows = state.rows;
    Item* before = item->previous;
    Item* anchor = before != nullptr ? before : item->parent;
    size_t at = 0;
    int level = 0;
    if (anchor != nullptr) {
        int found = RowOf(state, anchor);
        if (found < 0) {
            state.rowsStale = true;
            return;
        }
        at = static_cast<size_t>(found) + 1;
        int anchorLevel = rows[static_cast<size_t>(found)].level;
        level = before != nullptr ? anchorLevel : anchorLevel + 1;
        if (before != nullptr)
            while (at < rows.size() && rows[at].level > anchorLevel)
                ++at;
    }
    rows.insert(rows.begin() + static_cast<long>(at), Row{item, level});
    item->row = at;
    // Appending keeps every place; an insertion moves the rows after it.
    state.rowsCounted = state.rowsCounted >= at ? at + 1 : state.rowsCounted;
}

void ShowRow(HWND window, TreeState& state, int row) {
    if (row < 0) return;
    int visible = VisibleRows(window, state);
    if (row < state.top)
        SetTop(window, state, row);
    else if (row >= state.top + visible)
        SetTop(window, state, row - visible + 1);
}

TVITEMA Describe(const TreeState& state, const Item* item) {
    TVITEMA described{};
    if (item == nullptr) return described;
    described.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    described.hItem = item->handle;
    described.state =
        (item == state.caret ? TVIS_SELECTED : 0) | (item->expanded ? TVIS_EXPANDED : 0);
    described.stateMask = TVIS_SELECTED | TVIS_EXPANDED;
    described.lParam = item->data;
    return described;
}

// Sends a notification to the parent; its answer, 0 when there is no parent.
LRESULT Notify(HWND window, NMTREEVIEWA& notice, UINT code) {
    HWND parent = GetParent(window);
    if (parent == 0) return 0;
    notice.hdr.hwndFrom = window;
    notice.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window));
    notice.hdr.code = code;
    return SendMessageA(parent, WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
}

LRESULT NotifyAt(HWND window, UINT code) {
    NMTREEVIEWA notice{};
    return Notify(window, notice, code);
}

bool IsUnder(const Item* item, const Item* ancestor) {
    for (const Item* at = item; at != nullptr; at = at->parent)
        if (at == ancestor) return true;
    return false;
}

// Makes `item` the selection and tells the parent; false when the window died.
bool Select(HWND window, TreeState& state, Item* item, UINT action) {
    if (item == state.caret) {
        if (item != nullptr) ShowRow(window, state, RowOf(state, item));
        return true;
    }
    NMTREEVIEWA notice{};
    notice.action = action;
    notice.itemOld = Describe(state, state.caret);
    bool opened = false;
    for (Item* parent = item != nullptr ? item->parent : nullptr; parent != nullptr;
         parent = parent->parent)
        if (!parent->expanded) opened = parent->expanded = true;
    if (opened) Changed(window, state);
    state.caret = item;
    notice.itemNew = Describe(state, item);
    if (item != nullptr) ShowRow(window, state, RowOf(state, item));
    InvalidateRect(window, nullptr, TRUE);
    Notify(window, notice, TVN_SELCHANGEDA);
    return IsWindow(window) != FALSE;
}

bool Expand(HWND window, TreeState& state, Item* item, UINT code) {
    if (item == nullptr || item->children.empty()) return false;
    bool open = code == TVE_TOGGLE ? !item->expanded : code == TVE_EXPAND;
    if (code != TVE_TOGGLE && code != TVE_EXPAND && code != TVE_COLLAPSE) return false;
    if (open == item->expanded) return true;
    item->expanded = open;
    Changed(window, state);
    // A selection that the closing hides moves up to the closed item.
    if (!open && state.caret != nullptr && state.caret != item && IsUnder(state.caret, item))
        Select(window, state, item, TVC_UNKNOWN);
    return true;
}

HTREEITEM Insert(HWND window, TreeState& state, const TVINSERTSTRUCTA* insert) {
    if (insert == nullptr) return 0;
    Item* parent = nullptr;
    if (insert->hParent != TVI_ROOT && insert->hParent != 0) {
        parent = Find(state, insert->hParent);
        if (parent == nullptr) return 0;
    }
    Siblings& siblings = parent != nullptr ? parent->children : state.roots;
    // The item the new one goes before; null for the end.
    Item* place = nullptr;
    if (insert->hInsertAfter == TVI_FIRST) {
        place = siblings.first;
    } else if (insert->hInsertAfter != TVI_LAST) {
        Item* after = Find(state, insert->hInsertAfter);
        if (after == nullptr || after->parent != parent) return 0;
        place = after->next;
    }
    // Handles are not used again until the counter wraps, and then skip live ones.
    while (state.nextHandle == 0 || state.nextHandle >= TVI_ROOT ||
           state.items.count(state.nextHandle) != 0)
        ++state.nextHandle;
    auto item = std::make_unique<Item>();
    item->handle = state.nextHandle++;
    item->parent = parent;
    const TVITEMA& fields = insert->item;
    if ((fields.mask & TVIF_TEXT) && fields.pszText != nullptr) item->text = fields.pszText;
    if (fields.mask & TVIF_PARAM) item->data = fields.lParam;
    if ((fields.mask & TVIF_STATE) && (fields.stateMask & TVIS_EXPANDED))
        item->expanded = (fields.state & TVIS_EXPANDED) != 0;
    Item* added = item.get();
    Link(siblings, added, place);
    HTREEITEM handle = item->handle;
    state.items.emplace(handle, std::move(item));
    // An item under a closed parent changes no row; a shown one takes its row in place,
    // so that a long fill does not rebuild the rows for every item.
    bool shown = true;
    for (const Item* above = parent; above != nullptr; above = above->parent)
        shown = shown && above->expanded;
    if (!shown) {
        InvalidateRect(window, nullptr, TRUE);
        return handle;
    }
    if (!state.rowsStale) PlaceRow(state, added);
    Changed(window, state, false);
    return handle;
}

// Unlinks and frees `item` and what lies under it, telling the parent of each, children
// first. False when the window died meanwhile.
bool DeleteTree(HWND window, TreeState& state, Item* item) {
    while (!item->children.empty()) {
        if (!DeleteTree(window, state, item->children.first)) return false;
        if (States().Find(window) == nullptr) return false;
    }
    Unlink(SiblingsOf(state, item), item);
    if (state.caret == item) state.caret = nullptr;
    std::unique_ptr<Item> owned = std::move(state.items[item->handle]);
    state.items.erase(item->handle);
    state.rowsStale = true;
    NMTREEVIEWA notice{};
    notice.itemOld = Describe(state, item);
    notice.itemOld.mask = TVIF_HANDLE | TVIF_PARAM;
    Notify(window, notice, TVN_DELETEITEMA);
    return IsWindow(window) != FALSE;
}

BOOL Delete(HWND window, TreeState& state, HTREEITEM handle) {
    if (handle == TVI_ROOT || handle == 0) {
        while (!state.roots.empty())
            if (!DeleteTree(window, state, state.roots.first)) return TRUE;
        state.caret = nullptr;
        state.top = 0;
        Changed(window, state);
        return TRUE;
    }
    Item* item = Find(state, handle);
    if (item == nullptr) return FALSE;
    bool hadCaret = state.caret != nullptr && IsUnder(state.caret, item);
    Item* heir = item->next;
    if (heir == nullptr) heir = item->previous;
    if (heir == nullptr) heir = item->parent;
    Item* parent = item->parent;
    if (!DeleteTree(window, state, item)) return TRUE;
    if (parent != nullptr && parent->children.empty()) parent->expanded = false;
    Changed(window, state);
    if (hadCaret) {
        // The deleted selection counts as none when the heir is told of.
        state.caret = nullptr;
        NMTREEVIEWA notice{};
        notice.action = TVC_UNKNOWN;
        state.caret = heir;
        notice.itemNew = Describe(state, heir);
        if (heir != nullptr) ShowRow(window, state, RowOf(state, heir));
        Notify(window, notice, TVN_SELCHANGEDA);
    }
    return TRUE;
}

HTREEITEM Next(TreeState& state, UINT code, HTREEITEM handle) {
    if (code == TVGN_ROOT) return state.roots.empty() ? 0 : state.roots.first->handle;
    if (code == TVGN_CARET) return state.caret != nullptr ? state.caret->handle : 0;
    if (code == TVGN_CHILD && (handle == 0 || handle == TVI_ROOT))
        return state.roots.empty() ? 0 : state.roots.first->handle;
    Item* item = Find(state, handle);
    if (item == nullptr) return 0;
    Item* found = nullptr;
    switch (code) {
    case TVGN_NEXT:
        found = item->next;
        break;
    case TVGN_PREVIOUS:
        found = item->previous;
        break;
    case TVGN_PARENT:
        found = item->parent;
        break;
    case TVGN_CHILD:
        found = item->children.first;
        break;
    default:
        break;
    }
    return found != nullptr ? found->handle : 0;
}

BOOL GetItem(TreeState& state, TVITEMA* fields) {
    if (fields == nullptr) return FALSE;
    Item* item = Find(state, fields->hItem);
    if (item == nullptr) return FALSE;
    if ((fields->mask & TVIF_TEXT) && fields->pszText != nullptr && fields->cchTextMax > 0) {
        size_t length = std::min(item->text.size(), static_cast<size_t>(fields->cchTextMax - 1));
        std::memcpy(fields->pszText, item->text.data(), length);
        fields->pszText[length] = '\0';
    }
    if (fields->mask & TVIF_PARAM) fields->lParam = item->data;
    if (fields->mask & TVIF_STATE) fields->state = Describe(state, item).state & fields->stateMask;
    if (fields->mask & TVIF_CHILDREN) fields->cChildren = item->children.empty() ? 0 : 1;
    return TRUE;
}

BOOL SetItem(HWND window, TreeState& state, const TVITEMA* fields) {
    if (fields == nullptr) return FALSE;
    Item* item = Find(state, fields->hItem);
    if (item == nullptr) return FALSE;
    if (fields->mask & TVIF_TEXT) item->text = fields->pszText != nullptr ? fields->pszText : "";
    if (fields->mask & TVIF_PARAM) item->data = fields->lParam;
    if ((fields->mask & TVIF_STATE) && (fields->stateMask & TVIS_EXPANDED)) {
        item->expanded = (fields->state & TVIS_EXPANDED) != 0;
        state.rowsStale = true;
    }
    Changed(window, state);
    return TRUE;
}

HTREEITEM HitTest(HWND window, TreeState& state, TVHITTESTINFO* info) {
    if (info == nullptr) return 0;
    RECT client = ClientOf(window);
    info->hItem = 0;
    info->flags = 0;
    if (info->pt.x < 0) info->flags |= TVHT_TOLEFT;
    if (info->pt.x >= client.right) info->flags |= TVHT_TORIGHT;
    if (info->pt.y < 0) info->flags |= TVHT_ABOVE;
    if (info->pt.y >= client.bottom) info->flags |= TVHT_BELOW;
    if (info->flags != 0) return 0;
    int height = ItemHeight(window, state);
    int index = state.top + info->pt.y / height;
    const std::vector<Row>& rows = Rows(state);
    if (index >= static_cast<int>(rows.size())) {
        info->flags = TVHT_NOWHERE;
        return 0;
    }
    const Row& row = rows[static_cast<size_t>(index)];
    RECT label = LabelRect(window, state, row, 0);
    int buttonCentre = label.left - kLabelMargin - kIndent / 2;
    bool hasButton = (StyleOf(window) & TVS_HASBUTTONS) && !row.item->children.empty() &&
                     (row.level > 0 || LinesAtRoot(window));
    if (info->pt.x >= label.right)
        info->flags = TVHT_ONITEMRIGHT;
    else if (info->pt.x >= label.left)
        info->flags = TVHT_ONITEMLABEL;
    else if (hasButton && std::abs(info->pt.x - buttonCentre) <= kButtonSize / 2 + 1)
        info->flags = TVHT_ONITEMBUTTON;
    else
        info->flags = TVHT_ONITEMINDENT;
    info->hItem = row.item->handle;
    return row.item->handle;
}

BOOL ItemRect(HWND window, TreeState& state, BOOL labelOnly, RECT* rect) {
    if (rect == nullptr) return FALSE;
    HTREEITEM handle = 0;
    std::memcpy(&handle, rect, sizeof handle);
    int row = RowOf(state, Find(state, handle));
    if (row < 0) return FALSE;
    int y = (row - state.top) * ItemHeight(window, state);
    if (labelOnly) {
        *rect = LabelRect(window, state, Rows(state)[static_cast<size_t>(row)], y);
    } else {
        RECT client = ClientOf(window);
        *rect = RECT{0, y, client.right, y + ItemHeight(window, state)};
    }
    return TRUE;
}

bool KeyDown(HWND window, TreeState& state, int key) {
    const std::vector<Row>& rows = Rows(state);
    if (rows.empty()) return true;
    Item* item = state.caret;
    int row = RowOf(state, item);
    int page = VisibleRows(window, state), last = static_cast<int>(rows.size()) - 1;
    auto moveTo = [&](int to) {
        Item* target = rows[static_cast<size_t>(std::clamp(to, 0, last))].item;
        return Select(window, state, target, TVC_BYKEYBOARD);
    };
    switch (key) {
    case VK_UP:
        return moveTo(row < 0 ? 0 : row - 1);
    case VK_DOWN:
        return moveTo(row + 1);
    case VK_PRIOR:
        return moveTo(row - page + 1);
    case VK_NEXT:
        return moveTo(row < 0 ? page - 1 : row + page - 1);
    case VK_HOME:
        return moveTo(0);
    case VK_END:
        return moveTo(last);
    case VK_ADD:
    case VK_OEM_PLUS:
        Expand(window, state, item, TVE_EXPAND);
        return true;
    case VK_SUBTRACT:
    case VK_OEM_MINUS:
        Expand(window, state, item, TVE_COLLAPSE);
        return true;
    case VK_RIGHT:
        if (item == nullptr || item->children.empty()) return true;
        if (!item->expanded) return Expand(window, state, item, TVE_EXPAND);
        return Select(window, state, item->children.first, TVC_BYKEYBOARD);
    case VK_LEFT:
        if (item == nullptr) return true;
        if (item->expanded) return Expand(window, state, item, TVE_COLLAPSE);
        if (item->parent != nullptr) return Select(window, state, item->parent, TVC_BYKEYBOARD);
        return true;
    default:
        return true;
    }
}

void LeftDown(HWND window, TreeState& state, LPARAM lParam, bool twice) {
    if (GetFocus() != window) SetFocus(window);
    if (!IsWindow(window)) return;
    TVHITTESTINFO hit{
        {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}, 0, 0};
    Item* item = Find(state, HitTest(window, state, &hit));
    if (item == nullptr) return;
    if (hit.flags & TVHT_ONITEMBUTTON) {
        Expand(window, state, item, TVE_TOGGLE);
        return;
    }
    bool onRow = (StyleOf(window) & TVS_FULLROWSELECT) || (hit.flags & TVHT_ONITEMLABEL);
    if (!onRow) return;
    if (!Select(window, state, item, TVC_BYMOUSE)) return;
    if (twice && NotifyAt(window, NM_DBLCLK) == 0 && IsWindow(window)) {
        if (std::shared_ptr<TreeState> alive = States().Find(window))
            Expand(window, *alive, Find(*alive, item->handle), TVE_TOGGLE);
    }
}

// The dotted lines: every other pixel, on the even squares so that segments join, copied
// from a checkerboard in a few blits a row rather than drawn dot by dot. The pixels between
// the dots take the window's colour, which is what lies under the lines.
class Dots {
public:
    explicit Dots(HDC target) : target_(target) {
        // A monochrome bitmap's rows are whole words, the leftmost pixel the high bit; the
        // 0 bits take the text colour.
        uint8_t bits[kSize * kSize / 8];
        for (int y = 0; y < kSize; ++y)
            std::memset(bits + y * kSize / 8, (y & 1) != 0 ? 0xAA : 0x55, kSize / 8);
        source_ = CreateCompatibleDC(target);
        checker_ = CreateBitmap(kSize, kSize, 1, 1, bits);
        if (source_ != 0 && checker_ != 0) old_ = SelectObject(source_, checker_);
    }
    ~Dots() {
        if (old_ != 0) SelectObject(source_, old_);
        if (checker_ != 0) DeleteObject(checker_);
        if (source_ != 0) DeleteDC(source_);
    }
    Dots(const Dots&) = delete;
    Dots& operator=(const Dots&) = delete;

    // A vertical or horizontal segment, both ends included.
    void Draw(int x0, int y0, int x1, int y1, COLORREF color, COLORREF background) {
        if (old_ == 0) return;
        SetTextColor(target_, color);
        SetBkColor(target_, background);
        // The source's first column is chosen by parity, so a piece is at most one short.
        constexpr int kPiece = kSize - 1;
        for (int y = y0; y <= y1; y += kPiece)
            for (int x = x0; x <= x1; x += kPiece)
                BitBlt(target_, x, y, std::min(x1 - x + 1, kPiece), std::min(y1 - y + 1, kPiece),
                       source_, (x + y) & 1, 0, SRCCOPY);
    }

private:
    static constexpr int kSize = 64;
    HDC target_;
    HDC source_ = 0;
    HBITMAP checker_ = 0;
    HGDIOBJ old_ = 0;
};

void DrawButton(HDC dc, int centreX, int centreY, bool open) {
    int half = kButtonSize / 2;
    RECT box{centreX - half, centreY - half, centreX + half + 1, centreY + half + 1};
    FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(dc, &box, GetSysColorBrush(COLOR_GRAYTEXT));
    HBRUSH ink = GetSysColorBrush(COLOR_WINDOWTEXT);
    RECT across{centreX - 2, centreY, centreX + 3, centreY + 1};
    FillRect(dc, &across, ink);
    if (!open) {
        RECT down{centreX, centreY - 2, centreX + 1, centreY + 3};
        FillRect(dc, &down, ink);
    }
}

void PaintRow(HWND window, TreeState& state, HDC dc, Dots& dots, const Row& row, int y, int width) {
    DWORD style = StyleOf(window);
    int height = ItemHeight(window, state);
    int middle = y + height / 2;
    int rootShift = LinesAtRoot(window) ? 1 : 0;
    COLORREF lineColor = GetSysColor(COLOR_GRAYTEXT);
    COLORREF background = GetSysColor(COLOR_WINDOW);
    Item* item = row.item;
    if (style & TVS_HASLINES) {
        // The lines of the ancestors that have later siblings pass through this row.
        int level = row.level;
        for (const Item* at = item; at != nullptr; at = at->parent, --level) {
            int column = level + rootShift - 1;
            if (column < 0) break;
            int x = column * kIndent + kIndent / 2;
            bool later = at->next != nullptr;
            if (at == item) {
                bool first = at->parent == nullptr && at->previous == nullptr;
                dots.Draw(x, first ? middle : y, x, later ? y + height - 1 : middle, lineColor,
                          background);
                dots.Draw(x, middle, (column + 1) * kIndent, middle, lineColor, background);
            } else if (later) {
                dots.Draw(x, y, x, y + height - 1, lineColor, background);
            }
        }
    }
    int column = row.level + rootShift - 1;
    if ((style & TVS_HASBUTTONS) && column >= 0 && !item->children.empty())
        DrawButton(dc, column * kIndent + kIndent / 2, middle, item->expanded);
    RECT label = LabelRect(window, state, row, y, dc);
    bool selected = item == state.caret && state.focused;
    RECT mark = label;
    if (style & TVS_FULLROWSELECT) mark.right = std::max<LONG>(mark.right, width);
    if (selected) FillRect(dc, &mark, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(selected                  ? COLOR_HIGHLIGHTTEXT
                                 : IsWindowEnabled(window) ? COLOR_WINDOWTEXT
                                                           : COLOR_GRAYTEXT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    TextOutA(dc, label.left + kLabelMargin, y + (height - metrics.tmHeight) / 2, item->text.data(),
             static_cast<int>(item->text.size()));
    if (selected) DrawFocusRect(dc, &mark);
}

void Paint(HWND window, TreeState& state, HDC dc) {
    RECT client = ClientOf(window);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    HGDIOBJ oldFont = state.font.Select(dc);
    SetBkMode(dc, TRANSPARENT);
    const std::vector<Row>& rows = Rows(state);
    int height = ItemHeight(window, state);
    Dots dots(dc);
    for (int index = state.top, y = 0; index < static_cast<int>(rows.size()) && y < client.bottom;
         ++index, y += height)
        PaintRow(window, state, dc, dots, rows[static_cast<size_t>(index)], y, client.right);
    SelectObject(dc, oldFont);
}

LRESULT Scroll(HWND window, TreeState& state, WORD code, int thumb) {
    int lines = 0;
    if (ScrollRequestLines(code, thumb, state.top, VisibleRows(window, state),
                           static_cast<int>(Rows(state).size()), lines))
        SetTop(window, state, state.top + lines);
    return 0;
}

LRESULT Handle(HWND window, TreeState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        UpdateScrollBar(window, state);
        return 0;
    case WM_SIZE:
        SetTop(window, state, state.top);
        return 0;
    case WM_DESTROY:
        // The parent hears of every item while both windows still stand.
        while (!state.roots.empty())
            if (!DeleteTree(window, state, state.roots.first)) break;
        state.caret = nullptr;
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        if (state.barUndrawn) UpdateScrollBar(window, state, TRUE);
        HDC dc = BeginPaint(window, &paint);
        if (dc != 0) Paint(window, state, dc);
        if (IsWindow(window)) EndPaint(window, &paint);
        return 0;
    }
    case WM_ENABLE:
    case WM_STYLECHANGED:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        state.focused = message == WM_SETFOCUS;
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        LeftDown(window, state, lParam, message == WM_LBUTTONDBLCLK);
        return 0;
    case WM_RBUTTONDOWN:
        if (GetFocus() != window) SetFocus(window);
        return 0;
    case WM_RBUTTONUP:
        NotifyAt(window, NM_RCLICK);
        return 0;
    case WM_MOUSEWHEEL: {
        state.wheelRest += static_cast<short>(HIWORD(wParam));
        int notches = state.wheelRest / WHEEL_DELTA;
        state.wheelRest -= notches * WHEEL_DELTA;
        if (notches != 0) SetTop(window, state, state.top - notches * kWheelLines);
        return 0;
    }
    case WM_KEYDOWN:
        KeyDown(window, state, static_cast<int>(wParam));
        return 0;
    case WM_VSCROLL:
        return Scroll(window, state, LOWORD(wParam), HIWORD(wParam));
    case TVM_INSERTITEMA:
        return Insert(window, state, reinterpret_cast<const TVINSERTSTRUCTA*>(lParam));
    case TVM_DELETEITEM:
        return Delete(window, state, static_cast<HTREEITEM>(lParam));
    case TVM_EXPAND:
        return Expand(window, state, Find(state, static_cast<HTREEITEM>(lParam)),
                      static_cast<UINT>(wParam))
                   ? TRUE
                   : FALSE;
    case TVM_GETITEMRECT:
        return ItemRect(window, state, static_cast<BOOL>(wParam), reinterpret_cast<RECT*>(lParam));
    case TVM_GETCOUNT:
        return static_cast<LRESULT>(state.items.size());
    case TVM_GETNEXTITEM:
        return Next(state, static_cast<UINT>(wParam), static_cast<HTREEITEM>(lParam));
    case TVM_SELECTITEM: {
        if (wParam != TVGN_CARET) return FALSE;
        Item* item = Find(state, static_cast<HTREEITEM>(lParam));
        if (item == nullptr && lParam != 0) return FALSE;
        Select(window, state, item, TVC_UNKNOWN);
        return TRUE;
    }
    case TVM_GETITEMA:
        return GetItem(state, reinterpret_cast<TVITEMA*>(lParam));
    case TVM_SETITEMA:
        return SetItem(window, state, reinterpret_cast<const TVITEMA*>(lParam));
    case TVM_HITTEST:
        return HitTest(window, state, reinterpret_cast<TVHITTESTINFO*>(lParam));
    case TVM_ENSUREVISIBLE: {
        Item* item = Find(state, static_cast<HTREEITEM>(lParam));
        if (item == nullptr) return FALSE;
        bool opened = false;
        for (Item* parent = item->parent; parent != nullptr; parent = parent->parent)
            if (!parent->expanded) opened = parent->expanded = true;
        if (opened) Changed(window, state);
        ShowRow(window, state, RowOf(state, item));
        return TRUE;
    }
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

LRESULT TreeViewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunControl<TreeState>(States(), Handle, window, message, wParam, lParam);
}

} // namespace platform
