#include <string>
#include <vector>

#include "platform/user/input/input_fixture.h"
#include "platform/display/display_backend.h"
#include "platform/user/input/drag_drop.h"

namespace {

using input_test::DrainQueue;
using input_test::Make;
using input_test::Recorder;
using platform::InjectDrop;
using platform::LiveDropCount;

class DragDrop : public input_test::InputTest {
protected:
    void TearDown() override {
        InputTest::TearDown();
        for (HDROP drop : taken)
            DragFinish(drop);
    }
    // The drops waiting in the queue, taken without dispatching: (window, drop).
    std::vector<std::pair<HWND, HDROP>> Delivered() {
        std::vector<std::pair<HWND, HDROP>> found;
        MSG msg;
        while (input_test::Next(msg, 0, 0)) {
            if (msg.message != WM_DROPFILES) continue;
            found.emplace_back(msg.hwnd, static_cast<HDROP>(msg.wParam));
            taken.push_back(static_cast<HDROP>(msg.wParam));
        }
        return found;
    }
    static std::string Name(HDROP drop, UINT index) {
        std::string name(DragQueryFileA(drop, index, nullptr, 0), '\0');
        DragQueryFileA(drop, index, name.data(), static_cast<UINT>(name.size() + 1));
        return name;
    }
    std::vector<HDROP> taken;
};

TEST_F(DragDrop, TheWindowUnderThePointOrItsNearestAcceptingAncestorGetsTheDrop) {
    HWND top = Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 300));
    HWND child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, top);
    Make(WS_CHILD | WS_VISIBLE, 20, 20, 50, 50, child);
    HWND owned = Keep(Make(WS_POPUP | WS_VISIBLE, 600, 600, 50, 50, top));
    POINT origin{0, 0};
    ClientToScreen(top, &origin);
    POINT inner{origin.x + 35, origin.y + 36};
    DrainQueue();

    EXPECT_FALSE(InjectDrop(inner, {"a"})); // nobody accepts files yet
    DragAcceptFiles(top, TRUE);
    EXPECT_NE(GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    EXPECT_FALSE(InjectDrop(inner, {}));
    EXPECT_FALSE(InjectDrop(POINT{610, 610}, {"a"})); // an owner takes nothing for `owned`
    ASSERT_TRUE(InjectDrop(inner, {"a"}));
    DragAcceptFiles(child, TRUE);
    ASSERT_TRUE(InjectDrop(inner, {"b"}));
    DragAcceptFiles(child, FALSE);
    ASSERT_TRUE(InjectDrop(POINT{origin.x + 5, origin.y - 5}, {"on the caption"}));

    auto found = Delivered();
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].first, top);
    EXPECT_EQ(found[1].first, child);
    EXPECT_EQ(found[2].first, top);
    POINT point{};
    EXPECT_TRUE(DragQueryPoint(found[0].second, &point));
    EXPECT_EQ((std::vector<LONG>{point.x, point.y}), (std::vector<LONG>{35, 36}));
    EXPECT_TRUE(DragQueryPoint(found[1].second, &point));
    EXPECT_EQ((std::vector<LONG>{point.x, point.y}), (std::vector<LONG>{25, 26}));
    EXPECT_FALSE(DragQueryPoint(found[2].second, &point));
    EXPECT_EQ((std::vector<LONG>{point.x, point.y}), (std::vector<LONG>{5, -5}));
    DestroyWindow(owned);
}

TEST_F(DragDrop, NamesAreCountedMeasuredAndCopiedWithinTheBuffer) {
    Keep(Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, 0, WS_EX_ACCEPTFILES));
    DrainQueue();
    std::string longName = "C:\\" + std::string(400, 'n') + ".txt";
    ASSERT_TRUE(InjectDrop(
        POINT{10, 10}, {"C:\\short.bmp", longName, "\xE9t\xE9.png", std::string("cut\0here", 8)}));
    auto found = Delivered();
    ASSERT_EQ(found.size(), 1u);
    HDROP drop = found[0].second;

    EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 4u);
    EXPECT_EQ(DragQueryFileA(drop, 1, nullptr, 0), longName.size());
    EXPECT_EQ(Name(drop, 1), longName);
    EXPECT_EQ(Name(drop, 2), "\xE9t\xE9.png");
    EXPECT_EQ(Name(drop, 3), "cut"); // as a reader of terminated texts sees it

    char buffer[8] = "#######";
    EXPECT_EQ(DragQueryFileA(drop, 0, buffer, 5), 4u);
    EXPECT_STREQ(buffer, "C:\\s");
    EXPECT_EQ(buffer[5], '#');
    buffer[0] = '#';
    EXPECT_EQ(DragQueryFileA(drop, 0, buffer, 0), 0u);
    EXPECT_EQ(DragQueryFileA(drop, 4, buffer, sizeof buffer), 0u);
    EXPECT_EQ(buffer[0], '#');
}

TEST_F(DragDrop, DropsAreFreedByDragFinishWithTheirWindowAndWhenNotPosted) {
    HWND window = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, 0, WS_EX_ACCEPTFILES);
    HWND other = Keep(Make(WS_POPUP | WS_VISIBLE, 200, 0, 100, 100, 0, WS_EX_ACCEPTFILES));
    DrainQueue();
    size_t before = LiveDropCount();

    ASSERT_TRUE(InjectDrop(POINT{1, 1}, {"one"}));
    HDROP drop = Delivered().at(0).second;
    DragFinish(drop);
    DragFinish(drop); // again: harmless
    POINT point{7, 7};
    EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 0u);
    EXPECT_FALSE(DragQueryPoint(drop, &point));
    EXPECT_EQ(point.x, 7);
    EXPECT_EQ(LiveDropCount(), before);

    // Drops never delivered, or never finished, go with the window.
    ASSERT_TRUE(InjectDrop(POINT{1, 1}, {"two"}));
    Delivered();
    ASSERT_TRUE(InjectDrop(POINT{1, 1}, {"three"}));
    EXPECT_EQ(LiveDropCount(), before + 2);
    DestroyWindow(window);
    EXPECT_EQ(LiveDropCount(), before);
    DrainQueue();

    // A procedure that keeps WM_NCDESTROY from the default handling loses its drops all
    // the same.
    window = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, 0, WS_EX_ACCEPTFILES);
    Recorder::answer = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        return message == WM_NCDESTROY ? std::optional<LRESULT>(0) : std::nullopt;
    };
    ASSERT_TRUE(InjectDrop(POINT{1, 1}, {"four"}));
    DestroyWindow(window);
    EXPECT_EQ(LiveDropCount(), before);
    ASSERT_TRUE(InjectDrop(POINT{201, 1}, {"five"}));
    EXPECT_EQ(LiveDropCount(), before + 1);
    auto found = Delivered();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(Name(found[1].second, 0), "five");
    DragFinish(found[1].second);

    // A full queue refuses the drop, which is not kept.
    while (PostMessageA(other, WM_USER, 0, 0)) {}
    EXPECT_FALSE(InjectDrop(POINT{201, 1}, {"lost"}));
    EXPECT_EQ(LiveDropCount(), before);
}

} // namespace
