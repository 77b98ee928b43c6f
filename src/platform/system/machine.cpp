#include "platform/system/machine.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <vector>

#include "platform/kernel/cp1252.h"
#include "platform/kernel/errors.h"

namespace {

std::mutex frozenLock;
bool frozen = false;
SYSTEMTIME frozenTime{};

// Copies `text` the way the name calls do; GetUserNameA counts the terminator in *size.
BOOL CopyName(const std::string& text, LPSTR buffer, LPDWORD size, DWORD overflowError) {
    if (size == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD needed = DWORD(text.size()) + 1;
    if (buffer == nullptr || *size < needed) {
        *size = needed;
        SetLastError(overflowError);
        return FALSE;
    }
    std::memcpy(buffer, text.c_str(), needed);
    *size = overflowError == ERROR_BUFFER_OVERFLOW ? needed - 1 : needed;
    return TRUE;
}

} // namespace

BOOL GetComputerNameA(LPSTR buffer, LPDWORD size) {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0 || host[0] == '\0') std::strcpy(host, "LOCALHOST");
    std::string name;
    for (const char* c = host; *c != '\0' && *c != '.' && name.size() < MAX_COMPUTERNAME_LENGTH;
         ++c)
        name += char(std::toupper(static_cast<unsigned char>(*c)));
    return CopyName(name, buffer, size, ERROR_BUFFER_OVERFLOW);
}

BOOL GetUserNameA(LPSTR buffer, LPDWORD size) {
    std::string name;
    std::vector<char> scratch(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, scratch.data(), scratch.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr)
        name = found->pw_name;
    if (name.empty()) {
        const char* user = std::getenv("USER");
        if (user != nullptr) name = user;
    }
    if (name.empty()) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    std::string converted;
    platform::Utf8ToCp1252(name, converted);
    return CopyName(converted, buffer, size, ERROR_INSUFFICIENT_BUFFER);
}

void GetLocalTime(SYSTEMTIME* time) {
    if (time == nullptr) return;
    {
        std::lock_guard<std::mutex> guard(frozenLock);
        if (frozen) {
            *time = frozenTime;
            return;
        }
    }
    timeval now{};
    gettimeofday(&now, nullptr);
    std::tm local{};
    time_t seconds = now.tv_sec;
    localtime_r(&seconds, &local);
    time->wYear = WORD(local.tm_year + 1900);
    time->wMonth = WORD(local.tm_mon + 1);
    time->wDayOfWeek = WORD(local.tm_wday);
    time->wDay = WORD(local.tm_mday);
    time->wHour = WORD(local.tm_hour);
    time->wMinute = WORD(local.tm_min);
    time->wSecond = WORD(local.tm_sec);
    time->wMilliseconds = WORD(now.tv_usec / 1000);
}

BOOL SystemParametersInfoA(UINT action, UINT, LPVOID value, UINT) {
    if (action != SPI_GETGRADIENTCAPTIONS || value == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *static_cast<BOOL*>(value) = TRUE;
    return TRUE;
}

namespace platform {

bool GetHostIPv4Address(std::string& address) {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* list = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &list) != 0 || list == nullptr) return false;
    char text[INET_ADDRSTRLEN] = {};
    const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(list->ai_addr);
    bool ok = inet_ntop(AF_INET, &ipv4->sin_addr, text, sizeof text) != nullptr;
    freeaddrinfo(list);
    if (ok) address = text;
    return ok;
}

} // namespace platform

namespace platform::test {

void FreezeLocalTime(const SYSTEMTIME& time) {
    std::lock_guard<std::mutex> guard(frozenLock);
    frozen = true;
    frozenTime = time;
}

void UnfreezeLocalTime() {
    std::lock_guard<std::mutex> guard(frozenLock);
    frozen = false;
}

} // namespace platform::test
