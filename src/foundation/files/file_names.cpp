#include <cstring>
#include <string>
#include <vector>

#include "foundation/files/file_layer.h"
#include "platform/files/files.h"

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Where the name part of a path starts: after the last separator or a drive colon.
size_t NameStart(const std::string& path) {
    size_t start = path.find_last_of("\\/");
    if (start != std::string::npos) return start + 1;
    return path.size() >= 2 && path[1] == ':' ? 2 : 0;
}

bool IsRoot(const std::string& path) {
    return path.empty() || path == "\\" || (path.size() == 2 && path[1] == ':');
}

bool CopyIfFits(const std::string& text, char* buffer, size_t capacity) {
    if (text.size() >= capacity) return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

// Walks from the last component to the root, asking the directory for each component's
// real spelling: the long name, or for the short form the 8.3 alternate when there is one.
int RespellPath(const char* path, std::string& result, bool shortForm) {
    result.clear();
    std::string remaining;
    if (GetFullPath(path, remaining) == 0) return 0;
    // A share root cannot be searched for, and a wildcard would answer with whatever
    // entry matched first.
    if (remaining.size() >= 2 && IsSeparator(remaining[0]) && IsSeparator(remaining[1])) return 0;
    if (remaining.find_first_of("*?") != std::string::npos) return 0;
    bool trailingSeparator = !remaining.empty() && remaining.back() == '\\';
    if (trailingSeparator) remaining.pop_back();

    std::vector<std::string> components;
    while (!IsRoot(remaining)) {
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA(remaining.c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) return 0;
        FindClose(find);
        const char* name = entry.cFileName;
        if (shortForm && entry.cAlternateFileName[0] != '\0') name = entry.cAlternateFileName;
        components.emplace_back(name);
        size_t cut = remaining.find_last_of('\\');
        remaining.resize(cut == std::string::npos ? 0 : cut);
    }

    std::string joined = remaining;
    for (auto component = components.rbegin(); component != components.rend(); ++component) {
        if (joined.empty() || joined.back() != '\\') joined += '\\';
        joined += *component;
    }
    if (trailingSeparator && (joined.empty() || joined.back() != '\\')) joined += '\\';
    result = std::move(joined);
    return 1;
}

} // namespace

int GetLongPathNameOf(const char* path, std::string& longPath) {
    return RespellPath(path, longPath, false);
}

int GetShortPathNameOf(const char* path, std::string& shortPath) {
    return RespellPath(path, shortPath, true);
}

int SetFileExtension(char* path, size_t capacity, const char* extension) {
    if (path == nullptr || extension == nullptr) return 0;
    std::string text = path;
    size_t dot = text.find_last_of('.');
    if (dot != std::string::npos && dot >= NameStart(text)) text.resize(dot);
    if (extension[0] != '.') text += '.';
    text += extension;
    return CopyIfFits(text, path, capacity);
}

void SetFileExtensionStr(std::string& path, const char* extension) {
    if (path.empty()) return;
    size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && dot >= NameStart(path)) path.resize(dot);
    if (extension == nullptr || extension[0] == '\0') return;
    if (extension[0] != '.') path += '.';
    path += extension;
}

int AppendBackslash(char* text, size_t capacity) {
    size_t length = std::strlen(text);
    if (length == 0 || text[length - 1] == '\\') return 1;
    if (length + 2 > capacity) return 0;
    text[length] = '\\';
    text[length + 1] = '\0';
    return 1;
}

void StripTrailingBackslash(char* text) {
    size_t length = std::strlen(text);
    if (length >= 4 && text[length - 1] == '\\') text[length - 1] = '\0';
}
