#include "engine3d/files/path_split.h"

uint32_t SplitFolderName(std::string_view path, std::string& name) {
    size_t separator = path.find_last_of("\\/");
    if (separator == std::string_view::npos) {
        name.clear();
        return 0;
    }
    name.assign(path.substr(separator + 1));
    return static_cast<uint32_t>(name.size() + 1);
}

uint32_t SplitBaseName(std::string_view path, std::string& name) {
    size_t separator = path.find_last_of("\\/");
    name.assign(separator == std::string_view::npos ? path : path.substr(separator + 1));
    if (name.size() >= 4 && name[name.size() - 4] == '.') name.resize(name.size() - 4);
    return static_cast<uint32_t>(name.size());
}
