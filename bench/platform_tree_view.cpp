// The tree view on the headless display: 5,000 items filled in (100 parents of 49 children,
// all open) and the whole tree painted page by page as it scrolls.
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

void Fill(HWND tree) {
    for (int p = 0; p < 100; ++p) {
        HTREEITEM parent = Add(tree, TVI_ROOT, "Player " + std::to_string(p));
        for (int c = 0; c < 49; ++c)
            Add(tree, parent, "command " + std::to_string(c));
    }
}

void BM_TreeViewFills5000(benchmark::State& state) {
    for (auto _ : state) {
        HWND tree = MakeTree();
        Fill(tree);
        if (SendMessageA(tree, TVM_GETCOUNT, 0, 0) != 5000) state.SkipWithError("items lost");
        DestroyWindow(tree);
    }
}
BENCHMARK(BM_TreeViewFills5000)->Unit(benchmark::kMillisecond);

void BM_TreeViewPaints5000(benchmark::State& state) {
    HWND tree = MakeTree();
    Fill(tree);
    for (auto _ : state) {
        for (int page = 0; page < 5000; page += 20) {
            SendMessageA(tree, WM_VSCROLL, SB_PAGEDOWN, 0);
            UpdateWindow(tree);
        }
        SendMessageA(tree, WM_VSCROLL, SB_TOP, 0);
    }
    DestroyWindow(tree);
}
BENCHMARK(BM_TreeViewPaints5000)->Unit(benchmark::kMillisecond);

} // namespace
