#include "script/interpreter/ierror.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/kernel/win_types.h"

namespace {

std::string Message(int32_t code, int32_t lineNumber, size_t size = 256) {
    char buffer[256];
    std::memset(buffer, 'z', sizeof buffer);
    int length = CIError::FormatErrorMessage(buffer, size, code, lineNumber);
    EXPECT_EQ(size_t(length), std::strlen(buffer));
    return buffer;
}

TEST(CIErrorTest, FormatsTheCodeWithAndWithoutTheLine) {
    const struct {
        int32_t code;
        int32_t line; // the line number shown, -1 for none
        const char* text;
    } cases[] = {
        {41, 3, "Erreur #41 ligne 3."},
        {41, -1, "Erreur #41."},
        {111, 10, "Erreur #111 ligne 10."},
        {0, 0, "Erreur #0 ligne 0."},
        {int32_t(0x80000000) | int32_t(ERROR_FILE_NOT_FOUND), -1,
         "The system cannot find the file specified."},
        {int32_t(0x80000000) | int32_t(ERROR_ACCESS_DENIED), 7, "Access is denied ligne 7."},
        {-1, -1, "Erreur #-1."}, // a system code without a text
    };
    for (const auto& c : cases)
        EXPECT_EQ(Message(c.code, c.line), c.text) << c.code;
}

TEST(CIErrorTest, TheMessageIsCutToTwoLessThanTheBufferAndEndsRightAfterTheText) {
    char buffer[32];
    std::memset(buffer, 'z', sizeof buffer);
    EXPECT_EQ(CIError::FormatErrorMessage(buffer, 16, 41, 3), 14);
    EXPECT_STREQ(buffer, "Erreur #41 lig");
    EXPECT_EQ(buffer[15], 'z');

    std::memset(buffer, 'z', sizeof buffer);
    EXPECT_EQ(CIError::FormatErrorMessage(buffer, 1, 41, 3), 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], 'z');
    EXPECT_EQ(CIError::FormatErrorMessage(buffer, 0, 41, 3), 0);
    EXPECT_EQ(buffer[1], 'z');
}

TEST(CIErrorTest, FormatUsesTheRecordedLineCountedFromZero) {
    CIError error(111, kNoSubCode, "main", 4, 9);
    char buffer[64];
    error.Format(buffer, sizeof buffer, 1);
    EXPECT_STREQ(buffer, "Erreur #111 ligne 10.");
    error.Format(buffer, sizeof buffer, 0);
    EXPECT_STREQ(buffer, "Erreur #111.");
    error.line = -1;
    error.Format(buffer, sizeof buffer, 1);
    EXPECT_STREQ(buffer, "Erreur #111.");
}

TEST(CIErrorTest, CopiesOwnTheirUnitNameAlsoWhenSetFromItself) {
    CIError* error = new CIError(45, 2, "unit", 5, 6);
    CIError copy(*error);
    error->Set(12, kNoSubCode, error->unitName, 1, 2);
    EXPECT_STREQ(error->GetUnitName(), "unit");
    CWXException::Delete(error);
    EXPECT_STREQ(copy.GetUnitName(), "unit");
    copy.Assign(nullptr);
    EXPECT_EQ(copy.code, 0);
    EXPECT_STREQ(copy.GetUnitName(), "");
}

} // namespace
