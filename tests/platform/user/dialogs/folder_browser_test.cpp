#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/user/dialogs/folder_browser.h"

namespace {

using platform::test::ScriptedFolderPicker;

// Behaves as the player's picker callback does: selects the initial folder when it has
// one, and lets OK be pressed only for selections that are folders of the file system.
struct CallbackState {
    std::string initialFolder;
    HWND window = 0;
};

int PickerCallback(HWND window, UINT message, LPARAM lParam, LPARAM data) {
    auto* state = reinterpret_cast<CallbackState*>(data);
    state->window = window;
    LRESULT result = 0;
    if (message == BFFM_INITIALIZED) {
        bool selected = !state->initialFolder.empty();
        if (selected) {
            platform::SendFolderPickerMessage(
                window, BFFM_SETSELECTIONA, TRUE,
                reinterpret_cast<LPARAM>(state->initialFolder.c_str()), result);
        }
        platform::SendFolderPickerMessage(window, BFFM_ENABLEOK, 0, selected, result);
    } else if (message == BFFM_SELCHANGED) {
        char path[MAX_PATH];
        BOOL isFolder = SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lParam), path);
        platform::SendFolderPickerMessage(window, BFFM_ENABLEOK, 0, isFolder, result);
    }
    return 0;
}

class FolderBrowser : public ::testing::Test {
protected:
    void TearDown() override { platform::SetFolderPickerProvider(nullptr); }

    std::shared_ptr<ScriptedFolderPicker> Install(std::optional<std::string> answer) {
        auto picker = std::make_shared<ScriptedFolderPicker>(std::move(answer));
        platform::SetFolderPickerProvider(picker);
        return picker;
    }

    BROWSEINFOA Request(CallbackState& state) {
        BROWSEINFOA info{};
        info.pszDisplayName = displayName;
        info.lpszTitle = "Choisissez";
        info.ulFlags = BIF_NEWDIALOGSTYLE;
        info.lpfn = PickerCallback;
        info.lParam = reinterpret_cast<LPARAM>(&state);
        return info;
    }

    char displayName[MAX_PATH] = "";
};

TEST_F(FolderBrowser, ChosenFolderComesBackAndTheCallbackSawItsMessages) {
    auto picker = Install("C:\\Jeux\\Zorv\\");
    CallbackState state{"C:\\Temp"};
    BROWSEINFOA info = Request(state);
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    ASSERT_NE(chosen, nullptr);

    char path[MAX_PATH];
    EXPECT_TRUE(SHGetPathFromIDListA(chosen, path));
    EXPECT_STREQ(path, "C:\\Jeux\\Zorv\\");
    EXPECT_STREQ(displayName, "Zorv");
    CoTaskMemFree(chosen);

    EXPECT_EQ(picker->calls, 1);
    EXPECT_EQ(picker->title, "Choisissez");
    EXPECT_EQ(picker->initialSelection, "C:\\Temp");
    EXPECT_TRUE(picker->okEnabledAtStart);

    // The picker's window is gone once it has answered.
    LRESULT result = 0;
    EXPECT_GE(state.window, platform::FIRST_PICKER_WINDOW);
    EXPECT_FALSE(platform::SendFolderPickerMessage(state.window, BFFM_ENABLEOK, 0, 1, result));
}

TEST_F(FolderBrowser, CancelNoProviderAndUnconfirmableAnswersGiveNothing) {
    CallbackState state;
    BROWSEINFOA info = Request(state);
    EXPECT_EQ(SHBrowseForFolderA(&info), nullptr);

    auto picker = Install(std::nullopt);
    EXPECT_EQ(SHBrowseForFolderA(&info), nullptr);
    EXPECT_EQ(picker->calls, 1);
    EXPECT_EQ(picker->initialSelection, "");
    EXPECT_FALSE(picker->okEnabledAtStart);

    // An item without a path: the callback keeps OK disabled, so it cannot be chosen.
    Install("");
    EXPECT_EQ(SHBrowseForFolderA(&info), nullptr);
    EXPECT_EQ(SHBrowseForFolderA(nullptr), nullptr);
}

TEST_F(FolderBrowser, PathTooLongForTheCallersBufferIsRefusedNotOverrun) {
    std::string deep = "C:\\" + std::string(MAX_PATH + 20, 'a');
    Install(deep);
    CallbackState state;
    BROWSEINFOA info = Request(state);
    info.lpfn = nullptr;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    ASSERT_NE(chosen, nullptr);
    char path[MAX_PATH];
    EXPECT_FALSE(SHGetPathFromIDListA(chosen, path));
    EXPECT_STREQ(path, "");
    EXPECT_EQ(std::string(displayName), std::string(MAX_PATH - 1, 'a'));
    CoTaskMemFree(chosen);
}

} // namespace
