#include "classes/system/file_class.h"

#include <cstring>
#include <new>

#include "classes/system/disk_error.h"
#include "foundation/file_layer.h"
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

constexpr uint32_t kUsualBufferSize = 4096;
uint32_t bufferSize = kUsualBufferSize;

constexpr int64_t kLargestLength = 0x7FFFFFFF;

bool IsBlank(int c) {
    return c == ' ' || c == '\t';
}

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

void CIFile::SetReadBufferSizeForTests(uint32_t size) {
    bufferSize = size != 0 ? size : kUsualBufferSize;
}

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
    bufferCount_ = 0;
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
    bufferCount_ = 0;
    buffer_.resize(bufferSize);
    return 1;
}

int CIFile::OpenPath(const char* path, uint32_t mode) {
    CloseHandleOnly();
    path_ = path;
    mode_ = mode;
    HANDLE file = FileOpen(path, mode);
    return file != INVALID_HANDLE_VALUE && Adopt(file);
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
        FileClose(file);
        file = FileOpen(path_.c_str(), mode);
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

int CIFile::ByteAt(int32_t offset) {
    if (offset >= length_) return -1;
    if (bufferCount_ == 0 || offset < bufferStart_ ||
        offset - bufferStart_ >= int32_t(bufferCount_)) {
        bufferCount_ = 0;
        if (FileSeek(file_, uint32_t(offset)) != uint32_t(offset)) return -1;
        int32_t read = FileReadRaw(file_, buffer_.data(), uint32_t(buffer_.size()));
        if (read <= 0) return -1;
        bufferStart_ = offset;
        bufferCount_ = uint32_t(read);
    }
    return static_cast<unsigned char>(buffer_[size_t(offset - bufferStart_)]);
}

std::string CIFile::ReadLine() {
    std::string line;
    int32_t at = position_;
    for (;;) {
        int c = ByteAt(at);
        if (c < 0) break;
        ++at;
        if (c == '\r' || c == '\n' || c == 0) {
            int next = ByteAt(at);
            if (next == '\r' || next == '\n') ++at;
            break;
        }
        line += char(c);
    }
    position_ = at;
    return line;
}

std::string CIFile::ReadToken(const std::string& separators, bool skipSpaces, bool handleQuotes,
                              bool returnQuotes) {
    std::string token;
    int32_t at = position_;
    if (skipSpaces) {
        while (IsBlank(ByteAt(at)))
            ++at;
    }
    for (;;) {
        int c = ByteAt(at);
        if (c < 0) break;
        if (c == '"' && handleQuotes) {
            ++at;
            if (returnQuotes) token += '"';
            for (;;) {
                int q = ByteAt(at);
                if (q < 0 || q == '\r' || q == '\n' || q == 0) break;
                ++at;
                if (q == '"') {
                    if (returnQuotes) token += '"';
                    break;
                }
                token += char(q);
            }
            continue;
        }
        ++at;
        if (c == 0 || separators.find(char(c)) != std::string::npos) break;
        if (c == '\r' || c == '\n') {
            int next = ByteAt(at);
            if ((c == '\r' && next == '\n') || (c == '\n' && next == '\r')) ++at;
            break;
        }
        token += char(c);
    }
    if (skipSpaces) {
        while (!token.empty() && IsBlank(token.back()))
            token.pop_back();
    }
    position_ = at;
    return token;
}

void CIFile::ReadLn() {
    RequireOpen();
    std::string line = ReadLine();
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
    if (separators.empty()) separators = ",";
    std::string token = ReadToken(separators, skipSpaces, handleQuotes, returnQuotes);
    interpreter->GetResultSlot()->SetString(token.c_str(), 0);
}

// ---- Writing and positions -------------------------------------------------------------

bool CIFile::WriteBytes(const char* data, size_t count) {
    bufferCount_ = 0;
    if (int64_t(position_) + int64_t(count) > kLargestLength) {
        SetLastDiskError(*interpreter, ERROR_FILE_TOO_LARGE);
        return false;
    }
    if (FileSeek(file_, uint32_t(position_)) != uint32_t(position_) ||
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
    bufferCount_ = 0;
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
