#include "classes/system/disk_class.h"

#include <cstring>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "classes/system/path_parts.h"
#include "foundation/files/file_layer.h"
#include "foundation/files/file_list.h"
#include "platform/files/files.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/errors.h"
#include "script/interpreter/ierror.h"
#include "script/interpreter/interpretor.h"

namespace {

const MethodNameRow kNameTable[] = {
    {CIDisk::kClassId, "Disk", 0, 0},
    {CIDisk::kGetCurrentDirectory, "GetCurrentDirectory", 0, 0},
    {CIDisk::kGetNFilenames, "GetNFilenames", 0, 0},
    {CIDisk::kMakePath, "MakePath", 0, 0},
    {CIDisk::kGetDrive, "GetDrive", 0, 0},
    {CIDisk::kGetDir, "GetDir", 0, 0},
    {CIDisk::kGetName, "GetName", 0, 0},
    {CIDisk::kGetExtension, "GetExtension", 0, 0},
    {CIDisk::kSetCurrentDirectory, "SetCurrentDirectory", 0, 0},
    {CIDisk::kSetName, "SetName", 0, 0},
    {CIDisk::kSetDir, "SetDir", 0, 0},
    {CIDisk::kSetDrive, "SetDrive", 0, 0},
    {CIDisk::kSetExtension, "SetExtension", 0, 0},
    {CIDisk::kListFiles, "ListFiles", 0, 0},
    {CIDisk::kDelete, "Delete", 0, 0},
    {CIDisk::kRename, "Rename", 0, 0},
    {CIDisk::kGetFileSize, "GetFileSize", 0, 0},
    {CIDisk::kMakeDirectory, "MakeDirectory", 0, 0},
    {CIDisk::kCopyFile, "CopyFile", 0, 0},
    {CIDisk::kAppendFile, "AppendFile", 0, 0},
    {CIDisk::kIsDirectory, "IsDirectory", 0, 0},
    {CIDisk::kExist, "Exist", 0, 0},
    {CIDisk::kListDrives, "ListDrives", 0, 0},
    {CIDisk::kGetDriveType, "GetDriveType", 0, 0},
    {CIDisk::kCreateTemporaryFile, "CreateTemporaryFile", 0, 0},
    {CIDisk::kGetDiskFreeSpace, "GetDiskFreeSpace", 0, 0},
    {CIDisk::kGetLastDiskErrorCode, "GetLastDiskErrorCode", 0, 0},
    {CIDisk::kGetLastDiskErrorString, "GetLastDiskErrorString", 0, 0},
    {CIDisk::kGetLongPathName, "GetLongPathName", 0, 0},
    {CIDisk::kGetShortPathName, "GetShortPathName", 0, 0},
    {31, "SUBDIRS", 0, kRowConstant},
    {32, "NODIRS", 0, kRowConstant},
    {33, "NOFILES", 0, kRowConstant},
    {34, "SORT", 0, kRowConstant},
    {35, "SHORTNAMES", 0, kRowConstant},
    {36, "FIXED", 0, kRowConstant},
    {37, "REMOVABLE", 0, kRowConstant},
    {38, "REMOTE", 0, kRowConstant},
    {39, "CDROM", 0, kRowConstant},
    {40, "RAMDISK", 0, kRowConstant},
    {41, "UNKNOWN", 0, kRowConstant},
    {42, "DIRECTORY_SEPARATOR", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

constexpr int32_t kSubdirs = int32_t(0xABCD0008);
constexpr int32_t kNoDirs = int32_t(0xABCD0002);
constexpr int32_t kNoFiles = int32_t(0xABCD0001);
constexpr int32_t kSort = int32_t(0xABCD0004);
constexpr int32_t kShortNames = int32_t(0xABCD0010);
constexpr int32_t kFixed = int32_t(0xABCD0020);
constexpr int32_t kRemovable = int32_t(0xABCD0040);
constexpr int32_t kRemote = int32_t(0xABCD0080);
constexpr int32_t kCdrom = int32_t(0xABCD0100);
constexpr int32_t kRamdisk = int32_t(0xABCD0200);
constexpr int32_t kUnknown = int32_t(0xABCD0400);

template <int32_t Value> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(Value);
}

void Separator(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetString("\\", 1);
}

const ClassLevelHandler kConstants[] = {
    &Constant<kSubdirs>,    &Constant<kNoDirs>,  &Constant<kNoFiles>,   &Constant<kSort>,
    &Constant<kShortNames>, &Constant<kFixed>,   &Constant<kRemovable>, &Constant<kRemote>,
    &Constant<kCdrom>,      &Constant<kRamdisk>, &Constant<kUnknown>,   &Separator,
};

CIBaseClassImpl* NewDisk(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIDisk(&interpreter, record);
}

constexpr uint32_t kChunkSize = 32768;
// Between chunks of a copy the interpreter's messages and events are handled at most
// this often.
constexpr DWORD kPumpInterval = 10;
constexpr int64_t kLargestSize = 0x7FFFFFFF;

// Both files of a copy close on every way out, an error raised by a handler included.
struct OpenFiles {
    HANDLE source = INVALID_HANDLE_VALUE;
    HANDLE target = INVALID_HANDLE_VALUE;
    ~OpenFiles() {
        if (source != INVALID_HANDLE_VALUE) FileClose(source);
        if (target != INVALID_HANDLE_VALUE) FileClose(target);
    }
};

void SetArray(CValue* result, const std::vector<std::string>& names) {
    result->MakeArray();
    int32_t index = 0;
    for (const std::string& name : names)
        result->SetArrayItemString(index++, name.c_str());
    result->SetArrayItemString(index, "");
}

} // namespace

const ScriptMethod<CIDisk> CIDisk::kMethods[kMethodCount] = {
    nullptr,
    &CIDisk::GetCurrentDirectory,
    &CIDisk::GetNFilenames,
    &CIDisk::MakePath,
    &CIDisk::GetDrive,
    &CIDisk::GetDir,
    &CIDisk::GetName,
    &CIDisk::GetExtension,
    &CIDisk::SetCurrentDirectory,
    &CIDisk::SetName,
    &CIDisk::SetDir,
    &CIDisk::SetDrive,
    &CIDisk::SetExtension,
    &CIDisk::ListFiles,
    &CIDisk::Delete,
    &CIDisk::Rename,
    &CIDisk::GetFileSize,
    &CIDisk::MakeDirectory,
    &CIDisk::CopyFile,
    &CIDisk::AppendFile,
    &CIDisk::IsDirectory,
    &CIDisk::Exist,
    &CIDisk::ListDrives,
    &CIDisk::GetDriveType,
    &CIDisk::CreateTemporaryFile,
    &CIDisk::GetDiskFreeSpace,
    &CIDisk::GetLastDiskErrorCode,
    &CIDisk::GetLastDiskErrorString,
    &CIDisk::GetLongPathName,
    &CIDisk::GetShortPathName,
};

CIDisk::CIDisk(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

void CIDisk::CallMethod(uint16_t methodId) {
    // The interpreter hands a singleton's constants to the object like its methods.
    uint32_t constant = uint32_t(methodId) - kFirstClassLevelId - 1;
    if (methodId > kFirstClassLevelId && constant < std::size(kConstants)) {
        kConstants[constant](*interpreter);
        return;
    }
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIDisk::Destroy(int) {
    delete this;
}

void CIDisk::Register() {
    entryCount_ = 0;
    CIBaseClassImpl::Register();
}

const char* CIDisk::RequiredPath(uint32_t i) {
    if (interpreter->IsArgDefault(i)) interpreter->RaiseError(29);
    return interpreter->GetArgString(i);
}

const char* CIDisk::OptionalText(uint32_t i) {
    return interpreter->IsArgDefault(i) ? "" : interpreter->GetArgString(i);
}

int CIDisk::Stored(int ok) {
    if (!ok) lastError = GetLastError();
    return ok;
}

// ---- Folders and paths -----------------------------------------------------------------

void CIDisk::GetCurrentDirectory() {
    char buffer[MAX_PATH + 1];
    DWORD length = GetCurrentDir(sizeof buffer, buffer);
    interpreter->GetResultSlot()->SetString(length > 0 && length < sizeof buffer ? buffer : "", 0);
}

void CIDisk::SetCurrentDirectory() {
    interpreter->GetResultSlot()->SetInt(Stored(SetCurrentDir(OptionalText(0))));
}

void CIDisk::MakePath() {
    PathParts parts{OptionalText(0), OptionalText(1), OptionalText(2), OptionalText(3)};
    interpreter->GetResultSlot()->SetString(parts.Join().c_str(), 0);
}

void CIDisk::GetPart(int part) {
    PathParts parts = PathParts::Split(OptionalText(0));
    const std::string* texts[] = {&parts.drive, &parts.folder, &parts.name, &parts.extension};
    interpreter->GetResultSlot()->SetString(texts[part]->c_str(), 0);
}

void CIDisk::SetPart(int part) {
    PathParts parts = PathParts::Split(OptionalText(0));
    std::string* texts[] = {&parts.drive, &parts.folder, &parts.name, &parts.extension};
    *texts[part] = OptionalText(1);
    interpreter->GetResultSlot()->SetString(parts.Join().c_str(), 0);
}

void CIDisk::GetDrive() {
    GetPart(0);
}

void CIDisk::GetDir() {
    GetPart(1);
}

void CIDisk::GetName() {
    GetPart(2);
}

void CIDisk::GetExtension() {
    GetPart(3);
}

void CIDisk::SetDrive() {
    SetPart(0);
}

void CIDisk::SetDir() {
    SetPart(1);
}

void CIDisk::SetName() {
    SetPart(2);
}

void CIDisk::SetExtension() {
    SetPart(3);
}

void CIDisk::GetLongPathName() {
    std::string path;
    if (!GetLongPathNameOf(OptionalText(0), path)) path.clear();
    interpreter->GetResultSlot()->SetString(path.c_str(), 0);
}

void CIDisk::GetShortPathName() {
    std::string path;
    if (!GetShortPathNameOf(OptionalText(0), path)) path.clear();
    interpreter->GetResultSlot()->SetString(path.c_str(), 0);
}

// ---- Listings --------------------------------------------------------------------------

void CIDisk::ListFiles() {
    uint32_t flags = CFileList::kFiles | CFileList::kDirectories;
    const char* texts[3] = {"", nullptr, nullptr};
    int textCount = 0;
    for (int32_t i = 0; i < interpreter->GetArgCount(); ++i) {
        const CValue* value = interpreter->GetArg(uint32_t(i));
        if (value->GetType() == kValueString) {
            if (textCount < 3) texts[textCount++] = value->GetString();
            continue;
        }
        if (value->GetType() != kValueInt) continue;
        switch (value->GetInt()) {
        case kNoFiles:
            flags &= ~CFileList::kFiles;
            break;
        case kNoDirs:
            flags &= ~CFileList::kDirectories;
            break;
        case kSort:
            flags |= CFileList::kSorted;
            break;
        case kSubdirs:
            flags |= CFileList::kRecurse;
            break;
        case kShortNames:
            flags |= CFileList::kNameOnly;
            break;
        default:
            break;
        }
    }
    CFileList list;
    list.AddIncludePatterns(texts[1] != nullptr ? texts[1] : "*.*");
    if (texts[2] != nullptr) list.AddExcludePatterns(texts[2]);
    if (list.GetIncludePatterns().empty()) list.AddIncludePatterns("*.*");
    std::string folder = texts[0];
    if (folder.empty() || (folder.back() != '\\' && folder.back() != '/')) folder += '\\';
    list.ListFiles(folder.c_str(), flags);
    entryCount_ = int32_t(list.GetResults().size());
    SetArray(interpreter->GetResultSlot(), list.GetResults());
}

void CIDisk::ListDrives() {
    CFileList list;
    list.ListDrives();
    entryCount_ = int32_t(list.GetResults().size());
    SetArray(interpreter->GetResultSlot(), list.GetResults());
}

void CIDisk::GetNFilenames() {
    interpreter->GetResultSlot()->SetInt(entryCount_);
}

void CIDisk::GetDriveType() {
    int32_t kind = kUnknown;
    switch (GetDriveTypeOf(OptionalText(0))) {
    case DRIVE_REMOVABLE:
        kind = kRemovable;
        break;
    case DRIVE_FIXED:
        kind = kFixed;
        break;
    case DRIVE_REMOTE:
        kind = kRemote;
        break;
    case DRIVE_CDROM:
        kind = kCdrom;
        break;
    case DRIVE_RAMDISK:
        kind = kRamdisk;
        break;
    default:
        break;
    }
    interpreter->GetResultSlot()->SetInt(kind);
}

// ---- Files -----------------------------------------------------------------------------

void CIDisk::Delete() {
    interpreter->GetResultSlot()->SetInt(Stored(FileDelete(RequiredPath(0)) != 0));
}

void CIDisk::Rename() {
    const char* from = RequiredPath(0);
    const char* to = RequiredPath(1);
    // MoveFileA refuses an existing target, where a POSIX rename would replace it.
    interpreter->GetResultSlot()->SetInt(MoveFileA(from, to) ? 1 : 0);
}

void CIDisk::MakeDirectory() {
    interpreter->GetResultSlot()->SetInt(Stored(::MakeDirectory(RequiredPath(0)) != 0));
}

void CIDisk::GetFileSize() {
    const char* path = OptionalText(0);
    CValue* result = interpreter->GetResultSlot();
    DWORD attributes =
        std::strpbrk(path, "*?") != nullptr ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (std::strpbrk(path, "*?") != nullptr) SetLastError(ERROR_INVALID_NAME);
        lastError = GetLastError();
        result->SetInt(-1);
        return;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        result->SetInt(0);
        return;
    }
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path, &data);
    if (find == INVALID_HANDLE_VALUE) {
        lastError = GetLastError();
        result->SetInt(-1);
        return;
    }
    FindClose(find);
    int64_t size = int64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    if (size > kLargestSize) {
        lastError = ERROR_FILE_TOO_LARGE;
        result->SetInt(-1);
        return;
    }
    result->SetInt(int32_t(size));
}

void CIDisk::IsDirectory() {
    interpreter->GetResultSlot()->SetInt(::IsDirectory(OptionalText(0)) ? 1 : 0);
}

void CIDisk::Exist() {
    interpreter->GetResultSlot()->SetInt(FileExists(OptionalText(0)) ? 1 : 0);
}

void CIDisk::GetDiskFreeSpace() {
    uint32_t kilobytes = GetDiskFreeSpaceOf(OptionalText(0));
    if (kilobytes == 0xFFFFFFFFu) kilobytes = 0;
    if (kilobytes > uint32_t(kLargestSize)) kilobytes = uint32_t(kLargestSize);
    interpreter->GetResultSlot()->SetInt(int32_t(kilobytes));
}

int CIDisk::Transfer(bool append) {
    const char* from = RequiredPath(0);
    const char* to = RequiredPath(1);
    OpenFiles files;
    files.source = FileOpen(from, 0);
    if (files.source == INVALID_HANDLE_VALUE) return Stored(0);
    // The source is open for reading and shared for reading only, so a target that is
    // the same file by any spelling or link is refused (ERROR_SHARING_VIOLATION) before
    // it is truncated or grown.
    files.target = append ? FileOpen(to, 1) : FileCreate(to);
    if (files.target == INVALID_HANDLE_VALUE) return Stored(0);
    if (append && FileSeekFromEnd(files.target, 0) == INVALID_SET_FILE_POINTER) return Stored(0);
    std::vector<char> buffer(kChunkSize);
    DWORD lastPump = GetTickCount();
    for (;;) {
        int32_t read = FileReadRaw(files.source, buffer.data(), kChunkSize);
        if (read < 0) return Stored(0);
        if (read == 0) break;
        if (FileWrite(files.target, buffer.data(), uint32_t(read)) != kResultOk) return Stored(0);
        DWORD now = GetTickCount();
        if (now - lastPump >= kPumpInterval) {
            interpreter->Wait(0);
            lastPump = GetTickCount();
        }
    }
    return 1;
}

void CIDisk::CopyFile() {
    interpreter->GetResultSlot()->SetInt(Transfer(false));
}

void CIDisk::AppendFile() {
    interpreter->GetResultSlot()->SetInt(Transfer(true));
}

void CIDisk::CreateTemporaryFile() {
    std::string extension = "tmp";
    if (!interpreter->IsArgDefault(0)) {
        if (interpreter->GetArg(0)->GetType() != kValueString) interpreter->RaiseError(14);
        extension = interpreter->GetArgString(0);
        if (!extension.empty() && extension[0] == '.') extension.erase(0, 1);
    }
    char name[MAX_PATH];
    CValue* result = interpreter->GetResultSlot();
    if (MakeTempFileName(nullptr, "zq", name, sizeof name, extension.c_str(), 1,
                         GetTickCount() & 0xFFFF) == 0) {
        lastError = GetLastError();
        result->SetString("", 0);
        return;
    }
    interpreter->AddTemporaryFile(name);
    result->SetString(name, 0);
}

void CIDisk::GetLastDiskErrorCode() {
    interpreter->GetResultSlot()->SetInt(int32_t(lastError));
}

void CIDisk::GetLastDiskErrorString() {
    char text[256];
    CIError::FormatErrorMessage(text, sizeof text, int32_t(lastError | 0x80000000u), -1);
    interpreter->GetResultSlot()->SetString(text, 0);
}

const ScriptClassInfo* GetDiskClassInfo() {
    static const ScriptClassInfo info{
        kNameTable, &NewDisk, CIDisk::kFirstClassLevelId, kConstants, 12, nullptr, nullptr,
    };
    return &info;
}
