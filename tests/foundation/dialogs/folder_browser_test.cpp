#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "foundation/dialogs/folder_browser.h"
#include "platform/files/files.h"
#include "support/temp_dir.h"

namespace {

class FolderBrowser : public ::testing::Test {
protected:
    void TearDown() override { platform::SetFolderPickerProvider(nullptr); }

    std::shared_ptr<platform::test::ScriptedFolderPicker>
    Install(std::optional<std::string> answer) {
        auto picker = std::make_shared<platform::test::ScriptedFolderPicker>(std::move(answer));
        platform::SetFolderPickerProvider(picker);
        return picker;
    }

    static std::string CurrentDirectory() {
        char path[MAX_PATH];
        EXPECT_NE(GetCurrentDirectoryA(MAX_PATH, path), 0u);
        return path;
    }

    test_support::TempDir dir;
};

TEST_F(FolderBrowser, ChoiceStartsAtTheInitialFolderAndLeavesTheCurrentDirectory) {
    std::string before = CurrentDirectory();
    ASSERT_NE(before, dir.WinPath());
    auto picker = Install("C:\\Jeux\\Zorv");
    CFolderBrowser browser((dir.WinPath() + "\\\\").c_str(), 7);
    EXPECT_STREQ(browser.GetPath(), dir.WinPath().c_str());

    EXPECT_EQ(browser.BrowseForFolder(nullptr), 1);
    EXPECT_STREQ(browser.GetPath(), "C:\\Jeux\\Zorv");
    EXPECT_EQ(picker->title, "Choisissez un dossier");
    EXPECT_EQ(picker->initialSelection, dir.WinPath());
    EXPECT_TRUE(picker->okEnabledAtStart);
    EXPECT_EQ(CurrentDirectory(), before);
}

TEST_F(FolderBrowser, CancelsAndNonFoldersKeepThePath) {
    auto picker = Install(std::nullopt);
    CFolderBrowser browser(dir.Win("missing").c_str(), 0);
    std::string title(400, 't');
    EXPECT_EQ(browser.BrowseForFolder(title.c_str()), 2);
    EXPECT_EQ(picker->title, std::string(300, 't'));
    // A folder that cannot be entered is not offered, and OK waits for a real choice.
    EXPECT_EQ(picker->initialSelection, "");
    EXPECT_FALSE(picker->okEnabledAtStart);
    EXPECT_STREQ(browser.GetPath(), dir.Win("missing").c_str());

    Install("");
    EXPECT_EQ(browser.BrowseForFolder("Dossier"), 2);
    EXPECT_STREQ(browser.GetPath(), dir.Win("missing").c_str());

    CFolderBrowser empty(nullptr, 0);
    picker = Install(std::nullopt);
    EXPECT_EQ(empty.BrowseForFolder(nullptr), 2);
    EXPECT_STREQ(empty.GetPath(), "");
}

} // namespace
