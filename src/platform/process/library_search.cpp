#include "platform/process/library_search.h"

#include <sys/stat.h>

#include "platform/files/files.h"
#include "platform/files/path_mapping.h"
#include "platform/kernel/cp1252.h"
#include "platform/kernel/errors.h"
#include "platform/profile/profile.h"
#include "platform/system/module_file.h"

namespace platform {
namespace {

bool IsFile(const std::string& linuxPath) {
    struct stat info {};
    return stat(linuxPath.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The mapping folds case for names that do not exist as spelled.
void AddIfFound(const std::string& windowsPath, std::vector<std::string>& found) {
    MappedPath mapped;
    if (MapWindowsPath(windowsPath.c_str(), mapped) && IsFile(mapped.linuxPath))
        found.push_back(mapped.linuxPath);
}

std::string FolderOf(const std::string& path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::vector<std::string> SearchFolders() {
    std::vector<std::string> folders;
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(0, path, MAX_PATH);
    if (length != 0 && length < MAX_PATH) folders.push_back(FolderOf(std::string(path, length)));
    length = GetSystemDirectoryA(path, MAX_PATH);
    if (length != 0 && length < MAX_PATH) folders.emplace_back(path, length);
    length = GetCurrentDirectoryA(MAX_PATH, path);
    if (length != 0 && length < MAX_PATH) folders.emplace_back(path, length);
    return folders;
}

} // namespace

std::vector<std::string> LibraryFileNames(const std::string& name) {
    std::vector<std::string> names{name};
    size_t start = name.find_last_of("\\/");
    start = start == std::string::npos ? 0 : start + 1;
    size_t dot = name.rfind('.');
    bool noExtension = dot == std::string::npos || dot < start;
    bool dll = !noExtension && Cp1252EqualNoCase(std::string_view(name).substr(dot), ".dll");
    if (!noExtension && !dll) return names;
    std::string stem = name.substr(0, noExtension ? name.size() : dot);
    names.push_back(stem + ".so");
    names.push_back(name.substr(0, start) + "lib" + stem.substr(start) + ".so");
    return names;
}

std::vector<std::string> LibraryCandidates(const std::string& name) {
    std::vector<std::string> found;
    DWORD saved = GetLastError();
    std::vector<std::string> names = LibraryFileNames(name);
    if (name.find_first_of("\\/:") != std::string::npos) {
        for (const std::string& file : names)
            AddIfFound(file, found);
    } else {
        for (const std::string& folder : SearchFolders()) {
            for (const std::string& file : names)
                AddIfFound(folder + "\\" + file, found);
        }
        for (const std::string& file : names)
            found.push_back(Cp1252ToUtf8(file));
    }
    SetLastError(saved);
    return found;
}

} // namespace platform
