#include "platform/user/menus/menu_loop.h"

#include <algorithm>
#include <functional>
#include <mutex>

#include "platform/gdi/device_context.h"
#include "platform/kernel/cp1252.h"
#include "platform/kernel/errors.h"
#include "platform/system/system_info.h"
#include "platform/user/dialogs/msg_filter_hook.h"
#include "platform/user/input/input.h"
#include "platform/user/menus/menu_bar.h"
#include "platform/user/menus/menu_layout.h"
#include "platform/user/menus/menu_test_hooks.h"
#include "platform/user/messages.h"
#include "platform/user/windows.h"

namespace platform {
namespace {

constexpr char POPUP_CLASS[] = "ZorvMenuPopup";
// How far a submenu overlaps the popup it opens from.
constexpr int CASCADE_OVERLAP = 3;

struct OpenPopup {
    HMENU menu = 0;
    HWND window = 0;
    RECT screen{};
    std::vector<MenuItem> items;
    PopupLayout layout;
    int selected = -1;
};

struct Loop {
    HWND owner = 0;
    UINT flags = 0;
    bool notify = true;
    bool pressed = false;
    // The menu bar, when the loop runs on one; its items on the screen.
    HWND barWindow = 0;
    HMENU barMenu = 0;
    RECT barScreen{};
    std::vector<MenuItem> barItems;
    std::vector<RECT> barBoxes;
    int barSelected = -1;
    std::vector<OpenPopup> popups; // the root first
    bool done = false;
    bool chosen = false;
    UINT chosenId = 0;
};

// The loop running on this thread; menus belong to the thread that shows them.
thread_local Loop* current = nullptr;

std::mutex hookLock;
std::function<void(HWND)>& WaitHook() {
    static auto* hook = new std::function<void(HWND)>;
    return *hook;
}

bool Contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

RECT VirtualScreen() {
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// Brings a popup's top-left corner back onto the virtual screen as far as its size lets.
POINT KeepOnScreen(int64_t left, int64_t top, int width, int height) {
    RECT screen = VirtualScreen();
    left = std::max<int64_t>(std::min<int64_t>(left, int64_t{screen.right} - width), screen.left);
    top = std::max<int64_t>(std::min<int64_t>(top, int64_t{screen.bottom} - height), screen.top);
    return POINT{static_cast<LONG>(left), static_cast<LONG>(top)};
}

// TrackPopupMenu's place: aligned on the point as the flags say; a popup that would
// leave the screen on the side it grows to goes to the other side of the point.
POINT PlaceAtPoint(POINT at, UINT flags, int width, int height) {
    RECT screen = VirtualScreen();
    int64_t left = at.x;
    if (flags & TPM_CENTERALIGN)
        left -= width / 2;
    else if (flags & TPM_RIGHTALIGN)
        left -= width;
    int64_t top = at.y;
    if (flags & TPM_VCENTERALIGN)
        top -= height / 2;
    else if (flags & TPM_BOTTOMALIGN)
        top -= height;
    if (!(flags & (TPM_CENTERALIGN | TPM_RIGHTALIGN)) && left + width > screen.right)
        left = int64_t{at.x} - width;
    else if ((flags & TPM_RIGHTALIGN) && !(flags & TPM_CENTERALIGN) && left < screen.left)
        left = at.x;
    if (!(flags & (TPM_VCENTERALIGN | TPM_BOTTOMALIGN)) && top + height > screen.bottom)
        top = int64_t{at.y} - height;
    else if ((flags & TPM_BOTTOMALIGN) && !(flags & TPM_VCENTERALIGN) && top < screen.top)
        top = at.y;
    return KeepOnScreen(left, top, width, height);
}

// A menu bar's popup: under its item, or above it when there is no room below.
POINT PlaceUnder(const RECT& item, int width, int height) {
    int64_t top = item.bottom;
    if (top + height > VirtualScreen().bottom) top = int64_t{item.top} - height;
    return KeepOnScreen(item.left, top, width, height);
}

// A submenu: right of its item, or left of the popup when there is no room right.
POINT PlaceBeside(const RECT& popup, const RECT& item, int width, int height) {
    int64_t left = int64_t{popup.right} - CASCADE_OVERLAP;
    if (left + width > VirtualScreen().right) left = int64_t{popup.left} - width + CASCADE_OVERLAP;
    return KeepOnScreen(left, int64_t{item.top} - POPUP_BORDER, width, height);
}

RECT ItemOnScreen(const OpenPopup& popup, int index) {
    RECT r = popup.layout.items[static_cast<size_t>(index)];
    return RECT{popup.screen.left + r.left, popup.screen.top + r.top, popup.screen.left + r.right,
                popup.screen.top + r.bottom};
}

OpenPopup* PopupOf(HWND window) {
    if (current == nullptr) return nullptr;
    for (OpenPopup& popup : current->popups)
        if (popup.window == window && window != 0) return &popup;
    return nullptr;
}

LRESULT PopupProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc == 0) return 0;
        if (OpenPopup* popup = PopupOf(window))
            DrawPopup(dc, popup->items, popup->layout, popup->selected);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool RegisterPopupClass() {
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = PopupProcedure;
        windowClass.lpszClassName = POPUP_CLASS;
        return RegisterClassA(&windowClass) != 0;
    }();
    return registered;
}

bool Selectable(const MenuItem& item) {
    return !(item.flags & MF_SEPARATOR);
}
bool Enabled(const MenuItem& item) {
    return !(item.flags & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR));
}

// Whether the loop must stop: the owner died, a menu it shows or a popup window was
// destroyed, or another window took the capture.
bool Lost(const Loop& loop) {
    if (!IsWindow(loop.owner) || GetCapture() != loop.owner) return true;
    if (loop.barMenu != 0 && !MenuExists(loop.barMenu)) return true;
    for (const OpenPopup& popup : loop.popups)
        if (!MenuExists(popup.menu) || !IsWindow(popup.window)) return true;
    return false;
}

void Cancel(Loop& loop) {
    loop.done = true;
}

void Choose(Loop& loop, UINT id) {
    loop.done = true;
    loop.chosen = true;
    loop.chosenId = id;
}

void Send(const Loop& loop, UINT message, WPARAM wParam, LPARAM lParam) {
    if (loop.notify && IsWindow(loop.owner)) SendMessageA(loop.owner, message, wParam, lParam);
}

void RedrawBar(const Loop& loop) {
    if (loop.barWindow != 0) PaintMenuBar(loop.barWindow);
}

void ClosePopupsFrom(Loop& loop, size_t depth) {
    while (loop.popups.size() > depth) {
        HWND window = loop.popups.back().window;
        loop.popups.pop_back();
        if (window != 0) DestroyWindow(window);
    }
}

// Opens `menu` at the place `place` gives for its size; false when it is not shown.
bool Open(Loop& loop, HMENU menu, int index, const std::function<POINT(int, int)>& place) {
    Send(loop, WM_INITMENUPOPUP, menu, MAKELPARAM(index, FALSE));
    // The owner's handler may have ended everything.
    if (loop.done || Lost(loop) || !MenuExists(menu)) return false;
    OpenPopup popup;
    popup.menu = menu;
    popup.items = MenuItemsOf(menu);
    if (popup.items.empty()) return false;
    popup.layout = LayOutPopup(popup.items);
    POINT at = place(popup.layout.width, popup.layout.height);
    popup.screen = RECT{at.x, at.y, at.x + popup.layout.width, at.y + popup.layout.height};
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, POPUP_CLASS, "", WS_POPUP, at.x,
                                  at.y, popup.layout.width, popup.layout.height,
                                  TopLevelOf(loop.owner), 0, 0, nullptr);
    if (window == 0) return false;
    popup.window = window;
    loop.popups.push_back(std::move(popup));
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return true;
}

void Select(Loop& loop, size_t depth, int index) {
    OpenPopup& popup = loop.popups[depth];
    ClosePopupsFrom(loop, depth + 1);
    if (popup.selected == index) return;
    popup.selected = index;
    InvalidateRect(popup.window, nullptr, FALSE);
    if (index >= 0) {
        const MenuItem& item = popup.items[static_cast<size_t>(index)];
        Send(loop, WM_MENUSELECT,
             static_cast<WPARAM>(MAKELPARAM(
                 (item.flags & MF_POPUP) ? index : static_cast<int>(item.id), item.flags & 0xFFFF)),
             static_cast<LPARAM>(popup.menu));
    }
}

// Opens the submenu of the selected item of the popup at `depth`, when it has one.
bool OpenSubmenu(Loop& loop, size_t depth, bool selectFirst) {
    OpenPopup& parent = loop.popups[depth];
    if (parent.selected < 0) return false;
    const MenuItem& item = parent.items[static_cast<size_t>(parent.selected)];
    if (!(item.flags & MF_POPUP) || !Enabled(item)) return false;
    if (loop.popups.size() > depth + 1) return true;
    RECT popupRect = parent.screen;
    RECT itemRect = ItemOnScreen(parent, parent.selected);
    int index = parent.selected;
    if (!Open(loop, item.submenu, index, [&](int width, int height) {
            return PlaceBeside(popupRect, itemRect, width, height);
        }))
        return false;
    if (selectFirst) {
        OpenPopup& opened = loop.popups.back();
        for (size_t i = 0; i < opened.items.size(); ++i) {
            if (Selectable(opened.items[i])) {
                Select(loop, loop.popups.size() - 1, static_cast<int>(i));
                break;
            }
        }
    }
    return true;
}

// Selects a bar item, closing what was open, and opens its popup when asked.
void SelectBarItem(Loop& loop, int index, bool open, bool selectFirst) {
    ClosePopupsFrom(loop, 0);
    loop.barSelected = index;
    RedrawBar(loop);
    if (!open || index < 0) return;
    const MenuItem& item = loop.barItems[static_cast<size_t>(index)];
    if (!(item.flags & MF_POPUP) || !Enabled(item)) return;
    RECT box = loop.barBoxes[static_cast<size_t>(index)];
    if (!Open(loop, item.submenu, index,
              [&](int width, int height) { return PlaceUnder(box, width, height); }))
        return;
    RedrawBar(loop);
    if (selectFirst) {
        OpenPopup& opened = loop.popups.back();
        for (size_t i = 0; i < opened.items.size(); ++i) {
            if (Selectable(opened.items[i])) {
                Select(loop, 0, static_cast<int>(i));
                break;
            }
        }
    }
}

// Return, or a mnemonic, on the selected item of the innermost popup.
void Activate(Loop& loop) {
    if (loop.popups.empty()) {
        if (loop.barSelected < 0) return;
        const MenuItem& item = loop.barItems[static_cast<size_t>(loop.barSelected)];
        if (item.flags & MF_POPUP)
            SelectBarItem(loop, loop.barSelected, true, true);
        else if (Enabled(item))
            Choose(loop, item.id);
        return;
    }
    size_t depth = loop.popups.size() - 1;
    OpenPopup& popup = loop.popups[depth];
    if (popup.selected < 0) return;
    const MenuItem& item = popup.items[static_cast<size_t>(popup.selected)];
    if (item.flags & MF_POPUP)
        OpenSubmenu(loop, depth, true);
    else if (Enabled(item))
        Choose(loop, item.id);
}

int Step(const std::vector<MenuItem>& items, int from, int direction) {
    int count = static_cast<int>(items.size());
    for (int step = 1; step <= count; ++step) {
        int index = ((from < 0 ? (direction > 0 ? -1 : 0) : from) + direction * step) % count;
        if (index < 0) index += count;
        if (Selectable(items[static_cast<size_t>(index)])) return index;
    }
    return from;
}

void MoveOnBar(Loop& loop, int direction) {
    if (loop.barItems.empty()) return;
    bool open = !loop.popups.empty();
    SelectBarItem(loop, Step(loop.barItems, loop.barSelected, direction), open, open);
}

void PressKey(Loop& loop, WPARAM key) {
    bool bar = loop.barWindow != 0;
    size_t rootDepth = bar ? 0 : 1;
    switch (key) {
    case VK_ESCAPE:
        if (loop.popups.size() > rootDepth) {
            ClosePopupsFrom(loop, loop.popups.size() - 1);
            RedrawBar(loop);
        } else {
            Cancel(loop);
        }
        break;
    case VK_MENU:
    case VK_F10:
        Cancel(loop);
        break;
    case VK_UP:
    case VK_DOWN: {
        int direction = key == VK_DOWN ? 1 : -1;
        if (loop.popups.empty()) {
            if (bar && loop.barSelected >= 0) SelectBarItem(loop, loop.barSelected, true, true);
            break;
        }
        size_t depth = loop.popups.size() - 1;
        Select(loop, depth, Step(loop.popups[depth].items, loop.popups[depth].selected, direction));
        break;
    }
    case VK_RIGHT:
        if (!loop.popups.empty() && OpenSubmenu(loop, loop.popups.size() - 1, true)) break;
        if (bar) MoveOnBar(loop, 1);
        break;
    case VK_LEFT:
        if (loop.popups.size() > 1) {
            ClosePopupsFrom(loop, loop.popups.size() - 1);
        } else if (bar) {
            MoveOnBar(loop, -1);
        }
        break;
    case VK_RETURN:
        Activate(loop);
        break;
    default:
        break;
    }
}

// A typed letter: the one item with that mnemonic acts at once; among several, the next
// is selected.
void TypeLetter(Loop& loop, unsigned char letter) {
    unsigned char wanted = Cp1252ToUpper(letter);
    bool onBar = loop.popups.empty();
    const std::vector<MenuItem>& items = onBar ? loop.barItems : loop.popups.back().items;
    int selected = onBar ? loop.barSelected : loop.popups.back().selected;
    std::vector<int> matches;
    for (size_t i = 0; i < items.size(); ++i)
        if (Selectable(items[i]) && Mnemonic(items[i].text) == wanted)
            matches.push_back(static_cast<int>(i));
    if (matches.empty()) return;
    int next = matches.front();
    for (int match : matches) {
        if (match > selected) {
            next = match;
            break;
        }
    }
    if (onBar) {
        if (loop.barWindow == 0) return;
        if (matches.size() == 1) {
            loop.barSelected = next;
            Activate(loop);
        } else {
            SelectBarItem(loop, next, false, false);
        }
        return;
    }
    Select(loop, loop.popups.size() - 1, next);
    if (matches.size() == 1) Activate(loop);
}

// The popup under a screen point, the innermost first; -1 for none.
int PopupAt(const Loop& loop, POINT point) {
    for (size_t i = loop.popups.size(); i-- > 0;)
        if (Contains(loop.popups[i].screen, point)) return static_cast<int>(i);
    return -1;
}

int ItemOfPopup(const OpenPopup& popup, POINT screen) {
    POINT local{screen.x - popup.screen.left, screen.y - popup.screen.top};
    return ItemAt(popup.layout.items, local);
}

void MouseOverPopup(Loop& loop, size_t depth, POINT point) {
    int item = ItemOfPopup(loop.popups[depth], point);
    if (item >= 0 && !Selectable(loop.popups[depth].items[static_cast<size_t>(item)])) item = -1;
    if (item < 0) {
        // The border or a separator: a submenu that is open stays.
        if (loop.popups.size() == depth + 1) Select(loop, depth, -1);
        return;
    }
    Select(loop, depth, item);
    OpenSubmenu(loop, depth, false);
}

int BarItemAt(const Loop& loop, POINT point) {
    if (loop.barWindow == 0 || !Contains(loop.barScreen, point)) return -1;
    int item = ItemAt(loop.barBoxes, point);
    if (item >= 0 && !Selectable(loop.barItems[static_cast<size_t>(item)])) return -1;
    return item;
}

void Mouse(Loop& loop, UINT message, POINT point) {
    int depth = PopupAt(loop, point);
    int barItem = depth < 0 ? BarItemAt(loop, point) : -1;
    bool down = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN ||
                message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK;
    bool up = message == WM_LBUTTONUP || message == WM_RBUTTONUP;
    if (down) loop.pressed = true;
    if (up) loop.pressed = false;
    if (depth >= 0) {
        MouseOverPopup(loop, static_cast<size_t>(depth), point);
        if (!up) return;
        // Without TPM_RIGHTBUTTON only the left button chooses.
        bool chooses =
            message == WM_LBUTTONUP || (loop.barWindow == 0 && (loop.flags & TPM_RIGHTBUTTON));
        const OpenPopup& popup = loop.popups[static_cast<size_t>(depth)];
        if (chooses && popup.selected >= 0) {
            const MenuItem& item = popup.items[static_cast<size_t>(popup.selected)];
            if (Enabled(item) && !(item.flags & MF_POPUP)) Choose(loop, item.id);
        }
        return;
    }
    if (barItem >= 0) {
        const MenuItem& item = loop.barItems[static_cast<size_t>(barItem)];
        if (down) {
            // A press on the open item closes the menu again.
            if (barItem == loop.barSelected && !loop.popups.empty())
                Cancel(loop);
            else
                SelectBarItem(loop, barItem, true, false);
        } else if (up) {
            if (barItem == loop.barSelected && !(item.flags & MF_POPUP) && Enabled(item))
                Choose(loop, item.id);
        } else if (barItem != loop.barSelected && (!loop.popups.empty() || loop.pressed)) {
            SelectBarItem(loop, barItem, true, false);
        }
        return;
    }
    // A press anywhere else closes the menu; the press goes nowhere.
    if (down) Cancel(loop);
}

void Take(Loop& loop, MSG& msg) {
    switch (msg.message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        Mouse(loop, msg.message, msg.pt);
        return;
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (msg.wParam == VK_ESCAPE || msg.wParam == VK_UP || msg.wParam == VK_DOWN ||
            msg.wParam == VK_LEFT || msg.wParam == VK_RIGHT || msg.wParam == VK_RETURN ||
            msg.wParam == VK_MENU || msg.wParam == VK_F10)
            PressKey(loop, msg.wParam);
        else
            TranslateMessage(&msg);
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return;
    case WM_CHAR:
    case WM_SYSCHAR:
        TypeLetter(loop, static_cast<unsigned char>(msg.wParam));
        return;
    default:
        DispatchMessageA(&msg);
        return;
    }
}

// The bar's items and where they lie on the screen, as they stand now; false when the
// window has no bar any more.
bool ReadBar(Loop& loop) {
    HMENU menu = 0;
    RECT bar{};
    std::vector<RECT> boxes;
    if (!MenuBarLayout(loop.barWindow, menu, bar, boxes)) return false;
    RECT window{};
    GetWindowRect(loop.barWindow, &window);
    loop.barMenu = menu;
    loop.barItems = MenuItemsOf(menu);
    loop.barScreen = RECT{window.left + bar.left, window.top + bar.top, window.left + bar.right,
                          window.top + bar.bottom};
    loop.barBoxes.clear();
    for (const RECT& box : boxes)
        loop.barBoxes.push_back(RECT{window.left + box.left, window.top + box.top,
                                     window.left + box.right, window.top + box.bottom});
    return true;
}

// Whatever ends the loop, its windows go, the capture is given back and the bar is drawn
// plain again.
class LoopSession {
public:
    explicit LoopSession(Loop& loop) : loop_(loop) { current = &loop_; }
    LoopSession(const LoopSession&) = delete;
    LoopSession& operator=(const LoopSession&) = delete;
    ~LoopSession() {
        try {
            ClosePopupsFrom(loop_, 0);
            if (GetCapture() == loop_.owner) ReleaseCapture();
            loop_.barSelected = -1;
            RedrawBar(loop_);
            Send(loop_, WM_EXITMENULOOP, loop_.barWindow == 0 ? TRUE : FALSE, 0);
        } catch (...) {}
        current = nullptr;
    }

private:
    Loop& loop_;
};

// Takes the next message, or waits for one; WM_QUIT ends the loop, to be posted again.
void Wait(Loop& loop, MSG& msg, bool& quit, int& quitCode) {
    bool got = PeekMessageA(&msg, 0, 0, 0, PM_REMOVE) != FALSE;
    if (!got) {
        std::function<void(HWND)> hook;
        {
            std::lock_guard lock(hookLock);
            hook = WaitHook();
        }
        if (hook) {
            hook(loop.popups.empty() ? 0 : loop.popups.back().window);
            got = PeekMessageA(&msg, 0, 0, 0, PM_REMOVE) != FALSE;
            // What the hook did may have ended the loop's reason to be.
            if (!got && Lost(loop)) {
                msg.message = WM_NULL;
                Cancel(loop);
                return;
            }
        }
    }
    if (!got && GetMessageA(&msg, 0, 0, 0) == -1) {
        msg.message = WM_NULL;
        Cancel(loop);
        return;
    }
    if (msg.message == WM_QUIT) {
        quit = true;
        quitCode = static_cast<int>(msg.wParam);
        msg.message = WM_NULL;
        Cancel(loop);
    }
}

} // namespace

bool RunMenuLoop(const MenuLoopStart& start, MenuLoopResult& result) {
    result = MenuLoopResult{};
    if (current != nullptr) {
        SetLastError(ERROR_POPUP_ALREADY_ACTIVE);
        return false;
    }
    if (!RegisterPopupClass()) return false;
    Loop loop;
    loop.owner = start.owner;
    loop.flags = start.flags;
    loop.notify = !(start.flags & TPM_NONOTIFY) || start.bar;
    loop.pressed = start.pressed;
    if (start.bar) {
        loop.barWindow = start.owner;
        if (!ReadBar(loop)) return false;
    }
    LoopSession session(loop);
    SetCapture(loop.owner);
    Send(loop, WM_ENTERMENULOOP, start.bar ? FALSE : TRUE, 0);
    Send(loop, WM_INITMENU, start.bar ? loop.barMenu : start.popup, 0);
    if (Lost(loop)) return true;
    if (start.bar) {
        // WM_INITMENU may have changed the bar.
        if (!ReadBar(loop)) return true;
        int item = start.barItem < static_cast<int>(loop.barItems.size()) ? start.barItem : -1;
        SelectBarItem(loop, item, start.openBarItem, start.openBarItem && !start.pressed);
    } else {
        POINT at = start.at;
        UINT flags = start.flags;
        if (!Open(loop, start.popup, 0,
                  [&](int width, int height) { return PlaceAtPoint(at, flags, width, height); }))
            return true;
    }
    bool quit = false;
    int quitCode = 0;
    while (!loop.done) {
        if (Lost(loop)) break;
        MSG msg{};
        Wait(loop, msg, quit, quitCode);
        if (loop.done) break;
        if (msg.message != WM_NULL && OfferToMessageFilters(MSGF_MENU, msg)) continue;
        Take(loop, msg);
        // In a menu bar without a popup, a press elsewhere or a lost bar ends it too.
        if (start.bar && loop.barSelected < 0) Cancel(loop);
        if (!start.bar && loop.popups.empty()) Cancel(loop);
    }
    result.chosen = loop.chosen;
    result.id = loop.chosenId;
    if (quit) PostQuitMessage(quitCode);
    return true;
}

void BarHighlight(HWND window, int& selected, bool& open) {
    selected = -1;
    open = false;
    if (current == nullptr || current->barWindow != window) return;
    selected = current->barSelected;
    open = !current->popups.empty();
}

} // namespace platform

namespace platform::test {

void SetMenuWaitHook(std::function<void(HWND)> hook) {
    std::lock_guard lock(hookLock);
    WaitHook() = std::move(hook);
}

HWND OpenPopupWindow(HMENU menu) {
    if (current == nullptr) return 0;
    for (const OpenPopup& popup : current->popups)
        if (popup.menu == menu) return popup.window;
    return 0;
}

bool OpenMenuItemRect(HMENU menu, int position, RECT& screen) {
    if (current == nullptr) return false;
    for (const OpenPopup& popup : current->popups) {
        if (popup.menu != menu) continue;
        if (position < 0 || static_cast<size_t>(position) >= popup.layout.items.size())
            return false;
        screen = ItemOnScreen(popup, position);
        return true;
    }
    return false;
}

bool MenuBarItemRect(HWND window, int position, RECT& screen) {
    HMENU menu = 0;
    RECT bar{};
    std::vector<RECT> boxes;
    if (!MenuBarLayout(window, menu, bar, boxes)) return false;
    if (position < 0 || static_cast<size_t>(position) >= boxes.size()) return false;
    RECT outer{};
    GetWindowRect(window, &outer);
    const RECT& box = boxes[static_cast<size_t>(position)];
    screen = RECT{outer.left + box.left, outer.top + box.top, outer.left + box.right,
                  outer.top + box.bottom};
    return true;
}

int SelectedMenuItem() {
    if (current == nullptr) return -1;
    return current->popups.empty() ? current->barSelected : current->popups.back().selected;
}

} // namespace platform::test
