// Painting a window of 100 standard controls (push buttons, check boxes, statics, progress
// bars and trackbars, 20 of each) from one invalidation, on the headless display, so that
// the controls' drawing through the GDI is what is measured.
//
// The benchmark counts the paints the controls asked of their parent's colours and fails
// when one went missing, so that a run that skips its work cannot pass for a fast one.
// Opening a popup menu of 50 items counts the popups that reached the menu loop's wait
// in the same spirit.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/controls/button.h"
#include "platform/controls/progress_bar.h"
#include "platform/controls/static_text.h"
#include "platform/controls/trackbar.h"
#include "platform/display/display_backend.h"
#include "platform/user/input/input.h"
#include "platform/user/menus/menu_test_hooks.h"
#include "platform/user/windows.h"

namespace {

int64_t colorRequests = 0;

LRESULT ParentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) ++colorRequests;
    return DefWindowProcA(window, message, wParam, lParam);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

void BM_PaintHundredControls(benchmark::State& state) {
    platform::SetActiveDisplay(platform::MakeHeadlessDisplay());
    WNDCLASSA parentClass{};
    parentClass.lpfnWndProc = ParentProcedure;
    parentClass.hbrBackground = COLOR_BTNFACE + 1;
    parentClass.lpszClassName = "BenchControlParent";
    RegisterClassA(&parentClass);
    HWND parent = CreateWindowExA(0, "BenchControlParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 640,
                                  480, 0, 0, 0, nullptr);
    for (int i = 0; i < 100; ++i) {
        int x = (i % 5) * 128, y = (i / 5) * 24;
        DWORD style = WS_CHILD | WS_VISIBLE;
        const char* className = "BUTTON";
        switch (i % 5) {
        case 0:
            style |= BS_PUSHBUTTON;
            break;
        case 1:
            style |= BS_AUTOCHECKBOX;
            break;
        case 2:
            className = "STATIC";
            break;
        case 3:
            className = "msctls_progress32";
            break;
        default:
            className = "msctls_trackbar32";
            style |= TBS_AUTOTICKS;
            break;
        }
        HWND control = CreateWindowExA(0, className, "Control text", style, x, y, 124, 22, parent,
                                       static_cast<HMENU>(i + 1), 0, nullptr);
        SendMessageA(control, PBM_SETPOS, 50, 0);
        SendMessageA(control, TBM_SETPOS, TRUE, 50);
    }
    Pump();
    colorRequests = 0;
    int64_t passes = 0;
    for (auto _ : state) {
        RedrawWindow(parent, nullptr, 0,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        ++passes;
    }
    // Buttons, check boxes, statics and trackbars ask their parent's colours; 80 a pass.
    if (colorRequests != passes * 80) state.SkipWithError("a control did not paint");
    DestroyWindow(parent);
    UnregisterClassA("BenchControlParent", 0);
}
BENCHMARK(BM_PaintHundredControls)->Unit(benchmark::kMicrosecond);

// Opening a popup menu of 50 items with TrackPopupMenu: laying out and measuring the items,
// making and painting the popup window; Escape closes it as soon as the loop waits.
void BM_OpenFiftyItemPopup(benchmark::State& state) {
    platform::SetActiveDisplay(platform::MakeHeadlessDisplay());
    HWND owner =
        CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, 0, 0, 0, nullptr);
    HMENU menu = CreatePopupMenu();
    for (UINT i = 0; i < 50; ++i) {
        std::string text = "&Item " + std::to_string(i) + "\tCtrl+" + std::to_string(i);
        AppendMenuA(menu, (i % 7 == 3 ? MF_CHECKED : 0) | MF_STRING, 100 + i, text.c_str());
    }
    Pump();
    int64_t waits = 0;
    platform::test::SetMenuWaitHook([&](HWND popup) {
        if (popup != 0) ++waits;
        PostMessageA(owner, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    int64_t passes = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TrackPopupMenu(menu, TPM_RETURNCMD, 300, 200, 0, owner, nullptr));
        ++passes;
    }
    platform::test::SetMenuWaitHook(nullptr);
    if (waits != passes) state.SkipWithError("a popup did not open");
    DestroyMenu(menu);
    DestroyWindow(owner);
}
BENCHMARK(BM_OpenFiftyItemPopup)->Unit(benchmark::kMicrosecond);

} // namespace
