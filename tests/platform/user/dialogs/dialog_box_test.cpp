#include "platform/user/dialogs/dialog_box.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/button.h"
#include "platform/controls/dialogs/drawn_dialog.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/tree_view.h"
#include "platform/display/headless_display.h"
#include "platform/display/png_dump.h"
#include "platform/gdi/text/font_pinned_set.h"
#include "platform/kernel/threads.h"
#include "platform/last_error.h"
#include "platform/user/dialogs/message_box.h"
#include "platform/user/dialogs/message_box_test_hooks.h"
#include "platform/user/dialogs/msg_filter_hook.h"
#include "platform/user/input/cursor.h"
#include "platform/user/input/input_fixture.h"
#include "platform/user/menus/menu_test_hooks.h"
#include "platform/user/menus/menus.h"
#include "support/golden_picture.h"

namespace {

namespace headless = platform::headless;

constexpr UINT kApp = WM_USER + 0x200;
constexpr UINT kCheck = kApp + 1;

// The test's dialog procedure: `onInit` runs at WM_INITDIALOG, `onCheck` at the message
// posted from there, once the loop runs; `answer` takes every other message first.
struct Script {
    std::function<void(HWND)> onInit;
    std::function<void(HWND)> onCheck;
    std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> answer;
    std::vector<UINT> seen;
    LPARAM initParam = 0;
};
Script* script = nullptr;

INT_PTR ScriptProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    script->seen.push_back(message);
    if (message == WM_INITDIALOG) {
        script->initParam = lParam;
        if (script->onInit) script->onInit(dialog);
        PostMessageA(dialog, kCheck, 0, 0);
        return TRUE;
    }
    if (message == kCheck) {
        if (script->onCheck) script->onCheck(dialog);
        return TRUE;
    }
    return script->answer ? script->answer(dialog, message, wParam, lParam) : FALSE;
}

class DialogBox : public input_test::InputTest {
protected:
    void SetUp() override {
        headless::Install();
        InputTest::SetUp();
        platform::test::DrawDialogsAsWindows(true);
        script = &current;
    }
    void TearDown() override {
        platform::test::DrawDialogsAsWindows(false);
        script = nullptr;
        InputTest::TearDown();
    }
    INT_PTR Run(UINT id, HWND owner = 0) {
        return DialogBoxParamA(0, MAKEINTRESOURCEA(static_cast<WORD>(id)), owner, ScriptProcedure,
                               77);
    }
    static RECT ClientPlace(HWND dialog, int id) {
        RECT rect{};
        GetWindowRect(GetDlgItem(dialog, id), &rect);
        MapWindowPoints(0, dialog, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    Script current;
};

TEST_F(DialogBox, LaysOutTemplatesInDialogUnitsAndEndsWithTheGivenValue) {
    RECT expected{7, 17, 7 + 151, 17 + 12};
    current.onInit = [&](HWND dialog) {
        EXPECT_TRUE(MapDialogRect(dialog, &expected));
        EXPECT_FALSE(IsWindowVisible(dialog));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
        SetDlgItemTextA(dialog, 28010, "typed");
    };
    current.onCheck = [&](HWND dialog) {
        EXPECT_TRUE(IsWindowVisible(dialog));
        RECT edit = ClientPlace(dialog, 28010);
        EXPECT_EQ(window_test::Sides(edit), window_test::Sides(expected));
        // The GUI font's average character is wider than 4 pixels and taller than 8.
        EXPECT_GT(expected.right - expected.left, 151);
        EXPECT_GT(expected.bottom - expected.top, 12);
        char text[16] = {};
        EXPECT_EQ(GetDlgItemTextA(dialog, 28010, text, sizeof text), 5u);
        EXPECT_STREQ(text, "typed");
        EXPECT_EQ(GetWindowTextA(GetDlgItem(dialog, 28012), text, sizeof text), 15);
        EXPECT_STREQ(text, "Cha\xEEne commande");
        // The edit had the focus given at WM_INITDIALOG (the first tab stop).
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 28010));
        EXPECT_TRUE(EndDialog(dialog, 42));
        EXPECT_TRUE(EndDialog(dialog, 43)); // the first value holds
    };
    EXPECT_EQ(Run(28105), 42);
    EXPECT_EQ(current.initParam, 77);
    EXPECT_FALSE(EndDialog(0x4242, 1));
    EXPECT_EQ(Run(12345), -1);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(DialogBoxIndirectParamA(0, nullptr, 0, ScriptProcedure, 0), -1);
}

TEST_F(DialogBox, WhereNobodySeesItADialogIsCancelledUnmade) {
    platform::test::DrawDialogsAsWindows(false);
    EXPECT_EQ(Run(28105), IDCANCEL);
    EXPECT_TRUE(current.seen.empty());
}

TEST_F(DialogBox, CentresUnderDsCenterAndDisablesTheOwner) {
    HWND owner = window_test::Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200);
    current.onCheck = [&](HWND dialog) {
        RECT frame = window_test::WindowRect(dialog);
        int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        int screenHeight = GetSystemMetrics(SM_CYSCREEN);
        EXPECT_NEAR((frame.left + frame.right) / 2, screenWidth / 2, 1);
        EXPECT_NEAR((frame.top + frame.bottom) / 2, screenHeight / 2, 1);
        EXPECT_FALSE(IsWindowEnabled(owner));
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
        EndDialog(dialog, IDOK);
    };
    EXPECT_EQ(Run(28001, owner), IDOK);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

TEST_F(DialogBox, AnswersComeFromMsgResultAndDefaultsFillTheRest) {
    current.answer = [](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == kApp + 2) {
            SetWindowLongPtrA(dialog, DWL_MSGRESULT, 1234);
            return TRUE;
        }
        if (message == kApp + 3) {
            SetWindowLongPtrA(dialog, DWL_MSGRESULT, 999);
            return FALSE; // not handled: the default answer (0) stands
        }
        if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 7);
            return TRUE;
        }
        return FALSE;
    };
    current.onCheck = [](HWND dialog) {
        EXPECT_EQ(SendMessageA(dialog, kApp + 2, 0, 0), 1234);
        EXPECT_EQ(SendMessageA(dialog, kApp + 3, 0, 0), 0);
        EXPECT_EQ(SendMessageA(dialog, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
        SetWindowLongPtrA(dialog, DWL_USER, 55);
        EXPECT_EQ(GetWindowLongPtrA(dialog, DWL_USER), 55);
        // The close box becomes the Cancel button.
        SendMessageA(dialog, WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(Run(28002), 7);
}

TEST_F(DialogBox, TreeNotificationsAreAnsweredThroughMsgResult) {
    bool keepShut = true;
    current.answer = [&](HWND dialog, UINT message, WPARAM, LPARAM lParam) -> INT_PTR {
        if (message != WM_NOTIFY) return FALSE;
        if (reinterpret_cast<const NMHDR*>(lParam)->code != NM_DBLCLK) return FALSE;
        SetWindowLongPtrA(dialog, DWL_MSGRESULT, keepShut ? 1 : 0);
        return TRUE;
    };
    current.onCheck = [&](HWND dialog) {
        HWND tree = GetDlgItem(dialog, 28002);
        TVINSERTSTRUCTA insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<LPSTR>("Joueur 1");
        auto player = static_cast<HTREEITEM>(
            SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        insert.hParent = player;
        insert.item.pszText = const_cast<LPSTR>("Sauter");
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
        RECT label{};
        std::memcpy(&label, &player, sizeof player);
        SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label));
        LPARAM at = MAKELPARAM(label.left + 3, (label.top + label.bottom) / 2);
        auto open = [&] {
            TVITEMA fields{TVIF_STATE, player, 0, TVIS_EXPANDED, nullptr, 0, 0, 0, 0, 0};
            SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&fields));
            return fields.state != 0;
        };
        SendMessageA(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        EXPECT_FALSE(open());
        keepShut = false;
        SendMessageA(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        EXPECT_TRUE(open());
        EndDialog(dialog, IDOK);
    };
    EXPECT_EQ(Run(28000), IDOK);
}

TEST_F(DialogBox, MenusLoadByNumber) {
    HMENU menu = LoadMenuA(0, MAKEINTRESOURCEA(28003));
    ASSERT_NE(menu, 0u);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    char text[64] = {};
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Sous-Menu");
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, 0u);
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(popup); ++i)
        ids.push_back(GetMenuItemID(popup, i));
    EXPECT_EQ(ids, (std::vector<UINT>{28110, 28111, 28112, 28113}));
    DestroyMenu(menu);
    HMENU group = LoadMenuA(0, MAKEINTRESOURCEA(28002));
    GetMenuStringA(GetSubMenu(group, 0), 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Nouvelle entr\xE9"
                       "e...");
    DestroyMenu(group);
    HMENU command = LoadMenuA(0, MAKEINTRESOURCEA(28001));
    GetMenuStringA(GetSubMenu(command, 0), 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Supprimer Commande ");
    DestroyMenu(command);
    EXPECT_EQ(LoadMenuA(0, MAKEINTRESOURCEA(28006)), 0u);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(LoadMenuA(0, "named"), 0u);
}

// The hooks record what they see and eat what `eat` says.
struct HookLog {
    std::vector<std::pair<char, int>> calls; // which hook, code
    std::function<bool(const MSG&)> eat;
    HHOOK first = 0;
    HHOOK second = 0;
};
HookLog* hookLog = nullptr;

LRESULT FirstHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code < 0) return CallNextHookEx(hookLog->first, code, wParam, lParam);
    hookLog->calls.emplace_back('1', code);
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    return hookLog->eat && hookLog->eat(*msg) ? 1 : 0;
}

LRESULT SecondHook(int code, WPARAM wParam, LPARAM lParam) {
    hookLog->calls.emplace_back('2', code);
    return CallNextHookEx(hookLog->second, code, wParam, lParam);
}

class MessageFilter : public DialogBox {
protected:
    void SetUp() override {
        DialogBox::SetUp();
        hookLog = &log;
    }
    void TearDown() override {
        for (HHOOK hook : {log.first, log.second})
            if (hook != 0) UnhookWindowsHookEx(hook);
        hookLog = nullptr;
        platform::test::ShowMessageBoxesAsWindows(false);
        platform::test::SetMessageBoxShownHook(nullptr);
        platform::test::SetMenuWaitHook(nullptr);
        DialogBox::TearDown();
    }
    void Install() {
        log.first = SetWindowsHookExA(WH_MSGFILTER, FirstHook, 0, GetCurrentThreadId());
        log.second = SetWindowsHookExA(WH_MSGFILTER, SecondHook, 0, GetCurrentThreadId());
        ASSERT_NE(log.first, 0u);
        ASSERT_NE(log.second, 0u);
    }
    bool SawCode(int code) const {
        for (const auto& call : log.calls)
            if (call.second == code) return true;
        return false;
    }
    HookLog log;
};

TEST_F(MessageFilter, RefusesWhatItDoesNotOffer) {
    EXPECT_EQ(SetWindowsHookExA(2, FirstHook, 0, GetCurrentThreadId()), 0u);
    EXPECT_EQ(SetWindowsHookExA(WH_MSGFILTER, nullptr, 0, GetCurrentThreadId()), 0u);
    EXPECT_EQ(SetWindowsHookExA(WH_MSGFILTER, FirstHook, 0, 0), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(UnhookWindowsHookEx(0x777));
    HHOOK hook = SetWindowsHookExA(WH_MSGFILTER, FirstHook, 0, GetCurrentThreadId());
    EXPECT_TRUE(UnhookWindowsHookEx(hook));
    EXPECT_FALSE(UnhookWindowsHookEx(hook));
    EXPECT_EQ(CallNextHookEx(hook, 0, 0, 0), 0);
}

TEST_F(MessageFilter, DialogLoopsOfferEachMessageNewestHookFirstAndEatenKeysGoNowhere) {
    Install();
    log.eat = [](const MSG& msg) { return msg.message == WM_KEYDOWN && msg.wParam == 'A'; };
    current.onCheck = [&](HWND dialog) {
        SetFocus(GetDlgItem(dialog, 28010));
        platform::InjectKey('A', true);
        platform::InjectKey('A', false);
        platform::InjectKey('B', true);
        platform::InjectKey('B', false);
        PostMessageA(dialog, kApp + 9, 0, 0);
    };
    bool checked = false;
    current.answer = [&](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message != kApp + 9) return FALSE;
        char text[8] = {};
        GetDlgItemTextA(dialog, 28010, text, sizeof text);
        EXPECT_STREQ(text, "b");
        checked = true;
        EndDialog(dialog, IDOK);
        return TRUE;
    };
    EXPECT_EQ(Run(28105), IDOK);
    EXPECT_TRUE(checked);
    ASSERT_GE(log.calls.size(), 2u);
    EXPECT_EQ(log.calls[0], (std::pair<char, int>{'2', MSGF_DIALOGBOX}));
    EXPECT_EQ(log.calls[1], (std::pair<char, int>{'1', MSGF_DIALOGBOX}));
}

TEST_F(MessageFilter, MessageBoxAndMenuLoopsOfferTheirMessages) {
    Install();
    platform::test::ShowMessageBoxesAsWindows(true);
    platform::test::SetMessageBoxShownHook(
        [](HWND box) { PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0); });
    EXPECT_EQ(MessageBoxA(0, "question", "", MB_OK), IDOK);
    EXPECT_TRUE(SawCode(MSGF_MESSAGEBOX));

    HWND owner = window_test::Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200);
    HMENU menu = LoadMenuA(0, MAKEINTRESOURCEA(28000));
    // The hook eats the first Escape; the second one closes the menu.
    int escapes = 0;
    log.eat = [&](const MSG& msg) {
        return msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && ++escapes == 1;
    };
    int waits = 0;
    platform::test::SetMenuWaitHook([&](HWND) {
        if (++waits <= 2) platform::InjectKey(VK_ESCAPE, true);
    });
    log.calls.clear();
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_RETURNCMD, 10, 10, 0, owner, nullptr);
    EXPECT_TRUE(SawCode(MSGF_MENU));
    EXPECT_EQ(escapes, 2);
    DestroyMenu(menu);
    DestroyWindow(owner);
}

// Every channel within 8 of the reference on all but 0.5% of the pixels.
void ExpectCloseToGolden(const std::filesystem::path& golden, const headless::Pixels& drawn) {
    if (std::getenv("ZORV_WRITE_PICTURES") != nullptr) {
        ASSERT_TRUE(
            platform::WritePngFile(golden.string(), drawn.data.data(), drawn.width, drawn.height));
        return;
    }
    headless::Pixels expected;
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

class DialogGolden : public DialogBox, public ::testing::WithParamInterface<UINT> {
protected:
    void SetUp() override {
        dir.WriteFile("fonts/.keep", "");
        for (const char* name : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"})
            std::filesystem::create_symlink(std::string(font_test::LIBERATION_FOLDER) + "/" + name,
                                            dir.Linux(std::string("fonts/") + name));
        font_test::PinFolders(dir, font_test::Dir(dir.Linux("fonts")));
        DialogBox::SetUp();
    }
    void TearDown() override {
        DialogBox::TearDown();
        platform::test::UseFontConfigFile("");
    }
    test_support::TempDir dir;
};

TEST_P(DialogGolden, TemplateLooks) {
    UINT id = GetParam();
    current.onCheck = [&](HWND dialog) {
        UpdateWindow(dialog);
        window_test::Pump();
        headless::Pixels drawn;
        ASSERT_TRUE(headless::ReadWholePixels(dialog, drawn));
        ExpectCloseToGolden(std::filesystem::path(__FILE__).parent_path() / "golden" /
                                ("dialog_" + std::to_string(id) + ".png"),
                            drawn);
        EndDialog(dialog, IDOK);
    };
    EXPECT_EQ(Run(id), IDOK);
}

INSTANTIATE_TEST_SUITE_P(Templates, DialogGolden,
                         ::testing::Values(28000u, 28001u, 28002u, 28104u, 28105u));

} // namespace
