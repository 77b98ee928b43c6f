#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/display/headless_display.h"
#include "platform/user/dialogs/message_box.h"
#include "platform/user/dialogs/message_box_test_hooks.h"
#include "platform/user/input/input.h"
#include "platform/user/test_hooks.h"
#include "platform/user/windows.h"
#include "script/script_runner.h"

namespace {

using platform::test::RecordedMessageBox;

// Runs a script with every box recorded instead of shown; the boxes it showed.
std::vector<RecordedMessageBox> BoxesOf(const std::string& script, std::string& output,
                                        int answer = 0) {
    platform::test::ClearRecordedMessageBoxes();
    platform::test::SetMessageBoxAnswer(answer);
    platform::test::RecordMessageBoxes(true);
    script_test::ScriptRunner runner;
    script_test::ScriptResult result = runner.Run(script);
    platform::test::RecordMessageBoxes(false);
    platform::test::SetMessageBoxAnswer(0);
    EXPECT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    output = result.output;
    return platform::test::RecordedMessageBoxes();
}

TEST(MessageBoxClass, FlagsAreDefaultButtonIconAndTypeAndTheIconArgumentCountsOnlyWhenValid) {
    std::string output;
    std::vector<RecordedMessageBox> boxes = BoxesOf(R"(w = New Window("Owner", 200, 100, 10, 10);
box = New MessageBox(w);
Print(UiHandle(w), box.OkBox("Saved"));
box.SetDefaultButton(3);
box.SetIcon(MessageBox.ICONQUESTION);
box.YesNoCancelBox("text", "caption", 0x50);
box.AbortRetryIgnoreBox("t", "c", MessageBox.ICONEXCLAMATION);
box.SetIcon(0x50);
box.SetDefaultButton(7);
other = New Window("Other", 200, 100, 300, 10);
box.RetryCancelBox(5, other);
box.OkCancelBox(, "caption only");
)",
                                                    output);
    ASSERT_EQ(boxes.size(), 5u);
    HWND owner = HWND(std::stoul(output.substr(0, output.find(' '))));
    // OkBox answers 1; a stop icon by default; no caption reads "Error".
    EXPECT_EQ(output.substr(output.find(' ')), " 1\n");
    EXPECT_EQ(boxes[0].owner, owner);
    EXPECT_EQ(boxes[0].type, MB_ICONERROR | MB_OK);
    EXPECT_EQ(boxes[0].text, "Saved");
    EXPECT_EQ(boxes[0].caption, "Error");
    // 0x50 is no icon: the object's question mark stays.
    EXPECT_EQ(boxes[1].type, MB_DEFBUTTON3 | MB_ICONQUESTION | MB_YESNOCANCEL);
    EXPECT_EQ(boxes[2].type, MB_DEFBUTTON3 | MB_ICONWARNING | MB_ABORTRETRYIGNORE);
    // A Window argument anywhere is the owner of that box; a number is shown as text.
    EXPECT_EQ(boxes[3].type, MB_ICONERROR | MB_RETRYCANCEL);
    EXPECT_NE(boxes[3].owner, owner);
    EXPECT_NE(boxes[3].owner, HWND(0));
    EXPECT_EQ(boxes[3].text, "5");
    EXPECT_EQ(boxes[4].text, "");
    EXPECT_EQ(boxes[4].caption, "caption only");
}

TEST(MessageBoxClass, AnOwnerThatWentLeavesTheBoxWithoutOwner) {
    std::string output;
    std::vector<RecordedMessageBox> boxes = BoxesOf(R"(w = New Window("Owner", 200, 100, 10, 10);
box = New MessageBox(w);
current = New MessageBox();
box.OkBox("with owner");
current.OkBox("current");
Delete w;
box.OkBox("without");
current.OkBox("none current");
Print(box.YesNoBox("answer"));
)",
                                                    output, IDNO);
    ASSERT_EQ(boxes.size(), 5u);
    EXPECT_NE(boxes[0].owner, HWND(0));
    // A box made without a Window is owned by the current window.
    EXPECT_EQ(boxes[1].owner, boxes[0].owner);
    EXPECT_EQ(boxes[2].owner, HWND(0));
    EXPECT_EQ(boxes[3].owner, HWND(0));
    EXPECT_EQ(output, "7\n");
}

TEST(MessageBoxClass, WhatTheScriptDrewIsShownUnderTheBox) {
    // The box's owner as the screen shows it while the box waits for its answer.
    uint32_t under = 0;
    bool read = false;
    platform::test::ShowMessageBoxesAsWindows(true);
    platform::test::SetMessageBoxShownHook([&](HWND box) {
        platform::headless::Pixels pixels;
        read = platform::headless::ReadPixels(GetWindow(box, GW_OWNER), pixels);
        if (read) under = pixels.At(100, 10);
        platform::headless::PressKey(VK_RETURN);
    });
    script_test::ScriptRunner runner;
    script_test::ScriptResult result =
        runner.Run(R"(w = New Window("Score", 200, 100, 10, 10, 0xFFFFFF);
Program.Wait(200);
w.SetPenColor(0xFF0000);
w.SetFillColor(0xFF0000);
w.Rectangle(0, 0, 200, 100);
box = New MessageBox(w);
Print(box.OkBox("lives 0", "Game over"));
)");
    platform::test::SetMessageBoxShownHook(nullptr);
    platform::test::ShowMessageBoxesAsWindows(false);
    EXPECT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, "1\n");
    ASSERT_TRUE(read);
    EXPECT_EQ(under, 0xFF0000u);
}

} // namespace
