#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/button.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/dialogs/drawn_dialog.h"
#include "platform/controls/dialogs/file_dialog.h"
#include "platform/controls/edit.h"
#include "platform/controls/list_box.h"
#include "platform/controls/static_text.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/screen_dc.h"
#include "platform/kernel/test_hooks.h"
#include "platform/printing/printing.h"
#include "platform/user/dialogs/common_dialogs.h"
#include "platform/user/dialogs/folder_browser.h"
#include "platform/user/input/input_fixture.h"
#include "platform/user/input/keyboard_state.h"
#include "platform/user/test_hooks.h"
#include "support/temp_dir.h"

namespace {

namespace headless = platform::headless;

constexpr int ID_NAME = 10;
constexpr int ID_RADIO = 20; // three of them
constexpr int ID_NOTES = 30;
constexpr int ID_LATER = 40;
constexpr int ID_DISABLED = 50;

// A dialog of an edit after its label, a group of three radio buttons, a multi-line edit
// that takes Return, a disabled button, and OK and Cancel; it records the commands it
// hears and ends when told to.
class Form : public platform::DialogContent {
public:
    void Create(HWND dialog) override {
        using platform::AddControl;
        AddControl(dialog, "STATIC", "&Name:", SS_LEFT, -1, 10, 10, 60, 16);
        AddControl(dialog, "EDIT", "abc", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, ID_NAME, 80, 8,
                   120, 20);
        for (int i = 0; i < 3; ++i)
            AddControl(dialog, "BUTTON", i == 1 ? "&Second" : "Radio",
                       BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0), ID_RADIO + i, 10,
                       40 + 20 * i, 100, 16);
        AddControl(dialog, "EDIT", "",
                   WS_GROUP | WS_TABSTOP | WS_BORDER | ES_MULTILINE | ES_WANTRETURN, ID_NOTES, 10,
                   110, 190, 40);
        AddControl(dialog, "BUTTON", "Disabled", WS_TABSTOP | WS_DISABLED, ID_DISABLED, 10, 160, 60,
                   23);
        AddControl(dialog, "BUTTON", "&Later", WS_TABSTOP, ID_LATER, 80, 160, 60, 23);
        AddControl(dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 150, 160, 60, 23);
        AddControl(dialog, "BUTTON", "Cancel", WS_TABSTOP, IDCANCEL, 220, 160, 60, 23);
    }
    void Command(HWND dialog, int id, WORD code, HWND) override {
        if (id == ID_NAME || id == ID_NOTES) return;
        heard.push_back(id);
        if (code == BN_CLICKED && endOn == id)
            platform::EndDrawnDialog(dialog, id == IDCANCEL ? IDCANCEL : IDOK);
    }
    std::vector<int> heard;
    int endOn = IDCANCEL;
};

// Takes what the keys and clicks so far queued, through the dialog manager.
void Pump(HWND dialog) {
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE))
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
}

void Watchdog(HWND, UINT, UINT_PTR, DWORD) {
    ADD_FAILURE() << "a dialog was left waiting";
    PostQuitMessage(0);
}

class DrawnDialog : public input_test::InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        headless::Install();
        platform::test::DrawDialogsAsWindows(true);
        platform::test::FreezeClock(1000);
        watchdog = SetTimer(0, 0, 60000, Watchdog);
    }
    void TearDown() override {
        KillTimer(0, watchdog);
        platform::test::SetDrawnDialogShownHook(nullptr);
        platform::test::DrawDialogsAsWindows(false);
        InputTest::TearDown();
    }
    int Run(platform::DialogContent& content, const std::function<void(HWND)>& user) {
        HWND seen = 0;
        platform::test::SetDrawnDialogShownHook([&](HWND dialog) {
            seen = dialog;
            user(dialog);
        });
        int answer = platform::RunDrawnDialog(0, "Dialog", 300, 200, content);
        EXPECT_NE(seen, 0u);
        EXPECT_FALSE(IsWindow(seen));
        return answer;
    }
    UINT_PTR watchdog = 0;
};

int FocusedId() {
    return GetDlgCtrlID(GetFocus());
}

TEST_F(DrawnDialog, TabWalksTheTabStopsAndArrowsTheGroup) {
    Form form;
    std::vector<int> forward, backward, arrows;
    std::vector<LRESULT> checks;
    EXPECT_EQ(Run(form,
                  [&](HWND dialog) {
                      forward.push_back(FocusedId());
                      for (int i = 0; i < 6; ++i) {
                          headless::PressKey(VK_TAB);
                          Pump(dialog);
                          forward.push_back(FocusedId());
                      }
                      headless::KeyDown(VK_SHIFT);
                      for (int i = 0; i < 2; ++i) {
                          headless::PressKey(VK_TAB);
                          Pump(dialog);
                          backward.push_back(FocusedId());
                      }
                      headless::KeyUp(VK_SHIFT);
                      // Back on OK, then to the radio buttons: the arrows walk and check them.
                      SetFocus(GetDlgItem(dialog, ID_RADIO));
                      for (int key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_UP}) {
                          headless::PressKey(key);
                          Pump(dialog);
                          arrows.push_back(FocusedId());
                      }
                      for (int i = 0; i < 3; ++i)
                          checks.push_back(
                              SendDlgItemMessageA(dialog, ID_RADIO + i, BM_GETCHECK, 0, 0));
                      headless::PressKey(VK_ESCAPE);
                  }),
              IDCANCEL);
    // The disabled button and the radio buttons after the first are no tab stops.
    EXPECT_EQ(forward,
              (std::vector<int>{ID_NAME, ID_RADIO, ID_NOTES, ID_LATER, IDOK, IDCANCEL, ID_NAME}));
    EXPECT_EQ(backward, (std::vector<int>{IDCANCEL, IDOK}));
    EXPECT_EQ(arrows, (std::vector<int>{ID_RADIO + 1, ID_RADIO + 2, ID_RADIO, ID_RADIO + 2}));
    EXPECT_EQ(checks, (std::vector<LRESULT>{BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED}));
}

TEST_F(DrawnDialog, ReturnPressesTheDefaultUnlessTheEditTakesIt) {
    Form form;
    form.endOn = IDOK;
    std::string notes;
    EXPECT_EQ(Run(form,
                  [&](HWND dialog) {
                      SetFocus(GetDlgItem(dialog, ID_NOTES));
                      headless::TypeText("a");
                      headless::PressKey(VK_RETURN);
                      headless::TypeText("b");
                      Pump(dialog);
                      char text[32] = {};
                      GetDlgItemTextA(dialog, ID_NOTES, text, sizeof text);
                      notes = text;
                      SetFocus(GetDlgItem(dialog, ID_NAME));
                      headless::PressKey(VK_RETURN);
                  }),
              IDOK);
    EXPECT_EQ(notes, "a\r\nb");
    EXPECT_EQ(form.heard, (std::vector<int>{IDOK}));
}

TEST_F(DrawnDialog, AFocusedPushButtonTakesReturnAndLettersChooseTheirControl) {
    Form form;
    form.endOn = ID_LATER;
    int focusAfterLabel = 0;
    LRESULT second = 0;
    EXPECT_EQ(Run(form,
                  [&](HWND dialog) {
                      // Alt+N goes past the label to its edit; S alone, outside an edit,
                      // clicks its radio button.
                      headless::KeyDown(VK_MENU);
                      headless::PressKey('N');
                      headless::KeyUp(VK_MENU);
                      Pump(dialog);
                      focusAfterLabel = FocusedId();
                      SetFocus(GetDlgItem(dialog, IDCANCEL));
                      headless::TypeText("s");
                      Pump(dialog);
                      second = SendDlgItemMessageA(dialog, ID_RADIO + 1, BM_GETCHECK, 0, 0);
                      SetFocus(GetDlgItem(dialog, ID_LATER));
                      headless::PressKey(VK_RETURN);
                  }),
              IDOK);
    EXPECT_EQ(focusAfterLabel, ID_NAME);
    EXPECT_EQ(second, BST_CHECKED);
    EXPECT_EQ(form.heard.back(), ID_LATER);
}

TEST_F(DrawnDialog, MessagesOfOtherWindowsAreLeftAndTheOwnerComesBack) {
    HWND owner = Keep(input_test::Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100));
    HWND other = Keep(input_test::Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100));
    Form form;
    BOOL foreign = TRUE;
    BOOL ownerEnabled = TRUE;
    HWND seen = 0;
    platform::test::SetDrawnDialogShownHook([&](HWND dialog) {
        seen = dialog;
        MSG msg{other, WM_KEYDOWN, VK_TAB, 0, 0, {}};
        foreign = IsDialogMessageA(dialog, &msg);
        ownerEnabled = IsWindowEnabled(owner);
        headless::RequestClose(dialog);
    });
    EXPECT_EQ(platform::RunDrawnDialog(owner, "Dialog", 300, 200, form), IDCANCEL);
    EXPECT_FALSE(foreign);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(IsWindow(seen));
}

} // namespace

namespace {

constexpr int ID_RED_FIELD = 101;
constexpr int ID_BLUE_FIELD = 103;
constexpr int ID_ADD_CUSTOM = 100;

TEST_F(DrawnDialog, TheColourDialogTakesAClickedColourTheFieldsAndTheCustomPlaces) {
    platform::SetCommonDialogProvider(nullptr);
    COLORREF custom[16] = {};
    custom[3] = 0x123456;
    CHOOSECOLORA request{sizeof(CHOOSECOLORA), 0, 0,       0x00FF00, custom,
                         CC_RGBINIT,           0, nullptr, nullptr};
    std::string fields;
    platform::test::SetDrawnDialogShownHook([&](HWND dialog) {
        char text[8] = {};
        GetDlgItemTextA(dialog, ID_RED_FIELD + 1, text, sizeof text);
        fields = text;
        // The second row starts with pure red.
        headless::Click(dialog, headless::Button::Left, 20, 54);
        Pump(dialog);
        GetDlgItemTextA(dialog, ID_RED_FIELD, text, sizeof text);
        fields += std::string(",") + text;
        SetFocus(GetDlgItem(dialog, ID_BLUE_FIELD));
        SendDlgItemMessageA(dialog, ID_BLUE_FIELD, EM_SETSEL, 0, -1);
        headless::TypeText("7");
        Pump(dialog);
        SendMessageA(GetDlgItem(dialog, ID_ADD_CUSTOM), BM_CLICK, 0, 0);
        headless::PressKey(VK_RETURN);
    });
    ASSERT_TRUE(ChooseColorA(&request));
    EXPECT_EQ(fields, "255,255");
    EXPECT_EQ(request.rgbResult, 0x0700FFu);
    EXPECT_EQ(custom[0], 0x0700FFu);
    EXPECT_EQ(custom[3], 0x123456u);

    // A cancel leaves the caller's colours as they were.
    platform::test::SetDrawnDialogShownHook([](HWND dialog) {
        SendMessageA(GetDlgItem(dialog, ID_ADD_CUSTOM), BM_CLICK, 0, 0);
        headless::PressKey(VK_ESCAPE);
    });
    EXPECT_FALSE(ChooseColorA(&request));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_EQ(custom[1], 0u);
}

} // namespace

namespace {

struct PickerScript {
    std::string start;
    std::string refused; // OK stays off while this folder is selected
    std::vector<std::string> heard;
};

int PickerCallback(HWND window, UINT message, LPARAM lParam, LPARAM data) {
    auto* script = reinterpret_cast<PickerScript*>(data);
    if (message == BFFM_INITIALIZED) {
        SendMessageA(window, BFFM_SETSELECTIONA, TRUE,
                     reinterpret_cast<LPARAM>(script->start.c_str()));
    } else if (message == BFFM_SELCHANGED) {
        char path[MAX_PATH] = {};
        SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lParam), path);
        script->heard.push_back(path);
        SendMessageA(window, BFFM_ENABLEOK, 0, script->refused != path);
    }
    return 0;
}

// Runs the folder picker with the script's callback: the folder chosen, "" when cancelled.
std::string PickFolder(PickerScript& script) {
    BROWSEINFOA info{
        0, nullptr, nullptr, "Pick one", 0, PickerCallback, reinterpret_cast<LPARAM>(&script), 0};
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (chosen == nullptr) return "";
    char path[MAX_PATH] = {};
    SHGetPathFromIDListA(chosen, path);
    CoTaskMemFree(chosen);
    return path;
}

std::vector<std::string> ListItems(HWND dialog, int id) {
    std::vector<std::string> items;
    LRESULT count = SendDlgItemMessageA(dialog, id, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[MAX_PATH] = {};
        SendDlgItemMessageA(dialog, id, LB_GETTEXT, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

constexpr int ID_PICKER_LIST = 101;

TEST_F(DrawnDialog, TheFolderPickerWalksFoldersAndHonoursTheCallback) {
    platform::SetFolderPickerProvider(nullptr);
    test_support::TempDir dir;
    dir.WriteFile("Beta/inner/file.txt", "x");
    dir.WriteFile("alpha/file.txt", "x");
    dir.WriteFile(".hidden/file.txt", "x");
    dir.WriteFile("plain.txt", "x");
    PickerScript script{dir.WinPath(), dir.Win("Beta"), {}};
    std::vector<std::string> items, inner;
    bool okWhileRefused = true;
    platform::test::SetDrawnDialogShownHook([&](HWND dialog) {
        items = ListItems(dialog, ID_PICKER_LIST);
        // Down twice: "..", then "alpha", then "Beta", which the callback refuses.
        for (int i = 0; i < 3; ++i)
            headless::PressKey(VK_DOWN);
        Pump(dialog);
        okWhileRefused = IsWindowEnabled(GetDlgItem(dialog, IDOK));
        headless::PressKey(VK_RETURN); // refused: the picker stays
        Pump(dialog);
        SendDlgItemMessageA(dialog, ID_PICKER_LIST, LB_SETCURSEL, 2, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(ID_PICKER_LIST, LBN_DBLCLK),
                     static_cast<LPARAM>(GetDlgItem(dialog, ID_PICKER_LIST)));
        inner = ListItems(dialog, ID_PICKER_LIST);
        headless::PressKey(VK_DOWN);
        headless::PressKey(VK_DOWN);
        headless::PressKey(VK_RETURN);
    });
    std::string path = PickFolder(script);
    EXPECT_EQ(items, (std::vector<std::string>{"..", "alpha", "Beta"}));
    EXPECT_FALSE(okWhileRefused);
    EXPECT_EQ(inner, (std::vector<std::string>{"..", "inner"}));
    EXPECT_EQ(path, dir.Win("Beta\\inner"));
    ASSERT_GE(script.heard.size(), 3u);
    EXPECT_EQ(script.heard.back(), dir.Win("Beta\\inner"));

    platform::test::SetDrawnDialogShownHook([](HWND) { headless::PressKey(VK_ESCAPE); });
    EXPECT_EQ(PickFolder(script), "");
}

} // namespace

namespace {

constexpr int ID_FILE_LIST = 102;
constexpr int ID_FILE_NAME = 103;
constexpr int ID_FILE_UP = 101;

void TypeName(HWND dialog, const char* text) {
    SetDlgItemTextA(dialog, ID_FILE_NAME, text);
    SetFocus(GetDlgItem(dialog, ID_FILE_NAME));
    headless::PressKey(VK_RETURN);
    Pump(dialog);
}

class FileDialog : public DrawnDialog {
protected:
    void SetUp() override {
        DrawnDialog::SetUp();
        platform::SetCommonDialogProvider(nullptr);
        platform::test::RecordMessageBoxes(true);
        platform::test::ClearRecordedMessageBoxes();
        dir.WriteFile("a.txt", "a");
        dir.WriteFile("b.txt", "b");
        dir.WriteFile("c.bmp", "c");
        dir.WriteFile("Sub/d.txt", "d");
    }
    void TearDown() override {
        platform::test::SetMessageBoxAnswer(0);
        platform::test::RecordMessageBoxes(false);
        platform::test::ClearRecordedMessageBoxes();
        DrawnDialog::TearDown();
    }
    OPENFILENAMEA Request(DWORD flags) {
        OPENFILENAMEA request{};
        request.lStructSize = sizeof request;
        request.lpstrFilter = "Texts\0*.txt\0Everything\0*.*\0";
        request.lpstrFile = file;
        request.nMaxFile = sizeof file;
        request.lpstrInitialDir = dir.WinPath().c_str();
        request.lpstrDefExt = "txt";
        request.Flags = flags | OFN_NOCHANGEDIR;
        return request;
    }
    test_support::TempDir dir;
    char file[1024] = {};
};

TEST_F(FileDialog, OpenListsFoldersThenMatchingFilesAndChecksTheNameTyped) {
    std::vector<std::string> listed, inSub;
    size_t warnings = 0;
    platform::test::SetDrawnDialogShownHook([&](HWND dialog) {
        listed = ListItems(dialog, ID_FILE_LIST);
        TypeName(dialog, "missing.txt");
        warnings = platform::test::RecordedMessageBoxes().size();
        TypeName(dialog, "Sub");
        inSub = ListItems(dialog, ID_FILE_LIST);
        SendDlgItemMessageA(dialog, ID_FILE_UP, BM_CLICK, 0, 0);
        TypeName(dialog, "b"); // the default extension makes it b.txt
    });
    OPENFILENAMEA request = Request(OFN_FILEMUSTEXIST);
    ASSERT_TRUE(GetOpenFileNameA(&request));
    EXPECT_EQ(listed, (std::vector<std::string>{"[Sub]", "a.txt", "b.txt"}));
    EXPECT_EQ(warnings, 1u);
    EXPECT_EQ(inSub, (std::vector<std::string>{"d.txt"}));
    EXPECT_EQ(std::string(file), dir.Win("b.txt"));
    EXPECT_EQ(request.nFilterIndex, 1u);
}

TEST_F(FileDialog, ManyFilesComeFromOneFolderAndTheTypeChangesTheList) {
    std::vector<std::string> everything;
    platform::test::SetDrawnDialogShownHook([&](HWND dialog) {
        SendDlgItemMessageA(dialog, 104, CB_SETCURSEL, 1, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(104, CBN_SELCHANGE),
                     static_cast<LPARAM>(GetDlgItem(dialog, 104)));
        everything = ListItems(dialog, ID_FILE_LIST);
        TypeName(dialog, "\"a.txt\" \"c.bmp\"");
    });
    OPENFILENAMEA request = Request(OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST);
    ASSERT_TRUE(GetOpenFileNameA(&request));
    EXPECT_EQ(everything, (std::vector<std::string>{"[Sub]", "a.txt", "b.txt", "c.bmp"}));
    EXPECT_EQ(std::string(file), dir.WinPath());
    EXPECT_EQ(std::string(file + request.nFileOffset), "a.txt");
    EXPECT_EQ(std::string(file + request.nFileOffset + 6), "c.bmp");
    EXPECT_EQ(request.nFilterIndex, 2u);
}

TEST_F(FileDialog, SaveAsksBeforeReplacingAndANoKeepsTheDialog) {
    int asked = 0;
    platform::test::SetMessageBoxAnswer(IDNO);
    platform::test::SetDrawnDialogShownHook([&](HWND dialog) {
        TypeName(dialog, "a.txt");
        asked = static_cast<int>(platform::test::RecordedMessageBoxes().size());
        TypeName(dialog, "new");
    });
    OPENFILENAMEA request = Request(OFN_OVERWRITEPROMPT);
    ASSERT_TRUE(GetSaveFileNameA(&request));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(std::string(file), dir.Win("new.txt"));

    platform::test::SetDrawnDialogShownHook([](HWND) { headless::PressKey(VK_ESCAPE); });
    std::snprintf(file, sizeof file, "kept");
    EXPECT_FALSE(GetSaveFileNameA(&request));
    EXPECT_EQ(std::string(file), "kept");
}

// A folder named the Linux way ("/tmp/zv.../Sub") comes back as the Windows path every
// other file call gives, with one kind of separator.
TEST_F(FileDialog, ChosenPathsAreWindowsPathsWhateverTheFolderWasNamed) {
    platform::test::SetDrawnDialogShownHook([&](HWND dialog) { TypeName(dialog, "out"); });
    std::string linuxFolder = dir.Linux("Sub");
    OPENFILENAMEA request = Request(0);
    request.lpstrInitialDir = linuxFolder.c_str();
    ASSERT_TRUE(GetSaveFileNameA(&request));
    EXPECT_EQ(std::string(file), dir.Win("Sub\\out.txt"));

    platform::test::SetDrawnDialogShownHook([&](HWND dialog) { TypeName(dialog, "d.txt"); });
    std::snprintf(file, sizeof file, "%s", (dir.LinuxPath() + "/Sub/").c_str());
    request = Request(OFN_FILEMUSTEXIST);
    ASSERT_TRUE(GetOpenFileNameA(&request));
    EXPECT_EQ(std::string(file), dir.Win("Sub\\d.txt"));

    PickerScript script{dir.Linux("Sub"), "", {}};
    platform::test::SetDrawnDialogShownHook([](HWND) { headless::PressKey(VK_RETURN); });
    std::string path = PickFolder(script);
    EXPECT_EQ(path, dir.Win("Sub"));
}

// Return, pressed as soon as a dialog shows, confirms it whichever control has the focus.
TEST_F(FileDialog, ReturnAsADialogShowsPressesItsDefaultButton) {
    platform::test::SetDrawnDialogShownHook([](HWND) { headless::PressKey(VK_RETURN); });
    COLORREF custom[16] = {};
    CHOOSECOLORA colour{sizeof(CHOOSECOLORA), 0, 0,       0x123456, custom,
                        CC_RGBINIT,           0, nullptr, nullptr};
    EXPECT_TRUE(ChooseColorA(&colour));
    EXPECT_EQ(colour.rgbResult, 0x123456u);
    EXPECT_EQ(custom[0], 0u);

    LOGFONTA font{};
    font.lfHeight = -16;
    std::snprintf(font.lfFaceName, LF_FACESIZE, "Arial");
    CHOOSEFONTA fontRequest{};
    fontRequest.lStructSize = sizeof fontRequest;
    fontRequest.lpLogFont = &font;
    fontRequest.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    EXPECT_TRUE(ChooseFontA(&fontRequest));

    setenv("ZORV_PRINTER", ("file:" + dir.LinuxPath()).c_str(), 1);
    PRINTDLGA print{};
    print.lStructSize = sizeof print;
    print.nCopies = 1;
    EXPECT_TRUE(PrintDlgA(&print));
    print.Flags = PD_PRINTSETUP;
    EXPECT_TRUE(PrintDlgA(&print));
    unsetenv("ZORV_PRINTER");

    PickerScript script{dir.WinPath(), "", {}};
    EXPECT_EQ(PickFolder(script), dir.WinPath());

    std::snprintf(file, sizeof file, "a.txt");
    OPENFILENAMEA open = Request(OFN_FILEMUSTEXIST);
    EXPECT_TRUE(GetOpenFileNameA(&open));
    EXPECT_EQ(std::string(file), dir.Win("a.txt"));
}

TEST(TypedNames, QuotedNamesAreSplitAndAPlainOneKeptWhole) {
    using platform::SplitTypedNames;
    EXPECT_EQ(SplitTypedNames("  my file.txt "), (std::vector<std::string>{"my file.txt"}));
    EXPECT_EQ(SplitTypedNames("\"a b\" \"c\""), (std::vector<std::string>{"a b", "c"}));
    EXPECT_EQ(SplitTypedNames("\"unclosed"), (std::vector<std::string>{"unclosed"}));
    EXPECT_TRUE(SplitTypedNames("   ").empty());
    EXPECT_TRUE(SplitTypedNames("\"\"").empty());
}

} // namespace

namespace {

constexpr int ID_FONT_FAMILY = 100;
constexpr int ID_FONT_STYLE = 101;
constexpr int ID_FONT_SIZE_TEXT = 102;
constexpr int ID_FONT_UNDERLINE = 105;
constexpr int ID_FONT_COLOR = 106;

void Notify(HWND dialog, int id, WORD code) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                 static_cast<LPARAM>(GetDlgItem(dialog, id)));
}

TEST_F(DrawnDialog, TheFontDialogKeepsAnUnlistedFaceUnlessAnotherIsPicked) {
    platform::SetCommonDialogProvider(nullptr);
    LOGFONTA font{};
    font.lfHeight = -16; // 12 points on the screen
    std::snprintf(font.lfFaceName, LF_FACESIZE, "Arial");
    CHOOSEFONTA request{};
    request.lStructSize = sizeof request;
    request.lpLogFont = &font;
    request.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    std::string shownFamily, shownSize;
    platform::test::SetDrawnDialogShownHook([&](HWND dialog) {
        LRESULT index = SendDlgItemMessageA(dialog, ID_FONT_FAMILY, LB_GETCURSEL, 0, 0);
        char text[64] = {};
        SendDlgItemMessageA(dialog, ID_FONT_FAMILY, LB_GETTEXT, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(text));
        shownFamily = text;
        GetDlgItemTextA(dialog, ID_FONT_SIZE_TEXT, text, sizeof text);
        shownSize = text;
        SendDlgItemMessageA(dialog, ID_FONT_STYLE, LB_SETCURSEL, 3, 0);
        Notify(dialog, ID_FONT_STYLE, LBN_SELCHANGE);
        SetDlgItemTextA(dialog, ID_FONT_SIZE_TEXT, "30");
        SendDlgItemMessageA(dialog, ID_FONT_UNDERLINE, BM_CLICK, 0, 0);
        SendDlgItemMessageA(dialog, ID_FONT_COLOR, CB_SETCURSEL, 9, 0); // red
        Notify(dialog, ID_FONT_COLOR, CBN_SELCHANGE);
        headless::PressKey(VK_RETURN);
    });
    ASSERT_TRUE(ChooseFontA(&request));
    // Arial is drawn with the free family standing in for it, and stays Arial.
    EXPECT_NE(shownFamily, "");
    EXPECT_NE(shownFamily, "Arial");
    EXPECT_EQ(shownSize, "12");
    EXPECT_EQ(std::string(font.lfFaceName), "Arial");
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_TRUE(font.lfItalic);
    EXPECT_TRUE(font.lfUnderline);
    EXPECT_FALSE(font.lfStrikeOut);
    EXPECT_EQ(font.lfHeight, -40);
    EXPECT_EQ(request.iPointSize, 300);
    EXPECT_EQ(request.rgbColors, 0x0000FFu);

    // Picking a family names it.
    std::string picked;
    platform::test::SetDrawnDialogShownHook([&](HWND dialog) {
        SendDlgItemMessageA(dialog, ID_FONT_FAMILY, LB_SETCURSEL, 0, 0);
        char text[64] = {};
        SendDlgItemMessageA(dialog, ID_FONT_FAMILY, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
        picked = text;
        Notify(dialog, ID_FONT_FAMILY, LBN_SELCHANGE);
        headless::PressKey(VK_RETURN);
    });
    ASSERT_TRUE(ChooseFontA(&request));
    EXPECT_EQ(std::string(font.lfFaceName), picked);
}

} // namespace

namespace {

constexpr int ID_PRINT_TO_FILE = 101;
constexpr int ID_PRINT_FROM = 105;
constexpr int ID_PRINT_TO = 106;
constexpr int ID_PRINT_COPIES = 107;
constexpr int ID_PRINT_PAPER = 108;
constexpr int ID_PRINT_LANDSCAPE = 110;

TEST_F(FileDialog, ThePrintDialogRefusesPagesOutOfRangeAndTheSetUpTakesPaper) {
    setenv("ZORV_PRINTER", ("file:" + dir.LinuxPath()).c_str(), 1);
    PRINTDLGA request{};
    request.lStructSize = sizeof request;
    request.Flags = PD_NOSELECTION;
    request.nMinPage = 1;
    request.nMaxPage = 9;
    request.nFromPage = 1;
    request.nToPage = 9;
    request.nCopies = 1;
    size_t warnings = 0;
    platform::test::SetDrawnDialogShownHook([&](HWND dialog) {
        SetFocus(GetDlgItem(dialog, ID_PRINT_FROM));
        SetDlgItemTextA(dialog, ID_PRINT_FROM, "3");
        SetDlgItemTextA(dialog, ID_PRINT_TO, "12");
        SetDlgItemTextA(dialog, ID_PRINT_COPIES, "2");
        SendDlgItemMessageA(dialog, ID_PRINT_TO_FILE, BM_CLICK, 0, 0);
        headless::PressKey(VK_RETURN);
        Pump(dialog);
        warnings = platform::test::RecordedMessageBoxes().size();
        SetDlgItemTextA(dialog, ID_PRINT_TO, "4");
        headless::PressKey(VK_RETURN);
    });
    ASSERT_TRUE(PrintDlgA(&request));
    EXPECT_EQ(warnings, 1u);
    EXPECT_EQ(request.Flags & (PD_PAGENUMS | PD_SELECTION), PD_PAGENUMS);
    EXPECT_TRUE(request.Flags & PD_PRINTTOFILE);
    EXPECT_EQ(request.nFromPage, 3);
    EXPECT_EQ(request.nToPage, 4);
    EXPECT_EQ(request.nCopies, 2);

    request.Flags = PD_PRINTSETUP | PD_RETURNDC;
    platform::test::SetDrawnDialogShownHook([](HWND dialog) {
        SendDlgItemMessageA(dialog, ID_PRINT_PAPER, CB_SETCURSEL, 2, 0);
        SendDlgItemMessageA(dialog, ID_PRINT_LANDSCAPE, BM_CLICK, 0, 0);
        headless::PressKey(VK_RETURN);
    });
    ASSERT_TRUE(PrintDlgA(&request));
    ASSERT_NE(request.hDC, 0u);
    // Letter in landscape: 11 inches across at 300 dots an inch, less the margins.
    EXPECT_GT(GetDeviceCaps(request.hDC, HORZRES), GetDeviceCaps(request.hDC, VERTRES));
    EXPECT_EQ(GetDeviceCaps(request.hDC, PHYSICALWIDTH), 3300);
    DeleteDC(request.hDC);
    unsetenv("ZORV_PRINTER");
}

} // namespace
