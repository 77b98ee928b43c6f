// The tree view on the headless display: 5,000 items filled in (100 parents of 49 children,
// all open) and the whole tree painted page by page as it scrolls; then 1,000 to 20,000
// items, in that shape and as one flat list, to show that the time per item stays the same.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/controls/tree_view.h"
#include "platform/display/display_backend.h"
#include "platform/user/windows.h"

namespace {

HWND Parent() {
    static HWND parent = [] {
        platform::SetActiveDisplay(platform::MakeHeadlessDisplay());
        WNDCLASSA parentClass{};
        parentClass.lpfnWndProc = DefWindowProcA;
        parentClass.lpszClassName = "BenchTreeParent";
        RegisterClassA(&parentClass);
        return CreateWindowExA(0, "BenchTreeParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, 0,
                               0, 0, nullptr);
    }();
    return parent;
}

HTREEITEM Add(HWND tree, HTREEITEM parent, const std::string& text) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_STATE;
    insert.item.pszText = const_cast<LPSTR>(text.c_str());
    insert.item.state = insert.item.stateMask = TVIS_EXPANDED;
    return static_cast<HTREEITEM>(
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

HWND MakeTree() {
    return CreateWindowExA(0, WC_TREEVIEWA, "",
                           WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES |
                               TVS_LINESATROOT,
                           0, 0, 300, 400, Parent(), 0, 0, nullptr);
}

// `count` items: parents of 49 children each, or all at the top with `flat`.
void Fill(HWND tree, int count = 5000, bool flat = false) {
    for (int p = 0; p < count / 50; ++p) {
        HTREEITEM parent = Add(tree, TVI_ROOT, "Player " + std::to_string(p));
        for (int c = 0; c < 49; ++c)
            Add(tree, flat ? TVI_ROOT : parent, "command " + std::to_string(c));
    }
}

void Fills(benchmark::State& state, int count, bool flat) {
    for (auto _ : state) {
        HWND tree = MakeTree();
        Fill(tree, count, flat);
        if (SendMessageA(tree, TVM_GETCOUNT, 0, 0) != count) state.SkipWithError("items lost");
        DestroyWindow(tree);
    }
    state.SetComplexityN(count);
}

void BM_TreeViewFills5000(benchmark::State& state) {
    Fills(state, 5000, false);
}
BENCHMARK(BM_TreeViewFills5000)->Unit(benchmark::kMillisecond);

void BM_TreeViewFillsParents(benchmark::State& state) {
    Fills(state, static_cast<int>(state.range(0)), false);
}
BENCHMARK(BM_TreeViewFillsParents)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(20000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void BM_TreeViewFillsFlat(benchmark::State& state) {
    Fills(state, static_cast<int>(state.range(0)), true);
}
BENCHMARK(BM_TreeViewFillsFlat)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(20000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void Paints(benchmark::State& state, int count) {
    HWND tree = MakeTree();
    Fill(tree, count);
    for (auto _ : state) {
        for (int page = 0; page < count; page += 20) {
            SendMessageA(tree, WM_VSCROLL, SB_PAGEDOWN, 0);
            UpdateWindow(tree);
        }
        SendMessageA(tree, WM_VSCROLL, SB_TOP, 0);
    }
    DestroyWindow(tree);
    state.SetComplexityN(count);
}

void BM_TreeViewPaints5000(benchmark::State& state) {
    Paints(state, 5000);
}
BENCHMARK(BM_TreeViewPaints5000)->Unit(benchmark::kMillisecond);

void BM_TreeViewPaintsAll(benchmark::State& state) {
    Paints(state, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_TreeViewPaintsAll)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(20000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

} // namespace
