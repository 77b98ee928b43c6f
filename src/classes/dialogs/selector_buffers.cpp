#include "classes/dialogs/selector_buffers.h"

#include <cstring>

namespace selector {
namespace {

// The items of the buffer: zero-ended texts up to an empty one or the buffer's end.
std::vector<std::string> Items(const char* buffer, size_t size) {
    std::vector<std::string> items;
    size_t at = 0;
    while (at < size) {
        size_t length = strnlen(buffer + at, size - at);
        if (length == 0) break;
        items.emplace_back(buffer + at, length);
        at += length + 1;
    }
    return items;
}

std::string Joined(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

} // namespace

std::string DialogFilter(const std::string& scriptFilter) {
    std::string filter = scriptFilter;
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.append(2, '\0');
    return filter;
}

bool HasManyFiles(const char* buffer, size_t size) {
    return Items(buffer, size).size() > 1;
}

std::string FirstFile(const char* buffer, size_t size) {
    std::vector<std::string> items = Items(buffer, size);
    if (items.empty()) return "";
    return items.size() > 1 ? Joined(items[0], items[1]) : items[0];
}

std::vector<std::string> AllFiles(const char* buffer, size_t size) {
    std::vector<std::string> items = Items(buffer, size);
    if (items.size() <= 1) return items;
    std::vector<std::string> paths;
    for (size_t i = 1; i < items.size(); ++i)
        paths.push_back(Joined(items[0], items[i]));
    return paths;
}

} // namespace selector
