#include "classes/system/path_parts.h"

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

} // namespace

PathParts PathParts::Split(const std::string& path) {
    PathParts parts;
    size_t folderStart = path.size() >= 2 && path[1] == ':' ? 2 : 0;
    size_t nameStart = path.find_last_of("\\/");
    nameStart =
        nameStart == std::string::npos || nameStart < folderStart ? folderStart : nameStart + 1;
    std::string name = path.substr(nameStart);
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) dot = name.size();
    parts.drive = path.substr(0, folderStart);
    parts.folder = path.substr(folderStart, nameStart - folderStart);
    parts.name = name.substr(0, dot);
    parts.extension = name.substr(dot);
    return parts;
}

std::string PathParts::Join() const {
    std::string path = drive;
    if (!path.empty() && path.back() != ':') path += ':';
    path += folder;
    if (!folder.empty() && !IsSeparator(folder.back())) path += '\\';
    path += name;
    if (!extension.empty() && extension.front() != '.') path += '.';
    path += extension;
    return path;
}
