#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace test_support {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string base = fs::temp_directory_path().string();
    // A valid 8.3 name, so the folder has no generated short name: short names are
    // numbered among siblings, and other tests add and remove siblings in the same
    // temporary folder all the time.
    std::string pattern = base + "/zvXXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    linuxPath_ = fs::canonical(pattern).string();
    winPath_ = "C:" + linuxPath_;
    for (char& c : winPath_) {
        if (c == '/') c = '\\';
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::permissions(linuxPath_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(linuxPath_, ignored);
}

std::string TempDir::Linux(const std::string& relative) const {
    return linuxPath_ + "/" + relative;
}

std::string TempDir::Win(const std::string& relative) const {
    std::string path = winPath_ + "\\" + relative;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

void TempDir::WriteFile(const std::string& relative, const std::string& content) const {
    fs::path path = Linux(relative);
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string TempDir::ReadFile(const std::string& relative) const {
    std::ifstream in(Linux(relative), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool TempDir::Exists(const std::string& relative) const {
    return fs::exists(fs::symlink_status(Linux(relative)));
}

} // namespace test_support
