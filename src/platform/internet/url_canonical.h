// URL canonicalisation in the manner of WinINet, over libcurl's URL parser.
#pragma once

#include "platform/kernel/win_types.h"

inline constexpr DWORD ICU_BROWSER_MODE = 0x02000000;

// Writes the canonical form of `url` (scheme and host in lower case, a path of at least
// "/", unsafe bytes percent-encoded; mailto and news URLs as given). *length is the
// buffer's size on entry; on success the length written, without the terminator; on
// ERROR_INSUFFICIENT_BUFFER the size needed, terminator included. ERROR_INTERNET_INVALID_URL
// for a text that is no URL.
BOOL InternetCanonicalizeUrlA(LPCSTR url, LPSTR buffer, LPDWORD length, DWORD flags);
