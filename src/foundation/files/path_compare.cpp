#include "foundation/files/path_compare.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "foundation/files/wildcard_match.h"
#include "platform/kernel/cp1252.h"

namespace {

unsigned char Folded(char c) {
    return platform::Cp1252ToLower(static_cast<unsigned char>(c));
}

int CompareNoCase(std::string_view a, std::string_view b) {
    size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        unsigned char ca = Folded(a[i]);
        unsigned char cb = Folded(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace

int SplitPathComponents(const char* path, std::string* drive, std::string* fileName,
                        std::string* extension, std::vector<std::string>* components) {
    std::string_view text = path ? path : "";
    size_t folderStart = text.size() >= 2 && text[1] == ':' ? 2 : 0;
    size_t nameStart = text.find_last_of('\\');
    nameStart = nameStart == std::string_view::npos || nameStart < folderStart ? folderStart
                                                                               : nameStart + 1;
    std::string_view name = text.substr(nameStart);
    size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) dot = name.size();
    if (drive) drive->assign(text.substr(0, folderStart));
    if (fileName) fileName->assign(name.substr(0, dot));
    if (extension) extension->assign(name.substr(dot));
    if (components) components->clear();

    std::string_view folder = text.substr(folderStart, nameStart - folderStart);
    if (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
    if (!folder.empty() && folder.front() == '\\') folder.remove_prefix(1);
    if (folder.empty()) return 0;
    int count = 0;
    for (;;) {
        size_t end = folder.find('\\');
        if (components) components->emplace_back(folder.substr(0, end));
        ++count;
        if (end == std::string_view::npos) return count;
        folder.remove_prefix(end + 1);
    }
}

int ComparePaths(const char* a, const char* b) {
    std::string_view restA = a ? a : "";
    std::string_view restB = b ? b : "";
    for (;;) {
        size_t endA = restA.find('\\');
        size_t endB = restB.find('\\');
        if (endA == std::string_view::npos)
            return endB != std::string_view::npos ? -1 : CompareNoCase(restA, restB);
        if (endB == std::string_view::npos) return 1;
        int order = CompareNoCase(restA.substr(0, endA), restB.substr(0, endB));
        if (order != 0) return order;
        restA.remove_prefix(endA + 1);
        restB.remove_prefix(endB + 1);
    }
}

int MatchFileName(const char* name, const char* pattern) {
    if (!name || !pattern) return 0;
    std::string_view text = name;
    if (!text.empty() && text.back() == '\\') text.remove_suffix(1);
    size_t lastSeparator = text.find_last_of('\\');
    if (lastSeparator != std::string_view::npos) text.remove_prefix(lastSeparator + 1);
    std::string last(text);
    // The name as it is must match too, or "dir" would never match the pattern "dir".
    if (WildcardMatch(pattern, last.c_str(), 0)) return 1;
    if (last.find('.') != std::string::npos) return 0;
    last += '.';
    return WildcardMatch(pattern, last.c_str(), 0);
}

int MatchPath(const char* name, const char* pattern) {
    if (!name || !pattern) return 0;
    if (std::strchr(pattern, '\\') == nullptr) return MatchFileName(name, pattern);
    std::string nameFile, nameExtension, patternFile, patternExtension;
    std::vector<std::string> nameFolders, patternFolders;
    SplitPathComponents(name, nullptr, &nameFile, &nameExtension, &nameFolders);
    SplitPathComponents(pattern, nullptr, &patternFile, &patternExtension, &patternFolders);
    // The pattern's folders must end where the name's do, so they can only stand for the
    // name's last folders.
    if (patternFolders.size() > nameFolders.size()) return 0;
    size_t offset = nameFolders.size() - patternFolders.size();
    for (size_t i = 0; i < patternFolders.size(); ++i) {
        if (!MatchFileName(nameFolders[offset + i].c_str(), patternFolders[i].c_str())) return 0;
    }
    nameFile += nameExtension;
    patternFile += patternExtension;
    if (patternFile.empty()) return nameFile.empty() ? 1 : 0;
    return MatchFileName(nameFile.c_str(), patternFile.c_str());
}

int MatchAny(const char* name, const std::vector<std::string>& patterns) {
    for (size_t i = 0; i < patterns.size(); ++i) {
        if (MatchPath(name, patterns[i].c_str())) return static_cast<int>(i);
    }
    return -1;
}
