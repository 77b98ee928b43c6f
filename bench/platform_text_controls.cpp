// The text controls on the headless display: a sorted list box filled with 50,000 items and
// scrolled through, and an edit holding a megabyte of text in 100,000 lines, set at once,
// typed into at its start (also wrapped), asked about its lines and painted.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "platform/controls/edit.h"
#include "platform/controls/list_box.h"
#include "platform/display/display_backend.h"
#include "platform/user/windows.h"

namespace {

HWND Parent() {
    static HWND parent = [] {
        platform::SetActiveDisplay(platform::MakeHeadlessDisplay());
        WNDCLASSA parentClass{};
        parentClass.lpfnWndProc = DefWindowProcA;
        parentClass.lpszClassName = "BenchTextParent";
        RegisterClassA(&parentClass);
        return CreateWindowExA(0, "BenchTextParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, 0,
                               0, 0, nullptr);
    }();
    return parent;
}

std::string MegabyteOfLines() {
    std::string text;
    for (int line = 0; line < 100000; ++line)
        text += "line " + std::to_string(line) + " of the text\r\n";
    return text;
}

void BM_SortedListBoxAdds50000(benchmark::State& state) {
    std::mt19937 random(5);
    std::vector<std::string> texts;
    for (int i = 0; i < 50000; ++i)
        texts.push_back("item " + std::to_string(random()));
    for (auto _ : state) {
        HWND box = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_SORT | WS_VSCROLL,
                                   0, 0, 200, 300, Parent(), 0, 0, nullptr);
        for (const std::string& text : texts)
            SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        for (int top = 0; top < 50000; top += 500) {
            SendMessageA(box, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
            UpdateWindow(box);
        }
        if (SendMessageA(box, LB_GETCOUNT, 0, 0) != 50000) state.SkipWithError("items lost");
        DestroyWindow(box);
    }
}
BENCHMARK(BM_SortedListBoxAdds50000)->Unit(benchmark::kMillisecond);

// Without ES_AUTOHSCROLL the edit wraps its lines at its width.
struct BigEdit {
    explicit BigEdit(DWORD wrap = ES_AUTOHSCROLL) : text(MegabyteOfLines()) {
        edit = CreateWindowExA(0, "EDIT", "",
                               WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | wrap |
                                   WS_VSCROLL,
                               0, 0, 600, 400, Parent(), 0, 0, nullptr);
        SendMessageA(edit, EM_LIMITTEXT, 0, 0);
        SetWindowTextA(edit, text.c_str());
    }
    ~BigEdit() { DestroyWindow(edit); }
    std::string text;
    HWND edit = 0;
};

void BM_EditSetsAMegabyte(benchmark::State& state) {
    BigEdit big;
    for (auto _ : state)
        SetWindowTextA(big.edit, big.text.c_str());
}
BENCHMARK(BM_EditSetsAMegabyte)->Unit(benchmark::kMillisecond);

void BM_EditKeystrokeAtTheStartOfAMegabyte(benchmark::State& state) {
    BigEdit big;
    for (auto _ : state) {
        SendMessageA(big.edit, EM_SETSEL, 0, 0);
        SendMessageA(big.edit, WM_CHAR, 'x', 0);
        SendMessageA(big.edit, WM_CHAR, 8, 0);
    }
}
BENCHMARK(BM_EditKeystrokeAtTheStartOfAMegabyte)->Unit(benchmark::kMicrosecond);

// A narrow wrapped edit shows each line of the text on two or three: the keystroke breaks
// again only the line it changes.
void BM_WrappedEditKeystrokeAtTheStartOfAMegabyte(benchmark::State& state) {
    BigEdit big(0);
    SetWindowPos(big.edit, 0, 0, 0, 80, 400, SWP_NOMOVE | SWP_NOZORDER);
    for (auto _ : state) {
        SendMessageA(big.edit, EM_SETSEL, 0, 0);
        SendMessageA(big.edit, WM_CHAR, 'x', 0);
        SendMessageA(big.edit, WM_CHAR, 8, 0);
    }
}
BENCHMARK(BM_WrappedEditKeystrokeAtTheStartOfAMegabyte)->Unit(benchmark::kMicrosecond);

void BM_WrappedEditSetsAMegabyte(benchmark::State& state) {
    BigEdit big(0);
    SetWindowPos(big.edit, 0, 0, 0, 80, 400, SWP_NOMOVE | SWP_NOZORDER);
    for (auto _ : state)
        SetWindowTextA(big.edit, big.text.c_str());
}
BENCHMARK(BM_WrappedEditSetsAMegabyte)->Unit(benchmark::kMillisecond);

void BM_EditLineQueriesOver100000Lines(benchmark::State& state) {
    BigEdit big;
    int length = static_cast<int>(big.text.size());
    for (auto _ : state)
        for (int position = 0; position < length; position += 997) {
            LRESULT line =
                SendMessageA(big.edit, EM_LINEFROMCHAR, static_cast<WPARAM>(position), 0);
            benchmark::DoNotOptimize(
                SendMessageA(big.edit, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
        }
}
BENCHMARK(BM_EditLineQueriesOver100000Lines)->Unit(benchmark::kMicrosecond);

void BM_EditPaintsAFullWindow(benchmark::State& state) {
    BigEdit big;
    SendMessageA(big.edit, EM_LINESCROLL, 0, 50000);
    for (auto _ : state) {
        InvalidateRect(big.edit, nullptr, TRUE);
        UpdateWindow(big.edit);
    }
}
BENCHMARK(BM_EditPaintsAFullWindow)->Unit(benchmark::kMicrosecond);

} // namespace
