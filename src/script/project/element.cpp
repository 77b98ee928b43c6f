#include "script/project/element.h"

#include <cstring>

#include "foundation/files/file_layer.h"
#include "foundation/memory/memory_helpers.h"
#include "script/project/bank.h"
#include "script/project/project_entry.h"

namespace {

// Joins the pieces into the buffer when the whole text fits, else leaves it empty; returns
// the length needed.
uint32_t JoinName(char* buffer, uint32_t size, const char* const* pieces, int count) {
    size_t length = 0;
    for (int i = 0; i < count; ++i)
        length += std::strlen(pieces[i]);
    if (buffer != nullptr && size > 0) {
        if (length < size) {
            char* out = buffer;
            for (int i = 0; i < count; ++i) {
                const size_t n = std::strlen(pieces[i]);
                std::memcpy(out, pieces[i], n);
                out += n;
            }
            *out = '\0';
        } else {
            buffer[0] = '\0';
        }
    }
    return uint32_t(length);
}

} // namespace

CElement::~CElement() {
    MemFree(&name);
    MemFree(&folder);
}

int CElement::ReadHeader(HANDLE file) {
    MemFree(&name);
    MemFree(&folder);
    ResultCode result = FileReadCountedString(file, &name);
    if (result == kResultOk) result = FileReadCountedString(file, &folder);
    if (result != kResultOk) {
        SetLastBankCode(result);
        return 0;
    }
    return 1;
}

uint32_t CElement::GetName(char* buffer, uint32_t size) const {
    const char* pieces[] = {GetNameText()};
    return JoinName(buffer, size, pieces, 1);
}

uint32_t CElement::GetFullName(char* buffer, uint32_t size) const {
    const char* entryName = "";
    const char* bankName = "";
    if (bank != nullptr) {
        bankName = bank->GetName();
        if (bank->GetEntry() != nullptr && bank->GetEntry()->name != nullptr)
            entryName = bank->GetEntry()->name;
    }
    const bool hasFolder = GetFolder()[0] != '\0';
    const char* pieces[] = {entryName,    "://", bankName, "/", GetFolder(), hasFolder ? "/" : "",
                            GetNameText()};
    return JoinName(buffer, size, pieces, 7);
}
