// The run-time error of the script runtime: thrown by pointer (new CIError), caught by
// pointer, released with Delete. The player keeps no text per code; the message is made
// from the code and the line with two entries of the string table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/memory/exception.h"

// The sub-code of an error raised without a detail.
inline constexpr uint32_t kNoSubCode = 0x80000000;

class CIError : public CWXException {
public:
    CIError(int32_t code, uint32_t subCode = kNoSubCode, const char* unitName = nullptr,
            int32_t column = -1, int32_t line = -1);
    CIError(const CIError& other);
    CIError& operator=(const CIError& other);
    ~CIError() override;

    void Set(int32_t code, uint32_t subCode, const char* unitName, int32_t column, int32_t line);
    // Copies every field of `other`; a null source clears them (code 0, no name).
    void Assign(const CIError* other);
    // The unit name, or "" when there is none.
    const char* GetUnitName() const;
    // The message, with the line number (line + 1) when `withLine` and the line is known.
    int Format(char* buffer, size_t size, int withLine) const;

    // "Erreur #41 ligne 3." / "Erreur #41." (negative codes: the system's text of the low
    // 31 bits). At most size - 2 characters are copied; the text is always terminated.
    // Returns the length of the text in the buffer.
    static int FormatErrorMessage(char* buffer, size_t size, int32_t code, int32_t lineNumber);

    int32_t code;
    uint32_t subCode;
    char* unitName; // owned
    int32_t column;
    int32_t line;
};
