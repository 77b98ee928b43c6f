#include "classes/window/controls/chained_control.h"

#include "classes/window/font_class.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/screen_dc.h"
#include "platform/gdi/text/text_out.h"

CIChainedControl::CIChainedControl(CInterpretor* interpreter, const CClassRecord* record,
                                   ControlHandler handler)
    : CIChildWindow(interpreter, record), handler_(handler) {}

void CIChainedControl::Destroy(int flag) {
    // A Window destroying its children has let go of them first, chain and all.
    if (flag == 0 && handlerOwner_ != nullptr && handlerOwner_ == parent)
        handlerOwner_->RemoveControlHandler(handler_);
    handlerOwner_ = nullptr;
    CIChildWindow::Destroy(flag);
}

HWND CIChainedControl::CreateAndRegister(const char* className, HWND existingHwnd,
                                         uint32_t createFlags) {
    if (CreateControl(className, 0, this, existingHwnd, createFlags) != 0 && parent != nullptr) {
        if (parent->AddControlHandler(handler_) == 0) interpreter->RaiseError(15);
        handlerOwner_ = parent;
    }
    Register();
    return hwnd;
}

void CIChainedControl::SizeFromCaption(int32_t extraWidth, int32_t extraHeight, int32_t minHeight) {
    if (x == kNotGiven) x = 10;
    if (y == kNotGiven) y = 10;
    if (width != kNotGiven && height != kNotGiven) return;
    const char* text = caption != nullptr && caption[0] != '\0' ? caption : "X";
    HWND measured = parent != nullptr ? parent->hwnd : 0;
    HDC dc = GetDC(measured);
    HGDIOBJ old = font != nullptr ? SelectObject(dc, font->hFont) : 0;
    SIZE size{};
    int count = 0;
    while (text[count] != '\0')
        ++count;
    GetTextExtentPoint32A(dc, text, count, &size);
    int32_t textWidth = size.cx * GetDeviceCaps(dc, LOGPIXELSX) / 72;
    int32_t textHeight = size.cy * GetDeviceCaps(dc, LOGPIXELSY) / 72;
    if (old != 0) SelectObject(dc, old);
    ReleaseDC(measured, dc);
    if (width == kNotGiven) width = textWidth + extraWidth;
    if (height == kNotGiven)
        height = textHeight + extraHeight < minHeight ? minHeight : textHeight + extraHeight;
}

void PostChainedEvent(CIChildWindow& control, const BlockRecord* handler,
                      std::initializer_list<int32_t> numbers) {
    if (handler == nullptr) return;
    CInterpretor* interpreter = control.interpreter;
    CValue source(&control);
    CValue values[2] = {CValue(interpreter), CValue(interpreter)};
    const CValue* arguments[3] = {&source, nullptr, nullptr};
    size_t i = 0;
    for (int32_t number : numbers) {
        if (i == 2) break;
        values[i].SetInt(number);
        arguments[i + 1] = &values[i];
        ++i;
    }
    interpreter->PostEventCoalesced(handler, &control, arguments[0], arguments[1], arguments[2]);
}

LRESULT ChainedControlColors(CIChildWindow& control, WPARAM dc) {
    HDC target = static_cast<HDC>(dc);
    SetTextColor(target, control.textColor);
    SetBkMode(target, OPAQUE);
    SetBkColor(target, control.backColor);
    return static_cast<LRESULT>(control.backBrush);
}
