#include "platform/internet/url_crack.h"

#include <curl/curl.h>

#include <cstring>
#include <string>

#include "platform/internet/internet.h"
#include "platform/kernel/errors.h"
#include "platform/libraries/lazy_library.h"

namespace {

struct Parts {
    std::string scheme;
    std::string host;
    std::string user;
    std::string password;
    std::string path;
    std::string extra;
    int32_t port = -1;
};

struct SchemeInfo {
    const char* name;
    INTERNET_SCHEME scheme;
    INTERNET_PORT port;
};

constexpr SchemeInfo kSchemes[] = {
    {"ftp", INTERNET_SCHEME_FTP, 21},       {"gopher", INTERNET_SCHEME_GOPHER, 70},
    {"http", INTERNET_SCHEME_HTTP, 80},     {"https", INTERNET_SCHEME_HTTPS, 443},
    {"file", INTERNET_SCHEME_FILE, 0},      {"news", INTERNET_SCHEME_NEWS, 119},
    {"mailto", INTERNET_SCHEME_MAILTO, 25},
};

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    size_t n = std::strlen(prefix);
    if (text.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (Lower(text[i]) != prefix[i]) return false;
    }
    return true;
}

// Mail and news addresses have no host part for the parser to check.
bool SplitByHand(const std::string& text, Parts& parts) {
    for (const char* scheme : {"mailto", "news"}) {
        std::string prefix = std::string(scheme) + ":";
        if (!StartsWithNoCase(text, prefix.c_str())) continue;
        parts.scheme = scheme;
        parts.path = text.substr(prefix.size());
        return true;
    }
    return false;
}

bool TakePart(CURLU* handle, CURLUPart which, std::string& part) {
    char* value = nullptr;
    CURLUcode code = curl_url_get(handle, which, &value, 0);
    if (code == CURLUE_OK) part = value;
    curl_free(value);
    return code != CURLUE_OUT_OF_MEMORY;
}

bool SplitWithParser(const std::string& text, Parts& parts) {
    if (!platform::Require(platform::LazyLibrary::Curl)) return false;
    CURLU* handle = curl_url();
    if (handle == nullptr) return false;
    std::string port, query, fragment;
    bool ok = curl_url_set(handle, CURLUPART_URL, text.c_str(),
                           CURLU_NON_SUPPORT_SCHEME | CURLU_PATH_AS_IS | CURLU_ALLOW_SPACE) ==
                  CURLUE_OK &&
              TakePart(handle, CURLUPART_SCHEME, parts.scheme) &&
              TakePart(handle, CURLUPART_HOST, parts.host) &&
              TakePart(handle, CURLUPART_USER, parts.user) &&
              TakePart(handle, CURLUPART_PASSWORD, parts.password) &&
              TakePart(handle, CURLUPART_PATH, parts.path) &&
              TakePart(handle, CURLUPART_PORT, port) && TakePart(handle, CURLUPART_QUERY, query) &&
              TakePart(handle, CURLUPART_FRAGMENT, fragment);
    curl_url_cleanup(handle);
    if (!ok) return false;
    // The parser has checked the port: at most five digits.
    if (!port.empty()) parts.port = std::stoi(port);
    if (!query.empty()) parts.extra = "?" + query;
    if (!fragment.empty()) parts.extra += "#" + fragment;
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Escapes that are not two hexadecimal digits stay as written, and so does %00: a part
// is a terminated text, which a zero inside would cut short.
std::string Decode(const std::string& text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        int high = i + 2 < text.size() && text[i] == '%' ? HexValue(text[i + 1]) : -1;
        int low = high >= 0 ? HexValue(text[i + 2]) : -1;
        if (low >= 0 && high * 16 + low != 0) {
            result += char(high * 16 + low);
            i += 2;
        } else {
            result += text[i];
        }
    }
    return result;
}

// Where `part` is written in `url` at or after `from`, without regard to case; npos when
// it is not written there as such.
size_t FindNoCase(const std::string& url, const std::string& part, size_t from) {
    for (size_t at = from; at + part.size() <= url.size(); ++at) {
        size_t i = 0;
        while (i < part.size() && Lower(url[at + i]) == Lower(part[i]))
            ++i;
        if (i == part.size()) return at;
    }
    return std::string::npos;
}

class Filler {
public:
    Filler(LPCSTR url, const std::string& text, bool decode)
        : url_(url), text_(text), decode_(decode) {}

    // Parts come in the order they are written, so each is looked for behind the one
    // before, whether or not that one was asked for.
    void Fill(const std::string& part, LPSTR& pointer, DWORD& length) {
        size_t at = part.empty() ? std::string::npos : FindNoCase(text_, part, from_);
        if (at != std::string::npos) from_ = at + part.size();
        if (length == 0) return;
        if (pointer == nullptr) {
            if (at == std::string::npos) {
                length = 0;
                return;
            }
            pointer = const_cast<LPSTR>(url_) + at;
            length = DWORD(part.size());
            return;
        }
        std::string value = decode_ ? Decode(part) : part;
        if (value.size() >= length) {
            length = DWORD(value.size() + 1);
            tooSmall_ = true;
            return;
        }
        std::memcpy(pointer, value.data(), value.size());
        pointer[value.size()] = '\0';
        length = DWORD(value.size());
    }
    bool TooSmall() const { return tooSmall_; }

private:
    LPCSTR url_;
    const std::string& text_;
    bool decode_;
    size_t from_ = 0;
    bool tooSmall_ = false;
};

} // namespace

BOOL InternetCrackUrlA(LPCSTR url, DWORD length, DWORD flags, URL_COMPONENTSA* components) {
    if (url == nullptr || components == nullptr ||
        components->dwStructSize != sizeof(URL_COMPONENTSA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The text ends at its terminator, even inside the length given.
    std::string text(url, length == 0 ? std::strlen(url) : strnlen(url, length));
    Parts parts;
    if (!SplitByHand(text, parts) && !SplitWithParser(text, parts)) {
        SetLastError(ERROR_INTERNET_INVALID_URL);
        return FALSE;
    }
    components->nScheme = INTERNET_SCHEME_UNKNOWN;
    INTERNET_PORT port = 0;
    for (const SchemeInfo& info : kSchemes) {
        if (parts.scheme == info.name) {
            components->nScheme = info.scheme;
            port = info.port;
        }
    }
    components->nPort = parts.port >= 0 ? INTERNET_PORT(parts.port) : port;
    Filler filler(url, text, (flags & ICU_DECODE) != 0);
    filler.Fill(parts.scheme, components->lpszScheme, components->dwSchemeLength);
    filler.Fill(parts.user, components->lpszUserName, components->dwUserNameLength);
    filler.Fill(parts.password, components->lpszPassword, components->dwPasswordLength);
    filler.Fill(parts.host, components->lpszHostName, components->dwHostNameLength);
    filler.Fill(parts.path, components->lpszUrlPath, components->dwUrlPathLength);
    filler.Fill(parts.extra, components->lpszExtraInfo, components->dwExtraInfoLength);
    if (filler.TooSmall()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    return TRUE;
}
