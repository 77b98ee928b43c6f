#include "classes/system/ini_class.h"

#include <cstring>
#include <new>
#include <vector>

#include "platform/profile/profile.h"
#include "script/interpreter/interpretor.h"

namespace {

const MethodNameRow kNameTable[] = {
    {CIIni::kClassId, "Ini", 0, 0},
    {CIIni::kOpenFile, "OpenFile", 0, 0},
    {CIIni::kCloseFile, "CloseFile", 0, 0},
    {CIIni::kSetValue, "SetValue", 0, 0},
    {CIIni::kGetStrValue, "GetStrValue", 0, 0},
    {CIIni::kGetIntValue, "GetIntValue", 0, 0},
    {CIIni::kDeleteItem, "DeleteItem", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewIni(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIIni(&interpreter, record);
}

// The read sizes of the methods: texts up to 4095 bytes, numbers up to 29.
constexpr uint32_t kTextSize = 4096;
constexpr uint32_t kNumberSize = 30;

} // namespace

int32_t SaturatingAtoi(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > int64_t(INT32_MAX) + 1) value = int64_t(INT32_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    return int32_t(value);
}

const ScriptMethod<CIIni> CIIni::kMethods[kMethodCount] = {
    nullptr,
    &CIIni::OpenFile,
    &CIIni::CloseFile,
    &CIIni::SetValue,
    &CIIni::GetStrValue,
    &CIIni::GetIntValue,
    &CIIni::DeleteItem,
};

CIIni::CIIni(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

void CIIni::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIIni::Destroy(int) {
    delete this;
}

void CIIni::Create() {
    OpenFile();
    Register();
}

const char* CIIni::NameArg(uint32_t i) {
    if (interpreter->IsArgDefault(i)) return nullptr;
    const char* text = interpreter->GetArgString(i);
    return text[0] != 0 ? text : nullptr;
}

void CIIni::OpenFile() {
    const char* path = NameArg(0);
    path_ = path != nullptr ? path : "";
}

void CIIni::CloseFile() {
    path_.clear();
}

void CIIni::SetValue() {
    const char* section = NameArg(0);
    const char* key = NameArg(1);
    if (path_.empty() || section == nullptr || key == nullptr || interpreter->IsArgDefault(2))
        return;
    WritePrivateProfileStringA(section, key, interpreter->GetArgString(2), path_.c_str());
}

void CIIni::DeleteItem() {
    const char* section = NameArg(0);
    if (path_.empty() || section == nullptr) return;
    WritePrivateProfileStringA(section, NameArg(1), nullptr, path_.c_str());
}

std::string CIIni::Read(const char* fallback, uint32_t size) {
    const char* section = NameArg(0);
    const char* key = NameArg(1);
    if (path_.empty() || section == nullptr || key == nullptr) return fallback;
    std::vector<char> buffer(size);
    GetPrivateProfileStringA(section, key, fallback, buffer.data(), size, path_.c_str());
    buffer[size - 1] = 0;
    return buffer.data();
}

void CIIni::GetStrValue() {
    const char* fallback = interpreter->IsArgDefault(2) ? "" : interpreter->GetArgString(2);
    std::string value = Read(fallback, kTextSize);
    interpreter->GetResultSlot()->SetString(value.c_str(), 0);
}

void CIIni::GetIntValue() {
    const char* fallback = interpreter->IsArgDefault(2) ? "0" : interpreter->GetArgString(2);
    std::string value = Read(fallback, kNumberSize);
    interpreter->GetResultSlot()->SetInt(SaturatingAtoi(value.c_str()));
}

const ScriptClassInfo* GetIniClassInfo() {
    static const ScriptClassInfo info{kNameTable, &NewIni, 0, nullptr, 0, nullptr, nullptr};
    return &info;
}
