#include "classes/system/registry_class.h"

#include <cstring>
#include <iterator>
#include <new>
#include <vector>

#include "classes/system/binary_class.h"
#include "classes/system/registry_value.h"
#include "script/interpreter/interpretor.h"
#include "script/values/script_array.h"

namespace {

const MethodNameRow kNameTable[] = {
    {CIRegistry::kClassId, "Registry", 0, 0},
    {CIRegistry::kCreateKey, "CreateKey", 0, 0},
    {CIRegistry::kDeleteKey, "DeleteKey", 0, 0},
    {CIRegistry::kOpenKey, "OpenKey", 0, 0},
    {CIRegistry::kCloseKey, "CloseKey", 0, 0},
    {CIRegistry::kGetCurrentKeyRoot, "GetCurrentKeyRoot", 0, 0},
    {CIRegistry::kGetSubKeyList, "GetSubKeyList", 0, 0},
    {CIRegistry::kGetValueList, "GetValueList", 0, 0},
    {CIRegistry::kGetCurrentKeyName, "GetCurrentKeyName", 0, 0},
    {CIRegistry::kSetValue, "SetValue", 0, 0},
    {CIRegistry::kGetValue, "GetValue", 0, 0},
    {CIRegistry::kDeleteValue, "DeleteValue", 0, 0},
    {CIRegistry::kGetValueType, "GetValueType", 0, 0},
    {14, "REG_VALUETYPE_BINARY", 0, kRowConstant},
    {15, "REG_VALUETYPE_LONG", 0, kRowConstant},
    {16, "REG_VALUETYPE_STRING", 0, kRowConstant},
    {17, "REG_VALUETYPE_STRING_EXPAND", 0, kRowConstant},
    {18, "REG_VALUETYPE_STRINGARRAY", 0, kRowConstant},
    {19, "REG_VALUETYPE_UNSUPPORTED", 0, kRowConstant},
    {20, "REG_ACCESS_READ", 0, kRowConstant},
    {21, "REG_ACCESS_WRITE", 0, kRowConstant},
    {22, "ROOT_HKEY_CLASSES_ROOT", 0, kRowConstant},
    {23, "ROOT_HKEY_CURRENT_CONFIG", 0, kRowConstant},
    {24, "ROOT_HKEY_CURRENT_USER", 0, kRowConstant},
    {25, "ROOT_HKEY_LOCAL_MACHINE", 0, kRowConstant},
    {26, "ROOT_HKEY_USERS", 0, kRowConstant},
    {27, "ROOT_HKEY_PERFORMANCE_DATA", 0, kRowConstant},
    {28, "ROOT_HKEY_DYN_DATA", 0, kRowConstant},
    {29, "ROOT_HKEY_UNKNOWN", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

constexpr int32_t kTypeBinary = int32_t(0xABCD0001);
constexpr int32_t kTypeLong = int32_t(0xABCD0002);
constexpr int32_t kTypeString = int32_t(0xABCD0003);
constexpr int32_t kTypeStringExpand = int32_t(0xABCD0004);
constexpr int32_t kTypeStringArray = int32_t(0xABCD0005);
constexpr int32_t kTypeUnsupported = int32_t(0xABCD0006);
constexpr int32_t kAccess = int32_t(0xABCD2001);
constexpr uint32_t kAccessMask = 0xFFFFF000u;
constexpr uint32_t kAccessForm = 0xABCD2000u;
constexpr int32_t kRootBase = int32_t(0xABCD1000);
constexpr int32_t kRootUnknown = int32_t(0xABCD1007);
// Every accepted access value opens keys for reading and writing.
constexpr REGSAM kKeyAccess = KEY_READ | KEY_WRITE;
// Longest key name RegEnumKeyA gives, its terminator included.
constexpr DWORD kKeyNameSize = 261;

// The roots by their ROOT constant, from kRootBase.
constexpr HKEY kRoots[] = {
    HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG,   HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,
    HKEY_USERS,        HKEY_PERFORMANCE_DATA, HKEY_DYN_DATA,
};

template <int32_t Value> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(Value);
}

const ClassLevelHandler kConstants[] = {
    &Constant<kTypeBinary>,       &Constant<kTypeLong>,        &Constant<kTypeString>,
    &Constant<kTypeStringExpand>, &Constant<kTypeStringArray>, &Constant<kTypeUnsupported>,
    &Constant<kAccess>,           &Constant<kAccess>,          &Constant<kRootBase>,
    &Constant<kRootBase + 1>,     &Constant<kRootBase + 2>,    &Constant<kRootBase + 3>,
    &Constant<kRootBase + 4>,     &Constant<kRootBase + 5>,    &Constant<kRootBase + 6>,
    &Constant<kRootUnknown>,
};

CIBaseClassImpl* NewRegistry(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIRegistry(&interpreter, record);
}

bool IsRoot(HKEY key) {
    for (HKEY root : kRoots) {
        if (key == root) return true;
    }
    return false;
}

// Deletes every key below `key`, from the leaves up.
void DeleteSubTree(HKEY key) {
    DWORD count = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    std::vector<std::string> names;
    char name[kKeyNameSize];
    for (DWORD i = 0; i < count; ++i) {
        if (RegEnumKeyA(key, i, name, sizeof name) != ERROR_SUCCESS) break;
        names.emplace_back(name);
    }
    for (const std::string& child : names) {
        HKEY sub = 0;
        if (RegOpenKeyExA(key, child.c_str(), 0, kKeyAccess, &sub) == ERROR_SUCCESS) {
            DeleteSubTree(sub);
            RegCloseKey(sub);
        }
        RegDeleteKeyA(key, child.c_str());
    }
}

// The registry type a value of a script stores, or 0 when the type argument does not
// fit it (error 101).
DWORD TypeOf(int32_t asked, bool hasType, DWORD natural, std::initializer_list<int32_t> fits) {
    if (!hasType) return natural;
    for (int32_t fit : fits) {
        if (asked == fit) return natural;
    }
    return 0;
}

} // namespace

const ScriptMethod<CIRegistry> CIRegistry::kMethods[kMethodCount] = {
    nullptr,
    &CIRegistry::CreateKey,
    &CIRegistry::DeleteKey,
    &CIRegistry::OpenKey,
    &CIRegistry::CloseKey,
    &CIRegistry::GetCurrentKeyRoot,
    &CIRegistry::GetSubKeyList,
    &CIRegistry::GetValueList,
    &CIRegistry::GetCurrentKeyName,
    &CIRegistry::SetValue,
    &CIRegistry::GetValue,
    &CIRegistry::DeleteValue,
    &CIRegistry::GetValueType,
};

CIRegistry::CIRegistry(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

CIRegistry::~CIRegistry() {
    CloseCurrent();
}

void CIRegistry::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIRegistry::Destroy(int) {
    delete this;
}

void CIRegistry::Create() {
    Register();
}

// ---- Arguments -------------------------------------------------------------------------

HKEY CIRegistry::RootArg() {
    const CValue* value = interpreter->GetArg(0);
    if (value->GetType() != kValueInt) interpreter->RaiseError(14);
    uint32_t index = uint32_t(value->GetInt() - kRootBase);
    if (index >= std::size(kRoots)) interpreter->RaiseError(14);
    return kRoots[index];
}

std::string CIRegistry::PathArg() {
    if (interpreter->IsArgDefault(1)) return {};
    if (interpreter->GetArg(1)->GetType() != kValueString) interpreter->RaiseError(14);
    return interpreter->GetArgString(1);
}

void CIRegistry::CheckAccess() {
    const CValue* value = interpreter->GetArg(2);
    if (value->GetType() != kValueInt && value->GetType() != kValueDouble)
        interpreter->RaiseError(14);
    if ((uint32_t(value->GetInt()) & kAccessMask) != kAccessForm) interpreter->RaiseError(99);
}

void CIRegistry::RequireKey() {
    if (key_ == 0) interpreter->RaiseError(100);
}

const char* CIRegistry::NameArg() {
    if (interpreter->IsArgDefault(0)) return nullptr;
    if (interpreter->GetArg(0)->GetType() != kValueString) interpreter->RaiseError(14);
    return interpreter->GetArgString(0);
}

// ---- Keys ------------------------------------------------------------------------------

void CIRegistry::CloseCurrent() {
    if (key_ != 0 && !IsRoot(key_)) RegCloseKey(key_);
    key_ = 0;
    root_ = 0;
    path_.clear();
}

void CIRegistry::Replace(HKEY key, HKEY root, std::string path) {
    CloseCurrent();
    key_ = key;
    root_ = root;
    path_ = std::move(path);
}

void CIRegistry::OpenKey() {
    HKEY root = RootArg();
    std::string path = PathArg();
    CheckAccess();
    HKEY key = 0;
    int ok = RegOpenKeyExA(root, path.c_str(), 0, kKeyAccess, &key) == ERROR_SUCCESS;
    if (ok) Replace(key, root, std::move(path));
    interpreter->GetResultSlot()->SetInt(ok);
}

void CIRegistry::CreateKey() {
    HKEY root = RootArg();
    std::string path = PathArg();
    CheckAccess();
    HKEY key = 0;
    char noClass[] = "";
    int ok = RegCreateKeyExA(root, path.c_str(), 0, noClass, REG_OPTION_NON_VOLATILE, kKeyAccess,
                             nullptr, &key, nullptr) == ERROR_SUCCESS;
    if (ok) Replace(key, 0, std::string());
    interpreter->GetResultSlot()->SetInt(ok);
}

void CIRegistry::DeleteKey() {
    HKEY root = RootArg();
    std::string path = PathArg();
    CValue* result = interpreter->GetResultSlot();
    // An empty path would name the root itself and delete every key under it.
    if (path.empty()) {
        result->SetInt(0);
        return;
    }
    HKEY key = 0;
    if (RegOpenKeyExA(root, path.c_str(), 0, kKeyAccess, &key) != ERROR_SUCCESS) {
        result->SetInt(0);
        return;
    }
    DeleteSubTree(key);
    RegCloseKey(key);
    RegDeleteKeyA(root, path.c_str());
    // Done only when the key is gone.
    HKEY left = 0;
    LONG status = RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &left);
    if (status == ERROR_SUCCESS) RegCloseKey(left);
    result->SetInt(status == ERROR_FILE_NOT_FOUND ? 1 : 0);
}

void CIRegistry::CloseKey() {
    CloseCurrent();
}

void CIRegistry::GetCurrentKeyRoot() {
    RequireKey();
    int32_t constant = kRootUnknown;
    for (size_t i = 0; i < std::size(kRoots); ++i) {
        if (root_ != 0 && root_ == kRoots[i]) constant = kRootBase + int32_t(i);
    }
    interpreter->GetResultSlot()->SetInt(constant);
}

void CIRegistry::GetCurrentKeyName() {
    RequireKey();
    interpreter->GetResultSlot()->SetString(path_.c_str(), 0);
}

void CIRegistry::GetSubKeyList() {
    RequireKey();
    CValue* result = interpreter->GetResultSlot();
    result->MakeArray();
    char name[kKeyNameSize];
    for (DWORD i = 0; RegEnumKeyA(key_, i, name, sizeof name) == ERROR_SUCCESS; ++i)
        result->SetArrayItemString(int32_t(i), name);
}

void CIRegistry::GetValueList() {
    RequireKey();
    CValue* result = interpreter->GetResultSlot();
    result->MakeArray();
    DWORD longest = 0;
    if (RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &longest, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    std::vector<char> name(longest + 1);
    for (DWORD i = 0;; ++i) {
        DWORD size = DWORD(name.size());
        if (RegEnumValueA(key_, i, name.data(), &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        result->SetArrayItemString(int32_t(i), name.data());
    }
}

// ---- Values ----------------------------------------------------------------------------

void CIRegistry::SetValue() {
    RequireKey();
    CInterpretor& in = *interpreter;
    const char* name = NameArg();
    const CValue* value = in.GetArg(1);
    if (value->IsDefault()) in.RaiseError(14);
    bool hasType = !in.IsArgDefault(2);
    int32_t asked = hasType ? in.GetArgInt(2) : 0;
    DWORD type = 0;
    std::vector<uint8_t> data;
    switch (value->GetType()) {
    case kValueInt:
    case kValueDouble: {
        type = TypeOf(asked, hasType, REG_DWORD, {kTypeLong});
        uint32_t number = uint32_t(value->GetInt());
        data = {uint8_t(number), uint8_t(number >> 8), uint8_t(number >> 16),
                uint8_t(number >> 24)};
        break;
    }
    case kValueObject: {
        if (!value->IsObjectOfClass(CIBinary::kClassId)) in.RaiseError(14);
        type = TypeOf(asked, hasType, REG_BINARY, {kTypeBinary});
        auto* binary = static_cast<CIBinary*>(value->GetObject());
        if (binary->Size() > 0) data.assign(binary->Data(), binary->Data() + binary->Size());
        break;
    }
    case kValueArray: {
        CScriptArray* array = value->GetArray();
        if (array == nullptr || array->dimensions > 1) in.RaiseError(14);
        uint32_t count = array->dimensions == 1 ? array->sizes[0] : 0;
        for (uint32_t i = 0; i < count; ++i) {
            CValue* item = array->GetItem(i);
            if (item == nullptr || item->GetType() != kValueString) in.RaiseError(14);
            const char* text = item->GetString();
            data.insert(data.end(), text, text + std::strlen(text) + 1);
        }
        data.push_back(0);
        type = TypeOf(asked, hasType, REG_MULTI_SZ, {kTypeStringArray});
        break;
    }
    case kValueString: {
        const char* text = value->GetString();
        data.assign(text, text + std::strlen(text) + 1);
        if (!hasType) {
            DWORD existing = 0;
            LONG status = RegQueryValueExA(key_, name, nullptr, &existing, nullptr, nullptr);
            type = status == ERROR_SUCCESS && existing == REG_EXPAND_SZ ? REG_EXPAND_SZ : REG_SZ;
        } else if (asked == kTypeString) {
            type = REG_SZ;
        } else if (asked == kTypeStringExpand) {
            type = REG_EXPAND_SZ;
        }
        break;
    }
    default:
        in.RaiseError(14);
    }
    if (type == 0) in.RaiseError(101);
    LONG status = RegSetValueExA(key_, name, 0, type, data.data(), DWORD(data.size()));
    in.GetResultSlot()->SetInt(status == ERROR_SUCCESS ? 1 : 0);
}

void CIRegistry::GetValue() {
    RequireKey();
    CInterpretor& in = *interpreter;
    const char* name = NameArg();
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return;
    // Room for the terminator the query adds to texts stored without one; only the
    // stored size is read.
    std::vector<uint8_t> data(size_t(size) + 1);
    DWORD got = DWORD(data.size());
    if (RegQueryValueExA(key_, name, nullptr, &type, data.data(), &got) != ERROR_SUCCESS) return;
    if (got > size) got = size;
    RegistryValue decoded = DecodeRegistryValue(type, data.data(), got);
    CValue* result = in.GetResultSlot();
    switch (decoded.kind) {
    case RegistryValue::Kind::Text:
        result->SetString(decoded.text.c_str(), 0);
        break;
    case RegistryValue::Kind::Integer:
        result->SetInt(decoded.integer);
        break;
    case RegistryValue::Kind::Bytes: {
        CIBinary* binary = MakeBinary(in);
        if (binary == nullptr) in.RaiseError(15);
        result->SetObject(binary, 1);
        if (!decoded.bytes.empty()) {
            if (!binary->Allocate(int64_t(decoded.bytes.size()))) in.RaiseError(15);
            std::memcpy(binary->Data(), decoded.bytes.data(), decoded.bytes.size());
        }
        break;
    }
    case RegistryValue::Kind::Texts:
        result->MakeArray();
        for (size_t i = 0; i < decoded.texts.size(); ++i)
            result->SetArrayItemString(int32_t(i), decoded.texts[i].c_str());
        break;
    case RegistryValue::Kind::Unsupported:
        in.RaiseError(102);
    }
}

void CIRegistry::GetValueType() {
    RequireKey();
    const char* name = NameArg();
    DWORD type = 0;
    int32_t constant = kTypeUnsupported;
    if (RegQueryValueExA(key_, name, nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS) {
        switch (type) {
        case REG_BINARY:
            constant = kTypeBinary;
            break;
        case REG_DWORD:
            constant = kTypeLong;
            break;
        case REG_SZ:
            constant = kTypeString;
            break;
        case REG_EXPAND_SZ:
            constant = kTypeStringExpand;
            break;
        case REG_MULTI_SZ:
            constant = kTypeStringArray;
            break;
        default:
            break;
        }
    }
    interpreter->GetResultSlot()->SetInt(constant);
}

void CIRegistry::DeleteValue() {
    RequireKey();
    if (interpreter->GetArg(0)->GetType() != kValueString) interpreter->RaiseError(14);
    RegDeleteValueA(key_, interpreter->GetArgString(0));
}

const ScriptClassInfo* GetRegistryClassInfo() {
    static const ScriptClassInfo info{
        kNameTable, &NewRegistry, CIRegistry::kFirstClassLevelId, kConstants, 16, nullptr, nullptr,
    };
    return &info;
}
