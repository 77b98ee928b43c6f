// A real temporary folder for tests, removed with everything in it afterwards.
#pragma once

#include <string>

namespace test_support {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder as Linux sees it ("/tmp/zvXXXXXX") and as the system's code
    // names it, through drive C: mapped to "/" ("C:\tmp\zvXXXXXX").
    const std::string& LinuxPath() const { return linuxPath_; }
    const std::string& WinPath() const { return winPath_; }

    // Paths of an entry inside the folder; `relative` uses '/' in Linux form and '\'
    // in Windows form.
    std::string Linux(const std::string& relative) const;
    std::string Win(const std::string& relative) const;

    // Writes a file (creating folders on the way) and reads one back, by Linux path.
    void WriteFile(const std::string& relative, const std::string& content) const;
    std::string ReadFile(const std::string& relative) const;
    bool Exists(const std::string& relative) const;

private:
    std::string linuxPath_;
    std::string winPath_;
};

} // namespace test_support
