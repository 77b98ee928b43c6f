#include "platform/shell/shell.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/files/files.h"
#include "platform/kernel/cp1252.h"
#include "platform/kernel/errors.h"
#include "platform/profile/profile.h"
#include "platform/shell/launcher.h"

namespace {

std::string JoinPath(const char* folder, const char* name) {
    std::string path = folder != nullptr ? folder : "";
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
    return path + (name != nullptr ? name : "");
}

bool CopyOut(const std::string& text, LPSTR buffer, UINT* length) {
    if (length == nullptr) return buffer == nullptr;
    UINT needed = UINT(text.size()) + 1;
    bool fits = buffer != nullptr && *length >= needed;
    if (fits) std::memcpy(buffer, text.c_str(), needed);
    *length = needed;
    return fits;
}

} // namespace

UINT_PTR ShellExecuteA(HWND, LPCSTR operation, LPCSTR file, LPCSTR, LPCSTR, int) {
    if (operation != nullptr && operation[0] != '\0' && std::strcmp(operation, "open") != 0)
        return SE_ERR_NOASSOC;
    if (file == nullptr || file[0] == '\0') return ERROR_FILE_NOT_FOUND;
    return platform::Launch({"xdg-open", platform::Cp1252ToUtf8(file)}) ? 42 : SE_ERR_NOASSOC;
}

BOOL ExitWindowsEx(UINT flags, DWORD) {
    UINT action = flags & ~EWX_FORCE;
    if (action == EWX_SHUTDOWN || action == EWX_POWEROFF)
        return platform::Launch({"systemctl", "poweroff"}) ? TRUE : FALSE;
    if (action == EWX_REBOOT) return platform::Launch({"systemctl", "reboot"}) ? TRUE : FALSE;
    if (action == EWX_LOGOFF) {
        const char* session = std::getenv("XDG_SESSION_ID");
        if (session == nullptr || session[0] == '\0') {
            SetLastError(ERROR_NOT_SUPPORTED);
            return FALSE;
        }
        return platform::Launch({"loginctl", "terminate-session", session}) ? TRUE : FALSE;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

DWORD VerFindFileA(DWORD, LPCSTR fileName, LPCSTR, LPCSTR, LPSTR currentDir, UINT* currentDirLength,
                   LPSTR destDir, UINT* destDirLength) {
    char system[MAX_PATH + 1] = {};
    UINT length = GetSystemDirectoryA(system, sizeof system);
    if (length == 0 || length >= sizeof system) system[0] = '\0';
    std::string existing = JoinPath(system, fileName);
    bool present =
        system[0] != '\0' && GetFileAttributesA(existing.c_str()) != INVALID_FILE_ATTRIBUTES;
    bool fits = CopyOut(present ? system : "", currentDir, currentDirLength);
    fits = CopyOut(system, destDir, destDirLength) && fits;
    return fits ? 0 : VIF_BUFFTOOSMALL;
}

DWORD VerInstallFileA(DWORD, LPCSTR sourceName, LPCSTR destName, LPCSTR sourceDir, LPCSTR destDir,
                      LPCSTR, LPSTR tempFile, UINT* tempFileLength) {
    CopyOut("", tempFile, tempFileLength);
    std::string source = JoinPath(sourceDir, sourceName);
    if (GetFileAttributesA(source.c_str()) == INVALID_FILE_ATTRIBUTES) return VIF_CANNOTREADSRC;
    std::string target = JoinPath(destDir, destName);
    return CopyFileA(source.c_str(), target.c_str(), FALSE) ? 0 : VIF_CANNOTCREATE;
}
