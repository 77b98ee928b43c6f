#include "platform/controls/dialogs/folder_listing.h"

#include <algorithm>

#include "platform/files/files.h"
#include "platform/files/full_path.h"
#include "platform/files/logical_drives.h"
#include "platform/files/wildcard.h"
#include "platform/kernel/cp1252.h"

namespace platform {
namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = Cp1252ToUpper(static_cast<unsigned char>(a[i]));
        unsigned char y = Cp1252ToUpper(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

std::vector<WindowsPattern> Patterns(const std::string& patterns) {
    std::vector<WindowsPattern> parsed;
    size_t start = 0;
    while (start <= patterns.size()) {
        size_t end = patterns.find(';', start);
        if (end == std::string::npos) end = patterns.size();
        std::string one = patterns.substr(start, end - start);
        one.erase(0, one.find_first_not_of(' '));
        if (!one.empty()) parsed.emplace_back(one);
        start = end + 1;
    }
    return parsed;
}

bool IsRoot(const std::string& path) {
    return path.size() == 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

} // namespace

FolderEntries ListFolder(const std::string& folder, const std::string& patterns) {
    FolderEntries entries;
    if (folder.empty()) return entries;
    std::vector<WindowsPattern> wanted = Patterns(patterns);
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(JoinPath(folder, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return entries;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == ".." || (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            entries.folders.push_back(name);
        } else if (std::any_of(wanted.begin(), wanted.end(),
                               [&](const WindowsPattern& p) { return p.Matches(name); })) {
            entries.files.push_back(name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(entries.folders.begin(), entries.folders.end(), LessIgnoringCase);
    std::sort(entries.files.begin(), entries.files.end(), LessIgnoringCase);
    return entries;
}

std::vector<std::string> DriveRoots() {
    std::vector<std::string> roots;
    char buffer[512] = {};
    DWORD length = GetLogicalDriveStringsA(sizeof buffer, buffer);
    if (length == 0 || length >= sizeof buffer) return roots;
    for (const char* at = buffer; *at != '\0'; at += std::char_traits<char>::length(at) + 1)
        roots.emplace_back(at);
    return roots;
}

std::string ParentFolder(const std::string& path) {
    if (path.empty() || IsRoot(path)) return "";
    std::string trimmed = path;
    while (trimmed.size() > 3 && (trimmed.back() == '\\' || trimmed.back() == '/'))
        trimmed.pop_back();
    size_t separator = trimmed.find_last_of("\\/");
    if (separator == std::string::npos) return "";
    if (separator == 2 && trimmed[1] == ':') return trimmed.substr(0, 3);
    return trimmed.substr(0, separator);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    char last = folder.back();
    return last == '\\' || last == '/' ? folder + name : folder + "\\" + name;
}

std::vector<std::string> FolderChain(const std::string& folder) {
    std::vector<std::string> chain;
    for (std::string at = folder; !at.empty(); at = ParentFolder(at))
        chain.push_back(at);
    return chain;
}

bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ResolvePath(const std::string& folder, const std::string& typed) {
    bool absolute = (typed.size() >= 2 && typed[1] == ':') ||
                    (!typed.empty() && (typed[0] == '\\' || typed[0] == '/'));
    if (absolute || folder.empty()) return FullPath(typed);
    if (typed == "..") return ParentFolder(FullPath(folder));
    return FullPath(JoinPath(folder, typed));
}

std::string FullPath(const std::string& path) {
    std::string full;
    if (path.empty() || !GetFullWindowsPath(path, full)) return path;
    if (full.size() > 3 && full.back() == '\\') full.pop_back();
    return full;
}

} // namespace platform
