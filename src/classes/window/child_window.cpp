#include "classes/window/child_window.h"

#include "classes/window/font_class.h"
#include "classes/window/window_class.h"
#include "platform/controls/controls.h"
#include "platform/user/paint/update_region.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/run_application.h"

const uint32_t kSharedAttributeTable[] = {0x2,        WS_TABSTOP, WS_EX_STATICEDGE, WS_VSCROLL,
                                          WS_HSCROLL, 0x1,        WS_BORDER,        0xFFFFFFFFu};

namespace {

uint32_t CountTable(const uint32_t* table) {
    uint32_t size = 0;
    while (table[size] != CIChildWindow::kTableEnd)
        ++size;
    return size;
}

// A brush of the colour, palette-relative.
HBRUSH MakeBrush(COLORREF color) {
    return CreateSolidBrush(color | 0x02000000u);
}

} // namespace

CIChildWindow::CIChildWindow(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1), CIRefresh(interpreter, 0),
      CIFontContainer(interpreter), privateData(interpreter) {
    textColor = GetSysColor(COLOR_WINDOWTEXT);
    backColor = GetSysColor(COLOR_WINDOW);
    backBrush = MakeBrush(backColor);
    tables[0] = kSharedAttributeTable;
    tableIdBase[0] = kSharedTableBase;
    tableSize[0] = CountTable(kSharedAttributeTable);
    CIFontContainer::SetFont(GetGuiFont(interpreter));
}

void CIChildWindow::Destroy(int flag) {
    if (hwnd != 0) {
        HWND window = hwnd;
        hwnd = 0;
        if (propertySet != 0) DetachWindowObject(window, kWindowObjectProperty);
        propertySet = 0;
        DestroyWindow(window);
    }
    if (ownBrush != 0 && backBrush != 0) DeleteObject(backBrush);
    backBrush = 0;
    if (parent != nullptr) parent->RemoveChild(this);
    parent = nullptr;
    Detach();
    CIBaseClassImpl::Destroy(flag);
    delete this;
}

int CIChildWindow::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object == nullptr || object != static_cast<CIBaseClassImpl*>(parent)) return 0;
    parent->RemoveChild(this);
    parent = nullptr;
    return 1;
}

void CIChildWindow::Register() {
    if (parent != nullptr) parent->AddChild(this);
    caption = nullptr;
    CIBaseClassImpl::Register();
}

int CIChildWindow::IsLate() {
    return 1;
}

void CIChildWindow::ApplyPendingShows() {
    bool raise = false;
    for (int command = 0; command < 12; ++command) {
        if (pendingShow[command] == 0) continue;
        pendingShow[command] = 0;
        ShowWindow(hwnd, command);
        if (command == int(SW_SHOWNORMAL)) raise = true;
    }
    showPending = 0;
    if (raise) RaiseOnce(hwnd);
}

void CIChildWindow::RaiseOnce(HWND target) {
    // A topmost window would leave its band through HWND_NOTOPMOST.
    bool topmost = (GetWindowLongA(target, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (!topmost) SetWindowPos(target, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(target, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (!topmost) SetWindowPos(target, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CIChildWindow::Refresh() {
    if (hwnd == 0) {
        dirty = 0;
        return;
    }
    if (showPending != 0) ApplyPendingShows();
    bool geometryApplied = false;
    if (pendingPosFlags != kNothingPending) {
        HWND target = TargetWindow();
        bool topmost = (GetWindowLongA(target, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        bool bracket = zInsertAfter == HWND_TOP && !topmost;
        if (bracket) SetWindowPos(target, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetWindowPos(target, zInsertAfter, x, y, OuterWidth(), OuterHeight(), pendingPosFlags);
        if (bracket) SetWindowPos(target, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        geometryApplied = true;
    }
    // Handlers of the messages above may have destroyed the window.
    if (hwnd != 0) {
        if (styleChanged != 0) SetWindowLongA(hwnd, GWL_STYLE, LONG(style));
        if (exStyleChanged != 0) SetWindowLongA(hwnd, GWL_EXSTYLE, LONG(exStyle));
        if (exStyleChanged != 0 || styleChanged != 0 || !geometryApplied)
            InvalidateRect(hwnd, nullptr, TRUE);
    }
    styleChanged = exStyleChanged = 0;
    zInsertAfter = HWND_TOP;
    showPending = 0;
    for (uint8_t& flag : pendingShow)
        flag = 0;
    pendingPosFlags = kNothingPending;
    dirty = 0;
}

void CIChildWindow::SetColor(COLORREF color) {
    textColor = color;
}

void CIChildWindow::SetBackColor(COLORREF color) {
    backColor = color;
    if (ownBrush != 0 && backBrush != 0) DeleteObject(backBrush);
    backBrush = MakeBrush(color);
    ownBrush = 1;
}

void CIChildWindow::SetFont(CIFont* newFont) {
    CIFontContainer::SetFont(newFont);
    if (hwnd != 0 && font != nullptr) SendMessageA(hwnd, WM_SETFONT, font->hFont, TRUE);
}

void CIChildWindow::SetSize(int32_t newWidth, int32_t newHeight, int32_t immediate) {
    CheckReady();
    width = newWidth;
    height = newHeight;
    if (hwnd == 0) return;
    if (immediate != 0) {
        SetWindowPos(TargetWindow(), 0, 0, 0, OuterWidth(), OuterHeight(),
                     SWP_NOMOVE | SWP_NOZORDER);
    } else {
        if (IsZoomed(hwnd)) QueueShow(SW_RESTORE);
        pendingPosFlags &= ~SWP_NOSIZE;
    }
    SetDirty();
}

void CIChildWindow::SetCreateParams(int32_t newX, int32_t newY, int32_t newWidth, int32_t newHeight,
                                    uint32_t newStyle, uint32_t newExStyle) {
    x = newX;
    y = newY;
    width = newWidth;
    height = newHeight;
    style = newStyle;
    exStyle = newExStyle;
}

void CIChildWindow::AddAttributeTable(const uint32_t* table, uint32_t idBase) {
    if (tableCount >= 2) return;
    tables[tableCount] = table;
    tableIdBase[tableCount] = idBase;
    tableSize[tableCount] = CountTable(table);
    ++tableCount;
}

uint32_t CIChildWindow::ParseCreateArgs(uint32_t flags, const CValue** extraArgs, uint32_t first,
                                        uint32_t count) {
    // Six values fit; a seventh is refused at the end, an eighth at once.
    uint32_t extraCount = 0;
    auto collect = [&](const CValue* value) {
        if (extraArgs == nullptr) interpreter->RaiseError(14);
        if (extraCount > kMaxExtraArgs) interpreter->RaiseError(13);
        if (extraCount < kMaxExtraArgs) {
            extraArgs[extraCount] = value;
            extraArgs[extraCount + 1] = nullptr;
        }
        ++extraCount;
    };
    bool parentGiven = false;
    uint32_t end = first + count;
    uint32_t argumentCount = uint32_t(interpreter->GetArgCount());
    if (end > argumentCount) end = argumentCount;
    if (extraArgs != nullptr) extraArgs[0] = nullptr;
    uint32_t i = first;
    for (; i < end; ++i) {
        const CValue* argument = interpreter->GetArg(i);
        switch (argument->GetType()) {
        case kValueDefault:
            continue;
        case kValueObject:
            if ((flags & kArgWindowParent) != 0 && argument->IsObjectOfClass(CIWindow::kClassId)) {
                if (parentGiven) interpreter->RaiseError(14);
                parent = static_cast<CIWindow*>(argument->GetObject());
                parentGiven = true;
            } else {
                collect(argument);
            }
            continue;
        case kValueString:
            if ((flags & kArgCaption) != 0) {
                caption = argument->GetString();
                flags &= ~kArgCaption;
            } else {
                collect(argument);
            }
            continue;
        default:
            break;
        }
        uint32_t value = static_cast<uint32_t>(argument->GetInt());
        bool matched = false;
        for (uint32_t t = 0; t < tableCount && !matched; ++t) {
            if ((value & 0xFFF00000u) != tableIdBase[t]) continue;
            matched = true;
            uint32_t index = value & 0xFFFF;
            if (index >= tableSize[t]) interpreter->RaiseError(14);
            uint32_t entry = tables[t][index];
            switch ((value >> 16) & 0xF) {
            case 0:
                if ((flags & kArgStyles) == 0) interpreter->RaiseError(14);
                style |= entry;
                break;
            case 1:
                if ((flags & kArgStyles) == 0) interpreter->RaiseError(14);
                exStyle |= entry;
                break;
            case 2:
                if ((flags & kArgFlagsA) == 0) interpreter->RaiseError(14);
                flagsA |= entry;
                break;
            case 3:
                if ((flags & kArgFlagsB) == 0) interpreter->RaiseError(14);
                flagsB |= entry;
                break;
            default:
                interpreter->RaiseError(14);
            }
        }
        if (matched) continue;
        static constexpr uint32_t kWindowOrder[] = {kArgWidth, kArgHeight, kArgX, kArgY};
        static constexpr uint32_t kControlOrder[] = {kArgX, kArgY, kArgWidth, kArgHeight};
        const uint32_t* order = (flags & kArgWindowParent) != 0 ? kWindowOrder : kControlOrder;
        bool placed = false;
        for (int k = 0; k < 4 && !placed; ++k) {
            if ((flags & order[k]) == 0) continue;
            flags &= ~order[k];
            placed = true;
            int32_t number = static_cast<int32_t>(value);
            switch (order[k]) {
            case kArgX:
                x = number;
                break;
            case kArgY:
                y = number;
                break;
            case kArgWidth:
                width = number;
                break;
            default:
                height = number;
                break;
            }
        }
        if (!placed) collect(argument);
    }
    if (extraCount > kMaxExtraArgs) interpreter->RaiseError(13);
    if (!parentGiven && (flags & kArgParentRequired) != 0) {
        parent = static_cast<CIWindow*>(interpreter->currentWindow);
        if (parent == nullptr) interpreter->RaiseError(31);
    }
    return i;
}

HWND CIChildWindow::CreateControl(const char* className, HMENU menu, CIBaseClassImpl* ownerObject,
                                  HWND existingHwnd, uint32_t createFlags) {
    HWND parentHandle = outerWindow != 0 ? outerWindow : parent != nullptr ? parent->hwnd : 0;
    if ((createFlags & kCreateChild) == 0 || parentHandle == 0) style &= ~WS_CHILD;
    if (ready == 1) {
        if ((flagsA & kHidden) != 0)
            style &= ~WS_VISIBLE;
        else
            style |= WS_VISIBLE;
        if ((flagsA & kNoBorder) != 0) style &= ~WS_BORDER;
    } else {
        pendingPosFlags = 0;
    }
    if (existingHwnd == 0) {
        hwnd = CreateWindowExA(exStyle, className, caption, style & ~WS_VISIBLE, x, y, OuterWidth(),
                               OuterHeight(), parentHandle, menu, GetInstanceHandle(), ownerObject);
        CIFontContainer::SetFont(GetGuiFont(interpreter));
        if (hwnd != 0 && font != nullptr) SendMessageA(hwnd, WM_SETFONT, font->hFont, TRUE);
    } else {
        hwnd = existingHwnd;
    }
    if (hwnd != 0) {
        if (ready == 1 && (style & WS_VISIBLE) != 0) {
            pendingShow[SW_HIDE] = 0;
            QueueShow(SW_SHOW);
        }
        if ((createFlags & kCreateProperty) != 0) {
            AttachWindowObject(hwnd, kWindowObjectProperty, ownerObject);
            propertySet = 1;
        }
    }
    return hwnd;
}

uint32_t CIChildWindow::LookUpAttribute(uint32_t constant, uint32_t& target) {
    target = 0;
    for (uint32_t t = 0; t < tableCount; ++t) {
        if ((constant & 0xFFF00000u) != tableIdBase[t]) continue;
        uint32_t index = constant & 0xFFFF;
        if (index >= tableSize[t]) return 0;
        target = (constant >> 16) & 0xF;
        return tables[t][index];
    }
    return 0;
}

bool CIChildWindow::CanTakeFocus() {
    return hwnd != 0 && (style & WS_TABSTOP) != 0 && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd);
}

void CIChildWindow::CheckReady() {
    if (ready == 0) interpreter->RaiseError(112);
}

void CIChildWindow::QueueShow(int command) {
    pendingShow[command] = 1;
    showPending = 1;
    SetDirty();
}

void CIChildWindow::CancelShow(int command) {
    pendingShow[command] = 0;
}
