#include "platform/internet/internet.h"

#include "platform/kernel/format_message.h"

namespace {

constexpr SystemMessage kInternetMessages[] = {
    {ERROR_INTERNET_TIMEOUT, "The operation timed out."},
    {ERROR_INTERNET_EXTENDED_ERROR, "An extended error was returned from the server."},
    {ERROR_INTERNET_INTERNAL_ERROR, "An internal error has occurred."},
    {ERROR_INTERNET_INVALID_URL, "The URL is invalid."},
    {ERROR_INTERNET_UNRECOGNIZED_SCHEME, "The URL does not use a recognized protocol."},
    {ERROR_INTERNET_NAME_NOT_RESOLVED, "The server name or address could not be resolved."},
    {ERROR_INTERNET_INVALID_OPTION, "The option value is invalid."},
    {ERROR_INTERNET_BAD_OPTION_LENGTH, "The option length is incorrect for the type of option."},
    {ERROR_INTERNET_INVALID_OPERATION, "The requested operation is invalid."},
    {ERROR_INTERNET_OPERATION_CANCELLED, "The operation was canceled."},
    {ERROR_INTERNET_INCORRECT_HANDLE_TYPE,
     "The type of handle supplied is incorrect for this operation."},
    {ERROR_INTERNET_CANNOT_CONNECT, "A connection with the server could not be established."},
    {ERROR_INTERNET_CONNECTION_ABORTED,
     "The connection with the server was terminated abnormally."},
    {ERROR_INTERNET_INVALID_CA, "The certificate authority is invalid or incorrect."},
    {ERROR_HTTP_HEADER_NOT_FOUND, "The requested header could not be located."},
    {ERROR_HTTP_INVALID_SERVER_RESPONSE,
     "The server returned an invalid or unrecognized response."},
    {ERROR_HTTP_REDIRECT_FAILED, "The redirection failed."},
    {ERROR_INTERNET_SECURITY_CHANNEL_ERROR, "An error occurred in the secure channel support."},
};

} // namespace

bool RegisterInternetMessageTexts() {
    return RegisterMessageTexts(kInternetMessages);
}
