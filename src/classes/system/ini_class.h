// The Ini class: settings kept in one INI file, read and written key by key through the
// profile functions. The object only remembers the file's path; no file is held open.
#pragma once

#include <cstdint>
#include <string>

#include "script/classes/base_class.h"

class CIIni : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 24;

    enum : uint16_t {
        kOpenFile = 1,
        kCloseFile,
        kSetValue,
        kGetStrValue,
        kGetIntValue,
        kDeleteItem,
        kMethodCount,
    };

    CIIni(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    // New Ini(path): the path is optional.
    void Create() override;

private:
    void OpenFile();
    void CloseFile();
    void SetValue();
    void GetStrValue();
    void GetIntValue();
    void DeleteItem();

    // Argument i when it is a text that is not empty, else null.
    const char* NameArg(uint32_t i);
    // The value read for (section, key) into a buffer of `size` bytes, or the default.
    std::string Read(const char* fallback, uint32_t size);

    static const ScriptMethod<CIIni> kMethods[kMethodCount];

    // Empty when no file is set.
    std::string path_;
};

const ScriptClassInfo* GetIniClassInfo();

// atoi, saturating at the 32-bit limits instead of wrapping.
int32_t SaturatingAtoi(const char* text);
