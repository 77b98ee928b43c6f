#include "classes/system/file_class.h"

#include <cstring>
#include <new>

#include "classes/system/disk_error.h"
#include "foundation/files/file_layer.h"
#include "platform/files/files.h"
#include "platform/kernel/errors.h"
#include "script/interpreter/interpretor.h"

namespace {

const MethodNameRow kNameTable[] = {
    {CIFile::kClassId, "File", 0, 0},
    {CIFile::kOpen, "Open", 0, 0},
    {CIFile::kCreate, "Create", 0, 0},
    {CIFile::kClose, "Close", 0, 0},
    {CIFile::kReadLn, "ReadLn", 0, 0},
    {CIFile::kWriteLn, "WriteLn", 0, 0},
    {CIFile::kSetPosition, "SetPosition", 0, 0},
    {CIFile::kGetPosition, "GetPosition", 0, 0},
    {CIFile::kGetLength, "GetLength", 0, 0},
    {CIFile::kRead, "Read", 0, 0},
    {CIFile::kWrite, "Write", 0, 0},
    {CIFile::kGetFilePath, "GetFilePath", 0, 0},
    {CIFile::kIsOpened, "IsOpened", 0, 0},
    {14, "READONLY", 0, kRowConstant},
    {15, "WRITEONLY", 0, kRowConstant},
    {16, "READWRITE", 0, kRowConstant},
    {17, "SKIPSPACES", 0, kRowConstant},
    {18, "HANDLEQUOTES", 0, kRowConstant},
    {19, "RETURNQUOTES", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

template <int32_t Value> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(Value);
}

const ClassLevelHandler kConstants[] = {
    &Constant<CIFile::kReadOnly>,     &Constant<CIFile::kWriteOnly>,
    &Constant<CIFile::kReadWrite>,    &Constant<CIFile::kSkipSpaces>,
    &Constant<CIFile::kHandleQuotes>, &Constant<CIFile::kReturnQuotes>,
};

CIBaseClassImpl* NewFile(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIFile(&interpreter, record);
}

constexpr int64_t kLargestLength = 0x7FFFFFFF;

} // namespace

const ScriptMethod<CIFile> CIFile::kMethods[kMethodCount] = {
    nullptr,
    &CIFile::Open,
    &CIFile::CreateFile,
    &CIFile::Close,
    &CIFile::ReadLn,
    &CIFile::WriteLn,
    &CIFile::SetPosition,
    &CIFile::GetPosition,
    &CIFile::GetLength,
    &CIFile::Read,
    &CIFile::Write,
    &CIFile::GetFilePath,
    &CIFile::IsOpened,
};

CIFile::CIFile(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

CIFile::~CIFile() {
    CloseHandleOnly();
}

void CIFile::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIFile::Destroy(int) {
    delete this;
}

// ---- Opening ---------------------------------------------------------------------------

void CIFile::CloseHandleOnly() {
    if (file_ != INVALID_HANDLE_VALUE) FileClose(file_);
    file_ = INVALID_HANDLE_VALUE;
    reader_.Invalidate();
}

uint32_t CIFile::ReadPathAndMode() {
    CloseHandleOnly();
    path_.clear();
    uint32_t mode = 2;
    if (!interpreter->IsArgDefault(1)) {
        int32_t value = interpreter->GetArgInt(1);
        if (value == kReadWrite)
            mode = 2;
        else if (value == kReadOnly)
            mode = 0;
        else if (value == kWriteOnly)
            mode = 1;
        else
            interpreter->RaiseError(14);
    }
    const char* path = interpreter->IsArgDefault(0) ? "" : interpreter->GetArgString(0);
    if (path[0] == 0) interpreter->RaiseError(29);
    path_ = path;
    mode_ = mode;
    return mode;
}

int CIFile::Adopt(HANDLE file) {
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    if (high != 0 || low > kLargestLength) {
        FileClose(file);
        SetLastError(ERROR_FILE_TOO_LARGE);
        return 0;
    }
    file_ = file;
    length_ = int32_t(low);
    position_ = 0;
    // A redirected standard output is a disk file whose position the shell shares: it is
    // written where the shell left it.
    seekable_ = GetFileType(file) == FILE_TYPE_DISK && !IsInheritedDescriptor(file);
    reader_.Invalidate();
    return 1;
}

void CIFile::Open() {
    uint32_t mode = ReadPathAndMode();
    HANDLE file = FileOpen(path_.c_str(), mode);
    int ok = file != INVALID_HANDLE_VALUE && Adopt(file);
    if (!ok) StoreLastDiskError(*interpreter);
    interpreter->GetResultSlot()->SetInt(ok);
}

void CIFile::CreateFile() {
    ReadPathAndMode();
    HANDLE file = FileCreate(path_.c_str());
    int ok = file != INVALID_HANDLE_VALUE && Adopt(file);
    if (!ok) StoreLastDiskError(*interpreter);
    interpreter->GetResultSlot()->SetInt(ok);
}

void CIFile::Create() {
    uint32_t mode = ReadPathAndMode();
    HANDLE file = FileOpen(path_.c_str(), 2);
    DWORD readWriteError = file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (file == INVALID_HANDLE_VALUE) file = FileOpen(path_.c_str(), 0);
    if (file != INVALID_HANDLE_VALUE) {
        // A device or pipe is opened again while the first handle still holds it: the
        // reader of a FIFO would otherwise see its writer gone and stop. Only regular
        // files are kept from a second opener.
        HANDLE probe = file;
        const bool regular = GetFileType(probe) == FILE_TYPE_DISK;
        if (regular) FileClose(probe);
        file = FileOpen(path_.c_str(), mode);
        if (!regular) {
            const DWORD error = GetLastError();
            FileClose(probe);
            SetLastError(error);
        }
    } else if (readWriteError == ERROR_FILE_NOT_FOUND && GetLastError() == ERROR_FILE_NOT_FOUND) {
        // Only a file that is not there is made: an existing one that cannot be opened
        // is never truncated.
        file = FileCreate(path_.c_str());
    }
    if (file == INVALID_HANDLE_VALUE || !Adopt(file)) {
        StoreLastDiskError(*interpreter);
        interpreter->RaiseLastError();
    }
    Register();
}

void CIFile::Close() {
    CloseHandleOnly();
    path_.clear();
}

void CIFile::RequireOpen() {
    if (file_ == INVALID_HANDLE_VALUE) interpreter->RaiseError(48);
}

// ---- Reading ---------------------------------------------------------------------------

void CIFile::ReadLn() {
    RequireOpen();
    std::string line = reader_.ReadLine(file_, length_, position_);
    interpreter->GetResultSlot()->SetString(line.c_str(), 0);
}

void CIFile::Read() {
    RequireOpen();
    std::string separators;
    bool skipSpaces = false;
    bool handleQuotes = false;
    bool returnQuotes = false;
    for (int32_t i = 0; i < interpreter->GetArgCount(); ++i) {
        const CValue* value = interpreter->GetArg(uint32_t(i));
        if (value->GetType() == kValueString) {
            separators += value->GetString();
            continue;
        }
        int32_t option = value->GetType() == kValueInt ? value->GetInt() : 0;
        if (option == kSkipSpaces)
            skipSpaces = true;
        else if (option == kHandleQuotes)
            handleQuotes = true;
        else if (option == kReturnQuotes)
            returnQuotes = true;
        else
            interpreter->RaiseError(14);
    }
    if (separators.empty()) separators = ',';
    std::string token = reader_.ReadToken(file_, length_, position_, separators, skipSpaces,
                                          handleQuotes, returnQuotes);
    interpreter->GetResultSlot()->SetString(token.c_str(), 0);
}

// ---- Writing and positions -------------------------------------------------------------

bool CIFile::WriteBytes(const char* data, size_t count) {
    reader_.Invalidate();
    if (int64_t(position_) + int64_t(count) > kLargestLength) {
        SetLastDiskError(*interpreter, ERROR_FILE_TOO_LARGE);
        return false;
    }
    if ((seekable_ && FileSeek(file_, uint32_t(position_)) != uint32_t(position_)) ||
        FileWrite(file_, data, uint32_t(count)) != kResultOk) {
        StoreLastDiskError(*interpreter);
        return false;
    }
    position_ += int32_t(count);
    if (position_ > length_) length_ = position_;
    return true;
}

void CIFile::Write() {
    RequireOpen();
    int ok = 1;
    for (int32_t i = 0; i < interpreter->GetArgCount() && ok; ++i) {
        const char* text = interpreter->GetArgString(uint32_t(i));
        size_t length = std::strlen(text);
        if (length > 0) ok = WriteBytes(text, length);
    }
    interpreter->GetResultSlot()->SetInt(ok);
}

void CIFile::WriteLn() {
    Write();
    if (interpreter->GetResultSlot()->GetInt() == 1)
        interpreter->GetResultSlot()->SetInt(WriteBytes("\r\n", 2));
}

void CIFile::SetPosition() {
    RequireOpen();
    if (interpreter->IsArgDefault(0)) interpreter->RaiseError(14);
    int32_t n = interpreter->GetArgInt(0);
    if (n < 0) interpreter->RaiseError(14);
    reader_.Invalidate();
    position_ = n < length_ ? n : length_;
}

void CIFile::GetPosition() {
    interpreter->GetResultSlot()->SetInt(position_);
}

void CIFile::GetLength() {
    interpreter->GetResultSlot()->SetInt(length_);
}

void CIFile::GetFilePath() {
    interpreter->GetResultSlot()->SetString(path_.c_str(), 0);
}

void CIFile::IsOpened() {
    interpreter->GetResultSlot()->SetInt(file_ != INVALID_HANDLE_VALUE ? 1 : 0);
}

const ScriptClassInfo* GetFileClassInfo() {
    static const ScriptClassInfo info{
        kNameTable, &NewFile, CIFile::kFirstClassLevelId, kConstants, 6, nullptr, nullptr,
    };
    return &info;
}
