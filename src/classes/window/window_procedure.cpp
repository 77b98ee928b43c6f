// The procedure of "ZorvMainClass": window messages become script events of the Window and
// of its controls. Handlers never run here, except that a close box and a drag of the
// frame let the interpreter do its due work at once.
#include <algorithm>
#include <string>
#include <vector>

#include "classes/window/controls/button_classes.h"
#include "classes/window/window_class.h"
#include "classes/window/window_surface.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/gdi/device.h"
#include "platform/gdi/palettes.h"
#include "platform/user/input/cursor.h"
#include "platform/user/input/drag_drop.h"
#include "platform/user/paint/update_region.h"
#include "platform/user/sys_commands.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/run_application.h"

namespace {

GameInputActivation gameInputActivation = nullptr;

std::vector<HWND>& ModalStack() {
    static std::vector<HWND> stack;
    return stack;
}

int32_t LowSigned(LPARAM value) {
    return static_cast<int16_t>(LOWORD(static_cast<DWORD_PTR>(value)));
}

int32_t HighSigned(LPARAM value) {
    return static_cast<int16_t>(HIWORD(static_cast<DWORD_PTR>(value)));
}

// What the modal filter eats outright.
bool IsEatenWhileModal(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_COMMAND:
    case WM_SYSCOMMAND:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

// The Window a window handle's property names; null for none or another class.
CIWindow* WindowOf(HWND hwnd) {
    CIBaseClassImpl* object = GetWindowObject(hwnd, kWindowObjectProperty);
    if (object == nullptr || object->classIndex != CIWindow::kClassId) return nullptr;
    return static_cast<CIWindow*>(object);
}

} // namespace

class CWindowProcedure {
public:
    CWindowProcedure(CIWindow* window, HWND hwnd)
        : window_(window), hwnd_(hwnd), interpreter_(*window->interpreter) {}

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Post(const BlockRecord* handler, bool coalesce, std::initializer_list<int32_t> numbers);
    void PostButton(const BlockRecord* handler, LPARAM lParam, int32_t button);
    LRESULT SystemCommand(WPARAM wParam, LPARAM lParam);
    LRESULT Sizing(WPARAM edge, RECT* rect);
    LRESULT DropFiles(HDROP drop);
    void Destroyed();
    void ShowWindowChanged(bool shown);
    // The update rectangle painted from the Surface.
    void Paint(CWindowSurface& surface);
    // The background brush over the update rectangle (the client area when none).
    LRESULT EraseBackground(HDC dc);
    // The Surface follows the client size, unless the screen mode is changing.
    void ResizeSurface();
    // The Window still tied to the handle after the interpreter ran script code; null
    // when a handler deleted it.
    CIWindow* Refetch() { return window_ = WindowOf(hwnd_); }

    CIWindow* window_;
    HWND hwnd_;
    CInterpretor& interpreter_;
};

void CWindowProcedure::Post(const BlockRecord* handler, bool coalesce,
                            std::initializer_list<int32_t> numbers) {
    if (handler == nullptr) return;
    CValue source(window_);
    CValue values[3] = {CValue(&interpreter_), CValue(&interpreter_), CValue(&interpreter_)};
    const CValue* arguments[4] = {&source, nullptr, nullptr, nullptr};
    size_t i = 0;
    for (int32_t number : numbers) {
        values[i].SetInt(number);
        arguments[i + 1] = &values[i];
        ++i;
    }
    if (coalesce)
        interpreter_.PostEventCoalesced(handler, window_, arguments[0], arguments[1], arguments[2],
                                        arguments[3]);
    else
        interpreter_.PostEvent(handler, arguments[0], arguments[1], arguments[2], arguments[3]);
}

void CWindowProcedure::PostButton(const BlockRecord* handler, LPARAM lParam, int32_t button) {
    Post(handler, false, {LowSigned(lParam), HighSigned(lParam), button});
}

LRESULT CWindowProcedure::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND top = GetTopModalWindow();
    if (top != 0 && top != hwnd_ && message != WM_PAINT && message != WM_TIMER) {
        if (IsEatenWhileModal(message)) return 0;
        if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATEANDEAT;
    }
    BOOL handled = FALSE;
    for (uint32_t i = 0; i < window_->handlerCount; ++i) {
        LRESULT result = window_->handlers[i](handled, hwnd_, message, wParam, lParam);
        if (handled) return result;
    }
    switch (message) {
    case WM_DESTROY:
        Destroyed();
        return 0;
    case WM_MOVE:
        window_->x = LowSigned(lParam) - window_->borderLeft;
        window_->y = HighSigned(lParam) - window_->borderTop;
        Post(window_->onMove, true, {window_->x, window_->y});
        break;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            window_->width = LOWORD(static_cast<DWORD_PTR>(lParam));
            window_->height = HIWORD(static_cast<DWORD_PTR>(lParam));
            Post(window_->onSize, true, {window_->width, window_->height});
            ResizeSurface();
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_ACTIVE || LOWORD(wParam) == WA_CLICKACTIVE) {
            interpreter_.currentWindow = window_;
            if (gameInputActivation != nullptr) gameInputActivation(interpreter_, hwnd_);
        }
        break;
    case WM_SETFOCUS:
        interpreter_.currentWindow = window_;
        Post(window_->onSetFocus, false, {});
        break;
    case WM_KILLFOCUS:
        Post(window_->onKillFocus, false, {});
        break;
    case WM_CLOSE:
        if (GetCapture() == hwnd_) ReleaseCapture();
        DestroyWindow(hwnd_);
        return 0;
    case WM_PAINT:
        if (CWindowSurface* surface = AsWindowSurface(window_->surface)) {
            Paint(*surface);
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return EraseBackground(static_cast<HDC>(wParam));
    case WM_SYSCOLORCHANGE:
        RefreshSysColorCache();
        break;
    case WM_SHOWWINDOW:
        ShowWindowChanged(wParam != FALSE);
        break;
    case WM_MOUSEACTIVATE:
        if (window_->parent != nullptr) window_->ActivateAsChild();
        break;
    case WM_SETCURSOR:
        if (LOWORD(static_cast<DWORD_PTR>(lParam)) == HTCLIENT && window_->cursor != 0) {
            SetCursor(window_->cursor);
            return 1;
        }
        break;
    case WM_DISPLAYCHANGE:
        Post(window_->onDisplayChange, true,
             {int32_t(wParam), int32_t(LOWORD(static_cast<DWORD_PTR>(lParam))),
              int32_t(HIWORD(static_cast<DWORD_PTR>(lParam)))});
        break;
    case WM_CHAR:
        if (window_->inputRunning != 0) window_->TypeInput(static_cast<char>(wParam));
        break;
    case WM_COMMAND:
        if (MenuCommandHandler menus = GetMenuCommandHandler()) {
            if (menus(interpreter_, wParam, lParam) != 0) return 0;
        }
        break;
    case WM_SYSCOMMAND:
        return SystemCommand(wParam, lParam);
    case WM_MOUSEMOVE:
        Post(window_->onMouseMove, false, {LowSigned(lParam), HighSigned(lParam)});
        break;
    case WM_LBUTTONDOWN:
        PostButton(window_->onMouseDown, lParam, kLeftButton);
        break;
    case WM_MBUTTONDOWN:
        PostButton(window_->onMouseDown, lParam, kMiddleButton);
        break;
    case WM_RBUTTONDOWN:
        PostButton(window_->onMouseDown, lParam, kRightButton);
        break;
    case WM_LBUTTONUP:
        PostButton(window_->onMouseUp, lParam, kLeftButton);
        break;
    case WM_MBUTTONUP:
        PostButton(window_->onMouseUp, lParam, kMiddleButton);
        break;
    case WM_RBUTTONUP:
        PostButton(window_->onMouseUp, lParam, kRightButton);
        break;
    case WM_LBUTTONDBLCLK:
        PostButton(window_->onDblClick, lParam, kLeftButton);
        break;
    case WM_MBUTTONDBLCLK:
        PostButton(window_->onDblClick, lParam, kMiddleButton);
        break;
    case WM_RBUTTONDBLCLK:
        PostButton(window_->onDblClick, lParam, kRightButton);
        break;
    case WM_MOUSEWHEEL:
        Post(window_->onMouseWheel, false, {static_cast<int16_t>(HIWORD(wParam))});
        break;
    case WM_SIZING:
        return Sizing(wParam, reinterpret_cast<RECT*>(lParam));
    case WM_DROPFILES:
        return DropFiles(static_cast<HDROP>(wParam));
    default:
        break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

void CWindowProcedure::Destroyed() {
    uint32_t owned = window_->ownsWindow;
    window_->ownsWindow = 0;
    interpreter_.DeleteObject(window_);
    window_ = nullptr;
    RequestEndIfNoWindow(interpreter_);
    if (owned == 0) DetachWindowObject(hwnd_, kWindowObjectProperty);
    HWND active = GetActiveWindow();
    if (CIWindow* now = active != 0 ? WindowOf(active) : nullptr) interpreter_.currentWindow = now;
}

void CWindowProcedure::ShowWindowChanged(bool shown) {
    CIWindow* parent = window_->parent;
    if (parent == nullptr) return;
    if (shown) {
        window_->ActivateAsChild();
        return;
    }
    if (parent->activeChild == window_) parent->activeChild = nullptr;
    for (uint32_t node = parent->children.GetHead(); node != 0;) {
        auto* child = reinterpret_cast<CIChildWindow*>(parent->children.GetNext(&node));
        if (child == window_ || child->classIndex != CIWindow::kClassId || child->hwnd == 0 ||
            !IsWindowVisible(child->hwnd))
            continue;
        static_cast<CIWindow*>(child)->ActivateAsChild();
        break;
    }
}

LRESULT CWindowProcedure::SystemCommand(WPARAM wParam, LPARAM lParam) {
    switch (wParam & 0xFFF0) {
    case SC_MINIMIZE:
        Post(window_->onMinimize, true, {});
        break;
    case SC_MAXIMIZE:
        Post(window_->onMaximize, true, {});
        break;
    case SC_CLOSE:
        Post(window_->onClose, true, {});
        if (window_->autoClose != 0) {
            interpreter_.CheckPendingAndTick();
            // The usual OnClose handler deletes the Window right there.
            if (Refetch() == nullptr) return 0;
            if (GetCapture() == hwnd_) ReleaseCapture();
            DestroyWindow(hwnd_);
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd_, WM_SYSCOMMAND, wParam, lParam);
}

LRESULT CWindowProcedure::Sizing(WPARAM edge, RECT* rect) {
    if (rect == nullptr) return 1;
    ApplySizingLimits(*window_, edge, *rect);
    RECT outer{};
    RECT client{};
    GetWindowRect(hwnd_, &outer);
    GetClientRect(hwnd_, &client);
    int32_t frameWidth = (outer.right - outer.left) - (client.right - client.left);
    int32_t frameHeight = (outer.bottom - outer.top) - (client.bottom - client.top);
    int32_t newWidth = rect->right - rect->left - frameWidth;
    int32_t newHeight = rect->bottom - rect->top - frameHeight;
    if (newWidth == window_->width && newHeight == window_->height) return 1;
    window_->width = newWidth;
    window_->height = newHeight;
    Post(window_->onSize, true, {newWidth, newHeight});
    interpreter_.CheckPendingAndTick();
    if (Refetch() != nullptr) ResizeSurface();
    return 1;
}

void CWindowProcedure::ResizeSurface() {
    if (window_->switchingScreen != 0) return;
    if (CWindowSurface* surface = AsWindowSurface(window_->surface))
        surface->ResizeToWindow(window_->width, window_->height);
}

void CWindowProcedure::Paint(CWindowSurface& surface) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd_, &paint);
    if (dc != 0) {
        HPALETTE palette = surface.GetHPALETTE();
        HPALETTE old = 0;
        if (palette != 0) {
            old = SelectPalette(dc, palette, FALSE);
            RealizePalette(dc);
        }
        surface.PaintToWindow(dc, &paint.rcPaint, nullptr);
        if (old != 0) SelectPalette(dc, old, FALSE);
        // The transparent controls stay above the picture.
        RedrawTransparentChildren(*window_);
    }
    EndPaint(hwnd_, &paint);
}

LRESULT CWindowProcedure::EraseBackground(HDC dc) {
    if (IsIconic(hwnd_)) return 1;
    RECT area{};
    if (!GetUpdateRect(hwnd_, &area, FALSE) || area.right <= area.left || area.bottom <= area.top)
        GetClientRect(hwnd_, &area);
    CWindowSurface* surface = AsWindowSurface(window_->surface);
    HPALETTE palette = surface != nullptr ? surface->GetHPALETTE() : 0;
    HPALETTE old = 0;
    if (palette != 0 && GetDeviceCaps(dc, BITSPIXEL) <= 8) {
        old = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    FillRect(dc, &area, window_->backBrush);
    if (old != 0) SelectPalette(dc, old, FALSE);
    return 1;
}

LRESULT CWindowProcedure::DropFiles(HDROP drop) {
    // The drop is given back however the posting ends.
    struct Finish {
        HDROP drop;
        ~Finish() { DragFinish(drop); }
    } finish{drop};
    UINT count = DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0);
    std::string name;
    for (UINT i = 0; i < count; ++i) {
        UINT length = DragQueryFileA(drop, i, nullptr, 0);
        name.assign(std::max<size_t>(length + 1, 261), '\0');
        UINT copied = DragQueryFileA(drop, i, name.data(), UINT(name.size()));
        name.resize(copied);
        POINT point{};
        DragQueryPoint(drop, &point);
        if (window_->onDropFile == nullptr) continue;
        CValue source(window_);
        CValue text(&interpreter_, name.c_str(), 0);
        CValue px(&interpreter_, int32_t(point.x));
        CValue py(&interpreter_, int32_t(point.y));
        interpreter_.PostEvent(window_->onDropFile, &source, &text, &px, &py);
    }
    return 1;
}

void ApplySizingLimits(const CIWindow& window, WPARAM edge, RECT& rect) {
    uint32_t rectWidth = uint32_t(rect.right - rect.left);
    uint32_t rectHeight = uint32_t(rect.bottom - rect.top);
    bool widthOk = rectWidth >= window.minWidth && rectWidth <= window.maxWidth;
    bool heightOk = rectHeight >= window.minHeight && rectHeight <= window.maxHeight;
    if (widthOk && heightOk) return;
    auto limit = [](uint32_t size, uint32_t minimum, uint32_t maximum) {
        return int32_t(size < minimum ? minimum : size > maximum ? maximum : size);
    };
    int32_t widthLimit = limit(rectWidth, window.minWidth, window.maxWidth);
    int32_t heightLimit = limit(rectHeight, window.minHeight, window.maxHeight);
    bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
    bool right = edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
    bool topEdge = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
    bool bottom = edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
    if (!widthOk) {
        if (left) rect.left = rect.right - widthLimit;
        if (right) rect.right = rect.left + widthLimit;
    }
    if (!heightOk) {
        if (topEdge) rect.top = rect.bottom - heightLimit;
        if (bottom) rect.bottom = rect.top + heightLimit;
    }
}

LRESULT CIWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CIWindow* window = WindowOf(hwnd);
    if (window == nullptr || window->interpreter == nullptr || window->interpreter->resetting != 0)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    CInterpretor* interpreter = window->interpreter;
    return GuardWindowProcedure(interpreter, [&]() {
        return CWindowProcedure(window, hwnd).Handle(message, wParam, lParam);
    });
}

void CIWindow::ActivateAsChild() {
    if (parent == nullptr) return;
    CIWindow* previous = parent->activeChild;
    if (previous != nullptr && previous != this && previous->hwnd != 0)
        PostMessageA(previous->hwnd, WM_NCACTIVATE, FALSE, 0);
    parent->activeChild = this;
    if (hwnd == 0) return;
    PostMessageA(hwnd, WM_NCACTIVATE, TRUE, 0);
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(hwnd, &point);
    if (HWND under = ChildWindowFromPointEx(hwnd, point, CWP_SKIPINVISIBLE)) ::SetFocus(under);
}

void SetGameInputActivation(GameInputActivation activation) {
    gameInputActivation = activation;
}

void RequestEndIfNoWindow(CInterpretor& interpreter) {
    for (uint32_t position = interpreter.GetFirstObjectPos(CIWindow::kClassId); position != 0;) {
        CIBaseClassImpl* object = interpreter.GetNextObject(CIWindow::kClassId, position);
        if (object != nullptr && object->alive != 0) return;
    }
    interpreter.EndAtNextStatement();
}

void PushModalWindow(HWND window) {
    RemoveModalWindow(window);
    ModalStack().insert(ModalStack().begin(), window);
}

void RemoveModalWindow(HWND window) {
    auto& stack = ModalStack();
    stack.erase(std::remove(stack.begin(), stack.end(), window), stack.end());
    if (stack.empty()) std::vector<HWND>().swap(stack);
}

HWND GetTopModalWindow() {
    return ModalStack().empty() ? 0 : ModalStack().front();
}
