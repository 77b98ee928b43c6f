#include "platform/files/short_names.h"

#include <algorithm>
#include <map>
#include <set>

namespace platform {
namespace {

constexpr unsigned kLastNumber = 999999;

bool IsShortNameChar(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
    std::string_view others = "!#$%&'()-@^_`{}~";
    return others.find(static_cast<char>(c)) != std::string_view::npos;
}

std::string ShortNameChars(std::string_view text, size_t limit) {
    std::string kept;
    for (char c : text) {
        if (kept.size() == limit) break;
        auto byte = static_cast<unsigned char>(c);
        if (!IsShortNameChar(byte)) continue;
        kept += static_cast<char>(byte >= 'a' && byte <= 'z' ? byte - 0x20 : byte);
    }
    return kept;
}

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
    }
    return upper;
}

} // namespace

bool IsShortName(std::string_view name) {
    size_t dot = name.find('.');
    std::string_view base = name.substr(0, dot);
    std::string_view extension =
        dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
    if (base.empty() || base.size() > 8) return false;
    if (dot != std::string_view::npos && (extension.empty() || extension.size() > 3)) return false;
    auto valid = [](char c) { return IsShortNameChar(static_cast<unsigned char>(c)); };
    return std::all_of(base.begin(), base.end(), valid) &&
           std::all_of(extension.begin(), extension.end(), valid);
}

std::vector<std::string> MakeShortNames(const std::vector<std::string>& longNames) {
    std::vector<std::string> shortNames(longNames.size());
    std::set<std::string> taken;
    std::vector<size_t> pending;
    for (size_t i = 0; i < longNames.size(); ++i) {
        if (IsShortName(longNames[i])) {
            taken.insert(UpperAscii(longNames[i]));
        } else {
            pending.push_back(i);
        }
    }
    std::stable_sort(pending.begin(), pending.end(),
                     [&](size_t a, size_t b) { return longNames[a] < longNames[b]; });

    std::map<std::string, unsigned> nextNumber;
    for (size_t index : pending) {
        std::string_view name = longNames[index];
        name.remove_prefix(std::min(name.size(), name.find_first_not_of('.')));
        size_t dot = name.rfind('.');
        std::string base = ShortNameChars(name.substr(0, dot), 6);
        std::string extension =
            dot == std::string_view::npos ? std::string() : ShortNameChars(name.substr(dot + 1), 3);
        if (base.empty()) base = '_';
        if (!extension.empty()) extension.insert(extension.begin(), '.');

        unsigned& number = nextNumber.try_emplace(base + extension, 1).first->second;
        for (; number <= kLastNumber; ++number) {
            std::string tail = '~' + std::to_string(number);
            std::string candidate = base.substr(0, 8 - tail.size()) + tail + extension;
            if (taken.insert(candidate).second) {
                shortNames[index] = std::move(candidate);
                ++number;
                break;
            }
        }
    }
    return shortNames;
}

} // namespace platform
