#include "platform/kernel/format_message.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/kernel/errors.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/string_table.h"

namespace {

// Every code the kernel and the areas built on it report; areas above the kernel add
// their own with RegisterMessageTexts.
constexpr SystemMessage kMessages[] = {
    {ERROR_SUCCESS, "The operation completed successfully."},
    {ERROR_INVALID_FUNCTION, "Incorrect function."},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
    {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
    {ERROR_TOO_MANY_OPEN_FILES, "The system cannot open the file."},
    {ERROR_ACCESS_DENIED, "Access is denied."},
    {ERROR_INVALID_HANDLE, "The handle is invalid."},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough storage is available to process this command."},
    {ERROR_INVALID_DRIVE, "The system cannot find the drive specified."},
    {ERROR_CURRENT_DIRECTORY, "The directory cannot be removed."},
    {ERROR_NOT_SAME_DEVICE, "The system cannot move the file to a different disk drive."},
    {ERROR_NO_MORE_FILES, "There are no more files."},
    {ERROR_WRITE_FAULT, "The system cannot write to the specified device."},
    {ERROR_READ_FAULT, "The system cannot read from the specified device."},
    {ERROR_GEN_FAILURE, "A device attached to the system is not functioning."},
    {ERROR_SHARING_VIOLATION,
     "The process cannot access the file because it is being used by another process."},
    {ERROR_LOCK_VIOLATION, "The process cannot access the file because another process has "
                           "locked a portion of the file."},
    {ERROR_HANDLE_EOF, "Reached the end of the file."},
    {ERROR_NOT_SUPPORTED, "The request is not supported."},
    {ERROR_BAD_NETPATH, "The network path was not found."},
    {ERROR_DEV_NOT_EXIST, "The specified network resource or device is no longer available."},
    {ERROR_FILE_EXISTS, "The file exists."},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
    {ERROR_BROKEN_PIPE, "The pipe has been ended."},
    {ERROR_DISK_FULL, "There is not enough space on the disk."},
    {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small."},
    {ERROR_INVALID_NAME, "The filename, directory name, or volume label syntax is incorrect."},
    {ERROR_NEGATIVE_SEEK,
     "An attempt was made to move the file pointer before the beginning of the file."},
    {ERROR_SEEK_ON_DEVICE, "The file pointer cannot be set on the specified device or file."},
    {ERROR_DIR_NOT_EMPTY, "The directory is not empty."},
    {ERROR_NOT_LOCKED, "The segment is already unlocked."},
    {ERROR_BAD_PATHNAME, "The specified path is invalid."},
    {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists."},
    {ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long."},
    {ERROR_PIPE_NOT_CONNECTED, "No process is on the other end of the pipe."},
    {ERROR_MORE_DATA, "More data is available."},
    {ERROR_NO_MORE_ITEMS, "No more data is available."},
    {ERROR_DIRECTORY, "The directory name is invalid."},
    {ERROR_NOT_OWNER, "Attempt to release mutex not owned by caller."},
    {ERROR_TOO_MANY_POSTS, "Too many posts were made to a semaphore."},
    {ERROR_BADDB, "The configuration registry database is corrupt."},
    {ERROR_KEY_DELETED,
     "Illegal operation attempted on a registry key that has been marked for deletion."},
    {ERROR_RESOURCE_NAME_NOT_FOUND, "The specified resource name cannot be found in the image "
                                    "file."},
};

struct RegisteredTexts {
    std::mutex lock;
    std::vector<std::span<const SystemMessage>> tables;
};

RegisteredTexts& Registered() {
    static RegisteredTexts* registered = new RegisteredTexts; // used by static initialisers
    return *registered;
}

const char* FindIn(std::span<const SystemMessage> table, DWORD code) {
    auto message = std::find_if(table.begin(), table.end(),
                                [code](const SystemMessage& m) { return m.code == code; });
    return message == table.end() ? nullptr : message->text;
}

const char* FindMessage(DWORD code) {
    if (const char* text = FindIn(kMessages, code)) return text;
    RegisteredTexts& registered = Registered();
    std::lock_guard guard(registered.lock);
    for (auto table : registered.tables) {
        if (const char* text = FindIn(table, code)) return text;
    }
    return nullptr;
}

} // namespace

bool RegisterMessageTexts(std::span<const SystemMessage> texts) {
    RegisteredTexts& registered = Registered();
    std::lock_guard guard(registered.lock);
    registered.tables.push_back(texts);
    return true;
}

LPVOID LocalAlloc(UINT flags, SIZE_T bytes) {
    // A zero-byte request still yields a block that LocalFree accepts.
    void* block = (flags & LMEM_ZEROINIT) != 0 ? std::calloc(std::max<SIZE_T>(bytes, 1), 1)
                                               : std::malloc(std::max<SIZE_T>(bytes, 1));
    if (block == nullptr) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return block;
}

LPVOID LocalFree(LPVOID memory) {
    std::free(memory);
    return nullptr;
}

DWORD FormatMessageA(DWORD flags, LPCVOID, DWORD messageId, DWORD, LPSTR buffer, DWORD size,
                     va_list*) {
    if ((flags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 || buffer == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const char* found = FindMessage(messageId);
    if (found == nullptr) {
        SetLastError(ERROR_MR_MID_NOT_FOUND);
        return 0;
    }
    std::string_view message(found);
    DWORD length = static_cast<DWORD>(message.size()) + 2; // with the final "\r\n"
    if ((flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0) {
        auto* block = static_cast<char*>(LocalAlloc(LMEM_FIXED, std::max(size, length + 1)));
        if (block == nullptr) return 0;
        *reinterpret_cast<LPSTR*>(buffer) = block;
        buffer = block;
    } else if (size < length + 1) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, message.data(), message.size());
    std::memcpy(buffer + message.size(), "\r\n", 3);
    return length;
}
