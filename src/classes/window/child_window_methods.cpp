// The methods every window-like class shares.
#include "classes/window/child_window.h"
#include "classes/window/font_class.h"
#include "classes/window/window_class.h"
#include "platform/user/input/input.h"
#include "script/interpreter/interpretor.h"

namespace {

// Red and blue change places between 0xRRGGBB and a COLORREF, both ways.
COLORREF SwapRedBlue(uint32_t color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

} // namespace

void CIChildWindow::GetX() {
    interpreter->GetResultSlot()->SetInt(x);
}

void CIChildWindow::GetY() {
    interpreter->GetResultSlot()->SetInt(y);
}

void CIChildWindow::GetWidth() {
    interpreter->GetResultSlot()->SetInt(width);
}

void CIChildWindow::GetHeight() {
    interpreter->GetResultSlot()->SetInt(height);
}

void CIChildWindow::Show() {
    CheckReady();
    int32_t immediate = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    if (immediate != 0 && immediate != 1) interpreter->RaiseError(14);
    if (hwnd == 0) return;
    if (immediate == 1) {
        ShowWindow(hwnd, SW_SHOW);
        SetDirty();
        return;
    }
    CancelShow(SW_HIDE);
    QueueShow(SW_SHOW);
}

void CIChildWindow::Hide() {
    CheckReady();
    int32_t immediate = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    if (hwnd == 0) return;
    if (immediate != 0) {
        ShowWindow(hwnd, SW_HIDE);
        SetDirty();
        return;
    }
    CancelShow(SW_SHOW);
    QueueShow(SW_HIDE);
}

void CIChildWindow::IsVisible() {
    interpreter->GetResultSlot()->SetInt(hwnd != 0 && IsWindowVisible(hwnd) ? 1 : 0);
}

void CIChildWindow::SetPosition() {
    CheckReady();
    if (!interpreter->IsArgDefault(0)) x = interpreter->GetArgInt(0);
    if (!interpreter->IsArgDefault(1)) y = interpreter->GetArgInt(1);
    int32_t immediate = interpreter->IsArgDefault(2) ? 0 : interpreter->GetArgInt(2);
    if (hwnd == 0) return;
    if (immediate != 0)
        SetWindowPos(TargetWindow(), 0, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    else
        pendingPosFlags &= ~SWP_NOMOVE;
    SetDirty();
}

void CIChildWindow::SetSizeMethod() {
    int32_t newWidth = interpreter->IsArgDefault(0) ? width : interpreter->GetArgInt(0);
    int32_t newHeight = interpreter->IsArgDefault(1) ? height : interpreter->GetArgInt(1);
    int32_t immediate = interpreter->IsArgDefault(2) ? 0 : interpreter->GetArgInt(2);
    SetSize(newWidth, newHeight, immediate);
}

void CIChildWindow::ChangeZOrder(HWND insertAfter) {
    CheckReady();
    int32_t immediate = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    if (hwnd == 0) return;
    zInsertAfter = insertAfter;
    if (immediate != 0) {
        if (insertAfter == HWND_TOP)
            RaiseOnce(TargetWindow());
        else
            SetWindowPos(TargetWindow(), insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    } else {
        pendingPosFlags &= ~SWP_NOZORDER;
    }
    SetDirty();
}

void CIChildWindow::ToBack() {
    ChangeZOrder(HWND_BOTTOM);
}

void CIChildWindow::SetTopMost() {
    if (parent != nullptr) return;
    ChangeZOrder(HWND_TOPMOST);
}

void CIChildWindow::ToFront() {
    ChangeZOrder(HWND_TOP);
}

void CIChildWindow::Enable() {
    CheckReady();
    if (hwnd != 0) EnableWindow(hwnd, TRUE);
}

void CIChildWindow::Disable() {
    CheckReady();
    if (hwnd != 0) EnableWindow(hwnd, FALSE);
}

void CIChildWindow::IsEnabled() {
    interpreter->GetResultSlot()->SetInt(hwnd != 0 && IsWindowEnabled(hwnd) ? 1 : 0);
}

void CIChildWindow::SetText() {
    CheckReady();
    if (hwnd == 0 || interpreter->IsArgDefault(0)) return;
    SetWindowTextA(TargetWindow(), interpreter->GetArgString(0));
}

void CIChildWindow::GetText() {
    CValue* result = interpreter->GetResultSlot();
    if (hwnd == 0) {
        result->SetString("", 0);
        return;
    }
    int length = GetWindowTextLengthA(TargetWindow());
    char* buffer = result->SetStringBuffer(length + 1);
    if (buffer != nullptr) GetWindowTextA(TargetWindow(), buffer, length + 1);
}

void CIChildWindow::GetXMouse() {
    POINT point{};
    GetCursorPos(&point);
    if (hwnd != 0) ScreenToClient(hwnd, &point);
    interpreter->GetResultSlot()->SetInt(point.x);
}

void CIChildWindow::GetYMouse() {
    POINT point{};
    GetCursorPos(&point);
    if (hwnd != 0) ScreenToClient(hwnd, &point);
    interpreter->GetResultSlot()->SetInt(point.y);
}

COLORREF CIChildWindow::ReadColorArguments(COLORREF current) {
    if (interpreter->GetArgCount() == 1) {
        if (interpreter->GetArg(0)->GetType() != kValueInt &&
            interpreter->GetArg(0)->GetType() != kValueDouble)
            interpreter->RaiseError(14);
        return SwapRedBlue(static_cast<uint32_t>(interpreter->GetArgInt(0)));
    }
    uint32_t parts[3] = {current & 0xFF, (current >> 8) & 0xFF, (current >> 16) & 0xFF};
    for (uint32_t i = 0; i < 3; ++i) {
        if (!interpreter->IsArgDefault(i))
            parts[i] = static_cast<uint32_t>(interpreter->GetArgInt(i)) & 0xFF;
    }
    return parts[0] | parts[1] << 8 | parts[2] << 16;
}

void CIChildWindow::SetColorMethod() {
    CheckReady();
    SetColor(ReadColorArguments(textColor));
    SetDirty();
}

void CIChildWindow::SetBackColorMethod() {
    CheckReady();
    SetBackColor(ReadColorArguments(backColor));
    SetDirty();
}

void CIChildWindow::GetColor() {
    CheckReady();
    interpreter->GetResultSlot()->SetInt(static_cast<int32_t>(SwapRedBlue(textColor)));
}

void CIChildWindow::GetBackColor() {
    CheckReady();
    interpreter->GetResultSlot()->SetInt(static_cast<int32_t>(SwapRedBlue(backColor)));
}

void CIChildWindow::SetFontMethod() {
    CheckReady();
    SetFont(ReadFontArgument(*interpreter, 0));
    SetDirty();
}

void CIChildWindow::GetFont() {
    CheckReady();
    interpreter->GetResultSlot()->SetObject(font, 1);
}

void CIChildWindow::GetParentWindow() {
    interpreter->GetResultSlot()->SetObject(parent, 1);
}

void CIChildWindow::HasAttribute() {
    uint32_t target = 0;
    uint32_t value = LookUpAttribute(static_cast<uint32_t>(interpreter->GetArgInt(0)), target);
    const uint32_t words[4] = {style, exStyle, flagsA, flagsB};
    interpreter->GetResultSlot()->SetInt(value != 0 && target < 4 && (words[target] & value) != 0);
}

void CIChildWindow::SetPrivateData() {
    privateData.Assign(*interpreter->GetArg(0));
}

void CIChildWindow::GetPrivateData() {
    interpreter->GetResultSlot()->Assign(privateData);
}

void CIChildWindow::ConvertCoordinate(bool toScreen, bool vertical) {
    if (interpreter->IsArgDefault(0)) interpreter->RaiseError(14);
    int32_t value = interpreter->GetArgInt(0);
    POINT point{vertical ? 0 : value, vertical ? value : 0};
    if (hwnd != 0) {
        if (toScreen)
            ClientToScreen(hwnd, &point);
        else
            ScreenToClient(hwnd, &point);
    }
    interpreter->GetResultSlot()->SetInt(vertical ? point.y : point.x);
}

void CIChildWindow::GetXScreen() {
    ConvertCoordinate(true, false);
}

void CIChildWindow::GetYScreen() {
    ConvertCoordinate(true, true);
}

void CIChildWindow::GetXWindow() {
    ConvertCoordinate(false, false);
}

void CIChildWindow::GetYWindow() {
    ConvertCoordinate(false, true);
}

void CIChildWindow::SetFocusMethod() {
    if (hwnd != 0) ::SetFocus(hwnd);
}

void CIChildWindow::HasFocus() {
    interpreter->GetResultSlot()->SetInt(hwnd != 0 && GetFocus() == hwnd ? 1 : 0);
}

void CIChildWindow::ReadHandler(const BlockRecord*& handler) {
    handler = interpreter->ReadHandlerAssignment();
}

void CIChildWindow::OnKeyDown() {
    ReadHandler(onKeyDown);
}

void CIChildWindow::OnKeyUp() {
    ReadHandler(onKeyUp);
}
