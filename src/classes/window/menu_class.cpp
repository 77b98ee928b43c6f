#include "classes/window/menu_class.h"

#include <algorithm>
#include <new>
#include <string>

#include "classes/window/window_class.h"
#include "platform/kernel/errors.h"
#include "platform/system/system_info.h"
#include "platform/user/input/input.h"
#include "platform/user/menus/menus.h"
#include "platform/user/window_class.h"
#include "platform/user/windows.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/run_application.h"

namespace {

constexpr uint32_t kWindowMenu = 0xCDEF0001;
constexpr uint32_t kPopupMenu = 0xCDEF0003;

const MethodNameRow kNameTable[] = {
    {CIMenu::kClassId, "Menu", 0, 0},
    {CIMenu::kInsertItem, "InsertItem", 0, 0},
    {CIMenu::kInsertItemSeparator, "InsertItemSeparator", 0, 0},
    {CIMenu::kCheckItem, "CheckItem", 0, 0},
    {CIMenu::kUnCheckItem, "UnCheckItem", 0, 0},
    {CIMenu::kCheckRadioItem, "CheckRadioItem", 0, 0},
    {CIMenu::kEnableItem, "EnableItem", 0, 0},
    {CIMenu::kDisableItem, "DisableItem", 0, 0},
    {CIMenu::kIsChecked, "IsChecked", 0, 0},
    {CIMenu::kIsEnabled, "IsEnabled", 0, 0},
    {CIMenu::kDeleteItem, "DeleteItem", 0, 0},
    {CIMenu::kModifyItem, "ModifyItem", 0, 0},
    {CIMenu::kGetItemString, "GetItemString", 0, 0},
    {CIMenu::kOnSelectItem, "OnSelectItem", 0, 0},
    {CIMenu::kOpenPopupMenu, "OpenPopupMenu", 0, 0},
    {CIMenu::kSetPrivateData, "SetPrivateData", 0, 0},
    {CIMenu::kGetPrivateData, "GetPrivateData", 0, 0},
    {CIMenu::kFirstClassLevelId + 1, "HCENTER", 0, kRowConstant},
    {CIMenu::kFirstClassLevelId + 2, "ALIGN_LEFT", 0, kRowConstant},
    {CIMenu::kFirstClassLevelId + 3, "ALIGN_RIGHT", 0, kRowConstant},
    {CIMenu::kFirstClassLevelId + 4, "ALIGN_BOTTOM", 0, kRowConstant},
    {CIMenu::kFirstClassLevelId + 5, "ALIGN_TOP", 0, kRowConstant},
    {CIMenu::kFirstClassLevelId + 6, "VCENTER", 0, kRowConstant},
    {CIMenu::kFirstClassLevelId + 7, "LEFTBUTTON", 0, kRowConstant},
    {CIMenu::kFirstClassLevelId + 8, "BOTHBUTTONS", 0, kRowConstant},
    {CIMenu::kFirstClassLevelId + 9, "WINDOWMENU", 0, kRowConstant},
    {CIMenu::kFirstClassLevelId + 10, "POPUPMENU", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

template <uint32_t Value> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(int32_t(Value));
}

const ClassLevelHandler kConstants[] = {
    &Constant<TPM_CENTERALIGN>, &Constant<TPM_LEFTALIGN>,   &Constant<TPM_RIGHTALIGN>,
    &Constant<TPM_BOTTOMALIGN>, &Constant<TPM_TOPALIGN>,    &Constant<TPM_VCENTERALIGN>,
    &Constant<TPM_LEFTBUTTON>,  &Constant<TPM_RIGHTBUTTON>, &Constant<kWindowMenu>,
    &Constant<kPopupMenu>,
};

// A menu goes with the menu or Window it belongs to.
const uint32_t kDependentClasses[] = {CIMenu::kClassId, 0};

CIBaseClassImpl* NewMenu(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIMenu(&interpreter, record);
}

bool IsMenuObject(const CIBaseClassImpl* object) {
    return object != nullptr && object->classIndex == CIMenu::kClassId;
}

bool IsWindowObject(const CIBaseClassImpl* object) {
    return object != nullptr && object->classIndex == CIWindow::kClassId;
}

CMenuContainer* ContainerOf(CIBaseClassImpl* holder) {
    if (IsMenuObject(holder)) return static_cast<CIMenu*>(holder);
    if (IsWindowObject(holder)) return static_cast<CIWindow*>(holder);
    return nullptr;
}

UINT StateFlags(const CIMenu::Item& item) {
    return (item.checked != 0 ? MF_CHECKED : 0u) |
           (item.disabled != 0 ? MF_GRAYED | MF_DISABLED : 0u);
}

std::string KeptText(const char* text) {
    std::string kept = text;
    if (kept.size() > CIMenu::kMaxItemText) kept.resize(CIMenu::kMaxItemText);
    return kept;
}

// The popup host window: the owner of a popup menu opened while no window is active.
LRESULT PopupHostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* menu = reinterpret_cast<CIMenu*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (menu == nullptr || menu->interpreter->resetting != 0)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    } else if (message == WM_COMMAND) {
        CInterpretor* interpreter = menu->interpreter;
        return GuardWindowProcedure(interpreter, [&]() -> LRESULT {
            CIMenu::DispatchMenuCommand(*interpreter, wParam, lParam);
            return 0;
        });
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterPopupHostClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS | CS_OWNDC;
    windowClass.lpfnWndProc = PopupHostProc;
    windowClass.hInstance = GetInstanceHandle();
    windowClass.lpszClassName = CIMenu::kPopupHostClassName;
    registered =
        RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace

const ScriptMethod<CIMenu> CIMenu::kMethods[kMethodCount] = {
    nullptr,
    &CIMenu::InsertItem,
    &CIMenu::InsertItemSeparator,
    &CIMenu::CheckItem,
    &CIMenu::UnCheckItem,
    &CIMenu::CheckRadioItem,
    &CIMenu::EnableItem,
    &CIMenu::DisableItem,
    &CIMenu::IsChecked,
    &CIMenu::IsEnabled,
    &CIMenu::DeleteItem,
    &CIMenu::ModifyItem,
    &CIMenu::GetItemString,
    &CIMenu::OnSelectItem,
    &CIMenu::OpenPopupMenu,
    &CIMenu::SetPrivateData,
    &CIMenu::GetPrivateData,
};

CIMenu::CIMenu(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1), privateData(interpreter) {}

void CIMenu::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

// ---- Life -----------------------------------------------------------------------------

void CIMenu::Create() {
    RegisterPopupHostClass();
    const CValue* argument = interpreter->GetArg(0);
    CIBaseClassImpl* window = nullptr;
    if (argument->IsObjectOfClass(CIWindow::kClassId)) {
        window = argument->GetObject();
        hmenu = CreateMenu();
    } else if (argument->GetType() == kValueInt && uint32_t(argument->GetInt()) == kWindowMenu) {
        hmenu = CreateMenu();
    } else {
        hmenu = CreatePopupMenu();
    }
    if (hmenu == 0) interpreter->RaiseError(15);
    Register();
    if (window != nullptr) ShowIn(window);
}

void CIMenu::ShowIn(CIBaseClassImpl* window) {
    auto* holder = static_cast<CIWindow*>(window);
    if (parent != nullptr && parent != window) {
        if (CMenuContainer* container = ContainerOf(parent)) container->DetachMenu(this);
        if (parent != nullptr) SetHolder(nullptr);
    }
    CMenuContainer* before = holder->menuHeld;
    if (before != nullptr && before != this) {
        if (auto* old = dynamic_cast<CIMenu*>(before); old != nullptr && old->parent == window) {
            holder->DetachMenu(old);
            old->SetHolder(nullptr);
            old->RebuildAsPopup();
        }
    }
    holder->AttachMenu(this);
    if (parent != window) SetHolder(window);
    RedrawBar();
}

void CIMenu::Destroy(int) {
    // The submenus keep their own handles: they leave this menu before it is destroyed.
    for (size_t i = items.size(); i-- > 0;) {
        if (items[i].submenu != 0) DetachAt(i);
    }
    if (parent != nullptr) {
        if (CMenuContainer* container = ContainerOf(parent)) container->DetachMenu(this);
        // A Menu holder has already let go through DetachMenu.
        if (parent != nullptr) SetHolder(nullptr);
    }
    for (const Item& item : items)
        ReleaseItem(item);
    items.clear();
    if (hmenu != 0) DestroyMenu(hmenu);
    hmenu = 0;
    privateData.SetInt(0);
    delete this;
}

int CIMenu::ReleaseReferencesTo(CIBaseClassImpl* object) {
    return object != nullptr && object == parent ? 1 : 0;
}

void CIMenu::SetHolder(CIBaseClassImpl* holder) {
    if (parent != nullptr) {
        --parent->useCount;
        --useCount;
    }
    parent = holder;
    inserted = holder != nullptr ? 1 : 0;
    if (holder != nullptr) {
        // Each holds the other: the holder's deletion takes the menu with it, and a menu
        // that is shown is never collected as garbage.
        ++holder->useCount;
        ++useCount;
    }
}

void CIMenu::DetachMenu(CMenuContainer* menu) {
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].submenu != 0 && items[i].menu == menu) {
            DetachAt(i);
            RedrawBar();
            return;
        }
    }
}

void CIMenu::DetachAt(size_t index) {
    CIMenu* submenu = items[index].menu;
    // Removed, not deleted: the submenu's handle stays its own.
    RemoveMenu(hmenu, UINT(index), MF_BYPOSITION);
    items.erase(items.begin() + ptrdiff_t(index));
    submenu->SetHolder(nullptr);
    submenu->RebuildAsPopup();
}

void CIMenu::RebuildAsPopup() {
    HMENU fresh = CreatePopupMenu();
    if (fresh == 0) return;
    HMENU old = hmenu;
    // The submenus move to the new menu with their handles.
    for (size_t i = items.size(); i-- > 0;) {
        if (items[i].submenu != 0) RemoveMenu(old, UINT(i), MF_BYPOSITION);
    }
    for (const Item& item : items) {
        if (item.separator != 0) {
            AppendMenuA(fresh, MF_SEPARATOR, 0, "");
        } else if (item.submenu != 0) {
            AppendMenuA(fresh, MF_POPUP | StateFlags(item), UINT_PTR(item.menu->hmenu),
                        item.text.c_str());
        } else {
            AppendMenuA(fresh, MF_STRING | StateFlags(item), item.id, item.text.c_str());
        }
    }
    hmenu = fresh;
    DestroyMenu(old);
}

void CIMenu::ReleaseItem(const Item& item) {
    if (item.submenu == 0 && item.separator == 0) ReleaseMenuItemId(item.id);
}

// ---- Item references ------------------------------------------------------------------

UINT CIMenu::Reference::Flags() const {
    return byId ? MF_BYCOMMAND : MF_BYPOSITION;
}

CIMenu::Reference CIMenu::ReferenceArg(uint32_t i) {
    int32_t value = interpreter->GetArgInt(i);
    return Reference{value, value >= kFirstIdReference};
}

int32_t CIMenu::IndexOfId(uint32_t id) const {
    for (size_t i = 0; i < items.size(); ++i) {
        const Item& item = items[i];
        if (item.submenu == 0 && item.separator == 0 && item.id == id) return int32_t(i);
    }
    return -1;
}

int32_t CIMenu::IndexOf(const Reference& reference) const {
    if (reference.byId) return IndexOfId(uint32_t(reference.value));
    return reference.value >= 0 && size_t(reference.value) < items.size() ? reference.value : -1;
}

bool CIMenu::FindRecord(const Reference& reference, CIMenu*& menu, int32_t& index) {
    index = IndexOf(reference);
    if (index >= 0) {
        menu = this;
        return true;
    }
    if (!reference.byId) return false;
    // As the layer searches an id: depth first through the submenus.
    for (Item& item : items) {
        if (item.submenu != 0 && item.menu->FindRecord(reference, menu, index)) return true;
    }
    return false;
}

void CIMenu::CheckInsertable(CIMenu* submenu) {
    if (submenu->inserted != 0) interpreter->RaiseError(131);
    for (CIBaseClassImpl* menu = this; IsMenuObject(menu);
         menu = static_cast<CIMenu*>(menu)->parent) {
        if (menu == submenu) interpreter->RaiseError(132);
    }
}

void CIMenu::RedrawBar() {
    CIBaseClassImpl* holder = this;
    while (IsMenuObject(holder))
        holder = static_cast<CIMenu*>(holder)->parent;
    if (IsWindowObject(holder)) {
        if (HWND window = static_cast<CIWindow*>(holder)->hwnd) DrawMenuBar(window);
    }
}

// ---- Methods --------------------------------------------------------------------------

void CIMenu::InsertItem() {
    uint32_t next = 0;
    CIMenu* submenu = nullptr;
    const CValue* first = interpreter->GetArg(0);
    if (first->IsObjectOfClass(kClassId)) {
        submenu = static_cast<CIMenu*>(first->GetObject());
        next = 1;
    }
    const CValue* textArg = interpreter->GetArg(next);
    if (textArg->GetType() != kValueString) interpreter->RaiseError(21);
    std::string text = textArg->GetStringSafe();
    Reference before{-1, false};
    if (!interpreter->IsArgDefault(next + 1)) before = ReferenceArg(next + 1);
    if (submenu != nullptr) CheckInsertable(submenu);

    int32_t index = before.byId ? IndexOfId(uint32_t(before.value)) : before.value;
    size_t recordAt = index >= 0 && size_t(index) < items.size() ? size_t(index) : items.size();
    Item item;
    item.text = KeptText(text.c_str());
    BOOL done;
    if (submenu != nullptr) {
        done = InsertMenuA(hmenu, UINT(index), MF_BYPOSITION | MF_POPUP, UINT_PTR(submenu->hmenu),
                           text.c_str());
        if (done) {
            item.submenu = 1;
            item.menu = submenu;
        }
    } else {
        item.id = AcquireMenuItemId();
        done = item.id != 0 &&
               InsertMenuA(hmenu, UINT(index), MF_BYPOSITION | MF_STRING, item.id, text.c_str());
        if (!done) ReleaseMenuItemId(item.id);
    }
    if (!done) {
        interpreter->GetResultSlot()->SetInt(0);
        return;
    }
    items.insert(items.begin() + ptrdiff_t(recordAt), std::move(item));
    if (submenu != nullptr) submenu->SetHolder(this);
    RedrawBar();
    interpreter->GetResultSlot()->SetInt(submenu != nullptr ? 1 : int32_t(items[recordAt].id));
}

void CIMenu::InsertItemSeparator() {
    Reference before{-1, false};
    if (!interpreter->IsArgDefault(0)) before = ReferenceArg(0);
    int32_t index = before.byId ? IndexOfId(uint32_t(before.value)) : before.value;
    size_t recordAt = index >= 0 && size_t(index) < items.size() ? size_t(index) : items.size();
    if (!InsertMenuA(hmenu, UINT(index), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr)) return;
    Item item;
    item.separator = 1;
    items.insert(items.begin() + ptrdiff_t(recordAt), std::move(item));
    RedrawBar();
}

void CIMenu::SetChecked(bool checked) {
    Reference reference = ReferenceArg(0);
    CheckMenuItem(hmenu, UINT(reference.value),
                  reference.Flags() | (checked ? MF_CHECKED : MF_UNCHECKED));
    CIMenu* menu = nullptr;
    int32_t index = -1;
    if (FindRecord(reference, menu, index)) menu->items[size_t(index)].checked = checked ? 1 : 0;
}

void CIMenu::CheckItem() {
    SetChecked(true);
}

void CIMenu::UnCheckItem() {
    SetChecked(false);
}

void CIMenu::CheckRadioItem() {
    for (uint32_t i = 0; i < 3; ++i) {
        if (interpreter->IsArgDefault(i)) return;
    }
    Reference first = ReferenceArg(0);
    Reference last = ReferenceArg(1);
    Reference checked = ReferenceArg(2);
    if (first.value == -1 || last.value == -1 || checked.value == -1) return;
    if (first.byId != last.byId || first.byId != checked.byId) return;
    int32_t from = IndexOf(first);
    int32_t to =
        first.byId ? IndexOf(last) : std::min<int32_t>(last.value, int32_t(items.size()) - 1);
    for (int32_t i = from; from >= 0 && i <= to; ++i) {
        Item& item = items[size_t(i)];
        bool isChecked = first.byId ? item.separator == 0 && item.submenu == 0 &&
                                          item.id == uint32_t(checked.value)
                                    : i == checked.value;
        item.checked = isChecked ? 1 : 0;
    }
    CheckMenuRadioItem(hmenu, UINT(first.value), UINT(last.value), UINT(checked.value),
                       first.Flags());
}

void CIMenu::SetEnabled(bool enabled) {
    Reference reference = ReferenceArg(0);
    EnableMenuItem(hmenu, UINT(reference.value),
                   reference.Flags() | (enabled ? MF_ENABLED : MF_GRAYED | MF_DISABLED));
    CIMenu* menu = nullptr;
    int32_t index = -1;
    if (FindRecord(reference, menu, index)) menu->items[size_t(index)].disabled = enabled ? 0 : 1;
}

void CIMenu::EnableItem() {
    SetEnabled(true);
}

void CIMenu::DisableItem() {
    SetEnabled(false);
}

void CIMenu::IsChecked() {
    Reference reference = ReferenceArg(0);
    UINT state = GetMenuState(hmenu, UINT(reference.value), reference.Flags());
    interpreter->GetResultSlot()->SetInt(state != UINT(-1) && (state & MF_CHECKED) != 0 ? 1 : 0);
}

void CIMenu::IsEnabled() {
    Reference reference = ReferenceArg(0);
    UINT state = GetMenuState(hmenu, UINT(reference.value), reference.Flags());
    bool enabled = state != UINT(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
    interpreter->GetResultSlot()->SetInt(enabled ? 1 : 0);
}

void CIMenu::DeleteItem() {
    int32_t index = IndexOf(ReferenceArg(0));
    if (index < 0) return;
    if (items[size_t(index)].submenu != 0) {
        // The submenu is detached, not destroyed: its own Menu object destroys it.
        DetachAt(size_t(index));
    } else {
        DeleteMenu(hmenu, UINT(index), MF_BYPOSITION);
        ReleaseItem(items[size_t(index)]);
        items.erase(items.begin() + index);
    }
    RedrawBar();
}

void CIMenu::ModifyItem() {
    Reference reference = ReferenceArg(0);
    uint32_t next = 1;
    CIMenu* submenu = nullptr;
    const CValue* second = interpreter->GetArg(1);
    if (second->IsObjectOfClass(kClassId)) {
        submenu = static_cast<CIMenu*>(second->GetObject());
        next = 2;
    }
    const CValue* textArg = interpreter->GetArg(next);
    if (textArg->GetType() != kValueString) interpreter->RaiseError(21);
    std::string text = textArg->GetStringSafe();
    if (submenu != nullptr) CheckInsertable(submenu);
    int32_t index = IndexOf(reference);
    if (index < 0) return;
    Item& item = items[size_t(index)];
    if (submenu == nullptr) {
        // The item keeps its kind; a separator becomes a text item.
        if (item.separator != 0) {
            uint32_t id = AcquireMenuItemId();
            if (id == 0) return;
            item.separator = 0;
            item.id = id;
        }
        UINT_PTR newItem = item.submenu != 0 ? UINT_PTR(item.menu->hmenu) : UINT_PTR(item.id);
        UINT kind = item.submenu != 0 ? MF_POPUP : MF_STRING;
        ModifyMenuA(hmenu, UINT(index), MF_BYPOSITION | kind | StateFlags(item), newItem,
                    text.c_str());
        item.text = KeptText(text.c_str());
    } else {
        Item replaced = item;
        replaced.separator = 0;
        replaced.submenu = 1;
        replaced.menu = submenu;
        replaced.id = 0;
        replaced.text = KeptText(text.c_str());
        if (item.submenu != 0) {
            DetachAt(size_t(index));
        } else {
            DeleteMenu(hmenu, UINT(index), MF_BYPOSITION);
            ReleaseItem(item);
            items.erase(items.begin() + index);
        }
        InsertMenuA(hmenu, UINT(index), MF_BYPOSITION | MF_POPUP | StateFlags(replaced),
                    UINT_PTR(submenu->hmenu), text.c_str());
        items.insert(items.begin() + index, std::move(replaced));
        submenu->SetHolder(this);
    }
    RedrawBar();
}

void CIMenu::GetItemString() {
    Reference reference = ReferenceArg(0);
    int length = GetMenuStringA(hmenu, UINT(reference.value), nullptr, 0, reference.Flags());
    std::string text;
    if (length > 0) {
        text.resize(size_t(length) + 1);
        int copied = GetMenuStringA(hmenu, UINT(reference.value), text.data(), length + 1,
                                    reference.Flags());
        text.resize(size_t(copied > 0 ? copied : 0));
    }
    interpreter->GetResultSlot()->SetString(text.c_str(), 0);
}

void CIMenu::OnSelectItem() {
    onSelectItem = interpreter->ReadHandlerAssignment();
}

void CIMenu::OpenPopupMenu() {
    // Everything is read before the menu loop: a handler run meanwhile reuses the frame.
    int32_t values[2] = {0, 0};
    bool given[2] = {false, false};
    UINT flags = 0;
    const int32_t count = interpreter->GetArgCount();
    for (int32_t i = 0; i < count; ++i) {
        const CValue* argument = interpreter->GetArg(uint32_t(i));
        if (argument->IsDefault()) continue;
        if (argument->GetType() != kValueInt) interpreter->RaiseError(14);
        if (i < 2) {
            values[i] = argument->GetInt();
            given[i] = true;
        } else {
            flags |= UINT(argument->GetInt());
        }
    }
    POINT at{values[0], values[1]};
    if (!given[0] || !given[1]) GetCursorPos(&at);

    HWND owner = GetActiveWindow();
    HWND host = 0;
    if (owner == 0) {
        // Outside the visible desktop, so that only the menu shows.
        int left = GetSystemMetrics(SM_XVIRTUALSCREEN) - 100;
        int top = GetSystemMetrics(SM_YVIRTUALSCREEN) - 100;
        host = CreateWindowExA(WS_EX_TOOLWINDOW, kPopupHostClassName, "Zorv Popup",
                               WS_VISIBLE | WS_OVERLAPPEDWINDOW, left, top, 50, 50, 0, 0,
                               GetInstanceHandle(), nullptr);
        if (host != 0) {
            SetWindowLongPtrA(host, GWLP_USERDATA, LONG_PTR(this));
            // Off the screen, it is not activated by being shown; the menu needs an active
            // owner for the keys.
            SetActiveWindow(host);
        }
        owner = host;
    }
    BOOL result = TrackPopupMenu(hmenu, flags, at.x, at.y, 0, owner, nullptr);
    if (host != 0) {
        MSG message;
        while (PeekMessageA(&message, host, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        DestroyWindow(host);
    }
    interpreter->GetResultSlot()->SetInt(result);
}

void CIMenu::SetPrivateData() {
    privateData.Assign(*interpreter->GetArg(0));
}

void CIMenu::GetPrivateData() {
    interpreter->GetResultSlot()->Assign(privateData);
}

// ---- Commands -------------------------------------------------------------------------

int CIMenu::DispatchMenuCommand(CInterpretor& interpreter, WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) != 0 || lParam != 0) return 0;
    const uint32_t id = LOWORD(wParam);
    CIMenu* holding = nullptr;
    int32_t index = -1;
    uint32_t position = interpreter.GetFirstObjectPos(kClassId);
    while (position != 0 && holding == nullptr) {
        auto* menu = static_cast<CIMenu*>(interpreter.GetNextObject(kClassId, position));
        if (menu == nullptr) continue;
        index = menu->IndexOfId(id);
        if (index >= 0) holding = menu;
    }
    if (holding == nullptr) return 0;
    CIMenu* handling = holding;
    while (handling->onSelectItem == nullptr && IsMenuObject(handling->parent))
        handling = static_cast<CIMenu*>(handling->parent);
    if (handling->onSelectItem != nullptr) {
        CValue menu(holding);
        CValue itemIndex(&interpreter, index);
        CValue itemId(&interpreter, int32_t(id));
        interpreter.PostEventCoalesced(handling->onSelectItem, handling, &menu, &itemIndex,
                                       &itemId);
    }
    return 1;
}

const ScriptClassInfo* GetMenuClassInfo() {
    SetMenuCommandHandler(&CIMenu::DispatchMenuCommand);
    static const ScriptClassInfo info{
        kNameTable,        &NewMenu, CIMenu::kFirstClassLevelId, kConstants, 10,
        kDependentClasses, nullptr,
    };
    return &info;
}
