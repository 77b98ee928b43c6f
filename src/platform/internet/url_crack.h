// Splitting a URL into its parts in the manner of WinINet, over libcurl's URL parser.
#pragma once

#include "platform/kernel/win_types.h"

using INTERNET_PORT = WORD;

enum INTERNET_SCHEME : int32_t {
    INTERNET_SCHEME_UNKNOWN = -1,
    INTERNET_SCHEME_DEFAULT = 0,
    INTERNET_SCHEME_FTP = 1,
    INTERNET_SCHEME_GOPHER = 2,
    INTERNET_SCHEME_HTTP = 3,
    INTERNET_SCHEME_HTTPS = 4,
    INTERNET_SCHEME_FILE = 5,
    INTERNET_SCHEME_NEWS = 6,
    INTERNET_SCHEME_MAILTO = 7,
};

// Each part is asked for by its length: 0 leaves it out; with a buffer, the length is the
// buffer's size and the part is copied there, terminated (on return the length without
// the terminator); without one, the pointer is set into the URL text given (null when
// the part is not written there as such) and the length to the part's.
struct URL_COMPONENTSA {
    DWORD dwStructSize;
    LPSTR lpszScheme;
    DWORD dwSchemeLength;
    INTERNET_SCHEME nScheme;
    LPSTR lpszHostName;
    DWORD dwHostNameLength;
    INTERNET_PORT nPort;
    LPSTR lpszUserName;
    DWORD dwUserNameLength;
    LPSTR lpszPassword;
    DWORD dwPasswordLength;
    LPSTR lpszUrlPath;
    DWORD dwUrlPathLength;
    // The query and fragment, with their '?' and '#'.
    LPSTR lpszExtraInfo;
    DWORD dwExtraInfoLength;
};

// Percent escapes in the parts copied to buffers are decoded.
inline constexpr DWORD ICU_DECODE = 0x10000000;

// Splits `url` (`length` bytes; 0: up to its terminator). A port that is not written
// takes the scheme's: FTP 21, Gopher 70, HTTP 80, HTTPS 443, file 0, news 119, mailto 25
// (0 for other schemes). "mailto:" and "news:" URLs have no host: what follows the colon
// is their path. ERROR_INVALID_PARAMETER for a null text or record, or a record of
// another size; ERROR_INTERNET_INVALID_URL for a text that is no URL;
// ERROR_INSUFFICIENT_BUFFER when a part does not fit its buffer (its length is then the
// size it needs, terminator included).
BOOL InternetCrackUrlA(LPCSTR url, DWORD length, DWORD flags, URL_COMPONENTSA* components);
