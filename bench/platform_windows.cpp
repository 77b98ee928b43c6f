// The window manager's two hot paths: messages through a subclassed window procedure,
// sent and posted, and a refresh pass that repaints a parent and its 100 children at
// once. Runs on the headless display, so nothing but the window manager is measured.
//
// Each benchmark counts what its procedures saw and fails when a message or a paint went
// missing, so that a run that skips its work cannot pass for a fast one.
#include <benchmark/benchmark.h>

#include <array>

#include "platform/display/display_backend.h"
#include "platform/gdi/screen_dc.h"
#include "platform/user/windows.h"

namespace {

constexpr int kChainDepth = 3;

// The class procedure at the bottom of the chain, and the three that subclass it, each
// passing the message on to the one it replaced.
int64_t reachedBottom = 0;
std::array<WNDPROC, kChainDepth> replaced{};

LRESULT BottomProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) {
        ++reachedBottom;
        return static_cast<LRESULT>(wParam) + 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

template <int Level>
LRESULT SubclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(replaced[Level], window, message, wParam, lParam);
}

void UseHeadlessDisplay() {
    static bool installed = [] {
        platform::SetActiveDisplay(platform::MakeHeadlessDisplay());
        return true;
    }();
    benchmark::DoNotOptimize(installed);
}

// A hidden window of the bottom class, subclassed three deep; destroyed with the object.
class ChainedWindow {
public:
    ChainedWindow() {
        UseHeadlessDisplay();
        static bool registered = [] {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = BottomProcedure;
            windowClass.lpszClassName = "BenchChainBottom";
            return RegisterClassA(&windowClass) != 0;
        }();
        benchmark::DoNotOptimize(registered);
        handle = CreateWindowExA(0, "BenchChainBottom", nullptr, WS_POPUP, 0, 0, 10, 10, 0, 0, 0,
                                 nullptr);
        const std::array<WNDPROC, kChainDepth> chain{SubclassProcedure<0>, SubclassProcedure<1>,
                                                     SubclassProcedure<2>};
        for (int level = 0; level < kChainDepth; ++level) {
            replaced[level] = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain[level])));
        }
    }
    ~ChainedWindow() { DestroyWindow(handle); }
    ChainedWindow(const ChainedWindow&) = delete;
    ChainedWindow& operator=(const ChainedWindow&) = delete;
    HWND handle = 0;
};

void BM_SendThroughSubclassChain(benchmark::State& state) {
    ChainedWindow window;
    reachedBottom = 0;
    WPARAM sent = 0;
    for (auto _ : state) {
        LRESULT result = SendMessageA(window.handle, WM_USER, sent, 0);
        if (result != static_cast<LRESULT>(sent) + 1) {
            state.SkipWithError("a sent message came back with the wrong result");
            break;
        }
        ++sent;
    }
    if (reachedBottom != static_cast<int64_t>(sent))
        state.SkipWithError("a sent message never reached the class procedure");
    state.SetItemsProcessed(static_cast<int64_t>(sent));
}
BENCHMARK(BM_SendThroughSubclassChain);

// Posts a batch, then takes and dispatches it as a message loop does.
void BM_PostAndDispatchThroughSubclassChain(benchmark::State& state) {
    constexpr int kBatch = 100;
    ChainedWindow window;
    reachedBottom = 0;
    int64_t dispatched = 0;
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i)
            PostMessageA(window.handle, WM_USER, static_cast<WPARAM>(i), 0);
        MSG msg;
        for (int i = 0; i < kBatch; ++i) {
            if (GetMessageA(&msg, 0, 0, 0) <= 0) {
                state.SkipWithError("the message loop ended early");
                return;
            }
            DispatchMessageA(&msg);
        }
        dispatched += kBatch;
    }
    if (reachedBottom != dispatched)
        state.SkipWithError("a posted message never reached the class procedure");
    state.SetItemsProcessed(dispatched);
}
BENCHMARK(BM_PostAndDispatchThroughSubclassChain);

// The refresh pass: a parent with a 10 x 10 grid of small children, each filling its
// update rectangle with its own brush when painted.
constexpr int kGrid = 10;
constexpr int kCell = 24;
int64_t childPaints = 0;
HBRUSH childBrush = 0;

LRESULT ChildProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        FillRect(dc, &paint.rcPaint, childBrush);
        EndPaint(window, &paint);
        ++childPaints;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class ChildGrid {
public:
    ChildGrid() {
        UseHeadlessDisplay();
        static bool registered = [] {
            childBrush = CreateSolidBrush(RGB(200, 40, 40));
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = ChildProcedure;
            windowClass.lpszClassName = "BenchGridChild";
            bool child = RegisterClassA(&windowClass) != 0;
            windowClass.lpfnWndProc = DefWindowProcA;
            windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
            windowClass.lpszClassName = "BenchGridParent";
            return child && RegisterClassA(&windowClass) != 0;
        }();
        benchmark::DoNotOptimize(registered);
        parent = CreateWindowExA(0, "BenchGridParent", nullptr, WS_POPUP | WS_VISIBLE, 0, 0,
                                 kGrid * (kCell + 4), kGrid * (kCell + 4), 0, 0, 0, nullptr);
        for (int row = 0; row < kGrid; ++row) {
            for (int column = 0; column < kGrid; ++column) {
                CreateWindowExA(0, "BenchGridChild", nullptr, WS_CHILD | WS_VISIBLE,
                                column * (kCell + 4) + 2, row * (kCell + 4) + 2, kCell, kCell,
                                parent, static_cast<HMENU>(row * kGrid + column + 1), 0, nullptr);
            }
        }
        UpdateWindow(parent);
    }
    ~ChildGrid() { DestroyWindow(parent); }
    ChildGrid(const ChildGrid&) = delete;
    ChildGrid& operator=(const ChildGrid&) = delete;
    HWND parent = 0;
};

void CheckPaints(benchmark::State& state, int64_t passes) {
    if (childPaints != passes * kGrid * kGrid)
        state.SkipWithError("a child was not painted on every pass");
    state.SetItemsProcessed(passes * kGrid * kGrid);
}

void BM_RedrawParentAndHundredChildren(benchmark::State& state) {
    ChildGrid grid;
    childPaints = 0;
    int64_t passes = 0;
    for (auto _ : state) {
        RedrawWindow(grid.parent, nullptr, 0,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        ++passes;
    }
    CheckPaints(state, passes);
}
BENCHMARK(BM_RedrawParentAndHundredChildren);

void BM_InvalidateAndUpdateParentAndHundredChildren(benchmark::State& state) {
    ChildGrid grid;
    childPaints = 0;
    int64_t passes = 0;
    for (auto _ : state) {
        InvalidateRect(grid.parent, nullptr, TRUE);
        UpdateWindow(grid.parent);
        ++passes;
    }
    CheckPaints(state, passes);
}
BENCHMARK(BM_InvalidateAndUpdateParentAndHundredChildren);

} // namespace
