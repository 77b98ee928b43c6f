#include "platform/serial/com_map.h"

#include <cstdlib>

#include "platform/kernel/cp1252.h"

namespace platform {
namespace {

// "\\.\COM10" is how Windows programs spell ports past COM9.
std::string WithoutDevicePrefix(const std::string& name) {
    return name.rfind("\\\\.\\", 0) == 0 ? name.substr(4) : name;
}

std::string MappedEntry(const std::string& name) {
    const char* map = std::getenv("ZORV_SERIAL");
    if (map == nullptr) return {};
    std::string entries = map;
    size_t start = 0;
    while (start < entries.size()) {
        size_t end = entries.find(';', start);
        if (end == std::string::npos) end = entries.size();
        std::string entry = entries.substr(start, end - start);
        start = end + 1;
        size_t equals = entry.find('=');
        if (equals != std::string::npos && equals + 1 < entry.size() &&
            Cp1252EqualNoCase(entry.substr(0, equals), name))
            return entry.substr(equals + 1);
    }
    return {};
}

} // namespace

std::string SerialDevicePath(const std::string& given) {
    if (!given.empty() && given[0] == '/') return given;
    std::string name = WithoutDevicePrefix(given);
    std::string mapped = MappedEntry(name);
    if (!mapped.empty()) return mapped;
    if (name.size() < 4 || name.size() > 6 || !Cp1252EqualNoCase(name.substr(0, 3), "COM"))
        return {};
    unsigned number = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return {};
        number = number * 10 + unsigned(name[i] - '0');
    }
    if (number == 0 || number > 256) return {};
    return "/dev/ttyS" + std::to_string(number - 1);
}

} // namespace platform
