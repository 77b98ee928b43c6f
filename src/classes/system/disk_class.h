// The Disk singleton: folders, drives, paths and whole-file operations for scripts, and
// the last system error of disk operations, which the File class sets too.
#pragma once

#include <cstdint>

#include "script/classes/base_class.h"

class CIDisk : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 3;

    enum : uint16_t {
        kGetCurrentDirectory = 1,
        kGetNFilenames,
        kMakePath,
        kGetDrive,
        kGetDir,
        kGetName,
        kGetExtension,
        kSetCurrentDirectory,
        kSetName,
        kSetDir,
        kSetDrive,
        kSetExtension,
        kListFiles,
        kDelete,
        kRename,
        kGetFileSize,
        kMakeDirectory,
        kCopyFile,
        kAppendFile,
        kIsDirectory,
        kExist,
        kListDrives,
        kGetDriveType,
        kCreateTemporaryFile,
        kGetDiskFreeSpace,
        kGetLastDiskErrorCode,
        kGetLastDiskErrorString,
        kGetLongPathName,
        kGetShortPathName,
        kMethodCount,
    };
    static constexpr uint32_t kFirstClassLevelId = 30;

    CIDisk(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    void Register() override;

    uint32_t lastError = 0;

private:
    void GetCurrentDirectory();
    void GetNFilenames();
    void MakePath();
    void GetDrive();
    void GetDir();
    void GetName();
    void GetExtension();
    void SetCurrentDirectory();
    void SetName();
    void SetDir();
    void SetDrive();
    void SetExtension();
    void ListFiles();
    void Delete();
    void Rename();
    void GetFileSize();
    void MakeDirectory();
    void CopyFile();
    void AppendFile();
    void IsDirectory();
    void Exist();
    void ListDrives();
    void GetDriveType();
    void CreateTemporaryFile();
    void GetDiskFreeSpace();
    void GetLastDiskErrorCode();
    void GetLastDiskErrorString();
    void GetLongPathName();
    void GetShortPathName();

    // Argument i as a text, error 29 when missing.
    const char* RequiredPath(uint32_t i);
    // Argument i as a text; empty when missing.
    const char* OptionalText(uint32_t i);
    // Copies or appends `from` to `to`; 1 or 0 with the error stored.
    int Transfer(bool append);
    // Sets the part `part` (0 drive, 1 folder, 2 name, 3 extension) of argument 0 to
    // argument 1.
    void SetPart(int part);
    void GetPart(int part);
    // 1, or 0 with the error stored.
    int Stored(int ok);

    static const ScriptMethod<CIDisk> kMethods[kMethodCount];

    int32_t entryCount_ = 0;
};

const ScriptClassInfo* GetDiskClassInfo();
