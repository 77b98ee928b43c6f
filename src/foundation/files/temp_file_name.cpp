#include <cstring>
#include <string>

#include "foundation/files/file_layer.h"
#include "platform/files/files.h"
#include "platform/kernel/errors.h"

namespace {

constexpr uint32_t kMaxAttempts = 200001;
// Characters a file name cannot hold; the extension ends at the first of them.
constexpr const char* kRefusedInName = "\\/:*?<>|\"";

bool TempFolder(std::string& folder) {
    char buffer[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof buffer, buffer);
    if (length == 0 || length >= sizeof buffer) return false;
    folder.assign(buffer, length);
    if (folder.back() == '\\') folder.pop_back();
    return true;
}

std::string CleanExtension(const char* extension) {
    if (extension == nullptr) return "tmp";
    if (extension[0] == '.') ++extension;
    std::string clean(extension, std::strcspn(extension, kRefusedInName));
    // A name ending in a bare dot is not the name the file system keeps.
    return clean.empty() ? "tmp" : clean;
}

} // namespace

uint32_t MakeTempFileName(const char* directory, const char* prefix, char* output,
                          size_t outputCapacity, const char* extension, int keep,
                          uint32_t startNumber) {
    std::string folder;
    if (directory != nullptr) {
        folder = directory;
    } else if (!TempFolder(folder)) {
        return 0;
    }
    std::string stem = folder + "\\" + (prefix != nullptr ? prefix : "");
    std::string suffix = '.' + CleanExtension(extension);

    uint32_t number = startNumber;
    for (uint32_t attempt = 0; attempt < kMaxAttempts; ++attempt) {
        // 0 is the failure result, so the count skips it when it wraps around.
        ++number;
        if (number == 0) ++number;
        std::string name = stem + std::to_string(number) + suffix;
        if (name.size() >= outputCapacity) return 0;
        HANDLE file = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, 0);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            std::memcpy(output, name.c_str(), name.size() + 1);
            if (!keep) DeleteFileA(name.c_str());
            return number;
        }
        DWORD error = GetLastError();
        // Only a taken name is worth another number; a missing or closed folder is not.
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return 0;
    }
    return 0;
}
