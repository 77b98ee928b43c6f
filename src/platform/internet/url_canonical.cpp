#include "platform/internet/url_canonical.h"

#include <curl/curl.h>

#include <cstring>
#include <string>

#include "platform/internet/internet.h"
#include "platform/kernel/errors.h"
#include "platform/libraries/lazy_library.h"

namespace {

bool StartsWithNoCase(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        char c = *text >= 'A' && *text <= 'Z' ? char(*text - 'A' + 'a') : *text;
        if (c != *prefix) return false;
    }
    return true;
}

bool Canonical(const char* url, std::string& result) {
    // Mail and news addresses have no host part for the parser to check.
    if (StartsWithNoCase(url, "mailto:") || StartsWithNoCase(url, "news:")) {
        result = url;
        return true;
    }
    if (!platform::Require(platform::LazyLibrary::Curl)) return false;
    CURLU* handle = curl_url();
    if (handle == nullptr) return false;
    char* text = nullptr;
    char* host = nullptr;
    bool ok = curl_url_set(handle, CURLUPART_URL, url,
                           CURLU_NON_SUPPORT_SCHEME | CURLU_URLENCODE) == CURLUE_OK;
    // Host names do not tell case apart; the canonical form writes them in lower case.
    if (ok && curl_url_get(handle, CURLUPART_HOST, &host, 0) == CURLUE_OK) {
        for (char* c = host; *c != '\0'; ++c)
            if (*c >= 'A' && *c <= 'Z') *c = char(*c - 'A' + 'a');
        ok = curl_url_set(handle, CURLUPART_HOST, host, 0) == CURLUE_OK;
    }
    curl_free(host);
    ok = ok && curl_url_get(handle, CURLUPART_URL, &text, 0) == CURLUE_OK;
    if (ok) result = text;
    curl_free(text);
    curl_url_cleanup(handle);
    return ok;
}

} // namespace

BOOL InternetCanonicalizeUrlA(LPCSTR url, LPSTR buffer, LPDWORD length, DWORD) {
    if (url == nullptr || length == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string result;
    if (!Canonical(url, result)) {
        SetLastError(ERROR_INTERNET_INVALID_URL);
        return FALSE;
    }
    DWORD needed = DWORD(result.size()) + 1;
    if (buffer == nullptr || *length < needed) {
        *length = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(buffer, result.c_str(), needed);
    *length = needed - 1;
    return TRUE;
}
