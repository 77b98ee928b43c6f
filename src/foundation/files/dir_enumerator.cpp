#include "foundation/files/dir_enumerator.h"

#include <cstring>

#include "foundation/files/file_layer.h"

int DirEnumerator::FindFirst(const char* pattern) {
    if (search_ != INVALID_HANDLE_VALUE) return 0;
    std::string full;
    if (GetFullPath(pattern ? pattern : "*.*", full) == 0) return 0;
    size_t folderStart = full.size() >= 2 && full[1] == ':' ? 2 : 0;
    size_t nameStart = full.find_last_of('\\');
    nameStart =
        nameStart == std::string::npos || nameStart < folderStart ? folderStart : nameStart + 1;
    drive_ = full.substr(0, folderStart);
    directory_ = full.substr(folderStart, nameStart - folderStart);
    std::string name = full.substr(nameStart);
    if (name.empty()) name = "*.*";
    search_ = FindFirstFileA((drive_ + directory_ + name).c_str(), &next_);
    hasNext_ = search_ != INVALID_HANDLE_VALUE;
    return hasNext_ ? 1 : 0;
}

int DirEnumerator::FindNext() {
    if (!hasNext_) return 0;
    current_ = next_;
    hasNext_ = search_ != INVALID_HANDLE_VALUE && FindNextFileA(search_, &next_) != FALSE;
    return 1;
}

void DirEnumerator::GetEntryPath(std::string& path) const {
    path = drive_;
    path += directory_;
    path += current_.cFileName;
}

int DirEnumerator::IsDirectoryEntry() const {
    return (current_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? 1 : 0;
}

int DirEnumerator::IsDotEntry() const {
    return std::strcmp(current_.cFileName, ".") == 0 || std::strcmp(current_.cFileName, "..") == 0
               ? 1
               : 0;
}

int DirEnumerator::IsLinkEntry() const {
    return (current_.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? 1 : 0;
}

void DirEnumerator::FindClose() {
    if (search_ != INVALID_HANDLE_VALUE) ::FindClose(search_);
    search_ = INVALID_HANDLE_VALUE;
    hasNext_ = false;
}
