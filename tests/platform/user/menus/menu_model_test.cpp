#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/kernel/errors.h"
#include "platform/user/menus/menus.h"

namespace {

std::string Text(HMENU menu, UINT item, UINT flags) {
    char buffer[64] = {};
    int count = GetMenuStringA(menu, item, buffer, sizeof buffer, flags);
    return std::string(buffer, static_cast<size_t>(count < 0 ? 0 : count));
}

struct ModelItem {
    UINT id;
    std::string text;
    int submenu;    // index into the model's menus, or -1
    UINT state = 0; // MF_CHECKED, the grey flags or MF_SEPARATOR
};

// What a menu should hold, kept beside the real one by a random sequence of calls.
struct Model {
    std::vector<HMENU> handles;
    std::vector<std::vector<ModelItem>> menus;

    int Add(HMENU handle) {
        handles.push_back(handle);
        menus.emplace_back();
        return static_cast<int>(handles.size()) - 1;
    }
    // The menus reached from `menu` and where each command lies, depth first as
    // MF_BYCOMMAND searches.
    void Walk(int menu, std::vector<int>& reached,
              std::vector<std::pair<int, size_t>>& commands) const {
        reached.push_back(menu);
        for (size_t i = 0; i < menus[menu].size(); ++i) {
            if (menus[menu][i].submenu >= 0)
                Walk(menus[menu][i].submenu, reached, commands);
            else if (!(menus[menu][i].state & MF_SEPARATOR))
                commands.emplace_back(menu, i);
        }
    }
};

void ExpectSame(const Model& model, int menu) {
    HMENU handle = model.handles[menu], top = model.handles[0];
    const std::vector<ModelItem>& items = model.menus[menu];
    ASSERT_EQ(GetMenuItemCount(handle), static_cast<int>(items.size()));
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        const ModelItem& item = items[i];
        bool popup = item.submenu >= 0;
        UINT count = popup ? static_cast<UINT>(model.menus[item.submenu].size()) : 0;
        EXPECT_EQ(GetMenuState(handle, i, MF_BYPOSITION),
                  popup ? count << 8 | MF_POPUP | item.state : item.state)
            << i;
        EXPECT_EQ(GetSubMenu(handle, i), popup ? model.handles[item.submenu] : 0u) << i;
        EXPECT_EQ(GetMenuItemID(handle, i), popup ? static_cast<UINT>(-1) : item.id) << i;
        EXPECT_EQ(Text(handle, i, MF_BYPOSITION), item.text) << i;
        if (popup || item.state & MF_SEPARATOR) continue;
        // By command too, from the top of the whole menu.
        EXPECT_EQ(GetMenuState(top, item.id, MF_BYCOMMAND), item.state) << item.id;
        EXPECT_EQ(Text(top, item.id, MF_BYCOMMAND), item.text) << item.id;
    }
}

TEST(MenuModel, RandomCallsByPositionAndByCommandMatchTheModel) {
    std::mt19937 random(19);
    Model model;
    HMENU top = CreateMenu();
    model.Add(top);
    UINT nextId = 100;
    auto pick = [&](size_t bound) { return static_cast<size_t>(random() % (bound + 1)); };
    for (int step = 0; step < 400; ++step) {
        std::vector<int> reached;
        std::vector<std::pair<int, size_t>> commands;
        model.Walk(0, reached, commands);
        int menu = reached[pick(reached.size() - 1)];
        std::vector<ModelItem>& items = model.menus[menu];
        HMENU handle = model.handles[menu];
        // A command anywhere in the menu, for the calls by command from the top.
        auto [found, index] =
            commands.empty() ? std::pair<int, size_t>(0, 0) : commands[pick(commands.size() - 1)];
        std::vector<ModelItem>& holder = model.menus[found];
        UINT id = commands.empty() ? 0 : holder[index].id;
        std::string text = "Item &" + std::to_string(nextId) + "\tCtrl+" + std::to_string(step);
        switch (random() % 8) {
        case 0:
        case 1: { // a text item by position, past the end appending
            size_t position = pick(items.size() + 2);
            ASSERT_TRUE(InsertMenuA(handle, static_cast<UINT>(position), MF_BYPOSITION | MF_STRING,
                                    nextId, text.c_str()));
            items.insert(items.begin() + static_cast<long>(std::min(position, items.size())),
                         ModelItem{nextId++, text, -1});
            break;
        }
        case 2: // a separator or a submenu at the end
            if (random() % 2) {
                ASSERT_TRUE(AppendMenuA(handle, MF_SEPARATOR, 0, nullptr));
                items.push_back(ModelItem{0, "", -1, MF_SEPARATOR});
            } else {
                HMENU sub = CreatePopupMenu();
                ASSERT_TRUE(AppendMenuA(handle, MF_POPUP, sub, text.c_str()));
                int added = model.Add(sub); // `items` may have moved
                model.menus[menu].push_back(ModelItem{0, text, added});
            }
            break;
        case 3: // before an item named by command, wherever it lies
            if (commands.empty()) break;
            ASSERT_TRUE(InsertMenuA(top, id, MF_BYCOMMAND, nextId, text.c_str()));
            holder.insert(holder.begin() + static_cast<long>(index), ModelItem{nextId++, text, -1});
            break;
        case 4: { // checks and greys by command
            if (commands.empty()) break;
            UINT check = random() % 2 ? MF_CHECKED : MF_UNCHECKED, grey = random() % 4;
            EXPECT_EQ(CheckMenuItem(top, id, check), holder[index].state & MF_CHECKED);
            EXPECT_EQ(EnableMenuItem(top, id, grey),
                      static_cast<BOOL>(holder[index].state & ~MF_CHECKED));
            holder[index].state = check | grey;
            break;
        }
        case 5: // a new text by command, which clears checks and greys
            if (commands.empty()) break;
            ASSERT_TRUE(ModifyMenuA(top, id, MF_BYCOMMAND | MF_STRING, id, text.c_str()));
            holder[index] = ModelItem{id, text, -1};
            break;
        case 6: // deleting by command or removing by position
            if (commands.empty() || items.empty()) break;
            if (random() % 2) {
                ASSERT_TRUE(DeleteMenu(top, id, MF_BYCOMMAND));
                holder.erase(holder.begin() + static_cast<long>(index));
            } else {
                size_t position = pick(items.size() - 1);
                ASSERT_TRUE(RemoveMenu(handle, static_cast<UINT>(position), MF_BYPOSITION));
                items.erase(items.begin() + static_cast<long>(position));
            }
            break;
        default: // names that exist nowhere change nothing
            EXPECT_EQ(CheckMenuItem(handle, 99999, MF_CHECKED), static_cast<DWORD>(-1));
            EXPECT_EQ(GetMenuState(handle, static_cast<UINT>(items.size()), MF_BYPOSITION),
                      static_cast<UINT>(-1));
            EXPECT_FALSE(DeleteMenu(handle, 99999, MF_BYCOMMAND));
            break;
        }
        // A submenu taken out by position is no longer reached from the top.
        reached.clear();
        commands.clear();
        model.Walk(0, reached, commands);
        for (int each : reached)
            ExpectSame(model, each);
        if (HasFailure()) FAIL() << "after step " << step;
    }
    EXPECT_TRUE(DestroyMenu(top));
}

TEST(MenuModel, ByCommandFindsTheFirstItemDepthFirst) {
    HMENU bar = CreateMenu(), file = CreatePopupMenu(), recent = CreatePopupMenu();
    AppendMenuA(recent, MF_STRING, 7, "Deep seven");
    AppendMenuA(file, MF_POPUP, recent, "&Recent");
    AppendMenuA(bar, MF_POPUP, file, "&File");
    AppendMenuA(bar, MF_STRING, 7, "Top seven");
    EXPECT_EQ(Text(bar, 7, MF_BYCOMMAND), "Deep seven");
    EXPECT_EQ(CheckMenuItem(bar, 7, MF_CHECKED), 0u);
    EXPECT_EQ(GetMenuState(recent, 0, MF_BYPOSITION), MF_CHECKED);
    EXPECT_EQ(GetMenuState(bar, 1, MF_BYPOSITION), 0u);
    DestroyMenu(bar);
}

TEST(MenuModel, TextsAreCutToTheBufferAndMeasuredWithoutOne) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "&Save as\xE9...\tF12");
    EXPECT_EQ(GetMenuStringA(menu, 1, nullptr, 0, MF_BYCOMMAND), 16);
    char small[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(GetMenuStringA(menu, 1, small, 5, MF_BYCOMMAND), 4);
    EXPECT_STREQ(small, "&Sav");
    EXPECT_EQ(GetMenuStringA(menu, 0, small, 1, MF_BYPOSITION), 0);
    EXPECT_EQ(small[0], '\0');
    EXPECT_EQ(GetMenuStringA(menu, 2, small, 5, MF_BYPOSITION), 0);
    DestroyMenu(menu);
}

TEST(MenuModel, RadioChecksOneItemOfARangeInASubmenu) {
    HMENU bar = CreateMenu(), view = CreatePopupMenu();
    AppendMenuA(view, MF_STRING, 20, "Small");
    AppendMenuA(view, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(view, MF_STRING | MF_CHECKED, 21, "Medium");
    AppendMenuA(view, MF_STRING, 22, "Large");
    AppendMenuA(view, MF_STRING | MF_CHECKED, 23, "Outside");
    AppendMenuA(bar, MF_POPUP, view, "View");
    AppendMenuA(bar, MF_STRING, 30, "Top");
    auto checked = [&](UINT id) { return (GetMenuState(bar, id, MF_BYCOMMAND) & MF_CHECKED) != 0; };
    ASSERT_TRUE(CheckMenuRadioItem(bar, 20, 22, 22, MF_BYCOMMAND));
    EXPECT_EQ((std::vector<bool>{checked(20), checked(21), checked(22), checked(23)}),
              (std::vector<bool>{false, false, true, true}));
    // Ends in different menus, or missing, are refused.
    EXPECT_FALSE(CheckMenuRadioItem(bar, 20, 30, 20, MF_BYCOMMAND));
    EXPECT_FALSE(CheckMenuRadioItem(bar, 20, 99, 20, MF_BYCOMMAND));
    // By position, in either order.
    ASSERT_TRUE(CheckMenuRadioItem(view, 3, 0, 0, MF_BYPOSITION));
    EXPECT_TRUE(checked(20));
    EXPECT_FALSE(checked(22));
    DestroyMenu(bar);
}

TEST(MenuModel, ATakenOutSubmenuStaysAliveToBeInsertedAgain) {
    HMENU bar = CreateMenu(), edit = CreatePopupMenu(), inner = CreatePopupMenu();
    AppendMenuA(inner, MF_STRING, 41, "Inner");
    AppendMenuA(edit, MF_POPUP, inner, "Inner menu");
    AppendMenuA(bar, MF_POPUP, edit, "&Edit");
    AppendMenuA(bar, MF_STRING, 42, "Other");
    ASSERT_TRUE(DeleteMenu(bar, 0, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(edit));
    EXPECT_TRUE(IsMenu(inner));
    EXPECT_EQ(GetMenuItemCount(bar), 1);
    // Through ModifyMenuA too: the submenu the item opened is only let go.
    ASSERT_TRUE(AppendMenuA(bar, MF_POPUP, edit, "&Edit again"));
    ASSERT_TRUE(ModifyMenuA(bar, 1, MF_BYPOSITION | MF_STRING, 43, "Plain"));
    EXPECT_TRUE(IsMenu(edit));
    ASSERT_TRUE(InsertMenuA(bar, 0, MF_BYPOSITION | MF_POPUP, edit, "&Edit"));
    EXPECT_EQ(Text(bar, 41, MF_BYCOMMAND), "Inner");
    ASSERT_TRUE(RemoveMenu(bar, 0, MF_BYPOSITION));
    // Destroying the menu it left leaves it; destroying it takes its own submenus.
    EXPECT_TRUE(DestroyMenu(bar));
    EXPECT_TRUE(IsMenu(edit));
    EXPECT_TRUE(DestroyMenu(edit));
    EXPECT_FALSE(IsMenu(inner));
    SetLastError(0);
    EXPECT_FALSE(DestroyMenu(edit));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_MENU_HANDLE);
    EXPECT_FALSE(AppendMenuA(edit, MF_STRING, 1, "dead"));
}

TEST(MenuModel, AMenuCannotBeInsertedInsideItself) {
    HMENU top = CreatePopupMenu(), middle = CreatePopupMenu(), bottom = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuA(top, MF_POPUP, middle, "middle"));
    ASSERT_TRUE(AppendMenuA(middle, MF_POPUP, bottom, "bottom"));
    AppendMenuA(bottom, MF_STRING, 5, "leaf");
    SetLastError(0);
    EXPECT_FALSE(AppendMenuA(top, MF_POPUP, top, "itself"));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(AppendMenuA(bottom, MF_POPUP, top, "ancestor"));
    EXPECT_FALSE(ModifyMenuA(bottom, 5, MF_BYCOMMAND | MF_POPUP, middle, "ancestor"));
    EXPECT_FALSE(AppendMenuA(top, MF_POPUP, 0x12345, "no menu"));
    EXPECT_EQ(GetMenuItemCount(bottom), 1);
    // The search by command still ends.
    EXPECT_EQ(GetMenuState(top, 6, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_TRUE(DestroyMenu(top));
    EXPECT_FALSE(IsMenu(bottom));
}

} // namespace
