// World and model loaders search the current directory for the texture files their input
// names; running each input inside an empty directory of its own keeps every run alike and
// quick. libFuzzer's own paths are relative, so the directory is given back afterwards.
#pragma once

#include <filesystem>

namespace world_fuzz {

class InEmptyDirectory {
public:
    // `name` is the empty directory's, under the temporary folder; one a target.
    explicit InEmptyDirectory(const char* name) {
        std::error_code error;
        auto empty = std::filesystem::temp_directory_path(error) / name;
        std::filesystem::create_directories(empty, error);
        saved_ = std::filesystem::current_path(error);
        std::filesystem::current_path(empty, error);
    }
    InEmptyDirectory(const InEmptyDirectory&) = delete;
    InEmptyDirectory& operator=(const InEmptyDirectory&) = delete;
    ~InEmptyDirectory() {
        std::error_code error;
        std::filesystem::current_path(saved_, error);
    }

private:
    std::filesystem::path saved_;
};

} // namespace world_fuzz
