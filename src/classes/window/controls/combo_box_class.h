// The ComboBox class: a field above a list of choices, on the system's "COMBOBOX" control,
// with events for selection changes, double clicks, edits and focus.
#pragma once

#include <cstdint>

#include "classes/window/controls/list_control.h"

class CIComboBox : public CIListControl {
public:
    static constexpr uint32_t kClassId = 0x11;
    static constexpr uint32_t kFirstClassLevelId = 71;

    CIComboBox(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Register() override;

    static LRESULT Handler(BOOL& handled, HWND parentHwnd, UINT message, WPARAM wParam,
                           LPARAM lParam);

    const BlockRecord* onDblClick = nullptr;
    const BlockRecord* onSelChanged = nullptr;
    const BlockRecord* onEditChanged = nullptr;
    const BlockRecord* onSetFocus = nullptr;
    const BlockRecord* onKillFocus = nullptr;

    void SelectItem();
    void OnSelChanged();
    void OnDblClick();
    void OnEditChanged();
    void OnSetFocus();
    void OnKillFocus();
    void IsDroppedDown();
    void SetEditTextLimit();
    void GetTextLengthAt();
    void ShowDropDown();
    void HideDropDown();
    void GetEditHeight();
    void SetEditHeight();
    void GetDroppedWidth();
    void SetDroppedWidth();
};

const ScriptClassInfo* GetComboBoxClassInfo();
