#include "classes/window/controls/list_control.h"

#include <string>

#include "classes/window/controls/control_table.h"
#include "script/interpreter/interpretor.h"

CIListControl::CIListControl(CInterpretor* interpreter, const CClassRecord* record,
                             const ListMessages& messages, ControlHandler handler)
    : CIChildWindow(interpreter, record), messages_(messages), handler_(handler) {}

void CIListControl::Destroy(int flag) {
    RemoveParentHandler(*this, handler_, flag);
    CIChildWindow::Destroy(flag);
}

void CIListControl::Create() {
    ParseCreateArgs(0x400005AF, nullptr, 0, 100);
    Register();
}

void CIListControl::RegisterList(const char* className) {
    if (CreateControl(className, 0, this, 0, kCreateChild | kCreateProperty) != 0)
        AddParentHandler(*this, handler_);
    CIChildWindow::Register();
}

LRESULT CIListControl::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(hwnd, message, wParam, lParam);
}

int32_t CIListControl::IntArg(uint32_t i, int32_t fallback) {
    return interpreter->IsArgDefault(i) ? fallback : interpreter->GetArgInt(i);
}

void CIListControl::ReadNumberAndText(int32_t& number, const char*& text) {
    for (uint32_t i = 0; i < 2 && i < uint32_t(interpreter->GetArgCount()); ++i) {
        const CValue* argument = interpreter->GetArg(i);
        if (argument->IsDefault()) continue;
        if (argument->GetType() == kValueString) {
            const char* given = argument->GetString();
            text = given != nullptr ? given : "";
        } else {
            number = argument->GetInt();
        }
    }
}

void CIListControl::Clear() {
    Send(messages_.resetContent);
}

void CIListControl::AddItem() {
    if (interpreter->IsArgDefault(0)) {
        interpreter->GetResultSlot()->SetInt(-1);
        return;
    }
    const char* text = interpreter->GetArgString(0);
    interpreter->GetResultSlot()->SetInt(
        int32_t(Send(messages_.addString, 0, reinterpret_cast<LPARAM>(text))));
}

void CIListControl::InsertItem() {
    int32_t index = -1;
    const char* text = nullptr;
    ReadNumberAndText(index, text);
    if (text == nullptr) {
        interpreter->GetResultSlot()->SetInt(-1);
        return;
    }
    interpreter->GetResultSlot()->SetInt(
        int32_t(Send(messages_.insertString, WPARAM(index), reinterpret_cast<LPARAM>(text))));
}

void CIListControl::DeleteItem() {
    if (!interpreter->IsArgDefault(0))
        Send(messages_.deleteString, WPARAM(interpreter->GetArgInt(0)));
}

void CIListControl::GetSelectedItem() {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(messages_.getCurSel)));
}

void CIListControl::GetItemCount() {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(messages_.getCount)));
}

void CIListControl::Find(UINT message, bool result) {
    int32_t start = -1;
    const char* text = "";
    ReadNumberAndText(start, text);
    LRESULT found = Send(message, WPARAM(start), reinterpret_cast<LPARAM>(text));
    if (result) interpreter->GetResultSlot()->SetInt(int32_t(found));
}

void CIListControl::FindString() {
    Find(messages_.findString, true);
}

void CIListControl::FindStringExact() {
    Find(messages_.findStringExact, true);
}

void CIListControl::SelectString() {
    Find(messages_.selectString, false);
}

void CIListControl::GetItemData() {
    interpreter->GetResultSlot()->SetInt(
        int32_t(Send(messages_.getItemData, WPARAM(IntArg(0, 0)))));
}

void CIListControl::SetItemData() {
    Send(messages_.setItemData, WPARAM(IntArg(0, 0)), LPARAM(IntArg(1, 0)));
}

void CIListControl::GetTopIndex() {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(messages_.getTopIndex)));
}

void CIListControl::SetTopIndex() {
    interpreter->GetResultSlot()->SetInt(
        int32_t(Send(messages_.setTopIndex, WPARAM(IntArg(0, 0)))));
}

void CIListControl::GetHorizontalExtent() {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(messages_.getHorizontalExtent)));
}

void CIListControl::SetHorizontalExtent() {
    Send(messages_.setHorizontalExtent, WPARAM(IntArg(0, 10)));
}

void CIListControl::GetItemHeight() {
    interpreter->GetResultSlot()->SetInt(int32_t(Send(messages_.getItemHeight, 0)));
}

void CIListControl::SetItemHeight() {
    Send(messages_.setItemHeight, 0, LPARAM(IntArg(0, 10) & 0xFFFF));
}

void CIListControl::GetTextAt() {
    CValue* result = interpreter->GetResultSlot();
    if (interpreter->IsArgDefault(0)) {
        result->SetString("", 0);
        return;
    }
    WPARAM index = WPARAM(interpreter->GetArgInt(0));
    LRESULT length = Send(messages_.getTextLength, index);
    if (length <= 0) {
        result->SetString("", 0);
        return;
    }
    std::string text(size_t(length) + 1, '\0');
    LRESULT copied = Send(messages_.getText, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 && copied <= length ? size_t(copied) : 0);
    result->SetString(text.c_str(), 0);
}
