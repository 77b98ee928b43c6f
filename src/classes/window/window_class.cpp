#include "classes/window/window_class.h"

#include <cstdlib>
#include <new>

#include "classes/window/controls/range_controls.h"
#include "classes/window/font_class.h"
#include "classes/window/menu_class.h"
#include "classes/window/window_surface.h"
#include "classes/window/window_table.h"
#include "platform/gdi/icons/icons.h"
#include "platform/system/system_info.h"
#include "platform/user/input/cursor.h"
#include "platform/user/menus/menus.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/run_application.h"

namespace {

const uint32_t kWindowAttributeTable[] = {0x4,    0x8,    0x10,   0x20,   0x40,
                                          0x80,   0x100,  0x200,  0x400,  0x800,
                                          0x1000, 0x2000, 0x4000, 0x8000, 0xFFFFFFFFu};

constexpr uint32_t kMenuClassId = 36;
constexpr uint32_t kMessageBoxClassId = 35;
// Deleting a Window deletes its tray icons.
constexpr uint32_t kTrayIconClassId = 55;

CIBaseClassImpl* NewWindow(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIWindow(&interpreter, record);
}

COLORREF FromRgb(uint32_t color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

} // namespace

CIWindow::CIWindow(CInterpretor* interpreter, const CClassRecord* record)
    : CIChildWindow(interpreter, record) {
    flagsA = kStandard;
    AddAttributeTable(kWindowAttributeTable, kOwnTableBase);
}

void CIWindow::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIWindow::Create() {
    const CValue* extra[kExtraArgSlots] = {};
    ParseCreateArgs(0x8000FFFF, extra, 0, uint32_t(interpreter->GetArgCount()));
    CMenuContainer* givenMenu = nullptr;
    int32_t color = kNotGiven;
    int32_t depth = kNotGiven;
    int numbers = 0;
    for (const CValue* value : extra) {
        if (value == nullptr) break;
        if (value->IsObjectOfClass(kMenuClassId)) {
            givenMenu = dynamic_cast<CMenuContainer*>(value->GetObject());
            continue;
        }
        uint32_t type = value->GetType();
        if ((type != kValueInt && type != kValueDouble) || numbers == 2)
            interpreter->RaiseError(14);
        (numbers++ == 0 ? color : depth) = value->GetInt();
    }
    if (givenMenu != nullptr) CMenuContainer::AttachMenu(givenMenu);
    CreateWindowObject(depth, color, 0);
    // The menu bar belongs to the Window from now on, and goes with it.
    if (givenMenu != nullptr && parent == nullptr) static_cast<CIMenu*>(givenMenu)->ShowIn(this);
}

void CIWindow::BuildStyle() {
    bool hadBorder = (style & WS_BORDER) != 0;
    style |= WS_CAPTION;
    if ((flagsA & kGame) != 0) {
        style = (style | WS_POPUP | WS_CLIPCHILDREN) & ~WS_CAPTION;
        flagsA &= ~(kDialog | kTool | kMessageBox | kStandard);
    }
    if ((flagsA & kDialog) != 0) {
        style |= WS_POPUP | WS_CLIPCHILDREN | WS_BORDER | WS_SYSMENU;
        exStyle |= WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
        if ((flagsA & kResizable) != 0) style |= WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        flagsA &= ~(kMessageBox | kStandard);
    }
    if ((flagsA & kTool) != 0) {
        style |= WS_POPUP | WS_CLIPCHILDREN | WS_BORDER;
        exStyle |= WS_EX_TOOLWINDOW;
    }
    if ((flagsA & kMessageBox) != 0) {
        style |= WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU;
        flagsA &= ~(kDialog | kStandard);
    }
    if ((flagsA & kStandard) != 0) {
        style |= WS_POPUP | WS_CLIPCHILDREN | WS_BORDER | WS_SYSMENU;
        if ((flagsA & kResizable) != 0) style |= WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    }
    if ((flagsA & kNoSysMenu) != 0) style &= ~WS_SYSMENU;
    if ((flagsA & kNoCaption) != 0) style &= ~WS_CAPTION;
    if (hadBorder) style |= WS_BORDER;
    if ((flagsA & kMinimizeBox) != 0) style |= WS_MINIMIZEBOX;
    if ((flagsA & kMaximizeBox) != 0) style |= WS_MAXIMIZEBOX;
    if ((flagsA & kMinimized) != 0) {
        if ((flagsA & kMaximized) != 0)
            flagsA &= ~kMinimized;
        else
            style |= WS_MINIMIZE;
    }
    if ((flagsA & kMaximized) != 0) style |= WS_MAXIMIZE;
    if ((flagsA & kResizable) != 0) style |= WS_THICKFRAME;
    if (parent != nullptr) style = (style & ~WS_POPUP) | WS_CHILD | WS_CLIPSIBLINGS;
}

void CIWindow::ComputeBorders(bool withMenu) {
    if (caption != nullptr || (style & 0x1) != 0) style |= WS_CAPTION;
    RECT rect{0, 0, 320, 200};
    // A child window shows no menu bar: its menu is only its id.
    AdjustWindowRectEx(&rect, style, withMenu && (style & WS_CHILD) == 0, exStyle);
    borderLeft = -rect.left;
    borderTop = -rect.top;
    borderRight = rect.right - 320;
    borderBottom = rect.bottom - 200;
}

void CIWindow::CreateWindowObject(int32_t depth, int32_t backColorArg, HWND) {
    CLaunchInfo* launch = interpreter->LaunchInfo();
    if (launch != nullptr && launch->hosted != 0 && interpreter->mainWindowHandle != 0 &&
        parent == nullptr)
        interpreter->RaiseError(8);
    BuildStyle();
    HMENU hmenu = menuHeld != nullptr ? menuHeld->GetMenuHandle() : 0;
    ComputeBorders(hmenu != 0);
    if (x == kNotGiven) x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    if (y == kNotGiven) y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    uint32_t createFlags =
        (flagsA & kFakeChild) != 0 ? kCreateProperty : kCreateProperty | kCreateChild;
    if (CreateControl(kWindowClassName, hmenu, this, 0, createFlags) == 0)
        interpreter->RaiseError(8);
    ownsWindow = 1;
    if (parent == nullptr && interpreter->mainWindow == nullptr) {
        interpreter->mainWindow = this;
        interpreter->mainWindowHandle = hwnd;
    }
    if ((flagsA & kNoSurface) == 0) MakeSurface(depth);
    COLORREF background;
    if (backColorArg != kNotGiven)
        background = FromRgb(uint32_t(backColorArg));
    else if ((flagsA & kDialog) != 0)
        background = GetSysColor(COLOR_BTNFACE);
    else
        background = FromRgb(interpreter->colourSetting);
    CIChildWindow::SetBackColor(background);
    if (CWindowSurface* own = AsWindowSurface(surface)) {
        own->SetBackgroundColorValue(background);
        own->EraseRect(0, 0, width, height, 1);
    }
    interpreter->ScheduleRefresh();
    if (showPending != 0) {
        int command = (flagsA & kMinimized) != 0   ? int(SW_MINIMIZE)
                      : (flagsA & kMaximized) != 0 ? int(SW_SHOWMAXIMIZED)
                                                   : int(SW_SHOWNORMAL);
        pendingShow[SW_SHOW] = 0;
        pendingShow[command] = 1;
        interpreter->currentWindow = this;
        ApplyPendingShows();
    }
    if (hwnd == 0) interpreter->RaiseError(8);
    if ((flagsA & kMaximized) != 0) {
        RECT client{};
        GetClientRect(hwnd, &client);
        SendMessageA(hwnd, WM_SIZE, SIZE_MAXIMIZED,
                     MAKELPARAM(client.right - client.left, client.bottom - client.top));
    }
    if (hwnd == 0) interpreter->RaiseError(8);
    InvalidateRect(hwnd, nullptr, TRUE);
    if (IsWindowVisible(hwnd)) SetActiveWindow(hwnd);
    if ((style & WS_HSCROLL) != 0) hScrollBar = CIScrollBar::AttachToWindow(*this, SB_HORZ);
    if ((style & WS_VSCROLL) != 0) vScrollBar = CIScrollBar::AttachToWindow(*this, SB_VERT);
    Register();
}

void CIWindow::MakeSurface(int32_t depth) {
    if (!IsWindowSurfaceAvailable()) return;
    RECT client{};
    GetClientRect(hwnd, &client);
    int32_t clientWidth = client.right - client.left;
    int32_t clientHeight = client.bottom - client.top;
    if (clientWidth <= 0 || clientHeight <= 0) {
        clientWidth = width;
        clientHeight = height;
    }
    bool knownDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
    CWindowSurface* made = MakeWindowSurface(*interpreter, clientWidth, clientHeight,
                                             knownDepth ? depth : 0, CWindowSurface::kKeptDC);
    if (made == nullptr) interpreter->RaiseError(15);
    surface = made->GetSurfaceObject();
    ++surface->useCount;
    made->SetHostWindow(this);
    made->SetFontObject(font);
    made->InvalidateAll();
}

void CIWindow::Destroy(int flag) {
    if (interpreter->currentWindow == this) interpreter->currentWindow = nullptr;
    if (interpreter->mainWindow == this) {
        interpreter->mainWindow = nullptr;
        interpreter->mainWindowHandle = 0;
    }
    if (parent != nullptr && parent->activeChild == this) parent->activeChild = nullptr;
    if (hwnd != 0) {
        if (modal != 0) RemoveModalWindow(hwnd);
        modal = 0;
        if (GetCapture() == hwnd) ReleaseCapture();
        CIScrollBar::ReleaseWindowBars(*this);
        while (uint32_t node = children.GetTail()) {
            auto* child = reinterpret_cast<CIChildWindow*>(children.GetAt(node));
            children.Remove(node);
            child->parent = nullptr;
            child->Destroy(flag);
        }
        if (propertySet != 0) DetachWindowObject(hwnd, kWindowObjectProperty);
        propertySet = 0;
        HWND window = hwnd;
        hwnd = 0;
        if (ownsWindow != 0) {
            DestroyWindow(window);
            if (interpreter->resetting == 0) {
                HWND active = GetActiveWindow();
                CIBaseClassImpl* object =
                    active != 0 ? GetWindowObject(active, kWindowObjectProperty) : nullptr;
                if (object != nullptr && object->classIndex == kClassId)
                    interpreter->currentWindow = object;
            }
        }
    }
    if (ownCursor != 0 && cursor != 0) DestroyCursor(cursor);
    cursor = 0;
    std::free(handlers);
    handlers = nullptr;
    handlerCount = 0;
    if (bigIcon != 0) DestroyIcon(bigIcon);
    if (smallIcon != 0) DestroyIcon(smallIcon);
    bigIcon = smallIcon = 0;
    if (CWindowSurface* own = AsWindowSurface(surface)) own->SetHostWindow(nullptr);
    if (surface != nullptr) --surface->useCount;
    surface = nullptr;
    CIChildWindow::Destroy(flag);
}

int CIWindow::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object != nullptr && object == surface) {
        if (CWindowSurface* own = AsWindowSurface(surface)) own->SetHostWindow(nullptr);
        --surface->useCount;
        surface = nullptr;
    }
    return CIChildWindow::ReleaseReferencesTo(object);
}

void CIWindow::SetColor(COLORREF color) {
    CIChildWindow::SetColor(color);
    if (CWindowSurface* own = AsWindowSurface(surface))
        own->SetPenColorValue(color);
    else
        SetDirty();
}

void CIWindow::SetBackColor(COLORREF color) {
    CIChildWindow::SetBackColor(color);
    if (CWindowSurface* own = AsWindowSurface(surface))
        own->SetBackgroundColorValue(color);
    else
        SetDirty();
}

void CIWindow::SetFont(CIFont* newFont) {
    CIChildWindow::SetFont(newFont);
    if (CWindowSurface* own = AsWindowSurface(surface)) own->SetFontObject(newFont);
}

void CIWindow::AttachMenu(CMenuContainer* newMenu) {
    CMenuContainer::AttachMenu(newMenu);
    if (hwnd != 0) SetMenu(hwnd, newMenu != nullptr ? newMenu->GetMenuHandle() : 0);
}

void CIWindow::DetachMenu(CMenuContainer* oldMenu) {
    if (hwnd != 0) {
        SetMenu(hwnd, 0);
        DrawMenuBar(hwnd);
    }
    CMenuContainer::DetachMenu(oldMenu);
}

int CIWindow::AddControlHandler(ControlHandler handler) {
    auto* grown = static_cast<ControlHandler*>(
        std::realloc(handlers, sizeof(ControlHandler) * (handlerCount + 2)));
    if (grown == nullptr) return 0;
    handlers = grown;
    handlers[handlerCount++] = handler;
    handlers[handlerCount] = nullptr;
    return 1;
}

int CIWindow::RemoveControlHandler(ControlHandler handler) {
    for (uint32_t i = 0; i < handlerCount; ++i) {
        if (handlers[i] != handler) continue;
        for (uint32_t j = i; j < handlerCount; ++j)
            handlers[j] = handlers[j + 1];
        --handlerCount;
        if (auto* shrunk = static_cast<ControlHandler*>(
                std::realloc(handlers, sizeof(ControlHandler) * (handlerCount + 1))))
            handlers = shrunk;
        return 1;
    }
    return 0;
}

void CIWindow::AddChild(CIChildWindow* child) {
    if (children.Find(reinterpret_cast<uintptr_t>(child)) == 0)
        children.AddTail(reinterpret_cast<uintptr_t>(child));
}

void CIWindow::RemoveChild(CIChildWindow* child) {
    if (uint32_t node = children.Find(reinterpret_cast<uintptr_t>(child))) children.Remove(node);
    if (activeChild == child) activeChild = nullptr;
}

void CIWindow::DetachSurface() {
    if (surface != nullptr) --surface->useCount;
    surface = nullptr;
    if (hwnd != 0) InvalidateRect(hwnd, nullptr, TRUE);
}

int CIWindow::FocusFirstControl() {
    for (uint32_t node = children.GetHead(); node != 0;) {
        auto* child = reinterpret_cast<CIChildWindow*>(children.GetNext(&node));
        if (child->CanTakeFocus()) {
            ::SetFocus(child->hwnd);
            return 1;
        }
    }
    return 0;
}

int CIWindow::FocusLastControl() {
    for (uint32_t node = children.GetTail(); node != 0;) {
        auto* child = reinterpret_cast<CIChildWindow*>(children.GetPrev(&node));
        if (child->CanTakeFocus()) {
            ::SetFocus(child->hwnd);
            return 1;
        }
    }
    return 0;
}

int CIWindow::FocusNextControl(CIChildWindow* control) {
    uint32_t start = children.Find(reinterpret_cast<uintptr_t>(control));
    if (start == 0) return FocusFirstControl();
    uint32_t node = start;
    for (;;) {
        children.GetNext(&node);
        if (node == 0) node = children.GetHead();
        if (node == start) return 0;
        auto* child = reinterpret_cast<CIChildWindow*>(children.GetAt(node));
        if (child->CanTakeFocus()) {
            ::SetFocus(child->hwnd);
            return 1;
        }
    }
}

int CIWindow::FocusPreviousControl(CIChildWindow* control) {
    uint32_t start = children.Find(reinterpret_cast<uintptr_t>(control));
    if (start == 0) return FocusLastControl();
    uint32_t node = start;
    for (;;) {
        children.GetPrev(&node);
        if (node == 0) node = children.GetTail();
        if (node == start) return 0;
        auto* child = reinterpret_cast<CIChildWindow*>(children.GetAt(node));
        if (child->CanTakeFocus()) {
            ::SetFocus(child->hwnd);
            return 1;
        }
    }
}

int RegisterMainWindowClass() {
    WNDCLASSA existing{};
    if (GetClassInfoA(GetInstanceHandle(), CIWindow::kWindowClassName, &existing)) return 1;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS | CS_OWNDC;
    windowClass.lpfnWndProc = &CIWindow::WindowProc;
    windowClass.hInstance = GetInstanceHandle();
    windowClass.hIcon = LoadIconA(GetInstanceHandle(), MAKEINTRESOURCEA(100));
    windowClass.hIconSm = windowClass.hIcon;
    windowClass.hCursor = LoadCursorA(0, IDC_ARROW);
    windowClass.hbrBackground = HBRUSH(COLOR_WINDOW + 1);
    windowClass.lpszClassName = CIWindow::kWindowClassName;
    return RegisterClassExA(&windowClass) != 0 ? 1 : 0;
}

const ScriptClassInfo* GetWindowClassInfo() {
    static const uint32_t dependents[] = {CIWindow::kClassId, kMenuClassId, kMessageBoxClassId,
                                          kTrayIconClassId, 0};
    static const ScriptClassInfo info{GetWindowNameTable(),
                                      &NewWindow,
                                      CIWindow::kFirstClassLevelId,
                                      GetWindowConstants(),
                                      GetWindowConstantCount(),
                                      dependents,
                                      nullptr};
    return &info;
}
