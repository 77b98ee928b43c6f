#include "platform/internet/internet_url.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>

#include "platform/files/drives.h"
#include "platform/kernel/errors.h"
#include "platform/internet/internet.h"

namespace platform {
namespace {

void AppendEncoded(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

bool IsDriveLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool SchemeFromName(std::string_view name, UrlScheme& scheme) {
    std::string lower = Lower(name);
    if (lower == "http") {
        scheme = UrlScheme::Http;
    } else if (lower == "https") {
        scheme = UrlScheme::Https;
    } else if (lower == "ftp") {
        scheme = UrlScheme::Ftp;
    } else if (lower == "file") {
        scheme = UrlScheme::File;
    } else {
        return false;
    }
    return true;
}

// The Windows path a file URL names: "file:///C:/dir/name", "file://C:\dir\name" and
// "file:///dir/name" (current drive) are local; "file://host/share/name" is a network path.
DWORD WindowsPathOfFileUrl(std::string_view location, std::string& path) {
    if (Lower(location.substr(0, 10)) == "localhost/") location.remove_prefix(9);
    path.clear();
    for (size_t i = 0; i < location.size(); ++i) {
        char c = location[i];
        if (c == '%') {
            int high = i + 2 < location.size() ? HexValue(location[i + 1]) : -1;
            int low = high >= 0 ? HexValue(location[i + 2]) : -1;
            if (low < 0 || (high == 0 && low == 0)) return ERROR_INTERNET_INVALID_URL;
            c = static_cast<char>(high * 16 + low);
            i += 2;
        }
        path += c == '/' ? '\\' : c;
    }
    if (path.size() >= 3 && path[0] == '\\' && IsDriveLetter(path[1]) &&
        (path[2] == ':' || path[2] == '|')) {
        path.erase(0, 1);
    }
    bool drive = path.size() >= 2 && IsDriveLetter(path[0]) && (path[1] == ':' || path[1] == '|');
    if (drive) {
        path[1] = ':';
    } else if (path.empty()) {
        return ERROR_INTERNET_INVALID_URL;
    } else if (path[0] != '\\') {
        path.insert(0, "\\\\");
    }
    return ERROR_SUCCESS;
}

DWORD PrepareFileUrl(std::string_view location, std::string& prepared) {
    std::string windowsPath;
    if (DWORD error = WindowsPathOfFileUrl(location, windowsPath); error != ERROR_SUCCESS) {
        return error;
    }
    std::string linuxPath;
    if (!MapPath(windowsPath.c_str(), linuxPath)) return GetLastError();
    // Read through libcurl, a folder would pass for an empty file.
    std::error_code ignored;
    if (std::filesystem::is_directory(linuxPath, ignored)) return ERROR_ACCESS_DENIED;
    prepared = "file://";
    for (char c : linuxPath) {
        auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            prepared += c;
        } else {
            AppendEncoded(prepared, byte);
        }
    }
    return ERROR_SUCCESS;
}

} // namespace

DWORD PrepareUrl(const char* url, UrlScheme& scheme, std::string& prepared) {
    std::string_view text(url);
    size_t colon = text.find(':');
    if (colon == std::string_view::npos || !SchemeFromName(text.substr(0, colon), scheme)) {
        return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    }
    std::string_view rest = text.substr(colon + 1);
    if (!rest.starts_with("//")) return ERROR_INTERNET_INVALID_URL;
    std::string_view location = rest.substr(2);
    if (scheme == UrlScheme::File) return PrepareFileUrl(location, prepared);
    if (location.empty() || location.front() == '/' || location.front() == '?' ||
        location.front() == '#') {
        return ERROR_INTERNET_INVALID_URL;
    }
    prepared.clear();
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F) {
            prepared += c;
        } else {
            AppendEncoded(prepared, byte);
        }
    }
    return ERROR_SUCCESS;
}

} // namespace platform
