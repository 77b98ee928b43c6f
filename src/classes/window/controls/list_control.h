// What the ListBox and the ComboBox share: a list of texts with item data, searched,
// scrolled and measured by messages that differ between the two only in their numbers.
// Each class gives its numbers in a ListMessages record.
#pragma once

#include <cstdint>

#include "classes/window/child_window.h"
#include "classes/window/window_class.h"

struct ListMessages {
    UINT resetContent;
    UINT addString;
    UINT insertString;
    UINT deleteString;
    UINT getCurSel;
    UINT getCount;
    UINT findString;
    UINT findStringExact;
    UINT selectString;
    UINT getItemData;
    UINT setItemData;
    UINT getTopIndex;
    UINT setTopIndex;
    UINT getHorizontalExtent;
    UINT setHorizontalExtent;
    UINT getItemHeight;
    UINT setItemHeight;
    UINT getTextLength;
    UINT getText;
};

class CIListControl : public CIChildWindow {
public:
    CIListControl(CInterpretor* interpreter, const CClassRecord* record,
                  const ListMessages& messages, ControlHandler handler);

    // Leaves the parent's handler chain (unless the interpreter is clearing up).
    void Destroy(int flag) override;
    // new ListBox / ComboBox([parent], [caption], [constants...], [x], [y], [width], [height]).
    void Create() override;

    void Clear();
    void AddItem();
    void InsertItem();
    void DeleteItem();
    void GetSelectedItem();
    void GetItemCount();
    void FindString();
    void FindStringExact();
    void SelectString();
    void GetItemData();
    void SetItemData();
    void GetTopIndex();
    void SetTopIndex();
    void GetHorizontalExtent();
    void SetHorizontalExtent();
    void GetItemHeight();
    void SetItemHeight();
    void GetTextAt();

protected:
    // Makes the control of `className` and joins the parent's handler chain.
    void RegisterList(const char* className);
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // An optional integer argument.
    int32_t IntArg(uint32_t i, int32_t fallback);
    // Arguments 0 and 1 in either order: a text and a number, each kept when not given.
    void ReadNumberAndText(int32_t& number, const char*& text);
    void Find(UINT message, bool result);

    const ListMessages& messages_;
    ControlHandler handler_;
};
