// The Menu class: a Window's menu bar, a free menu bar or a popup menu, with submenus to
// any depth. It keeps its own record of the items, so that a menu taken off its holder is
// rebuilt as a popup with the same states, and turns menu commands into OnSelectItem.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classes/window/menu_container.h"
#include "script/classes/base_class.h"
#include "script/values/value.h"

class CIMenu : public CIBaseClassImpl, public CMenuContainer {
public:
    static constexpr uint32_t kClassId = 36;
    static constexpr const char* kPopupHostClassName = "ZorvPopupMenuClass";

    enum : uint16_t {
        kInsertItem = 1,
        kInsertItemSeparator,
        kCheckItem,
        kUnCheckItem,
        kCheckRadioItem,
        kEnableItem,
        kDisableItem,
        kIsChecked,
        kIsEnabled,
        kDeleteItem,
        kModifyItem,
        kGetItemString,
        kOnSelectItem,
        kOpenPopupMenu,
        kSetPrivateData,
        kGetPrivateData,
        kMethodCount,
    };
    static constexpr uint32_t kFirstClassLevelId = kMethodCount - 1;

    // Item ids run from here to 65535 and wrap round: WM_COMMAND carries 16 bits.
    static constexpr uint32_t kFirstItemId = 9001;
    static constexpr uint32_t kLastItemId = 65535;
    // Item references below this (and -1) are positions, from it on item ids.
    static constexpr int32_t kFirstIdReference = 9000;
    // The longest item text kept in the records.
    static constexpr size_t kMaxItemText = 255;

    struct Item {
        uint32_t separator = 0;
        uint32_t submenu = 0;
        uint32_t checked = 0;
        uint32_t disabled = 0;
        std::string text;
        uint32_t id = 0;
        CIMenu* menu = nullptr; // the submenu of a submenu item
    };

    CIMenu(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    // Leaves its holder, which lets go of it, then destroys the menu handle.
    void Destroy(int flag) override;
    // A menu goes with the Window or Menu it belongs to.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new Menu(): a popup; new Menu(window): that Window's menu bar; new Menu(WINDOWMENU):
    // a free menu bar; another integer: a popup.
    void Create() override;

    // A Menu holds its submenus: detaching one takes its item out and rebuilds it.
    void DetachMenu(CMenuContainer* menu) override;
    HMENU GetMenuHandle() const override { return hmenu; }

    // The menu now belongs to `holder` (a Window showing it, or the Menu it is inserted
    // into), or to nothing; the holder's use is counted.
    void SetHolder(CIBaseClassImpl* holder);
    // `window` (a Window) shows the menu in its menu bar: the menu leaves the holder it
    // had, and the menu the window showed before leaves the window as a popup.
    void ShowIn(CIBaseClassImpl* window);

    // A WM_COMMAND of a menu item: OnSelectItem is posted on the nearest menu with a
    // handler, from the menu holding the item up. 1 when an item of a live Menu has the id.
    static int DispatchMenuCommand(CInterpretor& interpreter, WPARAM wParam, LPARAM lParam);

    // ---- Fields ---------------------------------------------------------------------
    uint32_t inserted = 0;
    CValue privateData;
    HMENU hmenu = 0;
    std::vector<Item> items;
    CIBaseClassImpl* parent = nullptr;
    const BlockRecord* onSelectItem = nullptr;

private:
    // An item reference of a method argument: a position, or an item id.
    struct Reference {
        int32_t value;
        bool byId;
        UINT Flags() const;
    };
    Reference ReferenceArg(uint32_t i);
    // The index of the record a reference names in this menu; -1 when none.
    int32_t IndexOf(const Reference& reference) const;
    int32_t IndexOfId(uint32_t id) const;
    // The menu and record holding item `id` in this menu or its submenus, depth first.
    bool FindRecord(const Reference& reference, CIMenu*& menu, int32_t& index);
    // Error 131 for a submenu already inserted, 132 when it is this menu or one of its
    // ancestors.
    void CheckInsertable(CIMenu* submenu);
    // Redraws the menu bar of the Window the chain of holders ends at.
    void RedrawBar();
    // Takes submenu item `index` out (its submenu stays alive) and lets go of it.
    void DetachAt(size_t index);
    // Makes the menu handle again as a popup from the records.
    void RebuildAsPopup();
    void ReleaseItem(const Item& item);

    void InsertItem();
    void InsertItemSeparator();
    void CheckItem();
    void UnCheckItem();
    void CheckRadioItem();
    void EnableItem();
    void DisableItem();
    void IsChecked();
    void IsEnabled();
    void DeleteItem();
    void ModifyItem();
    void GetItemString();
    void OnSelectItem();
    void OpenPopupMenu();
    void SetPrivateData();
    void GetPrivateData();
    void SetChecked(bool checked);
    void SetEnabled(bool enabled);

    static const ScriptMethod<CIMenu> kMethods[kMethodCount];
};

const ScriptClassInfo* GetMenuClassInfo();

// Process-wide item ids (menu_item_ids.cpp): the next free id after the last one given,
// wrapping from 65535 to 9001 and skipping ids still in use; 0 when all are in use. Once
// every id is given back, the next is 9001 again.
uint32_t AcquireMenuItemId();
void ReleaseMenuItemId(uint32_t id);
