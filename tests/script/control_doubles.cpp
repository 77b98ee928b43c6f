#include "script/control_doubles.h"

#include <cstdio>
#include <map>
#include <string>

#include "classes/window/child_window.h"
#include "classes/window/window_class.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/edit.h"
#include "platform/controls/list_box.h"
#include "script/interpreter/interpretor.h"

namespace script_test {
namespace {

std::map<HWND, WNDPROC>& SpiedControls() {
    static std::map<HWND, WNDPROC> spied;
    return spied;
}
std::string messageLog;
// Messages a control sends itself while it answers one are not the script's.
int spyDepth = 0;

bool Logged(UINT message) {
    return (message >= EM_GETSEL && message <= EM_GETLIMITTEXT) ||
           (message >= CB_LIMITTEXT && message <= CB_SETDROPPEDWIDTH) ||
           (message >= LB_ADDSTRING && message <= LB_ITEMFROMPOINT) ||
           (message >= WM_CUT && message <= WM_UNDO);
}

bool CarriesText(UINT message) {
    switch (message) {
    case EM_REPLACESEL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
    case LB_SELECTSTRING:
    case CB_ADDSTRING:
    case CB_INSERTSTRING:
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
    case CB_SELECTSTRING:
        return true;
    default:
        return false;
    }
}

// Pointers carry nothing worth telling, except texts and tab stops.
bool CarriesPointer(UINT message) {
    switch (message) {
    case EM_GETSEL:
    case EM_GETLINE:
    case LB_GETTEXT:
    case LB_GETSELITEMS:
    case LB_GETITEMRECT:
    case CB_GETLBTEXT:
        return true;
    default:
        return false;
    }
}

void Note(UINT message, WPARAM wParam, LPARAM lParam) {
    char id[16];
    std::snprintf(id, sizeof id, "%X", message);
    std::string entry = id;
    if (message == EM_SETTABSTOPS || message == LB_SETTABSTOPS) {
        entry += ' ' + std::to_string(int32_t(wParam));
        const auto* stops = reinterpret_cast<const int*>(lParam);
        for (WPARAM i = 0; stops != nullptr && i < wParam; ++i)
            entry += (i == 0 ? " " : ",") + std::to_string(stops[i]);
    } else if (message == EM_GETSEL) {
    } else if (CarriesPointer(message)) {
        entry += ' ' + std::to_string(int32_t(wParam));
    } else {
        entry += ' ' + std::to_string(int32_t(wParam));
        if (CarriesText(message))
            entry +=
                " '" + std::string(lParam != 0 ? reinterpret_cast<const char*>(lParam) : "") + "'";
        else
            entry += ' ' + std::to_string(int32_t(lParam));
    }
    if (!messageLog.empty()) messageLog += "; ";
    messageLog += entry;
}

LRESULT SpyProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto found = SpiedControls().find(window);
    if (found == SpiedControls().end()) return DefWindowProcA(window, message, wParam, lParam);
    if (spyDepth == 0 && Logged(message)) Note(message, wParam, lParam);
    WNDPROC next = found->second;
    if (message == WM_NCDESTROY) SpiedControls().erase(found);
    ++spyDepth;
    LRESULT answer = CallWindowProcA(next, window, message, wParam, lParam);
    --spyDepth;
    return answer;
}

CIChildWindow* ControlArg(CInterpretor& in, uint32_t i) {
    auto* control = dynamic_cast<CIChildWindow*>(in.GetArgObject(i));
    if (control == nullptr) in.RaiseError(14);
    return control;
}

} // namespace

void CallControlDouble(CInterpretor& in, ControlDouble which) {
    CValue* result = in.GetResultSlot();
    switch (which) {
    case ControlDouble::SpyMessages: {
        HWND window = ControlArg(in, 0)->hwnd;
        auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
        if (procedure != &SpyProcedure) {
            SpiedControls()[window] = procedure;
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SpyProcedure));
        }
        messageLog.clear();
        break;
    }
    case ControlDouble::Messages:
        result->SetString(messageLog.c_str(), 0);
        messageLog.clear();
        break;
    case ControlDouble::KeepsTab:
        result->SetInt(ControlArg(in, 0)->KeepsTabKey());
        break;
    case ControlDouble::HandlerCount: {
        auto* window = static_cast<CIWindow*>(in.GetArgObjectOfClass(0, CIWindow::kClassId));
        result->SetInt(int32_t(window->handlerCount));
        break;
    }
    case ControlDouble::SendTo:
        result->SetInt(int32_t(SendMessageA(ControlArg(in, 0)->hwnd, UINT(in.GetArgInt(1)),
                                            WPARAM(in.GetArgInt(2)), LPARAM(in.GetArgInt(3)))));
        break;
    case ControlDouble::Count:
        break;
    }
}

} // namespace script_test
