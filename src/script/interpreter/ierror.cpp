#include "script/interpreter/ierror.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "foundation/memory/memory_helpers.h"
#include "platform/kernel/format_message.h"
#include "platform/kernel/string_table.h"

namespace {

constexpr UINT kErrorNumberText = 43473; // "Erreur #%d"
constexpr UINT kErrorLineText = 43450;   // "%s ligne %i."
// The share of a message that a system text may take.
constexpr size_t kSystemTextMax = 190;

// The system's text for `number`, cut to kSystemTextMax characters, without the line
// break the system ends it with and without its final full stop (the message adds its
// own). Empty when the system has no text for the number.
void SystemText(DWORD number, char* text, size_t size) {
    char message[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, number, 0, message, sizeof message, nullptr);
    size_t n = std::min<size_t>({length, kSystemTextMax, size - 1});
    while (n > 0 && (message[n - 1] == '\r' || message[n - 1] == '\n' || message[n - 1] == ' '))
        --n;
    if (n > 0 && message[n - 1] == '.') --n;
    std::memcpy(text, message, n);
    text[n] = '\0';
}

void LoadText(UINT id, char* text, int size) {
    if (LoadStringA(0, id, text, size) == 0) text[0] = '\0';
}

} // namespace

CIError::CIError(int32_t code, uint32_t subCode, const char* unitName, int32_t column, int32_t line)
    : code(code), subCode(subCode), unitName(MemCopyText(unitName)), column(column), line(line) {}

CIError::CIError(const CIError& other)
    : CWXException(other), code(other.code), subCode(other.subCode),
      unitName(MemCopyText(other.unitName)), column(other.column), line(other.line) {}

CIError& CIError::operator=(const CIError& other) {
    Assign(&other);
    return *this;
}

CIError::~CIError() {
    MemFree(&unitName);
}

void CIError::Set(int32_t newCode, uint32_t newSubCode, const char* newUnitName, int32_t newColumn,
                  int32_t newLine) {
    // Copied before the old name goes: the new one may be the old one.
    char* name = MemCopyText(newUnitName);
    MemFree(&unitName);
    unitName = name;
    code = newCode;
    subCode = newSubCode;
    column = newColumn;
    line = newLine;
}

void CIError::Assign(const CIError* other) {
    if (other == this) return;
    if (other == nullptr) {
        Set(0, 0, nullptr, 0, 0);
        return;
    }
    Set(other->code, other->subCode, other->unitName, other->column, other->line);
}

const char* CIError::GetUnitName() const {
    return unitName != nullptr ? unitName : "";
}

int CIError::Format(char* buffer, size_t size, int withLine) const {
    return FormatErrorMessage(buffer, size, code, withLine != 0 && line >= 0 ? line + 1 : -1);
}

int CIError::FormatErrorMessage(char* buffer, size_t size, int32_t code, int32_t lineNumber) {
    if (buffer == nullptr || size == 0) return 0;
    char text[kSystemTextMax + 64];
    if (code < 0) {
        SystemText(DWORD(code) & 0x7FFFFFFF, text, sizeof text);
    }
    if (code >= 0 || text[0] == '\0') {
        // A system error without a text still shows its whole code.
        char format[64];
        LoadText(kErrorNumberText, format, sizeof format);
        std::snprintf(text, sizeof text, format, code);
    }
    char message[sizeof text + 64];
    if (lineNumber >= 0) {
        char format[64];
        LoadText(kErrorLineText, format, sizeof format);
        std::snprintf(message, sizeof message, format, text, lineNumber);
    } else {
        std::snprintf(message, sizeof message, "%s.", text);
    }
    size_t length = size >= 2 ? std::min(std::strlen(message), size - 2) : 0;
    std::memcpy(buffer, message, length);
    buffer[length] = '\0';
    return int(length);
}
