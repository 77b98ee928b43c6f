#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/message_box.h"
#include "platform/test_hooks.h"

namespace {

TEST(MessageBox, WritesUtf8ToStandardErrorUnlessATestRecordsIt) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(0, "Zeile 3: \x93x\x94", "Caf\xE9", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(MessageBoxA(0, nullptr, nullptr, MB_YESNO), IDYES);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Caf\xC3\xA9: Zeile 3: \xE2\x80\x9Cx\xE2\x80\x9D\nError: \n");

    platform::test::RecordMessageBoxes(true);
    platform::test::SetMessageBoxAnswer(IDNO);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(0x42, "Save?", "Caf\xE9", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBoxA(0, "bad", "c", 0x0B), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_MSGBOX_STYLE);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    auto boxes = platform::test::RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, 0x42u);
    EXPECT_EQ(boxes[0].caption, "Caf\xE9"); // as given
    EXPECT_EQ(boxes[0].text, "Save?");
    EXPECT_EQ(boxes[0].type, MB_YESNOCANCEL | MB_ICONQUESTION);

    platform::test::ClearRecordedMessageBoxes();
    EXPECT_TRUE(platform::test::RecordedMessageBoxes().empty());
    platform::test::SetMessageBoxAnswer(0);
    platform::test::RecordMessageBoxes(false);
}

} // namespace
