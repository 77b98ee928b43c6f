// The File class: one file opened by path, read line by line or token by token, written
// as text, positioned and measured. Its position and length are 32-bit: files of 2 GiB
// and more are refused at open, and writes past 2^31 - 1 fail. Reads go through a
// buffer of the object, which Write and SetPosition invalidate.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

    // The size of the read buffer for files opened from now on; tests lower it to put
    // line ends and quotes across its boundaries. 0 restores the usual size.
    static void SetReadBufferSizeForTests(uint32_t size);

    // The reading rules, apart from the script arguments (the fuzz target drives them).
    std::string ReadLine();
    std::string ReadToken(const std::string& separators, bool skipSpaces, bool handleQuotes,
                          bool returnQuotes);
    int32_t GetPositionValue() const { return position_; }
    int32_t GetLengthValue() const { return length_; }
    // Opens an existing file for the fuzz target and the tests; 1 or 0.
    int OpenPath(const char* path, uint32_t mode);

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
    // The byte at `offset`, or -1 at the end of the file (or the length).
    int ByteAt(int32_t offset);
    // Writes at the position; false after a failure (the error stored).
    bool WriteBytes(const char* data, size_t count);

    static const ScriptMethod<CIFile> kMethods[kMethodCount];

    HANDLE file_ = INVALID_HANDLE_VALUE;
    uint32_t mode_ = 2;
    std::string path_;
    int32_t position_ = 0;
    int32_t length_ = 0;
    std::vector<char> buffer_;
    // The file offset of buffer_[0] and the bytes held; 0 bytes: nothing buffered.
    int32_t bufferStart_ = 0;
    uint32_t bufferCount_ = 0;
};

const ScriptClassInfo* GetFileClassInfo();
