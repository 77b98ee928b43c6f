#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/gdi/text/font_pinned_set.h"
#include "platform/user/dialogs/folder_browser.h"
#include "platform/user/dialogs/scripted_dialogs.h"
#include "script/script_runner.h"
#include "support/temp_dir.h"

namespace {

using platform::FileDialogAnswer;

class SelectorClass : public ::testing::Test {
protected:
    void SetUp() override { platform::SetCommonDialogProvider(dialogs); }
    void TearDown() override {
        platform::SetCommonDialogProvider(nullptr);
        platform::SetFolderPickerProvider(nullptr);
    }
    std::string Run(const std::string& source) {
        script_test::ScriptRunner runner;
        script_test::ScriptResult result = runner.Run(source);
        EXPECT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
        return result.output;
    }
    static FileDialogAnswer Files(const std::string& folder, std::vector<std::string> names) {
        return FileDialogAnswer{folder, std::move(names), 1};
    }

    std::shared_ptr<platform::test::ScriptedDialogs> dialogs =
        std::make_shared<platform::test::ScriptedDialogs>();
    test_support::TempDir dir;
};

TEST_F(SelectorClass, FileChoicesSurviveACancelAndSeveralNamesJoinTheFolder) {
    std::string folder = dir.Win("pictures");
    dialogs->files = {Files(folder, {"a.bmp"}), std::nullopt,
                      Files(folder + "\\", {"one.bmp", "two.bmp"})};
    std::string output = Run(
        "s = New Selector();\n"
        "Print(s.GetFiles(), \"[\" + s.GetOneFile() + \"]\", s.HasManyFiles());\n"
        "Print(s.OpenFileDialog(\"Pick\", \"Images|*.bmp|\", 1, \"start.bmp\", , \"bmp\", "
        "Selector.FILEMUSTEXIST, Selector.NOCHANGEDIR));\n"
        "Print(s.GetOneFile(), s.GetFiles(), s.HasManyFiles());\n"
        "Print(s.SaveFileDialog());\n"
        "Print(s.GetOneFile());\n"
        "Print(s.OpenFileDialog(, , , , , , Selector.ALLOWMULTISELECT, Selector.NOCHANGEDIR));\n"
        "f = s.GetFiles();\n"
        "Print(s.HasManyFiles(), s.GetOneFile(), f[0], f[1]);\n");
    EXPECT_EQ(output, "1 [] 0\n1\n" + folder + "\\a.bmp " + folder + "\\a.bmp 0\n0\n" + folder +
                          "\\a.bmp\n1\n1 " + folder + "\\one.bmp " + folder + "\\one.bmp " +
                          folder + "\\two.bmp\n");
    ASSERT_EQ(dialogs->fileRequests.size(), 3u);
    const platform::FileDialogRequest& first = dialogs->fileRequests[0];
    EXPECT_FALSE(first.save);
    EXPECT_EQ(first.title, "Pick");
    ASSERT_EQ(first.filters.size(), 1u);
    EXPECT_EQ(first.filters[0], std::make_pair(std::string("Images"), std::string("*.bmp")));
    EXPECT_EQ(first.initialName, "start.bmp");
    EXPECT_EQ(first.defaultExtension, "bmp");
    EXPECT_EQ(first.flags, 0x80020u | 0x1000u | 0x8u);
    // The save dialog starts from the name chosen before; without a filter all files show.
    EXPECT_TRUE(dialogs->fileRequests[1].save);
    EXPECT_EQ(dialogs->fileRequests[1].initialName, folder + "\\a.bmp");
    ASSERT_EQ(dialogs->fileRequests[1].filters.size(), 1u);
    EXPECT_EQ(dialogs->fileRequests[1].filters[0],
              std::make_pair(std::string("Tous fichiers"), std::string("*.*")));
}

TEST_F(SelectorClass, AConfirmedDialogMovesToTheChosenFolderUnlessNoChangeDir) {
    dir.WriteFile("docs/.keep", "");
    dir.WriteFile("other/.keep", "");
    dialogs->files = {Files(dir.Win("docs"), {"x.txt"}), Files(dir.Win("other"), {"y.txt"})};
    std::string output = Run("s = New Selector();\n"
                             "s.OpenFileDialog(, , , , , , Selector.NOCHANGEDIR);\n"
                             "Print(Disk.GetCurrentDirectory() == \"" +
                             dir.Win("docs") +
                             "\");\n"
                             "s.OpenFileDialog();\n"
                             "Print(Disk.GetCurrentDirectory());\n");
    EXPECT_EQ(output, "0\n" + dir.Win("other") + "\n");
}

TEST_F(SelectorClass, ALongInitialNameIsCutAndAChoiceTooLongForTheBufferIsACancel) {
    dialogs->files = {Files("C:\\", {std::string(4100, 'x')})};
    EXPECT_EQ(Run("n = \"\"; For (i = 0; i < 5000; i++) n = n + \"n\";\n"
                  "s = New Selector();\nPrint(s.OpenFileDialog(, , , n), \"[\" + s.GetOneFile() + "
                  "\"]\");\n"),
              "0 []\n");
    ASSERT_EQ(dialogs->fileRequests.size(), 1u);
    EXPECT_EQ(dialogs->fileRequests[0].initialName, std::string(4094, 'n'));
}

TEST_F(SelectorClass, ColoursCrossAsRedGreenBlueAndTheCustomColoursAreKept) {
    platform::ColorDialogAnswer red;
    red.color = 0x0000FF;
    red.custom[3] = 0x123456;
    dialogs->colors = {red, std::nullopt, red};
    EXPECT_EQ(Run("s = New Selector();\nPrint(s.GetChosenColor());\n"
                  "Print(s.ChooseColorDialog(0x112233), s.GetChosenColor());\n"
                  "Print(s.ChooseColorDialog(0x00FF00), s.GetChosenColor());\n"
                  "s.ChooseColorDialog();\n"),
              "0\n1 16711680\n0 16711680\n");
    ASSERT_EQ(dialogs->colorRequests.size(), 3u);
    EXPECT_EQ(dialogs->colorRequests[0].initial, 0x332211u);
    EXPECT_EQ(dialogs->colorRequests[0].flags & CC_RGBINIT, CC_RGBINIT);
    EXPECT_EQ(dialogs->colorRequests[1].custom[3], 0x123456u);
}

TEST_F(SelectorClass, TheChosenFontIsMadeOnceAndTheArgumentsBuildTheStart) {
    platform::FontDialogAnswer answer;
    answer.font.lfHeight = -24;
    answer.font.lfWeight = 700;
    answer.font.lfItalic = 1;
    std::strcpy(answer.font.lfFaceName, "Liberation Serif");
    answer.color = 0xFF0000; // blue as a COLORREF
    dialogs->fonts = {answer, std::nullopt};
    std::string output = Run("s = New Selector();\n"
                             "d = s.GetSelectedFont();\n"
                             "Print(d.GetFaceName());\n"
                             "Print(s.ChooseFontDialog(\"Courier New\", 600, 12, 1, 1, 0, "
                             "0x0000FF));\n"
                             "f1 = s.GetSelectedFont(); f2 = s.GetSelectedFont();\n"
                             "same = f1 == f2;\n"
                             "Print(f1.GetFaceName(), f1.GetHeight(), f1.GetWeight(), "
                             "f1.IsItalic(), same, s.GetSelectedFontColor());\n"
                             "Print(s.ChooseFontDialog(f1));\nf3 = s.GetSelectedFont();\n"
                             "Print(f3.GetFaceName());\n");
    EXPECT_EQ(output, "Arial\n1\nLiberation Serif 24 -2147482948 1 1 255\n0\nLiberation Serif\n");
    ASSERT_EQ(dialogs->fontRequests.size(), 2u);
    const LOGFONTA& start = dialogs->fontRequests[0].initial;
    EXPECT_STREQ(start.lfFaceName, "Courier New");
    EXPECT_EQ(start.lfHeight, -12);
    EXPECT_EQ(start.lfWeight, 600);
    EXPECT_EQ(start.lfItalic, 1);
    EXPECT_EQ(start.lfUnderline, 1);
    EXPECT_EQ(start.lfPitchAndFamily, 0x22);
    EXPECT_EQ(dialogs->fontRequests[0].color, 0xFF0000u);
    EXPECT_EQ(dialogs->fontRequests[0].flags, 0x141u);
    EXPECT_EQ(dialogs->fontRequests[1].initial.lfHeight, -24);
}

TEST_F(SelectorClass, PageNumbersAreClampedAndTheRangeFollowsThePageNumbersChoice) {
    platform::PrintDialogAnswer pages;
    pages.printer = "PDF";
    pages.range = PD_PAGENUMS;
    pages.fromPage = 2;
    pages.toPage = 3;
    pages.copies = 4;
    platform::PrintDialogAnswer all = pages;
    all.range = PD_ALLPAGES;
    dialogs->printers = {pages, all, std::nullopt};
    std::string output = Run("s = New Selector();\n"
                             "Print(s.GetFromPage(), s.GetToPage(), s.GetCopyCount());\n"
                             "Print(s.PrintDialog(0, 50, 0, 3, 2, Selector.NOSELECTION));\n"
                             "Print(s.GetFromPage(), s.GetToPage(), s.GetCopyCount());\n"
                             "Print(s.PrintSetupDialog(7, 9, 5, 2));\n"
                             "Print(s.GetFromPage(), s.GetToPage(), s.GetCopyCount());\n"
                             "Print(s.PrintDialog(), s.GetFromPage());\n");
    EXPECT_EQ(output, "0 0 0\n1\n2 3 4\n1\n5 5 1\n0 5\n");
    ASSERT_EQ(dialogs->printRequests.size(), 3u);
    const platform::PrintDialogRequest& first = dialogs->printRequests[0];
    EXPECT_EQ(first.minPage, 1);
    EXPECT_EQ(first.maxPage, 3);
    EXPECT_EQ(first.fromPage, 1);
    EXPECT_EQ(first.toPage, 3);
    EXPECT_EQ(first.copies, 2);
    EXPECT_EQ(first.flags, PD_RETURNDC | PD_NOSELECTION);
    // A maximum below the minimum is raised to it.
    const platform::PrintDialogRequest& setup = dialogs->printRequests[1];
    EXPECT_EQ(setup.flags, PD_RETURNDC | PD_PRINTSETUP);
    EXPECT_EQ(setup.minPage, 5);
    EXPECT_EQ(setup.maxPage, 5);
    EXPECT_EQ(setup.fromPage, 7);
    EXPECT_EQ(setup.toPage, 5);
}

class SelectorFonts : public font_test::PinnedFonts {};

TEST_F(SelectorFonts, TheFontListIsTheFamiliesOfTheFontFolderSortedWithoutCase) {
    script_test::ScriptRunner runner;
    script_test::ScriptResult result =
        runner.Run("s = New Selector();\nf = s.GetFontList();\nn = s.GetNFonts();\n"
                   "For (i = 0; i < n; i++) Print(f[i]);\n");
    EXPECT_EQ(result.ok, 1);
    EXPECT_EQ(result.output, "DejaVu Sans\nDejaVu Sans Mono\nDejaVu Serif\nLiberation Mono\n"
                             "Liberation Sans\nLiberation Serif\n");
}

TEST_F(SelectorClass, ChooseDirectoryAnswersTheFolderOrAnEmptyText) {
    auto picker = std::make_shared<platform::test::ScriptedFolderPicker>(dir.Win("chosen"));
    platform::SetFolderPickerProvider(picker);
    EXPECT_EQ(Run("s = New Selector();\nPrint(s.ChooseDirectory(\"C:\\\\\", \"Where?\"));\n"),
              dir.Win("chosen") + "\n");
    EXPECT_EQ(picker->title, "Where?");
    platform::SetFolderPickerProvider(
        std::make_shared<platform::test::ScriptedFolderPicker>(std::nullopt));
    EXPECT_EQ(Run("s = New Selector();\nPrint(\"[\" + s.ChooseDirectory() + \"]\");\n"), "[]\n");
}

} // namespace
