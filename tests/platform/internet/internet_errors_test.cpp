#include <gtest/gtest.h>

#include <string>

#include "platform/internet/internet.h"
#include "platform/kernel/format_message.h"

namespace {

TEST(InternetErrors, EveryCodeHasASentenceFromFormatMessage) {
    constexpr DWORD kSystem = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    // clang-format off
    const DWORD codes[] = {
        ERROR_INTERNET_TIMEOUT, ERROR_INTERNET_EXTENDED_ERROR, ERROR_INTERNET_INTERNAL_ERROR,
        ERROR_INTERNET_INVALID_URL, ERROR_INTERNET_UNRECOGNIZED_SCHEME,
        ERROR_INTERNET_NAME_NOT_RESOLVED, ERROR_INTERNET_INVALID_OPTION,
        ERROR_INTERNET_BAD_OPTION_LENGTH, ERROR_INTERNET_INVALID_OPERATION,
        ERROR_INTERNET_OPERATION_CANCELLED, ERROR_INTERNET_INCORRECT_HANDLE_TYPE,
        ERROR_INTERNET_CANNOT_CONNECT, ERROR_INTERNET_CONNECTION_ABORTED,
        ERROR_INTERNET_INVALID_CA, ERROR_HTTP_HEADER_NOT_FOUND,
        ERROR_HTTP_INVALID_SERVER_RESPONSE, ERROR_HTTP_REDIRECT_FAILED,
        ERROR_INTERNET_SECURITY_CHANNEL_ERROR,
    };
    // clang-format on
    for (DWORD code : codes) {
        char buffer[256];
        DWORD length = FormatMessageA(kSystem, nullptr, code, 0, buffer, sizeof(buffer), nullptr);
        ASSERT_GT(length, 3u) << code;
        EXPECT_EQ(std::string(buffer + length - 3), ".\r\n") << code;
    }
    // The kernel's own texts are still found first, and unknown codes still fail.
    char buffer[256];
    EXPECT_GT(
        FormatMessageA(kSystem, nullptr, ERROR_FILE_NOT_FOUND, 0, buffer, sizeof(buffer), nullptr),
        0u);
    EXPECT_EQ(FormatMessageA(kSystem, nullptr, 12999, 0, buffer, sizeof(buffer), nullptr), 0u);
}

} // namespace
