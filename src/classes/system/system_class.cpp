#include "classes/system/system_class.h"

#include <cstring>
#include <iterator>
#include <new>
#include <utility>

#include "foundation/downloads/url_fetcher.h"
#include "foundation/downloads/url_fetcher_wait.h"
#include "foundation/files/file_layer.h"
#include "foundation/streams/byte_order.h"
#include "foundation/streams/in_stream.h"
#include "platform/files/drives.h"
#include "platform/files/files.h"
#include "platform/files/win_names.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/screen_dc.h"
#include "platform/internet/url_canonical.h"
#include "platform/internet/url_crack.h"
#include "platform/kernel/clock.h"
#include "platform/profile/profile.h"
#include "platform/shell/shell.h"
#include "platform/system/environment.h"
#include "platform/system/machine.h"
#include "platform/system/system_info.h"
#include "script/interpreter/interpretor.h"
#include "script/project/element.h"
#include "script/project/project_format.h"
#include "script/runtime/process_lock.h"

namespace {

using S = CISystem;

const MethodNameRow kNameTable[] = {
    {S::kClassId, "System", 0, 0},
    {S::kGetByteOrdering, "GetByteOrdering", 0, 0},
    {S::kGetOS, "GetOS", 0, 0},
    {S::kGetOSRelease, "GetOSRelease", 0, 0},
    {S::kGetOSSubRelease, "GetOSSubRelease", 0, 0},
    {S::kGetScreenWidth, "GetScreenWidth", 0, 0},
    {S::kGetScreenHeight, "GetScreenHeight", 0, 0},
    {S::kGetScreenDepth, "GetScreenDepth", 0, 0},
    {S::kGetComputerName, "GetComputerName", 0, 0},
    {S::kGetComputerIP, "GetComputerIP", 0, 0},
    {S::kShutDown, "ShutDown", 0, 0},
    {S::kPowerOff, "PowerOff", 0, 0},
    {S::kRestart, "Restart", 0, 0},
    {S::kLogout, "Logout", 0, 0},
    {S::kGetDLLDirectory, "GetDLLDirectory", 0, 0},
    {S::kGetUserName, "GetUserName", 0, 0},
    {S::kGetOSDirectory, "GetOSDirectory", 0, 0},
    {S::kGetElapsedTime, "GetElapsedTime", 0, 0},
    {S::kGetCurrentMonth, "GetCurrentMonth", 0, 0},
    {S::kGetCurrentDay, "GetCurrentDay", 0, 0},
    {S::kGetCurrentYear, "GetCurrentYear", 0, 0},
    {S::kGetCurrentHour, "GetCurrentHour", 0, 0},
    {S::kGetCurrentMinute, "GetCurrentMinute", 0, 0},
    {S::kGetCurrentSecond, "GetCurrentSecond", 0, 0},
    {S::kGetDayOfWeek, "GetDayOfWeek", 0, 0},
    {S::kGetCurrentMilliseconds, "GetCurrentMilliseconds", 0, 0},
    {S::kBrowseURL, "BrowseURL", 0, 0},
    {S::kInstallDLLFromBank, "InstallDLLFromBank", 0, 0},
    {S::kGetTempDirectory, "GetTempDirectory", 0, 0},
    {S::kGetSysColor, "GetSysColor", 0, 0},
    {S::kIsGradientCaptionEnabled, "IsGradientCaptionEnabled", 0, 0},
    {S::kParseEnvironmentString, "ParseEnvironmentString", 0, 0},
    {S::kGetEnvironmentVariable, "GetEnvironmentVariable", 0, 0},
    {S::kDownloadFile, "DownloadFile", 0, 0},
    {S::kOnDownload, "OnDownload", 0, 0},
    {S::kStopFileDownload, "StopFileDownload", 0, 0},
    {37, "BIG_ENDIAN", 0, kRowConstant},
    {38, "LITTLE_ENDIAN", 0, kRowConstant},
    {39, "PDP_ENDIAN", 0, kRowConstant},
    {40, "OS_WINDOWS_CE", 0, kRowConstant},
    {41, "OS_WINDOWS_95", 0, kRowConstant},
    {42, "OS_WINDOWS_98", 0, kRowConstant},
    {43, "OS_WINDOWS_NT", 0, kRowConstant},
    {44, "OS_MACOS", 0, kRowConstant},
    {45, "OS_LINUX", 0, kRowConstant},
    {46, "OS_UNKNOWN", 0, kRowConstant},
    {47, "OS_WINDOWS_ME", 0, kRowConstant},
    {48, "OS_WINDOWS_2000", 0, kRowConstant},
    {49, "OS_WINDOWS_9X", 0, kRowConstant},
    {50, "SYSCOLOR_3DDARKSHADOW", 0, kRowConstant},
    {51, "SYSCOLOR_BUTTONFACE", 0, kRowConstant},
    {52, "SYSCOLOR_BUTTONHILIGHT", 0, kRowConstant},
    {53, "SYSCOLOR_3DLIGHT", 0, kRowConstant},
    {54, "SYSCOLOR_BUTTONSHADOW", 0, kRowConstant},
    {55, "SYSCOLOR_ACTIVEBORDER", 0, kRowConstant},
    {56, "SYSCOLOR_ACTIVECAPTION", 0, kRowConstant},
    {57, "SYSCOLOR_APPWORKSPACE", 0, kRowConstant},
    {58, "SYSCOLOR_DESKTOP", 0, kRowConstant},
    {59, "SYSCOLOR_BUTTONTEXT", 0, kRowConstant},
    {60, "SYSCOLOR_CAPTIONTEXT", 0, kRowConstant},
    {61, "SYSCOLOR_GRADIENTACTIVECAPTION", 0, kRowConstant},
    {62, "SYSCOLOR_GRADIENTINACTIVECAPTION", 0, kRowConstant},
    {63, "SYSCOLOR_GRAYTEXT", 0, kRowConstant},
    {64, "SYSCOLOR_HIGHLIGHT", 0, kRowConstant},
    {65, "SYSCOLOR_HIGHLIGHTTEXT", 0, kRowConstant},
    {66, "SYSCOLOR_HOTLIGHT", 0, kRowConstant},
    {67, "SYSCOLOR_INACTIVEBORDER", 0, kRowConstant},
    {68, "SYSCOLOR_INACTIVECAPTION", 0, kRowConstant},
    {69, "SYSCOLOR_INACTIVECAPTIONTEXT", 0, kRowConstant},
    {70, "SYSCOLOR_INFOBACKGROUND", 0, kRowConstant},
    {71, "SYSCOLOR_INFOTEXT", 0, kRowConstant},
    {72, "SYSCOLOR_MENU", 0, kRowConstant},
    {73, "SYSCOLOR_MENUTEXT", 0, kRowConstant},
    {74, "SYSCOLOR_SCROLLBAR", 0, kRowConstant},
    {75, "SYSCOLOR_WINDOW", 0, kRowConstant},
    {76, "SYSCOLOR_WINDOWFRAME", 0, kRowConstant},
    {77, "SYSCOLOR_WINDOWTEXT", 0, kRowConstant},
    {78, "OS_WINDOWS_XP", 0, kRowConstant},
    {79, "DOWNLOADSTATUS_PENDING", 0, kRowConstant},
    {80, "DOWNLOADSTATUS_DOWNLOADING", 0, kRowConstant},
    {81, "DOWNLOADSTATUS_DOWNLOADED", 0, kRowConstant},
    {82, "DOWNLOADSTATUS_ABORTED", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

// The Windows colour index of each SYSCOLOR_ constant.
constexpr int kSysColorIndex[] = {21, 15, 20, 22, 16, 10, 2,  12, 1, 18, 9, 27, 28, 17,
                                  13, 14, 26, 11, 3,  19, 24, 23, 4, 7,  0, 5,  6,  8};
constexpr uint32_t kSysColorBase = 0xBABC0000;

template <int32_t Value> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(Value);
}

template <uint32_t N> void SysColor(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(int32_t(kSysColorBase + N));
}

template <uint32_t N> void Status(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(int32_t(CISystem::kStatusBase + N));
}

const ClassLevelHandler kConstants[] = {
    &Constant<1>,  &Constant<2>,  &Constant<3>,  &Constant<0>,  &Constant<1>,  &Constant<2>,
    &Constant<3>,  &Constant<4>,  &Constant<5>,  &Constant<9>,  &Constant<6>,  &Constant<7>,
    &Constant<8>,  &SysColor<0>,  &SysColor<1>,  &SysColor<2>,  &SysColor<3>,  &SysColor<4>,
    &SysColor<5>,  &SysColor<6>,  &SysColor<7>,  &SysColor<8>,  &SysColor<9>,  &SysColor<10>,
    &SysColor<11>, &SysColor<12>, &SysColor<13>, &SysColor<14>, &SysColor<15>, &SysColor<16>,
    &SysColor<17>, &SysColor<18>, &SysColor<19>, &SysColor<20>, &SysColor<21>, &SysColor<22>,
    &SysColor<23>, &SysColor<24>, &SysColor<25>, &SysColor<26>, &SysColor<27>, &Constant<10>,
    &Status<0>,    &Status<1>,    &Status<2>,    &Status<3>,
};

CIBaseClassImpl* NewSystem(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CISystem(&interpreter, record);
}

const ScriptClassInfo kSystemClass = {
    kNameTable, NewSystem, CISystem::kFirstClassLevelId, kConstants, std::size(kConstants),
    nullptr,    nullptr,
};

constexpr char kAgent[] = "Zorvane";
constexpr uint32_t kIdleInterval = 500;
// Anonymous FTP asks for a mail address as the password.
constexpr char kAnonymousPassword[] = "zorv@zorv";

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    size_t n = std::strlen(prefix);
    if (text.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Unescape(const std::string& text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        int high = 0;
        int low = 0;
        if (text[i] == '%' && i + 2 < text.size() + 0 && (high = HexValue(text[i + 1])) >= 0 &&
            (low = HexValue(text[i + 2])) >= 0) {
            result += char(high * 16 + low);
            i += 2;
        } else {
            result += text[i];
        }
    }
    return result;
}

// A full path with its drive: C:\... or C:/...
bool IsDrivePath(const std::string& text) {
    return text.size() > 2 &&
           ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z')) &&
           text[1] == ':' && (text[2] == '\\' || text[2] == '/');
}

// Every byte but letters, digits, "-._~" and '/' escaped: the path's UTF-8 bytes reach the
// desktop as they are, whatever character set the text passes through on the way.
std::string EscapePath(const std::string& path) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string escaped;
    for (char c : path) {
        auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
            (byte >= '0' && byte <= '9') || (c != '\0' && std::strchr("-._~/", c) != nullptr)) {
            escaped += c;
        } else {
            escaped += '%';
            escaped += kDigits[byte >> 4];
            escaped += kDigits[byte & 15];
        }
    }
    return escaped;
}

// A temporary name "zqa<n>.dwn" reserved in the temporary folder; empty on failure.
std::string NewDownloadFile() {
    char name[MAX_PATH];
    if (MakeTempFileName(nullptr, "zqa", name, sizeof name, "dwn", 1, GetTickCount() & 0xFFFF) == 0)
        return std::string();
    return name;
}

void PumpWhileWaiting(void* user) {
    auto* interpreter = static_cast<CInterpretor*>(user);
    interpreter->PumpMessages(timeGetTime());
}

} // namespace

const ScriptMethod<CISystem> CISystem::kMethods[kMethodCount] = {
    nullptr,
    &S::GetByteOrdering,
    &S::GetOS,
    &S::GetOSRelease,
    &S::GetOSSubRelease,
    &S::GetScreenWidth,
    &S::GetScreenHeight,
    &S::GetScreenDepth,
    &S::GetComputerName,
    &S::GetComputerIP,
    &S::ShutDown,
    &S::PowerOff,
    &S::Restart,
    &S::Logout,
    &S::GetDLLDirectory,
    &S::GetUserName,
    &S::GetOSDirectory,
    &S::GetElapsedTime,
    &S::GetCurrentMonth,
    &S::GetCurrentDay,
    &S::GetCurrentYear,
    &S::GetCurrentHour,
    &S::GetCurrentMinute,
    &S::GetCurrentSecond,
    &S::GetDayOfWeek,
    &S::GetCurrentMilliseconds,
    &S::BrowseURL,
    &S::InstallDLLFromBank,
    &S::GetTempDirectory,
    &S::GetSysColor,
    &S::IsGradientCaptionEnabled,
    &S::ParseEnvironmentString,
    &S::GetEnvironmentVariable,
    &S::DownloadFile,
    &S::OnDownload,
    &S::StopFileDownload,
};

CISystem::CISystem(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1), onDownload_(interpreter, 0) {}

CISystem::~CISystem() {
    CUrlFetcher* fetcher = nullptr;
    {
        ProcessLockGuard guard;
        if (fetcher_ != nullptr) {
            for (size_t i = 0; i < downloads_.size(); ++i)
                fetcher_->Cancel(downloads_[i]->url);
        }
        fetcher = fetcher_;
        fetcher_ = nullptr;
    }
    // Outside the lock: its worker may be reporting, and waits for the lock to do so.
    delete fetcher;
    ProcessLockGuard guard;
    downloads_.clear();
    retired_.clear();
}

void CISystem::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CISystem::Destroy(int) {
    delete this;
}

void CISystem::SetText(const std::string& text) {
    interpreter->GetResultSlot()->SetString(text.c_str(), 0);
}

// ---- The machine ----------------------------------------------------------------------

void CISystem::GetByteOrdering() {
    interpreter->GetResultSlot()->SetInt(GetHostByteOrder());
}

// The layer reports NT 5.1 everywhere: scripts written for Windows take the branches
// they were tested on.
void CISystem::GetOS() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    int32_t os = 6;
    if (GetVersionExA(&info)) {
        if (info.dwPlatformId == VER_PLATFORM_WIN32_NT)
            os = info.dwMajorVersion == 5 ? (info.dwMinorVersion == 0 ? 8 : 10) : 3;
        else if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
            os = info.dwMinorVersion == 0    ? 1
                 : info.dwMinorVersion == 10 ? 2
                 : info.dwMinorVersion == 90 ? 7
                                             : 9;
    }
    interpreter->GetResultSlot()->SetInt(os);
}

void CISystem::GetOSRelease() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    interpreter->GetResultSlot()->SetInt(GetVersionExA(&info) ? int32_t(info.dwMajorVersion) : 0);
}

void CISystem::GetOSSubRelease() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    interpreter->GetResultSlot()->SetInt(GetVersionExA(&info) ? int32_t(info.dwMinorVersion) : 0);
}

namespace {

int ScreenCaps(int index) {
    HDC dc = GetDC(0);
    if (dc == 0) return 0;
    int value = index == BITSPIXEL ? GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES)
                                   : GetDeviceCaps(dc, index);
    ReleaseDC(0, dc);
    return value;
}

} // namespace

void CISystem::GetScreenWidth() {
    interpreter->GetResultSlot()->SetInt(ScreenCaps(HORZRES));
}

void CISystem::GetScreenHeight() {
    interpreter->GetResultSlot()->SetInt(ScreenCaps(VERTRES));
}

void CISystem::GetScreenDepth() {
    interpreter->GetResultSlot()->SetInt(ScreenCaps(BITSPIXEL));
}

void CISystem::GetComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    SetText(GetComputerNameA(name, &size) ? name : "");
}

void CISystem::GetUserName() {
    char name[257] = {};
    DWORD size = sizeof name;
    SetText(GetUserNameA(name, &size) ? name : "");
}

void CISystem::GetComputerIP() {
    std::string address;
    SetText(platform::GetHostIPv4Address(address) ? address : "127.0.0.1");
}

void CISystem::GetDLLDirectory() {
    char path[MAX_PATH + 1] = {};
    UINT length = GetSystemDirectoryA(path, sizeof path);
    SetText(length > 0 && length < sizeof path ? path : "");
}

void CISystem::GetOSDirectory() {
    char path[MAX_PATH + 1] = {};
    UINT length = GetWindowsDirectoryA(path, sizeof path);
    SetText(length > 0 && length < sizeof path ? path : "");
}

void CISystem::GetTempDirectory() {
    char path[MAX_PATH + 1] = {};
    DWORD length = GetTempPathA(sizeof path, path);
    SetText(length > 0 && length < sizeof path ? path : "");
}

void CISystem::GetElapsedTime() {
    interpreter->GetResultSlot()->SetInt(int32_t(timeGetTime()));
}

void CISystem::LocalTimeField(int field) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const WORD fields[] = {now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                           now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
    interpreter->GetResultSlot()->SetInt(fields[field]);
}

void CISystem::GetCurrentYear() {
    LocalTimeField(0);
}

void CISystem::GetCurrentMonth() {
    LocalTimeField(1);
}

void CISystem::GetDayOfWeek() {
    LocalTimeField(2);
}

void CISystem::GetCurrentDay() {
    LocalTimeField(3);
}

void CISystem::GetCurrentHour() {
    LocalTimeField(4);
}

void CISystem::GetCurrentMinute() {
    LocalTimeField(5);
}

void CISystem::GetCurrentSecond() {
    LocalTimeField(6);
}

void CISystem::GetCurrentMilliseconds() {
    LocalTimeField(7);
}

void CISystem::GetSysColor() {
    const CValue* value = interpreter->GetArg(0);
    if (interpreter->GetArgCount() != 1 || value->GetType() != kValueInt)
        interpreter->RaiseError(14);
    uint32_t constant = uint32_t(value->GetInt());
    uint32_t n = constant - kSysColorBase;
    // The table has 28 entries: the high half alone lets 28 to 65535 through.
    if ((constant & 0xFFFF0000u) != kSysColorBase || n >= std::size(kSysColorIndex))
        interpreter->RaiseError(14);
    DWORD colour = ::GetSysColor(kSysColorIndex[n]);
    interpreter->GetResultSlot()->SetInt(
        int32_t((colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF)));
}

void CISystem::IsGradientCaptionEnabled() {
    BOOL enabled = FALSE;
    interpreter->GetResultSlot()->SetInt(
        SystemParametersInfoA(SPI_GETGRADIENTCAPTIONS, 0, &enabled, 0) && enabled ? 1 : 0);
}

void CISystem::ParseEnvironmentString() {
    if (interpreter->GetArg(0)->GetType() != kValueString) interpreter->RaiseError(14);
    const char* text = interpreter->GetArgString(0);
    DWORD needed = ExpandEnvironmentStringsA(text, nullptr, 0);
    std::string expanded(needed, '\0');
    if (needed == 0 || ExpandEnvironmentStringsA(text, expanded.data(), needed) > needed) {
        SetText(text);
        return;
    }
    SetText(expanded.c_str());
}

void CISystem::GetEnvironmentVariable() {
    if (interpreter->GetArg(0)->GetType() != kValueString) interpreter->RaiseError(14);
    const char* name = interpreter->GetArgString(0);
    if (name[0] == '\0') interpreter->RaiseError(14);
    DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
    std::string value(needed, '\0');
    if (needed == 0 || GetEnvironmentVariableA(name, value.data(), needed) >= needed) {
        SetText("");
        return;
    }
    SetText(value.c_str());
}

// ---- The session and the shell ----------------------------------------------------------

void CISystem::ShutDown() {
    ExitWindowsEx(EWX_SHUTDOWN, 0);
}

void CISystem::PowerOff() {
    ExitWindowsEx(EWX_POWEROFF, 0);
}

void CISystem::Restart() {
    ExitWindowsEx(EWX_REBOOT, 0);
}

void CISystem::Logout() {
    ExitWindowsEx(EWX_LOGOFF, 0);
}

bool CISystem::ParseBrowseUrl(const std::string& text, BrowseTarget& target) {
    std::string prepared = text;
    if (IsDrivePath(prepared)) {
        // A file of ours, such as a finished download, is named by its Windows path: the
        // desktop knows it by its Linux one, and "http://" in front would send it to the web.
        std::string linuxPath;
        if (!platform::MapPath(prepared.c_str(), linuxPath)) return false;
        prepared = "file://" + EscapePath(linuxPath);
    }
    // "news:group" is as complete as "mailto:address": "http://" in front would make it a
    // host "news" with a port that is no number.
    if (!StartsWithNoCase(prepared, "mailto:") && !StartsWithNoCase(prepared, "news:") &&
        prepared.find("://") == std::string::npos)
        prepared.insert(0, "http://");
    // A user and password written before the host are kept apart, never handed on.
    std::string credentials;
    size_t authority = prepared.find("://");
    if (authority != std::string::npos) {
        size_t start = authority + 3;
        size_t end = prepared.find_first_of("/?#", start);
        size_t at = prepared.rfind('@', end == std::string::npos ? std::string::npos : end);
        if (at != std::string::npos && at >= start) {
            credentials = prepared.substr(start, at - start);
            prepared.erase(start, at + 1 - start);
        }
    }
    DWORD length = 2084;
    std::string canonical(length, '\0');
    if (!InternetCanonicalizeUrlA(prepared.c_str(), canonical.data(), &length, ICU_BROWSER_MODE)) {
        if (length <= canonical.size()) return false;
        canonical.assign(length, '\0');
        if (!InternetCanonicalizeUrlA(prepared.c_str(), canonical.data(), &length,
                                      ICU_BROWSER_MODE))
            return false;
    }
    canonical.resize(length);
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;
    if (!InternetCrackUrlA(canonical.c_str(), 0, ICU_BROWSER_MODE, &parts)) return false;
    target.url = canonical;
    target.scheme = parts.nScheme;
    target.host = parts.lpszHostName != nullptr
                      ? std::string(parts.lpszHostName, parts.dwHostNameLength)
                      : std::string();
    target.port = parts.nPort;
    size_t colon = credentials.find(':');
    target.user = credentials.substr(0, colon);
    target.password = colon == std::string::npos ? std::string() : credentials.substr(colon + 1);
    if (target.scheme == INTERNET_SCHEME_FTP && target.user.empty()) {
        target.user = "anonymous";
        target.password = kAnonymousPassword;
    }
    return true;
}

void CISystem::BrowseURL() {
    if (interpreter->IsArgDefault(0)) return;
    BrowseTarget target;
    if (ParseBrowseUrl(interpreter->GetArgString(0), target))
        ShellExecuteA(0, "open", target.url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CISystem::InstallDLLFromBank() {
    if (interpreter->GetArgCount() != 1 || interpreter->GetArg(0)->GetType() != kValueString)
        interpreter->RaiseError(14);
    CElement* element =
        interpreter->GetElementFromValue(*interpreter->GetArg(0), project_format::kBinaryBank, 1);
    interpreter->GetResultSlot()->SetInt(0);
    if (element == nullptr) return;
    // Only the last component of the stored name: the element cannot place the library
    // anywhere but the system directory.
    std::string name = element->GetNameText();
    size_t slash = name.find_last_of("\\/:");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    std::string base = name.substr(0, name.find('.'));
    if (name.empty() || base.empty() || platform::IsDeviceName(base)) return;
    if (name.find('.') == std::string::npos) name += ".DLL";
    CInStream* stream = element->OpenStream(1);
    if (stream == nullptr) return;
    std::string data;
    char chunk[4096];
    uint32_t got = 0;
    while (stream->ReadCounted(chunk, sizeof chunk, &got) == 0 && got > 0)
        data.append(chunk, got);
    delete stream;
    char temporary[MAX_PATH];
    if (MakeTempFileName(nullptr, "DLL", temporary, sizeof temporary, "DLL", 1,
                         GetTickCount() & 0xFFFF) == 0)
        return;
    HANDLE out = FileCreate(temporary);
    bool written =
        out != INVALID_HANDLE_VALUE && FileWrite(out, data.data(), uint32_t(data.size())) == 0;
    if (out != INVALID_HANDLE_VALUE) FileClose(out);
    if (written) {
        char folder[MAX_PATH + 1] = {};
        char current[MAX_PATH + 1] = {};
        UINT folderLength = sizeof folder;
        UINT currentLength = sizeof current;
        std::string source = temporary;
        size_t cut = source.find_last_of('\\');
        std::string sourceFolder = source.substr(0, cut);
        std::string sourceName = source.substr(cut + 1);
        char windows[MAX_PATH + 1] = {};
        GetWindowsDirectoryA(windows, sizeof windows);
        if (VerFindFileA(VFFF_ISSHAREDFILE, name.c_str(), windows, "", current, &currentLength,
                         folder, &folderLength) == 0) {
            char left[MAX_PATH + 1] = {};
            UINT leftLength = sizeof left;
            VerInstallFileA(0, sourceName.c_str(), name.c_str(), sourceFolder.c_str(), folder,
                            current, left, &leftLength);
            if (left[0] != '\0') DeleteFileA((std::string(folder) + "\\" + left).c_str());
        }
    }
    DeleteFileA(temporary);
}

// ---- Downloads ----------------------------------------------------------------------------

std::string CISystem::PrepareDownloadUrl(const std::string& url) {
    size_t first = url.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    size_t last = url.find_last_not_of(" \t\r\n");
    std::string trimmed = url.substr(first, last + 1 - first);
    if (trimmed.find(':') == std::string::npos) {
        // A path, by the rules of every other file name: "/etc/hosts" is on the current
        // drive, "data.txt" in the current directory.
        std::string full;
        return GetFullPath(Unescape(trimmed).c_str(), full) != 0 ? full : std::string();
    }
    // Network URLs go as given: decoding %26, %3F, %2F or %23 would ask for another
    // resource.
    bool local = StartsWithNoCase(trimmed, "file:") || (trimmed.size() > 1 && trimmed[1] == ':') ||
                 trimmed.rfind("\\\\", 0) == 0;
    return local ? Unescape(trimmed) : trimmed;
}

void CISystem::DownloadFile() {
    if (interpreter->IsArgDefault(0)) interpreter->RaiseError(14);
    std::string url = PrepareDownloadUrl(interpreter->GetArgString(0));
    bool background = !interpreter->IsArgDefault(1) && interpreter->GetArgInt(1) == 1;
    if (url.empty()) {
        SetText("");
        return;
    }
    SetText(background ? DownloadInBackground(url) : DownloadNow(url));
}

std::string CISystem::DownloadNow(const std::string& url) {
    std::string file = NewDownloadFile();
    if (file.empty()) return file;
    lastDownload_ = file;
    CUrlFetcherWait fetcher(kAgent);
    if (fetcher.Download(url, file.c_str(), &PumpWhileWaiting, kIdleInterval, interpreter) !=
        CUrlFetcherWait::kCopied) {
        DeleteFileA(file.c_str());
        return std::string();
    }
    interpreter->AddTemporaryFile(file.c_str());
    return file;
}

std::string CISystem::DownloadInBackground(const std::string& url) {
    ProcessLockGuard guard;
    if (fetcher_ == nullptr) {
        fetcher_ = new (std::nothrow) CUrlFetcher(this, kAgent, &Progress);
        if (fetcher_ == nullptr) return std::string();
    }
    for (const auto& download : downloads_) {
        if (download->url == url) return download->file;
    }
    std::string file = NewDownloadFile();
    if (file.empty()) return file;
    auto* record = new (std::nothrow) Download{url, file};
    if (record == nullptr) return std::string();
    downloads_.emplace_back(record);
    // The fetcher hands the cookie back with every report: the record's own text, which
    // lives as long as the fetcher (retired_).
    if (fetcher_->Start(url, const_cast<char*>(record->file.c_str())) != CUrlFetcher::kStarted) {
        downloads_.pop_back();
        DeleteFileA(file.c_str());
        return std::string();
    }
    interpreter->AddTemporaryFile(file.c_str());
    return file;
}

int CISystem::Progress(CUrlFetcher* fetcher, void* cookie, uint32_t total, uint32_t received,
                       int state) {
    auto* system = static_cast<CISystem*>(fetcher->GetOwnerValue());
    if (system == nullptr || cookie == nullptr) return 0;
    const char* file = static_cast<const char*>(cookie);
    uint32_t status = kStatusBase | uint32_t(state & 3);
    ProcessLockGuard guard;
    for (const auto& download : system->downloads_) {
        // An end once reported stays: a cancelled transfer's later reports change nothing.
        if (download->file != file || download->status == kDownloaded ||
            download->status == kAborted)
            continue;
        if (download->total != total || download->received != received ||
            download->status != status) {
            download->total = total;
            download->received = received;
            download->status = status;
            download->changed = 1;
        }
    }
    return 0;
}

void CISystem::PollDownloads() {
    struct Event {
        std::string url;
        std::string file;
        int32_t received;
        int32_t total;
        int32_t status;
    };
    std::vector<Event> events;
    {
        ProcessLockGuard guard;
        if (fetcher_ != nullptr) fetcher_->GetQueue().Lock();
        for (size_t i = 0; i < downloads_.size();) {
            Download& download = *downloads_[i];
            if (download.changed != 0) {
                download.changed = 0;
                events.push_back(Event{download.url, download.file, int32_t(download.received),
                                       int32_t(download.total), int32_t(download.status)});
                ++i;
            } else if (download.status == kDownloaded || download.status == kAborted) {
                retired_.push_back(std::move(downloads_[i]));
                downloads_.erase(downloads_.begin() + ptrdiff_t(i));
            } else {
                ++i;
            }
        }
        if (fetcher_ != nullptr) fetcher_->GetQueue().Unlock();
    }
    // Posted outside the lock: posting may raise (too many events), and the worker must
    // not wait on the script.
    if (onDownload_.GetType() != kValueFunction) return;
    const BlockRecord* handler = onDownload_.GetFunction();
    for (const Event& event : events) {
        CValue url(interpreter, event.url.c_str(), 0);
        CValue file(interpreter, event.file.c_str(), 0);
        CValue received(interpreter, event.received);
        CValue total(interpreter, event.total);
        CValue status(interpreter, event.status);
        interpreter->PostEvent(handler, &url, &file, &received, &total, &status);
    }
}

size_t CISystem::GetDownloadCount() {
    ProcessLockGuard guard;
    return downloads_.size();
}

void CISystem::OnDownload() {
    const BlockRecord* handler = interpreter->ReadHandlerAssignment();
    if (handler != nullptr)
        onDownload_.SetFunction(handler);
    else
        onDownload_.SetInt(0);
}

void CISystem::StopFileDownload() {
    if (interpreter->IsArgDefault(0)) interpreter->RaiseError(14);
    std::string file = interpreter->GetArgString(0);
    ProcessLockGuard guard;
    for (const auto& download : downloads_) {
        if (download->file != file) continue;
        if (fetcher_ != nullptr) fetcher_->Cancel(download->url);
        // A download still queued reports no end of its own when cancelled.
        if (download->status != kDownloaded && download->status != kAborted) {
            download->status = kAborted;
            download->changed = 1;
        }
        return;
    }
}

const ScriptClassInfo* GetSystemClassInfo() {
    return &kSystemClass;
}

void PollSystemDownloads(CInterpretor& interpreter) {
    // A project whose class list leaves System out has another class's object, or none, in
    // its slot: only a System object is one to poll.
    auto* singleton = interpreter.GetSingleton(CISystem::kClassId);
    if (singleton != nullptr && singleton->classRecord != nullptr &&
        singleton->classRecord->info == &kSystemClass)
        static_cast<CISystem*>(singleton)->PollDownloads();
}
