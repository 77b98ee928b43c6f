// Checking and encoding of URLs handed to InternetOpenUrlA. Internal to the platform layer.
#pragma once

#include <string>

#include "platform/kernel/win_types.h"

namespace platform {

enum class UrlScheme { Http, Https, Ftp, File };

// Checks that `url` is "scheme://..." with a scheme we open and, except for file URLs, a
// host, and turns it into the URL libcurl is given. Network URLs keep their bytes, with
// those a URL cannot hold as they are (controls, space, bytes above 0x7E) percent-encoded:
// what a peer expects of a Windows client. A file URL names a Windows path, mapped to the
// Linux file it stands for as the file calls map paths. ERROR_SUCCESS,
// ERROR_INTERNET_UNRECOGNIZED_SCHEME, ERROR_INTERNET_INVALID_URL or, for a file URL, the
// error of mapping its path (ERROR_PATH_NOT_FOUND, ERROR_BAD_NETPATH, ...).
DWORD PrepareUrl(const char* url, UrlScheme& scheme, std::string& prepared);

} // namespace platform
