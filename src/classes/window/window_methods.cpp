// The Window's own script methods.
#include <algorithm>

#include "classes/window/window_class.h"
#include "classes/window/window_pictures.h"
#include "classes/window/window_surface.h"
#include "graphics2d/drawing/surface_handle.h"
#include "platform/gdi/icons/icons.h"
#include "platform/system/system_info.h"
#include "platform/user/input/cursor.h"
#include "platform/user/input/drag_drop.h"
#include "platform/user/menus/menus.h"
#include "platform/user/paint/update_region.h"
#include "platform/user/window_geometry.h"
#include "script/interpreter/interpretor.h"

namespace {

const LPCSTR kCursorShapes[] = {IDC_ARROW,   IDC_CROSS,    IDC_IBEAM,  IDC_NO,
                                IDC_SIZEALL, IDC_SIZENESW, IDC_SIZENS, IDC_SIZENWSE,
                                IDC_SIZEWE,  IDC_UPARROW,  IDC_WAIT};

// A 0-or-1 argument, `missing` when not given; error 14 for any other value.
int32_t ReadFlag(CInterpretor& interpreter, uint32_t i, int32_t missing) {
    if (interpreter.IsArgDefault(i)) return missing;
    int32_t flag = interpreter.GetArgInt(i);
    if (flag != 0 && flag != 1) interpreter.RaiseError(14);
    return flag;
}

} // namespace

void CIWindow::SurfaceMethod() {
    if (surface != nullptr) surface->CallMethod(interpreter->GetCurrentMethodId());
}

void CIWindow::GetSurface() {
    if (surface == nullptr) interpreter->RaiseError(10);
    interpreter->GetResultSlot()->SetObject(surface, 1);
}

void CIWindow::SetCursorMethod() {
    const CValue* argument = interpreter->GetArg(0);
    HCURSOR next = 0;
    uint32_t owned = 0;
    if (argument->GetType() == kValueInt || argument->GetType() == kValueDouble) {
        int32_t shape = argument->GetInt();
        if (shape < 0 || shape > 10) shape = 0;
        next = LoadCursorA(0, kCursorShapes[shape]);
    } else if ((argument->GetType() == kValueObject && AsWindowSurface(argument->GetObject())) ||
               argument->GetType() == kValueString) {
        SurfaceHandle holder;
        SurfaceHandle* picture = PictureFromValue(*interpreter, *argument, holder, 32);
        if (picture == nullptr) interpreter->RaiseError(9);
        uint32_t key = interpreter->IsArgDefault(1) ? 0 : uint32_t(interpreter->GetArgInt(1));
        POINT hotSpot{interpreter->IsArgDefault(2) ? 0 : interpreter->GetArgInt(2),
                      interpreter->IsArgDefault(3) ? 0 : interpreter->GetArgInt(3)};
        // The key is a script colour, 0xRRGGBB.
        key = ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
        next =
            MakeIconFromSurface(picture, picture->GetWidth(), picture->GetHeight(), key, &hotSpot);
        if (next == 0) interpreter->RaiseError(9);
        owned = 1;
    } else {
        next = LoadCursorA(0, IDC_ARROW);
    }
    if (ownCursor != 0 && cursor != 0) DestroyCursor(cursor);
    cursor = next;
    ownCursor = owned;
    ::SetCursor(cursor);
}

void CIWindow::SetIcon() {
    CWindowSurface* source = AsWindowSurface(interpreter->GetArgObject(0));
    if (source == nullptr || source->GetSurfaceHandle() == nullptr) interpreter->RaiseError(14);
    int32_t size = interpreter->IsArgDefault(1) ? 0 : interpreter->GetArgInt(1);
    // No size makes both icons.
    for (int32_t side : {32, 16}) {
        if (size != 0 && size != side) continue;
        HICON icon = MakeIconFromSurface(source->GetSurfaceHandle(), side, side, 0, nullptr);
        if (icon == 0) continue;
        HICON& kept = side == 32 ? bigIcon : smallIcon;
        if (hwnd != 0)
            SendMessageA(hwnd, WM_SETICON, side == 32 ? ICON_BIG : ICON_SMALL,
                         static_cast<LPARAM>(icon));
        if (kept != 0) DestroyIcon(kept);
        kept = icon;
    }
}

void CIWindow::SetShape() {
    SurfaceHandle holder;
    SurfaceHandle* picture = PictureFromValue(*interpreter, *interpreter->GetArg(0), holder, 24);
    if (picture == nullptr) interpreter->RaiseError(9);
    std::vector<RECT> rectangles = ShapeRectangles(*picture);
    HRGN region = RegionFromRectangles(rectangles, picture->GetWidth(), picture->GetHeight());
    if (hwnd == 0) {
        DeleteObject(region);
        return;
    }
    SetWindowRgn(hwnd, region, IsWindowVisible(hwnd));
}

void CIWindow::SetFullScreenMode() {
    CWindowSurface* own = AsWindowSurface(surface);
    if (own == nullptr) return;
    int32_t newWidth = interpreter->IsArgDefault(0) ? width : interpreter->GetArgInt(0);
    int32_t newHeight = interpreter->IsArgDefault(1) ? height : interpreter->GetArgInt(1);
    int32_t newDepth = interpreter->IsArgDefault(2) ? 0 : interpreter->GetArgInt(2);
    switchingScreen = 1;
    own->SetFullScreen(newWidth, newHeight, newDepth);
    switchingScreen = 0;
}

void CIWindow::SetWindowedMode() {
    CWindowSurface* own = AsWindowSurface(surface);
    if (own == nullptr) return;
    switchingScreen = 1;
    own->SetWindowed(1);
    switchingScreen = 0;
}

void CIWindow::Input() {
    if (inputRunning != 0) interpreter->RaiseError(67);
    // Everything is read before the wait: handlers that run meanwhile use the call frame.
    inputPrompt = interpreter->GetArgCount() > 0 && !interpreter->IsArgDefault(0)
                      ? interpreter->GetArgString(0)
                      : "";
    inputText.clear();
    inputW = inputH = 0;
    if (CWindowSurface* own = AsWindowSurface(surface)) {
        own->GetPenPosition(inputX, inputY);
        own->WriteStyled(inputPrompt.c_str(), &inputW, &inputH);
    }
    if (hwnd != 0) ::SetFocus(hwnd);
    inputRunning = 1;
    struct Stop {
        uint32_t& running;
        ~Stop() { running = 0; }
    } stop{inputRunning};
    // Closing the window deletes the object, which waits for this call to return.
    while (inputRunning != 0 && deletePending == 0 && hwnd != 0 && IsWindow(hwnd)) {
        if (interpreter->Wait(20) != 0) break;
    }
    interpreter->GetResultSlot()->SetString(deletePending != 0 ? "" : inputText.c_str(), 0);
}

void CIWindow::TypeInput(char character) {
    auto byte = static_cast<unsigned char>(character);
    CWindowSurface* own = AsWindowSurface(surface);
    if (byte < 32 && byte != 8 && byte != 13 && byte != 10) return;
    if (own != nullptr) own->EraseRect(inputX, inputY, inputW, inputH, 1);
    std::string shown = inputPrompt;
    if (byte == 8) {
        if (!inputText.empty()) inputText.pop_back();
    } else if (byte == 13 || byte == 10) {
        inputRunning = 0;
    } else {
        inputText += character;
    }
    shown += inputText;
    if (own == nullptr) return;
    own->SetPenPosition(inputX, inputY);
    if (inputRunning == 0) {
        // Written once more, then the pen goes on after it as WriteLn leaves it.
        own->WriteStyled(shown.c_str(), &inputW, &inputH);
        own->SetPenPosition(inputX, inputY);
        own->MeasureStyled(shown.c_str(), nullptr, nullptr);
        return;
    }
    own->WriteStyled(shown.c_str(), &inputW, &inputH);
}

void CIWindow::OnDblClick() {
    ReadHandler(onDblClick);
}

void CIWindow::OnSetFocus() {
    ReadHandler(onSetFocus);
}

void CIWindow::OnKillFocus() {
    ReadHandler(onKillFocus);
}

void CIWindow::OnClose() {
    ReadHandler(onClose);
}

void CIWindow::OnSize() {
    ReadHandler(onSize);
}

void CIWindow::OnMove() {
    ReadHandler(onMove);
}

void CIWindow::OnDisplayChange() {
    ReadHandler(onDisplayChange);
}

void CIWindow::OnMinimize() {
    ReadHandler(onMinimize);
}

void CIWindow::OnMaximize() {
    ReadHandler(onMaximize);
}

void CIWindow::OnDropFile() {
    ReadHandler(onDropFile);
}

void CIWindow::OnMouseDown() {
    ReadHandler(onMouseDown);
}

void CIWindow::OnMouseUp() {
    ReadHandler(onMouseUp);
}

void CIWindow::OnMouseMove() {
    ReadHandler(onMouseMove);
}

void CIWindow::OnMouseWheel() {
    ReadHandler(onMouseWheel);
}

void CIWindow::DoModal() {
    if ((flagsA & kFakeChild) == 0) interpreter->RaiseError(105);
    if (hwnd == 0) return;
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    PushModalWindow(hwnd);
    ShowWindow(hwnd, SW_SHOW);
    modal = 1;
}

void CIWindow::EndModal() {
    if (hwnd != 0) RemoveModalWindow(hwnd);
    if (parent != nullptr && parent->hwnd != 0) SetActiveWindow(parent->hwnd);
    modal = 0;
}

void CIWindow::EnableCloseBox() {
    int32_t flag = interpreter->GetArgInt(0);
    if (hwnd == 0) return;
    EnableMenuItem(GetSystemMenu(hwnd, FALSE), SC_CLOSE,
                   MF_BYCOMMAND | (flag != 0 ? MF_ENABLED : MF_GRAYED | MF_DISABLED));
}

void CIWindow::SetAutoClose() {
    int32_t flag = interpreter->GetArgInt(0);
    if (flag != 0 && flag != 1) interpreter->RaiseError(14);
    autoClose = uint32_t(flag);
}

void CIWindow::Center() {
    const CValue* argument = interpreter->GetArg(0);
    CIWindow* around = nullptr;
    if (!argument->IsDefault()) {
        if (!argument->IsObjectOfClass(kClassId)) interpreter->RaiseError(14);
        around = static_cast<CIWindow*>(argument->GetObject());
    }
    auto usable = [](CIWindow* window) {
        return window != nullptr && window->hwnd != 0 && IsWindowVisible(window->hwnd) &&
               !IsIconic(window->hwnd);
    };
    if (!usable(around)) around = usable(parent) ? parent : nullptr;
    bool child = (style & WS_CHILD) != 0 && parent != nullptr && parent->hwnd != 0;
    RECT bounds{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (child) GetClientRect(parent->hwnd, &bounds);
    RECT target = bounds;
    // A child centred on its own parent takes the client area it lies in.
    if (around != nullptr && !(child && around == parent)) {
        GetWindowRect(around->hwnd, &target);
        if (child) {
            POINT corners[2] = {{target.left, target.top}, {target.right, target.bottom}};
            ScreenToClient(parent->hwnd, &corners[0]);
            ScreenToClient(parent->hwnd, &corners[1]);
            target = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
        }
    }
    int32_t newX = target.left + (target.right - target.left - OuterWidth()) / 2;
    int32_t newY = target.top + (target.bottom - target.top - OuterHeight()) / 2;
    if (newX + OuterWidth() > bounds.right) newX = bounds.right - OuterWidth();
    if (newY + OuterHeight() > bounds.bottom) newY = bounds.bottom - OuterHeight();
    if (newX < bounds.left) newX = bounds.left;
    if (newY < bounds.top) newY = bounds.top;
    x = newX;
    y = newY;
    pendingPosFlags &= ~SWP_NOMOVE;
    SetDirty();
}

void CIWindow::Maximize() {
    QueueShow(SW_SHOWMAXIMIZED);
}

void CIWindow::IsMaximized() {
    interpreter->GetResultSlot()->SetInt(hwnd != 0 && IsZoomed(hwnd) ? 1 : 0);
}

void CIWindow::Minimize() {
    QueueShow(SW_MINIMIZE);
}

void CIWindow::IsMinimized() {
    interpreter->GetResultSlot()->SetInt(hwnd != 0 && IsIconic(hwnd) ? 1 : 0);
}

void CIWindow::Restore() {
    QueueShow(SW_RESTORE);
}

void CIWindow::SetMinSize() {
    if (!interpreter->IsArgDefault(0) && interpreter->GetArgInt(0) >= 0)
        minWidth = uint32_t(interpreter->GetArgInt(0));
    if (!interpreter->IsArgDefault(1) && interpreter->GetArgInt(1) >= 0)
        minHeight = uint32_t(interpreter->GetArgInt(1));
    ApplySizeLimits();
}

void CIWindow::SetMaxSize() {
    if (!interpreter->IsArgDefault(0) && interpreter->GetArgInt(0) >= 0)
        maxWidth = uint32_t(interpreter->GetArgInt(0));
    if (!interpreter->IsArgDefault(1) && interpreter->GetArgInt(1) >= 0)
        maxHeight = uint32_t(interpreter->GetArgInt(1));
    ApplySizeLimits();
}

void CIWindow::ApplySizeLimits() {
    if (minWidth > maxWidth) std::swap(minWidth, maxWidth);
    if (minHeight > maxHeight) std::swap(minHeight, maxHeight);
    uint32_t outerWidth = uint32_t(OuterWidth());
    uint32_t outerHeight = uint32_t(OuterHeight());
    uint32_t limitedWidth = std::min(std::max(outerWidth, minWidth), maxWidth);
    uint32_t limitedHeight = std::min(std::max(outerHeight, minHeight), maxHeight);
    if (limitedWidth == outerWidth && limitedHeight == outerHeight) return;
    width = int32_t(limitedWidth) - borderLeft - borderRight;
    height = int32_t(limitedHeight) - borderTop - borderBottom;
    if (hwnd != 0 && IsZoomed(hwnd)) QueueShow(SW_RESTORE);
    pendingPosFlags &= ~SWP_NOSIZE;
    SetDirty();
}

void CIWindow::EnableDropFile() {
    int32_t flag = ReadFlag(*interpreter, 0, 1);
    if (hwnd != 0) DragAcceptFiles(hwnd, flag);
}

void CIWindow::GetHorizontalScrollBar() {
    if (hScrollBar == nullptr) interpreter->RaiseError(113);
    interpreter->GetResultSlot()->SetObject(hScrollBar, 1);
}

void CIWindow::GetVerticalScrollBar() {
    if (vScrollBar == nullptr) interpreter->RaiseError(114);
    interpreter->GetResultSlot()->SetObject(vScrollBar, 1);
}

void CIWindow::BeginMouseCapture() {
    if (hwnd != 0) SetCapture(hwnd);
}

void CIWindow::EndMouseCapture() {
    if (hwnd != 0 && GetCapture() == hwnd) ReleaseCapture();
}

void CIWindow::HasMouseCapture() {
    interpreter->GetResultSlot()->SetInt(hwnd != 0 && GetCapture() == hwnd ? 1 : 0);
}

void CIWindow::Flash() {
    int32_t flag = interpreter->GetArgInt(0);
    if (parent != nullptr || hwnd == 0) return;
    FlashWindow(hwnd, flag != 0 ? TRUE : FALSE);
}

void CIWindow::GetLeftBorderSize() {
    interpreter->GetResultSlot()->SetInt(borderLeft);
}

void CIWindow::GetRightBorderSize() {
    interpreter->GetResultSlot()->SetInt(borderRight);
}

void CIWindow::GetTopBorderSize() {
    interpreter->GetResultSlot()->SetInt(borderTop);
}

void CIWindow::GetBottomBorderSize() {
    interpreter->GetResultSlot()->SetInt(borderBottom);
}
