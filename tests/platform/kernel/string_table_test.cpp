#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/kernel/format_message.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/string_table.h"
#include "platform/last_error.h"

namespace {

constexpr DWORD kSystem = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;

TEST(StringTable, LoadStringTruncatesToTheBufferAndAlwaysTerminates) {
    char buffer[32];
    EXPECT_EQ(LoadStringA(0, 43473, buffer, sizeof(buffer)), 10);
    EXPECT_STREQ(buffer, "Erreur #%d");
    EXPECT_EQ(LoadStringA(0, 43473, buffer, 5), 4);
    EXPECT_STREQ(buffer, "Erre");
    EXPECT_EQ(LoadStringA(0, 43473, buffer, 1), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_GT(LoadStringA(0, 9020, buffer, sizeof(buffer)), 0);

    SetLastError(0);
    std::strcpy(buffer, "stale");
    EXPECT_EQ(ErrorOf(LoadStringA(0, 1, buffer, sizeof(buffer)), 0), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(LoadStringA(0, 43473, buffer, 0), 0);
    EXPECT_EQ(LoadStringA(0, 43473, nullptr, 10), 0);
}

TEST(FormatMessage, TextMustFitWithItsTerminator) {
    const char text[] = "Access is denied.\r\n";
    char buffer[64];
    EXPECT_EQ(
        FormatMessageA(kSystem, nullptr, ERROR_ACCESS_DENIED, 0, buffer, sizeof(buffer), nullptr),
        sizeof(text) - 1);
    EXPECT_STREQ(buffer, text);
    EXPECT_EQ(
        FormatMessageA(kSystem, nullptr, ERROR_ACCESS_DENIED, 0, buffer, sizeof(text), nullptr),
        sizeof(text) - 1);

    SetLastError(0);
    EXPECT_EQ(
        FormatMessageA(kSystem, nullptr, ERROR_ACCESS_DENIED, 0, buffer, sizeof(text) - 1, nullptr),
        0u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(
        ErrorOf(FormatMessageA(kSystem, nullptr, 9999, 0, buffer, sizeof(buffer), nullptr), 0u),
        ERROR_MR_MID_NOT_FOUND);
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_ACCESS_DENIED, 0, buffer,
                             sizeof(buffer), nullptr),
              0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(FormatMessage, AllocatedBufferHoldsTheTextAndAtLeastTheSizeAsked) {
    LPSTR text = nullptr;
    DWORD length =
        FormatMessageA(kSystem | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, ERROR_FILE_NOT_FOUND, 0,
                       reinterpret_cast<LPSTR>(&text), 0, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(length, std::strlen(text));
    EXPECT_STREQ(text, "The system cannot find the file specified.\r\n");
    EXPECT_EQ(LocalFree(text), nullptr);

    // The caller may write up to the minimum size it asked for.
    DWORD asked = 200;
    ASSERT_GT(FormatMessageA(kSystem | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, ERROR_DISK_FULL, 0,
                             reinterpret_cast<LPSTR>(&text), asked, nullptr),
              0u);
    std::memset(text, 'x', asked);
    LocalFree(text);
}

TEST(FormatMessage, EveryCodeTheLayerReportsHasASentence) {
    // clang-format off
    const DWORD codes[] = {
        ERROR_SUCCESS, ERROR_INVALID_FUNCTION, ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND,
        ERROR_TOO_MANY_OPEN_FILES, ERROR_ACCESS_DENIED, ERROR_INVALID_HANDLE,
        ERROR_NOT_ENOUGH_MEMORY, ERROR_INVALID_DRIVE, ERROR_CURRENT_DIRECTORY,
        ERROR_NOT_SAME_DEVICE, ERROR_NO_MORE_FILES, ERROR_WRITE_FAULT, ERROR_READ_FAULT,
        ERROR_GEN_FAILURE, ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION, ERROR_HANDLE_EOF,
        ERROR_NOT_SUPPORTED, ERROR_BAD_NETPATH, ERROR_FILE_EXISTS, ERROR_INVALID_PARAMETER,
        ERROR_BROKEN_PIPE, ERROR_DISK_FULL, ERROR_INSUFFICIENT_BUFFER, ERROR_INVALID_NAME,
        ERROR_NEGATIVE_SEEK, ERROR_DIR_NOT_EMPTY, ERROR_NOT_LOCKED, ERROR_BAD_PATHNAME,
        ERROR_ALREADY_EXISTS, ERROR_FILENAME_EXCED_RANGE, ERROR_DIRECTORY, ERROR_NOT_OWNER,
        ERROR_TOO_MANY_POSTS, ERROR_MORE_DATA, ERROR_NO_MORE_ITEMS, ERROR_BADDB,
        ERROR_KEY_DELETED, ERROR_RESOURCE_NAME_NOT_FOUND,
    };
    // clang-format on
    for (DWORD code : codes) {
        char buffer[256];
        DWORD length = FormatMessageA(kSystem, nullptr, code, 0, buffer, sizeof(buffer), nullptr);
        ASSERT_GT(length, 3u) << code;
        EXPECT_EQ(std::string(buffer + length - 3), ".\r\n") << code;
    }
}

} // namespace
