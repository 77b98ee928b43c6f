#include "script/window_doubles.h"

#include <map>
#include <string>
#include <vector>

#include "classes/window/window_class.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"
#include "platform/kernel/test_hooks.h"
#include "platform/user/input/keyboard_state.h"
#include "platform/user/paint/update_region.h"
#include "platform/user/sys_commands.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/run_application.h"

namespace script_test {
namespace {

namespace headless = platform::headless;

// The windows under the spy, with their procedure and the moves counted.
struct Spied {
    WNDPROC procedure;
    int moves;
};
std::map<HWND, Spied>& SpiedWindows() {
    static std::map<HWND, Spied> spied;
    return spied;
}

LRESULT SpyProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto found = SpiedWindows().find(window);
    if (found == SpiedWindows().end()) return DefWindowProcA(window, message, wParam, lParam);
    WNDPROC procedure = found->second.procedure;
    if (message == WM_WINDOWPOSCHANGING) {
        const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        if ((position->flags & SWP_NOMOVE) == 0) ++found->second.moves;
    }
    return CallWindowProcA(procedure, window, message, wParam, lParam);
}

// The handlers of AddHandlers: A takes WM_COMMAND 777 (answer 55), B only looks, and the
// menu handler takes nothing. Each notes the messages worth telling.
std::string handlerLog;
MenuCommandHandler menuHandlerBefore = nullptr;
bool menuHandlerReplaced = false;

void Note(const char* who, UINT message) {
    if (message != WM_COMMAND && message != WM_PAINT && message != WM_TIMER &&
        message != WM_LBUTTONDOWN)
        return;
    if (!handlerLog.empty()) handlerLog += ' ';
    handlerLog += who + std::to_string(message);
}

LRESULT HandlerA(BOOL& handled, HWND, UINT message, WPARAM wParam, LPARAM) {
    Note("A", message);
    if (message != WM_COMMAND || LOWORD(wParam) != 777) return 0;
    handled = TRUE;
    return 55;
}

LRESULT HandlerB(BOOL&, HWND, UINT message, WPARAM, LPARAM) {
    Note("B", message);
    return 0;
}

int MenuHandler(CInterpretor&, WPARAM, LPARAM) {
    handlerLog += handlerLog.empty() ? "M" : " M";
    return 0;
}

HWND WindowArg(CInterpretor& interpreter, uint32_t i) {
    CIBaseClassImpl* object = interpreter.GetArgObjectOfClass(i, CIWindow::kClassId);
    return static_cast<CIWindow*>(object)->hwnd;
}

headless::Button ButtonArg(CInterpretor& interpreter, uint32_t i) {
    if (interpreter.IsArgDefault(i)) return headless::Button::Left;
    switch (interpreter.GetArgInt(i)) {
    case 1:
        return headless::Button::Right;
    case 2:
        return headless::Button::Middle;
    default:
        return headless::Button::Left;
    }
}

} // namespace

void CallWindowDouble(CInterpretor& in, WindowDouble which) {
    CValue* result = in.GetResultSlot();
    switch (which) {
    case WindowDouble::Click:
        headless::Click(WindowArg(in, 0), ButtonArg(in, 3), in.GetArgInt(1), in.GetArgInt(2));
        break;
    case WindowDouble::DblClick:
        headless::Click(WindowArg(in, 0), headless::Button::Left, in.GetArgInt(1), in.GetArgInt(2));
        headless::Click(WindowArg(in, 0), headless::Button::Left, in.GetArgInt(1), in.GetArgInt(2));
        break;
    case WindowDouble::Press:
        headless::PressMouse(WindowArg(in, 0), ButtonArg(in, 3), in.GetArgInt(1), in.GetArgInt(2));
        break;
    case WindowDouble::MoveMouse:
        headless::MoveMouse(WindowArg(in, 0), in.GetArgInt(1), in.GetArgInt(2));
        break;
    case WindowDouble::Wheel:
        headless::TurnWheel(WindowArg(in, 0), in.GetArgInt(1), in.GetArgInt(2), in.GetArgInt(3));
        break;
    case WindowDouble::Key:
        headless::PressKey(in.GetArgInt(0));
        break;
    case WindowDouble::Type:
        headless::TypeText(in.GetArgString(0));
        break;
    case WindowDouble::Drop: {
        std::vector<std::string> names;
        for (int32_t i = 3; i < in.GetArgCount(); ++i)
            names.emplace_back(in.GetArgString(uint32_t(i)));
        result->SetInt(
            headless::DropFiles(WindowArg(in, 0), in.GetArgInt(1), in.GetArgInt(2), names) ? 1 : 0);
        break;
    }
    case WindowDouble::Close:
        headless::RequestClose(WindowArg(in, 0));
        break;
    case WindowDouble::Advance:
        headless::AdvanceTime(DWORD(in.GetArgInt(0)));
        break;
    case WindowDouble::Dispatch:
        result->SetInt(headless::DispatchPending());
        break;
    case WindowDouble::RefreshNow:
        in.RefreshPass();
        break;
    case WindowDouble::Send:
        result->SetInt(
            int32_t(SendMessageA(WindowArg(in, 0), UINT(in.GetArgInt(1)),
                                 WPARAM(uint32_t(in.GetArgInt(2))), LPARAM(in.GetArgInt(3)))));
        break;
    case WindowDouble::Style:
        result->SetInt(GetWindowLongA(WindowArg(in, 0), GWL_STYLE));
        break;
    case WindowDouble::ExStyle:
        result->SetInt(GetWindowLongA(WindowArg(in, 0), GWL_EXSTYLE));
        break;
    case WindowDouble::Sizing: {
        RECT rect{in.GetArgInt(2), in.GetArgInt(3), in.GetArgInt(4), in.GetArgInt(5)};
        SendMessageA(WindowArg(in, 0), WM_SIZING, WPARAM(in.GetArgInt(1)),
                     reinterpret_cast<LPARAM>(&rect));
        std::string text = std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
                           std::to_string(rect.right) + " " + std::to_string(rect.bottom);
        result->SetString(text.c_str(), 0);
        break;
    }
    case WindowDouble::Spy: {
        HWND window = WindowArg(in, 0);
        auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
        if (procedure == &SpyProcedure) {
            SpiedWindows()[window].moves = 0;
            break;
        }
        SpiedWindows()[window] = Spied{procedure, 0};
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SpyProcedure));
        break;
    }
    case WindowDouble::Moves: {
        auto found = SpiedWindows().find(WindowArg(in, 0));
        result->SetInt(found != SpiedWindows().end() ? found->second.moves : -1);
        break;
    }
    case WindowDouble::Handle:
        result->SetInt(int32_t(WindowArg(in, 0)));
        break;
    case WindowDouble::Active: {
        HWND active = GetActiveWindow();
        result->SetObject(active != 0 ? GetWindowObject(active, kWindowObjectProperty) : nullptr,
                          1);
        break;
    }
    case WindowDouble::Flashes:
        result->SetInt(int32_t(headless::Flashes().size()));
        break;
    case WindowDouble::SavePicture:
        result->SetInt(headless::WritePng(WindowArg(in, 0), in.GetArgString(1)) ? 1 : 0);
        break;
    case WindowDouble::AddHandlers: {
        auto* window = static_cast<CIWindow*>(in.GetArgObjectOfClass(0, CIWindow::kClassId));
        window->AddControlHandler(&HandlerA);
        window->AddControlHandler(&HandlerB);
        if (!menuHandlerReplaced) menuHandlerBefore = GetMenuCommandHandler();
        menuHandlerReplaced = true;
        SetMenuCommandHandler(&MenuHandler);
        break;
    }
    case WindowDouble::HandlerLog:
        result->SetString(handlerLog.c_str(), 0);
        handlerLog.clear();
        break;
    case WindowDouble::Focus: {
        auto* window = static_cast<CIWindow*>(in.GetArgObjectOfClass(0, CIWindow::kClassId));
        auto* control =
            in.IsArgDefault(2)
                ? nullptr
                : static_cast<CIChildWindow*>(in.GetArgObjectOfClass(2, CIWindow::kClassId));
        switch (in.GetArgInt(1)) {
        case 0:
            result->SetInt(window->FocusFirstControl());
            break;
        case 1:
            result->SetInt(window->FocusLastControl());
            break;
        case 2:
            result->SetInt(window->FocusNextControl(control));
            break;
        default:
            result->SetInt(window->FocusPreviousControl(control));
            break;
        }
        break;
    }
    case WindowDouble::Pixel: {
        headless::Pixels pixels;
        int x = in.GetArgInt(1);
        int y = in.GetArgInt(2);
        bool inside = headless::ReadPixels(WindowArg(in, 0), pixels) && x >= 0 && y >= 0 &&
                      x < pixels.width && y < pixels.height;
        result->SetInt(inside ? int32_t(pixels.At(x, y)) : -1);
        break;
    }
    case WindowDouble::RegionRects:
    case WindowDouble::InRegion: {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        platform::Region pixels;
        bool has =
            GetWindowRgn(WindowArg(in, 0), region) != ERROR && platform::RegionOf(region, pixels);
        if (which == WindowDouble::RegionRects)
            result->SetInt(has ? int32_t(pixels.Rects().size()) : -1);
        else
            result->SetInt(has && pixels.Contains(in.GetArgInt(1), in.GetArgInt(2)) ? 1 : 0);
        DeleteObject(region);
        break;
    }
    case WindowDouble::Icon:
        result->SetInt(SendMessageA(WindowArg(in, 0), WM_GETICON,
                                    in.GetArgInt(1) != 0 ? ICON_BIG : ICON_SMALL, 0) != 0
                           ? 1
                           : 0);
        break;
    case WindowDouble::Count:
        break;
    }
}

void BeginWindowRun() {
    headless::Install();
    InitGlobalUI();
}

void EndWindowRun() {
    if (menuHandlerReplaced) SetMenuCommandHandler(menuHandlerBefore);
    menuHandlerReplaced = false;
    handlerLog.clear();
    ShutdownGlobalUI();
    SpiedWindows().clear();
    platform::test::UnfreezeClock();
    // The key state is the process's: a run that ends with a key held must not hand it to
    // the next run in the same process.
    for (int key = 0; key < 256; ++key)
        platform::test::SetKeyDown(key, false);
}

} // namespace script_test
