#include "platform/system/environment.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/files/drives.h"
#include "platform/files/files.h"
#include "platform/kernel/cp1252.h"
#include "platform/kernel/errors.h"
#include "platform/profile/profile.h"
#include "platform/system/machine.h"

extern char** environ;

namespace {

// The Windows value of a session variable the Linux environment lacks.
bool SessionValue(std::string_view name, std::string& value) {
    auto is = [&](const char* known) { return platform::Cp1252EqualNoCase(name, known); };
    char buffer[MAX_PATH + 1] = {};
    if (is("TEMP") || is("TMP")) {
        DWORD length = GetTempPathA(sizeof buffer, buffer);
        if (length == 0 || length >= sizeof buffer) return false;
        value.assign(buffer, length);
        if (value.size() > 3 && value.back() == '\\') value.pop_back();
        return true;
    }
    if (is("WINDIR") || is("SYSTEMROOT")) {
        UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
        if (length == 0 || length >= sizeof buffer) return false;
        value.assign(buffer, length);
        return true;
    }
    if (is("USERPROFILE")) {
        const char* home = std::getenv("HOME");
        std::string windows;
        if (home == nullptr || !platform::LinuxToWindowsPath(home, windows)) return false;
        platform::Utf8ToCp1252(windows, value);
        return true;
    }
    if (is("USERNAME")) {
        DWORD size = sizeof buffer;
        if (!GetUserNameA(buffer, &size)) return false;
        value = buffer;
        return true;
    }
    if (is("COMPUTERNAME")) {
        DWORD size = sizeof buffer;
        if (!GetComputerNameA(buffer, &size)) return false;
        value = buffer;
        return true;
    }
    return false;
}

// The value of a variable, the Linux environment first; false when unset.
bool Lookup(std::string_view name, std::string& value) {
    if (name.empty()) return false;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        std::string_view pair(*entry);
        size_t equals = pair.find('=');
        if (equals == std::string_view::npos || equals == 0) continue;
        std::string converted;
        platform::Utf8ToCp1252(pair.substr(0, equals), converted);
        if (!platform::Cp1252EqualNoCase(converted, name)) continue;
        platform::Utf8ToCp1252(pair.substr(equals + 1), value);
        return true;
    }
    return SessionValue(name, value);
}

DWORD Deliver(const std::string& text, LPSTR buffer, DWORD size, bool countTerminator) {
    DWORD needed = DWORD(text.size()) + 1;
    if (buffer == nullptr || size < needed) return needed;
    std::memcpy(buffer, text.c_str(), needed);
    return countTerminator ? needed : needed - 1;
}

} // namespace

DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size) {
    std::string value;
    if (name == nullptr || !Lookup(name, value)) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    return Deliver(value, buffer, size, false);
}

DWORD ExpandEnvironmentStringsA(LPCSTR source, LPSTR destination, DWORD size) {
    if (source == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string_view text(source);
    std::string expanded;
    size_t i = 0;
    while (i < text.size()) {
        size_t open = text.find('%', i);
        if (open == std::string_view::npos) break;
        size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) break;
        std::string value;
        if (Lookup(text.substr(open + 1, close - open - 1), value)) {
            expanded.append(text.substr(i, open - i));
            expanded += value;
            i = close + 1;
        } else {
            // The closing '%' may open the next reference.
            expanded.append(text.substr(i, close - i));
            i = close;
        }
    }
    expanded.append(text.substr(i));
    return Deliver(expanded, destination, size, true);
}
