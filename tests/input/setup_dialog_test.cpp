// The set-up dialog on the headless display, driven as a user drives it: buttons, the
// tree's context menus, the pickers and the key capture, with the manager's settings text
// read after.
#include "input/setup_dialog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "input/control_names.h"
#include "input/game_input_manager.h"
#include "platform/controls/button.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/dialogs/drawn_dialog.h"
#include "platform/controls/list_box.h"
#include "platform/controls/tree_view.h"
#include "platform/display/headless_display.h"
#include "platform/user/dialogs/dialog_box.h"
#include "platform/user/dialogs/message_box.h"
#include "platform/user/input/input_fixture.h"
#include "platform/user/input/keyboard_state.h"
#include "platform/user/menus/menu_test_hooks.h"
#include "platform/user/sys_commands.h"
#include "platform/user/test_hooks.h"
#include "support/temp_dir.h"

namespace {

const char kCaption[] = "R\xE9glages Game Input";

const std::string kSettings = "Solo\r\n"
                              "\tPreferredDevices = Joystick;Keyboard;Mouse\r\n"
                              "\tPlayer 1\r\n"
                              "\t\tJump\r\n"
                              "\t\t\tJoystick\r\n"
                              "\t\t\t\tJOY_BUTTON1\r\n"
                              "Duo\r\n"
                              "\tPlayer 1\r\n"
                              "\t\tFire\r\n";

class SetupDialog : public input_test::InputTest {
protected:
    void SetUp() override {
        setenv("ZORV_REGISTRY_DIR", registry.Linux("").c_str(), 1);
        platform::headless::Install();
        InputTest::SetUp();
        platform::test::DrawDialogsAsWindows(true);
        platform::test::RecordMessageBoxes(true);
        platform::test::ClearRecordedMessageBoxes();
        platform::test::SetDialogBoxShownHook([this](HWND dialog) { Shown(dialog); });
        ASSERT_GT(manager.LoadSettingsMemory(kSettings.data(), kSettings.size()), 0);
        before = manager.WriteSettings();
    }
    void TearDown() override {
        platform::test::DrawDialogsAsWindows(false);
        platform::test::SetDialogBoxShownHook(nullptr);
        platform::test::SetMenuWaitHook(nullptr);
        platform::test::RecordMessageBoxes(false);
        platform::test::SetMessageBoxAnswer(0);
        InputTest::TearDown();
    }
    // Each dialog shown is answered by the step given for its caption.
    void Shown(HWND dialog) {
        char caption[128] = {};
        GetWindowTextA(dialog, caption, sizeof caption);
        auto step = steps.find(caption);
        ASSERT_NE(step, steps.end()) << "no step for " << caption;
        step->second(dialog);
    }
    int Run(std::string name = "Solo") {
        chosen = std::move(name);
        return RunSetupDialog(manager, 0, chosen);
    }

    // ---- What the user does ----
    static void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
    static HWND Tree(HWND dialog) { return GetDlgItem(dialog, 28002); }
    static HTREEITEM Next(HWND dialog, UINT code, HTREEITEM item = 0) {
        return static_cast<HTREEITEM>(SendMessageA(Tree(dialog), TVM_GETNEXTITEM, code, item));
    }
    static std::string Text(HWND dialog, HTREEITEM item) {
        char buffer[128] = {};
        TVITEMA fields{};
        fields.mask = TVIF_TEXT;
        fields.hItem = item;
        fields.pszText = buffer;
        fields.cchTextMax = sizeof buffer;
        SendMessageA(Tree(dialog), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&fields));
        return buffer;
    }
    // The labels of the items under `parent` (the roots for 0).
    static std::vector<std::string> Labels(HWND dialog, HTREEITEM parent = 0) {
        std::vector<std::string> labels;
        for (HTREEITEM at = parent == 0 ? Next(dialog, TVGN_ROOT)
                                        : Next(dialog, TVGN_CHILD, parent);
             at != 0; at = Next(dialog, TVGN_NEXT, at))
            labels.push_back(Text(dialog, at));
        return labels;
    }
    static HTREEITEM Find(HWND dialog, const std::vector<std::string>& path) {
        HTREEITEM at = 0;
        for (const std::string& label : path) {
            HTREEITEM child = at == 0 ? Next(dialog, TVGN_ROOT) : Next(dialog, TVGN_CHILD, at);
            while (child != 0 && Text(dialog, child) != label)
                child = Next(dialog, TVGN_NEXT, child);
            EXPECT_NE(child, 0u) << label;
            at = child;
        }
        return at;
    }
    static void Select(HWND dialog, HTREEITEM item) {
        SendMessageA(Tree(dialog), TVM_SELECTITEM, TVGN_CARET, item);
    }
    // A right click on the item and the menu's item at `position` chosen by keys.
    static void ContextCommand(HWND dialog, HTREEITEM item, int position) {
        HWND tree = Tree(dialog);
        SendMessageA(tree, TVM_ENSUREVISIBLE, 0, item);
        RECT row{};
        std::memcpy(&row, &item, sizeof item);
        SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&row));
        POINT at{row.left + 3, (row.top + row.bottom) / 2};
        if (item == 0) at = POINT{5, 200};
        ClientToScreen(tree, &at);
        platform::InjectMouse(at.x, at.y, platform::MouseEvent::Move);
        window_test::Pump();
        int waits = 0;
        platform::test::SetMenuWaitHook([&waits, position](HWND) {
            if (waits++ > 0) return;
            for (int i = 0; i <= position; ++i) {
                platform::InjectKey(VK_DOWN, true);
                platform::InjectKey(VK_DOWN, false);
            }
            platform::InjectKey(VK_RETURN, true);
            platform::InjectKey(VK_RETURN, false);
        });
        SendMessageA(tree, WM_RBUTTONDOWN, MK_RBUTTON, 0);
        SendMessageA(tree, WM_RBUTTONUP, 0, 0);
        platform::test::SetMenuWaitHook(nullptr);
        // The chosen item's command was posted to the dialog.
        window_test::Pump();
    }
    // The answers of the sub-dialogs.
    void TypeText(const std::string& caption, const std::string& text) {
        steps[caption] = [text](HWND dialog) {
            SetDlgItemTextA(dialog, 28010, text.c_str());
            Click(dialog, IDOK);
        };
    }
    // A Shift key stays down, as a hand holds it while the capture reads which side it is.
    void PressKey(int key) {
        steps["Valeur Clavier"] = [key](HWND) {
            platform::InjectKey(key, true);
            if (key != VK_LSHIFT && key != VK_RSHIFT) platform::InjectKey(key, false);
        };
    }
    static void ReleaseShift() {
        for (int key : {VK_SHIFT, VK_LSHIFT, VK_RSHIFT})
            platform::SetKeyState(key, false);
    }
    void PickRow(const std::string& caption, int combo, int index) {
        steps[caption] = [combo, index](HWND dialog) {
            SendDlgItemMessageA(dialog, combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
            Click(dialog, IDOK);
        };
    }

    test_support::TempDir registry;
    GameInputManager manager;
    std::string before;
    std::string chosen;
    std::map<std::string, std::function<void(HWND)>> steps;
};

TEST_F(SetupDialog, EditsReachTheManagerAndCancelPutsEverythingBack) {
    for (int answer : {IDCANCEL, IDOK}) {
        steps[kCaption] = [&](HWND dialog) {
            EXPECT_EQ(Labels(dialog), (std::vector<std::string>{"Joueur 1"}));
            EXPECT_EQ(Labels(dialog, Find(dialog, {"Joueur 1", "Jump"})),
                      (std::vector<std::string>{"[Joystick]", "[Keyboard]", "[Mouse]"}));
            Click(dialog, 28015); // "Nouveau joueur"
            EXPECT_EQ(Labels(dialog), (std::vector<std::string>{"Joueur 1", "Joueur 2"}));
            TypeText("Nouvelle Commande", "Tirer");
            Click(dialog, 28021);
            HTREEITEM keys = Find(dialog, {"Joueur 2", "Tirer", "[Keyboard]"});
            Select(dialog, keys);
            PressKey('A');
            Click(dialog, 28022);
            EXPECT_EQ(Labels(dialog, keys), (std::vector<std::string>{"KEY_VK_A"}));
            // A keyboard condition on the new binding, from its context menu.
            PressKey(VK_RSHIFT);
            ContextCommand(dialog, Next(dialog, TVGN_CHILD, keys), 3);
            ReleaseShift();
            EXPECT_EQ(Labels(dialog, Next(dialog, TVGN_CHILD, keys)),
                      (std::vector<std::string>{"KEY_VK_RSHIFT"}));
            HTREEITEM stick = Find(dialog, {"Joueur 2", "Tirer", "[Joystick]"});
            PickRow("Valeur Joystick", 28008, 2);
            ContextCommand(dialog, stick, 0);
            EXPECT_EQ(Labels(dialog, stick).size(), 1u);
            HTREEITEM mouse = Find(dialog, {"Joueur 1", "Jump", "[Mouse]"});
            Select(dialog, mouse);
            PickRow("Valeur Souris", 28009, 0);
            Click(dialog, 28022);
            EXPECT_EQ(Labels(dialog, mouse).size(), 1u);
            // The binding read from the text goes.
            ContextCommand(dialog, Find(dialog, {"Joueur 1", "Jump", "[Joystick]", "JOY_BUTTON1"}),
                           0);
            EXPECT_TRUE(Labels(dialog, Find(dialog, {"Joueur 1", "Jump", "[Joystick]"})).empty());
            Click(dialog, answer);
        };
        EXPECT_EQ(Run(), answer);
        std::string after = manager.WriteSettings();
        if (answer == IDCANCEL) {
            EXPECT_EQ(after, before);
            EXPECT_EQ(chosen, "");
        } else {
            EXPECT_EQ(chosen, "Solo");
            EXPECT_NE(after.find("Tirer"), std::string::npos) << after;
            EXPECT_NE(after.find("KEY_VK_A"), std::string::npos) << after;
            EXPECT_NE(after.find("KEY_VK_RSHIFT"), std::string::npos) << after;
            EXPECT_EQ(after.find("JOY_BUTTON1\r"), std::string::npos) << after;
            InputPlayer* second = manager.GetSettingAt(0)->GetPlayer(1);
            ASSERT_NE(second, nullptr);
            ASSERT_NE(second->FindAction("Tirer"), nullptr);
            EXPECT_EQ(second->FindAction("Tirer")->bindings[kInputKeyboard - 1].size(), 1u);
            EXPECT_EQ(second->FindAction("Tirer")->bindings[kInputJoystick - 1].size(), 1u);
        }
    }
}

// Conditions come from the pickers of their own device, whatever the binding's: each keeps
// the device type, name, control id and row of the control chosen, a cancelled picker adds
// nothing, and deleting one condition leaves the others in their order.
TEST_F(SetupDialog, ConditionsFromThePickersKeepTheirDeviceAndGoOneByOne) {
    InputBinding* binding = nullptr;
    steps[kCaption] = [&](HWND dialog) {
        HTREEITEM mouse = Find(dialog, {"Joueur 1", "Jump", "[Mouse]"});
        Select(dialog, mouse);
        PickRow("Valeur Souris", 28009, 6); // MOUSE_BUTTON1
        Click(dialog, 28022);
        HTREEITEM button = Next(dialog, TVGN_CHILD, mouse);
        ASSERT_EQ(Labels(dialog, mouse), (std::vector<std::string>{"MOUSE_BUTTON1"}));
        PickRow("Valeur Souris", 28009, 1); // MOUSE_TOP
        ContextCommand(dialog, button, 2);  // "Nouvelle condition Souris"
        PickRow("Valeur Joystick", 28008, 0);
        ContextCommand(dialog, button, 1); // "Nouvelle condition Joystick"
        steps["Valeur Souris"] = [](HWND picker) { Click(picker, IDCANCEL); };
        ContextCommand(dialog, button, 2);
        std::vector<std::string> conditions = Labels(dialog, button);
        ASSERT_EQ(conditions.size(), 2u);
        EXPECT_EQ(conditions[0], "MOUSE_TOP");

        InputAction* jump = manager.GetSettingAt(0)->GetPlayer(0)->FindAction("Jump");
        ASSERT_NE(jump, nullptr);
        ASSERT_EQ(jump->bindings[kInputMouse - 1].size(), 1u);
        binding = jump->bindings[kInputMouse - 1][0];
        ASSERT_EQ(binding->conditions.size(), 2u);
        const InputCondition& top = binding->conditions[0];
        EXPECT_EQ(top.deviceType, kInputMouse);
        EXPECT_EQ(top.name, "MOUSE_TOP");
        EXPECT_EQ(top.controlId, 2u);
        ASSERT_NE(ControlNameTable::GetRow(top.row), nullptr);
        EXPECT_STREQ(ControlNameTable::GetRow(top.row)->name, "MOUSE_TOP");
        const InputCondition& stick = binding->conditions[1];
        EXPECT_EQ(stick.deviceType, kInputJoystick);
        EXPECT_EQ(stick.name, conditions[1]);
        ASSERT_NE(ControlNameTable::GetRow(stick.row), nullptr);
        EXPECT_EQ(ControlNameTable::GetRow(stick.row)->deviceType, kInputJoystick);

        // "Supprimer Condition" on the first one.
        ContextCommand(dialog, Next(dialog, TVGN_CHILD, button), 0);
        EXPECT_EQ(Labels(dialog, button), (std::vector<std::string>{conditions[1]}));
        ASSERT_EQ(binding->conditions.size(), 1u);
        EXPECT_EQ(binding->conditions[0].name, conditions[1]);
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(), IDOK);
    std::string after = manager.WriteSettings();
    const std::string line = "\t\t\t\tMOUSE_BUTTON1+" + binding->conditions[0].name + "\r\n";
    EXPECT_NE(after.find(line), std::string::npos) << after;
    // The text read again gives the same bindings and conditions.
    GameInputManager again;
    ASSERT_GT(again.LoadSettingsMemory(after.data(), after.size()), 0);
    EXPECT_EQ(again.WriteSettings(), after);
}

// The close box is "Annuler", in the main dialog and in the dialogs it opens: nothing they
// were showing is added, the edits made are undone, and the placement is kept.
TEST_F(SetupDialog, TheCloseBoxCancelsEverywhere) {
    RECT movedFrame{};
    steps[kCaption] = [&](HWND dialog) {
        Click(dialog, 28015);
        steps["Nouvelle Commande"] = [](HWND entry) {
            SetDlgItemTextA(entry, 28010, "Lost");
            platform::headless::RequestClose(entry);
        };
        Click(dialog, 28021);
        EXPECT_TRUE(Labels(dialog, Find(dialog, {"Joueur 2"})).empty());
        HTREEITEM keys = Find(dialog, {"Joueur 1", "Jump", "[Keyboard]"});
        Select(dialog, keys);
        steps["Valeur Clavier"] = [](HWND capture) { platform::headless::RequestClose(capture); };
        Click(dialog, 28022);
        EXPECT_TRUE(Labels(dialog, keys).empty());
        // The capture's hook went with it: keys reach the dialog again and a new capture
        // takes the next one.
        Select(dialog, keys);
        PressKey('B');
        Click(dialog, 28022);
        EXPECT_EQ(Labels(dialog, keys), (std::vector<std::string>{"KEY_VK_B"}));
        SetWindowPos(dialog, 0, 25, 35, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
        GetWindowRect(dialog, &movedFrame);
        platform::headless::RequestClose(dialog);
    };
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(chosen, "");
    EXPECT_EQ(manager.WriteSettings(), before);
    steps[kCaption] = [&](HWND dialog) {
        RECT frame{};
        GetWindowRect(dialog, &frame);
        EXPECT_EQ(window_test::Sides(frame), window_test::Sides(movedFrame));
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(), IDOK);
    EXPECT_EQ(manager.WriteSettings(), before);
}

// The program quitting under the dialog ends it unconfirmed: its edits go as with Annuler.
TEST_F(SetupDialog, QuittingUnderTheDialogKeepsNoEdits) {
    steps[kCaption] = [&](HWND dialog) {
        Click(dialog, 28015);
        PostQuitMessage(3);
    };
    EXPECT_NE(Run(), IDOK);
    EXPECT_EQ(chosen, "");
    EXPECT_EQ(manager.WriteSettings(), before);
    // The quit is handed on to the program's own loop.
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, 0, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(SetupDialog, DeletingTheSecondOfThreePlayersRelabelsTheOthers) {
    steps[kCaption] = [&](HWND dialog) {
        Click(dialog, 28015);
        ContextCommand(dialog, 0, 0); // "Nouveau Joueur" where no item is
        EXPECT_EQ(Labels(dialog), (std::vector<std::string>{"Joueur 1", "Joueur 2", "Joueur 3"}));
        TypeText("Nouvelle Commande", "Marker");
        Select(dialog, Find(dialog, {"Joueur 3"}));
        Click(dialog, 28021);
        ContextCommand(dialog, Find(dialog, {"Joueur 2"}), 0); // "Supprimer Joueur"
        EXPECT_EQ(Labels(dialog), (std::vector<std::string>{"Joueur 1", "Joueur 2"}));
        EXPECT_EQ(Labels(dialog, Find(dialog, {"Joueur 2"})), (std::vector<std::string>{"Marker"}));
        // The command goes by its own menu.
        ContextCommand(dialog, Find(dialog, {"Joueur 2", "Marker"}), 0);
        EXPECT_TRUE(Labels(dialog, Find(dialog, {"Joueur 2"})).empty());
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(), IDOK);
    InputSetting* solo = manager.GetSettingAt(0);
    ASSERT_EQ(solo->GetPlayerCount(), 2);
    EXPECT_NE(solo->GetPlayer(0)->FindAction("Jump"), nullptr);
    EXPECT_EQ(solo->GetPlayer(1)->FindAction("Marker"), nullptr);
}

TEST_F(SetupDialog, GameTypesAreAddedRenamedAndDeletedAfterAYes) {
    steps[kCaption] = [&](HWND dialog) {
        HWND types = GetDlgItem(dialog, 28001);
        char text[64] = {};
        SendMessageA(types, CB_GETLBTEXT, SendMessageA(types, CB_GETCURSEL, 0, 0),
                     reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, "Duo"); // the name given, in the sorted box
        TypeText("Nom Type Jeu", "Arcade");
        Click(dialog, 28011);
        EXPECT_EQ(SendMessageA(types, CB_GETCOUNT, 0, 0), 3);
        EXPECT_TRUE(Labels(dialog).empty());
        TypeText("Arcade", "Zapper");
        Click(dialog, 28024);
        platform::test::SetMessageBoxAnswer(IDNO);
        Click(dialog, 28023);
        EXPECT_EQ(SendMessageA(types, CB_GETCOUNT, 0, 0), 3);
        platform::test::SetMessageBoxAnswer(IDYES);
        Select(dialog, 0);
        SendMessageA(types, CB_SETCURSEL, 0, 0); // "Duo"
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(28001, CBN_SELCHANGE),
                     static_cast<LPARAM>(types));
        Click(dialog, 28023);
        EXPECT_EQ(SendMessageA(types, CB_GETCOUNT, 0, 0), 2);
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run("Duo"), IDOK);
    std::vector<platform::test::RecordedMessageBox> boxes = platform::test::RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Etes-vous certain de vouloir supprimer ces r\xE9glages ?");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    ASSERT_EQ(manager.GetSettingCount(), 2);
    EXPECT_EQ(manager.GetSettingAt(0)->name, "Solo");
    EXPECT_EQ(manager.GetSettingAt(1)->name, "Zapper");
    EXPECT_EQ(chosen, "Solo");
}

TEST_F(SetupDialog, WithoutGameTypesOnlyAddingIsOffered) {
    manager.RemoveAllSettings();
    steps[kCaption] = [&](HWND dialog) {
        for (int id : {28002, 28015, 28003, 28004, 28021, 28022, 28023, 28024})
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 28011)));
        TypeText("Nom Type Jeu", "First");
        Click(dialog, 28011);
        for (int id : {28002, 28015, 28003, 28023, 28024})
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
        Click(dialog, 28015);
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(""), IDOK);
    EXPECT_EQ(manager.WriteSettings().substr(0, 7), "First\r\n");
    EXPECT_EQ(chosen, "First");
}

TEST_F(SetupDialog, TheKeyCaptureTakesAnyKeyAndMakesShiftPrecise) {
    struct Case {
        int key;
        bool leftShift;
        std::string name;
    };
    std::vector<Case> cases = {{VK_SHIFT, true, "KEY_VK_LSHIFT"},
                               {VK_SHIFT, false, "KEY_VK_RSHIFT"},
                               {VK_ESCAPE, false, "KEY_VK_ESCAPE"},
                               {VK_RETURN, false, "KEY_VK_RETURN"},
                               {0x07, false, ""}};
    steps[kCaption] = [&](HWND dialog) {
        HTREEITEM keys = Find(dialog, {"Joueur 1", "Jump", "[Keyboard]"});
        for (const Case& one : cases) {
            Select(dialog, keys);
            if (one.key == VK_SHIFT)
                PressKey(one.leftShift ? VK_LSHIFT : VK_RSHIFT);
            else
                PressKey(one.key);
            Click(dialog, 28022);
            ReleaseShift();
            std::vector<std::string> labels = Labels(dialog, keys);
            if (one.name.empty()) {
                EXPECT_TRUE(labels.empty() || labels.back() != "") << "nothing added";
            } else {
                ASSERT_FALSE(labels.empty());
                EXPECT_EQ(labels.back(), one.name);
            }
        }
        EXPECT_EQ(Labels(dialog, keys).size(), 4u);
        // "Annuler" alone leaves the capture.
        steps["Valeur Clavier"] = [](HWND capture) { Click(capture, IDCANCEL); };
        Click(dialog, 28022);
        EXPECT_EQ(Labels(dialog, keys).size(), 4u);
        Click(dialog, IDCANCEL);
    };
    EXPECT_EQ(Run(), IDCANCEL);
    std::vector<platform::test::RecordedMessageBox> boxes = platform::test::RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Touche non support\xE9"
                             "e");
    EXPECT_EQ(manager.WriteSettings(), before);
}

TEST_F(SetupDialog, TheDeviceOrderMovesAndTheWindowKeepsItsSizeAndPlace) {
    RECT firstFrame{}, movedFrame{};
    steps[kCaption] = [&](HWND dialog) {
        HWND list = GetDlgItem(dialog, 28003);
        HWND arrows = GetDlgItem(dialog, 28004);
        EXPECT_FALSE(IsWindowEnabled(arrows));
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(28003, LBN_SELCHANGE),
                     static_cast<LPARAM>(list));
        EXPECT_TRUE(IsWindowEnabled(arrows));
        // The position goes up by one: "Joystick" trades places with "Clavier".
        SendMessageA(dialog, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1),
                     static_cast<LPARAM>(arrows));
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
        char text[32] = {};
        SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, "Clavier");

        GetWindowRect(dialog, &firstFrame);
        RECT tree{}, ok{};
        GetWindowRect(GetDlgItem(dialog, 28002), &tree);
        GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
        // Smaller than it opened: the dragged edges are held back.
        RECT smaller{firstFrame.left + 30, firstFrame.top + 20, firstFrame.right,
                     firstFrame.bottom};
        SendMessageA(dialog, WM_SIZING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(&smaller));
        EXPECT_EQ(smaller.left, firstFrame.left);
        EXPECT_EQ(smaller.top, firstFrame.top);
        RECT shorter = firstFrame;
        shorter.bottom -= 40;
        SendMessageA(dialog, WM_SIZING, WMSZ_BOTTOM, reinterpret_cast<LPARAM>(&shorter));
        EXPECT_EQ(shorter.bottom, firstFrame.bottom);
        // Larger: the tree grows, OK moves by half the width and the whole height.
        SetWindowPos(dialog, 0, 40, 30, firstFrame.right - firstFrame.left + 60,
                     firstFrame.bottom - firstFrame.top + 50, SWP_NOZORDER);
        RECT grown{}, movedOk{};
        GetWindowRect(GetDlgItem(dialog, 28002), &grown);
        GetWindowRect(GetDlgItem(dialog, IDOK), &movedOk);
        EXPECT_EQ(grown.right - grown.left, tree.right - tree.left + 60);
        EXPECT_EQ(grown.bottom - grown.top, tree.bottom - tree.top + 50);
        EXPECT_EQ((movedOk.left - grown.left) - (ok.left - tree.left), 30);
        EXPECT_EQ((movedOk.top - grown.top) - (ok.top - tree.top), 50);
        GetWindowRect(dialog, &movedFrame);
        Click(dialog, IDOK);
    };
    EXPECT_EQ(Run(), IDOK);
    EXPECT_EQ(manager.GetSettingAt(0)->preferred[0], kInputKeyboard);
    EXPECT_EQ(manager.GetSettingAt(0)->preferred[1], kInputJoystick);
    // The placement comes back the next time.
    steps[kCaption] = [&](HWND dialog) {
        RECT frame{};
        GetWindowRect(dialog, &frame);
        EXPECT_EQ(window_test::Sides(frame), window_test::Sides(movedFrame));
        Click(dialog, IDCANCEL);
    };
    EXPECT_EQ(Run(), IDCANCEL);
}

} // namespace
