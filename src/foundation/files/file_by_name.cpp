#include <string>

#include "foundation/files/file_layer.h"
#include "platform/files/files.h"

namespace {

// The system may report a longer path on the second call when the current directory
// changed in between; a few rounds settle it.
constexpr int kFullPathAttempts = 3;

bool FindEntry(const char* path, WIN32_FIND_DATAA& entry) {
    std::string full;
    if (GetFullPath(path, full) == 0) return false;
    HANDLE find = FindFirstFileA(full.c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return true;
}

} // namespace

uint32_t GetFullPath(const char* path, std::string& fullPath) {
    fullPath.clear();
    if (path == nullptr) return 0;
    DWORD needed = GetFullPathNameA(path, 0, nullptr, nullptr);
    for (int attempt = 0; attempt < kFullPathAttempts && needed != 0; ++attempt) {
        std::string buffer(needed, '\0');
        DWORD length = GetFullPathNameA(path, needed, buffer.data(), nullptr);
        if (length == 0) return 0;
        if (length < needed) {
            buffer.resize(length);
            fullPath = std::move(buffer);
            return length;
        }
        needed = length;
    }
    return 0;
}

uint32_t FileGetSizeByName(const char* path) {
    WIN32_FIND_DATAA entry;
    if (!FindEntry(path, entry)) return 0;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return 0;
    return entry.nFileSizeLow;
}

int IsDirectory(const char* path) {
    WIN32_FIND_DATAA entry;
    return FindEntry(path, entry) && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int FileExists(const char* path) {
    WIN32_FIND_DATAA entry;
    return FindEntry(path, entry);
}

BOOL FileDelete(const char* path) {
    std::string full;
    if (GetFullPath(path, full) == 0) return FALSE;
    DWORD attributes = GetFileAttributesA(full.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return RemoveDirectoryA(full.c_str());
    }
    return DeleteFileA(full.c_str());
}

BOOL FileMove(const char* targetPath, const char* existingPath) {
    std::string target;
    std::string existing;
    if (GetFullPath(targetPath, target) == 0 || GetFullPath(existingPath, existing) == 0) {
        return FALSE;
    }
    return MoveFileA(existing.c_str(), target.c_str());
}

int FileCopy(const char* existingPath, const char* newPath, int failIfExists) {
    std::string existing;
    std::string target;
    if (GetFullPath(existingPath, existing) == 0 || GetFullPath(newPath, target) == 0) return 1;
    return CopyFileA(existing.c_str(), target.c_str(), failIfExists != 0) ? 0 : 1;
}

BOOL MakeDirectory(const char* path) {
    std::string full;
    if (GetFullPath(path, full) == 0) return FALSE;
    return CreateDirectoryA(full.c_str(), nullptr);
}

UINT GetDriveTypeOf(const char* rootPath) {
    return GetDriveTypeA(rootPath);
}

BOOL SetCurrentDir(const char* path) {
    std::string full;
    if (GetFullPath(path, full) == 0) return FALSE;
    return SetCurrentDirectoryA(full.c_str());
}

DWORD GetCurrentDir(DWORD bufferSize, char* buffer) {
    return GetCurrentDirectoryA(bufferSize, buffer);
}
