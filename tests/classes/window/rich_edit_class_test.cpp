// The RichEdit class's branches for the first control version, which the player's control
// never takes on its own: they are run by clearing the process-wide version flag.
#include <gtest/gtest.h>

#include "classes/window/controls/rich_edit_class.h"
#include "script/script_runner.h"

namespace {

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
