// The File class: one file opened by path, read line by line or token by token, written
// as text, positioned and measured. Its position and length are 32-bit: files of 2 GiB
// and more are refused at open, and writes past 2^31 - 1 fail. Reads go through a
// buffer of the object, which Write and SetPosition invalidate.
#pragma once

#include <cstdint>
#include <string>

#include "classes/system/file_reader.h"
#include "platform/kernel/win_types.h"
#include "script/classes/base_class.h"

class CIFile : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 6;

    enum : uint16_t {
        kOpen = 1,
        kCreate,
        kClose,
        kReadLn,
        kWriteLn,
        kSetPosition,
        kGetPosition,
        kGetLength,
        kRead,
        kWrite,
        kGetFilePath,
        kIsOpened,
        kMethodCount,
    };
    static constexpr uint32_t kFirstClassLevelId = 13;
    // The mode and option constants.
    static constexpr int32_t kReadWrite = int32_t(0xABCD0000);
    static constexpr int32_t kReadOnly = int32_t(0xABCD0001);
    static constexpr int32_t kWriteOnly = int32_t(0xABCD0002);
    static constexpr int32_t kSkipSpaces = int32_t(0xABCD0003);
    static constexpr int32_t kHandleQuotes = int32_t(0xABCD0004);
    static constexpr int32_t kReturnQuotes = int32_t(0xABCD0005);

    CIFile(CInterpretor* interpreter, const CClassRecord* record);
    ~CIFile() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    // New File(path, mode): opens the file, or creates it when it does not exist.
    void Create() override;

private:
    void Open();
    void CreateFile();
    void Close();
    void ReadLn();
    void WriteLn();
    void SetPosition();
    void GetPosition();
    void GetLength();
    void Read();
    void Write();
    void GetFilePath();
    void IsOpened();

    // Reads the path and mode arguments after closing an open file: the mode, the path
    // kept. Errors 29 and 14.
    uint32_t ReadPathAndMode();
    // Takes `file` (valid) as the open file; refuses files of 2 GiB and more (0 with
    // ERROR_FILE_TOO_LARGE, the handle closed).
    int Adopt(HANDLE file);
    void CloseHandleOnly();
    void RequireOpen();
    // Writes at the position (on a device or pipe, where the bytes come); false after a
    // failure (the error stored).
    bool WriteBytes(const char* data, size_t count);

    static const ScriptMethod<CIFile> kMethods[kMethodCount];

    HANDLE file_ = INVALID_HANDLE_VALUE;
    uint32_t mode_ = 2;
    std::string path_;
    int32_t position_ = 0;
    int32_t length_ = 0;
    // False for devices and pipes, which cannot seek.
    bool seekable_ = true;
    CFileReader reader_;
};

const ScriptClassInfo* GetFileClassInfo();
