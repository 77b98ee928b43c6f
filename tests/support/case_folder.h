// A fresh folder for one run of scripts: the file layer's current directory, and the place
// of the user's settings (XDG_CONFIG_HOME, XDG_DATA_HOME), the registry and the temporary
// files, all restored when it goes, so runs never touch the developer's own.
#pragma once

#include <optional>
#include <string>

#include "platform/kernel/win_types.h"
#include "support/temp_dir.h"

namespace test_support {

class CaseFolder {
public:
    CaseFolder();
    ~CaseFolder();
    CaseFolder(const CaseFolder&) = delete;
    CaseFolder& operator=(const CaseFolder&) = delete;

    const TempDir& Folder() const { return folder_; }

private:
    static constexpr size_t kVariables = 4;
    TempDir folder_;
    std::optional<std::string> saved_[kVariables];
    char previousDirectory_[MAX_PATH] = {};
};

} // namespace test_support
