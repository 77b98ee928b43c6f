// The ListBox class: a column of texts to choose one or several from, on the system's
// "LISTBOX" control, with its selection, geometry and tab stops, and events for selection
// changes, double clicks and focus.
#pragma once

#include <cstdint>

#include "classes/window/controls/list_control.h"

class CIListBox : public CIListControl {
public:
    static constexpr uint32_t kClassId = 0x13;
    static constexpr uint32_t kFirstClassLevelId = 74;

    CIListBox(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Register() override;

    static LRESULT Handler(BOOL& handled, HWND parentHwnd, UINT message, WPARAM wParam,
                           LPARAM lParam);

    const BlockRecord* onDblClick = nullptr;
    const BlockRecord* onSelChanged = nullptr;
    const BlockRecord* onKillFocus = nullptr;
    const BlockRecord* onSetFocus = nullptr;

    void SelectItem();
    void GetSelectedCount();
    void OnDblClick();
    void OnSelChanged();
    void GetCaretIndex();
    void SetCaretIndex();
    void GetItemRectLeft();
    void GetItemRectTop();
    void GetItemRectWidth();
    void GetItemRectHeight();
    void IsItemSelected();
    void GetTextLength();
    void GetItemAtXY();
    void SelectRange();
    void SetTabStops();
    void OnKillFocus();
    void OnSetFocus();
    void GetSelectedItems();

private:
    // LBS_MULTIPLESEL or LBS_EXTENDEDSEL, as the style is now.
    bool IsMultiSelection();
    // The item rectangle of the index argument.
    RECT ItemRect();
};

const ScriptClassInfo* GetListBoxClassInfo();
