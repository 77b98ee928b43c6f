#include "platform/files/win_names.h"

#include "platform/kernel/cp1252.h"

namespace platform {

bool IsWindowsNameChar(unsigned char c) {
    if (c < 0x20) return false;
    switch (c) {
    case '<':
    case '>':
    case ':':
    case '"':
    case '/':
    case '\\':
    case '|':
    case '?':
    case '*':
        return false;
    default:
        return true;
    }
}

bool IsDeviceName(std::string_view name) {
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    std::string upper;
    for (char c : base)
        upper += static_cast<char>(Cp1252ToUpper(static_cast<unsigned char>(c)));
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") return true;
    return upper.size() == 4 &&
           (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
}

std::string_view StripTrailingDotsAndSpaces(std::string_view name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.remove_suffix(1);
    return name;
}

bool WindowsNameOfDiskName(std::string_view diskName, std::string& windowsName) {
    bool exact = Utf8ToCp1252(diskName, windowsName);
    for (char& c : windowsName) {
        if (!IsWindowsNameChar(static_cast<unsigned char>(c))) {
            exact = false;
            c = '?';
        }
    }
    return exact;
}

} // namespace platform
