#include "classes/system/binary_class.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "foundation/files/file_layer.h"
#include "foundation/streams/byte_order.h"
#include "foundation/streams/file_in_stream.h"
#include "platform/files/files.h"
#include "platform/kernel/errors.h"
#include "script/interpreter/interpretor.h"
#include "script/project/element.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"

namespace {

const MethodNameRow kNameTable[] = {
    {CIBinary::kClassId, "Binary", 0, 0},
    {CIBinary::kLoadData, "LoadData", 0, 0},
    {CIBinary::kSaveData, "SaveData", 0, 0},
    {CIBinary::kAllocateData, "AllocateData", 0, 0},
    {CIBinary::kFreeData, "FreeData", 0, 0},
    {CIBinary::kReSizeData, "ReSizeData", 0, 0},
    {CIBinary::kGetDataSize, "GetDataSize", 0, 0},
    {CIBinary::kGetWord, "GetWord", 0, 0},
    {CIBinary::kGetLong, "GetLong", 0, 0},
    {CIBinary::kGetByte, "GetByte", 0, 0},
    {CIBinary::kGetChar, "GetChar", 0, 0},
    {CIBinary::kGetDouble, "GetDouble", 0, 0},
    {CIBinary::kGetFloat, "GetFloat", 0, 0},
    {CIBinary::kGetString, "GetString", 0, 0},
    {CIBinary::kSetWord, "SetWord", 0, 0},
    {CIBinary::kSetLong, "SetLong", 0, 0},
    {CIBinary::kSetByte, "SetByte", 0, 0},
    {CIBinary::kSetChar, "SetChar", 0, 0},
    {CIBinary::kSetDouble, "SetDouble", 0, 0},
    {CIBinary::kSetFloat, "SetFloat", 0, 0},
    {CIBinary::kSetString, "SetString", 0, 0},
    {CIBinary::kSetByteOrdering, "SetByteOrdering", 0, 0},
    {CIBinary::kGetByteOrdering, "GetByteOrdering", 0, 0},
    {CIBinary::kMoveData, "MoveData", 0, 0},
    {CIBinary::kCopyData, "CopyData", 0, 0},
    {CIBinary::kGetByteSize, "GetByteSize", 0, 0},
    {CIBinary::kGetWordSize, "GetWordSize", 0, 0},
    {CIBinary::kGetLongSize, "GetLongSize", 0, 0},
    {CIBinary::kGetCharSize, "GetCharSize", 0, 0},
    {CIBinary::kGetDoubleSize, "GetDoubleSize", 0, 0},
    {CIBinary::kGetStringSize, "GetStringSize", 0, 0},
    {CIBinary::kGetFloatSize, "GetFloatSize", 0, 0},
    {CIBinary::kIsEqual, "IsEqual", 0, 0},
    {CIBinary::kFind, "Find", 0, 0},
    {35, "LITTLE_ENDIAN", 0, kRowConstant},
    {36, "BIG_ENDIAN", 0, kRowConstant},
    {37, "PDP_ENDIAN", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

template <int32_t Order> void OrderConstant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(Order);
}

const ClassLevelHandler kConstants[] = {
    &OrderConstant<kByteOrderLittle>,
    &OrderConstant<kByteOrderBig>,
    &OrderConstant<kByteOrderPdp>,
};

CIBaseClassImpl* NewBinary(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIBinary(&interpreter, record);
}

bool IsNumber(const CValue* value) {
    return value->GetType() == kValueInt || value->GetType() == kValueDouble;
}

// A number argument as a 64-bit value: doubles are cut toward zero and kept within
// what an integer argument can say, so that a huge double is simply out of range.
int64_t NumberOf(const CValue* value) {
    if (value->GetType() == kValueInt) return value->GetInt();
    double number = value->GetDouble();
    if (!(number > -4294967296.0)) return -4294967296;
    if (number > 4294967296.0) return 4294967296;
    return int64_t(number);
}

// The stream of a LoadData source: a binary bank element, else a file the project
// reader finds. Null when none opens.
CInStream* OpenSource(CInterpretor& interpreter, const CValue* source) {
    interpreter.SelectProjectEntry();
    CElement* element = interpreter.GetElementFromValue(*source, project_format::kBinaryBank, 1);
    if (element != nullptr) return element->OpenStream(1);
    if (source->GetType() != kValueString) return nullptr;
    const char* name = source->GetString();
    if (interpreter.projectFile != nullptr)
        return interpreter.projectFile->FindElementByName(name, 1, 1);
    auto* stream = new (std::nothrow) CFileInStream;
    if (stream != nullptr && stream->OpenFile(name) != kResultOk) {
        delete stream;
        return nullptr;
    }
    return stream;
}

} // namespace

const ScriptMethod<CIBinary> CIBinary::kMethods[kMethodCount] = {
    nullptr,
    &CIBinary::LoadData,
    &CIBinary::SaveData,
    &CIBinary::AllocateData,
    &CIBinary::FreeData,
    &CIBinary::ReSizeData,
    &CIBinary::GetDataSize,
    &CIBinary::GetWord,
    &CIBinary::GetLong,
    &CIBinary::GetByte,
    &CIBinary::GetChar,
    &CIBinary::GetDouble,
    &CIBinary::GetFloat,
    &CIBinary::GetString,
    &CIBinary::SetWord,
    &CIBinary::SetLong,
    &CIBinary::SetByte,
    &CIBinary::SetChar,
    &CIBinary::SetDouble,
    &CIBinary::SetFloat,
    &CIBinary::SetString,
    &CIBinary::SetByteOrdering,
    &CIBinary::GetByteOrdering,
    &CIBinary::MoveData,
    &CIBinary::CopyData,
    &CIBinary::GetByteSize,
    &CIBinary::GetWordSize,
    &CIBinary::GetLongSize,
    &CIBinary::GetCharSize,
    &CIBinary::GetDoubleSize,
    &CIBinary::GetStringSize,
    &CIBinary::GetFloatSize,
    &CIBinary::IsEqual,
    &CIBinary::Find,
};

CIBinary::CIBinary(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1), order_(GetHostByteOrder()) {}

void CIBinary::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIBinary::Destroy(int) {
    delete this;
}

void CIBinary::Create() {
    if (interpreter->GetArgCount() > 0) Load();
    Register();
}

// ---- Storage ---------------------------------------------------------------------------

int CIBinary::Load() {
    CInterpretor& in = *interpreter;
    const CValue* source = in.GetArg(0);
    if (source->GetType() != kValueString && !IsNumber(source)) in.RaiseError(14);
    int64_t offset = in.IsArgDefault(1) ? 0 : NumberOf(in.GetArg(1));
    int64_t length = in.IsArgDefault(2) ? -1 : NumberOf(in.GetArg(2));
    if (offset < 0 || (!in.IsArgDefault(2) && length < 0)) return 0;
    std::unique_ptr<CInStream> stream(OpenSource(in, source));
    if (stream == nullptr) return 0;
    int64_t total = stream->GetLength();
    if (offset > total) offset = total;
    if (length < 0 || length > total - offset) length = total - offset;
    bytes_.Free();
    if (length == 0) return 1;
    auto* block = static_cast<uint8_t*>(std::malloc(size_t(length)));
    if (block == nullptr) return 0;
    if (stream->Seek(int32_t(offset), 0) != uint32_t(offset) ||
        stream->Read(block, uint32_t(length)) != kResultOk) {
        std::free(block);
        return 0;
    }
    bytes_.Adopt(block, uint32_t(length));
    return 1;
}

void CIBinary::LoadData() {
    if (interpreter->GetArgCount() < 1) interpreter->RaiseError(21);
    interpreter->GetResultSlot()->SetInt(Load());
}

void CIBinary::SaveData() {
    CInterpretor& in = *interpreter;
    if (in.GetArgCount() < 1) in.RaiseError(21);
    if (in.GetArg(0)->GetType() != kValueString) in.RaiseError(14);
    if (bytes_.Size() == 0) in.RaiseError(87);
    CValue* result = in.GetResultSlot();
    int truncate = in.IsArgDefault(1) ? 0 : in.GetArgInt(1);
    int64_t from = in.IsArgDefault(2) ? 0 : NumberOf(in.GetArg(2));
    int64_t at = in.IsArgDefault(3) ? 0 : NumberOf(in.GetArg(3));
    int64_t count = in.IsArgDefault(4) ? int64_t(bytes_.Size()) : NumberOf(in.GetArg(4));
    // Checked before any file is opened, let alone truncated.
    if (from < 0 || at < 0 || count < 0) {
        result->SetInt(0);
        return;
    }
    const char* path = in.GetArgString(0);
    HANDLE file = INVALID_HANDLE_VALUE;
    if (truncate != 0) {
        file = FileCreate(path);
    } else {
        file = FileOpen(path, 2);
        // Only a file that is not there is made; one that exists but cannot be opened
        // stays as it was.
        if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND)
            file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, 0);
    }
    if (file == INVALID_HANDLE_VALUE) {
        result->SetInt(0);
        return;
    }
    int64_t size = bytes_.Size();
    if (from > size - 1) from = size - 1;
    int64_t length = FileGetSize(file);
    if (at > length) at = length;
    if (count > size - from) count = size - from;
    int ok = FileSeek(file, uint32_t(at)) == uint32_t(at) &&
             FileWrite(file, bytes_.Data() + from, uint32_t(count)) == kResultOk;
    FileClose(file);
    result->SetInt(ok);
}

void CIBinary::AllocateData() {
    if (interpreter->GetArgCount() != 1) interpreter->RaiseError(21);
    if (!IsNumber(interpreter->GetArg(0))) interpreter->RaiseError(14);
    interpreter->GetResultSlot()->SetInt(bytes_.Allocate(NumberOf(interpreter->GetArg(0))));
}

void CIBinary::FreeData() {
    bytes_.Free();
}

void CIBinary::ReSizeData() {
    if (interpreter->GetArgCount() != 1) interpreter->RaiseError(21);
    if (!IsNumber(interpreter->GetArg(0))) interpreter->RaiseError(14);
    interpreter->GetResultSlot()->SetInt(bytes_.Resize(NumberOf(interpreter->GetArg(0))));
}

void CIBinary::GetDataSize() {
    interpreter->GetResultSlot()->SetInt(int32_t(bytes_.Size()));
}

// ---- Typed access ----------------------------------------------------------------------

int64_t CIBinary::ReaderIndex() {
    if (interpreter->GetArgCount() != 1) interpreter->RaiseError(21);
    if (!IsNumber(interpreter->GetArg(0))) interpreter->RaiseError(14);
    return NumberOf(interpreter->GetArg(0));
}

int64_t CIBinary::WriterIndex(int64_t width) {
    if (interpreter->GetArgCount() != 2) interpreter->RaiseError(21);
    if (!IsNumber(interpreter->GetArg(0))) interpreter->RaiseError(14);
    int64_t index = NumberOf(interpreter->GetArg(0));
    if (!bytes_.Holds(index, width)) interpreter->RaiseError(14);
    return index;
}

int32_t CIBinary::WriterNumber() {
    if (!IsNumber(interpreter->GetArg(1))) interpreter->RaiseError(14);
    return interpreter->GetArg(1)->GetInt();
}

void CIBinary::GetWord() {
    int64_t i = ReaderIndex();
    uint16_t value = 0;
    if (bytes_.Holds(i, 2)) {
        std::memcpy(&value, bytes_.Data() + i, 2);
        value = ConvertByteOrder16(value, order_, GetHostByteOrder());
    }
    interpreter->GetResultSlot()->SetInt(value);
}

void CIBinary::GetLong() {
    int64_t i = ReaderIndex();
    uint32_t value = 0;
    if (bytes_.Holds(i, 4)) {
        std::memcpy(&value, bytes_.Data() + i, 4);
        value = ConvertByteOrder32(value, order_, GetHostByteOrder());
    }
    interpreter->GetResultSlot()->SetInt(int32_t(value));
}

void CIBinary::GetByte() {
    int64_t i = ReaderIndex();
    interpreter->GetResultSlot()->SetInt(bytes_.Holds(i, 1) ? bytes_.Data()[i] : 0);
}

void CIBinary::GetChar() {
    int64_t i = ReaderIndex();
    if (!bytes_.Holds(i, 1)) {
        interpreter->GetResultSlot()->SetInt(0);
        return;
    }
    char text[2] = {char(bytes_.Data()[i]), 0};
    interpreter->GetResultSlot()->SetString(text, 0);
}

void CIBinary::GetDouble() {
    int64_t i = ReaderIndex();
    if (!bytes_.Holds(i, 8)) {
        interpreter->GetResultSlot()->SetInt(0);
        return;
    }
    double value;
    std::memcpy(&value, bytes_.Data() + i, 8);
    interpreter->GetResultSlot()->SetFloat(ConvertByteOrder64(value, order_, GetHostByteOrder()));
}

void CIBinary::GetFloat() {
    int64_t i = ReaderIndex();
    if (!bytes_.Holds(i, 4)) {
        interpreter->GetResultSlot()->SetInt(0);
        return;
    }
    float value;
    std::memcpy(&value, bytes_.Data() + i, 4);
    interpreter->GetResultSlot()->SetFloat(
        ConvertByteOrderFloat(value, order_, GetHostByteOrder()));
}

void CIBinary::GetString() {
    int64_t i = ReaderIndex();
    if (!bytes_.Holds(i, 1)) {
        interpreter->GetResultSlot()->SetString("", 0);
        return;
    }
    const uint8_t* start = bytes_.Data() + i;
    size_t left = bytes_.Size() - size_t(i);
    const void* end = std::memchr(start, 0, left);
    size_t length = end != nullptr ? size_t(static_cast<const uint8_t*>(end) - start) : left;
    char* text = interpreter->GetResultSlot()->SetStringBuffer(int32_t(length + 1));
    if (text != nullptr) {
        std::memcpy(text, start, length);
        text[length] = 0;
    }
}

void CIBinary::SetWord() {
    int64_t i = WriterIndex(2);
    uint16_t value = ConvertByteOrder16(uint16_t(WriterNumber()), GetHostByteOrder(), order_);
    std::memcpy(bytes_.Data() + i, &value, 2);
}

void CIBinary::SetLong() {
    int64_t i = WriterIndex(4);
    uint32_t value = ConvertByteOrder32(uint32_t(WriterNumber()), GetHostByteOrder(), order_);
    std::memcpy(bytes_.Data() + i, &value, 4);
}

void CIBinary::SetByte() {
    int64_t i = WriterIndex(1);
    bytes_.Data()[i] = uint8_t(WriterNumber());
}

void CIBinary::SetChar() {
    int64_t i = WriterIndex(1);
    if (interpreter->GetArg(1)->GetType() != kValueString) interpreter->RaiseError(14);
    const char* text = interpreter->GetArgString(1);
    if (text[0] != 0) bytes_.Data()[i] = uint8_t(text[0]);
}

void CIBinary::SetDouble() {
    int64_t i = WriterIndex(8);
    if (interpreter->GetArg(1)->GetType() != kValueDouble) interpreter->RaiseError(14);
    double value =
        ConvertByteOrder64(interpreter->GetArg(1)->GetDouble(), GetHostByteOrder(), order_);
    std::memcpy(bytes_.Data() + i, &value, 8);
}

void CIBinary::SetFloat() {
    int64_t i = WriterIndex(4);
    if (interpreter->GetArg(1)->GetType() != kValueDouble) interpreter->RaiseError(14);
    float value = ConvertByteOrderFloat(float(interpreter->GetArg(1)->GetDouble()),
                                        GetHostByteOrder(), order_);
    std::memcpy(bytes_.Data() + i, &value, 4);
}

void CIBinary::SetString() {
    CInterpretor& in = *interpreter;
    if (bytes_.Size() == 0) in.RaiseError(14);
    if (in.GetArgCount() != 2) in.RaiseError(21);
    if (!IsNumber(in.GetArg(0)) || in.GetArg(1)->GetType() != kValueString) in.RaiseError(14);
    int64_t i = NumberOf(in.GetArg(0));
    if (!bytes_.Holds(i, 1)) in.RaiseError(14);
    const char* text = in.GetArgString(1);
    size_t length = std::strlen(text);
    if (length == 0) return;
    size_t count = length + 1;
    size_t room = bytes_.Size() - size_t(i);
    if (count > room) count = room;
    std::memcpy(bytes_.Data() + i, text, count - 1);
    bytes_.Data()[i + int64_t(count) - 1] = 0;
}

void CIBinary::SetByteOrdering() {
    if (interpreter->IsArgDefault(0)) {
        order_ = GetHostByteOrder();
        return;
    }
    int32_t code = interpreter->GetArgInt(0);
    if (code != kByteOrderBig && code != kByteOrderLittle && code != kByteOrderPdp)
        interpreter->RaiseError(14);
    order_ = code;
}

void CIBinary::GetByteOrdering() {
    interpreter->GetResultSlot()->SetInt(order_);
}

// ---- Block operations ------------------------------------------------------------------

CIBinary* CIBinary::BinaryArg(uint32_t i) {
    if (!interpreter->GetArg(i)->IsObjectOfClass(kClassId)) interpreter->RaiseError(14);
    return static_cast<CIBinary*>(interpreter->GetArg(i)->GetObject());
}

void CIBinary::MoveData() {
    CInterpretor& in = *interpreter;
    if (bytes_.Size() == 0) {
        in.GetResultSlot()->SetInt(0);
        return;
    }
    if (in.GetArgCount() != 3) in.RaiseError(21);
    for (uint32_t i = 0; i < 3; ++i) {
        if (!IsNumber(in.GetArg(i))) in.RaiseError(14);
    }
    in.GetResultSlot()->SetInt(
        bytes_.Move(NumberOf(in.GetArg(0)), NumberOf(in.GetArg(1)), NumberOf(in.GetArg(2))));
}

void CIBinary::CopyData() {
    CInterpretor& in = *interpreter;
    CIBinary* target = BinaryArg(0);
    for (uint32_t i = 1; i < 4; ++i) {
        if (!IsNumber(in.GetArg(i))) in.RaiseError(14);
    }
    in.GetResultSlot()->SetInt(bytes_.CopyTo(target->bytes_, NumberOf(in.GetArg(1)),
                                             NumberOf(in.GetArg(2)), NumberOf(in.GetArg(3))));
}

void CIBinary::GetByteSize() {
    interpreter->GetResultSlot()->SetInt(1);
}

void CIBinary::GetWordSize() {
    interpreter->GetResultSlot()->SetInt(2);
}

void CIBinary::GetLongSize() {
    interpreter->GetResultSlot()->SetInt(4);
}

void CIBinary::GetCharSize() {
    interpreter->GetResultSlot()->SetInt(1);
}

void CIBinary::GetDoubleSize() {
    interpreter->GetResultSlot()->SetInt(8);
}

void CIBinary::GetStringSize() {
    size_t length = 0;
    if (interpreter->GetArg(0)->GetType() == kValueString)
        length = std::strlen(interpreter->GetArgString(0));
    interpreter->GetResultSlot()->SetInt(int32_t(length + 1));
}

void CIBinary::GetFloatSize() {
    interpreter->GetResultSlot()->SetInt(4);
}

void CIBinary::IsEqual() {
    interpreter->GetResultSlot()->SetInt(bytes_.Equals(BinaryArg(0)->bytes_) ? 1 : 0);
}

void CIBinary::Find() {
    CIBinary* pattern = BinaryArg(0);
    int64_t start = interpreter->IsArgDefault(1) ? 0 : NumberOf(interpreter->GetArg(1));
    interpreter->GetResultSlot()->SetInt(int32_t(bytes_.Find(pattern->bytes_, start)));
}

const ScriptClassInfo* GetBinaryClassInfo() {
    static const ScriptClassInfo info{
        kNameTable, &NewBinary, CIBinary::kFirstClassLevelId, kConstants, 3, nullptr, nullptr,
    };
    return &info;
}

CIBinary* MakeBinary(CInterpretor& interpreter) {
    auto* binary =
        new (std::nothrow) CIBinary(&interpreter, interpreter.GetClassRecord(CIBinary::kClassId));
    if (binary == nullptr) return nullptr;
    binary->Register();
    ++interpreter.creations;
    return binary;
}
