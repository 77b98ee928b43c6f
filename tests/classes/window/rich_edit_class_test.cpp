// The RichEdit class's branches for the first control version, which the player's control
// never takes on its own: they are run by clearing the process-wide version flag.
#include <gtest/gtest.h>

#include "classes/window/controls/rich_edit_class.h"
#include "script/project/project_test_data.h"
#include "script/script_runner.h"

namespace {

// RTF and text from a binary bank, loaded, saved to files and loaded back.
TEST(RichEditBanks, LoadsElementsAndSavesFilesThatLoadAgain) {
    using namespace project_test;
    Entry game;
    game.name = "Game";
    Bank sources{kSourceBank, "Sources", {Element("main", "x = 1;")}};
    Bank documents{
        kBinaryBank,
        "Documents",
        {Element("letter", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\qc Dear \\b friend\\b0\\par bye}"),
         Element("note", "one\r\ntwo")}};
    game.banks = {sources, documents};
    script_test::ScriptRunner runner;
    script_test::ScriptResult result =
        runner.Run("w = New Window(300, 200, 0, 0);\n"
                   "r = New RichEdit(10, 10, 250, 100);\n"
                   "Print(r.LoadRTF(\"letter\"), r.GetTextRange(), r.GetLineCount());\n"
                   "r.SetSelection(6, 7);\n"
                   "Print(r.IsCharBold(), r.SaveRTF(\"copy.rtf\"));\n"
                   "Print(r.LoadText(\"note\"), r.GetTextRange(0, 3), r.SaveText(\"note.txt\"));\n"
                   "Print(r.LoadRTF(\"copy.rtf\"), r.GetTextRange(0, 5));\n"
                   "r.SetSelection(6, 7);\n"
                   "Print(r.IsCharBold(), r.LoadText(\"note.txt\"), r.GetLineCount());\n",
                   "test.zs", Project({game}), {"note.txt"});
    EXPECT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "1 Dear friend\rbye 2\n1 1\n1 one 1\n1 Dear \n1 1 2\n");
    EXPECT_EQ(result.files["note.txt"], "one\r\ntwo");
}

class FirstVersion : public ::testing::Test {
protected:
    void SetUp() override { CIRichEdit::version2Control = 0; }
    void TearDown() override { CIRichEdit::version2Control = 1; }
};

TEST_F(FirstVersion, HasNoLinksAndNoMultiLevelUndo) {
    script_test::ScriptRunner runner;
    script_test::ScriptResult result = runner.Run(
        "Function Linked(re, shown, low, high) { Print(\"link\", shown); }\n"
        "w = New Window(300, 200, 0, 0);\n"
        "r = New RichEdit(\"see www.example.com\", RichEdit.AUTOURLDETECT, "
        "RichEdit.MULTILEVELUNDO, 0, 0, 280, 100);\n"
        "r.OnLink = Linked;\n"
        "Print(r.HasLinkSupport(), r.HasMultiLevelUndoSupport(), r.GetUndoLevelCount());\n"
        "r.SetSelection(0, 3);\n"
        "r.SetCharLink();\n"
        "UiSendTo(r, 0x201, 1, 10 + 8 * 65536);\n"
        "UiSendTo(r, 0x202, 0, 10 + 8 * 65536);\n"
        "UiSendTo(r, 0x201, 1, 80 + 8 * 65536);\n"
        "UiSendTo(r, 0x202, 0, 80 + 8 * 65536);\n"
        "RunPending();\n"
        "r.SetSelection(0, 0);\n"
        "r.ReplaceSelection(\"x\");\n"
        "r.Undo();\n"
        "r.Redo();\n"
        "r.SetUndoLevelCount(5);\n"
        "Print(r.GetText(), r.CanRedo(), r.GetUndoLevelCount());\n");
    EXPECT_EQ(result.code, 0) << result.output;
    EXPECT_EQ(result.output, "0 0 1\nsee www.example.com 0 1\n");
}

} // namespace
