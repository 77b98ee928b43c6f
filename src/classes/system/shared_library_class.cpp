#include "classes/system/shared_library_class.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "classes/system/binary_class.h"
#include "foundation/streams/in_stream.h"
#include "platform/process/ffi_call.h"
#include "platform/process/shared_library.h"
#include "script/interpreter/interpretor.h"
#include "script/project/element.h"
#include "script/project/project_format.h"

namespace {

const MethodNameRow kNameTable[] = {
    {CISharedLibrary::kClassId, "SharedLibrary", 0, 0},
    {CISharedLibrary::kLoad, "Load", 0, 0},
    {CISharedLibrary::kUnload, "Unload", 0, 0},
    {CISharedLibrary::kCallFunction, "CallFunction", 0, 0},
    {CISharedLibrary::kIsLoaded, "IsLoaded", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewSharedLibrary(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CISharedLibrary(&interpreter, record);
}

// The whole data of a bank element; false when it cannot be read.
bool ReadElement(CElement& element, std::vector<unsigned char>& bytes) {
    std::unique_ptr<CInStream> stream(element.OpenStream(1));
    if (stream == nullptr) return false;
    int64_t length = stream->GetLength();
    if (length <= 0 || length > int64_t(UINT32_MAX)) return false;
    bytes.resize(size_t(length));
    return stream->Read(bytes.data(), uint32_t(length)) == kResultOk;
}

} // namespace

const ScriptMethod<CISharedLibrary> CISharedLibrary::kMethods[kMethodCount] = {
    nullptr,
    &CISharedLibrary::Load,
    &CISharedLibrary::Unload,
    &CISharedLibrary::CallFunction,
    &CISharedLibrary::IsLoaded,
};

CISharedLibrary::CISharedLibrary(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

CISharedLibrary::~CISharedLibrary() {
    Free();
}

void CISharedLibrary::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CISharedLibrary::Destroy(int) {
    delete this;
}

void CISharedLibrary::Create() {
    if (interpreter->GetArgCount() > 0) LoadSource();
    Register();
}

void CISharedLibrary::Free() {
    if (module_ == 0) return;
    FreeLibrary(module_);
    module_ = 0;
}

int CISharedLibrary::LoadSource() {
    CInterpretor& in = *interpreter;
    const CValue* source = in.GetArg(0);
    in.SelectProjectEntry();
    CElement* element = in.GetElementFromValue(*source, project_format::kBinaryBank, 1);
    if (element != nullptr) {
        // Loaded from memory: no temporary copy on disk that another user could swap.
        std::vector<unsigned char> bytes;
        if (!ReadElement(*element, bytes)) return 0;
        Free();
        module_ = LoadLibraryFromBytes(bytes.data(), bytes.size(), element->GetNameText());
        return module_ != 0 ? 1 : 0;
    }
    if (source->GetType() != kValueString) in.RaiseError(14);
    const char* name = in.GetArgString(0);
    if (name[0] == 0) return 0;
    Free();
    module_ = LoadLibraryA(name);
    return module_ != 0 ? 1 : 0;
}

void CISharedLibrary::Load() {
    if (interpreter->GetArgCount() != 1) interpreter->RaiseError(21);
    interpreter->GetResultSlot()->SetInt(LoadSource());
}

void CISharedLibrary::Unload() {
    Free();
}

void CISharedLibrary::IsLoaded() {
    interpreter->GetResultSlot()->SetInt(module_ != 0 ? 1 : 0);
}

void CISharedLibrary::CallFunction() {
    CInterpretor& in = *interpreter;
    CValue* result = in.GetResultSlot();
    if (module_ == 0) {
        result->SetInt(0);
        return;
    }
    if (in.GetArg(0)->GetType() != kValueString) in.RaiseError(14);
    std::string signature;
    if (!in.IsArgDefault(1)) {
        if (in.GetArg(1)->GetType() != kValueString) in.RaiseError(14);
        signature = in.GetArgString(1);
    }
    FARPROC function = GetProcAddress(module_, in.GetArgString(0));
    if (function == nullptr) {
        result->SetInt(0);
        return;
    }
    // Texts go as private copies: the interpreter shares a text among the values that
    // hold it, and a callee writing into it would change all of them.
    std::vector<std::unique_ptr<char[]>> texts;
    std::vector<FfiArgument> arguments;
    int32_t count = in.GetArgCount();
    for (int32_t k = 0; k + 2 < count && size_t(k) < signature.size(); ++k) {
        uint32_t index = uint32_t(k + 2);
        if (in.IsArgDefault(index)) continue;
        const CValue* value = in.GetArg(index);
        FfiArgument argument{};
        switch (signature[size_t(k)]) {
        case 'I':
        case 'i':
            argument.kind = FfiKind::Int32;
            argument.int32 = value->GetInt();
            break;
        case 'F':
        case 'f':
            argument.kind = FfiKind::Float;
            argument.single = float(value->GetDouble());
            break;
        case 'D':
        case 'd':
            argument.kind = FfiKind::Double;
            argument.real = value->GetDouble();
            break;
        case 'S':
        case 's': {
            const char* text = value->GetString();
            size_t length = std::strlen(text);
            texts.emplace_back(new char[length + 1]);
            std::memcpy(texts.back().get(), text, length + 1);
            argument.kind = FfiKind::Pointer;
            argument.pointer = texts.back().get();
            break;
        }
        case 'B':
        case 'b':
            argument.kind = FfiKind::Pointer;
            argument.pointer = value->IsObjectOfClass(CIBinary::kClassId)
                                   ? static_cast<CIBinary*>(value->GetObject())->Data()
                                   : nullptr;
            break;
        default:
            continue;
        }
        arguments.push_back(argument);
    }
    int32_t returned = 0;
    if (!CallExport(function, arguments.data(), arguments.size(), returned)) returned = 0;
    result->SetInt(returned);
}

const ScriptClassInfo* GetSharedLibraryClassInfo() {
    static const ScriptClassInfo info{kNameTable, &NewSharedLibrary, 0,      nullptr,
                                      0,          nullptr,           nullptr};
    return &info;
}
