#include "platform/controls/tree_view.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/controls/controls_fixture.h"
#include "platform/display/headless_display.h"
#include "platform/display/png_dump.h"
#include "platform/gdi/text/font_pinned_set.h"
#include "support/golden_picture.h"

namespace {

using controls_test::ControlTest;
using controls_test::Recorder;

// What the parent heard through WM_NOTIFY, copied while the notice was alive.
struct Heard {
    UINT code;
    UINT action;
    HTREEITEM oldItem;
    HTREEITEM newItem;
    LPARAM oldParam;
    LPARAM newParam;
};

class TreeView : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        heard.clear();
        Recorder::answer = [this](HWND, UINT message, WPARAM,
                                  LPARAM lParam) -> std::optional<LRESULT> {
            if (message != WM_NOTIFY) return std::nullopt;
            const auto* notice = reinterpret_cast<const NMTREEVIEWA*>(lParam);
            Heard h{notice->hdr.code, 0, 0, 0, 0, 0};
            if (h.code == TVN_SELCHANGEDA || h.code == TVN_DELETEITEMA)
                h = Heard{h.code,
                          notice->action,
                          notice->itemOld.hItem,
                          notice->itemNew.hItem,
                          notice->itemOld.lParam,
                          notice->itemNew.lParam};
            heard.push_back(h);
            return notifyAnswer;
        };
    }
    HWND Tree(DWORD style = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, int height = 100) {
        return Control(WC_TREEVIEWA, "", WS_BORDER | style, 10, 10, 160, height, 9);
    }
    static HTREEITEM Add(HWND tree, HTREEITEM parent, const char* text, LPARAM data = 0,
                         HTREEITEM after = TVI_LAST) {
        TVINSERTSTRUCTA insert{};
        insert.hParent = parent;
        insert.hInsertAfter = after;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = const_cast<LPSTR>(text);
        insert.item.lParam = data;
        return static_cast<HTREEITEM>(
            SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    static HTREEITEM Get(HWND tree, UINT code, HTREEITEM item = 0) {
        return static_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, code, item));
    }
    static std::string Text(HWND tree, HTREEITEM item, int room = 64) {
        std::vector<char> buffer(static_cast<size_t>(std::max(room, 1)), '#');
        TVITEMA fields{};
        fields.mask = TVIF_TEXT;
        fields.hItem = item;
        fields.pszText = buffer.data();
        fields.cchTextMax = room;
        if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&fields))) return "?";
        return room > 0 ? std::string(buffer.data()) : std::string(buffer.data(), 1);
    }
    static RECT Row(HWND tree, HTREEITEM item, BOOL label = FALSE) {
        RECT rect{};
        std::memcpy(&rect, &item, sizeof item);
        EXPECT_TRUE(SendMessageA(tree, TVM_GETITEMRECT, label, reinterpret_cast<LPARAM>(&rect)));
        return rect;
    }
    static LPARAM Middle(const RECT& rect, int x) {
        return MAKELPARAM(x, (rect.top + rect.bottom) / 2);
    }
    static TVHITTESTINFO Hit(HWND tree, int x, int y) {
        TVHITTESTINFO info{{x, y}, 0, 0};
        SendMessageA(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
        return info;
    }
    std::vector<UINT> Codes() const {
        std::vector<UINT> codes;
        for (const Heard& h : heard)
            codes.push_back(h.code);
        return codes;
    }

    std::vector<Heard> heard;
    std::optional<LRESULT> notifyAnswer = 0;
};

TEST_F(TreeView, InsertsWhereAskedAndWalksTheHierarchy) {
    HWND tree = Tree();
    EXPECT_EQ(Get(tree, TVGN_ROOT), 0u);
    EXPECT_EQ(Get(tree, TVGN_CARET), 0u);
    HTREEITEM b = Add(tree, TVI_ROOT, "b", 2);
    HTREEITEM a = Add(tree, TVI_ROOT, "a", 1, TVI_FIRST);
    HTREEITEM c = Add(tree, 0, "c", 3);
    HTREEITEM b1 = Add(tree, b, "b1");
    HTREEITEM b3 = Add(tree, b, "b3");
    HTREEITEM b2 = Add(tree, b, "b2", 0, b1);
    EXPECT_NE(a, 0u);
    EXPECT_EQ(Get(tree, TVGN_ROOT), a);
    EXPECT_EQ(Get(tree, TVGN_CHILD, TVI_ROOT), a);
    EXPECT_EQ(Get(tree, TVGN_NEXT, a), b);
    EXPECT_EQ(Get(tree, TVGN_NEXT, b), c);
    EXPECT_EQ(Get(tree, TVGN_NEXT, c), 0u);
    EXPECT_EQ(Get(tree, TVGN_PREVIOUS, a), 0u);
    EXPECT_EQ(Get(tree, TVGN_CHILD, b), b1);
    EXPECT_EQ(Get(tree, TVGN_NEXT, b1), b2);
    EXPECT_EQ(Get(tree, TVGN_NEXT, b2), b3);
    EXPECT_EQ(Get(tree, TVGN_PARENT, b2), b);
    EXPECT_EQ(Get(tree, TVGN_PARENT, b), 0u);
    EXPECT_EQ(Get(tree, TVGN_CHILD, a), 0u);
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 6);
    // A parent or a place that is no item, and unknown codes, give nothing.
    EXPECT_EQ(Add(tree, 0xBEEF, "x"), 0u);
    EXPECT_EQ(Add(tree, a, "x", 0, b1), 0u);
    EXPECT_EQ(Get(tree, TVGN_NEXT, 0xBEEF), 0u);
    EXPECT_EQ(Get(tree, 0x77, a), 0u);
    EXPECT_EQ(SendMessageA(tree, TVM_INSERTITEMA, 0, 0), 0);
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 6);
}

TEST_F(TreeView, ItemsAddedToOpenParentsTakeTheirRowsInOrder) {
    HWND tree = Tree(TVS_HASLINES, 200);
    HTREEITEM a = Add(tree, TVI_ROOT, "a");
    HTREEITEM b = Add(tree, TVI_ROOT, "b");
    HTREEITEM a1 = Add(tree, a, "a1");
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, a);
    HTREEITEM a1x = Add(tree, a1, "a1x");
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, a1);
    HTREEITEM a2 = Add(tree, a, "a2"); // after a1 and what shows under it
    HTREEITEM a0 = Add(tree, a, "a0", 0, TVI_FIRST);
    HTREEITEM c = Add(tree, TVI_ROOT, "c", 0, a); // between a's rows and b
    std::vector<HTREEITEM> order{a, a0, a1, a1x, a2, c, b};
    for (size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(Row(tree, order[i]).top,
                  Row(tree, a).top +
                      static_cast<LONG>(i) * (Row(tree, a).bottom - Row(tree, a).top))
            << i;
}

// Rows asked for between insertions anywhere, deletions and closings stay in step with the
// items, and siblings stay linked around the ones that go.
TEST_F(TreeView, RowsStayInStepThroughInsertionsDeletionsAndClosing) {
    HWND tree = Tree(TVS_HASLINES, 400);
    std::vector<HTREEITEM> order;
    auto expectOrder = [&](int step) {
        LONG height = Row(tree, order.front()).bottom - Row(tree, order.front()).top;
        for (size_t i = 0; i < order.size(); ++i)
            EXPECT_EQ(Row(tree, order[i]).top, static_cast<LONG>(i) * height)
                << "step " << step << ", row " << i;
    };
    HTREEITEM a = Add(tree, TVI_ROOT, "a");
    HTREEITEM c = Add(tree, TVI_ROOT, "c");
    order = {a, c};
    expectOrder(1);
    HTREEITEM b = Add(tree, TVI_ROOT, "b", 0, a);
    order = {a, b, c};
    expectOrder(2);
    HTREEITEM first = Add(tree, TVI_ROOT, "first", 0, TVI_FIRST);
    order.insert(order.begin(), first);
    expectOrder(3);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, b); // no children: stays closed
    HTREEITEM b1 = Add(tree, b, "b1");
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, b);
    HTREEITEM b0 = Add(tree, b, "b0", 0, TVI_FIRST);
    HTREEITEM last = Add(tree, TVI_ROOT, "last");
    order = {first, a, b, b0, b1, c, last};
    expectOrder(4);
    // Closed, b's children have no row, although one was counted where c now is.
    SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, b);
    RECT hidden{};
    std::memcpy(&hidden, &b1, sizeof b1);
    EXPECT_FALSE(SendMessageA(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&hidden)));
    order = {first, a, b, c, last};
    expectOrder(5);
    EXPECT_TRUE(SendMessageA(tree, TVM_DELETEITEM, 0, a));
    EXPECT_EQ(Get(tree, TVGN_NEXT, first), b);
    EXPECT_EQ(Get(tree, TVGN_PREVIOUS, b), first);
    EXPECT_TRUE(SendMessageA(tree, TVM_DELETEITEM, 0, last));
    EXPECT_EQ(Get(tree, TVGN_NEXT, c), 0u);
    HTREEITEM end = Add(tree, TVI_ROOT, "end");
    EXPECT_EQ(Get(tree, TVGN_PREVIOUS, end), c);
    SendMessageA(tree, TVM_DELETEITEM, 0, b0);
    EXPECT_EQ(Get(tree, TVGN_CHILD, b), b1);
    EXPECT_EQ(Get(tree, TVGN_PREVIOUS, b1), 0u);
    order = {first, b, c, end};
    expectOrder(6);
}

TEST_F(TreeView, ReadsAndChangesItemFields) {
    HWND tree = Tree();
    HTREEITEM parent = Add(tree, TVI_ROOT, "Parent", 42);
    Add(tree, parent, "child");
    EXPECT_EQ(Text(tree, parent), "Parent");
    EXPECT_EQ(Text(tree, parent, 4), "Par");
    EXPECT_EQ(Text(tree, parent, 1), "");
    EXPECT_EQ(Text(tree, parent, 0), "#"); // no room: nothing written
    EXPECT_EQ(Text(tree, 0xBEEF), "?");
    TVITEMA fields{};
    fields.mask = TVIF_PARAM | TVIF_STATE | TVIF_CHILDREN;
    fields.hItem = parent;
    fields.stateMask = TVIS_SELECTED | TVIS_EXPANDED;
    ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&fields)));
    EXPECT_EQ(fields.lParam, 42);
    EXPECT_EQ(fields.state, 0u);
    EXPECT_EQ(fields.cChildren, 1);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, parent);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, parent);
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&fields));
    EXPECT_EQ(fields.state, TVIS_SELECTED | TVIS_EXPANDED);

    TVITEMA change{};
    change.mask = TVIF_TEXT | TVIF_PARAM;
    change.hItem = parent;
    change.pszText = nullptr;
    change.lParam = -7;
    ASSERT_TRUE(SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change)));
    EXPECT_EQ(Text(tree, parent), "");
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&fields));
    EXPECT_EQ(fields.lParam, -7);
    change.hItem = 0xBEEF;
    EXPECT_FALSE(SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change)));
    EXPECT_FALSE(SendMessageA(tree, TVM_GETITEMA, 0, 0));
}

TEST_F(TreeView, DeletionTellsOfChildrenFirstAndHandsTheSelectionOn) {
    HWND tree = Tree();
    HTREEITEM a = Add(tree, TVI_ROOT, "a", 1);
    HTREEITEM a1 = Add(tree, a, "a1", 11);
    HTREEITEM a1x = Add(tree, a1, "a1x", 111);
    HTREEITEM a2 = Add(tree, a, "a2", 12);
    HTREEITEM b = Add(tree, TVI_ROOT, "b", 2);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, a1x);
    heard.clear();
    EXPECT_TRUE(SendMessageA(tree, TVM_DELETEITEM, 0, a));
    ASSERT_EQ(heard.size(), 5u);
    std::vector<HTREEITEM> order;
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(heard[i].code, TVN_DELETEITEMA);
        order.push_back(heard[i].oldItem);
    }
    EXPECT_EQ(order, (std::vector<HTREEITEM>{a1x, a1, a2, a}));
    EXPECT_EQ(heard[0].oldParam, 111);
    EXPECT_EQ(heard[3].oldParam, 1);
    // The selection was under the deleted item: the next one takes it.
    EXPECT_EQ(heard[4].code, TVN_SELCHANGEDA);
    EXPECT_EQ(heard[4].action, TVC_UNKNOWN);
    EXPECT_EQ(heard[4].oldItem, 0u);
    EXPECT_EQ(heard[4].newItem, b);
    EXPECT_EQ(Get(tree, TVGN_CARET), b);
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 1);
    EXPECT_FALSE(SendMessageA(tree, TVM_DELETEITEM, 0, a));

    // The last one of its parent hands the selection to the parent, which is closed.
    HTREEITEM b1 = Add(tree, b, "b1");
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, b1);
    SendMessageA(tree, TVM_DELETEITEM, 0, b1);
    EXPECT_EQ(Get(tree, TVGN_CARET), b);
    EXPECT_FALSE(SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, b));

    Add(tree, b, "b1");
    Add(tree, TVI_ROOT, "c");
    heard.clear();
    EXPECT_TRUE(SendMessageA(tree, TVM_DELETEITEM, 0, TVI_ROOT));
    EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_DELETEITEMA, TVN_DELETEITEMA, TVN_DELETEITEMA}));
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Get(tree, TVGN_CARET), 0u);

    // Destroying the window lets the parent free what its items hold.
    Add(tree, Add(tree, TVI_ROOT, "d"), "e");
    heard.clear();
    DestroyWindow(tree);
    EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_DELETEITEMA, TVN_DELETEITEMA}));
}

TEST_F(TreeView, SelectionChangesTellTheParentHowTheyCame) {
    HWND tree = Tree();
    HTREEITEM a = Add(tree, TVI_ROOT, "alpha", 1);
    HTREEITEM a1 = Add(tree, a, "one", 11);
    HTREEITEM b = Add(tree, TVI_ROOT, "beta", 2);
    // Selecting a hidden item opens its parents.
    EXPECT_TRUE(SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, a1));
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].action, TVC_UNKNOWN);
    EXPECT_EQ(heard[0].newItem, a1);
    EXPECT_EQ(heard[0].newParam, 11);
    Row(tree, a1);
    // The same item again says nothing; a bad one or a bad code fails.
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, a1);
    EXPECT_FALSE(SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, 0xBEEF));
    EXPECT_FALSE(SendMessageA(tree, TVM_SELECTITEM, TVGN_ROOT, a));
    EXPECT_EQ(heard.size(), 1u);

    SendMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON,
                 Middle(Row(tree, b, TRUE), Row(tree, b, TRUE).left + 3));
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[1].action, TVC_BYMOUSE);
    EXPECT_EQ(heard[1].oldItem, a1);
    EXPECT_EQ(heard[1].oldParam, 11);
    EXPECT_EQ(heard[1].newItem, b);
    EXPECT_EQ(GetFocus(), tree);

    heard.clear();
    for (int key : {VK_UP, VK_UP, VK_LEFT, VK_SUBTRACT, VK_RIGHT, VK_RIGHT, VK_HOME, VK_END})
        SendMessageA(tree, WM_KEYDOWN, static_cast<WPARAM>(key), 0);
    std::vector<HTREEITEM> path;
    for (const Heard& h : heard) {
        EXPECT_EQ(h.action, TVC_BYKEYBOARD);
        path.push_back(h.newItem);
    }
    // Up to "one", up to "alpha", Left to its parent: none, closes it, Right opens,
    // Right goes into it, Home, End.
    EXPECT_EQ(path, (std::vector<HTREEITEM>{a1, a, a1, a, b}));
}

TEST_F(TreeView, ButtonsAndDoubleClicksOpenAndClose) {
    HWND tree = Tree();
    HTREEITEM a = Add(tree, TVI_ROOT, "alpha");
    HTREEITEM a1 = Add(tree, a, "one");
    HTREEITEM b = Add(tree, TVI_ROOT, "beta");
    RECT label = Row(tree, a, TRUE);
    TVHITTESTINFO onButton = Hit(tree, label.left - 12, (label.top + label.bottom) / 2);
    EXPECT_EQ(onButton.hItem, a);
    EXPECT_EQ(onButton.flags, TVHT_ONITEMBUTTON);
    SendMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(onButton.pt.x, onButton.pt.y));
    EXPECT_TRUE(heard.empty()); // the button opens without selecting
    EXPECT_EQ(Hit(tree, label.left + 2, label.bottom + 2).hItem, a1);
    SendMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(onButton.pt.x, onButton.pt.y));
    EXPECT_EQ(Hit(tree, label.left + 2, label.bottom + 2).hItem, b);

    // A double click selects, tells NM_DBLCLK, and opens unless the parent answered.
    SendMessageA(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, Middle(label, label.left + 3));
    EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_SELCHANGEDA, NM_DBLCLK}));
    EXPECT_EQ(Get(tree, TVGN_CARET), a);
    auto shown = [&] {
        RECT row{};
        std::memcpy(&row, &a1, sizeof a1);
        return SendMessageA(tree, TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)) != 0;
    };
    EXPECT_TRUE(shown());
    notifyAnswer = 1;
    SendMessageA(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, Middle(label, label.left + 3));
    EXPECT_TRUE(shown());
    notifyAnswer = 0;
    SendMessageA(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, Middle(label, label.left + 3));
    EXPECT_FALSE(shown());
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, a);

    // Closing over the selection moves it to the closed item.
    notifyAnswer = 0;
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, a1);
    heard.clear();
    EXPECT_TRUE(SendMessageA(tree, TVM_EXPAND, TVE_TOGGLE, a));
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].newItem, a);
    EXPECT_FALSE(SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, b));
    EXPECT_FALSE(SendMessageA(tree, TVM_EXPAND, 0x55, a));

    // The right button only tells; a click off the label without a full row does nothing.
    heard.clear();
    SendMessageA(tree, WM_RBUTTONDOWN, MK_RBUTTON, Middle(Row(tree, b), 150));
    SendMessageA(tree, WM_RBUTTONUP, 0, Middle(Row(tree, b), 150));
    SendMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, Middle(Row(tree, b), 150));
    EXPECT_EQ(Codes(), (std::vector<UINT>{NM_RCLICK}));
    EXPECT_EQ(Get(tree, TVGN_CARET), a);
}

TEST_F(TreeView, HitTestsNameEveryPart) {
    HWND tree = Tree(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_FULLROWSELECT);
    HTREEITEM a = Add(tree, TVI_ROOT, "alpha");
    Add(tree, a, "one");
    RECT label = Row(tree, a, TRUE);
    int y = (label.top + label.bottom) / 2;
    EXPECT_EQ(Hit(tree, label.left + 1, y).flags, TVHT_ONITEMLABEL);
    EXPECT_EQ(Hit(tree, label.right + 5, y).flags, TVHT_ONITEMRIGHT);
    EXPECT_EQ(Hit(tree, 1, y).flags, TVHT_ONITEMINDENT);
    EXPECT_EQ(Hit(tree, label.left - 10, y).flags, TVHT_ONITEMBUTTON);
    TVHITTESTINFO below = Hit(tree, 5, 60);
    EXPECT_EQ(below.flags, TVHT_NOWHERE);
    EXPECT_EQ(below.hItem, 0u);
    EXPECT_EQ(Hit(tree, -1, 5).flags, TVHT_TOLEFT);
    EXPECT_EQ(Hit(tree, 5, -1).flags, TVHT_ABOVE);
    EXPECT_EQ(Hit(tree, 5, 500).flags, TVHT_BELOW);
    EXPECT_EQ(Hit(tree, 500, 500).flags, TVHT_TORIGHT | TVHT_BELOW);
    EXPECT_EQ(SendMessageA(tree, TVM_HITTEST, 0, 0), 0);

    // With a full row, a click right of the label selects; without lines at the root the
    // top items have no button and start at the left.
    SendMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(label.right + 20, y));
    EXPECT_EQ(Get(tree, TVGN_CARET), a);
    HWND bare = Control(WC_TREEVIEWA, "", TVS_HASBUTTONS, 10, 120, 100, 50, 3);
    HTREEITEM top = Add(bare, TVI_ROOT, "top");
    Add(bare, top, "under");
    EXPECT_LT(Row(bare, top, TRUE).left, 5);
    EXPECT_EQ(Hit(bare, 3, 5).flags, TVHT_ONITEMLABEL);
}

TEST_F(TreeView, ScrollsWhenTheRowsDoNotFit) {
    HWND tree = Tree(TVS_HASLINES, 80);
    std::vector<HTREEITEM> items;
    HTREEITEM parent = Add(tree, TVI_ROOT, "parent");
    for (int i = 0; i < 30; ++i)
        items.push_back(Add(tree, parent, ("item " + std::to_string(i)).c_str()));
    EXPECT_FALSE(GetWindowLongA(tree, GWL_STYLE) & WS_VSCROLL);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, parent);
    EXPECT_TRUE(GetWindowLongA(tree, GWL_STYLE) & WS_VSCROLL);
    EXPECT_TRUE(SendMessageA(tree, TVM_ENSUREVISIBLE, 0, items.back()));
    RECT client{};
    GetClientRect(tree, &client);
    RECT last = Row(tree, items.back());
    EXPECT_GT(last.top, 0);
    EXPECT_LE(last.bottom, client.bottom);
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(tree, SB_VERT, &info);
    EXPECT_EQ(info.nMax, 30);
    EXPECT_EQ(info.nPos + static_cast<int>(info.nPage), 31);
    SendMessageA(tree, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(Hit(tree, 30, 2).hItem, parent);
    SendMessageA(tree, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(Hit(tree, 30, 2).hItem, items[0]);
    SendMessageA(tree, WM_VSCROLL, SB_LINEUP, 0);
    SendMessageA(tree, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(Hit(tree, 30, 2).hItem, parent);
    // Moving the selection by keys keeps it in view.
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, parent);
    SendMessageA(tree, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(Row(tree, items.back()).top, last.top);
    SendMessageA(tree, WM_KEYDOWN, VK_PRIOR, 0);
    EXPECT_EQ(Hit(tree, 30, 2).hItem, Get(tree, TVGN_CARET));
    // Closing brings everything back into the window, and the bar goes.
    SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, parent);
    EXPECT_FALSE(GetWindowLongA(tree, GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(Hit(tree, 30, 2).hItem, parent);
    EXPECT_FALSE(SendMessageA(tree, TVM_ENSUREVISIBLE, 0, 0xBEEF));
}

// Every channel within 8 of the reference on all but 0.5% of the pixels.
void ExpectCloseToGolden(const std::filesystem::path& golden,
                         const platform::headless::Pixels& drawn) {
    if (std::getenv("ZORV_WRITE_PICTURES") != nullptr) {
        ASSERT_TRUE(
            platform::WritePngFile(golden.string(), drawn.data.data(), drawn.width, drawn.height));
        return;
    }
    platform::headless::Pixels expected;
    ASSERT_TRUE(test_support::ReadPngPicture(golden, expected)) << golden;
    ASSERT_EQ(expected.width, drawn.width);
    ASSERT_EQ(expected.height, drawn.height);
    size_t differing = 0;
    for (size_t i = 0; i < drawn.data.size(); ++i)
        for (int shift : {0, 8, 16})
            if (std::abs(static_cast<int>(drawn.data[i] >> shift & 0xFF) -
                         static_cast<int>(expected.data[i] >> shift & 0xFF)) > 8) {
                ++differing;
                break;
            }
    EXPECT_LE(double(differing), 0.005 * double(drawn.data.size())) << golden;
}

class TreeViewGolden : public TreeView {
protected:
    void SetUp() override {
        platform::headless::Install();
        dir.WriteFile("fonts/.keep", "");
        for (const char* name : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"})
            std::filesystem::create_symlink(std::string(font_test::LIBERATION_FOLDER) + "/" + name,
                                            dir.Linux(std::string("fonts/") + name));
        font_test::PinFolders(dir, font_test::Dir(dir.Linux("fonts")));
        TreeView::SetUp();
        SetWindowPos(parent, 0, 0, 0, 360, 140, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void TearDown() override {
        TreeView::TearDown();
        platform::test::UseFontConfigFile("");
    }
    test_support::TempDir dir;
};

TEST_F(TreeViewGolden, LinesButtonsAndSelectionLook) {
    HWND full =
        Control(WC_TREEVIEWA, "",
                WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_FULLROWSELECT, 10,
                10, 160, 120, 1);
    HTREEITEM player = Add(full, TVI_ROOT, "Joueur 1");
    HTREEITEM command = Add(full, player, "Sauter");
    Add(full, command, "[Joystick]");
    HTREEITEM keys = Add(full, command, "[Keyboard]");
    Add(full, keys, "Espace");
    Add(full, command, "[Mouse]");
    Add(full, Add(full, TVI_ROOT, "Joueur 2"), "Tirer");
    SendMessageA(full, TVM_SELECTITEM, TVGN_CARET, keys);
    SetFocus(full);
    HWND plain = Control(WC_TREEVIEWA, "", WS_BORDER | TVS_HASBUTTONS, 180, 10, 170, 120, 2);
    for (int i = 0; i < 12; ++i)
        Add(plain, TVI_ROOT, ("Entry " + std::to_string(i)).c_str());
    Add(plain, Get(plain, TVGN_ROOT), "inside");
    SendMessageA(plain, TVM_SELECTITEM, TVGN_CARET, Get(plain, TVGN_ROOT));
    Pump();
    platform::headless::Pixels drawn;
    ASSERT_TRUE(platform::headless::ReadWholePixels(parent, drawn));
    ExpectCloseToGolden(
        std::filesystem::path(__FILE__).parent_path() / "golden" / "tree_view_looks.png", drawn);
}

} // namespace
