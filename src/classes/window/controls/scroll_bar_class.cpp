#include <new>
#include <utility>

#include "classes/window/controls/range_controls.h"
#include "platform/system/system_info.h"

namespace {

enum : uint16_t { kGetPos = 38, kSetRange, kSetPos, kSetPageSize, kOnScroll };

constexpr uint32_t kFirst = CIScrollBar::kMethodCount + 11;

const MethodNameRow kNameTable[] = {
    {CIScrollBar::kClassId, "ScrollBar", 0, 0},
    ZORV_CHAINED_SHARED_ROWS,
    {kGetPos, "GetPos", 0, 0},
    {kSetRange, "SetRange", 0, 0},
    {kSetPos, "SetPos", 0, 0},
    {kSetPageSize, "SetPageSize", 0, 0},
    {kOnScroll, "OnScroll", 0, 0},
    ZORV_CHAINED_CONSTANT_ROWS(CIScrollBar::kMethodCount + 1),
    {kFirst, "HORZ", 0, kRowConstant},
    {kFirst + 1, "VERT", 0, kRowConstant},
    {kFirst + 2, "ENDSCROLL", 0, kRowConstant},
    {kFirst + 3, "LEFT", 0, kRowConstant},
    {kFirst + 4, "RIGHT", 0, kRowConstant},
    {kFirst + 5, "LINELEFT", 0, kRowConstant},
    {kFirst + 6, "LINERIGHT", 0, kRowConstant},
    {kFirst + 7, "PAGELEFT", 0, kRowConstant},
    {kFirst + 8, "PAGERIGHT", 0, kRowConstant},
    {kFirst + 9, "THUMBPOSITION", 0, kRowConstant},
    {kFirst + 10, "THUMBTRACK", 0, kRowConstant},
    {kFirst + 11, "BOTTOM", 0, kRowConstant},
    {kFirst + 12, "LINEDOWN", 0, kRowConstant},
    {kFirst + 13, "LINEUP", 0, kRowConstant},
    {kFirst + 14, "PAGEDOWN", 0, kRowConstant},
    {kFirst + 15, "PAGEUP", 0, kRowConstant},
    {kFirst + 16, "TOP", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

const ClassLevelHandler kConstants[] = {
    ZORV_CHAINED_SHARED_CONSTANTS,      &ChainedConstant<0xAAD00000u>,
    &ChainedConstant<0xAAD00001u>,      &ChainedConstant<SB_ENDSCROLL>,
    &ChainedConstant<SB_LEFT>,          &ChainedConstant<SB_RIGHT>,
    &ChainedConstant<SB_LINELEFT>,      &ChainedConstant<SB_LINERIGHT>,
    &ChainedConstant<SB_PAGELEFT>,      &ChainedConstant<SB_PAGERIGHT>,
    &ChainedConstant<SB_THUMBPOSITION>, &ChainedConstant<SB_THUMBTRACK>,
    &ChainedConstant<SB_BOTTOM>,        &ChainedConstant<SB_LINEDOWN>,
    &ChainedConstant<SB_LINEUP>,        &ChainedConstant<SB_PAGEDOWN>,
    &ChainedConstant<SB_PAGEUP>,        &ChainedConstant<SB_TOP>,
};

const uint32_t kScrollBarAttributeTable[] = {SBS_HORZ, SBS_VERT, 0xFFFFFFFFu};

CIBaseClassImpl* NewScrollBar(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIScrollBar(&interpreter, record);
}

} // namespace

const ScriptMethod<CIScrollBar> CIScrollBar::kMethods[kMethodCount] = {
    nullptr,
    &CIScrollBar::GetXBar,
    &CIScrollBar::GetYBar,
    &CIScrollBar::GetWidthBar,
    &CIScrollBar::GetHeightBar,
    &CIScrollBar::Show,
    &CIScrollBar::Hide,
    &CIScrollBar::IsVisible,
    &CIScrollBar::SetPosition,
    &CIScrollBar::SetSizeMethod,
    &CIScrollBar::ToBack,
    &CIScrollBar::SetTopMost,
    &CIScrollBar::Enable,
    &CIScrollBar::Disable,
    &CIScrollBar::IsEnabled,
    &CIScrollBar::SetText,
    &CIScrollBar::GetText,
    &CIScrollBar::ToFront,
    &CIScrollBar::GetXMouseBar,
    &CIScrollBar::GetYMouseBar,
    &CIScrollBar::SetColorMethod,
    &CIScrollBar::SetBackColorMethod,
    &CIScrollBar::GetColor,
    &CIScrollBar::GetBackColor,
    &CIScrollBar::SetFontMethod,
    &CIScrollBar::GetFont,
    &CIScrollBar::GetParentWindow,
    &CIScrollBar::HasAttribute,
    &CIScrollBar::SetPrivateData,
    &CIScrollBar::GetPrivateData,
    &CIScrollBar::GetXScreenBar,
    &CIScrollBar::GetYScreenBar,
    &CIScrollBar::GetXWindowBar,
    &CIScrollBar::GetYWindowBar,
    &CIScrollBar::SetFocusMethod,
    &CIScrollBar::HasFocus,
    &CIScrollBar::OnKeyDown,
    &CIScrollBar::OnKeyUp,
    &CIScrollBar::GetPos,
    &CIScrollBar::SetRange,
    &CIScrollBar::SetPos,
    &CIScrollBar::SetPageSize,
    &CIScrollBar::OnScroll,
};

CIScrollBar::CIScrollBar(CInterpretor* interpreter, const CClassRecord* record)
    : CIChainedControl(interpreter, record, &Handler) {
    SetCreateParams(10, 10, kNotGiven, kNotGiven, WS_CHILD | WS_CLIPSIBLINGS, 0);
    AddAttributeTable(kScrollBarAttributeTable, kOwnTableBase);
}

void CIScrollBar::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void SizeByOrientation(CIChildWindow& control, bool vertical) {
    constexpr int32_t kNotGiven = CIChildWindow::kNotGiven;
    if (control.height == kNotGiven) {
        if (vertical) {
            control.height = control.width != kNotGiven ? control.width : 100;
            control.width = GetSystemMetrics(SM_CXVSCROLL);
        } else {
            if (control.width == kNotGiven) control.width = 100;
            control.height = GetSystemMetrics(SM_CYHSCROLL);
        }
    }
}

// The system's colours until SetBackColor.
static void UseScrollBarColours(CIChildWindow& bar) {
    bar.backColor = GetSysColor(COLOR_SCROLLBAR);
    if (bar.ownBrush != 0 && bar.backBrush != 0) DeleteObject(bar.backBrush);
    bar.backBrush = GetSysColorBrush(COLOR_SCROLLBAR);
    bar.ownBrush = 0;
}

void CIScrollBar::Create() {
    ParseCreateArgs(0x4000058F, nullptr, 0, uint32_t(interpreter->GetArgCount()));
    SizeByOrientation(*this, (style & SBS_VERT) != 0);
    UseScrollBarColours(*this);
    if (CreateControl("SCROLLBAR", 0, this, 0, kCreateChild | kCreateProperty) != 0) {
        if (parent != nullptr) {
            if (parent->AddControlHandler(handler_) == 0) interpreter->RaiseError(15);
            handlerOwner_ = parent;
        }
        InitRange();
    }
    Register();
}

void CIScrollBar::InitRange() {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = 100;
    info.nPage = 1;
    info.nPos = 0;
    SetScrollInfo(hwnd, Bar(), &info, TRUE);
}

CIScrollBar* CIScrollBar::AttachToWindow(CIWindow& window, int bar) {
    CInterpretor* interpreter = window.interpreter;
    auto* made = new (std::nothrow) CIScrollBar(interpreter, interpreter->GetClassRecord(kClassId));
    if (made == nullptr) interpreter->RaiseError(15);
    made->ownControl = 0;
    // The bar number stands in the style word; the bar shares the Window's window, which
    // it must neither show nor destroy.
    made->style = uint32_t(bar);
    made->exStyle = 0;
    made->parent = &window;
    made->window_ = &window;
    UseScrollBarColours(*made);
    made->hwnd = window.hwnd;
    if (window.AddControlHandler(&Handler) == 0) {
        made->hwnd = 0;
        made->Destroy(0);
        interpreter->RaiseError(15);
    }
    made->handlerOwner_ = &window;
    made->InitRange();
    made->Register();
    ++made->useCount;
    return made;
}

void CIScrollBar::ReleaseWindowBars(CIWindow& window) {
    for (CIBaseClassImpl** field : {&window.hScrollBar, &window.vScrollBar}) {
        auto* bar = static_cast<CIScrollBar*>(*field);
        *field = nullptr;
        if (bar == nullptr) continue;
        bar->window_ = nullptr;
        --bar->useCount;
    }
}

void CIScrollBar::Destroy(int flag) {
    if (ownControl == 0) {
        hwnd = 0;
        if (window_ != nullptr) {
            if (window_->hScrollBar == this) window_->hScrollBar = nullptr;
            if (window_->vScrollBar == this) window_->vScrollBar = nullptr;
            window_ = nullptr;
        }
    }
    CIChainedControl::Destroy(flag);
}

void CIScrollBar::SetBackColor(COLORREF color) {
    CIChildWindow::SetBackColor(color);
    defaultColours = 0;
}

bool CIScrollBar::Vertical() const {
    return ownControl != 0 ? (style & SBS_VERT) != 0 : int(style) == SB_VERT;
}

LRESULT CIScrollBar::Handler(BOOL& handled, HWND parentHwnd, UINT message, WPARAM wParam,
                             LPARAM lParam) {
    if (message == WM_HSCROLL || message == WM_VSCROLL) {
        CIScrollBar* bar = nullptr;
        if (lParam != 0) {
            bar = ChainedControlOf<CIScrollBar>(HWND(lParam));
        } else {
            // A Window's own bar, when it still has that bar.
            CIBaseClassImpl* object = GetWindowObject(parentHwnd, kWindowObjectProperty);
            if (object != nullptr && object->classIndex == CIWindow::kClassId) {
                auto* window = static_cast<CIWindow*>(object);
                CIBaseClassImpl* own =
                    message == WM_HSCROLL ? window->hScrollBar : window->vScrollBar;
                if (own != nullptr && own->classIndex == kClassId)
                    bar = static_cast<CIScrollBar*>(own);
            }
        }
        if (bar == nullptr) return 0;
        handled = TRUE;
        bar->HandleScroll(wParam);
        return 0;
    }
    if (message == WM_CTLCOLORSCROLLBAR) {
        CIScrollBar* bar = ChainedControlOf<CIScrollBar>(HWND(lParam));
        if (bar == nullptr || bar->defaultColours != 0) return 0;
        handled = TRUE;
        return ChainedControlColors(*bar, wParam);
    }
    return 0;
}

void CIScrollBar::HandleScroll(WPARAM wParam) {
    HWND window = hwnd;
    int bar = Bar();
    WORD code = LOWORD(static_cast<DWORD_PTR>(wParam));
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window, bar, &info);
    int position = info.nPos;
    if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
        // The high word holds the low 16 bits of the position: signed in a range that
        // reaches below 0.
        WORD high = HIWORD(static_cast<DWORD_PTR>(wParam));
        position = info.nMin < 0 ? int(static_cast<int16_t>(high)) : int(high);
        SetScrollPos(window, bar, position, TRUE);
    } else {
        switch (code) {
        case SB_LINEUP:
            position -= 1;
            break;
        case SB_LINEDOWN:
            position += 1;
            break;
        case SB_PAGEUP:
            position -= int(info.nPage);
            break;
        case SB_PAGEDOWN:
            position += int(info.nPage);
            break;
        case SB_TOP:
            position = info.nMin;
            break;
        case SB_BOTTOM:
            position = info.nMax;
            break;
        default:
            break;
        }
        SetScrollPos(window, bar, position, TRUE);
        position = GetScrollPos(window, bar);
    }
    PostChainedEvent(*this, onScroll, {position, int32_t(code)});
    // The handler this runs may delete the bar and its Window: nothing of either is
    // touched afterwards.
    CInterpretor* owner = interpreter;
    owner->CheckPendingAndTick();
}

int32_t CIScrollBar::BarX() const {
    if (ownControl != 0 || window_ == nullptr) return x;
    return Vertical() ? window_->width - GetSystemMetrics(SM_CXVSCROLL) : 0;
}

int32_t CIScrollBar::BarY() const {
    if (ownControl != 0 || window_ == nullptr) return y;
    return Vertical() ? 0 : window_->height - GetSystemMetrics(SM_CYVSCROLL);
}

void CIScrollBar::GetXBar() {
    interpreter->GetResultSlot()->SetInt(BarX());
}

void CIScrollBar::GetYBar() {
    interpreter->GetResultSlot()->SetInt(BarY());
}

void CIScrollBar::GetWidthBar() {
    int32_t value = width;
    if (ownControl == 0 && window_ != nullptr)
        value = Vertical() ? GetSystemMetrics(SM_CXVSCROLL) : window_->width;
    interpreter->GetResultSlot()->SetInt(value);
}

void CIScrollBar::GetHeightBar() {
    int32_t value = height;
    if (ownControl == 0 && window_ != nullptr)
        value = Vertical() ? window_->height : GetSystemMetrics(SM_CYVSCROLL);
    interpreter->GetResultSlot()->SetInt(value);
}

void CIScrollBar::LessBarX(void (CIChildWindow::*base)()) {
    (this->*base)();
    if (ownControl != 0) return;
    CValue* result = interpreter->GetResultSlot();
    result->SetInt(result->GetInt() - BarX());
}

void CIScrollBar::LessBarY(void (CIChildWindow::*base)()) {
    (this->*base)();
    if (ownControl != 0) return;
    CValue* result = interpreter->GetResultSlot();
    result->SetInt(result->GetInt() - BarY());
}

void CIScrollBar::GetXMouseBar() {
    LessBarX(&CIChildWindow::GetXMouse);
}

void CIScrollBar::GetYMouseBar() {
    LessBarY(&CIChildWindow::GetYMouse);
}

void CIScrollBar::GetXScreenBar() {
    LessBarX(&CIChildWindow::GetXScreen);
}

void CIScrollBar::GetYScreenBar() {
    LessBarY(&CIChildWindow::GetYScreen);
}

void CIScrollBar::GetXWindowBar() {
    LessBarX(&CIChildWindow::GetXWindow);
}

void CIScrollBar::GetYWindowBar() {
    LessBarY(&CIChildWindow::GetYWindow);
}

void CIScrollBar::GetPos() {
    interpreter->GetResultSlot()->SetInt(hwnd != 0 ? GetScrollPos(hwnd, Bar()) : 0);
}

void CIScrollBar::SetRange() {
    int32_t minimum = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    int32_t maximum = interpreter->IsArgDefault(1) ? 0 : interpreter->GetArgInt(1);
    if (minimum > maximum) std::swap(minimum, maximum);
    if (hwnd == 0) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_DISABLENOSCROLL;
    info.nMin = minimum;
    info.nMax = maximum;
    SetScrollInfo(hwnd, Bar(), &info, TRUE);
}

void CIScrollBar::SetPos() {
    int32_t position = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    if (hwnd == 0) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS | SIF_DISABLENOSCROLL;
    info.nPos = position;
    SetScrollInfo(hwnd, Bar(), &info, TRUE);
}

void CIScrollBar::SetPageSize() {
    if (interpreter->IsArgDefault(0) || hwnd == 0) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_PAGE | SIF_DISABLENOSCROLL;
    info.nPage = UINT(interpreter->GetArgInt(0));
    SetScrollInfo(hwnd, Bar(), &info, TRUE);
}

void CIScrollBar::OnScroll() {
    ReadHandler(onScroll);
}

const ScriptClassInfo* GetScrollBarClassInfo() {
    static const ScriptClassInfo info{kNameTable,
                                      &NewScrollBar,
                                      CIScrollBar::kMethodCount,
                                      kConstants,
                                      sizeof kConstants / sizeof kConstants[0],
                                      nullptr,
                                      nullptr};
    return &info;
}
